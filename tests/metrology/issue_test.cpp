// Budgets stored with points, and certificates issued from the store as records: through the
// functions and through qm7x-report, read back with pdftotext.
#include <gmock/gmock.h>

#include <QCryptographicHash>
#include <QGuiApplication>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "metrology_fixture.h"
#include "qm7x/certificate/file.h"
#include "qm7x/certificate/pdf.h"
#include "qm7x/metrology/budgets.h"
#include "qm7x/metrology/issue.h"

namespace qm7x::metrology::test {
namespace {

using ::testing::HasSubstr;

std::string Shell(const std::string& command, int* status = nullptr) {
    FILE* pipe = ::popen((command + " 2>&1").c_str(), "r");
    std::string out;
    char chunk[4096];
    while (pipe != nullptr && std::fgets(chunk, sizeof chunk, pipe) != nullptr) {
        out += chunk;
    }
    const int rc = pipe == nullptr ? -1 : ::pclose(pipe);
    if (status != nullptr) {
        *status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
    }
    return out;
}

std::string FileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class Issuing : public MetrologyStore {
  protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "metrology_tests";
        static char* argv[] = {name, nullptr};
        app_ = std::make_unique<QGuiApplication>(argc, argv);
    }
    static void TearDownTestSuite() { app_.reset(); }

    // A point of 10 samples around un + offset, its budget evaluated with the standard (or none)
    // and stored with it.
    std::int64_t Point(std::int64_t session, int channel, double un, double offset,
                       const std::optional<StandardEntry>& standard, const std::string& phase) {
        results::PointRecord p;
        p.session_id = session;
        p.channel = channel;
        p.range_v = channel == 1 ? 10.0 : channel == 2 ? 1.0 : 0.1;
        p.passband = "менее 500 кГц";
        p.period_s = 0.0002;
        p.temperature = "+18 ... +22 C";
        p.un = un;
        double sum = 0.0;
        for (int i = 0; i < 10; ++i) {
            p.volts.push_back(un + offset + (i % 2 == 0 ? 1e-5 : -1e-5));
            p.raw_codes.push_back(1000 + i);
            p.kept.push_back(true);
            sum += p.volts.back();
        }
        p.ux = sum / 10.0;
        p.dus = p.ux - un;
        p.dumax = offset + 1e-5;
        const double tolerance = 0.0025;
        p.an = 100.0 * tolerance / std::fabs(un);
        p.verdict = std::fabs(p.dumax) <= tolerance ? "Норма" : "Не норма";
        p.phase = phase;
        p.mode = phase.empty() ? results::kManual : results::kAutomatic;
        const std::int64_t id = store_->RecordPoint(p);
        StoredBudget b = EvaluateBudget({p.volts, un, p.range_v, tolerance, 0.0}, standard);
        b.point_id = id;
        RecordBudget(*store_, b);
        return id;
    }

    Issued Issue(const Selection& selection, const std::string& file) {
        IssueRequest request{selection, (folder_ / file).string(), "operator", "1.2.1",
                             "2026-12-07"};
        return IssueCertificate(
            *store_, request,
            [](const certificate::Certificate& c) {
                auto pdf = certificate::RenderPdf(c);
                return Drawn{pdf.bytes, pdf.pages, pdf.sha256_hex, pdf.error};
            },
            [](const std::string& path, const std::string& bytes) {
                return certificate::WriteFileDurably(path, bytes);
            });
    }

