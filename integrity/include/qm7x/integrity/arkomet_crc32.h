// ArkometCRC32: the CRC-32 of a memory block and of a file, and the internal CRC record a file
// carries inside itself (see crc_record.h for the record and the in-memory operations).
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>

#include "qm7x/integrity/crc_status.h"

namespace qm7x::integrity {

// CRC-32 of ISO-HDLC / IEEE 802.3 (reflected polynomial 0xEDB88320, initial and final xor
// 0xFFFFFFFF); 0 for an empty block.
std::uint32_t Crc32(const void* data, std::size_t len);

// GetFileCRC32's result when no buffer for the file could be allocated (-1 as 32 bits). Like 0
// (cannot open, empty), it cannot be told from a file whose CRC happens to have that value.
inline constexpr std::uint32_t kFileCrcNoMemory = 0xFFFFFFFFu;

// CRC-32 of the whole file; 0 when it cannot be opened or read or is empty; kFileCrcNoMemory when
// no buffer for it can be had.
std::uint32_t GetFileCRC32(const std::filesystem::path& path);

// Checks the file's internal CRC record. storedCrc: the record's value (0 without a record);
// computedCrc: the CRC of the file with the record's digits as '0' (of the file as read without a
// record); fileCrc, when given: the CRC of the file as stored. All outputs are 0 when the file
// cannot be read. Returns 0 = the record matches, 1 = it does not, -1 = no check was possible
// (missing or empty file, no memory, no record).
int CheckFileInternalCRC32(const std::filesystem::path& path, std::uint32_t& storedCrc,
                           std::uint32_t& computedCrc, std::uint32_t* fileCrc = nullptr);

// Stamps the file's internal CRC record in place (the file is neither truncated nor extended).
// Returns 0 when stamped, -1 on any failure.
int SetupFileInternalCRC32(const std::filesystem::path& path);

// The same two operations with the reason of the outcome.
struct FileCrcCheck {
    CrcCheckStatus status = CrcCheckStatus::CannotOpen;
    std::uint32_t storedCrc = 0;
    std::uint32_t computedCrc = 0;
    std::uint32_t fileCrc = 0;
};
FileCrcCheck CheckFileCrcRecord(const std::filesystem::path& path);
CrcStampStatus StampFileCrcRecord(const std::filesystem::path& path);

}  // namespace qm7x::integrity
