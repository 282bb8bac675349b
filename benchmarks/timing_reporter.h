// The console report of Google Benchmark, then a summary of the run: each benchmark's time per
// iteration in seconds (the median when repetitions are asked for, else the mean of the runs),
// from which a benchmark program prints its ratios against the baselines of the same run.
#pragma once

#include <benchmark/benchmark.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace qm7x::bench {

struct Timing {
    double cpu = 0.0;   // seconds per iteration
    double real = 0.0;  // seconds per iteration
};

using Timings = std::map<std::string, Timing>;

class TimingReporter : public benchmark::ConsoleReporter {
  public:
    using Summary = std::function<void(const Timings&)>;
    explicit TimingReporter(Summary summary) : summary_(std::move(summary)) {}

    void ReportRuns(const std::vector<Run>& runs) override;
    void Finalize() override;

  private:
    struct Collected {
        Timing sum;
        int runs = 0;
        Timing median;
        bool hasMedian = false;
    };
    std::map<std::string, Collected> collected_;
    Summary summary_;
};

// Runs the registered benchmarks with the command line and the summary; the program's exit code.
int RunWithSummary(int argc, char** argv, TimingReporter::Summary summary);

}  // namespace qm7x::bench
