// The calibration run through the whole program, headless, with a scripted operator on a bench
// written by each test: the calls of both passes, where the new pair lands, the prompts, and
// every way a run ends.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "calibration_fixture.h"
#include "qm7x/calibr/coeff_storage.h"
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
constexpr ViStatus kErrorCalibration = static_cast<ViStatus>(0xBFFC080A);

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
    std::array<double, 6> gainsBefore{}, gainsAfter{};
    std::array<std::array<double, 3>, 2> tableAfter{};
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
        gainsAfter = coeffCopy.gain;
        for (int col = 1; col <= 2; ++col) {
            tableAfter[col - 1] = {cell(col, 1), cell(col, 2), cell(col, 3)};
        }
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
    EXPECT_EQ(tableAfter[0][1], driverPair[0]);
    EXPECT_EQ(tableAfter[1][1], driverPair[1]);
    std::array<double, 6> expectedGains = gainsBefore;
    expectedGains[2] = driverPair[0];
    expectedGains[3] = driverPair[1];
    EXPECT_EQ(gainsAfter, expectedGains);
    for (int row : {0, 2}) {
        EXPECT_EQ(tableAfter[0][row], gainsBefore[2 * row]);
        EXPECT_EQ(tableAfter[1][row], gainsBefore[2 * row + 1]);
    }
    EXPECT_EQ(statusLine(), "");
}

// The channel is read at the start of each pass: changed while the first prompt is open, the
// second pass acquires the new channel and the pair lands in its row.
TEST_F(CalibrationRun, TheChannelIsReadAtEachPassAndThePairLandsInTheRowOfTheSecond) {
    SimBench bench(CalibrationBench());
    std::vector<std::string> calls;
    std::array<double, 3> firstColumn{};
    ui_.frontEnd.AnswerPrompt(
        [&] {
            bench.writeReference(reference(0.09, 0, 0.09));
            ui::SetCtrlVal(cpPanel, CP_CHAN, 3);
        },
        "0.09");
    ui_.frontEnd.AnswerPrompt([&] { bench.writeReference(reference(0, 0, -0.09)); }, "-0.09");
    chooseTheInstrument();
    double row1Before = 0;
    ui_.script.Do("note row 1", [&] { row1Before = cell(1, 1); });
    calibrate();
    ui_.script.Do("read the result", [&] {
        calls = DriverCalls();
        firstColumn = {cell(1, 1), cell(1, 2), cell(1, 3)};
        EXPECT_EQ(firstColumn[2], firstGain(coeffCopy, 3));
    });
    exitProgram();
    runProgram();

    EXPECT_THAT(calls, ::testing::Contains("config_chans 0x0001"));
    EXPECT_THAT(calls, ::testing::Contains("config_chans 0x0004"));
    EXPECT_THAT(calls, ::testing::Contains("input_trigger 3 1"));
    EXPECT_EQ(calls.back(), "extcalibr 0.09 -0.09 200 3");
    EXPECT_EQ(firstColumn[0], row1Before);
}

// A warning of the reset is shown while the first prompt is open and gone once it is answered;
// the run goes on to new coefficients.
TEST_F(CalibrationRun, AWarningOfTheResetIsShownAndClearedAtThePrompt) {
    SimBench bench(CalibrationBench(), {{"trqm7x_reset", kWarnEepromBlank, 1}});
    std::array<std::string, 2> atPrompt;
    ui_.frontEnd.AnswerPrompt(
        [&] {
            atPrompt[0] = statusLine();
            bench.writeReference(reference(9, 0, 0));
        },
        "9");
    ui_.frontEnd.AnswerPrompt(
        [&] {
            atPrompt[1] = statusLine();
            bench.writeReference(reference(-9, 0, 0));
        },
        "-9");
    chooseTheInstrument();
    calibrate();
    ui_.script.Do("read the result", [&] {
        EXPECT_EQ(statusLine(),
                  "Калибровка канала 1 выполнена: новые коэффициенты в таблице, в EEPROM не "
                  "записаны");
        EXPECT_NEAR(firstGain(coeffCopy, 1), kTrueGainPos1, kTrueGainPos1 * 1e-6);
        EXPECT_NEAR(secondGain(coeffCopy, 1), kTrueGainNeg1, kTrueGainNeg1 * 1e-6);
    });
    exitProgram();
    runProgram();

    EXPECT_EQ(atPrompt[0], StatusText(kWarnEepromBlank));
    EXPECT_EQ(atPrompt[1], "");
}

