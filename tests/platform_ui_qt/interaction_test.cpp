// What the operator does in the windows reaches the model and the bound callbacks: the value
// first, then the event.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>

#include "binary_switch.h"
#include "numeric_edit.h"
#include "p_qm7x.h"
#include "qt_fixture.h"

namespace qm7x::ui::qt {
namespace {

using testing::EventLog;
using testing::QtFrontEndTest;
using InteractionTest = QtFrontEndTest;

// The value a callback saw when it ran, to prove the model was written before the event.
double seenPeriod = 0.0;
int RecordPeriod(int panel, int control, int event, void*, int, int) {
    if (event == EVENT_COMMIT) {
        GetCtrlVal(panel, control, seenPeriod);
    }
    return 0;
}

class InteractionPages : public InteractionTest {
  protected:
    void SetUp() override {
        InteractionTest::SetUp();
        mp = Load(MP);
        GetPanelHandleFromTabPage(mp, MP_TAB, 0, cp);
        GetPanelHandleFromTabPage(mp, MP_TAB, 1, pp);
        DisplayPanel(mp);
        Settle();
    }
    int mp = 0;
    int cp = 0;
    int pp = 0;
};

TEST_F(InteractionPages, ClickOnAButtonCommitsToItsCallback) {
    InstallCtrlCallback(mp, MP_MP_EXIT, EventLog::ControlCallback, nullptr);
    QTest::mouseClick(Widget<QPushButton>(mp, MP_MP_EXIT), Qt::LeftButton);
    EXPECT_EQ(EventLog::Count(mp, MP_MP_EXIT, EVENT_COMMIT), 1);
    // A dimmed button cannot be pressed.
    SetCtrlAttribute(mp, MP_MP_EXIT, ATTR_DIMMED, 1);
    QTest::mouseClick(Widget<QPushButton>(mp, MP_MP_EXIT), Qt::LeftButton);
    EXPECT_EQ(EventLog::Count(mp, MP_MP_EXIT, EVENT_COMMIT), 1);
}

TEST_F(InteractionPages, TypedNumberReachesTheModelBeforeTheCommit) {
    SetActiveTabPage(mp, MP_TAB, 1);
    InstallCtrlCallback(pp, PP_PERIOD, RecordPeriod, nullptr);
    auto* period = Widget<NumericEdit>(pp, PP_PERIOD);
    period->setFocus();
    period->findChild<QLineEdit*>()->selectAll();
    QTest::keyClicks(period, "400.000E-6");
    QTest::keyClick(period, Qt::Key_Return);
    double value = 0;
    ASSERT_EQ(GetCtrlVal(pp, PP_PERIOD, value), 0);
    EXPECT_DOUBLE_EQ(value, 0.0004);
    EXPECT_DOUBLE_EQ(seenPeriod, 0.0004);
    EXPECT_EQ(period->text(), "400.000E-6");
}

TEST_F(InteractionPages, IntegerNumericWritesItsOwnType) {
    SetActiveTabPage(mp, MP_TAB, 1);
    InstallCtrlCallback(pp, PP_CHAN, EventLog::ControlCallback, nullptr);
    auto* chan = Widget<NumericEdit>(pp, PP_CHAN);
    chan->setFocus();
    QTest::keyClick(chan, Qt::Key_Up);
    int value = 0;
    ASSERT_EQ(GetCtrlVal(pp, PP_CHAN, value), 0);
    EXPECT_EQ(value, 2);
    EXPECT_EQ(EventLog::Count(pp, PP_CHAN, EVENT_COMMIT), 1);
    // The channel range ends at 3: a typed 9 becomes 3.
    chan->findChild<QLineEdit*>()->selectAll();
    QTest::keyClicks(chan, "9");
    QTest::keyClick(chan, Qt::Key_Return);
    ASSERT_EQ(GetCtrlVal(pp, PP_CHAN, value), 0);
    EXPECT_EQ(value, 3);
}

TEST_F(InteractionPages, ProgramWritesDoNotRaiseEvents) {
    InstallCtrlCallback(pp, PP_PERIOD, EventLog::ControlCallback, nullptr);
    InstallCtrlCallback(cp, CP_RING_LINE, EventLog::ControlCallback, nullptr);
    SetCtrlVal(pp, PP_PERIOD, 0.001);
    SetCtrlIndex(cp, CP_RING_LINE, 1);
    DefaultPanel(pp);
    Settle();
    EXPECT_TRUE(EventLog::Entries().empty());
    EXPECT_EQ(Widget<QComboBox>(cp, CP_RING_LINE)->currentIndex(), 1);
    EXPECT_EQ(Widget<NumericEdit>(pp, PP_PERIOD)->text(), "200.000E-6");
}

TEST_F(InteractionPages, RingChoiceSetsTheIndexAndCommits) {
    InstallCtrlCallback(cp, CP_RING_LINE, EventLog::ControlCallback, nullptr);
    auto* ring = Widget<QComboBox>(cp, CP_RING_LINE);
    ASSERT_EQ(ring->count(), 2);
    EXPECT_EQ(ring->itemText(1), "более 500 кГц");
    ring->setFocus();
    QTest::keyClick(ring, Qt::Key_Down);  // a combo box chooses the next item
    int index = -1;
    ASSERT_EQ(GetCtrlIndex(cp, CP_RING_LINE, index), 0);
    EXPECT_EQ(index, 1);
    EXPECT_EQ(EventLog::Count(cp, CP_RING_LINE, EVENT_COMMIT), 1);
}

TEST_F(InteractionPages, BinarySwitchClickSwitchesTheRelayValue) {
    SetActiveTabPage(mp, MP_TAB, 1);
    Settle();
    InstallCtrlCallback(pp, PP_RELE_SWITCH, EventLog::ControlCallback, nullptr);
    auto* sw = Widget<BinarySwitch>(pp, PP_RELE_SWITCH);
    EXPECT_EQ(sw->OffText(), "выкл");
    EXPECT_EQ(sw->OnText(), "вкл");
    QTest::mouseClick(sw, Qt::LeftButton);
    int state = -1;
    ASSERT_EQ(GetCtrlVal(pp, PP_RELE_SWITCH, state), 0);
    EXPECT_EQ(state, 1);
    EXPECT_EQ(EventLog::Count(pp, PP_RELE_SWITCH, EVENT_COMMIT), 1);
    // The program switches the relay out: the switch follows.
    ASSERT_EQ(SetCtrlVal(pp, PP_RELE_SWITCH, 0), 0);
    EXPECT_FALSE(sw->isChecked());
}

TEST_F(InteractionPages, RadioButtonsAreIndependentTwoStateButtons) {
    SetActiveTabPage(mp, MP_TAB, 1);
    Settle();
    auto* any = Widget<QRadioButton>(pp, PP_TEMPERATURE_ANY);
    auto* normal = Widget<QRadioButton>(pp, PP_TEMPERATURE_20);
    EXPECT_TRUE(normal->isChecked());
    QTest::mouseClick(any, Qt::LeftButton);
    int value = 0;
    GetCtrlVal(pp, PP_TEMPERATURE_ANY, value);
    EXPECT_EQ(value, 1);
    // Keeping one of the group selected is the program's callback's work, not the widget's.
    GetCtrlVal(pp, PP_TEMPERATURE_20, value);
    EXPECT_EQ(value, 1);
    EXPECT_TRUE(normal->isChecked());
}

TEST_F(InteractionPages, StringEditCommitsWhenTheEntryIsFinished) {
    SetActiveTabPage(mp, MP_TAB, 1);
    Settle();
    InstallCtrlCallback(pp, PP_FILE_NAME, EventLog::ControlCallback, nullptr);
    auto* name = Widget<QLineEdit>(pp, PP_FILE_NAME);
    EXPECT_EQ(name->text(), "qm7X.log");
    name->setFocus();
    name->selectAll();
    name->insert("протокол.log");  // typed text (key clicks of the test library are ASCII only)
    EXPECT_EQ(EventLog::Count(pp, PP_FILE_NAME, EVENT_COMMIT), 0);
    QTest::keyClick(name, Qt::Key_Return);
    std::string value;
    ASSERT_EQ(GetCtrlVal(pp, PP_FILE_NAME, value), 0);
    EXPECT_EQ(value, "протокол.log");
    EXPECT_EQ(EventLog::Count(pp, PP_FILE_NAME, EVENT_COMMIT), 1);
}

TEST_F(InteractionPages, TableCellTypedByTheOperatorReachesTheModel) {
    InstallCtrlCallback(cp, CP_TABLE, EventLog::ControlCallback, nullptr);
    auto* table = qobject_cast<QTableWidget*>(frontEnd_->ControlWidgetOf(cp, CP_TABLE));
    ASSERT_NE(table, nullptr);
    table->setCurrentCell(1, 2);
    table->editItem(table->item(1, 2));
    auto* editor = table->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    QTest::keyClicks(editor, "1.2");
    QTest::keyClick(editor, Qt::Key_Return);
    double cell = 0;
    ASSERT_EQ(GetTableCellVal(cp, CP_TABLE, MakePoint(3, 2), cell), 0);
    EXPECT_DOUBLE_EQ(cell, 1.2);
    ASSERT_EQ(EventLog::Count(cp, CP_TABLE, EVENT_COMMIT), 1);
    EXPECT_EQ(EventLog::Entries().back().data1, 2);  // row
    EXPECT_EQ(EventLog::Entries().back().data2, 3);  // column
}

TEST_F(InteractionTest, CloseBoxGoesToThePanelCallbackAndTheCloseControl) {
    const int about = Load(ABOUT);
    InstallPanelCallback(about, EventLog::PanelCallback, nullptr);
    DisplayPanel(about);
    Settle();
    PanelWidget(about)->close();
    EXPECT_EQ(EventLog::Count(about, 0, EVENT_CLOSE), 1);
    EXPECT_TRUE(PanelWidget(about)->isVisible());  // hiding is the callback's decision

    // A panel built at run time with a close control, as the selection dialog is.
    const int si = NewPanel(0, "Выбор инструмента", VAL_AUTO_CENTER, VAL_AUTO_CENTER, 335, 517);
    const int cancel = NewCtrl(si, CTRL_SQUARE_COMMAND_BUTTON, "Отмена", 84, 408);
    ASSERT_GT(cancel, 0);
    InstallCtrlCallback(si, cancel, EventLog::ControlCallback, nullptr);
    SetPanelAttribute(si, ATTR_CLOSE_CTRL, cancel);
    DisplayPanel(si);
    Settle();
    ASSERT_NE(PanelWidget(si), nullptr);
    EXPECT_EQ(PanelWidget(si)->windowTitle(), "Выбор инструмента");
    PanelWidget(si)->close();
    EXPECT_EQ(EventLog::Count(si, cancel, EVENT_COMMIT), 1);
    EXPECT_TRUE(PanelWidget(si)->isVisible());
}

TEST_F(InteractionTest, ResizingASizablePanelReportsItsNewSize) {
    const int chlp = Load(CHLP);
    InstallPanelCallback(chlp, EventLog::PanelCallback, nullptr);
    DisplayPanel(chlp);
    Settle();
    PanelWidget(chlp)->resize(900, 600);
    Settle();
    int width = 0;
    int height = 0;
    ASSERT_EQ(GetPanelAttribute(chlp, ATTR_WIDTH, width), 0);
    ASSERT_EQ(GetPanelAttribute(chlp, ATTR_HEIGHT, height), 0);
    EXPECT_EQ(width, 900);
    EXPECT_EQ(height, 600);
    EXPECT_EQ(EventLog::Count(chlp, 0, EVENT_PANEL_SIZE), 1);
    // The program's own resizing is no operator event.
    ASSERT_EQ(SetPanelAttribute(chlp, ATTR_WIDTH, 700), 0);
    Settle();
    EXPECT_EQ(PanelWidget(chlp)->width(), 700);
    EXPECT_EQ(EventLog::Count(chlp, 0, EVENT_PANEL_SIZE), 1);
}

TEST_F(InteractionTest, ListBoxSelectionDoubleClickAndEnter) {
    const int si = NewPanel(0, "Выбор", VAL_AUTO_CENTER, VAL_AUTO_CENTER, 335, 517);
    const int list = NewCtrl(si, CTRL_LIST, "", 3, 14);
    ASSERT_GT(list, 0);
    SetCtrlAttribute(si, list, ATTR_WIDTH, 385);
    SetCtrlAttribute(si, list, ATTR_HEIGHT, 323);
    InstallCtrlCallback(si, list, EventLog::ControlCallback, nullptr);
    InsertListItem(si, list, -1, "Н.М.  Л.А.крейта:0x01, слот:5  (VXI0::5::INSTR)", 0);
    InsertListItem(si, list, -1, "Vektrum, USB (№:1234)", 1);
    DisplayPanel(si);
    Settle();
    auto* widget = Widget<QListWidget>(si, list);
    ASSERT_NE(widget, nullptr);
    ASSERT_EQ(widget->count(), 2);
    EXPECT_EQ(widget->item(1)->text(), "Vektrum, USB (№:1234)");
    EXPECT_EQ(widget->geometry(), QRect(14, 3, 385, 323));

    const QRect second = widget->visualItemRect(widget->item(1));
    QTest::mouseClick(widget->viewport(), Qt::LeftButton, {}, second.center());
    int value = -1;
    ASSERT_EQ(GetCtrlVal(si, list, value), 0);
    EXPECT_EQ(value, 1);
    EXPECT_EQ(EventLog::Count(si, list, EVENT_COMMIT), 0);
    QTest::mouseDClick(widget->viewport(), Qt::LeftButton, {}, second.center());
    EXPECT_EQ(EventLog::Count(si, list, EVENT_LEFT_DOUBLE_CLICK), 1);
    widget->setFocus();
    QTest::keyClick(widget, Qt::Key_Return);
    EXPECT_EQ(EventLog::Count(si, list, EVENT_COMMIT), 1);
}

TEST_F(InteractionTest, InstalledPopupIsApplicationModalUntilRemoved) {
    const int mp = Load(MP);
    const int popup = Load(EXIT_POPUP);
    DisplayPanel(mp);
    ASSERT_EQ(InstallPopup(popup), 0);
    Settle();
    EXPECT_TRUE(PanelWidget(popup)->isVisible());
    EXPECT_EQ(PanelWidget(popup)->windowModality(), Qt::ApplicationModal);
    EXPECT_EQ(QApplication::activeModalWidget(), PanelWidget(popup));
    ASSERT_EQ(RemovePopup(0), 0);
    Settle();
    EXPECT_FALSE(PanelWidget(popup)->isVisible());
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(InteractionTest, DiscardedPanelLeavesNoWindow) {
    const int st = Load(ST);
    DisplayPanel(st);
    Settle();
    QPointer<QWidget> window = PanelWidget(st);
    ASSERT_FALSE(window.isNull());
    ASSERT_EQ(DiscardPanel(st), 0);
    ProcessSystemEvents();
    EXPECT_TRUE(window.isNull());
    EXPECT_EQ(PanelWidget(st), nullptr);
}

}  // namespace
}  // namespace qm7x::ui::qt
