#include "qm7x/verify/protocol_file.h"

#include <utility>

#include "qm7x/os/encoding.h"

namespace qm7x::verify {

std::string ProtocolFileBytes(std::string_view utf8) {
    std::string bytes = os::ToCp1251(utf8);
    if constexpr (kLineEnd != "\n") {
        std::string converted;
        converted.reserve(bytes.size() + bytes.size() / 16);
        for (const char c : bytes) {
            if (c == '\n') {
                converted += kLineEnd;
            } else {
                converted += c;
            }
        }
        bytes = std::move(converted);
    }
    return bytes;
}

std::string ProtocolFailureText(const os::FileError& error) {
    return "Файл протокола: " + error.Describe();
}

}  // namespace qm7x::verify
