// The conversions against a straightforward reference on random parameters, coefficients,
// channel lists and raw blocks: bit-exact for double, single-precision rules for float.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "conversion_reference.h"
#include "trqm7x_math.h"

namespace {

using mathlib_test::bitEqual;
using mathlib_test::randomScenario;
using mathlib_test::reference;
using mathlib_test::Scenario;

TEST(TranslateReference, DoubleIsBitExact) {
    std::mt19937 rng(20261207);
    for (int trial = 0; trial < 3000; ++trial) {
        const Scenario s = randomScenario(rng);
        const std::vector<double> want = reference<double>(s);
        std::vector<double> out(want.size() + 4, -1.0);
        const int misalign = trial % 4;
        Scenario shifted = s;
        shifted.raw.insert(shifted.raw.begin(), static_cast<std::size_t>(misalign), 0xAB);
        trqm7xMath_translateResults(&s.params, s.coeff.data(), s.chanList.data(),
                                    static_cast<int32_t>(s.chanList.size()),
                                    shifted.raw.data() + misalign, out.data(), s.blockLen);
        for (std::size_t i = 0; i < want.size(); ++i) {
            ASSERT_TRUE(bitEqual(want[i], out[i]))
                << "trial " << trial << " element " << i << ": " << want[i] << " vs " << out[i]
                << " format " << s.params.format;
        }
        for (std::size_t i = want.size(); i < out.size(); ++i) {
            ASSERT_EQ(-1.0, out[i]) << "trial " << trial << " wrote past the last frame";
        }
    }
}

TEST(TranslateReference, FloatFollowsSinglePrecisionRules) {
    std::mt19937 rng(7121962);
    for (int trial = 0; trial < 3000; ++trial) {
        const Scenario s = randomScenario(rng);
        const std::vector<float> want = reference<float>(s);
        std::vector<float> out(want.size() + 4, -1.0f);
        trqm7xMath_translateResultsFloat(&s.params, s.coeff.data(), s.chanList.data(),
                                         static_cast<int32_t>(s.chanList.size()), s.raw.data(),
                                         out.data(), s.blockLen);
        for (std::size_t i = 0; i < want.size(); ++i) {
            ASSERT_TRUE(bitEqual(want[i], out[i]))
                << "trial " << trial << " element " << i << ": " << want[i] << " vs " << out[i]
                << " format " << s.params.format;
        }
        for (std::size_t i = want.size(); i < out.size(); ++i) {
            ASSERT_EQ(-1.0f, out[i]) << "trial " << trial << " wrote past the last frame";
        }
    }
}

}  // namespace
