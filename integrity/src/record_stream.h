// The internal CRC record worked on a file as it streams past, chunk by chunk, in constant
// memory: the same results as CheckCrcRecord and StampCrcRecord on the whole file in memory,
// without ever holding more than one chunk of it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "qm7x/integrity/crc_record.h"

namespace qm7x::integrity {

// The CRC-32 register continued over more bytes (start with 0).
std::uint32_t Crc32Continue(std::uint32_t crc, std::span<const unsigned char> bytes);

// Finds the first occurrence of the marker in a stream of chunks.
class MarkerSearch {
  public:
    // Offset of the marker's first byte, once its last byte has been fed.
    std::optional<std::uint64_t> found() const { return found_; }
    // Feeds the next chunk; returns the index in this chunk just after the marker when the
    // marker ends in it (the record's text starts there), else nothing.
    std::optional<std::size_t> feed(std::span<const unsigned char> chunk);

  private:
    std::string carry_;  // the last bytes fed, fewer than the marker's length
    std::uint64_t offset_ = 0;
    std::optional<std::uint64_t> found_;
};

// Checks the record of a stream: CRC of the bytes as they are, and CRC of the bytes with the
// characters that strtoul(…, 16) consumes after the marker as '0'.
class RecordCheckStream {
  public:
    void feed(std::span<const unsigned char> chunk);
    // After the last chunk: status Match, Mismatch or NoRecord, as CheckCrcRecord gives them.
    RecordCheck finish();
    std::uint32_t fileCrc() const { return fileCrc_; }

  private:
    // Where the parse of the stored value stands; the text ends at the first byte that cannot
    // continue it, or at the end of the file.
    enum class Parse { search, space, sign, zero, prefixX, digits, done };

    void parseByte(unsigned char c);
    void computed(unsigned char c);
    // White space and a sign, or an 'x' after a first '0', are consumed only if a digit
    // follows; until then both CRCs (as consumed and as kept) are carried along.
    void pend(unsigned char c);
    void settle(bool consumed);
    void digit(int value);

    MarkerSearch search_;
    Parse parse_ = Parse::search;
    std::uint32_t fileCrc_ = 0;
    std::uint32_t computedCrc_ = 0;  // valid from the start of the record's text on
    std::uint32_t pendingConsumed_ = 0;
    std::uint32_t pendingKept_ = 0;
    bool pending_ = false;
    // After the record's text, the two CRCs differ by a value that each byte only shifts.
    bool tail_ = false;
    std::uint32_t tailDifference_ = 0;
    bool textSeen_ = false;  // a byte follows the marker: the marker is the record
    bool anyDigit_ = false;
    bool negative_ = false;
    bool overflow_ = false;
    std::uint64_t value_ = 0;
};

// Stamps the record of a stream: each chunk fed is modified in place where it holds the
// record's digits ("00000000") and the byte after them (0), then taken into the CRC.
class RecordStampStream {
  public:
    void feed(std::span<unsigned char> chunk);
    // After the last chunk: status Stamped (crc set; the digits to write at digitsOffset),
    // TooShort, NoRecord or RecordCutOff, as StampCrcRecord gives them.
    struct Result {
        CrcStampStatus status = CrcStampStatus::NoRecord;
        std::uint32_t crc = 0;
        std::uint64_t digitsOffset = 0;
        bool terminator = false;  // a byte follows the digits and becomes 0
    };
    Result finish() const;

  private:
    MarkerSearch search_;
    std::uint64_t offset_ = 0;  // of the next chunk
    std::uint32_t crc_ = 0;
};

}  // namespace qm7x::integrity
