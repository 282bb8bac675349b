// Throughput of trqm7xMath_translateResults / trqm7xMath_translateResultsFloat on an acquisition
// block of 625200 frames and on one as large as a full carrier memory (16 M samples, far beyond
// the caches), each beside a baseline that reads the same raw block and writes the same number of
// output values without the arithmetic. The ratio conversion/baseline of the two throughputs is
// printed after the runs.
//
//   bench_translate [--benchmark_repetitions=N] [other Google Benchmark options]
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "timing_reporter.h"
#include "trqm7x_math.h"

namespace {

// The block of the everyday acquisition, and the frames of a carrier memory of 16 M samples
// (rounded down to whole 48-value chunks of the baseline).
constexpr std::int64_t kBlockFrames = 625200;
constexpr std::int64_t kCarrierSamples = std::int64_t{16} << 20;

struct Layout {
    std::int32_t format;
    std::int32_t chanCount;
    std::int64_t frames;

    std::int64_t wordsPerFrame() const {
        return format == 0 ? chanCount : format == 1 ? (chanCount + 1) / 2 : 1;
    }
    // blockLen that makes the conversion take exactly `frames` frames.
    std::int32_t blockLen() const {
        return static_cast<std::int32_t>(frames * chanCount / wordsPerFrame());
    }
    std::int64_t rawBytes() const { return 4 * frames * wordsPerFrame(); }
    std::int64_t values() const { return frames * chanCount; }
};

std::vector<unsigned char> randomBlock(const Layout& layout) {
    std::vector<unsigned char> raw(static_cast<std::size_t>(layout.rawBytes()));
    std::mt19937 rng(12345);
    for (std::size_t at = 0; at < raw.size(); at += 4) {
        const auto word = static_cast<std::uint32_t>(rng());
        std::memcpy(raw.data() + at, &word, 4);
    }
    return raw;
}

// Reads every raw value as the conversion does and stores it as an output value, unscaled. Works
// in chunks of 48 values with restrict-qualified pointers, so that the compiler vectorises the
// stores as well as it can: the baseline is the fastest plain move of these bytes.
constexpr int kChunk = 48;

template <typename Out>
void storeChunk(const std::int32_t* __restrict codes, Out* __restrict out) {
    for (int j = 0; j < kChunk; ++j) {
        out[j] = static_cast<Out>(codes[j]);
    }
}

// One loop per layout and frame width, with constant trip counts, like the conversion's.
template <int Format, int Chans, typename Out>
void baselineLayout(const unsigned char* __restrict raw, Out* __restrict out, std::int64_t frames) {
    constexpr std::int64_t kFramesPerChunk = kChunk / Chans;
    constexpr std::int64_t kSlots = Chans + Chans % 2;
    std::int32_t codes[kChunk];
    for (std::int64_t f = 0; f + kFramesPerChunk <= frames; f += kFramesPerChunk) {
        if constexpr (Format == 0) {
            std::memcpy(codes, raw + 4 * f * Chans, sizeof codes);
        } else if constexpr (Format == 1) {
            for (std::int64_t g = 0; g < kFramesPerChunk; ++g) {
                for (int i = 0; i < Chans; ++i) {
                    std::int16_t x;
                    std::memcpy(&x, raw + 2 * ((f + g) * kSlots + i), 2);
                    codes[g * Chans + i] = x;
                }
            }
        } else {
            for (std::int64_t g = 0; g < kFramesPerChunk; ++g) {
                std::int32_t w;
                std::memcpy(&w, raw + 4 * (f + g), 4);
                for (int i = 0; i < Chans; ++i) {
                    codes[g * Chans + i] = w;
                }
            }
        }
        storeChunk(codes, out + f * Chans);
    }
}

template <typename Out>
void baselineCopy(const Layout& layout, const unsigned char* raw, Out* out) {
    const bool one = layout.chanCount == 1;
    const std::int64_t n = layout.frames;
    switch (layout.format) {
        case 0:
            return one ? baselineLayout<0, 1>(raw, out, n) : baselineLayout<0, 3>(raw, out, n);
        case 1:
            return one ? baselineLayout<1, 1>(raw, out, n) : baselineLayout<1, 3>(raw, out, n);
        default:
            return one ? baselineLayout<2, 1>(raw, out, n) : baselineLayout<2, 3>(raw, out, n);
    }
}

template <typename Out>
void convert(const ConvParams& params, const double* coeff, const std::int32_t* chans,
             const Layout& layout, const unsigned char* raw, Out* out) {
    if constexpr (sizeof(Out) == sizeof(double)) {
        trqm7xMath_translateResults(&params, coeff, chans, layout.chanCount, raw, out,
                                    layout.blockLen());
    } else {
        trqm7xMath_translateResultsFloat(&params, coeff, chans, layout.chanCount, raw, out,
                                         layout.blockLen());
    }
}

template <typename Out>
void runBlock(benchmark::State& state, Layout layout, bool baseline) {
    const std::vector<unsigned char> raw = randomBlock(layout);
    std::vector<Out> out(static_cast<std::size_t>(layout.values()));
    ConvParams params{};
    params.shift = 3;
    params.divisor = 8388608;
    params.format = layout.format;
    params.offset[0] = 0.001;
    params.offset[1] = -0.002;
    params.offset[2] = 0.003;
    const double coeff[10] = {0, 0, 0, 0, 1.001, 0.999, 1.002, 0.998, 1.003, 0.997};
    const std::int32_t chans[3] = {0, 1, 2};
    for (auto _ : state) {
        if (baseline) {
            baselineCopy(layout, raw.data(), out.data());
        } else {
            convert(params, coeff, chans, layout, raw.data(), out.data());
        }
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() *
                            (layout.rawBytes() + layout.values() * std::int64_t{sizeof(Out)}));
}

std::string configName(const char* type, const Layout& layout) {
    return std::string(type) + "/format:" + std::to_string(layout.format) +
           "/chans:" + std::to_string(layout.chanCount) +
           "/frames:" + std::to_string(layout.frames);
}

template <typename Out>
void registerPair(const char* type, Layout layout) {
    const std::string suffix = configName(type, layout);
    benchmark::RegisterBenchmark(("baseline/" + suffix).c_str(), [layout](benchmark::State& s) {
        runBlock<Out>(s, layout, true);
    })->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark(("convert/" + suffix).c_str(), [layout](benchmark::State& s) {
        runBlock<Out>(s, layout, false);
    })->Unit(benchmark::kMicrosecond);
}

}  // namespace

int main(int argc, char** argv) {
    for (bool carrierMemory : {false, true}) {
        for (std::int32_t format : {0, 1, 2}) {
            for (std::int32_t chans : {1, 3}) {
                const std::int64_t frames =
                    carrierMemory ? kCarrierSamples / chans / kChunk * kChunk : kBlockFrames;
                registerPair<double>("double", Layout{format, chans, frames});
                registerPair<float>("float", Layout{format, chans, frames});
            }
        }
    }
    return qm7x::bench::RunWithSummary(argc, argv, [](const qm7x::bench::Timings& t) {
        std::printf("\n%-40s %10s %10s\n", "conversion / baseline", "cpu time", "real time");
        for (const auto& [name, convert] : t) {
            if (name.rfind("convert/", 0) != 0) {
                continue;
            }
            const auto base = t.find("baseline/" + name.substr(8));
            if (base == t.end()) {
                continue;
            }
            std::printf("%-40s %10.3f %10.3f\n", name.substr(8).c_str(),
                        base->second.cpu / convert.cpu, base->second.real / convert.real);
        }
    });
}
