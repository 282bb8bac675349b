// Conversion between the program's UTF-8 texts and the 8-bit Windows-1251 code page used at the
// byte-exact boundaries: the protocol file, the internal CRC record's marker, the driver texts.
#pragma once

#include <string>
#include <string_view>

namespace qm7x::os {

// UTF-8 -> Windows-1251. A character that Windows-1251 cannot represent, and every byte of input
// that is not valid UTF-8, becomes one '?' each; the rest of the text is converted unchanged.
std::string ToCp1251(std::string_view utf8);

// Windows-1251 -> UTF-8. The only byte without a character in the code page (0x98) becomes
// U+FFFD REPLACEMENT CHARACTER; every other byte converts.
std::string FromCp1251(std::string_view cp1251);

}  // namespace qm7x::os
