// What the program records: a session per module opened, its verification points, its
// calibrations and its zero-offset adjustments, resets and self-tests. recorded_at is filled with
// the present local time when left empty.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace qm7x::results {

struct SessionRecord {
    std::string recorded_at;
    std::string carrier_text;
    std::string carrier_resource;
    int position = 0;  // 1..4 on the carrier
    std::string serial;
    std::string revision;
    std::string program_version;
    std::string mathlib_ident;  // the math library's identification line
    std::uint32_t mathlib_crc32 = 0;
    std::string operator_name;  // the system user
    std::string bench;          // the hardware, or the simulated bench's file
};

inline constexpr const char* kManual = "manual";
inline constexpr const char* kAutomatic = "automatic";

struct PointRecord {
    std::int64_t session_id = 0;
    std::string recorded_at;
    int channel = 0;
    double range_v = 0.0;
    std::string passband;
    double period_s = 0.0;
    std::string temperature;
    double un = 0.0;
    std::vector<std::int64_t> raw_codes;
    std::vector<double> volts;
    std::vector<bool> kept;  // which samples the deviation check kept
    double ux = 0.0, dus = 0.0, dumax = 0.0, axs = 0.0, axmax = 0.0, an = 0.0;
    std::string verdict;
    std::string mode = kManual;
    std::string phase;       // "as_found", "as_left" or empty
    std::string calibrator;  // the calibrator's identity when automatic
    std::string protocol_file;
    std::int64_t protocol_offset = -1;  // of the point's entry in the protocol file
};

struct CalibrationRecord {
    std::int64_t session_id = 0;
    std::string recorded_at;
    int channel = 0;
    double gain_first_before = 0.0, gain_second_before = 0.0;  // input >= 0 and < 0
    double gain_first_after = 0.0, gain_second_after = 0.0;
    double reference_positive_v = 0.0, reference_negative_v = 0.0;
    std::optional<std::uint32_t> record_crc32;  // of the record written to the EEPROM
    std::string calibration_log;                // the log file holding the entry
    std::int64_t log_offset = -1;               // of the entry in it
};

inline constexpr const char* kZeroOffset = "zero_offset";
inline constexpr const char* kReset = "reset";
inline constexpr const char* kSelfTest = "self_test";

struct EventRecord {
    std::int64_t session_id = 0;  // 0: before any module was opened
    std::string recorded_at;
    std::string kind;  // kZeroOffset, kReset or kSelfTest
    int channel = 0;   // 0 when the event concerns no single channel
    int status = 0;    // the driver's status
    std::string detail;
};

}  // namespace qm7x::results
