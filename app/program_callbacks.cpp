#include "program_callbacks.h"

#include "coeff_storage.h"
#include "pending_callbacks.h"
#include "qm7x/program/channel_relay.h"
#include "qm7x/ui/userint.h"
#include "selftest.h"
#include "sessions.h"
#include "shell_callbacks.h"

namespace qm7x::app {

void RegisterProgramCallbacks() {
    using ui::RegisterCallback;
    // Shell.
    RegisterCallback("mp_exit", &mp_exit);
    RegisterCallback("exit_yes", &exit_yes);
    RegisterCallback("exit_no", &exit_no);
    RegisterCallback("aboutCB", &aboutCB);
    RegisterCallback("closePCB", &closePCB);
    RegisterCallback("closePanelCB", &closePanelCB);
    RegisterCallback("closeP", &closeP);
    RegisterCallback("closeSp", &closeSp);
    RegisterCallback("errMessOk", &errMessOk);
    // Sessions and self-test.
    RegisterCallback("selMezonin", &selMezonin);
    RegisterCallback("Selftest", &Selftest);
    // Coefficient storage.
    RegisterCallback("readEEPROM", &calibr::readEEPROM);
    RegisterCallback("writeEEPROM", &calibr::writeEEPROM);
    RegisterCallback("resetCf", &calibr::resetCf);
    RegisterCallback("allCB", &calibr::allCB);
    // The input relay, shared by the calibration and verification pages.
    RegisterCallback("releSwitch", &releSwitch);
    // Verification, protocol and calibration run: placeholders until those modules are built.
    RegisterCallback("startTest", &pending::startTest);
    RegisterCallback("temperatureCB", &pending::temperatureCB);
    RegisterCallback("selFName", &pending::selFName);
    RegisterCallback("showLog", &pending::showLog);
    RegisterCallback("chlpCB", &pending::chlpCB);
    RegisterCallback("calibrPoint", &pending::calibrPoint);
    RegisterCallback("calibrCB", &pending::calibrCB);
    RegisterCallback("resetCB", &pending::resetCB);
}

}  // namespace qm7x::app
