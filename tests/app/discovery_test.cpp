// The search for carriers on simulated benches: which resources are listed, how, in which order.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <string>

#include "program_fixture.h"
#include "qm7x/app/instruments.h"

namespace qm7x::test {
namespace {

using app::FindVISAinstruments;
using app::Instruments;

// Every kind of resource a bench can hold, in search order.
constexpr const char* kMixedBench = R"(
resources:
  - {name: "VXI0::8::INSTR", interface: vxi, manufacturer_id: 0xE76, model_code: 0x10D,
     slot: 5, mainframe_la: 1, logical_address: 8}
  - {name: "VXI0::1::INSTR", interface: vxi, manufacturer_id: 0xE76, model_code: 0x10D,
     slot: 0, mainframe_la: 1, logical_address: 1}
  - {name: "GPIB-VXI0::16::INSTR", interface: gpib-vxi, manufacturer_id: 0xE76,
     model_code: 0xF155, slot: 6, mainframe_la: 0x1F, logical_address: 16}
  - {name: "VXI0::24::INSTR", interface: vxi, manufacturer_id: 0xE76, model_code: 0x177,
     slot: 12, mainframe_la: 2, logical_address: 24}
  - {name: "VXI0::32::INSTR", interface: vxi, manufacturer_id: 0xFFF, model_code: 0x10D,
     slot: 8, mainframe_la: 1, logical_address: 32}
  - {name: "VXI0::40::INSTR", interface: vxi, manufacturer_id: 0xE76, model_code: 0x10D,
     slot: 13, mainframe_la: 1, logical_address: 40}
  - {name: "VXI0::48::INSTR", interface: vxi, manufacturer_id: 0xE76, model_code: 0x123,
     slot: 9, mainframe_la: 1, logical_address: 48}
  - {name: "VXI0::56::INSTR", interface: vxi, manufacturer_id: 0xE76, model_code: 0x10D,
     slot: 0xFFFF, mainframe_la: 1, logical_address: 56}
  - {name: "TCPIP0::192.0.2.10::inst0::INSTR", interface: tcpip, address: 192.0.2.10,
     idn: "ARKOMETRIX,TRHOLDR,1021,3.1"}
  - {name: "USB0::0x0E76::0x1004::1234::INSTR", interface: usb, idn: "ARKOMETRIX,TRHOLDR,1234"}
  - {name: "TCPIP0::192.0.2.20::inst0::INSTR", interface: tcpip, address: 192.0.2.20,
     idn: "OTHERMAKER,DMM-7510,04455,1.7.0"}
  - {name: "TCPIP0::192.0.2.30::inst0::INSTR", interface: tcpip, address: 192.0.2.30}
  - {name: "GPIB0::22::INSTR", interface: gpib, idn: "ARKOMETRIX,TRHOLDR,2222,1.0"}
  - {name: "ASRL1::INSTR", interface: asrl}
  - {name: "PXI0::3-4.0::INSTR", interface: pxi, manufacturer_id: 0xE76, model_code: 0x10D,
     slot: 4}
)";

struct Expected {
    std::string rsrcName;
    std::string descr;
    unsigned modelCode;
    unsigned slot;
    unsigned mainframeLA;
    unsigned logicalAddr;
    unsigned intfType;
    std::string serial;
    std::string firmware;
};

void expectRecord(const app::InstrRecord& r, const Expected& e) {
    SCOPED_TRACE(e.rsrcName);
    EXPECT_EQ(std::string(r.rsrcName), e.rsrcName);
    EXPECT_EQ(std::string(r.descr), e.descr);
    EXPECT_EQ(r.modelCode, e.modelCode);
    EXPECT_EQ(r.slot, e.slot);
    EXPECT_EQ(r.mainframeLA, e.mainframeLA);
    EXPECT_EQ(r.logicalAddr, e.logicalAddr);
    EXPECT_EQ(r.intfType, e.intfType);
    EXPECT_EQ(std::string(r.serial), e.serial);
    EXPECT_EQ(std::string(r.firmware), e.firmware);
    EXPECT_EQ(r.session, 0U);
}

std::size_t recordsInUse() {
    std::size_t used = 0;
    for (const auto& record : Instruments) {
        used += record.modelCode != 0;
    }
    return used;
}

class DiscoveryTest : public ::testing::Test {
  protected:
    ScratchDir scratch;
};

TEST_F(DiscoveryTest, ListsOurCarriersInSearchOrder) {
    UseBench(scratch, kMixedBench);
    ASSERT_EQ(FindVISAinstruments(), 5);
    const Expected expected[] = {
        {"VXI0::8::INSTR", "Н.М.  Л.А.крейта:0x01, слот:5\n(VXI0::8::INSTR)", 0x10D, 5, 1, 8,
         VI_INTF_VXI, "", ""},
        // Model code bits above the low 12 do not count.
        {"GPIB-VXI0::16::INSTR", "Н.М.У.  Л.А.крейта:0x1F, слот:6\n(GPIB-VXI0::16::INSTR)", 0x155,
         6, 0x1F, 16, VI_INTF_GPIB_VXI, "", ""},
        {"VXI0::24::INSTR", "Н.М.М.  Л.А.крейта:0x02, слот:12\n(VXI0::24::INSTR)", 0x177, 12, 2, 24,
         VI_INTF_VXI, "", ""},
        {"TCPIP0::192.0.2.10::inst0::INSTR", "Vektrum, LXI (192.0.2.10, №:1021)", 0x1004, 255, 0, 0,
         VI_INTF_TCPIP, "1021", "3.1"},
        {"USB0::0x0E76::0x1004::1234::INSTR", "Vektrum, USB (№:1234)", 0x1004, 255, 0, 0,
         VI_INTF_USB, "1234", "n/a"},
    };
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        expectRecord(Instruments[i], expected[i]);
    }
    EXPECT_EQ(recordsInUse(), std::size(expected)) << "nothing else is listed";
}

