#include "qm7x/verify/deviation_check.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <string_view>

#include "qm7x/verify/printf_numbers.h"

namespace qm7x::verify {
namespace {

constexpr double kInitialMax = -1.0E10;
constexpr double kInitialMin = 1.0E10;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// The exponent written after the 'e' of a number in exponent form; none without an 'e'.
bool exponentOf(std::string_view text, int& exponent) {
    const auto e = text.find('e');
    if (e == std::string_view::npos) {
        return false;
    }
    std::string_view digits = text.substr(e + 1);
    if (!digits.empty() && digits.front() == '+') {
        digits.remove_prefix(1);  // from_chars takes a minus sign only
    }
    return std::from_chars(digits.data(), digits.data() + digits.size(), exponent).ec ==
           std::errc{};
}

// The error rounded to two significant digits as it is printed: "%-#.1e" read back.
double roundedError(double err, std::string& text) {
    text = FormatExp(err, 1);
    double value = err;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

struct KeptSums {
    double sum = 0.0;
    int count = 0;
    double max = kInitialMax;
    double min = kInitialMin;

    void add(double x) {
        sum += x;
        ++count;
        if (x > max) {
            max = x;
        }
        if (x < min) {
            min = x;
        }
    }
};

}  // namespace

MeanAndDeviation StdDev(std::span<const double> samples) {
    if (samples.empty()) {
        return {kNaN, kNaN};
    }
    const double n = static_cast<double>(samples.size());
    double sum = 0.0;
    for (const double x : samples) {
        sum += x;
    }
    const double mean = sum / n;
    double squares = 0.0;
    for (const double x : samples) {
        squares += (x - mean) * (x - mean);
    }
    return {mean, std::sqrt(squares / n)};
}

DeviationResult ChkDeviation(std::span<const double> samples, double un, double tolerance) {
    DeviationResult r;
    r.kept.assign(samples.size(), 0);
    const auto [mean0, sd] = StdDev(samples);
    r.mean0 = mean0;
    r.band = kBandFactor * sd;

    KeptSums kept;
    for (std::size_t i = 0; i < samples.size(); ++i) {
        if (std::fabs(samples[i] - mean0) < r.band) {
            kept.add(samples[i]);
            r.kept[i] = 1;
        }
    }
    // Without scatter (a stuck converter) no sample lies strictly inside the band; the point is
    // then judged on every sample it read.
    if (kept.count == 0 && !samples.empty()) {
        r.keptAllForNoScatter = true;
        for (std::size_t i = 0; i < samples.size(); ++i) {
            kept.add(samples[i]);
            r.kept[i] = 1;
        }
    }
    r.ux = kept.count > 0 ? kept.sum / kept.count : kNaN;

    std::string errText;
    const double err = roundedError(r.ux - un, errText);
    int expErr = 0;
    if (exponentOf(errText, expErr)) {
        int expNom = 0;
        exponentOf(FormatExp(un, 2), expNom);
        r.digits = expNom - expErr;
        if (r.digits > 1 && err < kSnapThreshold * r.ux) {
            r.ux = un + err;
        }
    }

    r.an = std::fabs(kPercent * tolerance / un);
    r.axs = kPercent * err / std::fabs(un);
    const double aboveUn = kept.max - un;
    const double belowUn = kept.min - un;
    r.dUmax = std::fabs(belowUn) > std::fabs(aboveUn) ? std::fabs(belowUn) : aboveUn;
    r.axmax = kPercent * r.dUmax / std::fabs(un);

    // Written so that a comparison with a NaN fails the point.
    if (un == 0.0) {
        r.judgedInVolts = true;
        r.verdict = std::fabs(r.dUmax) <= tolerance ? 0 : 1;
    } else {
        r.verdict = std::fabs(r.axmax) <= r.an ? 0 : 1;
    }
    if (!std::isfinite(r.ux)) {
        r.verdict = 1;  // no samples, or one that is no number: nothing shows it within tolerance
    }
    return r;
}

}  // namespace qm7x::verify
