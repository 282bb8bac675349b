// The mezzanine's coefficient record as the mezzanine driver holds it (the address behind
// TRQM7X_ATTR_COEFF_RECORD) and its EEPROM stores it, and the module's channel count. Both are
// defined here once: the program, the verification, the calibration and the simulated bench use
// them from here.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace qm7x {

// Measuring channels of the mezzanine, numbered 1..kChannels.
inline constexpr int kChannels = 3;

// 112 bytes, little-endian; viewed as 14 doubles it has the layout of the math library's
// coefficient array (gains of channel k at doubles 4 + 2(k-1) and 5 + 2(k-1)).
struct CoeffRecord {
    std::array<char, 4> tag;                 // passband variant, 4 characters, no terminator
    std::array<std::uint8_t, 4> reserved;    // not interpreted; carried unchanged
    std::array<double, kChannels> rangeV;    // range of channels 1..kChannels, volts
    std::array<double, 2 * kChannels> gain;  // channel k: [2(k-1)] for input >= 0, [2(k-1)+1] < 0
    std::array<double, kChannels> testU;     // test voltage of channels 1..kChannels, volts
    double spare;                            // not interpreted; carried unchanged
};

// The driver's record is exactly this size; another channel count is another driver interface.
inline constexpr std::size_t kCoeffRecordSize = 112;
inline constexpr std::size_t kCoeffRecordDoubles = kCoeffRecordSize / sizeof(double);
static_assert(sizeof(CoeffRecord) == kCoeffRecordSize);
static_assert(offsetof(CoeffRecord, tag) == 0);
static_assert(offsetof(CoeffRecord, reserved) == 4);
static_assert(offsetof(CoeffRecord, rangeV) == 8);
static_assert(offsetof(CoeffRecord, gain) == 32);
static_assert(offsetof(CoeffRecord, testU) == 80);
static_assert(offsetof(CoeffRecord, spare) == 104);

// Index in the doubles view of channel 1..kChannels's range, gain (non-negative input first) and
// test voltage.
constexpr std::size_t RangeIndex(int channel) {
    return offsetof(CoeffRecord, rangeV) / sizeof(double) + static_cast<std::size_t>(channel - 1);
}
constexpr std::size_t GainIndex(int channel, bool negative) {
    return offsetof(CoeffRecord, gain) / sizeof(double) +
           static_cast<std::size_t>(2 * (channel - 1) + (negative ? 1 : 0));
}
constexpr std::size_t TestUIndex(int channel) {
    return offsetof(CoeffRecord, testU) / sizeof(double) + static_cast<std::size_t>(channel - 1);
}

// Gain of channel 1..kChannels for a non-negative (first) or negative (second) input.
inline double& firstGain(CoeffRecord& r, int channel) {
    return r.gain[static_cast<std::size_t>(2 * (channel - 1))];
}
inline double& secondGain(CoeffRecord& r, int channel) {
    return r.gain[static_cast<std::size_t>(2 * (channel - 1) + 1)];
}

}  // namespace qm7x
