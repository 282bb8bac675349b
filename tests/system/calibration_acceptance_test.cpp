// The acceptance story of the calibration on the default bench, through the program alone: the
// badly calibrated QM7X-0412 fails verification at ±90 % of each range (±9 V on channel 1); it is
// calibrated channel by channel at those points, with the reference source turned by the operator
// at each prompt; the coefficients are stored; the program is ended and started again on the same
// state folder; the same points now pass, and the calibration log holds the write.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "choose_carrier.h"
#include "program_fixture.h"
#include "qm7x/app/program.h"
#include "qm7x/calibr/calibration_log.h"
#include "qm7x/integrity/arkomet_crc32.h"
#include "qm7x/os/encoding.h"
#include "qm7x/program/coeff_record.h"
#include "qm7x/program/protocol_state.h"
#include "qm7x/program/run_guard.h"
#include "qm7x/ui/clock.h"

namespace qm7x::test {
namespace {

namespace fs = std::filesystem;

// QM7X-0412 of the default bench: what the module really is.
struct TrueChannel {
    double rangeV, gainPos, gainNeg, noiseV;
};
constexpr std::array<TrueChannel, 3> kTruth{{
    {10.0, 1.1968612670898438e-06, 1.1885166168212891e-06, 0.00005},
    {1.0, 1.1944770812988281e-07, 1.1903047561645508e-07, 0.00001},
    {0.1, 1.1980533599853516e-08, 1.1873245239257812e-08, 0.000005},
}};
constexpr double kNominalCodes = 8388608.0;  // full scale of the factory's nominal gains

// The gain a calibration at 90 % of the range gives lies within five spreads of the true one:
// the noise of the mean of about 190 cleaned samples and of the zero offset's 1000.
double allowedRelativeError(int channel) {
    const TrueChannel& t = kTruth[channel - 1];
    return 5.0 * t.noiseV / (0.9 * t.rangeV) * std::sqrt(1.0 / 190 + 1.0 / 1000);
}

std::string referenceFile(int channel, double volts) {
    std::array<double, 3> applied{};
    applied[channel - 1] = volts;
    std::ostringstream text;
    text.precision(17);
    text << "modules:\n  QM7X-0412: [" << applied[0] << ", " << applied[1] << ", " << applied[2]
         << "]\n";
    return text.str();
}

class CalibrationAcceptance : public ::testing::Test {
  protected:
    void SetUp() override {
        // The default bench as it stands; its reference file and state folder in the scratch
        // folder, which is also the working directory (the calibration log goes there).
        std::ifstream file(QM7X_DEFAULT_BENCH);
        UseBench(scratch_, std::string((std::istreambuf_iterator<char>(file)), {}));
        writeReference("channels_v: [0, 0, 0]\n");
        ASSERT_TRUE(::getcwd(previous_, sizeof previous_) != nullptr);
        ASSERT_EQ(::chdir(scratch_.path().c_str()), 0);
        // The module paces its blocks in real time: the run's polls wait for real.
        ui::SetClock(nullptr);
    }
    void TearDown() override { ASSERT_EQ(::chdir(previous_), 0); }

    void writeReference(const std::string& text) const {
        const fs::path temporary = scratch_.path() / "default.reference.yaml.tmp";
        std::ofstream(temporary) << text;
        fs::rename(temporary, scratch_.path() / "default.reference.yaml");
    }

