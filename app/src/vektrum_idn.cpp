#include "qm7x/app/vektrum_idn.h"

#include <algorithm>

namespace qm7x::app {

std::optional<VektrumIdn> ParseVektrumIdn(std::string_view reply) {
    if (!reply.starts_with(kVektrumIdnPrefix)) {
        return std::nullopt;
    }
    // The reply's raw positions count for the read limit; only the terminator is dropped.
    const std::size_t limit = std::min(kIdnReadLimit, reply.size());
    while (!reply.empty() && (reply.back() == '\n' || reply.back() == '\r')) {
        reply.remove_suffix(1);
    }

    // The serial number follows the prefix and the one separator after it.
    const std::size_t serialStart = std::min(kVektrumIdnPrefix.size() + 1, reply.size());
    std::string_view rest = reply.substr(serialStart);
    const std::size_t serialLength = std::min({rest.find(','), rest.size(), kSerialMax});

    VektrumIdn idn;
    idn.serial.assign(rest.substr(0, serialLength));
    idn.firmware = "n/a";
    if (serialLength < rest.size() && rest[serialLength] == ',') {
        const std::size_t firmwareStart = serialStart + serialLength + 1;
        const std::size_t firmwareEnd =
            std::min({reply.size(), limit, firmwareStart + kFirmwareMax});
        std::string_view field = firmwareStart < firmwareEnd
                                     ? reply.substr(firmwareStart, firmwareEnd - firmwareStart)
                                     : std::string_view{};
        idn.firmware.assign(field.substr(0, std::min(field.find(','), field.size())));
    }
    return idn;
}

}  // namespace qm7x::app
