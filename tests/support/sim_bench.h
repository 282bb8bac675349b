// A simulated bench written by a test: one carrier with four positions, optional injected faults,
// a private state directory for the EEPROM images. Points the drivers and the VISA loader at it.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "visatype.h"

namespace qm7x::test {

inline constexpr const char* kCarrierResource = "VXI0::8::INSTR";
inline constexpr const char* kCarrierText = "TRHOLDR Н.М., крейт 1, слот 5";

// Bench texts of one carrier position.
std::string EmptyPosition();
std::string OtherType(int typeCode, bool present);
// A QM7X whose EEPROM leaves the factory with the given test voltages (tag "QM7X", ranges
// 10 / 1 / 0.1 V, nominal gains); extra is appended inside the qm7x map (e.g. "self_test: {...}").
std::string Qm7x(const std::string& serial, double testU1, const std::string& extra = "");

struct Fault {
    std::string operation;
    ViStatus status;
    int call = 0;  // 0: every call
};

class SimBench {
  public:
    // stateDir empty: a fresh temporary directory, removed at the end.
    explicit SimBench(const std::vector<std::string>& positions,
                      const std::vector<Fault>& faults = {},
                      const std::filesystem::path& stateDir = {});
    ~SimBench();
    SimBench(const SimBench&) = delete;
    SimBench& operator=(const SimBench&) = delete;

    const std::filesystem::path& stateDir() const { return stateDir_; }
    // The bench's own directory (removed at the end): a scratch working directory for a test.
    const std::filesystem::path& dir() const { return dir_; }
    // Sets the reference source at the inputs (the reference file's YAML, re-read by the drivers
    // at every acquisition start), as the operator turns the source's knob.
    void writeReference(const std::string& yaml) const;
    // The reference source at the inputs (re-read by the drivers at each acquisition start):
    // volts of channels 1, 2, 3 of every QM7X.
    void SetReference(double channel1, double channel2, double channel3) const;

  private:
    std::filesystem::path dir_;
    std::filesystem::path stateDir_;
};

// The driver's text of a status, as the status line shows it.
std::string StatusText(ViStatus status);

}  // namespace qm7x::test
