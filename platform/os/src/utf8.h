// The UTF-8 steps both code-page converters need: one character read, one written.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace qm7x::os::detail {

struct Utf8Char {
    char32_t codePoint = 0;
    std::size_t length = 0;  // bytes of the sequence; 0 when the text does not start with one
};

// The well-formed UTF-8 sequence at the start of `text` (no overlong forms, no surrogates,
// nothing above U+10FFFF); length 0 when there is none, an empty text included.
Utf8Char DecodeUtf8(std::string_view text);

// Appends the UTF-8 sequence of a code point (U+0000..U+10FFFF, not a surrogate).
void AppendUtf8(std::string& out, char32_t codePoint);

}  // namespace qm7x::os::detail
