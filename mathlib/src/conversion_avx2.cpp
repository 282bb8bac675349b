// The conversion loops for x86-64 processors with AVX2 (x86-64-v3). Only this file is built with
// -mavx2, and everything in it but the set itself has internal linkage, so that no AVX2 code can
// stand in for an inline function of the rest of the library on an older processor.
//
// A block is converted in groups of whole frames that fill two or three vectors (three when the
// frame has three positions, so that the gains and offsets repeat from group to group). Each
// vector: unpack the raw codes into 32-bit integers, convert, select the gain by the sign of the
// code (or of the frame's word in the packed layouts), one multiplication, one subtraction. The
// multiplication and the subtraction round separately (no fused multiply-add), exactly like the
// portable loops, which convert the frames after the last whole group.
#include <immintrin.h>

#include "conversion_kernels.h"

namespace trqm7x::math {
namespace {

// Four consecutive values of a group: their codes, and for the packed layouts the word of each
// value's frame (its sign bit is the polarity). Groups start on a frame boundary.
struct Codes {
    __m128i code;
    __m128i word;
};

template <int Bytes>
__m128i load(const unsigned char* p) {
    if constexpr (Bytes == 16) {
        return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    } else {
        return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p));
    }
}

// Lanes holding a 16-bit code in their upper half (as pshufb places it), sign-extended.
__m128i fromUpperHalves(__m128i v) {
    return _mm_srai_epi32(v, 16);
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
        const __m128i c = load<16>(group + 16 * U);
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
        const __m128i c = fromUpperHalves(_mm_slli_epi32(load<16>(group + 16 * U), 16));
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
        const __m128i c = _mm_cvtepi16_epi32(load<8>(group + 8 * U));
        return {c, c};
    }
};

// Format 1, three positions: three codes and a spare slot per frame. Four frames (32 bytes) hold
// twelve values; the four values of phase P lie within the 16 bytes from byte 8P.
template <>
struct Layout<1, 3> {
    static constexpr bool kPacked = false;
    static constexpr int kFrameBytes = 8;

    // 16-bit slot of value j (0..11) of four frames, counted from the start of its unit's load.
    static constexpr char slot(int phase, int lane) {
        const int j = 4 * phase + lane;
        return static_cast<char>(4 * (j / 3) + j % 3 - 4 * phase);
    }
    // pshufb pattern putting the slot of each lane into that lane's upper half.
    template <int Phase>
    static __m128i upperHalves() {
        constexpr char a = slot(Phase, 0);
        constexpr char b = slot(Phase, 1);
        constexpr char c = slot(Phase, 2);
        constexpr char d = slot(Phase, 3);
        return _mm_setr_epi8(-1, -1, static_cast<char>(2 * a), static_cast<char>(2 * a + 1), -1, -1,
                             static_cast<char>(2 * b), static_cast<char>(2 * b + 1), -1, -1,
                             static_cast<char>(2 * c), static_cast<char>(2 * c + 1), -1, -1,
                             static_cast<char>(2 * d), static_cast<char>(2 * d + 1));
    }
    template <int U>
    static Codes unit(const unsigned char* group) {
        constexpr int kPhase = U % 3;
        const __m128i bytes = load<16>(group + 32 * (U / 3) + 8 * kPhase);
        const __m128i c = fromUpperHalves(_mm_shuffle_epi8(bytes, upperHalves<kPhase>()));
        return {c, c};
    }
};

// Packed layouts: one word per frame, position i in bits 10i to 10i + 9, polarity in bit 31.
// Each lane takes its frame's word and shifts its field to the top, then back with the sign.
template <int Chans>
struct Layout<2, Chans> {
    static constexpr bool kPacked = true;
    static constexpr int kFrameBytes = 4;
    static constexpr int kWordsPerUnit = Chans == 3 ? 4 : 4 / Chans;  // three units share four

    static constexpr int wordOf(int phase, int lane) { return (4 * phase + lane) / Chans; }
    static constexpr int shiftOf(int phase, int lane) {
        return 22 - 10 * ((4 * phase + lane) % Chans);
    }
    template <int U>
    static Codes unit(const unsigned char* group) {
        constexpr int kPhase = Chans == 3 ? U % 3 : 0;
        const unsigned char* words =
            Chans == 3 ? group + 16 * (U / 3) : group + 4 * kWordsPerUnit * U;
        const __m128i w = load<4 * kWordsPerUnit>(words);
        if constexpr (Chans == 1) {
            return {_mm_srai_epi32(_mm_slli_epi32(w, 22), 22), w};
        } else {
            constexpr int kPick = wordOf(kPhase, 0) | wordOf(kPhase, 1) << 2 |
                                  wordOf(kPhase, 2) << 4 | wordOf(kPhase, 3) << 6;
            const __m128i lanes = _mm_shuffle_epi32(w, kPick);
            const __m128i shifts = _mm_setr_epi32(shiftOf(kPhase, 0), shiftOf(kPhase, 1),
                                                  shiftOf(kPhase, 2), shiftOf(kPhase, 3));
            return {_mm_srai_epi32(_mm_sllv_epi32(lanes, shifts), 22), lanes};
        }
    }
};

