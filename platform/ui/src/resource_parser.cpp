#include "resource_parser.h"

#include <yaml-cpp/yaml.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <stdexcept>

namespace qm7x::ui::detail {
namespace {

struct ResourceError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

[[noreturn]] void Fail(const std::string& where, const std::string& what) {
    throw ResourceError(where + ": " + what);
}

std::string Text(const YAML::Node& node, const char* key, const std::string& fallback = {}) {
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

// Sizes a control gets when the resource gives none.
Geometry DefaultGeometry(CtrlKind kind) {
    switch (kind) {
        case CtrlKind::CommandButton:
            return {0, 0, 100, 25};
        case CtrlKind::Table:
            return {0, 0, 400, 100};
        case CtrlKind::TextBox:
            return {0, 0, 400, 200};
        case CtrlKind::ListBox:
            return {0, 0, 200, 150};
        case CtrlKind::Tab:
            return {0, 0, 400, 300};
        case CtrlKind::RadioButton:
            return {0, 0, 120, 18};
        case CtrlKind::Led:
            return {0, 0, 18, 18};
        case CtrlKind::Graph:
            return {0, 0, 400, 250};
        default:
            return {0, 0, 100, 22};
    }
}

Control ReadControl(const YAML::Node& node, const std::string& panelWhere, int order,
                    std::vector<std::string>& pagePanels) {
    Control c;
    const std::string where0 = panelWhere + ".control#" + std::to_string(order + 1);
    if (!node["number"] || !node["constant"] || !node["kind"]) {
        Fail(where0, "needs number, constant and kind");
    }
    c.id = static_cast<int>(Integer(node["number"], where0 + ".number"));
    c.constant = node["constant"].as<std::string>();
    const std::string where = panelWhere + "." + c.constant;
    if (c.id < 2) {
        Fail(where, "control numbers start at 2");
    }
    const std::string kindName = node["kind"].as<std::string>();
    auto kind = Kinds().find(kindName);
    if (kind == Kinds().end()) {
        Fail(where, "unknown kind '" + kindName + "'");
    }
    c.kind = kind->second;
    c.label = Text(node, "label");
    c.callbackName = Text(node, "callback");
    c.geometry = DefaultGeometry(c.kind);
    ReadGeometry(node, c.geometry, where);
    c.mode = node["mode"] ? Mode(node["mode"].as<std::string>(), where) : VAL_NORMAL;
    c.dimmed = Flag(node, "dimmed", false);
    c.visible = Flag(node, "visible", true);
    c.zPlane = Int(node, "zplane", -1, where);  // -1: by order, see ReadPanel
    c.font = Text(node, "font");
    c.fixedPitch = Flag(node, "fixed_pitch", false);
    c.pointSize = Int(node, "point_size", 0, where);
    c.bold = Flag(node, "bold", false);
    c.textColor = Int(node, "text_color", VAL_BLACK, where);
    c.backColor = Int(node, "back_color", -1, where);
    c.image = Text(node, "image");

    switch (c.kind) {
        case CtrlKind::Numeric: {
            c.dataType = DataType(Text(node, "data_type", "double"), where);
            if (c.dataType == VAL_STRING) {
                Fail(where, "a numeric cannot hold text");
            }
            const bool real = c.dataType == VAL_DOUBLE;
            c.format = node["format"] ? Format(node["format"].as<std::string>(), where)
                                      : (real ? VAL_FLOATING_PT_FORMAT : VAL_DECIMAL_FORMAT);
            c.precision = Int(node, "precision", real ? 2 : 0, where);
            if (node["min"] || node["max"]) {
                if (!node["min"] || !node["max"]) {
                    Fail(where, "min and max go together");
                }
                c.hasRange = true;
                c.minValue = Real(node["min"], where + ".min");
                c.maxValue = Real(node["max"], where + ".max");
                if (c.minValue > c.maxValue) {
                    Fail(where, "min above max");
                }
            } else if (c.dataType == VAL_SHORT_INTEGER) {
                c.hasRange = true;
                c.minValue = INT16_MIN;
                c.maxValue = INT16_MAX;
            } else if (c.dataType == VAL_UNSIGNED_SHORT_INTEGER) {
                c.hasRange = true;
                c.minValue = 0;
                c.maxValue = UINT16_MAX;
            }
            c.step = node["step"] ? Real(node["step"], where + ".step") : 1.0;
            c.defaultValue = node["default"] ? TypedValue(node["default"], c.dataType, where)
                                             : (real ? Value{0.0} : Value{0LL});
            if (c.hasRange) {
                const double d = real ? std::get<double>(c.defaultValue)
                                      : static_cast<double>(std::get<long long>(c.defaultValue));
                if (d < c.minValue || d > c.maxValue) {
                    Fail(where, "default outside min..max");
                }
            }
            break;
        }
        case CtrlKind::String:
        case CtrlKind::TextMessage:
            c.dataType = VAL_STRING;
            c.defaultValue = Text(node, "default");
            break;
        case CtrlKind::RadioButton:
        case CtrlKind::Led:
            c.dataType = VAL_INTEGER;
            c.defaultValue =
                node["default"] ? TypedValue(node["default"], VAL_INTEGER, where) : Value{0LL};
            break;
        case CtrlKind::Ring:
        case CtrlKind::ListBox: {
            c.dataType = DataType(Text(node, "data_type", "int"), where);
            if (const YAML::Node items = node["items"]) {
                for (const auto& item : items) {
                    if (!item["label"] || !item["value"]) {
                        Fail(where, "items need label and value");
                    }
                    c.items.push_back({item["label"].as<std::string>(),
                                       TypedValue(item["value"], c.dataType, where + ".items")});
                }
            }
            c.defaultIndex = Int(node, "default_index", c.items.empty() ? -1 : 0, where);
            if (c.defaultIndex >= static_cast<int>(c.items.size()) ||
                (c.defaultIndex < 0 && !c.items.empty())) {
                Fail(where, "default_index outside the items");
            }
            break;
        }
        case CtrlKind::BinarySwitch: {
            c.dataType = VAL_INTEGER;
            const Value off =
                node["off_value"] ? TypedValue(node["off_value"], VAL_INTEGER, where) : Value{0LL};
            const Value on =
                node["on_value"] ? TypedValue(node["on_value"], VAL_INTEGER, where) : Value{1LL};
            if (off == on) {
                Fail(where, "on_value equals off_value");
            }
            c.items = {{Text(node, "off_text"), off}, {Text(node, "on_text"), on}};
            c.defaultIndex = 0;
            if (node["default"]) {
                const Value d = TypedValue(node["default"], VAL_INTEGER, where);
                if (d != off && d != on) {
                    Fail(where, "default is neither on_value nor off_value");
                }
                c.defaultIndex = d == on ? 1 : 0;
            }
            break;
        }
        case CtrlKind::Table: {
            c.dataType = VAL_DOUBLE;
            c.rowLabels = TextList(node, "rows");
            c.columnLabels = TextList(node, "columns");
            if (c.rowLabels.empty() || c.columnLabels.empty()) {
                Fail(where, "a table needs rows and columns");
            }
            c.format = node["format"] ? Format(node["format"].as<std::string>(), where)
                                      : VAL_FLOATING_PT_FORMAT;
            c.precision = Int(node, "precision", 3, where);
            if (const YAML::Node formats = node["column_formats"]) {
                for (const auto& f : formats) {
                    Control::ColumnFormat cf;
                    cf.format =
                        f["format"] ? Format(f["format"].as<std::string>(), where) : c.format;
                    cf.precision = Int(f, "precision", c.precision, where);
                    c.columnFormats.push_back(cf);
                }
                if (c.columnFormats.size() != c.columnLabels.size()) {
                    Fail(where, "column_formats needs one entry per column");
                }
            }
            const double d = node["default"] ? Real(node["default"], where + ".default") : 0.0;
            c.defaultCells.assign(c.rowLabels.size() * c.columnLabels.size(), d);
            break;
        }
        case CtrlKind::TextBox:
            c.dataType = VAL_STRING;
            break;
        case CtrlKind::Graph:
            c.xAxis = ReadAxis(node, "x", where);
            c.yAxis = ReadAxis(node, "y", where);
            break;
        case CtrlKind::Tab:
            if (const YAML::Node pages = node["pages"]) {
                for (const auto& page : pages) {
                    if (!page["label"] || !page["panel"]) {
                        Fail(where, "tab pages need label and panel");
                    }
                    c.pages.push_back({page["label"].as<std::string>(), 0});
                    pagePanels.push_back(page["panel"].as<std::string>());
                }
            }
            if (c.pages.empty()) {
                Fail(where, "a tab control needs pages");
            }
            break;
        default:
            break;
    }
    return c;
}

PanelTemplate ReadPanel(const YAML::Node& node, int order) {
    PanelTemplate t;
    Panel& p = t.panel;
    const std::string where0 = "panel#" + std::to_string(order + 1);
    if (!node["number"] || !node["constant"]) {
        Fail(where0, "needs number and constant");
    }
    p.resourceId = static_cast<int>(Integer(node["number"], where0 + ".number"));
    p.constant = node["constant"].as<std::string>();
    const std::string where = p.constant;
    if (p.resourceId < 1) {
        Fail(where, "panel numbers start at 1");
    }
    p.title = Text(node, "title");
    p.callbackName = Text(node, "callback");
    p.geometry = {0, 0, 400, 300};
    const bool centered = Text(node, "top") == "center" || Text(node, "left") == "center";
    if (centered) {
        p.centered = true;
        p.geometry.width = Int(node, "width", 400, where);
        p.geometry.height = Int(node, "height", 300, where);
    } else {
        ReadGeometry(node, p.geometry, where);
    }
    p.backColor = Int(node, "back_color", VAL_PANEL_GRAY, where);
    p.sizable = Flag(node, "sizable", false);
    std::set<int> ids;
    std::set<std::string> constants;
    if (const YAML::Node controls = node["controls"]) {
        int i = 0;
        for (const auto& cn : controls) {
            std::vector<std::string> pages;
            Control c = ReadControl(cn, where, i++, pages);
            if (!ids.insert(c.id).second || !constants.insert(c.constant).second) {
                Fail(where + "." + c.constant, "control number or constant used twice");
            }
            if (!pages.empty()) {
                t.tabPagePanels[c.id] = pages;
            }
            p.controls.push_back(std::move(c));
        }
    }
    // Controls listed first lie furthest back (0 = front), unless the resource says otherwise.
    const int count = static_cast<int>(p.controls.size());
    for (int k = 0; k < count; ++k) {
        Control& c = p.controls[static_cast<std::size_t>(k)];
        if (c.zPlane < 0) {
            c.zPlane = count - 1 - k;
        }
    }
    if (const YAML::Node close = node["close_ctrl"]) {
        const std::string name = close.as<std::string>();
        auto it = std::find_if(p.controls.begin(), p.controls.end(),
                               [&](const Control& c) { return c.constant == name; });
        if (it == p.controls.end()) {
            Fail(where, "close_ctrl '" + name + "' is not a control of the panel");
        }
        p.closeCtrl = it->id;
    }
    return t;
}

}  // namespace

const PanelTemplate* ParsedResource::Find(int resourceId) const {
    for (const PanelTemplate& t : panels) {
        if (t.panel.resourceId == resourceId) {
            return &t;
        }
    }
    return nullptr;
}

const PanelTemplate* ParsedResource::FindByConstant(std::string_view constant) const {
    for (const PanelTemplate& t : panels) {
        if (t.panel.constant == constant) {
            return &t;
        }
    }
    return nullptr;
}

bool ParseResource(std::string_view text, ParsedResource& out, std::string& error) {
    out.panels.clear();
    try {
        const YAML::Node root = YAML::Load(std::string(text));
        const YAML::Node panels = root["panels"];
        if (!panels || !panels.IsSequence()) {
            Fail("resource", "needs a list 'panels'");
        }
        std::set<int> numbers;
        std::set<std::string> constants;
        int i = 0;
        for (const auto& pn : panels) {
            PanelTemplate t = ReadPanel(pn, i++);
            if (!numbers.insert(t.panel.resourceId).second ||
                !constants.insert(t.panel.constant).second) {
                Fail(t.panel.constant, "panel number or constant used twice");
            }
            out.panels.push_back(std::move(t));
        }
        for (const PanelTemplate& t : out.panels) {
            for (const auto& [ctrl, pages] : t.tabPagePanels) {
                for (const std::string& page : pages) {
                    const PanelTemplate* pt = out.FindByConstant(page);
                    if (!pt || !pt->tabPagePanels.empty() || page == t.panel.constant) {
                        Fail(t.panel.constant,
                             "tab page '" + page + "' is not a panel without tab pages of its own");
                    }
                }
            }
        }
        return true;
    } catch (const ResourceError& e) {
        error = e.what();
    } catch (const YAML::Exception& e) {
        error = std::string("YAML: ") + e.what();
    }
    out.panels.clear();
    return false;
}

}  // namespace qm7x::ui::detail
