#include <atomic>

#include "conversion_kernels.h"

#if defined(TRQM7X_MATH_X86_PATHS)
#include "cpu_features.h"
#endif

namespace trqm7x::math {
namespace {

// The set chosen at the first conversion. Every thread that finds it empty chooses the same set,
// so a race only repeats the choice; the library stays free of locks and of start-up code.
constinit std::atomic<const ConversionKernels*> chosenKernels{nullptr};

const ConversionKernels* fastestSupported() {
    const ConversionKernels* best = &kPortableKernels;
    for (ConversionPath path : kConversionPaths) {
        if (const ConversionKernels* kernels = kernelsFor(path)) {
            best = kernels;
        }
    }
    return best;
}

}  // namespace

const ConversionKernels* kernelsFor(ConversionPath path) {
    switch (path) {
        case ConversionPath::portable:
            return &kPortableKernels;
        case ConversionPath::sse2:
#if defined(TRQM7X_MATH_X86_PATHS)
            return &kSse2Kernels;  // part of every x86-64 processor
#else
            return nullptr;
#endif
        case ConversionPath::avx2:
#if defined(TRQM7X_MATH_X86_PATHS)
            return cpuRunsAvx2() ? &kAvx2Kernels : nullptr;
#else
            return nullptr;
#endif
    }
    return nullptr;
}

const ConversionKernels& activeKernels() {
    const ConversionKernels* kernels = chosenKernels.load(std::memory_order_acquire);
    if (kernels == nullptr) {
        kernels = fastestSupported();
        chosenKernels.store(kernels, std::memory_order_release);
    }
    return *kernels;
}

}  // namespace trqm7x::math
