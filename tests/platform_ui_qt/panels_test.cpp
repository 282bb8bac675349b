// Every panel of the program's resource as the Qt front end shows it: one widget of the right
// class per control, values and attributes taken from the model.
#include <gtest/gtest.h>

#include <QChartView>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTextBlock>

#include "binary_switch.h"
#include "led.h"
#include "numeric_edit.h"
#include "numeric_table.h"
#include "p_qm7x.h"
#include "picture.h"
#include "qt_fixture.h"
#include "text_box.h"

namespace qm7x::ui::qt {
namespace {

using testing::QtFrontEndTest;
using PanelsTest = QtFrontEndTest;

bool HasWidgetOfKind(QWidget* widget, CtrlKind kind) {
    switch (kind) {
        case CtrlKind::CommandButton:
            return qobject_cast<QPushButton*>(widget) != nullptr;
        case CtrlKind::TextMessage:
            return qobject_cast<QLabel*>(widget) != nullptr;
        case CtrlKind::String:
            return qobject_cast<QLineEdit*>(widget) != nullptr;
        case CtrlKind::Numeric:
            return qobject_cast<NumericEdit*>(widget) != nullptr;
        case CtrlKind::Ring:
            return qobject_cast<QComboBox*>(widget) != nullptr;
        case CtrlKind::BinarySwitch:
            return qobject_cast<BinarySwitch*>(widget) != nullptr;
        case CtrlKind::RadioButton:
            return qobject_cast<QRadioButton*>(widget) != nullptr;
        case CtrlKind::Led:
            return qobject_cast<Led*>(widget) != nullptr;
        case CtrlKind::Table:
            return qobject_cast<NumericTable*>(widget) != nullptr;
        case CtrlKind::TextBox:
            return qobject_cast<TextBox*>(widget) != nullptr;
        case CtrlKind::Tab:
            return qobject_cast<QTabWidget*>(widget) != nullptr;
        case CtrlKind::Picture:
            return qobject_cast<Picture*>(widget) != nullptr;
        case CtrlKind::Decoration:
            return qobject_cast<QFrame*>(widget) != nullptr;
        case CtrlKind::ListBox:
            return qobject_cast<QListWidget*>(widget) != nullptr;
        case CtrlKind::Graph:
            return qobject_cast<QChartView*>(widget) != nullptr;
    }
    return false;
}

TEST_F(PanelsTest, EveryPanelOfTheResourceShowsEveryControlAsAWidgetOfItsKind) {
    const int resourceIds[] = {ABOUT, CHLP, EXIT_POPUP, MP, P1, P2, P3, P4, ST, TP, VP};
    int controlsSeen = 0;
    for (const int id : resourceIds) {
        const int panel = Load(id);
        ASSERT_GT(panel, 0);
        ASSERT_EQ(DisplayPanel(panel), 0);
        Settle();
        ASSERT_NE(PanelWidget(panel), nullptr);
        EXPECT_TRUE(PanelWidget(panel)->isVisible()) << FindPanel(panel)->constant;
        std::vector<int> panels = {panel};
        for (const Control& c : FindPanel(panel)->controls) {
            for (const TabPage& page : c.pages) {
                panels.push_back(page.panel);
            }
        }
        for (const int p : panels) {
            for (const Control& c : FindPanel(p)->controls) {
                QWidget* widget = frontEnd_->ControlWidgetOf(p, c.id);
                EXPECT_TRUE(HasWidgetOfKind(widget, c.kind))
                    << FindPanel(p)->constant << "." << c.constant << " as "
                    << CtrlKindName(c.kind);
                if (widget != nullptr) {
                    EXPECT_EQ(widget->geometry(), QRect(c.geometry.left, c.geometry.top,
                                                        c.geometry.width, c.geometry.height))
                        << FindPanel(p)->constant << "." << c.constant;
                }
                ++controlsSeen;
            }
        }
    }
    EXPECT_GT(controlsSeen, 60);
}

TEST_F(PanelsTest, NumericsShowTheirDisplayFormat) {
    const int mp = Load(MP);
    int pp = 0;
    int cp = 0;
    ASSERT_EQ(GetPanelHandleFromTabPage(mp, MP_TAB, 1, pp), 0);
    ASSERT_EQ(GetPanelHandleFromTabPage(mp, MP_TAB, 0, cp), 0);
    DisplayPanel(mp);
    struct Case {
        int panel;
        int control;
        const char* shown;
    };
    const Case defaults[] = {
        {pp, PP_PERIOD, "200.000E-6"}, {pp, PP_TIME, "20.000E-3"}, {cp, CP_TEST_U, "1.00"},
        {cp, CP_RANGE, "10.00"},       {pp, PP_CHAN, "1"},         {mp, MP_K, "1"},
    };
    for (const Case& c : defaults) {
        auto* edit = Widget<NumericEdit>(c.panel, c.control);
        ASSERT_NE(edit, nullptr);
        EXPECT_EQ(edit->text(), c.shown) << c.control;
    }
    // The program's writes show in the same format.
    ASSERT_EQ(SetCtrlVal(pp, PP_TIME, 100 * 0.0004), 0);
    EXPECT_EQ(Widget<NumericEdit>(pp, PP_TIME)->text(), "40.000E-3");
    ASSERT_EQ(SetCtrlVal(cp, CP_RANGE, 1.0), 0);
    EXPECT_EQ(Widget<NumericEdit>(cp, CP_RANGE)->text(), "1.00");
}

TEST_F(PanelsTest, TableShowsItsLabelsAndCells) {
    const int mp = Load(MP);
    int cp = 0;
    ASSERT_EQ(GetPanelHandleFromTabPage(mp, MP_TAB, 0, cp), 0);
    auto* table = Widget<NumericTable>(cp, CP_TABLE);
    ASSERT_NE(table, nullptr);
    ASSERT_EQ(table->rowCount(), 3);
    ASSERT_EQ(table->columnCount(), 4);
    EXPECT_EQ(table->horizontalHeaderItem(0)->text(), "К");
    EXPECT_EQ(table->horizontalHeaderItem(3)->text(), "U тестовое");
    EXPECT_EQ(table->verticalHeaderItem(2)->text(), "3");
    const double column3[] = {10.0, 1.0, 0.1};
    ASSERT_EQ(SetTableCellRangeVals(cp, CP_TABLE, MakeRect(1, 3, 3, 1), column3, VAL_COLUMN_MAJOR),
              0);
    ASSERT_EQ(SetTableCellVal(cp, CP_TABLE, MakePoint(1, 2), 1.000123), 0);
    EXPECT_DOUBLE_EQ(table->CellValue(2, 0), 10.0);
    EXPECT_DOUBLE_EQ(table->CellValue(2, 2), 0.1);
    EXPECT_DOUBLE_EQ(table->CellValue(0, 1), 1.000123);
    // Each column in its own format: gains of microvolts per code stay readable, ranges and
    // test voltages in volts.
    ASSERT_EQ(SetTableCellVal(cp, CP_TABLE, MakePoint(2, 1), 1.1920929e-6), 0);
    const Control* model = FindControl(cp, CP_TABLE);
    for (int column = 0; column < 4; ++column) {
        for (int row = 0; row < 3; ++row) {
            const double value = table->CellValue(column, row);
            EXPECT_EQ(table->CellText(column, row).toStdString(),
                      FormatTableCell(*model, column + 1, value))
                << "column " << column << " row " << row;
        }
    }
    EXPECT_EQ(table->CellText(1, 0), "1.192093E-6");
}

TEST_F(PanelsTest, DimmingAndIndicatorModeReachTheWidgets) {
    const int mp = Load(MP);
    int cp = 0;
    int pp = 0;
    GetPanelHandleFromTabPage(mp, MP_TAB, 0, cp);
    GetPanelHandleFromTabPage(mp, MP_TAB, 1, pp);
    EXPECT_FALSE(Widget<NumericEdit>(cp, CP_U)->isEnabled());  // dimmed in the resource
    EXPECT_FALSE(Widget<NumericEdit>(pp, PP_TEMPERATURE)->isEnabled());
    ASSERT_EQ(SetCtrlAttribute(pp, PP_TEMPERATURE, ATTR_DIMMED, 0), 0);
    EXPECT_TRUE(Widget<NumericEdit>(pp, PP_TEMPERATURE)->isEnabled());
    ASSERT_EQ(SetCtrlAttribute(mp, MP_RESET, ATTR_DIMMED, 1), 0);
    EXPECT_FALSE(Widget<QPushButton>(mp, MP_RESET)->isEnabled());
    EXPECT_TRUE(Widget<NumericEdit>(pp, PP_TIME)->isReadOnly());
    EXPECT_TRUE(Widget<QLineEdit>(mp, MP_ERROR_MESSAGE)->isReadOnly());
    ASSERT_EQ(SetCtrlAttribute(mp, MP_RESET, ATTR_VISIBLE, 0), 0);
    DisplayPanel(mp);
    EXPECT_FALSE(Widget<QPushButton>(mp, MP_RESET)->isVisible());
}

TEST_F(PanelsTest, StatusLineTakesItsTextAndColour) {
    const int mp = Load(MP);
    DisplayPanel(mp);
    auto* status = Widget<QLineEdit>(mp, MP_ERROR_MESSAGE);
    ASSERT_NE(status, nullptr);
    ASSERT_EQ(SetCtrlVal(mp, MP_ERROR_MESSAGE, "Идет инициализация"), 0);
    ASSERT_EQ(SetCtrlAttribute(mp, MP_ERROR_MESSAGE, ATTR_TEXT_COLOR, VAL_WHITE), 0);
    EXPECT_EQ(status->text(), "Идет инициализация");
    EXPECT_EQ(status->palette().color(QPalette::Text), QColor(Qt::white));
    ASSERT_EQ(SetCtrlAttribute(mp, MP_ERROR_MESSAGE, ATTR_TEXT_COLOR, VAL_RED), 0);
    EXPECT_EQ(status->palette().color(QPalette::Text), QColor(Qt::red));
    // The background stays distinct from both colours, so either text can be read.
    const QColor back = status->palette().color(QPalette::Base);
    EXPECT_NE(back, QColor(Qt::white));
    EXPECT_NE(back, QColor(Qt::red));
    EXPECT_TRUE(status->toolTip().isEmpty());
    const std::string longText(200, 'x');
    ASSERT_EQ(SetCtrlVal(mp, MP_ERROR_MESSAGE, longText), 0);
    EXPECT_EQ(status->toolTip().toStdString(), longText);  // readable in full
    ASSERT_EQ(DefaultCtrl(mp, MP_ERROR_MESSAGE), 0);
    EXPECT_EQ(status->text(), "");
    EXPECT_EQ(status->palette().color(QPalette::Text), QColor(Qt::red));
}

TEST_F(PanelsTest, LabelsStandAboveTheirControlsAndShowShortcuts) {
    const int mp = Load(MP);
    int pp = 0;
    GetPanelHandleFromTabPage(mp, MP_TAB, 1, pp);
    DisplayPanel(mp);
    SetActiveTabPage(mp, MP_TAB, 1);
    Settle();
    auto* period = Widget<NumericEdit>(pp, PP_PERIOD);
    ASSERT_NE(period, nullptr);
    auto labels = PanelWidget(pp)->findChildren<QLabel*>();
    const auto label =
        std::find_if(labels.begin(), labels.end(), [&](QLabel* l) { return l->buddy() == period; });
    ASSERT_NE(label, labels.end());
    EXPECT_EQ((*label)->text(), "Период опроса, с");
    EXPECT_LE((*label)->geometry().bottom(), period->geometry().top());
    EXPECT_EQ(Widget<QPushButton>(mp, MP_ERROR_MESSAGE_OK)->text(), "&OK");
}

TEST_F(PanelsTest, TextBoxFollowsLinesAndFirstVisibleLine) {
    const int chlp = Load(CHLP);
    DisplayPanel(chlp);
    auto* box = Widget<TextBox>(chlp, CHLP_LOG);
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->font().fixedPitch());
    const QFontInfo font(box->font());
    EXPECT_TRUE(font.fixedPitch()) << font.family().toStdString();
    for (int i = 0; i < 80; ++i) {
        ASSERT_GE(InsertTextBoxLine(chlp, CHLP_LOG, -1, "Канал " + std::to_string(i)), 0);
    }
    EXPECT_EQ(box->LineCount(), 80);
    ASSERT_EQ(SetCtrlAttribute(chlp, CHLP_LOG, ATTR_FIRST_VISIBLE_LINE, 30), 0);
    Settle();
    EXPECT_EQ(box->FirstVisibleLine(), 30);
    EXPECT_EQ(box->cursorForPosition(QPoint(4, 4)).block().text(), "Канал 30");
    // Scrolling by the operator is read back as the first visible line.
    box->verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub);
    Settle();
    int first = -1;
    ASSERT_EQ(GetCtrlAttribute(chlp, CHLP_LOG, ATTR_FIRST_VISIBLE_LINE, first), 0);
    EXPECT_EQ(first, 29);
    // Lines appended by the program do not move the view.
    ASSERT_GE(InsertTextBoxLine(chlp, CHLP_LOG, -1, "последняя"), 0);
    Settle();
    EXPECT_EQ(box->FirstVisibleLine(), 29);
    ASSERT_EQ(ResetTextBox(chlp, CHLP_LOG, ""), 0);
    EXPECT_EQ(box->LineCount(), 0);
}

