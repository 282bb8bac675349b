// The two buttons of the main panel that act on the mezzanine directly: the zero-offset
// adjustment and the reset.
#include "p_qm7x.h"
#include "qm7x/calibr/calibr_callbacks.h"
#include "qm7x/calibr/calibr_run.h"
#include "qm7x/program/run_guard.h"
#include "qm7x/program/sessions.h"
#include "qm7x/program/status_line.h"
#include "qm7x/ui/userint.h"
#include "trqm7x.h"

namespace qm7x::calibr {

namespace {
constexpr double kDemoResetS = 1.0;  // what a reset without a mezzanine takes
constexpr const char* kZeroDone = "Смещение 0 выполнено: смещения нуля каналов измерены заново";
}  // namespace

int calibrCB(int /*panel*/, int /*control*/, int event, void* /*callbackData*/, int /*eventData1*/,
             int /*eventData2*/) {
    // During a run the adjustment would ground the inputs under the run's acquisition.
    if (event != ui::EVENT_COMMIT || runInProgress()) {
        return 0;
    }
    AdjustZeroOffset();
    return 0;
}

bool AdjustZeroOffset() {
    clearStatusLine();
    ui::SetWaitCursor(1);
    // A failed adjustment leaves the old offsets: shown, so that it does not pass for success.
    const int status = checkErr(trqm7x_displacement(mezSession));
    if (status == 0) {
        showStatusInfo(kZeroDone);
    }
    ui::SetWaitCursor(0);
    return status >= 0;
}

int resetCB(int /*panel*/, int /*control*/, int event, void* /*callbackData*/, int /*eventData1*/,
            int /*eventData2*/) {
    if (event != ui::EVENT_COMMIT || runInProgress()) {
        return 0;
    }
    clearStatusLine();
    if (mezSession != 0) {
        checkErr(trqm7x_reset(mezSession));
    } else {
        ui::Delay(kDemoResetS);
    }
    return 0;
}

}  // namespace qm7x::calibr
