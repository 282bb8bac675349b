// How numbers and labels are shown.
#include <gtest/gtest.h>

#include "qm7x/ui/model.h"

namespace qm7x::ui {
namespace {

TEST(FormatTest, NumericFormats) {
    struct Case {
        int format;
        int precision;
        double value;
        const char* shown;
    } cases[] = {
        {VAL_ENGINEERING_FORMAT, 3, 0.0002, "200.000E-6"},
        {VAL_ENGINEERING_FORMAT, 3, 0.02, "20.000E-3"},
        {VAL_ENGINEERING_FORMAT, 3, 4.0e-7, "400.000E-9"},
        {VAL_ENGINEERING_FORMAT, 3, 0.026214, "26.214E-3"},
        {VAL_ENGINEERING_FORMAT, 3, 1.0, "1.000E+0"},
        {VAL_ENGINEERING_FORMAT, 3, -1500.0, "-1.500E+3"},
        {VAL_ENGINEERING_FORMAT, 3, 999.9996, "1.000E+3"},  // rounding carries to the next power
        {VAL_ENGINEERING_FORMAT, 3, 0.0, "0.000E+0"},
        {VAL_SCIENTIFIC_FORMAT, 2, 0.0002, "2.00E-4"},
        {VAL_FLOATING_PT_FORMAT, 2, 1.0, "1.00"},
        {VAL_FLOATING_PT_FORMAT, 2, 10.0, "10.00"},
        {VAL_FLOATING_PT_FORMAT, 6, -0.5, "-0.500000"},
        {VAL_DECIMAL_FORMAT, 0, 3.0, "3"},
        {VAL_HEX_FORMAT, 0, 255.0, "FF"},
        {VAL_HEX_FORMAT, 0, 1e300, "?"},  // no integer to show
    };
    for (const Case& c : cases) {
        Control control;
        control.kind = CtrlKind::Numeric;
        control.format = c.format;
        control.precision = c.precision;
        EXPECT_EQ(FormatNumeric(control, c.value), c.shown) << c.value;
    }
}

TEST(FormatTest, HugeValuesKeepAllTheirDigits) {
    Control control;
    control.kind = CtrlKind::Numeric;
    control.format = VAL_FLOATING_PT_FORMAT;
    control.precision = 2;
    const std::string shown = FormatNumeric(control, 1e300);
    EXPECT_EQ(shown.size(), 301u + 3u);  // 301 integer digits, the point and two decimals
    EXPECT_EQ(shown.substr(0, 2), "10");
    EXPECT_EQ(shown.substr(shown.size() - 3), ".00");
}

TEST(FormatTest, LabelShortcutMarks) {
    EXPECT_EQ(LabelText("__OK"), "OK");
    EXPECT_EQ(LabelShortcut("__OK"), 0);
    EXPECT_EQ(LabelText("__Закрыть"), "Закрыть");
    EXPECT_EQ(LabelShortcut("__Закрыть"), 0);
    EXPECT_EQ(LabelText("E__xit"), "Exit");
    EXPECT_EQ(LabelShortcut("E__xit"), 1);
    EXPECT_EQ(LabelText(" Выход "), " Выход ");
    EXPECT_EQ(LabelShortcut(" Выход "), -1);
}

TEST(FormatTest, DisplayTextOfKinds) {
    Control sw;
    sw.kind = CtrlKind::BinarySwitch;
    sw.items = {{"выкл", 0LL}, {"вкл", 1LL}};
    sw.index = 1;
    EXPECT_EQ(DisplayText(sw), "вкл");
    Control text;
    text.kind = CtrlKind::String;
    text.value = std::string("qm7X.log");
    EXPECT_EQ(DisplayText(text), "qm7X.log");
    Control number;
    number.kind = CtrlKind::Numeric;
    number.format = VAL_DECIMAL_FORMAT;
    number.value = 42LL;
    EXPECT_EQ(DisplayText(number), "42");
}

}  // namespace
}  // namespace qm7x::ui
