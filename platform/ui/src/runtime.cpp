#include "runtime.h"

#include <algorithm>
#include <utility>

namespace qm7x::ui {
namespace detail {

Runtime& State() {
    static Runtime runtime;
    return runtime;
}

Panel* PanelOf(int handle) {
    auto& panels = State().panels;
    auto it = panels.find(handle);
    return it == panels.end() ? nullptr : it->second.get();
}

Control* ControlOf(Panel& panel, int control) {
    for (Control& c : panel.controls) {
        if (c.id == control) {
            return &c;
        }
    }
    return nullptr;
}

int Lookup(int panel, Panel*& out) {
    out = PanelOf(panel);
    return out ? UIENoError : UIEHandleInvalid;
}

int Lookup(int panel, int control, Control*& out) {
    out = nullptr;
    Panel* p = PanelOf(panel);
    if (!p) {
        return UIEHandleInvalid;
    }
    out = ControlOf(*p, control);
    return out ? UIENoError : UIEInvalidControl;
}

int AddPanel(std::unique_ptr<Panel> panel) {
    Runtime& rt = State();
    const int handle = rt.nextHandle++;
    panel->handle = handle;
    rt.panels.emplace(handle, std::move(panel));
    rt.loadOrder.push_back(handle);
    return handle;
}

int VisibleLines(const Control& control) {
    constexpr int kLineHeight = 16;  // pixels per line of the default text-box font
    constexpr int kFrame = 6;
    return std::max(1, (control.geometry.height - kFrame) / kLineHeight);
}

}  // namespace detail

using detail::State;

const Panel* FindPanel(int handle) {
    return detail::PanelOf(handle);
}

const Control* FindControl(int panel, int control) {
    Panel* p = detail::PanelOf(panel);
    return p ? detail::ControlOf(*p, control) : nullptr;
}

std::vector<int> PanelHandles() {
    return State().loadOrder;
}

std::vector<int> PopupStack() {
    return State().popups;
}

std::vector<int> PaintOrder(int panel) {
    std::vector<int> order;
    const Panel* p = FindPanel(panel);
    if (!p) {
        return order;
    }
    std::vector<const Control*> controls;
    for (const Control& c : p->controls) {
        controls.push_back(&c);
    }
    // Back to front: the largest z-plane position first; equal positions keep tab order.
    std::stable_sort(controls.begin(), controls.end(),
                     [](const Control* a, const Control* b) { return a->zPlane > b->zPlane; });
    for (const Control* c : controls) {
        order.push_back(c->id);
    }
    return order;
}

FrontEnd* SetFrontEnd(FrontEnd* frontEnd) {
    return std::exchange(State().frontEnd, frontEnd);
}

FrontEnd* GetFrontEnd() {
    return State().frontEnd;
}

ScriptedOperator* SetOperator(ScriptedOperator* op) {
    return std::exchange(State().scriptedOperator, op);
}

ScriptedOperator* GetOperator() {
    return State().scriptedOperator;
}

Clock* SetClock(Clock* clock) {
    return std::exchange(State().clock, clock);
}

int SavePanelImage(int panel, const std::string& path) {
    if (!FindPanel(panel)) {
        return UIEHandleInvalid;
    }
    FrontEnd* fe = State().frontEnd;
    return fe ? fe->SavePanelImage(panel, path) : UIENoFrontEnd;
}

void ResetUserInterface() {
    detail::Runtime& rt = State();
    rt.panels.clear();
    rt.loadOrder.clear();
    rt.popups.clear();
    rt.frontEnd = nullptr;
    rt.scriptedOperator = nullptr;
    rt.clock = nullptr;
    rt.waitCursor = false;
}

const char* GetUILErrorString(int error) {
    switch (error) {
        case UIENoError:
            return "no error";
        case UIEInitFailed:
            return "the user interface could not be started";
        case UIEResourceNotFound:
            return "panel resource not found";
        case UIEBadResource:
            return "the panel resource is not valid";
        case UIEPanelNotInResource:
            return "no such panel in the resource";
        case UIEHandleInvalid:
            return "invalid panel handle";
        case UIEInvalidControl:
            return "invalid control id";
        case UIEWrongType:
            return "the value type does not fit the control";
        case UIEAttributeNotValid:
            return "the attribute does not apply here";
        case UIEIndexOutOfRange:
            return "index out of range";
        case UIEValueNotInList:
            return "no list item has that value";
        case UIEListEmpty:
            return "the list is empty";
        case UIENoFrontEnd:
            return "no user-interface front end installed";
        case UIENotAPopup:
            return "no pop-up panel installed";
        case UIECallbackNotRegistered:
            return "callback name not registered";
        case UIEInvalidArgument:
            return "invalid argument";
        case UIEUserCancelled:
            return "cancelled by the operator";
        case UIENotSupported:
            return "not supported by this front end";
        case UIEIOError:
            return "input/output error";
        case UIEInvalidPlot:
            return "no plot with that handle on the graph";
        default:
            return "unknown error";
    }
}

}  // namespace qm7x::ui
