// Controls: creation at run time, values, defaults and attributes.
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

}  // namespace detail

namespace {

bool SameValue(const Value& a, const Value& b) {
    if (a.index() == b.index()) {
        return a == b;
    }
    // An integer and a double compare by number.
    auto number = [](const Value& v, double& d) {
        if (auto* i = std::get_if<long long>(&v)) {
            d = static_cast<double>(*i);
            return true;
        }
        if (auto* x = std::get_if<double>(&v)) {
            d = *x;
            return true;
        }
        return false;
    };
    double x = 0;
    double y = 0;
    return number(a, x) && number(b, y) && x == y;
}

double Coerce(const Control& c, double v) {
    double lo = c.minValue;
    double hi = c.maxValue;
    if (!c.hasRange) {
        if (c.dataType == VAL_DOUBLE) {
            return v;
        }
        detail::IntegerLimits(c.dataType, lo, hi);
    }
    return std::clamp(v, lo, hi);
}

void AppendText(Control& c, std::string_view text) {
    std::vector<std::string> parts = detail::SplitLines(text);
    if (parts.empty()) {
        return;
    }
    if (c.lines.empty()) {
        c.lines = std::move(parts);
        return;
    }
    c.lines.back() += parts.front();
    c.lines.insert(c.lines.end(), std::make_move_iterator(parts.begin() + 1),
                   std::make_move_iterator(parts.end()));
}

int SetValue(int panel, int control, const Value& v) {
    Control* c = nullptr;
    if (int e = Lookup(panel, control, c); e < 0) {
        return e;
    }
    switch (c->kind) {
        case CtrlKind::Numeric:
            if (c->dataType == VAL_DOUBLE) {
                if (auto* i = std::get_if<long long>(&v)) {
                    c->value = Coerce(*c, static_cast<double>(*i));
                } else if (auto* d = std::get_if<double>(&v)) {
                    if (std::isnan(*d)) {
                        return UIEInvalidArgument;
                    }
                    c->value = Coerce(*c, *d);
                } else {
                    return UIEWrongType;
                }
            } else {
                auto* i = std::get_if<long long>(&v);
                if (!i) {
                    return UIEWrongType;  // never truncate a double into an integer control
                }
                c->value = static_cast<long long>(Coerce(*c, static_cast<double>(*i)));
            }
            break;
        case CtrlKind::String:
        case CtrlKind::TextMessage:
            if (!std::holds_alternative<std::string>(v)) {
                return UIEWrongType;
            }
            c->value = v;
            break;
        case CtrlKind::TextBox:
            if (auto* s = std::get_if<std::string>(&v)) {
                AppendText(*c, *s);
                Notify([&](FrontEnd& fe) { fe.TextBoxLinesChanged(panel, control); });
                return 0;
            }
            return UIEWrongType;
        case CtrlKind::RadioButton:
        case CtrlKind::Led:
            if (auto* i = std::get_if<long long>(&v)) {
                c->value = *i != 0 ? 1LL : 0LL;
                break;
            }
            return UIEWrongType;
        case CtrlKind::Ring:
        case CtrlKind::ListBox:
        case CtrlKind::BinarySwitch: {
            if (std::holds_alternative<std::string>(v) != (c->dataType == VAL_STRING)) {
                return UIEWrongType;
            }
            auto it = std::find_if(c->items.begin(), c->items.end(),
                                   [&](const ListItem& item) { return SameValue(item.value, v); });
            if (it == c->items.end()) {
                return UIEValueNotInList;
            }
            c->index = static_cast<int>(it - c->items.begin());
            break;
        }
        default:
            return UIEWrongType;
    }
    Notify([&](FrontEnd& fe) { fe.ControlValueChanged(panel, control); });
    return 0;
}

int GetValue(int panel, int control, Value& out) {
    Control* c = nullptr;
    if (int e = Lookup(panel, control, c); e < 0) {
        return e;
    }
    switch (c->kind) {
        case CtrlKind::Numeric:
        case CtrlKind::String:
        case CtrlKind::TextMessage:
        case CtrlKind::RadioButton:
        case CtrlKind::Led:
            out = c->value;
            return 0;
        case CtrlKind::TextBox: {
            std::string all;
            for (std::size_t i = 0; i < c->lines.size(); ++i) {
                all += (i ? "\n" : "") + c->lines[i];
            }
            out = all;
            return 0;
        }
        case CtrlKind::Ring:
        case CtrlKind::ListBox:
        case CtrlKind::BinarySwitch:
            if (c->index < 0 || c->index >= static_cast<int>(c->items.size())) {
                return UIEListEmpty;
            }
            out = c->items[static_cast<std::size_t>(c->index)].value;
            return 0;
        default:
            return UIEWrongType;
    }
}

template <typename T>
int GetInteger(int panel, int control, T& value) {
    Value v;
    if (int e = GetValue(panel, control, v); e < 0) {
        return e;
    }
    auto* i = std::get_if<long long>(&v);
    if (!i || *i < std::numeric_limits<T>::min() || *i > std::numeric_limits<T>::max()) {
        return UIEWrongType;
    }
    value = static_cast<T>(*i);
    return 0;
}

}  // namespace

