// A straightforward reference of the conversions, written from their description, and random
// scenarios to hold the library against it: bit-exact for double, single-precision rules for
// float.
#pragma once

#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "raw_block.h"
#include "trqm7x_math.h"

namespace mathlib_test {

struct Scenario {
    ConvParams params{};
    std::vector<double> coeff;
    std::vector<std::int32_t> chanList;
    std::int32_t blockLen = 0;
    Bytes raw;
};

inline std::int32_t readLe(const Bytes& raw, std::size_t at, int size) {
    std::uint32_t v = 0;
    for (int b = 0; b < size; ++b) {
        v |= static_cast<std::uint32_t>(raw.at(at + b)) << (8 * b);
    }
    if (size == 2) {
        return static_cast<std::int16_t>(v);
    }
    return static_cast<std::int32_t>(v);
}

// m: the low 16 bits of n with the six lowest cleared, as a signed 16-bit number.
inline int offsetStepCodes(double v, double g) {
    const auto n = static_cast<std::int64_t>(v / g + 0.5);  // offsets here stay inside 32 bits
    int low = static_cast<int>(n & 0xFFFF) & 0xFFC0;
    return low >= 32768 ? low - 65536 : low;
}

// Straight from the description: prepare the positions, then convert whole frames until the
// limit of q x blockLen values is reached.
template <typename Out>
std::vector<Out> reference(const Scenario& s) {
    std::vector<Out> out;
    const ConvParams& p = s.params;
    const int count = static_cast<int>(s.chanList.size());
    if (s.blockLen == 0) {
        return out;
    }
    const double scaleDouble = std::pow(2.0, p.shift) / static_cast<double>(p.divisor);
    Out gp[3];
    Out gn[3];
    Out o[3];
    for (int i = 0; i < count; ++i) {
        const int c = s.chanList[i];
        const double v = p.offset[c];
        const double gv = s.coeff[4 + 2 * c + (v < 0 ? 1 : 0)];
        if constexpr (sizeof(Out) == sizeof(double)) {
            gp[i] = scaleDouble * s.coeff[4 + 2 * c];
            gn[i] = scaleDouble * s.coeff[5 + 2 * c];
            o[i] = p.format == 2 ? gv * offsetStepCodes(v, gv) : v;
        } else {
            const float scale = static_cast<float>(scaleDouble);
            gp[i] = static_cast<float>(static_cast<double>(scale) * s.coeff[4 + 2 * c]);
            gn[i] = static_cast<float>(static_cast<double>(scale) * s.coeff[5 + 2 * c]);
            const float g = static_cast<float>(gv);
            o[i] = p.format == 2
                       ? static_cast<float>(static_cast<double>(g) * offsetStepCodes(v, g))
                       : static_cast<float>(v);
        }
    }
    const std::int64_t q = p.format == 0 ? count : p.format == 1 ? (count + 1) / 2 : 1;
    const std::int64_t limit = q * s.blockLen;
    if (limit <= 0) {
        return out;
    }
    std::size_t at = 0;
    while (true) {
        if (p.format == 0 || p.format == 1) {
            const int size = p.format == 0 ? 4 : 2;
            for (int i = 0; i < count; ++i) {
                const std::int32_t x = readLe(s.raw, at, size);
                at += size;
                out.push_back(static_cast<Out>(x) * (x < 0 ? gn[i] : gp[i]) - o[i]);
            }
            if (p.format == 1 && count % 2 == 1) {
                at += 2;
            }
        } else {
            const std::int32_t w = readLe(s.raw, at, 4);
            at += 4;
            for (int i = 0; i < count; ++i) {
                int x = (w >> (10 * i)) & 0x3FF;
                if (x >= 512) {
                    x -= 1024;
                }
                out.push_back(static_cast<Out>(x) * (w < 0 ? gn[i] : gp[i]) - o[i]);
            }
        }
        if (static_cast<std::int64_t>(out.size()) >= limit) {
            break;
        }
    }
    return out;
}

// Blocks of up to maxBlockLen (short ones, and ones of several 48-value chunks with a remainder).
inline Scenario randomScenario(std::mt19937& rng, int maxBlockLen = 200) {
    auto uniform = [&](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    auto real = [&](double lo, double hi) { return std::uniform_real_distribution<>(lo, hi)(rng); };
    Scenario s;
    s.params.shift = uniform(0, 30);
    s.params.divisor = std::uniform_int_distribution<std::uint32_t>(1, 0xFFFFFFFFu)(rng);
    if (uniform(0, 3) == 0) {
        s.params.divisor = static_cast<std::uint32_t>(uniform(1, 100));
    }
    s.params.format = uniform(0, 3);
    s.params.reserved = static_cast<std::int32_t>(rng());
    s.coeff.resize(10);
    for (double& c : s.coeff) {
        c = real(-2.0, 2.0) * std::pow(10.0, uniform(-6, 3));
    }
    for (int c = 0; c < 3; ++c) {
        // Offsets of up to some 60000 codes of the gain of their polarity, so that the 16-bit
        // masking wraps while n stays inside 32 bits.
        const int polarity = uniform(0, 1);
        const double codes = real(0.0, 6.0) * std::pow(10.0, uniform(0, 4));
        const double v =
            (polarity == 1 ? -1.0 : 1.0) * codes * std::fabs(s.coeff[4 + 2 * c + polarity]);
        s.params.offset[c] = uniform(0, 5) == 0 ? 0.0 : v;
    }
    const int count = uniform(1, 3);
    for (int i = 0; i < count; ++i) {
        s.chanList.push_back(uniform(0, 2));
    }
    s.blockLen = uniform(0, 3) == 0 ? uniform(-3, 20) : uniform(20, maxBlockLen);
    // Enough bytes for the largest block, plus room to test a misaligned start.
    s.raw.resize(static_cast<std::size_t>(4 * 3 * (maxBlockLen + 1) + 8));
    for (unsigned char& b : s.raw) {
        b = static_cast<unsigned char>(rng());
    }
    return s;
}

// The number of raw bytes a conversion of the scenario reads (whole frames up to the limit).
inline std::size_t rawBytesRead(const Scenario& s) {
    const auto count = static_cast<std::int64_t>(s.chanList.size());
    const std::int64_t q = s.params.format == 0   ? count
                           : s.params.format == 1 ? (count + 1) / 2
                                                  : 1;
    if (s.blockLen <= 0) {
        return 0;
    }
    const std::int64_t frames = (q * s.blockLen + count - 1) / count;
    return static_cast<std::size_t>(4 * q * frames);
}

template <typename Out>
bool bitEqual(Out a, Out b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

}  // namespace mathlib_test
