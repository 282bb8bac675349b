// The calibrator of the simulated bench through the VISA library: its command set and error
// queue, settling, the output really applied (within its accuracy, seeded) at the wired inputs,
// and the faults the bench file gives its commands.
#include <gmock/gmock.h>

#include <chrono>
#include <cmath>
#include <numeric>
#include <sstream>
#include <string>
#include <vector>

#include "bench_fixture.h"
#include "visa_functions.h"
#include "world.h"

namespace qm7x::sim::test {
namespace {

constexpr const char* kCalibrator = "GPIB0::4::INSTR";

std::string BenchWithCalibrator(const std::string& faults = "[]") {
    std::string bench = SmallBench("instant", faults);
    const std::string calibrator = R"(  - name: GPIB0::4::INSTR
    interface: gpib
    idn: "ARKOMETRIX,DCC-22,0042,1.3"
    calibrator:
      settle_s: 0.2
      noise_v: 1.0e-6
      ranges:
        - {range_v: 2.2, ppm: 8, floor_v: 1.0e-6}
        - {range_v: 11, ppm: 6, floor_v: 4.0e-6}
      wiring:
        - {carrier: VXI0::8::INSTR, positions: [1], channels: [1, 2]}
)";
    bench.insert(bench.find("faults:"), calibrator);
    return bench;
}

class Calibrator : public BenchTest {
  protected:
    void SetUp() override {
        BenchTest::SetUp();
        load();
    }
    void TearDown() override {
        viClose(rm_);
        BenchTest::TearDown();
    }
    void load(const std::string& faults = "[]") {
        viClose(rm_);
        loadBench(BenchWithCalibrator(faults));
        ASSERT_EQ(viOpenDefaultRM(&rm_), VI_SUCCESS);
        ASSERT_EQ(viOpen(rm_, kCalibrator, VI_NO_LOCK, 0, &vi_), VI_SUCCESS);
    }
    ViStatus write(const std::string& command) {
        ViUInt32 written = 0;
        return viWrite(vi_, reinterpret_cast<ViConstBuf>(command.data()),
                       static_cast<ViUInt32>(command.size()), &written);
    }
    std::string query(const std::string& command, ViStatus* status = nullptr) {
        char reply[256] = {};
        ViInt32 count = sizeof reply;
        const ViStatus result = viQueryf(vi_, command.c_str(), "%#t", &count, reply);
        if (status != nullptr) {
            *status = result;
        } else {
            EXPECT_EQ(result, VI_SUCCESS) << command;
        }
        return reply;
    }
    // The mean of 100 samples of channel 1..3 of Q1, in volts, the input relays switched in.
    double measure(ViInt16 channel) {
        const ViSession carrier = openCarrier(kCarrier);
        const ViSession mez = openMezzanine(kCarrier, carrier, 1);
        EXPECT_EQ(trqm7x_mode_block(mez, 100), VI_SUCCESS);
        EXPECT_EQ(trqm7x_config_chans(mez, static_cast<ViUInt16>(1u << (channel - 1))), VI_SUCCESS);
        EXPECT_EQ(trqm7x_input_trigger(mez, 0, 1), VI_SUCCESS);
        EXPECT_EQ(trqm7x_start(mez), VI_SUCCESS);
        std::vector<ViReal64> volts(100);
        EXPECT_EQ(trqm7x_read_block(mez, 0, 100, volts.data()), VI_SUCCESS);
        trqm7x_close(mez);
        trholdr_close(carrier);
        return std::accumulate(volts.begin(), volts.end(), 0.0) / 100.0;
    }
    sim::Calibrator& state() { return *World::Instance().calibrator(kCalibrator); }

    ViSession rm_ = VI_NULL;
    ViSession vi_ = VI_NULL;
};

TEST_F(Calibrator, AnswersItsCommandsAndQueuesItsErrors) {
    EXPECT_EQ(query("*IDN?"), "ARKOMETRIX,DCC-22,0042,1.3\n");
    EXPECT_EQ(write("SOUR:VOLT 9.0;OUTP ON"), VI_SUCCESS);
    EXPECT_EQ(query("source:voltage?"), "+9.000000E+00\n");
    EXPECT_EQ(query("OUTP?"), "1\n");
    EXPECT_EQ(query("SYST:ERR?"), "0,\"No error\"\n");

    // A setting beyond the largest range and an unknown command are refused, each in the queue,
    // oldest first; the setting stays.
    EXPECT_EQ(write("VOLT 12"), VI_SUCCESS);
    EXPECT_EQ(write("VOLT nine"), VI_SUCCESS);
    EXPECT_EQ(write("OUTP:PROT 1"), VI_SUCCESS);
    EXPECT_EQ(query("SOUR:VOLT?"), "+9.000000E+00\n");
    EXPECT_EQ(query("SYST:ERR?"), "-222,\"Data out of range\"\n");
    EXPECT_EQ(query("SYSTEM:ERROR?"), "-104,\"Data type error\"\n");
    EXPECT_EQ(query("SYST:ERR?"), "-113,\"Undefined header\"\n");
    EXPECT_EQ(query("SYST:ERR?"), "0,\"No error\"\n");

    EXPECT_EQ(write("VOLT 12;*CLS"), VI_SUCCESS);
    EXPECT_EQ(query("SYST:ERR?"), "0,\"No error\"\n");
    EXPECT_EQ(write("*RST"), VI_SUCCESS);
    EXPECT_EQ(query("OUTP?;SOUR:VOLT?"), "0;+0.000000E+00\n");
}

TEST_F(Calibrator, OperationCompleteWaitsForTheOutputToSettle) {
    ASSERT_EQ(write("VOLT 1;OUTP ON"), VI_SUCCESS);
    EXPECT_FALSE(state().settled());
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(query("*OPC?"), "1\n");
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(150));
    EXPECT_TRUE(state().settled());
}

