#include "record_stream.h"

#include <zlib.h>

#include <algorithm>
#include <functional>

#include "record_chars.h"

namespace qm7x::integrity {
namespace {

std::uint32_t Continue(std::uint32_t crc, std::span<const unsigned char> bytes) {
    return Crc32Continue(crc, bytes);
}

std::uint32_t Continue(std::uint32_t crc, unsigned char byte) {
    return Crc32Continue(crc, std::span<const unsigned char>(&byte, 1));
}

// The CRC register after `length` more bytes, as a difference of two CRCs over messages that
// agree from here on: crc(A1 B) xor crc(A2 B) = crc32_combine(crc(A1) xor crc(A2), 0, |B|).
std::uint32_t Shift(std::uint32_t difference, std::size_t length) {
    while (length > 0) {
        const std::size_t chunk = std::min<std::size_t>(length, 1u << 30);
        difference =
            static_cast<std::uint32_t>(crc32_combine(difference, 0, static_cast<z_off_t>(chunk)));
        length -= chunk;
    }
    return difference;
}

}  // namespace

// zlib's CRC-32 continued over a block of any size (its length type has 32 bits).
std::uint32_t Crc32Continue(std::uint32_t crc, std::span<const unsigned char> bytes) {
    uLong value = crc;
    while (!bytes.empty()) {
        const std::size_t chunk = std::min<std::size_t>(bytes.size(), 1u << 30);
        value = crc32(value, bytes.data(), static_cast<uInt>(chunk));
        bytes = bytes.subspan(chunk);
    }
    return static_cast<std::uint32_t>(value);
}

std::optional<std::size_t> MarkerSearch::feed(std::span<const unsigned char> chunk) {
    if (found_) {
        offset_ += chunk.size();
        return std::nullopt;
    }
    const std::string& marker = CrcRecordMarker();
    // An occurrence that starts in the carried bytes and ends in this chunk.
    if (!carry_.empty()) {
        std::string joined = carry_;
        joined.append(chunk.begin(), chunk.begin() + static_cast<std::ptrdiff_t>(std::min(
                                                         chunk.size(), marker.size() - 1)));
        if (const std::size_t at = joined.find(marker); at != std::string::npos) {
            found_ = offset_ - carry_.size() + at;
            const std::size_t end = at + marker.size() - carry_.size();
            offset_ += chunk.size();
            carry_.clear();
            return end;
        }
    }
    const auto* first = reinterpret_cast<const unsigned char*>(marker.data());
    const auto at = std::search(chunk.begin(), chunk.end(),
                                std::boyer_moore_horspool_searcher(first, first + marker.size()));
    if (at != chunk.end()) {
        const auto index = static_cast<std::size_t>(at - chunk.begin());
        found_ = offset_ + index;
        offset_ += chunk.size();
        carry_.clear();
        return index + marker.size();
    }
    // Keep the last bytes that could begin an occurrence ending in the next chunk.
    const std::size_t keep = marker.size() - 1;
    if (chunk.size() >= keep) {
        carry_.assign(chunk.end() - static_cast<std::ptrdiff_t>(keep), chunk.end());
    } else {
        carry_.append(chunk.begin(), chunk.end());
        carry_.erase(0, carry_.size() > keep ? carry_.size() - keep : 0);
    }
    offset_ += chunk.size();
    return std::nullopt;
}

void RecordCheckStream::feed(std::span<const unsigned char> chunk) {
    if (parse_ == Parse::search) {
        const std::optional<std::size_t> text = search_.feed(chunk);
        if (!text) {
            fileCrc_ = Continue(fileCrc_, chunk);
            return;
        }
        // Up to the record's text both CRCs are the same.
        fileCrc_ = Continue(fileCrc_, chunk.first(*text));
        computedCrc_ = fileCrc_;
        parse_ = Parse::space;
        chunk = chunk.subspan(*text);
    }
    while (!tail_ && !chunk.empty()) {
        fileCrc_ = Continue(fileCrc_, chunk.front());
        textSeen_ = true;
        parseByte(chunk.front());
        chunk = chunk.subspan(1);
    }
    if (tail_ && !chunk.empty()) {
        fileCrc_ = Continue(fileCrc_, chunk);
        tailDifference_ = Shift(tailDifference_, chunk.size());
    }
}

void RecordCheckStream::computed(unsigned char c) {
    computedCrc_ = Continue(computedCrc_, c);
}

void RecordCheckStream::pend(unsigned char c) {
    if (!pending_) {
        pendingConsumed_ = computedCrc_;
        pendingKept_ = computedCrc_;
        pending_ = true;
    }
    pendingConsumed_ = Continue(pendingConsumed_, static_cast<unsigned char>('0'));
    pendingKept_ = Continue(pendingKept_, c);
}

void RecordCheckStream::settle(bool consumed) {
    if (pending_) {
        computedCrc_ = consumed ? pendingConsumed_ : pendingKept_;
        pending_ = false;
    }
}

void RecordCheckStream::digit(int value) {
    computed('0');
    anyDigit_ = true;
    if (!overflow_) {
        value_ = value_ * 16 + static_cast<std::uint64_t>(value);
        overflow_ = value_ > 0xFFFFFFFFu;
    }
}

void RecordCheckStream::parseByte(unsigned char c) {
    const int value = HexDigitValue(c);
    const auto end = [&] {
        settle(false);
        computed(c);
        parse_ = Parse::done;
        tail_ = true;
        tailDifference_ = fileCrc_ ^ computedCrc_;
    };
    switch (parse_) {
        case Parse::space:
            if (IsCSpace(c)) {
                pend(c);
                return;
            }
            if (c == '+' || c == '-') {
                negative_ = c == '-';
                pend(c);
                parse_ = Parse::sign;
                return;
            }
            [[fallthrough]];
        case Parse::sign:
            if (value < 0) {
                end();
                return;
            }
            settle(true);
            digit(value);
            parse_ = c == '0' ? Parse::zero : Parse::digits;
            return;
        case Parse::zero:
            if (c == 'x' || c == 'X') {
                pend(c);  // "0x" is a prefix only when a digit follows
                parse_ = Parse::prefixX;
                return;
            }
            [[fallthrough]];
        case Parse::prefixX:
        case Parse::digits:
            if (value < 0) {
                end();
                return;
            }
            settle(true);
            digit(value);
            parse_ = Parse::digits;
            return;
        case Parse::search:
        case Parse::done:
            return;
    }
}

RecordCheck RecordCheckStream::finish() {
    RecordCheck check;
    if (parse_ == Parse::search || !textSeen_) {
        check.status = CrcCheckStatus::NoRecord;  // no marker, or nothing after it
        check.computedCrc = fileCrc_;
        return check;
    }
    settle(false);  // the end of the file ends the number: what waited for a digit is kept
    check.computedCrc = tail_ ? fileCrc_ ^ tailDifference_ : computedCrc_;
    if (anyDigit_) {
        const auto narrow = static_cast<std::uint32_t>(value_);
        check.storedCrc = overflow_ ? 0xFFFFFFFFu : (negative_ ? 0u - narrow : narrow);
    }
    check.status =
        check.storedCrc == check.computedCrc ? CrcCheckStatus::Match : CrcCheckStatus::Mismatch;
    return check;
}

void RecordStampStream::feed(std::span<unsigned char> chunk) {
    search_.feed(chunk);
    if (const auto marker = search_.found()) {
        // The digits and the byte after them, where they fall in this chunk, as stamping
        // computes the CRC: "00000000" and a zero byte.
        const std::uint64_t digitsAt = *marker + kCrcMarkerSize;
        const std::uint64_t last = digitsAt + kCrcDigitCount;  // the zero byte
        const std::uint64_t from = std::max(digitsAt, offset_);
        const std::uint64_t to = std::min(last + 1, offset_ + chunk.size());
        for (std::uint64_t at = from; at < to; ++at) {
            chunk[static_cast<std::size_t>(at - offset_)] = at < last ? '0' : 0;
        }
    }
    crc_ = Continue(crc_, chunk);
    offset_ += chunk.size();
}

RecordStampStream::Result RecordStampStream::finish() const {
    Result result;
    const std::uint64_t size = offset_;
    const std::optional<std::uint64_t> marker = search_.found();
    if (size < kMinStampFileSize) {
        result.status = CrcStampStatus::TooShort;
    } else if (!marker || *marker + kCrcMarkerSize >= size) {
        result.status = CrcStampStatus::NoRecord;
    } else if (*marker + kCrcMarkerSize + kCrcDigitCount > size) {
        result.status = CrcStampStatus::RecordCutOff;
    } else {
        result.status = CrcStampStatus::Stamped;
        result.crc = crc_;
        result.digitsOffset = *marker + kCrcMarkerSize;
        result.terminator = result.digitsOffset + kCrcDigitCount < size;
    }
    return result;
}

}  // namespace qm7x::integrity
