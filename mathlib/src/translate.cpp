// trqm7xMath_translateResults and trqm7xMath_translateResultsFloat: raw converter results to volts.
#include "conversion_kernels.h"
#include "translate_block.h"
#include "trqm7x_math.h"

extern "C" {

TRQM7X_MATH_API int32_t TRQM7X_MATH_CALL
trqm7xMath_translateResults(const ConvParams* params, const double* coeff, const int32_t* chanList,
                            int32_t chanCount, const void* raw, double* out, int32_t blockLen) {
    return trqm7x::math::translateBlock(trqm7x::math::activeKernels(), params, coeff, chanList,
                                        chanCount, raw, out, blockLen);
}

TRQM7X_MATH_API int32_t TRQM7X_MATH_CALL trqm7xMath_translateResultsFloat(
    const ConvParams* params, const double* coeff, const int32_t* chanList, int32_t chanCount,
    const void* raw, float* out, int32_t blockLen) {
    return trqm7x::math::translateBlock(trqm7x::math::activeKernels(), params, coeff, chanList,
                                        chanCount, raw, out, blockLen);
}

}  // extern "C"
