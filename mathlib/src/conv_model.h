// The coefficient model shared by the conversions and the recalculation: gain positions in the
// coefficient array, polarity index, scale factor, and the fixed layout of ConvParams.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>

#include "trqm7x_math.h"

// Outside callers share this record byte for byte; its layout must never drift.
static_assert(sizeof(ConvParams) == 40, "ConvParams is 40 bytes");
static_assert(offsetof(ConvParams, shift) == 0);
static_assert(offsetof(ConvParams, divisor) == 4);
static_assert(offsetof(ConvParams, format) == 8);
static_assert(offsetof(ConvParams, reserved) == 12);
static_assert(offsetof(ConvParams, offset) == 16);

namespace trqm7x::math {

constexpr int kChannelCount = 3;

// 0 for a zero or positive quantity, 1 for a negative one.
inline int polarityIndex(double v) {
    return v < 0.0 ? 1 : 0;
}

// Element of coeff holding the gain of channel k (0..2) for the given polarity index.
inline std::ptrdiff_t gainIndex(int k, int polarity) {
    return 4 + 2 * k + polarity;
}

// The gain of channel k for a quantity v.
inline double gainFor(const double* coeff, int k, double v) {
    return coeff[gainIndex(k, polarityIndex(v))];
}

// The divisor is unsigned even for callers that keep it in a signed field.
inline double divisorValue(const ConvParams& params) {
    return static_cast<double>(params.divisor);
}

// 2^shift / divisor, in floating point (ldexp keeps any shift free of integer overflow).
inline double scaleFactor(const ConvParams& params) {
    return std::ldexp(1.0, params.shift) / divisorValue(params);
}

}  // namespace trqm7x::math
