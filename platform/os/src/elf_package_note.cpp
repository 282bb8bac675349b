#include "qm7x/os/elf_package_note.h"

#include <nlohmann/json.hpp>

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace qm7x::os {
namespace {

constexpr std::uint32_t kPackageNoteType = 0xcafe1a7eu;
constexpr std::string_view kPackageNoteOwner{"FDO\0", 4};
constexpr std::uint32_t kSectionNote = 7;  // SHT_NOTE
constexpr std::uint32_t kSegmentNote = 4;  // PT_NOTE

// Reads fixed-size fields of either class and byte order; every read is bounds-checked.
class ElfReader {
  public:
    explicit ElfReader(std::span<const unsigned char> file) : file_(file) {
        if (file.size() < 16 || file[0] != 0x7f || file[1] != 'E' || file[2] != 'L' ||
            file[3] != 'F' || (file[4] != 1 && file[4] != 2) || (file[5] != 1 && file[5] != 2)) {
            return;
        }
        is64_ = file[4] == 2;
        bigEndian_ = file[5] == 2;
        valid_ = file.size() >= (is64_ ? 64u : 52u);
    }

    bool Valid() const { return valid_; }
    bool Is64() const { return is64_; }
    std::span<const unsigned char> File() const { return file_; }

    // An unsigned field of `size` bytes at `offset`; nullopt when it lies outside the file.
    std::optional<std::uint64_t> Field(std::uint64_t offset, unsigned size) const {
        if (offset > file_.size() || size > file_.size() - offset) {
            return std::nullopt;
        }
        std::uint64_t value = 0;
        for (unsigned i = 0; i < size; ++i) {
            const unsigned char byte =
                file_[static_cast<std::size_t>(offset) + (bigEndian_ ? i : size - 1 - i)];
            value = (value << 8) | byte;
        }
        return value;
    }
    // A field that is 4 bytes in 32-bit files and 8 bytes in 64-bit files.
    std::optional<std::uint64_t> Word(std::uint64_t offset) const {
        return Field(offset, is64_ ? 8 : 4);
    }

  private:
    std::span<const unsigned char> file_;
    bool valid_ = false;
    bool is64_ = false;
    bool bigEndian_ = false;
};

constexpr std::uint64_t alignUp(std::uint64_t value, std::uint64_t alignment) {
    return (value + alignment - 1) / alignment * alignment;
}

// Walks the notes in [offset, offset + size) and returns the package note's text.
std::optional<std::string> findInNotes(const ElfReader& elf, std::uint64_t offset,
                                       std::uint64_t size, std::uint64_t alignment) {
    const std::uint64_t fileSize = elf.File().size();
    if (offset > fileSize || size > fileSize - offset) {
        return std::nullopt;
    }
    alignment = alignment == 8 ? 8 : 4;
    const std::uint64_t end = offset + size;
    std::uint64_t at = offset;
    while (end - at >= 12) {
        const auto nameSize = elf.Field(at, 4);
        const auto descSize = elf.Field(at + 4, 4);
        const auto type = elf.Field(at + 8, 4);
        const std::uint64_t nameAt = at + 12;
        const std::uint64_t descAt = alignUp(nameAt + *nameSize, alignment);
        if (descAt > end || *descSize > end - descAt) {
            return std::nullopt;  // a note running past its section: the rest is not notes
        }
        const auto name = elf.File().subspan(static_cast<std::size_t>(nameAt),
                                             static_cast<std::size_t>(*nameSize));
        if (*type == kPackageNoteType &&
            std::string_view(reinterpret_cast<const char*>(name.data()), name.size()) ==
                kPackageNoteOwner) {
            const auto desc = elf.File().subspan(static_cast<std::size_t>(descAt),
                                                 static_cast<std::size_t>(*descSize));
            std::string text(reinterpret_cast<const char*>(desc.data()), desc.size());
            text.resize(text.find('\0') == std::string::npos ? text.size() : text.find('\0'));
            return text;
        }
        at = alignUp(descAt + *descSize, alignment);
    }
    return std::nullopt;
}

std::optional<std::string> findInSections(const ElfReader& elf) {
    const bool is64 = elf.Is64();
    const auto tableAt = elf.Word(is64 ? 0x28 : 0x20);
    const auto entrySize = elf.Field(is64 ? 0x3A : 0x2E, 2);
    auto count = elf.Field(is64 ? 0x3C : 0x30, 2);
    if (!tableAt || *tableAt == 0 || !entrySize || *entrySize < (is64 ? 64u : 40u)) {
        return std::nullopt;
    }
    if (*count == 0) {
        count = elf.Word(*tableAt + (is64 ? 0x20 : 0x14));  // many sections: sh_size of entry 0
    }
    if (!count) {
        return std::nullopt;
    }
    for (std::uint64_t i = 0; i < *count; ++i) {
        const std::uint64_t entry = *tableAt + i * *entrySize;
        const auto type = elf.Field(entry + 4, 4);
        if (!type) {
            return std::nullopt;  // the table runs past the file
        }
        if (*type != kSectionNote) {
            continue;
        }
        const auto offset = elf.Word(entry + (is64 ? 0x18 : 0x10));
        const auto size = elf.Word(entry + (is64 ? 0x20 : 0x14));
        const auto alignment = elf.Word(entry + (is64 ? 0x30 : 0x20));
        if (offset && size && alignment) {
            if (auto text = findInNotes(elf, *offset, *size, *alignment)) {
                return text;
            }
        }
    }
    return std::nullopt;
}

std::optional<std::string> findInSegments(const ElfReader& elf) {
    const bool is64 = elf.Is64();
    const auto tableAt = elf.Word(is64 ? 0x20 : 0x1C);
    const auto entrySize = elf.Field(is64 ? 0x36 : 0x2A, 2);
    const auto count = elf.Field(is64 ? 0x38 : 0x2C, 2);
    if (!tableAt || *tableAt == 0 || !entrySize || *entrySize < (is64 ? 56u : 32u) || !count) {
        return std::nullopt;
    }
    for (std::uint64_t i = 0; i < *count; ++i) {
        const std::uint64_t entry = *tableAt + i * *entrySize;
        const auto type = elf.Field(entry, 4);
        if (!type) {
            return std::nullopt;
        }
        if (*type != kSegmentNote) {
            continue;
        }
        const auto offset = elf.Word(entry + (is64 ? 0x08 : 0x04));
        const auto size = elf.Word(entry + (is64 ? 0x20 : 0x10));
        const auto alignment = elf.Word(entry + (is64 ? 0x30 : 0x1C));
        if (offset && size && alignment) {
            if (auto text = findInNotes(elf, *offset, *size, *alignment)) {
                return text;
            }
        }
    }
    return std::nullopt;
}

}  // namespace

std::optional<std::string> ElfPackageNoteJson(std::span<const unsigned char> file) {
    const ElfReader elf(file);
    if (!elf.Valid()) {
        return std::nullopt;
    }
    if (auto text = findInSections(elf)) {
        return text;
    }
    return findInSegments(elf);
}

std::optional<std::string> ElfPackageVersion(std::span<const unsigned char> file) {
    const auto text = ElfPackageNoteJson(file);
    if (!text) {
        return std::nullopt;
    }
    const auto json = nlohmann::json::parse(*text, nullptr, /*allow_exceptions=*/false);
    if (!json.is_object()) {
        return std::nullopt;
    }
    const auto version = json.find("version");
    if (version == json.end() || !version->is_string()) {
        return std::nullopt;
    }
    return version->get<std::string>();
}

}  // namespace qm7x::os
