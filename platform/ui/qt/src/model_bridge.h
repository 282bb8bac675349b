// Small helpers between the run-time's model and the widgets: value conversions, colours, and
// the path of a user action back into the model (write the value, then dispatch the event).
#pragma once

#include <QColor>
#include <QString>
#include <string>

#include "qm7x/ui/model.h"

namespace qm7x::ui::qt {

inline QString ToQString(const std::string& text) {
    return QString::fromStdString(text);
}
inline QColor ToQColor(int rgb) {
    return QColor::fromRgb(static_cast<QRgb>(rgb) | 0xFF000000u);
}

// A numeric model value as a double (integers of every type, doubles); 0 for anything else.
double AsDouble(const Value& value);

// Writes what the operator entered into the model through the operations, in the control's own
// data type. Returns the operation's result.
int WriteNumber(int panel, int control, int dataType, double value);

// Hands a user action to the run-time (which calls the bound callback). While a callback runs
// from a widget's signal, widgets must not be deleted at once: UserActionDepth() tells the front
// end whether it may delete discarded widgets now. Presses queued while the outermost callback
// ran are dropped when it returns (see model_bridge.cpp).
int DispatchUserAction(int panel, int control, int event, int eventData1 = 0, int eventData2 = 0);
int UserActionDepth();

}  // namespace qm7x::ui::qt
