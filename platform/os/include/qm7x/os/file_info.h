// What the file system tells about one file: whether it exists, its last-write time in local
// calendar fields, and the version its file metadata carries.
#pragma once

#include <optional>
#include <string>

namespace qm7x::os {

// 1 = a regular file exists at `path`; 0 = it does not (nothing there, a directory, a path
// through a missing directory); negative = the system could not tell (access denied, I/O error).
int QueryFileExists(const std::string& path);

struct LocalDateTime {
    int year = 0;
    int month = 0;  // 1..12
    int day = 0;    // 1..31
    int hour = 0;
    int minute = 0;
    int second = 0;
};

// The file's last-write time converted to local time; nullopt when its attributes cannot be read.
std::optional<LocalDateTime> FileLastWriteLocal(const std::string& path);

// The file version of the file's version metadata. Windows: the string "FileVersion" of the
// VERSIONINFO resource under its first translation entry. Elsewhere: "version" of the ELF
// ".note.package" note (owner "FDO"). nullopt when the file has no such metadata or entry.
std::optional<std::string> FileVersion(const std::string& path);

}  // namespace qm7x::os
