// The automatic procedure: a plan's points taken one by one with the calibrator as the source,
// each exactly as the verification page's "Пуск" takes it (same protocol entry), and, as asked,
// the calibration of the channels through the calibration page's run with the calibrator's
// setting answering its prompts, the store to the EEPROM, and the plan again as left.
//
// However it ends (completion, "Стоп", a calibrator or driver fault) it leaves the calibrator in
// standby, the input relay released and the LED off, and says why it ended.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "qm7x/procedure/dc_calibrator.h"
#include "qm7x/procedure/plan.h"
#include "qm7x/procedure/standard_clearance.h"
#include "qm7x/verify/deviation_check.h"

namespace qm7x::procedure {

enum class CalibrateMode { never, ifNeeded, always };
// "never", "if-needed", "always".
std::optional<CalibrateMode> CalibrateModeByName(std::string_view name);

// Which pass a point belongs to: a plain verification (never calibrate), or the passes before
// and after a calibration.
enum class Phase { verification, asFound, asLeft };
const char* PhaseName(Phase phase);  // "verification", "as_found", "as_left"

// The facts of one point, as a results store records them.
struct PointFacts {
    int index = 0;  // 1-based within the pass
    int total = 0;
    Phase phase = Phase::verification;
    int channel = 0;
    double un = 0.0;  // nominal, volts: the calibrator's setting
    double ux = 0.0;  // measured, volts
    double tolerance = 0.0;
    bool pass = false;       // "Норма"
    std::string calibrator;  // resource
    std::string calibratorIdentity;
    double calibratorAccuracyV = 0.0;   // the data sheet's accuracy of the setting Un
    std::vector<double> samples;        // the block judged
    verify::DeviationResult judgement;  // kept samples, band: what the plot of the point shows
};

// A channel calibrated, and whether the record was then stored.
struct CalibrationFacts {
    int channel = 0;
    double positiveV = 0.0;
    double negativeV = 0.0;
};

struct ProcedureEvents {
    std::function<void(const std::string&)> progress;  // "точка 7 из 24", ...
    std::function<void(const PointFacts&)> pointTaken;
    std::function<void(const CalibrationFacts&)> channelCalibrated;
    std::function<void()> stored;
    // Asked before the start when the calibrator's standard is past its due date; none: no
    // override, the procedure does not start.
    AskDueOverride overrideDueDate;
    // Asked between steps, after the window's events were processed.
    std::function<bool()> stopRequested;
};

enum class Ending { passed, failed, stopped, notRun };

struct ProcedureOutcome {
    Ending ending = Ending::notRun;
    std::string cause;                 // why it did not run to its end, for the operator
    std::vector<PointFacts> lastPass;  // the points of the last verification pass
    std::vector<int> calibratedChannels;
    bool stored = false;
};

// Runs the plan on the open mezzanine with the open calibrator. Refuses to start while another
// run is in progress, or while the calibrator's standard is past its due date without override.
ProcedureOutcome RunProcedure(DcCalibrator& calibrator, const Plan& plan, CalibrateMode mode,
                              const ProcedureEvents& events);

// Chooses the temperature on the "Поверка" page as a click on its radio buttons does.
void SetPageTemperature(const Temperature& temperature);

// The plan's nominal voltage of a point on a channel of this range, as an operator would type
// it (nine significant digits: 90 % of 0.1 V is 0.09).
double NominalVolts(const PlanPoint& point, double rangeV);

}  // namespace qm7x::procedure
