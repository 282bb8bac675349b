#include "model_bridge.h"

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
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
// Swallows the operator's presses (mouse, keys, wheel) while it is installed on the application.
class PressDiscarder final : public QObject {
  protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        switch (event->type()) {
            case QEvent::MouseButtonPress:
            case QEvent::MouseButtonDblClick:
            case QEvent::KeyPress:
            case QEvent::ShortcutOverride:
            case QEvent::Wheel:
            case QEvent::TouchBegin:
                return true;
            default:
                return false;
        }
    }
};

// A press the operator made while a callback kept the program busy (a verification point, say)
// waits in the queue and would run afterwards as a second, unintended action: a second point,
// an entry nobody asked for. Those presses are dropped once the callback returns; releases pass,
// and without their press they commit nothing.
void DiscardQueuedPresses() {
    if (QCoreApplication::instance() == nullptr) {
        return;
    }
    PressDiscarder discarder;
    QCoreApplication::instance()->installEventFilter(&discarder);
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    QCoreApplication::instance()->removeEventFilter(&discarder);
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
    if (userActionDepth == 1) {
        DiscardQueuedPresses();
    }
    --userActionDepth;
    return result;
}

int UserActionDepth() {
    return userActionDepth;
}

}  // namespace qm7x::ui::qt
