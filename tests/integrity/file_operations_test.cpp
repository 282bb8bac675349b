// The file operations: CRC of a file, check and stamping of the record a file carries.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "qm7x/integrity/arkomet_crc32.h"
#include "qm7x/integrity/crc_record.h"
#include "test_support.h"

namespace qm7x::integrity {
namespace {

using test::kMarker;
using test::ReadAll;
using test::ReferenceCrc32;
using test::ScratchDir;

const std::string kNul(1, '\0');

TEST(FileCrc, CrcOfTheWholeFile) {
    ScratchDir dir;
    const std::string contents = "first line\n" + kNul + "\xFF\xFE binary tail";
    EXPECT_EQ(GetFileCRC32(dir.File("data.bin", contents)), ReferenceCrc32(contents));
    EXPECT_EQ(GetFileCRC32(dir.File("empty.bin", "")), 0u);
    EXPECT_EQ(GetFileCRC32(dir / "missing.bin"), 0u);
    EXPECT_EQ(GetFileCRC32(dir.Path()), 0u);
}

TEST(FileCrc, ChecksTheRecordOfFiles) {
    const std::string head = "leading bytes ";
    const std::string tail = kNul + "trailing bytes";
    const std::string correct = test::StampedByHand(head, tail);
    const std::string placeholder = head + kMarker + "00000000" + tail;
    struct Case {
        const char* name;
        std::optional<std::string> contents;  // none: no such file
        int result;
        std::uint32_t stored;
        std::uint32_t computed;
        std::uint32_t file;
    };
    const Case cases[] = {
        {"correct record", correct, 0, ReferenceCrc32(placeholder), ReferenceCrc32(placeholder),
         ReferenceCrc32(correct)},
        {"placeholder", placeholder, 1, 0, ReferenceCrc32(placeholder),
         ReferenceCrc32(placeholder)},
        {"no digit", head + kMarker + tail, 1, 0, ReferenceCrc32(head + kMarker + tail),
         ReferenceCrc32(head + kMarker + tail)},
        {"no marker", head + tail, -1, 0, ReferenceCrc32(head + tail), ReferenceCrc32(head + tail)},
        {"empty file", "", -1, 0, 0, 0},
        {"missing file", std::nullopt, -1, 0, 0, 0},
    };
    for (const Case& c : cases) {
        ScratchDir dir;
        const auto file = c.contents ? dir.File("f.bin", *c.contents) : dir / "f.bin";
        std::uint32_t stored = 0xDEADBEEF;
        std::uint32_t computed = 0xDEADBEEF;
        std::uint32_t whole = 0xDEADBEEF;
        EXPECT_EQ(CheckFileInternalCRC32(file, stored, computed, &whole), c.result) << c.name;
        EXPECT_EQ(stored, c.stored) << c.name;
        EXPECT_EQ(computed, c.computed) << c.name;
        EXPECT_EQ(whole, c.file) << c.name;
        EXPECT_EQ(CheckFileInternalCRC32(file, stored, computed), c.result) << c.name;
        if (c.contents) {
            EXPECT_EQ(ReadAll(file), *c.contents) << c.name << ": checking changes no byte";
        }
    }
}

TEST(FileCrc, ADirectoryCannotBeChecked) {
    ScratchDir dir;
    std::uint32_t stored = 1;
    std::uint32_t computed = 1;
    EXPECT_EQ(CheckFileInternalCRC32(dir.Path(), stored, computed), -1);
    EXPECT_EQ(stored, 0u);
    EXPECT_EQ(computed, 0u);
    EXPECT_EQ(CheckFileCrcRecord(dir.Path()).status, CrcCheckStatus::CannotOpen);
    EXPECT_EQ(CheckFileCrcRecord(dir / "none").status, CrcCheckStatus::Missing);
}

TEST(FileCrc, StampsFilesInPlace) {
    const std::string body(300, 'q');
    struct Case {
        const char* name;
        std::optional<std::string> contents;
        CrcStampStatus status;
    };
    const Case cases[] = {
        {"record in the middle", body + kMarker + "00000000" + kNul + body,
         CrcStampStatus::Stamped},
        {"record near the end", body + kMarker + "00000000" + kNul + "xy", CrcStampStatus::Stamped},
        {"digits cut off", body + kMarker + "000", CrcStampStatus::RecordCutOff},
        {"19 bytes", kMarker + "000", CrcStampStatus::TooShort},
        {"no record", body, CrcStampStatus::NoRecord},
        {"missing", std::nullopt, CrcStampStatus::Missing},
    };
    for (const Case& c : cases) {
        ScratchDir dir;
        const auto file = c.contents ? dir.File("f.bin", *c.contents) : dir / "f.bin";
        EXPECT_EQ(StampFileCrcRecord(file), c.status) << c.name;
        if (!c.contents) {
            EXPECT_FALSE(std::filesystem::exists(file)) << c.name << ": no file is created";
            EXPECT_EQ(SetupFileInternalCRC32(file), -1);
            continue;
        }
        const std::string after = ReadAll(file);
        ASSERT_EQ(after.size(), c.contents->size()) << c.name << ": the size never changes";
        if (c.status != CrcStampStatus::Stamped) {
            EXPECT_EQ(after, *c.contents) << c.name;
            EXPECT_EQ(SetupFileInternalCRC32(file), -1) << c.name;
            continue;
        }
        std::uint32_t stored = 0;
        std::uint32_t computed = 0;
        std::uint32_t whole = 0;
        EXPECT_EQ(CheckFileInternalCRC32(file, stored, computed, &whole), 0) << c.name;
        EXPECT_EQ(stored, computed) << c.name;
        EXPECT_EQ(whole, ReferenceCrc32(after)) << c.name;
        EXPECT_EQ(after.substr(0, 300), body) << c.name;
        EXPECT_EQ(SetupFileInternalCRC32(file), 0) << c.name;
        EXPECT_EQ(ReadAll(file), after) << c.name << ": stamping again changes nothing";
    }
}

TEST(FileCrc, LargeFileWithTheRecordFarIn) {
    ScratchDir dir;
    std::string contents(3 << 20, '\0');
    for (std::size_t i = 0; i < contents.size(); ++i) {
        contents[i] = static_cast<char>((i * 131) >> 3);
    }
    contents.replace(2 << 20, kMarker.size() + 9, kMarker + "00000000" + kNul);
    const auto file = dir.File("big.bin", contents);
    ASSERT_EQ(SetupFileInternalCRC32(file), 0);
    std::uint32_t stored = 0;
    std::uint32_t computed = 0;
    EXPECT_EQ(CheckFileInternalCRC32(file, stored, computed), 0);
    EXPECT_EQ(ReadAll(file).size(), contents.size());
}

// Files are read block by block: a record, its white space, its sign and its "0x" cut by a
// block's end anywhere give what the record gives in memory.
TEST(FileCrc, RecordCutByTheReadBlockChecksAsInMemory) {
    constexpr std::size_t kBlock = 1 << 20;  // the operations' read block
    const std::string texts[] = {
        "1A2b3C4d" + kNul, " \t+0x1aB2" + kNul, "  -0x", "0xg", "0X", "FFFFFFFFF1", "  -", "\n\n+",
        "00000000",        "-0000001" + kNul,   "0x0x12"};
    ScratchDir dir;
    for (const std::string& text : texts) {
        for (std::size_t cut = 0; cut <= kMarker.size() + text.size(); ++cut) {
            const std::string record = kMarker + text;
            std::string contents(kBlock - cut, 'a');
            contents += record + "tail" + kNul;
            const auto file = dir.File("cut.bin", contents);
            std::vector<unsigned char> bytes(contents.begin(), contents.end());
            const std::uint32_t whole = Crc32(bytes.data(), bytes.size());
            const RecordCheck expected = CheckCrcRecord(bytes);  // zeroes the parsed digits
            const FileCrcCheck check = CheckFileCrcRecord(file);
            SCOPED_TRACE(text + ", cut at " + std::to_string(cut));
            EXPECT_EQ(check.status, expected.status);
            EXPECT_EQ(check.storedCrc, expected.storedCrc);
            EXPECT_EQ(check.computedCrc, expected.computedCrc);
            EXPECT_EQ(check.fileCrc, whole);
        }
    }
}

#ifndef _WIN32
// Stamping writes the record's digits in place and nothing else: a sparse file stays sparse,
// and the stamp reads the file in constant memory whatever its size. (The allocated blocks of a
// file are a POSIX notion; the Windows build leaves this case out.)
TEST(FileCrc, StampingASparseFileWritesOnlyTheRecord) {
    ScratchDir dir;
    const auto file = dir.File("sparse.bin", "");
    constexpr std::uintmax_t kSize = std::uintmax_t{256} << 20;
    std::filesystem::resize_file(file, kSize);
    const std::string record = kMarker + "00000000" + kNul;
    {
        std::fstream out(file, std::ios::in | std::ios::out | std::ios::binary);
        out.seekp(200 << 20);
        out.write(record.data(), static_cast<std::streamsize>(record.size()));
    }
    struct stat before {};
    ASSERT_EQ(::stat(file.c_str(), &before), 0);
    if (before.st_blocks * 512 > (16 << 20)) {
        GTEST_SKIP() << "this file system does not keep the file sparse";
    }
    ASSERT_EQ(StampFileCrcRecord(file), CrcStampStatus::Stamped);
    struct stat after {};
    ASSERT_EQ(::stat(file.c_str(), &after), 0);
    EXPECT_EQ(static_cast<std::uintmax_t>(after.st_size), kSize);
    EXPECT_EQ(after.st_blocks, before.st_blocks) << "the stamp wrote beyond the record";
    const FileCrcCheck check = CheckFileCrcRecord(file);
    EXPECT_EQ(check.status, CrcCheckStatus::Match);
    EXPECT_NE(check.storedCrc, 0u);
}
#endif

}  // namespace
}  // namespace qm7x::integrity
