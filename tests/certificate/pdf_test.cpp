// The certificate drawn to PDF and read back as text with pdftotext, as a reader of the file
// would see it.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>

#include "qm7x/certificate/file.h"
#include "qm7x/certificate/pdf.h"
#include "sample_certificate.h"

namespace qm7x::certificate {
namespace {

class CertificatePdf : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "certificate_tests";
        static char* argv[] = {name, nullptr};
        app_ = std::make_unique<QGuiApplication>(argc, argv);
    }
    static void TearDownTestSuite() { app_.reset(); }

    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() /
                  ("qm7x-certificate-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    // The PDF written through the durable writer, then its text as pdftotext lays it out.
    std::string TextOf(const Certificate& c, RenderedPdf* rendered = nullptr) {
        const RenderedPdf pdf = RenderPdf(c);
        EXPECT_TRUE(pdf.error.empty()) << pdf.error;
        const std::string path = (folder_ / "certificate.pdf").string();
        const std::string failure = WriteFileDurably(path, pdf.bytes);
        EXPECT_TRUE(failure.empty()) << failure;
        if (rendered != nullptr) {
            *rendered = pdf;
        }
        return Run(std::string(QM7X_PDFTOTEXT) + " -layout " + path + " -");
    }

    static std::string Run(const std::string& command) {
        std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
        std::string out;
        char chunk[4096];
        while (pipe && std::fgets(chunk, sizeof chunk, pipe.get()) != nullptr) {
            out += chunk;
        }
        return out;
    }

    static inline std::unique_ptr<QGuiApplication> app_;
    std::filesystem::path folder_;
};

TEST_F(CertificatePdf, ReadsBackWithEveryPointAndEveryPageNumbered) {
    const Certificate c = SampleCertificate(40, 40);
    RenderedPdf pdf;
    const std::string text = TextOf(c, &pdf);
    ASSERT_GT(pdf.pages, 1);
    EXPECT_EQ(pdf.sha256_hex.size(), 64u);
    EXPECT_NE(text.find("СЕРТИФИКАТ КАЛИБРОВКИ № QM7X-2026-000017"), std::string::npos);
    EXPECT_NE(text.find("зав. № QM7X-0412"), std::string::npos);
    EXPECT_NE(text.find("С-ГА/07-12-2026/123456"), std::string::npos);
    EXPECT_NE(text.find("libtrqm7x_math.so.1, версия:1.0, дата:07-12-2026, CRC32=7AA4E1A1"),
              std::string::npos);
    EXPECT_NE(text.find("p_qm7x 1.2.1"), std::string::npos);
    EXPECT_NE(text.find("Метрологическая лаборатория <ООО «Аркомет»>"), std::string::npos);
    EXPECT_NE(text.find("Результаты до настройки"), std::string::npos);
    EXPECT_NE(text.find("Результаты после настройки"), std::string::npos);
    for (int page = 1; page <= pdf.pages; ++page) {
        const std::string footer =
            "страница " + std::to_string(page) + " из " + std::to_string(pdf.pages);
        EXPECT_NE(text.find(footer), std::string::npos) << footer;
    }
    EXPECT_EQ(text.find("страница " + std::to_string(pdf.pages + 1) + " из"), std::string::npos);
    // Every row of both tables: its Ux (unique per point) printed to the place of U's last digit,
    // then its deviation and U (k), on one line.
    for (const auto* rows : {&c.as_found, &c.as_left}) {
        for (const PointRow& p : *rows) {
            char ux[32];
            std::snprintf(ux, sizeof ux, "%.6f", p.ux_v);
            char dev[32];
            std::snprintf(dev, sizeof dev, "%.6f", p.ux_v - p.un_v);
            std::istringstream lines(text);
            int found = 0;
            for (std::string line; std::getline(lines, line);) {
                if (line.find(ux) != std::string::npos && line.find(dev) != std::string::npos &&
                    line.find("0.000024 (2.00)") != std::string::npos &&
                    line.find("соответствует") != std::string::npos) {
                    ++found;
                }
            }
            EXPECT_EQ(found, 2) << ux;  // once as found, once as left
        }
    }
}

TEST_F(CertificatePdf, AReissueNamesTheCertificateItReplaces) {
    Certificate c = SampleCertificate(3);
    c.number = "QM7X-2026-000018";
    c.replaces = "QM7X-2026-000017";
    const std::string text = TextOf(c);
    EXPECT_NE(text.find("Выдан взамен сертификата № QM7X-2026-000017"), std::string::npos);
    EXPECT_NE(text.find("Сертификат № QM7X-2026-000018, страница 1 из "), std::string::npos);
}

TEST_F(CertificatePdf, APointWithoutAStandardSaysItsUncertaintyIsNotEvaluated) {
    Certificate c = SampleCertificate(2);
    c.as_left[1].uncertainty.reset();
    c.as_left[1].standard_identifier.clear();
    const std::string text = TextOf(c);
    EXPECT_NE(text.find("не оценена"), std::string::npos);
    EXPECT_NE(text.find("эталон не указан"), std::string::npos);
}

TEST_F(CertificatePdf, IsPdfA) {
    const RenderedPdf pdf = RenderPdf(SampleCertificate(1));
    ASSERT_TRUE(pdf.error.empty());
    EXPECT_NE(pdf.bytes.find("pdfaid:part"), std::string::npos);
}

TEST_F(CertificatePdf, AnExistingFileIsNeverReplaced) {
    const std::string path = (folder_ / "earlier.pdf").string();
    ASSERT_EQ(WriteFileDurably(path, "%PDF earlier"), "");
    const std::string failure = WriteFileDurably(path, "%PDF later");
    EXPECT_NE(failure.find("File exists"), std::string::npos) << failure;
    std::ifstream in(path);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "%PDF earlier");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_), {}), 1);  // no temporary
}

TEST(CertificateFile, AFileThatCannotBeWrittenSaysWhereAndWhy) {
    const std::string failure =
        WriteFileDurably("/nonexistent-folder-of-qm7x/certificate.pdf", "%PDF");
    EXPECT_NE(failure.find("No such file or directory"), std::string::npos) << failure;
    EXPECT_NE(failure.find("/nonexistent-folder-of-qm7x/"), std::string::npos);
}

}  // namespace
}  // namespace qm7x::certificate
