// trqm7xMath_povCheckValueAbs: a measured value against its reference with an absolute tolerance.
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>

#include "trqm7x_math.h"

namespace trqm7x::math {
namespace {

constexpr double kToleranceGuard = 1.000000001;

// Seven significant decimal digits: printed with "%.6e" and read back with "%lf".
double roundToSevenDigits(double value) {
    std::array<char, 64> text{};
    std::snprintf(text.data(), text.size(), "%.6e", value);
    double rounded = value;
    std::sscanf(text.data(), "%lf", &rounded);
    return rounded;
}

}  // namespace
}  // namespace trqm7x::math

extern "C" TRQM7X_MATH_API int32_t TRQM7X_MATH_CALL trqm7xMath_povCheckValueAbs(double measured,
                                                                                double reference,
                                                                                double tolerance,
                                                                                double* deviation) {
    using namespace trqm7x::math;
    const double d = std::fabs(roundToSevenDigits(measured) - roundToSevenDigits(reference));
    if (deviation != nullptr) {
        *deviation = d;
    }
    // Written as "not within" so that a NaN value, reference or tolerance fails: every comparison
    // with a NaN is false, and a value that is not a number is never within tolerance.
    return d <= tolerance * kToleranceGuard ? 0 : 1;
}
