#include <fmt/format.h>

#include "qm7x/results/export.h"
#include "qm7x/results/schema.h"

namespace qm7x::results {
namespace {

constexpr const char* kColumns[] = {
    "point_id",     "session_id",    "serial",          "revision",    "channel",
    "range_v",      "passband",      "period_s",        "temperature", "un",
    "ux",           "dus",           "dumax",           "axs",         "axmax",
    "an",           "verdict",       "recorded_at",     "mode",        "phase",
    "calibrator",   "protocol_file", "protocol_offset", "operator",    "bench",
    "carrier_text", "position",      "program_version"};

std::string Field(const Value& value) {
    std::string text;
    if (const auto* integer = std::get_if<std::int64_t>(&value)) {
        return std::to_string(*integer);
    }
    if (const auto* real = std::get_if<double>(&value)) {
        return FormatReal(*real);
    }
    if (const auto* str = std::get_if<std::string>(&value)) {
        text = *str;
    }
    if (text.find_first_of(",\"\r\n") == std::string::npos) {
        return text;
    }
    std::string quoted = "\"";
    for (char c : text) {
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    }
    return quoted + '"';
}

}  // namespace

std::string PointResultsCsv(Backend& backend, const std::string& serial) {
    CheckNotNewer(backend);
    std::string select;
    for (const char* column : kColumns) {
        select += select.empty() ? "" : ",";
        select += column;
    }
    std::string csv = select + "\r\n";
    Value key = serial;
    for (const auto& row : backend.Query(
             fmt::format("SELECT {} FROM point_results WHERE serial = ? ORDER BY point_id", select),
             {&key, 1})) {
        for (std::size_t i = 0; i < row.size(); ++i) {
            csv += (i ? "," : "") + Field(row[i]);
        }
        csv += "\r\n";
    }
    return csv;
}

}  // namespace qm7x::results
