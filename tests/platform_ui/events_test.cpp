// Callbacks bound by name, event dispatch, front-end notifications, pop-ups and the clock.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "qm7x/ui/headless.h"
#include "test_resource.h"

namespace qm7x::ui {
namespace {

using namespace test;

struct Calls {
    std::vector<std::string> log;
} calls;

int ButtonCB(int, int control, int event, void*, int, int) {
    calls.log.push_back("button " + std::to_string(control) + " " + std::to_string(event));
    return 0;
}
int NameCB(int, int, int event, void*, int, int) {
    calls.log.push_back("name " + std::to_string(event));
    return 3;
}
int MainPanelCB(int, int event, void*, int, int) {
    calls.log.push_back("panel " + std::to_string(event));
    return 0;
}

class EventsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        calls.log.clear();
        RegisterCallback("buttonCB", &ButtonCB);
        RegisterCallback("nameCB", &NameCB);
        RegisterCallback("mainPanelCB", &MainPanelCB);
        panel = LoadMain();
        ASSERT_GT(panel, 0);
    }
    void TearDown() override { ResetUserInterface(); }
    int panel = 0;
};

TEST_F(EventsTest, CallbacksBoundByNameReceiveTheEvent) {
    EXPECT_EQ(DispatchUserEvent(panel, MAIN_NAME, EVENT_COMMIT), 3);   // the callback's result
    EXPECT_EQ(DispatchUserEvent(panel, MAIN_COUNT, EVENT_COMMIT), 0);  // no callback bound
    // The close box gives the panel its close event and commits its close control.
    EXPECT_EQ(DispatchUserEvent(panel, 0, EVENT_CLOSE), 0);
    EXPECT_EQ(calls.log, (std::vector<std::string>{"name 1", "panel 11", "button 2 1"}));
    EXPECT_EQ(DispatchUserEvent(panel, 77, EVENT_COMMIT), UIEInvalidControl);
    EXPECT_EQ(DispatchUserEvent(9999, MAIN_NAME, EVENT_COMMIT), UIEHandleInvalid);
}

TEST_F(EventsTest, UnregisteredNamesAreListedAndReported) {
    const auto missing = UnregisteredCallbackNames(kResourceName);
    EXPECT_EQ(missing, (std::vector<std::string>{"MAIN.LIST: listCB", "DIALOG.OK: okCB",
                                                 "DIALOG.CANCEL: cancelCB"}));
    EXPECT_EQ(DispatchUserEvent(panel, MAIN_LIST, EVENT_COMMIT), UIECallbackNotRegistered);
    EXPECT_EQ(UnregisteredCallbackNames("nothing.uir").size(), 1u);
}

TEST_F(EventsTest, InstalledCallbackReplacesTheNamedOne) {
    static int data = 42;
    auto fn = [](int, int, int, void* d, int, int) { return *static_cast<int*>(d); };
    ASSERT_EQ(InstallCtrlCallback(panel, MAIN_LIST, fn, &data), 0);
    EXPECT_EQ(DispatchUserEvent(panel, MAIN_LIST, EVENT_COMMIT), 42);
    EXPECT_EQ(InstallCtrlCallback(panel, 99, fn, nullptr), UIEInvalidControl);
}

TEST_F(EventsTest, DiscardTellsTheCallbacksFirst) {
    ASSERT_EQ(DiscardPanel(panel), 0);
    EXPECT_EQ(calls.log, (std::vector<std::string>{"button 2 16", "name 16", "panel 16"}));
}

// Records what the model tells its front end.
class RecordingFrontEnd : public HeadlessFrontEnd {
  public:
    std::vector<std::string> events;
    void PanelLoaded(int p) override { events.push_back("loaded " + std::to_string(p)); }
    void PanelDisplayed(int p) override { events.push_back("displayed " + std::to_string(p)); }
    void PanelHidden(int p) override { events.push_back("hidden " + std::to_string(p)); }
    void PanelDiscarded(int p) override {
        events.push_back("discarded " + std::string(FindPanel(p) ? "readable" : "gone"));
    }
    void PopupInstalled(int p) override { events.push_back("popup " + std::to_string(p)); }
    void PopupRemoved(int p) override { events.push_back("unpopup " + std::to_string(p)); }
    void ControlValueChanged(int, int c) override {
        events.push_back("value " + std::to_string(c));
    }
    void ControlAttributeChanged(int, int c, int a) override {
        events.push_back("attr " + std::to_string(c) + " " + std::to_string(a));
    }
    void ControlItemsChanged(int, int c) override {
        events.push_back("items " + std::to_string(c));
    }
    void TableCellsChanged(int, int c, Rect r) override {
        events.push_back("cells " + std::to_string(c) + " " + std::to_string(r.top) + "," +
                         std::to_string(r.left) + " " + std::to_string(r.height) + "x" +
                         std::to_string(r.width));
    }
    void TextBoxLinesChanged(int, int c) override {
        events.push_back("lines " + std::to_string(c));
    }
    void PanelAttributeChanged(int, int a) override {
        events.push_back("panel attr " + std::to_string(a));
    }
};

