// A record file that only grows: opened at its end (created when missing, never truncated), each
// text appended whole, synced to the disk on request. Failures come back as texts that name the
// file, the operation and what the system said.
#pragma once

#include <optional>
#include <string>
#include <string_view>

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

class ProtocolFile {
  public:
    // Opens (creates) the file for appending; on failure `error` describes it and nothing is open.
    static std::optional<ProtocolFile> Open(const std::string& path, std::string& error);

    ProtocolFile(ProtocolFile&& other) noexcept;
    ProtocolFile& operator=(ProtocolFile&& other) noexcept;
    ProtocolFile(const ProtocolFile&) = delete;
    ProtocolFile& operator=(const ProtocolFile&) = delete;
    ~ProtocolFile();

    // Appends the bytes (all of them, or the failure is returned) and hands them to the system.
    std::optional<std::string> Append(std::string_view bytes);
    // Makes what was appended reach the disk.
    std::optional<std::string> Sync();

    const std::string& path() const { return path_; }

  private:
    ProtocolFile(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
    int fd_ = -1;
    std::string path_;
};

}  // namespace qm7x::verify
