// Where the verification points being taken come from, for their rows in the results store: the
// page's "Пуск" (manual) unless an automatic procedure has said otherwise for the points it takes.
#pragma once

#include <string>

namespace qm7x::verify {

struct PointOrigin {
    bool automatic = false;
    std::string phase;           // "as_found", "as_left" or empty
    std::string calibrator;      // the calibrator's resource and identification when automatic
    std::string identification;  // the calibrator's identification reply: names its standard
};

const PointOrigin& CurrentPointOrigin();

// While it lives, every point taken is recorded as automatic, of this phase and calibrator; the
// origin goes back to manual when it ends, whatever way the procedure ends.
class AutomaticPoints {
  public:
    AutomaticPoints(std::string phase, std::string calibrator, std::string identification);
    ~AutomaticPoints();
    AutomaticPoints(const AutomaticPoints&) = delete;
    AutomaticPoints& operator=(const AutomaticPoints&) = delete;
};

}  // namespace qm7x::verify
