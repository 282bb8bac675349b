// The uncertainty budget of a verification point, stored with the point: which standard was in
// use ("не указан" is none, and the point then has no uncertainty) and every contribution.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "qm7x/metrology/register.h"
#include "qm7x/uncertainty/budget.h"

namespace qm7x::metrology {

struct StoredBudget {
    std::int64_t point_id = 0;
    std::int64_t standard_id = 0;  // 0: no standard named
    double tolerance_v = 0.0;  // the point's permitted deviation, temperature allowance included
    std::optional<uncertainty::Budget> budget;
    std::string refusal;  // why there is no budget
};

// Evaluates a point's budget from what the point recorded (its samples) and the standard in
// use (none: no budget, "эталон не указан").
struct PointForBudget {
    std::vector<double> volts;  // every sample of the block; the check kept those in its band
    double un_v = 0.0;
    double range_v = 0.0;                  // the module's range; its code step is range / 2^23
    double tolerance_v = 0.0;              // without the temperature allowance
    double temperature_allowance_v = 0.0;  // of the point's temperature choice
};
StoredBudget EvaluateBudget(const PointForBudget& point,
                            const std::optional<StandardEntry>& standard);

// The module's nominal volts per code on a range: range / 2^23.
double CodeStepOfRange(double range_v);

std::int64_t RecordBudget(results::ResultsStore& store, const StoredBudget& budget);
// The budgets of the points, by point id (a point recorded without one is absent).
std::map<std::int64_t, StoredBudget> ReadBudgets(results::ResultsStore& store,
                                                 const std::vector<std::int64_t>& point_ids);

}  // namespace qm7x::metrology
