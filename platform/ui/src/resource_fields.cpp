// Reading the panel resource's fields: texts, numbers, flags, the names of kinds, data types,
// formats and modes, typed values, geometry and graph axes; each refuses what it cannot read with
// where in the resource the problem is.
#include "resource_fields.h"

#include <cmath>
#include <stdexcept>

namespace qm7x::ui::detail {

[[noreturn]] void Fail(const std::string& where, const std::string& what) {
    throw ResourceError(where + ": " + what);
}

std::string Text(const YAML::Node& node, const char* key, const std::string& fallback) {
    const YAML::Node v = node[key];
    return v ? v.as<std::string>() : fallback;
}

long long Integer(const YAML::Node& v, const std::string& where) {
    const std::string s = v.as<std::string>();
    std::size_t used = 0;
    long long n = 0;
    try {
        n = std::stoll(s, &used, 0);  // decimal or 0x... hexadecimal
    } catch (const std::exception&) {
        Fail(where, "'" + s + "' is not an integer");
    }
    if (used != s.size()) {
        Fail(where, "'" + s + "' is not an integer");
    }
    return n;
}

int Int(const YAML::Node& node, const char* key, int fallback, const std::string& where) {
    const YAML::Node v = node[key];
    return v ? static_cast<int>(Integer(v, where + "." + key)) : fallback;
}

double Real(const YAML::Node& v, const std::string& where) {
    try {
        return v.as<double>();
    } catch (const YAML::Exception&) {
        Fail(where, "'" + v.as<std::string>() + "' is not a number");
    }
}

// A graph axis: its name and, when the resource gives `<axis>_min` and `<axis>_max`, a fixed range
// (otherwise the axis scales itself to the plots).
GraphAxis ReadAxis(const YAML::Node& node, const std::string& axis, const std::string& where) {
    GraphAxis a;
    const std::string name = axis + "_name";
    const std::string min = axis + "_min";
    const std::string max = axis + "_max";
    a.name = Text(node, name.c_str());
    const YAML::Node lo = node[min];
    const YAML::Node hi = node[max];
    if (!lo && !hi) {
        return a;
    }
    if (!lo || !hi) {
        Fail(where, min + " and " + max + " go together");
    }
    a.min = Real(lo, where + "." + min);
    a.max = Real(hi, where + "." + max);
    if (!std::isfinite(a.min) || !std::isfinite(a.max) || !(a.min < a.max)) {
        Fail(where, min + " must be below " + max);
    }
    a.mode = VAL_MANUAL;
    return a;
}

bool Flag(const YAML::Node& node, const char* key, bool fallback) {
    const YAML::Node v = node[key];
    return v ? v.as<bool>() : fallback;
}

const std::map<std::string, CtrlKind, std::less<>>& Kinds() {
    static const std::map<std::string, CtrlKind, std::less<>> kinds = {
        {"command_button", CtrlKind::CommandButton},
        {"text_message", CtrlKind::TextMessage},
        {"string", CtrlKind::String},
        {"numeric", CtrlKind::Numeric},
        {"ring", CtrlKind::Ring},
        {"binary_switch", CtrlKind::BinarySwitch},
        {"radio_button", CtrlKind::RadioButton},
        {"led", CtrlKind::Led},
        {"table", CtrlKind::Table},
        {"text_box", CtrlKind::TextBox},
        {"tab", CtrlKind::Tab},
        {"picture", CtrlKind::Picture},
        {"decoration", CtrlKind::Decoration},
        {"list_box", CtrlKind::ListBox},
        {"graph", CtrlKind::Graph},
    };
    return kinds;
}

int DataType(const std::string& name, const std::string& where) {
    static const std::map<std::string, int, std::less<>> types = {
        {"int", VAL_INTEGER},
        {"short", VAL_SHORT_INTEGER},
        {"ushort", VAL_UNSIGNED_SHORT_INTEGER},
        {"double", VAL_DOUBLE},
        {"string", VAL_STRING},
    };
    auto it = types.find(name);
    if (it == types.end()) {
        Fail(where, "unknown data_type '" + name + "'");
    }
    return it->second;
}

int Format(const std::string& name, const std::string& where) {
    static const std::map<std::string, int, std::less<>> formats = {
        {"floating", VAL_FLOATING_PT_FORMAT},
        {"scientific", VAL_SCIENTIFIC_FORMAT},
        {"engineering", VAL_ENGINEERING_FORMAT},
        {"decimal", VAL_DECIMAL_FORMAT},
        {"hex", VAL_HEX_FORMAT},
    };
    auto it = formats.find(name);
    if (it == formats.end()) {
        Fail(where, "unknown format '" + name + "'");
    }
    return it->second;
}

int Mode(const std::string& name, const std::string& where) {
    if (name == "normal") {
        return VAL_NORMAL;
    }
    if (name == "indicator") {
        return VAL_INDICATOR;
    }
    if (name == "hot") {
        return VAL_HOT;
    }
    Fail(where, "unknown mode '" + name + "'");
}

Value TypedValue(const YAML::Node& v, int dataType, const std::string& where) {
    switch (dataType) {
        case VAL_STRING:
            return v.as<std::string>();
        case VAL_DOUBLE:
            return Real(v, where);
        default: {
            const long long n = Integer(v, where);
            const bool fits = dataType == VAL_INTEGER         ? (n >= INT32_MIN && n <= INT32_MAX)
                              : dataType == VAL_SHORT_INTEGER ? (n >= INT16_MIN && n <= INT16_MAX)
                                                              : (n >= 0 && n <= UINT16_MAX);
            if (!fits) {
                Fail(where, "value out of the range of its data type");
            }
            return n;
        }
    }
}

std::vector<std::string> TextList(const YAML::Node& node, const char* key) {
    std::vector<std::string> list;
    if (const YAML::Node v = node[key]) {
        for (const auto& item : v) {
            list.push_back(item.as<std::string>());
        }
    }
    return list;
}

void ReadGeometry(const YAML::Node& node, Geometry& g, const std::string& where) {
    g.top = Int(node, "top", g.top, where);
    g.left = Int(node, "left", g.left, where);
    g.width = Int(node, "width", g.width, where);
    g.height = Int(node, "height", g.height, where);
}

}  // namespace qm7x::ui::detail