TEST_F(DiscoveryTest, ACarrierInSlotZeroIsNotKept) {
    UseBench(scratch, R"(
resources:
  - {name: "VXI0::0::INSTR", interface: vxi, manufacturer_id: 0xE76, model_code: 0x10D,
     slot: 0, mainframe_la: 0, logical_address: 0}
)");
    EXPECT_EQ(FindVISAinstruments(), 0);
    EXPECT_EQ(recordsInUse(), 0U);
}

// A fault injected into one VISA operation, and what the search returns then.
struct FaultCase {
    const char* name;
    const char* fault;
    int result;
};

std::string faultCaseName(const ::testing::TestParamInfo<FaultCase>& info) {
    return info.param.name;
}

// A failure of the search itself is returned, and nothing is kept, not even the carriers
// described before a failing viFindNext.
class SearchFault : public DiscoveryTest, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(SearchFault, IsReturnedAndNothingIsKept) {
    UseBench(scratch, std::string(kMixedBench) + "faults: [" + GetParam().fault + "]\n");
    EXPECT_EQ(FindVISAinstruments(), GetParam().result);
    EXPECT_EQ(recordsInUse(), 0U);
}

INSTANTIATE_TEST_SUITE_P(
    Operations, SearchFault,
    ::testing::Values(
        FaultCase{"ResourceManager", "{operation: viOpenDefaultRM, status: VI_ERROR_SYSTEM_ERROR}",
                  VI_ERROR_SYSTEM_ERROR},
        FaultCase{"Search", "{operation: viFindRsrc, status: VI_ERROR_INV_EXPR}",
                  VI_ERROR_INV_EXPR},
        FaultCase{"FirstNext", "{operation: viFindNext, status: VI_ERROR_IO, call: 1}",
                  VI_ERROR_IO},
        FaultCase{"NextAfterCarriers", "{operation: viFindNext, status: VI_ERROR_IO, call: 3}",
                  VI_ERROR_IO},
        FaultCase{"LastNext", "{operation: viFindNext, status: VI_ERROR_IO, call: 14}",
                  VI_ERROR_IO}),
    faultCaseName);

