// The store's schema: numbered migrations, applied in order when a store is opened, each in the
// same transaction as the row that records it in qm7x_schema_version.
//
// Extending the store (for example with certificates): add a Migration with the next version
// number to the list in schema.cpp. Its `tables` are created append-only and hash-chained by the
// backend and walked by `qm7x-results verify` with no further code; its `statements` (indexes,
// views) must be SQL that SQLite and PostgreSQL both read. Never change a released migration or
// a chained table's columns: rows already chained were hashed over them. A new kind of record is
// a new table; append to it with AppendRow (chain.h).
#pragma once

#include <string>
#include <vector>

#include "qm7x/results/backend.h"

namespace qm7x::results {

struct Migration {
    int version;
    std::string description;
    std::vector<TableDef> tables;
    std::vector<std::string> statements;
};

const std::vector<Migration>& Migrations();
int LatestSchemaVersion();
// Every hash-chained table of every migration, the version table first.
std::vector<TableDef> ChainedTables();
// The table a store's version is recorded in.
const TableDef& SchemaVersionTable();
// Looks a chained table up by name; throws StoreError when the program knows no such table.
const TableDef& ChainedTable(std::string_view name);

// The schema version of the store, 0 for an empty one.
int StoredSchemaVersion(Backend& backend);
// Brings an older store up to the latest version. A store of a newer version is refused with a
// StoreError and left exactly as it is.
void MigrateOnOpen(Backend& backend);
// Refuses a store newer than this program without changing anything (for readers).
void CheckNotNewer(Backend& backend);

}  // namespace qm7x::results
