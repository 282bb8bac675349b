// The inner loops of the conversions, one per raw layout and frame width, so that positions are
// compile-time constants: per value a sign test, one multiplication and one subtraction.
#pragma once

#include <cstdint>

#include "raw_words.h"
#include "translate_prepare.h"

namespace trqm7x::math {

template <typename Out>
inline Out convertValue(std::int32_t x, bool negative, const PreparedPositions<Out>& p, int i) {
    const Out gain = negative ? p.gn[i] : p.gp[i];
    return static_cast<Out>(x) * gain - p.o[i];
}

// Format 0: Chans 32-bit signed integers per frame.
template <int Chans, typename Out>
void convertInt32Frames(const unsigned char* raw, Out* out, std::int64_t frames,
                        const PreparedPositions<Out>& p) {
    for (std::int64_t f = 0; f < frames; ++f) {
        for (int i = 0; i < Chans; ++i) {
            const std::int32_t x = readInt32(raw + 4 * (f * Chans + i));
            out[f * Chans + i] = convertValue(x, x < 0, p, i);
        }
    }
}

// Format 1: Chans 16-bit signed integers per frame, plus one spare slot when Chans is odd.
template <int Chans, typename Out>
void convertInt16Frames(const unsigned char* raw, Out* out, std::int64_t frames,
                        const PreparedPositions<Out>& p) {
    constexpr int kSlots = Chans + Chans % 2;
    for (std::int64_t f = 0; f < frames; ++f) {
        for (int i = 0; i < Chans; ++i) {
            const std::int32_t x = readInt16(raw + 2 * (f * kSlots + i));
            out[f * Chans + i] = convertValue(x, x < 0, p, i);
        }
    }
}

// Packed formats: one word per frame; bit 31 is the polarity of every position of the frame.
template <int Chans, typename Out>
void convertPackedFrames(const unsigned char* raw, Out* out, std::int64_t frames,
                         const PreparedPositions<Out>& p) {
    for (std::int64_t f = 0; f < frames; ++f) {
        const std::uint32_t w = readLe32(raw + 4 * f);
        const bool negative = (w >> 31) != 0;
        for (int i = 0; i < Chans; ++i) {
            out[f * Chans + i] = convertValue(packedField(w, i), negative, p, i);
        }
    }
}

}  // namespace trqm7x::math
