// Item lists, table cells and text-box lines.
#include <gtest/gtest.h>

#include <array>

#include "qm7x/ui/model.h"
#include "test_resource.h"

namespace qm7x::ui {
namespace {

using namespace test;

class ListsTablesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        panel = LoadMain();
        ASSERT_GT(panel, 0);
    }
    void TearDown() override { ResetUserInterface(); }
    int panel = 0;
};

TEST_F(ListsTablesTest, EmptyListHasNoValue) {
    int count = -1;
    int index = 5;
    int value = 0;
    ASSERT_EQ(GetNumListItems(panel, MAIN_LIST, count), 0);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(GetCtrlIndex(panel, MAIN_LIST, index), 0);
    EXPECT_EQ(index, -1);
    EXPECT_EQ(GetCtrlVal(panel, MAIN_LIST, value), UIEListEmpty);
    EXPECT_EQ(SetCtrlIndex(panel, MAIN_LIST, 0), UIEIndexOutOfRange);
}

TEST_F(ListsTablesTest, ItemsKeepLabelsValuesAndSelection) {
    EXPECT_EQ(InsertListItem(panel, MAIN_LIST, -1, "first", 7), 0);
    EXPECT_EQ(InsertListItem(panel, MAIN_LIST, -1, "second", 9), 0);
    EXPECT_EQ(InsertListItem(panel, MAIN_LIST, 0, "zero", 3), 0);  // in front
    EXPECT_EQ(InsertListItem(panel, MAIN_LIST, 5, "far", 1), UIEIndexOutOfRange);
    EXPECT_EQ(InsertListItem(panel, MAIN_LIST, -1, "text", "x"), UIEWrongType);
    EXPECT_EQ(InsertListItem(panel, MAIN_LIST, -1, "real", 1.5), UIEWrongType);

    int count = 0;
    ASSERT_EQ(GetNumListItems(panel, MAIN_LIST, count), 0);
    EXPECT_EQ(count, 3);
    int index = -1;
    int value = 0;
    // The first item inserted became the selection and stays selected when others come before.
    ASSERT_EQ(GetCtrlIndex(panel, MAIN_LIST, index), 0);
    EXPECT_EQ(index, 1);
    ASSERT_EQ(GetCtrlVal(panel, MAIN_LIST, value), 0);
    EXPECT_EQ(value, 7);

    ASSERT_EQ(SetCtrlIndex(panel, MAIN_LIST, 2), 0);
    ASSERT_EQ(GetCtrlVal(panel, MAIN_LIST, value), 0);
    EXPECT_EQ(value, 9);
    ASSERT_EQ(SetCtrlVal(panel, MAIN_LIST, 3), 0);  // selects by value
    ASSERT_EQ(GetCtrlIndex(panel, MAIN_LIST, index), 0);
    EXPECT_EQ(index, 0);

    std::string label;
    unsigned short u = 0;
    EXPECT_EQ(GetLabelFromIndex(panel, MAIN_LIST, 2, label), 0);
    EXPECT_EQ(label, "second");
    EXPECT_EQ(GetValueFromIndex(panel, MAIN_LIST, 2, u), 0);
    EXPECT_EQ(u, 9);
    EXPECT_EQ(GetValueFromIndex(panel, MAIN_LIST, 3, value), UIEIndexOutOfRange);

    ASSERT_EQ(ClearListCtrl(panel, MAIN_LIST), 0);
    ASSERT_EQ(GetNumListItems(panel, MAIN_LIST, count), 0);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(GetCtrlVal(panel, MAIN_LIST, value), UIEListEmpty);

    EXPECT_EQ(ClearListCtrl(panel, MAIN_COUNT), UIEAttributeNotValid);
    EXPECT_EQ(ClearListCtrl(panel, MAIN_SWITCH), UIEAttributeNotValid);
}

TEST_F(ListsTablesTest, RingFromTheResource) {
    int index = -1;
    int value = 0;
    ASSERT_EQ(GetCtrlIndex(panel, MAIN_RING, index), 0);
    EXPECT_EQ(index, 1);
    ASSERT_EQ(GetCtrlVal(panel, MAIN_RING, value), 0);
    EXPECT_EQ(value, 20);
    EXPECT_EQ(DisplayText(*FindControl(panel, MAIN_RING)), "twenty");
    ASSERT_EQ(DeleteListItem(panel, MAIN_RING, 0, 1), 0);
    ASSERT_EQ(GetCtrlIndex(panel, MAIN_RING, index), 0);
    EXPECT_EQ(index, 0);  // "twenty" moved up and stays selected
}

