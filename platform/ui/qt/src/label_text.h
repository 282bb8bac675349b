// Control labels: a double underscore marks the next character as the keyboard shortcut.
#pragma once

#include <string>
#include <string_view>

namespace qm7x::ui::qt {

// Label for a Qt widget that shows mnemonics: "__OK" gives "&OK", a literal '&' gives "&&".
std::string ToQtMnemonic(std::string_view label);

// Label as plain text for widgets without shortcuts: "__OK" gives "OK".
std::string StripShortcutMarks(std::string_view label);

}  // namespace qm7x::ui::qt
