// The reference voltage source at the mezzanines' inputs: a small YAML file, re-read at every
// acquisition start so that the voltage can be changed between points without a restart.
//
//   channels_v: [0.0, 0.0, 0.0]          # channels 1..3 of every QM7X not listed below
//   modules:
//     QM7X-0412: [5.0, 0.5, 0.05]        # by serial number
#pragma once

#include <array>
#include <filesystem>
#include <string>

#include "coeff_record.h"

namespace qm7x::sim {

// Volts applied to channels 1..3 of the QM7X with this serial number; all 0 V when the file does
// not exist. Throws BenchError for a file that cannot be used: unreadable, empty, cut short (its
// last line unterminated), not YAML, or without values for this module.
std::array<double, kChannels> ReadReference(const std::filesystem::path& file,
                                            const std::string& serial);

// The same for the text of a reference file; `name` names it in errors.
std::array<double, kChannels> ParseReference(const std::string& text, const std::string& name,
                                             const std::string& serial);

}  // namespace qm7x::sim
