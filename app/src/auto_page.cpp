#include "auto_page.h"

#include <cstdio>
#include <filesystem>
#include <vector>

#include "p_qm7x.h"
#include "qm7x/procedure/procedure.h"
#include "qm7x/program/panel_handles.h"
#include "qm7x/program/run_guard.h"
#include "qm7x/program/status_line.h"
#include "qm7x/ui/userint.h"
#include "qm7x/verify/point_plot.h"

namespace qm7x::app {
namespace {

// The point plot of the protocol panel draws into its graph by number: the page's graph has it.
static_assert(AP_PLOT == CHLP_PLOT);

constexpr const char* kHeader = " №  к        Un, В        Ux, В     Ux-Un, В  результат";

std::vector<procedure::CalibratorFound> found;  // the ring's items, by index
bool stopAsked = false;
bool procedureRunning = false;
bool exitAfterProcedure = false;

std::string Row(const procedure::PointFacts& point) {
    char text[128];
    std::snprintf(text, sizeof text, "%2d  %d %12.7g %12.7g %12.4g  ", point.index, point.channel,
                  point.un, point.ux, point.ux - point.un);
    return std::string(text) + (point.pass ? "Норма" : "Не норма");
}

// Appends a line to the page's list and keeps the last line in view.
void AppendLine(int panel, const std::string& line) {
    ui::InsertTextBoxLine(panel, AP_POINTS, -1, line);
    int lines = 0;
    int visible = 0;
    ui::GetNumTextBoxLines(panel, AP_POINTS, lines);
    ui::GetCtrlAttribute(panel, AP_POINTS, ui::ATTR_VISIBLE_LINES, visible);
    ui::SetCtrlAttribute(panel, AP_POINTS, ui::ATTR_FIRST_VISIBLE_LINE,
                         lines - visible > 0 ? lines - visible : 0);
}

const char* PhaseTitle(procedure::Phase phase) {
    switch (phase) {
        case procedure::Phase::asFound:
            return "до калибровки";
        case procedure::Phase::asLeft:
            return "после калибровки";
        default:
            return "поверка";
    }
}

}  // namespace

std::string StandardPlanPath() {
    for (const char* candidate :
         {QM7X_INSTALLED_PLANS "/standard.yaml", QM7X_SOURCE_PLANS "/standard.yaml"}) {
        std::error_code error;
        if (std::filesystem::is_regular_file(candidate, error)) {
            return candidate;
        }
    }
    return "standard.yaml";
}

void SetUpAutoPage() {
    if (apPanel > 0) {
        ui::SetCtrlVal(apPanel, AP_PLAN, StandardPlanPath());
    }
}

int apFind(int panel, int, int event, void*, int, int) {
    if (event != ui::EVENT_COMMIT || runInProgress()) {
        return 0;
    }
    ui::SetWaitCursor(1);
    found = procedure::FindCalibrators();
    ui::SetWaitCursor(0);
    ui::ClearListCtrl(panel, AP_CALIBRATOR);
    for (std::size_t i = 0; i < found.size(); ++i) {
        ui::InsertListItem(panel, AP_CALIBRATOR, -1, found[i].resource + "  " + found[i].idn,
                           static_cast<int>(i));
    }
    if (found.empty()) {
        showStatusError("Калибраторы не найдены среди приборов VISA");
    } else {
        showStatusInfo("Найдено калибраторов: " + std::to_string(found.size()));
    }
    return 0;
}

int apPlanFile(int panel, int, int event, void*, int, int) {
    if (event != ui::EVENT_COMMIT || runInProgress()) {
        return 0;
    }
    ui::FileSelectOptions options;
    options.defaultFileSpec = "*.yaml";
    options.fileTypeList = "*.yaml";
    options.title = "Файл плана";
    std::string chosen;
    const int result = ui::FileSelectPopup(options, chosen);
    if (result == ui::VAL_EXISTING_FILE_SELECTED) {
        ui::SetCtrlVal(panel, AP_PLAN, chosen);
    }
    return 0;
}

int apStop(int, int, int event, void*, int, int) {
    if (event == ui::EVENT_COMMIT) {
        stopAsked = true;
    }
    return 0;
}

int apStart(int panel, int, int event, void*, int, int) {
    if (event != ui::EVENT_COMMIT || runInProgress()) {
        return 0;
    }
    clearStatusLine();
    int chosen = -1;
    int items = 0;
    ui::GetNumListItems(panel, AP_CALIBRATOR, items);
    if (items > 0) {
        ui::GetCtrlVal(panel, AP_CALIBRATOR, chosen);
    }
    if (chosen < 0 || static_cast<std::size_t>(chosen) >= found.size()) {
        showStatusError("Калибратор не выбран: найдите его кнопкой «Найти»");
        return 0;
    }
    std::string planFile;
    ui::GetCtrlVal(panel, AP_PLAN, planFile);
    procedure::Plan plan;
    try {
        plan = procedure::LoadPlan(planFile);
    } catch (const procedure::PlanError& error) {
        showStatusError(std::string("План не прочитан: ") + error.what());
        return 0;
    }
    int calibrate = 0;
    ui::GetCtrlVal(panel, AP_CALIBRATE, calibrate);
    const auto mode = calibrate == 2   ? procedure::CalibrateMode::always
                      : calibrate == 1 ? procedure::CalibrateMode::ifNeeded
                                       : procedure::CalibrateMode::never;
    procedure::DcCalibrator calibrator;
    if (auto failed = calibrator.open(found[static_cast<std::size_t>(chosen)].resource)) {
        showStatusError(*failed);
        return 0;
    }

    stopAsked = false;
    ui::ResetTextBox(panel, AP_POINTS, "");
    ui::SetCtrlAttribute(panel, AP_STOP, ui::ATTR_DIMMED, 0);
    procedure::Phase shownPhase = procedure::Phase::verification;
    bool anyPoint = false;
    procedure::ProcedureEvents events;
    events.progress = [&](const std::string& text) { ui::SetCtrlVal(panel, AP_PROGRESS, text); };
    events.pointTaken = [&](const procedure::PointFacts& point) {
        if (!anyPoint || point.phase != shownPhase) {
            AppendLine(panel, PhaseTitle(point.phase));
            AppendLine(panel, kHeader);
            shownPhase = point.phase;
            anyPoint = true;
        }
        AppendLine(panel, Row(point));
        verify::ShowPointPlot(panel, point.samples, point.judgement, point.channel, point.un,
                              point.tolerance);
    };
    events.channelCalibrated = [&](const procedure::CalibrationFacts& facts) {
        AppendLine(panel, "канал " + std::to_string(facts.channel) + " откалиброван");
    };
    events.stored = [&] { AppendLine(panel, "коэффициенты записаны в EEPROM"); };
    events.stopRequested = [] { return stopAsked; };
    events.overrideDueDate = [](const std::string& block, std::string& reason) {
        if (ui::ConfirmPopup("Срок поверки эталона истёк",
                             block + "\n\nВыполнить процедуру с этим эталоном?") != 1) {
            return false;
        }
        reason = "подтверждено оператором на странице автоматической процедуры";
        return true;
    };
    procedureRunning = true;
    const auto outcome = procedure::RunProcedure(calibrator, plan, mode, events);
    procedureRunning = false;
    ui::SetCtrlAttribute(panel, AP_STOP, ui::ATTR_DIMMED, 1);
    switch (outcome.ending) {
        case procedure::Ending::passed:
            ui::SetCtrlVal(panel, AP_PROGRESS, "завершено: все точки в норме");
            break;
        case procedure::Ending::failed:
            ui::SetCtrlVal(panel, AP_PROGRESS, "завершено: есть точки не в норме");
            break;
        case procedure::Ending::stopped:
            ui::SetCtrlVal(panel, AP_PROGRESS, "остановлено");
            break;
        case procedure::Ending::notRun:
            ui::SetCtrlVal(panel, AP_PROGRESS, "прервано: " + outcome.cause);
            break;
    }
    if (exitAfterProcedure) {
        exitAfterProcedure = false;
        exitRequested = 1;  // the main loop now asks, as "Выход" does
    }
    return 0;
}

bool StopProcedureForExit() {
    if (!procedureRunning) {
        return false;
    }
    stopAsked = true;
    exitAfterProcedure = true;
    return true;
}

}  // namespace qm7x::app
