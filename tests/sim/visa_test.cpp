// The simulated VISA library over the default bench: search, attributes, *IDN?, locks, handles.
#include <string>
#include <vector>

#include "bench_fixture.h"
#include "status.h"
#include "visa_functions.h"

namespace qm7x::sim::test {
namespace {

class Visa : public BenchTest {
  protected:
    void SetUp() override {
        BenchTest::SetUp();
        loadDefaultBench();
        ASSERT_EQ(viOpenDefaultRM(&rm_), VI_SUCCESS);
    }
    void TearDown() override {
        viClose(rm_);
        BenchTest::TearDown();
    }

    std::vector<std::string> find(const char* expression, ViStatus& status) {
        std::vector<std::string> names;
        ViFindList list = VI_NULL;
        ViUInt32 count = 0;
        char desc[VI_FIND_BUFLEN] = {};
        status = viFindRsrc(rm_, expression, &list, &count, desc);
        if (status != VI_SUCCESS) {
            return names;
        }
        names.emplace_back(desc);
        while (viFindNext(list, desc) == VI_SUCCESS) {
            names.emplace_back(desc);
        }
        EXPECT_EQ(names.size(), count);
        EXPECT_EQ(viFindNext(list, desc), VI_ERROR_RSRC_NFOUND);
        EXPECT_EQ(viClose(list), VI_SUCCESS);
        return names;
    }

    ViSession open(const char* name) {
        ViSession vi = VI_NULL;
        EXPECT_EQ(viOpen(rm_, name, VI_NO_LOCK, 0, &vi), VI_SUCCESS) << name;
        return vi;
    }

