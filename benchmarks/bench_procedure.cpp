// The automatic procedure's own time per point, beside a baseline of the same run:
//
// - instrument/point: what the instruments take for a point, called directly: the calibrator's
//   setting, operate, settling query and standby (each setting read back through its error
//   queue), and the module's block (set-up, start, state, read, relay).
// - procedure/point: a one-point plan run by the procedure on the same simulated bench, whose
//   module completes its blocks at once and whose calibrator settles at once.
//
// Their difference is the program's own time per point: the page, the tolerance, the
// judgement, the protocol entry in the panel and in the file with its disk sync, the facts of
// the point and the safe ending. Printed after the runs with the ratio.
//
//   bench_procedure [--benchmark_repetitions=N] [other Google Benchmark options]
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "p_qm7x.h"
#include "qm7x/app/instruments.h"
#include "qm7x/app/program.h"
#include "qm7x/app/sessions.h"
#include "qm7x/procedure/procedure.h"
#include "qm7x/program/panel_handles.h"
#include "qm7x/program/sessions.h"
#include "qm7x/ui/headless.h"
#include "qm7x/ui/userint.h"
#include "timing_reporter.h"
#include "trqm7x.h"

namespace {

namespace fs = std::filesystem;

// One carrier with an instant-acquisition QM7X at position 1 and a calibrator that settles at
// once wired to it; the program's panels headless, the protocol in a scratch folder.
class ProcedureBench {
  public:
    ProcedureBench()
        : dir_(fs::temp_directory_path() / ("qm7x_bench_auto_" + std::to_string(::getpid()))) {
        fs::create_directories(dir_);
        std::ofstream(dir_ / "bench.yaml")
            << "seed: 1\nresources:\n  - name: VXI0::8::INSTR\n    interface: vxi\n"
               "    manufacturer_id: 0xE76\n    model_code: 0x10D\n    slot: 5\n"
               "    mainframe_la: 1\n    logical_address: 8\n    carrier:\n"
               "      description: \"TRHOLDR bench\"\n      memory_bytes: 67108864\n"
               "      positions:\n"
               "        - {qm7x: {serial: QM7X-B1, acquisition: instant, eeprom: {factory: "
               "default}, channels: [{range_v: 10, noise_v: 0.00005}, {range_v: 1}, "
               "{range_v: 0.1}]}}\n"
               "        - {}\n        - {}\n        - {}\n"
               "  - name: GPIB0::4::INSTR\n    interface: gpib\n"
               "    idn: \"ARKOMETRIX,DCC-22,0042,1.3\"\n    calibrator:\n"
               "      settle_s: 0\n      ranges: [{range_v: 11, ppm: 6, floor_v: 4.0e-6}]\n"
               "      wiring: [{carrier: VXI0::8::INSTR}]\nfaults: []\n";
        ::setenv("QM7X_BENCH", (dir_ / "bench.yaml").c_str(), 1);
        ::setenv("QM7X_SIM_STATE_DIR", (dir_ / "state").c_str(), 1);
        ::setenv("QM7X_VISA_LIBRARY", QM7X_SIM_VISA, 0);
        qm7x::ui::InitUserInterface(0, nullptr);
        qm7x::app::LoadProgramPanels();
        std::strcpy(qm7x::app::Instruments[0].rsrcName, "VXI0::8::INSTR");
        qm7x::app::CurrentInstr = &qm7x::app::Instruments[0];
        qm7x::app::SelMez();
        qm7x::ui::SetCtrlVal(qm7x::ppPanel, PP_FILE_NAME, (dir_ / "bench.log").string());
        opened_ = !calibrator.open("GPIB0::4::INSTR");
    }
    ~ProcedureBench() {
        calibrator.close();
        qm7x::app::ShutDownProgram();
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }
    bool open() const { return opened_ && qm7x::mezSession != 0; }

    qm7x::procedure::DcCalibrator calibrator;

  private:
    fs::path dir_;
    qm7x::ui::HeadlessSession ui_;
    bool opened_ = false;
};

void instrumentBaseline(benchmark::State& state) {
    ProcedureBench bench;
    if (!bench.open()) {
        state.SkipWithError("the simulated bench did not open");
        return;
    }
    std::vector<double> samples(100);
    for (auto _ : state) {
        bench.calibrator.setVolts(9.0);
        bench.calibrator.operate();
        bench.calibrator.waitSettled();
        const ViSession vi = qm7x::mezSession;
        ViInt16 busy = 1;
        trqm7x_input_trigger(vi, 0, 1);
        trqm7x_mode_block(vi, 100);
        trqm7x_sample_period(vi, 0.0002);
        trqm7x_config_chans(vi, 1);
        trqm7x_start(vi);
        while (trqm7x_state(vi, &busy, nullptr) >= 0 && busy != 0) {
        }
        trqm7x_read_block(vi, 0, 100, samples.data());
        trqm7x_input_trigger(vi, 0, 0);
        bench.calibrator.standby();
        benchmark::DoNotOptimize(samples.data());
    }
}

void procedurePoint(benchmark::State& state) {
    ProcedureBench bench;
    if (!bench.open()) {
        state.SkipWithError("the simulated bench did not open");
        return;
    }
    qm7x::procedure::Plan plan;
    qm7x::procedure::PlanPoint point;
    point.channel = 1;
    point.volts = 9.0;
    plan.points.push_back(point);
    const qm7x::procedure::ProcedureEvents events;
    for (auto _ : state) {
        const auto outcome = qm7x::procedure::RunProcedure(
            bench.calibrator, plan, qm7x::procedure::CalibrateMode::never, events);
        if (outcome.lastPass.size() != 1) {
            state.SkipWithError(("the point was not taken: " + outcome.cause).c_str());
            return;
        }
    }
}

}  // namespace

int main(int argc, char** argv) {
    benchmark::RegisterBenchmark("instrument/point", instrumentBaseline)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("procedure/point", procedurePoint)->Unit(benchmark::kMicrosecond);
    return qm7x::bench::RunWithSummary(argc, argv, [](const qm7x::bench::Timings& t) {
        const auto point = t.find("procedure/point");
        const auto instrument = t.find("instrument/point");
        if (point != t.end() && instrument != t.end()) {
            const auto& [p, b] = std::pair(point->second, instrument->second);
            std::printf("\nprocedure/point over instrument/point: %.2f (cpu), %.2f (real)\n",
                        p.cpu / b.cpu, p.real / b.real);
            std::printf(
                "the program's own time per point: %.3f ms real, %.3f ms cpu "
                "(target 20 ms)\n",
                (p.real - b.real) * 1e3, (p.cpu - b.cpu) * 1e3);
        }
    });
}
