// The user-interface run-time: panels and controls held in a model, loaded from a panel resource
// by number, operated by the functions below. Names and argument orders follow the user-interface
// library the program was written against; values go through type-safe overloads.
//
// Every function returns 0 (or a count / handle >= 0) on success and a negative UIError on
// failure: a bad panel or control handle, a value of the wrong type, an attribute that does not
// apply to the control. Nothing here crashes on bad input.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace qm7x::ui {

// ---- Errors -------------------------------------------------------------------------------------
enum UIError : int {
    UIENoError = 0,
    UIEInitFailed = -1,              // the front end could not start (or none is installed)
    UIEResourceNotFound = -2,        // no embedded resource and no file of that name
    UIEBadResource = -3,             // the resource text is not a valid panel resource
    UIEPanelNotInResource = -4,      // no panel with that number in the resource
    UIEHandleInvalid = -5,           // no panel with that handle
    UIEInvalidControl = -6,          // no control with that id on the panel
    UIEWrongType = -7,               // value type does not fit the control (text into a numeric...)
    UIEAttributeNotValid = -8,       // attribute does not apply to this control or panel
    UIEIndexOutOfRange = -9,         // list item, table cell, tab page or text-box line outside
    UIEValueNotInList = -10,         // ring/list has no item with that value
    UIEListEmpty = -11,              // ring/list has no items, so it has no value
    UIENoFrontEnd = -12,             // a pop-up or event wait without an installed front end
    UIENotAPopup = -13,              // RemovePopup with no pop-up installed
    UIECallbackNotRegistered = -14,  // a callback name of the resource that nobody registered
    UIEInvalidArgument = -15,
    UIEUserCancelled = -16,  // the operator cancelled a prompt
    UIENotSupported = -17,   // the front end cannot do this (e.g. images when headless)
    UIEIOError = -18,        // a file could not be written
    UIEInvalidPlot = -19,    // no plot with that handle on the graph
};
// A short English description of an error code (for logs and test messages).
const char* GetUILErrorString(int error);

// ---- Callbacks ----------------------------------------------------------------------------------
using CtrlCallbackPtr = int (*)(int panel, int control, int event, void* callbackData,
                                int eventData1, int eventData2);
using PanelCallbackPtr = int (*)(int panel, int event, void* callbackData, int eventData1,
                                 int eventData2);

// Events handed to callbacks.
enum Event : int {
    EVENT_NONE = 0,
    EVENT_COMMIT = 1,
    EVENT_VAL_CHANGED = 2,
    EVENT_LEFT_CLICK = 3,
    EVENT_LEFT_DOUBLE_CLICK = 4,
    EVENT_RIGHT_CLICK = 5,
    EVENT_KEYPRESS = 7,
    EVENT_GOT_FOCUS = 8,
    EVENT_LOST_FOCUS = 9,
    EVENT_CLOSE = 11,
    EVENT_PANEL_SIZE = 12,
    EVENT_PANEL_MOVE = 13,
    EVENT_DISCARD = 16,
    EVENT_ACTIVE_TAB_CHANGE = 17,
};

// Binds callback names written in the resource to functions. Names may be registered before or
// after panels are loaded; they are looked up when an event is dispatched.
void RegisterCallback(std::string_view name, CtrlCallbackPtr fn);
void RegisterCallback(std::string_view name, PanelCallbackPtr fn);
// Callback names used in the resource (every panel, every control) that have no registered
// function, each as "PANEL.CONTROL: name" or "PANEL: name"; empty when all resolve.
// A resource that cannot be read gives one entry describing the error.
std::vector<std::string> UnregisteredCallbackNames(std::string_view resourceFile);

// Makes an in-memory resource loadable by name (the program's resource is registered this way
// at build time; tests add their own). A later registration under the same name replaces it.
void RegisterResource(std::string_view name, std::string_view yamlText);

