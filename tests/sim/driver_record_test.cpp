// The coefficient record handed out by address, the EEPROM behind it and injected faults.
#include <unistd.h>

#include <algorithm>
#include <clocale>
#include <cmath>
#include <cstring>
#include <fstream>
#include <limits>

#include "bench_fixture.h"
#include "coeff_record.h"
#include "record_faults.h"
#include "status.h"

namespace qm7x::sim::test {
namespace {

class Record : public BenchTest {
  protected:
    void open(const std::string& faults = "[]") {
        loadBench(SmallBench("instant", faults));
        carrier_ = openCarrier(kCarrier);
        mez_ = openMezzanine(kCarrier, carrier_, 1);
        ASSERT_EQ(trqm7x_get_attribute(mez_, TRQM7X_ATTR_COEFF_RECORD, &record_), VI_SUCCESS);
        ASSERT_NE(record_, nullptr);
    }
    void reopen() {
        ASSERT_EQ(trqm7x_close(mez_), VI_SUCCESS);
        mez_ = openMezzanine(kCarrier, carrier_, 1);
        ASSERT_EQ(trqm7x_get_attribute(mez_, TRQM7X_ATTR_COEFF_RECORD, &record_), VI_SUCCESS);
    }
    CoeffRecord current() const {
        CoeffRecord copy;
        std::memcpy(copy.bytes.data(), record_, kCoeffRecordSize);
        return copy;
    }
    void put(const CoeffRecord& record) {
        std::memcpy(record_, record.bytes.data(), kCoeffRecordSize);
    }
    std::filesystem::path image() const { return dir() / "state" / "Q1.eeprom.yaml"; }

    ViSession carrier_ = VI_NULL;
    ViSession mez_ = VI_NULL;
    void* record_ = nullptr;
};

// A record that uses every byte, the uninterpreted ones with odd patterns and a NaN payload.
CoeffRecord OddRecord() {
    CoeffRecord record = DefaultRecord();
    record.setTag("PX94");
    for (std::size_t i = 4; i < 8; ++i) {
        record.bytes[i] = static_cast<std::uint8_t>(0xA0 + i);
    }
    record.setGain(2, true, 1.234567890123456e-7);
    record.setTestU(3, -0.0);
    const std::uint64_t payload = 0x7FF8DEADBEEF0001ULL;  // a quiet NaN carrying data
    std::memcpy(record.bytes.data() + 104, &payload, sizeof payload);
    return record;
}

TEST_F(Record, TheRecordLivesInTheDriverAndFollowsItsOperations) {
    open();
    EXPECT_EQ(current(), DefaultRecord());  // the factory EEPROM holds the defaults
    ViReal64 range = 0.0;
    ASSERT_EQ(trqm7x_range_q(mez_, 2, &range), VI_SUCCESS);
    EXPECT_EQ(range, 1.0);
    // What the program writes through the address is what the driver uses.
    CoeffRecord edited = current();
    edited.setRange(2, 0.1);
    put(edited);
    ASSERT_EQ(trqm7x_range_q(mez_, 2, &range), VI_SUCCESS);
    EXPECT_EQ(range, 0.1);
    EXPECT_EQ(trqm7x_range_q(mez_, 4, &range), kErrorParameter2);
    ASSERT_EQ(trqm7x_resetCoeff(mez_), VI_SUCCESS);
    EXPECT_EQ(current(), DefaultRecord());
    void* other = nullptr;
    EXPECT_EQ(trqm7x_get_attribute(mez_, 2, &other), VI_ERROR_NSUP_ATTR);
}

TEST_F(Record, FlashRoundTripsTheRecordBitForBitAcrossSessionsAndRuns) {
    open();
    put(OddRecord());
    ASSERT_EQ(trqm7x_writeFlash(mez_), VI_SUCCESS);
    put(DefaultRecord());
    ASSERT_EQ(trqm7x_readFlash(mez_), VI_SUCCESS);
    EXPECT_EQ(current(), OddRecord());

    // A new session and a fresh load of the bench (the next run) find the same bytes.
    reopen();
    EXPECT_EQ(current(), OddRecord());
    loadBench(SmallBench());
    carrier_ = openCarrier(kCarrier);
    mez_ = openMezzanine(kCarrier, carrier_, 1);
    ASSERT_EQ(trqm7x_get_attribute(mez_, TRQM7X_ATTR_COEFF_RECORD, &record_), VI_SUCCESS);
    ASSERT_EQ(trqm7x_readFlash(mez_), VI_SUCCESS);
    EXPECT_EQ(current(), OddRecord());
}

TEST_F(Record, ImageIsReplacedAtomicallyAndStaysReadable) {
    open();
    ASSERT_EQ(trqm7x_writeFlash(mez_), VI_SUCCESS);
    put(OddRecord());
    ASSERT_EQ(trqm7x_writeFlash(mez_), VI_SUCCESS);
    std::size_t files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir() / "state")) {
        ++files;
        EXPECT_EQ(entry.path().filename(), "Q1.eeprom.yaml");  // no temporary file left behind
    }
    EXPECT_EQ(files, 1u);
    std::ifstream in(image());
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    EXPECT_NE(text.find("record_hex: |\n  50 58 39 34 a4 a5 a6 a7"), std::string::npos) << text;
    EXPECT_NE(text.find("tag: \"PX94\""), std::string::npos);
    EXPECT_NE(text.find("range_v: [10, 1, 0.10000000000000001]"), std::string::npos);
}

