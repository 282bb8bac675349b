// The math library leaves the build stamped, and its record catches a changed byte.
#include <gtest/gtest.h>

#include <string>

#include "qm7x/integrity/arkomet_crc32.h"
#include "qm7x/integrity/crc_record.h"
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

}  // namespace
}  // namespace qm7x::integrity
