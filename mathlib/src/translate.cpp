// trqm7xMath_translateResults and trqm7xMath_translateResultsFloat: raw converter results to volts.
#include <cstdint>

#include "translate_loops.h"
#include "translate_prepare.h"
#include "trqm7x_math.h"

namespace trqm7x::math {
namespace {

// 32-bit words per frame of the raw layout (q).
std::int64_t wordsPerFrame(std::int32_t format, int chanCount) {
    switch (format) {
        case 0:
            return chanCount;
        case 1:
            return (chanCount + 1) / 2;
        default:
            return 1;
    }
}

// The frame table holds three positions; anything else in the frame description would make the
// conversion read or write outside the caller's arrays, so such a call converts nothing.
bool validFrame(const std::int32_t* chanList, std::int32_t chanCount) {
    if (chanCount < 1 || chanCount > kChannelCount) {
        return false;
    }
    for (int i = 0; i < chanCount; ++i) {
        if (chanList[i] < 0 || chanList[i] >= kChannelCount) {
            return false;
        }
    }
    return true;
}

template <int Chans, typename Out>
void convertLayout(std::int32_t format, const unsigned char* raw, Out* out, std::int64_t frames,
                   const PreparedPositions<Out>& p) {
    switch (format) {
        case 0:
            convertInt32Frames<Chans>(raw, out, frames, p);
            break;
        case 1:
            convertFrames<Chans, Int16Frames>(raw, out, frames, p);
            break;
        default:
            convertFrames<Chans, PackedFrames>(raw, out, frames, p);
            break;
    }
}

template <typename Out, typename Prepare>
std::int32_t translate(const ConvParams* params, const double* coeff, const std::int32_t* chanList,
                       std::int32_t chanCount, const void* raw, Out* out, std::int32_t blockLen,
                       Prepare prepare) {
    // A blockLen of 0 or less gives no positive limit: nothing is written.
    if (blockLen <= 0 || !validFrame(chanList, chanCount)) {
        return 0;
    }
    const PreparedPositions<Out> p = prepare(*params, coeff, chanList, chanCount);

    // Whole frames are converted until at least q * blockLen values have been written.
    const std::int64_t limit = wordsPerFrame(params->format, chanCount) * blockLen;
    const std::int64_t frames = (limit + chanCount - 1) / chanCount;

    const auto* bytes = static_cast<const unsigned char*>(raw);
    switch (chanCount) {
        case 1:
            convertLayout<1>(params->format, bytes, out, frames, p);
            break;
        case 2:
            convertLayout<2>(params->format, bytes, out, frames, p);
            break;
        default:
            convertLayout<3>(params->format, bytes, out, frames, p);
            break;
    }
    return 0;
}

}  // namespace
}  // namespace trqm7x::math

extern "C" {

TRQM7X_MATH_API int32_t TRQM7X_MATH_CALL
trqm7xMath_translateResults(const ConvParams* params, const double* coeff, const int32_t* chanList,
                            int32_t chanCount, const void* raw, double* out, int32_t blockLen) {
    return trqm7x::math::translate(params, coeff, chanList, chanCount, raw, out, blockLen,
                                   trqm7x::math::prepareDouble);
}

TRQM7X_MATH_API int32_t TRQM7X_MATH_CALL trqm7xMath_translateResultsFloat(
    const ConvParams* params, const double* coeff, const int32_t* chanList, int32_t chanCount,
    const void* raw, float* out, int32_t blockLen) {
    return trqm7x::math::translate(params, coeff, chanList, chanCount, raw, out, blockLen,
                                   trqm7x::math::prepareFloat);
}

}  // extern "C"
