// The internal CRC record worked in memory: finding, parsing, checking and stamping.
#include <gtest/gtest.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <optional>
#include <random>
#include <span>
#include <string>
#include <string_view>

#include "qm7x/integrity/crc_record.h"
#include "test_support.h"

namespace qm7x::integrity {
namespace {

using test::kMarker;
using test::ReferenceCrc32;

std::span<unsigned char> Bytes(std::string& s) {
    return {reinterpret_cast<unsigned char*>(s.data()), s.size()};
}

std::string Nul() {
    return std::string(1, '\0');
}

TEST(CrcRecord, MarkerIsTheWindows1251TextOfTheRecord) {
    EXPECT_EQ(CrcRecordMarker(), kMarker);
    EXPECT_EQ(CrcRecordMarker().size(), kCrcMarkerSize);
}

TEST(CrcRecord, FindsTheFirstMarkerThatHasAByteAfterIt) {
    struct Case {
        const char* name;
        std::string data;
        std::optional<std::size_t> record;
    };
    const Case cases[] = {
        {"none", "plain bytes without a marker", std::nullopt},
        {"empty", "", std::nullopt},
        {"at start", kMarker + "0", 0},
        {"after bytes", "abc" + kMarker + "00000000" + Nul(), 3},
        {"twice", "ab" + kMarker + "1" + kMarker + "2", 2},
        {"at the very end", "abc" + kMarker, std::nullopt},
        {"cut marker", "abc" + kMarker.substr(0, 15), std::nullopt},
        {"partial then full", kMarker.substr(0, 10) + kMarker + "x", 10},
    };
    for (const Case& c : cases) {
        std::string data = c.data;
        EXPECT_EQ(FindCrcRecord(Bytes(data)), c.record) << c.name;
    }
}

// strtoul(…, 16) where unsigned long has 32 bits, derived from the C library's own strtoul.
HexNumber LibraryStrtoul(const std::string& text) {
    const char* begin = text.c_str();
    char* end = nullptr;
    errno = 0;
    const unsigned long value = std::strtoul(begin, &end, 16);
    const bool rangeError = errno == ERANGE;
    std::size_t i = 0;
    while (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')) {
        ++i;
    }
    const bool negative = text[i] == '-';
    const unsigned long magnitude = negative ? 0ul - value : value;
    HexNumber number;
    number.consumed = static_cast<std::size_t>(end - begin);
    number.value =
        rangeError || magnitude > 0xFFFFFFFFul ? 0xFFFFFFFFu : static_cast<std::uint32_t>(value);
    return number;
}

// ISO C reads "0x" without a hexadecimal digit after it as the number 0 followed by "x"; the
// Microsoft C run-time (msvcrt, which MinGW programs use) converts nothing there. The C library is
// the reference only where it reads such a text the standard way.
bool IsBareHexPrefix(std::string_view text) {
    std::size_t i = text.find_first_not_of(" \t\n\v\f\r");
    if (i == std::string_view::npos) {
        return false;
    }
    if (text[i] == '+' || text[i] == '-') {
        ++i;
    }
    const bool prefix = i + 1 < text.size() && text[i] == '0' && (text[i + 1] | 0x20) == 'x';
    return prefix &&
           (i + 2 >= text.size() || !std::isxdigit(static_cast<unsigned char>(text[i + 2])));
}

bool LibraryIsReferenceFor(std::string_view text) {
    static const bool standardBarePrefix = LibraryStrtoul("0xg").consumed == 1;
    return standardBarePrefix || !IsBareHexPrefix(text);
}

TEST(CrcRecord, ParsesHexLikeStrtoul) {
    struct Case {
        std::string text;
        std::uint32_t value;
        std::size_t consumed;
    };
    const Case cases[] = {
        {"1A2B3C4D" + Nul(), 0x1A2B3C4Du, 8},
        {"00000000" + Nul(), 0, 8},
        {"abcdef", 0xABCDEFu, 6},
        {"  \t\n1f ", 0x1Fu, 6},
        {"0x1A", 0x1Au, 4},
        {"0XfF", 0xFFu, 4},
        {"0xg", 0, 1},
        {" 0x", 0, 2},
        {"+7", 7, 2},
        {"-1", 0xFFFFFFFFu, 2},
        {"-10", 0xFFFFFFF0u, 3},
        {"- 1", 0, 0},
        {"  +", 0, 0},
        {"g1", 0, 0},
        {"", 0, 0},
        {Nul() + "12", 0, 0},
        {"FFFFFFFF", 0xFFFFFFFFu, 8},
        {"100000000", 0xFFFFFFFFu, 9},
        {"-100000000", 0xFFFFFFFFu, 10},
        {"1234ABCD5678ef90aa", 0xFFFFFFFFu, 18},
    };
    for (const Case& c : cases) {
        std::string text = c.text;
        const HexNumber number = ParseHexLikeStrtoul(Bytes(text));
        EXPECT_EQ(number.value, c.value) << '"' << c.text << '"';
        EXPECT_EQ(number.consumed, c.consumed) << '"' << c.text << '"';
        if (!LibraryIsReferenceFor(c.text)) {
            continue;
        }
        const HexNumber library = LibraryStrtoul(c.text);
        EXPECT_EQ(library.value, c.value) << "C library on \"" << c.text << '"';
        EXPECT_EQ(library.consumed, c.consumed) << "C library on \"" << c.text << '"';
    }
}

TEST(CrcRecord, ParseAgreesWithTheCLibraryOnRandomTexts) {
    const std::string alphabet = " \t\n+-0xX19aFg";
    std::mt19937 random(7);
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::uniform_int_distribution<std::size_t> length(0, 14);
    for (int round = 0; round < 20000; ++round) {
        std::string text(length(random), ' ');
        for (char& c : text) {
            c = alphabet[pick(random)];
        }
        if (!LibraryIsReferenceFor(text)) {
            continue;
        }
        const HexNumber expected = LibraryStrtoul(text);
        const HexNumber number = ParseHexLikeStrtoul(Bytes(text));
        ASSERT_EQ(number.consumed, expected.consumed) << '"' << text << '"';
        ASSERT_EQ(number.value, expected.value) << '"' << text << '"';
    }
}

// The check of a record: result, stored value, and the data as the CRC was taken over it.
TEST(CrcRecord, ChecksRecords) {
    const std::string head =
        "\x7F"
        "ELF head bytes ";
    const std::string tail = Nul() + "tail bytes of the file" + Nul();
    struct Case {
        const char* name;
        std::string data;
        CrcCheckStatus status;
        std::uint32_t stored;
        std::string zeroed;  // the data after the check
    };
    const std::string correct = test::StampedByHand(head, tail);
    const std::string placeholder = head + kMarker + "00000000" + tail;
    const Case cases[] = {
        {"correct record", correct, CrcCheckStatus::Match, ReferenceCrc32(placeholder),
         placeholder},
        {"placeholder", placeholder, CrcCheckStatus::Mismatch, 0, placeholder},
        {"no digit after the marker", head + kMarker + tail, CrcCheckStatus::Mismatch, 0,
         head + kMarker + tail},
        {"no marker", head + tail, CrcCheckStatus::NoRecord, 0, head + tail},
        {"marker at the very end", head + kMarker, CrcCheckStatus::NoRecord, 0, head + kMarker},
        {"one byte after the marker", head + kMarker + "7", CrcCheckStatus::Mismatch, 7,
         head + kMarker + "0"},
        {"more digits, no zero byte", head + kMarker + "1234ABCD5678ef" + tail,
         CrcCheckStatus::Mismatch, 0xFFFFFFFFu, head + kMarker + "00000000000000" + tail},
        {"prefix, sign and white space", head + kMarker + " \t-0x1a" + tail,
         CrcCheckStatus::Mismatch, 0xFFFFFFE6u, head + kMarker + "0000000" + tail},
        {"second marker untouched", head + kMarker + "0000000A" + tail + kMarker + "12345678",
         CrcCheckStatus::Mismatch, 0xAu, head + kMarker + "00000000" + tail + kMarker + "12345678"},
    };
    for (const Case& c : cases) {
        std::string data = c.data;
        const RecordCheck check = CheckCrcRecord(Bytes(data));
        EXPECT_EQ(check.status, c.status) << c.name;
        EXPECT_EQ(check.storedCrc, c.stored) << c.name;
        EXPECT_EQ(data, c.zeroed) << c.name;
        EXPECT_EQ(check.computedCrc, ReferenceCrc32(c.zeroed)) << c.name;
    }
}

TEST(CrcRecord, FirstOfTwoRecordsCounts) {
    // The second record is correct for the file, the first is not: the first decides.
    const std::string first = "a" + kMarker + "00000000" + Nul();
    std::string data = test::StampedByHand(first, Nul() + "b");
    EXPECT_EQ(CheckCrcRecord(Bytes(data)).status, CrcCheckStatus::Mismatch);
    std::string swapped = test::StampedByHand("a", Nul() + "b" + kMarker + "00000000" + Nul());
    EXPECT_EQ(CheckCrcRecord(Bytes(swapped)).status, CrcCheckStatus::Match);
}

TEST(CrcRecord, StampsRecords) {
    struct Case {
        const char* name;
        std::string data;
        CrcStampStatus status;
        std::size_t writeBack;
    };
    const std::string body(100, 'b');
    const Case cases[] = {
        {"record at the start", kMarker + "00000000" + Nul() + body, CrcStampStatus::Stamped, 48},
        {"record inside", body + kMarker + "XXXXXXXX" + Nul() + body, CrcStampStatus::Stamped,
         100 + 48},
        {"record near the end", body + kMarker + "00000000" + Nul() + "abc",
         CrcStampStatus::Stamped, 100 + 28},
        {"digits end the file", body + kMarker + "00000000", CrcStampStatus::Stamped, 100 + 24},
        {"digits cut off", body + kMarker + "0000000", CrcStampStatus::RecordCutOff, 0},
        {"20 bytes, cut off", kMarker + "0000", CrcStampStatus::RecordCutOff, 0},
        {"19 bytes", kMarker + "000", CrcStampStatus::TooShort, 0},
        {"empty", "", CrcStampStatus::TooShort, 0},
        {"no marker", body, CrcStampStatus::NoRecord, 0},
        {"marker at the very end", body + kMarker, CrcStampStatus::NoRecord, 0},
    };
    for (const Case& c : cases) {
        std::string data = c.data;
        const RecordStamp stamp = StampCrcRecord(Bytes(data));
        EXPECT_EQ(stamp.status, c.status) << c.name;
        EXPECT_EQ(stamp.writeBackSize, c.writeBack) << c.name;
        ASSERT_EQ(data.size(), c.data.size()) << c.name;
        if (c.status != CrcStampStatus::Stamped) {
            EXPECT_EQ(data, c.data) << c.name << ": a failed stamp changes nothing";
            continue;
        }
        const std::size_t digitsAt = data.find(kMarker) + kCrcMarkerSize;
        EXPECT_EQ(data.substr(digitsAt, 8), test::Hex8(stamp.crc)) << c.name;
        std::string copy = data;
        const RecordCheck check = CheckCrcRecord(Bytes(copy));
        EXPECT_EQ(check.status, CrcCheckStatus::Match) << c.name;
        EXPECT_EQ(check.storedCrc, stamp.crc) << c.name;
        // Only the digits and the zero byte after them may differ from the input.
        for (std::size_t i = 0; i < data.size(); ++i) {
            if (i < digitsAt || i > digitsAt + 8) {
                EXPECT_EQ(data[i], c.data[i]) << c.name << " byte " << i;
            }
        }
        if (digitsAt + 8 < data.size()) {
            EXPECT_EQ(data[digitsAt + 8], '\0') << c.name;
        }
    }
}

TEST(CrcRecord, StampingTwiceGivesTheSameBytes) {
    std::string data = "lead" + kMarker + "12345678" + Nul() + "rest of it";
    ASSERT_EQ(StampCrcRecord(Bytes(data)).status, CrcStampStatus::Stamped);
    const std::string once = data;
    ASSERT_EQ(StampCrcRecord(Bytes(data)).status, CrcStampStatus::Stamped);
    EXPECT_EQ(data, once);
}

TEST(CrcRecord, AnyChangedByteOutsideTheDigitsIsCaught) {
    std::string stamped = "0123456789" + kMarker + "00000000" + Nul() + std::string(40, 'z');
    ASSERT_EQ(StampCrcRecord(Bytes(stamped)).status, CrcStampStatus::Stamped);
    const std::size_t markerAt = 10;
    const std::size_t digitsAt = markerAt + kCrcMarkerSize;
    for (std::size_t i = 0; i < stamped.size(); ++i) {
        if (i >= digitsAt && i < digitsAt + 8) {
            continue;
        }
        for (const int flip : {0x01, 0x80, 0xFF}) {
            std::string changed = stamped;
            changed[i] = static_cast<char>(static_cast<unsigned char>(changed[i]) ^ flip);
            const CrcCheckStatus expected = i >= markerAt && i < digitsAt
                                                ? CrcCheckStatus::NoRecord  // marker broken
                                                : CrcCheckStatus::Mismatch;
            EXPECT_EQ(CheckCrcRecord(Bytes(changed)).status, expected)
                << "byte " << i << " xor " << flip;
        }
    }
}

}  // namespace
}  // namespace qm7x::integrity
