// "Сертификат" on the module-history panel, pressed through the headless front end with the
// file chosen by script: the PDF is written and recorded, a reissue names the certificate it
// replaces, and a failure is said with its cause and leaves no record.
#include <gmock/gmock.h>

#include <QCryptographicHash>
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

#include "pdf_drawer.h"
#include "program_panels.h"
#include "qm7x/app/history_certificate.h"
#include "qm7x/app/history_panel.h"
#include "qm7x/metrology/certificates.h"
#include "qm7x/metrology/register.h"
#include "qm7x/results/recorder.h"

namespace qm7x::test {
namespace {

using ::testing::HasSubstr;

constexpr const char* kSerial = "QM7X-0412";

std::string FileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::string PdfText(const std::filesystem::path& pdf) {
    FILE* pipe =
        ::popen((std::string(QM7X_PDFTOTEXT) + " '" + pdf.string() + "' - 2>&1").c_str(), "r");
    std::string out;
    char chunk[4096];
    while (pipe != nullptr && std::fgets(chunk, sizeof chunk, pipe) != nullptr) {
        out += chunk;
    }
    if (pipe != nullptr) {
        ::pclose(pipe);
    }
    return out;
}

class HistoryCertificate : public ProgramPanels {
  protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "qm7x_app_certificate_tests";
        static char* argv[] = {name, nullptr};
        ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
        app_ = std::make_unique<QGuiApplication>(argc, argv);
        app::SetCertificateDrawer(app::PdfDrawer());
    }
    static void TearDownTestSuite() {
        app::SetCertificateDrawer({});
        app_.reset();
    }

    void SetUp() override {
        ProgramPanels::SetUp();
        qm7x::hpPanel = 0;  // loaded by the program when first shown
        folder_ = std::filesystem::temp_directory_path() /
                  ("qm7x-history-certificate-" + std::to_string(::getpid()));
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
        ::setenv("QM7X_RESULTS_DB", (folder_ / "results.sqlite").c_str(), 1);
        std::string error;
        store_ = results::ProgramRecorder().Store(error);
        ASSERT_NE(store_, nullptr) << error;
    }
    void TearDown() override {
        results::ProgramRecorder().Close();
        ::unsetenv("QM7X_RESULTS_DB");
        std::filesystem::remove_all(folder_);
    }

    // A session of the module with one verification point.
    void seedSession() {
        results::SessionRecord s;
        s.carrier_text = "TRHOLDR Н.М., крейт 1, слот 5";
        s.serial = kSerial;
        s.revision = "QM7X ред. 2";
        s.program_version = "1.2.1";
        s.operator_name = "operator";
        results::PointRecord p;
        p.session_id = store_->RecordSession(s);
        p.channel = 1;
        p.range_v = 10.0;
        p.passband = "менее 500 кГц";
        p.period_s = 0.0002;
        p.temperature = "+18 ... +22 C";
        p.un = 5.0;
        p.volts = {5.0001, 5.0002};
        p.raw_codes = {1000, 1001};
        p.kept = {true, true};
        p.ux = 5.00015;
        p.dus = 0.00015;
        p.dumax = 0.0002;
        p.an = 0.05;
        p.verdict = "Норма";
        store_->RecordPoint(p);
    }
    void setLaboratory() {
        metrology::SetLaboratory(*store_, {"Лаборатория электрических измерений", "Москва"});
    }
    // Shows the module's history and presses "Сертификат" with the file chosen by script.
    void press(const std::filesystem::path& file) {
        const int panel = app::ShowHistory(kSerial, *store_);
        ui_.frontEnd.AnswerFileSelect(file.string());
        app::historyCertificateCB(panel, HP_CERTIFICATE, ui::EVENT_COMMIT, nullptr, 0, 0);
        EXPECT_EQ(ui_.frontEnd.PendingAnswers(), 0u);
    }

    static inline std::unique_ptr<QGuiApplication> app_;
    std::filesystem::path folder_;
    results::ResultsStore* store_ = nullptr;
};

TEST_F(HistoryCertificate, IsWrittenRecordedAndAReissueNamesTheOneItReplaces) {
    seedSession();
    setLaboratory();
    const auto first = folder_ / "first.pdf";
    press(first);
    auto issued = metrology::CertificatesOf(*store_, kSerial);
    ASSERT_EQ(issued.size(), 1u) << statusLine();
    EXPECT_EQ(statusColour(), qm7x::kStatusWhite);
    EXPECT_EQ(statusLine(), "Сертификат № " + issued[0].number + " (сеанс 1): " + first.string());
    const std::string bytes = FileBytes(first);
    EXPECT_EQ(issued[0].pdf_sha256,
              QCryptographicHash::hash(QByteArray::fromStdString(bytes), QCryptographicHash::Sha256)
                  .toHex()
                  .toStdString());
    EXPECT_EQ(issued[0].pdf_file, first.string());
    EXPECT_THAT(PdfText(first), HasSubstr(kSerial));

    press(folder_ / "second.pdf");
    issued = metrology::CertificatesOf(*store_, kSerial);
    ASSERT_EQ(issued.size(), 2u) << statusLine();
    EXPECT_EQ(issued[1].replaces, issued[0].number);
    EXPECT_THAT(statusLine(), HasSubstr(", взамен № " + issued[0].number));
}

TEST_F(HistoryCertificate, AFailureIsSaidWithItsCauseAndRecordsNothing) {
    seedSession();
    press(folder_ / "no-laboratory.pdf");
    EXPECT_EQ(statusColour(), qm7x::kStatusRed);
    EXPECT_THAT(statusLine(), HasSubstr("не заданы наименование и адрес лаборатории"));
    EXPECT_THAT(statusLine(), HasSubstr("qm7x-report --laboratory"));

    setLaboratory();
    // A folder no one can write into, even as root: a plain file stands where it should be.
    const auto locked = folder_ / "locked";
    std::ofstream(locked) << "not a folder";
    press(locked / "certificate.pdf");
    EXPECT_EQ(statusColour(), qm7x::kStatusRed);
    EXPECT_THAT(statusLine(), HasSubstr("не записан"));
    EXPECT_THAT(statusLine(), HasSubstr((locked / "certificate.pdf").string()));
    EXPECT_TRUE(metrology::CertificatesOf(*store_, kSerial).empty());
    EXPECT_FALSE(std::filesystem::exists(locked / "certificate.pdf"));
}

}  // namespace
}  // namespace qm7x::test
