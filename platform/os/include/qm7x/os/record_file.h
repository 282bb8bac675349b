// The durable writer of records (protocols, the calibration log, later results and certificates):
// a file that only grows, by whole entries.
//   - Only a regular file, or a new one, is opened; a FIFO, a device, a socket, a directory or a
//     symbolic link is refused with a message, and opening never waits for anything.
//   - An entry is whole or absent: after a short or failed write the file is cut back to its size
//     before the entry, and then the failure is returned.
//   - A new file's folder is synced, so that the file's name is as durable as its entries.
// Failures are FileErrors: operation, path and the system's reason in UTF-8.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <variant>

#include "qm7x/os/file_error.h"

namespace qm7x::os {

class RecordFile {
  public:
    // Opens (creates) `path` for appending entries.
    static std::variant<RecordFile, FileError> Open(const std::filesystem::path& path);

    RecordFile(RecordFile&& other) noexcept;
    RecordFile& operator=(RecordFile&& other) noexcept;
    RecordFile(const RecordFile&) = delete;
    RecordFile& operator=(const RecordFile&) = delete;
    ~RecordFile();

    // Appends the entry whole (not yet synced), or cuts the file back and returns the failure.
    FileStatus Append(std::string_view entry);
    // Makes what was appended reach the disk.
    FileStatus Sync();
    // Append and Sync; an entry that cannot be synced is cut back too.
    FileStatus AppendSynced(std::string_view entry);

    // The file's present size: where the next entry begins (-1 when it cannot be told).
    std::int64_t Size() const;
    // Cuts the file back to `size` (an entry of several appends that did not complete).
    FileStatus CutBack(std::int64_t size);

    const std::filesystem::path& path() const { return path_; }

  private:
    RecordFile(int fd, std::filesystem::path path) : fd_(fd), path_(std::move(path)) {}
    int fd_ = -1;
    std::filesystem::path path_;
};

// The whole content of a record file, with the same refusals as opening it for writing (a FIFO
// cannot hold the reader either). A missing file is an error with code ENOENT.
std::variant<std::string, FileError> ReadRecordFile(const std::filesystem::path& path);

// Opens `path`, appends the entry whole and synced, closes the file.
FileStatus AppendRecord(const std::filesystem::path& path, std::string_view entry);

}  // namespace qm7x::os
