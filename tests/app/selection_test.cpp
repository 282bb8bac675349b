// The instrument selection dialog, as the operator uses it at start-up.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "program_fixture.h"
#include "qm7x/app/instruments.h"
#include "qm7x/app/program.h"
#include "qm7x/app/select_dialog.h"
#include "qm7x/app/sessions.h"

namespace qm7x::test {
namespace {

constexpr const char* kTwoCarriers = R"(
resources:
  - name: "VXI0::8::INSTR"
    interface: vxi
    manufacturer_id: 0xE76
    model_code: 0x10D
    slot: 5
    mainframe_la: 1
    logical_address: 8
    carrier:
      description: "TRHOLDR, крейт 1, слот 5"
      positions:
        - qm7x: {serial: QM7X-0001, eeprom: {factory: default}}
        - {}
        - {}
        - {}
  - name: "USB0::0x0E76::0x1004::1234::INSTR"
    interface: usb
    idn: "ARKOMETRIX,TRHOLDR,1234,2.0"
    carrier:
      description: "Vektrum USB"
      positions:
        - qm7x: {serial: QM7X-0002, eeprom: {factory: default}}
        - {}
        - {}
        - {}
)";

// The dialog's controls, in the order the dialog creates them.
constexpr int kOk = 2;
constexpr int kCancel = 3;
constexpr int kList = 4;

const ui::PanelRef kDialog = ui::PanelRef::Title("Выбор инструмента");

class SelectionTest : public ProgramTest {
  protected:
    void SetUp() override { UseBench(scratch, kTwoCarriers); }

    int runAndExit() {
        script().Commit(Panel(MP), MP_MP_EXIT).Commit(Panel(EXIT_POPUP), EXIT_POPUP_EXIT_YES);
        const int result = app::RunProgram(0, nullptr);
        const auto& dialog = app::SelectDialogControls();
        EXPECT_EQ(dialog.ok, kOk);
        EXPECT_EQ(dialog.cancel, kCancel);
        EXPECT_EQ(dialog.list, kList);
        return result;
    }
};

TEST_F(SelectionTest, CancelLeavesTheProgramInDemonstrationMode) {
    script().Commit(kDialog, kCancel);
    EXPECT_EQ(runAndExit(), 0);
    EXPECT_EQ(app::CurrentInstr, nullptr);
    EXPECT_EQ(qm7x::carrierSession, 0U);
    EXPECT_EQ(qm7x::mezSession, 0U);
    EXPECT_TRUE(frontEnd.Messages().empty()) << "no message after a cancelled choice";
}

TEST_F(SelectionTest, TheWindowsCloseBoxCancels) {
    script().ClosePanel(kDialog);
    EXPECT_EQ(runAndExit(), 0);
    EXPECT_EQ(app::CurrentInstr, nullptr);
    EXPECT_EQ(qm7x::carrierSession, 0U);
}

TEST_F(SelectionTest, DoubleClickChoosesTheCarrierAndOpensIt) {
    script().DoubleClickItem(kDialog, kList, 1);
    EXPECT_EQ(runAndExit(), 0);
    ASSERT_EQ(app::CurrentInstr, &app::Instruments[1]);
    EXPECT_NE(qm7x::carrierSession, 0U);
    EXPECT_EQ(app::CurrentInstr->session, qm7x::carrierSession);
}

TEST_F(SelectionTest, ChooseTakesTheSelectedItem) {
    script()
        .Do("select the second carrier",
            [] { ui::SetCtrlIndex(app::SelectDialogControls().panel, kList, 1); })
        .Commit(kDialog, kOk);
    EXPECT_EQ(runAndExit(), 0);
    EXPECT_EQ(app::CurrentInstr, &app::Instruments[1]);
}

TEST_F(SelectionTest, TheListShowsEachCarrierOnOneLineAndTheMainPanelStaysUsable) {
    std::vector<std::string> labels;
    std::string title;
    int aboutShown = 0;
    script()
        .Do("read the list",
            [&] {
                const int panel = app::SelectDialogControls().panel;
                int count = 0;
                ui::GetNumListItems(panel, kList, count);
                for (int i = 0; i < count; ++i) {
                    ui::GetLabelFromIndex(panel, kList, i, labels.emplace_back());
                }
                ui::GetPanelAttribute(panel, ui::ATTR_TITLE, title);
            })
        .Commit(Panel(MP), MP_ABOUT)
        .Do("look at ABOUT",
            [&] { ui::GetPanelAttribute(qm7x::aboutPanel, ui::ATTR_VISIBLE, aboutShown); })
        .Commit(kDialog, kCancel);
    EXPECT_EQ(runAndExit(), 0);
    const std::vector<std::string> expected = {"Н.М.  Л.А.крейта:0x01, слот:5  (VXI0::8::INSTR)",
                                               "Vektrum, USB (№:1234)"};
    EXPECT_EQ(labels, expected);
    EXPECT_EQ(title, "Выбор инструмента");
    EXPECT_EQ(aboutShown, 1) << "the main panel's buttons work while the dialog is shown";
}

}  // namespace
}  // namespace qm7x::test