TEST_F(EventsTest, FrontEndHearsOfEveryChange) {
    RecordingFrontEnd fe;
    SetFrontEnd(&fe);
    const int dialog = LoadPanel(0, kResourceName, DIALOG);
    ASSERT_GT(dialog, 0);
    const double column[] = {1, 2};
    DisplayPanel(dialog);
    InstallPopup(dialog);
    RemovePopup(0);
    SetCtrlVal(panel, MAIN_COUNT, 2);
    SetCtrlAttribute(panel, MAIN_COUNT, ATTR_DIMMED, 1);
    InsertListItem(panel, MAIN_LIST, -1, "a", 1);
    SetTableCellRangeVals(panel, MAIN_TABLE, MakeRect(1, 2, 2, 1), column, VAL_COLUMN_MAJOR);
    InsertTextBoxLine(panel, MAIN_LOG, -1, "x");
    SetPanelAttribute(panel, ATTR_TITLE, "t");
    HidePanel(dialog);
    DiscardPanel(dialog);
    SetCtrlVal(panel, MAIN_COUNT, 2.5);  // refused: no notification
    const std::string d = std::to_string(dialog);
    EXPECT_EQ(fe.events, (std::vector<std::string>{
                             "loaded " + d, "displayed " + d, "popup " + d, "unpopup " + d,
                             "value 3", "attr 3 500", "items 11", "cells 8 1,2 2x1", "lines 9",
                             "panel attr 800", "hidden " + d, "discarded readable"}));
}

TEST_F(EventsTest, PopupsNeedAFrontEnd) {
    std::string reply;
    std::string path;
    EXPECT_EQ(MessagePopup("t", "m"), UIENoFrontEnd);
    EXPECT_EQ(ConfirmPopup("t", "m"), UIENoFrontEnd);
    EXPECT_EQ(PromptPopup("t", "m", reply, 9), UIENoFrontEnd);
    EXPECT_EQ(FileSelectPopup({}, path), UIENoFrontEnd);
    EXPECT_EQ(ProcessNextEvent(), UIENoFrontEnd);
    EXPECT_EQ(InitUserInterface(0, nullptr), UIEInitFailed);
    EXPECT_EQ(RemovePopup(0), UIENotAPopup);
}

TEST_F(EventsTest, HeadlessAnswersPopupsFromTheScript) {
    HeadlessSession ui;
    EXPECT_EQ(InitUserInterface(0, nullptr), 0);
    ui.frontEnd.AnswerConfirm(true);
    ui.frontEnd.AnswerConfirm(false);
    ui.frontEnd.AnswerPrompt("12345678901");
    ui.frontEnd.CancelPrompt();
    ui.frontEnd.AnswerPrompt("абвгд");

    EXPECT_EQ(MessagePopup("Заголовок", "Текст"), 0);
    EXPECT_EQ(ConfirmPopup("", "Записать коэффициенты?"), 1);
    EXPECT_EQ(ConfirmPopup("", "Записать коэффициенты?"), 0);
    std::string reply;
    EXPECT_EQ(PromptPopup("Сообщение оператору", "U", reply, 9), 0);
    EXPECT_EQ(reply, "123456789");  // cut to the maximum length
    EXPECT_EQ(PromptPopup("Сообщение оператору", "U", reply, 9), UIEUserCancelled);
    EXPECT_EQ(reply, "123456789");  // a cancelled prompt leaves the reply alone
    EXPECT_EQ(PromptPopup("t", "m", reply, 3), 0);
    EXPECT_EQ(reply, "абв");  // characters, not bytes

    EXPECT_EQ(ui.frontEnd.Messages(),
              (std::vector<HeadlessFrontEnd::Message>{{"Заголовок", "Текст"}}));
    EXPECT_EQ(ui.frontEnd.PopupLog().size(), 6u);
    EXPECT_THROW(ConfirmPopup("t", "no answer left"), ScriptExhausted);

    // The operator acts while the prompt is open, before the reply is taken.
    std::string seenDuringPrompt;
    ui.frontEnd.AnswerPrompt([&] { seenDuringPrompt = reply; }, "2");
    EXPECT_EQ(PromptPopup("t", "m", reply, 9), 0);
    EXPECT_EQ(seenDuringPrompt, "абв");
    EXPECT_EQ(reply, "2");

    ui.frontEnd.AnswerPrompt("1");
    EXPECT_THROW(ConfirmPopup("t", "wrong kind"), ScriptError);
}

