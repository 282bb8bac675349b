// The verification value check cases, shared by the library tests and the Windows DLL test.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <vector>

namespace mathlib_test::pov_check_cases {

struct ProcCase {
    std::string name;
    double normValue;
    double reference;
    double measured;
    double tolPercent;
    int32_t result;
    std::string tolText;
    std::string devText;
};

// Test names and failure messages show the case by its name, not its bytes.
inline void PrintTo(const ProcCase& c, std::ostream* os) {
    *os << c.name;
}

inline std::vector<ProcCase> procCases() {
    return {
        // P = 0.1, E = -1, T = 50, K = 10.
        {"WithinHalfPercent", 10, 1, 1.01, 0.5, 0, "  0.50", "   0.10"},
        {"NegativeWithinHalfPercent", 10, 1, 0.99, 0.5, 0, "  0.50", "  -0.10"},
        {"OutsideHalfPercent", 10, 1, 1.06, 0.5, 1, "  0.50", "   0.60"},
        // K = 1500 shrinks to 15 with s = 1.
        {"FarOutsideShowsOverHundred", 100, 0, 150, 1.5, 1, "   1.5", ">100.0"},
        // E = 1, T = 25, K = 30, s = 0.
        {"WholePercentTolerance", 1, 0, 0.3, 25, 1, "    25", "     30"},
        {"WholePercentNegative", 1, 0, -0.3, 25, 1, "    25", "   -30"},
        // K rounds to 0 but the values differ: shown as one unit.
        {"TinyDeviationNeverShowsZero", 10, 5, 5.0000001, 0.05, 0, " 0.050", "  0.001"},
        {"EqualValuesShowZero", 10, 5, 5, 0.05, 0, " 0.050", "  0.000"},
        // A deviation equal to the rounded tolerance passes; one unit more fails.
        {"DeviationEqualToTolerancePasses", 100, 0, 2, 2, 0, "   2.0", "    2.0"},
        {"OneUnitOverToleranceFails", 100, 0, 2.1, 2, 1, "   2.0", "    2.1"},
        {"EqualDeviationHalfPercent", 10, 1, 1.05, 0.5, 0, "  0.50", "   0.50"},
        // K of three digits is rounded to two with a larger exponent: 346 -> 35, s = -1.
        {"ThreeDigitDeviationRounded", 100, 0, 3.456, 0.5, 1, "  0.50", "    3.5"},
        // Deviation rows by s, both signs.
        {"FiveDecimalPlaces", 100, 0, 0.00012, 0.0005, 0, "0.00050", " 0.00012"},
        {"FiveDecimalPlacesNegative", 100, 0, -0.00012, 0.0005, 0, "0.00050", "-0.00012"},
        {"FourDecimalPlaces", 100, 0, 0.0012, 0.005, 0, "0.0050", " 0.0012"},
        {"FourDecimalPlacesNegative", 100, 0, -0.0012, 0.005, 0, "0.0050", "-0.0012"},
        {"ThreeDecimalPlaces", 100, 0, 0.012, 0.05, 0, " 0.050", "  0.012"},
        {"ThreeDecimalPlacesNegative", 100, 0, -0.012, 0.05, 0, " 0.050", " -0.012"},
        {"TwoDecimalPlacesNegative", 100, 0, -0.12, 0.5, 0, "  0.50", "  -0.12"},
        {"OneDecimalPlaceNegative", 100, 0, -3.5, 5, 0, "   5.0", "  -3.5"},
        // -(K div 10) is 0 here; the text keeps its minus sign.
        {"OneDecimalPlaceBelowOneNegative", 100, 0, -0.5, 2, 0, "   2.0", "  -0.5"},
        {"OneDecimalPlaceBelowOne", 100, 0, 0.5, 2, 0, "   2.0", "    0.5"},
        // Tolerances outside the fixed-point rows, and deviations below them.
        {"VerySmallTolerance", 100, 0, 0.000012, 0.00005, 0, "5.0e-05", "1.2e-05"},
        {"VerySmallToleranceNegative", 100, 0, -0.000012, 0.00005, 0, "5.0e-05", "-1.2e-05"},
        {"LargeTolerance", 100, 0, 500, 150, 1, "1.5e+02", ">100.0"},
        // 9.96e-02 rounds to T = 100 units of 0.001: shown as 0.10, not 0.0100.
        {"ToleranceRoundingUpToNextDecade", 100, 0, 0.05, 0.0996, 0, "  0.10", "  0.050"},
        {"ToleranceRoundingUpToOnePercent", 100, 0, 0.5, 0.996, 0, "   1.0", "   0.50"},
        // A zero normValue is an overflow: outside, shown as beyond 100 %.
        {"ZeroNormValue", 0, 1, 2, 0.5, 1, "  0.50", ">100.0"},
        {"ZeroNormValueNegative", 0, 2, 1, 0.5, 1, "  0.50", "> -100.0"},
        {"ZeroNormValueEqualValues", 0, 1, 1, 0.5, 1, "  0.50", ">100.0"},
    };
}

struct AbsCase {
    std::string name;
    double measured;
    double reference;
    double tolerance;
    int32_t result;
    double deviation;
};

// Test names and failure messages show the case by its name, not its bytes.
inline void PrintTo(const AbsCase& c, std::ostream* os) {
    *os << c.name;
}

inline std::vector<AbsCase> absCases() {
    return {
        // Both print as 1.000000e+00: no deviation at all, even against a zero tolerance.
        {"AlikeAtSevenDigitsPass", 1.00000001, 1.0, 0.0, 0, 0.0},
        {"SevenDigitsDifferFail", 1.000001, 1.0, 0.0, 1, 1.000001 - 1.0},
        {"EqualToTolerancePasses", 1.5, 1.0, 0.5, 0, 0.5},
        {"InsideGuardPasses", 1.000001, 0.0, 1.000001 / 1.0000000005, 0, 1.000001},
        {"BeyondGuardFails", 1.000001, 0.0, 1.0000005, 1, 1.000001},
        {"RoundedBeforeSubtracting", 2.00000049, 2.0, 0.0, 0, 0.0},
        {"RoundedUpBeforeSubtracting", 2.0000005001, 2.0, 1e-6, 0, 2.000001 - 2.0},
        {"ToleranceItselfNotRounded", 0.0, 1.0, 0.99999999, 1, 1.0},
        {"NegativeValues", -3.25, -3.5, 0.25, 0, 0.25},
    };
}

}  // namespace mathlib_test::pov_check_cases
