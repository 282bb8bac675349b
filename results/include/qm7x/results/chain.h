// The hash chain that makes the store tamper-evident. Each row of an append-only table carries
// row_hash = SHA-256(previous row's row_hash, the table's name, the row's id and every column's
// type and value), hex; the first row of a table follows 64 zeros. A row changed, inserted or
// removed outside the program breaks the chain at that row or the next.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "qm7x/results/backend.h"

namespace qm7x::results {

inline constexpr std::string_view kChainStart =
    "0000000000000000000000000000000000000000000000000000000000000000";

std::string RowHash(std::string_view previous_hash, const TableDef& table, std::int64_t id,
                    std::span<const Value> values);

// Appends one row (values in the order of table.columns) inside the caller's exclusive
// transaction; returns its id.
std::int64_t AppendRowLocked(Backend& backend, const TableDef& table, Row values);
// The same in a transaction of its own, committed (and so durable) when it returns.
std::int64_t AppendRow(Backend& backend, const TableDef& table, Row values);

struct ChainBreak {
    std::string table;
    std::int64_t id = 0;
    std::string reason;
};

// Walks each table's chain; returns the first broken row of each broken table.
std::vector<ChainBreak> VerifyChains(Backend& backend, std::span<const TableDef> tables);

}  // namespace qm7x::results