    static inline std::unique_ptr<QGuiApplication> app_;
};

TEST_F(Issuing, ABudgetStoredWithItsPointReadsBackAsEvaluated) {
    StandardEntry standard = Calibrator();
    standard.id = AddStandard(*store_, standard);
    const std::int64_t session = Session();
    const std::int64_t with = Point(session, 1, 9.0, 2e-4, standard, "");
    const std::int64_t without = Point(session, 2, 0.9, 1e-5, std::nullopt, "");

    std::vector<double> volts;
    for (int i = 0; i < 10; ++i) {
        volts.push_back(9.0 + 2e-4 + (i % 2 == 0 ? 1e-5 : -1e-5));
    }
    const StoredBudget expected = EvaluateBudget({volts, 9.0, 10.0, 0.0025, 0.0}, standard);
    const auto budgets = ReadBudgets(*store_, {with, without});
    ASSERT_EQ(budgets.size(), 2u);
    const StoredBudget& read = budgets.at(with);
    ASSERT_TRUE(read.budget);
    EXPECT_EQ(read.standard_id, standard.id);
    EXPECT_EQ(read.budget->expanded_v, expected.budget->expanded_v);
    EXPECT_EQ(read.budget->effective_dof, expected.budget->effective_dof);
    EXPECT_EQ(read.budget->contributions[1].distribution,
              uncertainty::Distribution::kNormal);  // the certificate's u on the 20 V range
    EXPECT_EQ(read.budget->contributions[1].standard_uncertainty_v, 20e-6);
    EXPECT_FALSE(budgets.at(without).budget);
    EXPECT_EQ(budgets.at(without).refusal, "эталон не указан");
    EXPECT_EQ(budgets.at(without).standard_id, 0);
}

TEST_F(Issuing, ACertificateIsARecordAndAReissueNamesTheOneItReplaces) {
    SetLaboratory(*store_, {"Метрологическая лаборатория", "Москва, ул. Примерная, 1"});
    StandardEntry standard = Calibrator();
    standard.id = AddStandard(*store_, standard);
    const std::int64_t session = Session();
    Point(session, 1, 9.0, -3e-3, standard, "as_found");
    Point(session, 1, 9.0, 1e-4, standard, "as_left");
    Point(session, 2, 0.9, 1e-5, std::nullopt, "as_left");

    const Selection selection{"QM7X-0412", session, "", ""};
    const Issued first = Issue(selection, "first.pdf");
    ASSERT_EQ(first.error, "");
    const std::string bytes = FileBytes(folder_ / "first.pdf");
    EXPECT_EQ(first.record.pdf_sha256,
              QCryptographicHash::hash(QByteArray::fromStdString(bytes), QCryptographicHash::Sha256)
                  .toHex()
                  .toStdString());
    EXPECT_THAT(first.record.inputs, HasSubstr("\"points\":[1,2,3]"));
    EXPECT_THAT(first.record.inputs, HasSubstr("\"standards\":[1]"));
    EXPECT_EQ(first.record.replaces, "");

    const Issued second = Issue(selection, "second.pdf");
    ASSERT_EQ(second.error, "");
    EXPECT_NE(second.record.number, first.record.number);
    EXPECT_EQ(second.record.replaces, first.record.number);
    const auto records = CertificatesOf(*store_, "QM7X-0412");
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1].replaces, first.record.number);
    EXPECT_THROW(store_->backend().Execute("DELETE FROM qm7x_certificates"), results::StoreError);
    EXPECT_THROW(store_->backend().Execute("UPDATE qm7x_point_budgets SET expanded = 0"),
                 results::StoreError);

    const std::string text =
        Shell(std::string(QM7X_PDFTOTEXT) + " -layout " + (folder_ / "second.pdf").string() + " -");
    EXPECT_THAT(text, HasSubstr("Выдан взамен сертификата № " + first.record.number));
    EXPECT_THAT(text, HasSubstr("С-ГА/07-12-2026/123456"));
    EXPECT_THAT(text, HasSubstr("Результаты до настройки"));
    EXPECT_THAT(text, HasSubstr("не соответствует"));  // 3 mV out against 2.5 mV
    EXPECT_THAT(text, HasSubstr("не оценена"));        // the point without a standard
    EXPECT_THAT(text, HasSubstr("CRC32=7AA4E1A1"));
}

TEST_F(Issuing, NothingToCertifyOrNoLaboratoryIsSaidAndUsesNoNumber) {
    const std::int64_t session = Session();
    Issued issued = Issue({"QM7X-0412", session, "", ""}, "none.pdf");
    EXPECT_THAT(issued.error, HasSubstr("лаборатории"));
    SetLaboratory(*store_, {"Лаборатория", "Москва"});
    issued = Issue({"QM7X-0412", session, "", ""}, "none.pdf");
    EXPECT_THAT(issued.error, HasSubstr("нет точек поверки модуля QM7X-0412"));
    EXPECT_TRUE(store_->backend().Query("SELECT id FROM qm7x_certificate_numbers").empty());
    EXPECT_FALSE(std::filesystem::exists(folder_ / "none.pdf"));
}

TEST_F(Issuing, QmReportIssuesFromTheCommandLine) {
    const std::string store = (folder_ / "results.sqlite").string();
    const std::int64_t session = Session();
    StandardEntry standard = Calibrator();
    standard.id = AddStandard(*store_, standard);
    Point(session, 1, 9.0, 1e-4, standard, "");
    store_.reset();  // the tool opens the store itself

    int status = 0;
    const std::string tool = QM7X_REPORT;
    std::string out =
        Shell(tool + " " + store + " --serial QM7X-0412 --from 2000-01-01 --to 2100-01-01 --out " +
                  (folder_ / "c.pdf").string(),
              &status);
    EXPECT_EQ(status, 2) << out;
    EXPECT_THAT(out, HasSubstr("лаборатории"));
    out = Shell(tool + " " + store + " --laboratory 'Лаборатория' --address 'Москва'", &status);
    EXPECT_EQ(status, 0) << out;
    out = Shell(tool + " " + store + " --serial QM7X-0412 --session " + std::to_string(session) +
                    " --out " + (folder_ / "c.pdf").string(),
                &status);
    EXPECT_EQ(status, 0) << out;
    EXPECT_THAT(out, HasSubstr("Сертификат № QM7X-2026-"));
    EXPECT_TRUE(std::filesystem::exists(folder_ / "c.pdf"));
    // The same file again: refused, the first certificate's file untouched.
    out = Shell(tool + " " + store + " --serial QM7X-0412 --session " + std::to_string(session) +
                    " --out " + (folder_ / "c.pdf").string(),
                &status);
    EXPECT_EQ(status, 2) << out;
    EXPECT_THAT(out, HasSubstr("File exists"));
    out = Shell(tool + " " + store + " --serial QM7X-0412 --session 1 --from 2026-01-01", &status);
    EXPECT_EQ(status, 64) << out;
}

}  // namespace
}  // namespace qm7x::metrology::test
