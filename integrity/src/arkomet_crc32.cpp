#include "qm7x/integrity/arkomet_crc32.h"

#include <fstream>
#include <new>
#include <system_error>
#include <vector>

#include "qm7x/integrity/crc_record.h"
#include "read_status.h"
#include "record_stream.h"

namespace qm7x::integrity {
namespace {

// Files are read in blocks of this size: memory stays constant whatever the file's size.
constexpr std::size_t kBlockSize = 1 << 20;

// Feeds the file to `consume` block by block. Ok once at least one byte was read.
template <class Consume>
ReadStatus StreamFile(const std::filesystem::path& path, Consume&& consume) {
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(path, error);
    if (error) {
        return error == std::errc::no_such_file_or_directory ? ReadStatus::Missing
                                                             : ReadStatus::CannotOpen;
    }
    if (size == 0) {
        return ReadStatus::Empty;
    }
    std::ifstream in(path, std::ios::in | std::ios::binary);
    if (!in) {
        return ReadStatus::CannotOpen;
    }
    std::vector<unsigned char> block;
    try {
        block.resize(kBlockSize);
    } catch (const std::bad_alloc&) {
        return ReadStatus::NoMemory;
    }
    std::uintmax_t total = 0;
    // The file may change while it is read: what was read is the file.
    while (in) {
        in.read(reinterpret_cast<char*>(block.data()), static_cast<std::streamsize>(block.size()));
        if (in.bad()) {
            return ReadStatus::ReadError;
        }
        const auto got = static_cast<std::size_t>(in.gcount());
        if (got > 0) {
            consume(std::span(block).first(got));
            total += got;
        }
    }
    return total == 0 ? ReadStatus::Empty : ReadStatus::Ok;
}

CrcCheckStatus ToCheckStatus(ReadStatus status) {
    switch (status) {
        case ReadStatus::Missing:
            return CrcCheckStatus::Missing;
        case ReadStatus::Empty:
            return CrcCheckStatus::EmptyFile;
        case ReadStatus::ReadError:
            return CrcCheckStatus::ReadError;
        case ReadStatus::NoMemory:
            return CrcCheckStatus::NoMemory;
        default:
            return CrcCheckStatus::CannotOpen;
    }
}

CrcStampStatus ToStampStatus(ReadStatus status) {
    switch (status) {
        case ReadStatus::Missing:
            return CrcStampStatus::Missing;
        case ReadStatus::Empty:
            return CrcStampStatus::TooShort;
        case ReadStatus::ReadError:
            return CrcStampStatus::ReadError;
        case ReadStatus::NoMemory:
            return CrcStampStatus::NoMemory;
        default:
            return CrcStampStatus::CannotOpen;
    }
}

// Writes bytes at an offset of an existing file; never truncates, extends or creates it, and
// touches nothing else (a sparse file stays sparse).
bool WriteInPlace(const std::filesystem::path& path, std::uint64_t offset,
                  std::span<const unsigned char> bytes) {
    std::fstream out(path, std::ios::in | std::ios::out | std::ios::binary);
    if (!out) {
        return false;
    }
    out.seekp(static_cast<std::streamoff>(offset));
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.close();
    return !out.fail();
}

}  // namespace

std::uint32_t GetFileCRC32(const std::filesystem::path& path) {
    std::uint32_t crc = 0;
    const ReadStatus status = StreamFile(
        path, [&](std::span<const unsigned char> block) { crc = Crc32Continue(crc, block); });
    if (status == ReadStatus::NoMemory) {
        return kFileCrcNoMemory;
    }
    return status == ReadStatus::Ok ? crc : 0;
}

FileCrcCheck CheckFileCrcRecord(const std::filesystem::path& path) {
    FileCrcCheck check;
    RecordCheckStream record;
    const ReadStatus status =
        StreamFile(path, [&](std::span<const unsigned char> block) { record.feed(block); });
    if (status != ReadStatus::Ok) {
        check.status = ToCheckStatus(status);
        return check;
    }
    const RecordCheck result = record.finish();
    check.status = result.status;
    check.storedCrc = result.storedCrc;
    check.computedCrc = result.computedCrc;
    check.fileCrc = record.fileCrc();
    return check;
}

int CheckFileInternalCRC32(const std::filesystem::path& path, std::uint32_t& storedCrc,
                           std::uint32_t& computedCrc, std::uint32_t* fileCrc) {
    const FileCrcCheck check = CheckFileCrcRecord(path);
    storedCrc = check.storedCrc;
    computedCrc = check.computedCrc;
    if (fileCrc != nullptr) {
        *fileCrc = check.fileCrc;
    }
    return ResultCode(check.status);
}

CrcStampStatus StampFileCrcRecord(const std::filesystem::path& path) {
    RecordStampStream record;
    const ReadStatus status =
        StreamFile(path, [&](std::span<unsigned char> block) { record.feed(block); });
    if (status != ReadStatus::Ok) {
        return ToStampStatus(status);
    }
    const RecordStampStream::Result stamp = record.finish();
    if (stamp.status != CrcStampStatus::Stamped) {
        return stamp.status;
    }
    // Only the digits and the zero byte after them change; the rest of the file is not written.
    unsigned char digits[kCrcDigitCount + 1] = {};
    constexpr char kHex[] = "0123456789ABCDEF";
    for (std::size_t i = 0; i < kCrcDigitCount; ++i) {
        digits[i] = static_cast<unsigned char>(kHex[(stamp.crc >> (28 - 4 * i)) & 0xFu]);
    }
    const std::size_t length = stamp.terminator ? kCrcDigitCount + 1 : kCrcDigitCount;
    if (!WriteInPlace(path, stamp.digitsOffset, std::span(digits).first(length))) {
        return CrcStampStatus::CannotWrite;
    }
    return CrcStampStatus::Stamped;
}

int SetupFileInternalCRC32(const std::filesystem::path& path) {
    return ResultCode(StampFileCrcRecord(path));
}

}  // namespace qm7x::integrity
