// The verification run on simulated benches: a complete point, the deadline and the time-out, the
// driver's failures at each step, the tolerance that reaches the protocol, the page's controls,
// and a run without a mezzanine.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "qm7x/program/channel_relay.h"
#include "qm7x/ui/clock.h"
#include "qm7x/ui/radio_group.h"
#include "qm7x/verify/verification_run.h"
#include "run_fixture.h"
#include "trqm7x.h"

namespace qm7x::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

constexpr ViStatus kParameter1 = static_cast<ViStatus>(0xBFFC0001);
constexpr ViStatus kParameter2 = static_cast<ViStatus>(0xBFFC0002);
constexpr ViStatus kParameter3 = static_cast<ViStatus>(0xBFFC0003);
constexpr ViStatus kParameter4 = static_cast<ViStatus>(0xBFFC0004);
constexpr ViStatus kWarning = static_cast<ViStatus>(0x3FFC0801);

const std::string kTitle = "Протокол поверки мезонина QM7X N 1 на TRHOLDR Н.М., крейт 1, слот 5";
const std::string kStampLine = "Время:9:5:7, Дата: 12-6-2026 ";

// Moves on by `step` every time the program reads it: a wait that polls Timer() ends.
class SteppingClock final : public ui::Clock {
  public:
    explicit SteppingClock(double step) : step_(step) {}
    double Now() override { return now_ += step_; }
    void Sleep(double seconds) override { now_ += seconds; }
    double Peek() const { return now_; }

  private:
    double step_;
    double now_ = 100.0;
};

class Run : public VerificationRun {};

TEST_F(Run, CompletePointIsJudgedRecordedAndTheRelaysSwitchedOut) {
    open(Module("QM7X-V1", "instant"));
    bench().SetReference(5.0, 0.0, 0.0);
    enter(PP_U, 5.0);
    relayIn();
    EXPECT_EQ(switchState(qm7x::cpPanel), 0);  // the verification page's switch moves only its own
    ui::SetCtrlVal(qm7x::cpPanel, CP_RELE_SWITCH, 1);
    start();

    EXPECT_EQ(statusLine(), "");
    EXPECT_THAT(protocolLines(),
                ElementsAre(kTitle, kStampLine, "период семплирования 2.000e-04 с         Канал 1",
                            HasSubstr("Результат"), ::testing::EndsWith("0.050%   Норма"), ""));
    EXPECT_THAT(rows().front(), ::testing::StartsWith("5.0000000e+00, 4.99999"));
    EXPECT_EQ(switchState(qm7x::ppPanel), 0);
    EXPECT_EQ(switchState(qm7x::cpPanel), 0);
    EXPECT_EQ(value(qm7x::ppPanel, PP_U), 0.0);
    EXPECT_EQ(qm7x::curChan, 1);
    EXPECT_EQ(ui_.frontEnd.WaitCursorShownCount(), 2);  // the selection's load, then the run
    EXPECT_FALSE(ui_.frontEnd.WaitCursorOn());
    EXPECT_EQ(qm7x::protocolFileName, protocolPath_.string());
    // A second point follows in the same protocol, without a new title.
    enter(PP_U, 5.0);
    relayIn();
    start();
    EXPECT_EQ(rows().size(), 2u);
    const auto lines = protocolLines();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), kTitle), 1);
}

// With the relay out the input is grounded: such a point would record 0 V against the voltage
// typed. It is not measured, and the status line says why.
TEST_F(Run, WithTheRelayOutNothingIsMeasuredOrRecorded) {
    open(Module("QM7X-V1", "instant"));
    bench().SetReference(5.0, 0.0, 0.0);
    enter(PP_U, 5.0);
    start();
    EXPECT_EQ(statusLine(), verify::kRelayOut);
    EXPECT_EQ(statusColour(), kStatusRed);
    EXPECT_THAT(rows(), IsEmpty());
    EXPECT_EQ(value(qm7x::ppPanel, PP_U), 5.0);
}

