// The operator's program: the Qt front end on the program's life cycle.
#include <cstdlib>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "p_qm7x.h"
#include "pdf_drawer.h"
#include "qm7x/app/history_certificate.h"
#include "qm7x/app/program.h"
#include "qm7x/program/panel_handles.h"
#include "qm7x/ui/qt/qt_frontend.h"
#include "qm7x/ui/userint.h"
#include "startup_probe.h"

int main(int argc, char** argv) {
    const auto frontEnd = qm7x::ui::qt::InstallQtFrontEnd(argc, argv);
    std::optional<qm7x::app::StartupProbe> probe;
    if (const char* probeMode = std::getenv("QM7X_STARTUP_PROBE");
        probeMode != nullptr && frontEnd) {
        std::function<std::string()> aboutReport;
        if (std::string_view(probeMode) == "about") {
            aboutReport = [] {
                std::string certificate;
                qm7x::ui::GetCtrlVal(qm7x::aboutPanel, ABOUT_CERT_MSG, certificate);
                return "CERT_MSG=" + certificate;
            };
        }
        probe.emplace(
            *frontEnd, [](int panel) { return panel == qm7x::mpPanel; }, std::move(aboutReport));
        qm7x::ui::SetFrontEnd(&*probe);
    }
    qm7x::app::SetCertificateDrawer(qm7x::app::PdfDrawer());
    return qm7x::app::RunProgram(argc, argv);
}