    // The first carrier offered (VXI0::8::INSTR), whose first QM7X is QM7X-0412 at position 2.
    void chooseTheCarrier() {
        ChooseTheFirstCarrier(ui_.script).Do("the module is QM7X-0412 at position 2", [] {
            EXPECT_EQ(protocolTitle,
                      "Протокол поверки мезонина QM7X N 2 на TRHOLDR Н.М., крейт 1, слот 5");
        });
    }
    // Calibrates a channel at ±90 % of its range: at each prompt the operator sets the source,
    // then types its value.
    void calibrateChannel(int channel) {
        const double u = 0.9 * kTruth[channel - 1].rangeV;
        ui_.frontEnd.AnswerPrompt([this, channel, u] { writeReference(referenceFile(channel, u)); },
                                  std::to_string(u));
        ui_.frontEnd.AnswerPrompt(
            [this, channel, u] { writeReference(referenceFile(channel, -u)); }, std::to_string(-u));
        ui_.script.Enter(ui::PanelRef::Resource(CP), CP_CHAN, channel)
            .Commit(ui::PanelRef::Resource(CP), CP_START)
            .WaitUntil("the run is over", [] { return !runInProgress(); });
    }
    // One verification point as the operator takes it on the verification page: the source set,
    // the voltage and the channel typed, the input relay switched in, "Пуск".
    void verifyPoint(int channel, double volts) {
        const auto pp = ui::PanelRef::Resource(PP);
        ui_.script.ChooseTabPage(ui::PanelRef::Resource(MP), MP_TAB, 1)
            .Do("set the source",
                [this, channel, volts] { writeReference(referenceFile(channel, volts)); })
            .Enter(pp, PP_U, volts)
            .Enter(pp, PP_CHAN, channel)
            .Enter(pp, PP_RELE_SWITCH, 1)
            .Commit(pp, PP_START)
            .ChooseTabPage(ui::PanelRef::Resource(MP), MP_TAB, 0);
    }
    // ±90 % of the range on every channel (±9 V on channel 1).
    void verifyAllChannels() {
        for (int channel = 1; channel <= 3; ++channel) {
            const double u = 0.9 * kTruth[channel - 1].rangeV;
            verifyPoint(channel, u);
            verifyPoint(channel, -u);
        }
    }
    // The verdicts of the protocol in the working directory, in order.
    std::vector<std::string> verdicts() const {
        std::ifstream file(scratch_.path() / "qm7X.log", std::ios::binary);
        const std::string text =
            os::FromCp1251(std::string(std::istreambuf_iterator<char>(file), {}));
        std::vector<std::string> found;
        std::istringstream lines(text);
        for (std::string line; std::getline(lines, line);) {
            if (line.ends_with("Не норма")) {
                found.emplace_back("Не норма");
            } else if (line.ends_with("Норма")) {
                found.emplace_back("Норма");
            }
        }
        return found;
    }
    void exitProgram() {
        ui_.script.Commit(ui::PanelRef::Resource(MP), MP_MP_EXIT)
            .Commit(ui::PanelRef::Resource(EXIT_POPUP), EXIT_POPUP_EXIT_YES);
    }
    static std::array<double, 6> tableGains() {
        std::array<double, 6> gains{};
        for (int row = 1; row <= 3; ++row) {
            for (int col = 1; col <= 2; ++col) {
                ui::GetTableCellVal(cpPanel, CP_TABLE, ui::MakePoint(col, row),
                                    gains[2 * (row - 1) + col - 1]);
            }
        }
        return gains;
    }
    // Each gain of the table against the module's true one: how far off, relative.
    static std::array<double, 6> relativeErrors(const std::array<double, 6>& gains) {
        std::array<double, 6> errors{};
        for (int k = 0; k < 6; ++k) {
            const TrueChannel& t = kTruth[k / 2];
            errors[k] = std::abs(gains[k] / (k % 2 == 0 ? t.gainPos : t.gainNeg) - 1.0);
        }
        return errors;
    }

