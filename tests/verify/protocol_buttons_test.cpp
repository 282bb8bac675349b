// The protocol as the operator meets it on the verification page: "файл протокола", "Протокол",
// the protocol panel, a protocol file that cannot be written, a new mezzanine selection, and a
// run that nothing can interrupt or repeat while it is in progress.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <map>

#include "qm7x/ui/model.h"
#include "qm7x/verify/verification_run.h"
#include "run_fixture.h"

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

TEST_F(ProtocolButtons, TextBoxFillsTheResizedPanelUpToThePlot) {
    open(Module("QM7X-V1", "instant"));
    point();
    const int panel = verify::ChlpPanel(verify::kProtocolLog);
    const auto geometry = [panel](int control) {
        std::array<int, 4> g{};  // top, left, width, height
        ui::GetCtrlAttribute(panel, control, ui::ATTR_TOP, g[0]);
        ui::GetCtrlAttribute(panel, control, ui::ATTR_LEFT, g[1]);
        ui::GetCtrlAttribute(panel, control, ui::ATTR_WIDTH, g[2]);
        ui::GetCtrlAttribute(panel, control, ui::ATTR_HEIGHT, g[3]);
        return g;
    };
    const int plotWidth = geometry(CHLP_PLOT)[2];
    // The resource's own size lays out as the resource does.
    const auto before = std::make_pair(geometry(CHLP_LOG), geometry(CHLP_PLOT));
    ui::DispatchUserEvent(panel, 0, ui::EVENT_PANEL_SIZE);
    EXPECT_EQ(std::make_pair(geometry(CHLP_LOG), geometry(CHLP_PLOT)), before);
    ui::SetPanelAttribute(panel, ui::ATTR_WIDTH, 1400);
    ui::SetPanelAttribute(panel, ui::ATTR_HEIGHT, 700);
    ui::DispatchUserEvent(panel, 0, ui::EVENT_PANEL_SIZE);
    const auto log = geometry(CHLP_LOG);
    const auto plot = geometry(CHLP_PLOT);
    EXPECT_EQ(log[0] + log[3], 700);
    EXPECT_EQ(plot[0] + plot[3], 700);
    EXPECT_EQ(plot[2], plotWidth);
    EXPECT_GT(plot[1], log[1] + log[2]);  // beside the text, not over it
    EXPECT_EQ(plot[1] + plot[2], 1400 - log[1]);
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

// The plot of the last point: what the model holds is what the Qt front end draws.
TEST_F(ProtocolButtons, PlotShowsTheLastPointKeptAndDroppedApart) {
    open(Module("QM7X-V1", "instant"));
    bench().SetReference(5.0, 0, 0);
    point();
    bench().SetReference(0.0, 0.45, 0);
    enter(PP_CHAN, 2);
    enter(PP_U, 0.5);
    relayIn();
    start();
    const int panel = verify::ChlpPanel(verify::kProtocolLog);
    const ui::Control* graph = ui::FindControl(panel, CHLP_PLOT);
    ASSERT_NE(graph, nullptr);
    std::map<std::string, const ui::Plot*> byLegend;
    for (const auto& plot : graph->plots) {
        byLegend[plot.legendText] = &plot;
    }
    // Only the second point: lines at Un, Ux and Un +/- 0.0004 V, the samples by index.
    ASSERT_TRUE(byLegend.count("Un"));
    EXPECT_THAT(byLegend["Un"]->y, ElementsAre(0.5, 0.5));
    EXPECT_THAT(byLegend["Un"]->x, ElementsAre(0.0, 99.0));
    EXPECT_THAT(byLegend["Un ± допуск"]->y, ElementsAre(::testing::DoubleNear(0.5004, 1e-12),
                                                        ::testing::DoubleNear(0.5004, 1e-12)));
    EXPECT_EQ(byLegend["Un ± допуск"]->lineStyle, ui::VAL_DASH);
    EXPECT_NEAR(byLegend["Ux"]->y[0], 0.45, 1e-3);
    // Ux lies within the samples: thick and plotted last, it is drawn over them and the levels.
    EXPECT_EQ(byLegend["Ux"]->plotStyle, ui::VAL_FAT_LINE);
    EXPECT_EQ(graph->plots.back().legendText, "Ux");
    const ui::Plot* kept = byLegend["учтённые"];
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(kept->kind, ui::PlotKind::Y);
    EXPECT_EQ(kept->y.size(), 100u);
    EXPECT_EQ(kept->plotStyle, ui::VAL_SCATTER);
    // Dropped samples (outside 1.96 sd of Gaussian noise: a few of 100) are the kept plot's gaps.
    const ui::Plot* dropped = byLegend["отброшенные"];
    ASSERT_NE(dropped, nullptr);
    EXPECT_NE(dropped->pointStyle, kept->pointStyle);
    EXPECT_NE(dropped->color, kept->color);
    int keptCount = 0;
    for (std::size_t i = 0; i < 100; ++i) {
        EXPECT_NE(std::isnan(kept->y[i]), std::isnan(dropped->y[i])) << i;
        keptCount += std::isnan(kept->y[i]) ? 0 : 1;
        EXPECT_NEAR(std::isnan(kept->y[i]) ? dropped->y[i] : kept->y[i], 0.45, 1e-4);
    }
    EXPECT_GT(keptCount, 80);
    EXPECT_LT(keptCount, 100);
    EXPECT_EQ(graph->plots.size(), 6u);  // the first point's plots are gone
    EXPECT_EQ(graph->label, "Последняя точка: канал 2, Un 5.000e-01 В: Не норма");
}

}  // namespace
}  // namespace qm7x::test
