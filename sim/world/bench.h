// The bench file: the VISA resources of the simulated bench, the carriers among them with what
// sits at their four positions, each QM7X's true physics, and the injected faults.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "calibrator.h"
#include "coeff_record.h"
#include "visatype.h"

namespace qm7x::sim {

// A bench file that cannot be used; what() names the file, the line and the problem.
class BenchError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

enum class AcquisitionMode { realtime, instant, never };

struct ChannelPhysics {
    double rangeV = 10.0;
    double gainPosVPerCode = 10.0 / kFullScaleCodes;  // true gains of the channel
    double gainNegVPerCode = 10.0 / kFullScaleCodes;
    double offsetV = 0.0;  // reading with the input grounded
    double noiseV = 0.0;   // rms
};

struct SelfTestOutcome {
    std::int16_t result = 0;  // 0 passed
    std::string message;      // UTF-8
    double durationS = 0.2;
};

struct Qm7xSpec {
    std::string serial;
    std::string revision;
    std::array<ChannelPhysics, kChannels> channels{};
    AcquisitionMode mode = AcquisitionMode::realtime;
    SelfTestOutcome selfTest;
    std::filesystem::path eepromImage;          // absolute
    CoeffRecord factoryRecord = BlankRecord();  // the EEPROM before its image file exists
};

struct PositionSpec {
    bool present = false;
    std::int16_t typeCode = 0;
    std::optional<Qm7xSpec> qm7x;  // a QM7X sits here (type 31)
};

struct CarrierSpec {
    std::string description;  // UTF-8
    std::uint32_t memoryBytes = 64u << 20;
    std::array<PositionSpec, 4> positions{};
};

struct ResourceSpec {
    std::string name;
    std::uint16_t interfaceType = VI_INTF_VXI;
    std::optional<std::uint16_t> manufacturerId, modelCode, slot, mainframeLa, logicalAddress;
    std::string tcpipAddress;
    std::optional<std::string> idn;  // reply to "*IDN?", none when the device does not answer
    bool lockedElsewhere = false;    // held by another application: locks time out
    std::optional<CarrierSpec> carrier;
    std::optional<CalibratorSpec> calibrator;  // a programmable DC calibrator
};

struct FaultSpec {
    std::string operation;
    ViStatus status = 0;
    std::uint64_t call = 0;  // 0: every call; n: the n-th call only
};

struct Bench {
    std::filesystem::path file;
    std::uint64_t seed = 1;
    std::filesystem::path stateDir;
    std::filesystem::path referenceFile;
    std::vector<ResourceSpec> resources;
    std::vector<FaultSpec> faults;
    std::vector<CalibratorFault> calibratorFaults;
};

// Limits of a bench file: far above any real bench, low enough that a broken or hostile file
// is refused at once instead of taking the machine's memory.
inline constexpr std::uintmax_t kMaxBenchFileBytes = 1 << 20;
inline constexpr std::size_t kMaxBenchResources = 1000;
inline constexpr std::size_t kMaxBenchFaults = 1000;

// Reads and checks a bench file; throws BenchError. The state directory can be overridden
// (QM7X_SIM_STATE_DIR) so that a run from a read-only tree or a test keeps its EEPROMs elsewhere.
Bench LoadBench(const std::filesystem::path& file,
                const std::optional<std::filesystem::path>& stateDirOverride = std::nullopt);
// The same for the text of a bench file; `file` (absolute) names it and anchors relative paths.
Bench ParseBench(const std::string& text, const std::filesystem::path& file,
                 const std::optional<std::filesystem::path>& stateDirOverride = std::nullopt);

}  // namespace qm7x::sim