TEST_F(Record, TheReadableCopyIsTheSameUnderADecimalCommaLocale) {
    ASSERT_TRUE(qm7x::test::UseLocale("ru_RU", "UTF-8")) << "localedef cannot build ru_RU.UTF-8";
    open();
    ASSERT_EQ(trqm7x_writeFlash(mez_), VI_SUCCESS);
    std::setlocale(LC_ALL, "C");
    std::ifstream in(image());
    const std::string text((std::istreambuf_iterator<char>(in)), {});
    EXPECT_NE(text.find("range_v: [10, 1, 0.10000000000000001]"), std::string::npos) << text;
}

// The temporary file of a write: a name nobody can foresee, created exclusively, so that a link
// planted where it used to be made (image.tmp.<pid>) redirects nothing.
TEST_F(Record, APlantedLinkAtTheTemporaryNameIsNeverFollowed) {
    open();
    std::filesystem::create_directories(image().parent_path());
    const auto target = dir() / "target.txt";
    std::ofstream(target) << "not to be overwritten";
    std::filesystem::create_symlink(target,
                                    image().string() + ".tmp." + std::to_string(::getpid()));
    put(OddRecord());
    ASSERT_EQ(trqm7x_writeFlash(mez_), VI_SUCCESS);
    std::ifstream in(target);
    EXPECT_EQ(std::string((std::istreambuf_iterator<char>(in)), {}), "not to be overwritten");
    EXPECT_TRUE(std::filesystem::is_regular_file(std::filesystem::symlink_status(image())));
    put(DefaultRecord());
    ASSERT_EQ(trqm7x_readFlash(mez_), VI_SUCCESS);
    EXPECT_EQ(current(), OddRecord());
}

TEST_F(Record, TemporaryFilesLeftByAKilledWriteGoWhenTheStateFolderIsNextOpened) {
    open();
    ASSERT_EQ(trqm7x_writeFlash(mez_), VI_SUCCESS);
    const auto folder = image().parent_path();
    std::ofstream(image().string() + ".tmp.4242") << "half";  // an earlier program's name
    std::ofstream(image().string() + ".tmp.aB3xYz") << "half";
    std::ofstream(folder / "notes.txt") << "kept";
    loadBench(SmallBench());
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"Q1.eeprom.yaml", "notes.txt"}));
}

TEST_F(Record, BlankCorruptAndUnwritableEepromsAreReportedWithTheirFile) {
    open();
    // Q2 never had its EEPROM written: blank memory reads as defaults, with a warning.
    const ViSession blank = openMezzanine(kCarrier, carrier_, 3);
    EXPECT_EQ(trqm7x_readFlash(blank), kWarnEepromBlank);

    std::filesystem::create_directories(image().parent_path());
    std::ofstream(image()) << "record_hex: |\n  01 02 03\n";
    put(OddRecord());
    EXPECT_EQ(trqm7x_readFlash(mez_), kErrorEepromRead);
    EXPECT_EQ(current(), OddRecord());  // a failed read leaves the record as it was
    const std::string text = errorText(kErrorEepromRead);
    EXPECT_NE(text.find("Q1.eeprom.yaml"), std::string::npos) << text;
    EXPECT_NE(text.find("3 байт вместо 112"), std::string::npos) << text;

    // The state directory cannot be made (a file is in the way): the write fails, no crash.
    loadBench(SmallBench() + "state_dir: blocker/state\n");
    std::ofstream(dir() / "blocker") << "not a directory";
    carrier_ = openCarrier(kCarrier);
    mez_ = openMezzanine(kCarrier, carrier_, 1);
    EXPECT_EQ(trqm7x_writeFlash(mez_), kErrorEepromWrite);
    EXPECT_NE(errorText(kErrorEepromWrite).find("blocker"), std::string::npos);
}

TEST_F(Record, ARecordByteIsExactlyTwoHexadecimalDigits) {
    open();
    ASSERT_EQ(trqm7x_writeFlash(mez_), VI_SUCCESS);
    std::ifstream in(image());
    const std::string good((std::istreambuf_iterator<char>(in)), {});
    const auto first = good.find("record_hex: |\n  51 ");  // 'Q' of the tag "QM7X"
    ASSERT_NE(first, std::string::npos) << good;
    for (const char* token : {"-1", "+f", "0x", "g0", "1", "100"}) {
        SCOPED_TRACE(token);
        std::string corrupt = good;
        corrupt.replace(first + 16, 2, token);
        std::ofstream(image()) << corrupt;
        put(OddRecord());
        EXPECT_EQ(trqm7x_readFlash(mez_), kErrorEepromRead);
        EXPECT_EQ(current(), OddRecord());
        EXPECT_NE(errorText(kErrorEepromRead).find("record_hex"), std::string::npos);
    }
    // A second record_hex is not silently dropped either.
    std::ofstream(image()) << good << "record_hex: |\n  00\n";
    EXPECT_EQ(trqm7x_readFlash(mez_), kErrorEepromRead);
    EXPECT_NE(errorText(kErrorEepromRead).find("ключ «record_hex» повторён"), std::string::npos);
    std::ofstream(image()) << good;
    EXPECT_EQ(trqm7x_readFlash(mez_), VI_SUCCESS);
    EXPECT_EQ(current(), DefaultRecord());
}

