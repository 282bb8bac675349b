// The mezzanine's coefficient record, the program's copy of it and the pointer to the record in
// use, and the channels' ranges: read by the verification run, changed by the calibration.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace qm7x {

// 112 bytes, little-endian; viewed as 14 doubles it has the layout of the math library's
// coefficient array (gains of channel k at doubles 4 + 2(k-1) and 5 + 2(k-1)).
struct CoeffRecord {
    std::array<char, 4> tag;               // passband variant, 4 characters, no terminator
    std::array<std::uint8_t, 4> reserved;  // not interpreted; carried unchanged
    std::array<double, 3> rangeV;          // range of channels 1..3, volts
    std::array<double, 6> gain;            // channel k: [2(k-1)] for input >= 0, [2(k-1)+1] for < 0
    std::array<double, 3> testU;           // test voltage of channels 1..3, volts
    double spare;                          // not interpreted; carried unchanged
};

static_assert(sizeof(CoeffRecord) == 112);
static_assert(offsetof(CoeffRecord, tag) == 0);
static_assert(offsetof(CoeffRecord, reserved) == 4);
static_assert(offsetof(CoeffRecord, rangeV) == 8);
static_assert(offsetof(CoeffRecord, gain) == 32);
static_assert(offsetof(CoeffRecord, testU) == 80);
static_assert(offsetof(CoeffRecord, spare) == 104);

inline constexpr int kChannels = 3;

// Gain of channel 1..3 for a non-negative (first) or negative (second) input.
inline double& firstGain(CoeffRecord& r, int channel) {
    return r.gain[2 * (channel - 1)];
}
inline double& secondGain(CoeffRecord& r, int channel) {
    return r.gain[2 * (channel - 1) + 1];
}

// The program's copy, shown in the table; all zero at start.
inline CoeffRecord coeffCopy{};
// The driver's record while a mezzanine session is open, otherwise coeffCopy itself.
inline CoeffRecord* coeffPtr = &coeffCopy;

// Range of channels 1..3 as the driver reports it, and its classification.
inline std::array<double, 3> range{};
// 0 for the 10 V range, 1 for 1 V, 2 for 0.1 V.
inline std::array<int, 3> rangeIdx{};
inline constexpr std::array<double, 3> rangeVolts{10.0, 1.0, 0.1};

}  // namespace qm7x