int SetCtrlVal(int panel, int control, int value) {
    return SetValue(panel, control, Value{static_cast<long long>(value)});
}
int SetCtrlVal(int panel, int control, unsigned short value) {
    return SetValue(panel, control, Value{static_cast<long long>(value)});
}
int SetCtrlVal(int panel, int control, short value) {
    return SetValue(panel, control, Value{static_cast<long long>(value)});
}
int SetCtrlVal(int panel, int control, double value) {
    return SetValue(panel, control, Value{value});
}
int SetCtrlVal(int panel, int control, std::string_view value) {
    return SetValue(panel, control, Value{std::string(value)});
}
int SetCtrlVal(int panel, int control, const char* value) {
    return value ? SetCtrlVal(panel, control, std::string_view(value)) : UIEInvalidArgument;
}
int SetCtrlVal(int panel, int control, const std::string& value) {
    return SetValue(panel, control, Value{value});
}

int GetCtrlVal(int panel, int control, int& value) {
    return GetInteger(panel, control, value);
}
int GetCtrlVal(int panel, int control, unsigned short& value) {
    return GetInteger(panel, control, value);
}
int GetCtrlVal(int panel, int control, short& value) {
    return GetInteger(panel, control, value);
}
int GetCtrlVal(int panel, int control, double& value) {
    Value v;
    if (int e = GetValue(panel, control, v); e < 0) {
        return e;
    }
    if (auto* d = std::get_if<double>(&v)) {
        value = *d;
    } else if (auto* i = std::get_if<long long>(&v)) {
        value = static_cast<double>(*i);
    } else {
        return UIEWrongType;
    }
    return 0;
}
int GetCtrlVal(int panel, int control, std::string& value) {
    Value v;
    if (int e = GetValue(panel, control, v); e < 0) {
        return e;
    }
    auto* s = std::get_if<std::string>(&v);
    if (!s) {
        return UIEWrongType;
    }
    value = *s;
    return 0;
}

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

int SetCtrlAttribute(int panel, int control, int attribute, int value) {
    Control* c = nullptr;
    if (int e = Lookup(panel, control, c); e < 0) {
        return e;
    }
    Geometry& g = c->geometry;
    switch (attribute) {
        case ATTR_DIMMED:
            c->dimmed = value != 0;
            break;
        case ATTR_VISIBLE:
            c->visible = value != 0;
            break;
        case ATTR_CTRL_MODE:
            if (value != VAL_NORMAL && value != VAL_INDICATOR && value != VAL_HOT) {
                return UIEInvalidArgument;
            }
            c->mode = value;
            break;
        case ATTR_ZPLANE_POSITION:
            if (value < 0) {
                return UIEInvalidArgument;
            }
            Restack(*detail::PanelOf(panel), control, value);
            break;
        case ATTR_TOP:
            g.top = value;
            break;
        case ATTR_LEFT:
            g.left = value;
            break;
        case ATTR_WIDTH:
        case ATTR_HEIGHT:
            if (value < 0) {
                return UIEInvalidArgument;
            }
            (attribute == ATTR_WIDTH ? g.width : g.height) = value;
            break;
        case ATTR_TEXT_COLOR:
            c->textColor = value;
            break;
        case ATTR_TEXT_BGCOLOR:
        case ATTR_BACKCOLOR:
            c->backColor = value;
            break;
        case ATTR_TEXT_POINT_SIZE:
            c->pointSize = value;
            break;
        case ATTR_TEXT_BOLD:
            c->bold = value != 0;
            break;
        case ATTR_PRECISION:
            if (c->kind != CtrlKind::Numeric && c->kind != CtrlKind::Table) {
                return UIEAttributeNotValid;
            }
            if (value < 0 || value > 15) {
                return UIEInvalidArgument;
            }
            c->precision = value;
            break;
        case ATTR_FORMAT:
            if (c->kind != CtrlKind::Numeric && c->kind != CtrlKind::Table) {
                return UIEAttributeNotValid;
            }
            if (value < VAL_FLOATING_PT_FORMAT || value > VAL_HEX_FORMAT) {
                return UIEInvalidArgument;
            }
            c->format = value;
            break;
        case ATTR_FIRST_VISIBLE_LINE:
            if (c->kind != CtrlKind::TextBox) {
                return UIEAttributeNotValid;
            }
            c->firstVisibleLine =
                std::clamp(value, 0, std::max(0, static_cast<int>(c->lines.size()) - 1));
            break;
        default:
            return UIEAttributeNotValid;
    }
    Notify([&](FrontEnd& fe) { fe.ControlAttributeChanged(panel, control, attribute); });
    return 0;
}

