#include "qm7x/integrity/math_library.h"

#include <cstdio>

namespace qm7x::integrity {

std::string LibraryIdentificationLine(std::string_view fileName, std::string_view version,
                                      std::string_view date, std::uint32_t fileCrc) {
    char crc[9];
    std::snprintf(crc, sizeof crc, "%08X", static_cast<unsigned>(fileCrc));
    std::string line(fileName);
    line.append(", версия:").append(version).append(", дата:").append(date);
    line.append(", CRC32=").append(crc);
    return line;
}

}  // namespace qm7x::integrity
