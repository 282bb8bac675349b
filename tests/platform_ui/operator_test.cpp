// The scripted operator: steps run from the program's own event loops, nested ones included.
#include <gtest/gtest.h>

#include "qm7x/ui/headless.h"
#include "test_resource.h"

namespace qm7x::ui {
namespace {

using namespace test;

// A dialog in the style of the instrument selection: shown, then events processed until hidden.
int dialogPanel = 0;
int dialogResult = 0;
std::vector<std::string> trace;

int OkCB(int panel, int, int event, void*, int, int) {
    if (event == EVENT_COMMIT) {
        dialogResult = 1;
        HidePanel(panel);
    }
    return 0;
}
int CancelCB(int panel, int, int event, void*, int, int) {
    if (event == EVENT_COMMIT) {
        dialogResult = -1;
        HidePanel(panel);
    }
    return 0;
}
int RunDialog() {
    dialogResult = 0;
    DisplayPanel(dialogPanel);
    const Panel* p = nullptr;
    while ((p = FindPanel(dialogPanel)) && p->visible) {
        ProcessSystemEvents();
    }
    return dialogResult;
}
int ButtonCB(int, int, int event, void*, int, int) {
    if (event == EVENT_COMMIT) {
        trace.push_back("dialog says " + std::to_string(RunDialog()));
    }
    return 0;
}
int NameCB(int panel, int control, int event, void*, int, int) {
    if (event == EVENT_COMMIT) {
        std::string s;
        GetCtrlVal(panel, control, s);
        trace.push_back("name " + s);
    }
    return 0;
}
int ListCB(int panel, int control, int event, void*, int, int) {
    int value = 0;
    GetCtrlVal(panel, control, value);
    trace.push_back("list " + std::to_string(event) + " " + std::to_string(value));
    return 0;
}

class OperatorTest : public ::testing::Test {
  protected:
    void SetUp() override {
        trace.clear();
        RegisterCallback("buttonCB", &ButtonCB);
        RegisterCallback("nameCB", &NameCB);
        RegisterCallback("listCB", &ListCB);
        RegisterCallback("okCB", &OkCB);
        RegisterCallback("cancelCB", &CancelCB);
        RegisterCallback("mainPanelCB", [](int, int, void*, int, int) { return 0; });
        panel = LoadMain();
        dialogPanel = LoadPanel(0, kResourceName, DIALOG);
        ASSERT_GT(panel, 0);
        ASSERT_GT(dialogPanel, 0);
        DisplayPanel(panel);
    }
    HeadlessSession ui;
    int panel = 0;
};

// The program's main loop, blocking between events.
void MainLoop(const bool& quit) {
    while (!quit) {
        ProcessNextEvent();
    }
}

TEST_F(OperatorTest, NestedLoopsProgressAsWithAPerson) {
    bool quit = false;
    ui.script
        .Commit(PanelRef::Resource(MAIN), MAIN_BUTTON)      // opens the dialog (nested loop)
        .Commit(PanelRef::Resource(DIALOG), DIALOG_CANCEL)  // answered inside the nested loop
        .Enter(PanelRef::Handle(panel), MAIN_NAME, std::string("proto.log"))
        .Commit(PanelRef::Title("Main"), MAIN_BUTTON)
        .Commit(PanelRef::Title("Dialog"), DIALOG_OK)
        .Do("quit", [&] { quit = true; });
    MainLoop(quit);
    EXPECT_EQ(trace,
              (std::vector<std::string>{"dialog says -1", "name proto.log", "dialog says 1"}));
    EXPECT_TRUE(ui.script.Done());
    EXPECT_EQ(ui.script.Performed().size(), 6u);
}

TEST_F(OperatorTest, ItemsAreChosenAndDoubleClicked) {
    InsertListItem(panel, MAIN_LIST, -1, "a", 5);
    InsertListItem(panel, MAIN_LIST, -1, "b", 6);
    bool quit = false;
    ui.script.ChooseItem(PanelRef::Handle(panel), MAIN_LIST, 1)
        .DoubleClickItem(PanelRef::Handle(panel), MAIN_LIST, 0)
        .Do("quit", [&] { quit = true; });
    MainLoop(quit);
    EXPECT_EQ(trace, (std::vector<std::string>{"list 2 6", "list 1 6", "list 4 5"}));
}

TEST_F(OperatorTest, TypedValuesFollowTheFieldsType) {
    bool quit = false;
    ui.script
        .Enter(PanelRef::Handle(panel), MAIN_COUNT, 2.0)  // whole number into an int field
        .Enter(PanelRef::Handle(panel), MAIN_VOLTS, 1)    // integer into a double field
        .Enter(PanelRef::Handle(panel), MAIN_SWITCH, 1)
        .ChooseTabPage(PanelRef::Handle(panel), MAIN_TAB, 1)
        .SetCell(PanelRef::Handle(panel), MAIN_TABLE, MakePoint(3, 2), 7.5)
        .Do("quit", [&] { quit = true; });
    MainLoop(quit);
    int count = 0;
    double volts = 0;
    int on = 0;
    int page = 0;
    double cell = 0;
    GetCtrlVal(panel, MAIN_COUNT, count);
    GetCtrlVal(panel, MAIN_VOLTS, volts);
    GetCtrlVal(panel, MAIN_SWITCH, on);
    GetActiveTabPage(panel, MAIN_TAB, page);
    GetTableCellVal(panel, MAIN_TABLE, MakePoint(3, 2), cell);
    EXPECT_EQ(count, 2);
    EXPECT_DOUBLE_EQ(volts, 0.026214);  // coerced as the field would
    EXPECT_EQ(on, 1);
    EXPECT_EQ(page, 1);
    EXPECT_EQ(cell, 7.5);
}

TEST_F(OperatorTest, StepsWaitForTheirPanelAndForModalPopups) {
    bool quit = false;
    ui.script.Do("show the dialog as a pop-up", [&] { InstallPopup(dialogPanel); })
        .Enter(PanelRef::Handle(panel), MAIN_NAME, std::string("late"))  // waits for the pop-up
        .Do("quit", [&] { quit = true; });
    ProcessSystemEvents();  // installs the pop-up
    ProcessSystemEvents();  // the next step is covered by the pop-up
    EXPECT_EQ(ui.script.Remaining(), 2u);
    EXPECT_NE(ui.script.Pending().find("covered by the pop-up \"Dialog\""), std::string::npos);
    RemovePopup(0);
    MainLoop(quit);
    EXPECT_EQ(trace, (std::vector<std::string>{"name late"}));
}

TEST_F(OperatorTest, WaitingForTheOperatorWithNothingLeftFailsLoudly) {
    EXPECT_THROW(ProcessNextEvent(), ScriptExhausted);
    // A step that waits for a panel nobody will show.
    HidePanel(panel);
    ui.script.Commit(PanelRef::Handle(panel), MAIN_BUTTON);
    try {
        ProcessNextEvent();
        FAIL() << "no exception";
    } catch (const ScriptError& e) {
        EXPECT_NE(std::string(e.what()).find("is not shown"), std::string::npos) << e.what();
    }
    // A bounded wait only passes the (virtual) time.
    const double t0 = Timer();
    ui.script.WaitUntil("two seconds passed", [&] { return Timer() - t0 >= 2.0; });
    ResetUserInterface();
}

TEST_F(OperatorTest, BoundedWaitsPassVirtualTime) {
    const double t0 = Timer();
    bool quit = false;
    ui.script.WaitUntil("a second passed", [&] { return Timer() - t0 >= 1.0; }).Do("quit", [&] {
        quit = true;
    });
    while (!quit) {
        ProcessNextEvent();
    }
    EXPECT_GE(Timer() - t0, 1.0);
    EXPECT_LT(Timer() - t0, 1.1);
}

TEST_F(OperatorTest, ControlsAPersonCannotOperateAreRefused) {
    struct Case {
        int control;
        const char* why;
    } cases[] = {{MAIN_SHORT, "dimmed"}, {MAIN_MSG, "cannot be operated"}, {99, "no control"}};
    for (const Case& c : cases) {
        ui.script.Commit(PanelRef::Handle(panel), c.control);
        try {
            ProcessSystemEvents();
            ADD_FAILURE() << "control " << c.control << " was operated";
        } catch (const ScriptError& e) {
            EXPECT_NE(std::string(e.what()).find(c.why), std::string::npos) << e.what();
        }
    }
    SetCtrlAttribute(panel, MAIN_NAME, ATTR_CTRL_MODE, VAL_INDICATOR);
    ui.script.Enter(PanelRef::Handle(panel), MAIN_NAME, std::string("x"));
    EXPECT_THROW(ProcessSystemEvents(), ScriptError);
}

TEST_F(OperatorTest, ClosingAPanelCommitsItsCloseControl) {
    bool quit = false;
    RegisterCallback("buttonCB", [](int, int, int event, void*, int, int) {
        trace.push_back("close control " + std::to_string(event));
        return 0;
    });
    ui.script.ClosePanel(PanelRef::Handle(panel)).Do("quit", [&] { quit = true; });
    MainLoop(quit);
    EXPECT_EQ(trace, (std::vector<std::string>{"close control 1"}));
}

TEST_F(OperatorTest, ResizingGivesThePanelItsSizeEvent) {
    bool quit = false;
    // Keeps the text box filling the panel to its lower right corner.
    RegisterCallback("mainPanelCB", [](int p, int event, void*, int, int) {
        if (event == EVENT_PANEL_SIZE) {
            int width = 0;
            int height = 0;
            int top = 0;
            int left = 0;
            GetPanelAttribute(p, ATTR_WIDTH, width);
            GetPanelAttribute(p, ATTR_HEIGHT, height);
            GetCtrlAttribute(p, MAIN_LOG, ATTR_TOP, top);
            GetCtrlAttribute(p, MAIN_LOG, ATTR_LEFT, left);
            SetCtrlAttribute(p, MAIN_LOG, ATTR_HEIGHT, height - top);
            SetCtrlAttribute(p, MAIN_LOG, ATTR_WIDTH, width - left);
        }
        return 0;
    });
    SetCtrlAttribute(panel, MAIN_LOG, ATTR_TOP, 30);
    ui.script.ResizePanel(PanelRef::Handle(panel), 900, 700).Do("quit", [&] { quit = true; });
    MainLoop(quit);
    const Control* log = FindControl(panel, MAIN_LOG);
    EXPECT_EQ(log->geometry.height, 670);
    EXPECT_EQ(log->geometry.width, 900);
}

// The operator drives any front end, not only the headless one.
class PlainFrontEnd : public HeadlessFrontEnd {
  public:
    int waits = 0;
    int WaitForEvents(double) override {
        ++waits;
        return 0;
    }
};

TEST(OperatorWithAnyFrontEnd, StepsRunFromTheFrontEndsEventLoop) {
    PlainFrontEnd fe;
    ScriptedOperator script;
    SetFrontEnd(&fe);
    SetOperator(&script);
    RegisterResource(kResourceName, kResource);
    const int panel = LoadPanel(0, kResourceName, MAIN);
    int seen = 0;
    script.WaitUntil("the panel is shown", [&] { return FindPanel(panel)->visible; })
        .Do("count", [&] { ++seen; });
    ProcessNextEvent();  // not ready: the front end waits a little and the step is retried
    EXPECT_EQ(fe.waits, 1);
    DisplayPanel(panel);
    ProcessNextEvent();
    ProcessNextEvent();
    EXPECT_EQ(seen, 1);
    ResetUserInterface();
}

}  // namespace
}  // namespace qm7x::ui
