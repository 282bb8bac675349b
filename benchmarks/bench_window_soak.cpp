// The verification in the real Qt window, point after point: 200 points over every channel,
// range and sign (0 V too) on a simulated QM7X whose blocks complete at once, each pressed with
// the mouse on "Пуск", with the protocol panel shown and both panels drawn after every point.
//
// - soak/point: one such point, drawing included, against block/instant, the driver calls of
//   the block alone (set-up, start, state, read); their difference is the window's time per
//   point beyond its block.
// - After the soak: the resident memory, and the processor time of the idle program (its event
//   loop waiting for the operator) over 5 s.
//
//   QT_QPA_PLATFORM=offscreen bench_window_soak [--points=N] [--idle=S] [Google Benchmark options]
//
// --points (default 200) sets the soak's length and --idle (default 5) the idle wait in seconds;
// a smoke run takes a few points and no wait. Without QM7X_VISA_LIBRARY the built simulated
// VISA library is used.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "binary_switch.h"
#include "p_qm7x.h"
#include "qm7x/app/instruments.h"
#include "qm7x/app/program_callbacks.h"
#include "qm7x/app/sessions.h"
#include "qm7x/program/panel_handles.h"
#include "qm7x/program/sessions.h"
#include "qm7x/ui/userint.h"
#include "qm7x/verify/chklog.h"
#include "qt_frontend.h"
#include "timing_reporter.h"
#include "trholdr.h"
#include "trqm7x.h"

namespace {

namespace fs = std::filesystem;
using namespace qm7x;

int soakPoints = 200;
int idleSeconds = 5;
double residentMiB = 0.0;
double residentBeforeMiB = 0.0;
double idleCpuSeconds = 0.0;

constexpr const char* kBench = R"(seed: 7
resources:
  - name: VXI0::8::INSTR
    interface: vxi
    manufacturer_id: 0xE76
    model_code: 0x10D
    slot: 5
    mainframe_la: 1
    logical_address: 8
    carrier:
      description: "TRHOLDR bench"
      memory_bytes: 67108864
      positions:
        - qm7x:
            serial: QM7X-S1
            acquisition: instant
            eeprom: {factory: default}
            channels: [{range_v: 10, noise_v: 0.00005}, {range_v: 1, noise_v: 0.00001},
                       {range_v: 0.1, noise_v: 0.000005}]
        - {}
        - {}
        - {}
faults: []
)";

// The program's panels in Qt windows with the mezzanine open and the protocol panel shown.
class WindowBench {
  public:
    WindowBench() : dir_(fs::temp_directory_path() / ("qm7x_soak_" + std::to_string(::getpid()))) {
        fs::create_directories(dir_);
        std::ofstream(dir_ / "bench.yaml") << kBench;
        reference({5.0, 0.5, 0.05});
        ::setenv("QM7X_BENCH", (dir_ / "bench.yaml").c_str(), 1);
        ::setenv("QM7X_SIM_STATE_DIR", (dir_ / "state").c_str(), 1);
        static int argc = 0;
        frontEnd_ = std::make_unique<ui::qt::QtFrontEnd>(argc, nullptr);
        ui::SetFrontEnd(frontEnd_.get());
        app::RegisterProgramCallbacks();
        ui::InitUserInterface(0, nullptr);
        mpPanel = ui::LoadPanel(0, kResourceFile, MP);
        ui::GetPanelHandleFromTabPage(mpPanel, MP_TAB, 0, cpPanel);
        ui::GetPanelHandleFromTabPage(mpPanel, MP_TAB, 1, ppPanel);
        ui::DisplayPanel(mpPanel);
        ui::SetActiveTabPage(mpPanel, MP_TAB, 1);
        if (app::FindVISAinstruments() < 1) {
            return;
        }
        app::CurrentInstr = &app::Instruments[0];
        app::SelMez();
        ui::SetCtrlVal(ppPanel, PP_FILE_NAME, (dir_ / "soak.log").string());
        press(ppPanel, PP_START);  // opens the protocol
        press(ppPanel, PP_SHOW_LOG);
    }
    ~WindowBench() {
        verify::DiscardChlp(verify::kProtocolLog);
        if (mezSession != 0) {
            app::closeMezSession();
        }
        if (carrierSession != 0) {
            trholdr_close(carrierSession);
            carrierSession = 0;
        }
        ui::ResetUserInterface();
        frontEnd_.reset();
        std::error_code ignored;
        fs::remove_all(dir_, ignored);
    }
    bool open() const { return mezSession != 0; }

