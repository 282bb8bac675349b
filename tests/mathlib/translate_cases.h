// The conversion cases of raw blocks, shared by the library tests and the Windows DLL test.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

#include "raw_block.h"

namespace mathlib_test::translate_cases {

// Gains 1, 2, 4 for non-negative and 10, 20, 40 for negative codes of channels 0, 1, 2; offsets
// 0.5, 0.25, 0.125: every value shows which gain and which offset it went through.
inline const std::vector<double> kCoeff = {-1, -1, -1, -1, 1.0, 10.0, 2.0, 20.0, 4.0, 40.0};
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
inline void PrintTo(const TranslateCase& c, std::ostream* os) {
    *os << c.name;
}

inline std::vector<TranslateCase> translateCases() {
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

}  // namespace mathlib_test::translate_cases