// ---- Start-up and panels ------------------------------------------------------------------------
// Starts the installed front end with the command line. Negative when it cannot start or when no
// front end is installed (the program then returns -1).
int InitUserInterface(int argc, char** argv);

// Loads panel `resourceId` of the resource `file` ("p_qm7x.uir": the embedded resource; other
// names: registered resources, then files on disk). Returns a new panel handle (> 0) or a
// negative error. Loading the same panel twice gives two independent panels. A panel with tab
// pages loads its pages as child panels. parent 0 = top-level panel.
int LoadPanel(int parentPanel, std::string_view file, int resourceId);
// Builds an empty panel at run time. top/left may be VAL_AUTO_CENTER.
int NewPanel(int parentPanel, std::string_view title, int top, int left, int height, int width);
int DisplayPanel(int panel);
int HidePanel(int panel);
// Discards the panel with its child panels; the handle becomes invalid. The panel callback gets
// EVENT_DISCARD first.
int DiscardPanel(int panel);
// Shows the panel as a modal pop-up (the top of the pop-up stack).
int InstallPopup(int panel);
// removeAll 0: removes the topmost pop-up; otherwise all. The panels stay loaded, hidden.
int RemovePopup(int removeAll);

// ---- Controls -----------------------------------------------------------------------------------
// Control styles for NewCtrl.
enum CtrlStyle : int {
    CTRL_SQUARE_COMMAND_BUTTON = 1,
    CTRL_TEXT_MSG = 2,
    CTRL_STRING = 3,
    CTRL_NUMERIC = 4,
    CTRL_RING = 5,
    CTRL_BINARY_SWITCH = 6,
    CTRL_ROUND_RADIO_BUTTON = 7,
    CTRL_ROUND_LED = 8,
    CTRL_TABLE = 9,
    CTRL_TEXT_BOX = 10,
    CTRL_TAB = 11,
    CTRL_PICTURE = 12,
    CTRL_RAISED_FRAME = 13,  // decoration
    CTRL_LIST = 14,          // list box
    CTRL_GRAPH = 15,
};
// Adds a control to a panel built at run time; returns its id (> 0) or a negative error.
int NewCtrl(int panel, int style, std::string_view label, int top, int left);
int DiscardCtrl(int panel, int control);

int InstallCtrlCallback(int panel, int control, CtrlCallbackPtr fn, void* callbackData);
int InstallPanelCallback(int panel, PanelCallbackPtr fn, void* callbackData);

// Values. Numerics hold int, short, unsigned short or double (ATTR_DATA_TYPE); integers may be
// written into a double numeric and read from any numeric that holds an integer type; a double
// is never silently truncated into an integer control. Numeric values are coerced into the
// control's range. Rings and list boxes: the value of the selected item (setting selects the
// item with that value). Binary switch: the on or off value. Text box: SetCtrlVal appends,
// GetCtrlVal gives all lines joined with '\n'. Command buttons, decorations, pictures, tables
// and tab controls have no value.
int SetCtrlVal(int panel, int control, int value);
int SetCtrlVal(int panel, int control, unsigned short value);
int SetCtrlVal(int panel, int control, short value);
int SetCtrlVal(int panel, int control, double value);
int SetCtrlVal(int panel, int control, std::string_view value);
int SetCtrlVal(int panel, int control, const char* value);
int SetCtrlVal(int panel, int control, const std::string& value);
int GetCtrlVal(int panel, int control, int& value);
int GetCtrlVal(int panel, int control, unsigned short& value);
int GetCtrlVal(int panel, int control, short& value);
int GetCtrlVal(int panel, int control, double& value);
int GetCtrlVal(int panel, int control, std::string& value);

// Restore values to the resource defaults; attributes (dimmed, colours...) are not values and
// stay as they are.
int DefaultCtrl(int panel, int control);
int DefaultPanel(int panel);

