// Panels and control values held by the run-time, without any front end.
#include <gtest/gtest.h>

#include "qm7x/ui/model.h"
#include "qm7x/ui/radio_group.h"
#include "test_resource.h"

namespace qm7x::ui {
namespace {

using namespace test;

class ModelTest : public ::testing::Test {
  protected:
    void SetUp() override {
        panel = LoadMain();
        ASSERT_GT(panel, 0);
    }
    void TearDown() override { ResetUserInterface(); }
    int panel = 0;
};

TEST_F(ModelTest, LoadingGivesDistinctHandlesAndIndependentPanels) {
    const int second = LoadPanel(0, kResourceName, MAIN);
    ASSERT_GT(second, 0);
    EXPECT_NE(second, panel);
    EXPECT_NE(panel, MAIN);  // handles are not resource numbers
    ASSERT_EQ(SetCtrlVal(panel, MAIN_NAME, "first"), 0);
    std::string name;
    ASSERT_EQ(GetCtrlVal(second, MAIN_NAME, name), 0);
    EXPECT_EQ(name, "qm7X.log");
}

TEST_F(ModelTest, LoadFailuresAreNegative) {
    EXPECT_EQ(LoadPanel(0, kResourceName, 99), UIEPanelNotInResource);
    EXPECT_EQ(LoadPanel(0, "no-such-file.uir", MAIN), UIEResourceNotFound);
    RegisterResource("broken.uir", "panels: [{number: 1}]");
    EXPECT_EQ(LoadPanel(0, "broken.uir", 1), UIEBadResource);
    RegisterResource("dup.uir",
                     "panels: [{number: 1, constant: A, controls: [{number: 2, constant: X, "
                     "kind: led}, {number: 2, constant: Y, kind: led}]}]");
    EXPECT_EQ(LoadPanel(0, "dup.uir", 1), UIEBadResource);
    EXPECT_EQ(LoadPanel(12345, kResourceName, MAIN), UIEHandleInvalid);
}

TEST_F(ModelTest, ValuesOfEveryTypeRoundTrip) {
    int count = 0;
    EXPECT_EQ(SetCtrlVal(panel, MAIN_COUNT, 2), 0);
    EXPECT_EQ(GetCtrlVal(panel, MAIN_COUNT, count), 0);
    EXPECT_EQ(count, 2);
    double asDouble = 0;
    EXPECT_EQ(GetCtrlVal(panel, MAIN_COUNT, asDouble), 0);  // integers read as double too
    EXPECT_EQ(asDouble, 2.0);

    double volts = 0;
    EXPECT_EQ(SetCtrlVal(panel, MAIN_VOLTS, 0.001), 0);
    EXPECT_EQ(GetCtrlVal(panel, MAIN_VOLTS, volts), 0);
    EXPECT_DOUBLE_EQ(volts, 0.001);

    unsigned short u = 0;
    EXPECT_EQ(GetCtrlVal(panel, MAIN_SHORT, u), 0);
    EXPECT_EQ(u, 7);
    EXPECT_EQ(SetCtrlVal(panel, MAIN_SHORT, static_cast<unsigned short>(65535)), 0);
    EXPECT_EQ(GetCtrlVal(panel, MAIN_SHORT, u), 0);
    EXPECT_EQ(u, 65535);
    short s = 0;
    EXPECT_EQ(GetCtrlVal(panel, MAIN_SHORT, s), UIEWrongType);  // 65535 does not fit a short

    std::string text;
    EXPECT_EQ(SetCtrlVal(panel, MAIN_MSG, std::string("Привет")), 0);
    EXPECT_EQ(GetCtrlVal(panel, MAIN_MSG, text), 0);
    EXPECT_EQ(text, "Привет");

    int on = 0;
    EXPECT_EQ(SetCtrlVal(panel, MAIN_SWITCH, 1), 0);
    EXPECT_EQ(GetCtrlVal(panel, MAIN_SWITCH, on), 0);
    EXPECT_EQ(on, 1);
    EXPECT_EQ(SetCtrlVal(panel, MAIN_SWITCH, 5), UIEValueNotInList);
}

TEST_F(ModelTest, NumericsAreCoercedIntoTheirRange) {
    struct Case {
        int control;
        double set;
        double expected;
    } cases[] = {
        {MAIN_COUNT, 7, 3},        {MAIN_COUNT, -4, 1},      {MAIN_VOLTS, 1.0, 0.026214},
        {MAIN_VOLTS, 0.0, 4.0e-7}, {MAIN_VOLTS, 0.01, 0.01},
    };
    for (const Case& c : cases) {
        int r = c.control == MAIN_COUNT ? SetCtrlVal(panel, c.control, static_cast<int>(c.set))
                                        : SetCtrlVal(panel, c.control, c.set);
        ASSERT_EQ(r, 0);
        double got = 0;
        ASSERT_EQ(GetCtrlVal(panel, c.control, got), 0);
        EXPECT_DOUBLE_EQ(got, c.expected) << "control " << c.control << " set " << c.set;
    }
}

TEST_F(ModelTest, WrongValueTypesAndBadHandlesAreErrors) {
    int i = 0;
    double d = 0;
    std::string s;
    EXPECT_EQ(SetCtrlVal(panel, MAIN_COUNT, 2.5), UIEWrongType);  // no silent truncation
    EXPECT_EQ(SetCtrlVal(panel, MAIN_COUNT, "2"), UIEWrongType);
    EXPECT_EQ(SetCtrlVal(panel, MAIN_NAME, 3), UIEWrongType);
    EXPECT_EQ(GetCtrlVal(panel, MAIN_VOLTS, i), UIEWrongType);
    EXPECT_EQ(GetCtrlVal(panel, MAIN_NAME, d), UIEWrongType);
    EXPECT_EQ(GetCtrlVal(panel, MAIN_COUNT, s), UIEWrongType);
    EXPECT_EQ(GetCtrlVal(panel, MAIN_BUTTON, i), UIEWrongType);
    EXPECT_EQ(SetCtrlVal(panel, MAIN_TABLE, 1.0), UIEWrongType);
    EXPECT_EQ(SetCtrlVal(panel, 99, 1), UIEInvalidControl);
    EXPECT_EQ(SetCtrlVal(9999, MAIN_COUNT, 1), UIEHandleInvalid);
    EXPECT_EQ(GetCtrlVal(-1, MAIN_COUNT, i), UIEHandleInvalid);
    EXPECT_EQ(SetCtrlAttribute(panel, 99, ATTR_DIMMED, 1), UIEInvalidControl);
    EXPECT_EQ(SetCtrlAttribute(panel, MAIN_COUNT, ATTR_FIRST_VISIBLE_LINE, 1),
              UIEAttributeNotValid);
    EXPECT_EQ(DisplayPanel(0), UIEHandleInvalid);
    EXPECT_EQ(DiscardPanel(4242), UIEHandleInvalid);
    EXPECT_EQ(DefaultCtrl(panel, 77), UIEInvalidControl);
    EXPECT_EQ(SetCtrlVal(panel, MAIN_NAME, static_cast<const char*>(nullptr)), UIEInvalidArgument);
    EXPECT_STRNE(GetUILErrorString(UIEHandleInvalid), GetUILErrorString(UIEInvalidControl));
}

TEST_F(ModelTest, DefaultsRestoreValuesButNotDimming) {
    ASSERT_EQ(SetCtrlVal(panel, MAIN_NAME, "other.log"), 0);
    ASSERT_EQ(SetCtrlVal(panel, MAIN_VOLTS, 0.01), 0);
    ASSERT_EQ(SetCtrlIndex(panel, MAIN_RING, 0), 0);
    ASSERT_EQ(SetTableCellVal(panel, MAIN_TABLE, MakePoint(2, 1), 5.0), 0);
    ASSERT_EQ(InsertTextBoxLine(panel, MAIN_LOG, -1, "line"), 0);
    ASSERT_EQ(SetCtrlAttribute(panel, MAIN_SHORT, ATTR_DIMMED, 0), 0);
    ASSERT_EQ(SetCtrlAttribute(panel, MAIN_NAME, ATTR_TEXT_COLOR, VAL_RED), 0);

    ASSERT_EQ(DefaultPanel(panel), 0);

    std::string name;
    double volts = 0;
    int ring = 0;
    double cell = -1;
    int lines = -1;
    int dimmed = -1;
    int color = -1;
    EXPECT_EQ(GetCtrlVal(panel, MAIN_NAME, name), 0);
    EXPECT_EQ(name, "qm7X.log");
    EXPECT_EQ(GetCtrlVal(panel, MAIN_VOLTS, volts), 0);
    EXPECT_DOUBLE_EQ(volts, 0.0002);
    EXPECT_EQ(GetCtrlVal(panel, MAIN_RING, ring), 0);
    EXPECT_EQ(ring, 20);
    EXPECT_EQ(GetTableCellVal(panel, MAIN_TABLE, MakePoint(2, 1), cell), 0);
    EXPECT_EQ(cell, 0.0);
    EXPECT_EQ(GetNumTextBoxLines(panel, MAIN_LOG, lines), 0);
    EXPECT_EQ(lines, 0);
    EXPECT_EQ(GetCtrlAttribute(panel, MAIN_SHORT, ATTR_DIMMED, dimmed), 0);
    EXPECT_EQ(dimmed, 0);  // dimming is not a value
    EXPECT_EQ(GetCtrlAttribute(panel, MAIN_NAME, ATTR_TEXT_COLOR, color), 0);
    EXPECT_EQ(color, VAL_RED);

    ASSERT_EQ(SetCtrlVal(panel, MAIN_NAME, "x"), 0);
    ASSERT_EQ(DefaultCtrl(panel, MAIN_NAME), 0);
    EXPECT_EQ(GetCtrlVal(panel, MAIN_NAME, name), 0);
    EXPECT_EQ(name, "qm7X.log");
}

TEST_F(ModelTest, AttributesOfControlsAndPanels) {
    int v = 0;
    EXPECT_EQ(GetCtrlAttribute(panel, MAIN_SHORT, ATTR_CTRL_MODE, v), 0);
    EXPECT_EQ(v, VAL_INDICATOR);
    EXPECT_EQ(SetCtrlAttribute(panel, MAIN_FRAME, ATTR_ZPLANE_POSITION, 100), 0);
    EXPECT_EQ(PaintOrder(panel).front(), MAIN_FRAME);  // furthest back is painted first
    EXPECT_EQ(SetCtrlAttribute(panel, MAIN_FRAME, ATTR_ZPLANE_POSITION, 0), 0);
    EXPECT_EQ(PaintOrder(panel).back(), MAIN_FRAME);

    std::string label;
    EXPECT_EQ(SetCtrlAttribute(panel, MAIN_BUTTON, ATTR_LABEL_TEXT, "New"), 0);
    EXPECT_EQ(GetCtrlAttribute(panel, MAIN_BUTTON, ATTR_LABEL_TEXT, label), 0);
    EXPECT_EQ(label, "New");

    double min = 0;
    double max = 0;
    EXPECT_EQ(GetCtrlAttribute(panel, MAIN_VOLTS, ATTR_MIN_VALUE, min), 0);
    EXPECT_EQ(GetCtrlAttribute(panel, MAIN_VOLTS, ATTR_MAX_VALUE, max), 0);
    EXPECT_DOUBLE_EQ(min, 4.0e-7);
    EXPECT_DOUBLE_EQ(max, 0.026214);
    ASSERT_EQ(SetCtrlVal(panel, MAIN_VOLTS, 0.02), 0);
    EXPECT_EQ(SetCtrlAttribute(panel, MAIN_VOLTS, ATTR_MAX_VALUE, 0.01), 0);
    double volts = 0;
    EXPECT_EQ(GetCtrlVal(panel, MAIN_VOLTS, volts), 0);
    EXPECT_DOUBLE_EQ(volts, 0.01);  // the value follows a narrower range

    std::string title;
    EXPECT_EQ(SetPanelAttribute(panel, ATTR_TITLE, "Протокол"), 0);
    EXPECT_EQ(GetPanelAttribute(panel, ATTR_TITLE, title), 0);
    EXPECT_EQ(title, "Протокол");
    EXPECT_EQ(SetPanelAttribute(panel, ATTR_TOP, VAL_AUTO_CENTER), 0);
    EXPECT_TRUE(FindPanel(panel)->centered);
    EXPECT_EQ(GetPanelAttribute(panel, ATTR_CLOSE_CTRL, v), 0);
    EXPECT_EQ(v, MAIN_BUTTON);
    EXPECT_EQ(SetPanelAttribute(panel, ATTR_CLOSE_CTRL, 99), UIEInvalidControl);
    EXPECT_EQ(SetPanelAttribute(panel, ATTR_DIMMED, 1), UIEAttributeNotValid);
}

TEST_F(ModelTest, TabPagesArePanelsOfTheirOwn) {
    int a = 0;
    int b = 0;
    ASSERT_EQ(GetPanelHandleFromTabPage(panel, MAIN_TAB, 0, a), 0);
    ASSERT_EQ(GetPanelHandleFromTabPage(panel, MAIN_TAB, 1, b), 0);
    EXPECT_NE(a, b);
    EXPECT_EQ(FindPanel(a)->tabPageOf, panel);
    double value = 0;
    EXPECT_EQ(GetCtrlVal(a, PAGE_A_VALUE, value), 0);
    EXPECT_EQ(value, 1.5);
    int page = -1;
    EXPECT_EQ(GetActiveTabPage(panel, MAIN_TAB, page), 0);
    EXPECT_EQ(page, 0);
    EXPECT_EQ(SetActiveTabPage(panel, MAIN_TAB, 1), 0);
    EXPECT_EQ(GetActiveTabPage(panel, MAIN_TAB, page), 0);
    EXPECT_EQ(page, 1);
    EXPECT_EQ(SetActiveTabPage(panel, MAIN_TAB, 2), UIEIndexOutOfRange);
    EXPECT_EQ(GetPanelHandleFromTabPage(panel, MAIN_TAB, -1, a), UIEIndexOutOfRange);
    EXPECT_EQ(GetPanelHandleFromTabPage(panel, MAIN_COUNT, 0, a), UIEAttributeNotValid);

    // Discarding the panel discards its pages.
    ASSERT_EQ(DiscardPanel(panel), 0);
    EXPECT_EQ(FindPanel(b), nullptr);
    EXPECT_EQ(SetCtrlVal(panel, MAIN_COUNT, 1), UIEHandleInvalid);
}

TEST_F(ModelTest, PanelsAndControlsBuiltAtRunTime) {
    const int dialog = NewPanel(0, "Выбор инструмента", VAL_AUTO_CENTER, VAL_AUTO_CENTER, 335, 517);
    ASSERT_GT(dialog, 0);
    const int ok = NewCtrl(dialog, CTRL_SQUARE_COMMAND_BUTTON, "Выбрать", 41, 408);
    const int list = NewCtrl(dialog, CTRL_LIST, "", 3, 14);
    ASSERT_GT(ok, 0);
    ASSERT_GT(list, 0);
    EXPECT_NE(ok, list);
    EXPECT_EQ(SetCtrlAttribute(dialog, list, ATTR_WIDTH, 385), 0);
    EXPECT_EQ(SetPanelAttribute(dialog, ATTR_BACKCOLOR, VAL_LT_GRAY), 0);
    EXPECT_EQ(SetPanelAttribute(dialog, ATTR_CLOSE_CTRL, ok), 0);
    const Panel* p = FindPanel(dialog);
    ASSERT_NE(p, nullptr);
    EXPECT_TRUE(p->centered);
    EXPECT_EQ(p->geometry.width, 517);
    EXPECT_EQ(p->geometry.height, 335);
    EXPECT_EQ(FindControl(dialog, list)->geometry.width, 385);
    EXPECT_EQ(FindControl(dialog, ok)->geometry.top, 41);
    EXPECT_EQ(NewCtrl(dialog, 999, "", 0, 0), UIEInvalidArgument);
    EXPECT_EQ(DiscardCtrl(dialog, ok), 0);
    EXPECT_EQ(FindPanel(dialog)->closeCtrl, 0);
}

TEST_F(ModelTest, RadioGroupSelectsOneButton) {
    const int group[] = {MAIN_RADIO_A, MAIN_RADIO_B};
    int selected = 0;
    ASSERT_EQ(GetSelectedRadioButtons(panel, group, selected), 0);
    EXPECT_EQ(selected, MAIN_RADIO_A);
    ASSERT_EQ(SetSelectedRadioButtons(panel, group, MAIN_RADIO_B), 0);
    ASSERT_EQ(GetSelectedRadioButtons(panel, group, selected), 0);
    EXPECT_EQ(selected, MAIN_RADIO_B);
    int a = -1;
    EXPECT_EQ(GetCtrlVal(panel, MAIN_RADIO_A, a), 0);
    EXPECT_EQ(a, 0);
    ASSERT_EQ(SetSelectedRadioButtons(panel, group, 0), 0);
    ASSERT_EQ(GetSelectedRadioButtons(panel, group, selected), 0);
    EXPECT_EQ(selected, 0);

    const int notRadio[] = {MAIN_RADIO_A, MAIN_COUNT};
    EXPECT_EQ(SetSelectedRadioButtons(panel, notRadio, MAIN_RADIO_A), UIEWrongType);
    EXPECT_EQ(SetSelectedRadioButtons(panel, group, MAIN_COUNT), UIEInvalidArgument);
    EXPECT_EQ(SetSelectedRadioButtons(999, group, MAIN_RADIO_A), UIEHandleInvalid);
}

}  // namespace
}  // namespace qm7x::ui
