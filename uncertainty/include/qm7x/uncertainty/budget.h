// The uncertainty budget of one verification point: the standard uncertainty of its deviation
// Ux - Un from each source, combined, with its effective degrees of freedom, the coverage factor
// and the expanded uncertainty U. A pure evaluation: it keeps no state and knows no store.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "qm7x/uncertainty/standard.h"

namespace qm7x::uncertainty {

// The coverage probability that U aims at: the one that k = 2 gives a normal distribution.
inline constexpr double kCoverageProbability = 0.9545;
// From here on the effective degrees of freedom count as large and k is 2: Student's t at
// 95.45 % is then within 2.5 % of 2.
inline constexpr double kLargeDegreesOfFreedom = 50.0;

enum class Source {
    kRepeatability,       // the scatter of the kept samples (Type A)
    kStandardAccuracy,    // the reference standard's accuracy at the setting
    kStandardResolution,  // the reference standard's resolution
    kModuleResolution,    // one code step of the module
    kTemperature,         // the allowance of the point's temperature choice
};

enum class Distribution { kNormal, kRectangular };

struct Contribution {
    Source source = Source::kRepeatability;
    bool type_a = false;
    Distribution distribution = Distribution::kNormal;
    // Of the deviation, in volts (every sensitivity coefficient is 1).
    double standard_uncertainty_v = 0.0;
    // Infinity for a Type B contribution taken as exactly known.
    double degrees_of_freedom = 0.0;
};

struct Budget {
    std::vector<Contribution> contributions;
    double combined_v = 0.0;       // u_c
    double effective_dof = 0.0;    // Welch-Satterthwaite; infinity when no Type A term counts
    double coverage_factor = 0.0;  // k
    double expanded_v = 0.0;       // U = k u_c
};

struct PointInputs {
    // Volts: every sample of the block. The check takes the mean of those within
    // keep_band_sd standard deviations of the block's mean; that mean's scatter is larger than
    // the plain mean's, since the band follows the data: for normal noise its variance is
    // V(c) s^2 / n, V(c) = ((p - a)(1 + 2a) + a^2) / p^2 with p = erf(c / sqrt 2) and
    // a = 2 c phi(c) (V(1.96) = 1.223), s the samples' standard deviation (n - 1), n - 1 degrees
    // of freedom. An infinite band keeps every sample: V = 1.
    std::span<const double> samples;
    double keep_band_sd = 1.96;
    StandardAtSetting standard;
    double code_step_v = 0.0;              // the module's volts per code on its range
    double temperature_allowance_v = 0.0;  // half-width added to the tolerance for the temperature
};

// V(c): the variance of the mean within c standard deviations over that of the plain mean.
double KeptMeanVarianceFactor(double keep_band_sd);

struct Evaluation {
    std::optional<Budget> budget;
    std::string refusal;  // why there is no budget (empty when there is one)
};

Evaluation EvaluatePoint(const PointInputs& inputs);

// Welch-Satterthwaite: u_c^4 / sum(u_i^4 / nu_i); infinity when every term has infinite nu_i
// or no uncertainty.
double EffectiveDegreesOfFreedom(std::span<const Contribution> contributions);

// k for kCoverageProbability: Student's t quantile below kLargeDegreesOfFreedom, else 2.
double CoverageFactor(double effective_dof);

}  // namespace qm7x::uncertainty
