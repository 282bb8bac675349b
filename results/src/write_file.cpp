#include <fcntl.h>
#include <unistd.h>

#include <fmt/format.h>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <utility>

#include "qm7x/results/value.h"
#include "qm7x/results/write_file.h"

namespace qm7x::results {
namespace {

class Descriptor {
  public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) {
            ::close(fd_);
        }
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return fd_; }
    int release() { return std::exchange(fd_, -1); }

  private:
    int fd_;
};

StoreError SystemFailure(std::string_view operation, const std::string& path) {
    return StoreError(fmt::format("{}: cannot {}: {}", path, operation, std::strerror(errno)));
}

}  // namespace

void WriteFileDurably(const std::string& path, std::string_view content) {
    std::string temporary = path + ".tmp";
    Descriptor file(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (file.get() < 0) {
        throw SystemFailure("create", temporary);
    }
    try {
        while (!content.empty()) {
            auto written = ::write(file.get(), content.data(), content.size());
            if (written < 0 && errno == EINTR) {
                continue;
            }
            if (written <= 0) {
                throw SystemFailure("write", temporary);
            }
            content.remove_prefix(static_cast<std::size_t>(written));
        }
        if (::fsync(file.get()) != 0) {
            throw SystemFailure("sync", temporary);
        }
        if (::close(file.release()) != 0) {
            throw SystemFailure("close", temporary);
        }
        if (std::rename(temporary.c_str(), path.c_str()) != 0) {
            throw SystemFailure("rename the temporary file to", path);
        }
    } catch (...) {
        ::unlink(temporary.c_str());
        throw;
    }
    auto folder = std::filesystem::absolute(path).parent_path();
    Descriptor directory(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (directory.get() < 0 || ::fsync(directory.get()) != 0) {
        throw SystemFailure("sync the folder of", path);
    }
}

}  // namespace qm7x::results
