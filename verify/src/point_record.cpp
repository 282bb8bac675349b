#include "point_record.h"

#include "point_budget.h"

#include <array>
#include <string>
#include <vector>

#include "p_qm7x.h"
#include "qm7x/program/channel_relay.h"
#include "qm7x/program/coeff_record.h"
#include "qm7x/program/panel_handles.h"
#include "qm7x/program/protocol_state.h"
#include "qm7x/program/sessions.h"
#include "qm7x/program/status_line.h"
#include "qm7x/results/recorder.h"
#include "qm7x/ui/radio_group.h"
#include "qm7x/ui/userint.h"
#include "qm7x/verify/chklog.h"
#include "qm7x/verify/point_origin.h"
#include "qm7x/verify/protocol_text.h"
#include "trholdr.h"

namespace qm7x::verify {
namespace {

constexpr std::array<int, 4> kTemperatureGroup{PP_TEMPERATURE_5, PP_TEMPERATURE_20,
                                               PP_TEMPERATURE_40, PP_TEMPERATURE_ANY};

// The temperature choice as the page shows it ("+5 C", "заданная 35 C").
std::string temperatureText() {
    int selected = PP_TEMPERATURE_20;
    ui::GetSelectedRadioButtons(ppPanel, kTemperatureGroup, selected);
    std::string label;
    ui::GetCtrlAttribute(ppPanel, selected, ui::ATTR_LABEL_TEXT, label);
    if (selected == PP_TEMPERATURE_ANY) {
        int given = 0;
        ui::GetCtrlVal(ppPanel, PP_TEMPERATURE, given);
        label += " " + std::to_string(given) + " C";
    }
    return label;
}

std::string passbandText() {
    int index = 0;
    std::string label;
    ui::GetCtrlIndex(cpPanel, CP_RING_LINE, index);
    ui::GetLabelFromIndex(cpPanel, CP_RING_LINE, index, label);
    return label;
}

}  // namespace

void RecordPoint(double un, double period, std::span<const double> volts,
                 const DeviationResult& result, double tolerance_v, double allowance_v) {
    results::PointRecord point;
    point.channel = curChan;
    point.range_v = range[curChan - 1];
    point.passband = passbandText();
    point.period_s = period;
    point.temperature = temperatureText();
    point.un = un;
    point.volts.assign(volts.begin(), volts.end());
    point.kept.assign(result.kept.begin(), result.kept.end());
    point.ux = result.ux;
    point.dus = result.ux - un;
    point.dumax = result.dUmax;
    if (!result.judgedInVolts) {  // else the percentages do not apply: null in the store
        point.axs = result.axs;
        point.axmax = result.axmax;
        point.an = result.an;
    }
    point.verdict = result.verdict == 0 ? kWithin : kOutOf;
    const PointOrigin& origin = CurrentPointOrigin();
    if (origin.automatic) {
        point.mode = results::kAutomatic;
        point.phase = origin.phase;
        point.calibrator = origin.calibrator;
    }
    point.protocol_file = protocolFileName;
    point.protocol_offset = LastEntryOffset(kProtocolLog);

    // The codes the volts were converted from, from the same block.
    std::vector<ViInt32> codes(volts.size());
    if (trholdr_m_read_block(mezSession, 0, static_cast<ViInt32>(codes.size()), codes.data()) >=
        0) {
        point.raw_codes.assign(codes.begin(), codes.end());
    }
    std::int64_t point_id = 0;
    if (auto failure = results::ProgramRecorder().Point(point, &point_id)) {
        showStatusError(results::NotStoredText("точка (в протокол она записана)", *failure));
        return;
    }
    if (auto failure = RecordPointBudget(
            point_id, {point.volts, un, point.range_v, tolerance_v, allowance_v})) {
        showStatusError(results::NotStoredText(
            "бюджет неопределённости точки (точка и протокол записаны)", *failure));
    } else if (point.raw_codes.empty()) {
        showStatusError(
            "Точка записана в хранилище результатов без сырых кодов: носитель их не "
            "выдал");
    }
}

}  // namespace qm7x::verify