int SetCtrlAttribute(int panel, int control, int attribute, double value) {
    Control* c = nullptr;
    if (int e = Lookup(panel, control, c); e < 0) {
        return e;
    }
    if (attribute != ATTR_MIN_VALUE && attribute != ATTR_MAX_VALUE &&
        attribute != ATTR_INCR_VALUE) {
        // Integer attributes may be given as whole doubles.
        if (value != std::trunc(value) || std::abs(value) > 2147483647.0) {
            return UIEAttributeNotValid;
        }
        return SetCtrlAttribute(panel, control, attribute, static_cast<int>(value));
    }
    if (c->kind != CtrlKind::Numeric) {
        return UIEAttributeNotValid;
    }
    if (std::isnan(value)) {
        return UIEInvalidArgument;
    }
    if (attribute == ATTR_INCR_VALUE) {
        if (value <= 0) {
            return UIEInvalidArgument;
        }
        c->step = value;
    } else {
        if (!c->hasRange) {
            c->hasRange = true;
            detail::IntegerLimits(c->dataType, c->minValue, c->maxValue);
            if (c->dataType == VAL_DOUBLE) {
                c->minValue = -std::numeric_limits<double>::max();
                c->maxValue = std::numeric_limits<double>::max();
            }
        }
        (attribute == ATTR_MIN_VALUE ? c->minValue : c->maxValue) = value;
        if (c->minValue > c->maxValue) {
            (attribute == ATTR_MIN_VALUE ? c->maxValue : c->minValue) = value;
        }
        // The value stays inside the new range.
        if (auto* d = std::get_if<double>(&c->value)) {
            *d = Coerce(*c, *d);
        } else if (auto* i = std::get_if<long long>(&c->value)) {
            *i = static_cast<long long>(Coerce(*c, static_cast<double>(*i)));
        }
    }
    Notify([&](FrontEnd& fe) { fe.ControlAttributeChanged(panel, control, attribute); });
    return 0;
}

int SetCtrlAttribute(int panel, int control, int attribute, std::string_view value) {
    Control* c = nullptr;
    if (int e = Lookup(panel, control, c); e < 0) {
        return e;
    }
    switch (attribute) {
        case ATTR_LABEL_TEXT:
            c->label = value;
            break;
        case ATTR_TEXT_FONT:
            c->font = value;
            break;
        case ATTR_ON_TEXT:
        case ATTR_OFF_TEXT:
            if (c->kind != CtrlKind::BinarySwitch) {
                return UIEAttributeNotValid;
            }
            c->items[attribute == ATTR_ON_TEXT ? 1 : 0].label = value;
            break;
        case ATTR_XNAME:
        case ATTR_YNAME:
            if (c->kind != CtrlKind::Graph) {
                return UIEAttributeNotValid;
            }
            (attribute == ATTR_XNAME ? c->xAxis : c->yAxis).name = value;
            break;
        default:
            return UIEAttributeNotValid;
    }
    Notify([&](FrontEnd& fe) { fe.ControlAttributeChanged(panel, control, attribute); });
    return 0;
}

int SetCtrlAttribute(int panel, int control, int attribute, const char* value) {
    return value ? SetCtrlAttribute(panel, control, attribute, std::string_view(value))
                 : UIEInvalidArgument;
}

