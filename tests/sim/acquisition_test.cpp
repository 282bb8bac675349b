// Acquisition and physics: busy state by mode, raw codes through the true gains, volts through
// the stored coefficients, and calibration that brings the reference back.
#include <chrono>
#include <cmath>
#include <cstring>
#include <numeric>
#include <thread>
#include <vector>

#include "bench_fixture.h"
#include "coeff_record.h"
#include "status.h"

namespace qm7x::sim::test {
namespace {

constexpr double kNominal10V = 10.0 / 8388608.0;
constexpr ViInt32 kCalibrBlock = 625200;
constexpr ViInt32 kCalibrFirst = 625000;

class Acquisition : public BenchTest {
  protected:
    void open(const std::string& mode) {
        loadBench(SmallBench(mode));
        carrier_ = openCarrier(kCarrier);
        mez_ = openMezzanine(kCarrier, carrier_, 1);
    }
    void setup(ViInt32 count, double period, ViUInt16 mask) {
        ASSERT_EQ(trqm7x_mode_block(mez_, count), VI_SUCCESS);
        ASSERT_EQ(trqm7x_sample_period(mez_, period), VI_SUCCESS);
        ASSERT_EQ(trqm7x_config_chans(mez_, mask), VI_SUCCESS);
    }
    // One calibration point as the program takes it: the 200 raw codes after 0.5 s.
    std::vector<ViInt32> calibrationPoint(double volts, ViInt16 channel) {
        writeReference("channels_v: [" + std::to_string(channel == 1 ? volts : 0.0) + ", " +
                       std::to_string(channel == 2 ? volts : 0.0) + ", 0]\n");
        EXPECT_EQ(trqm7x_reset(mez_), VI_SUCCESS);
        setup(kCalibrBlock, 8.0e-7, static_cast<ViUInt16>(1u << (channel - 1)));
        EXPECT_EQ(trqm7x_input_trigger(mez_, channel, 1), VI_SUCCESS);
        EXPECT_EQ(trqm7x_start(mez_), VI_SUCCESS);
        EXPECT_EQ(trqm7x_stop(mez_), VI_SUCCESS);
        EXPECT_EQ(trqm7x_input_trigger(mez_, 0, 0), VI_SUCCESS);
        std::vector<ViInt32> samples(200);
        EXPECT_EQ(trholdr_m_read_block(mez_, kCalibrFirst, 200, samples.data()), VI_SUCCESS);
        return samples;
    }
    // Mean of a verification block of 100 samples, in volts.
    double measure(double volts, ViInt16 channel = 1) {
        writeReference("channels_v: [" + std::to_string(volts) + ", " + std::to_string(volts) +
                       ", 0]\n");
        setup(100, 2e-4, static_cast<ViUInt16>(1u << (channel - 1)));
        EXPECT_EQ(trqm7x_input_trigger(mez_, 0, 1), VI_SUCCESS);
        EXPECT_EQ(trqm7x_start(mez_), VI_SUCCESS);
        std::vector<ViReal64> results(100);
        EXPECT_EQ(trqm7x_read_block(mez_, 0, 100, results.data()), VI_SUCCESS);
        return std::accumulate(results.begin(), results.end(), 0.0) / 100.0;
    }
    CoeffRecord record() { return DriverRecord(mez_); }