    ViSession rm_ = VI_NULL;
};

TEST_F(Visa, SearchReturnsTheMatchesInBenchOrderWithTheirCount) {
    ViStatus status = VI_SUCCESS;
    const auto all = find("?*INSTR", status);
    ASSERT_EQ(status, VI_SUCCESS);
    const std::vector<std::string> expected{"VXI0::0::INSTR",
                                            "VXI0::8::INSTR",
                                            "VXI0::16::INSTR",
                                            "VXI0::24::INSTR",
                                            "VXI0::32::INSTR",
                                            "TCPIP0::192.0.2.10::inst0::INSTR",
                                            "USB0::0x0E76::0x1004::1234::INSTR",
                                            "TCPIP0::192.0.2.20::inst0::INSTR",
                                            "GPIB0::4::INSTR",
                                            "GPIB0::22::INSTR",
                                            "ASRL1::INSTR",
                                            "PXI0::3-4.0::INSTR"};
    EXPECT_EQ(all, expected);

    struct Case {
        const char* expression;
        std::size_t count;
        ViStatus status;
    };
    const Case cases[] = {
        {"?*instr", expected.size(), VI_SUCCESS},  // VISA matches without regard to case
        {"VXI?*INSTR", 5, VI_SUCCESS},
        {"(TCPIP|USB)?*INSTR", 3, VI_SUCCESS},
        {"VXI0::[0-9]::INSTR", 2, VI_SUCCESS},
        {"?*", expected.size(), VI_SUCCESS},
        {"GPIB-VXI?*INSTR", 0, VI_ERROR_RSRC_NFOUND},
        {"?*INSTR{VI_ATTR_MANF_ID==0xE76}", 0, VI_ERROR_INV_EXPR},
        {"[VXI", 0, VI_ERROR_INV_EXPR},
        {"", 0, VI_ERROR_INV_EXPR},
        {"[^v]?*INSTR", 7, VI_SUCCESS},
        {"VXI0::(8|16)::INSTR", 2, VI_SUCCESS},
        {"VXI0::1+6::INSTR", 1, VI_SUCCESS},
        {"ASRL1\\:\\:INSTR", 1, VI_SUCCESS},
        {"?**INSTR", expected.size(), VI_SUCCESS},
        {"(VXI", 0, VI_ERROR_INV_EXPR},
        {"VXI)?*", 0, VI_ERROR_INV_EXPR},
        {"*INSTR", 0, VI_ERROR_INV_EXPR},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expression);
        const auto found = find(c.expression, status);
        EXPECT_EQ(status, c.status);
        EXPECT_EQ(found.size(), c.count);
    }
}

// Nested repetitions that make a backtracking matcher run for ever end at once, and an
// expression longer than any real one is refused rather than parsed deep.
TEST_F(Visa, SearchTimeStaysLinearAndLongExpressionsAreRefused) {
    ViStatus status = VI_SUCCESS;
    EXPECT_TRUE(find("(?*)*(?*)*(?*)*(?*)*(?*)*(?*)*(?*)*(?*)*(?*)*(?*)*X", status).empty());
    EXPECT_EQ(status, VI_ERROR_RSRC_NFOUND);
    EXPECT_EQ(find("((((((((((?*))))))))))INSTR", status).size(), 12u);
    const std::string deep = std::string(100000, '(') + "?*" + std::string(100000, ')');
    EXPECT_TRUE(find(deep.c_str(), status).empty());
    EXPECT_EQ(status, VI_ERROR_INV_EXPR);
}

TEST_F(Visa, AttributesAreThoseOfTheResourceKind) {
    struct Case {
        const char* resource;
        ViAttr attribute;
        ViStatus status;
        ViUInt16 value;
    };
    const Case cases[] = {
        {"VXI0::8::INSTR", VI_ATTR_INTF_TYPE, VI_SUCCESS, VI_INTF_VXI},
        {"VXI0::8::INSTR", VI_ATTR_SLOT, VI_SUCCESS, 5},
        {"VXI0::8::INSTR", VI_ATTR_MANF_ID, VI_SUCCESS, 0xE76},
        {"VXI0::8::INSTR", VI_ATTR_MAINFRAME_LA, VI_SUCCESS, 1},
        {"VXI0::8::INSTR", VI_ATTR_VXI_LA, VI_SUCCESS, 8},
        {"VXI0::8::INSTR", VI_ATTR_MODEL_CODE, VI_SUCCESS, 0x10D},
        {"VXI0::16::INSTR", VI_ATTR_MODEL_CODE, VI_SUCCESS, 0xF155},
        {"VXI0::0::INSTR", VI_ATTR_SLOT, VI_SUCCESS, 0},
        {"VXI0::32::INSTR", VI_ATTR_MANF_ID, VI_SUCCESS, 0xFFF},
        {"TCPIP0::192.0.2.10::inst0::INSTR", VI_ATTR_INTF_TYPE, VI_SUCCESS, VI_INTF_TCPIP},
        {"TCPIP0::192.0.2.10::inst0::INSTR", VI_ATTR_SLOT, VI_ERROR_NSUP_ATTR, 0},
        {"USB0::0x0E76::0x1004::1234::INSTR", VI_ATTR_INTF_TYPE, VI_SUCCESS, VI_INTF_USB},
        {"USB0::0x0E76::0x1004::1234::INSTR", VI_ATTR_MAINFRAME_LA, VI_ERROR_NSUP_ATTR, 0},
        {"ASRL1::INSTR", VI_ATTR_INTF_TYPE, VI_SUCCESS, VI_INTF_ASRL},
        {"ASRL1::INSTR", VI_ATTR_MANF_ID, VI_ERROR_NSUP_ATTR, 0},
        {"PXI0::3-4.0::INSTR", VI_ATTR_INTF_TYPE, VI_SUCCESS, VI_INTF_PXI},
        {"VXI0::8::INSTR", VI_ATTR_TCPIP_ADDR, VI_ERROR_NSUP_ATTR, 0},
        {"VXI0::8::INSTR", 0x3FFF0001, VI_ERROR_NSUP_ATTR, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.resource) + " " + std::to_string(c.attribute));
        const ViSession vi = open(c.resource);
        // Only two bytes are written: the rest of the buffer keeps its pattern.
        ViUInt16 value[2] = {0xAAAA, 0xAAAA};
        EXPECT_EQ(viGetAttribute(vi, c.attribute, value), c.status);
        if (c.status == VI_SUCCESS) {
            EXPECT_EQ(value[0], c.value);
        }
        EXPECT_EQ(value[1], 0xAAAA);
        viClose(vi);
    }
    char address[256] = {};
    const ViSession lan = open("tcpip0::192.0.2.10::INST0::instr");  // names without case
    EXPECT_EQ(viGetAttribute(lan, VI_ATTR_TCPIP_ADDR, address), VI_SUCCESS);
    EXPECT_STREQ(address, "192.0.2.10");
    ViUInt16 type = 0;
    EXPECT_EQ(viGetAttribute(rm_, VI_ATTR_INTF_TYPE, &type), VI_ERROR_NSUP_ATTR);
}

