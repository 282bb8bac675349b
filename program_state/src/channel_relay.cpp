// The input-relay switches of the verification and calibration pages.
#include "qm7x/program/channel_relay.h"

#include <string>

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
    const ViStatus status = trqm7x_input_trigger(mezSession, 0, static_cast<ViInt16>(state));
    if (status < 0) {
        // The relay stayed where it was: the switch must not claim otherwise.
        ui::SetCtrlVal(panel, control, state != 0 ? 0 : 1);
        showStatusError(
            std::string(state != 0 ? "Входное реле не включено: " : "Входное реле не выключено: ") +
            driverStatusText(status));
        return 0;
    }
    checkErr(status);
    return 0;
}

int ReleaseRelay() {
    const ViStatus status = trqm7x_input_trigger(mezSession, 0, 0);
    if (status < 0) {
        // The relay is as it was: in, if either switch (each showing what the driver last
        // accepted from it) says so.
        int calibrationSwitch = 0;
        int verificationSwitch = 0;
        ui::GetCtrlVal(cpPanel, CP_RELE_SWITCH, calibrationSwitch);
        if (ppPanel != 0) {
            ui::GetCtrlVal(ppPanel, PP_RELE_SWITCH, verificationSwitch);
        }
        SetReleSwitch(calibrationSwitch != 0 || verificationSwitch != 0 ? 1 : 0);
        appendStatusError("Входное реле не выключено: " + driverStatusText(status));
        return status;
    }
    checkErr(status);
    SetReleSwitch(0);
    return status;
}

}  // namespace qm7x
