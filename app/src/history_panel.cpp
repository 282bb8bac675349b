#include "qm7x/app/history_panel.h"

#include <fmt/format.h>

#include <array>

#include "p_qm7x.h"
#include "qm7x/program/panel_handles.h"
#include "qm7x/program/run_guard.h"
#include "qm7x/program/status_line.h"
#include "qm7x/results/drift.h"
#include "qm7x/results/recorder.h"
#include "qm7x/ui/userint.h"

namespace qm7x::app {
namespace {

// One colour per series, in the order of the series; repeated after the last.
constexpr std::array<int, 9> kSeriesColors{0x1F77B4, 0xD62728, 0x2CA02C, 0x9467BD, 0xFF7F0E,
                                           0x17BECF, 0x8C564B, 0xE377C2, 0x7F7F7F};

std::string ModeText(const results::PointSummary& point) {
    std::string text = point.mode == results::kAutomatic ? "автомат." : "ручн.";
    if (point.phase == "as_found") {
        text += ", до калибровки";
    } else if (point.phase == "as_left") {
        text += ", после калибровки";
    }
    return text;
}

}  // namespace

std::vector<std::string> HistoryLines(const std::vector<results::SessionHistory>& history) {
    std::vector<std::string> lines;
    for (const auto& session : history) {
        lines.push_back(fmt::format("Сеанс {}  {}  оператор {}", session.id, session.recorded_at,
                                    session.operator_name));
        lines.push_back(fmt::format("  {}; {}; программа {}", session.carrier_text,
                                    session.revision, session.program_version));
        for (const auto& p : session.points) {
            lines.push_back(fmt::format("  точка  к{} {:g} В  Un {:.6f}  Ux {:.6f}  {}  {}",
                                        p.channel, p.range_v, p.un, p.ux, p.verdict, ModeText(p)));
        }
        for (const auto& c : session.calibrations) {
            lines.push_back(fmt::format("  калибровка  к{}  {:.6e} / {:.6e} -> {:.6e} / {:.6e}",
                                        c.channel, c.gain_first_before, c.gain_second_before,
                                        c.gain_first_after, c.gain_second_after));
        }
        if (session.points.empty() && session.calibrations.empty()) {
            lines.push_back("  ни точек, ни калибровок");
        }
    }
    return lines;
}

int ShowHistory(const std::string& serial, results::ResultsStore& store) {
    if (hpPanel <= 0) {
        hpPanel = ui::LoadPanel(0, kResourceFile, HP);
    }
    auto history = store.History(serial);
    ui::SetCtrlVal(hpPanel, HP_SERIAL, serial);
    ui::SetCtrlVal(hpPanel, HP_STORE, store.Describe());
    ui::ResetTextBox(hpPanel, HP_SESSIONS, "");
    auto lines = HistoryLines(history);
    if (lines.empty()) {
        lines.push_back("В хранилище нет записей этого модуля");
    }
    for (const auto& line : lines) {
        ui::InsertTextBoxLine(hpPanel, HP_SESSIONS, -1, line);
    }
    ui::DeleteGraphPlot(hpPanel, HP_DRIFT, ui::VAL_ALL_PLOTS, ui::VAL_IMMEDIATE_DRAW);
    auto drift = results::DriftOf(history);
    for (std::size_t i = 0; i < drift.size(); ++i) {
        const auto& s = drift[i];
        int plot = ui::PlotXY(hpPanel, HP_DRIFT, s.days, s.deviation, ui::VAL_CONNECTED_POINTS,
                              ui::VAL_SOLID_CIRCLE, ui::VAL_SOLID,
                              kSeriesColors[i % kSeriesColors.size()]);
        if (plot > 0) {
            ui::SetPlotAttribute(hpPanel, HP_DRIFT, plot, ui::ATTR_PLOT_LG_TEXT,
                                 fmt::format("к{} {:g} В: Un {:g} В", s.channel, s.range_v, s.un));
        }
    }
    ui::DisplayPanel(hpPanel);
    return hpPanel;
}

int historyCB(int /*panel*/, int /*control*/, int event, void* /*callbackData*/, int /*eventData1*/,
              int /*eventData2*/) {
    if (event != ui::EVENT_COMMIT || runInProgress()) {
        return 0;
    }
    auto& recorder = results::ProgramRecorder();
    const std::string serial = recorder.SessionSerial();
    if (serial.empty()) {
        showStatusError("История модуля: мезонин не выбран или не сообщает серийный номер");
        return 0;
    }
    std::string error;
    results::ResultsStore* store = recorder.Store(error);
    if (store == nullptr) {
        showStatusError("История модуля не прочитана: " + error);
        return 0;
    }
    try {
        ShowHistory(serial, *store);
    } catch (const std::exception& failure) {
        recorder.Close();
        showStatusError(std::string("История модуля не прочитана: ") + failure.what());
    }
    return 0;
}

}  // namespace qm7x::app
