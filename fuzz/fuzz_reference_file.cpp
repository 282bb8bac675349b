// Arbitrary text as the reference source: finite volts for a module, or a BenchError.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "bench.h"
#include "reference_source.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    for (const char* serial : {"QM7X-0412", "Q1"}) {
        try {
            for (const double volts : qm7x::sim::ParseReference(text, "ref.yaml", serial)) {
                if (!std::isfinite(volts)) {
                    std::abort();
                }
            }
        } catch (const qm7x::sim::BenchError& error) {
            if (std::string(error.what()).rfind("ref.yaml", 0) != 0) {
                std::abort();
            }
        }
    }
    return 0;
}
