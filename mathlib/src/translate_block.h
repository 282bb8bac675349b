// One conversion call with a given set of inner loops: argument checks, per-call preparation,
// the frame count, then the loops. The exports run it with the machine's fastest set; the tests
// run it with each set the machine supports.
#pragma once

#include <cstdint>

#include "conversion_kernels.h"
#include "trqm7x_math.h"

namespace trqm7x::math {

std::int32_t translateBlock(const ConversionKernels& kernels, const ConvParams* params,
                            const double* coeff, const std::int32_t* chanList,
                            std::int32_t chanCount, const void* raw, double* out,
                            std::int32_t blockLen);

std::int32_t translateBlock(const ConversionKernels& kernels, const ConvParams* params,
                            const double* coeff, const std::int32_t* chanList,
                            std::int32_t chanCount, const void* raw, float* out,
                            std::int32_t blockLen);

}  // namespace trqm7x::math
