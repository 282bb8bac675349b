// Control attributes: one table entry per attribute says which kinds of control have it, where
// its value lives and what a new value may be; the operations only look the entry up.
#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "attribute_table.h"
#include "controls_internal.h"
#include "runtime.h"

namespace qm7x::ui {

using detail::Coerce;
using detail::Lookup;
using detail::Notify;

namespace {

using Kinds = unsigned;
constexpr Kinds Of(CtrlKind kind) {
    return 1u << static_cast<unsigned>(kind);
}
constexpr Kinds kEveryKind = ~0u;
constexpr Kinds kNumericOrTable = Of(CtrlKind::Numeric) | Of(CtrlKind::Table);

bool Has(Kinds kinds, const Control& c) {
    return (kinds & Of(c.kind)) != 0;
}

// An integer attribute: the kinds that have it for reading and for setting (0: read-only), its
// value, and how a new value is stored (0, or UIEInvalidArgument for a value it cannot take).
struct IntAttribute {
    int attribute;
    Kinds readKinds;
    Kinds setKinds;
    int (*get)(const Control&);
    int (*set)(Control&, int);
};

using detail::Stored;
using detail::StoredFlag;
using detail::StoredIf;
int Count(std::size_t n) {
    return static_cast<int>(n);
}

// The stacking position (it renumbers the panel's other controls) and the number of visible
// lines (the front end knows it) are set and read by the operations themselves.
const std::array kIntAttributes{
    IntAttribute{ATTR_DIMMED, kEveryKind, kEveryKind,
                 [](const Control& c) { return int{c.dimmed}; },
                 [](Control& c, int v) { return StoredFlag(c.dimmed, v); }},
    IntAttribute{ATTR_VISIBLE, kEveryKind, kEveryKind,
                 [](const Control& c) { return int{c.visible}; },
                 [](Control& c, int v) { return StoredFlag(c.visible, v); }},
    IntAttribute{ATTR_CTRL_MODE, kEveryKind, kEveryKind, [](const Control& c) { return c.mode; },
                 [](Control& c, int v) {
                     return StoredIf(v == VAL_NORMAL || v == VAL_INDICATOR || v == VAL_HOT, c.mode,
                                     v);
                 }},
    IntAttribute{ATTR_ZPLANE_POSITION, kEveryKind, 0, [](const Control& c) { return c.zPlane; },
                 nullptr},
    IntAttribute{ATTR_TOP, kEveryKind, kEveryKind, [](const Control& c) { return c.geometry.top; },
                 [](Control& c, int v) { return Stored(c.geometry.top, v); }},
    IntAttribute{ATTR_LEFT, kEveryKind, kEveryKind,
                 [](const Control& c) { return c.geometry.left; },
                 [](Control& c, int v) { return Stored(c.geometry.left, v); }},
    IntAttribute{ATTR_WIDTH, kEveryKind, kEveryKind,
                 [](const Control& c) { return c.geometry.width; },
                 [](Control& c, int v) { return StoredIf(v >= 0, c.geometry.width, v); }},
    IntAttribute{ATTR_HEIGHT, kEveryKind, kEveryKind,
                 [](const Control& c) { return c.geometry.height; },
                 [](Control& c, int v) { return StoredIf(v >= 0, c.geometry.height, v); }},
    IntAttribute{ATTR_TEXT_COLOR, kEveryKind, kEveryKind,
                 [](const Control& c) { return c.textColor; },
                 [](Control& c, int v) { return Stored(c.textColor, v); }},
    IntAttribute{ATTR_TEXT_BGCOLOR, kEveryKind, kEveryKind,
                 [](const Control& c) { return c.backColor; },
                 [](Control& c, int v) { return Stored(c.backColor, v); }},
    IntAttribute{ATTR_BACKCOLOR, kEveryKind, kEveryKind,
                 [](const Control& c) { return c.backColor; },
                 [](Control& c, int v) { return Stored(c.backColor, v); }},
    IntAttribute{ATTR_TEXT_POINT_SIZE, kEveryKind, kEveryKind,
                 [](const Control& c) { return c.pointSize; },
                 [](Control& c, int v) { return Stored(c.pointSize, v); }},
    IntAttribute{ATTR_TEXT_BOLD, kEveryKind, kEveryKind,
                 [](const Control& c) { return int{c.bold}; },
                 [](Control& c, int v) { return StoredFlag(c.bold, v); }},
    IntAttribute{ATTR_DATA_TYPE, kEveryKind, 0, [](const Control& c) { return c.dataType; },
                 nullptr},
    IntAttribute{ATTR_PRECISION, kEveryKind, kNumericOrTable,
                 [](const Control& c) { return c.precision; },
                 [](Control& c, int v) { return StoredIf(v >= 0 && v <= 15, c.precision, v); }},
    IntAttribute{
        ATTR_FORMAT, kEveryKind, kNumericOrTable, [](const Control& c) { return c.format; },
        [](Control& c, int v) {
            return StoredIf(v >= VAL_FLOATING_PT_FORMAT && v <= VAL_HEX_FORMAT, c.format, v);
        }},
    IntAttribute{ATTR_FIRST_VISIBLE_LINE, Of(CtrlKind::TextBox), Of(CtrlKind::TextBox),
                 [](const Control& c) { return c.firstVisibleLine; },
                 [](Control& c, int v) {
                     return Stored(c.firstVisibleLine,
                                   std::clamp(v, 0, std::max(0, Count(c.lines.size()) - 1)));
                 }},
    IntAttribute{ATTR_NUM_ROWS, Of(CtrlKind::Table), 0,
                 [](const Control& c) { return Count(c.rowLabels.size()); }, nullptr},
    IntAttribute{ATTR_NUM_COLUMNS, Of(CtrlKind::Table), 0,
                 [](const Control& c) { return Count(c.columnLabels.size()); }, nullptr},
    IntAttribute{ATTR_NUM_TAB_PAGES, Of(CtrlKind::Tab), 0,
                 [](const Control& c) { return Count(c.pages.size()); }, nullptr},
};

const IntAttribute* IntAttributeOf(int attribute) {
    return detail::Find(kIntAttributes, attribute);
}

// A text attribute: the kinds that have it and where its text lives (read and set alike).
struct TextAttribute {
    int attribute;
    Kinds kinds;
    std::string& (*text)(Control&);
};

const std::array kTextAttributes{
    TextAttribute{ATTR_LABEL_TEXT, kEveryKind, [](Control& c) -> std::string& { return c.label; }},
    TextAttribute{ATTR_TEXT_FONT, kEveryKind, [](Control& c) -> std::string& { return c.font; }},
    TextAttribute{ATTR_ON_TEXT, Of(CtrlKind::BinarySwitch),
                  [](Control& c) -> std::string& { return c.items[1].label; }},
    TextAttribute{ATTR_OFF_TEXT, Of(CtrlKind::BinarySwitch),
                  [](Control& c) -> std::string& { return c.items[0].label; }},
    TextAttribute{ATTR_XNAME, Of(CtrlKind::Graph),
                  [](Control& c) -> std::string& { return c.xAxis.name; }},
    TextAttribute{ATTR_YNAME, Of(CtrlKind::Graph),
                  [](Control& c) -> std::string& { return c.yAxis.name; }},
};

// The text of the attribute, or null when the control has no such attribute.
std::string* TextOf(Control& c, int attribute) {
    const TextAttribute* a = detail::Find(kTextAttributes, attribute);
    return a != nullptr && Has(a->kinds, c) ? &a->text(c) : nullptr;
}

// The limits a numeric control has when none were given: those of its data type.
void DefaultLimits(const Control& c, double& lo, double& hi) {
    detail::IntegerLimits(c.dataType, lo, hi);
    if (c.dataType == VAL_DOUBLE) {
        lo = -std::numeric_limits<double>::max();
        hi = std::numeric_limits<double>::max();
    }
}

}  // namespace

int SetCtrlAttribute(int panel, int control, int attribute, int value) {
    Control* c = nullptr;
    if (int e = Lookup(panel, control, c); e < 0) {
        return e;
    }
    if (attribute == ATTR_ZPLANE_POSITION) {
        if (value < 0) {
            return UIEInvalidArgument;
        }
        detail::Restack(*detail::PanelOf(panel), control, value);
    } else {
        const IntAttribute* a = IntAttributeOf(attribute);
        if (a == nullptr || !Has(a->setKinds, *c)) {
            return UIEAttributeNotValid;
        }
        if (int e = a->set(*c, value); e < 0) {
            return e;
        }
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
            DefaultLimits(*c, c->minValue, c->maxValue);
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
    std::string* text = TextOf(*c, attribute);
    if (text == nullptr) {
        return UIEAttributeNotValid;
    }
    *text = value;
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
    if (attribute == ATTR_VISIBLE_LINES) {
        if (c->kind != CtrlKind::TextBox) {
            return UIEAttributeNotValid;
        }
        FrontEnd* fe = detail::State().frontEnd;
        const int shown = fe ? fe->TextBoxVisibleLines(panel, control) : -1;
        value = shown > 0 ? shown : detail::VisibleLines(*c);
        return 0;
    }
    const IntAttribute* a = IntAttributeOf(attribute);
    if (a == nullptr || !Has(a->readKinds, *c)) {
        return UIEAttributeNotValid;
    }
    value = a->get(*c);
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
            DefaultLimits(*c, lo, hi);
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
    const std::string* text = TextOf(*c, attribute);
    if (text == nullptr) {
        return UIEAttributeNotValid;
    }
    value = *text;
    return 0;
}

}  // namespace qm7x::ui
