// Arbitrary bytes as a whole file for the internal CRC record: check and stamp in memory. Besides
// the sanitizers, the properties of the record are asserted on every input.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "qm7x/integrity/arkomet_crc32.h"
#include "qm7x/integrity/crc_record.h"
#include "record_stream.h"

namespace {

using namespace qm7x::integrity;

void Require(bool condition) {
    if (!condition) {
        std::abort();
    }
}

// What strtoul(…, 16) consumes of the text, the text ending at its first zero byte or its end.
std::size_t StrtoulConsumed(const std::vector<unsigned char>& data, std::size_t from) {
    const std::string text(data.begin() + static_cast<std::ptrdiff_t>(from), data.end());
    char* end = nullptr;
    std::strtoul(text.c_str(), &end, 16);
    return static_cast<std::size_t>(end - text.c_str());
}

// The file fed in blocks of `block` bytes gives what the whole file in memory gives.
void CheckStreamed(const std::vector<unsigned char>& file, std::size_t block) {
    RecordCheckStream checkStream;
    RecordStampStream stampStream;
    std::vector<unsigned char> copy = file;
    for (std::size_t at = 0; at < file.size(); at += block) {
        const std::size_t length = std::min(block, file.size() - at);
        checkStream.feed(std::span(file).subspan(at, length));
        stampStream.feed(std::span(copy).subspan(at, length));
    }
    std::vector<unsigned char> inMemory = file;
    const RecordCheck expected = CheckCrcRecord(inMemory);
    const RecordCheck streamed = checkStream.finish();
    Require(streamed.status == expected.status && streamed.storedCrc == expected.storedCrc &&
            streamed.computedCrc == expected.computedCrc);
    Require(checkStream.fileCrc() == Crc32(file.data(), file.size()));

    std::vector<unsigned char> stamped = file;
    const RecordStamp stamp = StampCrcRecord(stamped);
    const RecordStampStream::Result streamedStamp = stampStream.finish();
    Require(streamedStamp.status == stamp.status);
    if (stamp.status == CrcStampStatus::Stamped) {
        Require(streamedStamp.crc == stamp.crc);
        const std::size_t digitsAt = static_cast<std::size_t>(streamedStamp.digitsOffset);
        Require(*FindCrcRecord(file) + kCrcMarkerSize == digitsAt);
        Require(streamedStamp.terminator == (digitsAt + kCrcDigitCount < file.size()));
    }
}

void CheckProperties(const std::vector<unsigned char>& file) {
    const std::optional<std::size_t> record = FindCrcRecord(file);
    for (const std::size_t block :
         {std::size_t{1}, std::size_t{7}, std::size_t{16}, file.size() + 1}) {
        CheckStreamed(file, block);
    }

    std::vector<unsigned char> checked = file;  // exactly sized: ASan sees any overrun
    const RecordCheck check = CheckCrcRecord(checked);
    Require(checked.size() == file.size());
    Require(check.computedCrc == Crc32(checked.data(), checked.size()));
    if (!record) {
        Require(check.status == CrcCheckStatus::NoRecord && check.storedCrc == 0);
        Require(checked == file);
    } else {
        Require(check.status != CrcCheckStatus::NoRecord);
        const std::size_t digitsAt = *record + kCrcMarkerSize;
        const std::size_t consumed = StrtoulConsumed(file, digitsAt);
        for (std::size_t i = 0; i < file.size(); ++i) {
            const bool zeroed = i >= digitsAt && i < digitsAt + consumed;
            Require(checked[i] == (zeroed ? '0' : file[i]));
        }
    }

    std::vector<unsigned char> stamped = file;
    const RecordStamp stamp = StampCrcRecord(stamped);
    Require(stamped.size() == file.size());
    if (stamp.status != CrcStampStatus::Stamped) {
        Require(stamped == file);
        return;
    }
    Require(record.has_value() && stamp.writeBackSize <= file.size());
    const std::size_t digitsAt = *record + kCrcMarkerSize;
    for (std::size_t i = 0; i < file.size(); ++i) {
        if (i < digitsAt || i > digitsAt + kCrcDigitCount) {
            Require(stamped[i] == file[i]);
        }
    }
    std::vector<unsigned char> restamped = stamped;
    const RecordCheck after = CheckCrcRecord(restamped);
    Require(after.status == CrcCheckStatus::Match && after.storedCrc == stamp.crc);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<unsigned char> file(data, data + size);
    CheckProperties(file);
    // The same bytes behind a marker, so that the parse and the stamp are reached on most inputs.
    std::vector<unsigned char> withRecord(CrcRecordMarker().begin(), CrcRecordMarker().end());
    withRecord.insert(withRecord.end(), data, data + size);
    CheckProperties(withRecord);
    return 0;
}
