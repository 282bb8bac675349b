// The uncertainty budget of a point just recorded: evaluated with the standard in use and stored
// with the point. The standard of a manual point is the one chosen on the page ("не указан":
// none, and the budget says so); an automatic point's is the register's entry named by the
// calibrator's identification.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "qm7x/metrology/budgets.h"

namespace qm7x::verify {

// Stores the budget of point `point_id`; what failed (the register, the store), or nothing.
std::optional<std::string> RecordPointBudget(std::int64_t point_id,
                                             const metrology::PointForBudget& point);

}  // namespace qm7x::verify
