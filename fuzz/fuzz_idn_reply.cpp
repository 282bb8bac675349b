// Arbitrary bytes as the *IDN? reply of an instrument: our box's fields within their limits, or
// another maker's instrument.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "qm7x/app/vektrum_idn.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view reply(reinterpret_cast<const char*>(data), size);
    const auto idn = qm7x::app::ParseVektrumIdn(reply);
    if (idn) {
        if (reply.substr(0, qm7x::app::kVektrumIdnPrefix.size()) != qm7x::app::kVektrumIdnPrefix ||
            idn->serial.size() > qm7x::app::kSerialMax ||
            idn->firmware.size() > qm7x::app::kFirmwareMax) {
            std::abort();
        }
    }
    return 0;
}