TEST_F(ListsTablesTest, TableRangesInBothOrders) {
    // Cells: 2 rows x 3 columns. Column-major: rows of column 1, then column 2 ...
    const std::array<double, 4> columnMajor = {1, 2, 3, 4};  // rows 1..2 of columns 2..3
    ASSERT_EQ(SetTableCellRangeVals(panel, MAIN_TABLE, MakeRect(1, 2, 2, 2), columnMajor,
                                    VAL_COLUMN_MAJOR),
              0);
    struct Cell {
        int column;
        int row;
        double value;
    } expected[] = {{1, 1, 0}, {2, 1, 1}, {2, 2, 2}, {3, 1, 3}, {3, 2, 4}, {1, 2, 0}};
    for (const Cell& c : expected) {
        double v = -1;
        ASSERT_EQ(GetTableCellVal(panel, MAIN_TABLE, MakePoint(c.column, c.row), v), 0);
        EXPECT_EQ(v, c.value) << "column " << c.column << " row " << c.row;
    }
    std::array<double, 4> rowMajor{};
    ASSERT_EQ(
        GetTableCellRangeVals(panel, MAIN_TABLE, MakeRect(1, 2, 2, 2), rowMajor, VAL_ROW_MAJOR), 0);
    EXPECT_EQ(rowMajor, (std::array<double, 4>{1, 3, 2, 4}));

    // A column of one value per row, as the coefficient table is filled.
    const std::array<double, 2> column = {10, 20};
    ASSERT_EQ(
        SetTableCellRangeVals(panel, MAIN_TABLE, MakeRect(1, 3, 2, 1), column, VAL_COLUMN_MAJOR),
        0);
    double v = 0;
    ASSERT_EQ(GetTableCellVal(panel, MAIN_TABLE, MakePoint(3, 2), v), 0);
    EXPECT_EQ(v, 20);

    const std::array<double, 1> one = {1};
    EXPECT_EQ(SetTableCellRangeVals(panel, MAIN_TABLE, MakeRect(1, 1, 2, 1), one, VAL_ROW_MAJOR),
              UIEInvalidArgument);  // too few values
    EXPECT_EQ(SetTableCellVal(panel, MAIN_TABLE, MakePoint(4, 1), 1), UIEIndexOutOfRange);
    EXPECT_EQ(SetTableCellVal(panel, MAIN_TABLE, MakePoint(1, 3), 1), UIEIndexOutOfRange);
    EXPECT_EQ(SetTableCellVal(panel, MAIN_TABLE, MakePoint(0, 1), 1), UIEIndexOutOfRange);
    EXPECT_EQ(SetTableCellVal(panel, MAIN_LOG, MakePoint(1, 1), 1), UIEAttributeNotValid);
    EXPECT_EQ(SetTableCellRangeVals(panel, MAIN_TABLE, MakeRect(1, 1, 1, 1), one, 7),
              UIEInvalidArgument);
}

TEST_F(ListsTablesTest, TextBoxAppendsCountsAndScrolls) {
    int visible = 0;
    ASSERT_EQ(GetCtrlAttribute(panel, MAIN_LOG, ATTR_VISIBLE_LINES, visible), 0);
    ASSERT_GT(visible, 0);
    // Append lines and keep the last one in view, as the protocol panel does.
    for (int i = 0; i < visible + 3; ++i) {
        ASSERT_EQ(InsertTextBoxLine(panel, MAIN_LOG, -1, "line " + std::to_string(i)), 0);
        int count = 0;
        ASSERT_EQ(GetNumTextBoxLines(panel, MAIN_LOG, count), 0);
        ASSERT_EQ(count, i + 1);
        ASSERT_EQ(SetCtrlAttribute(panel, MAIN_LOG, ATTR_FIRST_VISIBLE_LINE,
                                   std::max(0, count - visible)),
                  0);
    }
    int first = -1;
    ASSERT_EQ(GetCtrlAttribute(panel, MAIN_LOG, ATTR_FIRST_VISIBLE_LINE, first), 0);
    EXPECT_EQ(first, 3);
    std::string line;
    ASSERT_EQ(GetTextBoxLine(panel, MAIN_LOG, first, line), 0);
    EXPECT_EQ(line, "line 3");

    // Out of range scrolling stays inside the text.
    ASSERT_EQ(SetCtrlAttribute(panel, MAIN_LOG, ATTR_FIRST_VISIBLE_LINE, 1000), 0);
    ASSERT_EQ(GetCtrlAttribute(panel, MAIN_LOG, ATTR_FIRST_VISIBLE_LINE, first), 0);
    EXPECT_EQ(first, visible + 2);
    EXPECT_EQ(InsertTextBoxLine(panel, MAIN_LOG, 1000, "x"), UIEIndexOutOfRange);
}

TEST_F(ListsTablesTest, TextBoxTextWithLineBreaks) {
    ASSERT_EQ(InsertTextBoxLine(panel, MAIN_LOG, -1, "a\nb"), 0);
    ASSERT_EQ(SetCtrlVal(panel, MAIN_LOG, "c\nd"), 0);  // appends to the last line
    std::string all;
    ASSERT_EQ(GetCtrlVal(panel, MAIN_LOG, all), 0);
    EXPECT_EQ(all, "a\nbc\nd");
    ASSERT_EQ(ResetTextBox(panel, MAIN_LOG, "one\ntwo"), 0);
    int count = 0;
    ASSERT_EQ(GetNumTextBoxLines(panel, MAIN_LOG, count), 0);
    EXPECT_EQ(count, 2);
    ASSERT_EQ(ResetTextBox(panel, MAIN_LOG, ""), 0);
    ASSERT_EQ(GetNumTextBoxLines(panel, MAIN_LOG, count), 0);
    EXPECT_EQ(count, 0);
    ASSERT_EQ(InsertTextBoxLine(panel, MAIN_LOG, -1, ""), 0);  // an empty line is a line
    ASSERT_EQ(GetNumTextBoxLines(panel, MAIN_LOG, count), 0);
    EXPECT_EQ(count, 1);
}

}  // namespace
}  // namespace qm7x::ui