TEST_F(PanelsTest, TabPagesFollowTheModelBothWays) {
    const int mp = Load(MP);
    DisplayPanel(mp);
    InstallCtrlCallback(mp, MP_TAB, testing::EventLog::ControlCallback, nullptr);
    auto* tabs = Widget<QTabWidget>(mp, MP_TAB);
    ASSERT_NE(tabs, nullptr);
    ASSERT_EQ(tabs->count(), 3);
    EXPECT_EQ(tabs->tabText(0), "Калибровка");
    EXPECT_EQ(tabs->tabText(1), "Поверка");
    EXPECT_EQ(tabs->tabText(2), "Автомат");
    EXPECT_EQ(tabs->currentIndex(), 0);
    ASSERT_EQ(SetActiveTabPage(mp, MP_TAB, 1), 0);
    EXPECT_EQ(tabs->currentIndex(), 1);
    EXPECT_EQ(testing::EventLog::Count(mp, MP_TAB, EVENT_ACTIVE_TAB_CHANGE), 0);
    // Displaying the other page's panel does not put it over the active page.
    int cp = 0;
    GetPanelHandleFromTabPage(mp, MP_TAB, 0, cp);
    ASSERT_EQ(DisplayPanel(cp), 0);
    Settle();
    EXPECT_FALSE(PanelWidget(cp)->isVisible());
    EXPECT_EQ(tabs->currentIndex(), 1);
    tabs->setCurrentIndex(0);  // as a click on the tab does
    int active = -1;
    ASSERT_EQ(GetActiveTabPage(mp, MP_TAB, active), 0);
    EXPECT_EQ(active, 0);
    EXPECT_EQ(testing::EventLog::Count(mp, MP_TAB, EVENT_ACTIVE_TAB_CHANGE), 1);
}

