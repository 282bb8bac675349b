// The math library leaves the build stamped, and its record catches a changed byte.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "qm7x/integrity/arkomet_crc32.h"
#include "qm7x/integrity/crc_record.h"
#include "qm7x/integrity/file_info.h"
#include "test_support.h"

namespace qm7x::integrity {
namespace {

TEST(MathLibrary, BuiltLibraryCarriesAMatchingRecord) {
    std::uint32_t stored = 0;
    std::uint32_t computed = 0;
    std::uint32_t whole = 0;
    ASSERT_EQ(CheckFileInternalCRC32(QM7X_MATH_LIBRARY, stored, computed, &whole), 0);
    EXPECT_EQ(stored, computed);
    EXPECT_EQ(whole, test::ReferenceCrc32(test::ReadAll(QM7X_MATH_LIBRARY)));
}

TEST(MathLibrary, CopyWithOneByteChangedDoesNotMatch) {
    const std::string original = test::ReadAll(QM7X_MATH_LIBRARY);
    const std::size_t digitsAt = original.find(test::kMarker) + kCrcMarkerSize;
    ASSERT_NE(original.find(test::kMarker), std::string::npos);
    test::ScratchDir dir;
    for (const std::size_t at :
         {std::size_t{0}, original.size() / 2, digitsAt + 8, original.size() - 1}) {
        if (at >= digitsAt && at < digitsAt + 8) {
            continue;
        }
        std::string changed = original;
        changed[at] = static_cast<char>(changed[at] ^ 0x01);
        const auto copy = dir.File("libtrqm7x_math.so", changed);
        std::uint32_t stored = 0;
        std::uint32_t computed = 0;
        EXPECT_EQ(CheckFileInternalCRC32(copy, stored, computed), 1) << "byte " << at;
    }
}

TEST(MathLibrary, VersionFromTheLibrarysMetadata) {
    std::string version, name;
    EXPECT_EQ(GetFInfo(QM7X_MATH_LIBRARY, &version, nullptr, nullptr, &name), 0);
    EXPECT_EQ(version, "1.0");
    EXPECT_EQ(name, std::filesystem::path(QM7X_MATH_LIBRARY).filename().string());
}

#if !defined(_WIN32)
TEST(MathLibrary, WithoutItsPackageNoteTheVersionIsNotAvailable) {
    // The note's owner "FDO" made unrecognisable: the file is otherwise the library.
    std::string bytes = test::ReadAll(QM7X_MATH_LIBRARY);
    const std::size_t owner = bytes.find(std::string("FDO\0{", 5));
    ASSERT_NE(owner, std::string::npos);
    bytes[owner] = 'X';
    test::ScratchDir dir;
    const auto copy = dir.File("libtrqm7x_math.so.1", bytes);
    std::string version;
    GetFInfo(copy.string(), &version, nullptr, nullptr, nullptr);
    EXPECT_EQ(version, "n/a");
}
#endif

}  // namespace
}  // namespace qm7x::integrity
