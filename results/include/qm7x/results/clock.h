#pragma once

#include <string>

namespace qm7x::results {

// The present local time with its offset, ISO 8601: 2026-12-07T10:15:02+03:00.
std::string LocalTimeWithOffset();

}  // namespace qm7x::results
