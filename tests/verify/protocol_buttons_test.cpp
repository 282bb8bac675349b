// The protocol as the operator meets it on the verification page: "файл протокола", "Протокол",
// the protocol panel, a protocol file that cannot be written, a new mezzanine selection, and a
// run that nothing can interrupt or repeat while it is in progress.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "run_fixture.h"
#include "verification_run.h"

namespace qm7x::test {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

class ProtocolButtons : public VerificationRun {
  protected:
    // One complete point at 5 V on channel 1.
    void point() {
        enter(PP_U, 5.0);
        relayIn();
        start();
    }
    static bool visible(int panel) {
        int shown = 0;
        return panel > 0 && ui::GetPanelAttribute(panel, ui::ATTR_VISIBLE, shown) >= 0 &&
               shown != 0;
    }
    static std::string fileName() {
        std::string name;
        ui::GetCtrlVal(qm7x::ppPanel, PP_FILE_NAME, name);
        return name;
    }
    static int textBoxLines() {
        int lines = 0;
        ui::GetNumTextBoxLines(verify::ChlpPanel(verify::kProtocolLog), CHLP_LOG, lines);
        return lines;
    }
    static std::string read(const std::filesystem::path& path) {
        std::ifstream file(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(file), {}};
    }
};

TEST_F(ProtocolButtons, ProtocolBeforeAnyRunShowsNothing) {
    open(Module("QM7X-V1", "instant"));
    press(PP_SHOW_LOG);
    EXPECT_EQ(verify::ChlpPanel(verify::kProtocolLog), 0);
    EXPECT_EQ(ui::PanelRef::Resource(CHLP).Resolve(), 0);  // never loaded
}

TEST_F(ProtocolButtons, ProtocolAfterARunShowsThePanelWithTheEntries) {
    open(Module("QM7X-V1", "instant"));
    bench().SetReference(5.0, 0, 0);
    point();
    const int panel = verify::ChlpPanel(verify::kProtocolLog);
    EXPECT_FALSE(visible(panel));  // lines arrive while it is hidden
    press(PP_SHOW_LOG);
    EXPECT_TRUE(visible(panel));
    std::string title;
    ui::GetPanelAttribute(panel, ui::ATTR_TITLE, title);
    EXPECT_EQ(title, qm7x::protocolTitle);
    EXPECT_EQ(textBoxLines(), 3 + 5);
    // "Закрыть" hides it; the protocol stays open.
    ui::DispatchUserEvent(panel, CHLP_COMMANDBUTTON_2, ui::EVENT_COMMIT);
    EXPECT_FALSE(visible(panel));
    EXPECT_EQ(verify::ChlpPanel(verify::kProtocolLog), panel);
}

TEST_F(ProtocolButtons, TextBoxFillsTheResizedPanel) {
    open(Module("QM7X-V1", "instant"));
    point();
    const int panel = verify::ChlpPanel(verify::kProtocolLog);
    ui::SetPanelAttribute(panel, ui::ATTR_WIDTH, 1000);
    ui::SetPanelAttribute(panel, ui::ATTR_HEIGHT, 700);
    ui::DispatchUserEvent(panel, 0, ui::EVENT_PANEL_SIZE);
    int top = 0, left = 0, width = 0, height = 0;
    ui::GetCtrlAttribute(panel, CHLP_LOG, ui::ATTR_TOP, top);
    ui::GetCtrlAttribute(panel, CHLP_LOG, ui::ATTR_LEFT, left);
    ui::GetCtrlAttribute(panel, CHLP_LOG, ui::ATTR_WIDTH, width);
    ui::GetCtrlAttribute(panel, CHLP_LOG, ui::ATTR_HEIGHT, height);
    EXPECT_EQ(left + width, 1000);
    EXPECT_EQ(top + height, 700);
}

TEST_F(ProtocolButtons, ChoosingAFileWithNoProtocolOpenOnlyNamesIt) {
    open(Module("QM7X-V1", "instant"));
    const auto chosen = protocolPath_.parent_path() / "chosen.log";
    ui_.frontEnd.AnswerFileSelect(chosen.string());
    press(PP_FILE_NAME_S);
    EXPECT_EQ(fileName(), chosen.string());
    EXPECT_EQ(qm7x::protocolFileName, "");
    EXPECT_EQ(verify::ChlpPanel(verify::kProtocolLog), 0);
    EXPECT_FALSE(std::filesystem::exists(chosen));
    EXPECT_THAT(ui_.frontEnd.PopupLog(), ElementsAre(HasSubstr("file: Файл протокола | *.log")));
    // The next run opens the protocol under that name.
    point();
    EXPECT_THAT(read(chosen), HasSubstr(os::ToCp1251("Канал 1")));
}

TEST_F(ProtocolButtons, ChoosingTheSameFileChangesNothingAndCancelNothingAtAll) {
    open(Module("QM7X-V1", "instant"));
    point();
    const int panel = verify::ChlpPanel(verify::kProtocolLog);
    const std::string before = protocol();
    ui_.frontEnd.AnswerFileSelect(protocolPath_.string());
    press(PP_FILE_NAME_S);
    ui_.frontEnd.CancelFileSelect();
    press(PP_FILE_NAME_S);
    EXPECT_EQ(protocol(), before);
    EXPECT_EQ(verify::ChlpPanel(verify::kProtocolLog), panel);
    EXPECT_EQ(qm7x::protocolFileName, protocolPath_.string());
    EXPECT_EQ(fileName(), protocolPath_.string());
}

TEST_F(ProtocolButtons, ChoosingAnotherFileReopensTheProtocolThere) {
    open(Module("QM7X-V1", "instant"));
    point();
    const int oldPanel = verify::ChlpPanel(verify::kProtocolLog);
    const std::string firstFile = protocol();
    const auto other = protocolPath_.parent_path() / "other.log";
    ui_.frontEnd.AnswerFileSelect(other.string());
    press(PP_FILE_NAME_S);
    EXPECT_EQ(qm7x::protocolFileName, other.string());
    EXPECT_EQ(fileName(), other.string());
    EXPECT_NE(verify::ChlpPanel(verify::kProtocolLog), oldPanel);
    EXPECT_LT(ui::SetPanelAttribute(oldPanel, ui::ATTR_TITLE, "x"), 0);  // discarded
    EXPECT_EQ(read(other), os::ToCp1251(qm7x::protocolTitle + "\nВремя:9:5:7, Дата: 12-6-2026 \n"));
    point();
    EXPECT_EQ(protocol(), firstFile);  // the later entry went to the new file
    EXPECT_THAT(read(other), HasSubstr(os::ToCp1251("Канал 1")));
}

TEST_F(ProtocolButtons, NewMezzanineSelectionStartsANewProtocolInTheSameFile) {
    open(Module("QM7X-V1", "instant"));
    point();
    app::selMezonin(qm7x::mpPanel, MP_MEZ_NUM, ui::EVENT_COMMIT, nullptr, 0, 0);
    EXPECT_EQ(verify::ChlpPanel(verify::kProtocolLog), 0);
    EXPECT_EQ(qm7x::protocolFileName, "");
    ui::SetCtrlVal(qm7x::ppPanel, PP_FILE_NAME, protocolPath_.string());
    point();
    const auto lines = protocolLines();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), qm7x::protocolTitle), 2);
    EXPECT_EQ(rows().size(), 2u);
}

