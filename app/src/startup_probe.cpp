#include "startup_probe.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <utility>

namespace qm7x::app {

namespace {

std::string oneLine(std::string_view text) {
    std::string line;
    for (const char c : text) {
        line += c == '\n' ? std::string("\\n") : std::string(1, c);
    }
    return line;
}

}  // namespace

StartupProbe::StartupProbe(ui::FrontEnd& inner, std::function<bool(int)> isMainPanel,
                           std::function<std::string()> aboutReport)
    : inner_(inner), isMainPanel_(std::move(isMainPanel)), aboutReport_(std::move(aboutReport)) {}

void StartupProbe::ShowMessage(std::string_view title, std::string_view message) {
    if (!aboutReport_) {
        inner_.ShowMessage(title, message);
        return;
    }
    std::printf("startup-probe message %s: %s\n", oneLine(title).c_str(), oneLine(message).c_str());
    std::fflush(stdout);
}

int StartupProbe::WaitForEvents(double timeoutSeconds) {
    if (!aboutReport_) {
        return inner_.WaitForEvents(timeoutSeconds);
    }
    std::printf("startup-probe about %s\n", oneLine(aboutReport_()).c_str());
    std::fflush(stdout);
    std::_Exit(0);
}

void StartupProbe::PanelDisplayed(int panel) {
    inner_.PanelDisplayed(panel);
    if (aboutReport_ || !isMainPanel_(panel)) {
        return;
    }
    inner_.ProcessEvents();  // let the window be mapped and painted
    // Whole numbers only: "%f" would write a decimal comma under the desktop's locale, and the
    // measuring script reads a point.
    const auto now = std::chrono::duration_cast<std::chrono::microseconds>(
                         std::chrono::system_clock::now().time_since_epoch())
                         .count();
    std::printf("startup-probe %lld.%06lld\n", static_cast<long long>(now / 1000000),
                static_cast<long long>(now % 1000000));
    std::fflush(stdout);
    std::_Exit(0);
}

}  // namespace qm7x::app
