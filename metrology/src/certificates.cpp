#include "qm7x/metrology/certificates.h"

#include <cstdio>

#include "qm7x/results/chain.h"
#include "qm7x/results/clock.h"
#include "qm7x/results/schema.h"

namespace qm7x::metrology {

namespace {

using results::AsInteger;
using results::AsText;
using results::Value;

constexpr const char* kColumns =
    "id, recorded_at, number, serial, session_id, from_date, to_date, replaces, pdf_file, "
    "pdf_sha256, inputs, operator, program_version";

CertificateRecord FromRow(const results::Row& r) {
    CertificateRecord c;
    c.id = AsInteger(r[0]);
    c.recorded_at = AsText(r[1]);
    c.number = AsText(r[2]);
    c.selection.serial = AsText(r[3]);
    c.selection.session_id = AsInteger(r[4]);
    c.selection.from_date = AsText(r[5]);
    c.selection.to_date = AsText(r[6]);
    c.replaces = AsText(r[7]);
    c.pdf_file = AsText(r[8]);
    c.pdf_sha256 = AsText(r[9]);
    c.inputs = AsText(r[10]);
    c.operator_name = AsText(r[11]);
    c.program_version = AsText(r[12]);
    return c;
}

}  // namespace

std::string Selection::Describe() const {
    if (session_id != 0) {
        return "сеанс " + std::to_string(session_id);
    }
    return from_date + " — " + to_date;
}

std::string ReserveCertificateNumber(results::ResultsStore& store, int year) {
    const std::int64_t id =
        results::AppendRow(store.backend(), results::ChainedTable("qm7x_certificate_numbers"),
                           {results::LocalTimeWithOffset(), std::int64_t{year}});
    char number[48];
    std::snprintf(number, sizeof number, "QM7X-%04d-%06lld", year, static_cast<long long>(id));
    return number;
}

std::int64_t RecordCertificate(results::ResultsStore& store, const CertificateRecord& c) {
    return results::AppendRow(
        store.backend(), results::ChainedTable("qm7x_certificates"),
        {c.recorded_at.empty() ? Value{results::LocalTimeWithOffset()} : Value{c.recorded_at},
         c.number, c.selection.serial, c.selection.session_id, c.selection.from_date,
         c.selection.to_date, c.replaces, c.pdf_file, c.pdf_sha256, c.inputs, c.operator_name,
         c.program_version});
}

std::vector<CertificateRecord> CertificatesOf(results::ResultsStore& store,
                                              const std::string& serial) {
    const Value key = serial;
    std::vector<CertificateRecord> records;
    for (const auto& row :
         store.backend().Query(std::string("SELECT ") + kColumns +
                                   " FROM qm7x_certificates WHERE serial = ? ORDER BY id",
                               {&key, 1})) {
        records.push_back(FromRow(row));
    }
    return records;
}

std::optional<CertificateRecord> LatestFor(results::ResultsStore& store, const Selection& s) {
    const Value params[] = {s.serial, s.session_id, s.from_date, s.to_date};
    auto rows = store.backend().Query(
        std::string("SELECT ") + kColumns +
            " FROM qm7x_certificates WHERE serial = ? AND session_id = ? AND from_date = ? AND "
            "to_date = ? ORDER BY id DESC LIMIT 1",
        params);
    if (rows.empty()) {
        return std::nullopt;
    }
    return FromRow(rows.front());
}

}  // namespace qm7x::metrology
