#include <fmt/format.h>
#include <algorithm>

#include "metrology_schema.h"
#include "qm7x/results/chain.h"
#include "qm7x/results/clock.h"
#include "qm7x/results/schema.h"

namespace qm7x::results {
namespace {

constexpr auto I = ColumnType::Integer;
constexpr auto R = ColumnType::Real;
constexpr auto T = ColumnType::Text;

const TableDef kSchemaVersion{"qm7x_schema_version",
                              {{"version", I}, {"applied_at", T}, {"description", T}}};

Migration FirstSchema() {
    TableDef sessions{"qm7x_sessions",
                      {{"recorded_at", T},
                       {"carrier_text", T},
                       {"carrier_resource", T},
                       {"position", I},
                       {"serial", T},
                       {"revision", T},
                       {"program_version", T},
                       {"mathlib_ident", T},
                       {"mathlib_crc32", I},
                       {"operator", T},
                       {"bench", T}}};
    TableDef points{"qm7x_points",
                    {{"session_id", I},
                     {"recorded_at", T},
                     {"channel", I},
                     {"range_v", R},
                     {"passband", T},
                     {"period_s", R},
                     {"temperature", T},
                     {"un", R},
                     {"raw_codes", T},
                     {"volts", T},
                     {"kept_mask", T},
                     {"ux", R},
                     {"dus", R},
                     {"dumax", R},
                     {"axs", R},
                     {"axmax", R},
                     {"an", R},
                     {"verdict", T},
                     {"mode", T},
                     {"phase", T},
                     {"calibrator", T},
                     {"protocol_file", T},
                     {"protocol_offset", I}}};
    TableDef calibrations{"qm7x_calibrations",
                          {{"session_id", I},
                           {"recorded_at", T},
                           {"channel", I},
                           {"gain_first_before", R},
                           {"gain_second_before", R},
                           {"gain_first_after", R},
                           {"gain_second_after", R},
                           {"reference_positive_v", R},
                           {"reference_negative_v", R},
                           {"record_crc32", I},
                           {"calibration_log", T},
                           {"log_offset", I}}};
    TableDef events{"qm7x_events",
                    {{"session_id", I},
                     {"recorded_at", T},
                     {"kind", T},
                     {"channel", I},
                     {"status", I},
                     {"detail", T}}};
    return Migration{
        1,
        "sessions, verification points, calibrations, zero offset, reset and self-test",
        {sessions, points, calibrations, events},
        {
            "CREATE INDEX qm7x_sessions_serial ON qm7x_sessions (serial)",
            "CREATE INDEX qm7x_points_session ON qm7x_points (session_id)",
            "CREATE INDEX qm7x_calibrations_session ON qm7x_calibrations (session_id)",
            "CREATE INDEX qm7x_events_session ON qm7x_events (session_id)",
            "CREATE VIEW point_results AS SELECT p.id AS point_id, p.session_id, s.serial, "
            "s.revision, p.channel, p.range_v, p.passband, p.period_s, p.temperature, p.un, p.ux, "
            "p.dus, p.dumax, p.axs, p.axmax, p.an, p.verdict, p.recorded_at, p.mode, "
            "COALESCE(p.phase, '') AS phase, p.calibrator, p.protocol_file, p.protocol_offset, "
            "s.operator, s.bench, s.carrier_text, s.position, s.program_version "
            "FROM qm7x_points p JOIN qm7x_sessions s ON s.id = p.session_id",
            "CREATE VIEW calibrations AS SELECT c.id AS calibration_id, c.session_id, s.serial, "
            "s.revision, c.channel, c.gain_first_before, c.gain_second_before, "
            "c.gain_first_after, c.gain_second_after, c.reference_positive_v, "
            "c.reference_negative_v, c.record_crc32, c.calibration_log, c.log_offset, "
            "c.recorded_at, s.operator, s.bench, s.carrier_text, s.position, s.program_version "
            "FROM qm7x_calibrations c JOIN qm7x_sessions s ON s.id = c.session_id",
        }};
}

}  // namespace

const std::vector<Migration>& Migrations() {
    static const std::vector<Migration> migrations{FirstSchema(), MetrologySchema(2)};
    return migrations;
}

int LatestSchemaVersion() {
    return Migrations().back().version;
}

const TableDef& SchemaVersionTable() {
    return kSchemaVersion;
}

std::vector<TableDef> ChainedTables() {
    std::vector<TableDef> tables{kSchemaVersion};
    for (const auto& migration : Migrations()) {
        tables.insert(tables.end(), migration.tables.begin(), migration.tables.end());
    }
    return tables;
}

const TableDef& ChainedTable(std::string_view name) {
    for (const auto& migration : Migrations()) {
        for (const auto& table : migration.tables) {
            if (table.name == name) {
                return table;
            }
        }
    }
    throw StoreError(fmt::format("the results store has no table {}", name));
}

int StoredSchemaVersion(Backend& backend) {
    if (!backend.TableExists(kSchemaVersion.name)) {
        return 0;
    }
    auto rows = backend.Query(fmt::format("SELECT MAX(version) FROM {}", kSchemaVersion.name));
    return rows.empty() || IsNull(rows.front().front())
               ? 0
               : static_cast<int>(AsInteger(rows.front().front()));
}

void CheckNotNewer(Backend& backend) {
    int stored = StoredSchemaVersion(backend);
    if (stored > LatestSchemaVersion()) {
        throw StoreError(fmt::format(
            "{}: its schema version {} is newer than this program's {}; the store is left as it "
            "is, use a newer program",
            backend.Describe(), stored, LatestSchemaVersion()));
    }
}

void MigrateOnOpen(Backend& backend) {
    // A quick look first, so that an up-to-date store is not locked against other writers.
    CheckNotNewer(backend);
    if (StoredSchemaVersion(backend) == LatestSchemaVersion()) {
        return;
    }
    backend.BeginExclusive();
    try {
        // Another bench may have migrated while this one waited for the lock.
        CheckNotNewer(backend);
        int stored = StoredSchemaVersion(backend);
        if (stored == 0 && !backend.TableExists(kSchemaVersion.name)) {
            backend.CreateAppendOnlyTable(kSchemaVersion);
        }
        for (const auto& migration : Migrations()) {
            if (migration.version <= stored) {
                continue;
            }
            for (const auto& table : migration.tables) {
                backend.CreateAppendOnlyTable(table);
            }
            for (const auto& statement : migration.statements) {
                backend.Execute(statement);
            }
            AppendRowLocked(
                backend, kSchemaVersion,
                {std::int64_t{migration.version}, LocalTimeWithOffset(), migration.description});
        }
        backend.Commit();
    } catch (...) {
        backend.Rollback();
        throw;
    }
}

}  // namespace qm7x::results
