// "Смещение 0" and "Сброс" of the main panel, with and without a mezzanine session, and while a
// run is in progress.
#include <gtest/gtest.h>

#include "calibration_fixture.h"
#include "program_panels.h"
#include "qm7x/calibr/calibr_callbacks.h"
#include "qm7x/program/sessions.h"
#include "trqm7x.h"

namespace qm7x::test {
namespace {

constexpr ViStatus kErrorCalibration = static_cast<ViStatus>(0xBFFC080A);
constexpr ViStatus kWarnEepromBlank = static_cast<ViStatus>(0x3FFC0801);

// Without a session: the panels alone, the drivers answering for session 0.
class WithoutSession : public ProgramPanels {
  protected:
    void SetUp() override {
        ProgramPanels::SetUp();
        mezSession = 0;
        ClearDriverCalls();
        ui::SetCtrlVal(mpPanel, MP_ERROR_MESSAGE, std::string("старое сообщение"));
    }
    static void press(int (*callback)(int, int, int, void*, int, int), int control) {
        callback(mpPanel, control, ui::EVENT_COMMIT, nullptr, 0, 0);
    }
};

TEST_F(WithoutSession, ZeroOffsetShowsTheDriversRefusal) {
    press(&calibr::calibrCB, MP_CALIBR);
    EXPECT_EQ(DriverCalls(), std::vector<std::string>{"displacement"});
    EXPECT_EQ(statusLine(), StatusText(trqm7x_displacement(0)));
    EXPECT_EQ(statusColour(), kStatusRed);
    EXPECT_EQ(ui_.frontEnd.WaitCursorShownCount(), 1);
    EXPECT_FALSE(ui_.frontEnd.WaitCursorOn());
}

TEST_F(WithoutSession, ResetWaitsASecondWithoutTheDriver) {
    const double before = ui::Timer();
    press(&calibr::resetCB, MP_RESET);
    EXPECT_DOUBLE_EQ(ui::Timer() - before, 1.0);
    EXPECT_TRUE(DriverCalls().empty());
    EXPECT_EQ(statusLine(), "");
}

TEST_F(WithoutSession, BothActOnTheCommitEventOnly) {
    calibr::calibrCB(mpPanel, MP_CALIBR, ui::EVENT_VAL_CHANGED, nullptr, 0, 0);
    calibr::resetCB(mpPanel, MP_RESET, ui::EVENT_VAL_CHANGED, nullptr, 0, 0);
    EXPECT_TRUE(DriverCalls().empty());
    EXPECT_EQ(statusLine(), "старое сообщение");
}

TEST_F(WithoutSession, NeitherActsWhileARunIsInProgress) {
    const RunInProgress run;
    const double before = ui::Timer();
    press(&calibr::calibrCB, MP_CALIBR);
    press(&calibr::resetCB, MP_RESET);
    EXPECT_TRUE(DriverCalls().empty());
    EXPECT_EQ(ui::Timer(), before);
    EXPECT_EQ(statusLine(), "старое сообщение");
}

// With the mezzanine open: the calls reach it and their statuses are shown.
class WithSession : public CalibrationProgram {
  protected:
    // Presses the button after the selection; returns the status line it leaves.
    std::string pressAfterSelection(int control) {
        std::string status;
        chooseTheInstrument();
        ui_.script
            .Do("put a message on the status line",
                [] {
                    ui::SetCtrlVal(mpPanel, MP_ERROR_MESSAGE, std::string("старое сообщение"));
                    ClearDriverCalls();
                })
            .Commit(mp(), control)
            .Do("read the status line", [&] { status = statusLine(); });
        exitProgram();
        runProgram();
        return status;
    }
};

TEST_F(WithSession, ZeroOffsetAdjustsTheModule) {
    SimBench bench(CalibrationBench());
    // Done, and said so (in white): the button otherwise leaves no trace on the panel.
    EXPECT_EQ(pressAfterSelection(MP_CALIBR),
              "Смещение 0 выполнено: смещения нуля каналов измерены заново");
    EXPECT_EQ(DriverCallsFrom("displacement").front(), "displacement");
    EXPECT_EQ(CountDriverCalls("displacement"), 1);
}

TEST_F(WithSession, AFailedZeroOffsetIsShown) {
    SimBench bench(CalibrationBench(), {{"trqm7x_displacement", kErrorCalibration, 0}});
    EXPECT_EQ(pressAfterSelection(MP_CALIBR), StatusText(kErrorCalibration));
}

TEST_F(WithSession, ResetResetsTheModule) {
    SimBench bench(CalibrationBench());
    EXPECT_EQ(pressAfterSelection(MP_RESET), "");
    EXPECT_EQ(CountDriverCalls("reset"), 1);
}

TEST_F(WithSession, AWarningOfTheResetIsShown) {
    SimBench bench(CalibrationBench(), {{"trqm7x_reset", kWarnEepromBlank, 0}});
    EXPECT_EQ(pressAfterSelection(MP_RESET), StatusText(kWarnEepromBlank));
}

}  // namespace
}  // namespace qm7x::test
