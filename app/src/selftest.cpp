// The self-test of the mezzanine and its panel.
#include "qm7x/app/selftest.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>

#include "p_qm7x.h"
#include "qm7x/app/sessions.h"
#include "qm7x/os/encoding.h"
#include "qm7x/program/panel_handles.h"
#include "qm7x/program/run_guard.h"
#include "qm7x/program/status_line.h"
#include "qm7x/ui/userint.h"
#include "trqm7x.h"

namespace qm7x::app {

int Selftest(int /*panel*/, int /*control*/, int event, void* /*callbackData*/, int /*eventData1*/,
             int /*eventData2*/) {
    if (event != ui::EVENT_COMMIT || runInProgress()) {
        return 0;
    }
    clearStatusLine();
    ui::DefaultPanel(stPanel);
    ui::SetCtrlVal(stPanel, ST_MSG_PERIOD, "");
    ui::DisplayPanel(stPanel);

    ViInt16 result = 0;
    // The driver fills a Windows-1251 text; it starts as the demonstration text so that a driver
    // that writes nothing leaves that one.
    const std::string demo = os::ToCp1251("Демо режим");
    std::array<ViChar, TRQM7X_TEXT_LEN + 1> message{};  // one spare byte keeps it terminated
    std::memcpy(message.data(), demo.data(), std::min(demo.size(), std::size_t{TRQM7X_TEXT_LEN}));

    if (mezSession != 0) {
        trqm7x_self_test(mezSession, &result, message.data());  // status not examined
        if (result == 0) {
            ui::DefaultCtrl(stPanel, ST_MSG_PERIOD);
        }
    } else {
        ui::Delay(1.0);
    }
    ui::SetCtrlVal(stPanel, ST_RESULT, static_cast<short>(result));
    ui::SetCtrlVal(stPanel, ST_MSG, os::FromCp1251(message.data()));
    ui::SetCtrlAttribute(stPanel, ST_CLOSE, ui::ATTR_DIMMED, 0);
    return 0;
}

}  // namespace qm7x::app
