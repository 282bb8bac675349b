// Helpers shared by the control operations.
#pragma once

#include <string>
#include <vector>

#include "qm7x/ui/model.h"

namespace qm7x::ui::detail {

// Puts the control's value (index, cells, lines) back to its default.
void RestoreDefault(Control& control);
// Splits a text at '\n' into lines ("" gives no lines).
std::vector<std::string> SplitLines(std::string_view text);
// Limits of the control's integer data type.
void IntegerLimits(int dataType, double& min, double& max);

}  // namespace qm7x::ui::detail
