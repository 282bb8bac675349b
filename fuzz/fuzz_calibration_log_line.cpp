// Arbitrary text as a line of the calibration log: an entry or nothing, never a crash or an
// exception; an entry read back is one the line really holds.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "qm7x/calibr/calibration_log_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    const auto entry = qm7x::calibr::ParseLogLine(line);
    if (entry && (line.find("crc32") == line.npos || line.find("position") == line.npos)) {
        std::abort();
    }
    return 0;
}