// A negative status at any step of the set-up or of the acquisition ends the run: shown, no
// coefficients, the relay released and shown so, the LED off.
struct AbortStep {
    const char* operation;
    int call;
    int promptsAnswered;
    const char* lastCallBeforeRelease;
};

class CalibrationAbort : public CalibrationRun, public ::testing::WithParamInterface<AbortStep> {};

TEST_P(CalibrationAbort, ANegativeStatusEndsTheRunWithTheBenchAtRest) {
    const AbortStep step = GetParam();
    const ViStatus failure = kErrorBusy;
    SimBench bench(CalibrationBench(), {{step.operation, failure, step.call}});
    for (int i = 0; i < step.promptsAnswered; ++i) {
        const double volts = i == 0 ? 9 : -9;
        ui_.frontEnd.AnswerPrompt(
            [&bench, this, volts] { bench.writeReference(reference(volts, 0, 0)); },
            i == 0 ? "9" : "-9");
    }
    std::array<double, 6> gainsBefore{};
    std::vector<std::string> calls;
    std::string status;
    chooseTheInstrument();
    ui_.script.Do("note the gains", [&] { gainsBefore = coeffCopy.gain; });
    calibrate();
    ui_.script.Do("read the result", [&] {
        calls = DriverCalls();
        status = statusLine();
        EXPECT_EQ(coeffCopy.gain, gainsBefore);
        EXPECT_EQ(cell(1, 1), gainsBefore[0]);
        expectBenchAtRest();
    });
    exitProgram();
    runProgram();

    EXPECT_EQ(status, StatusText(failure));
    EXPECT_EQ(CountDriverCalls("extcalibr"), 0);
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls[calls.size() - 2], step.lastCallBeforeRelease);
    EXPECT_EQ(calls.back(), "input_trigger 0 0");
}

INSTANTIATE_TEST_SUITE_P(
    EachStep, CalibrationAbort,
    ::testing::Values(AbortStep{"trqm7x_reset", 1, 0, "reset"},
                      AbortStep{"trqm7x_mode_block", 1, 0, "mode_block 625200"},
                      AbortStep{"trqm7x_sample_period", 1, 0, "sample_period 8e-07"},
                      AbortStep{"trqm7x_config_chans", 1, 0, "config_chans 0x0001"},
                      AbortStep{"trqm7x_input_trigger", 1, 0, "input_trigger 1 1"},
                      AbortStep{"trqm7x_start", 1, 1, "start"},
                      AbortStep{"trqm7x_state", 1, 1, "state"},
                      AbortStep{"trqm7x_stop", 1, 1, "stop"},
                      // The release after the first block fails: released again at the end.
                      AbortStep{"trqm7x_input_trigger", 2, 1, "input_trigger 0 0"},
                      AbortStep{"trqm7x_reset", 2, 1, "reset"},
                      AbortStep{"trqm7x_start", 2, 2, "start"}),
    [](const auto& test) {
        return std::string(test.param.operation).substr(7) + "_call" +
               std::to_string(test.param.call);
    });

// A release the driver refuses twice (after the block, and when the run ends) leaves the relay
// in: both switches show it so, and the status line gives both causes.
TEST_F(CalibrationRun, ARefusedReleaseLeavesBothSwitchesShowingTheRelayIn) {
    SimBench bench(CalibrationBench(), {{"trqm7x_input_trigger", kErrorBusy, 2},
                                        {"trqm7x_input_trigger", kErrorBusy, 3}});
    ui_.frontEnd.AnswerPrompt([&] { bench.writeReference(reference(9, 0, 0)); }, "9");
    std::array<int, 2> switches{};
    std::string status;
    chooseTheInstrument();
    calibrate();
    ui_.script.Do("read the result", [&] {
        switches = {value(cpPanel, CP_RELE_SWITCH), value(ppPanel, PP_RELE_SWITCH)};
        status = statusLine();
    });
    exitProgram();
    runProgram();

    EXPECT_THAT(switches, ElementsAre(1, 1));
    EXPECT_EQ(status,
              StatusText(kErrorBusy) + "; Входное реле не выключено: " + StatusText(kErrorBusy));
}

// Cancelling either prompt ends the run: nothing is acquired after it, no coefficients.
class CalibrationCancel : public CalibrationRun, public ::testing::WithParamInterface<bool> {};

