// The reader of the calibration log: what the CRC-32 check at a module's opening needs of it.
// Every line comes from a file anyone can edit, so nothing in it is trusted.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace qm7x::calibr {

// What the reader takes from one line of the log.
struct LoggedEntry {
    std::string carrier;
    int position = 0;
    std::string module;
    std::uint32_t crc32 = 0;
    bool writeFailed = false;  // the second entry of a write that did not reach the module
};
// The entry of one line; nothing when the line is not an entry of this log.
std::optional<LoggedEntry> ParseLogLine(std::string_view line);
// The CRC-32s of the records the log says were written to the module, oldest first, less the
// writes marked failed: the last is the record the module should hold. Empty when the log has no
// write for the module (or there is no log).
std::vector<std::uint32_t> LoggedWritesOf(const std::filesystem::path& file,
                                          std::string_view carrier, int position,
                                          std::string_view module);

}  // namespace qm7x::calibr
