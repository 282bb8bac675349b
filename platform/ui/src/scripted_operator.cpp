#include "qm7x/ui/scripted_operator.h"

#include <cmath>

#include "runtime.h"
#include "script_failure.h"

namespace qm7x::ui {

// ---- PanelRef -----------------------------------------------------------------------------------

PanelRef PanelRef::Handle(int handle) {
    PanelRef r;
    r.by_ = By::Handle;
    r.number_ = handle;
    return r;
}

PanelRef PanelRef::Resource(int resourceId) {
    PanelRef r;
    r.by_ = By::Resource;
    r.number_ = resourceId;
    return r;
}

PanelRef PanelRef::Title(std::string title) {
    PanelRef r;
    r.by_ = By::Title;
    r.title_ = std::move(title);
    return r;
}

int PanelRef::Resolve() const {
    if (by_ == By::Handle) {
        return FindPanel(number_) ? number_ : 0;
    }
    const std::vector<int> handles = PanelHandles();
    for (auto it = handles.rbegin(); it != handles.rend(); ++it) {
        const Panel* p = FindPanel(*it);
        if ((by_ == By::Resource && p->resourceId == number_) ||
            (by_ == By::Title && p->title == title_)) {
            return *it;
        }
    }
    return 0;
}

std::string PanelRef::Describe() const {
    switch (by_) {
        case By::Handle:
            return "panel handle " + std::to_string(number_);
        case By::Resource: {
            const int h = Resolve();
            const Panel* p = FindPanel(h);
            return "panel " + (p ? p->constant : "#" + std::to_string(number_));
        }
        case By::Title:
            return "panel \"" + title_ + "\"";
    }
    return {};
}

// ---- Steps --------------------------------------------------------------------------------------

namespace {

std::string ControlName(int panel, int control) {
    const Control* c = FindControl(panel, control);
    return c && !c->constant.empty() ? c->constant : "control " + std::to_string(control);
}

// What a person can operate: shown, not dimmed, not an indicator.
const Control& Operable(int panel, int control, const std::string& step) {
    const Control* c = FindControl(panel, control);
    if (!c) {
        detail::ScriptFailure<ScriptError>(step + ": the panel has no control " +
                                           std::to_string(control));
    }
    if (!c->visible || c->dimmed || c->mode == VAL_INDICATOR) {
        detail::ScriptFailure<ScriptError>(step + ": " + ControlName(panel, control) +
                                           (c->dimmed     ? " is dimmed"
                                            : !c->visible ? " is hidden"
                                                          : " is an indicator"));
    }
    switch (c->kind) {
        case CtrlKind::TextMessage:
        case CtrlKind::Picture:
        case CtrlKind::Decoration:
        case CtrlKind::Led:
        case CtrlKind::Graph:
            detail::ScriptFailure<ScriptError>(step + ": " + ControlName(panel, control) +
                                               " cannot be operated");
        default:
            return *c;
    }
}

void Check(int result, const std::string& step) {
    if (result < 0) {
        detail::ScriptFailure<ScriptError>(step + ": " + GetUILErrorString(result));
    }
}

// Shown to a person: the panel and every panel above it visible.
bool Shown(int handle) {
    for (const Panel* p = FindPanel(handle); p; p = FindPanel(p->parent)) {
        if (!p->visible) {
            return false;
        }
        if (p->parent == 0) {
            return true;
        }
    }
    return false;
}

bool Within(int handle, int ancestor) {
    for (const Panel* p = FindPanel(handle); p; p = FindPanel(p->parent)) {
        if (p->handle == ancestor) {
            return true;
        }
    }
    return false;
}

}  // namespace

ScriptedOperator& ScriptedOperator::Add(Step step) {
    steps_.push_back(std::move(step));
    if (FrontEnd* fe = GetFrontEnd()) {
        fe->WakeUp();
    }
    return *this;
}

ScriptedOperator& ScriptedOperator::Commit(PanelRef panel, int control) {
    std::string d = "commit control " + std::to_string(control) + " of " + panel.Describe();
    return Add({d, panel, true, {}, [control, d](int h) {
                    Operable(h, control, d);
                    DispatchUserEvent(h, control, EVENT_COMMIT);
                }});
}

namespace {

// Types a value and commits it, as a person does in a field.
void TypeAndCommit(int h, int control, const Value& v, const std::string& d) {
    const Control& c = Operable(h, control, d);
    int result = UIEWrongType;
    if (auto* s = std::get_if<std::string>(&v)) {
        result = SetCtrlVal(h, control, *s);
    } else if (auto* x = std::get_if<double>(&v)) {
        // A whole number typed into an integer field is that integer.
        if (c.dataType != VAL_DOUBLE && *x == std::trunc(*x) && std::abs(*x) < 2147483648.0) {
            result = SetCtrlVal(h, control, static_cast<int>(*x));
        } else {
            result = SetCtrlVal(h, control, *x);
        }
    } else if (auto* i = std::get_if<long long>(&v)) {
        result = SetCtrlVal(h, control, static_cast<int>(*i));
    }
    Check(result, d);
    DispatchUserEvent(h, control, EVENT_VAL_CHANGED);
    DispatchUserEvent(h, control, EVENT_COMMIT);
}

}  // namespace

ScriptedOperator& ScriptedOperator::Enter(PanelRef panel, int control, double value) {
    std::string d = "enter " + std::to_string(value) + " into control " + std::to_string(control) +
                    " of " + panel.Describe();
    return Add({d, panel, true, {}, [=](int h) { TypeAndCommit(h, control, Value{value}, d); }});
}

ScriptedOperator& ScriptedOperator::Enter(PanelRef panel, int control, int value) {
    std::string d = "enter " + std::to_string(value) + " into control " + std::to_string(control) +
                    " of " + panel.Describe();
    return Add({d, panel, true, {}, [=](int h) {
                    TypeAndCommit(h, control, Value{static_cast<long long>(value)}, d);
                }});
}

ScriptedOperator& ScriptedOperator::Enter(PanelRef panel, int control, std::string value) {
    std::string d = "enter \"" + value + "\" into control " + std::to_string(control) + " of " +
                    panel.Describe();
    return Add({d, panel, true, {}, [=](int h) { TypeAndCommit(h, control, Value{value}, d); }});
}

ScriptedOperator& ScriptedOperator::ChooseItem(PanelRef panel, int control, int index) {
    std::string d = "choose item " + std::to_string(index) + " of control " +
                    std::to_string(control) + " of " + panel.Describe();
    return Add({d, panel, true, {}, [=](int h) {
                    Operable(h, control, d);
                    Check(SetCtrlIndex(h, control, index), d);
                    DispatchUserEvent(h, control, EVENT_VAL_CHANGED);
                    DispatchUserEvent(h, control, EVENT_COMMIT);
                }});
}

ScriptedOperator& ScriptedOperator::DoubleClickItem(PanelRef panel, int control, int index) {
    std::string d = "double-click item " + std::to_string(index) + " of control " +
                    std::to_string(control) + " of " + panel.Describe();
    return Add({d, panel, true, {}, [=](int h) {
                    Operable(h, control, d);
                    Check(SetCtrlIndex(h, control, index), d);
                    DispatchUserEvent(h, control, EVENT_LEFT_DOUBLE_CLICK, 0, index);
                }});
}

ScriptedOperator& ScriptedOperator::ChooseTabPage(PanelRef panel, int control, int page) {
    std::string d = "choose tab page " + std::to_string(page) + " of control " +
                    std::to_string(control) + " of " + panel.Describe();
    return Add({d, panel, true, {}, [=](int h) {
                    Operable(h, control, d);
                    int old = 0;
                    Check(GetActiveTabPage(h, control, old), d);
                    Check(SetActiveTabPage(h, control, page), d);
                    DispatchUserEvent(h, control, EVENT_ACTIVE_TAB_CHANGE, old, page);
                }});
}

ScriptedOperator& ScriptedOperator::SetCell(PanelRef panel, int control, Point cell, double value) {
    std::string d = "type " + std::to_string(value) + " into cell (" + std::to_string(cell.x) +
                    "," + std::to_string(cell.y) + ") of control " + std::to_string(control) +
                    " of " + panel.Describe();
    return Add({d, panel, true, {}, [=](int h) {
                    Operable(h, control, d);
                    Check(SetTableCellVal(h, control, cell, value), d);
                    DispatchUserEvent(h, control, EVENT_VAL_CHANGED, cell.y, cell.x);
                    DispatchUserEvent(h, control, EVENT_COMMIT, cell.y, cell.x);
                }});
}

ScriptedOperator& ScriptedOperator::ClosePanel(PanelRef panel) {
    std::string d = "close " + panel.Describe();
    return Add({d, panel, true, {}, [](int h) { DispatchUserEvent(h, 0, EVENT_CLOSE); }});
}

ScriptedOperator& ScriptedOperator::ResizePanel(PanelRef panel, int width, int height) {
    std::string d = "resize " + panel.Describe() + " to " + std::to_string(width) + "x" +
                    std::to_string(height);
    return Add({d, panel, true, {}, [=](int h) {
                    Check(SetPanelAttribute(h, ATTR_WIDTH, width), d);
                    Check(SetPanelAttribute(h, ATTR_HEIGHT, height), d);
                    DispatchUserEvent(h, 0, EVENT_PANEL_SIZE);
                }});
}

ScriptedOperator& ScriptedOperator::Do(std::string description, std::function<void()> action) {
    return Add({std::move(description), PanelRef{}, false, {}, [action = std::move(action)](int) {
                    action();
                }});
}

ScriptedOperator& ScriptedOperator::WaitUntil(std::string description,
                                              std::function<bool()> condition) {
    return Add({"wait until " + description, PanelRef{}, false, std::move(condition), [](int) {}});
}

std::string ScriptedOperator::Blocker(const Step& step) const {
    if (step.needsPanel) {
        const int h = step.panel.Resolve();
        if (h == 0) {
            return step.panel.Describe() + " is not loaded";
        }
        if (!Shown(h)) {
            return step.panel.Describe() + " is not shown";
        }
        const std::vector<int> popups = PopupStack();
        if (!popups.empty() && !Within(h, popups.back())) {
            const Panel* top = FindPanel(popups.back());
            return step.panel.Describe() + " is covered by the pop-up \"" +
                   (top ? top->title : std::string()) + "\"";
        }
    }
    if (step.ready && !step.ready()) {
        return "not yet";
    }
    return {};
}

ScriptedOperator::StepResult ScriptedOperator::RunNextStep() {
    if (steps_.empty()) {
        return StepResult::Empty;
    }
    if (!Blocker(steps_.front()).empty()) {
        return StepResult::NotReady;
    }
    // Taken off the list first: the action's callbacks may process events and run later steps.
    Step step = std::move(steps_.front());
    steps_.pop_front();
    performed_.push_back(step.description);
    step.act(step.needsPanel ? step.panel.Resolve() : 0);
    return StepResult::Ran;
}

std::string ScriptedOperator::Pending() const {
    if (steps_.empty()) {
        return {};
    }
    const std::string why = Blocker(steps_.front());
    return why.empty() ? std::string() : "step \"" + steps_.front().description + "\": " + why;
}

bool ScriptedOperator::WaitsForPanel() const {
    if (steps_.empty() || !steps_.front().needsPanel) {
        return false;
    }
    Step probe = steps_.front();
    probe.ready = nullptr;
    return !Blocker(probe).empty();
}

}  // namespace qm7x::ui
