// Per-call preparation of a conversion: gain of each polarity and offset of each frame position.
#pragma once

#include <cstdint>

#include "conv_model.h"

namespace trqm7x::math {

// Prepared once per call; position i of a frame belongs to channel chanList[i]. Plain arrays: the
// loops built for other processor levels read this record and must share no inline member
// function with the rest of the library.
template <typename Out>
struct PreparedPositions {
    Out gp[kChannelCount]{};  // gain for non-negative values, scale included
    Out gn[kChannelCount]{};  // gain for negative values, scale included
    Out o[kChannelCount]{};   // offset in output units
};

// The format whose offsets are quantised; any other value but 0 and 1 only shares its layout.
constexpr std::int32_t kPackedFormat = 2;

// Truncation toward zero to a 32-bit integer; a value out of range (or NaN) gives 0x80000000,
// the "integer indefinite" of the x86 conversion the stored calibrations were made with, instead
// of undefined behaviour.
std::int32_t truncateToInt32(double x);

// m of the packed-format offset: n = v / g + 0.5 truncated, its low 16 bits masked with 0xFFC0
// and read as a signed 16-bit number (a multiple of 64, rounded toward minus infinity).
std::int16_t quantisedOffsetCodes(double v, double g);

PreparedPositions<double> prepareDouble(const ConvParams& params, const double* coeff,
                                        const std::int32_t* chanList, int chanCount);

PreparedPositions<float> prepareFloat(const ConvParams& params, const double* coeff,
                                      const std::int32_t* chanList, int chanCount);

}  // namespace trqm7x::math
