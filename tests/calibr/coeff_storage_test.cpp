// The coefficient record and its table without a mezzanine: the rules of tags and range classes,
// and the load, store, default and fill operations on the program's copy.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "program_panels.h"
#include "qm7x/calibr/coeff_storage.h"
#include "qm7x/program/sessions.h"
#include "sim_bench.h"

namespace qm7x::test {
namespace {

using qm7x::CoeffRecord;
using ::testing::ElementsAre;

std::array<char, 4> tag(const char (&text)[5]) {
    return {text[0], text[1], text[2], text[3]};
}

TEST(CoeffTag, ShownIndexFromTag) {
    const struct {
        std::array<char, 4> tag;
        int index;
    } cases[] = {
        {tag("QM7X"), 0}, {tag("PX94"), 1},           {tag("PX52"), 0},
        {tag("px94"), 0}, {{'P', 'X', '9', '\0'}, 0}, {{'\xFF', '\xFF', '\xFF', '\xFF'}, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(calibr::ringIndexOfTag(c.tag), c.index)
            << std::string(c.tag.begin(), c.tag.end());
    }
}

TEST(CoeffTag, StoredTagFromIndex) {
    EXPECT_EQ(calibr::tagOfRingIndex(0), tag("PX52"));
    EXPECT_EQ(calibr::tagOfRingIndex(1), tag("PX94"));
}

TEST(RangeClass, MarginOverNominalLimits) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        double volts;
        int index;
    } cases[] = {
        {10.0, 0}, {1.2000001, 0}, {1.2, 1},   {1.0, 1}, {0.1200001, 1}, {0.12, 2},
        {0.1, 2},  {0.0, 2},       {-10.0, 2}, {nan, 2}, {inf, 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(calibr::classifyRange(c.volts), c.index) << c.volts;
    }
}

TEST(CoeffRecordLayout, GainsSitAtTheMathLibraryPositions) {
    CoeffRecord record{};
    qm7x::secondGain(record, 3) = 2.5;
    qm7x::firstGain(record, 1) = 1.5;
    double doubles[14];
    std::memcpy(doubles, &record, sizeof doubles);
    EXPECT_EQ(doubles[4], 1.5);
    EXPECT_EQ(doubles[9], 2.5);
}

// Panels loaded, no mezzanine: every operation works on the program's copy.
class DemoStorage : public ProgramPanels {
  protected:
    void SetUp() override {
        ProgramPanels::SetUp();
        qm7x::coeffCopy = sample();
    }

    static CoeffRecord sample() {
        CoeffRecord record{};
        record.tag = tag("QM7X");
        record.reserved = {1, 2, 3, 4};
        record.rangeV = {10.0, 1.0, 0.1};
        record.gain = {1.1, 1.2, 2.1, 2.2, 3.1, 3.2};
        record.testU = {9.0, 0.9, 0.09};
        record.spare = 42.0;
        return record;
    }

    static void commit(int (*callback)(int, int, int, void*, int, int), int control) {
        EXPECT_EQ(callback(qm7x::cpPanel, control, ui::EVENT_COMMIT, nullptr, 0, 0), 0);
    }

