// The calibration log: one line for each store of the coefficient record into a module's EEPROM,
// so that a lab can say which module got which coefficients, when. UTF-8, one JSON object per line
// (JSON Lines), appended whole and synced; the README describes the fields.
//
// The entry is on the disk before the record goes to the module, and a store whose entry cannot
// be written does not happen: the log never misses a change. A write that fails after its entry
// gets a second entry saying so.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "qm7x/calibr/calibration_log_reader.h"
#include "qm7x/os/file_error.h"
#include "qm7x/program/coeff_record.h"

namespace qm7x::calibr {

// In the working directory, beside the verification protocol.
inline constexpr std::string_view kCalibrationLogFile = "qm7x-calibration.log";

struct CalibrationLogEntry {
    std::string time;         // local time with its offset, ISO 8601: 2026-12-07T10:15:02+03:00
    std::string carrier;      // the carrier's descriptive text
    int position = 0;         // 1..4 on the carrier
    std::string module;       // the module's revision text
    CoeffRecord before{};     // as last loaded from (or stored into) the EEPROM
    CoeffRecord after{};      // as written now
    std::uint32_t crc32 = 0;  // of the 112 bytes written
};

// The entry of a write as one line, without the line end.
std::string FormatLogLine(const CalibrationLogEntry& entry);
// The second entry of a write that failed after its entry: the same module and CRC-32, with
// "write_failed": true and the driver's text; one line, without the line end.
std::string FormatWriteFailedLine(const CalibrationLogEntry& entry, std::string_view error);
// The present local time in the form of CalibrationLogEntry::time.
std::string LocalTimeWithOffset();
// Appends the line and a line end as one whole entry and syncs the file.
os::FileStatus AppendLogLine(const std::filesystem::path& file, std::string_view line);
// The status-line text of a log that cannot be written: the cause first, the file last.
std::string LogFailureText(const os::FileError& error);

// The entry of a store about to be made: texts from the drivers, the position from the panel.
CalibrationLogEntry EntryOfStore(const CoeffRecord& before, const CoeffRecord& after);
// Before the EEPROM write: appends the entry to the log in the working directory. False, with the
// cause on the status line, when it cannot: the write must not happen then.
bool LogEepromWrite(const CalibrationLogEntry& entry);
// After a write that failed: the second entry, with the driver's text of the status.
void LogFailedEepromWrite(const CalibrationLogEntry& entry, int status);
// After a load: compares the CRC-32 of the module's record with the log's last write for the
// module, and says on the status line when they differ: the module holds coefficients the log
// does not know, or an earlier record when the last logged write never reached it.
void CompareWithLog(const CoeffRecord& loaded);

}  // namespace qm7x::calibr
