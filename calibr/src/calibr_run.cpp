// The two-point calibration run of one channel: a positive and a negative reference point, each
// acquired as one fast block whose samples after the settling interval are read back raw; the
// mezzanine driver turns both sets into the channel's gain pair, which the table shows at once.
#include <cmath>
#include <new>
#include <string>
#include <vector>

#include "p_qm7x.h"
#include "qm7x/calibr/calibr_callbacks.h"
#include "qm7x/calibr/calibr_constants.h"
#include "qm7x/calibr/calibr_run.h"
#include "qm7x/calibr/reference_reply.h"
#include "qm7x/program/channel_relay.h"
#include "qm7x/program/coeff_record.h"
#include "qm7x/program/panel_handles.h"
#include "qm7x/program/run_guard.h"
#include "qm7x/program/sessions.h"
#include "qm7x/program/status_line.h"
#include "qm7x/ui/userint.h"
#include "trholdr.h"
#include "trqm7x.h"

namespace qm7x::calibr {

namespace {

constexpr const char* kPromptTitle = "Сообщение оператору";
constexpr const char* kPositivePrompt = "Введите верхнее(положительное) значение напряжения, В";
constexpr const char* kNegativePrompt = "Введите нижнее(отрицательное) значение напряжения, В";
constexpr const char* kCancelled = "Калибровка отменена оператором";
constexpr const char* kTimedOut =
    "Контрольное время 30 с кончилось, а измерение не завершилось: калибровка прервана";
constexpr const char* kNoMemory =
    "Недостаточно памяти для отсчётов калибровки: калибровка прервана";

using Samples = std::vector<ViInt32>;

// However a run ends, the input relay is released and both switches show it (or show it still in
// when the driver refused the release), and the LED is off: the bench is never left in a state
// the panel does not show.
class BenchRestorer {
  public:
    BenchRestorer() = default;
    BenchRestorer(const BenchRestorer&) = delete;
    BenchRestorer& operator=(const BenchRestorer&) = delete;
    ~BenchRestorer() {
        if (!relayReleased_) {
            ReleaseRelay();  // the switches show the relay as it then is
        } else {
            SetReleSwitch(0);
        }
        ui::SetCtrlVal(cpPanel, CP_LED, 0);
    }
    // A pass that ends early always releases the relay (the operator may even have switched it
    // in from the verification page before the run); once the pass has released it without
    // error, nothing more is needed.
    void passStarts() { relayReleased_ = false; }
    void relayReleased() { relayReleased_ = true; }

  private:
    bool relayReleased_ = false;
};

// How one pass ended: carry on, or end the run returning the callback's value.
struct PassEnd {
    bool carryOn = true;
    int returnValue = 0;
};
constexpr PassEnd kCarryOn{};
constexpr PassEnd endRun(int returnValue = 0) {
    return {false, returnValue};
}

// The operator at the prompt, which shows the previous reply.
bool PromptOperator(Polarity polarity, std::string& reply) {
    return ui::PromptPopup(kPromptTitle,
                           polarity == Polarity::positive ? kPositivePrompt : kNegativePrompt,
                           reply, kMaxReplyLength) == 0;
}

class CalibrationRun {
  public:
    explicit CalibrationRun(ReferenceAnswer answer) : answer_(std::move(answer)) {}

    bool calibrated() const { return calibrated_; }

    int run() {
        clearStatusLine();  // the previous run's word is no word on this one
        for (int pass = 0; pass < 2; ++pass) {
            const PassEnd end = point(pass == 0 ? Polarity::positive : Polarity::negative);
            if (!end.carryOn) {
                return end.returnValue;
            }
        }
        ui::SetCtrlVal(cpPanel, CP_LED, 0);
        if (computeGains()) {
            showStatusInfo("Калибровка канала " + std::to_string(curChan) +
                           " выполнена: новые коэффициенты в таблице, в EEPROM не записаны");
        }
        return 0;
    }

  private:
    // One reference point: set up, switch the relay in, ask the voltage, acquire, read back.
    PassEnd point(Polarity polarity) {
        restorer_.passStarts();
        ui::GetCtrlVal(cpPanel, CP_CHAN, curChan);
        ui::SetCtrlVal(cpPanel, CP_LED, 1);
        const auto mask = static_cast<ViUInt16>(1u << (curChan - 1));
        if (failed(trqm7x_reset(mezSession)) ||
            failed(trqm7x_mode_block(mezSession, kBlockLength)) ||
            failed(trqm7x_sample_period(mezSession, CALIBR_SAMPLE_PERIOD)) ||
            failed(trqm7x_config_chans(mezSession, mask))) {
            return endRun();
        }
        if (failed(trqm7x_input_trigger(mezSession, static_cast<ViInt16>(curChan), 1))) {
            return endRun();
        }
        SetReleSwitch(1);

        if (!askVoltage(polarity)) {
            return endRun();
        }
        clearStatusLine();

        if (failed(trqm7x_start(mezSession))) {
            return endRun();
        }
        ViInt16 busy = 0;
        if (!pollUntilComplete(busy)) {
            return endRun();
        }
        if (busy != 0) {
            // The module never completed the block: its samples are not a measurement.
            const ViStatus stop = trqm7x_stop(mezSession);
            showStatusError(stop < 0 ? std::string(kTimedOut) +
                                           "; остановка сбора: " + driverStatusText(stop)
                                     : kTimedOut);
            return endRun();
        }
        if (failed(trqm7x_stop(mezSession)) || failed(trqm7x_input_trigger(mezSession, 0, 0))) {
            return endRun();
        }
        restorer_.relayReleased();
        SetReleSwitch(0);
        ui::SetCtrlVal(cpPanel, CP_LED, 1);
        Samples& samples = polarity == Polarity::positive ? positive_ : negative_;
        if (const PassEnd end = readSamples(samples); !end.carryOn) {
            return end;
        }
        return checkAgainstReading(polarity, samples);
    }

