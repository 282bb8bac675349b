// Control values: SetCtrlVal and GetCtrlVal of every kind, coerced to the control's range.
#include <algorithm>
#include <cmath>
#include <limits>

#include "controls_internal.h"
#include "runtime.h"

namespace qm7x::ui {

using detail::Coerce;
using detail::Lookup;
using detail::Notify;

namespace {

bool SameValue(const Value& a, const Value& b) {
    if (a.index() == b.index()) {
        return a == b;
    }
    // An integer and a double compare by number.
    auto number = [](const Value& v, double& d) {
        if (auto* i = std::get_if<long long>(&v)) {
            d = static_cast<double>(*i);
            return true;
        }
        if (auto* x = std::get_if<double>(&v)) {
            d = *x;
            return true;
        }
        return false;
    };
    double x = 0;
    double y = 0;
    return number(a, x) && number(b, y) && x == y;
}

void AppendText(Control& c, std::string_view text) {
    std::vector<std::string> parts = detail::SplitLines(text);
    if (parts.empty()) {
        return;
    }
    if (c.lines.empty()) {
        c.lines = std::move(parts);
        return;
    }
    c.lines.back() += parts.front();
    c.lines.insert(c.lines.end(), std::make_move_iterator(parts.begin() + 1),
                   std::make_move_iterator(parts.end()));
}

int SetValue(int panel, int control, const Value& v) {
    Control* c = nullptr;
    if (int e = Lookup(panel, control, c); e < 0) {
        return e;
    }
    switch (c->kind) {
        case CtrlKind::Numeric:
            if (c->dataType == VAL_DOUBLE) {
                if (auto* i = std::get_if<long long>(&v)) {
                    c->value = Coerce(*c, static_cast<double>(*i));
                } else if (auto* d = std::get_if<double>(&v)) {
                    if (std::isnan(*d)) {
                        return UIEInvalidArgument;
                    }
                    c->value = Coerce(*c, *d);
                } else {
                    return UIEWrongType;
                }
            } else {
                auto* i = std::get_if<long long>(&v);
                if (!i) {
                    return UIEWrongType;  // never truncate a double into an integer control
                }
                c->value = static_cast<long long>(Coerce(*c, static_cast<double>(*i)));
            }
            break;
        case CtrlKind::String:
        case CtrlKind::TextMessage:
            if (!std::holds_alternative<std::string>(v)) {
                return UIEWrongType;
            }
            c->value = v;
            break;
        case CtrlKind::TextBox:
            if (auto* s = std::get_if<std::string>(&v)) {
                AppendText(*c, *s);
                Notify([&](FrontEnd& fe) { fe.TextBoxLinesChanged(panel, control); });
                return 0;
            }
            return UIEWrongType;
        case CtrlKind::RadioButton:
        case CtrlKind::Led:
            if (auto* i = std::get_if<long long>(&v)) {
                c->value = *i != 0 ? 1LL : 0LL;
                break;
            }
            return UIEWrongType;
        case CtrlKind::Ring:
        case CtrlKind::ListBox:
        case CtrlKind::BinarySwitch: {
            if (std::holds_alternative<std::string>(v) != (c->dataType == VAL_STRING)) {
                return UIEWrongType;
            }
            auto it = std::find_if(c->items.begin(), c->items.end(),
                                   [&](const ListItem& item) { return SameValue(item.value, v); });
            if (it == c->items.end()) {
                return UIEValueNotInList;
            }
            c->index = static_cast<int>(it - c->items.begin());
            break;
        }
        default:
            return UIEWrongType;
    }
    Notify([&](FrontEnd& fe) { fe.ControlValueChanged(panel, control); });
    return 0;
}

int GetValue(int panel, int control, Value& out) {
    Control* c = nullptr;
    if (int e = Lookup(panel, control, c); e < 0) {
        return e;
    }
    switch (c->kind) {
        case CtrlKind::Numeric:
        case CtrlKind::String:
        case CtrlKind::TextMessage:
        case CtrlKind::RadioButton:
        case CtrlKind::Led:
            out = c->value;
            return 0;
        case CtrlKind::TextBox: {
            std::string all;
            for (std::size_t i = 0; i < c->lines.size(); ++i) {
                all += (i ? "\n" : "") + c->lines[i];
            }
            out = all;
            return 0;
        }
        case CtrlKind::Ring:
        case CtrlKind::ListBox:
        case CtrlKind::BinarySwitch:
            if (c->index < 0 || c->index >= static_cast<int>(c->items.size())) {
                return UIEListEmpty;
            }
            out = c->items[static_cast<std::size_t>(c->index)].value;
            return 0;
        default:
            return UIEWrongType;
    }
}

template <typename T>
int GetInteger(int panel, int control, T& value) {
    Value v;
    if (int e = GetValue(panel, control, v); e < 0) {
        return e;
    }
    auto* i = std::get_if<long long>(&v);
    if (!i || *i < std::numeric_limits<T>::min() || *i > std::numeric_limits<T>::max()) {
        return UIEWrongType;
    }
    value = static_cast<T>(*i);
    return 0;
}

}  // namespace

int SetCtrlVal(int panel, int control, int value) {
    return SetValue(panel, control, Value{static_cast<long long>(value)});
}
int SetCtrlVal(int panel, int control, unsigned short value) {
    return SetValue(panel, control, Value{static_cast<long long>(value)});
}
int SetCtrlVal(int panel, int control, short value) {
    return SetValue(panel, control, Value{static_cast<long long>(value)});
}
int SetCtrlVal(int panel, int control, double value) {
    return SetValue(panel, control, Value{value});
}
int SetCtrlVal(int panel, int control, std::string_view value) {
    return SetValue(panel, control, Value{std::string(value)});
}
int SetCtrlVal(int panel, int control, const char* value) {
    return value ? SetCtrlVal(panel, control, std::string_view(value)) : UIEInvalidArgument;
}
int SetCtrlVal(int panel, int control, const std::string& value) {
    return SetValue(panel, control, Value{value});
}

int GetCtrlVal(int panel, int control, int& value) {
    return GetInteger(panel, control, value);
}
int GetCtrlVal(int panel, int control, unsigned short& value) {
    return GetInteger(panel, control, value);
}
int GetCtrlVal(int panel, int control, short& value) {
    return GetInteger(panel, control, value);
}
int GetCtrlVal(int panel, int control, double& value) {
    Value v;
    if (int e = GetValue(panel, control, v); e < 0) {
        return e;
    }
    if (auto* d = std::get_if<double>(&v)) {
        value = *d;
    } else if (auto* i = std::get_if<long long>(&v)) {
        value = static_cast<double>(*i);
    } else {
        return UIEWrongType;
    }
    return 0;
}
int GetCtrlVal(int panel, int control, std::string& value) {
    Value v;
    if (int e = GetValue(panel, control, v); e < 0) {
        return e;
    }
    auto* s = std::get_if<std::string>(&v);
    if (!s) {
        return UIEWrongType;
    }
    value = *s;
    return 0;
}

}  // namespace qm7x::ui
