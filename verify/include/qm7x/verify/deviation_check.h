// The judgement of one verification point: drops the samples outside the two-sided 95 % band of
// their own scatter, takes the mean of the rest as the measured value and compares the largest
// deviation of a kept sample from the nominal voltage with the permitted error. A pure function:
// no user interface, no file.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace qm7x::verify {

// Band factor: two-sided 95 % of a normal distribution, in standard deviations.
inline constexpr double kBandFactor = 1.96;
// Snap threshold: the measured value is snapped to the nominal plus the rounded error only when
// the error is below this fraction of the measured value.
inline constexpr double kSnapThreshold = 0.1;
inline constexpr double kPercent = 100.0;

struct MeanAndDeviation {
    double mean = 0.0;
    double deviation = 0.0;  // population standard deviation: sqrt(sum (x - mean)^2 / n)
};
// Mean and population standard deviation; NaN for both with no samples.
MeanAndDeviation StdDev(std::span<const double> samples);

struct DeviationResult {
    double ux = 0.0;     // V, measured: mean of the kept samples (snapped, see kSnapThreshold)
    double dUmax = 0.0;  // V, deviation of largest size of a kept sample from Un
    double an = 0.0;     // %, permitted error in percent of |Un|
    double axs = 0.0;    // %, systematic error (rounded) in percent of |Un|
    double axmax = 0.0;  // %, dUmax in percent of |Un|
    int digits = 0;      // decimal exponent of Un minus that of the rounded error
    int verdict = 1;     // 1 = out of tolerance ("Не норма"), 0 = within ("Норма")

    // What the plot and the reader of the row need beyond the columns.
    double mean0 = 0.0;                // mean of all samples
    double band = 0.0;                 // half-width of the band around mean0, V
    std::vector<std::uint8_t> kept;    // per sample: 1 kept, 0 dropped
    bool keptAllForNoScatter = false;  // no sample lay strictly inside the band: all were kept
    // Un is 0: the percent columns do not apply; the verdict compares |dUmax| with the tolerance
    // in volts.
    bool judgedInVolts = false;
};

// Judges the samples of one point against the nominal voltage un and the permitted deviation
// tolerance (V). A point is within tolerance only when |Axmax| <= An (|dUmax| <= tolerance for
// un 0); anything that is not a number fails. The systematic error Axs never enters the verdict.
DeviationResult ChkDeviation(std::span<const double> samples, double un, double tolerance);

}  // namespace qm7x::verify
