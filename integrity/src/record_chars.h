// The characters of the internal CRC record's digits, read as the C library's strtoul reads them
// in the "C" locale; shared by the in-memory and the streamed record readers.
#pragma once

namespace qm7x::integrity {

inline bool IsCSpace(unsigned char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// 0..15 for a hexadecimal digit, -1 for anything else.
inline int HexDigitValue(unsigned char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

}  // namespace qm7x::integrity
