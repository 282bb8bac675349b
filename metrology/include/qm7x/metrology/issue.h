// Issuing a certificate: gather its model from the store, reserve its number, name the one it
// replaces (the latest of the same module and selection), draw the PDF, write the file durably
// and record the certificate. Shared by the program's "Сертификат" and qm7x-report.
#pragma once

#include <functional>
#include <string>

#include "qm7x/certificate/model.h"
#include "qm7x/metrology/certificates.h"

namespace qm7x::metrology {

struct IssueRequest {
    Selection selection;
    std::string out_file;
    std::string operator_name;
    std::string program_version;
    std::string today;  // YYYY-MM-DD
};

struct Issued {
    CertificateRecord record;
    int pages = 0;
    std::string error;  // what failed, with its cause; empty when issued
};

// Draws the model as PDF bytes: (certificate) -> {bytes, pages, error}. The program and the tool
// pass the Qt renderer; the store's layer does not know Qt.
struct Drawn {
    std::string bytes;
    int pages = 0;
    std::string sha256_hex;
    std::string error;
};
using Draw = std::function<Drawn(const certificate::Certificate&)>;
// Writes the file whole and synced; returns the failure's cause, empty on success.
using WriteFile = std::function<std::string(const std::string& path, const std::string& bytes)>;

Issued IssueCertificate(results::ResultsStore& store, const IssueRequest& request, const Draw& draw,
                        const WriteFile& write);

}  // namespace qm7x::metrology
