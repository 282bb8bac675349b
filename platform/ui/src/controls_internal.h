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
// A number brought inside the control's range (that of its data type when it has none).
double Coerce(const Control& control, double value);
// Moves a control to a stacking position (0 = front, beyond the last = the back) and renumbers
// the others so that the positions stay 0..n-1 in the same relative order.
void Restack(Panel& panel, int control, int position);

}  // namespace qm7x::ui::detail