TEST_F(EventsTest, FileSelectionTellsExistingFromNew) {
    HeadlessSession ui;
    const auto dir = std::filesystem::temp_directory_path();
    const std::string existing = (dir / "qm7x_ui_existing.log").string();
    std::ofstream(existing) << "x";
    const std::string fresh = (dir / "qm7x_ui_surely_missing.log").string();
    std::filesystem::remove(fresh);
    ui.frontEnd.AnswerFileSelect(existing);
    ui.frontEnd.AnswerFileSelect(fresh);
    ui.frontEnd.CancelFileSelect();
    FileSelectOptions options;
    options.defaultFileSpec = "*.log";
    options.title = "Файл протокола";
    std::string path = "before";
    EXPECT_EQ(FileSelectPopup(options, path), VAL_EXISTING_FILE_SELECTED);
    EXPECT_EQ(path, existing);
    EXPECT_EQ(FileSelectPopup(options, path), VAL_NEW_FILE_SELECTED);
    EXPECT_EQ(path, fresh);
    EXPECT_EQ(FileSelectPopup(options, path), VAL_NO_FILE_SELECTED);
    EXPECT_EQ(path, fresh);
    std::filesystem::remove(existing);
}

TEST_F(EventsTest, InitialisationFailureIsReported) {
    HeadlessSession ui;
    ui.frontEnd.FailInitialization(true);
    EXPECT_LT(InitUserInterface(0, nullptr), 0);
}

TEST_F(EventsTest, WaitCursorAndVirtualClock) {
    HeadlessSession ui;
    SetWaitCursor(1);
    EXPECT_TRUE(ui.frontEnd.WaitCursorOn());
    EXPECT_EQ(GetWaitCursor(), 1);
    SetWaitCursor(0);
    EXPECT_FALSE(ui.frontEnd.WaitCursorOn());
    EXPECT_EQ(ui.frontEnd.WaitCursorShownCount(), 1);

    const double start = Timer();
    Delay(30.0);  // instant on the virtual clock
    EXPECT_DOUBLE_EQ(Timer() - start, 30.0);
    Delay(-1.0);
    EXPECT_DOUBLE_EQ(Timer() - start, 30.0);
    ui.clock.Advance(0.5);
    EXPECT_DOUBLE_EQ(Timer() - start, 30.5);
}

TEST_F(EventsTest, VisibleLinesComeFromTheFrontEndWhenItKnowsThem) {
    struct Sized : HeadlessFrontEnd {
        int TextBoxVisibleLines(int, int) override { return 13; }
    } sized;
    int estimated = 0;
    ASSERT_EQ(GetCtrlAttribute(panel, MAIN_LOG, ATTR_VISIBLE_LINES, estimated), 0);
    EXPECT_EQ(estimated, 5);  // 86 pixels high
    SetFrontEnd(&sized);
    int shown = 0;
    ASSERT_EQ(GetCtrlAttribute(panel, MAIN_LOG, ATTR_VISIBLE_LINES, shown), 0);
    EXPECT_EQ(shown, 13);
}

TEST_F(EventsTest, PollingForeverWithNothingToDoFailsLoudly) {
    HeadlessSession ui;
    EXPECT_THROW(
        {
            for (;;) {
                ProcessSystemEvents();
            }
        },
        ScriptExhausted);
}

TEST(RealClock, TimerIsMonotonicAndDelayWaits) {
    const double t0 = Timer();
    Delay(0.01);
    EXPECT_GE(Timer() - t0, 0.009);
}

}  // namespace
}  // namespace qm7x::ui