    SimBench bench_{{EmptyPosition(), EmptyPosition(), EmptyPosition(), EmptyPosition()}};
};

TEST_F(DemoStorage, ShowPutsGainsRangesTestVoltagesAndPassband) {
    qm7x::coeffCopy.tag = tag("PX94");
    calibr::showCoeff();
    EXPECT_THAT(column(1), ElementsAre(1.1, 2.1, 3.1));
    EXPECT_THAT(column(2), ElementsAre(1.2, 2.2, 3.2));
    EXPECT_THAT(column(3), ElementsAre(10.0, 1.0, 0.1));
    EXPECT_THAT(column(4), ElementsAre(9.0, 0.9, 0.09));
    EXPECT_EQ(ringIndex(), 1);
}

TEST_F(DemoStorage, StoreTakesColumnsThreeAndFourAndThePassbandButNotTheGains) {
    calibr::showCoeff();
    setColumn(1, {7.0, 7.0, 7.0});
    setColumn(2, {8.0, 8.0, 8.0});
    setColumn(3, {1.0, 0.1, 10.0});
    setColumn(4, {0.5, 0.05, 5.0});
    ASSERT_GE(ui::SetCtrlIndex(qm7x::cpPanel, CP_RING_LINE, 1), 0);
    ui_.frontEnd.AnswerConfirm(true);

    commit(calibr::writeEEPROM, CP_WRITE_EEPROM);

    ASSERT_EQ(ui_.frontEnd.PopupLog().size(), 1u);
    EXPECT_THAT(ui_.frontEnd.PopupLog()[0], ::testing::HasSubstr("Записать коэффициенты?"));
    CoeffRecord expected = sample();
    expected.tag = tag("PX94");
    expected.rangeV = {1.0, 0.1, 10.0};
    expected.testU = {0.5, 0.05, 5.0};
    EXPECT_EQ(std::memcmp(&qm7x::coeffCopy, &expected, sizeof expected), 0);
    EXPECT_EQ(qm7x::coeffPtr, &qm7x::coeffCopy);
    EXPECT_FALSE(ui_.frontEnd.WaitCursorOn());
    EXPECT_EQ(ui_.frontEnd.WaitCursorShownCount(), 1);
}

TEST_F(DemoStorage, StoreOfAQm7xTagUntouchedWritesTheBelow500kHzTag) {
    calibr::showCoeff();
    ui_.frontEnd.AnswerConfirm(true);
    commit(calibr::writeEEPROM, CP_WRITE_EEPROM);
    EXPECT_EQ(qm7x::coeffCopy.tag, tag("PX52"));
}

TEST_F(DemoStorage, StoreCopiesTheWholeRecordOntoTheBoundRecord) {
    CoeffRecord bound{};
    qm7x::coeffPtr = &bound;
    calibr::showCoeff();
    ui_.frontEnd.AnswerConfirm(true);
    commit(calibr::writeEEPROM, CP_WRITE_EEPROM);
    qm7x::coeffPtr = &qm7x::coeffCopy;
    EXPECT_EQ(std::memcmp(&bound, &qm7x::coeffCopy, sizeof bound), 0);
    EXPECT_EQ(bound.reserved, (std::array<std::uint8_t, 4>{1, 2, 3, 4}));
    EXPECT_EQ(bound.spare, 42.0);
}

TEST_F(DemoStorage, DecliningChangesNothingAndKeepsTheEdits) {
    CoeffRecord bound = sample();
    qm7x::coeffPtr = &bound;
    calibr::showCoeff();
    setColumn(3, {1.0, 1.0, 1.0});
    ui_.frontEnd.AnswerConfirm(false);

    commit(calibr::writeEEPROM, CP_WRITE_EEPROM);

    qm7x::coeffPtr = &qm7x::coeffCopy;
    const CoeffRecord expected = sample();
    EXPECT_EQ(std::memcmp(&qm7x::coeffCopy, &expected, sizeof expected), 0);
    EXPECT_EQ(std::memcmp(&bound, &expected, sizeof expected), 0);
    EXPECT_THAT(column(3), ElementsAre(1.0, 1.0, 1.0));
    EXPECT_EQ(ui_.frontEnd.WaitCursorShownCount(), 0);
}

TEST_F(DemoStorage, StoreClearsTheStatusLineFirst) {
    ASSERT_GE(ui::SetCtrlVal(qm7x::mpPanel, MP_ERROR_MESSAGE, "старое сообщение"), 0);
    ui_.frontEnd.AnswerConfirm(false);
    commit(calibr::writeEEPROM, CP_WRITE_EEPROM);
    EXPECT_EQ(statusLine(), "");
}

TEST_F(DemoStorage, FillingAColumnTouchesOnlyTheTable) {
    calibr::showCoeff();
    ASSERT_GE(ui::SetCtrlVal(qm7x::cpPanel, CP_RANGE, 1.0), 0);
    commit(calibr::allCB, CP_RANGE);
    EXPECT_THAT(column(3), ElementsAre(1.0, 1.0, 1.0));
    EXPECT_THAT(column(4), ElementsAre(9.0, 0.9, 0.09));

    ASSERT_GE(ui::SetCtrlVal(qm7x::cpPanel, CP_TEST_U, 0.25), 0);
    commit(calibr::allCB, CP_TEST_U);
    EXPECT_THAT(column(4), ElementsAre(0.25, 0.25, 0.25));
    EXPECT_THAT(column(3), ElementsAre(1.0, 1.0, 1.0));

    const CoeffRecord expected = sample();
    EXPECT_EQ(std::memcmp(&qm7x::coeffCopy, &expected, sizeof expected), 0);
}

TEST_F(DemoStorage, CallbacksIgnoreEventsOtherThanCommit) {
    ASSERT_GE(ui::SetCtrlVal(qm7x::cpPanel, CP_RANGE, 1.0), 0);
    for (auto* callback :
         {calibr::readEEPROM, calibr::writeEEPROM, calibr::resetCf, calibr::allCB}) {
        EXPECT_EQ(callback(qm7x::cpPanel, CP_RANGE, ui::EVENT_VAL_CHANGED, nullptr, 0, 0), 0);
    }
    EXPECT_TRUE(ui_.frontEnd.PopupLog().empty());
    EXPECT_THAT(column(3), ElementsAre(0.0, 0.0, 0.0));
}

TEST_F(DemoStorage, LoadWithoutASessionShowsTheDriverStatusAndTheCopy) {
    commit(calibr::readEEPROM, CP_READ_EEPROM);
    EXPECT_NE(statusLine(), "");
    EXPECT_EQ(statusColour(), qm7x::kStatusRed);
    EXPECT_THAT(column(4), ElementsAre(9.0, 0.9, 0.09));
    EXPECT_FALSE(ui_.frontEnd.WaitCursorOn());
}

TEST_F(DemoStorage, DefaultWithoutASessionShowsTheBoundRecord) {
    CoeffRecord bound = sample();
    bound.testU = {3.0, 0.3, 0.03};
    qm7x::coeffPtr = &bound;
    commit(calibr::resetCf, CP_RESET_CF);
    qm7x::coeffPtr = &qm7x::coeffCopy;
    EXPECT_THAT(column(4), ElementsAre(3.0, 0.3, 0.03));
    EXPECT_EQ(qm7x::coeffCopy.testU, bound.testU);
    EXPECT_EQ(statusLine(), "");  // the driver's status is not shown
}

}  // namespace
}  // namespace qm7x::test
