#include "qm7x/calibr/calibration_log_reader.h"

#include <nlohmann/json.hpp>

#include <charconv>
#include <sstream>
#include <variant>
#include <vector>

#include "qm7x/os/record_file.h"

namespace qm7x::calibr {
namespace {

// An entry is a few hundred bytes; a line far longer is not one, and is not parsed.
constexpr std::size_t kMaxLogLineBytes = 64 * 1024;

}  // namespace

std::optional<LoggedEntry> ParseLogLine(std::string_view line) {
    if (line.size() > kMaxLogLineBytes) {
        return std::nullopt;
    }
    const nlohmann::json json = nlohmann::json::parse(line, nullptr, false);
    if (!json.is_object()) {
        return std::nullopt;
    }
    const auto text = [&](const char* key) -> const std::string* {
        const auto found = json.find(key);
        return found != json.end() && found->is_string() ? found->get_ptr<const std::string*>()
                                                         : nullptr;
    };
    const auto position = json.find("position");
    const std::string* carrier = text("carrier");
    const std::string* module = text("module");
    const std::string* crc = text("crc32");
    if (carrier == nullptr || module == nullptr || crc == nullptr || crc->size() != 8 ||
        position == json.end() || !position->is_number_integer()) {
        return std::nullopt;
    }
    const auto place = position->get<std::int64_t>();
    if (place < 1 || place > 4) {
        return std::nullopt;
    }
    LoggedEntry entry{*carrier, static_cast<int>(place), *module, 0, false};
    const auto [end, error] = std::from_chars(crc->data(), crc->data() + 8, entry.crc32, 16);
    if (error != std::errc{} || end != crc->data() + 8) {
        return std::nullopt;
    }
    const auto failed = json.find("write_failed");
    entry.writeFailed = failed != json.end() && failed->is_boolean() && failed->get<bool>();
    if (!entry.writeFailed && !json.contains("channels")) {
        return std::nullopt;
    }
    return entry;
}

std::vector<std::uint32_t> LoggedWritesOf(const std::filesystem::path& file,
                                          std::string_view carrier, int position,
                                          std::string_view module) {
    auto read = os::ReadRecordFile(file);
    if (!std::holds_alternative<std::string>(read)) {
        return {};
    }
    std::vector<std::uint32_t> writes;  // of this module, in the log's order
    std::istringstream lines(std::get<std::string>(read));
    for (std::string line; std::getline(lines, line);) {
        const auto entry = ParseLogLine(line);
        if (!entry || entry->carrier != carrier || entry->position != position ||
            entry->module != module) {
            continue;
        }
        if (!entry->writeFailed) {
            writes.push_back(entry->crc32);
        } else if (!writes.empty() && writes.back() == entry->crc32) {
            writes.pop_back();  // that record never reached the module
        }
    }
    return writes;
}

}  // namespace qm7x::calibr
