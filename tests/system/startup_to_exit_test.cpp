// The whole program on the default simulated bench, driven by a scripted operator from start to
// exit: discovery, choice of the carrier, the mezzanine positions, the self-test and shutdown.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "program_fixture.h"
#include "qm7x/app/instruments.h"
#include "qm7x/app/program.h"
#include "qm7x/app/sessions.h"
#include "qm7x/os/encoding.h"
#include "trholdr.h"
#include "trqm7x.h"

namespace qm7x::test {
namespace {

const ui::PanelRef kDialog = ui::PanelRef::Title("Выбор инструмента");
constexpr int kDialogList = 4;

std::string driverRevision() {
    std::array<ViChar, TRQM7X_TEXT_LEN + 1> driver{}, instrument{};
    trqm7x_revision_query(0, driver.data(), instrument.data());
    return os::FromCp1251(driver.data());
}

class DefaultBench : public ProgramTest {
  protected:
    void SetUp() override { UseBench(scratch, ReadDefaultBench()); }

    // The default bench with its paths made absolute, so that it works from the scratch folder.
    static std::string ReadDefaultBench() {
        std::ifstream file(QM7X_DEFAULT_BENCH);
        std::string text((std::istreambuf_iterator<char>(file)), {});
        const std::string dir = std::filesystem::path(QM7X_DEFAULT_BENCH).parent_path().string();
        const std::string key = "reference_file: ";
        if (auto at = text.find(key); at != std::string::npos) {
            text.insert(at + key.size(), dir + "/");
        }
        return text;
    }
};

TEST_F(DefaultBench, FromStartToExitOnTheFirstCarrier) {
    std::vector<std::string> listed, positions;
    std::string driverVersion, statusAfterStart;
    int firstPosition = 0, secondPosition = 0;
    ViSession firstMezzanine = 0;
    script()
        .Do("read the carriers offered",
            [&] {
                const int panel = kDialog.Resolve();
                int count = 0;
                ui::GetNumListItems(panel, kDialogList, count);
                for (int i = 0; i < count; ++i) {
                    ui::GetLabelFromIndex(panel, kDialogList, i, listed.emplace_back());
                }
            })
        .DoubleClickItem(kDialog, kDialogList, 0)
        .Do("look at the main panel",
            [&] {
                int count = 0;
                ui::GetNumListItems(qm7x::mpPanel, MP_MEZ_NUM, count);
                for (int i = 0; i < count; ++i) {
                    ui::GetLabelFromIndex(qm7x::mpPanel, MP_MEZ_NUM, i, positions.emplace_back());
                }
                ui::GetCtrlVal(qm7x::mpPanel, MP_MEZ_NUM, firstPosition);
                ui::GetCtrlVal(qm7x::aboutPanel, ABOUT_DRVR_VERSION, driverVersion);
                firstMezzanine = qm7x::mezSession;
            })
        .ChooseItem(ui::PanelRef::Resource(MP), MP_MEZ_NUM, 1)
        .Do("the second position",
            [&] { ui::GetCtrlVal(qm7x::mpPanel, MP_MEZ_NUM, secondPosition); })
        .Commit(ui::PanelRef::Resource(MP), MP_MP_EXIT)
        .Commit(ui::PanelRef::Resource(EXIT_POPUP), EXIT_POPUP_EXIT_YES);

    ASSERT_EQ(app::RunProgram(0, nullptr), 0);

    const std::vector<std::string> expectedCarriers = {
        "Н.М.  Л.А.крейта:0x01, слот:5  (VXI0::8::INSTR)",
        "Н.М.У.  Л.А.крейта:0x01, слот:6  (VXI0::16::INSTR)",
        "Н.М.М.  Л.А.крейта:0x01, слот:7  (VXI0::24::INSTR)",
        "Vektrum, LXI (192.0.2.10, №:1021)",
        "Vektrum, USB (№:1234)",
    };
    EXPECT_EQ(listed, expectedCarriers);
    EXPECT_EQ(positions, (std::vector<std::string>{"2", "4"}));
    EXPECT_EQ(firstPosition, 2);
    EXPECT_EQ(secondPosition, 4);
    EXPECT_NE(firstMezzanine, 0U);
    EXPECT_EQ(driverVersion, driverRevision());
    EXPECT_TRUE(frontEnd.Messages().empty());

    // Shutdown closed both sessions: closing them again is refused by the drivers.
    EXPECT_LT(trqm7x_close(qm7x::mezSession), 0);
    EXPECT_LT(trholdr_close(qm7x::carrierSession), 0);
}

TEST_F(DefaultBench, ACarrierWithoutQm7xIsReportedAndTheProgramGoesOn) {
    script()
        .DoubleClickItem(kDialog, kDialogList, 2)  // Н.М.М.: no QM7X on it
        .Commit(ui::PanelRef::Resource(MP), MP_MP_EXIT)
        .Commit(ui::PanelRef::Resource(EXIT_POPUP), EXIT_POPUP_EXIT_YES);
    ASSERT_EQ(app::RunProgram(0, nullptr), 0);
    const std::vector<ui::HeadlessFrontEnd::Message> expected = {
        {"", "нет наших мезонинов на базе"}};
    EXPECT_EQ(frontEnd.Messages(), expected);
    EXPECT_NE(qm7x::carrierSession, 0U);
    EXPECT_EQ(qm7x::mezSession, 0U);
}

}  // namespace
}  // namespace qm7x::test