TEST_F(Visa, IdentificationQueryAnswersWithTheInstrumentsOwnReply) {
    struct Case {
        const char* resource;
        ViStatus status;
        const char* reply;
    };
    const Case cases[] = {
        {"USB0::0x0E76::0x1004::1234::INSTR", VI_SUCCESS, "ARKOMETRIX,TRHOLDR,1234,2.0"},
        {"TCPIP0::192.0.2.10::inst0::INSTR", VI_SUCCESS, "ARKOMETRIX,TRHOLDR,1021,3.1"},
        {"TCPIP0::192.0.2.20::inst0::INSTR", VI_SUCCESS, "OTHERMAKER,DMM-7510,04455,1.7.0"},
        {"ASRL1::INSTR", VI_ERROR_TMO, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.resource);
        const ViSession vi = open(c.resource);
        char reply[256] = {};
        EXPECT_EQ(viClear(vi), VI_SUCCESS);
        EXPECT_EQ(viQueryf(vi, "*IDN?\n", "%t", reply), c.status);
        EXPECT_STREQ(reply, c.reply);
        viClose(vi);
    }
    const ViSession usb = open("USB0::0x0E76::0x1004::1234::INSTR");
    char small[8] = {};
    ViInt32 count = sizeof small;
    EXPECT_EQ(viQueryf(usb, "*IDN?\n", "%#t", &count, small), VI_SUCCESS);
    EXPECT_STREQ(small, "ARKOMET");
    EXPECT_EQ(count, 7);
    char reply[64] = {};
    EXPECT_EQ(viQueryf(usb, "%s\n", "%t", "*IDN?", reply), VI_SUCCESS);
    EXPECT_STREQ(reply, "ARKOMETRIX,TRHOLDR,1234,2.0");
    EXPECT_EQ(viQueryf(usb, "MEAS:VOLT?\n", "%t", reply), VI_ERROR_TMO);
    EXPECT_EQ(viQueryf(usb, "*IDN?\n", "%d", reply), VI_ERROR_INV_FMT);
}

TEST_F(Visa, ExclusiveLockKeepsOtherSessionsOutUntilReleased) {
    const char* box = "USB0::0x0E76::0x1004::1234::INSTR";
    const ViSession first = open(box);
    const ViSession second = open(box);
    char key[256] = {};
    ASSERT_EQ(viLock(first, VI_EXCLUSIVE_LOCK, 2000, nullptr, key), VI_SUCCESS);
    EXPECT_EQ(viLock(second, VI_EXCLUSIVE_LOCK, 20, nullptr, key), VI_ERROR_TMO);
    EXPECT_EQ(viClear(second), VI_ERROR_RSRC_LOCKED);
    char reply[64] = {};
    EXPECT_EQ(viQueryf(second, "*IDN?\n", "%t", reply), VI_ERROR_RSRC_LOCKED);
    EXPECT_EQ(viQueryf(first, "*IDN?\n", "%t", reply), VI_SUCCESS);
    EXPECT_EQ(viUnlock(second), kErrorSessionNotLocked);
    EXPECT_EQ(viUnlock(first), VI_SUCCESS);
    EXPECT_EQ(viLock(second, VI_EXCLUSIVE_LOCK, 20, nullptr, key), VI_SUCCESS);
    // Closing the holder releases its lock.
    EXPECT_EQ(viClose(second), VI_SUCCESS);
    EXPECT_EQ(viLock(first, VI_EXCLUSIVE_LOCK, 20, nullptr, key), VI_SUCCESS);
    EXPECT_EQ(viLock(first, VI_SHARED_LOCK, 20, nullptr, key), VI_ERROR_INV_LOCK_TYPE);
}

