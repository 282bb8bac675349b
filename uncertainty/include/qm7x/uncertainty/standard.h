// A reference standard's accuracy as its maker states it, per range, and what it gives at one
// setting.
#pragma once

#include <optional>
#include <span>

namespace qm7x::uncertainty {

// One range: settings with |V| up to upper_v are within +-(accuracy_ppm * |V| / 1e6 + floor).
struct StandardRange {
    double upper_v = 0.0;
    double accuracy_ppm = 0.0;
    double accuracy_floor_v = 0.0;
    double resolution_v = 0.0;
};

struct StandardAtSetting {
    double accuracy_half_width_v = 0.0;  // taken as a rectangular distribution
    double resolution_v = 0.0;
    // When the standard's certificate states a standard uncertainty at the setting, it replaces
    // the rectangular one of the maker's accuracy.
    std::optional<double> certificate_standard_uncertainty_v;
};

// The smallest range that holds the setting; none when the setting is beyond every range or a
// range's figures are not finite and non-negative.
std::optional<StandardAtSetting> AtSetting(std::span<const StandardRange> ranges, double setting_v);

}  // namespace qm7x::uncertainty
