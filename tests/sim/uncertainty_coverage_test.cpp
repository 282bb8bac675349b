// The statistics of the uncertainty budget against the simulated bench: a module of known true
// gains and noise, a calibrator whose actual error at each setting the bench draws within its
// accuracy. Over a plan of ±10, ±50 and ±90 % of every range repeated to 1 008 points (each
// repetition a bench of another seed, so another draw of the calibrator's errors), the deviation
// Ux - Un estimated from each point must lie within ±U of the true deviation (the module's mean
// response minus the voltage really applied) at 93 to 97 % of the points.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <numeric>
#include <string>
#include <vector>

#include "bench_fixture.h"
#include "coeff_record.h"
#include "qm7x/uncertainty/budget.h"
#include "status.h"
#include "visa_functions.h"
#include "world.h"

namespace qm7x::sim::test {
namespace {

constexpr const char* kCalibrator = "GPIB0::4::INSTR";

// Q1's true gains are off the nominal scale its factory record holds; the noise is what the
// Type A term must answer for, comparable to the calibrator's accuracy on each range.
std::string CoverageBench(int seed) {
    return "seed: " + std::to_string(seed) + R"(
resources:
  - name: VXI0::8::INSTR
    interface: vxi
    manufacturer_id: 0xE76
    model_code: 0x10D
    slot: 5
    mainframe_la: 1
    logical_address: 8
    carrier:
      description: "Носитель 1"
      memory_bytes: 67108864
      positions:
        - qm7x:
            serial: Q1
            acquisition: instant
            self_test: {duration_s: 0}
            eeprom:
              factory: default
            channels:
              - {range_v: 10, gain_pos_v_per_code: 1.1950e-6, gain_neg_v_per_code: 1.1900e-6, offset_v: 0.0004, noise_v: 0.0003}
              - {range_v: 1, gain_pos_v_per_code: 1.1930e-7, gain_neg_v_per_code: 1.1915e-7, noise_v: 0.00005}
              - {range_v: 0.1, gain_pos_v_per_code: 1.1925e-8, gain_neg_v_per_code: 1.1918e-8, noise_v: 0.000008}
        - {}
        - {}
        - {}
  - name: GPIB0::4::INSTR
    interface: gpib
    idn: "ARKOMETRIX,DCC-22,0042,1.3"
    calibrator:
      settle_s: 0
      noise_v: 1.0e-7
      ranges:
        - {range_v: 0.22, ppm: 10, floor_v: 3.0e-7}
        - {range_v: 2.2, ppm: 8, floor_v: 1.0e-6}
        - {range_v: 11, ppm: 6, floor_v: 4.0e-6}
      wiring:
        - {carrier: VXI0::8::INSTR, positions: [1]}
faults: []
)";
}

class UncertaintyCoverage : public BenchTest {
  protected:
    void TearDown() override {
        viClose(rm_);
        BenchTest::TearDown();
    }

    void load(int seed) {
        viClose(rm_);
        loadBench(CoverageBench(seed));
        ASSERT_NE(World::Instance().bench(), nullptr) << World::Instance().detail(kErrorBench);
        ASSERT_EQ(viOpenDefaultRM(&rm_), VI_SUCCESS);
        ASSERT_EQ(viOpen(rm_, kCalibrator, VI_NO_LOCK, 0, &calibrator_), VI_SUCCESS);
    }

    void apply(double volts) {
        char command[64];
        std::snprintf(command, sizeof command, "SOUR:VOLT %.9g;OUTP ON", volts);
        ViUInt32 written = 0;
        ASSERT_EQ(viWrite(calibrator_, reinterpret_cast<ViConstBuf>(command),
                          static_cast<ViUInt32>(std::strlen(command)), &written),
                  VI_SUCCESS);
    }

    // One block of 100 samples of the channel, in volts, as a verification point takes it.
    std::vector<double> block(ViSession mez, ViInt16 channel) {
        std::vector<double> volts(100);
        EXPECT_EQ(trqm7x_mode_block(mez, 100), VI_SUCCESS);
        EXPECT_EQ(trqm7x_config_chans(mez, static_cast<ViUInt16>(1u << (channel - 1))), VI_SUCCESS);
        EXPECT_EQ(trqm7x_input_trigger(mez, 0, 1), VI_SUCCESS);
        EXPECT_EQ(trqm7x_start(mez), VI_SUCCESS);
        EXPECT_EQ(trqm7x_read_block(mez, 0, 100, volts.data()), VI_SUCCESS);
        EXPECT_EQ(trqm7x_input_trigger(mez, 0, 0), VI_SUCCESS);
        return volts;
    }

