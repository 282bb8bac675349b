#include "qm7x/verify/printf_numbers.h"

#include <charconv>
#include <cmath>
#include <string>

namespace qm7x::verify {
namespace {

constexpr int kDefaultPrecision = 6;

std::string format(double value, std::chars_format style, int precision, int width) {
    if (precision < 0) {
        precision = kDefaultPrecision;
    }
    std::string text;
    if (std::isnan(value)) {
        text = std::signbit(value) ? "-nan" : "nan";  // as glibc's printf writes them
    } else {
        // Sign, leading digit, point, exponent and the integral digits of %f fit in 320 more.
        text.resize(static_cast<std::size_t>(precision) + 320);
        const auto result =
            std::to_chars(text.data(), text.data() + text.size(), value, style, precision);
        text.resize(static_cast<std::size_t>(result.ptr - text.data()));
    }
    if (static_cast<int>(text.size()) < width) {
        text.insert(0, static_cast<std::size_t>(width) - text.size(), ' ');
    }
    return text;
}

}  // namespace

std::string FormatExp(double value, int precision, int width) {
    return format(value, std::chars_format::scientific, precision, width);
}

std::string FormatFixed(double value, int precision, int width) {
    return format(value, std::chars_format::fixed, precision, width);
}

}  // namespace qm7x::verify
