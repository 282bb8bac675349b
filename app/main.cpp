// The operator's program: the Qt front end on the program's life cycle.
#include <cstdlib>
#include <memory>
#include <optional>

#include "program.h"
#include "qm7x/program/panel_handles.h"
#include "qm7x/ui/qt/qt_frontend.h"
#include "startup_probe.h"

int main(int argc, char** argv) {
    const auto frontEnd = qm7x::ui::qt::InstallQtFrontEnd(argc, argv);
    std::optional<qm7x::app::StartupProbe> probe;
    if (std::getenv("QM7X_STARTUP_PROBE") != nullptr && frontEnd) {
        probe.emplace(*frontEnd, [](int panel) { return panel == qm7x::mpPanel; });
        qm7x::ui::SetFrontEnd(&*probe);
    }
    return qm7x::app::RunProgram(argc, argv);
}
