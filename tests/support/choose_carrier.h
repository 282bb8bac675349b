// The operator's first step in a whole-program test: the selection dialog's first carrier, whose
// first QM7X the program then opens. For tests that link the program's core.
#pragma once

#include "qm7x/app/select_dialog.h"
#include "qm7x/ui/scripted_operator.h"
#include "qm7x/ui/userint.h"

namespace qm7x::test {

inline ui::ScriptedOperator& ChooseTheFirstCarrier(ui::ScriptedOperator& script) {
    return script
        .WaitUntil("the selection dialog is shown",
                   [] {
                       int visible = 0;
                       const int panel = app::SelectDialogControls().panel;
                       return panel > 0 &&
                              ui::GetPanelAttribute(panel, ui::ATTR_VISIBLE, visible) >= 0 &&
                              visible != 0;
                   })
        .Do("choose the first carrier", [] {
            const auto& dialog = app::SelectDialogControls();
            ui::DispatchUserEvent(dialog.panel, dialog.ok, ui::EVENT_COMMIT);
        });
}

}  // namespace qm7x::test
