// What the processor and the operating system let the library run (x86-64 only).
#pragma once

namespace trqm7x::math {

// AVX2 instructions present and the AVX register state saved by the operating system.
bool cpuRunsAvx2();

}  // namespace trqm7x::math
