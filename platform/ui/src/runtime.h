// Internal state of the run-time: the panels, the pop-up stack, the installed front end, operator
// and clock, and the helpers every operation uses to look up handles and notify the front end.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "qm7x/ui/clock.h"
#include "qm7x/ui/frontend.h"
#include "qm7x/ui/model.h"
#include "qm7x/ui/scripted_operator.h"

namespace qm7x::ui::detail {

struct Runtime {
    std::map<int, std::unique_ptr<Panel>> panels;
    std::vector<int> loadOrder;
    int nextHandle = 101;  // panel handles never coincide with small resource or control numbers
    std::vector<int> popups;
    FrontEnd* frontEnd = nullptr;
    ScriptedOperator* scriptedOperator = nullptr;
    Clock* clock = nullptr;
    bool waitCursor = false;
};
Runtime& State();

Panel* PanelOf(int handle);
Control* ControlOf(Panel& panel, int control);

// Looks up a panel / control, giving the error code when it does not exist.
int Lookup(int panel, Panel*& out);
int Lookup(int panel, int control, Control*& out);

// Adds a panel to the model and returns its new handle.
int AddPanel(std::unique_ptr<Panel> panel);
// Lines a text box can show at its height.
int VisibleLines(const Control& control);

template <typename F>
void Notify(F&& f) {
    if (FrontEnd* fe = State().frontEnd) {
        f(*fe);
    }
}

}  // namespace qm7x::ui::detail