// A resource that cannot be opened or does not answer is skipped; the others are still found.
class ResourceFault : public DiscoveryTest, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(ResourceFault, SkipsOnlyThatResource) {
    UseBench(scratch, std::string(kMixedBench) + "faults: [" + GetParam().fault + "]\n");
    EXPECT_EQ(FindVISAinstruments(), GetParam().result);
}

INSTANTIATE_TEST_SUITE_P(
    Operations, ResourceFault,
    ::testing::Values(
        // The first resource (a listed VXI carrier) cannot be opened.
        FaultCase{"OpenFails", "{operation: viOpen, status: VI_ERROR_RSRC_NFOUND, call: 1}", 4},
        // Opening with a warning does not count as opened either.
        FaultCase{"OpenWarns", "{operation: viOpen, status: VI_WARN_UNKNOWN_STATUS, call: 1}", 4},
        // The LXI box does not answer (the first identification query of the search).
        FaultCase{"NoAnswer", "{operation: viQueryf, status: VI_ERROR_TMO, call: 1}", 4}),
    faultCaseName);

TEST_F(DiscoveryTest, ABoxHeldByAnotherApplicationIsSkipped) {
    UseBench(scratch, R"(
resources:
  - {name: "USB0::0x0E76::0x1004::5555::INSTR", interface: usb, locked_elsewhere: true,
     idn: "ARKOMETRIX,TRHOLDR,5555,1.0"}
  - {name: "USB0::0x0E76::0x1004::6666::INSTR", interface: usb, idn: "ARKOMETRIX,TRHOLDR,6666,1.0"}
)");
    ASSERT_EQ(FindVISAinstruments(), 1);
    EXPECT_STREQ(Instruments[0].descr, "Vektrum, USB (№:6666)");
}

TEST_F(DiscoveryTest, ABenchWithoutResourcesFindsNothing) {
    UseBench(scratch, "resources: []\n");
    EXPECT_EQ(FindVISAinstruments(), VI_ERROR_RSRC_NFOUND);
}

TEST_F(DiscoveryTest, WithoutAVisaLibraryTheSearchFails) {
    UseNoVisa(scratch);
    EXPECT_EQ(FindVISAinstruments(), VI_ERROR_LIBRARY_NFOUND);
    EXPECT_EQ(recordsInUse(), 0U);
}

#ifdef QM7X_COUNTING_VISA
// Whatever happens during the search, it closes every VISA object it opened.
class OpenObjects : public DiscoveryTest, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(OpenObjects, AreAllClosedAfterTheSearch) {
    UseBench(scratch, std::string(kMixedBench) + "faults: [" + GetParam().fault + "]\n");
    ::setenv("QM7X_VISA_LIBRARY", QM7X_COUNTING_VISA, 1);
    EXPECT_EQ(FindVISAinstruments(), GetParam().result);

    void* library = dlopen(QM7X_COUNTING_VISA, RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(library, nullptr) << "the search did not use the counting library";
    auto openObjects = reinterpret_cast<int (*)()>(dlsym(library, "qm7x_test_open_objects"));
    ASSERT_NE(openObjects, nullptr);
    EXPECT_EQ(openObjects(), 0);
    dlclose(library);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, OpenObjects,
    ::testing::Values(
        FaultCase{"None", "", 5},
        FaultCase{"Search", "{operation: viFindRsrc, status: VI_ERROR_INV_EXPR}",
                  VI_ERROR_INV_EXPR},
        FaultCase{"NextAfterCarriers", "{operation: viFindNext, status: VI_ERROR_IO, call: 3}",
                  VI_ERROR_IO},
        FaultCase{"OpenWarns", "{operation: viOpen, status: VI_WARN_UNKNOWN_STATUS, call: 1}", 4},
        FaultCase{"NoAnswer", "{operation: viQueryf, status: VI_ERROR_TMO, call: 1}", 4},
        FaultCase{"AttributeFails", "{operation: viGetAttribute, status: VI_ERROR_IO, call: 2}",
                  4}),
    faultCaseName);
#endif

}  // namespace
}  // namespace qm7x::test
