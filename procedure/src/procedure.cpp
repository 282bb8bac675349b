#include "qm7x/procedure/procedure.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "p_qm7x.h"
#include "qm7x/calibr/calibr_run.h"
#include "qm7x/program/channel_relay.h"
#include "qm7x/program/coeff_record.h"
#include "qm7x/program/panel_handles.h"
#include "qm7x/program/run_guard.h"
#include "qm7x/program/sessions.h"
#include "qm7x/program/status_line.h"
#include "qm7x/ui/userint.h"
#include "qm7x/verify/point_origin.h"
#include "qm7x/verify/verification_run.h"
#include "qm7x/verify/verify_callbacks.h"
#include "trqm7x.h"

namespace qm7x::procedure {
namespace {

constexpr const char* kStopped = "Процедура остановлена оператором";
constexpr double kCalibrationPercent = 90.0;

// A voltage as an operator types it.
std::string VoltsText(double volts) {
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", volts);
    return text;
}

// What the status line says now: the cause a subsystem's run left there.
std::string StatusLineText() {
    std::string text;
    ui::GetCtrlVal(mpPanel, MP_ERROR_MESSAGE, text);
    return text;
}

// Whatever way the procedure ends: calibrator in standby, relay out, LED off.
class SafeEnding {
  public:
    explicit SafeEnding(DcCalibrator& calibrator) : calibrator_(calibrator) {}
    SafeEnding(const SafeEnding&) = delete;
    SafeEnding& operator=(const SafeEnding&) = delete;
    ~SafeEnding() { finish(); }

    // Brings the bench to rest; the failure of a step on the way, if any.
    std::optional<std::string> finish() {
        if (finished_) {
            return std::nullopt;
        }
        finished_ = true;
        std::optional<std::string> failure = calibrator_.standby();
        if (mezSession != 0 && trqm7x_input_trigger(mezSession, 0, 0) < 0 && !failure) {
            failure = "Входное реле не отключено";
        }
        SetReleSwitch(0);
        ui::SetCtrlVal(cpPanel, CP_LED, 0);
        return failure;
    }

  private:
    DcCalibrator& calibrator_;
    bool finished_ = false;
};

class Procedure {
  public:
    Procedure(DcCalibrator& calibrator, const Plan& plan, const ProcedureEvents& events)
        : calibrator_(calibrator), plan_(plan), events_(events) {}

    ProcedureOutcome run(CalibrateMode mode) {
        ProcedureOutcome outcome;
        outcome.ending = runSteps(mode, outcome);
        if (auto failed = ending_.finish(); failed && outcome.cause.empty()) {
            outcome.cause = *failed;
            outcome.ending = Ending::notRun;
        }
        if (!outcome.cause.empty()) {
            showStatusError(outcome.cause);
        }
        return outcome;
    }

  private:
    Ending runSteps(CalibrateMode mode, ProcedureOutcome& outcome) {
        if (mezSession == 0) {
            outcome.cause = "Мезонин не выбран: процедура не начата";
            return Ending::notRun;
        }
        if (!calibrator_.isOpen()) {
            outcome.cause = "Калибратор не выбран: процедура не начата";
            return Ending::notRun;
        }
        if (plan_.zeroOffset && !zeroOffset(outcome)) {
            return stoppedOr(outcome);
        }
        const Phase first = mode == CalibrateMode::never ? Phase::verification : Phase::asFound;
        if (!verificationPass(first, outcome)) {
            return stoppedOr(outcome);
        }
        if (mode == CalibrateMode::never) {
            return verdict(outcome);
        }
        std::vector<int> channels;
        for (int channel = 1; channel <= kChannels; ++channel) {
            const bool failed = std::any_of(
                outcome.lastPass.begin(), outcome.lastPass.end(),
                [&](const PointFacts& point) { return point.channel == channel && !point.pass; });
            if (mode == CalibrateMode::always || failed) {
                channels.push_back(channel);
            }
        }
        if (channels.empty()) {
            return verdict(outcome);  // nothing to adjust: as found is as left
        }
        // A calibration is always preceded by the zero-offset adjustment.
        if (!zeroOffset(outcome)) {
            return stoppedOr(outcome);
        }
        for (const int channel : channels) {
            if (!calibrate(channel, outcome)) {
                return stoppedOr(outcome);
            }
        }
        if (!calibr::StoreCoefficients()) {
            outcome.cause = "Запись в EEPROM не выполнена: " + StatusLineText();
            return Ending::notRun;
        }
        outcome.stored = true;
        if (events_.stored) {
            events_.stored();
        }
        if (!verificationPass(Phase::asLeft, outcome)) {
            return stoppedOr(outcome);
        }
        return verdict(outcome);
    }

