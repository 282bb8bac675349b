// Arbitrary bytes as a VISA search expression (before the first zero byte) and a resource name
// (after it): the expression compiles or is refused, and matching ends.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "visa_expression.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::size_t split = bytes.find('\0');
    const std::string_view expression = bytes.substr(0, split);
    const std::string name(split == std::string_view::npos ? "VXI0::8::INSTR"
                                                           : bytes.substr(split + 1));
    if (const auto pattern = qm7x::sim::VisaExpression::Compile(expression)) {
        static_cast<void>(pattern->Matches(name));
    }
    return 0;
}
