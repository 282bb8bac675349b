#include "qm7x/integrity/arkomet_crc32.h"

#include "qm7x/integrity/crc_record.h"
#include "whole_file.h"

namespace qm7x::integrity {
namespace {

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

}  // namespace

std::uint32_t GetFileCRC32(const std::filesystem::path& path) {
    WholeFile file = ReadWholeFile(path);
    if (file.status == ReadStatus::NoMemory) {
        return kFileCrcNoMemory;
    }
    if (file.status != ReadStatus::Ok) {
        return 0;
    }
    return Crc32(file.buffer.data(), file.length);
}

FileCrcCheck CheckFileCrcRecord(const std::filesystem::path& path) {
    FileCrcCheck check;
    WholeFile file = ReadWholeFile(path);
    if (file.status != ReadStatus::Ok) {
        check.status = ToCheckStatus(file.status);
        return check;
    }
    check.fileCrc = Crc32(file.buffer.data(), file.length);
    const RecordCheck record = CheckCrcRecord(file.Data());
    check.status = record.status;
    check.storedCrc = record.storedCrc;
    check.computedCrc = record.computedCrc;
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
    WholeFile file = ReadWholeFile(path);
    if (file.status != ReadStatus::Ok) {
        return ToStampStatus(file.status);
    }
    const RecordStamp stamp = StampCrcRecord(file.Data());
    if (stamp.status != CrcStampStatus::Stamped) {
        return stamp.status;
    }
    if (!OverwriteFileStart(path, std::span(file.buffer).first(stamp.writeBackSize))) {
        return CrcStampStatus::CannotWrite;
    }
    return CrcStampStatus::Stamped;
}

int SetupFileInternalCRC32(const std::filesystem::path& path) {
    return ResultCode(StampFileCrcRecord(path));
}

}  // namespace qm7x::integrity
