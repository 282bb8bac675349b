// The internal CRC record of a file, worked on a byte buffer in memory: the marker
// "ВстроенныйCRC32=" in Windows-1251, eight upper-case hexadecimal digits of the file's own CRC-32
// (computed with the digits replaced by "00000000") and a zero byte. The file operations of
// arkomet_crc32.h read a file, call these and write back; the fuzz target calls them directly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "qm7x/integrity/crc_status.h"

namespace qm7x::integrity {

inline constexpr std::size_t kCrcMarkerSize = 16;
inline constexpr std::size_t kCrcDigitCount = 8;
// Stamping writes the file back up to this many bytes from the record's start.
inline constexpr std::size_t kCrcRecordWriteBackSize = 48;
// Files shorter than this are never stamped.
inline constexpr std::size_t kMinStampFileSize = 20;

// The marker's 16 bytes in Windows-1251.
const std::string& CrcRecordMarker();

// Offset of the record: the first occurrence of the marker that at least one byte follows.
std::optional<std::size_t> FindCrcRecord(std::span<const unsigned char> data);

// An unsigned hexadecimal number read as strtoul(text, &end, 16) reads it where unsigned long has
// 32 bits: leading white space, an optional sign and an optional "0x"/"0X" are accepted; a value
// too large gives 0xFFFFFFFF; a minus sign negates modulo 2^32. `consumed` counts the characters
// strtoul would consume (0 when there is no digit). The end of `text` ends the number.
struct HexNumber {
    std::uint32_t value = 0;
    std::size_t consumed = 0;
};
HexNumber ParseHexLikeStrtoul(std::span<const unsigned char> text);

// Checks the record of `data` (the whole file): parses the stored value after the marker,
// overwrites every character the parse consumed with '0' (so `data` is changed) and computes the
// CRC-32 of all of `data`. Status Match, Mismatch or NoRecord; with no record computedCrc is the
// CRC of the data as given and storedCrc 0.
struct RecordCheck {
    CrcCheckStatus status = CrcCheckStatus::NoRecord;
    std::uint32_t storedCrc = 0;
    std::uint32_t computedCrc = 0;
};
RecordCheck CheckCrcRecord(std::span<unsigned char> data);

// Stamps the record of `data` (the whole file) in place: "00000000" after the marker, the CRC-32
// of all of `data`, written there as "%08X" followed by a zero byte. Status Stamped, TooShort,
// NoRecord or RecordCutOff (the eight digits would not fit before the end of the data; nothing
// is changed then). writeBackSize is how many bytes from the start of the file must be written
// back: through the 48th byte of the record, never past the end of the data.
struct RecordStamp {
    CrcStampStatus status = CrcStampStatus::NoRecord;
    std::uint32_t crc = 0;
    std::size_t writeBackSize = 0;
};
RecordStamp StampCrcRecord(std::span<unsigned char> data);

}  // namespace qm7x::integrity
