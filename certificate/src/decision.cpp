#include "qm7x/certificate/decision.h"

#include <cmath>

namespace qm7x::certificate {

Decision Decide(double deviation_v, double tolerance_v, std::optional<double> expanded_v) {
    if (!expanded_v || !std::isfinite(*expanded_v) || !std::isfinite(deviation_v) ||
        !std::isfinite(tolerance_v)) {
        return Decision::kNotDecided;
    }
    const double size = std::fabs(deviation_v);
    // "At least U" holds on the boundary itself, which decimal values reach only up to rounding.
    const double slack = 1e-9 * std::fabs(tolerance_v);
    if (size + *expanded_v <= tolerance_v + slack) {
        return Decision::kConforms;
    }
    if (size - *expanded_v >= tolerance_v - slack) {
        return Decision::kDoesNotConform;
    }
    return Decision::kConditional;
}

std::string_view DecisionText(Decision decision) {
    switch (decision) {
        case Decision::kConforms:
            return "соответствует";
        case Decision::kDoesNotConform:
            return "не соответствует";
        case Decision::kConditional:
            return "условно";
        case Decision::kNotDecided:
            break;
    }
    return "—";
}

double RoundUpTwoDigits(double value) {
    if (!std::isfinite(value) || value <= 0.0) {
        return value;
    }
    const double scale = std::pow(10.0, std::floor(std::log10(value)) - 1.0);
    // A value already of two digits stays as it is despite the binary fraction of its quotient.
    const double digits = value / scale;
    const double nearest = std::round(digits);
    if (std::fabs(digits - nearest) < 1e-9 * nearest) {
        return nearest * scale;
    }
    return std::ceil(digits) * scale;
}

}  // namespace qm7x::certificate