int GetCtrlAttribute(int panel, int control, int attribute, int& value) {
    Control* c = nullptr;
    if (int e = Lookup(panel, control, c); e < 0) {
        return e;
    }
    const Geometry& g = c->geometry;
    switch (attribute) {
        case ATTR_DIMMED:
            value = c->dimmed;
            break;
        case ATTR_VISIBLE:
            value = c->visible;
            break;
        case ATTR_CTRL_MODE:
            value = c->mode;
            break;
        case ATTR_ZPLANE_POSITION:
            value = c->zPlane;
            break;
        case ATTR_TOP:
            value = g.top;
            break;
        case ATTR_LEFT:
            value = g.left;
            break;
        case ATTR_WIDTH:
            value = g.width;
            break;
        case ATTR_HEIGHT:
            value = g.height;
            break;
        case ATTR_TEXT_COLOR:
            value = c->textColor;
            break;
        case ATTR_TEXT_BGCOLOR:
        case ATTR_BACKCOLOR:
            value = c->backColor;
            break;
        case ATTR_TEXT_POINT_SIZE:
            value = c->pointSize;
            break;
        case ATTR_TEXT_BOLD:
            value = c->bold;
            break;
        case ATTR_DATA_TYPE:
            value = c->dataType;
            break;
        case ATTR_PRECISION:
            value = c->precision;
            break;
        case ATTR_FORMAT:
            value = c->format;
            break;
        case ATTR_FIRST_VISIBLE_LINE:
        case ATTR_VISIBLE_LINES:
            if (c->kind != CtrlKind::TextBox) {
                return UIEAttributeNotValid;
            }
            if (attribute == ATTR_FIRST_VISIBLE_LINE) {
                value = c->firstVisibleLine;
            } else {
                FrontEnd* fe = detail::State().frontEnd;
                const int shown = fe ? fe->TextBoxVisibleLines(panel, control) : -1;
                value = shown > 0 ? shown : detail::VisibleLines(*c);
            }
            break;
        case ATTR_NUM_ROWS:
        case ATTR_NUM_COLUMNS:
            if (c->kind != CtrlKind::Table) {
                return UIEAttributeNotValid;
            }
            value = static_cast<int>(attribute == ATTR_NUM_ROWS ? c->rowLabels.size()
                                                                : c->columnLabels.size());
            break;
        case ATTR_NUM_TAB_PAGES:
            if (c->kind != CtrlKind::Tab) {
                return UIEAttributeNotValid;
            }
            value = static_cast<int>(c->pages.size());
            break;
        default:
            return UIEAttributeNotValid;
    }
    return 0;
}

int GetCtrlAttribute(int panel, int control, int attribute, double& value) {
    Control* c = nullptr;
    if (int e = Lookup(panel, control, c); e < 0) {
        return e;
    }
    if (attribute == ATTR_MIN_VALUE || attribute == ATTR_MAX_VALUE ||
        attribute == ATTR_INCR_VALUE) {
        if (c->kind != CtrlKind::Numeric) {
            return UIEAttributeNotValid;
        }
        if (attribute == ATTR_INCR_VALUE) {
            value = c->step;
            return 0;
        }
        double lo = c->minValue;
        double hi = c->maxValue;
        if (!c->hasRange) {
            detail::IntegerLimits(c->dataType, lo, hi);
            if (c->dataType == VAL_DOUBLE) {
                lo = -std::numeric_limits<double>::max();
                hi = std::numeric_limits<double>::max();
            }
        }
        value = attribute == ATTR_MIN_VALUE ? lo : hi;
        return 0;
    }
    int i = 0;
    const int e = GetCtrlAttribute(panel, control, attribute, i);
    if (e == 0) {
        value = i;
    }
    return e;
}

int GetCtrlAttribute(int panel, int control, int attribute, std::string& value) {
    Control* c = nullptr;
    if (int e = Lookup(panel, control, c); e < 0) {
        return e;
    }
    switch (attribute) {
        case ATTR_LABEL_TEXT:
            value = c->label;
            break;
        case ATTR_TEXT_FONT:
            value = c->font;
            break;
        case ATTR_ON_TEXT:
        case ATTR_OFF_TEXT:
            if (c->kind != CtrlKind::BinarySwitch) {
                return UIEAttributeNotValid;
            }
            value = c->items[attribute == ATTR_ON_TEXT ? 1 : 0].label;
            break;
        case ATTR_XNAME:
        case ATTR_YNAME:
            if (c->kind != CtrlKind::Graph) {
                return UIEAttributeNotValid;
            }
            value = (attribute == ATTR_XNAME ? c->xAxis : c->yAxis).name;
            break;
        default:
            return UIEAttributeNotValid;
    }
    return 0;
}

}  // namespace qm7x::ui
