// qm7x-auto: the automatic procedure without a window, on the program's own layers, for scripts
// and CI. Progress goes to standard error (one line per point), the summary table to standard
// output; the exit status says how the last verification ended.
#pragma once

#include <atomic>
#include <filesystem>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "qm7x/procedure/procedure.h"

namespace qm7x::app {

inline constexpr int kExitAllPassed = 0;
inline constexpr int kExitSomeFailed = 1;
inline constexpr int kExitNotRun = 2;

struct AutoOptions {
    std::string carrier;
    int position = 0;
    std::string calibrator;
    std::filesystem::path plan;
    procedure::CalibrateMode calibrate = procedure::CalibrateMode::never;
    std::optional<std::string> protocol;
    std::optional<int> temperature;
    bool overrideDueDate = false;  // run with a standard past its due date (recorded)
};

// The options of the command line; on a mistake, nothing and the reason in `error`.
std::optional<AutoOptions> ParseAutoOptions(const std::vector<std::string>& arguments,
                                            std::string& error);
extern const char* const kAutoUsage;

// Runs the procedure; `stop` may be set meanwhile (a signal) to stop it. Returns the exit status.
int RunAuto(const AutoOptions& options, std::ostream& out, std::ostream& err,
            const std::atomic<bool>* stop = nullptr);

}  // namespace qm7x::app
