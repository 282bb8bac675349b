// The store against each database: what is recorded reads back exactly, rows cannot be changed
// or removed, the chain shows a change made behind the program's back, a newer schema is refused.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <bit>
#include <random>

#include "qm7x/results/chain.h"
#include "qm7x/results/schema.h"
#include "qm7x/results/store.h"
#include "qm7x/verify/deviation_check.h"
#include "store_location.h"

namespace qm7x::results::test {
namespace {

using testing::HasSubstr;

SessionRecord Session(const std::string& serial) {
    SessionRecord s;
    s.carrier_text = "TRHOLDR носитель";
    s.carrier_resource = "VXI0::8::INSTR";
    s.position = 2;
    s.serial = serial;
    s.revision = "QM7X rev 3";
    s.program_version = "1.2.1";
    s.mathlib_ident = "trqm7x_math 1.2.1";
    s.mathlib_crc32 = 0xDEADBEEF;
    s.operator_name = "operator";
    s.bench = "sim/benches/default.yaml";
    return s;
}

// A point of 100 noisy samples judged as the verification judges them.
PointRecord NoisyPoint(std::int64_t session, std::uint32_t seed) {
    std::mt19937 random(seed);
    std::normal_distribution<double> noise(0.0, 2e-4);
    PointRecord p;
    p.session_id = session;
    p.channel = 1;
    p.range_v = 10.0;
    p.passband = "менее 500 кГц";
    p.period_s = 0.0002;
    p.temperature = "20 °C";
    p.un = 9.0;
    for (int i = 0; i < 100; ++i) {
        p.raw_codes.push_back(29000 + static_cast<std::int64_t>(random() % 50) - 25);
        p.volts.push_back(p.un + noise(random) + (i == 7 ? 0.01 : 0.0));
    }
    auto judged = verify::ChkDeviation(p.volts, p.un, 0.005);
    for (auto k : judged.kept) {
        p.kept.push_back(k != 0);
    }
    p.ux = judged.ux;
    p.dumax = judged.dUmax;
    p.axs = judged.axs;
    p.axmax = judged.axmax;
    p.an = judged.an;
    p.verdict = judged.verdict == 0 ? "Норма" : "Не норма";
    p.protocol_file = "Протокол.txt";
    p.protocol_offset = 1234;
    return p;
}

TEST_P(BothStores, PointReadsBackAndItsSamplesGiveItsUxBitForBit) {
    auto store = ResultsStore::Open(store_->location());
    auto session = store->RecordSession(Session("QM-0001"));
    auto recorded = NoisyPoint(session, 7);
    auto id = store->RecordPoint(recorded);

    auto read = store->ReadPoint(id);
    ASSERT_EQ(read.volts.size(), recorded.volts.size());
    for (std::size_t i = 0; i < read.volts.size(); ++i) {
        EXPECT_EQ(std::bit_cast<std::uint64_t>(read.volts[i]),
                  std::bit_cast<std::uint64_t>(recorded.volts[i]));
    }
    EXPECT_EQ(read.raw_codes, recorded.raw_codes);
    EXPECT_EQ(read.kept, recorded.kept);
    EXPECT_FALSE(read.kept[7]);  // the outlier was dropped, and the mask says so
    auto rejudged = verify::ChkDeviation(read.volts, read.un, 0.005);
    EXPECT_EQ(std::bit_cast<std::uint64_t>(rejudged.ux), std::bit_cast<std::uint64_t>(read.ux));
    EXPECT_EQ(std::bit_cast<std::uint64_t>(read.ux), std::bit_cast<std::uint64_t>(recorded.ux));
    EXPECT_EQ(read.verdict, recorded.verdict);
    EXPECT_EQ(read.passband, recorded.passband);
    EXPECT_EQ(read.protocol_offset, 1234);
}

TEST_P(BothStores, RowsAreAppendOnlyForTheDatabaseItself) {
    auto store = ResultsStore::Open(store_->location());
    auto session = store->RecordSession(Session("QM-0001"));
    store->RecordPoint(NoisyPoint(session, 1));
    CalibrationRecord calibration;
    calibration.session_id = session;
    calibration.channel = 2;
    store->RecordCalibration(calibration);
    EventRecord selftest;
    selftest.session_id = session;
    selftest.kind = kSelfTest;
    store->RecordEvent(selftest);
    auto& db = store->backend();
    for (const auto& table : ChainedTables()) {
        SCOPED_TRACE(table.name);
        // A table this test left empty has no row to refuse a change of (the metrology records'
        // tests change theirs).
        const auto rows = db.Query("SELECT id FROM " + table.name).size();
        if (rows == 0) {
            continue;
        }
        EXPECT_THROW(db.Execute("UPDATE " + table.name + " SET row_hash = 'x'"), StoreError);
        EXPECT_THROW(db.Execute("DELETE FROM " + table.name), StoreError);
        EXPECT_EQ(db.Query("SELECT id FROM " + table.name).size(), rows);
    }
    try {
        db.Execute("DELETE FROM qm7x_points");
        FAIL() << "DELETE was not refused";
    } catch (const StoreError& error) {
        EXPECT_THAT(error.what(), HasSubstr("append-only"));
    }
    EXPECT_TRUE(VerifyChains(db, ChainedTables()).empty());
}

TEST_P(BothStores, ChainNamesTheFirstRowChangedBehindTheProgramsBack) {
    auto store = ResultsStore::Open(store_->location());
    auto session = store->RecordSession(Session("QM-0001"));
    for (std::uint32_t seed = 0; seed < 4; ++seed) {
        store->RecordPoint(NoisyPoint(session, seed));
    }
    auto& db = store->backend();
    ASSERT_TRUE(VerifyChains(db, ChainedTables()).empty());

    // What someone with the database's owner rights could do: lift the guard and edit a value.
    if (GetParam() == Kind::Sqlite) {
        db.Execute("DROP TRIGGER qm7x_points_no_UPDATE");
    } else {
        db.Execute("ALTER TABLE qm7x_points DISABLE TRIGGER qm7x_points_no_change");
    }
    db.Execute("UPDATE qm7x_points SET ux = ux + 1e-9 WHERE id = 3");
    auto breaks = VerifyChains(db, ChainedTables());
    ASSERT_EQ(breaks.size(), 1u);
    EXPECT_EQ(breaks[0].table, "qm7x_points");
    EXPECT_EQ(breaks[0].id, 3);
}

TEST_P(BothStores, StoreOfANewerSchemaIsRefusedAndLeftAsItIs) {
    {
        auto store = ResultsStore::Open(store_->location());
        store->RecordSession(Session("QM-0001"));
        // Reopening an up-to-date store applies nothing again.
        store = ResultsStore::Open(store_->location());
        EXPECT_EQ(store->backend().Query("SELECT id FROM qm7x_schema_version").size(),
                  Migrations().size());
        AppendRow(store->backend(), SchemaVersionTable(),
                  {std::int64_t{LatestSchemaVersion() + 1}, "2031-01-01T00:00:00+00:00", "future"});
    }
    try {
        ResultsStore::Open(store_->location());
        FAIL() << "a newer store was opened";
    } catch (const StoreError& error) {
        EXPECT_THAT(error.what(), HasSubstr("newer than this program"));
        EXPECT_THAT(error.what(), HasSubstr("left as it is"));
    }
    auto backend = OpenBackend(store_->location());
    EXPECT_EQ(StoredSchemaVersion(*backend), LatestSchemaVersion() + 1);
    EXPECT_EQ(backend->Query("SELECT id FROM qm7x_sessions").size(), 1u);
    EXPECT_TRUE(VerifyChains(*backend, ChainedTables()).empty());
}

TEST_P(BothStores, HistoryHoldsTheSerialsOwnSessionsWithTheirPointsAndCalibrations) {
    auto first = ResultsStore::Open(store_->location());
    // A second bench writing to the same store between this bench's rows.
    auto second = ResultsStore::Open(store_->location());
    auto a1 = first->RecordSession(Session("QM-A"));
    auto b1 = second->RecordSession(Session("QM-B"));
    first->RecordPoint(NoisyPoint(a1, 1));
    second->RecordPoint(NoisyPoint(b1, 2));
    CalibrationRecord calibration;
    calibration.session_id = a1;
    calibration.channel = 3;
    calibration.gain_first_before = 1.0;
    calibration.gain_first_after = 1.001;
    calibration.record_crc32 = 0x12345678u;
    first->RecordCalibration(calibration);
    auto a2 = first->RecordSession(Session("QM-A"));
    first->RecordPoint(NoisyPoint(a2, 3));
    first->RecordPoint(NoisyPoint(a2, 4));

    auto history = second->History("QM-A");
    ASSERT_EQ(history.size(), 2u);
    EXPECT_EQ(history[0].id, a1);
    EXPECT_EQ(history[0].points.size(), 1u);
    ASSERT_EQ(history[0].calibrations.size(), 1u);
    EXPECT_EQ(history[0].calibrations[0].channel, 3);
    EXPECT_DOUBLE_EQ(history[0].calibrations[0].gain_first_after, 1.001);
    EXPECT_EQ(history[1].points.size(), 2u);
    EXPECT_TRUE(first->History("QM-none").empty());
    EXPECT_TRUE(VerifyChains(first->backend(), ChainedTables()).empty());

    // The public views, as another program reads them.
    auto rows = first->backend().Query(
        "SELECT serial, channel, range_v, un, ux, verdict, recorded_at, mode, phase "
        "FROM point_results WHERE serial = 'QM-B'");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(AsText(rows[0][7]), "manual");
    EXPECT_EQ(AsText(rows[0][8]), "");
    EXPECT_THAT(AsText(rows[0][6]),
                testing::MatchesRegex("[0-9]{4}-[0-9]{2}-[0-9]{2}T[0-9:]{8}[+-][0-9]{2}:[0-9]{2}"));
    auto calibrations =
        first->backend().Query("SELECT serial, channel, record_crc32 FROM calibrations");
    ASSERT_EQ(calibrations.size(), 1u);
    EXPECT_EQ(AsText(calibrations[0][0]), "QM-A");
    EXPECT_EQ(AsInteger(calibrations[0][2]), 0x12345678);
}

INSTANTIATE_TEST_SUITE_P(Databases, BothStores, testing::Values(Kind::Sqlite, Kind::Postgres),
                         KindName);

TEST(ResultsStoreFailure, UnwritableLocationNamesTheFileAndTheCause) {
    try {
        ResultsStore::Open("/nonexistent-folder/qm7x-results.sqlite");
        FAIL() << "opened";
    } catch (const StoreError& error) {
        EXPECT_THAT(error.what(), HasSubstr("/nonexistent-folder/qm7x-results.sqlite"));
        EXPECT_THAT(error.what(), HasSubstr("cannot open"));
    }
    try {
        ResultsStore::Open("postgresql:///qm7x?host=/nonexistent-socket-folder");
        FAIL() << "connected";
    } catch (const StoreError& error) {
        EXPECT_THAT(error.what(), HasSubstr("cannot connect"));
        EXPECT_THAT(error.what(), HasSubstr("nonexistent-socket-folder"));
    }
}

}  // namespace
}  // namespace qm7x::results::test
