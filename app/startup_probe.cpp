#include "startup_probe.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <utility>

namespace qm7x::app {

StartupProbe::StartupProbe(ui::FrontEnd& inner, std::function<bool(int)> isMainPanel)
    : inner_(inner), isMainPanel_(std::move(isMainPanel)) {}

void StartupProbe::PanelDisplayed(int panel) {
    inner_.PanelDisplayed(panel);
    if (!isMainPanel_(panel)) {
        return;
    }
    inner_.ProcessEvents();  // let the window be mapped and painted
    const auto now = std::chrono::system_clock::now().time_since_epoch();
    std::printf("startup-probe %.6f\n", std::chrono::duration<double>(now).count());
    std::fflush(stdout);
    std::_Exit(0);
}

}  // namespace qm7x::app
