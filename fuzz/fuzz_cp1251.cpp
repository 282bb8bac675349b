// Arbitrary bytes through the Windows-1251 conversions: every byte sequence converts, nothing is
// lost that the code page can carry.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "qm7x/os/encoding.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    // As Windows-1251: to UTF-8 and back gives every byte again, the code page's hole as '?'.
    std::string expected(bytes);
    for (char& c : expected) {
        if (static_cast<unsigned char>(c) == 0x98) {
            c = '?';
        }
    }
    if (qm7x::os::ToCp1251(qm7x::os::FromCp1251(bytes)) != expected) {
        std::abort();
    }

    // As UTF-8 (often malformed): one output byte at most per input byte.
    const std::string cp1251 = qm7x::os::ToCp1251(bytes);
    if (cp1251.size() > size) {
        std::abort();
    }
    return 0;
}
