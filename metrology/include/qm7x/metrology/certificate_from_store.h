// The certificate's model gathered from the results store: the module's points of a selection
// (as found and as left when the automatic procedure marked them, else all as they stand), their
// budgets and standards, the calibrations' coefficients, the laboratory, the software.
#pragma once

#include <string>

#include "qm7x/certificate/model.h"
#include "qm7x/metrology/certificates.h"

namespace qm7x::metrology {

struct GatheredCertificate {
    certificate::Certificate certificate;
    std::string inputs;  // JSON of the rows used, for the certificate's record
    std::string error;   // why there is no certificate (no points, no laboratory set, ...)
};

GatheredCertificate GatherCertificate(results::ResultsStore& store, const Selection& selection,
                                      const std::string& number, const std::string& issue_date);

}  // namespace qm7x::metrology