TEST_F(Calibrator, OperateAppliesTheSettingWithinItsAccuracyAtTheWiredInputsOnly) {
    writeReference("channels_v: [3.0, 0.3, 0.03]\n");
    // Standby: the terminals are open, the inputs see the rest of the bench.
    EXPECT_GT(measure(1), 2.9);

    ASSERT_EQ(write("VOLT -0.8;OUTP ON"), VI_SUCCESS);
    const double applied = state().appliedV();
    EXPECT_NE(applied, -0.8);
    EXPECT_LE(std::fabs(applied + 0.8), 8e-6 * 0.8 + 1e-6);
    EXPECT_EQ(state().accuracyV(-0.8), 8e-6 * 0.8 + 1e-6);
    const double wired1 = measure(1), wired2 = measure(2), unwired3 = measure(3);

    // The same readings as with the applied voltage from the reference source, the calibrator
    // out of the way: its output reached channels 1 and 2, not channel 3.
    ASSERT_EQ(write("OUTP OFF"), VI_SUCCESS);
    EXPECT_EQ(state().appliedV(), 0.0);
    std::ostringstream reference;
    reference.precision(17);
    reference << "channels_v: [" << applied << ", " << applied << ", 0.03]\n";
    writeReference(reference.str());
    EXPECT_NEAR(wired1, measure(1), 1e-4);
    EXPECT_NEAR(wired2, measure(2), 1e-5);
    EXPECT_NEAR(unwired3, measure(3), 1e-5);

    // The error of a setting is the same at every visit, another setting has its own.
    ASSERT_EQ(write("VOLT 0.8;OUTP ON"), VI_SUCCESS);
    const double other = state().appliedV();
    ASSERT_EQ(write("VOLT -0.8"), VI_SUCCESS);
    EXPECT_EQ(state().appliedV(), applied);
    EXPECT_NE(std::fabs(other - 0.8), std::fabs(applied + 0.8));
}

TEST_F(Calibrator, BenchFaultsGiveNoReplyAQueuedErrorOrARefusedSetting) {
    load(R"(
  - {calibrator: GPIB0::4::INSTR, command: "*OPC?", fault: no_reply, call: 2}
  - {calibrator: GPIB0::4::INSTR, command: OUTP, fault: error, error: "-330,\"Self-test failed\""}
  - {calibrator: GPIB0::4::INSTR, command: "SOUR:VOLTAGE", fault: refused, call: 2}
)");
    ViStatus status = VI_SUCCESS;
    EXPECT_EQ(query("*OPC?"), "1\n");
    query("*OPC?", &status);
    EXPECT_EQ(status, VI_ERROR_TMO);
    EXPECT_EQ(query("*OPC?"), "1\n");

    EXPECT_EQ(write("OUTP ON"), VI_SUCCESS);
    EXPECT_TRUE(state().operate());
    EXPECT_EQ(query("SYST:ERR?"), "-330,\"Self-test failed\"\n");

    EXPECT_EQ(write("VOLT 1"), VI_SUCCESS);
    EXPECT_EQ(write("VOLT 2"), VI_SUCCESS);
    EXPECT_EQ(query("VOLT?"), "+1.000000E+00\n");
    EXPECT_EQ(query("SYST:ERR?"), "-221,\"Settings conflict\"\n");
}

TEST_F(Calibrator, BenchFileRefusesWiresAndFaultsThatReachNothing) {
    const auto problem = [&](const std::string& from, const std::string& to) {
        std::string text = BenchWithCalibrator();
        text.replace(text.find(from), from.size(), to);
        try {
            ParseBench(text, dir() / "bench.yaml");
        } catch (const BenchError& error) {
            return std::string(error.what());
        }
        return std::string("accepted");
    };
    EXPECT_THAT(problem("{carrier: VXI0::8::INSTR,", "{carrier: VXI0::9::INSTR,"),
                ::testing::HasSubstr("VXI0::9::INSTR не носитель"));
    EXPECT_THAT(problem("channels: [1, 2]", "channels: [4]"), ::testing::HasSubstr("1..3"));
    EXPECT_THAT(problem("{range_v: 11,", "{range_v: 2,"), ::testing::HasSubstr("по возрастанию"));
    EXPECT_THAT(problem("faults: []",
                        "faults:\n  - {calibrator: GPIB0::5::INSTR, command: OUTP, fault: error}"),
                ::testing::HasSubstr("GPIB0::5::INSTR не калибратор"));
    EXPECT_THAT(problem("faults: []",
                        "faults:\n  - {calibrator: GPIB0::4::INSTR, command: OUTP, fault: slow}"),
                ::testing::HasSubstr("no_reply, error или refused"));
}

}  // namespace
}  // namespace qm7x::sim::test
