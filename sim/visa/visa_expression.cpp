#include "visa_expression.h"

#include <cctype>
#include <string>

namespace qm7x::sim {

// VISA's own syntax: '?' one character, '*' and '+' repeat what precedes, [list] and [^list]
// classes, (group), '|' alternatives, '\' quotes the next character; everything else is literal.
// Attribute conditions in braces are not supported and make the expression invalid.
std::optional<std::regex> CompileVisaExpression(std::string_view expression) {
    if (expression.empty()) {
        return std::nullopt;
    }
    std::string pattern;
    bool inClass = false;
    for (std::size_t i = 0; i < expression.size(); ++i) {
        const char c = expression[i];
        if (inClass) {
            if (c == ']') {
                inClass = false;
            } else if (c == '\\') {
                pattern += '\\';
            }
            pattern += c;
            continue;
        }
        switch (c) {
            case '?':
                pattern += '.';
                break;
            case '*':
            case '+':
            case '|':
            case '(':
            case ')':
                pattern += c;
                break;
            case '[':
                inClass = true;
                pattern += c;
                break;
            case '\\':
                if (++i == expression.size()) {
                    return std::nullopt;
                }
                if (std::isalnum(static_cast<unsigned char>(expression[i])) == 0) {
                    pattern += '\\';
                }
                pattern += expression[i];
                break;
            case '{':
            case '}':
                return std::nullopt;
            default:
                if (std::string_view(".^$]").find(c) != std::string_view::npos) {
                    pattern += '\\';
                }
                pattern += c;
        }
    }
    if (inClass) {
        return std::nullopt;
    }
    try {
        return std::regex(pattern, std::regex::ECMAScript | std::regex::icase);
    } catch (const std::regex_error&) {
        return std::nullopt;
    }
}

}  // namespace qm7x::sim
