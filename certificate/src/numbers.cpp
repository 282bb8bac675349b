#include "numbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <system_error>

namespace qm7x::certificate {

namespace {

std::string Chars(double value, std::chars_format format, int precision) {
    if (!std::isfinite(value)) {
        return "—";
    }
    std::string text(64, '\0');
    const auto [end, error] =
        std::to_chars(text.data(), text.data() + text.size(), value, format, precision);
    if (error != std::errc{}) {
        return "—";
    }
    text.resize(static_cast<std::size_t>(end - text.data()));
    if (text.starts_with("-0") &&
        std::all_of(text.begin() + 1, text.end(), [](char c) { return c == '0' || c == '.'; })) {
        text.erase(0, 1);  // a rounded -0.000 reads as 0.000
    }
    return text;
}

}  // namespace

std::string Fixed(double value, int decimals) {
    return Chars(value, std::chars_format::fixed, std::clamp(decimals, 0, 12));
}

std::string Significant(double value, int digits) {
    return Chars(value, std::chars_format::general, std::max(digits, 1));
}

int DecimalsOf(double expanded_v) {
    if (!std::isfinite(expanded_v) || expanded_v <= 0.0) {
        return 6;
    }
    return std::clamp(1 - static_cast<int>(std::floor(std::log10(expanded_v))), 0, 12);
}

}  // namespace qm7x::certificate
