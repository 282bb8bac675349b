// The judgement of one point: the worked example and its negative twin, the snapping of the
// measured value, the printed precision, the band's boundary, the verdict's boundary, and the
// points the check as first written judged wrongly (no scatter, Un 0, samples that are no number).
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "qm7x/verify/deviation_check.h"
#include "qm7x/verify/protocol_text.h"

namespace qm7x::verify {
namespace {

// `count` samples of a followed by `count` samples of b.
std::vector<double> twoLevels(double a, double b, int count = 50) {
    std::vector<double> samples(static_cast<std::size_t>(count), a);
    samples.insert(samples.end(), static_cast<std::size_t>(count), b);
    return samples;
}

int keptCount(const DeviationResult& r) {
    int n = 0;
    for (const auto k : r.kept) {
        n += k;
    }
    return n;
}

TEST(StdDev, MeanAndPopulationDeviation) {
    const std::vector<double> samples{2, 4, 4, 4, 5, 5, 7, 9};
    const auto [mean, sd] = StdDev(samples);
    EXPECT_DOUBLE_EQ(mean, 5.0);
    EXPECT_DOUBLE_EQ(sd, 2.0);  // sqrt(32 / 8), not the sample deviation sqrt(32 / 7)
    EXPECT_TRUE(std::isnan(StdDev({}).mean));
}

TEST(ChkDeviation, WorkedExampleIsWithinTolerance) {
    const auto r = ChkDeviation(twoLevels(1.00002, 1.00004), 1.0, 0.00045);
    EXPECT_EQ(keptCount(r), 100);
    EXPECT_NEAR(r.mean0, 1.00003, 1e-12);
    EXPECT_NEAR(r.band, 1.96e-5, 1e-12);
    EXPECT_EQ(r.digits, 5);
    EXPECT_DOUBLE_EQ(r.ux, 1.0 + 3.0e-5);  // snapped to Un + the rounded error
    EXPECT_NEAR(r.an, 0.045, 1e-12);
    EXPECT_NEAR(r.axs, 0.003, 1e-12);
    EXPECT_NEAR(r.dUmax, 4.0e-5, 1e-12);
    EXPECT_NEAR(r.axmax, 0.004, 1e-9);
    EXPECT_EQ(r.verdict, 0);
    EXPECT_EQ(ResultRow(r, 1.0),
              "1.000000e+00, 1.000030e+00, 3.0e-05, 4.0000e-05, 0.0030%, 0.0040%, 0.045%   "
              "Норма\n");
}

TEST(ChkDeviation, NegativeTwinIsNotSnapped) {
    const auto r = ChkDeviation(twoLevels(-0.99998, -0.99996), -1.0, 0.00045);
    EXPECT_EQ(r.digits, 5);
    // err 3.0E-5 is not below 0.1 x Ux (negative): Ux stays the mean.
    EXPECT_NEAR(r.ux, -0.99997, 1e-14);
    EXPECT_NEAR(r.dUmax, 4.0e-5, 1e-12);
    EXPECT_EQ(r.verdict, 0);
    EXPECT_THAT(ResultRow(r, -1.0),
                ::testing::StartsWith("-1.000000e+00, -9.999700e-01, 3.0e-05, 4.0000e-05, "));
}

TEST(ChkDeviation, LargeErrorIsPrintedWithFewDecimalsAndNotSnapped) {
    // err 0.3 at Un 1: digits 1, Ux keeps the mean and prints with 2 decimals.
    const auto r = ChkDeviation(twoLevels(1.29, 1.31), 1.0, 0.00045);
    EXPECT_EQ(r.digits, 1);
    EXPECT_NEAR(r.ux, 1.3, 1e-14);
    EXPECT_EQ(r.verdict, 1);
    EXPECT_EQ(ResultRow(r, 1.0),
              "1.00e+00, 1.30e+00, 3.0e-01, 3.1000e-01, 30.0000%, 31.0000%, 0.045%   Не норма\n");
}

TEST(ChkDeviation, DigitsPlusOneOfZeroPrintsNoDecimals) {
    // err 1.0 (exponent 0) at Un 0.1 (exponent -1): digits -1, "%.0e".
    const auto r = ChkDeviation(twoLevels(1.09, 1.11), 0.1, 0.00045);
    EXPECT_EQ(r.digits, -1);
    EXPECT_EQ(ResultRow(r, 0.1),
              "1e-01, 1e+00, 1.0e+00, 1.0100e+00, 1000.0000%, 1010.0000%, 0.450%   Не норма\n");
}

TEST(ChkDeviation, NegativeDigitsPlusOnePrintsSixDecimals) {
    // err 1.0 at Un 0.01: digits -2, a negative precision counts as none.
    const auto r = ChkDeviation(twoLevels(1.0, 1.02), 0.01, 0.00045);
    EXPECT_EQ(r.digits, -2);
    EXPECT_THAT(ResultRow(r, 0.01), ::testing::StartsWith("1.000000e-02, 1.010000e+00, 1.0e+00, "));
}

TEST(ChkDeviation, ExactZeroErrorHasExponentZero) {
    // Symmetric about Un: err 0 prints "0.0e+00", digits = the exponent of Un (-1).
    const auto r = ChkDeviation(twoLevels(0.25, 0.75), 0.5, 0.5);
    EXPECT_EQ(r.digits, -1);
    EXPECT_DOUBLE_EQ(r.ux, 0.5);
    EXPECT_DOUBLE_EQ(r.dUmax, 0.25);
}

// 625 samples at +1, 625 at -1 and the rest at 0: with 4802 samples 1.96 sd is exactly 1.
std::vector<double> boundarySamples(int zeros) {
    std::vector<double> samples(625, 1.0);
    samples.insert(samples.end(), 625, -1.0);
    samples.insert(samples.end(), static_cast<std::size_t>(zeros), 0.0);
    return samples;
}

TEST(ChkDeviation, SampleExactlyOnTheBandIsDropped) {
    const auto on = ChkDeviation(boundarySamples(3552), 0.0, 1.0);
    ASSERT_EQ(on.band, 1.0);
    EXPECT_EQ(keptCount(on), 3552);  // only the zeros
    EXPECT_EQ(on.kept.front(), 0);
    EXPECT_EQ(on.kept.back(), 1);
    // One zero fewer widens the band beyond 1: everything is kept.
    const auto inside = ChkDeviation(boundarySamples(3551), 0.0, 1.0);
    ASSERT_GT(inside.band, 1.0);
    EXPECT_EQ(keptCount(inside), 4801);
}

TEST(ChkDeviation, AxmaxEqualToAnPassesAndAboveFails) {
    // Binary-exact values: dUmax = tolerance = 2^-11 at Un 1, so Axmax == An.
    const double tolerance = std::ldexp(1.0, -11);
    const auto samples = twoLevels(1.0 + tolerance, 1.0 + tolerance / 2);
    const auto equal = ChkDeviation(samples, 1.0, tolerance);
    ASSERT_EQ(equal.axmax, equal.an);
    EXPECT_EQ(equal.verdict, 0);
    const auto tighter = ChkDeviation(samples, 1.0, std::nextafter(tolerance, 0.0));
    EXPECT_EQ(tighter.verdict, 1);
}

TEST(ChkDeviation, OnlyTheWorstSampleDecidesNotTheSystematicError) {
    // Un 1, tolerance 0.0001 V (An 0.01 %): a large systematic error fails through dUmax only.
    const auto r = ChkDeviation(twoLevels(1.00008, 1.00009), 1.0, 0.0001);
    EXPECT_GT(r.axs, 0.008);
    EXPECT_EQ(r.verdict, 0);
    // The largest deviation below Un counts by its size.
    const auto below = ChkDeviation(twoLevels(0.99988, 0.99999), 1.0, 0.0001);
    EXPECT_NEAR(below.dUmax, 0.00012, 1e-12);
    EXPECT_EQ(below.verdict, 1);
}

TEST(ChkDeviation, OutliersBeyondTheBandAreDropped) {
    std::vector<double> samples = twoLevels(1.00002, 1.00004, 49);
    samples.push_back(1.01);  // a spike: far outside 1.96 sd
    samples.push_back(1.00003);
    const auto r = ChkDeviation(samples, 1.0, 0.00045);
    EXPECT_EQ(keptCount(r), 99);
    EXPECT_EQ(r.kept[98], 0);
    EXPECT_NEAR(r.dUmax, 4.0e-5, 1e-12);
    EXPECT_EQ(r.verdict, 0);
}

// ---- Points the check as first written judged wrongly
// --------------------------------------------

TEST(ChkDeviation, StuckConverterIsJudgedOnEverySample) {
    // No scatter: nothing lies strictly inside a band of width 0; every sample is kept.
    const std::vector<double> stuck(100, 0.5);
    const auto r = ChkDeviation(stuck, 1.0, 0.00045);
    EXPECT_TRUE(r.keptAllForNoScatter);
    EXPECT_EQ(keptCount(r), 100);
    EXPECT_DOUBLE_EQ(r.ux, 0.5);
    EXPECT_DOUBLE_EQ(r.dUmax, -0.5);  // all kept samples one value below Un: negative
    EXPECT_EQ(r.verdict, 1);          // 0/0 once made this "Норма"
    EXPECT_EQ(ResultRow(r, 1.0),
              "1.00e+00, 5.00e-01, -5.0e-01, -5.0000e-01, -50.0000%, -50.0000%, 0.045%   "
              "Не норма\n");

    const std::vector<double> stuckNearUn(100, 1.0001);
    const auto near = ChkDeviation(stuckNearUn, 1.0, 0.00045);
    EXPECT_EQ(near.verdict, 0);
    EXPECT_NEAR(near.dUmax, 1.0e-4, 1e-12);
}

TEST(ChkDeviation, ZeroNominalIsJudgedInVolts) {
    const auto within = ChkDeviation(twoLevels(0.00002, 0.00004), 0.0, 0.00045);
    EXPECT_TRUE(within.judgedInVolts);
    EXPECT_EQ(within.verdict, 0);
    EXPECT_EQ(ResultRow(within, 0.0),
              "0.000000e+00, 3.000000e-05, 3.0e-05, 4.0000e-05, —, —, —   Норма\n");

    const auto out = ChkDeviation(twoLevels(-0.0004, -0.0005), 0.0, 0.00045);
    EXPECT_NEAR(out.dUmax, 0.0005, 1e-15);
    EXPECT_EQ(out.verdict, 1);  // an infinite An once passed every offset
    EXPECT_THAT(ResultRow(out, 0.0), ::testing::EndsWith(", —, —, —   Не норма\n"));
}

TEST(ChkDeviation, SamplesThatAreNoNumberFail) {
    std::vector<double> samples = twoLevels(1.00002, 1.00004);
    samples[7] = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(ChkDeviation(samples, 1.0, 0.00045).verdict, 1);
    EXPECT_EQ(ChkDeviation({}, 1.0, 0.00045).verdict, 1);
}

}  // namespace
}  // namespace qm7x::verify