TEST_F(Record, AFailedRenameOfTheImageIsReportedWithItsOwnCause) {
    open();
    // The image's place is taken by a non-empty directory: the rename over it fails.
    std::filesystem::create_directories(image() / "inside");
    EXPECT_EQ(trqm7x_writeFlash(mez_), kErrorEepromWrite);
    const std::string text = errorText(kErrorEepromWrite);
    EXPECT_NE(text.find(std::strerror(EISDIR)), std::string::npos) << text;
    EXPECT_EQ(text.find("Success"), std::string::npos) << text;
    for (const auto& entry : std::filesystem::directory_iterator(image().parent_path())) {
        EXPECT_EQ(entry.path().filename(), "Q1.eeprom.yaml");  // no temporary file left behind
    }
}

// Driver texts hold 255 characters: however long the state folder, the cause comes first and the
// file is named by its folder and name.
TEST_F(Record, ErrorsInALongStateFolderKeepTheirCauseAndTheFileName) {
    std::string deep = "state";
    for (const char part : {'a', 'b', 'c', 'd'}) {
        deep += "/" + std::string(60, part);
    }
    loadBench(SmallBench() + "state_dir: " + deep + "\nreference_file: " + deep + "/ref.yaml\n");
    carrier_ = openCarrier(kCarrier);
    mez_ = openMezzanine(kCarrier, carrier_, 1);
    const auto folder = dir() / deep;
    std::filesystem::create_directories(folder / "Q1.eeprom.yaml" / "inside");

    const std::string isDirectory = std::strerror(EISDIR);
    const std::string where = std::string(60, 'd') + "/Q1.eeprom.yaml";
    EXPECT_EQ(trqm7x_readFlash(mez_), kErrorEepromRead);
    std::string text = errorText(kErrorEepromRead);
    EXPECT_EQ(text, "Ошибка чтения EEPROM мезонина: файл не открывается: " + isDirectory + " (" +
                        where + ")");
    EXPECT_EQ(trqm7x_writeFlash(mez_), kErrorEepromWrite);
    text = errorText(kErrorEepromWrite);
    EXPECT_EQ(text, "Ошибка записи EEPROM мезонина: " + isDirectory + " (" + where + ")");

    std::ofstream(folder / "ref.yaml") << "channels_v: [1.0, 0]\n";
    ASSERT_EQ(trqm7x_mode_block(mez_, 10), VI_SUCCESS);
    EXPECT_EQ(trqm7x_start(mez_), kErrorBench);
    text = errorText(kErrorBench);
    EXPECT_EQ(text.rfind("Ошибка файла описания стенда: ref.yaml, строка 1: ожидается список", 0),
              0u)
        << text;
}

TEST_F(Record, FaultsFireOnTheirCallOrOnEveryCall) {
    open(R"([{operation: trqm7x_writeFlash, status: TRQM7X_ERROR_EEPROM_WRITE, call: 2},
            {operation: trqm7x_reset, status: 0xBFFF0015},
            {operation: trqm7x_resetCoeff, status: TRQM7X_WARN_EEPROM_BLANK}])");
    EXPECT_EQ(trqm7x_writeFlash(mez_), VI_SUCCESS);
    put(OddRecord());
    EXPECT_EQ(trqm7x_writeFlash(mez_), kErrorEepromWrite);
    EXPECT_EQ(trqm7x_writeFlash(mez_), VI_SUCCESS);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(trqm7x_reset(mez_), VI_ERROR_TMO);
    }
    // A warning comes after the operation has done its work.
    EXPECT_EQ(trqm7x_resetCoeff(mez_), kWarnEepromBlank);
    EXPECT_EQ(current(), DefaultRecord());
}

TEST_F(Record, RecordAddressStaysValidWhileTheSessionIsOpen) {
    open();
    void* again = nullptr;
    ASSERT_EQ(trqm7x_readFlash(mez_), VI_SUCCESS);
    ASSERT_EQ(trqm7x_resetCoeff(mez_), VI_SUCCESS);
    ASSERT_EQ(trqm7x_get_attribute(mez_, TRQM7X_ATTR_COEFF_RECORD, &again), VI_SUCCESS);
    EXPECT_EQ(again, record_);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(record_) % alignof(double), 0u);
}

}  // namespace
}  // namespace qm7x::sim::test
