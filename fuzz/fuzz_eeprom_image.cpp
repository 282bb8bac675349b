// Arbitrary text as an EEPROM image: a record of exactly 112 bytes or an EepromError.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "eeprom_image.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    try {
        const qm7x::sim::CoeffRecord record =
            qm7x::sim::ParseEepromImage(text, "/fuzz/state/Q.eeprom.yaml");
        // A loaded record came from 112 tokens of two hexadecimal digits each.
        if (text.find("record_hex") == std::string::npos) {
            std::abort();
        }
        static_cast<void>(record);
    } catch (const qm7x::sim::EepromError& error) {
        if (std::string(error.what()).find("(state/Q.eeprom.yaml") == std::string::npos) {
            std::abort();  // every refusal names the image
        }
    }
    return 0;
}
