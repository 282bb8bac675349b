#include <openssl/evp.h>

#include <fmt/format.h>
#include <cmath>

#include "qm7x/results/chain.h"

namespace qm7x::results {
namespace {

// One value as "<type letter><length>:<bytes>", unambiguous whatever the bytes are.
void AppendCanonical(std::string& out, const Value& value) {
    std::string body;
    char type = 'n';
    if (const auto* integer = std::get_if<std::int64_t>(&value)) {
        type = 'i';
        body = std::to_string(*integer);
    } else if (const auto* real = std::get_if<double>(&value)) {
        type = 'r';
        body = FormatReal(*real);
    } else if (const auto* text = std::get_if<std::string>(&value)) {
        type = 't';
        body = *text;
    }
    out += fmt::format("{}{}:", type, body.size());
    out += body;
}

std::string Sha256Hex(std::string_view data) {
    unsigned char digest[EVP_MAX_MD_SIZE];
    unsigned int length = 0;
    if (EVP_Digest(data.data(), data.size(), digest, &length, EVP_sha256(), nullptr) != 1) {
        throw StoreError("SHA-256 of a row failed (OpenSSL)");
    }
    std::string hex;
    for (unsigned int i = 0; i < length; ++i) {
        hex += fmt::format("{:02x}", digest[i]);
    }
    return hex;
}

// A value as the database will give it back: REAL columns hold doubles, SQLite reads a NaN back
// as null and an integral real's sign of zero is lost, so neither is stored as such.
Value Normalized(const ColumnDef& column, Value value) {
    if (column.type == ColumnType::Real && !IsNull(value)) {
        double real = AsReal(value);
        if (std::isnan(real)) {
            return std::monostate{};
        }
        return real == 0.0 ? 0.0 : real;
    }
    if (column.type == ColumnType::Integer && std::holds_alternative<double>(value)) {
        throw StoreError(fmt::format("column {} holds integers, a real was given", column.name));
    }
    return value;
}

std::string ColumnList(const TableDef& table) {
    std::string list = "id";
    for (const auto& column : table.columns) {
        list += ", " + column.name;
    }
    return list;
}

}  // namespace

std::string RowHash(std::string_view previous_hash, const TableDef& table, std::int64_t id,
                    std::span<const Value> values) {
    std::string content(previous_hash);
    content += '\n';
    content += table.name;
    content += fmt::format("\n{}\n", id);
    for (std::size_t i = 0; i < values.size(); ++i) {
        content += i < table.columns.size() ? table.columns[i].name : "?";
        content += '=';
        AppendCanonical(content, values[i]);
        content += '\n';
    }
    return Sha256Hex(content);
}

std::int64_t AppendRowLocked(Backend& backend, const TableDef& table, Row values) {
    if (values.size() != table.columns.size()) {
        throw StoreError(fmt::format("{}: {} values for the {} columns of {}", backend.Describe(),
                                     values.size(), table.columns.size(), table.name));
    }
    for (std::size_t i = 0; i < values.size(); ++i) {
        values[i] = Normalized(table.columns[i], std::move(values[i]));
    }
    auto last = backend.Query(
        fmt::format("SELECT id, row_hash FROM {} ORDER BY id DESC LIMIT 1", table.name));
    std::int64_t id = last.empty() ? 1 : AsInteger(last.front()[0]) + 1;
    std::string previous = last.empty() ? std::string(kChainStart) : AsText(last.front()[1]);
    std::string hash = RowHash(previous, table, id, values);

    Row params;
    params.reserve(values.size() + 2);
    params.emplace_back(id);
    for (auto& value : values) {
        params.push_back(std::move(value));
    }
    params.emplace_back(std::move(hash));
    std::string placeholders = "?";
    for (std::size_t i = 1; i < params.size(); ++i) {
        placeholders += ", ?";
    }
    backend.Query(fmt::format("INSERT INTO {} ({}, row_hash) VALUES ({})", table.name,
                              ColumnList(table), placeholders),
                  params);
    return id;
}

std::int64_t AppendRow(Backend& backend, const TableDef& table, Row values) {
    backend.BeginExclusive();
    try {
        auto id = AppendRowLocked(backend, table, std::move(values));
        backend.Commit();
        return id;
    } catch (...) {
        backend.Rollback();
        throw;
    }
}

std::vector<ChainBreak> VerifyChains(Backend& backend, std::span<const TableDef> tables) {
    std::vector<ChainBreak> breaks;
    for (const auto& table : tables) {
        if (!backend.TableExists(table.name)) {
            continue;
        }
        auto rows = backend.Query(
            fmt::format("SELECT {}, row_hash FROM {} ORDER BY id", ColumnList(table), table.name));
        std::string previous(kChainStart);
        std::int64_t expected_id = 1;
        for (const auto& row : rows) {
            std::int64_t id = std::holds_alternative<std::int64_t>(row.front())
                                  ? std::get<std::int64_t>(row.front())
                                  : -1;
            std::span<const Value> values(row.begin() + 1, row.end() - 1);
            const auto* stored = std::get_if<std::string>(&row.back());
            std::string reason;
            if (id != expected_id) {
                reason = id < 0 ? std::string("its id is not an integer")
                                : fmt::format("row {} before it is missing", expected_id);
            } else if (!stored || *stored != RowHash(previous, table, id, values)) {
                reason = "its content does not match its hash";
            }
            if (!reason.empty()) {
                breaks.push_back({table.name, id < 0 ? expected_id : id, reason});
                break;
            }
            previous = *stored;
            ++expected_id;
        }
    }
    return breaks;
}

}  // namespace qm7x::results
