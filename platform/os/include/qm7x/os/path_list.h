// The system's list of directories to search for a library, and the working directory. Paths are
// narrow strings in the platform's own encoding (the ANSI code page on Windows, bytes here).
#pragma once

#include <string>
#include <string_view>

namespace qm7x::os {

#ifdef _WIN32
inline constexpr char kPathListSeparator = ';';
inline constexpr char kDirSeparator = '\\';
// Characters that end a directory name in a path.
inline constexpr std::string_view kDirSeparators = "\\/";
#else
inline constexpr char kPathListSeparator = ':';
inline constexpr char kDirSeparator = '/';
inline constexpr std::string_view kDirSeparators = "/";
#endif

// The directory list, entries joined by kPathListSeparator.
// Windows: the value "Path" of HKEY_LOCAL_MACHINE\SYSTEM\CurrentControlSet\Control\Session
// Manager\Environment as stored (references to environment variables not expanded); empty when
// the key or the value cannot be read.
// Elsewhere: the directories where the dynamic loader looks for a library of this program, in
// the loader's order: LD_LIBRARY_PATH, the program's RUNPATH, the directories configured in
// /etc/ld.so.conf, then the multiarch and default library directories.
std::string SystemPathList();

// The current working directory; empty when it cannot be had.
std::string CurrentDirectory();

}  // namespace qm7x::os
