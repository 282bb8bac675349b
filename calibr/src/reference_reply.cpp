#include "qm7x/calibr/reference_reply.h"

#include <array>
#include <charconv>
#include <cmath>
#include <numeric>
#include <system_error>

namespace qm7x::calibr {

namespace {

constexpr std::string_view kBlanks = " \t";

std::string_view trim(std::string_view text) {
    const auto first = text.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

std::string pointName(Polarity polarity) {
    return polarity == Polarity::positive ? "верхнего (положительного)"
                                          : "нижнего (отрицательного)";
}

ReferenceReply refuse(std::string text) {
    return {false, 0.0, std::move(text)};
}

// Volts as the operator reads them: up to 6 significant digits, a decimal point whatever the
// locale.
std::string voltsText(double volts) {
    std::array<char, 32> text{};
    const auto end =
        std::to_chars(text.data(), text.data() + text.size(), volts, std::chars_format::general, 6)
            .ptr;
    return std::string(text.data(), end);
}

// Codes per full range: the converter's 24-bit scale.
constexpr double kCodesPerRange = 8388608.0;  // 2^23

}  // namespace

ReferenceReply ParseReferenceReply(std::string_view reply, Polarity polarity) {
    std::string number(trim(reply));
    // A Russian keyboard types the decimal comma; one separator of either kind is accepted.
    if (const auto comma = number.find(','); comma != std::string::npos) {
        number[comma] = '.';
    }
    // from_chars refuses a leading '+'; an operator may well type one (but not "+-").
    std::string_view digits(number);
    if (digits.starts_with('+')) {
        digits.remove_prefix(1);
        if (digits.starts_with('-')) {
            digits = {};
        }
    }
    double volts = 0.0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), volts);
    const bool whole =
        !digits.empty() && error == std::errc{} && end == digits.data() + digits.size();
    if (!whole || !std::isfinite(volts)) {
        return refuse("Значение " + pointName(polarity) + " напряжения «" + std::string(reply) +
                      "» не число: калибровка прервана");
    }
    if (polarity == Polarity::positive && !(volts > 0.0)) {
        return refuse("Верхнее (положительное) напряжение должно быть больше 0 В, введено «" +
                      std::string(reply) + "»: калибровка прервана");
    }
    if (polarity == Polarity::negative && !(volts < 0.0)) {
        return refuse("Нижнее (отрицательное) напряжение должно быть меньше 0 В, введено «" +
                      std::string(reply) + "»: калибровка прервана");
    }
    return {true, volts, {}};
}

std::string RefuseBeyondRange(double volts, int channel, double rangeV) {
    if (std::fabs(volts) <= rangeV) {
        return {};
    }
    return "Введено " + voltsText(volts) + " В, а диапазон канала " + std::to_string(channel) +
           " " + voltsText(rangeV) + " В: калибровка прервана";
}

std::string RefuseFarFromReading(double volts, double readingV, int channel, double rangeV) {
    if (std::fabs(volts - readingV) <= kPlausibleShare * rangeV) {  // a NaN reading is refused
        return {};
    }
    return "Введено " + voltsText(volts) + " В, а модуль на канале " + std::to_string(channel) +
           " измерил " + voltsText(readingV) + " В (расхождение больше 10 % диапазона " +
           voltsText(rangeV) + " В): калибровка прервана";
}

double ModuleReading(std::span<const std::int32_t> codes, double gain, double rangeV) {
    if (codes.empty()) {
        return std::nan("");
    }
    const double usableGain = std::isfinite(gain) && gain > 0.0 ? gain : rangeV / kCodesPerRange;
    const double sum = std::accumulate(codes.begin(), codes.end(), 0.0);
    return sum / static_cast<double>(codes.size()) * usableGain;
}

}  // namespace qm7x::calibr