// A switch-in the driver refuses leaves the switch showing the relay out, and "Пуск" then
// measures nothing instead of a grounded point.
TEST_F(Run, ARefusedSwitchInShowsTheRelayOutAndNoPointIsMeasured) {
    open(Module("QM7X-V1", "instant"), {{"trqm7x_input_trigger", kParameter3, 1}});
    bench().SetReference(5.0, 0.0, 0.0);
    enter(PP_U, 5.0);
    relayIn();
    EXPECT_EQ(switchState(qm7x::ppPanel), 0);
    EXPECT_EQ(statusLine(), "Входное реле не включено: " + StatusText(kParameter3));
    start();
    EXPECT_EQ(statusLine(), verify::kRelayOut);
    EXPECT_THAT(rows(), IsEmpty());
    EXPECT_EQ(qm7x::protocolFileName, "");  // no protocol was opened for it
}

// A module whose blocks never complete: the run polls until the deadline and gives up.
class TimeOut : public VerificationRun {
  protected:
    void SetUp() override {
        VerificationRun::SetUp();
        ui::SetClock(&clock_);
    }
    void TearDown() override {
        ui::SetClock(&ui_.clock);
        VerificationRun::TearDown();
    }
    // Virtual seconds the run took.
    double timedRun() {
        const double before = clock_.Peek();
        start();
        return clock_.Peek() - before;
    }
    SteppingClock clock_{1e-4};
};

TEST_F(TimeOut, DeadlineOfTheDefaultPageIsOneSecondAndTheBlock) {
    open(Module("QM7X-V9", "never"));
    enter(PP_U, 1.5);
    relayIn();
    const double took = timedRun();
    EXPECT_GE(took, 1.02);
    EXPECT_LE(took, 1.02 + 3e-4);
    EXPECT_EQ(statusLine(), verify::kTimedOut);
    EXPECT_EQ(statusColour(), kStatusRed);
    // No read, no entry, no relay change, U kept: the protocol holds its opening only.
    EXPECT_THAT(protocolLines(), ElementsAre(kTitle, kStampLine));
    EXPECT_EQ(value(qm7x::ppPanel, PP_U), 1.5);
    EXPECT_EQ(switchState(qm7x::ppPanel), 1);
    EXPECT_FALSE(ui_.frontEnd.WaitCursorOn());
}

TEST_F(TimeOut, DeadlineFollowsThePeriod) {
    open(Module("QM7X-V9", "never"));
    enter(PP_PERIOD, 0.001);  // a 0.1-s block
    relayIn();
    const double took = timedRun();
    EXPECT_GE(took, 1.1);
    EXPECT_LE(took, 1.1 + 3e-4);
    EXPECT_EQ(statusLine(), verify::kTimedOut);
}

TEST_F(Run, TimeShowsTheBlockOnlyAfterStart) {
    open(Module("QM7X-V1", "instant"));
    enter(PP_PERIOD, 0.001);
    EXPECT_DOUBLE_EQ(value(qm7x::ppPanel, PP_TIME), 0.02);
    relayIn();
    start();
    EXPECT_DOUBLE_EQ(value(qm7x::ppPanel, PP_TIME), 0.1);
    EXPECT_THAT(protocolLines(),
                ::testing::Contains(HasSubstr("период семплирования 1.000e-03 с")));
}

// Step k of the set-up fails while every later one would fail too, each with its own status: the
// message shown is step k's, so steps 0..k are made in this order before the later ones.
const std::vector<Fault> kSetUpSteps{{"trqm7x_mode_block", kParameter1},
                                     {"trqm7x_sample_period", kParameter2},
                                     {"trqm7x_config_chans", kParameter3},
                                     {"trqm7x_start", kParameter4}};

class SetUpStep : public VerificationRun, public ::testing::WithParamInterface<std::size_t> {};

TEST_P(SetUpStep, IsMadeInOrderAndItsFailureEndsTheRun) {
    const std::size_t step = GetParam();
    open(Module("QM7X-V1", "instant"),
         {kSetUpSteps.begin() + static_cast<long>(step), kSetUpSteps.end()});
    enter(PP_U, 2.5);
    relayIn();
    start();
    EXPECT_EQ(statusLine(), StatusText(kSetUpSteps[step].status));
    EXPECT_EQ(statusColour(), kStatusRed);
    EXPECT_THAT(rows(), IsEmpty());
    EXPECT_EQ(value(qm7x::ppPanel, PP_U), 2.5);
    EXPECT_EQ(switchState(qm7x::ppPanel), 1);
}

