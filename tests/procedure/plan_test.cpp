// Plan files: the shipped standard plan, the keys a plan and a point share, and the refusal of
// what a plan must not hold, each with its file and line.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "qm7x/procedure/plan.h"
#include "qm7x/procedure/procedure.h"

namespace qm7x::procedure {
namespace {

using ::testing::HasSubstr;

TEST(Plan, TheStandardPlanTakesZeroAndTenFiftyNinetyPercentBothWaysOnEachChannel) {
    const Plan plan = LoadPlan(QM7X_PLANS "/standard.yaml");
    EXPECT_EQ(plan.name, "Поверка по основным точкам");
    EXPECT_TRUE(plan.zeroOffset);
    ASSERT_EQ(plan.points.size(), 21u);
    const double ranges[] = {10.0, 1.0, 0.1};
    // As an operator types them: 90 % of 0.1 V is 0.09, not 0.09000000000000001.
    const double typed[3][7] = {{0, 1, -1, 5, -5, 9, -9},
                                {0, 0.1, -0.1, 0.5, -0.5, 0.9, -0.9},
                                {0, 0.01, -0.01, 0.05, -0.05, 0.09, -0.09}};
    for (std::size_t i = 0; i < plan.points.size(); ++i) {
        const PlanPoint& point = plan.points[i];
        EXPECT_EQ(point.channel, static_cast<int>(i / 7) + 1);
        EXPECT_EQ(NominalVolts(point, ranges[i / 7]), typed[i / 7][i % 7]) << i;
        EXPECT_FALSE(point.periodS || point.passband || point.temperature);
    }
}

TEST(Plan, APointTakesThePlansConditionsUnlessItGivesItsOwn) {
    const Plan plan = ParsePlan(R"(
period_s: 0.001
passband: 1
temperature: 23
points:
  - {channel: 1, volts: 9.0}
  - {channel: 2, volts: -0.5, period_s: 0.0002, temperature: 40}
)",
                                "p.yaml");
    ASSERT_EQ(plan.points.size(), 2u);
    EXPECT_FALSE(plan.zeroOffset);
    EXPECT_EQ(*plan.points[0].periodS, 0.001);
    EXPECT_EQ(*plan.points[0].passband, 1);
    EXPECT_EQ(plan.points[0].temperature->kind, Temperature::Kind::given);
    EXPECT_EQ(plan.points[0].temperature->degrees, 23);
    EXPECT_EQ(*plan.points[1].periodS, 0.0002);
    EXPECT_EQ(plan.points[1].temperature->kind, Temperature::Kind::at40);
    EXPECT_EQ(NominalVolts(plan.points[1], 1.0), -0.5);
}

TEST(Plan, WhatAPlanMustNotHoldIsRefusedWithItsLine) {
    const auto problem = [](const std::string& text) {
        try {
            ParsePlan(text, "p.yaml");
        } catch (const PlanError& error) {
            return std::string(error.what());
        }
        return std::string("accepted");
    };
    EXPECT_EQ(problem("points:\n  - {channel: 4, volts: 1}\n"),
              "p.yaml, строка 2: channel: ожидается целое число 1..3");
    EXPECT_EQ(problem("points:\n  - {channel: 1, volts: 1, percent: 10}\n"),
              "p.yaml, строка 2: points: нужно одно из volts и percent");
    EXPECT_EQ(problem("points:\n  - {channel: 1, percent: 120}\n"),
              "p.yaml, строка 2: percent: ожидается -100..100 % диапазона");
    EXPECT_EQ(problem("poinst: []\n"), "p.yaml, строка 1: план: неизвестный ключ «poinst»");
    EXPECT_THAT(problem("points: []\n"), HasSubstr("ожидается непустой список точек"));
    EXPECT_THAT(problem("points:\n  - {channel: 1, volts: .nan}\n"),
                HasSubstr("volts: ожидается число"));
    EXPECT_THAT(problem("passband: 2\npoints:\n  - {channel: 1, volts: 1}\n"),
                HasSubstr("passband: ожидается целое число 0..1"));
    EXPECT_THAT(problem("points: [\n"), HasSubstr("p.yaml, строка"));
    EXPECT_THAT(problem("name: [a]\npoints:\n  - {channel: 1, volts: 1}\n"),
                HasSubstr("name: ожидается текст"));
}

TEST(Plan, AFileThatCannotBeReadIsNamedWithTheSystemsWords) {
    try {
        LoadPlan("/nonexistent/plan.yaml");
        FAIL() << "a missing plan was read";
    } catch (const PlanError& error) {
        EXPECT_THAT(error.what(), HasSubstr("/nonexistent/plan.yaml: No such file or directory"));
    }
    EXPECT_EQ(CalibrateModeByName("if-needed"), CalibrateMode::ifNeeded);
    EXPECT_EQ(CalibrateModeByName("sometimes"), std::nullopt);
}

}  // namespace
}  // namespace qm7x::procedure
