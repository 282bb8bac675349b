#include "qm7x/metrology/issue.h"

#include "qm7x/metrology/certificate_from_store.h"

namespace qm7x::metrology {

Issued IssueCertificate(results::ResultsStore& store, const IssueRequest& request, const Draw& draw,
                        const WriteFile& write) {
    Issued issued;
    // Gathered before a number is reserved, so that a selection with nothing in it uses none.
    GatheredCertificate gathered = GatherCertificate(store, request.selection, "", request.today);
    if (!gathered.error.empty()) {
        issued.error = gathered.error;
        return issued;
    }
    const auto replaced = LatestFor(store, request.selection);
    certificate::Certificate& c = gathered.certificate;
    c.number = ReserveCertificateNumber(store, std::stoi(request.today.substr(0, 4)));
    if (replaced) {
        c.replaces = replaced->number;
    }
    const Drawn drawn = draw(c);
    if (!drawn.error.empty()) {
        issued.error = "сертификат № " + c.number + " не построен: " + drawn.error;
        return issued;
    }
    if (std::string failure = write(request.out_file, drawn.bytes); !failure.empty()) {
        issued.error = "сертификат № " + c.number + " не записан: " + failure;
        return issued;
    }
    CertificateRecord& r = issued.record;
    r.number = c.number;
    r.selection = request.selection;
    r.replaces = replaced ? replaced->number : "";
    r.pdf_file = request.out_file;
    r.pdf_sha256 = drawn.sha256_hex;
    r.inputs = gathered.inputs;
    r.operator_name = request.operator_name;
    r.program_version = request.program_version;
    r.id = RecordCertificate(store, r);
    issued.pages = drawn.pages;
    return issued;
}

}  // namespace qm7x::metrology