TEST_F(PanelsTest, StackingPositionPutsTheFrameBehindOrInFront) {
    const int mp = Load(MP);
    int pp = 0;
    GetPanelHandleFromTabPage(mp, MP_TAB, 1, pp);
    DisplayPanel(mp);
    SetActiveTabPage(mp, MP_TAB, 1);
    Settle();
    QWidget* page = PanelWidget(pp);
    QWidget* frame = frontEnd_->ControlWidgetOf(pp, PP_DECOR);
    QWidget* radio = frontEnd_->ControlWidgetOf(pp, PP_TEMPERATURE_5);
    ASSERT_TRUE(frame && radio && page);
    const QPoint inRadio = radio->geometry().center();
    ASSERT_TRUE(frame->geometry().contains(inRadio));
    ASSERT_EQ(SetCtrlAttribute(pp, PP_DECOR, ATTR_ZPLANE_POSITION, 100), 0);
    EXPECT_EQ(page->childAt(inRadio)->window(), radio->window());
    EXPECT_TRUE(page->childAt(inRadio) == radio || radio->isAncestorOf(page->childAt(inRadio)));
    ASSERT_EQ(SetCtrlAttribute(pp, PP_DECOR, ATTR_ZPLANE_POSITION, 0), 0);
    EXPECT_TRUE(page->childAt(inRadio) == frame || frame->isAncestorOf(page->childAt(inRadio)));
}

TEST_F(PanelsTest, PanelImageIsSavedAsPng) {
    const int about = Load(ABOUT);
    DisplayPanel(about);
    const std::string path = ::testing::TempDir() + "about.png";
    ASSERT_EQ(SavePanelImage(about, path), 0);
    QImage image(QString::fromStdString(path));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(),
              QSize(FindPanel(about)->geometry.width, FindPanel(about)->geometry.height));
    EXPECT_EQ(SavePanelImage(about, "/nonexistent-dir/x.png"), UIEIOError);
    EXPECT_LT(SavePanelImage(9999, path), 0);
}

}  // namespace
}  // namespace qm7x::ui::qt
