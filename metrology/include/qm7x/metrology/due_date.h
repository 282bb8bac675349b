// A standard past its due date blocks the automatic procedures unless the operator overrides,
// and the override is recorded in the results store.
#pragma once

#include <cstdint>
#include <string>

#include "qm7x/metrology/register.h"

namespace qm7x::metrology {

// Why the standard may not be used on `today` (YYYY-MM-DD): its due date has passed ("" when it
// has not). An entry whose due date cannot be read counts as past it.
std::string DueDateBlock(const StandardEntry& standard, const std::string& today);

struct DueOverride {
    std::int64_t standard_id = 0;
    std::int64_t session_id = 0;
    std::string operator_name;
    std::string reason;  // the operator's words
};

// Records the override before the procedure goes on; returns its row.
std::int64_t RecordDueOverride(results::ResultsStore& store, const DueOverride& override_);

// What an automatic procedure calls before it uses its standard: "" when it may go on (in date,
// or past it with the operator's override, which is then recorded), else the block's text. The
// override is asked for only when the standard is past its due date.
template <typename AskOverride>
std::string ClearStandardForProcedure(results::ResultsStore& store, const StandardEntry& standard,
                                      const std::string& today, std::int64_t session_id,
                                      const std::string& operator_name, AskOverride ask) {
    std::string block = DueDateBlock(standard, today);
    if (block.empty()) {
        return block;
    }
    std::string reason;
    if (!ask(block, reason)) {
        return block;
    }
    RecordDueOverride(store, {standard.id, session_id, operator_name, reason});
    return {};
}

}  // namespace qm7x::metrology
