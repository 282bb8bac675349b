// The decision rule of the certificate: a guard band w = U on each side of the tolerance limit
// (simple acceptance and rejection with a guard band, as ILAC-G8 describes it), applied to the
// deviation of the measured value Ux - Un.
#pragma once

#include <optional>
#include <string_view>

namespace qm7x::certificate {

enum class Decision {
    kConforms,        // inside the tolerance by at least U
    kDoesNotConform,  // outside the tolerance by at least U
    kConditional,     // within U of the limit
    kNotDecided,      // no uncertainty: the point has no standard named
};

Decision Decide(double deviation_v, double tolerance_v, std::optional<double> expanded_v);

// "соответствует", "не соответствует", "условно", "—".
std::string_view DecisionText(Decision decision);

// U as stated: rounded up to two significant digits, so that the stated U never understates.
double RoundUpTwoDigits(double value);

}  // namespace qm7x::certificate
