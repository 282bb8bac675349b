// qm7x-report: a module's calibration certificate as a PDF, from the results store.
//   qm7x-report [LOCATION] --serial S [--session N | --from DATE --to DATE] --out FILE.pdf
//   qm7x-report [LOCATION] --laboratory NAME --address ADDRESS   sets the lab's name and address
// LOCATION is a postgresql:// URL or an SQLite file; by default QM7X_RESULTS_DB, else
// qm7x-results.sqlite in the working directory. Exit status: 0 issued, 2 failed (the cause on
// standard error), 64 a wrong command line.
#include <QGuiApplication>
#include <cstdlib>
#include <ctime>
#include <iostream>
#include <map>
#include <string>

#include "qm7x/certificate/file.h"
#include "qm7x/certificate/pdf.h"
#include "qm7x/metrology/issue.h"
#include "qm7x/metrology/register.h"
#include "qm7x/results/backend.h"

namespace {

constexpr int kIssued = 0;
constexpr int kFailed = 2;
constexpr int kUsage = 64;

int Usage(const std::string& problem) {
    std::cerr << "qm7x-report: " << problem
              << "\nusage: qm7x-report [LOCATION] --serial SERIAL [--session N | --from "
                 "YYYY-MM-DD --to YYYY-MM-DD] --out FILE.pdf\n"
                 "       qm7x-report [LOCATION] --laboratory NAME --address ADDRESS\n";
    return kUsage;
}

std::string Today() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char day[16];
    std::strftime(day, sizeof day, "%Y-%m-%d", &local);
    return day;
}

std::string UserName() {
    for (const char* name : {"USER", "LOGNAME", "USERNAME"}) {
        if (const char* value = std::getenv(name); value != nullptr && *value != '\0') {
            return value;
        }
    }
    return {};
}

bool IsDate(const std::string& text) {
    return text.size() == 10 && text[4] == '-' && text[7] == '-';
}

}  // namespace

int main(int argc, char** argv) {
    std::string location;
    std::map<std::string, std::string> options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.starts_with("--")) {
            if (i + 1 >= argc) {
                return Usage(arg + " needs a value");
            }
            options[arg] = argv[++i];
        } else if (location.empty()) {
            location = arg;
        } else {
            return Usage("more than one store location: " + arg);
        }
    }
    if (location.empty()) {
        location = qm7x::results::DefaultStoreLocation();
    }
    const auto has = [&](const char* name) { return options.count(name) != 0; };
    try {
        if (has("--laboratory") || has("--address")) {
            if (!has("--laboratory") || !has("--address") || options.size() != 2) {
                return Usage("--laboratory and --address go together, alone");
            }
            auto store = qm7x::results::ResultsStore::Open(location);
            qm7x::metrology::SetLaboratory(*store, {options["--laboratory"], options["--address"]});
            std::cout << store->Describe() << ": laboratory set\n";
            return kIssued;
        }
        qm7x::metrology::IssueRequest request;
        request.selection.serial = options["--serial"];
        request.out_file = options["--out"];
        if (request.selection.serial.empty() || request.out_file.empty()) {
            return Usage("--serial and --out are required");
        }
        if (has("--session") == (has("--from") || has("--to"))) {
            return Usage("give either --session or --from and --to");
        }
        if (has("--session")) {
            char* end = nullptr;
            request.selection.session_id = std::strtoll(options["--session"].c_str(), &end, 10);
            if (*end != '\0' || request.selection.session_id <= 0) {
                return Usage("--session takes a session's number");
            }
        } else {
            request.selection.from_date = options["--from"];
            request.selection.to_date = options["--to"];
            if (!IsDate(request.selection.from_date) || !IsDate(request.selection.to_date)) {
                return Usage("--from and --to take dates as YYYY-MM-DD");
            }
        }
        request.operator_name = UserName();
        request.program_version = QM7X_PROGRAM_VERSION;
        request.today = Today();

        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
            qputenv("QT_QPA_PLATFORM", "offscreen");  // fonts only, no window
        }
        int qt_argc = 1;
        QGuiApplication app(qt_argc, argv);
        auto store = qm7x::results::ResultsStore::Open(location);
        const auto issued = qm7x::metrology::IssueCertificate(
            *store, request,
            [](const qm7x::certificate::Certificate& c) {
                auto pdf = qm7x::certificate::RenderPdf(c);
                return qm7x::metrology::Drawn{std::move(pdf.bytes), pdf.pages,
                                              std::move(pdf.sha256_hex), std::move(pdf.error)};
            },
            [](const std::string& path, const std::string& bytes) {
                return qm7x::certificate::WriteFileDurably(path, bytes);
            });
        if (!issued.error.empty()) {
            std::cerr << "qm7x-report: " << issued.error << "\n";
            return kFailed;
        }
        std::cout << "Сертификат № " << issued.record.number << ": " << issued.record.pdf_file
                  << ", страниц " << issued.pages << ", SHA-256 " << issued.record.pdf_sha256;
        if (!issued.record.replaces.empty()) {
            std::cout << ", взамен № " << issued.record.replaces;
        }
        std::cout << "\n";
        return kIssued;
    } catch (const std::exception& e) {
        std::cerr << "qm7x-report: " << e.what() << "\n";
        return kFailed;
    }
}
