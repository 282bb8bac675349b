// trqm7x_math.dll bound as an outside client binds it: LoadLibrary, then the five exports by name
// and by ordinal. The library's own case tables run through the entry points the ordinals give.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "pov_check_cases.h"
#include "raw_block.h"
#include "recalc_cases.h"
#include "translate_cases.h"
#include "trqm7x_math.h"
#include "windows_support.h"

namespace {

// The export table as the library's clients rely on it: names and ordinals 1..5.
const std::array<const char*, 5> kExportsByOrdinal = {
    "trqm7xMath_RecalcCoeff",           "trqm7xMath_povCheckValueAbs",
    "trqm7xMath_povCheckValueProc",     "trqm7xMath_translateResults",
    "trqm7xMath_translateResultsFloat",
};

// The DLL, loaded once for the program and released at its end.
class LoadedLibrary {
  public:
    explicit LoadedLibrary(const std::string& path) : module_(LoadLibraryA(path.c_str())) {}
    ~LoadedLibrary() {
        if (module_ != nullptr) {
            FreeLibrary(module_);
        }
    }
    LoadedLibrary(const LoadedLibrary&) = delete;
    LoadedLibrary& operator=(const LoadedLibrary&) = delete;

    HMODULE Module() const { return module_; }

  private:
    HMODULE module_;
};

HMODULE MathLibrary() {
    static const LoadedLibrary library(qm7x::windows_test::MathLibraryPath());
    return library.Module();
}

FARPROC ByOrdinal(WORD ordinal) {
    return GetProcAddress(MathLibrary(), MAKEINTRESOURCEA(ordinal));
}

// The entry point of `ordinal` as the function type of the public header.
// (decltype names the type without binding the program to the DLL's import library.)
template <typename Function>
Function* Entry(WORD ordinal) {
    return reinterpret_cast<Function*>(reinterpret_cast<void (*)()>(ByOrdinal(ordinal)));
}

TEST(DllExports, LoadsFromItsPath) {
    ASSERT_NE(MathLibrary(), nullptr)
        << qm7x::windows_test::MathLibraryPath() << ": error " << GetLastError();
}

TEST(DllExports, EachNameAndItsOrdinalGiveTheSameEntryPoint) {
    ASSERT_NE(MathLibrary(), nullptr);
    for (std::size_t i = 0; i < kExportsByOrdinal.size(); ++i) {
        const auto ordinal = static_cast<WORD>(i + 1);
        const FARPROC byName = GetProcAddress(MathLibrary(), kExportsByOrdinal[i]);
        EXPECT_NE(byName, nullptr) << kExportsByOrdinal[i];
        EXPECT_EQ(byName, ByOrdinal(ordinal)) << kExportsByOrdinal[i] << " @" << ordinal;
    }
    EXPECT_EQ(ByOrdinal(6), nullptr);
    // Undecorated names only: no "_name@N" of __stdcall, no leading underscore.
    EXPECT_EQ(GetProcAddress(MathLibrary(), "_trqm7xMath_RecalcCoeff"), nullptr);
}

// The export directory of the loaded image: exactly the five names, each at its ordinal.
TEST(DllExports, ExportDirectoryHoldsExactlyTheFive) {
    ASSERT_NE(MathLibrary(), nullptr);
    const auto* base = reinterpret_cast<const unsigned char*>(MathLibrary());
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& entry =
        nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    ASSERT_NE(entry.VirtualAddress, 0u);
    const auto* exports =
        reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + entry.VirtualAddress);
    EXPECT_STREQ(reinterpret_cast<const char*>(base + exports->Name), "trqm7x_math.dll");
    EXPECT_EQ(exports->Base, 1u);
    EXPECT_EQ(exports->NumberOfFunctions, 5u);
    ASSERT_EQ(exports->NumberOfNames, 5u);
    const auto* names = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
    const auto* ordinals = reinterpret_cast<const WORD*>(base + exports->AddressOfNameOrdinals);
    std::map<unsigned, std::string> byOrdinal;
    for (DWORD i = 0; i < exports->NumberOfNames; ++i) {
        byOrdinal[exports->Base + ordinals[i]] = reinterpret_cast<const char*>(base + names[i]);
    }
    std::map<unsigned, std::string> expected;
    for (std::size_t i = 0; i < kExportsByOrdinal.size(); ++i) {
        expected[static_cast<unsigned>(i + 1)] = kExportsByOrdinal[i];
    }
    EXPECT_EQ(byOrdinal, expected);
}

using namespace mathlib_test::translate_cases;

class TranslateByOrdinal : public ::testing::TestWithParam<TranslateCase> {};

