// The portable loops: plain C++ that compilers vectorise for the processor level the library is
// built for (SSE2 on x86-64), and the fallback on every other processor.
#include "conversion_kernels.h"
#include "translate_loops.h"

namespace trqm7x::math {
namespace {

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

template <typename Out>
std::int64_t convertAll(FrameLayout layout, const unsigned char* raw, Out* out, std::int64_t frames,
                        const PreparedPositions<Out>& p) {
    switch (layout.chanCount) {
        case 1:
            convertLayout<1>(layout.format, raw, out, frames, p);
            break;
        case 2:
            convertLayout<2>(layout.format, raw, out, frames, p);
            break;
        default:
            convertLayout<3>(layout.format, raw, out, frames, p);
            break;
    }
    return frames;
}

}  // namespace

const ConversionKernels kPortableKernels{"portable", convertAll<double>, convertAll<float>};

}  // namespace trqm7x::math
