#include "qm7x/integrity/crc_record.h"

#include <algorithm>
#include <functional>

#include "qm7x/integrity/arkomet_crc32.h"
#include "qm7x/os/encoding.h"
#include "record_chars.h"

namespace qm7x::integrity {
namespace {

void WriteHex8(std::uint32_t value, std::span<unsigned char> out) {
    constexpr char kDigits[] = "0123456789ABCDEF";
    for (std::size_t i = 0; i < kCrcDigitCount; ++i) {
        out[i] = static_cast<unsigned char>(kDigits[(value >> (28 - 4 * i)) & 0xFu]);
    }
}

}  // namespace

const std::string& CrcRecordMarker() {
    static const std::string marker = os::ToCp1251("ВстроенныйCRC32=");
    return marker;
}

std::optional<std::size_t> FindCrcRecord(std::span<const unsigned char> data) {
    const std::string& marker = CrcRecordMarker();
    const auto* first = reinterpret_cast<const unsigned char*>(marker.data());
    const std::boyer_moore_horspool_searcher searcher(first, first + marker.size());
    const auto found = std::search(data.begin(), data.end(), searcher);
    const auto offset = static_cast<std::size_t>(found - data.begin());
    // A later occurrence cannot have a byte after it either when the first one has none.
    if (found == data.end() || offset + marker.size() >= data.size()) {
        return std::nullopt;
    }
    return offset;
}

HexNumber ParseHexLikeStrtoul(std::span<const unsigned char> text) {
    std::size_t i = 0;
    while (i < text.size() && IsCSpace(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // "0x" belongs to the number only when a hexadecimal digit follows it; else "0" is the number.
    if (i + 2 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X') &&
        HexDigitValue(text[i + 2]) >= 0) {
        i += 2;
    }
    const std::size_t digitsStart = i;
    std::uint64_t value = 0;
    bool overflow = false;
    for (; i < text.size(); ++i) {
        const int digit = HexDigitValue(text[i]);
        if (digit < 0) {
            break;
        }
        if (!overflow) {
            value = value * 16 + static_cast<std::uint64_t>(digit);
            overflow = value > 0xFFFFFFFFu;
        }
    }
    if (i == digitsStart) {
        return {};
    }
    const auto narrow = static_cast<std::uint32_t>(value);
    return {overflow ? 0xFFFFFFFFu : (negative ? 0u - narrow : narrow), i};
}

RecordCheck CheckCrcRecord(std::span<unsigned char> data) {
    RecordCheck check;
    const std::optional<std::size_t> record = FindCrcRecord(data);
    if (record) {
        const std::span<unsigned char> text = data.subspan(*record + kCrcMarkerSize);
        const HexNumber stored = ParseHexLikeStrtoul(text);
        check.storedCrc = stored.value;
        std::fill_n(text.begin(), stored.consumed, static_cast<unsigned char>('0'));
    }
    check.computedCrc = Crc32(data.data(), data.size());
    if (!record) {
        check.status = CrcCheckStatus::NoRecord;
    } else {
        check.status =
            check.storedCrc == check.computedCrc ? CrcCheckStatus::Match : CrcCheckStatus::Mismatch;
    }
    return check;
}

RecordStamp StampCrcRecord(std::span<unsigned char> data) {
    RecordStamp stamp;
    if (data.size() < kMinStampFileSize) {
        stamp.status = CrcStampStatus::TooShort;
        return stamp;
    }
    const std::optional<std::size_t> record = FindCrcRecord(data);
    if (!record) {
        stamp.status = CrcStampStatus::NoRecord;
        return stamp;
    }
    const std::size_t digitsAt = *record + kCrcMarkerSize;
    // Digits cut off by the end of the file could never be read back as the stamped value.
    if (digitsAt + kCrcDigitCount > data.size()) {
        stamp.status = CrcStampStatus::RecordCutOff;
        return stamp;
    }
    const std::span<unsigned char> digits = data.subspan(digitsAt, kCrcDigitCount);
    std::fill(digits.begin(), digits.end(), static_cast<unsigned char>('0'));
    const bool hasTerminator = digitsAt + kCrcDigitCount < data.size();
    if (hasTerminator) {
        data[digitsAt + kCrcDigitCount] = 0;
    }
    stamp.crc = Crc32(data.data(), data.size());
    WriteHex8(stamp.crc, digits);
    stamp.writeBackSize = std::min(*record + kCrcRecordWriteBackSize, data.size());
    stamp.status = CrcStampStatus::Stamped;
    return stamp;
}

}  // namespace qm7x::integrity
