// However the automatic procedure ends (completion, "Стоп", a calibrator's fault of any kind, a
// driver's fault), the calibrator is in standby, the input relays are out, the LED is off, and the
// cause is on the status line.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <utility>

#include "choose_carrier.h"
#include "program_fixture.h"
#include "qm7x/app/program.h"
#include "qm7x/procedure/procedure.h"
#include "qm7x/program/panel_handles.h"
#include "qm7x/program/run_guard.h"
#include "qm7x/program/sessions.h"
#include "qm7x/ui/clock.h"
#include "world.h"

namespace qm7x::test {
namespace {

using procedure::Ending;
using ::testing::HasSubstr;

constexpr const char* kCalibratorResource = "GPIB0::4::INSTR";

struct SafeEndingCase {
    const char* name;
    const char* faults;  // bench faults
    procedure::CalibrateMode mode;
    int stopAfterPoints;  // "Стоп" after this many points; 0: never
    Ending ending;
    const char* cause;  // part of the status line
};

void PrintTo(const SafeEndingCase& param, std::ostream* os) {
    *os << param.name;
}

class SafeEndings : public ::testing::TestWithParam<SafeEndingCase> {
  protected:
    void SetUp() override {
        std::ifstream in(QM7X_DEFAULT_BENCH);
        std::string bench((std::istreambuf_iterator<char>(in)), {});
        bench.resize(bench.find("\nfaults:") + 1);
        UseBench(scratch_, bench + "faults:\n" + GetParam().faults);
        ASSERT_EQ(::chdir(scratch_.path().c_str()), 0);
    }

    ScratchDir scratch_;
    ui::HeadlessSession ui_;
};

TEST_P(SafeEndings, LeaveTheBenchAtRestAndSayWhy) {
    const SafeEndingCase& param = GetParam();
    procedure::Plan plan;
    for (const auto& [channel, volts] : {std::pair{1, 9.0}, {1, -9.0}, {2, 0.5}}) {
        procedure::PlanPoint point;
        point.channel = channel;
        point.volts = volts;
        plan.points.push_back(point);
    }
    procedure::ProcedureOutcome outcome;
    int points = 0;
    std::string status;
    bool calibratorOperate = true, relayIn = true;
    int led = 1, relaySwitch = 1;
    ChooseTheFirstCarrier(ui_.script).Do("run the procedure", [&] {
        procedure::DcCalibrator calibrator;
        ASSERT_EQ(calibrator.open(kCalibratorResource), std::nullopt);
        procedure::ProcedureEvents events;
        events.pointTaken = [&](const procedure::PointFacts& point) {
            ++points;
            // The facts a results store and a certificate take: the calibrator and the data
            // sheet's accuracy of the setting, which the bench's calibrator keeps.
            EXPECT_EQ(point.phase, param.mode == procedure::CalibrateMode::never
                                       ? procedure::Phase::verification
                                       : procedure::Phase::asFound);
            EXPECT_EQ(point.calibratorIdentity, "ARKOMETRIX,DCC-22,0042,1.3");
            auto& world = sim::World::Instance();
            auto guard = world.lock();
            EXPECT_EQ(point.calibratorAccuracyV,
                      world.calibrator(kCalibratorResource)->accuracyV(point.un));
        };
        events.stopRequested = [&] {
            return param.stopAfterPoints != 0 && points >= param.stopAfterPoints;
        };
        outcome = procedure::RunProcedure(calibrator, plan, param.mode, events);
        auto& world = sim::World::Instance();
        auto guard = world.lock();
        calibratorOperate = world.calibrator(kCalibratorResource)->operate();
        const auto* module = world.module("QM7X-0412");
        relayIn = module->relayIn(1) || module->relayIn(2) || module->relayIn(3);
        ui::GetCtrlVal(cpPanel, CP_LED, led);
        ui::GetCtrlVal(ppPanel, PP_RELE_SWITCH, relaySwitch);
        ui::GetCtrlVal(mpPanel, MP_ERROR_MESSAGE, status);
        EXPECT_FALSE(runInProgress());
    });
    // The procedure processes events while it runs: the exit waits for its end.
    ui_.script.WaitUntil("the procedure is over", [] { return !runInProgress(); })
        .Commit(ui::PanelRef::Resource(MP), MP_MP_EXIT)
        .Commit(ui::PanelRef::Resource(EXIT_POPUP), EXIT_POPUP_EXIT_YES);
    ui::SetClock(nullptr);
    EXPECT_EQ(app::RunProgram(0, nullptr), 0);
    EXPECT_TRUE(ui_.script.Done()) << ui_.script.Pending();

    EXPECT_EQ(outcome.ending, param.ending) << outcome.cause;
    EXPECT_THAT(outcome.cause, HasSubstr(param.cause));
    if (!outcome.cause.empty()) {
        EXPECT_THAT(status, HasSubstr(param.cause));
    }
    EXPECT_FALSE(calibratorOperate);
    EXPECT_FALSE(relayIn);
    EXPECT_EQ(led, 0);
    EXPECT_EQ(relaySwitch, 0);
}

constexpr const char* kNone = "  []\n";
INSTANTIATE_TEST_SUITE_P(
    Procedure, SafeEndings,
    ::testing::Values(
        SafeEndingCase{"Completion", kNone, procedure::CalibrateMode::never, 0, Ending::failed, ""},
        SafeEndingCase{"Stop", kNone, procedure::CalibrateMode::never, 1, Ending::stopped,
                       "остановлена оператором"},
        SafeEndingCase{"NoReply",
                       "  - {calibrator: GPIB0::4::INSTR, command: \"*OPC?\", fault: no_reply, "
                       "call: 2}\n",
                       procedure::CalibrateMode::never, 0, Ending::notRun,
                       "Калибратор GPIB0::4::INSTR, команда «*OPC?»: VI_ERROR_TMO"},
        SafeEndingCase{"QueuedError",
                       "  - {calibrator: GPIB0::4::INSTR, command: OUTP, fault: error, error: "
                       "'-330,\"Self-test failed\"', call: 2}\n",
                       procedure::CalibrateMode::never, 0, Ending::notRun,
                       "команда «OUTP OFF»: ошибка калибратора -330,\"Self-test failed\""},
        SafeEndingCase{"RefusedSetting",
                       "  - {calibrator: GPIB0::4::INSTR, command: SOUR:VOLT, fault: refused, "
                       "call: 3}\n",
                       procedure::CalibrateMode::never, 0, Ending::notRun,
                       "команда «SOUR:VOLT 0.5»: ошибка калибратора -221,\"Settings conflict\""},
        SafeEndingCase{"DriverFault",
                       "  - {operation: trqm7x_start, status: TRQM7X_ERROR_BUSY, call: 2}\n",
                       procedure::CalibrateMode::never, 0, Ending::notRun, "Точка 2 не измерена"},
        SafeEndingCase{"FaultDuringCalibration",
                       "  - {calibrator: GPIB0::4::INSTR, command: \"*OPC?\", fault: no_reply, "
                       "call: 4}\n",
                       procedure::CalibrateMode::always, 0, Ending::notRun, "VI_ERROR_TMO"}),
    [](const auto& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace qm7x::test
