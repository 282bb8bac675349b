// Arbitrary text as a panel resource: parsed into panels or refused with a described problem.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "resource_parser.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    qm7x::ui::detail::ParsedResource resource;
    std::string error;
    if (!qm7x::ui::detail::ParseResource(text, resource, error) && error.empty()) {
        std::abort();  // a refusal always says why
    }
    return 0;
}
