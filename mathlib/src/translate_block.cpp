#include "translate_block.h"

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

// Bytes of one raw frame.
std::int64_t frameBytes(FrameLayout layout) {
    return 4 * wordsPerFrame(layout.format, layout.chanCount);
}

PreparedPositions<double> prepare(const ConvParams& params, const double* coeff,
                                  const std::int32_t* chanList, int chanCount, double*) {
    return prepareDouble(params, coeff, chanList, chanCount);
}

PreparedPositions<float> prepare(const ConvParams& params, const double* coeff,
                                 const std::int32_t* chanList, int chanCount, float*) {
    return prepareFloat(params, coeff, chanList, chanCount);
}

FrameConverter<double> converterOf(const ConversionKernels& kernels, double*) {
    return kernels.toDouble;
}

FrameConverter<float> converterOf(const ConversionKernels& kernels, float*) {
    return kernels.toFloat;
}

template <typename Out>
std::int32_t translate(const ConversionKernels& kernels, const ConvParams* params,
                       const double* coeff, const std::int32_t* chanList, std::int32_t chanCount,
                       const void* raw, Out* out, std::int32_t blockLen) {
    // A blockLen of 0 or less gives no positive limit: nothing is written.
    if (blockLen <= 0 || !validFrame(chanList, chanCount)) {
        return 0;
    }
    const PreparedPositions<Out> p = prepare(*params, coeff, chanList, chanCount, out);

    // Whole frames are converted until at least q * blockLen values have been written.
    const FrameLayout layout{params->format, chanCount};
    const std::int64_t limit = wordsPerFrame(layout.format, chanCount) * blockLen;
    const std::int64_t frames = (limit + chanCount - 1) / chanCount;

    const auto* bytes = static_cast<const unsigned char*>(raw);
    const std::int64_t done = converterOf(kernels, out)(layout, bytes, out, frames, p);
    if (done < frames) {
        converterOf(kPortableKernels, out)(layout, bytes + done * frameBytes(layout),
                                           out + done * chanCount, frames - done, p);
    }
    return 0;
}

}  // namespace

std::int32_t translateBlock(const ConversionKernels& kernels, const ConvParams* params,
                            const double* coeff, const std::int32_t* chanList,
                            std::int32_t chanCount, const void* raw, double* out,
                            std::int32_t blockLen) {
    return translate(kernels, params, coeff, chanList, chanCount, raw, out, blockLen);
}

std::int32_t translateBlock(const ConversionKernels& kernels, const ConvParams* params,
                            const double* coeff, const std::int32_t* chanList,
                            std::int32_t chanCount, const void* raw, float* out,
                            std::int32_t blockLen) {
    return translate(kernels, params, coeff, chanList, chanCount, raw, out, blockLen);
}

}  // namespace trqm7x::math
