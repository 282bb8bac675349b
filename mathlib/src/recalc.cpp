// trqm7xMath_RecalcCoeff: corrected gains or zero offsets from one calibration point.
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "conv_model.h"
#include "trqm7x_math.h"

namespace trqm7x::math {
namespace {

constexpr double kBandFactor = 1.96;           // half-width of the outlier band, in sigmas
constexpr double kZeroPointThreshold = 0.001;  // |refValue| at or below it calibrates the offset
constexpr double kOffsetPresence = 1e-15;      // a stored offset at or below it counts as none

// Mean of the codes strictly inside m +- 1.96 s (population s); the plain mean when none is.
double cleanedMean(const std::int32_t* x, std::int32_t n) {
    double sum = 0.0;
    for (std::int32_t j = 0; j < n; ++j) {
        sum += x[j];
    }
    const double m = sum / n;

    double squares = 0.0;
    for (std::int32_t j = 0; j < n; ++j) {
        const double d = x[j] - m;
        squares += d * d;
    }
    const double s = std::sqrt(squares / n);

    const double lower = m - kBandFactor * s;
    const double upper = m + kBandFactor * s;
    double insideSum = 0.0;
    std::int32_t inside = 0;
    for (std::int32_t j = 0; j < n; ++j) {
        if (lower < x[j] && x[j] < upper) {
            insideSum += x[j];
            ++inside;
        }
    }
    return inside > 0 ? insideSum / inside : m;
}

void recalcChannel(ConvParams& params, double* coeff, double refValue, int k, const std::int32_t* x,
                   std::int32_t n) {
    const double g = cleanedMean(x, n);
    const double d = divisorValue(params);
    double& offset = params.offset[k];

    if (std::fabs(refValue) > kZeroPointThreshold) {
        // Gain point: the offset in codes of the present gain of its own polarity is kept.
        const double v = offset;
        const bool hasOffset = std::fabs(v) > kOffsetPresence;
        const double h = hasOffset ? v / gainFor(coeff, k, v) : 0.0;
        coeff[gainIndex(k, polarityIndex(refValue))] = refValue / (g / d - h);
        if (hasOffset) {
            offset = h * gainFor(coeff, k, v);
        }
    } else {
        // Zero point: the cleaned mean becomes the offset, through the gain of its polarity.
        offset = (g / d) * gainFor(coeff, k, g);
    }
}

}  // namespace
}  // namespace trqm7x::math

extern "C" TRQM7X_MATH_API int32_t TRQM7X_MATH_CALL
trqm7xMath_RecalcCoeff(ConvParams* params, double* coeff, double refValue, int32_t channel,
                       const int32_t* samples, int32_t sampleCount) {
    using namespace trqm7x::math;
    // A channel outside 0..3 or an empty series would index outside the caller's arrays or
    // divide by zero; such a call changes nothing.
    if (channel < 0 || channel > kChannelCount || sampleCount < 1) {
        return 0;
    }
    if (channel == 0) {
        for (int k = 0; k < kChannelCount; ++k) {
            recalcChannel(*params, coeff, refValue, k,
                          samples + static_cast<std::ptrdiff_t>(k) * sampleCount, sampleCount);
        }
    } else {
        recalcChannel(*params, coeff, refValue, channel - 1, samples, sampleCount);
    }
    return 0;
}
