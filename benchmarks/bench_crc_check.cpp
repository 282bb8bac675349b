// Throughput of the internal CRC record's check of a file (CheckFileCrcRecord, read block by
// block) beside a baseline measured in the same run: zlib's CRC-32 of the same file read the same
// way. The ratio check/baseline of the two throughputs is printed after the runs.
//
//   bench_crc_check [--size_mib=N] [other Google Benchmark options]
#include <benchmark/benchmark.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "qm7x/integrity/arkomet_crc32.h"
#include "timing_reporter.h"

namespace {

namespace fs = std::filesystem;

std::size_t gSizeBytes = std::size_t{256} << 20;
fs::path gFile;

// A file of pseudo-random bytes with a record in the middle, written once for the whole run.
void WriteFile() {
    gFile = fs::temp_directory_path() / ("qm7x_bench_crc_" + std::to_string(::getpid()) + ".bin");
    std::ofstream out(gFile, std::ios::binary);
    std::mt19937 rng(7);
    std::vector<char> block(1 << 20);
    for (std::size_t written = 0; written < gSizeBytes; written += block.size()) {
        for (char& c : block) {
            c = static_cast<char>(rng());
        }
        if (written == gSizeBytes / 2) {
            const char record[] =
                "\xC2\xF1\xF2\xF0\xEE\xE5\xED\xED\xFB\xE9"
                "CRC32=00000000";
            std::memcpy(block.data(), record, sizeof record);
        }
        out.write(block.data(), static_cast<std::streamsize>(block.size()));
    }
}

void Baseline(benchmark::State& state) {
    std::vector<unsigned char> block(1 << 20);
    for (auto _ : state) {
        std::ifstream in(gFile, std::ios::binary);
        uLong crc = crc32(0L, Z_NULL, 0);
        while (in.read(reinterpret_cast<char*>(block.data()),
                       static_cast<std::streamsize>(block.size())) ||
               in.gcount() > 0) {
            crc = crc32(crc, block.data(), static_cast<uInt>(in.gcount()));
        }
        benchmark::DoNotOptimize(crc);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * gSizeBytes));
}

void Check(benchmark::State& state) {
    for (auto _ : state) {
        const auto check = qm7x::integrity::CheckFileCrcRecord(gFile);
        if (check.status != qm7x::integrity::CrcCheckStatus::Mismatch) {
            state.SkipWithError("the check did not read the record");
        }
        benchmark::DoNotOptimize(check);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * gSizeBytes));
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<char*> args;
    for (int i = 0; i < argc; ++i) {
        if (std::strncmp(argv[i], "--size_mib=", 11) == 0) {
            gSizeBytes = std::stoul(argv[i] + 11) << 20;
        } else {
            args.push_back(argv[i]);
        }
    }
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    if (benchmark::ReportUnrecognizedArguments(count, args.data())) {
        return 1;
    }
    WriteFile();
    benchmark::RegisterBenchmark("baseline_zlib_crc32", Baseline)->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark("check", Check)->Unit(benchmark::kMillisecond);
    qm7x::bench::TimingReporter reporter([](const qm7x::bench::Timings& t) {
        const auto check = t.find("check");
        const auto base = t.find("baseline_zlib_crc32");
        if (check != t.end() && base != t.end()) {
            std::printf("\ncheck / zlib crc32 throughput: cpu %.3f, real %.3f\n",
                        base->second.cpu / check->second.cpu,
                        base->second.real / check->second.real);
        }
    });
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    std::error_code ignored;
    fs::remove(gFile, ignored);
    return 0;
}
