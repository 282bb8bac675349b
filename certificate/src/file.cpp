#include "qm7x/certificate/file.h"

#include <cerrno>
#include <filesystem>
#include <system_error>
#include <variant>

#include "qm7x/os/record_file.h"

namespace qm7x::certificate {

std::string WriteFileDurably(const std::string& path, std::string_view bytes) {
    const std::filesystem::path target(path);
    std::error_code ignored;
    if (std::filesystem::exists(target, ignored)) {
        return os::SystemFileError("файл сертификата не создан", target, EEXIST).Describe();
    }
    auto opened = os::RecordFile::Open(target);
    if (auto* error = std::get_if<os::FileError>(&opened)) {
        return error->Describe();
    }
    os::RecordFile& file = std::get<os::RecordFile>(opened);
    // Another writer may have made the file since the look: it is not written into.
    if (file.Size() != 0) {
        return os::SystemFileError("файл сертификата не создан", target, EEXIST).Describe();
    }
    if (const os::FileStatus failed = file.AppendSynced(bytes)) {
        // The writer cut the file back to nothing; the empty file is not a certificate.
        std::filesystem::remove(target, ignored);
        return failed->Describe();
    }
    return {};
}

}  // namespace qm7x::certificate
