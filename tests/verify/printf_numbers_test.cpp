// The protocol's number conversions against the C library's printf in the "C" locale, and their
// independence of the locale the user interface may set.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

#include "qm7x/verify/deviation_check.h"
#include "qm7x/verify/printf_numbers.h"
#include "qm7x/verify/protocol_text.h"

namespace qm7x::verify {
namespace {

std::string cPrintf(const char* format, int width, int precision, double value) {
    char text[512];
    std::snprintf(text, sizeof text, format, width, precision, value);
    return text;
}

const std::vector<double> kValues{
    0.0,      -0.0,   1.0,     -1.0,      0.5,     1.00003, -0.99997,
    2.0e-4,   3.0e-5, 0.045,   123456.75, 9.96e-5, 9.95,    0.00025,
    1.0e-300, 5e-324, 1.0e300, 0.125,     2.5,     -3.5,    0.30000000000000004};

TEST(PrintfNumbers, MatchTheCLibrary) {
    for (const double v : kValues) {
        for (const int precision : {-3, -1, 0, 1, 2, 3, 4, 6, 9, 17}) {
            for (const int width : {0, 3, 14}) {
                EXPECT_EQ(FormatExp(v, precision, width), cPrintf("%*.*e", width, precision, v))
                    << v << " " << precision << " " << width;
                EXPECT_EQ(FormatFixed(v, precision, width), cPrintf("%*.*f", width, precision, v))
                    << v << " " << precision << " " << width;
            }
        }
    }
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(FormatFixed(inf, 4), "inf");
    EXPECT_EQ(FormatExp(-inf, 4), "-inf");
    EXPECT_EQ(FormatFixed(std::numeric_limits<double>::quiet_NaN(), 4), "nan");
}

// The Russian locale, the one an operator's desktop sets (the Qt front end takes the locale from
// the environment); built from the locale sources into a scratch folder when not installed.
bool useRussianNumbers() {
    if (std::setlocale(LC_NUMERIC, "ru_RU.UTF-8") != nullptr) {
        return true;
    }
    const std::string dir = ::testing::TempDir() + "qm7x_locales";
    const std::string build = "mkdir -p '" + dir + "' && localedef -i ru_RU -f UTF-8 '" + dir +
                              "/ru_RU.UTF-8' >/dev/null 2>&1";
    if (std::system(build.c_str()) != 0) {
        return false;
    }
    ::setenv("LOCPATH", dir.c_str(), 1);
    return std::setlocale(LC_NUMERIC, "ru_RU.UTF-8") != nullptr;
}

TEST(PrintfNumbers, DecimalPointWhateverTheLocale) {
    ASSERT_TRUE(useRussianNumbers()) << "localedef could not build ru_RU.UTF-8 (package locales)";
    ASSERT_EQ(cPrintf("%*.*f", 0, 3, 0.045), "0,045");  // printf follows the locale
    EXPECT_EQ(FormatExp(1.00003, 6), "1.000030e+00");
    EXPECT_EQ(FormatFixed(0.045, 3), "0.045");
    // The whole judgement too: the rounded error is read back from its text.
    std::vector<double> samples(50, 1.00002);
    samples.insert(samples.end(), 50, 1.00004);
    EXPECT_EQ(ResultRow(ChkDeviation(samples, 1.0, 0.00045), 1.0),
              "1.000000e+00, 1.000030e+00, 3.0e-05, 4.0000e-05, 0.0030%, 0.0040%, 0.045%   "
              "Норма\n");
    std::setlocale(LC_NUMERIC, "C");
}

}  // namespace
}  // namespace qm7x::verify
