// The shared store of several benches: a PostgreSQL database reached with libpq. Values go out
// and come back as text; doubles are written and read in their shortest exact form, so a row
// reads back bit for bit as SQLite gives it.
#include <libpq-fe.h>

#include <fmt/format.h>
#include <memory>

#include "qm7x/results/backend.h"

namespace qm7x::results {
namespace {

// Type numbers of the built-in types (pg_type.oid), fixed since PostgreSQL 7.
constexpr Oid kInt8 = 20, kInt2 = 21, kInt4 = 23, kFloat4 = 700, kFloat8 = 701;
// Serialises the writers of one store; any number fixed for this program.
constexpr std::string_view kWriterLock = "SELECT pg_advisory_xact_lock(7717210)";

struct Finish {
    void operator()(PGconn* connection) const { PQfinish(connection); }
};
struct Clear {
    void operator()(PGresult* result) const { PQclear(result); }
};
using Result = std::unique_ptr<PGresult, Clear>;

const char* SqlType(ColumnType type) {
    switch (type) {
        case ColumnType::Integer:
            return "BIGINT";
        case ColumnType::Real:
            return "DOUBLE PRECISION";
        case ColumnType::Text:
            return "TEXT";
    }
    return "TEXT";
}

// '?' placeholders become $1, $2, ...; quoted text is left alone.
std::string NumberPlaceholders(std::string_view sql) {
    std::string out;
    int next = 1;
    char quote = 0;
    for (char c : sql) {
        if (quote) {
            quote = c == quote ? 0 : quote;
        } else if (c == '\'' || c == '"') {
            quote = c;
        } else if (c == '?') {
            out += fmt::format("${}", next++);
            continue;
        }
        out += c;
    }
    return out;
}

std::string TrimmedMessage(const char* message) {
    std::string text = message ? message : "";
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) {
        text.pop_back();
    }
    return text.empty() ? "no reason given by the server" : text;
}

class PostgresBackend final : public Backend {
  public:
    explicit PostgresBackend(const std::string& url) : connection_(PQconnectdb(url.c_str())) {
        if (!connection_ || PQstatus(connection_.get()) != CONNECTION_OK) {
            throw StoreError(fmt::format(
                "PostgreSQL database {}: cannot connect: {}", url,
                TrimmedMessage(connection_ ? PQerrorMessage(connection_.get()) : "out of memory")));
        }
        // Notices (e.g. "relation exists, skipping") are not the operator's business.
        PQsetNoticeProcessor(
            connection_.get(), [](void*, const char*) {}, nullptr);
        Execute("SET client_encoding = 'UTF8'; SET extra_float_digits = 3");
    }

    std::string Describe() const override {
        const char* host = PQhost(connection_.get());
        return fmt::format("PostgreSQL database {} on {}", PQdb(connection_.get()),
                           host && *host ? host : "the default socket");
    }

    void Execute(std::string_view sql) override {
        Result result(PQexec(connection_.get(), std::string(sql).c_str()));
        Check(result.get(), sql);
    }

    Rows Query(std::string_view sql, std::span<const Value> params) override {
        std::vector<std::string> texts;
        texts.reserve(params.size());
        std::vector<const char*> pointers;
        for (const auto& value : params) {
            if (IsNull(value)) {
                texts.emplace_back();
                pointers.push_back(nullptr);
                continue;
            }
            if (const auto* integer = std::get_if<std::int64_t>(&value)) {
                texts.push_back(std::to_string(*integer));
            } else if (const auto* real = std::get_if<double>(&value)) {
                texts.push_back(FormatReal(*real));
            } else {
                texts.push_back(std::get<std::string>(value));
            }
            pointers.push_back(texts.back().c_str());
        }
        std::string numbered = NumberPlaceholders(sql);
        Result result(PQexecParams(connection_.get(), numbered.c_str(),
                                   static_cast<int>(pointers.size()), nullptr, pointers.data(),
                                   nullptr, nullptr, 0));
        Check(result.get(), sql);
        return ReadRows(result.get());
    }

    void BeginExclusive() override {
        Execute("BEGIN");
        try {
            Execute(kWriterLock);
        } catch (...) {
            Rollback();
            throw;
        }
    }
    void Commit() override { Execute("COMMIT"); }
    void Rollback() noexcept override { PQclear(PQexec(connection_.get(), "ROLLBACK")); }

    bool TableExists(std::string_view name) override {
        Value param{std::string(name)};
        return !Query(
                    "SELECT 1 FROM information_schema.tables "
                    "WHERE table_schema = current_schema() AND table_name = ?",
                    {&param, 1})
                    .empty();
    }

    void CreateAppendOnlyTable(const TableDef& table) override {
        std::string sql = fmt::format("CREATE TABLE {} (id BIGINT PRIMARY KEY", table.name);
        for (const auto& column : table.columns) {
            sql += fmt::format(", {} {}", column.name, SqlType(column.type));
        }
        sql += ", row_hash TEXT NOT NULL);";
        sql +=
            "CREATE OR REPLACE FUNCTION qm7x_refuse_change() RETURNS trigger LANGUAGE plpgsql "
            "AS $$ BEGIN RAISE EXCEPTION '% is append-only: % refused', TG_TABLE_NAME, TG_OP; "
            "END $$;";
        sql += fmt::format(
            "CREATE TRIGGER {0}_no_change BEFORE UPDATE OR DELETE ON {0} "
            "FOR EACH ROW EXECUTE FUNCTION qm7x_refuse_change();"
            "CREATE TRIGGER {0}_no_truncate BEFORE TRUNCATE ON {0} "
            "FOR EACH STATEMENT EXECUTE FUNCTION qm7x_refuse_change();",
            table.name);
        Execute(sql);
    }

  private:
    void Check(const PGresult* result, std::string_view sql) const {
        auto status = PQresultStatus(result);
        if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
            throw StoreError(
                fmt::format("{}: cannot run \"{}\": {}", Describe(), sql,
                            TrimmedMessage(result ? PQresultErrorMessage(result)
                                                  : PQerrorMessage(connection_.get()))));
        }
    }

    static Rows ReadRows(const PGresult* result) {
        Rows rows;
        int count = PQntuples(result);
        int columns = PQnfields(result);
        rows.reserve(count);
        for (int r = 0; r < count; ++r) {
            Row row;
            row.reserve(columns);
            for (int c = 0; c < columns; ++c) {
                if (PQgetisnull(result, r, c)) {
                    row.emplace_back(std::monostate{});
                    continue;
                }
                std::string_view text(PQgetvalue(result, r, c),
                                      static_cast<std::size_t>(PQgetlength(result, r, c)));
                Oid type = PQftype(result, c);
                if (type == kInt8 || type == kInt2 || type == kInt4) {
                    row.emplace_back(std::int64_t{std::stoll(std::string(text))});
                } else if (type == kFloat8 || type == kFloat4) {
                    row.emplace_back(ParseReal(text));
                } else {
                    row.emplace_back(std::string(text));
                }
            }
            rows.push_back(std::move(row));
        }
        return rows;
    }

    std::unique_ptr<PGconn, Finish> connection_;
};

}  // namespace

std::unique_ptr<Backend> OpenPostgresBackend(const std::string& url) {
    return std::make_unique<PostgresBackend>(url);
}

}  // namespace qm7x::results
