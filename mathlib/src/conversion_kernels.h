// The inner loops of the conversions, one set per processor level, and the choice among them.
// Every set gives results bit for bit equal to the portable loops; the faster ones only exist for
// x86-64 built with GCC or Clang outside Windows, and are chosen once, at the first conversion,
// from what the processor and the operating system support.
#pragma once

#include <cstdint>

#include "translate_prepare.h"

namespace trqm7x::math {

// What the loops need to know of a frame: the raw layout and the number of positions.
struct FrameLayout {
    std::int32_t format;
    int chanCount;
};

// Converts a leading part of `frames` whole frames and returns how many it converted; the
// portable loops always convert them all and finish what a faster set leaves over.
template <typename Out>
using FrameConverter = std::int64_t (*)(FrameLayout layout, const unsigned char* raw, Out* out,
                                        std::int64_t frames, const PreparedPositions<Out>& p);

struct ConversionKernels {
    const char* name;
    FrameConverter<double> toDouble;
    FrameConverter<float> toFloat;
};

// Processor levels with loops of their own, slowest first.
enum class ConversionPath { portable, sse2, avx2 };
inline constexpr ConversionPath kConversionPaths[] = {ConversionPath::portable,
                                                      ConversionPath::sse2, ConversionPath::avx2};

// The loops of a level, or null when this build has none for it or the processor (or the
// operating system) cannot run them. Tests use it to run every level the machine supports.
const ConversionKernels* kernelsFor(ConversionPath path);

// The fastest set the machine runs, chosen at the first call.
const ConversionKernels& activeKernels();

// The sets themselves (conversion_portable.cpp, conversion_sse2.cpp, conversion_avx2.cpp).
extern const ConversionKernels kPortableKernels;
extern const ConversionKernels kSse2Kernels;
extern const ConversionKernels kAvx2Kernels;

}  // namespace trqm7x::math
