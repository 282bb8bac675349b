// A file's version, date, time and bare name, as the program shows them.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace qm7x::integrity {

// What GetFInfo writes at most (the sizes of the texts it fills, less their terminators).
inline constexpr std::size_t kFInfoVersionMax = 31;
inline constexpr std::size_t kFInfoNameMax = 127;
inline constexpr std::string_view kNoVersion = "n/a";

// Fills each text that is given (the others may be null):
// - version: the file version of the file's version metadata, at most 31 characters, or "n/a";
// - date: the last-write date in local time, "%02i-%02i-%i" (day-month-year, e.g. 23-11-2011);
// - time: the last-write time in local time, "%02i:%02i" (hour:minute);
// - name: what follows the last directory separator of `path` (the whole path without one), at
//   most 127 characters.
// date and time stay empty when the file's attributes cannot be read. Always returns 0.
int GetFInfo(std::string_view path, std::string* version, std::string* date, std::string* time,
             std::string* name);

}  // namespace qm7x::integrity
