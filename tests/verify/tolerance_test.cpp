// The tolerance of a point from the range and the passband, and the temperature allowance.
#include <gtest/gtest.h>

#include "qm7x/verify/tolerance.h"

namespace qm7x::verify {
namespace {

TEST(ChannelTolerance, PassbandBelow500kHzFollowsTheRangeAndTheReading) {
    EXPECT_DOUBLE_EQ(ChannelTolerance(0, 0, 9.0), 0.0025);
    EXPECT_DOUBLE_EQ(ChannelTolerance(0, 0, -3.0), 0.0025);
    EXPECT_DOUBLE_EQ(ChannelTolerance(1, 0, 0.5), 0.0001 * 0.5 + 0.00035);  // 0.0004
    EXPECT_DOUBLE_EQ(ChannelTolerance(1, 0, -0.9), 0.0001 * 0.9 + 0.00035);
    EXPECT_DOUBLE_EQ(ChannelTolerance(2, 0, 0.05), 0.00035);
}

TEST(ChannelTolerance, PassbandAbove500kHzIsAFixedShareOfTheRange) {
    for (const double un : {0.0, 0.5, -7.0}) {
        EXPECT_DOUBLE_EQ(ChannelTolerance(0, 1, un), 0.005);
        EXPECT_DOUBLE_EQ(ChannelTolerance(1, 1, un), 0.0005);
        EXPECT_DOUBLE_EQ(ChannelTolerance(2, 1, un), 0.00005);
    }
}

TEST(TemperatureAllowance, FixedConditions) {
    EXPECT_EQ(TemperatureAllowance(TemperatureCondition::Normal, 99), 0.0);
    EXPECT_DOUBLE_EQ(TemperatureAllowance(TemperatureCondition::At5, 0), 0.00026);
    EXPECT_DOUBLE_EQ(TemperatureAllowance(TemperatureCondition::At40, 0), 0.00036);
    // Channel 2, 1-V range, Un 0.5, "+40 C": 0.0004 + 0.00036.
    EXPECT_NEAR(ChannelTolerance(1, 0, 0.5) + TemperatureAllowance(TemperatureCondition::At40, 0),
                0.00076, 1e-15);
}

TEST(TemperatureAllowance, GivenTemperatureBeyondTheBand) {
    EXPECT_EQ(TemperatureAllowance(TemperatureCondition::Given, 21), 0.0);
    EXPECT_EQ(TemperatureAllowance(TemperatureCondition::Given, 18), 0.0);
    EXPECT_EQ(TemperatureAllowance(TemperatureCondition::Given, 22), 0.0);
    EXPECT_DOUBLE_EQ(TemperatureAllowance(TemperatureCondition::Given, 25), 0.00006);
    EXPECT_DOUBLE_EQ(TemperatureAllowance(TemperatureCondition::Given, 15), 0.00006);
    EXPECT_DOUBLE_EQ(TemperatureAllowance(TemperatureCondition::Given, -100), 118 * 0.00002);
}

}  // namespace
}  // namespace qm7x::verify
