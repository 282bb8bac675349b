#include "qm7x/calibr/calibration_log.h"

#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "p_qm7x.h"
#include "qm7x/integrity/arkomet_crc32.h"
#include "qm7x/os/encoding.h"
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

std::string driverText(const std::array<ViChar, TRQM7X_TEXT_LEN + 1>& text) {
    return os::FromCp1251(std::string_view(text.data()));
}

}  // namespace

std::string FormatLogLine(const CalibrationLogEntry& entry) {
    std::array<char, 16> crc{};
    std::snprintf(crc.data(), crc.size(), "%08X", static_cast<unsigned>(entry.crc32));
    std::string line = "{\"time\": " + jsonString(entry.time) +
                       ", \"carrier\": " + jsonString(entry.carrier) +
                       ", \"position\": " + std::to_string(entry.position) +
                       ", \"module\": " + jsonString(entry.module) + ", \"channels\": [";
    for (int channel = 1; channel <= kChannels; ++channel) {
        line += std::string(channel > 1 ? ", " : "") + "{\"channel\": " + std::to_string(channel) +
                ", \"range_v\": " + number(entry.after.rangeV[channel - 1]) +
                ", \"before\": " + gainPair(entry.before, channel) +
                ", \"after\": " + gainPair(entry.after, channel) + "}";
    }
    return line + "], \"crc32\": \"" + crc.data() + "\"}";
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

std::string AppendLogLine(const std::filesystem::path& file, std::string_view line) {
    const auto failure = [&](const char* operation) {
        return "Журнал калибровки " + file.string() + ": " + operation + ": " +
               std::strerror(errno);
    };
    std::error_code ignored;
    const bool created = !std::filesystem::exists(file, ignored);
    const int fd = ::open(file.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        return failure("не открывается");
    }
    const std::string whole = std::string(line) + "\n";
    // One write of the whole line: with O_APPEND it lands after every earlier entry, unbroken.
    const ssize_t written = ::write(fd, whole.data(), whole.size());
    if (written != static_cast<ssize_t>(whole.size())) {
        if (written >= 0) {
            errno = ENOSPC;
        }
        const std::string text = failure("запись не удалась");
        ::close(fd);
        return text;
    }
    if (::fsync(fd) != 0) {
        const std::string text = failure("синхронизация с диском не удалась");
        ::close(fd);
        return text;
    }
    if (::close(fd) != 0) {
        return failure("закрытие не удалось");
    }
    // A new file's name must reach the disk too, or the first entry could vanish with it.
    if (created) {
        const std::filesystem::path parent =
            file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
        const int dir = ::open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dir < 0 || ::fsync(dir) != 0) {
            const std::string text = failure("синхронизация каталога не удалась");
            if (dir >= 0) {
                ::close(dir);
            }
            return text;
        }
        ::close(dir);
    }
    return {};
}

void LogEepromWrite(const CoeffRecord& before, const CoeffRecord& after) {
    CalibrationLogEntry entry;
    entry.time = LocalTimeWithOffset();
    // Texts the drivers cannot give stay empty in the entry: the store itself has succeeded.
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
    if (const std::string failure = AppendLogLine(kCalibrationLogFile, FormatLogLine(entry));
        !failure.empty()) {
        showStatusError(failure);
    }
}

}  // namespace qm7x::calibr
