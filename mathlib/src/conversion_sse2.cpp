// The conversion loops for every x86-64 processor (SSE2, the base level). Same shape as the AVX2
// loops, in 128-bit vectors and with SSE2's instructions only: 16-bit codes are sign-extended by
// unpacking and shifting, the fields of packed words are shifted per lane by masks, and the gain
// is selected by masks and bit operations instead of a blend. Multiplication and subtraction round
// separately, like the portable loops, which convert the frames after the last whole group.
#include <emmintrin.h>

#include "conversion_kernels.h"

namespace trqm7x::math {
namespace {

// Four consecutive values of a group: their codes, and for the packed layouts the word of each
// value's frame (its sign bit is the polarity). Groups start on a frame boundary.
struct Codes {
    __m128i code;
    __m128i word;
};

__m128i load16(const unsigned char* p) {
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

__m128i load8(const unsigned char* p) {
    return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
}

// The 16-bit slots 0-3 and 4-7 of a vector, sign-extended to 32 bits.
__m128i lowSlots(__m128i v) {
    return _mm_srai_epi32(_mm_unpacklo_epi16(v, v), 16);
}

__m128i highSlots(__m128i v) {
    return _mm_srai_epi32(_mm_unpackhi_epi16(v, v), 16);
}

// Lanes a0 a1 of `a` and b0 b1 of `b` as picked by the two index pairs (shufps on integers).
template <int A0, int A1, int B0, int B1>
__m128i pick(__m128i a, __m128i b) {
    return _mm_castps_si128(
        _mm_shuffle_ps(_mm_castsi128_ps(a), _mm_castsi128_ps(b), _MM_SHUFFLE(B1, B0, A1, A0)));
}

// The layouts. Unit<U> gives values 4U to 4U + 3 of a group.
template <int Format, int Chans>
struct Layout;

// Format 0: 32-bit codes one after another.
template <int Chans>
struct Layout<0, Chans> {
    static constexpr bool kPacked = false;
    static constexpr int kFrameBytes = 4 * Chans;
    template <int U>
    static Codes unit(const unsigned char* group) {
        const __m128i c = load16(group + 16 * U);
        return {c, c};
    }
};

// Format 1, one position: each frame is a code and a spare 16-bit slot.
template <>
struct Layout<1, 1> {
    static constexpr bool kPacked = false;
    static constexpr int kFrameBytes = 4;
    template <int U>
    static Codes unit(const unsigned char* group) {
        const __m128i c = _mm_srai_epi32(_mm_slli_epi32(load16(group + 16 * U), 16), 16);
        return {c, c};
    }
};

// Format 1, two positions: 16-bit codes one after another.
template <>
struct Layout<1, 2> {
    static constexpr bool kPacked = false;
    static constexpr int kFrameBytes = 4;
    template <int U>
    static Codes unit(const unsigned char* group) {
        const __m128i c = lowSlots(load8(group + 8 * U));
        return {c, c};
    }
};

// Format 1, three positions: three codes and a spare slot per frame. Four frames (32 bytes,
// slots s0-s15) hold twelve values: s0 s1 s2 s4 | s5 s6 s8 s9 | s10 s12 s13 s14.
template <>
struct Layout<1, 3> {
    static constexpr bool kPacked = false;
    static constexpr int kFrameBytes = 8;
    template <int U>
    static Codes unit(const unsigned char* group) {
        const unsigned char* block = group + 32 * (U / 3);
        __m128i c;
        if constexpr (U % 3 == 0) {
            const __m128i v = load16(block);
            const __m128i lo = lowSlots(v);  // s0-s3
            c = pick<0, 1, 0, 2>(lo, pick<2, 3, 0, 1>(lo, highSlots(v)));
        } else if constexpr (U % 3 == 1) {
            c = pick<1, 2, 0, 1>(highSlots(load16(block)), lowSlots(load16(block + 16)));
        } else {
            const __m128i v = load16(block + 16);
            const __m128i hi = highSlots(v);  // s12-s15
            c = pick<0, 2, 1, 2>(pick<2, 2, 0, 0>(lowSlots(v), hi), hi);
        }
        return {c, c};
    }
};

// Packed layouts: one word per frame, position i in bits 10i to 10i + 9, polarity in bit 31.
// Each lane takes its frame's word; its field is shifted to the top (by the shift of the lane's
// position, chosen by masks) and back with the sign.
template <int Chans>
struct Layout<2, Chans> {
    static constexpr bool kPacked = true;
    static constexpr int kFrameBytes = 4;

    static constexpr int wordOf(int phase, int lane) { return (4 * phase + lane) / Chans; }
    static constexpr int positionOf(int phase, int lane) { return (4 * phase + lane) % Chans; }

    // All ones in the lanes of this phase that hold the given position.
    template <int Phase>
    static __m128i lanesOf(int position) {
        return _mm_setr_epi32(
            positionOf(Phase, 0) == position ? -1 : 0, positionOf(Phase, 1) == position ? -1 : 0,
            positionOf(Phase, 2) == position ? -1 : 0, positionOf(Phase, 3) == position ? -1 : 0);
    }

    template <int U>
    static Codes unit(const unsigned char* group) {
        if constexpr (Chans == 1) {
            const __m128i w = load16(group + 16 * U);
            return {_mm_srai_epi32(_mm_slli_epi32(w, 22), 22), w};
        } else {
            constexpr int kPhase = Chans == 3 ? U % 3 : 0;
            const __m128i w = Chans == 3 ? load16(group + 16 * (U / 3)) : load8(group + 8 * U);
            constexpr int kPick = wordOf(kPhase, 0) | wordOf(kPhase, 1) << 2 |
                                  wordOf(kPhase, 2) << 4 | wordOf(kPhase, 3) << 6;
            const __m128i lanes = _mm_shuffle_epi32(w, kPick);
            __m128i top =
                _mm_or_si128(_mm_and_si128(_mm_slli_epi32(lanes, 22), lanesOf<kPhase>(0)),
                             _mm_and_si128(_mm_slli_epi32(lanes, 12), lanesOf<kPhase>(1)));
            if constexpr (Chans == 3) {
                top =
                    _mm_or_si128(top, _mm_and_si128(_mm_slli_epi32(lanes, 2), lanesOf<kPhase>(2)));
            }
            return {_mm_srai_epi32(top, 22), lanes};
        }
    }
};

// gain = mask ? gn : gp, by bits: gp with the bits that differ in gn (flip = gp ^ gn) flipped
// where the mask is set.
__m128d select(__m128d mask, __m128d gp, __m128d flip) {
    return _mm_xor_pd(gp, _mm_and_pd(mask, flip));
}

__m128 select(__m128 mask, __m128 gp, __m128 flip) {
    return _mm_xor_ps(gp, _mm_and_ps(mask, flip));
}

// Vectors of the output type: two doubles or four floats; a four-value unit fills two or one.
template <typename Out>
struct Vectors;

template <>
struct Vectors<double> {
    using Vec = __m128d;
    static constexpr int kLanes = 2;
    static Vec load(const double* p) { return _mm_loadu_pd(p); }
    static Vec bitXor(Vec a, Vec b) { return _mm_xor_pd(a, b); }

    // Vector `Half` (0 or 1) of a unit.
    template <bool Packed, int Half>
    static void convert(Codes c, Vec gp, Vec flip, Vec o, double* out) {
        const __m128d x = _mm_cvtepi32_pd(Half == 0 ? c.code : _mm_unpackhi_epi64(c.code, c.code));
        __m128d negative;
        if constexpr (Packed) {
            const __m128i sign = _mm_srai_epi32(c.word, 31);
            negative = _mm_castsi128_pd(Half == 0 ? _mm_unpacklo_epi32(sign, sign)
                                                  : _mm_unpackhi_epi32(sign, sign));
        } else {
            negative = _mm_cmplt_pd(x, _mm_setzero_pd());
        }
        _mm_storeu_pd(out, _mm_sub_pd(_mm_mul_pd(x, select(negative, gp, flip)), o));
    }
};

template <>
struct Vectors<float> {
    using Vec = __m128;
    static constexpr int kLanes = 4;
    static Vec load(const float* p) { return _mm_loadu_ps(p); }
    static Vec bitXor(Vec a, Vec b) { return _mm_xor_ps(a, b); }

    template <bool Packed, int Half>
    static void convert(Codes c, Vec gp, Vec flip, Vec o, float* out) {
        const __m128 x = _mm_cvtepi32_ps(c.code);
        const __m128 negative = Packed ? _mm_castsi128_ps(_mm_srai_epi32(c.word, 31))
                                       : _mm_cmplt_ps(x, _mm_setzero_ps());
        _mm_storeu_ps(out, _mm_sub_ps(_mm_mul_ps(x, select(negative, gp, flip)), o));
    }
};

// Gains (gp, and gp ^ gn for the select) and offsets of each lane of the vectors of a group;
// lane l of vector k holds value k * kLanes + l, which belongs to frame position
// (k * kLanes + l) mod Chans.
template <typename Out, int Count>
struct GroupTable {
    using V = Vectors<Out>;
    typename V::Vec gp[Count];
    typename V::Vec flip[Count];
    typename V::Vec o[Count];

    GroupTable(const PreparedPositions<Out>& p, int chans) {
        for (int k = 0; k < Count; ++k) {
            Out lanesGp[V::kLanes];
            Out lanesGn[V::kLanes];
            Out lanesO[V::kLanes];
            for (int l = 0; l < V::kLanes; ++l) {
                const int position = (k * V::kLanes + l) % chans;
                lanesGp[l] = p.gp[position];
                lanesGn[l] = p.gn[position];
                lanesO[l] = p.o[position];
            }
            gp[k] = V::load(lanesGp);
            flip[k] = V::bitXor(gp[k], V::load(lanesGn));
            o[k] = V::load(lanesO);
        }
    }
};

// The vectors of unit U of a group.
template <typename L, typename Out, int U, int Count>
inline void convertUnit(const unsigned char* group, Out* out, const GroupTable<Out, Count>& t) {
    using V = Vectors<Out>;
    constexpr int kPerUnit = 4 / V::kLanes;
    const Codes c = L::template unit<U>(group);
    constexpr int k = U * kPerUnit;
    V::template convert<L::kPacked, 0>(c, t.gp[k], t.flip[k], t.o[k], out + 4 * U);
    if constexpr (kPerUnit == 2) {
        V::template convert<L::kPacked, 1>(c, t.gp[k + 1], t.flip[k + 1], t.o[k + 1],
                                           out + 4 * U + 2);
    }
}

// Converts the whole groups among `frames` and returns the frames converted.
template <int Format, int Chans, typename Out>
std::int64_t convertGroups(const unsigned char* raw, Out* out, std::int64_t frames,
                           const PreparedPositions<Out>& p) {
    using L = Layout<Format, Chans>;
    constexpr int kUnits = Chans == 3 ? 3 : 2;
    constexpr int kValues = 4 * kUnits;
    constexpr int kFrames = kValues / Chans;
    constexpr std::int64_t kBytes = std::int64_t{kFrames} * L::kFrameBytes;
    const GroupTable<Out, kValues / Vectors<Out>::kLanes> table(p, Chans);
    const std::int64_t groups = frames / kFrames;
    for (std::int64_t g = 0; g < groups; ++g) {
        const unsigned char* group = raw + g * kBytes;
        Out* dst = out + g * kValues;
        convertUnit<L, Out, 0>(group, dst, table);
        convertUnit<L, Out, 1>(group, dst, table);
        if constexpr (kUnits == 3) {
            convertUnit<L, Out, 2>(group, dst, table);
        }
    }
    return groups * kFrames;
}

template <int Chans, typename Out>
std::int64_t convertLayout(std::int32_t format, const unsigned char* raw, Out* out,
                           std::int64_t frames, const PreparedPositions<Out>& p) {
    switch (format) {
        case 0:
            return convertGroups<0, Chans>(raw, out, frames, p);
        case 1:
            return convertGroups<1, Chans>(raw, out, frames, p);
        default:
            return convertGroups<2, Chans>(raw, out, frames, p);
    }
}

template <typename Out>
std::int64_t convertBlock(FrameLayout layout, const unsigned char* raw, Out* out,
                          std::int64_t frames, const PreparedPositions<Out>& p) {
    switch (layout.chanCount) {
        case 1:
            return convertLayout<1>(layout.format, raw, out, frames, p);
        case 2:
            return convertLayout<2>(layout.format, raw, out, frames, p);
        default:
            return convertLayout<3>(layout.format, raw, out, frames, p);
    }
}

}  // namespace

const ConversionKernels kSse2Kernels{"sse2", convertBlock<double>, convertBlock<float>};

}  // namespace trqm7x::math
