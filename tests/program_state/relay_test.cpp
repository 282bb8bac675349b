// The input-relay switches of both pages and the driver call behind them.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "program_panels.h"
#include "qm7x/program/channel_relay.h"
#include "qm7x/program/run_guard.h"
#include "qm7x/program/sessions.h"
#include "qm7x/program/status_line.h"
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
    // Without a session the driver answers with its error, which reaches the status line; the
    // relay did not move, and the switch goes back to show it.
    mezSession = 0;
    ui::SetCtrlVal(ppPanel, PP_RELE_SWITCH, 1);
    releSwitch(ppPanel, PP_RELE_SWITCH, ui::EVENT_COMMIT, nullptr, 0, 0);
    EXPECT_EQ(switchValue(cpPanel), 0);
    EXPECT_EQ(switchValue(ppPanel), 0);
    const ViStatus expected = trqm7x_input_trigger(0, 0, 1);
    ASSERT_LT(expected, 0);
    EXPECT_EQ(statusLine(), "Входное реле не включено: " + StatusText(expected));
    EXPECT_EQ(statusColour(), kStatusRed);

    SetReleSwitch(1);
    ui::SetCtrlVal(cpPanel, CP_RELE_SWITCH, 0);  // the operator switches out
    releSwitch(cpPanel, CP_RELE_SWITCH, ui::EVENT_COMMIT, nullptr, 0, 0);
    EXPECT_EQ(switchValue(cpPanel), 1);
    EXPECT_THAT(statusLine(), ::testing::StartsWith("Входное реле не выключено: "));
}

// A refused release leaves both switches showing the relay in, and adds its cause to the reason
// the run ended for.
TEST_F(Relay, ARefusedReleaseShowsTheRelayInOnBothPages) {
    mezSession = 0;
    ui::SetCtrlVal(ppPanel, PP_RELE_SWITCH, 1);
    showStatusError("Калибровка отменена оператором");
    EXPECT_LT(ReleaseRelay(), 0);
    EXPECT_EQ(switchValue(cpPanel), 1);
    EXPECT_EQ(switchValue(ppPanel), 1);
    EXPECT_EQ(statusLine(), "Калибровка отменена оператором; Входное реле не выключено: " +
                                StatusText(trqm7x_input_trigger(0, 0, 0)));
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