// Attributes. Numbers are part of the interface (ATTR_TEXT_COLOR and ATTR_ZPLANE_POSITION keep
// the numbers of the original library).
enum Attribute : int {
    ATTR_DIMMED = 500,
    ATTR_VISIBLE = 530,
    ATTR_CTRL_MODE = 540,   // VAL_NORMAL, VAL_INDICATOR, VAL_HOT
    ATTR_LABEL_TEXT = 550,  // text
    ATTR_DATA_TYPE = 560,   // VAL_INTEGER ... (read only)
    ATTR_MIN_VALUE = 570,   // double (numerics)
    ATTR_MAX_VALUE = 571,
    ATTR_INCR_VALUE = 572,
    ATTR_PRECISION = 580,        // digits after the point
    ATTR_FORMAT = 581,           // VAL_FLOATING_PT_FORMAT ...
    ATTR_ZPLANE_POSITION = 610,  // 0 = front; larger = further back
    ATTR_TOP = 620,
    ATTR_LEFT = 621,
    ATTR_WIDTH = 622,
    ATTR_HEIGHT = 623,
    ATTR_TEXT_FONT = 650,  // text
    ATTR_TEXT_POINT_SIZE = 651,
    ATTR_TEXT_BOLD = 652,
    ATTR_TEXT_COLOR = 680,  // 0xRRGGBB
    ATTR_TEXT_BGCOLOR = 681,
    ATTR_FIRST_VISIBLE_LINE = 700,  // text boxes
    ATTR_VISIBLE_LINES = 701,       // text boxes (read only: as many as the front end shows)
    ATTR_TITLE = 800,               // panels, text
    ATTR_BACKCOLOR = 810,           // panels and controls, 0xRRGGBB
    ATTR_CLOSE_CTRL = 820,          // panels: control committed by the window's close box
    ATTR_SIZABLE = 830,             // panels
    ATTR_NUM_ROWS = 900,            // tables (read only)
    ATTR_NUM_COLUMNS = 901,
    ATTR_NUM_TAB_PAGES = 910,  // tab controls (read only)
    ATTR_ON_TEXT = 920,        // binary switches, text
    ATTR_OFF_TEXT = 921,
    ATTR_XNAME = 930,  // graphs: the axis titles, text
    ATTR_YNAME = 931,
};
int SetCtrlAttribute(int panel, int control, int attribute, int value);
int SetCtrlAttribute(int panel, int control, int attribute, double value);
int SetCtrlAttribute(int panel, int control, int attribute, std::string_view value);
int SetCtrlAttribute(int panel, int control, int attribute, const char* value);
int GetCtrlAttribute(int panel, int control, int attribute, int& value);
int GetCtrlAttribute(int panel, int control, int attribute, double& value);
int GetCtrlAttribute(int panel, int control, int attribute, std::string& value);
int SetPanelAttribute(int panel, int attribute, int value);
int SetPanelAttribute(int panel, int attribute, std::string_view value);
int SetPanelAttribute(int panel, int attribute, const char* value);
int GetPanelAttribute(int panel, int attribute, int& value);
int GetPanelAttribute(int panel, int attribute, std::string& value);

