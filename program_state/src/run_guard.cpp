// Dimming of what would interfere with a run in progress.
#include "qm7x/program/run_guard.h"

#include <array>
#include <utility>

#include "p_qm7x.h"
#include "qm7x/program/panel_handles.h"
#include "qm7x/ui/userint.h"

namespace qm7x {

namespace {

bool inProgress = false;

// Controls that start work on the session or leave it; the panel comes from its handle at the
// time of the run, since the pages exist only after start-up.
std::vector<std::pair<int, int>> interferingControls() {
    return {
        {mpPanel, MP_MEZ_NUM},     {mpPanel, MP_MEZ_SELECT},   {mpPanel, MP_RESET},
        {mpPanel, MP_CALIBR},      {mpPanel, MP_SELFTEST},     {mpPanel, MP_MP_EXIT},
        {cpPanel, CP_READ_EEPROM}, {cpPanel, CP_WRITE_EEPROM}, {cpPanel, CP_RESET_CF},
        {cpPanel, CP_START},       {ppPanel, PP_START},        {ppPanel, PP_FILE_NAME_S},
        {ppPanel, PP_RELE_SWITCH}, {apPanel, AP_START},        {apPanel, AP_FIND},
        {apPanel, AP_PLAN_S},      {apPanel, AP_CALIBRATE},
    };
}

}  // namespace

bool runInProgress() {
    return inProgress;
}

RunInProgress::RunInProgress() {
    if (inProgress) {
        return;
    }
    inProgress = true;
    outermost_ = true;
    for (const auto& [panel, control] : interferingControls()) {
        int was = 0;
        if (panel == 0 || ui::GetCtrlAttribute(panel, control, ui::ATTR_DIMMED, was) < 0) {
            continue;  // a page that does not exist has nothing to dim
        }
        dimmed_.push_back({panel, control, was});
        ui::SetCtrlAttribute(panel, control, ui::ATTR_DIMMED, 1);
    }
}

RunInProgress::~RunInProgress() {
    if (!outermost_) {
        return;
    }
    for (const auto& d : dimmed_) {
        ui::SetCtrlAttribute(d.panel, d.control, ui::ATTR_DIMMED, d.wasDimmed);
    }
    inProgress = false;
}

}  // namespace qm7x
