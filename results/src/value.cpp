#include <fmt/format.h>
#include <charconv>
#include <limits>
#include <system_error>

#include "qm7x/results/value.h"

namespace qm7x::results {
namespace {

const char* TypeName(const Value& value) {
    switch (value.index()) {
        case 0:
            return "null";
        case 1:
            return "integer";
        case 2:
            return "real";
        default:
            return "text";
    }
}

template <typename Number>
Number ParseNumber(std::string_view text) {
    Number number{};
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (error != std::errc{} || end != text.data() + text.size()) {
        throw StoreError(fmt::format("not a number: \"{}\"", text));
    }
    return number;
}

template <typename Number>
std::vector<Number> ParseList(std::string_view text) {
    std::vector<Number> numbers;
    while (!text.empty()) {
        auto comma = text.find(',');
        numbers.push_back(ParseNumber<Number>(text.substr(0, comma)));
        if (comma == std::string_view::npos) {
            break;
        }
        text.remove_prefix(comma + 1);
    }
    return numbers;
}

}  // namespace

std::int64_t AsInteger(const Value& value) {
    if (const auto* integer = std::get_if<std::int64_t>(&value)) {
        return *integer;
    }
    throw StoreError(fmt::format("an integer was expected, the store holds {}", TypeName(value)));
}

double AsReal(const Value& value) {
    if (const auto* real = std::get_if<double>(&value)) {
        return *real;
    }
    if (const auto* integer = std::get_if<std::int64_t>(&value)) {
        return static_cast<double>(*integer);
    }
    throw StoreError(fmt::format("a number was expected, the store holds {}", TypeName(value)));
}

double AsRealOrNaN(const Value& value) {
    return IsNull(value) ? std::numeric_limits<double>::quiet_NaN() : AsReal(value);
}

std::string AsText(const Value& value) {
    if (const auto* text = std::get_if<std::string>(&value)) {
        return *text;
    }
    if (IsNull(value)) {
        return {};
    }
    throw StoreError(fmt::format("text was expected, the store holds {}", TypeName(value)));
}

bool IsNull(const Value& value) {
    return std::holds_alternative<std::monostate>(value);
}

std::string FormatReal(double value) {
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

double ParseReal(std::string_view text) {
    // PostgreSQL writes the infinities as "Infinity"; from_chars reads them in any case.
    return ParseNumber<double>(text);
}

std::string FormatIntegers(const std::vector<std::int64_t>& values) {
    std::string text;
    for (auto value : values) {
        if (!text.empty()) {
            text += ',';
        }
        text += std::to_string(value);
    }
    return text;
}

std::string FormatReals(const std::vector<double>& values) {
    std::string text;
    for (auto value : values) {
        if (!text.empty()) {
            text += ',';
        }
        text += FormatReal(value);
    }
    return text;
}

std::vector<std::int64_t> ParseIntegers(std::string_view text) {
    return ParseList<std::int64_t>(text);
}

std::vector<double> ParseReals(std::string_view text) {
    return ParseList<double>(text);
}

}  // namespace qm7x::results
