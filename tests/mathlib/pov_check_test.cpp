// The verification value checks: percent check with its protocol texts, absolute check.
#include <gtest/gtest.h>

#include <ostream>

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "pov_check_cases.h"
#include "trqm7x_math.h"

namespace {

using namespace mathlib_test::pov_check_cases;

class ProcCases : public ::testing::TestWithParam<ProcCase> {};

TEST_P(ProcCases, ResultAndTexts) {
    const ProcCase& c = GetParam();
    char tolText[32];
    char devText[32];
    std::fill(std::begin(tolText), std::end(tolText), '#');
    std::fill(std::begin(devText), std::end(devText), '#');
    EXPECT_EQ(c.result, trqm7xMath_povCheckValueProc(c.normValue, c.reference, c.measured,
                                                     c.tolPercent, tolText, devText));
    EXPECT_EQ(c.tolText, std::string(tolText));
    EXPECT_EQ(c.devText, std::string(devText));
}

TEST_P(ProcCases, NullTextBuffersGiveTheSameResult) {
    const ProcCase& c = GetParam();
    char text[32] = {};
    EXPECT_EQ(c.result, trqm7xMath_povCheckValueProc(c.normValue, c.reference, c.measured,
                                                     c.tolPercent, nullptr, nullptr));
    EXPECT_EQ(c.result, trqm7xMath_povCheckValueProc(c.normValue, c.reference, c.measured,
                                                     c.tolPercent, nullptr, text));
    EXPECT_EQ(c.devText, std::string(text));
    EXPECT_EQ(c.result, trqm7xMath_povCheckValueProc(c.normValue, c.reference, c.measured,
                                                     c.tolPercent, text, nullptr));
    EXPECT_EQ(c.tolText, std::string(text));
}

INSTANTIATE_TEST_SUITE_P(Examples, ProcCases, ::testing::ValuesIn(procCases()),
                         [](const auto& param_info) { return param_info.param.name; });

class AbsCases : public ::testing::TestWithParam<AbsCase> {};

TEST_P(AbsCases, SymmetricWithOptionalDeviation) {
    const AbsCase& c = GetParam();
    double deviation = -1.0;
    EXPECT_EQ(c.result,
              trqm7xMath_povCheckValueAbs(c.measured, c.reference, c.tolerance, &deviation));
    EXPECT_EQ(c.deviation, deviation);
    deviation = -1.0;
    EXPECT_EQ(c.result,
              trqm7xMath_povCheckValueAbs(c.reference, c.measured, c.tolerance, &deviation));
    EXPECT_EQ(c.deviation, deviation);
    EXPECT_EQ(c.result, trqm7xMath_povCheckValueAbs(c.measured, c.reference, c.tolerance, nullptr));
}

INSTANTIATE_TEST_SUITE_P(Examples, AbsCases, ::testing::ValuesIn(absCases()),
                         [](const auto& param_info) { return param_info.param.name; });

// A value that is not a number is never within tolerance, wherever the NaN comes in.
TEST(AbsCheck, NotANumberIsNeverWithinTolerance) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const struct {
        double measured, reference, tolerance;
    } cases[] = {{nan, 1.0, 0.5}, {1.0, nan, 0.5}, {1.0, 1.0, nan}, {nan, nan, 1e300}};
    for (const auto& c : cases) {
        double deviation = 0.0;
        EXPECT_EQ(1, trqm7xMath_povCheckValueAbs(c.measured, c.reference, c.tolerance, &deviation));
        EXPECT_EQ(1, trqm7xMath_povCheckValueAbs(c.measured, c.reference, c.tolerance, nullptr));
        EXPECT_EQ(std::isnan(c.measured) || std::isnan(c.reference), std::isnan(deviation));
    }
}

}  // namespace
