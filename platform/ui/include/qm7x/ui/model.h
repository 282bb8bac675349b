// The panel model as front ends see it: read-only views of the panels and controls the run-time
// holds. Front ends build their widgets from these and write back only through the operations
// of userint.h (SetCtrlVal... then DispatchUserEvent).
#pragma once

#include <string>
#include <variant>
#include <vector>

#include "qm7x/ui/userint.h"

namespace qm7x::ui {

enum class CtrlKind {
    CommandButton,
    TextMessage,
    String,  // text field
    Numeric,
    Ring,
    BinarySwitch,
    RadioButton,
    Led,
    Table,
    TextBox,
    Tab,
    Picture,
    Decoration,
    ListBox,
    Graph,
};
const char* CtrlKindName(CtrlKind kind);  // "command_button", ... as written in the resource

// A value as the model stores it: integers of every numeric type as long long.
using Value = std::variant<std::monostate, long long, double, std::string>;

struct ListItem {
    std::string label;
    Value value;
};

struct Geometry {
    int top = 0;
    int left = 0;
    int width = 0;
    int height = 0;
};

struct TabPage {
    std::string label;
    int panel = 0;  // handle of the page's panel
};

// Graphs: what was plotted, exactly as the program gave it.
enum class PlotKind {
    Y,      // PlotY: x is the index 0, 1, ...
    XY,     // PlotXY
    Line,   // PlotLine: two points
    Point,  // PlotPoint: one point
};
struct Plot {
    int handle = 0;
    PlotKind kind = PlotKind::XY;
    std::vector<double> x;  // as many as y; NaN where a value is missing (a gap)
    std::vector<double> y;
    int plotStyle = VAL_THIN_LINE;
    int pointStyle = VAL_NO_POINT;
    int lineStyle = VAL_SOLID;
    int color = VAL_BLACK;
    std::string legendText;  // empty: not in the legend
};
struct GraphAxis {
    std::string name;
    int mode = VAL_AUTOSCALE;
    double min = 0.0;  // VAL_MANUAL: the range shown
    double max = 10.0;
};
// The range an axis shows and the distance of its ticks (on multiples of `tick`): the manual
// range, or under autoscale the finite values of every plot widened to round tick values, with a
// little room where a value would lie on the frame (0..10 when nothing is plotted). Never more
// than 20 tick intervals, each a representable distance apart, whatever the values.
struct AxisRange {
    double min = 0.0;
    double max = 10.0;
    double tick = 2.0;
    int decimals = 0;  // digits after the point that tell the ticks apart
};
// True when the plot style draws lines between points / marks the points.
bool PlotDrawsLine(const Plot& plot);
bool PlotDrawsPoints(const Plot& plot);

struct Control {
    int id = 0;
    std::string constant;  // e.g. "ERROR_MESSAGE"; empty for controls made by NewCtrl
    CtrlKind kind = CtrlKind::CommandButton;
    std::string label;  // as written: "__OK" marks O as the shortcut; see LabelShortcut()
    int dataType = VAL_INTEGER;
    Value value;
    Value defaultValue;
    // Numerics.
    bool hasRange = false;
    double minValue = 0.0;
    double maxValue = 0.0;
    double step = 1.0;
    int format = VAL_FLOATING_PT_FORMAT;
    int precision = 2;
    // Rings, list boxes, binary switches (item 0 = off state, item 1 = on state).
    std::vector<ListItem> items;
    int index = -1;
    int defaultIndex = -1;
    // Tables: cells[(row-1)*columns + (column-1)]. A column may have its own display format
    // (columnFormats empty, or one entry per column; see FormatTableCell).
    std::vector<std::string> rowLabels;
    std::vector<std::string> columnLabels;
    struct ColumnFormat {
        int format = VAL_FLOATING_PT_FORMAT;
        int precision = 2;
    };
    std::vector<ColumnFormat> columnFormats;
    std::vector<double> cells;
    std::vector<double> defaultCells;
    // Text boxes.
    std::vector<std::string> lines;
    int firstVisibleLine = 0;
    // Tab controls.
    std::vector<TabPage> pages;
    int activePage = 0;
    // Graphs: plots in the order drawn (later ones on top); axes from the resource.
    std::vector<Plot> plots;
    int lastPlotHandle = 0;
    GraphAxis xAxis;
    GraphAxis yAxis;
    // Pictures: our own artwork as SVG text (may be empty: the front end draws a placeholder).
    std::string image;
    // Appearance and state.
    bool dimmed = false;
    bool visible = true;
    int mode = VAL_NORMAL;
    int textColor = VAL_BLACK;
    int backColor = -1;  // -1: the front end's default
    int zPlane = 0;      // 0 = front
    std::string font;    // empty: the front end's default; fixedPitch for columns of text
    bool fixedPitch = false;
    int pointSize = 0;  // 0: default
    bool bold = false;
    Geometry geometry;
    // Callback.
    std::string callbackName;
    CtrlCallbackPtr callback = nullptr;
    void* callbackData = nullptr;
};

struct Panel {
    int handle = 0;
    int resourceId = 0;    // 0 for panels built by NewPanel
    std::string constant;  // e.g. "MP"
    std::string title;
    int parent = 0;     // 0 = top level
    int tabPageOf = 0;  // handle of the panel holding the tab control, 0 if not a tab page
    Geometry geometry;
    bool centered = false;
    int backColor = VAL_PANEL_GRAY;
    bool visible = false;
    bool sizable = false;
    int closeCtrl = 0;
    int activeCtrl = 0;
    std::vector<Control> controls;  // in tab order
    std::string callbackName;
    PanelCallbackPtr callback = nullptr;
    void* callbackData = nullptr;
};

// The panel with that handle, or nullptr. The pointer is valid until the next operation that
// loads, builds or discards a panel or control.
const Panel* FindPanel(int handle);
const Control* FindControl(int panel, int control);
// Handles of all loaded panels, in loading order.
std::vector<int> PanelHandles();
// The pop-up stack, bottom first.
std::vector<int> PopupStack();
// Controls of a panel from back to front (paint order): larger ATTR_ZPLANE_POSITION first.
std::vector<int> PaintOrder(int panel);

// The range of the graph's axis (VAL_XAXIS or VAL_LEFT_YAXIS) as front ends draw it.
AxisRange GraphAxisRange(const Control& graph, int axis);

// The numeric value as the control shows it, e.g. 0.0002 in engineering format with precision 3
// gives "200.000E-6", 1.0 in floating format with precision 2 gives "1.00".
std::string FormatNumeric(const Control& control, double value);
// A table cell's value as its column shows it (column from 1): the column's own format if it has
// one, else the table's.
std::string FormatTableCell(const Control& table, int column, double value);
// The text a control shows for its value (numerics formatted, rings the item label, ...).
std::string DisplayText(const Control& control);
// A label without its shortcut marks ("__OK" -> "OK"), and the byte offset of the shortcut
// character in that text (-1: none).
std::string LabelText(std::string_view label);
int LabelShortcut(std::string_view label);

}  // namespace qm7x::ui
