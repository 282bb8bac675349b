// The run's constants and the reading of the operator's reply: no driver, no panel.
#include <gtest/gtest.h>

#include <cmath>

#include "qm7x/calibr/calibr_constants.h"
#include "qm7x/calibr/reference_reply.h"

namespace qm7x::calibr {
namespace {

// Both lengths are truncations of floating-point divisions by the stored period; a rounding of
// 0.5 / 8E-7 below 625000 would have made them 624999 and 625199.
TEST(CalibrationConstants, TheBlockAndTheReadOffsetFollowFromThePeriod) {
    EXPECT_EQ(kReadOffset, 625000);
    EXPECT_EQ(kBlockLength, 625200);
    EXPECT_EQ(kBlockLength - kReadOffset, kSamplesPerPoint);
    EXPECT_EQ(static_cast<double>(kReadOffset) * CALIBR_SAMPLE_PERIOD, kSettlingTimeS);
    // The truncation is toward zero, not to the nearest: a period whose quotient is not whole.
    EXPECT_EQ(static_cast<std::int32_t>(kSettlingTimeS / 7.0E-7), 714285);
}

struct Reply {
    const char* text;
    Polarity polarity;
    bool accepted;
    double volts;
};

class ReferenceReplies : public ::testing::TestWithParam<Reply> {};

TEST_P(ReferenceReplies, AreReadAsTheOperatorMeantThem) {
    const Reply reply = GetParam();
    const ReferenceReply parsed = ParseReferenceReply(reply.text, reply.polarity);
    EXPECT_EQ(parsed.accepted, reply.accepted) << parsed.refusal;
    if (reply.accepted) {
        EXPECT_EQ(parsed.volts, reply.volts);
        EXPECT_TRUE(parsed.refusal.empty());
    } else {
        EXPECT_NE(parsed.refusal.find(reply.text), std::string::npos) << parsed.refusal;
        EXPECT_NE(parsed.refusal.find("калибровка прервана"), std::string::npos);
    }
}

constexpr Polarity kPos = Polarity::positive;
constexpr Polarity kNeg = Polarity::negative;

INSTANTIATE_TEST_SUITE_P(
    Typed, ReferenceReplies,
    ::testing::Values(
        Reply{"9", kPos, true, 9.0}, Reply{"9.0", kPos, true, 9.0}, Reply{"+9", kPos, true, 9.0},
        Reply{" 0,9 ", kPos, true, 0.9}, Reply{"1e-3", kPos, true, 0.001},
        Reply{"-9", kNeg, true, -9.0}, Reply{"-0,09", kNeg, true, -0.09},
        Reply{"-.5", kNeg, true, -0.5},
        // Not a number, or more than a number.
        Reply{"", kPos, false, 0}, Reply{"   ", kPos, false, 0}, Reply{"abc", kPos, false, 0},
        Reply{"9V", kPos, false, 0}, Reply{"9 В", kPos, false, 0}, Reply{"9.0.1", kPos, false, 0},
        Reply{"9,5,1", kPos, false, 0}, Reply{"+-9", kNeg, false, 0}, Reply{"--9", kNeg, false, 0},
        Reply{"nan", kPos, false, 0}, Reply{"inf", kPos, false, 0}, Reply{"-inf", kNeg, false, 0},
        Reply{"1e999", kPos, false, 0},
        // The wrong side of 0 V.
        Reply{"0", kPos, false, 0}, Reply{"-0", kPos, false, 0}, Reply{"-9", kPos, false, 0},
        Reply{"0", kNeg, false, 0}, Reply{"9", kNeg, false, 0}, Reply{"+0,0", kNeg, false, 0}));

TEST(ReferenceReplies, TheRefusalNamesThePointAndTheRule) {
    EXPECT_EQ(ParseReferenceReply("abc", kNeg).refusal,
              "Значение нижнего (отрицательного) напряжения «abc» не число: калибровка прервана");
    EXPECT_EQ(ParseReferenceReply("0", kPos).refusal,
              "Верхнее (положительное) напряжение должно быть больше 0 В, введено «0»: "
              "калибровка прервана");
    EXPECT_EQ(ParseReferenceReply("1", kNeg).refusal,
              "Нижнее (отрицательное) напряжение должно быть меньше 0 В, введено «1»: "
              "калибровка прервана");
}

}  // namespace
}  // namespace qm7x::calibr