    ViSession carrier_ = VI_NULL;
    ViSession mez_ = VI_NULL;
};

static double Mean(const std::vector<ViInt32>& codes) {
    return std::accumulate(codes.begin(), codes.end(), 0.0) / static_cast<double>(codes.size());
}

TEST_F(Acquisition, InstantBlocksCompleteAtOnceAndNeverBlocksOnlyWhenStopped) {
    open("instant");
    setup(100, 2e-4, 0x1);
    ASSERT_EQ(trqm7x_start(mez_), VI_SUCCESS);
    ViInt16 busy = -1;
    ASSERT_EQ(trqm7x_state(mez_, &busy, nullptr), VI_SUCCESS);
    EXPECT_EQ(busy, 0);

    open("never");
    setup(100, 4e-7, 0x1);
    ASSERT_EQ(trqm7x_start(mez_), VI_SUCCESS);
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_EQ(trqm7x_state(mez_, &busy, nullptr), VI_SUCCESS);
    EXPECT_EQ(busy, 1);
    ViReal64 results[100];
    EXPECT_EQ(trqm7x_read_block(mez_, 0, 100, results), kErrorBusy);
    EXPECT_EQ(trqm7x_mode_block(mez_, 10), kErrorBusy);
    ASSERT_EQ(trqm7x_stop(mez_), VI_SUCCESS);
    ASSERT_EQ(trqm7x_state(mez_, &busy, nullptr), VI_SUCCESS);
    EXPECT_EQ(busy, 0);
    // 20 ms at 0.4 us have filled the block: it is read as it is.
    EXPECT_EQ(trqm7x_read_block(mez_, 0, 100, results), VI_SUCCESS);
    EXPECT_EQ(trqm7x_read_block(mez_, 50, 51, results), kErrorNoData);
}

TEST_F(Acquisition, RealtimeBlockIsBusyForCountTimesPeriod) {
    open("realtime");
    setup(100, 1e-3, 0x1);  // 0.1 s
    ASSERT_EQ(trqm7x_start(mez_), VI_SUCCESS);
    ViInt16 busy = 0;
    ASSERT_EQ(trqm7x_state(mez_, &busy, nullptr), VI_SUCCESS);
    EXPECT_EQ(busy, 1);
    ViReal64 results[100];
    EXPECT_EQ(trqm7x_read_block(mez_, 0, 100, results), kErrorBusy);
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    ASSERT_EQ(trqm7x_state(mez_, &busy, nullptr), VI_SUCCESS);
    EXPECT_EQ(busy, 0);
    EXPECT_EQ(trqm7x_read_block(mez_, 0, 100, results), VI_SUCCESS);
}

TEST_F(Acquisition, RawCodesFollowTheAppliedVoltageThroughTheTrueGain) {
    open("instant");
    // Channel 1 of Q1: true gains 1.2e-6 / 1.18e-6 V per code, offset 1 mV, noise 0.2 mV.
    const auto positive = calibrationPoint(5.0, 1);
    EXPECT_NEAR(Mean(positive), 5.0 / 1.2e-6 + 0.001 / 1.2e-6, 30.0);
    const auto negative = calibrationPoint(-5.0, 1);
    EXPECT_NEAR(Mean(negative), -5.0 / 1.18e-6 + 0.001 / 1.2e-6, 30.0);
    // With the relay out the input is grounded whatever the source applies.
    writeReference("channels_v: [5, 0, 0]\n");
    setup(1000, 4e-7, 0x1);
    ASSERT_EQ(trqm7x_input_trigger(mez_, 0, 0), VI_SUCCESS);
    ASSERT_EQ(trqm7x_start(mez_), VI_SUCCESS);
    std::vector<ViInt32> grounded(1000);
    ASSERT_EQ(trholdr_m_read_block(mez_, 0, 1000, grounded.data()), VI_SUCCESS);
    EXPECT_NEAR(Mean(grounded), 0.001 / 1.2e-6, 15.0);
    // The same sample of the same block reads the same every time.
    ViInt32 again = 0;
    ASSERT_EQ(trholdr_m_read_block(mez_, 500, 1, &again), VI_SUCCESS);
    EXPECT_EQ(again, grounded[500]);
    EXPECT_EQ(trholdr_m_read_block(mez_, 990, 11, grounded.data()), kErrorNoData);
}

TEST_F(Acquisition, VoltsComeBackThroughTheStoredCoefficients) {
    open("instant");
    // Factory coefficients are nominal: the reading is off by the true gain's error.
    const double expected = (5.0 / 1.2e-6 + 0.001 / 1.2e-6) * kNominal10V;
    EXPECT_NEAR(measure(5.0), expected, 1e-4);
    EXPECT_GT(std::abs(measure(5.0) - 5.0), 0.0025);  // outside the 10 V range's tolerance

    // Several channels: frames in rising channel order.
    writeReference("channels_v: [2.0, 0.5, 0]\n");
    setup(10, 2e-4, 0x3);
    ASSERT_EQ(trqm7x_input_trigger(mez_, 0, 1), VI_SUCCESS);
    ASSERT_EQ(trqm7x_start(mez_), VI_SUCCESS);
    ViReal64 frames[20];
    ASSERT_EQ(trqm7x_read_block(mez_, 0, 10, frames), VI_SUCCESS);
    EXPECT_NEAR(frames[0], 2.0 * kNominal10V / 1.2e-6, 0.01);
    EXPECT_NEAR(frames[1], 0.5 * (1.0 / 8388608.0) / 1.19e-7, 0.001);
}

TEST_F(Acquisition, CalibrationGivesTheReferenceBackAndSurvivesAStore) {
    open("instant");
    auto positive = calibrationPoint(5.0, 1);
    auto negative = calibrationPoint(-5.0, 1);
    const CoeffRecord before = record();
    ASSERT_EQ(trqm7x_extcalibr(mez_, 5.0, -5.0, positive.data(), negative.data(), 200, 1),
              VI_SUCCESS);
    const CoeffRecord after = record();
    EXPECT_NE(after.gain(1, false), before.gain(1, false));
    EXPECT_NE(after.gain(1, true), before.gain(1, true));
    for (int channel = 2; channel <= 3; ++channel) {
        EXPECT_EQ(after.gain(channel, false), before.gain(channel, false));
    }
    EXPECT_NEAR(measure(5.0), 5.0, 2e-4);
    EXPECT_NEAR(measure(-5.0), -5.0, 2e-4);
    EXPECT_LT(std::abs(measure(2.0) - 2.0), 0.0025);

    // Stored, the calibration holds in the next session.
    ASSERT_EQ(trqm7x_writeFlash(mez_), VI_SUCCESS);
    ASSERT_EQ(trqm7x_close(mez_), VI_SUCCESS);
    mez_ = openMezzanine(kCarrier, carrier_, 1);
    ASSERT_EQ(trqm7x_readFlash(mez_), VI_SUCCESS);
    EXPECT_EQ(record(), after);
    EXPECT_NEAR(measure(5.0), 5.0, 2e-4);
}

TEST_F(Acquisition, ZeroOffsetAdjustmentRemovesTheOffset) {
    open("instant");
    ASSERT_EQ(trqm7x_displacement(mez_), VI_SUCCESS);
    auto positive = calibrationPoint(5.0, 1);
    auto negative = calibrationPoint(-5.0, 1);
    ASSERT_EQ(trqm7x_extcalibr(mez_, 5.0, -5.0, positive.data(), negative.data(), 200, 1),
              VI_SUCCESS);
    // With the offset known, the gains are the true ones and every point is right.
    EXPECT_NEAR(record().gain(1, false), 1.2e-6, 1.2e-6 * 2e-5);
    EXPECT_NEAR(record().gain(1, true), 1.18e-6, 1.18e-6 * 2e-5);
    EXPECT_NEAR(measure(0.5), 0.5, 1e-4);
    EXPECT_NEAR(measure(-2.0), -2.0, 1e-4);
}

TEST_F(Acquisition, CalibrationRefusesReferencesThatCannotGiveAGainPair) {
    open("instant");
    auto positive = calibrationPoint(5.0, 1);
    auto negative = calibrationPoint(-5.0, 1);
    const CoeffRecord before = record();
    struct Case {
        double uPos, uNeg;
        ViInt32 count;
        ViInt16 channel;
        ViStatus status;
    };
    const Case cases[] = {
        {0.0, -5.0, 200, 1, kErrorParameter2},  // an empty reply typed at the prompt
        {-5.0, -5.0, 200, 1, kErrorParameter2}, {5.0, 0.0005, 200, 1, kErrorParameter3},
        {5.0, -5.0, 0, 1, kErrorParameter6},    {5.0, -5.0, 200, 4, kErrorParameter7},
        {-5.0, 5.0, 200, 1, kErrorParameter2},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(trqm7x_extcalibr(mez_, c.uPos, c.uNeg, positive.data(), negative.data(), c.count,
                                   c.channel),
                  c.status);
    }
    // Samples of the wrong polarity would give a negative gain.
    EXPECT_EQ(trqm7x_extcalibr(mez_, 5.0, -5.0, negative.data(), positive.data(), 200, 1),
              kErrorCalibration);
    EXPECT_EQ(record(), before);
}

TEST_F(Acquisition, SettingsAreCheckedAgainstTheInstrumentsLimits) {
    open("instant");
    struct Case {
        double period;
        ViStatus status;
    };
    for (const Case& c :
         {Case{4e-7, VI_SUCCESS}, Case{0.026214, VI_SUCCESS}, Case{1e-8, kErrorParameter2},
          Case{0.03, kErrorParameter2}, Case{std::nan(""), kErrorParameter2}}) {
        EXPECT_EQ(trqm7x_sample_period(mez_, c.period), c.status) << c.period;
    }
    EXPECT_EQ(trqm7x_config_chans(mez_, 0), kErrorParameter2);
    EXPECT_EQ(trqm7x_config_chans(mez_, 0x8), kErrorParameter2);
    EXPECT_EQ(trqm7x_mode_block(mez_, 0), kErrorParameter2);
    EXPECT_EQ(trqm7x_input_trigger(mez_, 4, 1), kErrorParameter2);
    EXPECT_EQ(trqm7x_input_trigger(mez_, 1, 2), kErrorParameter3);
    // The buffer: 64 MiB / 64 words by default; the program reserves the same.
    EXPECT_EQ(trqm7x_alloc(mez_, 67108864 / 64), VI_SUCCESS);
    EXPECT_EQ(trqm7x_mode_block(mez_, 67108864 / 64 + 1), kErrorBlockTooLong);
    EXPECT_EQ(trqm7x_mode_block(mez_, 600000), VI_SUCCESS);
    EXPECT_EQ(trqm7x_config_chans(mez_, 0x3), VI_SUCCESS);
    EXPECT_EQ(trqm7x_start(mez_), kErrorBlockTooLong);  // two channels need twice the room
    EXPECT_EQ(trqm7x_alloc(mez_, 67108864 / 4 + 1), kErrorParameter2);
    ViReal64 result = 0.0;
    EXPECT_EQ(trqm7x_read_block(mez_, 0, 1, &result), kErrorNoData);  // nothing acquired yet
}

}  // namespace
}  // namespace qm7x::sim::test
