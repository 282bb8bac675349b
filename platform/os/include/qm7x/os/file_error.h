// The one error value of file and record input and output: what was being done, on which file,
// and what the system said, all in UTF-8.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace qm7x::os {

struct FileError {
    std::string operation;  // what failed, as the operator reads it: "запись не удалась"
    std::filesystem::path path;
    std::string reason;  // the system's reason in UTF-8, or the program's own text
    int code = 0;        // the errno value; 0 when the cause is not a system error

    // "<operation>: <reason> (<path>)": the cause ahead of the path, so that a status line cut
    // at its end still shows why.
    std::string Describe() const;
};

// Nothing on success, else what failed.
using FileStatus = std::optional<FileError>;

// The system's text for an errno value in UTF-8, whatever the locale's character set: the
// locale's own language where its text converts, else the C locale's.
std::string SystemReason(int code);

// A FileError of a failed system call.
FileError SystemFileError(std::string operation, std::filesystem::path path, int code);

}  // namespace qm7x::os