    // Nominal range of the channel under test, volts. A record that gives no usable range (zero,
    // not a number) is spoilt: the channel's own range, as the defaults set it, bounds the reply.
    static double channelRange() {
        const double reported = range[curChan - 1];
        return std::isfinite(reported) && reported > 0.0 ? rangeVolts[rangeIdx[curChan - 1]]
                                                         : rangeVolts[curChan - 1];
    }

    // The typed voltage against what the module read with its current coefficients.
    PassEnd checkAgainstReading(Polarity polarity, const Samples& samples) const {
        const bool positive = polarity == Polarity::positive;
        const double gain =
            positive ? firstGain(*coeffPtr, curChan) : secondGain(*coeffPtr, curChan);
        const double reading = ModuleReading(samples, gain, channelRange());
        const std::string refusal =
            RefuseFarFromReading(positive ? uPos_ : uNeg_, reading, curChan, channelRange());
        if (!refusal.empty()) {
            showStatusError(refusal);
            return endRun();
        }
        return kCarryOn;
    }

    // A negative status ends the run; any nonzero one is shown.
    static bool failed(ViStatus status) { return checkErr(status) < 0; }

    // The operator types the reference voltage applied to the input; a cancelled prompt, or a
    // reply that is not a voltage of the point's polarity within the channel's range, ends the
    // run.
    bool askVoltage(Polarity polarity) {
        const bool positive = polarity == Polarity::positive;
        if (!answer_(polarity, reply_)) {
            showStatusInfo(kCancelled);
            return false;
        }
        const ReferenceReply parsed = ParseReferenceReply(reply_, polarity);
        if (!parsed.accepted) {
            showStatusError(parsed.refusal);
            return false;
        }
        if (const std::string refusal = RefuseBeyondRange(parsed.volts, curChan, channelRange());
            !refusal.empty()) {
            showStatusError(refusal);
            return false;
        }
        (positive ? uPos_ : uNeg_) = parsed.volts;
        return true;
    }

    // Polls every settling interval, keeping the window live and the LED blinking, until the
    // block is complete or the time-out has passed. False when the state query failed.
    bool pollUntilComplete(ViInt16& busy) {
        const double deadline = ui::Timer() + kCompletionTimeoutS;
        do {
            if (failed(trqm7x_state(mezSession, &busy, nullptr))) {
                return false;
            }
            ui::Delay(kSettlingTimeS);
            ui::ProcessSystemEvents();
            blink_ = !blink_;
            ui::SetCtrlVal(cpPanel, CP_LED, blink_ ? 1 : 0);
        } while (busy != 0 && ui::Timer() < deadline);
        return true;
    }

    // Reads the samples after the settling interval, raw, from the carrier's memory.
    static PassEnd readSamples(Samples& samples) {
        try {
            samples.assign(kSamplesPerPoint, 0);
        } catch (const std::bad_alloc&) {
            showStatusError(kNoMemory);
            return endRun(VI_ERROR_ALLOC);
        }
        const ViStatus status =
            trholdr_m_read_block(mezSession, kReadOffset, kSamplesPerPoint, samples.data());
        if (status < 0) {
            checkErr(status);
            return endRun(status);
        }
        return kCarryOn;
    }

    // The driver computes the pair; exactly that channel's pair is copied and shown. True when
    // the driver had nothing to say (a warning stays on the status line).
    bool computeGains() {
        const ViStatus status =
            trqm7x_extcalibr(mezSession, uPos_, uNeg_, positive_.data(), negative_.data(),
                             kSamplesPerPoint, static_cast<ViInt16>(curChan));
        if (failed(status)) {
            return false;
        }
        firstGain(coeffCopy, curChan) = firstGain(*coeffPtr, curChan);
        secondGain(coeffCopy, curChan) = secondGain(*coeffPtr, curChan);
        ui::SetTableCellVal(cpPanel, CP_TABLE, ui::MakePoint(1, curChan),
                            firstGain(coeffCopy, curChan));
        ui::SetTableCellVal(cpPanel, CP_TABLE, ui::MakePoint(2, curChan),
                            secondGain(coeffCopy, curChan));
        calibrated_ = true;
        return status == 0;
    }

    ReferenceAnswer answer_;
    bool calibrated_ = false;
    BenchRestorer restorer_;
    double uPos_ = 0.0;
    double uNeg_ = 0.0;
    std::string reply_;  // each prompt opens empty; this holds the last reply
    bool blink_ = false;
    Samples positive_;
    Samples negative_;
};

}  // namespace

int calibrPoint(int /*panel*/, int /*control*/, int event, void* /*callbackData*/,
                int /*eventData1*/, int /*eventData2*/) {
    // The run processes events while it waits: a second press must not start another.
    if (event != ui::EVENT_COMMIT || runInProgress()) {
        return 0;
    }
    const RunInProgress inProgress;
    return CalibrationRun(PromptOperator).run();
}

bool RunCalibration(const ReferenceAnswer& answer) {
    CalibrationRun run(answer);
    run.run();
    return run.calibrated();
}

}  // namespace qm7x::calibr
