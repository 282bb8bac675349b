// The program's copy of the mezzanine's coefficient record, the pointer to the record in use, and
// the channels' ranges: read by the verification run, changed by the calibration. The record's
// layout and the channel count are the driver's (qm7x/drivers/coeff_record.h).
#pragma once

#include <array>

#include "qm7x/drivers/coeff_record.h"

namespace qm7x {

// The program's copy, shown in the table; all zero at start.
inline CoeffRecord coeffCopy{};
// The driver's record while a mezzanine session is open, otherwise coeffCopy itself.
inline CoeffRecord* coeffPtr = &coeffCopy;

// Range of channels 1..kChannels as the driver reports it, and its classification.
inline std::array<double, kChannels> range{};
// 0 for the 10 V range, 1 for 1 V, 2 for 0.1 V.
inline std::array<int, kChannels> rangeIdx{};
inline constexpr std::array<double, 3> rangeVolts{10.0, 1.0, 0.1};

}  // namespace qm7x
