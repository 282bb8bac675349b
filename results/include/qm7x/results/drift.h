// A module's drift: for each channel and nominal voltage it was verified at, the deviation
// Ux - Un of every point over time, oldest first, for the history's plot.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "qm7x/results/store.h"

namespace qm7x::results {

struct DriftSeries {
    int channel = 0;
    double range_v = 0.0;
    double un = 0.0;
    std::vector<double> days;       // since the module's first recorded point
    std::vector<double> deviation;  // Ux - Un, volts
};

// Series ordered by channel, then nominal voltage; points whose time or Ux cannot be read are
// left out.
std::vector<DriftSeries> DriftOf(const std::vector<SessionHistory>& history);

// Seconds since 1970-01-01T00:00:00Z of an ISO 8601 time with its offset
// ("2026-12-07T10:15:02+03:00"); nothing when the text is not of that form.
std::optional<double> EpochSeconds(std::string_view iso8601);

}  // namespace qm7x::results