// Attribute values.
inline constexpr int VAL_NORMAL = 0;
inline constexpr int VAL_INDICATOR = 1;
inline constexpr int VAL_HOT = 2;
inline constexpr int VAL_INTEGER = 0;
inline constexpr int VAL_SHORT_INTEGER = 1;
inline constexpr int VAL_UNSIGNED_SHORT_INTEGER = 2;
inline constexpr int VAL_DOUBLE = 3;
inline constexpr int VAL_STRING = 4;
inline constexpr int VAL_FLOATING_PT_FORMAT = 0;
inline constexpr int VAL_SCIENTIFIC_FORMAT = 1;
inline constexpr int VAL_ENGINEERING_FORMAT = 2;
inline constexpr int VAL_DECIMAL_FORMAT = 3;  // integers
inline constexpr int VAL_HEX_FORMAT = 4;
inline constexpr int VAL_AUTO_CENTER = -2147483647 - 1;  // NewPanel / ATTR_TOP / ATTR_LEFT
inline constexpr int VAL_RED = 0xFF0000;
inline constexpr int VAL_GREEN = 0x00FF00;
inline constexpr int VAL_BLUE = 0x0000FF;
inline constexpr int VAL_BLACK = 0x000000;
inline constexpr int VAL_WHITE = 0xFFFFFF;
inline constexpr int VAL_LT_GRAY = 0xC0C0C0;
inline constexpr int VAL_GRAY = 0xA0A0A0;
inline constexpr int VAL_DK_GRAY = 0x808080;
inline constexpr int VAL_DK_RED = 0x800000;
inline constexpr int VAL_DK_GREEN = 0x008000;
inline constexpr int VAL_DK_BLUE = 0x000080;
inline constexpr int VAL_CYAN = 0x00FFFF;
inline constexpr int VAL_MAGENTA = 0xFF00FF;
inline constexpr int VAL_YELLOW = 0xFFFF00;
inline constexpr int VAL_DK_YELLOW = 0x808000;
inline constexpr int VAL_PANEL_GRAY = 0xD4D0C8;

// ---- Rings and list boxes -----------------------------------------------------------------------
int ClearListCtrl(int panel, int control);
// index -1 (or the item count) appends. Returns 0. The first item of an empty list becomes the
// selected one; the selected item stays selected when others are inserted or deleted.
int InsertListItem(int panel, int control, int index, std::string_view label, int value);
int InsertListItem(int panel, int control, int index, std::string_view label, double value);
int InsertListItem(int panel, int control, int index, std::string_view label,
                   std::string_view value);
int DeleteListItem(int panel, int control, int index, int count);
int GetNumListItems(int panel, int control, int& count);
int GetCtrlIndex(int panel, int control, int& index);  // -1 when the list is empty
int SetCtrlIndex(int panel, int control, int index);
int GetValueFromIndex(int panel, int control, int index, int& value);
int GetValueFromIndex(int panel, int control, int index, unsigned short& value);
int GetValueFromIndex(int panel, int control, int index, double& value);
int GetValueFromIndex(int panel, int control, int index, std::string& value);
int GetLabelFromIndex(int panel, int control, int index, std::string& label);

// ---- Text boxes ---------------------------------------------------------------------------------
// index -1 (or the line count) appends; a text with '\n' gives several lines. Returns 0.
int InsertTextBoxLine(int panel, int control, int index, std::string_view text);
int GetNumTextBoxLines(int panel, int control, int& count);
int GetTextBoxLine(int panel, int control, int index, std::string& text);
// Replaces the contents (split at '\n'); an empty text leaves no lines.
int ResetTextBox(int panel, int control, std::string_view text);

// ---- Tables (cells addressed as column x, row y, both from 1) -----------------------------------
struct Point {
    int x = 0;  // column
    int y = 0;  // row
};
struct Rect {
    int top = 0;     // first row
    int left = 0;    // first column
    int height = 0;  // rows
    int width = 0;   // columns
};
constexpr Point MakePoint(int x, int y) {
    return Point{x, y};
}
constexpr Rect MakeRect(int top, int left, int height, int width) {
    return Rect{top, left, height, width};
}
inline constexpr int VAL_COLUMN_MAJOR = 0;  // all rows of the first column, then the next column
inline constexpr int VAL_ROW_MAJOR = 1;     // all columns of the first row, then the next row
int SetTableCellVal(int panel, int control, Point cell, double value);
int GetTableCellVal(int panel, int control, Point cell, double& value);
// values holds height*width numbers in the given order; fewer values is an error.
int SetTableCellRangeVals(int panel, int control, Rect cells, std::span<const double> values,
                          int order);
int GetTableCellRangeVals(int panel, int control, Rect cells, std::span<double> values, int order);

