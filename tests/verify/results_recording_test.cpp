// What a verification records in the results store beside its protocol entry: the point with the
// samples that give its Ux bit for bit and the place of its entry, the session it belongs to, the
// zero offset and the reset; and a store that cannot be written, which costs the protocol nothing.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <bit>
#include <cstdlib>

#include "qm7x/metrology/budgets.h"
#include "qm7x/results/store.h"
#include "qm7x/verify/tolerance.h"
#include "qm7x/verify/verification_run.h"
#include "run_fixture.h"

namespace qm7x::test {
namespace {

using ::testing::HasSubstr;

class Recording : public VerificationRun {
  protected:
    void openWithStoreAt(const std::string& module, const std::filesystem::path& store) {
        ::setenv("QM7X_RESULTS_DB", store.c_str(), 1);
        open(module);
    }
    void TearDown() override {
        VerificationRun::TearDown();
        ::unsetenv("QM7X_RESULTS_DB");
    }
    void runPoint(double un) {
        enter(PP_U, un);
        relayIn();
        start();
    }
};

TEST_F(Recording, PointOnRecordGivesItsUxBitForBitAndFindsItsProtocolEntry) {
    const auto file = std::filesystem::path(::testing::TempDir()) /
                      ("qm7x_results_" + std::to_string(::getpid()) + ".sqlite");
    std::filesystem::remove(file);
    openWithStoreAt(Module("QM7X-R1", "instant"), file);
    bench().SetReference(5.0, 0.0, 0.0);
    runPoint(5.0);
    runPoint(5.0);
    ASSERT_EQ(statusLine(), "");
    ui::DispatchUserEvent(qm7x::mpPanel, MP_CALIBR, ui::EVENT_COMMIT);
    ui::DispatchUserEvent(qm7x::mpPanel, MP_RESET, ui::EVENT_COMMIT);

    auto store = results::ResultsStore::Open(file.string());
    auto history = store->History("QM7X-R1");
    ASSERT_EQ(history.size(), 1u);
    ASSERT_EQ(history[0].points.size(), 2u);
    auto point = store->ReadPoint(history[0].points[1].id);
    ASSERT_EQ(point.volts.size(), 100u);
    EXPECT_EQ(point.raw_codes.size(), 100u);
    EXPECT_EQ(point.kept.size(), 100u);
    const double tolerance = verify::uLimits[1] + verify::lastAllowance;
    auto rejudged = verify::ChkDeviation(point.volts, point.un, tolerance);
    EXPECT_EQ(std::bit_cast<std::uint64_t>(rejudged.ux), std::bit_cast<std::uint64_t>(point.ux));
    EXPECT_EQ(point.verdict, "Норма");
    EXPECT_EQ(point.mode, "manual");
    EXPECT_EQ(point.channel, 1);
    EXPECT_EQ(point.range_v, 10.0);
    EXPECT_EQ(point.passband, "менее 500 кГц");
    EXPECT_EQ(point.protocol_file, protocolPath_.string());
    // The second entry begins where the first ended, with its heading.
    ASSERT_GT(point.protocol_offset, 0);
    const std::string entry = protocol().substr(static_cast<std::size_t>(point.protocol_offset));
    EXPECT_THAT(os::FromCp1251(entry), ::testing::StartsWith("период семплирования"));
    EXPECT_THAT(os::FromCp1251(entry), HasSubstr(rows().back()));
    EXPECT_THAT(
        os::FromCp1251(protocol().substr(0, static_cast<std::size_t>(point.protocol_offset))),
        HasSubstr(rows().front()));

    auto events = store->backend().Query("SELECT kind, status, session_id FROM qm7x_events");
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(results::AsText(events[0][0]), "zero_offset");
    EXPECT_EQ(results::AsText(events[1][0]), "reset");
    EXPECT_EQ(results::AsInteger(events[1][2]), history[0].id);
    std::filesystem::remove(file);
}

// A manual point is evaluated with the standard chosen on the page; with "не указан" its budget
// says there is none.
TEST_F(Recording, AManualPointStoresTheBudgetOfThePagesStandard) {
    const auto file = std::filesystem::path(::testing::TempDir()) /
                      ("qm7x_budget_" + std::to_string(::getpid()) + ".sqlite");
    std::filesystem::remove(file);
    metrology::StandardEntry standard;
    standard.identifier = "КВ-01";
    standard.model = "DCC-22";
    standard.serial = "0042";
    standard.certificate_number = "С-ГА/123";
    standard.calibration_date = "2026-03-01";
    standard.due_date = "2099-03-01";
    standard.ranges = {{{11.0, 6.0, 4e-6, 1e-6}, std::nullopt}};
    const std::int64_t standard_id =
        metrology::AddStandard(*results::ResultsStore::Open(file.string()), standard);
    openWithStoreAt(Module("QM7X-R3", "instant"), file);
    bench().SetReference(5.0, 0.0, 0.0);
    ui::InsertListItem(qm7x::ppPanel, PP_STANDARD, -1, "КВ-01", static_cast<int>(standard_id));
    ui::SetCtrlVal(qm7x::ppPanel, PP_STANDARD, static_cast<int>(standard_id));
    runPoint(5.0);
    ui::SetCtrlVal(qm7x::ppPanel, PP_STANDARD, 0);
    runPoint(5.0);
    ASSERT_EQ(statusLine(), "");

    auto store = results::ResultsStore::Open(file.string());
    const auto history = store->History("QM7X-R3");
    ASSERT_EQ(history.size(), 1u);
    ASSERT_EQ(history[0].points.size(), 2u);
    const std::int64_t with = history[0].points[0].id;
    const std::int64_t without = history[0].points[1].id;
    const auto budgets = metrology::ReadBudgets(*store, {with, without});
    ASSERT_EQ(budgets.size(), 2u);
    const auto point = store->ReadPoint(with);
    const double tolerance = verify::uLimits[1];
    const auto expected = metrology::EvaluateBudget(
        {point.volts, point.un, point.range_v, tolerance, verify::lastAllowance},
        metrology::StandardById(*store, standard_id));
    ASSERT_TRUE(expected.budget.has_value());
    const auto& stored = budgets.at(with);
    EXPECT_EQ(stored.standard_id, standard_id);
    ASSERT_TRUE(stored.budget.has_value());
    EXPECT_DOUBLE_EQ(stored.budget->expanded_v, expected.budget->expanded_v);
    EXPECT_GT(stored.budget->expanded_v, 0.0);
    EXPECT_DOUBLE_EQ(stored.tolerance_v, tolerance);
    EXPECT_EQ(budgets.at(without).standard_id, 0);
    EXPECT_FALSE(budgets.at(without).budget.has_value());
    EXPECT_THAT(budgets.at(without).refusal, HasSubstr("не указан"));
    store.reset();
    std::filesystem::remove(file);
}

TEST_F(Recording, UnwritableStoreLeavesTheProtocolEntryWrittenAndSaysWhatWasNotStored) {
    const auto missing = std::filesystem::path(::testing::TempDir()) /
                         ("qm7x_no_such_folder_" + std::to_string(::getpid()));
    openWithStoreAt(Module("QM7X-R2", "instant"), missing / "qm7x-results.sqlite");
    EXPECT_THAT(statusLine(), HasSubstr("Не записано в хранилище результатов: сеанс модуля"));
    bench().SetReference(5.0, 0.0, 0.0);
    runPoint(5.0);
    EXPECT_EQ(rows().size(), 1u);
    EXPECT_THAT(statusLine(),
                HasSubstr("Не записано в хранилище результатов: точка (в протокол она записана)"));
    EXPECT_THAT(statusLine(), HasSubstr((missing / "qm7x-results.sqlite").string()));
    EXPECT_THAT(statusLine(), HasSubstr("cannot open"));
}

}  // namespace
}  // namespace qm7x::test
