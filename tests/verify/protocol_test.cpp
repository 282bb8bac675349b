// The verification protocol on the program's panels: the file byte for byte (Windows-1251, the
// platform's line end), the text box beside it, the time stamp, reopening, and the failures of
// the file.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "program_panels.h"
#include "qm7x/os/encoding.h"
#include "qm7x/os/local_time.h"
#include "qm7x/program/protocol_state.h"
#include "qm7x/verify/chklog.h"
#include "qm7x/verify/protocol_file.h"
#include "record_faults.h"

namespace qm7x::verify {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

const std::string kTitle = "Протокол поверки мезонина QM7X N 2 на TRHOLDR Н.М., крейт 1, слот 5";
const std::string kStamp = "\nВремя:9:5:7, Дата: 12-6-2026 \n";
const std::string kColumns =
    "   Un,         Ux,         dUs,         dUmax,         Axs,      Axmax,     An,   Результат\n";

std::vector<double> twoLevels(double a, double b) {
    std::vector<double> samples(50, a);
    samples.insert(samples.end(), 50, b);
    return samples;
}

std::string fileBytes(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), {}};
}

// The expected bytes of a protocol text written in UTF-8 with "\n" line ends.
std::string cp1251(const std::string& utf8) {
    std::string bytes = os::ToCp1251(utf8);
    std::string out;
    for (const char c : bytes) {
        out += c == '\n' ? std::string(kLineEnd) : std::string(1, c);
    }
    return out;
}

