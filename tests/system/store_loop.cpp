// The program headless on the bench the environment names (QM7X_BENCH, QM7X_SIM_STATE_DIR,
// QM7X_VISA_LIBRARY), for scripts/kill-loop:
//   qm7x_store_loop store   chooses the first carrier and stores a record of its own into the
//                           module's EEPROM again and again, until it is killed;
//   qm7x_store_loop open    chooses the first carrier, prints the status line, exits.
#include <cstdio>
#include <string>

#include "choose_carrier.h"
#include "p_qm7x.h"
#include "qm7x/app/program.h"
#include "qm7x/program/panel_handles.h"
#include "qm7x/ui/headless.h"
#include "qm7x/ui/userint.h"

int main(int argc, char** argv) {
    using namespace qm7x;
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode != "store" && mode != "open") {
        std::fprintf(stderr, "usage: qm7x_store_loop store|open\n");
        return 64;
    }
    ui::HeadlessSession session;
    test::ChooseTheFirstCarrier(session.script);
    if (mode == "store") {
        session.script.Do("store again and again", [&] {
            for (long i = 1;; ++i) {
                // A test voltage of its own: every store writes a record of its own.
                ui::SetCtrlVal(cpPanel, CP_TEST_U, 0.5 + 1e-6 * static_cast<double>(i));
                ui::DispatchUserEvent(cpPanel, CP_TEST_U, ui::EVENT_COMMIT);
                session.frontEnd.AnswerConfirm(true);
                ui::DispatchUserEvent(cpPanel, CP_WRITE_EEPROM, ui::EVENT_COMMIT);
                std::string status;
                ui::GetCtrlVal(mpPanel, MP_ERROR_MESSAGE, status);
                std::printf("store %ld%s%s\n", i, status.empty() ? "" : ": ", status.c_str());
                std::fflush(stdout);
            }
        });
    } else {
        session.script.Do("print the status line", [] {
            std::string status;
            ui::GetCtrlVal(mpPanel, MP_ERROR_MESSAGE, status);
            std::printf("status: %s\n", status.c_str());
        });
    }
    session.script.Commit(ui::PanelRef::Resource(MP), MP_MP_EXIT)
        .Commit(ui::PanelRef::Resource(EXIT_POPUP), EXIT_POPUP_EXIT_YES);
    return app::RunProgram(0, nullptr);
}
