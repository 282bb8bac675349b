// "Сертификат" on the module-history panel: the certificate of the module shown there for its
// latest session with results, written to a file the operator chooses and recorded in the store.
#pragma once

#include "qm7x/metrology/issue.h"

namespace qm7x::app {

// The PDF renderer, set by the Qt program (the core does not know Qt). Without one the button
// says that no certificate can be drawn here.
void SetCertificateDrawer(metrology::Draw draw);

// Callback of HP's CERTIFICATE. Acts on commit; returns 0.
int historyCertificateCB(int panel, int control, int event, void* callbackData, int eventData1,
                         int eventData2);

}  // namespace qm7x::app