// Vectors of the output type: four doubles or eight floats.
template <typename Out>
struct Vectors;

template <>
struct Vectors<double> {
    using Vec = __m256d;
    static constexpr int kLanes = 4;
    static constexpr int kUnits = 1;  // four-value units per vector
    static Vec load(const double* p) { return _mm256_loadu_pd(p); }

    template <bool Packed>
    static void convert(Codes c, Vec gp, Vec gn, Vec o, double* out) {
        const __m256d x = _mm256_cvtepi32_pd(c.code);
        const __m256d polarity = Packed ? _mm256_castsi256_pd(_mm256_cvtepi32_epi64(c.word)) : x;
        const __m256d gain = _mm256_blendv_pd(gp, gn, polarity);
        _mm256_storeu_pd(out, _mm256_sub_pd(_mm256_mul_pd(x, gain), o));
    }
};

template <>
struct Vectors<float> {
    using Vec = __m256;
    static constexpr int kLanes = 8;
    static constexpr int kUnits = 2;
    static Vec load(const float* p) { return _mm256_loadu_ps(p); }

    static __m256i join(__m128i low, __m128i high) {
        return _mm256_inserti128_si256(_mm256_castsi128_si256(low), high, 1);
    }
    template <bool Packed>
    static void convert(Codes low, Codes high, Vec gp, Vec gn, Vec o, float* out) {
        const __m256 x = _mm256_cvtepi32_ps(join(low.code, high.code));
        const __m256 polarity = Packed ? _mm256_castsi256_ps(join(low.word, high.word)) : x;
        const __m256 gain = _mm256_blendv_ps(gp, gn, polarity);
        _mm256_storeu_ps(out, _mm256_sub_ps(_mm256_mul_ps(x, gain), o));
    }
};

// Gains and offsets of each lane of the vectors of a group; lane l of vector k holds value
// k * kLanes + l, which belongs to frame position (k * kLanes + l) mod Chans.
template <typename Out, int Count>
struct GroupTable {
    using V = Vectors<Out>;
    typename V::Vec gp[Count];
    typename V::Vec gn[Count];
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
            gn[k] = V::load(lanesGn);
            o[k] = V::load(lanesO);
        }
    }
};

template <typename L, typename Out, int K, int Count>
inline void convertVector(const unsigned char* group, Out* out, const GroupTable<Out, Count>& t) {
    using V = Vectors<Out>;
    Out* dst = out + K * V::kLanes;
    if constexpr (V::kUnits == 1) {
        V::template convert<L::kPacked>(L::template unit<K>(group), t.gp[K], t.gn[K], t.o[K], dst);
    } else {
        V::template convert<L::kPacked>(L::template unit<2 * K>(group),
                                        L::template unit<2 * K + 1>(group), t.gp[K], t.gn[K],
                                        t.o[K], dst);
    }
}

// Converts the whole groups among `frames` and returns the frames converted.
template <int Format, int Chans, typename Out>
std::int64_t convertGroups(const unsigned char* raw, Out* out, std::int64_t frames,
                           const PreparedPositions<Out>& p) {
    using L = Layout<Format, Chans>;
    constexpr int kVectors = Chans == 3 ? 3 : 2;
    constexpr int kValues = kVectors * Vectors<Out>::kLanes;
    constexpr int kFrames = kValues / Chans;
    constexpr std::int64_t kBytes = std::int64_t{kFrames} * L::kFrameBytes;
    const GroupTable<Out, kVectors> table(p, Chans);
    const std::int64_t groups = frames / kFrames;
    for (std::int64_t g = 0; g < groups; ++g) {
        const unsigned char* group = raw + g * kBytes;
        Out* dst = out + g * kValues;
        convertVector<L, Out, 0>(group, dst, table);
        convertVector<L, Out, 1>(group, dst, table);
        if constexpr (kVectors == 3) {
            convertVector<L, Out, 2>(group, dst, table);
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

const ConversionKernels kAvx2Kernels{"avx2", convertBlock<double>, convertBlock<float>};

}  // namespace trqm7x::math
