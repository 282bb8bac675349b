#include "qm7x/integrity/crc_status.h"

namespace qm7x::integrity {

int ResultCode(CrcCheckStatus status) {
    switch (status) {
        case CrcCheckStatus::Match:
            return 0;
        case CrcCheckStatus::Mismatch:
            return 1;
        default:
            return -1;
    }
}

int ResultCode(CrcStampStatus status) {
    return status == CrcStampStatus::Stamped ? 0 : -1;
}

std::string_view Describe(CrcCheckStatus status) {
    switch (status) {
        case CrcCheckStatus::Match:
            return "the internal CRC record matches";
        case CrcCheckStatus::Mismatch:
            return "the internal CRC record does not match the file";
        case CrcCheckStatus::NoRecord:
            return "the file carries no internal CRC record";
        case CrcCheckStatus::Missing:
            return "no such file";
        case CrcCheckStatus::CannotOpen:
            return "cannot open the file (no permission, or not a regular file)";
        case CrcCheckStatus::EmptyFile:
            return "the file is empty";
        case CrcCheckStatus::ReadError:
            return "reading the file failed";
        case CrcCheckStatus::NoMemory:
            return "not enough memory to read the file";
    }
    return "unknown status";
}

std::string_view Describe(CrcStampStatus status) {
    switch (status) {
        case CrcStampStatus::Stamped:
            return "stamped";
        case CrcStampStatus::Missing:
            return "no such file";
        case CrcStampStatus::CannotOpen:
            return "cannot open the file (no permission, or not a regular file)";
        case CrcStampStatus::ReadError:
            return "reading the file failed";
        case CrcStampStatus::NoMemory:
            return "not enough memory to read the file";
        case CrcStampStatus::TooShort:
            return "the file is shorter than 20 bytes";
        case CrcStampStatus::NoRecord:
            return "the file carries no internal CRC record";
        case CrcStampStatus::RecordCutOff:
            return "the file ends inside the internal CRC record's digits";
        case CrcStampStatus::CannotWrite:
            return "cannot write the file back";
    }
    return "unknown status";
}

}  // namespace qm7x::integrity
