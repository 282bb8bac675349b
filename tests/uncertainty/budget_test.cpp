// Budgets checked against values worked out by hand from the formulas; the coverage factors
// against Student's t at 95.45 % as tabulated in the GUM (JCGM 100, table G.2).
#include "qm7x/uncertainty/budget.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace qm7x::uncertainty {
namespace {

const Contribution& Of(const Budget& budget, Source source) {
    for (const Contribution& c : budget.contributions) {
        if (c.source == source) {
            return c;
        }
    }
    throw std::logic_error("no such contribution");
}

// Five kept samples around 1 V: mean 1.000032 V, deviations -22, -2, -12, 28, 8 uV.
const std::vector<double> kFive = {1.00001, 1.00003, 1.00002, 1.00006, 1.00004};
const double kFiveSquares = (22.0 * 22 + 2 * 2 + 12 * 12 + 28 * 28 + 8 * 8) * 1e-12;
const double kFiveTypeA = std::sqrt(kFiveSquares / 4.0) / std::sqrt(5.0);

TEST(UncertaintyBudget, FewSamplesAloneTakeStudentsTOfTheirDegreesOfFreedom) {
    PointInputs in;
    in.samples = kFive;
    in.keep_band_sd = std::numeric_limits<double>::infinity();  // the plain mean
    in.standard.certificate_standard_uncertainty_v = 0.0;       // nothing but the scatter
    const Evaluation e = EvaluatePoint(in);
    ASSERT_TRUE(e.budget) << e.refusal;
    const Budget& b = *e.budget;
    EXPECT_NEAR(Of(b, Source::kRepeatability).standard_uncertainty_v, kFiveTypeA, 1e-12);
    EXPECT_TRUE(Of(b, Source::kRepeatability).type_a);
    EXPECT_DOUBLE_EQ(b.effective_dof, 4.0);
    EXPECT_NEAR(b.coverage_factor, 2.87, 0.005);  // t(95.45 %, 4)
    EXPECT_NEAR(b.expanded_v, b.coverage_factor * kFiveTypeA, 1e-12);
}

TEST(UncertaintyBudget, FewSamplesWithTypeBTakeWelchSatterthwaite) {
    // 1 V from a standard of 5 ppm + 5 uV on its 2 V range, resolution 1 uV; a module step of
    // 1 V / 2^23; "+18 ... +22 C" (no allowance).
    const std::vector<StandardRange> ranges = {{2.0, 5.0, 5e-6, 1e-6}, {20.0, 5.0, 50e-6, 10e-6}};
    PointInputs in;
    in.samples = kFive;
    in.keep_band_sd = std::numeric_limits<double>::infinity();
    in.standard = *AtSetting(ranges, 1.0);
    in.code_step_v = 1.0 / 8388608.0;
    const Evaluation e = EvaluatePoint(in);
    ASSERT_TRUE(e.budget) << e.refusal;
    const Budget& b = *e.budget;

    const double u_standard = (5e-6 * 1.0 + 5e-6) / std::sqrt(3.0);
    const double u_resolution = 1e-6 / std::sqrt(12.0);
    const double u_step = (1.0 / 8388608.0) / std::sqrt(12.0);
    const double uc2 = kFiveTypeA * kFiveTypeA + u_standard * u_standard +
                       u_resolution * u_resolution + u_step * u_step;
    const double nu = uc2 * uc2 / (std::pow(kFiveTypeA, 4) / 4.0);
    EXPECT_NEAR(Of(b, Source::kStandardAccuracy).standard_uncertainty_v, u_standard, 1e-15);
    EXPECT_EQ(Of(b, Source::kStandardAccuracy).distribution, Distribution::kRectangular);
    EXPECT_NEAR(Of(b, Source::kStandardResolution).standard_uncertainty_v, u_resolution, 1e-15);
    EXPECT_NEAR(Of(b, Source::kModuleResolution).standard_uncertainty_v, u_step, 1e-15);
    EXPECT_NEAR(b.combined_v, std::sqrt(uc2), 1e-13);
    EXPECT_NEAR(b.effective_dof, nu, 1e-9);
    ASSERT_GT(nu, 8.0);  // about 8.4: k lies between t(8) = 2.37 and t(9) = 2.32
    ASSERT_LT(nu, 9.0);
    EXPECT_LT(b.coverage_factor, 2.37);
    EXPECT_GT(b.coverage_factor, 2.32);
    EXPECT_DOUBLE_EQ(b.expanded_v, b.coverage_factor * b.combined_v);
}

TEST(UncertaintyBudget, ManySamplesTakeTwoAndTheTemperatureAllowanceIsRectangular) {
    // 95 kept samples at 9 V alternating +-40 uV; "+5 C" (0.00026 V); a certificate stating
    // u = 30 uV for the standard at 9 V replaces the maker's accuracy.
    std::vector<double> samples;
    for (int i = 0; i < 95; ++i) {
        samples.push_back(9.0 + (i % 2 == 0 ? 40e-6 : -40e-6));
    }
    const double mean = 9.0 + 40e-6 / 95.0;  // 48 above, 47 below
    double squares = 0.0;
    for (double x : samples) {
        squares += (x - mean) * (x - mean);
    }
    const double u_a = std::sqrt(squares / 94.0) / std::sqrt(95.0);

    PointInputs in;
    in.samples = samples;
    in.keep_band_sd = std::numeric_limits<double>::infinity();
    in.standard.accuracy_half_width_v = 1.0;  // must not be used
    in.standard.certificate_standard_uncertainty_v = 30e-6;
    in.standard.resolution_v = 10e-6;
    in.code_step_v = 10.0 / 8388608.0;
    in.temperature_allowance_v = 0.00026;
    const Evaluation e = EvaluatePoint(in);
    ASSERT_TRUE(e.budget) << e.refusal;
    const Budget& b = *e.budget;

    const double u_temperature = 0.00026 / std::sqrt(3.0);
    const double uc =
        std::sqrt(u_a * u_a + 30e-6 * 30e-6 + std::pow(10e-6 / std::sqrt(12.0), 2) +
                  std::pow(10.0 / 8388608.0 / std::sqrt(12.0), 2) + u_temperature * u_temperature);
    EXPECT_NEAR(Of(b, Source::kRepeatability).standard_uncertainty_v, u_a, 1e-15);
    EXPECT_EQ(Of(b, Source::kStandardAccuracy).distribution, Distribution::kNormal);
    EXPECT_DOUBLE_EQ(Of(b, Source::kStandardAccuracy).standard_uncertainty_v, 30e-6);
    EXPECT_NEAR(Of(b, Source::kTemperature).standard_uncertainty_v, u_temperature, 1e-15);
    EXPECT_NEAR(b.combined_v, uc, 1e-13);
    EXPECT_GT(b.effective_dof, 94.0);
    EXPECT_EQ(b.coverage_factor, 2.0);
    EXPECT_NEAR(b.expanded_v, 2.0 * uc, 1e-13);
}

TEST(UncertaintyBudget, TheMeanWithinTheBandScattersMoreThanThePlainMean) {
    // c = 1.96: p = erf(1.96 / sqrt 2) = 0.9500042, a = 2 c phi(c) = 3.92 x 0.0584409 = 0.2290883;
    // V = ((p - a)(1 + 2a) + a^2) / p^2 = 1.2229 (0.720916 x 1.458177 + 0.052481) / 0.902508.
    const double p = 0.9500042;
    const double a = 3.92 * 0.0584409;
    const double v = ((p - a) * (1.0 + 2.0 * a) + a * a) / (p * p);
    EXPECT_NEAR(KeptMeanVarianceFactor(1.96), v, 1e-6);
    EXPECT_NEAR(v, 1.2229, 1e-4);
    EXPECT_EQ(KeptMeanVarianceFactor(std::numeric_limits<double>::infinity()), 1.0);

    PointInputs in;
    in.samples = kFive;
    in.standard.certificate_standard_uncertainty_v = 0.0;
    const Evaluation e = EvaluatePoint(in);  // the check's band of 1.96
    ASSERT_TRUE(e.budget) << e.refusal;
    EXPECT_NEAR(Of(*e.budget, Source::kRepeatability).standard_uncertainty_v,
                std::sqrt(v) * kFiveTypeA, 1e-11);
    EXPECT_DOUBLE_EQ(e.budget->effective_dof, 4.0);
}

TEST(UncertaintyBudget, AStuckConverterLeavesTheTypeBTermsAndKTwo) {
    const std::vector<double> stuck(100, 0.5);
    PointInputs in;
    in.samples = stuck;
    in.standard.accuracy_half_width_v = 30e-6;
    const Evaluation e = EvaluatePoint(in);
    ASSERT_TRUE(e.budget) << e.refusal;
    EXPECT_EQ(Of(*e.budget, Source::kRepeatability).standard_uncertainty_v, 0.0);
    EXPECT_TRUE(std::isinf(e.budget->effective_dof));
    EXPECT_NEAR(e.budget->expanded_v, 2.0 * 30e-6 / std::sqrt(3.0), 1e-15);
}

TEST(UncertaintyBudget, RefusesWhatCannotBeEvaluated) {
    const std::vector<double> one = {1.0};
    const std::vector<double> with_nan = {1.0, std::nan(""), 1.0};
    PointInputs in;
    in.samples = one;
    EXPECT_FALSE(EvaluatePoint(in).budget);
    EXPECT_NE(EvaluatePoint(in).refusal.find("two"), std::string::npos);
    in.samples = with_nan;
    EXPECT_FALSE(EvaluatePoint(in).budget);
    in.samples = kFive;
    in.code_step_v = -1.0;
    EXPECT_FALSE(EvaluatePoint(in).budget);
    EXPECT_FALSE(EvaluatePoint(in).refusal.empty());
}

TEST(CoverageFactor, FollowsStudentsTBelowFiftyDegreesAndIsTwoFromThere) {
    EXPECT_NEAR(CoverageFactor(1.0), 13.97, 0.005);
    EXPECT_NEAR(CoverageFactor(2.0), 4.53, 0.005);
    EXPECT_NEAR(CoverageFactor(10.0), 2.28, 0.005);
    EXPECT_NEAR(CoverageFactor(20.0), 2.13, 0.005);
    EXPECT_NEAR(CoverageFactor(49.99), 2.05, 0.005);
    EXPECT_EQ(CoverageFactor(50.0), 2.0);
    EXPECT_EQ(CoverageFactor(std::numeric_limits<double>::infinity()), 2.0);
}

TEST(StandardAtSetting, TakesTheSmallestRangeHoldingTheSetting) {
    const std::vector<StandardRange> ranges = {{20.0, 8.0, 50e-6, 10e-6}, {2.0, 6.0, 5e-6, 1e-6}};
    const auto low = AtSetting(ranges, -1.5);
    ASSERT_TRUE(low);
    EXPECT_DOUBLE_EQ(low->accuracy_half_width_v, 6e-6 * 1.5 + 5e-6);
    EXPECT_DOUBLE_EQ(low->resolution_v, 1e-6);
    const auto high = AtSetting(ranges, 9.0);
    ASSERT_TRUE(high);
    EXPECT_DOUBLE_EQ(high->accuracy_half_width_v, 8e-6 * 9.0 + 50e-6);
    EXPECT_FALSE(AtSetting(ranges, 25.0));
    EXPECT_FALSE(AtSetting(ranges, std::nan("")));
    const std::vector<StandardRange> broken = {{2.0, -1.0, 5e-6, 1e-6}};
    EXPECT_FALSE(AtSetting(broken, 1.0));
}

}  // namespace
}  // namespace qm7x::uncertainty
