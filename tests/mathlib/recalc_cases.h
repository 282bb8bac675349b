// The recalculation cases of one calibration point, shared by the library tests and the Windows
// DLL test.
#pragma once

#include <array>
#include <cstdint>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace mathlib_test::recalc_cases {

// Gains of channels 0..2 (non-negative, negative): (0.25, 0.5), (2, 4), (8, 16); elements 0..3
// belong to the caller and must survive every call.
inline const std::vector<double> kCoeff = {91, 92, 93, 94, 0.25, 0.5, 2, 4, 8, 16};

struct RecalcCase {
    std::string name;
    double refValue;
    std::int32_t channel;
    std::vector<std::int32_t> samples;
    std::int32_t sampleCount;
    std::uint32_t divisor;
    std::array<double, 3> offsetBefore;
    std::array<double, 3> offsetAfter;
    std::vector<std::pair<int, double>> coeffChanges;  // element, new value
};

// Test names and failure messages show the case by its name, not its bytes.
inline void PrintTo(const RecalcCase& c, std::ostream* os) {
    *os << c.name;
}

inline std::vector<RecalcCase> recalcCases() {
    return {
        // Spread 0: the strict band is empty and g falls back to the plain mean.
        {"AllCodesEqualZeroPoint", 0.0, 1, {7, 7, 7}, 3, 1, {0, 0, 0}, {1.75, 0, 0}, {}},
        // m = 280, s = 360, band (-425.6, 985.6): 1000 is dropped, g = 100.
        {"BandDropsOutlier",
         0.0005,
         1,
         {100, 100, 100, 100, 1000},
         5,
         1,
         {0, 0, 0},
         {25.0, 0, 0},
         {}},
        {"ExactThresholdIsZeroPoint", 0.001, 1, {-8, -8}, 2, 1, {3, 3, 3}, {-4.0, 3, 3}, {}},
        {"NegativeThresholdIsZeroPoint", -0.001, 1, {-8, -8}, 2, 1, {3, 3, 3}, {-4.0, 3, 3}, {}},
        // g / D = -1: the negative gain becomes -0.002 / -1; the positive gain is untouched.
        {"NegativeReferenceSetsNegativeGain",
         -0.002,
         1,
         {-1000, -1000},
         2,
         1000,
         {0, 0, 0},
         {0, 0, 0},
         {{5, 0.002}}},
        {"NegligibleOffsetIsNoOffset",
         2.0,
         1,
         {4, 4},
         2,
         1,
         {1e-15, 0, 0},
         {1e-15, 0, 0},
         {{4, 0.5}}},
        {"NegligibleNegativeOffsetIsNoOffset",
         2.0,
         1,
         {4, 4},
         2,
         1,
         {-1e-15, 0, 0},
         {-1e-15, 0, 0},
         {{4, 0.5}}},
        // h = 0.5 / 0.25 = 2 codes; gain 8 / (6 - 2) = 2; the offset keeps its 2 codes: 4.
        {"OffsetOfSamePolarityKeepsItsCodes",
         8.0,
         1,
         {6, 6},
         2,
         1,
         {0.5, 0, 0},
         {4.0, 0, 0},
         {{4, 2.0}}},
        // h = -0.5 / 0.5 = -1 code; gain 8 / 7; the offset stays with the untouched gain.
        {"OffsetOfOtherPolarityStays",
         8.0,
         1,
         {6, 6},
         2,
         1,
         {-0.5, 0, 0},
         {-0.5, 0, 0},
         {{4, 8.0 / 7.0}}},
        // channel 2 is library channel 1: h = 6 / 2 = 3 codes, gain 3 / (9 - 3), offset 3 x 0.5.
        {"ChannelTwoGainPoint", 3.0, 2, {9, 9, 9}, 3, 1, {5, 6, 7}, {5, 1.5, 7}, {{6, 0.5}}},
        {"ChannelThreeZeroPoint", 0.0, 3, {-2}, 1, 1, {5, 6, 7}, {5, 6, -32.0}, {}},
        // channel 0: three blocks of sampleCount codes, one per channel, in rising order.
        {"ChannelZeroTreatsAllThree",
         0.0,
         0,
         {4, 4, -8, -8, 16, 16},
         2,
         1,
         {1, 1, 1},
         {1.0, -32.0, 128.0},
         {}},
        {"ChannelZeroGainPoint",
         1.0,
         0,
         {2, 2, 4, 4, 1, 1},
         2,
         1,
         {0, 0, 0},
         {0, 0, 0},
         {{4, 0.5}, {6, 0.25}, {8, 1.0}}},
        // 2^30 / 2^31: a divisor with bit 31 set is unsigned.
        {"DivisorReadUnsigned", 0.0, 1, {1073741824}, 1, 0x80000000u, {0, 0, 0}, {0.125, 0, 0}, {}},
    };
}

}  // namespace mathlib_test::recalc_cases
