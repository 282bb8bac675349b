#include "qm7x/ui/radio_group.h"

#include <algorithm>

#include "qm7x/ui/model.h"

namespace qm7x::ui {

namespace {

int CheckGroup(int panel, std::span<const int> group) {
    if (!FindPanel(panel)) {
        return UIEHandleInvalid;
    }
    for (int id : group) {
        const Control* c = FindControl(panel, id);
        if (!c) {
            return UIEInvalidControl;
        }
        if (c->kind != CtrlKind::RadioButton) {
            return UIEWrongType;
        }
    }
    return 0;
}

}  // namespace

int SetSelectedRadioButtons(int panel, std::span<const int> group, int selected) {
    if (int e = CheckGroup(panel, group); e < 0) {
        return e;
    }
    if (selected != 0 && std::find(group.begin(), group.end(), selected) == group.end()) {
        return UIEInvalidArgument;
    }
    for (int id : group) {
        SetCtrlVal(panel, id, id == selected ? 1 : 0);
    }
    return 0;
}

int GetSelectedRadioButtons(int panel, std::span<const int> group, int& selected) {
    if (int e = CheckGroup(panel, group); e < 0) {
        return e;
    }
    selected = 0;
    for (int id : group) {
        int on = 0;
        GetCtrlVal(panel, id, on);
        if (on) {
            selected = id;
            break;
        }
    }
    return 0;
}

}  // namespace qm7x::ui
