// The inner loops of every processor level this machine runs, each against the reference and
// against the portable loops: bit for bit, no byte read past the frames converted, no value
// written past them, at any alignment of the caller's arrays. A level the processor lacks is
// skipped and says so.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "conversion_kernels.h"
#include "conversion_reference.h"
#include "translate_block.h"

namespace {

using mathlib_test::bitEqual;
using mathlib_test::Bytes;
using mathlib_test::randomScenario;
using mathlib_test::rawBytesRead;
using mathlib_test::reference;
using mathlib_test::Scenario;
using trqm7x::math::ConversionKernels;
using trqm7x::math::ConversionPath;

const char* pathName(ConversionPath path) {
    switch (path) {
        case ConversionPath::portable:
            return "portable";
        case ConversionPath::sse2:
            return "sse2";
        case ConversionPath::avx2:
            return "avx2";
    }
    return "unknown";
}

}  // namespace

namespace trqm7x::math {
// Failure messages name the level.
void PrintTo(ConversionPath path, std::ostream* os) {
    *os << pathName(path);
}
}  // namespace trqm7x::math

namespace {

// Runs one scenario through a set of loops. The raw block is copied to an array of exactly the
// bytes the conversion may read (after `misalign` leading bytes), and `out` gets `misalign`
// leading and four trailing sentinels, so that a sanitizer sees any read past the block and the
// test sees any write outside the frames.
template <typename Out>
std::vector<Out> convertWith(const ConversionKernels& kernels, const Scenario& s, int misalign,
                             std::size_t values) {
    const std::size_t bytes = rawBytesRead(s);
    Bytes raw(static_cast<std::size_t>(misalign));
    raw.insert(raw.end(), s.raw.begin(), s.raw.begin() + static_cast<std::ptrdiff_t>(bytes));
    std::vector<Out> out(static_cast<std::size_t>(misalign) + values + 4, Out{-1});
    trqm7x::math::translateBlock(kernels, &s.params, s.coeff.data(), s.chanList.data(),
                                 static_cast<std::int32_t>(s.chanList.size()),
                                 raw.data() + misalign, out.data() + misalign, s.blockLen);
    for (int i = 0; i < misalign; ++i) {
        EXPECT_EQ(Out{-1}, out[static_cast<std::size_t>(i)]) << "written before the output";
    }
    for (std::size_t i = misalign + values; i < out.size(); ++i) {
        EXPECT_EQ(Out{-1}, out[i]) << "written past the last frame";
    }
    return {out.begin() + misalign, out.begin() + misalign + static_cast<std::ptrdiff_t>(values)};
}

template <typename Out>
void expectBitEqual(const std::vector<Out>& want, const std::vector<Out>& got,
                    const std::string& what) {
    ASSERT_EQ(want.size(), got.size()) << what;
    for (std::size_t i = 0; i < want.size(); ++i) {
        ASSERT_TRUE(bitEqual(want[i], got[i]))
            << what << " element " << i << ": " << want[i] << " vs " << got[i];
    }
}

class ConversionPaths : public testing::TestWithParam<ConversionPath> {
  protected:
    void SetUp() override {
        kernels_ = trqm7x::math::kernelsFor(GetParam());
        if (kernels_ == nullptr) {
            GTEST_SKIP() << "this processor (or build) has no " << pathName(GetParam()) << " loops";
        }
    }

    // The scenario through these loops, against the reference and the portable loops.
    template <typename Out>
    void check(const Scenario& s, int misalign, const std::string& what) {
        const std::vector<Out> want = reference<Out>(s);
        expectBitEqual(want, convertWith<Out>(*kernels_, s, misalign, want.size()),
                       what + " against the reference");
        expectBitEqual(convertWith<Out>(trqm7x::math::kPortableKernels, s, misalign, want.size()),
                       convertWith<Out>(*kernels_, s, misalign, want.size()),
                       what + " against the portable loops");
    }

