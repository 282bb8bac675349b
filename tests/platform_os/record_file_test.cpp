// The durable record writer: whole entries after a full disk, only regular files, never blocked by
// what stands at the path, and failures that say why in UTF-8 before they say where.
#include "qm7x/os/record_file.h"

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "record_faults.h"

namespace qm7x::os {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;
using ::testing::StartsWith;

std::string content(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

RecordFile open(const fs::path& path) {
    auto opened = RecordFile::Open(path);
    if (auto* error = std::get_if<FileError>(&opened)) {
        ADD_FAILURE() << error->Describe();
    }
    return std::get<RecordFile>(std::move(opened));
}

// The refusal's text, or "" when the file opened.
std::string refusal(const fs::path& path) {
    auto opened = RecordFile::Open(path);
    auto* error = std::get_if<FileError>(&opened);
    return error != nullptr ? error->Describe() : "";
}

class RecordFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = fs::path(::testing::TempDir()) / ("qm7x_records_" + std::to_string(::getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }
    fs::path dir_;
};

TEST_F(RecordFileTest, EntriesFollowWhatIsThereAndANewFileIsCreated) {
    const fs::path old = dir_ / "old.log";
    std::ofstream(old, std::ios::binary) << "earlier, no line end";
    EXPECT_EQ(AppendRecord(old, "one\n"), std::nullopt);
    RecordFile file = open(old);
    EXPECT_EQ(file.AppendSynced("two\n"), std::nullopt);
    EXPECT_EQ(content(old), "earlier, no line endone\ntwo\n");
    EXPECT_EQ(AppendRecord(dir_ / "new.log", "first\n"), std::nullopt);
    EXPECT_EQ(content(dir_ / "new.log"), "first\n");
}

TEST_F(RecordFileTest, AnEntryCutShortByAFullDiskIsCutBackWhole) {
    const fs::path path = dir_ / "full.log";
    std::ofstream(path, std::ios::binary) << "0123456789\n";
    RecordFile file = open(path);
    {
        const test::FileSizeLimit disk(16);  // room for 5 of the 12 bytes
        const FileStatus error = file.Append("Время:12:18\n");
        ASSERT_TRUE(error.has_value());
        EXPECT_EQ(error->code, EFBIG);
        EXPECT_THAT(error->Describe(), StartsWith("запись не удалась: File too large ("));
        EXPECT_EQ(content(path), "0123456789\n");
        // An entry of several appends that fails part way is cut back to its start.
        const std::int64_t start = file.Size();
        EXPECT_EQ(file.Append("abc"), std::nullopt);
        EXPECT_TRUE(file.Append("defgh").has_value());
        EXPECT_EQ(file.CutBack(start), std::nullopt);
        EXPECT_EQ(content(path), "0123456789\n");
    }
    EXPECT_EQ(file.AppendSynced("whole\n"), std::nullopt);
    EXPECT_EQ(content(path), "0123456789\nwhole\n");
}

TEST_F(RecordFileTest, OnlyARegularFileIsARecordAndOpeningNeverWaits) {
    const fs::path fifo = dir_ / "fifo.log";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // No reader: an ordinary open() would wait here for ever.
    EXPECT_THAT(refusal(fifo), HasSubstr("это канал (FIFO), а не обычный файл"));
    // A reader present: it opens at once and is refused all the same.
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    EXPECT_THAT(refusal(fifo), HasSubstr("канал (FIFO)"));
    EXPECT_TRUE(std::holds_alternative<FileError>(ReadRecordFile(fifo)));
    ::close(reader);

    EXPECT_THAT(refusal("/dev/null"), HasSubstr("это устройство"));
    EXPECT_THAT(refusal(dir_), HasSubstr("Is a directory"));

    // A planted link: refused, and its target untouched.
    const fs::path target = dir_ / "target";
    std::ofstream(target) << "keep";
    fs::create_symlink(target, dir_ / "link.log");
    EXPECT_THAT(refusal(dir_ / "link.log"), HasSubstr("символическая ссылка"));
    EXPECT_EQ(content(target), "keep");
}

TEST(FileErrorText, TheCauseComesBeforeAPathOfAnyLength) {
    const fs::path longPath = "/" + std::string(230, 'x') + "/qm7x-calibration.log";
    const FileError error = SystemFileError("не открывается", longPath, ENOENT);
    EXPECT_EQ(error.Describe(),
              "не открывается: No such file or directory (" + longPath.string() + ")");
}

TEST(FileErrorText, TheSystemsReasonIsUtf8UnderAWindows1251Locale) {
    ASSERT_TRUE(test::UseLocale("ru_RU", "CP1251")) << "localedef cannot build ru_RU.CP1251";
    EXPECT_EQ(SystemReason(ENOSPC), "На устройстве не осталось свободного места");
    std::setlocale(LC_ALL, "C");
    EXPECT_EQ(SystemReason(ENOSPC), "No space left on device");
}

}  // namespace
}  // namespace qm7x::os
