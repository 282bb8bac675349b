// Why a check or a stamping of the internal CRC record ended the way it did. The module's
// operations report only -1 / 0 / 1; these tell the reasons apart for tools and messages.
#pragma once

#include <string_view>

namespace qm7x::integrity {

enum class CrcCheckStatus {
    Match,       // the record holds the file's CRC                      (result 0)
    Mismatch,    // the record holds another value                       (result 1)
    NoRecord,    // the file carries no record                           (result -1)
    Missing,     // there is no such file                                (result -1)
    CannotOpen,  // unreadable or not a regular file                     (result -1)
    EmptyFile,   // size 0                                               (result -1)
    ReadError,   // the file opened but reading it failed                (result -1)
    NoMemory,    // no buffer the size of the file could be had          (result -1)
};

enum class CrcStampStatus {
    Stamped,       // (result 0; every other status gives -1)
    Missing,       // there is no such file
    CannotOpen,    // unreadable or not a regular file
    ReadError,     // the file opened but reading it failed
    NoMemory,      // no buffer the size of the file could be had
    TooShort,      // shorter than 20 bytes
    NoRecord,      // no marker followed by at least one byte
    RecordCutOff,  // the file ends before the record's eight digits do
    CannotWrite,   // opening for writing or writing back failed
};

// -1 / 0 / 1 as CheckFileInternalCRC32 returns them.
int ResultCode(CrcCheckStatus status);
// 0 / -1 as SetupFileInternalCRC32 returns them.
int ResultCode(CrcStampStatus status);

// Short English descriptions for tools and logs ("no internal CRC record", ...).
std::string_view Describe(CrcCheckStatus status);
std::string_view Describe(CrcStampStatus status);

}  // namespace qm7x::integrity
