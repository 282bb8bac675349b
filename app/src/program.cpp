// Start-up, event loop and shutdown of the program.
#include "qm7x/app/program.h"

#include <array>
#include <string>

#include "auto_page.h"
#include "math_library_check.h"
#include "p_qm7x.h"
#include "qm7x/app/instruments.h"
#include "qm7x/app/program_callbacks.h"
#include "qm7x/app/sessions.h"
#include "qm7x/app/standards_panel.h"
#include "qm7x/os/encoding.h"
#include "qm7x/program/panel_handles.h"
#include "qm7x/program/status_line.h"
#include "qm7x/ui/userint.h"
#include "qm7x/visa/visa.h"
#include "shell.h"
#include "shell_callbacks.h"
#include "trholdr.h"
#include "trqm7x.h"

namespace qm7x::app {
namespace {

// Loads one panel of the program's resource; a negative result is the run-time's error.
int loadPanel(int resourceId) {
    return ui::LoadPanel(0, kResourceFile, resourceId);
}

// Loads the panels in the order the program has always loaded them. Returns false at the first
// that fails; panels loaded before it stay loaded.
bool loadPanels() {
    if ((stPanel = loadPanel(ST)) < 0 || (aboutPanel = loadPanel(ABOUT)) < 0 ||
        (exitPopupPanel = loadPanel(EXIT_POPUP)) < 0) {
        return false;
    }
    // Small value-entry panels: loaded with the rest, never displayed.
    for (const int valuePanel : {P1, P2, P3, P4, VP}) {
        if (loadPanel(valuePanel) < 0) {
            return false;
        }
    }
    return (mpPanel = loadPanel(MP)) >= 0;
}

void takeTabPages() {
    ui::GetPanelHandleFromTabPage(mpPanel, MP_TAB, 0, cpPanel);
    ui::GetPanelHandleFromTabPage(mpPanel, MP_TAB, 1, ppPanel);
    ui::GetPanelHandleFromTabPage(mpPanel, MP_TAB, 2, apPanel);
    ui::SetActiveTabPage(mpPanel, MP_TAB, 0);
}

}  // namespace

bool LoadProgramPanels() {
    if (!loadPanels()) {
        return false;
    }
    takeTabPages();
    SetUpAutoPage();
    return true;
}

namespace {

void showVersions() {
    // The query's status is not checked: the field shows what the driver wrote (empty if nothing).
    std::array<ViChar, TRQM7X_TEXT_LEN + 1> driverRevision{};
    std::array<ViChar, TRQM7X_TEXT_LEN + 1> instrumentRevision{};
    trqm7x_revision_query(mezSession, driverRevision.data(), instrumentRevision.data());
    driverRevision.back() = '\0';
    ui::SetCtrlVal(aboutPanel, ABOUT_DRVR_VERSION, os::FromCp1251(driverRevision.data()));
    ui::SetCtrlVal(aboutPanel, ABOUT_SOFT_VERSION, kSoftwareVersion);
}

// Waits for the operator's actions instead of polling; a requested exit is acted on before the
// next action is handled.
void runEventLoop() {
    while (quitRequested == 0) {
        if (exitRequested != 0) {
            exitCalibr();
        }
        if (ui::ProcessNextEvent() < 0) {
            break;  // the front end can deliver no further action
        }
    }
}

}  // namespace

void ShutDownProgram() {
    if (mezSession != 0) {
        closeMezSession();  // also points coeffPtr back at the program's own copy
    }
    if (carrierSession != 0) {
        checkErr(trholdr_close(carrierSession));
    }
    for (const int panel : {stPanel, aboutPanel, exitPopupPanel, mpPanel}) {
        ui::DiscardPanel(panel);
    }
}

int RunProgram(int argc, char** argv) {
    exitRequested = 0;
    quitRequested = 0;
    RegisterProgramCallbacks();
    if (ui::InitUserInterface(argc, argv) < 0) {
        return -1;
    }
    if (!LoadProgramPanels()) {
        return -1;
    }
    takeTabPages();
    RefreshStandardChoice();
    if (FindVISAinstruments() <= 0) {
        // A VISA library that cannot be loaded is a cause of its own, not an absent instrument.
        const std::string loadError = visa::LibraryLoadError();
        ui::MessagePopup("Приборная панель носителя мезонинов",
                         loadError.empty()
                             ? "Инструмент не найден.\nПанель запускается в демо-режиме."
                             : "Инструмент не найден: библиотека VISA не загружена.\n" + loadError +
                                   "\nПанель запускается в демо-режиме.");
    }
    ui::DisplayPanel(mpPanel);
    ui::SetCtrlAttribute(ppPanel, PP_DECOR, ui::ATTR_ZPLANE_POSITION, 100 * techno);
    CurrentInstr = SelectInstrument("Выбор инструмента");
    SelMez();
    showVersions();
    checkMathLibrary();
    runEventLoop();
    ShutDownProgram();
    return 0;
}

}  // namespace qm7x::app
