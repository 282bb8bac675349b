// The input-relay switches of both pages and the driver call behind them.
#include <gtest/gtest.h>

#include "program_panels.h"
#include "qm7x/program/channel_relay.h"
#include "qm7x/program/run_guard.h"
#include "qm7x/program/sessions.h"
#include "sim_bench.h"
#include "trqm7x.h"

namespace qm7x::test {
namespace {

class Relay : public ProgramPanels {};

int switchValue(int panel) {
    int value = -1;
    EXPECT_GE(ui::GetCtrlVal(panel, panel == cpPanel ? CP_RELE_SWITCH : PP_RELE_SWITCH, value), 0);
    return value;
}

TEST_F(Relay, SetReleSwitchMovesBothPagesWithoutTheDriver) {
    SetReleSwitch(1);
    EXPECT_EQ(switchValue(cpPanel), 1);
    EXPECT_EQ(switchValue(ppPanel), 1);
    SetReleSwitch(0);
    EXPECT_EQ(switchValue(cpPanel), 0);
    EXPECT_EQ(switchValue(ppPanel), 0);
}

TEST_F(Relay, SetReleSwitchWithoutTheVerificationPageSetsTheCalibrationPageOnly) {
    const int page = ppPanel;
    ppPanel = 0;
    SetReleSwitch(1);
    ppPanel = page;
    EXPECT_EQ(switchValue(cpPanel), 1);
    EXPECT_EQ(switchValue(ppPanel), 0);
}

TEST_F(Relay, SwitchCallsTheDriverAndLeavesTheOtherPageAlone) {
    // Without a session the driver answers with its error, which reaches the status line.
    mezSession = 0;
    ui::SetCtrlVal(ppPanel, PP_RELE_SWITCH, 1);
    releSwitch(ppPanel, PP_RELE_SWITCH, ui::EVENT_COMMIT, nullptr, 0, 0);
    EXPECT_EQ(switchValue(cpPanel), 0);
    const ViStatus expected = trqm7x_input_trigger(0, 0, 1);
    ASSERT_LT(expected, 0);
    EXPECT_EQ(statusLine(), StatusText(expected));
    EXPECT_EQ(statusColour(), kStatusRed);
}

TEST_F(Relay, SwitchActsOnCommitOnly) {
    releSwitch(ppPanel, PP_RELE_SWITCH, ui::EVENT_VAL_CHANGED, nullptr, 0, 0);
    EXPECT_EQ(statusLine(), "");
}

// A run owns the relay: a switch pressed meanwhile (dimmed, but a front end may still deliver
// it) reaches no driver; without the guard the driver's error would be on the status line.
TEST_F(Relay, SwitchDoesNothingWhileARunIsInProgress) {
    mezSession = 0;
    const RunInProgress run;
    ui::SetCtrlVal(ppPanel, PP_RELE_SWITCH, 1);
    releSwitch(ppPanel, PP_RELE_SWITCH, ui::EVENT_COMMIT, nullptr, 0, 0);
    EXPECT_EQ(statusLine(), "");
}

}  // namespace
}  // namespace qm7x::test
