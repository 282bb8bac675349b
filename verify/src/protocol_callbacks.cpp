// The protocol buttons of the verification page and the protocol panel's own callback.
#include <string>

#include "p_qm7x.h"
#include "qm7x/program/panel_handles.h"
#include "qm7x/program/protocol_state.h"
#include "qm7x/program/run_guard.h"
#include "qm7x/ui/userint.h"
#include "qm7x/verify/chklog.h"
#include "qm7x/verify/page_feedback.h"
#include "qm7x/verify/point_plot.h"
#include "qm7x/verify/verify_callbacks.h"

namespace qm7x::verify {

int selFName(int /*panel*/, int /*control*/, int event, void* /*callbackData*/, int /*eventData1*/,
             int /*eventData2*/) {
    // A run in progress writes into the open protocol until it ends.
    if (event != ui::EVENT_COMMIT || runInProgress()) {
        return 0;
    }
    ui::FileSelectOptions options;
    options.defaultFileSpec = "*.log";
    options.fileTypeList = "*.log";
    options.title = "Файл протокола";
    options.allowCancel = true;
    options.allowMakeDirectory = true;
    std::string chosen;
    const int result = ui::FileSelectPopup(options, chosen);
    if (result != ui::VAL_EXISTING_FILE_SELECTED && result != ui::VAL_NEW_FILE_SELECTED) {
        return 0;
    }
    if (!protocolFileName.empty() && chosen != protocolFileName) {
        DiscardChlp(kProtocolLog);
        protocolFileName = chosen;
        SetupChlp(kResourceFile, kProtocolLog, protocolTitle, chosen);
        SetLogTimeDate();
    }
    ui::SetCtrlVal(ppPanel, PP_FILE_NAME, chosen);
    ShowProtocolFileName();
    return 0;
}

int showLog(int /*panel*/, int /*control*/, int event, void* /*callbackData*/, int /*eventData1*/,
            int /*eventData2*/) {
    if (event == ui::EVENT_COMMIT) {
        DisplayChlp(kProtocolLog, std::nullopt);
    }
    return 0;
}

int chlpCB(int panel, int event, void* /*callbackData*/, int /*eventData1*/, int /*eventData2*/) {
    if (event != ui::EVENT_PANEL_SIZE) {
        return 0;
    }
    LayOutProtocolPanel(panel);
    return 0;
}

}  // namespace qm7x::verify
