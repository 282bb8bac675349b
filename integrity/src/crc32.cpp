#include <zlib.h>

#include <algorithm>
#include <limits>

#include "qm7x/integrity/arkomet_crc32.h"

namespace qm7x::integrity {

std::uint32_t Crc32(const void* data, std::size_t len) {
    // zlib's crc32 is the table-driven CRC-32 of ISO-HDLC; feed it in chunks its length type holds.
    const auto* bytes = static_cast<const Bytef*>(data);
    uLong crc = crc32(0L, Z_NULL, 0);
    while (len > 0) {
        const auto chunk =
            static_cast<uInt>(std::min<std::size_t>(len, std::numeric_limits<uInt>::max()));
        crc = crc32(crc, bytes, chunk);
        bytes += chunk;
        len -= chunk;
    }
    return static_cast<std::uint32_t>(crc);
}

}  // namespace qm7x::integrity
