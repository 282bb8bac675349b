// The calibration log: the line of one EEPROM write, the durable append, and the entries the
// program writes (and does not write) when the operator stores the coefficients.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <regex>

#include "calibration_fixture.h"
#include "qm7x/calibr/calibration_log.h"
#include "qm7x/integrity/arkomet_crc32.h"

namespace qm7x::test {
namespace {

using ::testing::HasSubstr;

namespace fs = std::filesystem;

std::vector<std::string> lines(const fs::path& file) {
    std::ifstream in(file);
    std::vector<std::string> read;
    for (std::string line; std::getline(in, line);) {
        read.push_back(line);
    }
    return read;
}

TEST(CalibrationLogLine, HoldsEverythingAboutTheWriteOnOneLine) {
    calibr::CalibrationLogEntry entry;
    entry.time = "2026-12-07T10:15:02+03:00";
    entry.carrier = "TRHOLDR \"Н.М.\", крейт 1\tслот 5";
    entry.position = 2;
    entry.module = "QM7X ред. 2, ПЛИС 1.4";
    entry.after.rangeV = {10.0, 1.0, 0.1};
    entry.before.gain = {1.1920928955078125e-06, 1.1920928955078125e-06, 1e-7, 1e-7, 1e-8, 1e-8};
    entry.after.gain = {
        1.1968612670898438e-06, 1.1885166168212891e-06, 1e-7, 1e-7, 1e-8, std::nan("")};
    entry.crc32 = 0x0A1B2C3D;
    EXPECT_EQ(calibr::FormatLogLine(entry),
              "{\"time\": \"2026-12-07T10:15:02+03:00\", "
              "\"carrier\": \"TRHOLDR \\\"Н.М.\\\", крейт 1\\tслот 5\", \"position\": 2, "
              "\"module\": \"QM7X ред. 2, ПЛИС 1.4\", \"channels\": ["
              "{\"channel\": 1, \"range_v\": 10, "
              "\"before\": [1.1920928955078125e-06, 1.1920928955078125e-06], "
              "\"after\": [1.1968612670898439e-06, 1.1885166168212891e-06]}, "
              "{\"channel\": 2, \"range_v\": 1, \"before\": [1e-07, 1e-07], "
              "\"after\": [1e-07, 1e-07]}, "
              "{\"channel\": 3, \"range_v\": 0.1, "
              "\"before\": [1e-08, 1e-08], \"after\": [1e-08, null]}], "
              "\"crc32\": \"0A1B2C3D\"}");
}

TEST(CalibrationLogLine, TimeIsLocalWithItsOffset) {
    EXPECT_TRUE(std::regex_match(calibr::LocalTimeWithOffset(),
                                 std::regex(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d[+-]\d\d:\d\d)")))
        << calibr::LocalTimeWithOffset();
}

class CalibrationLogFile : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::temp_directory_path() / ("qm7x_log_" + std::to_string(::getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    fs::path dir_;
};

TEST_F(CalibrationLogFile, EntriesAreAppendedAfterWhatIsThere) {
    const fs::path file = dir_ / "qm7x-calibration.log";
    std::ofstream(file) << "{\"earlier\": 1}\n";
    EXPECT_EQ(calibr::AppendLogLine(file, "{\"a\": 1}"), "");
    EXPECT_EQ(calibr::AppendLogLine(file, "{\"b\": 2}"), "");
    EXPECT_THAT(lines(file),
                ::testing::ElementsAre("{\"earlier\": 1}", "{\"a\": 1}", "{\"b\": 2}"));
}

TEST_F(CalibrationLogFile, AFailureNamesTheFileTheOperationAndTheCause) {
    const fs::path file = dir_ / "missing" / "qm7x-calibration.log";
    EXPECT_EQ(calibr::AppendLogLine(file, "{}"),
              "Журнал калибровки " + file.string() + ": не открывается: No such file or directory");
    fs::create_directories(dir_ / "blocked.log");
    EXPECT_THAT(calibr::AppendLogLine(dir_ / "blocked.log", "{}"), HasSubstr("Is a directory"));
}

// The program writes an entry for each successful store only, in its working directory.
class CalibrationLogOfTheProgram : public CalibrationProgram {
  protected:
    void SetUp() override { ASSERT_TRUE(getcwd(previous_, sizeof previous_) != nullptr); }
    void TearDown() override { ASSERT_EQ(::chdir(previous_), 0); }
    void workIn(const fs::path& dir) { ASSERT_EQ(::chdir(dir.c_str()), 0); }

    // Calibrates channel 1 at ±9 V and answers the store's question.
    void calibrateAndStore(SimBench& bench, bool confirm) {
        ui_.frontEnd.AnswerPrompt([&] { bench.writeReference("channels_v: [9, 0, 0]\n"); }, "9");
        ui_.frontEnd.AnswerPrompt([&] { bench.writeReference("channels_v: [-9, 0, 0]\n"); }, "-9");
        ui_.frontEnd.AnswerConfirm(confirm);
        chooseTheInstrument();
        calibrate();
        ui_.script.Commit(cp(), CP_WRITE_EEPROM);
    }

    char previous_[4096] = {};
};

TEST_F(CalibrationLogOfTheProgram, AStoreAppendsOneEntryWithTheRecordWritten) {
    SimBench bench(CalibrationBench());
    workIn(bench.dir());
    CoeffRecord written{};
    calibrateAndStore(bench, true);
    ui_.script.Do("note the record", [&] { written = *coeffPtr; });
    exitProgram();
    runProgram();

    const auto entries = lines(bench.dir() / "qm7x-calibration.log");
    ASSERT_EQ(entries.size(), 1u);
    const std::string& entry = entries[0];
    EXPECT_THAT(entry, HasSubstr("\"carrier\": \"TRHOLDR Н.М., крейт 1, слот 5\""));
    EXPECT_THAT(entry, HasSubstr("\"position\": 1"));
    EXPECT_THAT(entry, HasSubstr("\"module\": \"QM7X QM7X-C1\""));
    calibr::CalibrationLogEntry expected;
    expected.after = written;
    expected.before = written;
    const double factory = 10.0 / 8388608.0;
    expected.before.gain[0] = factory;
    expected.before.gain[1] = factory;
    expected.crc32 = integrity::Crc32(&written, sizeof written);
    // Everything after the time and the texts is the record before and after, and its CRC.
    const std::string formatted = calibr::FormatLogLine(expected);
    const std::string tail = formatted.substr(formatted.find("\"channels\""));
    EXPECT_THAT(entry, ::testing::EndsWith(tail));
    EXPECT_NE(written.gain[0], factory);
}

TEST_F(CalibrationLogOfTheProgram, NoEntryWithoutAStore) {
    SimBench bench(CalibrationBench(),
                   {{"trqm7x_writeFlash", static_cast<ViStatus>(0xBFFC0809), 2}});
    workIn(bench.dir());
    // Declined once, then failing in the driver: neither is an EEPROM write.
    calibrateAndStore(bench, false);
    ui_.frontEnd.AnswerConfirm(true);
    ui_.script.Commit(cp(), CP_WRITE_EEPROM);
    ui_.frontEnd.AnswerConfirm(true);
    ui_.script.Commit(cp(), CP_WRITE_EEPROM);
    exitProgram();
    runProgram();

    EXPECT_EQ(lines(bench.dir() / "qm7x-calibration.log").size(), 1u);
}

TEST_F(CalibrationLogOfTheProgram, ALogThatCannotBeWrittenIsShownAndTheStoreStands) {
    SimBench bench(CalibrationBench());
    workIn(bench.dir());
    fs::create_directories(bench.dir() / "qm7x-calibration.log");
    std::string status;
    double calibrated = 0, readBack = 0;
    calibrateAndStore(bench, true);
    ui_.script.Do("read the status line", [&] {
        status = statusLine();
        calibrated = firstGain(coeffCopy, 1);
    });
    ui_.script.Commit(cp(), CP_READ_EEPROM).Do("read the table", [&] { readBack = cell(1, 1); });
    exitProgram();
    runProgram();

    EXPECT_EQ(status, "Журнал калибровки qm7x-calibration.log: не открывается: Is a directory");
    EXPECT_EQ(readBack, calibrated);
}

}  // namespace
}  // namespace qm7x::test
