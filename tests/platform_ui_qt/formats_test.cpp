// Reading operator entries and turning label shortcut marks into Qt mnemonics.
#include <gtest/gtest.h>

#include "label_text.h"
#include "number_parse.h"

namespace qm7x::ui::qt {
namespace {

TEST(ParseNumber, ReadsEveryDisplayFormatAndRejectsTheRest) {
    struct Case {
        const char* text;
        std::optional<double> value;
    };
    const Case cases[] = {
        {"200.000E-6", 0.0002},
        {"20.000E-3", 0.02},
        {"1.00", 1.0},
        {" 10 ", 10.0},
        {"-3", -3.0},
        {"+4e2", 400.0},
        {".5", 0.5},
        {"", std::nullopt},
        {"-", std::nullopt},
        {"1e", std::nullopt},
        {"1.2.3", std::nullopt},
        {"1,5", 1.5},  // the decimal comma of a Russian keyboard
        {" -0,25 ", -0.25},
        {"1,000.5", std::nullopt},
        {"1,5,3", std::nullopt},
        {"inf", std::nullopt},
        {"nan", std::nullopt},
        {"0x10", std::nullopt},
        {"1e999", std::nullopt},
        {"12abc", std::nullopt},
    };
    for (const Case& c : cases) {
        const auto parsed = ParseNumber(c.text);
        ASSERT_EQ(parsed.has_value(), c.value.has_value()) << "'" << c.text << "'";
        if (c.value) {
            EXPECT_DOUBLE_EQ(*parsed, *c.value) << "'" << c.text << "'";
        }
    }
}

TEST(LabelText, ShortcutMarksBecomeMnemonicsAndAmpersandsStayLiteral) {
    struct Case {
        const char* label;
        const char* mnemonic;
        const char* plain;
    };
    const Case cases[] = {
        {"__OK", "&OK", "OK"},
        {"__Закрыть", "&Закрыть", "Закрыть"},
        {"Чтение EEPROM", "Чтение EEPROM", "Чтение EEPROM"},
        {"R&D", "R&&D", "R&D"},
        {"a__b and __c", "a&b and __c", "ab and __c"},  // only the first mark counts
        {"trailing__", "trailing__", "trailing__"},
        {"snake_case", "snake_case", "snake_case"},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ToQtMnemonic(c.label), c.mnemonic) << c.label;
        EXPECT_EQ(StripShortcutMarks(c.label), c.plain) << c.label;
    }
}

}  // namespace
}  // namespace qm7x::ui::qt
