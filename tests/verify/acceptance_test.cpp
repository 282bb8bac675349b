// The whole program on the default simulated bench, driven as an operator verifies: carrier,
// position 2 (QM7X-0412, badly calibrated) and position 4 (QM7X-0415, well calibrated), 9 V on
// channel 1 of each, relay in, "Пуск". The first fails, the second passes.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "program_fixture.h"
#include "qm7x/app/program.h"
#include "qm7x/os/encoding.h"
#include "qm7x/os/local_time.h"

namespace qm7x::test {
namespace {

using ::testing::ElementsAre;
using ::testing::EndsWith;
using ::testing::StartsWith;

class DefaultBenchVerification : public ProgramTest {
  protected:
    void SetUp() override {
        std::ifstream file(QM7X_DEFAULT_BENCH);
        std::string text((std::istreambuf_iterator<char>(file)), {});
        const std::string key = "reference_file: default.reference.yaml";
        const auto at = text.find(key);
        ASSERT_NE(at, std::string::npos);
        reference_ = scratch.path() / "reference.yaml";
        text.replace(at, key.size(), "reference_file: " + reference_.string());
        std::ofstream(reference_) << "channels_v: [9.0, 0.5, 0.05]\n";
        UseBench(scratch, text);
        os::SetLocalTimeSource([] { return os::LocalTime{2026, 12, 6, 9, 5, 7}; });
    }
    void TearDown() override { os::SetLocalTimeSource({}); }

    // Position `index` of the ring, then one point at 9 V on channel 1.
    void verifyPosition(int index) {
        const auto pp = Panel(PP);
        script()
            .ChooseItem(Panel(MP), MP_MEZ_NUM, index)
            .ChooseTabPage(Panel(MP), MP_TAB, 1)
            .Enter(pp, PP_FILE_NAME, protocol_.string())
            .Enter(pp, PP_CHAN, 1)
            .Enter(pp, PP_U, 9.0)
            .Enter(pp, PP_RELE_SWITCH, 1)
            .Commit(pp, PP_START);
    }

    std::filesystem::path reference_;
    std::filesystem::path protocol_ = scratch.path() / "qm7X.log";
};

TEST_F(DefaultBenchVerification, BadlyCalibratedModuleFailsAndWellCalibratedPasses) {
    script().DoubleClickItem(ui::PanelRef::Title("Выбор инструмента"), 4, 0);
    verifyPosition(0);  // "2": QM7X-0412
    verifyPosition(1);  // "4": QM7X-0415
    script().Commit(Panel(MP), MP_MP_EXIT).Commit(Panel(EXIT_POPUP), EXIT_POPUP_EXIT_YES);

    ASSERT_EQ(app::RunProgram(0, nullptr), 0);
    EXPECT_TRUE(script().Done()) << script().Pending();
    EXPECT_TRUE(frontEnd.Messages().empty());

    std::ifstream file(protocol_, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(file), {}};
    const std::string text = os::FromCp1251(bytes);
    std::vector<std::string> lines;
    for (std::size_t at = 0, end; at < text.size(); at = end + 1) {
        end = text.find('\n', at);
        lines.push_back(text.substr(at, end - at));
    }
    const std::string carrier = " на TRHOLDR Н.М., крейт 1, слот 5";
    EXPECT_THAT(
        lines,
        ElementsAre("Протокол поверки мезонина QM7X N 2" + carrier, "Время:9:5:7, Дата: 12-6-2026 ",
                    "период семплирования 2.000e-04 с         Канал 1", StartsWith("   Un,"),
                    EndsWith("   Не норма"), "", "Протокол поверки мезонина QM7X N 4" + carrier,
                    "Время:9:5:7, Дата: 12-6-2026 ",
                    "период семплирования 2.000e-04 с         Канал 1", StartsWith("   Un,"),
                    EndsWith("   Норма"), ""));
    // QM7X-0412 reads about 0.4 % low; the tolerance of the 10-V range is 2.5 mV (0.028 %).
    EXPECT_THAT(lines[4], StartsWith("9.000e+00, 8.965e+00, -3.5e-02, "));
    EXPECT_THAT(lines[4], ::testing::HasSubstr(", 0.028%   Не норма"));
    // QM7X-0415 is off by microvolts only.
    EXPECT_THAT(lines[10], StartsWith("9.0000000e+00, 8.99999"));
    EXPECT_THAT(lines[10], ::testing::HasSubstr(", 0.028%   Норма"));
}

}  // namespace
}  // namespace qm7x::test
