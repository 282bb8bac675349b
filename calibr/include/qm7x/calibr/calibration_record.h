// The calibrations' rows in the results store: one per channel whose gain pair a store into the
// EEPROM changed, with the reference voltages of that channel's last calibration run.
#pragma once

#include <cstdint>
#include <string>

#include "qm7x/program/coeff_record.h"

namespace qm7x::calibr {

// After a calibration run of the channel: the reference voltages it was given.
void RememberReferences(int channel, double positiveV, double negativeV);
// Forgets them (another module was opened).
void ForgetReferences();

// After the record was written to the EEPROM: records each changed channel with the record's
// CRC-32 and its calibration-log entry (logFile empty and logOffset -1 when the log was not
// written). A store that does not take them is said on the status line.
void RecordStoredCalibrations(const CoeffRecord& before, const CoeffRecord& after,
                              std::uint32_t crc32, const std::string& logFile,
                              std::int64_t logOffset);

}  // namespace qm7x::calibr