class Protocol : public test::ProgramPanels {
  protected:
    void SetUp() override {
        ProgramPanels::SetUp();
        os::SetLocalTimeSource([] { return os::LocalTime{2026, 12, 6, 9, 5, 7}; });
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = fs::path(::testing::TempDir()) / ("qm7x_protocol_" + std::string(info->name()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override {
        for (int slot = 0; slot < kLogSlots; ++slot) {
            DiscardChlp(slot);
        }
        os::SetLocalTimeSource({});
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }

    // Opens the protocol as the first run after a selection does.
    void open(const fs::path& file, const std::string& title = kTitle) {
        ASSERT_EQ(SetupChlp(kResourceFile, kProtocolLog, title, file.string()), 0);
        SetLogTimeDate();
    }
    static std::vector<std::string> logLines(int log = kProtocolLog) {
        const int panel = ChlpPanel(log);
        int count = 0;
        ui::GetNumTextBoxLines(panel, CHLP_LOG, count);
        std::vector<std::string> lines(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i) {
            ui::GetTextBoxLine(panel, CHLP_LOG, i, lines[i]);
        }
        return lines;
    }
    static std::string panelTitle(int log = kProtocolLog) {
        std::string title;
        ui::GetPanelAttribute(ChlpPanel(log), ui::ATTR_TITLE, title);
        return title;
    }

    fs::path dir_;
};

// The worked example (within) on channel 1, and a point out of tolerance on channel 2.
void twoPoints() {
    DoChlp(kProtocolLog, "период семплирования 2.000e-04 с", twoLevels(1.00002, 1.00004), 1, 1.0,
           0.00045);
    DoChlp(kProtocolLog, "период семплирования 1.000e-03 с", twoLevels(0.5006, 0.5008), 2, 0.5,
           0.0004);
}

const std::string kFirstEntry =
    "период семплирования 2.000e-04 с         Канал 1\n" + kColumns +
    "1.000000e+00, 1.000030e+00, 3.0e-05, 4.0000e-05, 0.0030%, 0.0040%, 0.045%   Норма\n\n";
const std::string kSecondEntry =
    "период семплирования 1.000e-03 с         Канал 2\n" + kColumns +
    "5.0000e-01, 5.0070e-01, 7.0e-04, 8.0000e-04, 0.1400%, 0.1600%, 0.080%   Не норма\n\n";

TEST_F(Protocol, NewFileTwoPointsAndAReopeningOnAnotherFile) {
    const fs::path first = dir_ / "qm7X.log";
    const fs::path second = dir_ / "second.log";
    open(first);
    twoPoints();
    const std::string firstAfterPoints = fileBytes(first);
    EXPECT_EQ(firstAfterPoints, cp1251(kTitle + kStamp + kFirstEntry + kSecondEntry));
    // The verdicts as Windows-1251 bytes: "Норма", "Не норма".
    EXPECT_NE(firstAfterPoints.find("\xCD\xEE\xF0\xEC\xE0\n"), std::string::npos);
    EXPECT_NE(firstAfterPoints.find("\xCD\xE5 \xED\xEE\xF0\xEC\xE0\n"), std::string::npos);

    DiscardChlp(kProtocolLog);
    open(second);
    EXPECT_EQ(fileBytes(first), firstAfterPoints);
    EXPECT_EQ(fileBytes(second), cp1251(kTitle + kStamp));
    EXPECT_EQ(panelTitle(), kTitle);
    EXPECT_EQ(LastTimeStamp(), (os::LocalTime{2026, 12, 6, 9, 5, 7}));
}

TEST_F(Protocol, TextBoxMirrorsEachMessageLessItsLastLineEnd) {
    open(dir_ / "qm7X.log");
    DoChlp(kProtocolLog, "период семплирования 2.000e-04 с", twoLevels(1.00002, 1.00004), 1, 1.0,
           0.00045);
    EXPECT_THAT(
        logLines(),
        ElementsAre(kTitle, "", "Время:9:5:7, Дата: 12-6-2026 ", "период семплирования 2.000e-04 с",
                    "         Канал 1", kColumns.substr(0, kColumns.size() - 1),
                    "1.000000e+00, 1.000030e+00, 3.0e-05, 4.0000e-05, 0.0030%, 0.0040%, "
                    "0.045%   Норма",
                    ""));
    // Scrolled so that the last line is visible.
    int first = -1, visible = 0;
    ui::GetCtrlAttribute(ChlpPanel(kProtocolLog), CHLP_LOG, ui::ATTR_FIRST_VISIBLE_LINE, first);
    ui::GetCtrlAttribute(ChlpPanel(kProtocolLog), CHLP_LOG, ui::ATTR_VISIBLE_LINES, visible);
    EXPECT_EQ(first, std::max(0, 8 - visible));
}

TEST_F(Protocol, EmptyTitleWritesNoTitleText) {
    open(dir_ / "qm7X.log", "");
    EXPECT_EQ(fileBytes(dir_ / "qm7X.log"), cp1251(kStamp));
    EXPECT_EQ(panelTitle(), "");
}

TEST_F(Protocol, ExistingFileIsOnlyExtended) {
    const fs::path path = dir_ / "old.log";
    const std::string old("earlier protocol\r\nno line end at the end \xff\x00 binary", 47);
    std::ofstream(path, std::ios::binary) << old;
    open(path);
    twoPoints();
    EXPECT_EQ(fileBytes(path), old + cp1251(kTitle + kStamp + kFirstEntry + kSecondEntry));
}

TEST_F(Protocol, CharacterWithoutAWindows1251ByteBecomesAQuestionMark) {
    const fs::path path = dir_ / "qm7X.log";
    open(path, "Протокол поверки мезонина QM7X N 2 на 載體 ✓ №5");
    EXPECT_EQ(fileBytes(path),
              "\xcf\xf0\xee\xf2\xee\xea\xee\xeb \xef\xee\xe2\xe5\xf0\xea\xe8 "
              "\xec\xe5\xe7\xee\xed\xe8\xed\xe0 QM7X N 2 \xed\xe0 ?? ? \xb9"
              "5" +
                  cp1251(kStamp));
    EXPECT_EQ(logLines().front(), "Протокол поверки мезонина QM7X N 2 на 載體 ✓ №5");
}

TEST_F(Protocol, FileThatCannotBeOpenedIsToldOnceAndTheTextBoxGetsEverything) {
    const fs::path path = dir_ / "no such folder" / "qm7X.log";
    open(path);
    EXPECT_THAT(ui_.frontEnd.Messages(),
                ElementsAre(ui::HeadlessFrontEnd::Message{"Ошибка открытия файла протокола.",
                                                          "Сообщения будут выводиться только на "
                                                          "экран"}));
    EXPECT_THAT(statusLine(), ::testing::HasSubstr(path.string()));
    EXPECT_THAT(statusLine(), ::testing::HasSubstr("No such file or directory"));
    EXPECT_EQ(statusColour(), kStatusRed);
    twoPoints();
    EXPECT_EQ(ui_.frontEnd.Messages().size(), 1u);
    EXPECT_FALSE(fs::exists(path));
    EXPECT_EQ(logLines().size(), 3u + 2 * 5);
    EXPECT_EQ(ChlpPanel(kProtocolLog) > 0, true);
}

TEST_F(Protocol, AFullDiskLeavesNoPieceOfAMessageAndIsShownOnce) {
    const fs::path path = dir_ / "qm7X.log";
    const std::string earlier = "earlier protocol\n";
    std::ofstream(path, std::ios::binary) << earlier;
    {
        // Room for the title and half of the time stamp.
        const test::FileSizeLimit disk(earlier.size() + cp1251(kTitle).size() + 10);
        open(path);
        EXPECT_THAT(ui_.frontEnd.Messages(), IsEmpty());
        EXPECT_EQ(statusLine(),
                  "Файл протокола: запись не удалась: File too large (" + path.string() + ")");
        EXPECT_EQ(statusColour(), kStatusRed);
        clearStatusLine();
        twoPoints();
    }
    EXPECT_EQ(statusLine(), "");  // once per opening
    EXPECT_EQ(fileBytes(path), earlier + cp1251(kTitle));
    EXPECT_EQ(logLines().size(), 3u + 2 * 5);
    // A new opening tells it again, and writes again.
    DiscardChlp(kProtocolLog);
    open(path);
    EXPECT_EQ(fileBytes(path), earlier + cp1251(kTitle + kTitle + kStamp));
}

TEST_F(Protocol, APointEntryCutShortIsCutBackToItsStart) {
    const fs::path path = dir_ / "qm7X.log";
    open(path);
    const std::string opening = fileBytes(path);
    {
        // Room for the heading and the column header, not for the result row.
        const test::FileSizeLimit disk(opening.size() + cp1251(kFirstEntry).size() - 40);
        twoPoints();
    }
    EXPECT_EQ(fileBytes(path), opening);
    EXPECT_THAT(statusLine(), ::testing::StartsWith("Файл протокола: запись не удалась: "));
}

TEST_F(Protocol, OnlyARegularFileIsAProtocolAndOpeningNeverWaits) {
    const fs::path fifo = dir_ / "qm7X.log";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    open(fifo);  // a FIFO nobody reads would take the entries until its buffer filled, then hang
    EXPECT_EQ(ui_.frontEnd.Messages().size(), 1u);
    EXPECT_EQ(statusLine(),
              "Файл протокола: не открывается: это канал (FIFO), а не обычный файл (" +
                  fifo.string() + ")");
    twoPoints();
    EXPECT_EQ(logLines().size(), 3u + 2 * 5);
    DiscardChlp(kProtocolLog);
    open("/dev/full");
    EXPECT_THAT(statusLine(),
                ::testing::HasSubstr("это устройство, а не обычный файл (/dev/full)"));
}

TEST_F(Protocol, PanelThatCannotBeLoadedOpensNothing) {
    const fs::path path = dir_ / "qm7X.log";
    EXPECT_EQ(SetupChlp("absent.uir", kProtocolLog, kTitle, path.string()), -1);
    EXPECT_EQ(ChlpPanel(kProtocolLog), 0);
    EXPECT_FALSE(fs::exists(path));
    // Writing into a closed slot does nothing.
    SetLogTimeDate();
    WriteLOG(kProtocolLog, "text");
    EXPECT_FALSE(fs::exists(path));
    EXPECT_EQ(SetupChlp(kResourceFile, kLogSlots, kTitle, path.string()), -1);
    EXPECT_EQ(SetupChlp(kResourceFile, -1, kTitle, path.string()), -1);
}

TEST_F(Protocol, SlotsAreIndependent) {
    ASSERT_EQ(SetupChlp(kResourceFile, 0, "slot 0", (dir_ / "zero.log").string()), 0);
    ASSERT_EQ(SetupChlp(kResourceFile, 15, "slot 15", (dir_ / "fifteen.log").string()), 0);
    WriteLOG(0, "to zero\n");
    WriteLOG(15, "to fifteen\n");
    EXPECT_EQ(fileBytes(dir_ / "zero.log"), cp1251("slot 0to zero\n"));
    EXPECT_EQ(fileBytes(dir_ / "fifteen.log"), cp1251("slot 15to fifteen\n"));
    EXPECT_NE(ChlpPanel(0), ChlpPanel(15));
    DiscardChlp(0);
    EXPECT_EQ(ChlpPanel(0), 0);
    EXPECT_GT(ChlpPanel(15), 0);
}

TEST_F(Protocol, PanelIsHiddenUntilDisplayedAndTakesAGivenTitle) {
    open(dir_ / "qm7X.log");
    int visible = 1;
    ui::GetPanelAttribute(ChlpPanel(kProtocolLog), ui::ATTR_VISIBLE, visible);
    EXPECT_EQ(visible, 0);
    DisplayChlp(kProtocolLog, "Другой заголовок");
    ui::GetPanelAttribute(ChlpPanel(kProtocolLog), ui::ATTR_VISIBLE, visible);
    EXPECT_EQ(visible, 1);
    EXPECT_EQ(panelTitle(), "Другой заголовок");
}

}  // namespace
}  // namespace qm7x::verify
