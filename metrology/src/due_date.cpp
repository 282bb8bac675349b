#include "qm7x/metrology/due_date.h"

#include "qm7x/results/chain.h"
#include "qm7x/results/clock.h"
#include "qm7x/results/schema.h"

namespace qm7x::metrology {

std::string DueDateBlock(const StandardEntry& standard, const std::string& today) {
    // ISO dates compare as text; a due date that is not one cannot be trusted to lie ahead.
    if (standard.due_date.size() != 10 || standard.due_date < today) {
        return "срок действия эталона " + standard.identifier + " (сертификат " +
               standard.certificate_number + ") истёк " + standard.due_date;
    }
    return {};
}

std::int64_t RecordDueOverride(results::ResultsStore& store, const DueOverride& o) {
    return results::AppendRow(
        store.backend(), results::ChainedTable("qm7x_due_overrides"),
        {results::LocalTimeWithOffset(), o.standard_id, o.session_id, o.operator_name, o.reason});
}

}  // namespace qm7x::metrology
