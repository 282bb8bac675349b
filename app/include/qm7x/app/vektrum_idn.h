// The identification reply of a Vektrum box: "ARKOMETRIX,TRHOLDR,<serial>,<firmware>...".
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace qm7x::app {

inline constexpr std::string_view kVektrumIdnPrefix = "ARKOMETRIX,TRHOLDR";
// Longest serial number and firmware field the record holds.
inline constexpr std::size_t kSerialMax = 31;
inline constexpr std::size_t kFirmwareMax = 33;
// The firmware field is never taken from beyond this many characters of the reply.
inline constexpr std::size_t kIdnReadLimit = 83;

struct VektrumIdn {
    std::string serial;    // as the box sent it (8-bit text)
    std::string firmware;  // as the box sent it, or "n/a" when the reply has no such field
};

// The serial number and firmware of a reply from one of our boxes, or nothing when the reply is
// another maker's. Line-end characters that end the reply are not part of its fields.
std::optional<VektrumIdn> ParseVektrumIdn(std::string_view reply);

}  // namespace qm7x::app
