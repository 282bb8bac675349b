// The calibration log: one line per successful store of the coefficient record into a module's
// EEPROM, so that a lab can say which module got which coefficients, when. UTF-8, one JSON
// object per line (JSON Lines), appended and synced; the README describes the fields.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

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

// The entry as one line, without the line end.
std::string FormatLogLine(const CalibrationLogEntry& entry);
// The present local time in the form of CalibrationLogEntry::time.
std::string LocalTimeWithOffset();
// Appends the line and a line end in one write and syncs the file. Returns "" on success, or
// what failed (the file, the operation and the system's text).
std::string AppendLogLine(const std::filesystem::path& file, std::string_view line);

// After a successful EEPROM write: gathers the entry from the driver and the panels and appends
// it to the log in the working directory; a failure is shown on the status line.
void LogEepromWrite(const CoeffRecord& before, const CoeffRecord& after);

}  // namespace qm7x::calibr
