// How the program names and identifies the math library trqm7x_math in its start-up check.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qm7x::integrity {

// The library's file name on this platform, as it is searched and shown.
#ifdef _WIN32
inline constexpr std::string_view kMathLibraryFileName = "trqm7x_math.dll";
#else
inline constexpr std::string_view kMathLibraryFileName = "libtrqm7x_math.so.1";
#endif

// "<fileName>, версия:<version>, дата:<date>, CRC32=<fileCrc as %08X>": the identification line
// of the metrologically significant part of the software.
std::string LibraryIdentificationLine(std::string_view fileName, std::string_view version,
                                      std::string_view date, std::uint32_t fileCrc);

}  // namespace qm7x::integrity
