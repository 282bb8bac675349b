// The input-relay switches of the verification and calibration pages.
#include "qm7x/program/channel_relay.h"

#include "p_qm7x.h"
#include "qm7x/program/panel_handles.h"
#include "qm7x/program/run_guard.h"
#include "qm7x/program/sessions.h"
#include "qm7x/program/status_line.h"
#include "qm7x/ui/userint.h"
#include "trqm7x.h"

namespace qm7x {

void SetReleSwitch(int state) {
    ui::SetCtrlVal(cpPanel, CP_RELE_SWITCH, state);
    if (ppPanel != 0) {
        ui::SetCtrlVal(ppPanel, PP_RELE_SWITCH, state);
    }
}

int releSwitch(int panel, int control, int event, void* /*callbackData*/, int /*eventData1*/,
               int /*eventData2*/) {
    // A run in progress owns the relay until it ends, and then releases it.
    if (event != ui::EVENT_COMMIT || runInProgress()) {
        return 0;
    }
    int state = 0;
    ui::GetCtrlVal(panel, control, state);
    checkErr(trqm7x_input_trigger(mezSession, 0, static_cast<ViInt16>(state)));
    return 0;
}

}  // namespace qm7x
