#include "whole_file.h"

#include <fstream>
#include <new>
#include <stdexcept>
#include <system_error>

namespace qm7x::integrity {

WholeFile ReadWholeFile(const std::filesystem::path& path) {
    WholeFile file;
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error) {
        file.status = error == std::errc::no_such_file_or_directory ? ReadStatus::Missing
                                                                    : ReadStatus::CannotOpen;
        return file;
    }
    if (size == 0) {
        file.status = ReadStatus::Empty;
        return file;
    }
    std::ifstream in(path, std::ios::in | std::ios::binary);
    if (!in) {
        file.status = ReadStatus::CannotOpen;
        return file;
    }
    try {
        if (size > file.buffer.max_size() - 8) {
            throw std::length_error("file larger than memory");
        }
        file.buffer.assign(static_cast<std::size_t>(size) + 8, 0);
    } catch (const std::bad_alloc&) {
        file.status = ReadStatus::NoMemory;
        return file;
    } catch (const std::length_error&) {
        file.status = ReadStatus::NoMemory;
        return file;
    }
    in.read(reinterpret_cast<char*>(file.buffer.data()), static_cast<std::streamsize>(size));
    if (in.bad()) {
        file.status = ReadStatus::ReadError;
        return file;
    }
    // The file may have changed since its size was taken: what was read is the file.
    file.length = static_cast<std::size_t>(in.gcount());
    file.status = file.length == 0 ? ReadStatus::Empty : ReadStatus::Ok;
    return file;
}

bool OverwriteFileStart(const std::filesystem::path& path, std::span<const unsigned char> bytes) {
    std::fstream out(path, std::ios::in | std::ios::out | std::ios::binary);
    if (!out) {
        return false;
    }
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.close();
    return !out.fail();
}

}  // namespace qm7x::integrity
