// qm7x_program_shots: runs the whole program with the Qt front end and a scripted operator, and
// saves what the operator sees on the way into PNG files: the instrument selection dialog, the
// main panel with a mezzanine open (both pages, the coefficient table filled from its EEPROM),
// the self-test's result, the protocol of one verification point and the exit question. Message
// boxes the program shows are saved too and then closed, so that the run never waits for a person.
//
//   qm7x_program_shots <output directory>
//
// Run it in a scratch working directory: the verification point appends to the protocol file
// "qm7X.log" there. The bench comes from QM7X_BENCH and QM7X_VISA_LIBRARY as for the program.
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "p_qm7x.h"
#include "program.h"
#include "qm7x/program/panel_handles.h"
#include "qm7x/ui/qt/qt_frontend.h"
#include "qm7x/ui/scripted_operator.h"
#include "qm7x/ui/userint.h"
#include "select_dialog.h"
#include "sessions.h"

namespace {

using namespace qm7x::ui;

std::filesystem::path outputDir;
int failures = 0;

void Save(int panel, const std::string& name) {
    const std::string path = (outputDir / (name + ".png")).string();
    const int status = SavePanelImage(panel, path);
    if (status < 0) {
        std::fprintf(stderr, "%s: %s\n", path.c_str(), GetUILErrorString(status));
        ++failures;
        return;
    }
    std::printf("%s\n", path.c_str());
}

bool Shown(const PanelRef& ref) {
    const Panel* panel = FindPanel(ref.Resolve());
    return panel != nullptr && panel->visible;
}

// The self-test panel is up and its close button usable: the test has ended.
bool SelftestOver() {
    const PanelRef st = PanelRef::Resource(ST);
    const Control* close = FindControl(st.Resolve(), ST_CLOSE);
    return Shown(st) && close != nullptr && !close->dimmed;
}

// Saves and closes every message box as soon as it is up.
void AnswerMessageBoxes() {
    static int shown = 0;
    auto* timer = new QTimer(qApp);  // lives as long as the application
    QObject::connect(timer, &QTimer::timeout, timer, [] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr) {
            return;
        }
        const std::string path =
            (outputDir / ("program_message_" + std::to_string(++shown) + ".png")).string();
        box->grab().save(QString::fromStdString(path), "PNG");
        std::printf("%s: %s | %s\n", path.c_str(), box->windowTitle().toStdString().c_str(),
                    box->text().toStdString().c_str());
        box->reject();
    });
    timer->start(100);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: qm7x_program_shots <output directory>\n");
        return 2;
    }
    std::setvbuf(stdout, nullptr, _IOLBF, 0);
    outputDir = std::filesystem::absolute(argv[1]);
    std::filesystem::create_directories(outputDir);
    auto frontEnd = qm7x::ui::qt::InstallQtFrontEnd(argc, argv);
    AnswerMessageBoxes();

    const PanelRef dialog = PanelRef::Title("Выбор инструмента");
    const PanelRef mp = PanelRef::Resource(MP);
    const PanelRef pp = PanelRef::Resource(PP);
    ScriptedOperator script;
    double verificationStart = 0;
    double selftestStart = 0;
    script.WaitUntil("the selection dialog is shown", [&] { return Shown(dialog); })
        .Do("save the selection dialog", [&] { Save(dialog.Resolve(), "program_select_dialog"); })
        .Do("choose the first carrier",
            [&] {
                const auto& controls = qm7x::app::SelectDialogControls();
                SetCtrlIndex(controls.panel, controls.list, 0);
                DispatchUserEvent(controls.panel, controls.ok, EVENT_COMMIT);
            })
        .WaitUntil("the main panel is shown", [&] { return Shown(mp); })
        .Do("save the calibration page", [&] { Save(mp.Resolve(), "program_mp_calibration"); })
        .Commit(mp, MP_SELFTEST)
        .Do("note the self-test start", [&] { selftestStart = Timer(); })
        .WaitUntil("the self-test is over (or 30 s passed)",
                   [&] { return SelftestOver() || Timer() - selftestStart > 30; })
        .Do("save and close the self-test panel",
            [] {
                const int st = PanelRef::Resource(ST).Resolve();
                Save(st, "program_selftest");
                if (SelftestOver()) {
                    DispatchUserEvent(st, ST_CLOSE, EVENT_COMMIT);
                } else {
                    std::printf("the self-test did not end in 30 s\n");
                    HidePanel(st);
                }
            })
        .ChooseTabPage(mp, MP_TAB, 1)
        .Enter(pp, PP_U, 5.0)
        .Commit(pp, PP_START)
        .Do("save the verification page", [&] { Save(mp.Resolve(), "program_mp_verification"); })
        .Do("note the time", [&] { verificationStart = Timer(); })
        .WaitUntil(
            "the protocol is shown (or 5 s passed)",
            [&] { return Shown(PanelRef::Resource(CHLP)) || Timer() - verificationStart > 5; })
        .Do("save the protocol",
            [] {
                if (Shown(PanelRef::Resource(CHLP))) {
                    Save(PanelRef::Resource(CHLP).Resolve(), "program_chlp");
                } else {
                    std::printf("no protocol panel after the verification point\n");
                }
            })
        .Do("save the about panel",
            [] {
                DisplayPanel(qm7x::aboutPanel);
                Save(qm7x::aboutPanel, "program_about");
                HidePanel(qm7x::aboutPanel);
            })
        .Commit(mp, MP_MP_EXIT)
        .WaitUntil("the exit question is shown",
                   [] { return Shown(PanelRef::Resource(EXIT_POPUP)); })
        .Do("save the exit question",
            [] { Save(PanelRef::Resource(EXIT_POPUP).Resolve(), "program_exit_popup"); })
        .Commit(PanelRef::Resource(EXIT_POPUP), EXIT_POPUP_EXIT_YES);
    SetOperator(&script);
    // A run that stops making progress says where and ends instead of waiting for a person.
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [&script] {
        std::fprintf(stderr, "no progress; the operator waits at: %s\n", script.Pending().c_str());
        std::_Exit(3);
    });
    watchdog.start(120'000);

    const int result = qm7x::app::RunProgram(argc, argv);
    SetOperator(nullptr);
    if (!script.Done()) {
        std::fprintf(stderr, "the program ended before the step: %s\n", script.Pending().c_str());
        return 1;
    }
    std::printf("mezzanine session: %s\n", qm7x::mezSession != 0 ? "open" : "none (demo)");
    return result == 0 && failures == 0 ? 0 : 1;
}
