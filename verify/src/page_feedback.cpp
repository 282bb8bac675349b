#include "qm7x/verify/page_feedback.h"

#include <string>

#include "p_qm7x.h"
#include "qm7x/program/panel_handles.h"
#include "qm7x/program/protocol_state.h"
#include "qm7x/ui/userint.h"
#include "qm7x/verify/printf_numbers.h"
#include "qm7x/verify/protocol_text.h"

namespace qm7x::verify {

void ShowProtocolFileName() {
    const bool open = !protocolFileName.empty();
    if (open) {
        ui::SetCtrlVal(ppPanel, PP_FILE_NAME, protocolFileName);
    }
    ui::SetCtrlAttribute(ppPanel, PP_FILE_NAME, ui::ATTR_CTRL_MODE,
                         open ? ui::VAL_INDICATOR : ui::VAL_NORMAL);
}

void ShowPointResult(double un, const DeviationResult& result) {
    const bool within = result.verdict == 0;
    ui::SetCtrlVal(ppPanel, PP_RESULT,
                   "Ux " + FormatExp(result.ux, 5) + " В, dUs " + FormatExp(result.ux - un, 2) +
                       " В: " + (within ? kWithin : kOutOf));
    ui::SetCtrlAttribute(ppPanel, PP_RESULT, ui::ATTR_TEXT_COLOR,
                         within ? ui::VAL_DK_GREEN : ui::VAL_RED);
}

void ClearPointResult() {
    ui::SetCtrlVal(ppPanel, PP_RESULT, std::string());
}

}  // namespace qm7x::verify
