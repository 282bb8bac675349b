// Controls: creation at run time, defaults, discarding and callbacks. Values are in
// control_values.cpp, attributes in control_attributes.cpp.
#include <algorithm>
#include <cmath>
#include <limits>

#include "controls_internal.h"
#include "runtime.h"

namespace qm7x::ui {

using detail::Lookup;
using detail::Notify;

namespace detail {

void RestoreDefault(Control& c) {
    switch (c.kind) {
        case CtrlKind::Ring:
        case CtrlKind::ListBox:
        case CtrlKind::BinarySwitch:
            if (c.defaultIndex >= 0 && c.defaultIndex < static_cast<int>(c.items.size())) {
                c.index = c.defaultIndex;
            } else {
                c.index = c.items.empty() ? -1 : 0;
            }
            break;
        case CtrlKind::Table:
            c.cells = c.defaultCells;
            break;
        case CtrlKind::TextBox:
            c.lines.clear();
            c.firstVisibleLine = 0;
            break;
        case CtrlKind::Graph:
            c.plots.clear();  // the handles given so far stay used
            break;
        default:
            c.value = c.defaultValue;
            break;
    }
}

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    if (text.empty()) {
        return lines;
    }
    std::size_t start = 0;
    while (true) {
        const std::size_t end = text.find('\n', start);
        lines.emplace_back(text.substr(start, end - start));
        if (end == std::string_view::npos) {
            break;
        }
        start = end + 1;
    }
    return lines;
}

void IntegerLimits(int dataType, double& min, double& max) {
    switch (dataType) {
        case VAL_SHORT_INTEGER:
            min = std::numeric_limits<short>::min();
            max = std::numeric_limits<short>::max();
            break;
        case VAL_UNSIGNED_SHORT_INTEGER:
            min = 0;
            max = std::numeric_limits<unsigned short>::max();
            break;
        default:
            min = std::numeric_limits<int>::min();
            max = std::numeric_limits<int>::max();
            break;
    }
}

double Coerce(const Control& c, double v) {
    double lo = c.minValue;
    double hi = c.maxValue;
    if (!c.hasRange) {
        if (c.dataType == VAL_DOUBLE) {
            return v;
        }
        IntegerLimits(c.dataType, lo, hi);
    }
    return std::clamp(v, lo, hi);
}

// Moves a control to a stacking position (0 = front, beyond the last = the back) and renumbers
// the others so that the positions stay 0..n-1 in the same relative order.
void Restack(Panel& p, int control, int position) {
    std::vector<Control*> front;  // front to back
    for (Control& c : p.controls) {
        front.push_back(&c);
    }
    std::stable_sort(front.begin(), front.end(),
                     [](const Control* a, const Control* b) { return a->zPlane < b->zPlane; });
    auto it = std::find_if(front.begin(), front.end(),
                           [&](const Control* c) { return c->id == control; });
    Control* moved = *it;
    front.erase(it);
    const auto at =
        static_cast<std::ptrdiff_t>(std::min(static_cast<std::size_t>(position), front.size()));
    front.insert(front.begin() + at, moved);
    for (std::size_t i = 0; i < front.size(); ++i) {
        front[i]->zPlane = static_cast<int>(i);
    }
}

}  // namespace detail

namespace {

void NotifyRestored(int panel, const Control& c) {
    Notify([&](FrontEnd& fe) {
        switch (c.kind) {
            case CtrlKind::Table:
                fe.TableCellsChanged(panel, c.id,
                                     MakeRect(1, 1, static_cast<int>(c.rowLabels.size()),
                                              static_cast<int>(c.columnLabels.size())));
                break;
            case CtrlKind::TextBox:
                fe.TextBoxLinesChanged(panel, c.id);
                break;
            case CtrlKind::Graph:
                fe.GraphPlotsChanged(panel, c.id);
                break;
            default:
                fe.ControlValueChanged(panel, c.id);
                break;
        }
    });
}

}  // namespace

int DefaultCtrl(int panel, int control) {
    Control* c = nullptr;
    if (int e = Lookup(panel, control, c); e < 0) {
        return e;
    }
    detail::RestoreDefault(*c);
    NotifyRestored(panel, *c);
    return 0;
}

