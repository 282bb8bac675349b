// qm7x-auto: the automatic verification and calibration without a window.
#include <atomic>
#include <csignal>
#include <iostream>

#include "qm7x/app/auto_runner.h"

namespace {
std::atomic<bool> stopRequested{false};
extern "C" void RequestStop(int) {
    stopRequested = true;
}
}  // namespace

int main(int argc, char** argv) {
    std::string error;
    const auto options = qm7x::app::ParseAutoOptions({argv + 1, argv + argc}, error);
    if (!options) {
        std::cerr << "qm7x-auto: " << error << "\n" << qm7x::app::kAutoUsage;
        return qm7x::app::kExitNotRun;
    }
    // Ctrl+C and a CI's termination are the operator's "Стоп": the bench is left safe.
    std::signal(SIGINT, RequestStop);
    std::signal(SIGTERM, RequestStop);
    return qm7x::app::RunAuto(*options, std::cout, std::cerr, &stopRequested);
}
