#include "qm7x/metrology/budgets.h"

#include <cmath>
#include <limits>

#include "qm7x/results/chain.h"
#include "qm7x/results/schema.h"

namespace qm7x::metrology {

namespace {

using results::AsInteger;
using results::AsRealOrNaN;
using results::AsText;
using results::Value;

// The contributions are stored in the order the evaluation gives them.
constexpr uncertainty::Source kOrder[] = {
    uncertainty::Source::kRepeatability, uncertainty::Source::kStandardAccuracy,
    uncertainty::Source::kStandardResolution, uncertainty::Source::kModuleResolution,
    uncertainty::Source::kTemperature};

Value OrNull(double value) {
    return std::isfinite(value) ? Value{value} : Value{};
}

}  // namespace

double CodeStepOfRange(double range_v) {
    return range_v / 8388608.0;
}

StoredBudget EvaluateBudget(const PointForBudget& point,
                            const std::optional<StandardEntry>& standard) {
    StoredBudget stored;
    stored.tolerance_v = point.tolerance_v + point.temperature_allowance_v;
    if (!standard) {
        stored.refusal = "эталон не указан";
        return stored;
    }
    stored.standard_id = standard->id;
    const auto at = AtSetting(*standard, point.un_v);
    if (!at) {
        stored.refusal = "напряжение вне пределов эталона " + standard->identifier;
        return stored;
    }
    uncertainty::PointInputs inputs;
    inputs.samples = point.volts;
    inputs.standard = *at;
    inputs.code_step_v = CodeStepOfRange(point.range_v);
    inputs.temperature_allowance_v = point.temperature_allowance_v;
    uncertainty::Evaluation evaluation = uncertainty::EvaluatePoint(inputs);
    stored.budget = std::move(evaluation.budget);
    stored.refusal = std::move(evaluation.refusal);
    return stored;
}

std::int64_t RecordBudget(results::ResultsStore& store, const StoredBudget& s) {
    results::Row row{s.point_id, s.standard_id, s.tolerance_v};
    if (s.budget) {
        for (uncertainty::Source source : kOrder) {
            double u = std::nan("");
            for (const auto& c : s.budget->contributions) {
                if (c.source == source) {
                    u = c.standard_uncertainty_v;
                }
            }
            row.push_back(OrNull(u));
        }
        const auto& a = s.budget->contributions.front();
        row.push_back(OrNull(a.degrees_of_freedom));
        row.push_back(s.budget->contributions[1].distribution ==
                              uncertainty::Distribution::kRectangular
                          ? "rectangular"
                          : "normal");
        row.push_back(s.budget->combined_v);
        row.push_back(OrNull(s.budget->effective_dof));  // null: infinite
        row.push_back(s.budget->coverage_factor);
        row.push_back(s.budget->expanded_v);
    } else {
        row.resize(row.size() + 11);
    }
    row.push_back(s.refusal);
    return results::AppendRow(store.backend(), results::ChainedTable("qm7x_point_budgets"),
                              std::move(row));
}

std::map<std::int64_t, StoredBudget> ReadBudgets(results::ResultsStore& store,
                                                 const std::vector<std::int64_t>& point_ids) {
    std::map<std::int64_t, StoredBudget> budgets;
    for (std::int64_t id : point_ids) {
        const Value key = id;
        auto rows = store.backend().Query(
            "SELECT point_id, standard_id, tolerance_v, u_repeatability, u_standard, "
            "u_standard_resolution, "
            "u_module_resolution, u_temperature, dof_repeatability, standard_distribution, "
            "combined, effective_dof, coverage_factor, expanded, refusal FROM qm7x_point_budgets "
            "WHERE point_id = ? ORDER BY id DESC LIMIT 1",
            {&key, 1});
        if (rows.empty()) {
            continue;
        }
        const auto& r = rows.front();
        StoredBudget s;
        s.point_id = AsInteger(r[0]);
        s.standard_id = AsInteger(r[1]);
        s.tolerance_v = AsRealOrNaN(r[2]);
        s.refusal = AsText(r[14]);
        if (!results::IsNull(r[13])) {
            uncertainty::Budget b;
            const double infinity = std::numeric_limits<double>::infinity();
            for (std::size_t i = 0; i < std::size(kOrder); ++i) {
                uncertainty::Contribution c;
                c.source = kOrder[i];
                c.type_a = i == 0;
                c.standard_uncertainty_v = AsRealOrNaN(r[3 + i]);
                c.degrees_of_freedom = i == 0 ? AsRealOrNaN(r[8]) : infinity;
                c.distribution = i == 0 || (i == 1 && AsText(r[9]) == "normal")
                                     ? uncertainty::Distribution::kNormal
                                     : uncertainty::Distribution::kRectangular;
                b.contributions.push_back(c);
            }
            b.combined_v = AsRealOrNaN(r[10]);
            b.effective_dof = results::IsNull(r[11]) ? infinity : AsRealOrNaN(r[11]);
            b.coverage_factor = AsRealOrNaN(r[12]);
            b.expanded_v = AsRealOrNaN(r[13]);
            s.budget = std::move(b);
        }
        budgets[id] = std::move(s);
    }
    return budgets;
}

}  // namespace qm7x::metrology
