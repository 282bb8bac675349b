// The calibration log: the line of one EEPROM write, the durable append, the reader, and the
// entries the program writes (and does not write) when the operator stores the coefficients.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <regex>

#include "calibration_fixture.h"
#include "qm7x/calibr/calibration_log.h"
#include "qm7x/integrity/arkomet_crc32.h"
#include "record_faults.h"

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
    EXPECT_EQ(calibr::AppendLogLine(file, "{\"a\": 1}"), std::nullopt);
    EXPECT_EQ(calibr::AppendLogLine(file, "{\"b\": 2}"), std::nullopt);
    EXPECT_THAT(lines(file),
                ::testing::ElementsAre("{\"earlier\": 1}", "{\"a\": 1}", "{\"b\": 2}"));
}

TEST_F(CalibrationLogFile, AFailureSaysWhyBeforeItSaysWhere) {
    const fs::path file = dir_ / "missing" / "qm7x-calibration.log";
    const auto error = calibr::AppendLogLine(file, "{}");
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(
        calibr::LogFailureText(*error),
        "Журнал калибровки: не открывается: No such file or directory (" + file.string() + ")");
    fs::create_directories(dir_ / "blocked.log");
    EXPECT_THAT(calibr::AppendLogLine(dir_ / "blocked.log", "{}")->reason,
                HasSubstr("Is a directory"));
}

TEST_F(CalibrationLogFile, AFullDiskLeavesNoBrokenLineForTheNextEntryToJoin) {
    const fs::path file = dir_ / "qm7x-calibration.log";
    const std::string earlier = "{\"earlier\": 1}\n";
    std::ofstream(file) << earlier;
    {
        const test::FileSizeLimit disk(earlier.size() + 10);
        EXPECT_TRUE(calibr::AppendLogLine(file, "{\"cut\": \"somewhere in the middle\"}"));
    }
    EXPECT_EQ(calibr::AppendLogLine(file, "{\"next\": 2}"), std::nullopt);
    EXPECT_THAT(lines(file), ::testing::ElementsAre("{\"earlier\": 1}", "{\"next\": 2}"));
}

TEST_F(CalibrationLogFile, AFifoIsRefusedAtOnce) {
    const fs::path file = dir_ / "qm7x-calibration.log";
    ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
    const auto error = calibr::AppendLogLine(file, "{}");  // no reader: open() would wait
    ASSERT_TRUE(error.has_value());
    EXPECT_THAT(error->reason, HasSubstr("FIFO"));
    EXPECT_THAT(calibr::LoggedWritesOf(file, "", 1, ""), ::testing::IsEmpty());
}

// The reader of the log: what the CRC-32 check at a module's opening takes from it.
TEST(CalibrationLogReader, ReadsBackBothKindsOfEntryAndNothingElse) {
    calibr::CalibrationLogEntry entry;
    entry.time = "2026-12-07T10:15:02+03:00";
    entry.carrier = "TRHOLDR \"Н.М.\"";
    entry.position = 3;
    entry.module = "QM7X";
    entry.crc32 = 0x5D0E1A7C;
    const auto write = calibr::ParseLogLine(calibr::FormatLogLine(entry));
    ASSERT_TRUE(write.has_value());
    EXPECT_EQ(write->carrier, "TRHOLDR \"Н.М.\"");
    EXPECT_EQ(write->position, 3);
    EXPECT_EQ(write->crc32, 0x5D0E1A7Cu);
    EXPECT_FALSE(write->writeFailed);
    const auto failed =
        calibr::ParseLogLine(calibr::FormatWriteFailedLine(entry, "сбой \"EEPROM\""));
    ASSERT_TRUE(failed.has_value());
    EXPECT_TRUE(failed->writeFailed);
    EXPECT_EQ(failed->crc32, 0x5D0E1A7Cu);
    for (const char* broken :
         {"", "{", "[1]",
          "{\"time\": \"x\", \"carrier\": \"c\", \"position\": 1, \"module\": \"m\"",
          "{\"carrier\": \"c\", \"position\": 1, \"module\": \"m\", \"crc32\": \"5D0E1A7\"}",
          "{\"carrier\": \"c\", \"position\": 1, \"module\": \"m\", \"crc32\": \"5D0E1A7G\", "
          "\"channels\": []}",
          "{\"carrier\": \"c\", \"position\": 1.5, \"module\": \"m\", \"crc32\": \"5D0E1A7C\", "
          "\"channels\": []}",
          "{\"carrier\": \"c\", \"position\": 1, \"module\": \"m\", \"crc32\": \"5D0E1A7C\"}"}) {
        EXPECT_EQ(calibr::ParseLogLine(broken), std::nullopt) << broken;
    }
}

