// A plan of the automatic procedure: a YAML file naming the points in the order they are taken,
// each a channel and a voltage (in volts, or in percent of the channel's range), with the sampling
// period, the passband and the temperature given for the plan or for a point, and whether the
// zero-offset adjustment comes first.
//
//   name: "Поверка по основным точкам"
//   zero_offset: true
//   temperature: 20              # 20 | 5 | 40 | any other whole number of degrees
//   points:
//     - {channel: 1, volts: 9.0}
//     - {channel: 1, percent: -90, period_s: 0.001, passband: 1}
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace qm7x::procedure {

// A plan that cannot be used; what() names the file, the line and the problem.
class PlanError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The temperature choice of the "Поверка" page: one of its three, or a given temperature.
struct Temperature {
    enum class Kind { normal, at5, at40, given } kind = Kind::normal;
    int degrees = 20;  // for `given`
};

struct PlanPoint {
    int channel = 1;
    std::optional<double> volts;    // the nominal voltage, or
    std::optional<double> percent;  // percent of the channel's range
    // Unset: as the page stands.
    std::optional<double> periodS;
    std::optional<int> passband;
    std::optional<Temperature> temperature;

    // The nominal voltage on a channel of this range.
    double nominal(double rangeV) const { return volts ? *volts : *percent / 100.0 * rangeV; }
};

struct Plan {
    std::string name;
    bool zeroOffset = false;
    std::vector<PlanPoint> points;
};

inline constexpr std::uintmax_t kMaxPlanBytes = 1 << 20;
inline constexpr std::size_t kMaxPlanPoints = 10000;

// Reads a plan file; throws PlanError.
Plan LoadPlan(const std::filesystem::path& file);
// The same for the text of a plan; `name` names it in errors.
Plan ParsePlan(const std::string& text, const std::string& name);

// 20, 5 and 40 are the page's three choices; any other whole number a given temperature.
Temperature TemperatureFromDegrees(int degrees);

}  // namespace qm7x::procedure
