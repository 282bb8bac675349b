// The mezzanine's coefficient record: its layout, the program's copy, the table of the calibration
// page that shows it, and its load from and store into the mezzanine's EEPROM through the driver.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace qm7x::calibr {

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
inline constexpr double kRangeMargin = 1.2;

// Tag of the passband ring's items when stored.
inline constexpr std::array<char, 4> kTagBelow500kHz{'P', 'X', '5', '2'};
inline constexpr std::array<char, 4> kTagAbove500kHz{'P', 'X', '9', '4'};

// Ring index shown for a tag: "PX94" gives 1, anything else ("QM7X" included) 0.
int ringIndexOfTag(const std::array<char, 4>& tag);
// Tag stored for a ring index: 1 gives "PX94", anything else "PX52".
std::array<char, 4> tagOfRingIndex(int index);
// Range index of a channel range in volts (1.2 margin over the nominal limits; NaN gives 2).
int classifyRange(double volts);

// Copies one whole record (112 bytes).
void copyRecord(CoeffRecord& to, const CoeffRecord& from);

// Shows coeffCopy in the table and the passband ring of the calibration page.
void showCoeff();
// Re-reads the range of each channel from the driver and classifies it into rangeIdx.
void refreshRanges();
// The load: clear the status line, read the EEPROM into the driver's record (status shown, the
// sequence goes on), copy it into coeffCopy, refresh the ranges and show it.
void loadCoefficients();

// Callbacks of the calibration page; each acts on the commit event and returns 0.
int readEEPROM(int panel, int control, int event, void* callbackData, int eventData1,
               int eventData2);
int writeEEPROM(int panel, int control, int event, void* callbackData, int eventData1,
                int eventData2);
int resetCf(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int allCB(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);

}  // namespace qm7x::calibr
