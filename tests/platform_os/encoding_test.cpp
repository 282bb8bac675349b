#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "qm7x/os/encoding.h"

namespace {

using qm7x::os::FromCp1251;
using qm7x::os::ToCp1251;

struct Pair {
    std::string_view utf8;
    std::string_view cp1251;
};

// Texts of the program with their Windows-1251 bytes written out by hand from the code page table.
constexpr Pair kPairs[] = {
    {"", ""},
    {"QM7X", "QM7X"},
    {"ВстроенныйCRC32=",
     "\xC2\xF1\xF2\xF0\xEE\xE5\xED\xED\xFB\xE9"
     "CRC32="},
    {"Норма", "\xCD\xEE\xF0\xEC\xE0"},
    {"Не норма", "\xCD\xE5 \xED\xEE\xF0\xEC\xE0"},
    {"Ёжик ёлка", "\xA8\xE6\xE8\xEA \xB8\xEB\xEA\xE0"},
    {"№ 5 — «да»", "\xB9 5 \x97 \xAB\xE4\xE0\xBB"},
    {"€‰™", "\x88\x89\x99"},
    {"ЯяЪъ\n\r\t", "\xDF\xFF\xDA\xFA\n\r\t"},
    {std::string_view("a\0b", 3), std::string_view("a\0b", 3)},
};

TEST(Encoding, ConvertsBothWays) {
    for (const Pair& pair : kPairs) {
        EXPECT_EQ(ToCp1251(pair.utf8), pair.cp1251) << pair.utf8;
        EXPECT_EQ(FromCp1251(pair.cp1251), pair.utf8) << pair.utf8;
    }
}

TEST(Encoding, EveryDefinedCp1251ByteRoundTrips) {
    for (int byte = 0; byte < 256; ++byte) {
        if (byte == 0x98) {
            continue;  // the code page's one hole
        }
        const std::string one(1, static_cast<char>(byte));
        const std::string utf8 = FromCp1251(one);
        EXPECT_NE(utf8, "\xEF\xBF\xBD") << byte;
        EXPECT_EQ(ToCp1251(utf8), one) << byte;
    }
}

TEST(Encoding, ReplacesWhatCannotBeConverted) {
    struct Case {
        std::string_view utf8;
        std::string_view cp1251;
    };
    const Case cases[] = {
        {"日本", "??"},           // characters outside the code page
        {"a😀b", "a?b"},           // a four-byte character
        {"Ж\xFFЖ", "\xC6?\xC6"},  // a byte that is never UTF-8
        {"x\xD0", "x?"},          // a sequence cut off by the end
        {"\xC0\xAF", "??"},       // an overlong form
        {"\xED\xA0\x80", "???"},  // an encoded surrogate
        {"\xE2\x82y", "??y"},     // a sequence broken in the middle
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ToCp1251(c.utf8), c.cp1251) << c.utf8;
    }
    EXPECT_EQ(FromCp1251("a\x98z"), "a\xEF\xBF\xBDz");
}

TEST(Encoding, LongTextsConvertCompletely) {
    std::string utf8;
    std::string cp1251;
    for (int i = 0; i < 20000; ++i) {
        utf8 += "Пуск ";
        cp1251 += "\xCF\xF3\xF1\xEA ";
    }
    EXPECT_EQ(ToCp1251(utf8), cp1251);
    EXPECT_EQ(FromCp1251(cp1251), utf8);
}

}  // namespace
