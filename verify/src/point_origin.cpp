#include "qm7x/verify/point_origin.h"

#include <utility>

namespace qm7x::verify {
namespace {

PointOrigin& origin() {
    static PointOrigin current;
    return current;
}

}  // namespace

const PointOrigin& CurrentPointOrigin() {
    return origin();
}

AutomaticPoints::AutomaticPoints(std::string phase, std::string calibrator,
                                 std::string identification) {
    origin() =
        PointOrigin{true, std::move(phase), std::move(calibrator), std::move(identification)};
}

AutomaticPoints::~AutomaticPoints() {
    origin() = PointOrigin{};
}

}  // namespace qm7x::verify
