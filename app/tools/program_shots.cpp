// qm7x_program_shots: runs the whole program with the Qt front end and a scripted operator, and
// saves what the operator sees on the way into PNG files: the instrument selection dialog, the
// main panel with a mezzanine open (both pages, the coefficient table filled from its EEPROM),
// the self-test's result, the verification page and the protocol panel after four verification
// points on the three ranges (and a copy of the protocol file, program_protocol.log), the file
// dialog of "файл протокола" with a new name typed, a calibration run of channel 1
// (its prompts open, then the new pair in the table) and the exit question. Message boxes the
// program shows are saved too and then closed, so that the run never waits for a person.
//
//   qm7x_program_shots <output directory>
//
// Run it in a scratch working directory: the verification points append to the protocol file
// "qm7X.log" there. The bench comes from QM7X_BENCH and QM7X_VISA_LIBRARY as for the program;
// QM7X_SHOTS_REFERENCE_FILE, when set, names the bench's reference file (a scratch copy), which
// the calibration's prompts then set to ±9 V on channel 1 of QM7X-0412.
#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "p_qm7x.h"
#include "qm7x/app/program.h"
#include "qm7x/app/select_dialog.h"
#include "qm7x/app/sessions.h"
#include "qm7x/program/panel_handles.h"
#include "qm7x/program/protocol_state.h"
#include "qm7x/program/run_guard.h"
#include "qm7x/ui/qt/qt_frontend.h"
#include "qm7x/ui/scripted_operator.h"
#include "qm7x/ui/userint.h"

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

// The calibration prompts: the main panel behind the open prompt (LED and relay on) and the
// prompt itself are saved; the source is set to the point's voltage when the bench's reference
// file is a scratch copy (QM7X_SHOTS_REFERENCE_FILE), and the voltage is typed.
void AnswerCalibrationPrompts() {
    auto* timer = new QTimer(qApp);  // lives as long as the application
    QObject::connect(timer, &QTimer::timeout, timer, [] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr || qobject_cast<QMessageBox*>(dialog) != nullptr) {
            return;
        }
        auto* edit = dialog->findChild<QLineEdit*>();
        auto* label = dialog->findChild<QLabel*>();
        if (edit == nullptr || label == nullptr) {
            return;
        }
        const bool positive = label->text().contains(QStringLiteral("положительное"));
        const std::string name = positive ? "program_calibration_prompt_positive"
                                          : "program_calibration_prompt_negative";
        Save(qm7x::mpPanel, name + "_main");
        const std::string path = (outputDir / (name + ".png")).string();
        dialog->grab().save(QString::fromStdString(path), "PNG");
        std::printf("%s\n", path.c_str());
        if (const char* reference = std::getenv("QM7X_SHOTS_REFERENCE_FILE")) {
            std::ofstream(reference)
                << "modules:\n  QM7X-0412: [" << (positive ? "9.0" : "-9.0") << ", 0, 0]\n";
        }
        edit->setText(positive ? QStringLiteral("9") : QStringLiteral("-9"));
        dialog->accept();
    });
    timer->start(100);
}

// The file dialog of "файл протокола": saved, then given the name of a new file, typed.
void AnswerFileDialog() {
    auto* timer = new QTimer(qApp);  // lives as long as the application
    QObject::connect(timer, &QTimer::timeout, timer, [] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            return;
        }
        auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
        if (name != nullptr) {
            name->setText(QStringLiteral("новый_протокол.log"));
        }
        const std::string path = (outputDir / "program_new_file_dialog.png").string();
        dialog->grab().save(QString::fromStdString(path), "PNG");
        std::printf("%s\n", path.c_str());
        static_cast<QDialog*>(dialog)->accept();  // the file dialog's own accept checks the name
    });
    timer->start(100);
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
    AnswerCalibrationPrompts();
    AnswerFileDialog();

    const PanelRef dialog = PanelRef::Title("Выбор инструмента");
    const PanelRef mp = PanelRef::Resource(MP);
    const PanelRef pp = PanelRef::Resource(PP);
    const PanelRef cp = PanelRef::Resource(CP);
    const PanelRef ap = PanelRef::Resource(AP);
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
        // Four points on QM7X-0412 with the default reference (5 V, 0.5 V, 0.05 V): the offset
        // of channel 1 with the relay out, then channels 1, 2 and 3 with the relay in.
        .Enter(pp, PP_U, 0.0)
        .Commit(pp, PP_START)
        .Enter(pp, PP_RELE_SWITCH, 1)
        .Enter(pp, PP_U, 5.0)
        .Commit(pp, PP_START)
        .Enter(pp, PP_CHAN, 2)
        .Enter(pp, PP_RELE_SWITCH, 1)
        .Enter(pp, PP_U, 0.5)
        .Commit(pp, PP_START)
        .Enter(pp, PP_CHAN, 3)
        .Enter(pp, PP_RELE_SWITCH, 1)
        .Enter(pp, PP_U, 0.05)
        .Commit(pp, PP_START)
        .Do("save the verification page", [&] { Save(mp.Resolve(), "program_mp_verification"); })
        .Commit(pp, PP_SHOW_LOG)
        .Do("note the time", [&] { verificationStart = Timer(); })
        .WaitUntil(
            "the protocol is shown (or 5 s passed)",
            [&] { return Shown(PanelRef::Resource(CHLP)) || Timer() - verificationStart > 5; })
        .Do("save the protocol and its file",
            [] {
                if (Shown(PanelRef::Resource(CHLP))) {
                    Save(PanelRef::Resource(CHLP).Resolve(), "program_chlp");
                } else {
                    std::printf("no protocol panel after the verification points\n");
                    ++failures;
                }
                std::error_code error;
                std::filesystem::copy_file(
                    qm7x::protocolFileName, outputDir / "program_protocol.log",
                    std::filesystem::copy_options::overwrite_existing, error);
                if (error) {
                    std::fprintf(stderr, "%s: %s\n", qm7x::protocolFileName.c_str(),
                                 error.message().c_str());
                    ++failures;
                } else {
                    std::printf("%s\n", (outputDir / "program_protocol.log").c_str());
                }
            })
        .Commit(pp, PP_FILE_NAME_S)  // the dialog is saved and given a new name meanwhile
        .ChooseTabPage(mp, MP_TAB, 0)
        .Enter(cp, CP_CHAN, 1)
        .Commit(cp, CP_START)
        .WaitUntil("the calibration run is over", [] { return !qm7x::runInProgress(); })
        .Do("save the calibration page after the run",
            [&] { Save(mp.Resolve(), "program_calibration_done"); })
        // The automatic procedure with the bench's calibrator: the standard plan on QM7X-0412,
        // saved mid-plan (from inside the procedure's own event processing) and at its end.
        .ChooseTabPage(mp, MP_TAB, 2)
        .Commit(ap, AP_FIND)
        .Commit(ap, AP_START)
        .WaitUntil("the eighth point is under way",
                   [] {
                       std::string progress;
                       GetCtrlVal(qm7x::apPanel, AP_PROGRESS, progress);
                       return progress == "точка 8 из 21" || !qm7x::runInProgress();
                   })
        .Do("save the automatic page mid-plan", [&] { Save(mp.Resolve(), "program_auto_midplan"); })
        .WaitUntil("the procedure is over", [] { return !qm7x::runInProgress(); })
        .Do("save the automatic page at the end", [&] { Save(mp.Resolve(), "program_auto_done"); })
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