TEST_P(CalibrationCancel, ACancelledPromptEndsTheRun) {
    const bool cancelFirst = GetParam();
    SimBench bench(CalibrationBench());
    if (!cancelFirst) {
        ui_.frontEnd.AnswerPrompt([&] { bench.writeReference(reference(9, 0, 0)); }, "9");
    }
    ui_.frontEnd.CancelPrompt();
    std::vector<std::string> calls;
    std::string status;
    std::array<double, 6> gainsBefore{};
    chooseTheInstrument();
    ui_.script.Do("note the gains", [&] { gainsBefore = coeffCopy.gain; });
    calibrate();
    ui_.script.Do("read the result", [&] {
        calls = DriverCalls();
        status = statusLine();
        EXPECT_EQ(coeffCopy.gain, gainsBefore);
        expectBenchAtRest();
    });
    exitProgram();
    runProgram();

    EXPECT_EQ(status, "Калибровка отменена оператором");
    EXPECT_EQ(CountDriverCalls("start"), cancelFirst ? 0 : 1);
    EXPECT_EQ(CountDriverCalls("extcalibr"), 0);
    // After the cancel: nothing but the release.
    ASSERT_GE(calls.size(), 2u);
    EXPECT_EQ(calls[calls.size() - 2], "input_trigger 1 1");
    EXPECT_EQ(calls.back(), "input_trigger 0 0");
}

INSTANTIATE_TEST_SUITE_P(EitherPrompt, CalibrationCancel, ::testing::Bool(),
                         [](const auto& test) { return test.param ? "First" : "Second"; });

// A reply that is not a number, or a voltage of the wrong polarity, is refused with a message;
// the block of that point is never acquired and no coefficients are computed.
struct RefusedReply {
    const char* positive;
    const char* negative;  // nullptr: the refusal comes at the first prompt
    const char* message;
};

class CalibrationRefusal : public CalibrationRun,
                           public ::testing::WithParamInterface<RefusedReply> {};