    static Ending verdict(const ProcedureOutcome& outcome) {
        const bool allPass = std::all_of(outcome.lastPass.begin(), outcome.lastPass.end(),
                                         [](const PointFacts& point) { return point.pass; });
        return allPass ? Ending::passed : Ending::failed;
    }

    Ending stoppedOr(const ProcedureOutcome& outcome) const {
        return stopped_ && outcome.cause == kStopped ? Ending::stopped : Ending::notRun;
    }

    void progress(const std::string& text) const {
        if (events_.progress) {
            events_.progress(text);
        }
    }

    // Gives the window its events; true when the operator asked to stop.
    bool stopAsked(ProcedureOutcome& outcome) {
        ui::ProcessSystemEvents();
        if (events_.stopRequested && events_.stopRequested()) {
            stopped_ = true;
            outcome.cause = kStopped;
            return true;
        }
        return false;
    }

    bool zeroOffset(ProcedureOutcome& outcome) {
        if (stopAsked(outcome)) {
            return false;
        }
        progress("смещение нуля");
        if (!calibr::AdjustZeroOffset()) {
            outcome.cause = "Смещение нуля не выполнено: " + StatusLineText();
            return false;
        }
        return true;
    }

    // Sets the calibrator, puts it in operate and waits for it to settle.
    bool apply(double volts, ProcedureOutcome& outcome) {
        auto failed = calibrator_.setVolts(volts);
        if (!failed) {
            failed = calibrator_.operate();
        }
        if (!failed) {
            failed = calibrator_.waitSettled();
        }
        if (failed) {
            outcome.cause = *failed;
            return false;
        }
        return true;
    }

    // The page as the point needs it: the values an operator would set before "Пуск".
    static void setPage(const PlanPoint& point, double un) {
        ui::SetCtrlVal(ppPanel, PP_U, un);
        ui::SetCtrlVal(ppPanel, PP_CHAN, point.channel);
        if (point.periodS) {
            ui::SetCtrlVal(ppPanel, PP_PERIOD, *point.periodS);
        }
        if (point.passband) {
            ui::SetCtrlIndex(cpPanel, CP_RING_LINE, *point.passband);
        }
        if (point.temperature) {
            SetPageTemperature(*point.temperature);
        }
    }

    bool verificationPass(Phase phase, ProcedureOutcome& outcome) {
        outcome.lastPass.clear();
        const int total = static_cast<int>(plan_.points.size());
        for (int index = 1; index <= total; ++index) {
            const PlanPoint& point = plan_.points[static_cast<std::size_t>(index - 1)];
            if (stopAsked(outcome)) {
                return false;
            }
            progress("точка " + std::to_string(index) + " из " + std::to_string(total));
            const double rangeV = range[static_cast<std::size_t>(point.channel - 1)];
            if (point.percent && !(rangeV > 0.0)) {
                outcome.cause = "Диапазон канала " + std::to_string(point.channel) +
                                " неизвестен: точка в процентах диапазона не задана";
                return false;
            }
            const double un = NominalVolts(point, rangeV);
            // The passband ring is also the record's tag: it is put back after the point.
            int passband = 0;
            ui::GetCtrlIndex(cpPanel, CP_RING_LINE, passband);
            setPage(point, un);
            std::optional<verify::TakenPoint> taken;
            if (apply(un, outcome)) {
                // The relay in, as the page's switch does; the run releases it after the block.
                if (checkErr(trqm7x_input_trigger(mezSession, 0, 1)) >= 0) {
                    SetReleSwitch(1);
                    const verify::AutomaticPoints origin(
                        phase == Phase::verification ? "" : PhaseName(phase),
                        calibrator_.resource() + " " + calibrator_.identity(),
                        calibrator_.identity());
                    taken = verify::TakePoint();
                }
                if (!taken) {
                    outcome.cause =
                        "Точка " + std::to_string(index) + " не измерена: " + StatusLineText();
                }
            }
            ui::SetCtrlIndex(cpPanel, CP_RING_LINE, passband);
            if (!taken) {
                return false;
            }
            if (auto failed = calibrator_.standby()) {
                outcome.cause = *failed;
                return false;
            }
            PointFacts facts;
            facts.index = index;
            facts.total = total;
            facts.phase = phase;
            facts.channel = taken->channel;
            facts.un = taken->un;
            facts.ux = taken->result.ux;
            facts.tolerance = taken->tolerance;
            facts.pass = taken->result.verdict == 0;
            facts.samples = taken->samples;
            facts.judgement = taken->result;
            facts.calibrator = calibrator_.resource();
            facts.calibratorIdentity = calibrator_.identity();
            facts.calibratorAccuracyV = calibrator_.accuracyV(facts.un);
            outcome.lastPass.push_back(facts);
            if (events_.pointTaken) {
                events_.pointTaken(facts);
            }
        }
        return true;
    }

