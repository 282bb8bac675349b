#include "qm7x/os/file_info.h"

#include <cstddef>
#include <vector>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <winver.h>

#include <cstdio>
#include <cstring>
#else
#include <sys/stat.h>

#include <cerrno>
#include <ctime>
#include <fstream>
#include <iterator>

#include "qm7x/os/elf_package_note.h"
#endif

namespace qm7x::os {

#ifdef _WIN32

int QueryFileExists(const std::string& path) {
    // No path of the system is longer than its Unicode paths can be (32767 characters); such a
    // candidate names no file (as ENAMETOOLONG elsewhere), whatever error the call would give.
    constexpr std::size_t kLongestPath = 32767;
    if (path.size() > kLongestPath) {
        return 0;
    }
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        switch (GetLastError()) {
            case ERROR_FILE_NOT_FOUND:
            case ERROR_PATH_NOT_FOUND:
            case ERROR_INVALID_NAME:
            case ERROR_INVALID_DRIVE:
            case ERROR_BAD_NETPATH:
            case ERROR_BAD_NET_NAME:
            case ERROR_BAD_PATHNAME:
            // A name longer than the system allows names no file (as ENAMETOOLONG elsewhere).
            case ERROR_FILENAME_EXCED_RANGE:
                return 0;
            default:
                return -1;
        }
    }
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? 0 : 1;
}

std::optional<LocalDateTime> FileLastWriteLocal(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) {
        return std::nullopt;
    }
    FILETIME local{};
    SYSTEMTIME fields{};
    if (!FileTimeToLocalFileTime(&data.ftLastWriteTime, &local) ||
        !FileTimeToSystemTime(&local, &fields)) {
        return std::nullopt;
    }
    return LocalDateTime{fields.wYear, fields.wMonth,  fields.wDay,
                         fields.wHour, fields.wMinute, fields.wSecond};
}

std::optional<std::string> FileVersion(const std::string& path) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    if (size == 0) {
        return std::nullopt;
    }
    std::vector<unsigned char> block(size);
    if (!GetFileVersionInfoA(path.c_str(), 0, size, block.data())) {
        return std::nullopt;
    }
    struct Translation {
        WORD language;
        WORD codePage;
    };
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", &value, &length) ||
        value == nullptr || length < sizeof(Translation)) {
        return std::nullopt;
    }
    Translation first{};
    std::memcpy(&first, value, sizeof first);
    char subBlock[64];
    std::snprintf(subBlock, sizeof subBlock, "\\StringFileInfo\\%04x%04x\\FileVersion",
                  static_cast<unsigned>(first.language), static_cast<unsigned>(first.codePage));
    value = nullptr;
    length = 0;
    if (!VerQueryValueA(block.data(), subBlock, &value, &length) || value == nullptr) {
        return std::nullopt;
    }
    // `length` counts characters, with the terminator when the string has one.
    const auto* text = static_cast<const char*>(value);
    return std::string(text, strnlen(text, length));
}

#else

int QueryFileExists(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return errno == ENOENT || errno == ENOTDIR || errno == ENAMETOOLONG ? 0 : -1;
    }
    return S_ISREG(info.st_mode) ? 1 : 0;
}

std::optional<LocalDateTime> FileLastWriteLocal(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return std::nullopt;
    }
    std::tm fields{};
    if (::localtime_r(&info.st_mtime, &fields) == nullptr) {
        return std::nullopt;
    }
    return LocalDateTime{fields.tm_year + 1900, fields.tm_mon + 1, fields.tm_mday,
                         fields.tm_hour,        fields.tm_min,     fields.tm_sec};
}

std::optional<std::string> FileVersion(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    const std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(in),
                                           std::istreambuf_iterator<char>()};
    if (in.bad()) {
        return std::nullopt;
    }
    return ElfPackageVersion(bytes);
}

#endif

}  // namespace qm7x::os
