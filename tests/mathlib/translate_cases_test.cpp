// Conversion of raw blocks: frame counts, layouts, polarity and offsets, for both output types.
#include <gtest/gtest.h>

#include <ostream>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "raw_block.h"
#include "trqm7x_math.h"

namespace {

using mathlib_test::Bytes;
using mathlib_test::int16Block;
using mathlib_test::int32Block;
using mathlib_test::makeParams;
using mathlib_test::packedBlock;
using mathlib_test::packedWord;

// Gains 1, 2, 4 for non-negative and 10, 20, 40 for negative codes of channels 0, 1, 2; offsets
// 0.5, 0.25, 0.125: every value shows which gain and which offset it went through.
const std::vector<double> kCoeff = {-1, -1, -1, -1, 1.0, 10.0, 2.0, 20.0, 4.0, 40.0};
constexpr double kSentinel = -12345.0;
constexpr int kOutSize = 16;

struct TranslateCase {
    std::string name;
    std::int32_t format;
    std::vector<std::int32_t> chanList;
    std::int32_t blockLen;
    Bytes raw;
    std::vector<double> expected;  // the values written; the rest of out stays untouched
};

// Test names and failure messages show the case by its name, not its bytes.
void PrintTo(const TranslateCase& c, std::ostream* os) {
    *os << c.name;
}

std::vector<TranslateCase> translateCases() {
    return {
        {"BlockLenZeroWritesNothing", 0, {0, 1, 2}, 0, int32Block({1, 2, 3}), {}},
        {"NegativeBlockLenWritesNothing", 1, {0}, -1, int16Block({1, 2}), {}},
        {"Format0ThreeChannelsTwoFrames",
         0,
         {0, 1, 2},
         2,
         int32Block({1, -2, 3, -4, 5, 0, 99, 99, 99}),
         {0.5, -40.25, 11.875, -40.5, 9.75, -0.125}},
        {"Format0OneChannelIsBlockLenFrames",
         0,
         {1},
         3,
         int32Block({7, -7, 0, 99}),
         {13.75, -140.25, -0.25}},
        // Limit 4 values: two frames of three, the spare slot after each frame is skipped.
        {"Format1ThreeChannelsSkipsSpareSlots",
         1,
         {0, 1, 2},
         2,
         int16Block({1, -2, 3, 0x7FFF, -4, 5, 0, 0x7FFF, 99, 99, 99, 99}),
         {0.5, -40.25, 11.875, -40.5, 9.75, -0.125}},
        {"Format1TwoChannelsHaveNoSpareSlot",
         1,
         {2, 0},
         4,
         int16Block({7, -1, -3, 2, 99, 99}),
         {27.875, -10.5, -120.125, 1.5}},
        {"Format1OneChannelReadsEverySecondSlot",
         1,
         {0},
         3,
         int16Block({2, 0x7FFF, -32768, 0x7FFF, 3, 0x7FFF, 99, 99}),
         {1.5, -327680.5, 2.5}},
        // Offsets below one 64-code step quantise to 0 in format 2; bit 31 picks the gain of
        // every position, whatever the sign of its field.
        {"Format2ThreeChannelsOneWordPerFrame",
         2,
         {0, 1, 2},
         4,
         packedBlock({packedWord(5, -3, 511, false), packedWord(-512, 1, 0, true),
                      packedWord(9, 9, 9, false)}),
         {5.0, -6.0, 2044.0, -5120.0, 20.0, 0.0}},
        {"Format2BitThirtyOneUsesNegativeGain",
         2,
         {0},
         1,
         packedBlock({packedWord(1, 0, 0, true)}),
         {10.0}},
        {"Format2OnlyReadsPositionsBelowChanCount",
         2,
         {2},
         2,
         packedBlock({packedWord(3, 100, 100, false), packedWord(-3, 100, 100, false)}),
         {12.0, -12.0}},
        {"Format3IsPackedWithUnquantisedOffsets",
         3,
         {0},
         1,
         packedBlock({packedWord(1, 0, 0, true)}),
         {9.5}},
        {"OtherFormatCodesArePacked",
         -7,
         {1, 0},
         1,
         packedBlock({packedWord(-1, 2, 0, false)}),
         {-2.25, 1.5}},
    };
}

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
