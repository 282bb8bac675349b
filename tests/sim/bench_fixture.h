// A bench written for one test into its own temporary directory and loaded into the world.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "coeff_record.h"
#include "trholdr.h"
#include "trqm7x.h"

namespace qm7x::sim::test {

class BenchTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Writes the bench text as bench.yaml in the test's directory and loads it.
    void loadBench(const std::string& yaml);
    void loadDefaultBench();
    void writeReference(const std::string& yaml);
    std::filesystem::path dir() const { return dir_; }

    // The driver's text of a status, converted from Windows-1251 to UTF-8.
    static std::string errorText(ViStatus status);
    static std::string FromCp1251(const char* text);

    // Opens the carrier and the QM7X at a position of the carrier resource.
    ViSession openCarrier(const char* resource);
    ViSession openMezzanine(const char* resource, ViSession carrier, ViInt16 position);

  private:
    std::filesystem::path dir_;
};

// A copy of the mezzanine driver's coefficient record of the session, as the program reads it.
CoeffRecord DriverRecord(ViSession mezzanine);

// A small bench: one carrier with QM7X "Q1" at position 1 and "Q2" at position 3, and an
// empty position 2 holding a mezzanine of another type.
std::string SmallBench(const std::string& acquisition = "instant",
                       const std::string& faults = "[]");

inline constexpr const char* kCarrier = "VXI0::8::INSTR";

}  // namespace qm7x::sim::test
