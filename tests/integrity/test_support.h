// Helpers of the integrity tests: an independent CRC-32, the marker's bytes as the code page table
// gives them, and scratch files in a directory of their own.
#pragma once

#include <unistd.h>

#include <array>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

namespace qm7x::integrity::test {

// "ВстроенныйCRC32=" in Windows-1251, byte by byte.
inline const std::string kMarker =
    "\xC2\xF1\xF2\xF0\xEE\xE5\xED\xED\xFB\xE9"
    "CRC32=";

// Table-driven CRC-32 (reflected polynomial 0xEDB88320) written from its definition.
inline std::uint32_t ReferenceCrc32(std::string_view data) {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t c = i;
        for (int bit = 0; bit < 8; ++bit) {
            c = (c & 1u) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        }
        table[i] = c;
    }
    std::uint32_t crc = 0xFFFFFFFFu;
    for (const char ch : data) {
        crc = (crc >> 8) ^ table[(crc ^ static_cast<unsigned char>(ch)) & 0xFFu];
    }
    return ~crc;
}

inline std::string Hex8(std::uint32_t value) {
    char text[9];
    std::snprintf(text, sizeof text, "%08X", value);
    return text;
}

// prefix + marker + the file's correct CRC + suffix, stamped by hand.
inline std::string StampedByHand(const std::string& prefix, const std::string& suffix) {
    const std::string zeroed = prefix + kMarker + "00000000" + suffix;
    return prefix + kMarker + Hex8(ReferenceCrc32(zeroed)) + suffix;
}

// A fresh directory, removed with everything in it at the end of the test.
class ScratchDir {
  public:
    ScratchDir() {
        static std::atomic<int> counter{0};
        path_ = std::filesystem::temp_directory_path() /
                ("qm7x_integrity_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~ScratchDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;

    std::filesystem::path File(const std::string& name, std::string_view contents) const {
        const std::filesystem::path file = path_ / name;
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
        return file;
    }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
    const std::filesystem::path& Path() const { return path_; }

  private:
    std::filesystem::path path_;
};

inline std::string ReadAll(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace qm7x::integrity::test