TEST_F(ProtocolButtons, UnwritableProtocolFileIsToldOnceAndTheEntriesReachThePanel) {
    open(Module("QM7X-V1", "instant"));
    const auto unreachable = protocolPath_.parent_path() / "no such folder" / "qm7X.log";
    ui::SetCtrlVal(qm7x::ppPanel, PP_FILE_NAME, unreachable.string());
    point();
    EXPECT_THAT(statusLine(), HasSubstr(unreachable.string()));
    point();
    EXPECT_THAT(ui_.frontEnd.Messages(), ElementsAre(ui::HeadlessFrontEnd::Message{
                                             verify::kOpenFailedTitle, verify::kOpenFailedText}));
    EXPECT_EQ(textBoxLines(), 3 + 2 * 5);
    EXPECT_FALSE(std::filesystem::exists(unreachable));
    EXPECT_EQ(qm7x::protocolFileName, unreachable.string());
}

// Acts from inside the run: the pop-up of a protocol file that cannot be opened is shown while the
// run is in progress, as a person could press buttons while a message box is up.
class MeddlingFrontEnd : public ui::HeadlessFrontEnd {
  public:
    int startDimmed = -1;
    int selectDimmed = -1;
    ViSession sessionAfter = 0;

    void ShowMessage(std::string_view title, std::string_view message) override {
        HeadlessFrontEnd::ShowMessage(title, message);
        ui::GetCtrlAttribute(qm7x::ppPanel, PP_START, ui::ATTR_DIMMED, startDimmed);
        ui::GetCtrlAttribute(qm7x::mpPanel, MP_MEZ_SELECT, ui::ATTR_DIMMED, selectDimmed);
        ui::DispatchUserEvent(qm7x::ppPanel, PP_START, ui::EVENT_COMMIT);
        ui::DispatchUserEvent(qm7x::mpPanel, MP_MEZ_SELECT, ui::EVENT_COMMIT);
        ui::DispatchUserEvent(qm7x::ppPanel, PP_FILE_NAME_S, ui::EVENT_COMMIT);
        sessionAfter = qm7x::mezSession;
    }
};

TEST_F(ProtocolButtons, NothingDuringARunStartsAnotherOrChangesTheMezzanine) {
    open(Module("QM7X-V1", "instant"));
    MeddlingFrontEnd meddler;
    ui::SetFrontEnd(&meddler);
    const ViSession session = qm7x::mezSession;
    ui::SetCtrlVal(qm7x::ppPanel, PP_FILE_NAME,
                   (protocolPath_.parent_path() / "absent" / "p.log").string());
    point();
    ui::SetFrontEnd(&ui_.frontEnd);
    EXPECT_EQ(meddler.Messages().size(), 1u);  // no second run opened the protocol again
    EXPECT_EQ(meddler.startDimmed, 1);
    EXPECT_EQ(meddler.selectDimmed, 1);
    EXPECT_EQ(meddler.sessionAfter, session);
    EXPECT_EQ(qm7x::mezSession, session);
    EXPECT_EQ(meddler.PendingAnswers(), 0u);  // no file selection was asked for
    EXPECT_EQ(textBoxLines(), 3 + 5);         // one entry
    int dimmed = -1;
    ui::GetCtrlAttribute(qm7x::ppPanel, PP_START, ui::ATTR_DIMMED, dimmed);
    EXPECT_EQ(dimmed, 0);
}

}  // namespace
}  // namespace qm7x::test