    ViSession rm_ = VI_NULL;
    ViSession calibrator_ = VI_NULL;
};

// The samples the verification's check keeps (closer to the mean than 1.96 standard deviations,
// population) and those it drops, as it judges a point.
struct Judged {
    std::vector<double> kept;
    std::vector<double> dropped;
};
Judged Judge(const std::vector<double>& x) {
    const double n = static_cast<double>(x.size());
    const double mean = std::accumulate(x.begin(), x.end(), 0.0) / n;
    double squares = 0.0;
    for (double v : x) {
        squares += (v - mean) * (v - mean);
    }
    const double band = 1.96 * std::sqrt(squares / n);
    Judged judged;
    for (double v : x) {
        (std::fabs(v - mean) < band ? judged.kept : judged.dropped).push_back(v);
    }
    return judged;
}

TEST_F(UncertaintyCoverage, TheTrueDeviationLiesWithinUAtNinetyFivePercentOfThePoints) {
    const double ranges[] = {10.0, 1.0, 0.1};
    const double fractions[] = {0.1, -0.1, 0.5, -0.5, 0.9, -0.9};
    int points = 0;
    int within = 0;
    double largest_ratio = 0.0;
    for (int repetition = 0; points < 1000; ++repetition) {
        load(1000 + repetition);
        const ViSession carrier = openCarrier(kCarrier);
        const ViSession mez = openMezzanine(kCarrier, carrier, 1);
        Calibrator& source = *World::Instance().calibrator(kCalibrator);
        const Qm7xModule& module = *World::Instance().module("Q1");
        for (ViInt16 channel = 1; channel <= 3; ++channel) {
            const double range = ranges[channel - 1];
            const double step = range / kFullScaleCodes;  // the factory record's nominal gain
            for (double fraction : fractions) {
                const double un = fraction * range;
                apply(un);
                const std::vector<double> samples = block(mez, channel);
                const Judged judged = Judge(samples);
                const std::vector<double>& kept = judged.kept;
                const double ux = std::accumulate(kept.begin(), kept.end(), 0.0) /
                                  static_cast<double>(kept.size());

                uncertainty::PointInputs inputs;
                inputs.samples = samples;
                inputs.standard.accuracy_half_width_v = source.accuracyV(un);
                inputs.code_step_v = step;
                const auto evaluation = uncertainty::EvaluatePoint(inputs);
                ASSERT_TRUE(evaluation.budget) << evaluation.refusal;

                const double applied = source.appliedV();
                const double response = module.meanCode(applied, channel) * step;
                const double error = (ux - un) - (response - applied);
                largest_ratio =
                    std::max(largest_ratio, std::fabs(error) / evaluation.budget->expanded_v);
                ++points;
                within += std::fabs(error) <= evaluation.budget->expanded_v ? 1 : 0;
            }
        }
        trqm7x_close(mez);
        trholdr_close(carrier);
    }
    const double coverage = 100.0 * within / points;
    std::printf(
        "coverage: %d of %d points within ±U of the true deviation (%.1f %%), largest "
        "|error| / U %.2f\n",
        within, points, coverage, largest_ratio);
    EXPECT_GE(coverage, 93.0);
    EXPECT_LE(coverage, 97.0);
}

// The reading of the module is its code times the factory record's nominal gain: a channel
// without noise reads its rounded mean code exactly, which the coverage's true response uses.
TEST_F(UncertaintyCoverage, ANoiselessModuleReadsItsMeanCodeTimesTheNominalGain) {
    std::string bench = CoverageBench(5);
    bench.replace(bench.find("noise_v: 0.0003"), 15, "noise_v: 0");
    bench.replace(bench.find("noise_v: 1.0e-7"), 15, "noise_v: 0");
    viClose(rm_);
    loadBench(bench);
    ASSERT_EQ(viOpenDefaultRM(&rm_), VI_SUCCESS);
    ASSERT_EQ(viOpen(rm_, kCalibrator, VI_NO_LOCK, 0, &calibrator_), VI_SUCCESS);
    const ViSession carrier = openCarrier(kCarrier);
    const ViSession mez = openMezzanine(kCarrier, carrier, 1);
    apply(-4.5);
    const double applied = World::Instance().calibrator(kCalibrator)->appliedV();
    const double expected =
        std::round(World::Instance().module("Q1")->meanCode(applied, 1)) * (10.0 / kFullScaleCodes);
    for (double v : block(mez, 1)) {
        EXPECT_DOUBLE_EQ(v, expected);
    }
    trqm7x_close(mez);
    trholdr_close(carrier);
}

}  // namespace
}  // namespace qm7x::sim::test
