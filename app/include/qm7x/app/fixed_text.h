// Copying UTF-8 text into the fixed-size text fields of the program's records.
#pragma once

#include <cstddef>
#include <cstring>
#include <string_view>

namespace qm7x::app {

// The longest prefix of `text` of at most `maxBytes` bytes that does not cut a UTF-8 character.
inline std::string_view Utf8Prefix(std::string_view text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) {
        return text;
    }
    std::size_t length = maxBytes;
    // Step back over continuation bytes (10xxxxxx) to the start of the cut character.
    while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0U) == 0x80U) {
        --length;
    }
    return text.substr(0, length);
}

// Copies as much of `text` as the field holds (whole characters only) and terminates it.
template <std::size_t N>
void CopyToField(char (&field)[N], std::string_view text) {
    static_assert(N > 0);
    const std::string_view fitting = Utf8Prefix(text, N - 1);
    std::memcpy(field, fitting.data(), fitting.size());
    std::memset(field + fitting.size(), 0, N - fitting.size());
}

}  // namespace qm7x::app
