// A verification point's row in the results store, after its protocol entry.
#pragma once

#include <span>

#include "qm7x/verify/deviation_check.h"

namespace qm7x::verify {

// Reads the block's raw codes back from the carrier and records the point with them, its volts,
// its judgement, the page's conditions and where its protocol entry lies. A point the store does
// not take is said on the status line; the protocol entry stands either way.
// Its uncertainty budget is stored with it (see point_budget.h).
void RecordPoint(double un, double period, std::span<const double> volts,
                 const DeviationResult& result, double tolerance_v, double allowance_v);

}  // namespace qm7x::verify
