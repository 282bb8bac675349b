// The printf conversions %.*e and %*.*f that the protocol uses, independent of the process's
// locale: a protocol always has a decimal point, whatever locale the user interface set.
#pragma once

#include <string>

namespace qm7x::verify {

// As printf("%*.*e", width, precision, value): a negative precision counts as none (6 digits),
// at least two exponent digits; padded with blanks on the left to `width`.
std::string FormatExp(double value, int precision, int width = 0);
// As printf("%*.*f", width, precision, value), with the same rules.
std::string FormatFixed(double value, int precision, int width = 0);

}  // namespace qm7x::verify