TEST_P(TranslateByOrdinal, BothOutputs) {
    ASSERT_NE(MathLibrary(), nullptr);
    const TranslateCase& c = GetParam();
    const auto translate = Entry<decltype(trqm7xMath_translateResults)>(4);
    const auto translateFloat = Entry<decltype(trqm7xMath_translateResultsFloat)>(5);
    const ConvParams params = mathlib_test::makeParams(0, 1, c.format, 0.5, 0.25, 0.125);
    const auto count = static_cast<std::int32_t>(c.chanList.size());
    std::vector<double> out(kOutSize, kSentinel);
    std::vector<float> outFloat(kOutSize, static_cast<float>(kSentinel));
    EXPECT_EQ(0, translate(&params, kCoeff.data(), c.chanList.data(), count, c.raw.data(),
                           out.data(), c.blockLen));
    EXPECT_EQ(0, translateFloat(&params, kCoeff.data(), c.chanList.data(), count, c.raw.data(),
                                outFloat.data(), c.blockLen));
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double want = i < c.expected.size() ? c.expected[i] : kSentinel;
        EXPECT_EQ(want, out[i]) << "element " << i;
        EXPECT_EQ(static_cast<float>(want), outFloat[i]) << "element " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, TranslateByOrdinal, ::testing::ValuesIn(translateCases()),
                         [](const auto& param_info) { return param_info.param.name; });

using mathlib_test::recalc_cases::RecalcCase;

class RecalcByOrdinal : public ::testing::TestWithParam<RecalcCase> {};

TEST_P(RecalcByOrdinal, WritesOnlyTheTreatedChannel) {
    ASSERT_NE(MathLibrary(), nullptr);
    const RecalcCase& c = GetParam();
    const std::vector<double>& initial = mathlib_test::recalc_cases::kCoeff;
    const auto recalc = Entry<decltype(trqm7xMath_RecalcCoeff)>(1);
    ConvParams params = mathlib_test::makeParams(7, c.divisor, 1, c.offsetBefore[0],
                                                 c.offsetBefore[1], c.offsetBefore[2]);
    std::vector<double> coeff = initial;
    EXPECT_EQ(
        0, recalc(&params, coeff.data(), c.refValue, c.channel, c.samples.data(), c.sampleCount));
    std::vector<double> want = initial;
    for (const auto& [element, value] : c.coeffChanges) {
        want[static_cast<std::size_t>(element)] = value;
    }
    EXPECT_EQ(want, coeff);
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(c.offsetAfter[k], params.offset[k]) << "offset " << k;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, RecalcByOrdinal,
                         ::testing::ValuesIn(mathlib_test::recalc_cases::recalcCases()),
                         [](const auto& param_info) { return param_info.param.name; });

using mathlib_test::pov_check_cases::AbsCase;
using mathlib_test::pov_check_cases::ProcCase;

class ProcByOrdinal : public ::testing::TestWithParam<ProcCase> {};

TEST_P(ProcByOrdinal, ResultAndTexts) {
    ASSERT_NE(MathLibrary(), nullptr);
    const ProcCase& c = GetParam();
    const auto check = Entry<decltype(trqm7xMath_povCheckValueProc)>(3);
    char tolText[32];
    char devText[32];
    std::fill(std::begin(tolText), std::end(tolText), '#');
    std::fill(std::begin(devText), std::end(devText), '#');
    EXPECT_EQ(c.result,
              check(c.normValue, c.reference, c.measured, c.tolPercent, tolText, devText));
    EXPECT_EQ(c.tolText, std::string(tolText));
    EXPECT_EQ(c.devText, std::string(devText));
}

INSTANTIATE_TEST_SUITE_P(Cases, ProcByOrdinal,
                         ::testing::ValuesIn(mathlib_test::pov_check_cases::procCases()),
                         [](const auto& param_info) { return param_info.param.name; });

class AbsByOrdinal : public ::testing::TestWithParam<AbsCase> {};

TEST_P(AbsByOrdinal, ResultAndDeviation) {
    ASSERT_NE(MathLibrary(), nullptr);
    const AbsCase& c = GetParam();
    const auto check = Entry<decltype(trqm7xMath_povCheckValueAbs)>(2);
    double deviation = -1.0;
    EXPECT_EQ(c.result, check(c.measured, c.reference, c.tolerance, &deviation));
    EXPECT_EQ(c.deviation, deviation);
}

INSTANTIATE_TEST_SUITE_P(Cases, AbsByOrdinal,
                         ::testing::ValuesIn(mathlib_test::pov_check_cases::absCases()),
                         [](const auto& param_info) { return param_info.param.name; });

}  // namespace
