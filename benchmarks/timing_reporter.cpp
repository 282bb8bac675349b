#include "timing_reporter.h"

#include <utility>

namespace qm7x::bench {

namespace {

Timing inSeconds(const benchmark::BenchmarkReporter::Run& run) {
    const double perSecond = benchmark::GetTimeUnitMultiplier(run.time_unit);
    return {run.GetAdjustedCPUTime() / perSecond, run.GetAdjustedRealTime() / perSecond};
}

}  // namespace

void TimingReporter::ReportRuns(const std::vector<Run>& runs) {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
        Collected& c = collected_[run.run_name.function_name];
        if (run.run_type == Run::RT_Iteration) {
            const Timing t = inSeconds(run);
            c.sum.cpu += t.cpu;
            c.sum.real += t.real;
            ++c.runs;
        } else if (run.aggregate_name == "median") {
            c.median = inSeconds(run);
            c.hasMedian = true;
        }
    }
}

void TimingReporter::Finalize() {
    ConsoleReporter::Finalize();
    Timings timings;
    for (const auto& [name, c] : collected_) {
        if (c.hasMedian) {
            timings[name] = c.median;
        } else if (c.runs > 0) {
            timings[name] = {c.sum.cpu / c.runs, c.sum.real / c.runs};
        }
    }
    summary_(timings);
}

int RunWithSummary(int argc, char** argv, TimingReporter::Summary summary) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    TimingReporter reporter(std::move(summary));
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return 0;
}

}  // namespace qm7x::bench
