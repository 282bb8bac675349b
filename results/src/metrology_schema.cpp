#include "metrology_schema.h"

namespace qm7x::results {

Migration MetrologySchema(int version) {
    constexpr auto I = ColumnType::Integer;
    constexpr auto R = ColumnType::Real;
    constexpr auto T = ColumnType::Text;
    TableDef laboratory{"qm7x_laboratory", {{"recorded_at", T}, {"name", T}, {"address", T}}};
    TableDef standards{"qm7x_standards",
                       {{"recorded_at", T},
                        {"identifier", T},
                        {"kind", T},
                        {"model", T},
                        {"serial", T},
                        {"certificate_number", T},
                        {"calibration_date", T},
                        {"due_date", T},
                        {"ranges", T},
                        {"added_by", T}}};
    // One row per point: standard_id 0 when none was named (refusal says why there is no U);
    // effective_dof null when infinite.
    TableDef budgets{"qm7x_point_budgets",
                     {{"point_id", I},
                      {"standard_id", I},
                      {"tolerance_v", R},
                      {"u_repeatability", R},
                      {"u_standard", R},
                      {"u_standard_resolution", R},
                      {"u_module_resolution", R},
                      {"u_temperature", R},
                      {"dof_repeatability", R},
                      {"standard_distribution", T},
                      {"combined", R},
                      {"effective_dof", R},
                      {"coverage_factor", R},
                      {"expanded", R},
                      {"refusal", T}}};
    TableDef overrides{"qm7x_due_overrides",
                       {{"recorded_at", T},
                        {"standard_id", I},
                        {"session_id", I},
                        {"operator", T},
                        {"reason", T}}};
    TableDef numbers{"qm7x_certificate_numbers", {{"recorded_at", T}, {"year", I}}};
    TableDef certificates{"qm7x_certificates",
                          {{"recorded_at", T},
                           {"number", T},
                           {"serial", T},
                           {"session_id", I},
                           {"from_date", T},
                           {"to_date", T},
                           {"replaces", T},
                           {"pdf_file", T},
                           {"pdf_sha256", T},
                           {"inputs", T},
                           {"operator", T},
                           {"program_version", T}}};
    return Migration{
        version,
        "laboratory, register of standards, uncertainty budgets, due-date overrides, certificates",
        {laboratory, standards, budgets, overrides, numbers, certificates},
        {
            "CREATE INDEX qm7x_point_budgets_point ON qm7x_point_budgets (point_id)",
            "CREATE INDEX qm7x_certificates_serial ON qm7x_certificates (serial)",
            "CREATE VIEW standards_register AS SELECT id AS entry_id, recorded_at, identifier, "
            "kind, model, serial, certificate_number, calibration_date, due_date, ranges, "
            "added_by FROM qm7x_standards",
            "CREATE VIEW point_uncertainty AS SELECT b.point_id, b.standard_id, "
            "COALESCE(s.identifier, '') AS standard, b.tolerance_v, b.combined, "
            "b.effective_dof, b.coverage_factor, b.expanded, b.refusal "
            "FROM qm7x_point_budgets b LEFT JOIN qm7x_standards s ON s.id = b.standard_id",
            "CREATE VIEW certificates AS SELECT id AS certificate_id, recorded_at, number, "
            "serial, session_id, from_date, to_date, replaces, pdf_file, pdf_sha256, operator, "
            "program_version FROM qm7x_certificates",
        }};
}

}  // namespace qm7x::results
