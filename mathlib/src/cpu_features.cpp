#include "cpu_features.h"

#include <cpuid.h>

namespace trqm7x::math {
namespace {

// XCR0, the register states the operating system saves on a context switch. Read with the
// instruction itself, so that this file needs no processor options of its own.
unsigned long long enabledRegisterStates() {
    unsigned low = 0;
    unsigned high = 0;
    __asm__ volatile("xgetbv" : "=a"(low), "=d"(high) : "c"(0));
    return (static_cast<unsigned long long>(high) << 32) | low;
}

constexpr unsigned long long kSseAndAvxState = 0x6;  // XMM and upper YMM halves

}  // namespace

bool cpuRunsAvx2() {
    unsigned eax = 0;
    unsigned ebx = 0;
    unsigned ecx = 0;
    unsigned edx = 0;
    if (__get_cpuid(1, &eax, &ebx, &ecx, &edx) == 0) {
        return false;
    }
    if ((ecx & bit_OSXSAVE) == 0 || (ecx & bit_AVX) == 0) {
        return false;
    }
    if ((enabledRegisterStates() & kSseAndAvxState) != kSseAndAvxState) {
        return false;
    }
    if (__get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx) == 0) {
        return false;
    }
    return (ebx & bit_AVX2) != 0;
}

}  // namespace trqm7x::math
