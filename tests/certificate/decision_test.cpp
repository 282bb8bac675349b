#include "qm7x/certificate/decision.h"

#include <gtest/gtest.h>

#include <cmath>

namespace qm7x::certificate {
namespace {

TEST(DecisionRule, GuardBandOfUOnEachSideOfTheLimit) {
    // Tolerance 1 mV, U = 0.2 mV: conforms up to 0.8 mV, fails from 1.2 mV, conditional between.
    EXPECT_EQ(Decide(0.0005, 0.001, 0.0002), Decision::kConforms);
    EXPECT_EQ(Decide(-0.0008, 0.001, 0.0002), Decision::kConforms);  // at the band's edge
    EXPECT_EQ(Decide(0.00081, 0.001, 0.0002), Decision::kConditional);
    EXPECT_EQ(Decide(-0.0011, 0.001, 0.0002), Decision::kConditional);
    EXPECT_EQ(Decide(0.0012, 0.001, 0.0002), Decision::kDoesNotConform);
    EXPECT_EQ(Decide(-0.005, 0.001, 0.0002), Decision::kDoesNotConform);
    // A U wider than the tolerance never lets a point conform.
    EXPECT_EQ(Decide(0.0, 0.001, 0.002), Decision::kConditional);
}

TEST(DecisionRule, NoUncertaintyNoDecision) {
    EXPECT_EQ(Decide(0.0, 0.001, std::nullopt), Decision::kNotDecided);
    EXPECT_EQ(Decide(std::nan(""), 0.001, 0.0001), Decision::kNotDecided);
    EXPECT_EQ(DecisionText(Decision::kConforms), "соответствует");
    EXPECT_EQ(DecisionText(Decision::kDoesNotConform), "не соответствует");
    EXPECT_EQ(DecisionText(Decision::kConditional), "условно");
    EXPECT_EQ(DecisionText(Decision::kNotDecided), "—");
}

TEST(StatedUncertainty, RoundsUpToTwoSignificantDigits) {
    EXPECT_DOUBLE_EQ(RoundUpTwoDigits(0.00003401), 0.000035);
    EXPECT_DOUBLE_EQ(RoundUpTwoDigits(0.000034), 0.000034);
    EXPECT_DOUBLE_EQ(RoundUpTwoDigits(0.0999), 0.1);
    EXPECT_DOUBLE_EQ(RoundUpTwoDigits(2.31), 2.4);
    EXPECT_GE(RoundUpTwoDigits(1.7320508e-5), 1.7320508e-5);
}

}  // namespace
}  // namespace qm7x::certificate
