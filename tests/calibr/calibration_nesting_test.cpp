// A calibration run processes events while it waits. Whatever would start other work on the same
// session meanwhile is dimmed, and its callback, delivered anyway (as a misbehaving front end
// could), starts nothing.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <utility>

#include "calibration_fixture.h"
#include "qm7x/calibr/calibr_callbacks.h"
#include "qm7x/program/sessions.h"

namespace qm7x::test {
namespace {

// What the operator could press during a run that would start work on the session or leave it.
std::vector<std::pair<int, int>> interfering() {
    return {{mpPanel, MP_MEZ_NUM},    {mpPanel, MP_MEZ_SELECT},  {mpPanel, MP_RESET},
            {mpPanel, MP_CALIBR},     {mpPanel, MP_SELFTEST},    {mpPanel, MP_MP_EXIT},
            {cpPanel, CP_START},      {cpPanel, CP_READ_EEPROM}, {cpPanel, CP_WRITE_EEPROM},
            {cpPanel, CP_RESET_CF},   {ppPanel, PP_START},       {ppPanel, PP_FILE_NAME_S},
            {ppPanel, PP_RELE_SWITCH}};
}

class NoNestedRuns : public CalibrationProgram {};

TEST_F(NoNestedRuns, WhatWouldInterfereIsDimmedAndStartsNothingWhenDeliveredAnyway) {
    SimBench bench(CalibrationBench());
    bench.writeReference("channels_v: [9, 0, 0]\n");
    ui_.frontEnd.AnswerPrompt("9");
    ui_.frontEnd.AnswerPrompt([&] { bench.writeReference("channels_v: [-9, 0, 0]\n"); }, "-9");
    std::vector<std::string> notDimmed;
    std::vector<std::string> callsBeforePresses, callsAfterPresses;
    ViSession sessionBefore = 0, sessionAfter = 0;
    int exitAsked = -1;
    std::vector<std::string> pressedWhileRunning;
    chooseTheInstrument();
    ui_.script.Commit(cp(), CP_START);
    // Runs at the run's first poll: the first block is being acquired.
    ui_.script.Do("press everything during the run", [&] {
        ASSERT_TRUE(runInProgress());
        for (const auto& [panel, control] : interfering()) {
            int dimmed = 0;
            ui::GetCtrlAttribute(panel, control, ui::ATTR_DIMMED, dimmed);
            if (dimmed == 0) {
                notDimmed.push_back(ui::FindControl(panel, control)->constant);
            }
        }
        sessionBefore = mezSession;
        callsBeforePresses = DriverCalls();
        for (const auto& [panel, control] : interfering()) {
            // The ring and the switch are delivered as the operator would leave them.
            if (control == MP_MEZ_NUM) {
                ui::SetCtrlIndex(panel, control, 0);
            }
            if (control == PP_RELE_SWITCH) {
                ui::SetCtrlVal(panel, control, 1);
            }
            ui::DispatchUserEvent(panel, control, ui::EVENT_COMMIT);
        }
        callsAfterPresses = DriverCalls();
        sessionAfter = mezSession;
        exitAsked = exitRequested;
    });
    ui_.script.WaitUntil("the run is over", [] { return !runInProgress(); })
        .Do("the run completed", [&] {
            EXPECT_NEAR(firstGain(coeffCopy, 1), kTrueGainPos1, kTrueGainPos1 * 1e-6);
            expectBenchAtRest();
            // Everything is usable again.
            for (const auto& [panel, control] : interfering()) {
                int dimmed = 1;
                ui::GetCtrlAttribute(panel, control, ui::ATTR_DIMMED, dimmed);
                EXPECT_EQ(dimmed, 0) << ui::FindControl(panel, control)->constant;
            }
        });
    exitProgram();
    runProgram();

    EXPECT_THAT(notDimmed, ::testing::IsEmpty());
    // No driver call came from the presses, no session changed, no pop-up but the run's prompts
    // (a store would have asked its question, a verification run its protocol file), and the
    // exit question came only when asked after the run.
    EXPECT_EQ(callsAfterPresses, callsBeforePresses);
    EXPECT_EQ(sessionAfter, sessionBefore);
    EXPECT_EQ(exitAsked, 0);
    ASSERT_EQ(ui_.frontEnd.PopupLog().size(), 2u);
    EXPECT_EQ(CountDriverCalls("extcalibr"), 1);
}

// The run refuses to start inside another run, even with the button delivered by hand.
TEST_F(NoNestedRuns, ASecondPressOfPuskDuringARunIsRefused) {
    SimBench bench(CalibrationBench());
    bench.writeReference("channels_v: [9, 0, 0]\n");
    ui_.frontEnd.AnswerPrompt("9");
    ui_.frontEnd.AnswerPrompt([&] { bench.writeReference("channels_v: [-9, 0, 0]\n"); }, "-9");
    int nestedResult = -1;
    int resetsBefore = 0, resetsAfter = 0;
    chooseTheInstrument();
    ui_.script.Commit(cp(), CP_START);
    ui_.script.Do("press Пуск again", [&] {
        resetsBefore = CountDriverCalls("reset");
        nestedResult = calibr::calibrPoint(cpPanel, CP_START, ui::EVENT_COMMIT, nullptr, 0, 0);
        resetsAfter = CountDriverCalls("reset");
    });
    ui_.script.WaitUntil("the run is over", [] { return !runInProgress(); });
    exitProgram();
    runProgram();

    EXPECT_EQ(nestedResult, 0);
    EXPECT_EQ(resetsAfter, resetsBefore);
    EXPECT_EQ(CountDriverCalls("extcalibr"), 1);
}

}  // namespace
}  // namespace qm7x::test
