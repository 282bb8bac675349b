#include "qm7x/calibr/calibration_log.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <ctime>

#include "p_qm7x.h"
#include "qm7x/integrity/arkomet_crc32.h"
#include "qm7x/os/encoding.h"
#include "qm7x/os/record_file.h"
#include "qm7x/program/panel_handles.h"
#include "qm7x/program/sessions.h"
#include "qm7x/program/status_line.h"
#include "qm7x/ui/userint.h"
#include "trholdr.h"
#include "trqm7x.h"

namespace qm7x::calibr {

namespace {

// A JSON string: quotes, backslashes and control characters escaped; UTF-8 passes unchanged.
std::string jsonString(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\t':
                out += "\\t";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    std::array<char, 8> escape{};
                    std::snprintf(escape.data(), escape.size(), "\\u%04x", c);
                    out += escape.data();
                } else {
                    out += c;
                }
        }
    }
    return out + "\"";
}

// Shortest text that reads back as the same double; JSON has no NaN or infinity: null.
std::string number(double value) {
    if (!std::isfinite(value)) {
        return "null";
    }
    std::array<char, 32> text{};
    const auto end = std::to_chars(text.data(), text.data() + text.size(), value).ptr;
    return {text.data(), end};
}

std::string gainPair(CoeffRecord record, int channel) {
    return "[" + number(firstGain(record, channel)) + ", " + number(secondGain(record, channel)) +
           "]";
}

std::string hex8(std::uint32_t value) {
    std::array<char, 16> text{};
    std::snprintf(text.data(), text.size(), "%08X", static_cast<unsigned>(value));
    return text.data();
}

// What identifies the module in an entry, as the start of the line.
std::string moduleFields(const CalibrationLogEntry& entry) {
    return "{\"time\": " + jsonString(entry.time) + ", \"carrier\": " + jsonString(entry.carrier) +
           ", \"position\": " + std::to_string(entry.position) +
           ", \"module\": " + jsonString(entry.module);
}

std::string driverText(const std::array<ViChar, TRQM7X_TEXT_LEN + 1>& text) {
    return os::FromCp1251(std::string_view(text.data()));
}

}  // namespace

std::string FormatLogLine(const CalibrationLogEntry& entry) {
    std::string line = moduleFields(entry) + ", \"channels\": [";
    for (int channel = 1; channel <= kChannels; ++channel) {
        line += std::string(channel > 1 ? ", " : "") + "{\"channel\": " + std::to_string(channel) +
                ", \"range_v\": " + number(entry.after.rangeV[channel - 1]) +
                ", \"before\": " + gainPair(entry.before, channel) +
                ", \"after\": " + gainPair(entry.after, channel) + "}";
    }
    return line + "], \"crc32\": \"" + hex8(entry.crc32) + "\"}";
}

std::string FormatWriteFailedLine(const CalibrationLogEntry& entry, std::string_view error) {
    return moduleFields(entry) + ", \"write_failed\": true, \"error\": " + jsonString(error) +
           ", \"crc32\": \"" + hex8(entry.crc32) + "\"}";
}

std::string LocalTimeWithOffset() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    std::array<char, 32> stamp{};
    std::strftime(stamp.data(), stamp.size(), "%Y-%m-%dT%H:%M:%S", &local);
    const long offsetMin = local.tm_gmtoff / 60;
    const long magnitude = offsetMin < 0 ? -offsetMin : offsetMin;
    std::array<char, 48> offset{};
    std::snprintf(offset.data(), offset.size(), "%c%02ld:%02ld", offsetMin < 0 ? '-' : '+',
                  magnitude / 60, magnitude % 60);
    return std::string(stamp.data()) + offset.data();
}

os::FileStatus AppendLogLine(const std::filesystem::path& file, std::string_view line) {
    return os::AppendRecord(file, std::string(line) + "\n");
}

std::string LogFailureText(const os::FileError& error) {
    return "Журнал калибровки: " + error.Describe();
}

CalibrationLogEntry EntryOfStore(const CoeffRecord& before, const CoeffRecord& after) {
    CalibrationLogEntry entry;
    entry.time = LocalTimeWithOffset();
    // Texts the drivers cannot give stay empty in the entry.
    std::array<ViChar, TRQM7X_TEXT_LEN + 1> text{};
    trholdr_m_get_attribute(carrierSession, TRHOLDR_ATTR_DESCRIPTION, text.data());
    entry.carrier = driverText(text);
    std::array<ViChar, TRQM7X_TEXT_LEN + 1> driverRevision{};
    text.fill('\0');
    trqm7x_revision_query(mezSession, driverRevision.data(), text.data());
    entry.module = driverText(text);
    unsigned short position = 0;
    ui::GetCtrlVal(mpPanel, MP_MEZ_NUM, position);
    entry.position = position;
    entry.before = before;
    entry.after = after;
    entry.crc32 = integrity::Crc32(&after, sizeof after);
    return entry;
}

bool LogEepromWrite(const CalibrationLogEntry& entry) {
    if (auto error = AppendLogLine(kCalibrationLogFile, FormatLogLine(entry))) {
        showStatusError(LogFailureText(*error) + "; коэффициенты в EEPROM не записаны");
        return false;
    }
    return true;
}

void LogFailedEepromWrite(const CalibrationLogEntry& entry, int status) {
    const std::string driverError = driverStatusText(status);
    if (auto error =
            AppendLogLine(kCalibrationLogFile, FormatWriteFailedLine(entry, driverError))) {
        // The driver's text stays ahead: it is why the store failed.
        showStatusError(driverError + "; " + LogFailureText(*error));
    }
}

void CompareWithLog(const CoeffRecord& loaded) {
    const CalibrationLogEntry module = EntryOfStore(loaded, loaded);
    const std::vector<std::uint32_t> writes =
        LoggedWritesOf(kCalibrationLogFile, module.carrier, module.position, module.module);
    if (writes.empty() || writes.back() == module.crc32) {
        return;  // a module the log never saw written, or the record the log says it holds
    }
    if (std::find(writes.begin(), writes.end(), module.crc32) != writes.end()) {
        // The program stopped between the entry and the write.
        showStatusError("Последняя запись коэффициентов по журналу калибровки (CRC-32 " +
                        hex8(writes.back()) + ") не дошла до модуля: он хранит записанные ранее (" +
                        hex8(module.crc32) + ")");
        return;
    }
    showStatusError(
        "Модуль хранит коэффициенты, которых не знает журнал калибровки: CRC-32 записи модуля " +
        hex8(module.crc32) + ", по журналу " + hex8(writes.back()));
}

}  // namespace qm7x::calibr