// ---- Graphs -------------------------------------------------------------------------------------
// A graph holds plots, each with a handle (> 0, never reused on that graph) that the plot
// functions return. Colours are 0xRRGGBB. Not-a-number values are kept as gaps: the point is not
// drawn (and a line is broken there) but keeps its place, so point i of PlotY is still sample i.
// Infinite values are refused (UIEInvalidArgument), as are empty data and unknown styles.
// Front ends always redraw at once; the `refresh` arguments are checked and otherwise ignored.
inline constexpr int VAL_THIN_LINE = 0;         // plot styles: points joined by a thin line
inline constexpr int VAL_FAT_LINE = 1;          //   ... by a thick line
inline constexpr int VAL_SCATTER = 2;           //   points only
inline constexpr int VAL_CONNECTED_POINTS = 3;  //   points and a thin line between them
inline constexpr int VAL_NO_POINT = 0;          // point styles
inline constexpr int VAL_SOLID_CIRCLE = 1;
inline constexpr int VAL_EMPTY_CIRCLE = 2;
inline constexpr int VAL_SOLID_SQUARE = 3;
inline constexpr int VAL_EMPTY_SQUARE = 4;
inline constexpr int VAL_SOLID_DIAMOND = 5;
inline constexpr int VAL_EMPTY_DIAMOND = 6;
inline constexpr int VAL_SIMPLE_DOT = 7;  // a small solid dot
inline constexpr int VAL_SOLID = 0;       // line styles
inline constexpr int VAL_DASH = 1;
inline constexpr int VAL_DOT = 2;
inline constexpr int VAL_DASH_DOT = 3;
inline constexpr int VAL_XAXIS = 0;  // axes
inline constexpr int VAL_LEFT_YAXIS = 1;
inline constexpr int VAL_MANUAL = 0;     // axis scaling: the range given
inline constexpr int VAL_AUTOSCALE = 1;  //   a range that holds every plotted value
inline constexpr int VAL_ALL_PLOTS = -1;
inline constexpr int VAL_NO_DRAW = 0;  // refresh arguments
inline constexpr int VAL_DELAYED_DRAW = 1;
inline constexpr int VAL_IMMEDIATE_DRAW = 2;

// Plot attributes (SetPlotAttribute / GetPlotAttribute).
enum PlotAttribute : int {
    ATTR_TRACE_COLOR = 1000,        // 0xRRGGBB
    ATTR_PLOT_STYLE = 1001,         // VAL_THIN_LINE ...
    ATTR_TRACE_POINT_STYLE = 1002,  // VAL_NO_POINT ...
    ATTR_LINE_STYLE = 1003,         // VAL_SOLID ...
    ATTR_PLOT_LG_TEXT = 1004,       // text in the legend; the legend shows the plots that have one
};

// y[i] plotted against its index i (0, 1, ...). Returns the plot handle (> 0) or an error.
int PlotY(int panel, int control, std::span<const double> y, int plotStyle, int pointStyle,
          int lineStyle, int color);
// ys[i] against xs[i]; both of the same, non-zero length.
int PlotXY(int panel, int control, std::span<const double> xs, std::span<const double> ys,
           int plotStyle, int pointStyle, int lineStyle, int color);
