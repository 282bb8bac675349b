// The "Автомат" page through the real Qt widgets: the operator finds the calibrator, presses
// "Пуск", sees the points fill the page while the other runs are disabled, presses "Стоп"; the
// bench is left at rest and the page says the procedure was stopped.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "p_qm7x.h"
#include "qm7x/app/program.h"
#include "qm7x/app/select_dialog.h"
#include "qm7x/program/panel_handles.h"
#include "qm7x/program/run_guard.h"
#include "qm7x/ui/clock.h"
#include "qm7x/ui/frontend.h"
#include "qm7x/ui/qt/qt_frontend.h"
#include "qm7x/ui/scripted_operator.h"
#include "qt_frontend.h"
#include "world.h"

namespace qm7x::test {
namespace {

namespace fs = std::filesystem;
using namespace qm7x::ui;

template <typename W>
W* WidgetOf(int panel, int control) {
    auto* frontEnd = dynamic_cast<qt::QtFrontEnd*>(GetFrontEnd());
    return qobject_cast<W*>(frontEnd->ControlWidgetOf(panel, control));
}

TEST(AutoPageQt, TheOperatorRunsAndStopsThePlanThroughTheWidgets) {
    const fs::path dir = fs::temp_directory_path() / ("qm7x_auto_qt_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    std::ifstream in(QM7X_DEFAULT_BENCH);
    std::ofstream(dir / "bench.yaml") << std::string(std::istreambuf_iterator<char>(in), {});
    ::setenv("QM7X_BENCH", (dir / "bench.yaml").c_str(), 1);
    ::setenv("QM7X_SIM_STATE_DIR", (dir / "state").c_str(), 1);
    ::setenv("QM7X_VISA_LIBRARY", QM7X_SIM_VISA, 1);
    ASSERT_EQ(::chdir(dir.c_str()), 0);

    int argc = 1;
    char name[] = "auto_page_qt_test";
    char* argv[] = {name, nullptr};
    auto frontEnd = qt::InstallQtFrontEnd(argc, argv);
    const auto mp = PanelRef::Resource(MP);
    const auto click = [](int panel, int control) {
        auto* button = WidgetOf<QPushButton>(panel, control);
        ASSERT_NE(button, nullptr);
        QTest::mouseClick(button, Qt::LeftButton);
    };
    bool stopEnabledWhileRunning = false, manualStartDisabled = false;
    QString firstRows;
    ScriptedOperator script;
    script
        .WaitUntil("the selection dialog is shown",
                   [] { return app::SelectDialogControls().panel > 0; })
        .Do("choose the first carrier",
            [] {
                const auto& dialog = app::SelectDialogControls();
                DispatchUserEvent(dialog.panel, dialog.ok, EVENT_COMMIT);
            })
        .ChooseTabPage(mp, MP_TAB, 2)
        .Do("find the calibrators", [&] { click(apPanel, AP_FIND); })
        .Do("the calibrator is offered",
            [] {
                auto* ring = WidgetOf<QComboBox>(apPanel, AP_CALIBRATOR);
                ASSERT_NE(ring, nullptr);
                ASSERT_EQ(ring->count(), 1);
                EXPECT_TRUE(ring->itemText(0).startsWith("GPIB0::4::INSTR"));
            })
        .Do("press Пуск", [&] { click(apPanel, AP_START); })
        // From here on the steps run inside the procedure's own event processing.
        .WaitUntil("three points are in the table",
                   [] {
                       auto* rows = WidgetOf<QPlainTextEdit>(apPanel, AP_POINTS);
                       return rows != nullptr && rows->blockCount() >= 5;  // title, header, 3
                   })
        .Do("look and press Стоп",
            [&] {
                stopEnabledWhileRunning = WidgetOf<QPushButton>(apPanel, AP_STOP)->isEnabled();
                manualStartDisabled = !WidgetOf<QPushButton>(ppPanel, PP_START)->isEnabled() &&
                                      !WidgetOf<QPushButton>(apPanel, AP_START)->isEnabled();
                firstRows = WidgetOf<QPlainTextEdit>(apPanel, AP_POINTS)->toPlainText();
                click(apPanel, AP_STOP);
            })
        .WaitUntil("the procedure is over", [] { return !runInProgress(); })
        .Do("the page says so and the bench is at rest",
            [] {
                EXPECT_EQ(WidgetOf<QLineEdit>(apPanel, AP_PROGRESS)->text(), "остановлено");
                EXPECT_FALSE(WidgetOf<QPushButton>(apPanel, AP_STOP)->isEnabled());
                EXPECT_TRUE(WidgetOf<QPushButton>(apPanel, AP_START)->isEnabled());
                auto& world = sim::World::Instance();
                auto guard = world.lock();
                EXPECT_FALSE(world.calibrator("GPIB0::4::INSTR")->operate());
                EXPECT_FALSE(world.module("QM7X-0412")->relayIn(1));
            })
        .Commit(mp, MP_MP_EXIT)
        .Commit(PanelRef::Resource(EXIT_POPUP), EXIT_POPUP_EXIT_YES);
    SetOperator(&script);
    EXPECT_EQ(app::RunProgram(argc, argv), 0);
    SetOperator(nullptr);
    EXPECT_TRUE(script.Done()) << script.Pending();
    EXPECT_TRUE(stopEnabledWhileRunning);
    EXPECT_TRUE(manualStartDisabled);
    EXPECT_TRUE(firstRows.contains("Не норма")) << firstRows.toStdString();  // ±9 V on 0412
    fs::remove_all(dir);
}

}  // namespace
}  // namespace qm7x::test
