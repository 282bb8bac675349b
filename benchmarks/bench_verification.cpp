// The verification's own cost, each beside a baseline measured in the same run:
//
// - check/100: ChkDeviation on a block of 100 noisy samples, against stats/100, the mean and
//   standard deviation of the same samples (the least any judgement must compute).
// - point/instant: one whole verification point ("Пуск" with the protocol open) on a simulated
//   QM7X whose blocks complete at once, against block/instant, the driver calls of the block
//   alone (set-up, start, state, read). Their difference is the run's own time beyond the block:
//   the tolerance, the judgement, the protocol entry in the panel and in the file, its disk sync.
//
// After the runs it prints the ratios and the point's time beyond the block (real time: the sync
// waits for the disk, not for the processor).
//
//   bench_verification [--benchmark_repetitions=N] [other Google Benchmark options]
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "p_qm7x.h"
#include "qm7x/app/instruments.h"
#include "qm7x/app/sessions.h"
#include "qm7x/program/panel_handles.h"
#include "qm7x/program/protocol_state.h"
#include "qm7x/program/sessions.h"
#include "qm7x/ui/headless.h"
#include "qm7x/ui/userint.h"
#include "qm7x/verify/chklog.h"
#include "qm7x/verify/deviation_check.h"
#include "qm7x/verify/verify_callbacks.h"
#include "timing_reporter.h"
#include "trqm7x.h"

namespace {

namespace fs = std::filesystem;

std::vector<double> noisyBlock() {
    std::mt19937 rng(20261207);
    std::normal_distribution<double> noise(5.0, 0.00005);
    std::vector<double> samples(100);
    for (double& x : samples) {
        x = noise(rng);
    }
    return samples;
}

void statsBaseline(benchmark::State& state) {
    const auto samples = noisyBlock();
    for (auto _ : state) {
        benchmark::DoNotOptimize(qm7x::verify::StdDev(samples));
    }
}

void check(benchmark::State& state) {
    const auto samples = noisyBlock();
    for (auto _ : state) {
        benchmark::DoNotOptimize(qm7x::verify::ChkDeviation(samples, 5.0, 0.0025));
    }
}

// A bench of one carrier with an instant-acquisition QM7X at position 1, opened as the program
// opens it, with the verification page headless and the protocol in a scratch folder.
class InstantBench {
  public:
    InstantBench()
        : dir_(fs::temp_directory_path() / ("qm7x_bench_" + std::to_string(::getpid()))) {
        fs::create_directories(dir_);
        std::ofstream(dir_ / "bench.yaml")
            << "seed: 1\nresources:\n  - name: VXI0::8::INSTR\n    interface: vxi\n"
               "    manufacturer_id: 0xE76\n    model_code: 0x10D\n    slot: 5\n"
               "    mainframe_la: 1\n    logical_address: 8\n    carrier:\n"
               "      description: \"TRHOLDR bench\"\n      memory_bytes: 67108864\n"
               "      positions:\n"
               "        - {qm7x: {serial: QM7X-B1, acquisition: instant, eeprom: {factory: "
               "default},"
               " channels: [{range_v: 10, noise_v: 0.00005}, {range_v: 1}, {range_v: 0.1}]}}\n"
               "        - {}\n        - {}\n        - {}\nfaults: []\n";
        std::ofstream(dir_ / "bench.reference.yaml") << "channels_v: [5.0, 0.5, 0.05]\n";
        ::setenv("QM7X_BENCH", (dir_ / "bench.yaml").c_str(), 1);
        ::setenv("QM7X_SIM_STATE_DIR", (dir_ / "state").c_str(), 1);

        qm7x::ui::InitUserInterface(0, nullptr);
        qm7x::mpPanel = qm7x::ui::LoadPanel(0, qm7x::kResourceFile, MP);
        qm7x::ui::GetPanelHandleFromTabPage(qm7x::mpPanel, MP_TAB, 0, qm7x::cpPanel);
        qm7x::ui::GetPanelHandleFromTabPage(qm7x::mpPanel, MP_TAB, 1, qm7x::ppPanel);
        std::strcpy(qm7x::app::Instruments[0].rsrcName, "VXI0::8::INSTR");
        qm7x::app::CurrentInstr = &qm7x::app::Instruments[0];
        qm7x::app::SelMez();
        qm7x::ui::SetCtrlVal(qm7x::ppPanel, PP_FILE_NAME, (dir_ / "bench.log").string());
        trqm7x_input_trigger(qm7x::mezSession, 0, 1);
    }
    ~InstantBench() {
        qm7x::verify::DiscardChlp(qm7x::verify::kProtocolLog);
        qm7x::app::closeMezSession();
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }
    bool open() const { return qm7x::mezSession != 0; }

  private:
    fs::path dir_;
    qm7x::ui::HeadlessSession ui_;
};

void blockBaseline(benchmark::State& state) {
    InstantBench bench;
    if (!bench.open()) {
        state.SkipWithError("the simulated mezzanine did not open");
        return;
    }
    std::vector<double> samples(100);
    for (auto _ : state) {
        const ViSession vi = qm7x::mezSession;
        ViInt16 busy = 1;
        trqm7x_mode_block(vi, 100);
        trqm7x_sample_period(vi, 0.0002);
        trqm7x_config_chans(vi, 1);
        trqm7x_start(vi);
        while (trqm7x_state(vi, &busy, nullptr) >= 0 && busy != 0) {
        }
        trqm7x_read_block(vi, 0, 100, samples.data());
        trqm7x_input_trigger(vi, 0, 0);
        benchmark::DoNotOptimize(samples.data());
    }
}

void point(benchmark::State& state) {
    InstantBench bench;
    if (!bench.open()) {
        state.SkipWithError("the simulated mezzanine did not open");
        return;
    }
    for (auto _ : state) {
        qm7x::ui::SetCtrlVal(qm7x::ppPanel, PP_U, 5.0);
        qm7x::verify::startTest(qm7x::ppPanel, PP_START, qm7x::ui::EVENT_COMMIT, nullptr, 0, 0);
    }
    std::string status;
    qm7x::ui::GetCtrlVal(qm7x::mpPanel, MP_ERROR_MESSAGE, status);
    if (!status.empty()) {
        state.SkipWithError(("the run reported: " + status).c_str());
    }
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::RegisterBenchmark("stats/100", statsBaseline);
    benchmark::RegisterBenchmark("check/100", check);
    benchmark::RegisterBenchmark("block/instant", blockBaseline)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("point/instant", point)->Unit(benchmark::kMicrosecond);
    return qm7x::bench::RunWithSummary(argc, argv, [](const qm7x::bench::Timings& t) {
        const auto check = t.find("check/100");
        const auto stats = t.find("stats/100");
        if (check != t.end() && stats != t.end()) {
            const auto& [c, b] = std::pair(check->second, stats->second);
            std::printf("\ncheck/100 over stats/100: %.2f (cpu), %.2f (real); check %.3f us\n",
                        c.cpu / b.cpu, c.real / b.real, c.real * 1e6);
        }
        const auto point = t.find("point/instant");
        const auto block = t.find("block/instant");
        if (point != t.end() && block != t.end()) {
            const auto& [p, b] = std::pair(point->second, block->second);
            std::printf("point/instant over block/instant: %.2f (cpu), %.2f (real)\n",
                        p.cpu / b.cpu, p.real / b.real);
            std::printf("the point beyond the block: %.3f ms real, %.3f ms cpu\n",
                        (p.real - b.real) * 1e3, (p.cpu - b.cpu) * 1e3);
        }
    });
}
