#include "label_text.h"

namespace qm7x::ui::qt {
namespace {

// A shortcut mark is "__" followed by a character that is not itself an underscore.
bool IsShortcutMark(std::string_view label, std::size_t at) {
    return label.substr(at, 2) == "__" && at + 2 < label.size() && label[at + 2] != '_';
}

}  // namespace

std::string ToQtMnemonic(std::string_view label) {
    std::string out;
    out.reserve(label.size() + 2);
    bool marked = false;
    for (std::size_t i = 0; i < label.size(); ++i) {
        if (label[i] == '&') {
            out += "&&";
        } else if (!marked && IsShortcutMark(label, i)) {
            out += '&';
            marked = true;
            ++i;  // skip the second underscore; the marked character follows
        } else {
            out += label[i];
        }
    }
    return out;
}

std::string StripShortcutMarks(std::string_view label) {
    std::string out;
    out.reserve(label.size());
    bool marked = false;
    for (std::size_t i = 0; i < label.size(); ++i) {
        if (!marked && IsShortcutMark(label, i)) {
            marked = true;
            ++i;
        } else {
            out += label[i];
        }
    }
    return out;
}

}  // namespace qm7x::ui::qt
