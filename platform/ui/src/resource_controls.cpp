// Reading one control of the panel resource: what every kind has, then what its kind adds.
#include <cstdint>

#include "resource_fields.h"

namespace qm7x::ui::detail {
namespace {

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

// A numeric: data type, display format, limits, step and a default inside the limits.
void ReadNumeric(const YAML::Node& node, Control& c, const std::string& where) {
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
}

// A ring or a list box: data type, items and the default item.
void ReadItems(const YAML::Node& node, Control& c, const std::string& where) {
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
}

// A binary switch: its off and on values and texts, and which one is the default.
void ReadBinarySwitch(const YAML::Node& node, Control& c, const std::string& where) {
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
}

// A table: row and column labels, display formats (per column if given) and the default cell.
void ReadTable(const YAML::Node& node, Control& c, const std::string& where) {
    c.dataType = VAL_DOUBLE;
    c.rowLabels = TextList(node, "rows");
    c.columnLabels = TextList(node, "columns");
    if (c.rowLabels.empty() || c.columnLabels.empty()) {
        Fail(where, "a table needs rows and columns");
    }
    c.format =
        node["format"] ? Format(node["format"].as<std::string>(), where) : VAL_FLOATING_PT_FORMAT;
    c.precision = Int(node, "precision", 3, where);
    if (const YAML::Node formats = node["column_formats"]) {
        for (const auto& f : formats) {
            Control::ColumnFormat cf;
            cf.format = f["format"] ? Format(f["format"].as<std::string>(), where) : c.format;
            cf.precision = Int(f, "precision", c.precision, where);
            c.columnFormats.push_back(cf);
        }
        if (c.columnFormats.size() != c.columnLabels.size()) {
            Fail(where, "column_formats needs one entry per column");
        }
    }
    const double d = node["default"] ? Real(node["default"], where + ".default") : 0.0;
    c.defaultCells.assign(c.rowLabels.size() * c.columnLabels.size(), d);
}

}  // namespace

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
        case CtrlKind::Numeric:
            ReadNumeric(node, c, where);
            break;
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
        case CtrlKind::ListBox:
            ReadItems(node, c, where);
            break;
        case CtrlKind::BinarySwitch:
            ReadBinarySwitch(node, c, where);
            break;
        case CtrlKind::Table:
            ReadTable(node, c, where);
            break;
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

}  // namespace qm7x::ui::detail
