// The register of standards, the laboratory and the due-date block against a real store.
#include <gmock/gmock.h>

#include "metrology_fixture.h"
#include "qm7x/metrology/due_date.h"

namespace qm7x::metrology::test {
namespace {

using ::testing::HasSubstr;

TEST_F(MetrologyStore, ANewCertificateIsANewEntryAndTheOldOneStays) {
    const std::int64_t first = AddStandard(*store_, Calibrator());
    StandardEntry renewed = Calibrator("С-ГА/01-03-2027/654321");
    renewed.calibration_date = "2027-03-01";
    renewed.due_date = "2028-03-01";
    const std::int64_t second = AddStandard(*store_, renewed);

    const auto all = ListStandards(*store_);
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0].certificate_number, "С-ГА/07-12-2026/123456");
    EXPECT_EQ(all[0].ranges.size(), 3u);
    EXPECT_EQ(all[0].ranges[2].certificate_standard_uncertainty_v, 20e-6);
    EXPECT_FALSE(all[0].ranges[0].certificate_standard_uncertainty_v);
    const auto current = CurrentStandards(*store_);
    ASSERT_EQ(current.size(), 1u);
    EXPECT_EQ(current[0].id, second);
    EXPECT_EQ(StandardById(*store_, first)->due_date, "2027-03-01");  // as it was entered
    EXPECT_EQ(StandardByIdentification(*store_, "Fluxion, DVC-5520, A1234, 2.1")->id, second);
    EXPECT_FALSE(StandardByIdentification(*store_, "Fluxion,DVC-5520,B9999,2.1"));
    // Entries cannot be edited behind the register's back either.
    EXPECT_THROW(store_->backend().Execute("UPDATE qm7x_standards SET due_date = '2030-01-01'"),
                 results::StoreError);
}

TEST_F(MetrologyStore, AnIncompleteEntryIsRefusedWithItsCause) {
    StandardEntry e = Calibrator();
    e.due_date = "01.03.2027";
    EXPECT_THAT(Validate(e), HasSubstr("ГГГГ-ММ-ДД"));
    e = Calibrator();
    e.due_date = "2026-01-01";
    EXPECT_THAT(Validate(e), HasSubstr("позже"));
    e = Calibrator();
    e.ranges[1].spec.accuracy_ppm = -1.0;
    EXPECT_THROW(AddStandard(*store_, e), std::invalid_argument);
    e = Calibrator();
    e.certificate_number.clear();
    EXPECT_THAT(Validate(e), HasSubstr("сертификата"));
    EXPECT_TRUE(ListStandards(*store_).empty());
}

TEST_F(MetrologyStore, TheStandardAtASettingTakesItsCertificatesUncertaintyOnThatRange) {
    const StandardEntry e = Calibrator();
    const auto low = AtSetting(e, 0.9);
    ASSERT_TRUE(low);
    EXPECT_DOUBLE_EQ(low->accuracy_half_width_v, 8e-6 * 0.9 + 4e-6);
    EXPECT_FALSE(low->certificate_standard_uncertainty_v);
    const auto high = AtSetting(e, -9.0);
    ASSERT_TRUE(high);
    EXPECT_EQ(high->certificate_standard_uncertainty_v, 20e-6);
    EXPECT_FALSE(AtSetting(e, 30.0));
}

TEST_F(MetrologyStore, TheLaboratoryIsSetOnceAndTheLatestHolds) {
    EXPECT_FALSE(ReadLaboratory(*store_));
    SetLaboratory(*store_, {"Лаборатория", "Москва"});
    SetLaboratory(*store_, {"Лаборатория", "Казань"});
    EXPECT_EQ(ReadLaboratory(*store_)->address, "Казань");
    EXPECT_THROW(SetLaboratory(*store_, {"", "Москва"}), std::invalid_argument);
}

TEST_F(MetrologyStore, AStandardPastItsDueDateBlocksUnlessAnOverrideIsRecorded) {
    StandardEntry e = Calibrator();
    e.id = AddStandard(*store_, e);
    EXPECT_EQ(DueDateBlock(e, "2027-03-01"), "");  // the due day itself is still in date
    EXPECT_THAT(DueDateBlock(e, "2027-03-02"), HasSubstr("истёк 2027-03-01"));

    const auto refuse = [](const std::string&, std::string&) { return false; };
    const auto agree = [](const std::string&, std::string& reason) {
        reason = "эталон на поверке, по распоряжению № 5";
        return true;
    };
    EXPECT_THAT(ClearStandardForProcedure(*store_, e, "2027-04-01", 3, "op", refuse),
                HasSubstr("истёк"));
    EXPECT_TRUE(store_->backend().Query("SELECT id FROM qm7x_due_overrides").empty());
    EXPECT_EQ(ClearStandardForProcedure(*store_, e, "2027-04-01", 3, "op", agree), "");
    const auto rows = store_->backend().Query(
        "SELECT standard_id, session_id, operator, reason FROM qm7x_due_overrides");
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(results::AsInteger(rows[0][0]), e.id);
    EXPECT_EQ(results::AsText(rows[0][3]), "эталон на поверке, по распоряжению № 5");
    // In date: nothing asked, nothing recorded.
    bool asked = false;
    EXPECT_EQ(ClearStandardForProcedure(*store_, e, "2026-12-07", 3, "op",
                                        [&](const std::string&, std::string&) {
                                            asked = true;
                                            return true;
                                        }),
              "");
    EXPECT_FALSE(asked);
}

}  // namespace
}  // namespace qm7x::metrology::test
