// The self-test panel: demonstration outcome, passed and failed tests on the simulated bench, and
// a second run that starts from the panel's defaults.
#include <gtest/gtest.h>

#include <cstring>
#include <optional>

#include "program_panels.h"
#include "qm7x/app/instruments.h"
#include "qm7x/app/selftest.h"
#include "qm7x/app/sessions.h"
#include "qm7x/ui/clock.h"
#include "sim_bench.h"

namespace qm7x::test {
namespace {

constexpr const char* kPeriodText = "Период семплирования мезонина 0.4 мкс";
constexpr const char* kWaitText = "Идёт самоконтроль. Ждите ...";

class SelfTestPanel : public ProgramPanels {
  protected:
    void openMezzanine(const std::string& selfTest) {
        bench_.emplace(std::vector<std::string>{Qm7x("QM7X-S1", 1.0, "self_test: " + selfTest),
                                                EmptyPosition(), EmptyPosition(), EmptyPosition()});
        std::strcpy(app::Instruments[0].rsrcName, kCarrierResource);
        app::CurrentInstr = &app::Instruments[0];
        app::SelMez();
        ASSERT_NE(qm7x::mezSession, 0u);
    }
    static void run() {
        EXPECT_EQ(app::Selftest(qm7x::mpPanel, MP_SELFTEST, ui::EVENT_COMMIT, nullptr, 0, 0), 0);
    }
    static short result() {
        short value = -1;
        ui::GetCtrlVal(qm7x::stPanel, ST_RESULT, value);
        return value;
    }
    static bool closeDimmed() {
        int dimmed = -1;
        ui::GetCtrlAttribute(qm7x::stPanel, ST_CLOSE, ui::ATTR_DIMMED, dimmed);
        return dimmed != 0;
    }
    static bool shown() {
        int visible = 0;
        ui::GetPanelAttribute(qm7x::stPanel, ui::ATTR_VISIBLE, visible);
        return visible != 0;
    }

    std::optional<SimBench> bench_;
};

TEST_F(SelfTestPanel, DemonstrationOutcomeAfterOneSecond) {
    ASSERT_TRUE(closeDimmed());
    ASSERT_GE(ui::SetCtrlVal(qm7x::mpPanel, MP_ERROR_MESSAGE, "старое сообщение"), 0);
    const double start = ui_.clock.Now();
    run();
    EXPECT_DOUBLE_EQ(ui_.clock.Now() - start, 1.0);
    EXPECT_TRUE(shown());
    EXPECT_EQ(result(), 0);
    EXPECT_EQ(text(qm7x::stPanel, ST_MSG), "Демо режим");
    EXPECT_EQ(text(qm7x::stPanel, ST_MSG_PERIOD), "");
    EXPECT_FALSE(closeDimmed());
    EXPECT_EQ(statusLine(), "");
}

TEST_F(SelfTestPanel, PassedTestShowsTheDriversMessageAndThePeriod) {
    openMezzanine("{result: 0, message: \"Самоконтроль пройден\", duration_s: 0}");
    const double start = ui_.clock.Now();
    run();
    EXPECT_EQ(ui_.clock.Now(), start) << "no demonstration wait with a mezzanine";
    EXPECT_EQ(result(), 0);
    EXPECT_EQ(text(qm7x::stPanel, ST_MSG), "Самоконтроль пройден");
    EXPECT_EQ(text(qm7x::stPanel, ST_MSG_PERIOD), kPeriodText);
    EXPECT_FALSE(closeDimmed());
}

TEST_F(SelfTestPanel, FailedTestShowsTheCodeAndTheMessageWithoutThePeriod) {
    openMezzanine("{result: 3, message: \"Ошибка ОЗУ мезонина: адрес 0x0400\", duration_s: 0}");
    run();
    EXPECT_EQ(result(), 3);
    EXPECT_EQ(text(qm7x::stPanel, ST_MSG), "Ошибка ОЗУ мезонина: адрес 0x0400");
    EXPECT_EQ(text(qm7x::stPanel, ST_MSG_PERIOD), "");
    EXPECT_EQ(statusLine(), "") << "a failed self-test is not reported on the status line";
}

// Records what the panel shows while the run waits.
class PanelDuringWait final : public ui::Clock {
  public:
    double Now() override { return now_; }
    void Sleep(double seconds) override {
        now_ += seconds;
        ui::GetCtrlVal(qm7x::stPanel, ST_MSG, msg);
        ui::GetCtrlVal(qm7x::stPanel, ST_MSG_PERIOD, period);
        ui::GetCtrlVal(qm7x::stPanel, ST_RESULT, result);
    }
    std::string msg, period;
    short result = -1;

  private:
    double now_ = 0.0;
};

TEST_F(SelfTestPanel, SecondRunStartsFromTheDefaults) {
    run();
    ASSERT_GE(ui::SetCtrlVal(qm7x::stPanel, ST_RESULT, short{7}), 0);
    PanelDuringWait clock;
    ui::SetClock(&clock);
    run();
    ui::SetClock(&ui_.clock);
    EXPECT_EQ(clock.msg, kWaitText);
    EXPECT_EQ(clock.period, "");
    EXPECT_EQ(clock.result, 0);
    EXPECT_EQ(text(qm7x::stPanel, ST_MSG), "Демо режим");
}

}  // namespace
}  // namespace qm7x::test
