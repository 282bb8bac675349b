// Panel attributes: one table entry per attribute says where its value lives and what a new value
// may be; the operations only look the entry up.
#include <array>

#include "attribute_table.h"
#include "runtime.h"

namespace qm7x::ui {

using detail::Lookup;
using detail::Notify;

namespace {

using detail::Stored;
using detail::StoredFlag;
using detail::StoredIf;

// A position, or VAL_AUTO_CENTER, which centres the panel and keeps the position it had.
int Placed(Panel& p, int& field, int value) {
    p.centered = value == VAL_AUTO_CENTER;
    return p.centered ? 0 : Stored(field, value);
}

// An integer attribute of a panel: its value, and how a new value is stored (0, or the error of a
// value it cannot take). Showing and hiding (ATTR_VISIBLE) is set by the operation itself.
struct PanelIntAttribute {
    int attribute;
    int (*get)(const Panel&);
    int (*set)(Panel&, int);
};

const std::array kPanelIntAttributes{
    PanelIntAttribute{ATTR_TOP,
                      [](const Panel& p) { return p.centered ? VAL_AUTO_CENTER : p.geometry.top; },
                      [](Panel& p, int v) { return Placed(p, p.geometry.top, v); }},
    PanelIntAttribute{ATTR_LEFT,
                      [](const Panel& p) { return p.centered ? VAL_AUTO_CENTER : p.geometry.left; },
                      [](Panel& p, int v) { return Placed(p, p.geometry.left, v); }},
    PanelIntAttribute{ATTR_WIDTH, [](const Panel& p) { return p.geometry.width; },
                      [](Panel& p, int v) { return StoredIf(v >= 0, p.geometry.width, v); }},
    PanelIntAttribute{ATTR_HEIGHT, [](const Panel& p) { return p.geometry.height; },
                      [](Panel& p, int v) { return StoredIf(v >= 0, p.geometry.height, v); }},
    PanelIntAttribute{ATTR_BACKCOLOR, [](const Panel& p) { return p.backColor; },
                      [](Panel& p, int v) { return Stored(p.backColor, v); }},
    PanelIntAttribute{ATTR_SIZABLE, [](const Panel& p) { return int{p.sizable}; },
                      [](Panel& p, int v) { return StoredFlag(p.sizable, v); }},
    PanelIntAttribute{ATTR_VISIBLE, [](const Panel& p) { return int{p.visible}; }, nullptr},
    PanelIntAttribute{ATTR_CLOSE_CTRL, [](const Panel& p) { return p.closeCtrl; },
                      [](Panel& p, int v) -> int {
                          if (v != 0 && !detail::ControlOf(p, v)) {
                              return UIEInvalidControl;
                          }
                          return Stored(p.closeCtrl, v);
                      }},
};

}  // namespace

int SetPanelAttribute(int panel, int attribute, int value) {
    Panel* p = nullptr;
    if (int e = Lookup(panel, p); e < 0) {
        return e;
    }
    if (attribute == ATTR_VISIBLE) {
        return value ? DisplayPanel(panel) : HidePanel(panel);
    }
    const PanelIntAttribute* a = detail::Find(kPanelIntAttributes, attribute);
    if (a == nullptr || a->set == nullptr) {
        return UIEAttributeNotValid;
    }
    if (int e = a->set(*p, value); e < 0) {
        return e;
    }
    Notify([&](FrontEnd& fe) { fe.PanelAttributeChanged(panel, attribute); });
    return 0;
}

int SetPanelAttribute(int panel, int attribute, std::string_view value) {
    Panel* p = nullptr;
    if (int e = Lookup(panel, p); e < 0) {
        return e;
    }
    if (attribute != ATTR_TITLE) {
        return UIEAttributeNotValid;
    }
    p->title = value;
    Notify([&](FrontEnd& fe) { fe.PanelAttributeChanged(panel, attribute); });
    return 0;
}

int SetPanelAttribute(int panel, int attribute, const char* value) {
    return value ? SetPanelAttribute(panel, attribute, std::string_view(value))
                 : UIEInvalidArgument;
}

int GetPanelAttribute(int panel, int attribute, int& value) {
    Panel* p = nullptr;
    if (int e = Lookup(panel, p); e < 0) {
        return e;
    }
    const PanelIntAttribute* a = detail::Find(kPanelIntAttributes, attribute);
    if (a == nullptr) {
        return UIEAttributeNotValid;
    }
    value = a->get(*p);
    return 0;
}

int GetPanelAttribute(int panel, int attribute, std::string& value) {
    Panel* p = nullptr;
    if (int e = Lookup(panel, p); e < 0) {
        return e;
    }
    if (attribute != ATTR_TITLE) {
        return UIEAttributeNotValid;
    }
    value = p->title;
    return 0;
}

}  // namespace qm7x::ui
