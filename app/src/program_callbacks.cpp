#include "qm7x/app/program_callbacks.h"

#include "auto_page.h"
#include "qm7x/app/history_certificate.h"
#include "qm7x/app/history_panel.h"
#include "qm7x/app/selftest.h"
#include "qm7x/app/sessions.h"
#include "qm7x/app/standards_panel.h"
#include "qm7x/calibr/calibr_callbacks.h"
#include "qm7x/calibr/coeff_storage.h"
#include "qm7x/program/channel_relay.h"
#include "qm7x/ui/userint.h"
#include "qm7x/verify/verify_callbacks.h"
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
    // The register of standards.
    RegisterCallback("standardsCB", &standardsCB);
    RegisterCallback("addStandardCB", &addStandardCB);
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
    // Verification run and protocol.
    RegisterCallback("startTest", &verify::startTest);
    RegisterCallback("temperatureCB", &verify::temperatureCB);
    RegisterCallback("selFName", &verify::selFName);
    RegisterCallback("showLog", &verify::showLog);
    RegisterCallback("chlpCB", &verify::chlpCB);
    // The module's history from the results store.
    RegisterCallback("historyCB", &historyCB);
    RegisterCallback("historyCertificateCB", &historyCertificateCB);
    // Calibration run, zero offset and reset.
    RegisterCallback("calibrPoint", &calibr::calibrPoint);
    RegisterCallback("calibrCB", &calibr::calibrCB);
    RegisterCallback("resetCB", &calibr::resetCB);

    RegisterCallback("apFind", &apFind);
    RegisterCallback("apPlanFile", &apPlanFile);
    RegisterCallback("apStart", &apStart);
    RegisterCallback("apStop", &apStop);
}

}  // namespace qm7x::app
