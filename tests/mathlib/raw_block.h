// Builders of raw result blocks (little-endian bytes) and fixtures shared by the conversion tests.
#pragma once

#include <cstdint>
#include <vector>

#include "trqm7x_math.h"

namespace mathlib_test {

using Bytes = std::vector<unsigned char>;

inline void appendLe(Bytes& bytes, std::uint32_t value, int size) {
    for (int b = 0; b < size; ++b) {
        bytes.push_back(static_cast<unsigned char>(value >> (8 * b)));
    }
}

inline Bytes int32Block(const std::vector<std::int32_t>& codes) {
    Bytes bytes;
    for (std::int32_t c : codes) {
        appendLe(bytes, static_cast<std::uint32_t>(c), 4);
    }
    return bytes;
}

inline Bytes int16Block(const std::vector<std::int32_t>& slots) {
    Bytes bytes;
    for (std::int32_t c : slots) {
        appendLe(bytes, static_cast<std::uint32_t>(c), 2);
    }
    return bytes;
}

// One packed word: 10-bit fields at bits 0, 10 and 20; bit 31 the polarity of the frame.
inline std::uint32_t packedWord(int f0, int f1, int f2, bool negative) {
    return (static_cast<std::uint32_t>(f0) & 0x3FFu) |
           ((static_cast<std::uint32_t>(f1) & 0x3FFu) << 10) |
           ((static_cast<std::uint32_t>(f2) & 0x3FFu) << 20) | (negative ? 0x80000000u : 0u);
}

inline Bytes packedBlock(const std::vector<std::uint32_t>& words) {
    Bytes bytes;
    for (std::uint32_t w : words) {
        appendLe(bytes, w, 4);
    }
    return bytes;
}

inline ConvParams makeParams(std::int32_t shift, std::uint32_t divisor, std::int32_t format,
                             double o0 = 0.0, double o1 = 0.0, double o2 = 0.0) {
    ConvParams p{};
    p.shift = shift;
    p.divisor = divisor;
    p.format = format;
    p.offset[0] = o0;
    p.offset[1] = o1;
    p.offset[2] = o2;
    return p;
}

}  // namespace mathlib_test
