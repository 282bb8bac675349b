// The register of standards in the program: the panel adds and lists entries, the "Поверка"
// page offers the entries in force with "не указан" first, and a wrong entry is refused with its
// cause, against a results store of the test's own.
#include <gmock/gmock.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "program_panels.h"
#include "qm7x/app/standards_panel.h"
#include "qm7x/metrology/register.h"
#include "qm7x/results/recorder.h"

namespace qm7x::test {
namespace {

using ::testing::HasSubstr;

class StandardsPanel : public ProgramPanels {
  protected:
    void SetUp() override {
        ProgramPanels::SetUp();
        qm7x::srPanel = 0;  // loaded by the program when first shown
        folder_ = std::filesystem::temp_directory_path() /
                  ("qm7x-standards-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder_);
        ::setenv("QM7X_RESULTS_DB", (folder_ / "results.sqlite").c_str(), 1);
    }
    void TearDown() override {
        results::ProgramRecorder().Close();
        ::unsetenv("QM7X_RESULTS_DB");
        std::filesystem::remove_all(folder_);
    }

    void type(int panel, const std::string& ident, const std::string& certificate,
              const std::string& calibrated, const std::string& due, const std::string& ranges) {
        ui::SetCtrlVal(panel, SR_IDENT, ident);
        ui::SetCtrlVal(panel, SR_KIND, "калибратор напряжения");
        ui::SetCtrlVal(panel, SR_MODEL, "DCC-22");
        ui::SetCtrlVal(panel, SR_SERIAL, "0042");
        ui::SetCtrlVal(panel, SR_CERTIFICATE, certificate);
        ui::SetCtrlVal(panel, SR_CAL_DATE, calibrated);
        ui::SetCtrlVal(panel, SR_DUE_DATE, due);
        ui::SetCtrlVal(panel, SR_RANGES, ranges);
    }
    static void add(int panel) {
        app::addStandardCB(panel, SR_ADD, ui::EVENT_COMMIT, nullptr, 0, 0);
    }
    static std::vector<std::string> lines(int panel) {
        int count = 0;
        ui::GetNumTextBoxLines(panel, SR_LIST, count);
        std::vector<std::string> all;
        for (int i = 0; i < count; ++i) {
            std::string line;
            ui::GetTextBoxLine(panel, SR_LIST, i, line);
            all.push_back(line);
        }
        return all;
    }
    static std::vector<std::string> choices() {
        int count = 0;
        ui::GetNumListItems(qm7x::ppPanel, PP_STANDARD, count);
        std::vector<std::string> labels;
        for (int i = 0; i < count; ++i) {
            std::string label;
            ui::GetLabelFromIndex(qm7x::ppPanel, PP_STANDARD, i, label);
            labels.push_back(label);
        }
        return labels;
    }

    std::filesystem::path folder_;
};

TEST_F(StandardsPanel, AnEntryIsAddedListedAndOfferedAndARenewalKeepsTheChoice) {
    EXPECT_EQ(app::ChosenStandardId(), 0);  // "не указан" by default
    app::standardsCB(qm7x::mpPanel, MP_STANDARDS, ui::EVENT_COMMIT, nullptr, 0, 0);
    const int panel = qm7x::srPanel;
    ASSERT_GT(panel, 0);
    EXPECT_THAT(lines(panel), ::testing::ElementsAre("Реестр пуст."));

    type(panel, "КВ-01", "С-ГА/123", "2026-03-01", "2027-03-01",
         "2.2 8 1e-6 1e-7; 11 6 4e-6 1e-6 2e-5");
    add(panel);
    ASSERT_THAT(statusLine(), HasSubstr("добавлена запись 1: КВ-01, сертификат С-ГА/123"));
    ASSERT_EQ(lines(panel).size(), 1u);
    EXPECT_THAT(lines(panel)[0], HasSubstr("1. КВ-01, калибратор напряжения, DCC-22, зав. № 0042"));
    EXPECT_THAT(choices(), ::testing::ElementsAre("не указан", "КВ-01 (С-ГА/123, до 2027-03-01)"));
    ui::SetCtrlIndex(qm7x::ppPanel, PP_STANDARD, 1);
    EXPECT_EQ(app::ChosenStandardId(), 1);

    // A new certificate is a new entry: both are listed, the page offers the one in force and
    // the choice follows it.
    type(panel, "КВ-01", "С-ГА/456", "2027-03-01", "2028-03-01", "11 6 4e-6 1e-6");
    add(panel);
    EXPECT_EQ(lines(panel).size(), 2u);
    EXPECT_THAT(choices(), ::testing::ElementsAre("не указан", "КВ-01 (С-ГА/456, до 2028-03-01)"));
    EXPECT_EQ(app::ChosenStandardId(), 2);
}

TEST_F(StandardsPanel, AWrongEntryIsRefusedWithItsCauseAndNothingIsAdded) {
    app::standardsCB(qm7x::mpPanel, MP_STANDARDS, ui::EVENT_COMMIT, nullptr, 0, 0);
    const int panel = qm7x::srPanel;
    type(panel, "КВ-01", "С-ГА/123", "01.03.2026", "2027-03-01", "11 6 4e-6 1e-6");
    add(panel);
    type(panel, "КВ-01", "С-ГА/123", "2026-03-01", "2027-03-01", "11 6 4,5e-6 1e-6");
    add(panel);
    const auto& messages = ui_.frontEnd.Messages();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].title, "Реестр эталонов");
    EXPECT_THAT(messages[0].text, HasSubstr("ГГГГ-ММ-ДД"));
    EXPECT_THAT(messages[1].text, HasSubstr("запятая"));
    EXPECT_THAT(lines(panel), ::testing::ElementsAre("Реестр пуст."));
    EXPECT_THAT(choices(), ::testing::ElementsAre("не указан"));
}

}  // namespace
}  // namespace qm7x::test
