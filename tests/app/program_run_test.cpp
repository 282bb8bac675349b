// The whole program, headless, with a scripted operator on the simulated bench: the position
// ring as the operator uses it, and coefficients stored in one run and shown in the next.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

#include "choose_carrier.h"
#include "p_qm7x.h"
#include "qm7x/app/program.h"
#include "qm7x/app/sessions.h"
#include "qm7x/calibr/coeff_storage.h"
#include "qm7x/program/panel_handles.h"
#include "qm7x/program/protocol_state.h"
#include "qm7x/program/status_line.h"
#include "qm7x/ui/headless.h"
#include "qm7x/ui/userint.h"
#include "scratch_working_directory.h"
#include "sim_bench.h"

namespace qm7x::test {
namespace {

using ::testing::ElementsAre;

const std::vector<std::string> kTwoQm7x{EmptyPosition(), Qm7x("QM7X-R2", 2.0), OtherType(12, true),
                                        Qm7x("QM7X-R4", 4.0)};

std::array<double, 3> testVoltages() {
    std::array<double, 3> values{};
    for (int row = 1; row <= 3; ++row) {
        ui::GetTableCellVal(qm7x::cpPanel, CP_TABLE, ui::MakePoint(4, row), values[row - 1]);
    }
    return values;
}

void chooseTheInstrument(ui::ScriptedOperator& script) {
    ChooseTheFirstCarrier(script);
}

void exitProgram(ui::ScriptedOperator& script) {
    script.Commit(ui::PanelRef::Resource(MP), MP_MP_EXIT)
        .Commit(ui::PanelRef::Resource(EXIT_POPUP), EXIT_POPUP_EXIT_YES);
}

class ProgramRun : public ::testing::Test {
  protected:
    ScratchWorkingDirectory workingDirectory_;
    ui::HeadlessSession ui_;
};

TEST_F(ProgramRun, TheFirstQm7xIsOpenedAndTheRingSwitchesPositions) {
    SimBench bench(kTwoQm7x);
    std::vector<std::string> labels;
    std::array<double, 3> atStart{}, afterSwitch{};
    std::string titleAfterSwitch;
    chooseTheInstrument(ui_.script);
    ui_.script
        .Do("read the ring and the table",
            [&] {
                int count = 0;
                ui::GetNumListItems(qm7x::mpPanel, MP_MEZ_NUM, count);
                for (int i = 0; i < count; ++i) {
                    ui::GetLabelFromIndex(qm7x::mpPanel, MP_MEZ_NUM, i, labels.emplace_back());
                }
                atStart = testVoltages();
            })
        .ChooseItem(ui::PanelRef::Resource(MP), MP_MEZ_NUM, 1)
        .Do("read the table again", [&] {
            afterSwitch = testVoltages();
            titleAfterSwitch = qm7x::protocolTitle;
        });
    exitProgram(ui_.script);

    EXPECT_EQ(app::RunProgram(0, nullptr), 0);

    EXPECT_THAT(ui_.frontEnd.Messages(), ::testing::IsEmpty());
    EXPECT_THAT(labels, ElementsAre("2", "4"));
    EXPECT_THAT(atStart, ElementsAre(2.0, 0.2, 0.02));
    EXPECT_THAT(afterSwitch, ElementsAre(4.0, 0.4, 0.04));
    EXPECT_EQ(titleAfterSwitch,
              "Протокол поверки мезонина QM7X N 4 на TRHOLDR Н.М., крейт 1, слот 5");
}

// The first run stores new test voltages and ends; the second, in a fresh process state on the
// same bench and state directory, shows them.
TEST_F(ProgramRun, StoredCoefficientsAreShownAfterARestart) {
    SimBench firstBench(kTwoQm7x);
    const auto stateDir = firstBench.stateDir();

    const auto storeAndExit = [&] {
        chooseTheInstrument(ui_.script);
        ui_.script.Do("store new test voltages", [&] {
            ui::SetCtrlVal(qm7x::cpPanel, CP_TEST_U, 0.75);
            ui::DispatchUserEvent(qm7x::cpPanel, CP_TEST_U, ui::EVENT_COMMIT);
            ui::SetCtrlIndex(qm7x::cpPanel, CP_RING_LINE, 1);
            ui_.frontEnd.AnswerConfirm(true);
            ui::DispatchUserEvent(qm7x::cpPanel, CP_WRITE_EEPROM, ui::EVENT_COMMIT);
        });
        exitProgram(ui_.script);
        const bool stored = app::RunProgram(0, nullptr) == 0 &&
                            ui_.frontEnd.PendingAnswers() == 0 && ui_.script.Done();
        std::exit(stored ? 0 : 1);
    };
    ASSERT_EXIT(storeAndExit(), ::testing::ExitedWithCode(0), "");

    SimBench secondBench(kTwoQm7x, {}, stateDir);
    std::array<double, 3> shown{};
    int passband = -1;
    chooseTheInstrument(ui_.script);
    ui_.script.Do("read the table", [&] {
        shown = testVoltages();
        ui::GetCtrlIndex(qm7x::cpPanel, CP_RING_LINE, passband);
    });
    exitProgram(ui_.script);

    EXPECT_EQ(app::RunProgram(0, nullptr), 0);

    EXPECT_THAT(shown, ElementsAre(0.75, 0.75, 0.75));
    EXPECT_EQ(passband, 1);
}

}  // namespace
}  // namespace qm7x::test
