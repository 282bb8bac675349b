#include "qm7x/app/history_certificate.h"

#include <cstdlib>
#include <ctime>
#include <exception>
#include <string>
#include <utility>

#include "p_qm7x.h"
#include "qm7x/certificate/file.h"
#include "qm7x/program/run_guard.h"
#include "qm7x/program/status_line.h"
#include "qm7x/results/recorder.h"
#include "qm7x/ui/userint.h"
#include "shell.h"

namespace qm7x::app {
namespace {

metrology::Draw drawer;

constexpr std::string_view kSetLaboratory =
    "; задайте их: qm7x-report --laboratory \"НАИМЕНОВАНИЕ\" --address \"АДРЕС\"";

std::string Today() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    std::string day(16, '\0');
    day.resize(std::strftime(day.data(), day.size(), "%Y-%m-%d", &local));
    return day;
}

std::string UserName() {
    for (const char* name : {"USER", "LOGNAME", "USERNAME"}) {
        if (const char* value = std::getenv(name); value != nullptr && *value != '\0') {
            return value;
        }
    }
    return {};
}

// The latest session of the module that has points or calibrations (0: none has).
std::int64_t LatestSessionWithResults(results::ResultsStore& store, const std::string& serial) {
    const auto history = store.History(serial);
    for (auto it = history.rbegin(); it != history.rend(); ++it) {
        if (!it->points.empty() || !it->calibrations.empty()) {
            return it->id;
        }
    }
    return 0;
}

void Issue(const std::string& serial) {
    std::string error;
    results::ResultsStore* store = results::ProgramRecorder().Store(error);
    if (store == nullptr) {
        showStatusError("Сертификат не выпущен: " + error);
        return;
    }
    metrology::IssueRequest request;
    request.selection.serial = serial;
    request.selection.session_id = LatestSessionWithResults(*store, serial);
    if (request.selection.session_id == 0) {
        showStatusError("Сертификат не выпущен: в хранилище нет результатов модуля " + serial);
        return;
    }
    ui::FileSelectOptions options;
    options.defaultFileSpec = "*.pdf";
    options.fileTypeList = "*.pdf";
    options.title = "Файл сертификата";
    const int chosen = ui::FileSelectPopup(options, request.out_file);
    if (chosen != ui::VAL_EXISTING_FILE_SELECTED && chosen != ui::VAL_NEW_FILE_SELECTED) {
        return;  // the operator cancelled
    }
    request.operator_name = UserName();
    request.program_version = std::string(kSoftwareVersion);
    request.today = Today();
    const metrology::Draw draw = drawer ? drawer : [](const certificate::Certificate&) {
        metrology::Drawn none;
        none.error = "программа собрана без построения PDF";
        return none;
    };
    const auto issued = metrology::IssueCertificate(
        *store, request, draw, [](const std::string& path, const std::string& bytes) {
            return certificate::WriteFileDurably(path, bytes);
        });
    if (!issued.error.empty()) {
        std::string text = "Сертификат не выпущен: " + issued.error;
        if (issued.error.find("лаборатории") != std::string::npos) {
            text += kSetLaboratory;
        }
        showStatusError(text);
        return;
    }
    std::string text = "Сертификат № " + issued.record.number + " (" +
                       request.selection.Describe() + "): " + issued.record.pdf_file;
    if (!issued.record.replaces.empty()) {
        text += ", взамен № " + issued.record.replaces;
    }
    showStatusInfo(text);
}

}  // namespace

void SetCertificateDrawer(metrology::Draw draw) {
    drawer = std::move(draw);
}

int historyCertificateCB(int panel, int /*control*/, int event, void* /*callbackData*/,
                         int /*eventData1*/, int /*eventData2*/) {
    if (event != ui::EVENT_COMMIT || runInProgress()) {
        return 0;
    }
    clearStatusLine();
    std::string serial;
    ui::GetCtrlVal(panel, HP_SERIAL, serial);
    if (serial.empty()) {
        showStatusError("Сертификат не выпущен: на панели истории нет модуля");
        return 0;
    }
    try {
        Issue(serial);
    } catch (const std::exception& failure) {
        results::ProgramRecorder().Close();
        showStatusError(std::string("Сертификат не выпущен: ") + failure.what());
    }
    return 0;
}

}  // namespace qm7x::app