int DefaultPanel(int panel) {
    Panel* p = nullptr;
    if (int e = Lookup(panel, p); e < 0) {
        return e;
    }
    for (Control& c : p->controls) {
        detail::RestoreDefault(c);
    }
    // Notified after all values are back, from a fresh lookup (a front end may read the model).
    std::vector<int> ids;
    for (const Control& c : p->controls) {
        ids.push_back(c.id);
    }
    for (int id : ids) {
        if (const Control* c = FindControl(panel, id)) {
            NotifyRestored(panel, *c);
        }
    }
    return 0;
}

int NewCtrl(int panel, int style, std::string_view label, int top, int left) {
    Panel* p = nullptr;
    if (int e = Lookup(panel, p); e < 0) {
        return e;
    }
    Control c;
    switch (style) {
        case CTRL_SQUARE_COMMAND_BUTTON:
            c.kind = CtrlKind::CommandButton;
            c.geometry = {0, 0, 100, 25};
            break;
        case CTRL_TEXT_MSG:
            c.kind = CtrlKind::TextMessage;
            c.dataType = VAL_STRING;
            c.defaultValue = std::string();
            break;
        case CTRL_STRING:
            c.kind = CtrlKind::String;
            c.dataType = VAL_STRING;
            c.defaultValue = std::string();
            break;
        case CTRL_NUMERIC:
            c.kind = CtrlKind::Numeric;
            c.dataType = VAL_DOUBLE;
            c.defaultValue = 0.0;
            break;
        case CTRL_RING:
            c.kind = CtrlKind::Ring;
            break;
        case CTRL_LIST:
            c.kind = CtrlKind::ListBox;
            c.geometry = {0, 0, 200, 150};
            break;
        case CTRL_BINARY_SWITCH:
            c.kind = CtrlKind::BinarySwitch;
            c.items = {{"", 0LL}, {"", 1LL}};
            c.defaultIndex = 0;
            break;
        case CTRL_ROUND_RADIO_BUTTON:
        case CTRL_ROUND_LED:
            c.kind = style == CTRL_ROUND_LED ? CtrlKind::Led : CtrlKind::RadioButton;
            c.defaultValue = 0LL;
            break;
        case CTRL_TEXT_BOX:
            c.kind = CtrlKind::TextBox;
            c.dataType = VAL_STRING;
            c.geometry = {0, 0, 400, 200};
            break;
        case CTRL_PICTURE:
            c.kind = CtrlKind::Picture;
            break;
        case CTRL_RAISED_FRAME:
            c.kind = CtrlKind::Decoration;
            break;
        case CTRL_GRAPH:
            c.kind = CtrlKind::Graph;
            c.geometry = {0, 0, 400, 250};
            break;
        default:
            return UIEInvalidArgument;  // tables and tabs come only from the resource
    }
    if (c.geometry.width == 0) {
        c.geometry = {0, 0, 100, 22};
    }
    c.geometry.top = top;
    c.geometry.left = left;
    c.label = label;
    int id = 1;
    for (const Control& other : p->controls) {
        id = std::max(id, other.id);
    }
    c.id = id + 1;
    c.zPlane = 0;  // a new control lies in front of the others
    for (Control& other : p->controls) {
        ++other.zPlane;
    }
    detail::RestoreDefault(c);
    p->controls.push_back(std::move(c));
    Notify([&](FrontEnd& fe) { fe.ControlAdded(panel, id + 1); });
    return id + 1;
}

int DiscardCtrl(int panel, int control) {
    Control* c = nullptr;
    if (int e = Lookup(panel, control, c); e < 0) {
        return e;
    }
    Notify([&](FrontEnd& fe) { fe.ControlDiscarded(panel, control); });
    Panel* p = detail::PanelOf(panel);
    std::erase_if(p->controls, [&](const Control& x) { return x.id == control; });
    if (p->closeCtrl == control) {
        p->closeCtrl = 0;
    }
    if (p->activeCtrl == control) {
        p->activeCtrl = 0;
    }
    return 0;
}

int InstallCtrlCallback(int panel, int control, CtrlCallbackPtr fn, void* callbackData) {
    Control* c = nullptr;
    if (int e = Lookup(panel, control, c); e < 0) {
        return e;
    }
    c->callback = fn;
    c->callbackData = callbackData;
    c->callbackName.clear();
    return 0;
}

}  // namespace qm7x::ui
