// The mezzanine's 112-byte coefficient record as the simulated driver and its EEPROM image hold it:
// the bytes themselves, so that uninterpreted ones round-trip unchanged, read and written through
// the record's layout (qm7x/drivers/coeff_record.h, shared with the program).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

#include "qm7x/drivers/coeff_record.h"

namespace qm7x::sim {

// The shared layout's names, for the drivers' sources that use this namespace.
using qm7x::GainIndex;
using qm7x::kChannels;
using qm7x::kCoeffRecordDoubles;
using qm7x::kCoeffRecordSize;

// Codes of a full-scale input on the nominal scale (a 24-bit converter): gain = range / 2^23.
inline constexpr double kFullScaleCodes = 8388608.0;

struct alignas(8) CoeffRecord {
    std::array<std::uint8_t, kCoeffRecordSize> bytes{};

    std::array<double, kCoeffRecordDoubles> doubles() const;
    void setDoubles(const std::array<double, kCoeffRecordDoubles>& values);

    std::string tag() const;
    double range(int channel) const;  // channel 1..kChannels
    double gain(int channel, bool negative) const;
    double testU(int channel) const;
    void setTag(const std::string& tag);
    void setRange(int channel, double volts);
    void setGain(int channel, bool negative, double voltsPerCode);
    void setTestU(int channel, double volts);

    bool operator==(const CoeffRecord&) const = default;
};
static_assert(sizeof(CoeffRecord) == kCoeffRecordSize);

// The driver's default coefficients: tag "QM7X", ranges 10 / 1 / 0.1 V, gains of the nominal scale
// for both polarities, test voltages at 90 % of the range, uninterpreted bytes zero.
CoeffRecord DefaultRecord();

// An EEPROM that was never written reads as all ones.
CoeffRecord BlankRecord();
bool IsBlank(const CoeffRecord& record);

}  // namespace qm7x::sim
