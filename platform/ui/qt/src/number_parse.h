// Reading what the operator types into a numeric control or table cell. (Showing values is the
// run-time's FormatNumeric, so that every front end shows the same text.)
#pragma once

#include <optional>
#include <string_view>

namespace qm7x::ui::qt {

// The value of an entry in any of the display formats ("200.000E-6", "-1.5", "10"); nothing
// unless the whole text, spaces around it aside, is one finite number in C notation. A decimal
// comma is read as the point ("1,5" is 1.5), never dropped.
std::optional<double> ParseNumber(std::string_view text);

}  // namespace qm7x::ui::qt