INSTANTIATE_TEST_SUITE_P(Run, SetUpStep, ::testing::Range<std::size_t>(0, 4));

TEST_F(Run, WarningOfADriverStepIsShownAndTheRunGoesOn) {
    open(Module("QM7X-V1", "instant"), {{"trqm7x_sample_period", kWarning}});
    bench().SetReference(5.0, 0.0, 0.0);
    enter(PP_U, 5.0);
    relayIn();
    start();
    EXPECT_EQ(statusLine(), StatusText(kWarning));
    EXPECT_THAT(rows(), ElementsAre(::testing::EndsWith("Норма")));
}

TEST_F(Run, FailingFirstStateQueryEndsTheRunWithTheDriversMessage) {
    open(Module("QM7X-V1", "instant"), {{"trqm7x_state", VI_ERROR_TMO, 1}});
    enter(PP_U, 2.5);
    relayIn();
    start();
    EXPECT_EQ(statusLine(), StatusText(VI_ERROR_TMO));  // not the time-out text
    EXPECT_THAT(rows(), IsEmpty());
    EXPECT_EQ(value(qm7x::ppPanel, PP_U), 2.5);
    EXPECT_EQ(switchState(qm7x::ppPanel), 1);
}

TEST_F(Run, FailedReadLeavesTheRelayAndMakesNoEntry) {
    open(Module("QM7X-V1", "instant"), {{"trqm7x_read_block", kParameter2}});
    enter(PP_U, 2.5);
    relayIn();
    start();
    EXPECT_EQ(statusLine(), StatusText(kParameter2));
    EXPECT_THAT(rows(), IsEmpty());
    EXPECT_EQ(value(qm7x::ppPanel, PP_U), 2.5);
    EXPECT_EQ(switchState(qm7x::ppPanel), 1);
}

TEST_F(Run, FailedSwitchOutShowsTheRelayInOnBothPagesAndMakesNoEntry) {
    // Call 1 is the operator's switch-in, call 2 the run's switch-out.
    open(Module("QM7X-V1", "instant"), {{"trqm7x_input_trigger", kParameter3, 2}});
    enter(PP_U, 2.5);
    relayIn();
    start();
    EXPECT_EQ(statusLine(), "Входное реле не выключено: " + StatusText(kParameter3));
    EXPECT_THAT(rows(), IsEmpty());
    EXPECT_EQ(switchState(qm7x::ppPanel), 1);
    EXPECT_EQ(switchState(qm7x::cpPanel), 1);
    EXPECT_EQ(value(qm7x::ppPanel, PP_U), 2.5);
}

TEST_F(Run, WithoutAMezzanineNothingIsMeasuredOrRecorded) {
    // Demonstration mode: no session; the sample buffer would hold numbers no acquisition made.
    ui::SetCtrlVal(qm7x::ppPanel, PP_FILE_NAME, (::testing::TempDir() + "qm7x_demo.log"));
    std::filesystem::remove(::testing::TempDir() + "qm7x_demo.log");
    enter(PP_U, 1.0);
    enter(PP_PERIOD, 0.001);
    start();
    EXPECT_EQ(statusLine(), verify::kNoMezzanine);
    EXPECT_EQ(statusColour(), kStatusRed);
    EXPECT_EQ(verify::ChlpPanel(verify::kProtocolLog), 0);
    EXPECT_EQ(qm7x::protocolFileName, "");
    EXPECT_FALSE(std::filesystem::exists(::testing::TempDir() + "qm7x_demo.log"));
    EXPECT_DOUBLE_EQ(value(qm7x::ppPanel, PP_TIME), 0.1);
    EXPECT_EQ(value(qm7x::ppPanel, PP_U), 1.0);
    EXPECT_FALSE(ui_.frontEnd.WaitCursorOn());
}