    const ConversionKernels* kernels_ = nullptr;
};

// Random parameters, channel lists and blocks from a few frames to many whole groups plus a rest.
TEST_P(ConversionPaths, RandomBlocksMatchTheReference) {
    std::mt19937 rng(4242);
    for (int trial = 0; trial < 1500; ++trial) {
        const Scenario s = randomScenario(rng, 600);
        const std::string what = "trial " + std::to_string(trial) + " format " +
                                 std::to_string(s.params.format) + " chans " +
                                 std::to_string(s.chanList.size());
        check<double>(s, trial % 3, what + " (double)");
        check<float>(s, trial % 3, what + " (float)");
        if (HasFatalFailure()) {
            return;
        }
    }
}

// Every frame width and layout with blocks of 0 to 100 frames: each length of rest after the
// whole groups, and blocks shorter than one group.
TEST_P(ConversionPaths, EveryBlockLengthOfEveryLayout) {
    std::mt19937 rng(777);
    Scenario base = randomScenario(rng, 300);
    for (std::int32_t format : {0, 1, 2, 3}) {
        for (int chans = 1; chans <= 3; ++chans) {
            for (std::int32_t blockLen = 0; blockLen <= 100; ++blockLen) {
                Scenario s = base;
                s.params.format = format;
                s.chanList = {2, 0, 1};
                s.chanList.resize(static_cast<std::size_t>(chans));
                s.blockLen = blockLen;
                const std::string what = "format " + std::to_string(format) + " chans " +
                                         std::to_string(chans) + " blockLen " +
                                         std::to_string(blockLen);
                check<double>(s, 0, what + " (double)");
                check<float>(s, 1, what + " (float)");
                if (HasFatalFailure()) {
                    return;
                }
            }
        }
    }
}

// Codes at the ends of their ranges (32-bit codes beyond float's 24-bit mantissa, 16-bit and
// 10-bit extremes, packed words with bits 30 and 31 set) and gains and offsets of zero of both
// signs, infinite and NaN: the sign of every zero and the payload of every NaN must match.
TEST_P(ConversionPaths, ExtremeCodesAndSpecialGains) {
    const double nan1 = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const std::vector<std::vector<double>> coeffSets = {
        {0, 0, 0, 0, 1.5e-7, -2.5e-7, 3.0, -0.75, 1e300, 1e-300},
        {0, 0, 0, 0, 0.0, -0.0, -0.0, 0.0, inf, -inf},
        {0, 0, 0, 0, nan1, -nan1, 1.0, 2.0, -inf, nan1},
    };
    const std::vector<std::uint32_t> edgeWords = {
        0x00000000u, 0xFFFFFFFFu, 0x7FFFFFFFu, 0x80000000u, 0x80000001u, 0x01000001u,
        0x00FFFFFFu, 0xFF000001u, 0x40000200u, 0xC01FF7FFu, 0x20080200u, 0x3FFFFFFFu,
        0x00007FFFu, 0x00008000u, 0x8000FFFFu, 0x7FFF8000u, 0x000001FFu, 0x00000200u};
    for (std::size_t set = 0; set < coeffSets.size(); ++set) {
        for (std::int32_t format : {0, 1, 2}) {
            for (int chans = 1; chans <= 3; ++chans) {
                Scenario s;
                s.params.shift = 5;
                s.params.divisor = 3;
                s.params.format = format;
                s.params.offset[0] = set == 1 ? -0.0 : 0.125;
                s.params.offset[1] = set == 2 ? nan1 : -3.0e-3;
                s.params.offset[2] = set == 1 ? inf : 1.0e-9;
                s.coeff = coeffSets[set];
                s.chanList = {0, 1, 2};
                s.chanList.resize(static_cast<std::size_t>(chans));
                // Every edge word at every word position of a frame, several groups long.
                for (int repeat = 0; repeat < 12; ++repeat) {
                    for (std::uint32_t w : edgeWords) {
                        mathlib_test::appendLe(s.raw, w, 4);
                    }
                    mathlib_test::appendLe(s.raw, static_cast<std::uint32_t>(repeat), 4);
                }
                const auto words = static_cast<std::int32_t>(s.raw.size() / 4);
                const std::int32_t q = format == 0 ? chans : format == 1 ? (chans + 1) / 2 : 1;
                s.blockLen = words / q * chans / q;  // as many frames as the words hold
                const std::string what = "coefficient set " + std::to_string(set) + " format " +
                                         std::to_string(format) + " chans " + std::to_string(chans);
                check<double>(s, 0, what + " (double)");
                check<float>(s, 2, what + " (float)");
                if (HasFatalFailure()) {
                    return;
                }
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Levels, ConversionPaths, testing::ValuesIn(trqm7x::math::kConversionPaths),
                         [](const testing::TestParamInfo<ConversionPath>& param) {
                             return std::string(pathName(param.param));
                         });

// The exports use the fastest level the machine supports, and the portable loops are always there.
TEST(ConversionChoice, FastestSupportedLevelIsChosen) {
    ASSERT_NE(nullptr, trqm7x::math::kernelsFor(ConversionPath::portable));
    const ConversionKernels* fastest = nullptr;
    for (ConversionPath path : trqm7x::math::kConversionPaths) {
        if (const ConversionKernels* kernels = trqm7x::math::kernelsFor(path)) {
            fastest = kernels;
        }
    }
    EXPECT_EQ(fastest, &trqm7x::math::activeKernels()) << trqm7x::math::activeKernels().name;
    EXPECT_EQ(&trqm7x::math::activeKernels(), &trqm7x::math::activeKernels());
}

}  // namespace
