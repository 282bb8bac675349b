// The callbacks of the verification page: "Пуск" and the temperature selector.
#include "qm7x/verify/verification_run.h"

#include <array>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "p_qm7x.h"
#include "point_record.h"
#include "qm7x/program/channel_relay.h"
#include "qm7x/program/coeff_record.h"
#include "qm7x/program/panel_handles.h"
#include "qm7x/program/protocol_state.h"
#include "qm7x/program/run_guard.h"
#include "qm7x/program/sessions.h"
#include "qm7x/program/status_line.h"
#include "qm7x/ui/radio_group.h"
#include "qm7x/ui/userint.h"
#include "qm7x/verify/chklog.h"
#include "qm7x/verify/page_feedback.h"
#include "qm7x/verify/protocol_text.h"
#include "qm7x/verify/tolerance.h"
#include "qm7x/verify/verify_callbacks.h"
#include "trqm7x.h"

namespace qm7x::verify {
namespace {

constexpr std::array<int, 4> kTemperatureGroup{PP_TEMPERATURE_5, PP_TEMPERATURE_20,
                                               PP_TEMPERATURE_40, PP_TEMPERATURE_ANY};

// The wait cursor for the whole run, however it ends.
class WaitCursor {
  public:
    WaitCursor() { ui::SetWaitCursor(1); }
    ~WaitCursor() { ui::SetWaitCursor(0); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

struct PagePoint {
    double un = 0.0;
    double period = 0.0;
};

// Reads the point from the page (the channel into curChan) and shows the block's duration.
PagePoint readPage() {
    PagePoint p;
    ui::GetCtrlVal(ppPanel, PP_U, p.un);
    ui::GetCtrlVal(ppPanel, PP_CHAN, curChan);
    ui::GetCtrlVal(ppPanel, PP_PERIOD, p.period);
    ui::SetCtrlVal(ppPanel, PP_TIME, p.period * kSamplesPerPoint);
    return p;
}

void openProtocolIfNone() {
    if (!protocolFileName.empty()) {
        return;
    }
    ui::GetCtrlVal(ppPanel, PP_FILE_NAME, protocolFileName);
    SetupChlp(kResourceFile, kProtocolLog, protocolTitle, protocolFileName);
    SetLogTimeDate();
    ShowProtocolFileName();
}

// Sets up the block of the channel under test and starts it; false when the driver refused.
bool startBlock(double period) {
    return checkErr(trqm7x_mode_block(mezSession, kSamplesPerPoint)) >= 0 &&
           checkErr(trqm7x_sample_period(mezSession, period)) >= 0 &&
           checkErr(trqm7x_config_chans(mezSession, static_cast<ViUInt16>(1u << (curChan - 1)))) >=
               0 &&
           checkErr(trqm7x_start(mezSession)) >= 0;
}

// Polls the state until the block is complete, the state query fails or the deadline passes;
// true when the block is complete. No event is processed meanwhile.
bool waitForBlock(double period) {
    const double deadline = ui::Timer() + kTimeoutMargin + period * kSamplesPerPoint;
    // Busy until the driver says otherwise: an unanswered query is no complete block.
    ViInt16 busy = 1;
    bool queryFailed = false;
    for (;;) {
        if (checkErr(trqm7x_state(mezSession, &busy, nullptr)) < 0) {
            queryFailed = true;
            break;
        }
        if (busy == 0 || !(ui::Timer() < deadline)) {
            break;
        }
    }
    if (busy == 0) {
        return true;
    }
    if (!queryFailed) {
        showStatusError(kTimedOut);  // the driver's own message stays after a failed query
    }
    return false;
}

TemperatureCondition temperatureCondition(int& givenTemperature) {
    int selected = 0;
    ui::GetSelectedRadioButtons(ppPanel, kTemperatureGroup, selected);
    switch (selected) {
        case PP_TEMPERATURE_ANY:
            if (ui::GetCtrlVal(ppPanel, PP_TEMPERATURE, givenTemperature) < 0) {
                givenTemperature = kReferenceTemperature;
            }
            return TemperatureCondition::Given;
        case PP_TEMPERATURE_40:
            return TemperatureCondition::At40;
        case PP_TEMPERATURE_5:
            return TemperatureCondition::At5;
        default:
            return TemperatureCondition::Normal;
    }
}

// Tolerances of the three channels for the point, and the temperature allowance.
double pointTolerance(double un) {
    int passband = 0;
    ui::GetCtrlIndex(cpPanel, CP_RING_LINE, passband);
    uLimits[0] = un;
    for (int channel = 1; channel <= kChannels; ++channel) {
        uLimits[channel] = ChannelTolerance(rangeIdx[channel - 1], passband, un);
    }
    lastAllowance = 0.0;
    if (techno != 0) {
        int given = kReferenceTemperature;
        const TemperatureCondition condition = temperatureCondition(given);
        lastAllowance = TemperatureAllowance(condition, given);
    }
    return uLimits[curChan] + lastAllowance;
}

bool relaySwitchedIn() {
    int relay = 0;
    ui::GetCtrlVal(ppPanel, PP_RELE_SWITCH, relay);
    return relay != 0;
}

}  // namespace

std::optional<TakenPoint> TakePoint() {
    clearStatusLine();
    ClearPointResult();
    WaitCursor waitCursor;
    if (mezSession == 0) {
        // Without a mezzanine no sample is acquired: there is nothing to judge or to record.
        readPage();
        showStatusError(kNoMezzanine);
        return std::nullopt;
    }
    if (!relaySwitchedIn()) {
        // With the relay out the input is grounded: a point measured so would record 0 V as the
        // reading of the voltage typed.
        showStatusError(kRelayOut);
        return std::nullopt;
    }
    openProtocolIfNone();
    const PagePoint point = readPage();
    if (curChan < 1 || curChan > kChannels) {
        // The channel selects a bit of the mask and a tolerance: nothing outside 1..3 is measured.
        showStatusError("Неверный номер канала: " + std::to_string(curChan) +
                        " (канал 1, 2 или 3)");
        return std::nullopt;
    }
    if (!startBlock(point.period) || !waitForBlock(point.period)) {
        return std::nullopt;
    }
    std::vector<double> samples(kSamplesPerPoint);
    if (checkErr(trqm7x_read_block(mezSession, 0, kSamplesPerPoint, samples.data())) < 0 ||
        ReleaseRelay() < 0) {
        return std::nullopt;
    }
    const std::string heading = PointHeading(point.period);
    TakenPoint taken;
    taken.channel = curChan;
    taken.un = point.un;
    taken.tolerance = pointTolerance(point.un);
    taken.result = DoChlp(kProtocolLog, heading, samples, curChan, point.un, taken.tolerance);
    ShowPointResult(point.un, taken.result);
    RecordPoint(point.un, point.period, samples, taken.result, taken.tolerance - lastAllowance,
                lastAllowance);
    taken.samples = std::move(samples);
    ui::DefaultCtrl(ppPanel, PP_U);
    return taken;
}

int startTest(int /*panel*/, int /*control*/, int event, void* /*callbackData*/, int /*eventData1*/,
              int /*eventData2*/) {
    // One run at a time: nothing processed during a run may start another or change the mezzanine.
    if (event != ui::EVENT_COMMIT || runInProgress()) {
        return 0;
    }
    RunInProgress guard;
    TakePoint();
    // The operator goes on with the next voltage, whatever the point came to.
    ui::SetActiveCtrl(ppPanel, PP_U);
    return 0;
}

int temperatureCB(int panel, int control, int event, void* /*callbackData*/, int /*eventData1*/,
                  int /*eventData2*/) {
    if (event != ui::EVENT_COMMIT) {
        return 0;
    }
    ui::SetSelectedRadioButtons(panel, kTemperatureGroup, control);
    ui::SetCtrlAttribute(panel, PP_TEMPERATURE, ui::ATTR_DIMMED,
                         control != PP_TEMPERATURE_ANY ? 1 : 0);
    return 0;
}

}  // namespace qm7x::verify
