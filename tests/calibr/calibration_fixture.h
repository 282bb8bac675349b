// The whole program, headless, on a bench written by the test, with the driver calls recorded:
// what the calibration tests share.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "choose_carrier.h"
#include "driver_calls.h"
#include "p_qm7x.h"
#include "qm7x/app/program.h"
#include "qm7x/program/coeff_record.h"
#include "qm7x/program/panel_handles.h"
#include "qm7x/program/run_guard.h"
#include "qm7x/ui/headless.h"
#include "qm7x/ui/userint.h"
#include "scratch_working_directory.h"
#include "sim_bench.h"

namespace qm7x::test {

// True gains of the module the tests calibrate (channel 3 keeps the nominal ones).
inline constexpr double kTrueGainPos1 = 1.2e-6, kTrueGainNeg1 = 1.18e-6;
inline constexpr double kTrueGainPos2 = 1.19e-7, kTrueGainNeg2 = 1.2e-7;

// A QM7X at position 1 whose true gains differ from its factory record; noise-free, no offsets.
inline std::string CalibrationModule(const std::string& acquisition = "instant") {
    return Qm7x("QM7X-C1", 9.0,
                "acquisition: " + acquisition +
                    ", channels: [{range_v: 10, gain_pos_v_per_code: 1.2e-6, "
                    "gain_neg_v_per_code: 1.18e-6}, {range_v: 1, gain_pos_v_per_code: 1.19e-7, "
                    "gain_neg_v_per_code: 1.2e-7}, {range_v: 0.1}]");
}
inline std::vector<std::string> CalibrationBench(const std::string& acquisition = "instant") {
    return {CalibrationModule(acquisition), EmptyPosition(), EmptyPosition(), EmptyPosition()};
}

class CalibrationProgram : public ::testing::Test {
  protected:
    ui::PanelRef mp() const { return ui::PanelRef::Resource(MP); }
    ui::PanelRef cp() const { return ui::PanelRef::Resource(CP); }

    // The selection dialog's first carrier, whose first QM7X the program then opens.
    void chooseTheInstrument() { ChooseTheFirstCarrier(ui_.script); }
    // Presses "Пуск" of the calibration page and waits until the run is over.
    void calibrate() {
        ui_.script.Do("forget the calls so far", [] { ClearDriverCalls(); })
            .Commit(cp(), CP_START)
            .WaitUntil("the run is over", [] { return !runInProgress(); });
    }
    // Presses "Пуск" once the program is up and waits until the run is over: what the press
    // returned, the status line right after it, and the bench at rest by then.
    void pressStartAndWait(int& result, std::string& status) {
        ui_.script.Do("press Пуск", [&] {
            ClearDriverCalls();
            result = ui::DispatchUserEvent(cpPanel, CP_START, ui::EVENT_COMMIT);
            status = statusLine();
            expectBenchAtRest();
        });
        ui_.script.WaitUntil("the run is over", [] { return !runInProgress(); });
    }
    void exitProgram() {
        ui_.script.Commit(mp(), MP_MP_EXIT)
            .Commit(ui::PanelRef::Resource(EXIT_POPUP), EXIT_POPUP_EXIT_YES);
    }
    // Runs the program through the script; every step and every scripted answer must be used.
    void runProgram() {
        EXPECT_EQ(app::RunProgram(0, nullptr), 0);
        EXPECT_TRUE(ui_.script.Done()) << ui_.script.Pending();
        EXPECT_EQ(ui_.frontEnd.PendingAnswers(), 0u);
    }

    static double cell(int column, int row) {
        double value = 0;
        EXPECT_GE(ui::GetTableCellVal(cpPanel, CP_TABLE, ui::MakePoint(column, row), value), 0);
        return value;
    }
    static int value(int panel, int control) {
        int v = -1;
        EXPECT_GE(ui::GetCtrlVal(panel, control, v), 0);
        return v;
    }
    static std::string statusLine() {
        std::string text;
        ui::GetCtrlVal(mpPanel, MP_ERROR_MESSAGE, text);
        return text;
    }
    // Relay released and shown so on both pages, LED off: how every run must end.
    static void expectBenchAtRest() {
        EXPECT_EQ(value(cpPanel, CP_RELE_SWITCH), 0);
        EXPECT_EQ(value(ppPanel, PP_RELE_SWITCH), 0);
        EXPECT_EQ(value(cpPanel, CP_LED), 0);
        const auto& calls = DriverCalls();
        const auto lastRelay = std::find_if(calls.rbegin(), calls.rend(), [](const auto& c) {
            return c.starts_with("input_trigger");
        });
        ASSERT_NE(lastRelay, calls.rend());
        EXPECT_EQ(*lastRelay, "input_trigger 0 0");
    }

    ScratchWorkingDirectory workingDirectory_;
    ui::HeadlessSession ui_;
};

}  // namespace qm7x::test
