// The mezzanine's 112-byte coefficient record (little-endian doubles): tag and 4 uninterpreted
// bytes, the ranges of channels 1..3, the gain pair of each channel (non-negative input first),
// the test voltages and one uninterpreted double. Viewed as 14 doubles it is the math library's
// coefficient array.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace qm7x::sim {

inline constexpr std::size_t kRecordSize = 112;
inline constexpr std::size_t kRecordDoubles = kRecordSize / sizeof(double);
inline constexpr int kChannels = 3;
// Codes of a full-scale input on the nominal scale (a 24-bit converter): gain = range / 2^23.
inline constexpr double kFullScaleCodes = 8388608.0;

struct alignas(8) CoeffRecord {
    std::array<std::uint8_t, kRecordSize> bytes{};

    std::array<double, kRecordDoubles> doubles() const;
    void setDoubles(const std::array<double, kRecordDoubles>& values);

    std::string tag() const;
    double range(int channel) const;  // channel 1..3
    double gain(int channel, bool negative) const;
    double testU(int channel) const;
    void setTag(const std::string& tag);
    void setRange(int channel, double volts);
    void setGain(int channel, bool negative, double voltsPerCode);
    void setTestU(int channel, double volts);

    bool operator==(const CoeffRecord&) const = default;
};
static_assert(sizeof(CoeffRecord) == kRecordSize);

// Index of a channel's gain in the doubles view (channel 1..3).
constexpr std::size_t GainIndex(int channel, bool negative) {
    return static_cast<std::size_t>(4 + 2 * (channel - 1) + (negative ? 1 : 0));
}

// The driver's default coefficients: tag "QM7X", ranges 10 / 1 / 0.1 V, gains of the nominal scale
// for both polarities, test voltages at 90 % of the range, uninterpreted bytes zero.
CoeffRecord DefaultRecord();

// An EEPROM that was never written reads as all ones.
CoeffRecord BlankRecord();
bool IsBlank(const CoeffRecord& record);

}  // namespace qm7x::sim
