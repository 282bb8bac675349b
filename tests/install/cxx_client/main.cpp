// An outside C++ program: recalculates a channel's offset and gain from calibration samples and
// checks a value against an absolute tolerance, and compares with the known answers.
#include <trqm7x_math.h>

#include <array>
#include <cstdio>

int main() {
    std::array<double, 10> coeff = {0, 0, 0, 0, 1, 10, 2, 20, 4, 40};
    ConvParams params{0, 1, 0, 0, {0, 0, 0}};
    int failures = 0;
    const auto expect = [&](const char* what, double got, double want) {
        if (got != want) {
            std::printf("%s: %.17g, expected %.17g\n", what, got, want);
            ++failures;
        }
    };

    // Zero point on channel 1: the code 1000 lies outside the band, the offset is 100 codes.
    const std::array<int32_t, 5> zero = {100, 100, 100, 100, 1000};
    trqm7xMath_RecalcCoeff(&params, coeff.data(), 0.0, 1, zero.data(), 5);
    expect("zero offset", params.offset[0], 100.0);
    // Gain point: 2.0 V at code 300 with the offset of 100 codes gives the gain 2 / 200.
    const std::array<int32_t, 5> point = {300, 300, 300, 300, 300};
    trqm7xMath_RecalcCoeff(&params, coeff.data(), 2.0, 1, point.data(), 5);
    expect("gain", coeff[4], 0.01);
    expect("offset in volts", params.offset[0], 1.0);

    double deviation = -1;
    expect("within tolerance", trqm7xMath_povCheckValueAbs(1.00000001, 1.0, 0.0, &deviation), 0);
    expect("deviation", deviation, 0.0);
    expect("outside tolerance", trqm7xMath_povCheckValueAbs(1.5, 1.0, 0.4, nullptr), 1);

    std::printf("C++ client: %s\n", failures == 0 ? "known answers" : "WRONG ANSWERS");
    return failures == 0 ? 0 : 1;
}
