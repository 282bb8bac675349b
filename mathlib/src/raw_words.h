// Little-endian reads from the caller's raw block, which may have any alignment.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

namespace trqm7x::math {

inline std::uint32_t readLe32(const unsigned char* p) {
    std::uint32_t v;
    std::memcpy(&v, p, sizeof v);
    if constexpr (std::endian::native == std::endian::big) {
        v = (v >> 24) | ((v >> 8) & 0xFF00u) | ((v << 8) & 0xFF0000u) | (v << 24);
    }
    return v;
}

inline std::uint16_t readLe16(const unsigned char* p) {
    std::uint16_t v;
    std::memcpy(&v, p, sizeof v);
    if constexpr (std::endian::native == std::endian::big) {
        v = static_cast<std::uint16_t>((v >> 8) | (v << 8));
    }
    return v;
}

inline std::int32_t readInt32(const unsigned char* p) {
    return static_cast<std::int32_t>(readLe32(p));
}

inline std::int16_t readInt16(const unsigned char* p) {
    return static_cast<std::int16_t>(readLe16(p));
}

// Sign-extended 10-bit field of a packed word: position 0 in bits 0-9, 1 in 10-19, 2 in 20-29.
inline std::int32_t packedField(std::uint32_t word, int position) {
    return static_cast<std::int32_t>(word << (22 - 10 * position)) >> 22;
}

}  // namespace trqm7x::math
