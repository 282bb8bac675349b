// Numbers as the certificate prints them: a decimal point whatever the locale.
#pragma once

#include <string>

namespace qm7x::certificate {

// value with `decimals` digits after the point.
std::string Fixed(double value, int decimals);
// value with up to `digits` significant digits, the shortest text.
std::string Significant(double value, int digits);
// The decimals that show the last of the two significant digits of U.
int DecimalsOf(double expanded_v);

}  // namespace qm7x::certificate
