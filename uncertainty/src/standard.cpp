#include "qm7x/uncertainty/standard.h"

#include <cmath>

namespace qm7x::uncertainty {

namespace {

bool Sound(const StandardRange& range) {
    for (double figure :
         {range.upper_v, range.accuracy_ppm, range.accuracy_floor_v, range.resolution_v}) {
        if (!std::isfinite(figure) || figure < 0.0) {
            return false;
        }
    }
    return true;
}

}  // namespace

std::optional<StandardAtSetting> AtSetting(std::span<const StandardRange> ranges,
                                           double setting_v) {
    if (!std::isfinite(setting_v)) {
        return std::nullopt;
    }
    const double magnitude = std::fabs(setting_v);
    const StandardRange* chosen = nullptr;
    for (const StandardRange& range : ranges) {
        if (!Sound(range)) {
            return std::nullopt;
        }
        if (magnitude <= range.upper_v && (chosen == nullptr || range.upper_v < chosen->upper_v)) {
            chosen = &range;
        }
    }
    if (chosen == nullptr) {
        return std::nullopt;
    }
    StandardAtSetting at;
    at.accuracy_half_width_v = chosen->accuracy_ppm * 1e-6 * magnitude + chosen->accuracy_floor_v;
    at.resolution_v = chosen->resolution_v;
    return at;
}

}  // namespace qm7x::uncertainty
