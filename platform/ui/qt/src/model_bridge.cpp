#include "model_bridge.h"

#include <cmath>
#include <limits>

namespace qm7x::ui::qt {
namespace {
int userActionDepth = 0;

template <typename T>
T ClampTo(double value) {
    const double rounded = std::round(value);
    if (!(rounded >= static_cast<double>(std::numeric_limits<T>::min()))) {
        return std::numeric_limits<T>::min();
    }
    if (rounded > static_cast<double>(std::numeric_limits<T>::max())) {
        return std::numeric_limits<T>::max();
    }
    return static_cast<T>(rounded);
}
}  // namespace

double AsDouble(const Value& value) {
    if (const auto* i = std::get_if<long long>(&value)) {
        return static_cast<double>(*i);
    }
    if (const auto* d = std::get_if<double>(&value)) {
        return *d;
    }
    return 0.0;
}

int WriteNumber(int panel, int control, int dataType, double value) {
    switch (dataType) {
        case VAL_DOUBLE:
            return SetCtrlVal(panel, control, value);
        case VAL_SHORT_INTEGER:
            return SetCtrlVal(panel, control, ClampTo<short>(value));
        case VAL_UNSIGNED_SHORT_INTEGER:
            return SetCtrlVal(panel, control, ClampTo<unsigned short>(value));
        default:
            return SetCtrlVal(panel, control, ClampTo<int>(value));
    }
}

int DispatchUserAction(int panel, int control, int event, int eventData1, int eventData2) {
    ++userActionDepth;
    const int result = DispatchUserEvent(panel, control, event, eventData1, eventData2);
    --userActionDepth;
    return result;
}

int UserActionDepth() {
    return userActionDepth;
}

}  // namespace qm7x::ui::qt
