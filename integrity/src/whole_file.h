// Byte-exact whole-file access for the CRC operations: the file read into one buffer, and the
// start of a file rewritten in place.
#pragma once

#include <cstddef>
#include <filesystem>
#include <span>
#include <vector>

namespace qm7x::integrity {

enum class ReadStatus { Ok, Missing, CannotOpen, Empty, ReadError, NoMemory };

struct WholeFile {
    ReadStatus status = ReadStatus::CannotOpen;
    // Zero-filled and 8 bytes longer than the file's size, so a zero byte always follows the data.
    std::vector<unsigned char> buffer;
    std::size_t length = 0;  // bytes actually read

    std::span<unsigned char> Data() { return std::span(buffer).first(length); }
};

WholeFile ReadWholeFile(const std::filesystem::path& path);

// Overwrites the first bytes of an existing file with `bytes`; never truncates or creates it.
bool OverwriteFileStart(const std::filesystem::path& path, std::span<const unsigned char> bytes);

}  // namespace qm7x::integrity
