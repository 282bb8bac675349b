#include "bench_fixture.h"

#include <cstring>

#include <iconv.h>
#include <unistd.h>

#include <fstream>
#include <memory>

#include "world.h"

namespace qm7x::sim::test {

void BenchTest::SetUp() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = std::filesystem::temp_directory_path() /
           ("qm7x_sim_" + std::to_string(::getpid()) + "_" + info->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
}

void BenchTest::TearDown() {
    std::filesystem::remove_all(dir_);
}

void BenchTest::loadBench(const std::string& yaml) {
    const auto file = dir_ / "bench.yaml";
    std::ofstream(file) << yaml;
    auto& world = World::Instance();
    auto guard = world.lock();
    world.load(file);
}

void BenchTest::loadDefaultBench() {
    // The default bench with its state kept in the test's directory.
    std::ifstream in(QM7X_SOURCE_DIR "/sim/benches/default.yaml");
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const auto at = text.find("state_dir: state/default");
    text.replace(at, std::string("state_dir: state/default").size(), "state_dir: state");
    loadBench(text);
}

void BenchTest::writeReference(const std::string& yaml) {
    std::ofstream(dir_ / "bench.reference.yaml") << yaml;
}

std::string BenchTest::errorText(ViStatus status) {
    char message[TRQM7X_TEXT_LEN] = {};
    trqm7x_error_message(VI_NULL, status, message);
    return FromCp1251(message);
}

std::string BenchTest::FromCp1251(const char* text) {
    std::string in(text);
    std::string out(in.size() * 2 + 1, '\0');
    iconv_t converter = iconv_open("UTF-8", "CP1251");
    char* inPtr = in.data();
    char* outPtr = out.data();
    std::size_t inLeft = in.size();
    std::size_t outLeft = out.size();
    iconv(converter, &inPtr, &inLeft, &outPtr, &outLeft);
    iconv_close(converter);
    out.resize(out.size() - outLeft);
    return out;
}

ViSession BenchTest::openCarrier(const char* resource) {
    ViSession carrier = VI_NULL;
    EXPECT_EQ(trholdr_init(const_cast<ViRsrc>(resource), 1, 1, &carrier), VI_SUCCESS);
    return carrier;
}

ViSession BenchTest::openMezzanine(const char* resource, ViSession carrier, ViInt16 position) {
    ViSession mez = VI_NULL;
    EXPECT_EQ(trqm7x_init(const_cast<ViRsrc>(resource), 1, 1, &mez), VI_SUCCESS);
    EXPECT_EQ(trqm7x_connect(mez, carrier, position, 1, 1), VI_SUCCESS);
    return mez;
}

CoeffRecord DriverRecord(ViSession mezzanine) {
    void* address = nullptr;
    EXPECT_EQ(trqm7x_get_attribute(mezzanine, TRQM7X_ATTR_COEFF_RECORD, &address), VI_SUCCESS);
    CoeffRecord copy;
    if (address != nullptr) {
        std::memcpy(copy.bytes.data(), address, kCoeffRecordSize);
    }
    return copy;
}

std::string SmallBench(const std::string& acquisition, const std::string& faults) {
    return R"(seed: 7
resources:
  - name: VXI0::8::INSTR
    interface: vxi
    manufacturer_id: 0xE76
    model_code: 0x10D
    slot: 5
    mainframe_la: 1
    logical_address: 8
    carrier:
      description: "Носитель 1"
      memory_bytes: 67108864
      positions:
        - qm7x:
            serial: Q1
            acquisition: )" +
           acquisition + R"(
            self_test: {duration_s: 0}
            eeprom:
              factory: default
            channels:
              - {range_v: 10, gain_pos_v_per_code: 1.2e-6, gain_neg_v_per_code: 1.18e-6, offset_v: 0.001, noise_v: 0.0002}
              - {range_v: 1, gain_pos_v_per_code: 1.19e-7, gain_neg_v_per_code: 1.2e-7}
              - {range_v: 0.1}
        - {present: true, type_code: 12}
        - qm7x:
            serial: Q2
            acquisition: )" +
           acquisition + R"(
            self_test: {result: 5, message: "Отказ АЦП канала 2", duration_s: 0}
        - {}
faults: )" +
           faults + "\n";
}

}  // namespace qm7x::sim::test
