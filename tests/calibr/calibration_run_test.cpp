// The calibration run through the whole program, headless, with a scripted operator on a bench
// written by each test: the calls of both passes, where the new pair lands, the prompts, and
// every way a run ends.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "calibration_fixture.h"
#include "qm7x/program/sessions.h"
#include "qm7x/program/status_line.h"
#include "trqm7x.h"

namespace qm7x::test {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;

constexpr ViStatus kWarnEepromBlank = static_cast<ViStatus>(0x3FFC0801);
constexpr ViStatus kErrorBusy = static_cast<ViStatus>(0xBFFC0805);
constexpr ViStatus kErrorNoData = static_cast<ViStatus>(0xBFFC0806);

// The calls of one complete pass of channel `channel`: set up, switch in, acquire an instant
// block (one state query), switch out, read the samples after the settling interval.
std::vector<std::string> pass(int channel) {
    const char* mask[] = {"", "config_chans 0x0001", "config_chans 0x0002", "config_chans 0x0004"};
    return {"reset",
            "mode_block 625200",
            "sample_period 8e-07",
            mask[channel],
            "input_trigger " + std::to_string(channel) + " 1",
            "start",
            "state",
            "stop",
            "input_trigger 0 0",
            "read_block 625000 200"};
}

class CalibrationRun : public CalibrationProgram {
  protected:
    // The reference source applied at the inputs (channels 1..3), as the operator sets it.
    std::string reference(double ch1, double ch2, double ch3) {
        return "channels_v: [" + std::to_string(ch1) + ", " + std::to_string(ch2) + ", " +
               std::to_string(ch3) + "]\n";
    }
};

TEST_F(CalibrationRun, BothPassesOfChannel2SetTheMaskAndTheNewPairLandsInRow2Only) {
    SimBench bench(CalibrationBench());
    std::array<double, 6> gainsBefore{};
    std::vector<std::string> calls;
    std::array<double, 2> driverPair{};
    std::array<int, 2> ledAtPrompt{}, relayAtPrompt{};
    ui_.frontEnd.AnswerPrompt(
        [&] {
            bench.writeReference(reference(0, 0.9, 0));
            ledAtPrompt[0] = value(cpPanel, CP_LED);
            relayAtPrompt[0] = value(ppPanel, PP_RELE_SWITCH);
        },
        "0.9");
    ui_.frontEnd.AnswerPrompt(
        [&] {
            bench.writeReference(reference(0, -0.9, 0));
            ledAtPrompt[1] = value(cpPanel, CP_LED);
            relayAtPrompt[1] = value(cpPanel, CP_RELE_SWITCH);
        },
        "-0,9");
    chooseTheInstrument();
    ui_.script.Enter(cp(), CP_CHAN, 2).Do("note the gains", [&] { gainsBefore = coeffCopy.gain; });
    calibrate();
    ui_.script.Do("read the result", [&] {
        calls = DriverCalls();
        driverPair = {firstGain(*coeffPtr, 2), secondGain(*coeffPtr, 2)};
        expectBenchAtRest();
    });
    exitProgram();
    runProgram();

    std::vector<std::string> expected = pass(2);
    const auto second = pass(2);
    expected.insert(expected.end(), second.begin(), second.end());
    expected.push_back("extcalibr 0.9 -0.9 200 2");
    EXPECT_THAT(calls, ElementsAreArray(expected));
    EXPECT_THAT(ledAtPrompt, ElementsAre(1, 1));
    EXPECT_THAT(relayAtPrompt, ElementsAre(1, 1));
    EXPECT_THAT(ui_.frontEnd.PopupLog(),
                ElementsAre("prompt: Сообщение оператору | Введите "
                            "верхнее(положительное) значение напряжения, В -> \"0.9\"",
                            "prompt: Сообщение оператору | Введите "
                            "нижнее(отрицательное) значение напряжения, В -> \"-0,9\""));
    // The driver's new pair is the true one, in the copy and in row 2; nothing else moved.
    EXPECT_NEAR(driverPair[0], kTrueGainPos2, kTrueGainPos2 * 1e-6);
    EXPECT_NEAR(driverPair[1], kTrueGainNeg2, kTrueGainNeg2 * 1e-6);
}

}  // namespace
}  // namespace qm7x::test
