// Certificates as records of the results store: the number reserved first (so that no two benches
// print the same), then, once the PDF is written, the record of what it holds: its hash, its
// file and its inputs. A reissue is a new certificate that names the one it replaces.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "qm7x/results/store.h"

namespace qm7x::metrology {

// Which results a certificate covers: one session, or the days from..to (YYYY-MM-DD, inclusive).
struct Selection {
    std::string serial;
    std::int64_t session_id = 0;  // 0: by dates
    std::string from_date;
    std::string to_date;
    std::string Describe() const;  // "сеанс 7" or "2026-12-01 — 2026-12-07"
};

// Reserves the next number, "QM7X-<year>-<six digits>", unique in the store.
std::string ReserveCertificateNumber(results::ResultsStore& store, int year);

struct CertificateRecord {
    std::int64_t id = 0;
    std::string recorded_at;
    std::string number;
    Selection selection;
    std::string replaces;  // empty for a first issue
    std::string pdf_file;
    std::string pdf_sha256;
    std::string inputs;  // JSON: the point, calibration, standard and laboratory rows it used
    std::string operator_name;
    std::string program_version;
};

std::int64_t RecordCertificate(results::ResultsStore& store, const CertificateRecord& record);
// The certificates of a serial, oldest first.
std::vector<CertificateRecord> CertificatesOf(results::ResultsStore& store,
                                              const std::string& serial);
// The latest certificate issued for the same selection: the one a new issue replaces.
std::optional<CertificateRecord> LatestFor(results::ResultsStore& store,
                                           const Selection& selection);

}  // namespace qm7x::metrology
