// The embedded store: one SQLite file in WAL mode, each commit synced (synchronous=FULL), so a
// recorded row survives a crash or a power cut from the moment its call returns.
#include <sqlite3.h>

#include <fmt/format.h>
#include <memory>

#include "qm7x/results/backend.h"

namespace qm7x::results {
namespace {

struct CloseDatabase {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
struct FinalizeStatement {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using Statement = std::unique_ptr<sqlite3_stmt, FinalizeStatement>;

const char* SqlType(ColumnType type) {
    switch (type) {
        case ColumnType::Integer:
            return "INTEGER";
        case ColumnType::Real:
            return "REAL";
        case ColumnType::Text:
            return "TEXT";
    }
    return "TEXT";
}

class SqliteBackend final : public Backend {
  public:
    explicit SqliteBackend(std::string path) : path_(std::move(path)) {
        sqlite3* raw = nullptr;
        int status = sqlite3_open_v2(path_.c_str(), &raw,
                                     SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
        db_.reset(raw);
        if (status != SQLITE_OK) {
            throw StoreError(fmt::format("{}: cannot open: {}", Describe(),
                                         raw ? sqlite3_errmsg(raw) : sqlite3_errstr(status)));
        }
        sqlite3_extended_result_codes(db_.get(), 1);
        // Another program (a second bench, a reader) may hold the lock for a moment.
        sqlite3_busy_timeout(db_.get(), 10000);
        auto mode = Query("PRAGMA journal_mode=WAL", {});
        if (mode.empty() || AsText(mode.front().front()) != "wal") {
            throw StoreError(fmt::format("{}: cannot switch to WAL mode", Describe()));
        }
        Execute("PRAGMA synchronous=FULL");
    }

    std::string Describe() const override { return fmt::format("SQLite file {}", path_); }

    void Execute(std::string_view sql) override {
        char* message = nullptr;
        std::string statement(sql);
        if (sqlite3_exec(db_.get(), statement.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
            std::string cause = message ? message : sqlite3_errmsg(db_.get());
            sqlite3_free(message);
            throw Failure("cannot run", sql, cause);
        }
    }

    Rows Query(std::string_view sql, std::span<const Value> params) override {
        sqlite3_stmt* raw = nullptr;
        if (sqlite3_prepare_v2(db_.get(), sql.data(), static_cast<int>(sql.size()), &raw,
                               nullptr) != SQLITE_OK) {
            throw Failure("cannot prepare", sql, sqlite3_errmsg(db_.get()));
        }
        Statement statement(raw);
        for (int i = 0; i < static_cast<int>(params.size()); ++i) {
            Bind(statement.get(), i + 1, params[i], sql);
        }
        Rows rows;
        for (;;) {
            int status = sqlite3_step(statement.get());
            if (status == SQLITE_DONE) {
                return rows;
            }
            if (status != SQLITE_ROW) {
                throw Failure("cannot run", sql, sqlite3_errmsg(db_.get()));
            }
            rows.push_back(ReadRow(statement.get()));
        }
    }

    void BeginExclusive() override { Execute("BEGIN IMMEDIATE"); }
    void Commit() override { Execute("COMMIT"); }
    void Rollback() noexcept override {
        sqlite3_exec(db_.get(), "ROLLBACK", nullptr, nullptr, nullptr);
    }

    bool TableExists(std::string_view name) override {
        Value param{std::string(name)};
        return !Query("SELECT 1 FROM sqlite_master WHERE type = 'table' AND name = ?", {&param, 1})
                    .empty();
    }

    void CreateAppendOnlyTable(const TableDef& table) override {
        std::string sql = fmt::format("CREATE TABLE {} (id INTEGER PRIMARY KEY", table.name);
        for (const auto& column : table.columns) {
            sql += fmt::format(", {} {}", column.name, SqlType(column.type));
        }
        sql += ", row_hash TEXT NOT NULL);";
        for (const char* operation : {"UPDATE", "DELETE"}) {
            sql += fmt::format(
                "CREATE TRIGGER {0}_no_{1} BEFORE {1} ON {0} BEGIN "
                "SELECT RAISE(ABORT, '{0} is append-only: {1} refused'); END;",
                table.name, operation);
        }
        Execute(sql);
    }

  private:
    StoreError Failure(std::string_view what, std::string_view sql, std::string_view cause) const {
        return StoreError(fmt::format("{}: {} \"{}\": {}", Describe(), what, sql, cause));
    }

    void Bind(sqlite3_stmt* statement, int index, const Value& value, std::string_view sql) {
        int status = SQLITE_OK;
        if (const auto* integer = std::get_if<std::int64_t>(&value)) {
            status = sqlite3_bind_int64(statement, index, *integer);
        } else if (const auto* real = std::get_if<double>(&value)) {
            status = sqlite3_bind_double(statement, index, *real);
        } else if (const auto* text = std::get_if<std::string>(&value)) {
            status = sqlite3_bind_text64(statement, index, text->data(), text->size(),
                                         SQLITE_TRANSIENT, SQLITE_UTF8);
        } else {
            status = sqlite3_bind_null(statement, index);
        }
        if (status != SQLITE_OK) {
            throw Failure("cannot bind a value of", sql, sqlite3_errmsg(db_.get()));
        }
    }

    static Row ReadRow(sqlite3_stmt* statement) {
        Row row;
        int count = sqlite3_column_count(statement);
        row.reserve(count);
        for (int i = 0; i < count; ++i) {
            switch (sqlite3_column_type(statement, i)) {
                case SQLITE_INTEGER:
                    row.emplace_back(std::int64_t{sqlite3_column_int64(statement, i)});
                    break;
                case SQLITE_FLOAT:
                    row.emplace_back(sqlite3_column_double(statement, i));
                    break;
                case SQLITE_NULL:
                    row.emplace_back(std::monostate{});
                    break;
                default: {
                    // Text, and a blob put there from outside: its bytes, so that the hash sees
                    // them.
                    const auto* bytes = static_cast<const char*>(sqlite3_column_blob(statement, i));
                    int size = sqlite3_column_bytes(statement, i);
                    row.emplace_back(
                        std::string(bytes ? bytes : "", static_cast<std::size_t>(size)));
                }
            }
        }
        return row;
    }

    std::string path_;
    std::unique_ptr<sqlite3, CloseDatabase> db_;
};

}  // namespace

std::unique_ptr<Backend> OpenSqliteBackend(const std::string& path) {
    return std::make_unique<SqliteBackend>(path);
}

}  // namespace qm7x::results
