// Export of a module's points for other tools: the view point_results as CSV (RFC 4180).
#pragma once

#include <string>

#include "qm7x/results/backend.h"

namespace qm7x::results {

// The serial's rows of point_results, oldest first, with a header line; "\r\n" line ends.
std::string PointResultsCsv(Backend& backend, const std::string& serial);

}  // namespace qm7x::results
