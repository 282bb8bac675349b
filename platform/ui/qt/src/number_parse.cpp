#include "number_parse.h"

#include <cmath>
#include <locale>
#include <sstream>
#include <string>

namespace qm7x::ui::qt {

std::optional<double> ParseNumber(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) {
        return std::nullopt;
    }
    const auto last = text.find_last_not_of(" \t");
    std::string trimmed(text.substr(first, last - first + 1));
    // A Russian keyboard types the decimal comma: one separator of either kind is the point,
    // as the calibration prompt reads it. A comma beside a point stays a refusal.
    if (const auto comma = trimmed.find(',');
        comma != std::string::npos && trimmed.find('.') == std::string::npos) {
        trimmed[comma] = '.';
    }
    // Stream extraction would also take hexadecimal floats on some libraries; an operator never
    // means those, nor "inf" or "nan".
    if (trimmed.find_first_not_of("0123456789+-.eE") != std::string::npos) {
        return std::nullopt;
    }
    std::istringstream in(trimmed);
    in.imbue(std::locale::classic());
    double value = 0.0;
    in >> value;
    if (in.fail() || !in.eof() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

}  // namespace qm7x::ui::qt
