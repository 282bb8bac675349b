// The program's recorder: a store that cannot be written costs only that record and says why;
// once it can be written again the session is recorded before the row that needs it. And the
// drift the history plots.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "qm7x/results/drift.h"
#include "qm7x/results/recorder.h"
#include "store_location.h"

namespace qm7x::results::test {
namespace {

using testing::HasSubstr;

TEST(Recorder, UnwritableStoreSaysWhyAndTheSessionFollowsOnceItCanBeWritten) {
    StoreLocation store(Kind::Sqlite);
    auto missing = store.folder() / "missing";
    ::setenv("QM7X_RESULTS_DB", (missing / "qm7x-results.sqlite").c_str(), 1);
    Recorder recorder;
    SessionRecord session;
    session.serial = "QM7X-0412";
    auto failure = recorder.BeginSession(session);
    ASSERT_TRUE(failure);
    EXPECT_THAT(*failure, HasSubstr((missing / "qm7x-results.sqlite").string()));
    EXPECT_THAT(*failure, HasSubstr("cannot open"));
    PointRecord point;
    point.un = 9.0;
    point.ux = 9.001;
    EXPECT_TRUE(recorder.Point(point));

    std::filesystem::create_directories(missing);
    EXPECT_FALSE(recorder.Point(point));
    auto history = ResultsStore::Open(missing / "qm7x-results.sqlite")->History("QM7X-0412");
    ASSERT_EQ(history.size(), 1u);
    EXPECT_EQ(history[0].points.size(), 1u);  // the failed one is not there, and was said so
    EXPECT_EQ(recorder.SessionSerial(), "QM7X-0412");
    ::unsetenv("QM7X_RESULTS_DB");
}

TEST(Drift, DeviationPerChannelAndNominalInDaysSinceTheFirstPoint) {
    EXPECT_EQ(EpochSeconds("1970-01-02T03:00:00+03:00"), 86400.0);
    EXPECT_EQ(EpochSeconds("1970-01-01T00:00:00-01:30"), 5400.0);
    EXPECT_FALSE(EpochSeconds("2026-13-01T00:00:00+00:00"));
    EXPECT_FALSE(EpochSeconds("2026-12-07 10:00:00"));

    auto point = [](std::string at, int channel, double un, double ux) {
        PointSummary p;
        p.recorded_at = std::move(at);
        p.channel = channel;
        p.un = un;
        p.ux = ux;
        return p;
    };
    std::vector<SessionHistory> history(2);
    history[0].points = {point("2026-12-01T12:00:00+03:00", 1, 9.0, 9.002),
                         point("2026-12-01T12:01:00+03:00", 2, 0.9, 0.9001)};
    history[1].points = {point("2026-12-03T09:00:00+00:00", 1, 9.0, 8.999),
                         point("bad time", 1, 9.0, 9.0)};
    auto drift = DriftOf(history);
    ASSERT_EQ(drift.size(), 2u);
    EXPECT_EQ(drift[0].channel, 1);
    ASSERT_EQ(drift[0].days.size(), 2u);
    EXPECT_DOUBLE_EQ(drift[0].days[0], 0.0);
    EXPECT_DOUBLE_EQ(drift[0].days[1], 2.0);  // 12:00+03:00 to 09:00Z two days later
    EXPECT_NEAR(drift[0].deviation[1], -0.001, 1e-12);
    EXPECT_EQ(drift[1].channel, 2);
}

}  // namespace
}  // namespace qm7x::results::test
