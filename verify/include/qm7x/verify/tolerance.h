// The permitted deviation of a verification point: from the channel's range and the passband,
// widened by an allowance when the ambient temperature lies outside +18 ... +22 C.
#pragma once

#include <array>

namespace qm7x::verify {

// Indexed by the range index (0: 10 V, 1: 1 V, 2: 0.1 V).
inline constexpr std::array<double, 3> tolOfRange{0.00025, 0.00035, 0.0035};  // of the range
inline constexpr std::array<double, 3> tolOfReading{0.0, 0.0001, 0.0};        // of |Un|
// Fraction of the range permitted to every channel when the passband is above 500 kHz.
inline constexpr double kWideBandTolerance = 0.0005;

inline constexpr int kReferenceTemperature = 20;        // C
inline constexpr int kTemperatureBand = 2;              // C, half-width without allowance
inline constexpr double kAllowancePerDegree = 0.00002;  // V per C beyond the band
inline constexpr double kAllowanceAt5 = 0.00026;        // (20 - 5 - 2) x 0.00002
inline constexpr double kAllowanceAt40 = 0.00036;       // (40 - 20 - 2) x 0.00002

// Tolerance in volts of a channel in the range of rangeIndex at the nominal voltage un;
// passbandIndex is the index of the passband ring (0: below 500 kHz, otherwise above).
double ChannelTolerance(int rangeIndex, int passbandIndex, double un);

enum class TemperatureCondition {
    Normal,  // "+18 ... +22 C", or no condition chosen
    At5,     // "+5 C"
    At40,    // "+40 C"
    Given,   // "заданная": the temperature typed beside it
};
// Allowance in volts added to the tolerance of the channel under test, whatever its range.
double TemperatureAllowance(TemperatureCondition condition, int givenTemperature);

}  // namespace qm7x::verify
