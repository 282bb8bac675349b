#include "qm7x/os/record_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>

namespace qm7x::os {
namespace {

namespace fs = std::filesystem;

FileError refused(const fs::path& path, std::string reason) {
    return FileError{"не открывается", path, std::move(reason), 0};
}

// What kind of file stands where a record was expected.
std::string notRegular(mode_t mode) {
    if (S_ISFIFO(mode)) {
        return "это канал (FIFO), а не обычный файл";
    }
    if (S_ISCHR(mode) || S_ISBLK(mode)) {
        return "это устройство, а не обычный файл";
    }
    if (S_ISSOCK(mode)) {
        return "это сокет, а не обычный файл";
    }
    return "это не обычный файл";
}

// A new file is durable only once its folder's entry for it is.
FileStatus syncFolderOf(const fs::path& path) {
    const fs::path folder = path.has_parent_path() ? path.parent_path() : fs::path(".");
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return SystemFileError("синхронизация папки не удалась", folder, errno);
    }
    const int result = ::fsync(fd);
    const int cause = errno;
    ::close(fd);
    if (result != 0) {
        return SystemFileError("синхронизация папки не удалась", folder, cause);
    }
    return std::nullopt;
}

}  // namespace

std::variant<RecordFile, FileError> RecordFile::Open(const fs::path& path) {
    // O_NONBLOCK: a FIFO without a reader must not hold the program in open(); O_NOFOLLOW: a
    // planted link must not redirect the record.
    constexpr int kFlags = O_WRONLY | O_APPEND | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK;
    bool created = true;
    int fd = ::open(path.c_str(), kFlags | O_CREAT | O_EXCL, 0666);
    if (fd < 0 && errno == EEXIST) {
        created = false;
        fd = ::open(path.c_str(), kFlags);
    }
    if (fd < 0) {
        const int cause = errno;
        struct stat status {};
        if (::lstat(path.c_str(), &status) == 0) {
            if (S_ISLNK(status.st_mode)) {
                return refused(path, "это символическая ссылка, а не обычный файл");
            }
            if (!S_ISREG(status.st_mode) && !S_ISDIR(status.st_mode)) {
                return refused(path, notRegular(status.st_mode));
            }
        }
        return SystemFileError("не открывается", path, cause);
    }
    RecordFile file(fd, path);
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        return SystemFileError("не открывается", path, errno);
    }
    if (!S_ISREG(status.st_mode)) {
        return refused(path, notRegular(status.st_mode));
    }
    // Writes to a regular file never wait; the flag is dropped all the same.
    ::fcntl(fd, F_SETFL, O_APPEND);
    if (created || status.st_size == 0) {
        if (auto error = syncFolderOf(path)) {
            return *error;
        }
    }
    return file;
}

RecordFile::RecordFile(RecordFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), path_(std::move(other.path_)) {}

RecordFile& RecordFile::operator=(RecordFile&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = std::exchange(other.fd_, -1);
        path_ = std::move(other.path_);
    }
    return *this;
}

RecordFile::~RecordFile() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

std::int64_t RecordFile::Size() const {
    struct stat status {};
    return ::fstat(fd_, &status) == 0 ? static_cast<std::int64_t>(status.st_size) : -1;
}

FileStatus RecordFile::CutBack(std::int64_t size) {
    while (::ftruncate(fd_, static_cast<off_t>(size)) != 0) {
        if (errno != EINTR) {
            return SystemFileError("запись не урезана до целой", path_, errno);
        }
    }
    return std::nullopt;
}

FileStatus RecordFile::Append(std::string_view entry) {
    const std::int64_t before = Size();
    if (before < 0) {
        return SystemFileError("запись не удалась", path_, errno);
    }
    while (!entry.empty()) {
        const ssize_t written = ::write(fd_, entry.data(), entry.size());
        if (written > 0) {
            entry.remove_prefix(static_cast<std::size_t>(written));
            continue;
        }
        if (written < 0 && errno == EINTR) {
            continue;
        }
        // The cause first: cutting back must not replace it.
        FileError error =
            written < 0 ? SystemFileError("запись не удалась", path_, errno)
                        : FileError{"запись не удалась", path_, "система не приняла ни байта", 0};
        if (auto cut = CutBack(before)) {
            error.reason += "; " + cut->operation + ": " + cut->reason;
        }
        return error;
    }
    return std::nullopt;
}

FileStatus RecordFile::Sync() {
    if (::fsync(fd_) != 0) {
        return SystemFileError("синхронизация с диском не удалась", path_, errno);
    }
    return std::nullopt;
}

FileStatus RecordFile::AppendSynced(std::string_view entry) {
    const std::int64_t before = Size();
    if (auto error = Append(entry)) {
        return error;
    }
    if (auto error = Sync()) {
        if (auto cut = CutBack(before)) {
            error->reason += "; " + cut->operation + ": " + cut->reason;
        }
        return error;
    }
    return std::nullopt;
}

std::variant<std::string, FileError> ReadRecordFile(const fs::path& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) {
        const int cause = errno;
        struct stat status {};
        if (cause == ELOOP && ::lstat(path.c_str(), &status) == 0 && S_ISLNK(status.st_mode)) {
            return refused(path, "это символическая ссылка, а не обычный файл");
        }
        return SystemFileError("не открывается", path, cause);
    }
    const struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        return SystemFileError("не открывается", path, errno);
    }
    if (!S_ISREG(status.st_mode)) {
        return refused(path, notRegular(status.st_mode));
    }
    std::string content;
    std::string chunk(64 * 1024, '\0');
    for (;;) {
        const ssize_t got = ::read(fd, chunk.data(), chunk.size());
        if (got == 0) {
            return content;
        }
        if (got < 0 && errno != EINTR) {
            return SystemFileError("чтение не удалось", path, errno);
        }
        if (got > 0) {
            content.append(chunk, 0, static_cast<std::size_t>(got));
        }
    }
}

FileStatus AppendRecord(const fs::path& path, std::string_view entry) {
    auto opened = RecordFile::Open(path);
    if (auto* error = std::get_if<FileError>(&opened)) {
        return std::move(*error);
    }
    return std::get<RecordFile>(opened).AppendSynced(entry);
}

}  // namespace qm7x::os
