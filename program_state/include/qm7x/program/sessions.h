// The driver sessions of the carrier and of the mezzanine; 0 = none, 0 for both means
// demonstration mode. Opened by the mezzanine selection, used by every driver call.
#pragma once

#include "visatype.h"

namespace qm7x {

inline ViSession carrierSession = 0;
inline ViSession mezSession = 0;

}  // namespace qm7x
