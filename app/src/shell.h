// Texts of the application shell itself.
#pragma once

#include <string_view>

namespace qm7x::app {

inline constexpr std::string_view kSoftwareVersion = "1.2.1";

}  // namespace qm7x::app
