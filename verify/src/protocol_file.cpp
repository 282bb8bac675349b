#include "qm7x/verify/protocol_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <utility>

#include "qm7x/os/encoding.h"

namespace qm7x::verify {
namespace {

std::string systemError(const std::string& what, const std::string& path, int error) {
    return what + " " + path + ": " + std::strerror(error);
}

// A newly created file is durable only once its directory entry is.
void syncDirectoryOf(const std::string& path) {
    std::filesystem::path dir = std::filesystem::path(path).parent_path();
    if (dir.empty()) {
        dir = ".";
    }
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

}  // namespace

std::string ProtocolFileBytes(std::string_view utf8) {
    std::string bytes = os::ToCp1251(utf8);
    if constexpr (kLineEnd != "\n") {
        std::string converted;
        converted.reserve(bytes.size() + bytes.size() / 16);
        for (const char c : bytes) {
            if (c == '\n') {
                converted += kLineEnd;
            } else {
                converted += c;
            }
        }
        bytes = std::move(converted);
    }
    return bytes;
}

std::optional<ProtocolFile> ProtocolFile::Open(const std::string& path, std::string& error) {
    constexpr int kFlags = O_RDWR | O_APPEND | O_CLOEXEC;
    bool created = true;
    int fd = ::open(path.c_str(), kFlags | O_CREAT | O_EXCL, 0666);
    if (fd < 0 && errno == EEXIST) {
        created = false;
        fd = ::open(path.c_str(), kFlags);
    }
    if (fd < 0) {
        error = systemError("Не открыт файл протокола", path, errno);
        return std::nullopt;
    }
    if (created) {
        syncDirectoryOf(path);
    }
    return ProtocolFile(fd, path);
}

ProtocolFile::ProtocolFile(ProtocolFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), path_(std::move(other.path_)) {}

ProtocolFile& ProtocolFile::operator=(ProtocolFile&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        fd_ = std::exchange(other.fd_, -1);
        path_ = std::move(other.path_);
    }
    return *this;
}

ProtocolFile::~ProtocolFile() {
    if (fd_ >= 0) {
        ::close(fd_);
    }
}

std::optional<std::string> ProtocolFile::Append(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd_, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return systemError("Ошибка записи в файл протокола", path_, errno);
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return std::nullopt;
}

std::optional<std::string> ProtocolFile::Sync() {
    if (::fsync(fd_) != 0 && errno != EINVAL) {  // EINVAL: a special file that keeps nothing
        return systemError("Ошибка сохранения на диск файла протокола", path_, errno);
    }
    return std::nullopt;
}

}  // namespace qm7x::verify
