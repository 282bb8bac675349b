// Storage of the mezzanine's coefficient record: the table of the calibration page that shows the
// program's copy, and the load from and store into the mezzanine's EEPROM through the driver.
#pragma once

#include <array>

#include "qm7x/program/coeff_record.h"

namespace qm7x::calibr {

// Margin over the nominal range limits in the range classification.
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

// The record as last loaded from the EEPROM or stored into it: the "before" of the calibration
// log's next entry.
inline CoeffRecord coeffStored{};

// Copies one whole record (112 bytes).
void copyRecord(CoeffRecord& to, const CoeffRecord& from);

// Shows coeffCopy in the table and the passband ring of the calibration page.
void showCoeff();
// Re-reads the range of each channel from the driver and classifies it into rangeIdx; a failed
// query is shown and leaves that channel's range and classification as they were.
void refreshRanges();
// Warns on the status line of channels whose gains are zero, negative or not numbers.
void warnOfUnusableGains(const CoeffRecord& record);
// The load: clear the status line, read the EEPROM into the driver's record (status shown, the
// sequence goes on), copy it into coeffCopy, refresh the ranges and show it; unusable gains are
// warned of. True when the read succeeded without a warning.
bool loadCoefficients();

// Callbacks of the calibration page; each acts on the commit event and returns 0.
int readEEPROM(int panel, int control, int event, void* callbackData, int eventData1,
               int eventData2);
int writeEEPROM(int panel, int control, int event, void* callbackData, int eventData1,
                int eventData2);
int resetCf(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);
int allCB(int panel, int control, int event, void* callbackData, int eventData1, int eventData2);

}  // namespace qm7x::calibr
