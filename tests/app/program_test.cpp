// The program's start-up, exit and status line, run headless with a scripted operator.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "program_fixture.h"
#include "qm7x/app/instruments.h"
#include "qm7x/app/program.h"
#include "qm7x/app/select_dialog.h"
#include "qm7x/app/sessions.h"
#include "qm7x/os/encoding.h"
#include "trqm7x.h"

namespace qm7x::test {
namespace {

using app::RunProgram;

int run() {
    return RunProgram(0, nullptr);
}

// What the driver says about a status, as the operator reads it.
std::string driverText(int status) {
    std::array<ViChar, TRQM7X_TEXT_LEN + 1> text{};
    trqm7x_error_message(0, status, text.data());
    return os::FromCp1251(text.data());
}

std::string statusText() {
    std::string text;
    ui::GetCtrlVal(qm7x::mpPanel, MP_ERROR_MESSAGE, text);
    return text;
}

int statusColour() {
    int colour = -1;
    ui::GetCtrlAttribute(qm7x::mpPanel, MP_ERROR_MESSAGE, ui::ATTR_TEXT_COLOR, colour);
    return colour;
}

std::string aboutText(int control) {
    std::string text;
    ui::GetCtrlVal(qm7x::aboutPanel, control, text);
    return text;
}

void exitProgram(ui::ScriptedOperator& script) {
    script.Commit(ui::PanelRef::Resource(MP), MP_MP_EXIT)
        .Commit(ui::PanelRef::Resource(EXIT_POPUP), EXIT_POPUP_EXIT_YES);
}

TEST_F(ProgramTest, WithoutInstrumentsTheDemonstrationMessageComesBeforeTheMainPanel) {
    UseNoVisa(scratch);
    std::string softVersion, driverVersion;
    int activePage = -1;
    bool decorBehindTheRest = false;
    script().Do("read the panels", [&] {
        softVersion = aboutText(ABOUT_SOFT_VERSION);
        driverVersion = aboutText(ABOUT_DRVR_VERSION);
        ui::GetActiveTabPage(qm7x::mpPanel, MP_TAB, activePage);
        int decorPlane = -1;
        ui::GetCtrlAttribute(qm7x::ppPanel, PP_DECOR, ui::ATTR_ZPLANE_POSITION, decorPlane);
        decorBehindTheRest = decorPlane > 0;
        for (int control = 2; control <= PP_TEXTMSG; ++control) {
            int plane = -1;
            if (control != PP_DECOR && ui::GetCtrlAttribute(qm7x::ppPanel, control,
                                                            ui::ATTR_ZPLANE_POSITION, plane) >= 0) {
                decorBehindTheRest = decorBehindTheRest && plane < decorPlane;
            }
        }
    });
    exitProgram(script());

    EXPECT_EQ(run(), 0);

    // A VISA library that cannot be loaded is named, with the loader's reason.
    const std::vector<ui::HeadlessFrontEnd::Message> expected = {
        {"Приборная панель носителя мезонинов",
         "Инструмент не найден: библиотека VISA не загружена.\n" +
             (scratch.path() / "libvisa_absent.so").string() +
             ": cannot open shared object file: No such file or directory\n"
             "Панель запускается в демо-режиме."}};
    EXPECT_EQ(frontEnd.Messages(), expected);
    ASSERT_GE(frontEnd.log.size(), 2U);
    EXPECT_EQ(frontEnd.log[0], "message: Приборная панель носителя мезонинов");
    EXPECT_EQ(frontEnd.log[1], "display: MP");
    for (const auto& entry : frontEnd.log) {
        EXPECT_NE(entry, "display: other") << "no selection dialog without instruments";
    }
    EXPECT_EQ(app::CurrentInstr, nullptr);
    EXPECT_EQ(qm7x::carrierSession, 0U);
    EXPECT_EQ(qm7x::mezSession, 0U);
    EXPECT_EQ(softVersion, "1.2.1");
    EXPECT_FALSE(driverVersion.empty());
    EXPECT_EQ(activePage, 0);
    EXPECT_TRUE(decorBehindTheRest);
    EXPECT_GT(qm7x::cpPanel, 0);
    EXPECT_GT(qm7x::ppPanel, 0);
}

TEST_F(ProgramTest, EveryExitRequestShowsTheConfirmationAgain) {
    UseNoVisa(scratch);
    script()
        .Commit(Panel(MP), MP_MP_EXIT)
        .Commit(Panel(EXIT_POPUP), EXIT_POPUP_EXIT_NO)
        .Commit(Panel(MP), MP_MP_EXIT)
        .Commit(Panel(EXIT_POPUP), EXIT_POPUP_EXIT_NO)
        .Commit(Panel(MP), MP_MP_EXIT)
        .Commit(Panel(EXIT_POPUP), EXIT_POPUP_EXIT_YES);

    EXPECT_EQ(run(), 0);

    int shown = 0, removed = 0;
    for (const auto& entry : frontEnd.log) {
        shown += entry == "popup: EXIT_POPUP";
        removed += entry == "popup removed";
    }
    EXPECT_EQ(shown, 3);
    EXPECT_GE(removed, 2);
    EXPECT_TRUE(script().Done());
}

TEST_F(ProgramTest, TheAboutPanelOpensAndCloses) {
    UseNoVisa(scratch);
    int shownAfterOpen = 0, shownAfterClose = 1, shownAfterCloseBox = 1;
    auto aboutShown = [] {
        int visible = 0;
        ui::GetPanelAttribute(qm7x::aboutPanel, ui::ATTR_VISIBLE, visible);
        return visible;
    };
    script()
        .Commit(Panel(MP), MP_ABOUT)
        .Do("look", [&] { shownAfterOpen = aboutShown(); })
        .Commit(Panel(ABOUT), ABOUT_COMMANDBUTTON)
        .Do("look", [&] { shownAfterClose = aboutShown(); })
        .Commit(Panel(MP), MP_ABOUT)
        .ClosePanel(Panel(ABOUT))
        .Do("look", [&] { shownAfterCloseBox = aboutShown(); });
    exitProgram(script());

    EXPECT_EQ(run(), 0);
    EXPECT_EQ(shownAfterOpen, 1);
    EXPECT_EQ(shownAfterClose, 0);
    EXPECT_EQ(shownAfterCloseBox, 0);
}

TEST_F(ProgramTest, StatusLineShowsDriverStatusesInRed) {
    UseNoVisa(scratch);
    struct Seen {
        int result;
        std::string text;
        int colour;
    };
    Seen zero{}, warning{}, error{}, afterOk{};
    const int kWarning = VI_WARN_UNKNOWN_STATUS;
    const int kError = VI_ERROR_TMO;
    script()
        .Do("an informational text", [] { qm7x::showStatusInfo("Идет инициализация"); })
        .Do("status 0",
            [&] {
                zero = {qm7x::checkErr(0), statusText(), statusColour()};
            })
        .Do("a warning",
            [&] {
                warning = {qm7x::checkErr(kWarning), statusText(), statusColour()};
            })
        .Do("an error",
            [&] {
                error = {qm7x::checkErr(kError), statusText(), statusColour()};
            })
        .Commit(Panel(MP), MP_ERROR_MESSAGE_OK)
        .Do("after OK", [&] {
            afterOk = {0, statusText(), statusColour()};
        });
    exitProgram(script());

    EXPECT_EQ(run(), 0);
    EXPECT_EQ(zero.result, 0);
    EXPECT_EQ(zero.text, "Идет инициализация") << "status 0 leaves the line alone";
    EXPECT_EQ(zero.colour, 0xFFFFFF);
    EXPECT_EQ(warning.result, kWarning);
    EXPECT_EQ(warning.text, driverText(kWarning));
    EXPECT_FALSE(warning.text.empty());
    EXPECT_EQ(warning.colour, 0xFF0000);
    EXPECT_EQ(error.result, kError);
    EXPECT_EQ(error.text, driverText(kError));
    EXPECT_EQ(error.colour, 0xFF0000);
    EXPECT_EQ(afterOk.text, "");
    EXPECT_EQ(afterOk.colour, 0xFF0000) << "OK empties the line but keeps its colour";
}

TEST_F(ProgramTest, EveryCallbackOfTheResourceIsBound) {
    UseNoVisa(scratch);
    exitProgram(script());
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(ui::UnregisteredCallbackNames("p_qm7x.uir"), std::vector<std::string>{});
}

TEST_F(ProgramTest, AFailingRunTimeEndsTheProgram) {
    UseNoVisa(scratch);
    frontEnd.FailInitialization(true);
    EXPECT_EQ(run(), -1);
    EXPECT_TRUE(frontEnd.Messages().empty());
}

}  // namespace
}  // namespace qm7x::test
