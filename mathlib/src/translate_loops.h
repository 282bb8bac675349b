// The portable inner loops of the conversions. A block is converted in chunks of 48 values:
// every code gets a sign test, one multiplication and one subtraction against per-value tables,
// with no branch and no possible aliasing, so compilers turn the loops into vector code. Format 0
// reads its codes straight from the block; the other layouts first unpack the frames of a chunk
// into plain 32-bit codes (per layout and frame width, so positions are compile-time constants).
#pragma once

#include <cstdint>

#include "raw_words.h"
#include "translate_prepare.h"

namespace trqm7x::math {

// Divisible by every frame width (1, 2, 3) and by every vector width of doubles and floats.
constexpr int kChunkValues = 48;

// Gain and offset of each value position of a chunk: value j belongs to frame position
// j mod chanCount. Filled once per call from the prepared positions.
template <typename Out>
struct ChunkTable {
    Out gp[kChunkValues];
    Out gn[kChunkValues];
    Out o[kChunkValues];

    ChunkTable(const PreparedPositions<Out>& p, int chanCount) {
        for (int j = 0; j < kChunkValues; ++j) {
            gp[j] = p.gp[j % chanCount];
            gn[j] = p.gn[j % chanCount];
            o[j] = p.o[j % chanCount];
        }
    }
};

// The unpacked codes of one chunk; for the packed layouts also the polarity of each value's
// frame (0 or -1, from bit 31 of its word).
struct CodeChunk {
    std::int32_t code[kChunkValues];
    std::int32_t negative[kChunkValues];
};

// Polarity from the code itself (formats 0 and 1). The sign is tested on the converted value,
// which has the sign of the code, so that the gain is a select rather than a branch.
template <typename Out>
inline void convertBySign(const CodeChunk& c, const ChunkTable<Out>& t, Out* out, int count) {
    for (int j = 0; j < count; ++j) {
        const Out x = static_cast<Out>(c.code[j]);
        const Out gp = t.gp[j];
        const Out gn = t.gn[j];
        out[j] = x * (x < 0 ? gn : gp) - t.o[j];
    }
}

// Polarity of the frame's word (packed formats).
template <typename Out>
inline void convertByPolarity(const CodeChunk& c, const ChunkTable<Out>& t, Out* out, int count) {
    for (int j = 0; j < count; ++j) {
        const Out x = static_cast<Out>(c.code[j]);
        const Out gp = t.gp[j];
        const Out gn = t.gn[j];
        out[j] = x * (c.negative[j] != 0 ? gn : gp) - t.o[j];
    }
}

// Format 1: Chans 16-bit signed integers per frame, plus one spare slot when Chans is odd.
template <int Chans>
struct Int16Frames {
    static constexpr bool kPacked = false;
    static constexpr int kSlots = Chans + Chans % 2;
    static void unpack(const unsigned char* raw, std::int64_t first, int frames, CodeChunk& c) {
        const unsigned char* frame = raw + 2 * first * kSlots;
        for (int f = 0; f < frames; ++f) {
            for (int i = 0; i < Chans; ++i) {
                c.code[f * Chans + i] = readInt16(frame + 2 * (f * kSlots + i));
            }
        }
    }
};

// Packed formats: one word per frame, 10-bit fields; positions from Chans on are not read.
template <int Chans>
struct PackedFrames {
    static constexpr bool kPacked = true;
    static void unpack(const unsigned char* raw, std::int64_t first, int frames, CodeChunk& c) {
        const unsigned char* frame = raw + 4 * first;
        for (int f = 0; f < frames; ++f) {
            const std::uint32_t w = readLe32(frame + 4 * f);
            const std::int32_t negative = (w >> 31) != 0 ? -1 : 0;
            for (int i = 0; i < Chans; ++i) {
                c.code[f * Chans + i] = packedField(w, i);
                c.negative[f * Chans + i] = negative;
            }
        }
    }
};

template <typename Layout, typename Out>
inline void convertChunk(const CodeChunk& c, const ChunkTable<Out>& t, Out* out, int count) {
    if constexpr (Layout::kPacked) {
        convertByPolarity(c, t, out, count);
    } else {
        convertBySign(c, t, out, count);
    }
}

// Format 0 needs no unpacking: the codes are read straight from the block. The block and the
// output are distinct caller arrays.
template <typename Out>
inline void convertInt32BySign(const unsigned char* __restrict raw, const ChunkTable<Out>& t,
                               Out* __restrict out, int count) {
    for (int j = 0; j < count; ++j) {
        const Out x = static_cast<Out>(readInt32(raw + 4 * j));
        const Out gp = t.gp[j];
        const Out gn = t.gn[j];
        out[j] = x * (x < 0 ? gn : gp) - t.o[j];
    }
}

template <int Chans, typename Out>
void convertInt32Frames(const unsigned char* raw, Out* out, std::int64_t frames,
                        const PreparedPositions<Out>& p) {
    constexpr int kFramesPerChunk = kChunkValues / Chans;
    const ChunkTable<Out> table(p, Chans);
    std::int64_t f = 0;
    for (; f + kFramesPerChunk <= frames; f += kFramesPerChunk) {
        convertInt32BySign(raw + 4 * f * Chans, table, out + f * Chans, kChunkValues);
    }
    if (f < frames) {
        convertInt32BySign(raw + 4 * f * Chans, table, out + f * Chans,
                           static_cast<int>(frames - f) * Chans);
    }
}

// Converts `frames` whole frames of the given layout of Chans positions.
template <int Chans, template <int> class LayoutOf, typename Out>
void convertFrames(const unsigned char* raw, Out* out, std::int64_t frames,
                   const PreparedPositions<Out>& p) {
    using Layout = LayoutOf<Chans>;
    constexpr int kFramesPerChunk = kChunkValues / Chans;
    const ChunkTable<Out> table(p, Chans);
    CodeChunk chunk;
    std::int64_t f = 0;
    for (; f + kFramesPerChunk <= frames; f += kFramesPerChunk) {
        Layout::unpack(raw, f, kFramesPerChunk, chunk);
        convertChunk<Layout>(chunk, table, out + f * Chans, kChunkValues);
    }
    if (f < frames) {
        const int rest = static_cast<int>(frames - f);
        Layout::unpack(raw, f, rest, chunk);
        convertChunk<Layout>(chunk, table, out + f * Chans, rest * Chans);
    }
}

}  // namespace trqm7x::math
