// The run-time loading of the VISA library: which library is taken and what calls return when it
// is missing or incomplete.
#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <string>

#include "qm7x/visa/visa.h"

namespace visa = qm7x::visa;

namespace {

void chooseLibrary(const std::string& fileName) {
    ASSERT_EQ(::setenv("QM7X_VISA_LIBRARY", fileName.c_str(), 1), 0);
}

}  // namespace

TEST(VisaLoader, MissingLibraryMakesEveryCallFail) {
    chooseLibrary("/nonexistent/libno_visa_here.so");
    ViSession rm = 7;
    ViFindList list = 0;
    ViUInt32 count = 0;
    std::array<ViChar, VI_FIND_BUFLEN> desc{};
    std::array<ViChar, 64> reply{};
    ViUInt16 value = 0;

    EXPECT_EQ(visa::viOpenDefaultRM(&rm), VI_ERROR_LIBRARY_NFOUND);
    EXPECT_EQ(visa::viFindRsrc(rm, "?*INSTR", &list, &count, desc.data()), VI_ERROR_LIBRARY_NFOUND);
    EXPECT_EQ(visa::viFindNext(list, desc.data()), VI_ERROR_LIBRARY_NFOUND);
    EXPECT_EQ(visa::viOpen(rm, "VXI0::1::INSTR", VI_NO_LOCK, 0, &rm), VI_ERROR_LIBRARY_NFOUND);
    EXPECT_EQ(visa::viGetAttribute(rm, VI_ATTR_SLOT, &value), VI_ERROR_LIBRARY_NFOUND);
    EXPECT_EQ(visa::viLock(rm, VI_EXCLUSIVE_LOCK, 2000, VI_NULL, VI_NULL), VI_ERROR_LIBRARY_NFOUND);
    EXPECT_EQ(visa::viClear(rm), VI_ERROR_LIBRARY_NFOUND);
    EXPECT_EQ(visa::viQueryf(rm, "*IDN?\n", "%t", reply), VI_ERROR_LIBRARY_NFOUND);
    EXPECT_STREQ(reply.data(), "");
    EXPECT_EQ(visa::viUnlock(rm), VI_ERROR_LIBRARY_NFOUND);
    EXPECT_EQ(visa::viClose(rm), VI_ERROR_LIBRARY_NFOUND);
    EXPECT_EQ(visa::LibraryStatus(), VI_ERROR_LIBRARY_NFOUND);
    EXPECT_EQ(visa::LibraryName(), "/nonexistent/libno_visa_here.so");
    EXPECT_EQ(visa::LibraryLoadError(),
              "/nonexistent/libno_visa_here.so: cannot open shared object file: No such file or "
              "directory");
}

TEST(VisaLoader, OperationTheLibraryLacksIsNotSupported) {
    chooseLibrary(QM7X_PARTIAL_VISA);
    ViSession rm = 0;
    EXPECT_EQ(visa::viOpenDefaultRM(&rm), VI_SUCCESS);
    EXPECT_EQ(rm, 42U);
    EXPECT_EQ(visa::viClose(rm), VI_ERROR_NSUP_OPER);
    EXPECT_EQ(visa::viClear(rm), VI_ERROR_NSUP_OPER);
    EXPECT_EQ(visa::LibraryStatus(), VI_SUCCESS);
    EXPECT_EQ(visa::LibraryLoadError(), "");
}

TEST(VisaLoader, TextQueryIsCutToTheBufferAndTerminated) {
    chooseLibrary(QM7X_PARTIAL_VISA);
    std::array<ViChar, 24> small{};
    small.fill('x');
    EXPECT_EQ(visa::viQueryf(1, "*IDN?\n", "%t", small), VI_SUCCESS);
    EXPECT_STREQ(small.data(), "ARKOMETRIX,TRHOLDR,0123");

    std::array<ViChar, 256> large{};
    EXPECT_EQ(visa::viQueryf(1, "*IDN?\n", "%t", large), VI_SUCCESS);
    EXPECT_STREQ(large.data(), "ARKOMETRIX,TRHOLDR,0123456789,ABCDEFGHIJ\n");
}

TEST(VisaLoader, OnlyTheTextReadFormatIsAccepted) {
    chooseLibrary(QM7X_PARTIAL_VISA);
    std::array<ViChar, 16> reply{};
    EXPECT_EQ(visa::viQueryf(1, "*IDN?\n", "%s", reply), VI_ERROR_INV_FMT);
    EXPECT_EQ(visa::viQueryf(1, "*IDN?\n", "%t", std::span<ViChar>{}), VI_ERROR_INV_FMT);
}

#ifdef QM7X_SIM_VISA
TEST(VisaLoader, LoadsTheSimulatedBenchLibrary) {
    chooseLibrary(QM7X_SIM_VISA);
    ViSession rm = 0;
    ASSERT_EQ(visa::viOpenDefaultRM(&rm), VI_SUCCESS);
    EXPECT_NE(rm, 0U);
    EXPECT_EQ(visa::viClose(rm), VI_SUCCESS);
    EXPECT_EQ(visa::LibraryName(), QM7X_SIM_VISA);
}
#endif

TEST(VisaLoader, WithoutAChoiceThePlatformLibraryIsTaken) {
    ASSERT_EQ(::unsetenv("QM7X_VISA_LIBRARY"), 0);
    const ViStatus status = visa::LibraryStatus();
    const std::string name = visa::LibraryName();
    if (status == VI_SUCCESS) {
        EXPECT_TRUE(name == "libvisa.so.0" || name == "libvisa.so") << name;
    } else {
        EXPECT_EQ(status, VI_ERROR_LIBRARY_NFOUND);
        EXPECT_EQ(name, "libvisa.so") << "both platform names were tried, in order";
    }
}
