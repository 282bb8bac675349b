// Recalculation of gains and zero offsets from one calibration point.
#include <gtest/gtest.h>

#include <ostream>

#include <array>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "raw_block.h"
#include "recalc_cases.h"
#include "trqm7x_math.h"

namespace {

using namespace mathlib_test::recalc_cases;

using mathlib_test::makeParams;

class RecalcCases : public ::testing::TestWithParam<RecalcCase> {};

TEST_P(RecalcCases, WritesOnlyTheTreatedChannel) {
    const RecalcCase& c = GetParam();
    ConvParams params =
        makeParams(7, c.divisor, 1, c.offsetBefore[0], c.offsetBefore[1], c.offsetBefore[2]);
    params.reserved = 0x5A5A5A5A;
    std::vector<double> coeff = kCoeff;
    // Exactly the codes the call may read, so that a sanitizer sees any read beyond them.
    const std::vector<std::int32_t> samples = c.samples;
    EXPECT_EQ(0, trqm7xMath_RecalcCoeff(&params, coeff.data(), c.refValue, c.channel,
                                        samples.data(), c.sampleCount));

    std::vector<double> want = kCoeff;
    for (const auto& [element, value] : c.coeffChanges) {
        want[static_cast<std::size_t>(element)] = value;
    }
    for (std::size_t i = 0; i < want.size(); ++i) {
        EXPECT_EQ(want[i], coeff[i]) << "coeff element " << i;
    }
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(c.offsetAfter[k], params.offset[k]) << "offset " << k;
    }
    EXPECT_EQ(7, params.shift);
    EXPECT_EQ(c.divisor, params.divisor);
    EXPECT_EQ(1, params.format);
    EXPECT_EQ(0x5A5A5A5A, params.reserved);
}

INSTANTIATE_TEST_SUITE_P(Points, RecalcCases, ::testing::ValuesIn(recalcCases()),
                         [](const auto& param_info) { return param_info.param.name; });

TEST(RecalcCoeff, ChannelZeroReadsThreeBlocksOfSampleCount) {
    std::vector<std::int32_t> samples;
    for (int k = 0; k < 3; ++k) {
        for (int j = 0; j < 10; ++j) {
            samples.push_back(100 * (k + 1) + (j == 9 ? 5000 : 0));  // one outlier per block
        }
    }
    ConvParams params = makeParams(0, 1, 0);
    std::vector<double> coeff = kCoeff;
    trqm7xMath_RecalcCoeff(&params, coeff.data(), 0.0, 0, samples.data(), 10);
    EXPECT_EQ(100 * 0.25, params.offset[0]);
    EXPECT_EQ(200 * 2.0, params.offset[1]);
    EXPECT_EQ(300 * 8.0, params.offset[2]);
}

// What the coefficients are for: after a zero point the cleaned mean converts to 0, after a
// gain point (negligible offset) to the reference value.
TEST(RecalcCoeff, CalibratedChannelConvertsItsMeanBack) {
    const std::vector<std::int32_t> zeroCodes = {-41, -40, -39, -40, -40, 900};
    const std::vector<std::int32_t> gainCodes = {-250001, -250000, -249999, -250000};
    const std::int32_t chan = 0;
    for (std::uint32_t divisor : {1u, 1000u, 8388608u}) {
        ConvParams params = makeParams(0, divisor, 0);
        std::vector<double> coeff = kCoeff;
        trqm7xMath_RecalcCoeff(&params, coeff.data(), -2.5, 1, gainCodes.data(), 4);
        const std::int32_t mean[1] = {-250000};
        double out = 0;
        trqm7xMath_translateResults(&params, coeff.data(), &chan, 1, mean, &out, 1);
        EXPECT_DOUBLE_EQ(-2.5, out) << "divisor " << divisor;

        trqm7xMath_RecalcCoeff(&params, coeff.data(), 0.0, 1, zeroCodes.data(), 6);
        const std::int32_t zero[1] = {-40};
        trqm7xMath_translateResults(&params, coeff.data(), &chan, 1, zero, &out, 1);
        EXPECT_NEAR(0.0, out, 1e-12 * std::fabs(params.offset[0])) << "divisor " << divisor;
    }
}

// A channel outside 0..3 or an empty series would read outside the caller's arrays or divide
// by zero; such calls change nothing.
TEST(RecalcCoeff, InvalidChannelOrEmptySeriesChangesNothing) {
    const std::vector<std::int32_t> samples = {5, 5, 5};
    for (const auto& [channel, count] : std::vector<std::pair<int, int>>{{4, 1}, {-1, 1}, {1, 0}}) {
        ConvParams params = makeParams(0, 1, 0, 1.0, 2.0, 3.0);
        std::vector<double> coeff = kCoeff;
        EXPECT_EQ(
            0, trqm7xMath_RecalcCoeff(&params, coeff.data(), 1.0, channel, samples.data(), count));
        EXPECT_EQ(kCoeff, coeff);
        EXPECT_EQ(1.0, params.offset[0]);
        EXPECT_EQ(2.0, params.offset[1]);
        EXPECT_EQ(3.0, params.offset[2]);
    }
}

}  // namespace
