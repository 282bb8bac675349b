// The bytes of the protocol file. The file itself is an os::RecordFile: a regular file only grown
// by whole messages, each point's entry synced to the disk.
#pragma once

#include <string>
#include <string_view>

#include "qm7x/os/file_error.h"

namespace qm7x::verify {

// The platform's text-mode line end, written for each "\n" of a protocol text.
#if defined(_WIN32)
inline constexpr std::string_view kLineEnd = "\r\n";
#else
inline constexpr std::string_view kLineEnd = "\n";
#endif

// UTF-8 protocol text -> the file's bytes: Windows-1251 ("?" for a character the code page lacks),
// the platform's line ends.
std::string ProtocolFileBytes(std::string_view utf8);

// The status-line text of a protocol file that failed: the cause first, the file last.
std::string ProtocolFailureText(const os::FileError& error);

}  // namespace qm7x::verify
