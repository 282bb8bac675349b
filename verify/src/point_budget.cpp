#include "point_budget.h"

#include "p_qm7x.h"
#include "qm7x/program/panel_handles.h"
#include "qm7x/results/recorder.h"
#include "qm7x/ui/userint.h"
#include "qm7x/verify/point_origin.h"

namespace qm7x::verify {
namespace {

// The standard in use for the point being recorded; nothing when none is named or found.
std::optional<metrology::StandardEntry> StandardInUse(results::ResultsStore& store) {
    const PointOrigin& origin = CurrentPointOrigin();
    if (origin.automatic) {
        return metrology::StandardByIdentification(store, origin.identification);
    }
    int chosen = 0;  // "не указан"
    ui::GetCtrlVal(ppPanel, PP_STANDARD, chosen);
    if (chosen == 0) {
        return std::nullopt;
    }
    return metrology::StandardById(store, chosen);
}

}  // namespace

std::optional<std::string> RecordPointBudget(std::int64_t point_id,
                                             const metrology::PointForBudget& point) {
    return results::ProgramRecorder().WriteRecord([&](results::ResultsStore& store) {
        metrology::StoredBudget budget = metrology::EvaluateBudget(point, StandardInUse(store));
        budget.point_id = point_id;
        metrology::RecordBudget(store, budget);
    });
}

}  // namespace qm7x::verify