    ScratchDir scratch_;
    ui::HeadlessSession ui_;
    char previous_[4096] = {};
};

TEST_F(CalibrationAcceptance, TheBadlyCalibratedModuleIsCalibratedStoredAndKeepsItAfterARestart) {
    // First run, in a process of its own so that the second starts afresh.
    const auto calibrateAndStore = [&] {
        std::array<double, 6> factory{}, calibrated{};
        chooseTheCarrier();
        ui_.script.Do("note the factory gains", [&] { factory = tableGains(); });
        verifyAllChannels();
        ui_.script.Commit(ui::PanelRef::Resource(MP), MP_CALIBR);
        for (int channel = 1; channel <= 3; ++channel) {
            calibrateChannel(channel);
        }
        ui_.frontEnd.AnswerConfirm(true);
        ui_.script.Do("note the calibrated gains", [&] { calibrated = tableGains(); })
            .Commit(ui::PanelRef::Resource(CP), CP_WRITE_EEPROM)
            .Do("the store succeeded", [] {
                std::string status;
                ui::GetCtrlVal(mpPanel, MP_ERROR_MESSAGE, status);
                EXPECT_EQ(status, "");
            });
        exitProgram();
        EXPECT_EQ(app::RunProgram(0, nullptr), 0);
        EXPECT_TRUE(ui_.script.Done()) << ui_.script.Pending();

        for (int k = 0; k < 6; ++k) {
            SCOPED_TRACE("gain " + std::to_string(k));
            const int channel = k / 2 + 1;
            // From the factory: the nominal gains, off by far more than the calibration's spread.
            EXPECT_EQ(factory[k], kTruth[channel - 1].rangeV / kNominalCodes);
            EXPECT_GT(relativeErrors(factory)[k], 100 * allowedRelativeError(channel));
            // Calibrated: within the noise of the true gains.
            EXPECT_LT(relativeErrors(calibrated)[k], allowedRelativeError(channel));
        }
        std::exit(::testing::Test::HasFailure() ? 1 : 0);
    };
    ASSERT_EXIT(calibrateAndStore(), ::testing::ExitedWithCode(0), "");

    // Second run on the same state folder: the stored coefficients are what the module holds.
    std::array<double, 6> afterRestart{};
    chooseTheCarrier();
    ui_.script.Do("note the gains", [&] { afterRestart = tableGains(); })
        .Commit(ui::PanelRef::Resource(MP), MP_CALIBR);
    verifyAllChannels();
    exitProgram();
    EXPECT_EQ(app::RunProgram(0, nullptr), 0);
    EXPECT_TRUE(ui_.script.Done()) << ui_.script.Pending();
    for (int k = 0; k < 6; ++k) {
        EXPECT_LT(relativeErrors(afterRestart)[k], allowedRelativeError(k / 2 + 1)) << k;
    }
    // The same six points: all out of tolerance from the factory, all within it now.
    const std::vector<std::string> fail(6, "Не норма"), pass(6, "Норма");
    std::vector<std::string> expectedVerdicts = fail;
    expectedVerdicts.insert(expectedVerdicts.end(), pass.begin(), pass.end());
    EXPECT_EQ(verdicts(), expectedVerdicts);

    // The log holds the one write: the module, its place, and the gains before and after.
    std::ifstream log(scratch_.path() / calibr::kCalibrationLogFile);
    std::vector<std::string> entries;
    for (std::string line; std::getline(log, line);) {
        entries.push_back(line);
    }
    ASSERT_EQ(entries.size(), 1u);
    using ::testing::HasSubstr;
    EXPECT_THAT(entries[0], HasSubstr("\"carrier\": \"TRHOLDR Н.М., крейт 1, слот 5\", "
                                      "\"position\": 2, \"module\": \"QM7X ред. 2, ПЛИС 1.4\""));
    // What the second run loaded is the record the first one wrote, byte for byte.
    const CoeffRecord stored = coeffCopy;
    calibr::CalibrationLogEntry expected;
    expected.after = stored;
    expected.before = stored;
    for (int channel = 1; channel <= 3; ++channel) {
        firstGain(expected.before, channel) = kTruth[channel - 1].rangeV / kNominalCodes;
        secondGain(expected.before, channel) = kTruth[channel - 1].rangeV / kNominalCodes;
    }
    expected.crc32 = integrity::Crc32(&stored, sizeof stored);
    const std::string line = calibr::FormatLogLine(expected);
    EXPECT_THAT(entries[0], ::testing::EndsWith(line.substr(line.find("\"channels\""))));
}

}  // namespace
}  // namespace qm7x::test