    void reference(const std::array<double, 3>& volts) {
        std::ofstream(dir_ / "bench.reference.yaml")
            << "channels_v: [" << volts[0] << ", " << volts[1] << ", " << volts[2] << "]\n";
    }
    // Everything of a point but the press: the source, the page, the relay in.
    void prepare(int channel, double volts) {
        std::array<double, 3> source{};
        source[static_cast<std::size_t>(channel - 1)] = volts;
        reference(source);
        ui::SetCtrlVal(ppPanel, PP_CHAN, channel);
        ui::SetCtrlVal(ppPanel, PP_U, volts);
        auto* relay = qobject_cast<ui::qt::BinarySwitch*>(
            frontEnd_->ControlWidgetOf(ppPanel, PP_RELE_SWITCH));
        if (relay != nullptr && !relay->isChecked()) {
            QTest::mouseClick(relay, Qt::LeftButton);
        }
    }
    // The press of "Пуск" and the windows drawn as they then stand.
    void pointAndDraw() {
        press(ppPanel, PP_START);
        ui::ProcessSystemEvents();  // as the program's loop turns: pending events, deletions
        for (const int panel : {mpPanel, verify::ChlpPanel(verify::kProtocolLog)}) {
            if (QWidget* window = frontEnd_->PanelWidgetOf(panel)) {
                window->repaint();
            }
        }
    }

  private:
    void press(int panel, int control) {
        if (auto* button = qobject_cast<QPushButton*>(frontEnd_->ControlWidgetOf(panel, control))) {
            QTest::mouseClick(button, Qt::LeftButton);
        }
    }

    fs::path dir_;
    std::unique_ptr<ui::qt::QtFrontEnd> frontEnd_;
};

WindowBench* windowBench = nullptr;

// Channel, voltage of the i-th point: every channel in turn, each over its range's levels.
std::pair<int, double> pointOf(int i) {
    static const std::array<std::vector<double>, 3> levels = {{{9, 5, 1, 0, -1, -5, -9},
                                                               {0.9, 0.5, 0.1, 0, -0.1, -0.5, -0.9},
                                                               {0.09, 0.05, 0, -0.05, -0.09}}};
    const int channel = 1 + i % 3;
    const auto& volts = levels[static_cast<std::size_t>(channel - 1)];
    return {channel, volts[static_cast<std::size_t>(i / 3) % volts.size()]};
}

void blockBaseline(benchmark::State& state) {
    std::vector<double> samples(100);
    for (auto _ : state) {
        const ViSession vi = mezSession;
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

double residentMebibytes();

void soakPoint(benchmark::State& state) {
    residentBeforeMiB = residentMebibytes();
    int i = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const auto [channel, volts] = pointOf(i++);
        windowBench->prepare(channel, volts);
        state.ResumeTiming();
        windowBench->pointAndDraw();
    }
    std::string status;
    ui::GetCtrlVal(mpPanel, MP_ERROR_MESSAGE, status);
    if (!status.empty()) {
        state.SkipWithError(("the run reported: " + status).c_str());
    }
}

double residentMebibytes() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::strtod(line.c_str() + 6, nullptr) / 1024.0;  // kB
        }
    }
    return 0.0;
}

double processorSeconds() {
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    const auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// The program waiting for the operator: its event loop with both windows up.
void idle() {
    const double before = processorSeconds();
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < idleSeconds * 1000) {
        ui::ProcessNextEvent(idleSeconds - static_cast<double>(clock.elapsed()) / 1000.0);
    }
    idleCpuSeconds = processorSeconds() - before;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<char*> args;
    for (int i = 0; i < argc; ++i) {
        if (std::strncmp(argv[i], "--points=", 9) == 0) {
            soakPoints = std::max(1, std::atoi(argv[i] + 9));
        } else if (std::strncmp(argv[i], "--idle=", 7) == 0) {
            idleSeconds = std::max(0, std::atoi(argv[i] + 7));
        } else {
            args.push_back(argv[i]);
        }
    }
    int count = static_cast<int>(args.size());
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::setenv("QM7X_VISA_LIBRARY", QM7X_SIM_VISA, 0);
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    WindowBench windows;
    if (!windows.open()) {
        std::fprintf(stderr, "the simulated mezzanine did not open (QM7X_VISA_LIBRARY?)\n");
        return 1;
    }
    windowBench = &windows;
    benchmark::RegisterBenchmark("block/instant", blockBaseline)->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("soak/point", soakPoint)
        ->Iterations(soakPoints)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    const int result =
        qm7x::bench::RunWithSummary(count, args.data(), [](const qm7x::bench::Timings& t) {
            residentMiB = residentMebibytes();
            idle();
            const auto point = t.find("soak/point");
            const auto block = t.find("block/instant");
            if (point != t.end() && block != t.end()) {
                const auto& [p, b] = std::pair(point->second, block->second);
                std::printf("\nsoak/point over block/instant: %.1f (real)\n", p.real / b.real);
                std::printf(
                    "the point beyond its block, drawing included: %.2f ms real, %.2f ms cpu\n",
                    (p.real - b.real) * 1e3, (p.cpu - b.cpu) * 1e3);
            }
            std::printf("resident memory after %d points: %.1f MiB (%.1f MiB before the soak)\n",
                        soakPoints + 1, residentMiB, residentBeforeMiB);
            std::printf("processor time of the idle program over %d s: %.3f s\n", idleSeconds,
                        idleCpuSeconds);
        });
    windowBench = nullptr;
    return result;
}
