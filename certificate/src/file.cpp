#include "qm7x/certificate/file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <vector>

namespace qm7x::certificate {

namespace {

std::string Failure(std::string_view operation, const std::string& path, int error) {
    return std::string(operation) + " failed: " + std::strerror(error) + ": " + path;
}

}  // namespace

// Until the program's one durable record writer takes this over, it is the only place that
// writes a certificate.
std::string WriteFileDurably(const std::string& path, std::string_view bytes) {
    const std::filesystem::path target(path);
    const std::filesystem::path folder =
        target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
    std::string pattern = (folder / (target.filename().string() + ".tmp.XXXXXX")).string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    if (fd < 0) {
        return Failure("create", pattern, errno);
    }
    const std::string temporary(name.data());
    std::string_view rest = bytes;
    std::string failure;
    while (!rest.empty() && failure.empty()) {
        const ssize_t written = ::write(fd, rest.data(), rest.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            failure = Failure("write", temporary, written < 0 ? errno : ENOSPC);
        } else {
            rest.remove_prefix(static_cast<std::size_t>(written));
        }
    }
    if (failure.empty() && ::fsync(fd) != 0) {
        failure = Failure("sync", temporary, errno);
    }
    if (::close(fd) != 0 && failure.empty()) {
        failure = Failure("close", temporary, errno);
    }
    // A link, not a rename: an existing file (an earlier certificate) is never replaced.
    if (failure.empty() && ::link(temporary.c_str(), path.c_str()) != 0) {
        failure = Failure("create", path, errno);
    }
    ::unlink(temporary.c_str());
    if (!failure.empty()) {
        return failure;
    }
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (dir < 0) {
        return Failure("open folder", folder.string(), errno);
    }
    const int synced = ::fsync(dir);
    const int error = errno;
    ::close(dir);
    return synced == 0 ? std::string() : Failure("sync folder", folder.string(), error);
}

}  // namespace qm7x::certificate
