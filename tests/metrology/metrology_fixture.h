// A fresh SQLite results store in a folder of its own, with a module's session, a standard and
// the laboratory, for the metrology records' tests.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>

#include "qm7x/metrology/register.h"
#include "qm7x/results/store.h"

namespace qm7x::metrology::test {

inline StandardEntry Calibrator(const std::string& certificate = "С-ГА/07-12-2026/123456") {
    StandardEntry e;
    e.identifier = "КВ-01";
    e.kind = "калибратор напряжения";
    e.model = "DVC-5520";
    e.serial = "A1234";
    e.certificate_number = certificate;
    e.calibration_date = "2026-03-01";
    e.due_date = "2027-03-01";
    e.ranges = {{{0.2, 10.0, 1e-6, 1e-7}, std::nullopt},
                {{2.0, 8.0, 4e-6, 1e-6}, std::nullopt},
                {{20.0, 8.0, 40e-6, 1e-5}, 20e-6}};
    e.added_by = "metrologist";
    return e;
}

class MetrologyStore : public ::testing::Test {
  protected:
    void SetUp() override {
        folder_ = std::filesystem::temp_directory_path() /
                  ("qm7x-metrology-" + std::to_string(::getpid()));
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
        store_ = results::ResultsStore::Open((folder_ / "results.sqlite").string());
    }
    void TearDown() override {
        store_.reset();
        std::filesystem::remove_all(folder_);
    }

    std::int64_t Session(const std::string& serial = "QM7X-0412") {
        results::SessionRecord s;
        s.carrier_text = "TRHOLDR Н.М., крейт 1, слот 5";
        s.carrier_resource = "VXI0::8::INSTR";
        s.position = 2;
        s.serial = serial;
        s.revision = "QM7X ред. 2, ПЛИС 1.4";
        s.program_version = "1.2.1";
        s.mathlib_ident = "libtrqm7x_math.so.1, версия:1.0, дата:07-12-2026, CRC32=7AA4E1A1";
        s.mathlib_crc32 = 0x7AA4E1A1;
        s.operator_name = "operator";
        s.bench = "sim/benches/default.yaml";
        return store_->RecordSession(s);
    }

    std::filesystem::path folder_;
    std::unique_ptr<results::ResultsStore> store_;
};

}  // namespace qm7x::metrology::test
