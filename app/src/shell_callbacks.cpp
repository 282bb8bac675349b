#include "shell_callbacks.h"

#include "qm7x/program/panel_handles.h"
#include "qm7x/program/run_guard.h"
#include "qm7x/program/status_line.h"
#include "qm7x/ui/userint.h"

namespace qm7x::app {

int mp_exit(int, int, int event, void*, int, int) {
    // A run in progress ends first: an exit asked for meanwhile would close its session after it.
    if (event == ui::EVENT_COMMIT && !runInProgress()) {
        exitRequested = 1;
    }
    return 0;
}

void exitCalibr() {
    ui::InstallPopup(exitPopupPanel);
    exitRequested = 0;
}

int exit_yes(int, int, int event, void*, int, int) {
    // The pop-up stays installed; it goes when the panels are discarded at shutdown.
    if (event == ui::EVENT_COMMIT) {
        quitRequested = 1;
    }
    return 0;
}

int exit_no(int, int, int event, void*, int, int) {
    if (event == ui::EVENT_COMMIT) {
        ui::RemovePopup(0);
    }
    return 0;
}

int aboutCB(int, int, int event, void*, int, int) {
    if (event == ui::EVENT_COMMIT) {
        ui::DisplayPanel(aboutPanel);
    }
    return 0;
}

namespace {

int hideOwnPanel(int panel, int event) {
    if (event == ui::EVENT_COMMIT) {
        ui::HidePanel(panel);
    }
    return 0;
}

}  // namespace

int closePCB(int panel, int, int event, void*, int, int) {
    return hideOwnPanel(panel, event);
}

int closeP(int panel, int, int event, void*, int, int) {
    return hideOwnPanel(panel, event);
}

int closeSp(int panel, int, int event, void*, int, int) {
    return hideOwnPanel(panel, event);
}

int closePanelCB(int panel, int event, void*, int, int) {
    if (event == ui::EVENT_CLOSE) {
        ui::HidePanel(panel);
    }
    return 0;
}

int errMessOk(int, int, int event, void*, int, int) {
    if (event == ui::EVENT_COMMIT) {
        clearStatusLine();
    }
    return 0;
}

}  // namespace qm7x::app
