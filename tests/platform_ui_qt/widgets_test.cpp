// The front end's own widgets on their own: numeric entry, binary switch, text box, table.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>

#include "binary_switch.h"
#include "numeric_edit.h"
#include "numeric_table.h"
#include "qt_fixture.h"
#include "text_box.h"

namespace qm7x::ui::qt {
namespace {

using testing::QtFrontEndTest;
using WidgetsTest = QtFrontEndTest;

std::unique_ptr<NumericEdit> MakeEdit(double min, double max, double step) {
    auto edit = std::make_unique<NumericEdit>();
    edit->SetLimits(min, max, step);
    edit->SetFormatter([](double v) { return QString::number(v, 'f', 2).toStdString(); });
    edit->ShowValue(1.0);
    edit->show();
    return edit;
}

TEST_F(WidgetsTest, NumericEntryCommitsOnEnterNotWhileTyping) {
    auto edit = MakeEdit(-100, 100, 1);
    QSignalSpy committed(edit.get(), &NumericEdit::Committed);
    edit->findChild<QLineEdit*>()->selectAll();
    QTest::keyClicks(edit.get(), "42.5");
    EXPECT_EQ(committed.count(), 0);
    QTest::keyClick(edit.get(), Qt::Key_Return);
    ASSERT_EQ(committed.count(), 1);
    EXPECT_DOUBLE_EQ(committed.front().front().toDouble(), 42.5);
    EXPECT_EQ(edit->text(), "42.50");
}

TEST_F(WidgetsTest, NumericEntryOutsideTheRangeIsCoercedToTheLimit) {
    auto edit = MakeEdit(1, 3, 1);
    QSignalSpy committed(edit.get(), &NumericEdit::Committed);
    edit->findChild<QLineEdit*>()->selectAll();
    QTest::keyClicks(edit.get(), "7");
    QTest::keyClick(edit.get(), Qt::Key_Return);
    ASSERT_EQ(committed.count(), 1);
    EXPECT_DOUBLE_EQ(committed.front().front().toDouble(), 3.0);
}

TEST_F(WidgetsTest, NumericEntryRejectsLettersAndKeepsTheValue) {
    auto edit = MakeEdit(-10, 10, 1);
    edit->findChild<QLineEdit*>()->selectAll();
    QTest::keyClicks(edit.get(), "abc");
    QTest::keyClick(edit.get(), Qt::Key_Return);
    EXPECT_DOUBLE_EQ(edit->value(), 1.0);
}

TEST_F(WidgetsTest, ArrowStepsCommitAndProgramValuesDoNot) {
    auto edit = MakeEdit(0, 0.026214, 4e-7);
    edit->ShowValue(0.0002);
    QSignalSpy committed(edit.get(), &NumericEdit::Committed);
    QTest::keyClick(edit.get(), Qt::Key_Up);
    ASSERT_EQ(committed.count(), 1);
    EXPECT_NEAR(committed.front().front().toDouble(), 0.0002004, 1e-12);
    edit->ShowValue(0.001);
    EXPECT_EQ(committed.count(), 1);
}

TEST_F(WidgetsTest, NewLimitsFromTheProgramCoerceWithoutACommit) {
    auto edit = MakeEdit(-10, 10, 1);
    QSignalSpy committed(edit.get(), &NumericEdit::Committed);
    edit->SetLimits(4e-7, 0.026214, 4e-7);
    EXPECT_DOUBLE_EQ(edit->value(), 0.026214);
    EXPECT_EQ(committed.count(), 0);
}

TEST_F(WidgetsTest, IntegerEntryRoundsToWholeNumbers) {
    auto edit = MakeEdit(-100, 100, 1);
    edit->SetIntegral(true);
    QSignalSpy committed(edit.get(), &NumericEdit::Committed);
    edit->findChild<QLineEdit*>()->selectAll();
    QTest::keyClicks(edit.get(), "2.6");
    QTest::keyClick(edit.get(), Qt::Key_Return);
    ASSERT_EQ(committed.count(), 1);
    EXPECT_DOUBLE_EQ(committed.front().front().toDouble(), 3.0);
}

TEST_F(WidgetsTest, BinarySwitchTogglesOnClickAndShowsBothTexts) {
    BinarySwitch sw;
    sw.SetStateTexts("выкл", "вкл");
    sw.resize(sw.sizeHint());
    sw.show();
    QSignalSpy clicked(&sw, &BinarySwitch::clicked);
    QTest::mouseClick(&sw, Qt::LeftButton);
    EXPECT_TRUE(sw.isChecked());
    QTest::mouseClick(&sw, Qt::LeftButton);
    EXPECT_FALSE(sw.isChecked());
    EXPECT_EQ(clicked.count(), 2);
    EXPECT_GT(sw.sizeHint().width(), QFontMetrics(sw.font()).horizontalAdvance("выклвкл"));
}

TEST_F(WidgetsTest, TextBoxCountsLinesAndScrollsToTheFirstVisibleLine) {
    TextBox box;
    box.resize(300, 120);
    box.show();
    EXPECT_EQ(box.LineCount(), 0);
    for (int i = 0; i < 100; ++i) {
        box.AppendLine(QString("строка %1").arg(i));
    }
    EXPECT_EQ(box.LineCount(), 100);
    box.SetFirstVisibleLine(40);
    EXPECT_EQ(box.FirstVisibleLine(), 40);
    EXPECT_EQ(box.cursorForPosition(QPoint(4, 4)).block().text(), "строка 40");
}

TEST_F(WidgetsTest, TableCellEditCommitsTheCellAndItsValue) {
    NumericTable table;
    table.setRowCount(3);
    table.setColumnCount(4);
    table.SetFormatter([](int column, double v) {
        return QString::number(v, 'f', column + 1).toStdString();  // a format per column
    });
    table.ShowCell(2, 1, 10.0);
    table.resize(400, 150);
    table.show();
    EXPECT_EQ(table.CellText(2, 1), "10.000");
    EXPECT_EQ(table.CellText(0, 1), "0.0");
    QSignalSpy committed(&table, &NumericTable::CellCommitted);
    table.setCurrentCell(1, 2);
    table.editItem(table.item(1, 2));
    auto* editor = table.findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    QTest::keyClicks(editor, "1.5");
    QTest::keyClick(editor, Qt::Key_Return);
    ASSERT_EQ(committed.count(), 1);
    EXPECT_EQ(committed.front().at(0).toInt(), 2);  // column
    EXPECT_EQ(committed.front().at(1).toInt(), 1);  // row
    EXPECT_DOUBLE_EQ(committed.front().at(2).toDouble(), 1.5);
}

}  // namespace
}  // namespace qm7x::ui::qt
