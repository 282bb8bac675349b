// Reading the serial number and firmware out of a Vektrum box's identification reply.
#include <gtest/gtest.h>

#include <string>

#include "qm7x/app/fixed_text.h"
#include "qm7x/app/vektrum_idn.h"

using qm7x::app::ParseVektrumIdn;

namespace {

struct IdnCase {
    std::string reply;
    std::string serial;
    std::string firmware;
};

}  // namespace

TEST(VektrumIdn, FieldsOfOurReplies) {
    const std::string longSerial(40, 'S');
    const std::string longFirmware(40, 'F');
    const std::string serial31(31, 's');
    const IdnCase cases[] = {
        {"ARKOMETRIX,TRHOLDR,1234,2.0", "1234", "2.0"},
        {"ARKOMETRIX,TRHOLDR,1234,2.0\n", "1234", "2.0"},
        {"ARKOMETRIX,TRHOLDR,1234,2.0,extra", "1234", "2.0"},
        {"ARKOMETRIX,TRHOLDR,1234", "1234", "n/a"},
        {"ARKOMETRIX,TRHOLDR,1234\r\n", "1234", "n/a"},
        {"ARKOMETRIX,TRHOLDR,1234,", "1234", ""},
        {"ARKOMETRIX,TRHOLDR", "", "n/a"},
        {"ARKOMETRIX,TRHOLDR,", "", "n/a"},
        {"ARKOMETRIX,TRHOLDR,,3.1", "", "3.1"},
        // Any separator after the prefix is skipped, not only a comma.
        {"ARKOMETRIX,TRHOLDR 77,1.0", "77", "1.0"},
        // At most 31 characters of serial number; one cut short has no firmware field after it.
        {"ARKOMETRIX,TRHOLDR," + longSerial + ",9.9", std::string(31, 'S'), "n/a"},
        // At most 33 characters of firmware.
        {"ARKOMETRIX,TRHOLDR,1," + longFirmware, "1", std::string(33, 'F')},
        // A 31-character serial number puts the firmware at position 51: only the characters
        // up to the 83rd of the reply are taken (32 here).
        {"ARKOMETRIX,TRHOLDR," + serial31 + "," + longFirmware, serial31, std::string(32, 'F')},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reply);
        const auto idn = ParseVektrumIdn(c.reply);
        ASSERT_TRUE(idn.has_value());
        EXPECT_EQ(idn->serial, c.serial);
        EXPECT_EQ(idn->firmware, c.firmware);
    }
}

TEST(VektrumIdn, OtherRepliesAreNotOurs) {
    for (const char* reply : {"", "KEYSIGHT,34461A,MY1234,A.02", "ARKOMETRIX,TRHOLD",
                              "arkometrix,trholdr,1,2", " ARKOMETRIX,TRHOLDR,1,2"}) {
        SCOPED_TRACE(reply);
        EXPECT_FALSE(ParseVektrumIdn(reply).has_value());
    }
}

TEST(FixedText, CopiesWholeCharactersOnly) {
    char field[8];
    qm7x::app::CopyToField(field, "abc");
    EXPECT_STREQ(field, "abc");
    // "№" is three bytes: with 7 bytes of room "ab№№" keeps "ab№" (5 bytes), not a torn sign.
    qm7x::app::CopyToField(field, "ab№№");
    EXPECT_STREQ(field, "ab№");
    qm7x::app::CopyToField(field, "abcdefghijk");
    EXPECT_STREQ(field, "abcdefg");
}
