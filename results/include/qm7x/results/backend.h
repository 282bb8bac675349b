// One database behind one interface: SQLite (a file) or PostgreSQL (a postgresql:// URL). The
// store's SQL is written once with '?' placeholders; each backend supplies what differs between
// the two (types, the append-only triggers, the lock that serialises writers).
#pragma once

#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "qm7x/results/value.h"

namespace qm7x::results {

struct ColumnDef {
    std::string name;
    ColumnType type;
};

// A table whose rows are only ever appended; every row carries `id` (1, 2, 3, ... in order of
// appending) and `row_hash` besides its columns.
struct TableDef {
    std::string name;
    std::vector<ColumnDef> columns;
};

class Backend {
  public:
    virtual ~Backend() = default;
    Backend() = default;
    Backend(const Backend&) = delete;
    Backend& operator=(const Backend&) = delete;

    // "SQLite file qm7x-results.sqlite" or "PostgreSQL database qm7x on /tmp/x": for messages.
    virtual std::string Describe() const = 0;
    // Runs statements without parameters (DDL); throws StoreError.
    virtual void Execute(std::string_view sql) = 0;
    // One statement with '?' placeholders; returns its rows (none for INSERT); throws StoreError.
    virtual Rows Query(std::string_view sql, std::span<const Value> params = {}) = 0;
    // Opens a transaction that excludes every other writer of the store until Commit/Rollback.
    virtual void BeginExclusive() = 0;
    virtual void Commit() = 0;
    virtual void Rollback() noexcept = 0;
    virtual bool TableExists(std::string_view name) = 0;
    // Creates the table and the triggers (or rules) that refuse UPDATE and DELETE on it.
    virtual void CreateAppendOnlyTable(const TableDef& table) = 0;
};

// Opens the database a location names: a postgresql:// (or postgres://) URL, otherwise the path of
// an SQLite file, created when absent. Throws StoreError with the location and the cause.
std::unique_ptr<Backend> OpenBackend(const std::string& location);

std::unique_ptr<Backend> OpenSqliteBackend(const std::string& path);
std::unique_ptr<Backend> OpenPostgresBackend(const std::string& url);

// The location the program and the tools use when none is given: QM7X_RESULTS_DB when set, else
// the file qm7x-results.sqlite in the working directory.
inline constexpr std::string_view kDefaultStoreFile = "qm7x-results.sqlite";
std::string DefaultStoreLocation();
bool IsPostgresLocation(std::string_view location);

}  // namespace qm7x::results
