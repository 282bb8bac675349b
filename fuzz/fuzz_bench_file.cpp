// Arbitrary text as a whole bench file (YAML documents of any shape, deep nesting, duplicated
// keys, aliases): the bench is read or refused with a BenchError, never anything else.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "bench.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    try {
        const qm7x::sim::Bench bench = qm7x::sim::ParseBench(text, "/fuzz/bench.yaml");
        if (bench.resources.size() > qm7x::sim::kMaxBenchResources ||
            bench.faults.size() > qm7x::sim::kMaxBenchFaults) {
            std::abort();
        }
    } catch (const qm7x::sim::BenchError& error) {
        if (std::string(error.what()).rfind("/fuzz/bench.yaml", 0) != 0) {
            std::abort();  // every refusal names the file
        }
    }
    return 0;
}
