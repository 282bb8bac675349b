// Text boxes (lines) and tables (numeric cells).
#include "controls_internal.h"
#include "runtime.h"

namespace qm7x::ui {

using detail::Lookup;
using detail::Notify;

namespace {

int LookupKind(int panel, int control, CtrlKind kind, Control*& c) {
    if (int e = Lookup(panel, control, c); e < 0) {
        return e;
    }
    return c->kind == kind ? 0 : UIEAttributeNotValid;
}

}  // namespace

int InsertTextBoxLine(int panel, int control, int index, std::string_view text) {
    Control* c = nullptr;
    if (int e = LookupKind(panel, control, CtrlKind::TextBox, c); e < 0) {
        return e;
    }
    const int count = static_cast<int>(c->lines.size());
    if (index == -1) {
        index = count;
    }
    if (index < 0 || index > count) {
        return UIEIndexOutOfRange;
    }
    // A text with line breaks becomes several lines.
    std::vector<std::string> lines = detail::SplitLines(text);
    if (lines.empty()) {
        lines.emplace_back();
    }
    c->lines.insert(c->lines.begin() + index, lines.begin(), lines.end());
    Notify([&](FrontEnd& fe) { fe.TextBoxLinesChanged(panel, control); });
    return 0;
}

int GetNumTextBoxLines(int panel, int control, int& count) {
    Control* c = nullptr;
    if (int e = LookupKind(panel, control, CtrlKind::TextBox, c); e < 0) {
        return e;
    }
    count = static_cast<int>(c->lines.size());
    return 0;
}

int GetTextBoxLine(int panel, int control, int index, std::string& text) {
    Control* c = nullptr;
    if (int e = LookupKind(panel, control, CtrlKind::TextBox, c); e < 0) {
        return e;
    }
    if (index < 0 || index >= static_cast<int>(c->lines.size())) {
        return UIEIndexOutOfRange;
    }
    text = c->lines[static_cast<std::size_t>(index)];
    return 0;
}

int ResetTextBox(int panel, int control, std::string_view text) {
    Control* c = nullptr;
    if (int e = LookupKind(panel, control, CtrlKind::TextBox, c); e < 0) {
        return e;
    }
    c->lines = detail::SplitLines(text);
    c->firstVisibleLine = 0;
    Notify([&](FrontEnd& fe) { fe.TextBoxLinesChanged(panel, control); });
    return 0;
}

namespace {

int LookupCells(int panel, int control, Rect r, Control*& c) {
    if (int e = LookupKind(panel, control, CtrlKind::Table, c); e < 0) {
        return e;
    }
    const int rows = static_cast<int>(c->rowLabels.size());
    const int columns = static_cast<int>(c->columnLabels.size());
    if (r.top < 1 || r.left < 1 || r.height < 1 || r.width < 1 || r.top + r.height - 1 > rows ||
        r.left + r.width - 1 > columns) {
        return UIEIndexOutOfRange;
    }
    return 0;
}

// Position in the model of the n-th value of a range given in `order`.
std::size_t CellIndex(const Control& c, Rect r, int n, int order) {
    const int columns = static_cast<int>(c.columnLabels.size());
    const int dr = order == VAL_COLUMN_MAJOR ? n % r.height : n / r.width;
    const int dc = order == VAL_COLUMN_MAJOR ? n / r.height : n % r.width;
    return static_cast<std::size_t>((r.top - 1 + dr) * columns + (r.left - 1 + dc));
}

// A rectangle of cells to copy in the given order to or from `available` values; the number of
// cells, or a negative error.
int LookupCellRange(int panel, int control, Rect cells, int order, std::size_t available,
                    Control*& c) {
    if (int e = LookupCells(panel, control, cells, c); e < 0) {
        return e;
    }
    if (order != VAL_COLUMN_MAJOR && order != VAL_ROW_MAJOR) {
        return UIEInvalidArgument;
    }
    const int n = cells.height * cells.width;
    return static_cast<int>(available) < n ? UIEInvalidArgument : n;
}

}  // namespace

int SetTableCellVal(int panel, int control, Point cell, double value) {
    const double values[] = {value};
    return SetTableCellRangeVals(panel, control, MakeRect(cell.y, cell.x, 1, 1), values,
                                 VAL_ROW_MAJOR);
}

int GetTableCellVal(int panel, int control, Point cell, double& value) {
    double values[1] = {};
    const int e = GetTableCellRangeVals(panel, control, MakeRect(cell.y, cell.x, 1, 1), values,
                                        VAL_ROW_MAJOR);
    if (e == 0) {
        value = values[0];
    }
    return e;
}

int SetTableCellRangeVals(int panel, int control, Rect cells, std::span<const double> values,
                          int order) {
    Control* c = nullptr;
    const int n = LookupCellRange(panel, control, cells, order, values.size(), c);
    if (n < 0) {
        return n;
    }
    for (int i = 0; i < n; ++i) {
        c->cells[CellIndex(*c, cells, i, order)] = values[static_cast<std::size_t>(i)];
    }
    Notify([&](FrontEnd& fe) { fe.TableCellsChanged(panel, control, cells); });
    return 0;
}

int GetTableCellRangeVals(int panel, int control, Rect cells, std::span<double> values, int order) {
    Control* c = nullptr;
    const int n = LookupCellRange(panel, control, cells, order, values.size(), c);
    if (n < 0) {
        return n;
    }
    for (int i = 0; i < n; ++i) {
        values[static_cast<std::size_t>(i)] = c->cells[CellIndex(*c, cells, i, order)];
    }
    return 0;
}

}  // namespace qm7x::ui
