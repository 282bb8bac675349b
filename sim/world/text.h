// Texts at the drivers' C boundary are 8-bit Windows-1251, as on the instrument's own platform.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace qm7x::sim {

// UTF-8 to Windows-1251; a character the code page lacks becomes '?'.
std::string ToCp1251(std::string_view utf8);

// Copies text into a caller's buffer of `capacity` bytes, cut to fit and always terminated.
void CopyText(std::string_view text, char* buffer, std::size_t capacity);

}  // namespace qm7x::sim
