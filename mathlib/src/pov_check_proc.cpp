// trqm7xMath_povCheckValueProc: a measured value against its reference with a tolerance in percent
// of a normalising value, plus the tolerance and deviation texts for a protocol, rounded to the
// resolution of the tolerance.
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "trqm7x_math.h"

namespace trqm7x::math {
namespace {

constexpr double kPercent = 100.0;
constexpr double kResolutionBase = 10.0;
constexpr double kRoundingAddend = 0.5;
constexpr double kComparisonGuard = 1e-21;
constexpr std::size_t kTextSize = 32;                   // what a caller's text buffer holds
constexpr double kFirstUnrepresentable = 2147483648.0;  // 2^31

// The tolerance rounded to two significant digits: T units of 10^(E-1).
struct RoundedTolerance {
    int E = 0;
    int T = 0;
};

// From the "%.2e" text of the tolerance: E is the integer after the last "e"; M is the first
// character followed by those from the third on, read as a decimal integer up to the "e".
RoundedTolerance roundTolerance(double tolPercent) {
    std::array<char, kTextSize> text{};
    std::snprintf(text.data(), text.size(), "%.2e", tolPercent);
    const char* exponent = std::strrchr(text.data(), 'e');
    const char* mantissaEnd =
        exponent != nullptr ? exponent : text.data() + std::strlen(text.data());

    std::array<char, kTextSize> mantissa{};
    std::size_t length = 0;
    mantissa[length++] = text[0];
    for (const char* c = text.data() + 2; c < mantissaEnd; ++c) {
        mantissa[length++] = *c;
    }

    RoundedTolerance r;
    r.E = exponent != nullptr ? static_cast<int>(std::strtol(exponent + 1, nullptr, 10)) : 0;
    const long M = std::strtol(mantissa.data(), nullptr, 10);
    r.T = static_cast<int>((M + 5) / 10);
    return r;
}

void writeToleranceText(char* text, RoundedTolerance r, double tolPercent) {
    // A tolerance that rounds up to T = 100 (such as 9.96e-02) is one digit longer than the
    // fixed-point rows below can show; it is written as T = 10 of the next exponent, the same
    // value, so that the text does not read ten times too small.
    if (r.T >= 100 && r.E >= -4 && r.E <= -1) {
        r.T /= 10;
        r.E += 1;
    }
    const int T = r.T;
    switch (r.E) {
        case 1:
            std::snprintf(text, kTextSize, "%6d", T);
            break;
        case 0:
            std::snprintf(text, kTextSize, "%4d.%d", T / 10, T % 10);
            break;
        case -1:
            std::snprintf(text, kTextSize, "  0.%d%d", T / 10, T % 10);
            break;
        case -2:
            std::snprintf(text, kTextSize, " 0.0%d%d", T / 10, T % 10);
            break;
        case -3:
            std::snprintf(text, kTextSize, "0.00%d%d", T / 10, T % 10);
            break;
        case -4:
            std::snprintf(text, kTextSize, "0.000%d%d", T / 10, T % 10);
            break;
        default:
            std::snprintf(text, kTextSize, "%3.1e", tolPercent);
            break;
    }
}

// The deviation K x 10^s; a is |P|, negative tells the sign of P.
void writeDeviationText(char* text, int s, bool negative, int K, double a) {
    if (s >= 1) {
        std::snprintf(text, kTextSize, "%s", negative ? "> -100.0" : ">100.0");
        return;
    }
    if (s < -5) {
        std::snprintf(text, kTextSize, "%3.1e", negative ? -a : a);
        return;
    }
    switch (s) {
        case -5:
            std::snprintf(text, kTextSize, negative ? "-0.000%d%d" : " 0.000%d%d", K / 10, K % 10);
            break;
        case -4:
            std::snprintf(text, kTextSize, negative ? "-0.00%d%d" : " 0.00%d%d", K / 10, K % 10);
            break;
        case -3:
            std::snprintf(text, kTextSize, negative ? " -0.0%d%d" : "  0.0%d%d", K / 10, K % 10);
            break;
        case -2:
            std::snprintf(text, kTextSize, negative ? "  -0.%d%d" : "   0.%d%d", K / 10, K % 10);
            break;
        case -1:
            if (!negative) {
                std::snprintf(text, kTextSize, " %4d.%d", K / 10, K % 10);
            } else if (K / 10 == 0) {
                // -(K div 10) would be 0 and print without its sign: -0.5 must not read 0.5.
                std::snprintf(text, kTextSize, "  -0.%d", K % 10);
            } else {
                std::snprintf(text, kTextSize, "%4d.%d", -(K / 10), K % 10);
            }
            break;
        default:  // 0
            if (negative) {
                std::snprintf(text, kTextSize, "%6d", -K);
            } else {
                std::snprintf(text, kTextSize, " %6d", K);
            }
            break;
    }
}

}  // namespace
}  // namespace trqm7x::math

extern "C" TRQM7X_MATH_API int32_t TRQM7X_MATH_CALL
trqm7xMath_povCheckValueProc(double normValue, double reference, double measured, double tolPercent,
                             char* tolText, char* devText) {
    using namespace trqm7x::math;
    // A null text pointer gets a private buffer that is discarded.
    std::array<char, kTextSize> privateTolText{};
    std::array<char, kTextSize> privateDevText{};
    char* const tolOut = tolText != nullptr ? tolText : privateTolText.data();
    char* const devOut = devText != nullptr ? devText : privateDevText.data();

    // 1. The deviation in percent of the normalising value.
    const double P = (measured - reference) * kPercent / normValue;
    const bool negative = P < 0.0;
    const double a = std::fabs(P);

    // 2-3. The tolerance in units of 10^(E-1), and its text.
    const RoundedTolerance tolerance = roundTolerance(tolPercent);
    const int E = tolerance.E;
    const int T = tolerance.T;
    writeToleranceText(tolOut, tolerance, tolPercent);

    // 4. The deviation in the same units, rounded half up.
    const double Kvalue = a * std::pow(kResolutionBase, 1 - E) + kRoundingAddend;

    int32_t result = 0;
    int s = 1;
    int K = 0;
    if (!(Kvalue < kFirstUnrepresentable)) {
        // 5. Too large for a 32-bit integer, or not a number (a zero normValue).
        result = 1;
    } else {
        // 6. A real deviation never shows as zero; K equal to T passes.
        K = static_cast<int>(Kvalue);
        if (K == 0 && measured != reference) {
            K = 1;
        }
        result = T + kComparisonGuard < K ? 1 : 0;
        // 7. At most two digits: the deviation shown is K x 10^s.
        s = E - 1;
        while (K >= 100) {
            K = (K + 5) / 10;
            s = s + 1;
        }
    }
    // 8.
    writeDeviationText(devOut, s, negative, K, a);
    return result;
}
