// The ELF package note read from untrusted bytes: found through sections or segments, in either
// class and byte order, and nothing read past the file when it is cut or damaged.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "qm7x/os/elf_package_note.h"

namespace qm7x::os {
namespace {

using Bytes = std::vector<unsigned char>;

void Put(Bytes& bytes, std::size_t at, std::uint64_t value, unsigned size, bool bigEndian) {
    if (bytes.size() < at + size) {
        bytes.resize(at + size);
    }
    for (unsigned i = 0; i < size; ++i) {
        const unsigned shift = 8 * (bigEndian ? size - 1 - i : i);
        bytes[at + i] = static_cast<unsigned char>(value >> shift);
    }
}

// A 32-bit big-endian ELF file without section headers whose one PT_NOTE segment holds a
// note of the given owner, type and text.
Bytes SegmentOnlyElf(const std::string& owner, std::uint32_t type, const std::string& text) {
    Bytes elf = {0x7f, 'E', 'L', 'F', 1, 2, 1};
    elf.resize(52);
    const std::size_t noteAt = 52 + 32;
    const std::size_t ownerSize = owner.size() + 1;
    const std::size_t descAt = noteAt + 12 + (ownerSize + 3) / 4 * 4;
    const std::size_t noteSize = descAt + (text.size() + 1 + 3) / 4 * 4 - noteAt;
    Put(elf, 0x1C, 52, 4, true);  // e_phoff
    Put(elf, 0x2A, 32, 2, true);  // e_phentsize
    Put(elf, 0x2C, 1, 2, true);   // e_phnum
    Put(elf, 52, 4, 4, true);     // p_type PT_NOTE
    Put(elf, 52 + 0x04, noteAt, 4, true);
    Put(elf, 52 + 0x10, noteSize, 4, true);
    Put(elf, 52 + 0x1C, 4, 4, true);
    Put(elf, noteAt, ownerSize, 4, true);
    Put(elf, noteAt + 4, text.size() + 1, 4, true);
    Put(elf, noteAt + 8, type, 4, true);
    elf.resize(noteAt + noteSize);
    std::copy(owner.begin(), owner.end(), elf.begin() + static_cast<long>(noteAt + 12));
    std::copy(text.begin(), text.end(), elf.begin() + static_cast<long>(descAt));
    return elf;
}

Bytes ReadFile(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(ElfPackageNote, TheBuiltLibrarysNote) {
    const Bytes library = ReadFile(TRQM7X_MATH_FILE);
    ASSERT_FALSE(library.empty());
    const auto json = ElfPackageNoteJson(library);
    ASSERT_TRUE(json.has_value());
    EXPECT_NE(json->find("\"name\":\"trqm7x_math\""), std::string::npos) << *json;
    EXPECT_EQ(ElfPackageVersion(library), "1.0");
}

TEST(ElfPackageNote, ThroughTheSegmentsOfABigEndian32BitFile) {
    const unsigned kPackage = 0xcafe1a7eu;
    EXPECT_EQ(ElfPackageVersion(SegmentOnlyElf("FDO", kPackage, R"({"version":"2.5.1"})")),
              "2.5.1");
    EXPECT_EQ(ElfPackageVersion(SegmentOnlyElf("GNU", kPackage, R"({"version":"2.5.1"})")),
              std::nullopt);
    EXPECT_EQ(ElfPackageVersion(SegmentOnlyElf("FDO", 1, R"({"version":"2.5.1"})")), std::nullopt);
    // The JSON must be an object with a string "version".
    for (const char* json : {R"({"version":25})", R"({"name":"x"})", R"(["version"])",
                             R"({"version":"1.0")", "not json"}) {
        EXPECT_EQ(ElfPackageVersion(SegmentOnlyElf("FDO", kPackage, json)), std::nullopt) << json;
    }
}

TEST(ElfPackageNote, NotElfOrCutShortGivesNothing) {
    EXPECT_EQ(ElfPackageVersion(Bytes{}), std::nullopt);
    EXPECT_EQ(ElfPackageVersion(Bytes{'M', 'Z', 0x90, 0}), std::nullopt);
    // Every cut of a file that has a note: either the note is still whole or nothing is found.
    const Bytes library = ReadFile(TRQM7X_MATH_FILE);
    for (std::size_t length = 0; length < library.size(); length += 61) {
        const auto version =
            ElfPackageVersion(std::span<const unsigned char>(library).first(length));
        EXPECT_TRUE(!version || *version == "1.0") << length;
    }
    const Bytes segmentOnly = SegmentOnlyElf("FDO", 0xcafe1a7eu, R"({"version":"3"})");
    for (std::size_t length = 0; length < segmentOnly.size(); ++length) {
        EXPECT_EQ(ElfPackageVersion(std::span<const unsigned char>(segmentOnly).first(length)),
                  std::nullopt)
            << length;
    }
}

TEST(ElfPackageNote, SizesThatPointOutsideTheFile) {
    Bytes elf = SegmentOnlyElf("FDO", 0xcafe1a7eu, R"({"version":"3"})");
    Bytes damaged = elf;
    Put(damaged, 52 + 0x10, 0xFFFFFFF0u, 4, true);  // segment size
    EXPECT_EQ(ElfPackageVersion(damaged), std::nullopt);
    damaged = elf;
    Put(damaged, 84 + 4, 0xFFFFFFFFu, 4, true);  // the note's text size
    EXPECT_EQ(ElfPackageVersion(damaged), std::nullopt);
    damaged = elf;
    Put(damaged, 0x2C, 0xFFFF, 2, true);  // many segments, the table runs past the file
    EXPECT_EQ(ElfPackageVersion(damaged), "3");
}

}  // namespace
}  // namespace qm7x::os
