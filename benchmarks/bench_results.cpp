// The results store's cost, each beside a baseline measured in the same run:
//
// - store/point_sqlite: one verification point recorded durably in an SQLite store (100 raw
//   codes and volts, the row's hash, the commit synced), against protocol/entry, the point's
//   protocol entry appended to its file and synced as the verification writes it. The store's time
//   is what recording adds to a point beyond its protocol entry (target: 5 ms or less).
// - history/10000_sessions: the history of one module (10 sessions, 6 points each) in a store of
//   10 000 sessions of other modules (2 points each), against history/alone, the same history in a
//   store that holds that module only (target: under 100 ms; a ratio near 1 shows the indexes at
//   work).
//
//   bench_results [--benchmark_repetitions=N] [other Google Benchmark options]
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <variant>

#include "qm7x/os/record_file.h"
#include "qm7x/results/chain.h"
#include "qm7x/results/schema.h"
#include "qm7x/results/store.h"
#include "qm7x/verify/protocol_file.h"
#include "timing_reporter.h"

namespace {

namespace fs = std::filesystem;
using namespace qm7x::results;

// A folder of its own under the system's temporary folder, removed at the end.
struct Scratch {
    fs::path folder =
        fs::temp_directory_path() / ("qm7x_bench_results_" + std::to_string(::getpid()));
    Scratch() { fs::create_directories(folder); }
    ~Scratch() {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }
};

PointRecord Point(std::int64_t session, std::mt19937& random) {
    std::normal_distribution<double> noise(0.0, 2e-4);
    PointRecord p;
    p.session_id = session;
    p.channel = 1;
    p.range_v = 10.0;
    p.passband = "менее 500 кГц";
    p.period_s = 0.0002;
    p.temperature = "20 °C";
    p.un = 9.0;
    for (int i = 0; i < 100; ++i) {
        p.raw_codes.push_back(29491 + static_cast<std::int64_t>(random() % 11) - 5);
        p.volts.push_back(p.un + noise(random));
        p.kept.push_back(true);
    }
    p.ux = 9.00001;
    p.verdict = "Норма";
    p.protocol_file = "Протокол.txt";
    p.protocol_offset = 4096;
    return p;
}

void protocolEntry(benchmark::State& state) {
    Scratch scratch;
    auto opened = qm7x::os::RecordFile::Open(scratch.folder / "protocol.txt");
    if (auto* error = std::get_if<qm7x::os::FileError>(&opened)) {
        state.SkipWithError(error->Describe().c_str());
        return;
    }
    auto& file = std::get<qm7x::os::RecordFile>(opened);
    const std::string entry = qm7x::verify::ProtocolFileBytes(
        "  1    10.0   9.00000   9.00001   0.00001   0.00020  0.0001  0.0022  0.0500  Норма\n");
    for (auto _ : state) {
        file.AppendSynced(entry);
    }
}
BENCHMARK(protocolEntry)->Name("protocol/entry")->UseRealTime();

void storePoint(benchmark::State& state) {
    Scratch scratch;
    auto store = ResultsStore::Open((scratch.folder / "qm7x-results.sqlite").string());
    SessionRecord session;
    session.serial = "QM-BENCH";
    auto id = store->RecordSession(session);
    std::mt19937 random(20261207);
    auto point = Point(id, random);
    for (auto _ : state) {
        store->RecordPoint(point);
    }
}
BENCHMARK(storePoint)->Name("store/point_sqlite")->UseRealTime();

// 10 sessions of QM-TARGET (6 points each) among `others` sessions of other modules (2 points
// each), written in one transaction (the fill is not what is measured).
std::unique_ptr<ResultsStore> FilledStore(const fs::path& file, int others) {
    auto store = ResultsStore::Open(file.string());
    auto& db = store->backend();
    std::mt19937 random(7);
    const auto& sessions = ChainedTable("qm7x_sessions");
    const auto& points = ChainedTable("qm7x_points");
    db.BeginExclusive();
    int total = others + 10;
    for (int s = 0; s < total; ++s) {
        bool target = s % (total / 10) == 0 && s / (total / 10) < 10;
        std::string serial = target ? "QM-TARGET" : "QM-" + std::to_string(s);
        auto id = AppendRowLocked(db, sessions,
                                  {std::string("2026-12-07T10:00:00+03:00"), std::string("carrier"),
                                   std::string("VXI0::8::INSTR"), std::int64_t{1}, serial,
                                   std::string("rev"), std::string("1.2.1"), std::string("math"),
                                   std::int64_t{0}, std::string("operator"), std::string("bench")});
        for (int p = 0; p < (target ? 6 : 2); ++p) {
            auto point = Point(id, random);
            AppendRowLocked(db, points,
                            {id,
                             std::string("2026-12-07T10:00:00+03:00"),
                             std::int64_t{1 + p % 3},
                             point.range_v,
                             point.passband,
                             point.period_s,
                             point.temperature,
                             point.un,
                             FormatIntegers(point.raw_codes),
                             FormatReals(point.volts),
                             std::string(100, '1'),
                             point.ux,
                             0.0,
                             0.0,
                             0.0,
                             0.0,
                             0.0,
                             point.verdict,
                             std::string("manual"),
                             std::string(),
                             std::string(),
                             point.protocol_file,
                             point.protocol_offset});
        }
    }
    db.Commit();
    return store;
}

void history(benchmark::State& state) {
    Scratch scratch;
    auto store =
        FilledStore(scratch.folder / "qm7x-results.sqlite", static_cast<int>(state.range(0)));
    for (auto _ : state) {
        auto sessions = store->History("QM-TARGET");
        if (sessions.size() != 10 || sessions.front().points.size() != 6) {
            state.SkipWithError("the history is not the one written");
            return;
        }
        benchmark::DoNotOptimize(sessions);
    }
}
BENCHMARK(history)->Name("history/alone")->Arg(0)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(history)
    ->Name("history/10000_sessions")
    ->Arg(10000)
    ->UseRealTime()
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    qm7x::bench::TimingReporter reporter([](const qm7x::bench::Timings& t) {
        auto real = [&](const char* name) { return t.count(name) ? t.at(name).real : 0.0; };
        std::printf(
            "\nstore/point_sqlite: %.3f ms per point beyond the protocol entry "
            "(%.2f x protocol/entry, %.3f ms)\n",
            real("store/point_sqlite") * 1e3, real("store/point_sqlite") / real("protocol/entry"),
            real("protocol/entry") * 1e3);
        std::printf("history/10000_sessions: %.3f ms (%.2f x history/alone, %.3f ms)\n",
                    real("history/10000_sessions") * 1e3,
                    real("history/10000_sessions") / real("history/alone"),
                    real("history/alone") * 1e3);
    });
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}