TEST_P(CalibrationRefusal, TheRunEndsWithoutAcquiringThePoint) {
    const RefusedReply reply = GetParam();
    SimBench bench(CalibrationBench());
    bench.writeReference(reference(9, 0, 0));
    ui_.frontEnd.AnswerPrompt(reply.positive);
    if (reply.negative != nullptr) {
        ui_.frontEnd.AnswerPrompt(reply.negative);
    }
    std::string status;
    int colour = 0;
    std::array<double, 6> gainsBefore{};
    chooseTheInstrument();
    ui_.script.Do("note the gains", [&] { gainsBefore = coeffCopy.gain; });
    calibrate();
    ui_.script.Do("read the result", [&] {
        status = statusLine();
        ui::GetCtrlAttribute(mpPanel, MP_ERROR_MESSAGE, ui::ATTR_TEXT_COLOR, colour);
        EXPECT_EQ(coeffCopy.gain, gainsBefore);
        expectBenchAtRest();
    });
    exitProgram();
    runProgram();

    EXPECT_EQ(status, reply.message);
    EXPECT_EQ(colour, kStatusRed);
    EXPECT_EQ(CountDriverCalls("start"), reply.negative == nullptr ? 0 : 1);
    EXPECT_EQ(CountDriverCalls("extcalibr"), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, CalibrationRefusal,
    ::testing::Values(
        RefusedReply{"abc", nullptr,
                     "Значение верхнего (положительного) напряжения «abc» не число: калибровка "
                     "прервана"},
        RefusedReply{"", nullptr,
                     "Значение верхнего (положительного) напряжения «» не число: калибровка "
                     "прервана"},
        RefusedReply{"-9", nullptr,
                     "Верхнее (положительное) напряжение должно быть больше 0 В, введено «-9»: "
                     "калибровка прервана"},
        RefusedReply{"0", nullptr,
                     "Верхнее (положительное) напряжение должно быть больше 0 В, введено «0»: "
                     "калибровка прервана"},
        RefusedReply{"9", "9",
                     "Нижнее (отрицательное) напряжение должно быть меньше 0 В, введено «9»: "
                     "калибровка прервана"},
        RefusedReply{"9", "-9 В",
                     "Значение нижнего (отрицательного) напряжения «-9 В» не число: калибровка "
                     "прервана"}));

// A typed voltage beyond the channel's range, or far from what the module reads at that point, is
// refused with both values named; nothing is computed and the bench is left at rest.
struct ImplausibleReply {
    const char* typed;
    double applied;  // volts at channel 1 while the first prompt is open
    const char* message;
};

class CalibrationPlausibility : public CalibrationRun,
                                public ::testing::WithParamInterface<ImplausibleReply> {};

TEST_P(CalibrationPlausibility, AnImplausibleReplyEndsTheRunWithBothValues) {
    const ImplausibleReply reply = GetParam();
    SimBench bench(CalibrationBench());
    ui_.frontEnd.AnswerPrompt([&] { bench.writeReference(reference(reply.applied, 0, 0)); },
                              reply.typed);
    std::string status;
    std::array<double, 6> gainsBefore{};
    chooseTheInstrument();
    ui_.script.Do("note the gains", [&] { gainsBefore = coeffCopy.gain; });
    calibrate();
    ui_.script.Do("read the result", [&] {
        status = statusLine();
        EXPECT_EQ(coeffCopy.gain, gainsBefore);
        EXPECT_EQ(coeffPtr->gain, gainsBefore);
        expectBenchAtRest();
    });
    exitProgram();
    runProgram();

    EXPECT_EQ(status, reply.message);
    EXPECT_EQ(CountDriverCalls("extcalibr"), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Replies, CalibrationPlausibility,
    ::testing::Values(
        ImplausibleReply{"1e300", 9,
                         "Введено 1e+300 В, а диапазон канала 1 10 В: калибровка прервана"},
        ImplausibleReply{"9000", 9,
                         "Введено 9000 В, а диапазон канала 1 10 В: калибровка прервана"},
        // The factory gain reads 9 V applied as 8.94 V (true gain 1.2e-6 against 10 / 2^23).
        ImplausibleReply{"1,5", 9,
                         "Введено 1.5 В, а модуль на канале 1 измерил 8.9407 В (расхождение "
                         "больше 10 % диапазона 10 В): калибровка прервана"},
        ImplausibleReply{"9", 7.9,
                         "Введено 9 В, а модуль на канале 1 измерил 7.84794 В (расхождение "
                         "больше 10 % диапазона 10 В): калибровка прервана"}));

// A module whose record holds no usable gains reads through the nominal gain: it can still be
// calibrated, and a slip is still caught.
TEST_F(CalibrationRun, AModuleWithZeroGainsIsReadThroughTheNominalGain) {
    SimBench bench(CalibrationBench());
    ui_.frontEnd.AnswerPrompt([&] { bench.writeReference(reference(9, 0, 0)); }, "1,5");
    ui_.frontEnd.AnswerPrompt([&] { bench.writeReference(reference(9, 0, 0)); }, "9");
    ui_.frontEnd.AnswerPrompt([&] { bench.writeReference(reference(-9, 0, 0)); }, "-9");
    // All zero, as an erased record reads, but for one gain that is not a number.
    const auto spoil = [] {
        coeffPtr->gain.fill(0.0);
        coeffPtr->rangeV.fill(0.0);
        secondGain(*coeffPtr, 1) = std::nan("");
        calibr::refreshRanges();
    };
    std::array<std::string, 2> status;
    chooseTheInstrument();
    ui_.script.Do("spoil the gains", spoil);
    calibrate();
    ui_.script.Do("note the status", [&] { status[0] = statusLine(); }).Do("spoil again", spoil);
    calibrate();
    ui_.script.Do("note the status", [&] { status[1] = statusLine(); });
    exitProgram();
    runProgram();

    // 9 V through the true gain 1.2e-6 V per code, read through 10 V / 2^23.
    EXPECT_EQ(status[0],
              "Введено 1.5 В, а модуль на канале 1 измерил 8.9407 В (расхождение больше 10 % "
              "диапазона 10 В): калибровка прервана");
    EXPECT_EQ(status[1],
              "Калибровка канала 1 выполнена: новые коэффициенты в таблице, в EEPROM не "
              "записаны");
    EXPECT_EQ(CountDriverCalls("extcalibr"), 1);
}

// A block the module never completes is stopped after 30 s of polls at 0.5 s, and the run ends
// with the time-out on the status line: its samples are never read or used.
TEST_F(CalibrationRun, ABlockThatNeverCompletesEndsTheRunAfter30s) {
    SimBench bench(CalibrationBench("never"));
    ui_.frontEnd.AnswerPrompt("9");
    std::string status;
    double started = 0, ended = 0;
    chooseTheInstrument();
    ui_.script.Do("note the time", [&] { started = ui::Timer(); });
    calibrate();
    ui_.script.Do("read the result", [&] {
        ended = ui::Timer();
        status = statusLine();
        expectBenchAtRest();
    });
    exitProgram();
    runProgram();

    EXPECT_EQ(status,
              "Контрольное время 30 с кончилось, а измерение не завершилось: калибровка прервана");
    EXPECT_EQ(CountDriverCalls("state"), 60);
    EXPECT_DOUBLE_EQ(ended - started, 30.0);
    EXPECT_EQ(CountDriverCalls("stop"), 1);
    EXPECT_EQ(CountDriverCalls("read_block"), 0);
    EXPECT_EQ(CountDriverCalls("extcalibr"), 0);
}

// A failed read of the samples is shown and returned; the bench is left at rest.
TEST_F(CalibrationRun, AFailedReadIsShownAndReturned) {
    SimBench bench(CalibrationBench(), {{"trholdr_m_read_block", kErrorNoData, 2}});
    ui_.frontEnd.AnswerPrompt([&] { bench.writeReference(reference(9, 0, 0)); }, "9");
    ui_.frontEnd.AnswerPrompt([&] { bench.writeReference(reference(-9, 0, 0)); }, "-9");
    int result = 0;
    std::string status;
    chooseTheInstrument();
    pressStartAndWait(result, status);
    exitProgram();
    runProgram();

    EXPECT_EQ(result, kErrorNoData);
    EXPECT_EQ(status, StatusText(kErrorNoData));
    EXPECT_EQ(CountDriverCalls("read_block"), 2);
    EXPECT_EQ(CountDriverCalls("extcalibr"), 0);
}

// A failed calibration of the driver leaves the copy and the table as they were.
TEST_F(CalibrationRun, ARefusedCalibrationLeavesTheTable) {
    SimBench bench(CalibrationBench(), {{"trqm7x_extcalibr", kErrorCalibration, 1}});
    ui_.frontEnd.AnswerPrompt([&] { bench.writeReference(reference(9, 0, 0)); }, "9");
    ui_.frontEnd.AnswerPrompt([&] { bench.writeReference(reference(-9, 0, 0)); }, "-9");
    std::array<double, 6> gainsBefore{};
    std::string status;
    double cellBefore = 0, cellAfter = 0;
    chooseTheInstrument();
    ui_.script.Do("note the gains", [&] {
        gainsBefore = coeffCopy.gain;
        cellBefore = cell(1, 1);
    });
    calibrate();
    ui_.script.Do("read the result", [&] {
        status = statusLine();
        cellAfter = cell(1, 1);
        EXPECT_EQ(coeffCopy.gain, gainsBefore);
    });
    exitProgram();
    runProgram();

    EXPECT_EQ(status, StatusText(kErrorCalibration));
    EXPECT_EQ(cellAfter, cellBefore);
}

// After a run the table shows the new pair; "Чтение EEPROM" brings the stored one back, and a
// store followed by a read keeps the new one.
TEST_F(CalibrationRun, ReadingTheEepromDiscardsTheNewPairAndAStoreKeepsIt) {
    SimBench bench(CalibrationBench());
    for (int run = 0; run < 2; ++run) {
        ui_.frontEnd.AnswerPrompt([&] { bench.writeReference(reference(9, 0, 0)); }, "9");
        ui_.frontEnd.AnswerPrompt([&] { bench.writeReference(reference(-9, 0, 0)); }, "-9");
    }
    const double factory = 10.0 / 8388608.0;
    std::array<double, 4> firstCells{};
    chooseTheInstrument();
    calibrate();
    ui_.script.Do("note the new pair", [&] { firstCells[0] = cell(1, 1); })
        .Commit(cp(), CP_READ_EEPROM)
        .Do("note the stored pair", [&] { firstCells[1] = cell(1, 1); });
    calibrate();
    ui_.script
        .Do("store",
            [&] {
                firstCells[2] = cell(1, 1);
                ui_.frontEnd.AnswerConfirm(true);
                ui::DispatchUserEvent(cpPanel, CP_WRITE_EEPROM, ui::EVENT_COMMIT);
            })
        .Commit(cp(), CP_READ_EEPROM)
        .Do("note the stored pair", [&] { firstCells[3] = cell(1, 1); });
    exitProgram();
    runProgram();

    EXPECT_NEAR(firstCells[0], kTrueGainPos1, kTrueGainPos1 * 1e-6);
    EXPECT_EQ(firstCells[1], factory);
    EXPECT_EQ(firstCells[2], firstCells[0]);
    EXPECT_EQ(firstCells[3], firstCells[0]);
}

}  // namespace
}  // namespace qm7x::test
