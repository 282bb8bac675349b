#include "qm7x/uncertainty/budget.h"

#include <boost/math/distributions/students_t.hpp>
#include <cmath>
#include <limits>
#include <numbers>
#include <numeric>

namespace qm7x::uncertainty {

namespace {

constexpr double kInfinity = std::numeric_limits<double>::infinity();

bool FiniteNonNegative(double value) {
    return std::isfinite(value) && value >= 0.0;
}

// The samples' standard deviation (n - 1 in the variance) over sqrt(n).
double StandardDeviationOfMean(std::span<const double> samples) {
    const double n = static_cast<double>(samples.size());
    const double mean = std::accumulate(samples.begin(), samples.end(), 0.0) / n;
    double squares = 0.0;
    for (double x : samples) {
        squares += (x - mean) * (x - mean);
    }
    return std::sqrt(squares / (n - 1.0)) / std::sqrt(n);
}

Contribution TypeB(Source source, Distribution distribution, double u) {
    return Contribution{source, false, distribution, u, kInfinity};
}

}  // namespace

double KeptMeanVarianceFactor(double c) {
    if (!(c < kInfinity)) {
        return 1.0;
    }
    // The influence of a sample x (unit normal) on the kept mean: x inside the band, plus the
    // band's shift with the block's mean, a x; over the kept share p.
    const double p = std::erf(c / std::sqrt(2.0));
    const double a = 2.0 * c * std::exp(-c * c / 2.0) / std::sqrt(2.0 * std::numbers::pi);
    return ((p - a) * (1.0 + 2.0 * a) + a * a) / (p * p);
}

double EffectiveDegreesOfFreedom(std::span<const Contribution> contributions) {
    double variance = 0.0;
    double denominator = 0.0;
    for (const Contribution& c : contributions) {
        const double u2 = c.standard_uncertainty_v * c.standard_uncertainty_v;
        variance += u2;
        if (std::isfinite(c.degrees_of_freedom) && u2 > 0.0) {
            denominator += u2 * u2 / c.degrees_of_freedom;
        }
    }
    if (denominator == 0.0) {
        return kInfinity;
    }
    return variance * variance / denominator;
}

double CoverageFactor(double effective_dof) {
    if (!(effective_dof < kLargeDegreesOfFreedom)) {
        return 2.0;
    }
    const boost::math::students_t t(effective_dof);
    return boost::math::quantile(t, 0.5 + kCoverageProbability / 2.0);
}

Evaluation EvaluatePoint(const PointInputs& in) {
    if (in.samples.size() < 2) {
        return {std::nullopt, "fewer than two samples: their scatter cannot be evaluated"};
    }
    for (double x : in.samples) {
        if (!std::isfinite(x)) {
            return {std::nullopt, "a sample is not a number"};
        }
    }
    if (!(in.keep_band_sd > 0.0)) {
        return {std::nullopt, "the band of the kept samples is not a positive number"};
    }
    const StandardAtSetting& standard = in.standard;
    if (!FiniteNonNegative(standard.accuracy_half_width_v) ||
        !FiniteNonNegative(standard.resolution_v) || !FiniteNonNegative(in.code_step_v) ||
        !FiniteNonNegative(in.temperature_allowance_v) ||
        (standard.certificate_standard_uncertainty_v &&
         !FiniteNonNegative(*standard.certificate_standard_uncertainty_v))) {
        return {std::nullopt, "an input of the budget is negative or not a number"};
    }

    const double sqrt3 = std::sqrt(3.0);
    const double sqrt12 = std::sqrt(12.0);
    Budget budget;
    budget.contributions.push_back(
        {Source::kRepeatability, true, Distribution::kNormal,
         std::sqrt(KeptMeanVarianceFactor(in.keep_band_sd)) * StandardDeviationOfMean(in.samples),
         static_cast<double>(in.samples.size() - 1)});
    if (standard.certificate_standard_uncertainty_v) {
        budget.contributions.push_back(TypeB(Source::kStandardAccuracy, Distribution::kNormal,
                                             *standard.certificate_standard_uncertainty_v));
    } else {
        budget.contributions.push_back(TypeB(Source::kStandardAccuracy, Distribution::kRectangular,
                                             standard.accuracy_half_width_v / sqrt3));
    }
    budget.contributions.push_back(TypeB(Source::kStandardResolution, Distribution::kRectangular,
                                         standard.resolution_v / sqrt12));
    budget.contributions.push_back(
        TypeB(Source::kModuleResolution, Distribution::kRectangular, in.code_step_v / sqrt12));
    budget.contributions.push_back(TypeB(Source::kTemperature, Distribution::kRectangular,
                                         in.temperature_allowance_v / sqrt3));

    double variance = 0.0;
    for (const Contribution& c : budget.contributions) {
        variance += c.standard_uncertainty_v * c.standard_uncertainty_v;
    }
    budget.combined_v = std::sqrt(variance);
    budget.effective_dof = EffectiveDegreesOfFreedom(budget.contributions);
    budget.coverage_factor = CoverageFactor(budget.effective_dof);
    budget.expanded_v = budget.coverage_factor * budget.combined_v;
    return {std::move(budget), {}};
}

}  // namespace qm7x::uncertainty