    bool calibrate(int channel, ProcedureOutcome& outcome) {
        if (stopAsked(outcome)) {
            return false;
        }
        progress("калибровка канала " + std::to_string(channel));
        PlanPoint point;
        point.channel = channel;
        point.percent = kCalibrationPercent;
        const double positive = NominalVolts(point, range[static_cast<std::size_t>(channel - 1)]);
        ui::SetCtrlVal(cpPanel, CP_CHAN, channel);
        bool calibratorFailed = false;
        const auto answer = [&](calibr::Polarity polarity, std::string& reply) {
            const double volts = polarity == calibr::Polarity::positive ? positive : -positive;
            if (!apply(volts, outcome)) {
                calibratorFailed = true;
                return false;
            }
            reply = VoltsText(volts);
            return !stopAsked(outcome);
        };
        const bool calibrated = calibr::RunCalibration(answer);
        if (auto failed = calibrator_.standby(); failed && !calibratorFailed && !stopped_) {
            outcome.cause = *failed;
            return false;
        }
        if (!calibrated) {
            if (outcome.cause.empty()) {
                outcome.cause = "Калибровка канала " + std::to_string(channel) +
                                " не выполнена: " + StatusLineText();
            }
            return false;
        }
        outcome.calibratedChannels.push_back(channel);
        if (events_.channelCalibrated) {
            events_.channelCalibrated({channel, positive, -positive});
        }
        return true;
    }

    DcCalibrator& calibrator_;
    const Plan& plan_;
    const ProcedureEvents& events_;
    SafeEnding ending_{calibrator_};
    bool stopped_ = false;
};

}  // namespace

std::optional<CalibrateMode> CalibrateModeByName(std::string_view name) {
    if (name == "never") {
        return CalibrateMode::never;
    }
    if (name == "if-needed") {
        return CalibrateMode::ifNeeded;
    }
    if (name == "always") {
        return CalibrateMode::always;
    }
    return std::nullopt;
}

const char* PhaseName(Phase phase) {
    switch (phase) {
        case Phase::asFound:
            return "as_found";
        case Phase::asLeft:
            return "as_left";
        default:
            return "verification";
    }
}

void SetPageTemperature(const Temperature& temperature) {
    int control = PP_TEMPERATURE_20;
    switch (temperature.kind) {
        case Temperature::Kind::at5:
            control = PP_TEMPERATURE_5;
            break;
        case Temperature::Kind::at40:
            control = PP_TEMPERATURE_40;
            break;
        case Temperature::Kind::given:
            control = PP_TEMPERATURE_ANY;
            ui::SetCtrlVal(ppPanel, PP_TEMPERATURE, temperature.degrees);
            break;
        case Temperature::Kind::normal:
            break;
    }
    // The page's own callback: the radio group and the field's dimming as a click leaves them.
    verify::temperatureCB(ppPanel, control, ui::EVENT_COMMIT, nullptr, 0, 0);
}

double NominalVolts(const PlanPoint& point, double rangeV) {
    return std::strtod(VoltsText(point.nominal(rangeV)).c_str(), nullptr);
}

ProcedureOutcome RunProcedure(DcCalibrator& calibrator, const Plan& plan, CalibrateMode mode,
                              const ProcedureEvents& events) {
    if (runInProgress()) {
        return {Ending::notRun, "Идёт другое измерение: процедура не начата", {}, {}, false};
    }
    const RunInProgress guard;
    if (std::string block = ClearCalibratorStandard(calibrator.identity(), events.overrideDueDate);
        !block.empty()) {
        return {Ending::notRun, "Процедура не начата. " + block, {}, {}, false};
    }
    return Procedure(calibrator, plan, events).run(mode);
}

}  // namespace qm7x::procedure