// A thin solid line from (x1, y1) to (x2, y2) (ATTR_LINE_STYLE changes the style).
int PlotLine(int panel, int control, double x1, double y1, double x2, double y2, int color);
// One point in VAL_SOLID_SQUARE (ATTR_TRACE_POINT_STYLE changes it).
int PlotPoint(int panel, int control, double x, double y, int color);
// plotHandle VAL_ALL_PLOTS (-1) deletes every plot; refresh: VAL_NO_DRAW ... VAL_IMMEDIATE_DRAW.
int DeleteGraphPlot(int panel, int control, int plotHandle, int refresh);
int SetPlotAttribute(int panel, int control, int plotHandle, int attribute, int value);
int SetPlotAttribute(int panel, int control, int plotHandle, int attribute, std::string_view value);
int GetPlotAttribute(int panel, int control, int plotHandle, int attribute, int& value);
int GetPlotAttribute(int panel, int control, int plotHandle, int attribute, std::string& value);
// VAL_MANUAL: the axis shows min..max (min < max, both finite); VAL_AUTOSCALE: min and max are
// ignored and the axis follows the plots.
int SetAxisScalingMode(int panel, int control, int axis, int mode, double min, double max);
// The mode and the range the axis shows now (under autoscale: the range computed from the plots).
int GetAxisScalingMode(int panel, int control, int axis, int& mode, double& min, double& max);

// ---- Tab controls -------------------------------------------------------------------------------
int GetPanelHandleFromTabPage(int panel, int tabControl, int pageIndex, int& pagePanel);
int SetActiveTabPage(int panel, int tabControl, int pageIndex);
int GetActiveTabPage(int panel, int tabControl, int& pageIndex);

int SetActiveCtrl(int panel, int control);
int GetActiveCtrl(int panel, int& control);

// ---- Pop-ups ------------------------------------------------------------------------------------
int MessagePopup(std::string_view title, std::string_view message);
// 1 = yes, 0 = no; negative on error.
int ConfirmPopup(std::string_view title, std::string_view message);
// 0 = the operator entered `reply` (at most maxReplyLength characters); UIEUserCancelled = the
// operator cancelled and `reply` is left as it was. `reply` is only written: the prompt opens
// empty whatever it holds.
int PromptPopup(std::string_view title, std::string_view message, std::string& reply,
                int maxReplyLength);

inline constexpr int VAL_NO_FILE_SELECTED = 0;
inline constexpr int VAL_EXISTING_FILE_SELECTED = 1;
inline constexpr int VAL_NEW_FILE_SELECTED = 2;
inline constexpr int VAL_OK_BUTTON = 0;
inline constexpr int VAL_SAVE_BUTTON = 1;
inline constexpr int VAL_SELECT_BUTTON = 2;
struct FileSelectOptions {
    std::string defaultDirectory;  // "" = current directory
    std::string defaultFileSpec;   // e.g. "*.log"
    std::string fileTypeList;      // e.g. "*.log"
    std::string title;
    int buttonLabel = VAL_OK_BUTTON;
    bool restrictDirectory = false;
    bool restrictExtension = false;
    bool allowCancel = true;
    bool allowMakeDirectory = false;
};
// VAL_NO_FILE_SELECTED, VAL_EXISTING_FILE_SELECTED or VAL_NEW_FILE_SELECTED (then `path` holds
// the chosen path); negative on error. Every button label takes an existing or a new file.
int FileSelectPopup(const FileSelectOptions& options, std::string& path);

int SetWaitCursor(int on);
int GetWaitCursor();

// ---- Events -------------------------------------------------------------------------------------
// Handles the pending user actions (and one step of an installed operator script) and returns
// at once.
int ProcessSystemEvents();
// Blocks until the next user action (or operator step) has been handled; for the program's main
// loop, so that it does not spin a core. timeoutSeconds < 0 waits without limit. Returns 0, or
// negative (UIENoFrontEnd).
int ProcessNextEvent(double timeoutSeconds = -1.0);
// Called by front ends (and the operator) for a user action: the caller has already set the value
// in the model; this calls the bound callback (control 0: the panel callback). Returns the
// callback's result, 0 when none is bound, or a negative error.
int DispatchUserEvent(int panel, int control, int event, int eventData1 = 0, int eventData2 = 0);

// ---- Time ---------------------------------------------------------------------------------------
// Seconds since an arbitrary start (monotonic); replaceable by a virtual clock (see clock.h).
double Timer();
// Waits the given seconds without processing events.
void Delay(double seconds);

}  // namespace qm7x::ui
