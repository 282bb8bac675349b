// How values are shown: numeric formats, item labels, label shortcut marks.
#include <cmath>
#include <cstdio>
#include <string>

#include "qm7x/ui/model.h"

namespace qm7x::ui {

const char* CtrlKindName(CtrlKind kind) {
    switch (kind) {
        case CtrlKind::CommandButton:
            return "command_button";
        case CtrlKind::TextMessage:
            return "text_message";
        case CtrlKind::String:
            return "string";
        case CtrlKind::Numeric:
            return "numeric";
        case CtrlKind::Ring:
            return "ring";
        case CtrlKind::BinarySwitch:
            return "binary_switch";
        case CtrlKind::RadioButton:
            return "radio_button";
        case CtrlKind::Led:
            return "led";
        case CtrlKind::Table:
            return "table";
        case CtrlKind::TextBox:
            return "text_box";
        case CtrlKind::Tab:
            return "tab";
        case CtrlKind::Picture:
            return "picture";
        case CtrlKind::Decoration:
            return "decoration";
        case CtrlKind::ListBox:
            return "list_box";
        case CtrlKind::Graph:
            return "graph";
    }
    return "?";
}

namespace {

// Sized to the text, so a huge value typed into an unlimited field keeps all of its digits.
std::string Printf(const char* format, int precision, double value) {
    const int length = std::snprintf(nullptr, 0, format, precision, value);
    if (length <= 0) {
        return {};
    }
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    std::snprintf(text.data(), text.size(), format, precision, value);
    text.pop_back();
    return text;
}

// Mantissa with `precision` decimals and an exponent that is a multiple of `step` (1 for
// scientific, 3 for engineering notation): 0.0002 -> "200.000E-6".
std::string Exponential(double value, int precision, int step) {
    if (value == 0.0 || !std::isfinite(value)) {
        return Printf("%.*f", precision, value) + (std::isfinite(value) ? "E+0" : "");
    }
    int exponent = static_cast<int>(std::floor(std::log10(std::abs(value))));
    exponent = static_cast<int>(std::floor(static_cast<double>(exponent) / step)) * step;
    double mantissa = value / std::pow(10.0, exponent);
    std::string text = Printf("%.*f", precision, mantissa);
    // Rounding may carry the mantissa up to the next power (999.9996 -> 1000.000).
    if (std::abs(std::stod(text)) >= std::pow(10.0, step)) {
        exponent += step;
        mantissa = value / std::pow(10.0, exponent);
        text = Printf("%.*f", precision, mantissa);
    }
    char suffix[16];
    std::snprintf(suffix, sizeof suffix, "E%+d", exponent);
    return text + suffix;
}

}  // namespace

std::string FormatNumeric(const Control& control, double value) {
    switch (control.format) {
        case VAL_SCIENTIFIC_FORMAT:
            return Exponential(value, control.precision, 1);
        case VAL_ENGINEERING_FORMAT:
            return Exponential(value, control.precision, 3);
        case VAL_DECIMAL_FORMAT:
            return Printf("%.*f", 0, std::round(value));
        case VAL_HEX_FORMAT: {
            // Converting a double outside the integer range is undefined; show those as "?".
            if (!(std::abs(value) < 9.2e18)) {
                return "?";
            }
            char buffer[32];
            std::snprintf(buffer, sizeof buffer, "%llX",
                          static_cast<unsigned long long>(static_cast<long long>(value)));
            return buffer;
        }
        default:
            return Printf("%.*f", control.precision, value);
    }
}

std::string FormatTableCell(const Control& table, int column, double value) {
    if (column >= 1 && column <= static_cast<int>(table.columnFormats.size())) {
        const auto& own = table.columnFormats[static_cast<std::size_t>(column - 1)];
        Control shown;
        shown.format = own.format;
        shown.precision = own.precision;
        return FormatNumeric(shown, value);
    }
    return FormatNumeric(table, value);
}

std::string DisplayText(const Control& control) {
    switch (control.kind) {
        case CtrlKind::Numeric:
            if (auto* d = std::get_if<double>(&control.value)) {
                return FormatNumeric(control, *d);
            }
            if (auto* i = std::get_if<long long>(&control.value)) {
                return FormatNumeric(control, static_cast<double>(*i));
            }
            return {};
        case CtrlKind::String:
        case CtrlKind::TextMessage:
            if (auto* s = std::get_if<std::string>(&control.value)) {
                return *s;
            }
            return {};
        case CtrlKind::Ring:
        case CtrlKind::ListBox:
        case CtrlKind::BinarySwitch:
            if (control.index >= 0 && control.index < static_cast<int>(control.items.size())) {
                return control.items[static_cast<std::size_t>(control.index)].label;
            }
            return {};
        case CtrlKind::RadioButton:
        case CtrlKind::Led:
            if (auto* i = std::get_if<long long>(&control.value)) {
                return *i ? "1" : "0";
            }
            return {};
        case CtrlKind::TextBox: {
            std::string all;
            for (std::size_t i = 0; i < control.lines.size(); ++i) {
                all += (i ? "\n" : "") + control.lines[i];
            }
            return all;
        }
        default:
            return {};
    }
}

std::string LabelText(std::string_view label) {
    std::string text;
    for (std::size_t i = 0; i < label.size(); ++i) {
        if (label.compare(i, 2, "__") == 0) {
            ++i;  // "__" marks the next character; the mark itself is not shown
            continue;
        }
        text += label[i];
    }
    return text;
}

int LabelShortcut(std::string_view label) {
    const std::size_t mark = label.find("__");
    if (mark == std::string_view::npos || mark + 2 >= label.size()) {
        return -1;
    }
    return static_cast<int>(LabelText(label.substr(0, mark)).size());
}

}  // namespace qm7x::ui
