#include "sim_bench.h"

#include <unistd.h>

#include <array>
#include <atomic>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "qm7x/os/encoding.h"
#include "trqm7x.h"

namespace qm7x::test {

namespace fs = std::filesystem;

std::string EmptyPosition() {
    return "{}";
}

std::string OtherType(int typeCode, bool present) {
    return "{present: " + std::string(present ? "true" : "false") +
           ", type_code: " + std::to_string(typeCode) + "}";
}

std::string Qm7x(const std::string& serial, double testU1, const std::string& extra) {
    std::ostringstream text;
    text.precision(17);
    text << "{qm7x: {serial: " << serial << ", eeprom: {factory: {tag: QM7X, test_u_v: [" << testU1
         << ", " << testU1 / 10 << ", " << testU1 / 100 << "]}}";
    if (!extra.empty()) {
        text << ", " << extra;
    }
    text << "}}";
    return text.str();
}

namespace {

fs::path freshDirectory() {
    static std::atomic<int> counter{0};
    const fs::path dir = fs::temp_directory_path() / ("qm7x_calibr_" + std::to_string(::getpid()) +
                                                      "_" + std::to_string(counter++));
    fs::remove_all(dir);
    fs::create_directories(dir);
    return dir;
}

}  // namespace

SimBench::SimBench(const std::vector<std::string>& positions, const std::vector<Fault>& faults,
                   const fs::path& stateDir)
    : dir_(freshDirectory()), stateDir_(stateDir.empty() ? dir_ / "state" : stateDir) {
    fs::create_directories(stateDir_);
    std::ofstream bench(dir_ / "bench.yaml");
    bench << "seed: 1\n"
          << "resources:\n"
          << "  - name: " << kCarrierResource << "\n"
          << "    interface: vxi\n"
          << "    manufacturer_id: 0xE76\n"
          << "    model_code: 0x10D\n"
          << "    slot: 5\n"
          << "    mainframe_la: 1\n"
          << "    logical_address: 8\n"
          << "    carrier:\n"
          << "      description: \"" << kCarrierText << "\"\n"
          << "      memory_bytes: 67108864\n"
          << "      positions:\n";
    for (const auto& position : positions) {
        bench << "        - " << position << "\n";
    }
    bench << "faults:\n";
    for (const auto& fault : faults) {
        bench << "  - {operation: " << fault.operation << ", status: " << fault.status;
        if (fault.call != 0) {
            bench << ", call: " << fault.call;
        }
        bench << "}\n";
    }
    if (faults.empty()) {
        bench << "  []\n";
    }
    bench.close();
    ::setenv("QM7X_BENCH", (dir_ / "bench.yaml").c_str(), 1);
    ::setenv("QM7X_SIM_STATE_DIR", stateDir_.c_str(), 1);
    ::setenv("QM7X_VISA_LIBRARY", QM7X_TEST_VISA_LIBRARY, 1);
}

void SimBench::writeReference(const std::string& yaml) const {
    // Replaced whole, so that a reader never sees half a file.
    const fs::path file = dir_ / "bench.reference.yaml";
    const fs::path temporary = dir_ / "bench.reference.yaml.tmp";
    std::ofstream(temporary) << yaml;
    fs::rename(temporary, file);
}

void SimBench::SetReference(double channel1, double channel2, double channel3) const {
    std::ostringstream reference;
    reference.precision(17);
    reference << "channels_v: [" << channel1 << ", " << channel2 << ", " << channel3 << "]\n";
    writeReference(reference.str());
}

SimBench::~SimBench() {
    std::error_code ignored;
    fs::remove_all(dir_, ignored);
}

std::string StatusText(ViStatus status) {
    std::array<ViChar, TRQM7X_TEXT_LEN + 1> text{};
    trqm7x_error_message(0, status, text.data());
    return os::FromCp1251(text.data());
}

}  // namespace qm7x::test
