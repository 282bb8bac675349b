// qm7x-results: the results store's tools for the lab.
//   qm7x-results verify [LOCATION]                       walks every row's hash chain
//   qm7x-results export [LOCATION] --serial S --csv FILE  the module's points as CSV
// LOCATION is a postgresql:// URL or an SQLite file; by default QM7X_RESULTS_DB, else
// qm7x-results.sqlite in the working directory.
#include <fmt/format.h>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "qm7x/results/chain.h"
#include "qm7x/results/export.h"
#include "qm7x/results/schema.h"
#include "qm7x/results/write_file.h"

namespace {

using namespace qm7x::results;

constexpr int kIntact = 0;
constexpr int kBroken = 1;
constexpr int kFailed = 2;
constexpr int kUsage = 64;

int Usage(std::string_view problem) {
    std::cerr << "qm7x-results: " << problem
              << "\nusage: qm7x-results verify [LOCATION]\n"
                 "       qm7x-results export [LOCATION] --serial SERIAL --csv FILE\n";
    return kUsage;
}

// Opens an existing store without changing it: a reader never creates or migrates one.
std::unique_ptr<Backend> OpenExisting(const std::string& location) {
    if (!IsPostgresLocation(location) && !std::filesystem::exists(location)) {
        throw StoreError(fmt::format("SQLite file {}: cannot open: no such file", location));
    }
    auto backend = OpenBackend(location);
    CheckNotNewer(*backend);
    return backend;
}

int Verify(const std::string& location) {
    auto backend = OpenExisting(location);
    auto tables = ChainedTables();
    auto breaks = VerifyChains(*backend, tables);
    if (breaks.empty()) {
        std::cout << fmt::format("{}: every row's hash chain is intact\n", backend->Describe());
        return kIntact;
    }
    for (const auto& broken : breaks) {
        std::cout << fmt::format("{}: table {}, row {}: {}\n", backend->Describe(), broken.table,
                                 broken.id, broken.reason);
    }
    return kBroken;
}

int Export(const std::string& location, const std::string& serial, const std::string& file) {
    auto backend = OpenExisting(location);
    WriteFileDurably(file, PointResultsCsv(*backend, serial));
    return kIntact;
}

int Run(const std::vector<std::string>& args) {
    if (args.empty()) {
        return Usage("no command given");
    }
    std::string location;
    std::string serial;
    std::string csv;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if ((args[i] == "--serial" || args[i] == "--csv") && i + 1 < args.size()) {
            (args[i] == "--serial" ? serial : csv) = args[i + 1];
            ++i;
        } else if (!args[i].starts_with("--") && location.empty()) {
            location = args[i];
        } else {
            return Usage(fmt::format("unexpected argument \"{}\"", args[i]));
        }
    }
    if (location.empty()) {
        location = DefaultStoreLocation();
    }
    if (args[0] == "verify" && serial.empty() && csv.empty()) {
        return Verify(location);
    }
    if (args[0] == "export" && !serial.empty() && !csv.empty()) {
        return Export(location, serial, csv);
    }
    return Usage(fmt::format("\"{}\" needs other arguments", args[0]));
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return Run(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const std::exception& error) {
        std::cerr << "qm7x-results: " << error.what() << '\n';
        return kFailed;
    }
}
