// The bench's calibration physics on the default bench's badly calibrated module: after the zero
// offset adjustment, a two-point calibration at 90 % of each range recovers the true gains to
// within the noise of the samples, so that the program's acceptance story does not hang on luck.
#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "bench_fixture.h"
#include "coeff_record.h"

namespace qm7x::sim::test {
namespace {

struct TrueChannel {
    double rangeV, gainPos, gainNeg, noiseV;
};
// QM7X-0412 of sim/benches/default.yaml.
constexpr TrueChannel kQm7x0412[3] = {
    {10.0, 1.1968612670898438e-06, 1.1885166168212891e-06, 0.00005},
    {1.0, 1.1944770812988281e-07, 1.1903047561645508e-07, 0.00001},
    {0.1, 1.1980533599853516e-08, 1.1873245239257812e-08, 0.000005},
};
constexpr int kSamples = 200;       // per point, as the program reads them
constexpr int kZeroSamples = 1000;  // of the zero offset adjustment
constexpr ViInt32 kBlock = 625200;  // the program's calibration block
constexpr ViInt32 kFirst = 625000;  // and its first sample read back

class CalibrationPhysics : public BenchTest {
  protected:
    void SetUp() override {
        BenchTest::SetUp();
        // The default bench as it is, but with blocks that complete at once.
        std::ifstream in(QM7X_SOURCE_DIR "/sim/benches/default.yaml");
        std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        text.replace(text.find("state_dir: state/default"), 24, "state_dir: state");
        const auto module = text.find("serial: QM7X-0412");
        const auto mode = text.find("acquisition: realtime", module);
        text.replace(mode, 21, "acquisition: instant");
        loadBench(text);
        carrier_ = openCarrier("VXI0::8::INSTR");
        mez_ = openMezzanine("VXI0::8::INSTR", carrier_, 2);
    }
    std::vector<ViInt32> point(int channel, double volts) {
        std::vector<double> applied(3, 0.0);
        applied[channel - 1] = volts;
        std::ofstream(dir() / "default.reference.yaml")
            << "modules:\n  QM7X-0412: [" << applied[0] << ", " << applied[1] << ", " << applied[2]
            << "]\n";
        EXPECT_EQ(trqm7x_reset(mez_), VI_SUCCESS);
        EXPECT_EQ(trqm7x_mode_block(mez_, kBlock), VI_SUCCESS);
        EXPECT_EQ(trqm7x_sample_period(mez_, 8.0e-7), VI_SUCCESS);
        EXPECT_EQ(trqm7x_config_chans(mez_, static_cast<ViUInt16>(1u << (channel - 1))),
                  VI_SUCCESS);
        EXPECT_EQ(trqm7x_input_trigger(mez_, static_cast<ViInt16>(channel), 1), VI_SUCCESS);
        EXPECT_EQ(trqm7x_start(mez_), VI_SUCCESS);
        EXPECT_EQ(trqm7x_stop(mez_), VI_SUCCESS);
        EXPECT_EQ(trqm7x_input_trigger(mez_, 0, 0), VI_SUCCESS);
        std::vector<ViInt32> samples(kSamples);
        EXPECT_EQ(trholdr_m_read_block(mez_, kFirst, kSamples, samples.data()), VI_SUCCESS);
        return samples;
    }
    CoeffRecord record() { return DriverRecord(mez_); }

    ViSession carrier_ = VI_NULL;
    ViSession mez_ = VI_NULL;
};

TEST_F(CalibrationPhysics, RecalculatedGainsLandWithinTheNoiseOfTheTrueGains) {
    ASSERT_EQ(trqm7x_displacement(mez_), VI_SUCCESS);
    for (int channel = 1; channel <= 3; ++channel) {
        SCOPED_TRACE("channel " + std::to_string(channel));
        const TrueChannel& truth = kQm7x0412[channel - 1];
        const double u = 0.9 * truth.rangeV;
        const CoeffRecord factory = record();
        auto positive = point(channel, u);
        auto negative = point(channel, -u);
        ASSERT_EQ(trqm7x_extcalibr(mez_, u, -u, positive.data(), negative.data(), kSamples,
                                   static_cast<ViInt16>(channel)),
                  VI_SUCCESS);
        // Relative spread of a gain: the noise of the mean of the cleaned samples (about 95 %
        // of them) and of the zero offset, against the point's voltage; five of them allowed.
        const double spread =
            truth.noiseV / u * std::sqrt(1.0 / (0.95 * kSamples) + 1.0 / kZeroSamples);
        const double allowed = 5.0 * spread;
        const CoeffRecord calibrated = record();
        EXPECT_NEAR(calibrated.gain(channel, false) / truth.gainPos, 1.0, allowed);
        EXPECT_NEAR(calibrated.gain(channel, true) / truth.gainNeg, 1.0, allowed);
        // The factory gains lie far outside that: the check tells a calibrated module apart.
        EXPECT_GT(std::abs(factory.gain(channel, false) / truth.gainPos - 1.0), 100 * allowed);
        EXPECT_GT(std::abs(factory.gain(channel, true) / truth.gainNeg - 1.0), 100 * allowed);
    }
}

}  // namespace
}  // namespace qm7x::sim::test