TEST_F(Visa, HandlesAreCheckedAndClosingTheManagerClosesItsSessions) {
    ViSession vi = VI_NULL;
    EXPECT_EQ(viOpen(rm_, "VXI0::99::INSTR", VI_NO_LOCK, 0, &vi), VI_ERROR_RSRC_NFOUND);
    EXPECT_EQ(viOpen(rm_, "no name", VI_NO_LOCK, 0, &vi), VI_ERROR_INV_RSRC_NAME);
    EXPECT_EQ(viOpen(rm_ + 1000, "VXI0::8::INSTR", VI_NO_LOCK, 0, &vi), VI_ERROR_INV_OBJECT);
    const ViSession carrier = open("VXI0::8::INSTR");
    // A session is not a resource manager, and a resource manager is not a session.
    EXPECT_EQ(viOpen(carrier, "VXI0::8::INSTR", VI_NO_LOCK, 0, &vi), VI_ERROR_INV_OBJECT);
    EXPECT_EQ(viLock(rm_, VI_EXCLUSIVE_LOCK, 0, nullptr, nullptr), VI_ERROR_INV_OBJECT);
    EXPECT_EQ(viClose(rm_), VI_SUCCESS);
    ViUInt16 type = 0;
    EXPECT_EQ(viGetAttribute(carrier, VI_ATTR_INTF_TYPE, &type), VI_ERROR_INV_OBJECT);
    EXPECT_EQ(viClose(carrier), VI_ERROR_INV_OBJECT);
    EXPECT_EQ(viClose(VI_NULL), kWarnNullObject);
    rm_ = VI_NULL;
}

TEST_F(Visa, FaultsAndOtherApplicationsLocksReachTheSearch) {
    loadBench(R"(resources:
  - {name: "USB0::1::INSTR", interface: usb, idn: "ARKOMETRIX,TRHOLDR,1,1", locked_elsewhere: true}
  - {name: "USB0::2::INSTR", interface: usb, idn: "ARKOMETRIX,TRHOLDR,2,1"}
faults:
  - {operation: viOpen, status: VI_ERROR_RSRC_LOCKED, call: 2}
  - {operation: viFindNext, status: VI_ERROR_IO}
)");
    ASSERT_EQ(viOpenDefaultRM(&rm_), VI_SUCCESS);
    ViFindList list = VI_NULL;
    ViUInt32 count = 0;
    char desc[VI_FIND_BUFLEN] = {};
    ASSERT_EQ(viFindRsrc(rm_, "?*INSTR", &list, &count, desc), VI_SUCCESS);
    EXPECT_EQ(count, 2u);
    EXPECT_EQ(viFindNext(list, desc), VI_ERROR_IO);

    ViSession held = VI_NULL, second = VI_NULL;
    ASSERT_EQ(viOpen(rm_, "USB0::1::INSTR", VI_NO_LOCK, 0, &held), VI_SUCCESS);
    char key[256] = {};
    EXPECT_EQ(viLock(held, VI_EXCLUSIVE_LOCK, 10, nullptr, key), VI_ERROR_TMO);
    EXPECT_EQ(viClear(held), VI_ERROR_RSRC_LOCKED);
    EXPECT_EQ(viOpen(rm_, "USB0::2::INSTR", VI_NO_LOCK, 0, &second), VI_ERROR_RSRC_LOCKED);
    EXPECT_EQ(viOpen(rm_, "USB0::2::INSTR", VI_NO_LOCK, 0, &second), VI_SUCCESS);
}

}  // namespace
}  // namespace qm7x::sim::test