TEST_F(CalibrationLogFile, TheModulesLoggedRecordIsItsLastWriteThatDidNotFail) {
    const fs::path file = dir_ / "qm7x-calibration.log";
    calibr::CalibrationLogEntry mine;
    mine.carrier = "carrier";
    mine.position = 2;
    mine.module = "QM7X";
    calibr::CalibrationLogEntry other = mine;
    other.position = 3;
    const auto append = [&](calibr::CalibrationLogEntry entry, std::uint32_t crc, bool failed) {
        entry.crc32 = crc;
        std::ofstream(file, std::ios::app)
            << (failed ? calibr::FormatWriteFailedLine(entry, "") : calibr::FormatLogLine(entry))
            << "\n";
    };
    using ::testing::ElementsAre;
    using ::testing::IsEmpty;
    EXPECT_THAT(calibr::LoggedWritesOf(file, "carrier", 2, "QM7X"), IsEmpty());  // no log yet
    append(mine, 1, false);
    append(mine, 2, false);
    std::ofstream(file, std::ios::app) << "not an entry\n";
    append(other, 7, false);
    EXPECT_THAT(calibr::LoggedWritesOf(file, "carrier", 2, "QM7X"), ElementsAre(1u, 2u));
    append(mine, 2, true);
    EXPECT_THAT(calibr::LoggedWritesOf(file, "carrier", 2, "QM7X"), ElementsAre(1u));
    EXPECT_THAT(calibr::LoggedWritesOf(file, "carrier", 3, "QM7X"), ElementsAre(7u));
    EXPECT_THAT(calibr::LoggedWritesOf(file, "carrier", 4, "QM7X"), IsEmpty());
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

TEST_F(CalibrationLogOfTheProgram, ADeclinedStoreWritesNothingAndAFailedWriteGetsASecondEntry) {
    const ViStatus failure = static_cast<ViStatus>(0xBFFC0809);
    SimBench bench(CalibrationBench(), {{"trqm7x_writeFlash", failure, 2}});
    workIn(bench.dir());
    // Declined once, then stored, then failing in the driver.
    calibrateAndStore(bench, false);
    ui_.frontEnd.AnswerConfirm(true);
    ui_.script.Commit(cp(), CP_WRITE_EEPROM);
    ui_.frontEnd.AnswerConfirm(true);
    ui_.script.Commit(cp(), CP_WRITE_EEPROM);
    exitProgram();
    runProgram();

    const auto entries = lines(bench.dir() / "qm7x-calibration.log");
    ASSERT_EQ(entries.size(), 3u) << ::testing::PrintToString(entries);
    const auto second = calibr::ParseLogLine(entries[1]);
    const auto failed = calibr::ParseLogLine(entries[2]);
    ASSERT_TRUE(second && failed);
    EXPECT_FALSE(second->writeFailed);
    EXPECT_TRUE(failed->writeFailed);
    EXPECT_EQ(failed->crc32, second->crc32);
    EXPECT_THAT(entries[2], HasSubstr("\"error\": \"" + StatusText(failure) + "\""));
}

TEST_F(CalibrationLogOfTheProgram, TheEntryIsOnTheDiskBeforeTheModuleIsWritten) {
    SimBench bench(CalibrationBench());
    workIn(bench.dir());
    std::vector<std::size_t> entriesAtWrite;
    ObserveDriverCalls([&](const std::string& call) {
        if (call == "writeFlash") {
            entriesAtWrite.push_back(lines(bench.dir() / "qm7x-calibration.log").size());
        }
    });
    calibrateAndStore(bench, true);
    exitProgram();
    runProgram();
    ObserveDriverCalls(nullptr);
    EXPECT_THAT(entriesAtWrite, ::testing::ElementsAre(1u));
}

TEST_F(CalibrationLogOfTheProgram, ALogThatCannotBeWrittenBlocksTheStoreWithItsCause) {
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

    EXPECT_EQ(status,
              "Журнал калибровки: не открывается: Is a directory (qm7x-calibration.log); "
              "коэффициенты в EEPROM не записаны");
    EXPECT_EQ(CountDriverCalls("writeFlash"), 0);
    EXPECT_EQ(readBack, 10.0 / 8388608.0);  // the factory gain: the EEPROM was not written
    EXPECT_NE(calibrated, readBack);
}

TEST_F(CalibrationLogOfTheProgram, ALoadAfterTheStoreFindsTheModuleAndTheLogAgreeing) {
    SimBench bench(CalibrationBench());
    workIn(bench.dir());
    std::string status = "not read";
    calibrateAndStore(bench, true);
    ui_.script.Commit(cp(), CP_READ_EEPROM).Do("read the status line", [&] {
        status = statusLine();
    });
    exitProgram();
    runProgram();
    EXPECT_EQ(status, "Коэффициенты прочитаны из EEPROM мезонина");  // and nothing to warn of
}

TEST_F(CalibrationLogOfTheProgram, ARecordTheLogDoesNotHaveLastIsSaidAtOpeningAndLoad) {
    SimBench bench(CalibrationBench());
    workIn(bench.dir());
    const fs::path log = bench.dir() / "qm7x-calibration.log";
    calibr::CalibrationLogEntry entry;
    entry.carrier = "TRHOLDR Н.М., крейт 1, слот 5";
    entry.position = 1;
    entry.module = "QM7X QM7X-C1";
    const auto logWrite = [&](std::uint32_t crc) {
        entry.crc32 = crc;
        std::ofstream(log, std::ios::app) << calibr::FormatLogLine(entry) << "\n";
    };
    logWrite(0x12345678);  // the log's last write for this module is of another record
    std::string unknown, notReached;
    std::uint32_t held = 0;
    chooseTheInstrument();
    ui_.script
        .Do("read the status line",
            [&] {
                unknown = statusLine();
                held = integrity::Crc32(&coeffCopy, sizeof coeffCopy);
                // The module's record logged, then a write the program never made.
                logWrite(held);
                logWrite(0x9ABCDEF0);
            })
        .Commit(cp(), CP_READ_EEPROM)
        .Do("read the status line again", [&] { notReached = statusLine(); });
    exitProgram();
    runProgram();

    char heldText[9];
    std::snprintf(heldText, sizeof heldText, "%08X", held);
    EXPECT_EQ(unknown,
              std::string("Модуль хранит коэффициенты, которых не знает журнал калибровки: "
                          "CRC-32 записи модуля ") +
                  heldText + ", по журналу 12345678");
    EXPECT_EQ(notReached, std::string("Последняя запись коэффициентов по журналу калибровки "
                                      "(CRC-32 9ABCDEF0) не дошла до модуля: он хранит записанные "
                                      "ранее (") +
                              heldText + ")");
}

}  // namespace
}  // namespace qm7x::test