TEST_F(Run, ChannelOutsideOneToThreeIsRefused) {
    open(Module("QM7X-V1", "instant"));
    ui::SetCtrlAttribute(qm7x::ppPanel, PP_CHAN, ui::ATTR_MAX_VALUE, 5.0);  // a widened field
    enter(PP_CHAN, 4);
    enter(PP_U, 1.0);
    relayIn();
    start();
    EXPECT_EQ(statusLine(), "Неверный номер канала: 4 (канал 1, 2 или 3)");
    EXPECT_THAT(rows(), IsEmpty());
    EXPECT_EQ(value(qm7x::ppPanel, PP_U), 1.0);
}

// ---- The tolerance that reaches the protocol
// -----------------------------------------------------

TEST_F(Run, ChannelTwoInTheOneVoltRangeWithTheTemperatureAllowance) {
    open(Module("QM7X-V1", "instant"));
    bench().SetReference(0.0, 0.5, 0.0);
    enter(PP_CHAN, 2);
    enter(PP_U, 0.5);
    relayIn();
    start();
    EXPECT_NEAR(verify::uLimits[2], 0.0004, 1e-15);
    EXPECT_EQ(verify::lastAllowance, 0.0);
    EXPECT_THAT(rows().back(), HasSubstr(", 0.080%   "));  // 100 x 0.0004 / 0.5

    press(PP_TEMPERATURE_40);
    enter(PP_U, 0.5);
    relayIn();
    start();
    EXPECT_NEAR(verify::uLimits[2] + verify::lastAllowance, 0.00076, 1e-15);
    EXPECT_THAT(rows().back(), HasSubstr(", 0.152%   "));
    EXPECT_THAT(verify::uLimits, ElementsAre(0.5, 0.0025, ::testing::DoubleNear(0.0004, 1e-15),
                                             ::testing::DoubleNear(0.00035, 1e-15)));
}

TEST_F(Run, GivenTemperatureAllowance) {
    open(Module("QM7X-V1", "instant"));
    press(PP_TEMPERATURE_ANY);
    for (const auto& [t, allowance] : std::vector<std::pair<int, double>>{
             {21, 0.0}, {25, 0.00006}, {18, 0.0}, {22, 0.0}, {40, 0.00036}}) {
        SCOPED_TRACE(t);
        enter(PP_TEMPERATURE, t);
        enter(PP_U, 1.0);
        relayIn();
        start();
        EXPECT_NEAR(verify::lastAllowance, allowance, 1e-15);
    }
}

TEST_F(Run, WideBandGivesEveryChannelAShareOfItsRange) {
    open(Module("QM7X-V1", "instant"));
    ui::SetCtrlIndex(qm7x::cpPanel, CP_RING_LINE, 1);
    enter(PP_U, 0.7);
    relayIn();
    start();
    EXPECT_THAT(verify::uLimits,
                ElementsAre(0.7, 0.005, 0.0005, ::testing::DoubleNear(5e-5, 1e-18)));
}

// ---- The page's controls
// ---------------------------------------------------------------------------

TEST_F(Run, TemperatureButtonsAreOneChoiceAndTheFieldFollowsGiven) {
    const std::array<int, 4> group{PP_TEMPERATURE_5, PP_TEMPERATURE_20, PP_TEMPERATURE_40,
                                   PP_TEMPERATURE_ANY};
    const auto selected = [&] {
        int s = 0;
        ui::GetSelectedRadioButtons(qm7x::ppPanel, group, s);
        return s;
    };
    const auto dimmed = [] {
        int d = -1;
        ui::GetCtrlAttribute(qm7x::ppPanel, PP_TEMPERATURE, ui::ATTR_DIMMED, d);
        return d;
    };
    EXPECT_EQ(selected(), PP_TEMPERATURE_20);
    EXPECT_EQ(dimmed(), 1);
    press(PP_TEMPERATURE_ANY);
    EXPECT_EQ(selected(), PP_TEMPERATURE_ANY);
    EXPECT_EQ(dimmed(), 0);
    press(PP_TEMPERATURE_5);
    EXPECT_EQ(selected(), PP_TEMPERATURE_5);
    EXPECT_EQ(dimmed(), 1);
    int any = -1;
    ui::GetCtrlVal(qm7x::ppPanel, PP_TEMPERATURE_ANY, any);
    EXPECT_EQ(any, 0);
}

}  // namespace
}  // namespace qm7x::test
