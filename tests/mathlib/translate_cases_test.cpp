// Conversion of raw blocks: frame counts, layouts, polarity and offsets, for both output types.
#include <gtest/gtest.h>

#include <ostream>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "raw_block.h"
#include "translate_cases.h"
#include "trqm7x_math.h"

namespace {

using namespace mathlib_test::translate_cases;

using mathlib_test::Bytes;
using mathlib_test::int16Block;
using mathlib_test::int32Block;
using mathlib_test::makeParams;
using mathlib_test::packedBlock;
using mathlib_test::packedWord;

class TranslateCases : public ::testing::TestWithParam<TranslateCase> {};

TEST_P(TranslateCases, DoubleOutput) {
    const TranslateCase& c = GetParam();
    const ConvParams params = makeParams(0, 1, c.format, 0.5, 0.25, 0.125);
    std::vector<double> out(kOutSize, kSentinel);
    const int32_t count = static_cast<int32_t>(c.chanList.size());
    EXPECT_EQ(0, trqm7xMath_translateResults(&params, kCoeff.data(), c.chanList.data(), count,
                                             c.raw.data(), out.data(), c.blockLen));
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double want = i < c.expected.size() ? c.expected[i] : kSentinel;
        EXPECT_EQ(want, out[i]) << "element " << i;
    }
}

TEST_P(TranslateCases, FloatOutput) {
    const TranslateCase& c = GetParam();
    const ConvParams params = makeParams(0, 1, c.format, 0.5, 0.25, 0.125);
    std::vector<float> out(kOutSize, static_cast<float>(kSentinel));
    const int32_t count = static_cast<int32_t>(c.chanList.size());
    EXPECT_EQ(0, trqm7xMath_translateResultsFloat(&params, kCoeff.data(), c.chanList.data(), count,
                                                  c.raw.data(), out.data(), c.blockLen));
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double want = i < c.expected.size() ? c.expected[i] : kSentinel;
        EXPECT_EQ(static_cast<float>(want), out[i]) << "element " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Layouts, TranslateCases, ::testing::ValuesIn(translateCases()),
                         [](const auto& param_info) { return param_info.param.name; });

// Format-2 offsets in codes of the unscaled gain of their polarity; the scale (here 4) applies
// to the codes only.
struct QuantisationCase {
    std::string name;
    double offset;
    double expectedOffset;  // what a code of 0 converts to, negated
};

// Test names and failure messages show the case by its name, not its bytes.
void PrintTo(const QuantisationCase& c, std::ostream* os) {
    *os << c.name;
}

class OffsetQuantisation : public ::testing::TestWithParam<QuantisationCase> {};

TEST_P(OffsetQuantisation, BothOutputs) {
    const QuantisationCase& c = GetParam();
    const std::vector<double> coeff = {0, 0, 0, 0, 0.5, 0.25, 0, 0, 0, 0};
    const ConvParams params = makeParams(2, 1, 2, c.offset);
    const Bytes raw = packedBlock({packedWord(0, 0, 0, false), packedWord(1, 0, 0, true)});
    const int32_t chan = 0;
    double out[2] = {};
    float outFloat[2] = {};
    trqm7xMath_translateResults(&params, coeff.data(), &chan, 1, raw.data(), out, 2);
    trqm7xMath_translateResultsFloat(&params, coeff.data(), &chan, 1, raw.data(), outFloat, 2);
    EXPECT_EQ(-c.expectedOffset, out[0]);
    EXPECT_EQ(1.0 - c.expectedOffset, out[1]);  // code 1 through the negative gain 0.25 x 4
    EXPECT_EQ(static_cast<float>(-c.expectedOffset), outFloat[0]);
    EXPECT_EQ(static_cast<float>(1.0 - c.expectedOffset), outFloat[1]);
}

