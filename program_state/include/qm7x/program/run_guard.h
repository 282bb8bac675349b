// A verification or calibration run waits inside its callback and may process events meanwhile
// (prompts, the calibration's polls). While one is in progress nothing may start other work on the
// same session: the controls that would are dimmed, and the callbacks behind them refuse to act.
#pragma once

#include <vector>

namespace qm7x {

// True while a run holds a RunInProgress.
bool runInProgress();

// Marks a run as in progress for its lifetime: dims every control that starts work on the
// mezzanine (another run, the mezzanine selection, the EEPROM and reset operations, the self-test,
// the exit) and restores each one's former dimmed state when the run ends, however it ends.
// Only the outermost guard dims; a nested one changes nothing.
class RunInProgress {
  public:
    RunInProgress();
    ~RunInProgress();
    RunInProgress(const RunInProgress&) = delete;
    RunInProgress& operator=(const RunInProgress&) = delete;

  private:
    struct Dimmed {
        int panel;
        int control;
        int wasDimmed;
    };
    std::vector<Dimmed> dimmed_;
    bool outermost_ = false;
};

}  // namespace qm7x