INSTANTIATE_TEST_SUITE_P(
    Format2, OffsetQuantisation,
    ::testing::Values(
        // 1000 codes of gain 0.5 -> n = 1000 -> 960 codes.
        QuantisationCase{"ThousandCodesBecome960", 500.0, 480.0},
        // -999.5 codes of gain 0.25 -> n = -999 -> -1024 codes (mask rounds toward -infinity).
        QuantisationCase{"MinusNineNineNineHalfBecomesMinus1024", -249.875, -256.0},
        QuantisationCase{"SixtyThreeCodesBecomeZero", 31.5, 0.0},
        // 40000 codes: the low 16 bits read as signed give 40000 - 65536 = -25536 -> -25536.
        QuantisationCase{"LowSixteenBitsWrapToNegative", 20000.0, -12768.0},
        // n outside 32 bits has no 16-bit step: the offset falls to 0 instead of undefined.
        QuantisationCase{"OutOfRangeCodesGiveZero", 1e12, 0.0}),
    [](const auto& param_info) { return param_info.param.name; });

TEST(TranslateResults, NegativeZeroOffsetUsesPositiveGain) {
    // -0.0 is not negative: its polarity index is 0, so the positive gain (0.5) quantises it.
    const std::vector<double> coeff = {0, 0, 0, 0, 0.5, std::numeric_limits<double>::quiet_NaN()};
    const ConvParams params = makeParams(0, 1, 2, -0.0);
    const Bytes raw = packedBlock({packedWord(2, 0, 0, false)});
    const int32_t chan = 0;
    double out = 0;
    trqm7xMath_translateResults(&params, coeff.data(), &chan, 1, raw.data(), &out, 1);
    EXPECT_EQ(1.0, out);
}

TEST(TranslateResults, ScaleIsPowerOfTwoOverUnsignedDivisor) {
    const std::vector<double> coeff = {0, 0, 0, 0, 3.0, 5.0};
    const int32_t chan = 0;
    const Bytes raw = int32Block({1, -1});
    double out[2] = {};
    // A divisor with bit 31 set is 2^31, not negative: 2^30 / 2^31 = 0.5.
    const ConvParams params = makeParams(30, 0x80000000u, 0);
    trqm7xMath_translateResults(&params, coeff.data(), &chan, 1, raw.data(), out, 2);
    EXPECT_EQ(1.5, out[0]);
    EXPECT_EQ(-2.5, out[1]);
}

TEST(TranslateResults, RawBlockNeedNotBeAligned) {
    const std::vector<double> coeff = {0, 0, 0, 0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0};
    const std::vector<int32_t> chans = {0, 1, 2};
    Bytes raw = {0xEE};
    for (unsigned char b : int32Block({-3, 4, 5})) {
        raw.push_back(b);
    }
    const ConvParams params = makeParams(0, 1, 0);
    double out[3] = {};
    trqm7xMath_translateResults(&params, coeff.data(), chans.data(), 3, raw.data() + 1, out, 1);
    EXPECT_EQ(-3.0, out[0]);
    EXPECT_EQ(4.0, out[1]);
    EXPECT_EQ(5.0, out[2]);
}

// A frame description outside three positions of channels 0..2 would reach outside the
// caller's arrays; the call writes nothing.
TEST(TranslateResults, InvalidFrameDescriptionWritesNothing) {
    const ConvParams params = makeParams(0, 1, 0);
    const Bytes raw = int32Block({1, 2, 3, 4, 5, 6, 7, 8});
    const std::vector<int32_t> fourChannels = {0, 1, 2, 0};
    const std::vector<int32_t> badChannel = {0, 3};
    const std::vector<int32_t> negativeChannel = {-1};
    std::vector<double> out(8, kSentinel);
    std::vector<float> outFloat(8, static_cast<float>(kSentinel));
    const auto untouched = [&] {
        for (std::size_t i = 0; i < out.size(); ++i) {
            EXPECT_EQ(kSentinel, out[i]);
            EXPECT_EQ(static_cast<float>(kSentinel), outFloat[i]);
        }
    };
    trqm7xMath_translateResults(&params, kCoeff.data(), fourChannels.data(), 4, raw.data(),
                                out.data(), 1);
    trqm7xMath_translateResults(&params, kCoeff.data(), fourChannels.data(), 0, raw.data(),
                                out.data(), 1);
    trqm7xMath_translateResults(&params, kCoeff.data(), badChannel.data(), 2, raw.data(),
                                out.data(), 1);
    trqm7xMath_translateResultsFloat(&params, kCoeff.data(), negativeChannel.data(), 1, raw.data(),
                                     outFloat.data(), 1);
    untouched();
}

}  // namespace
