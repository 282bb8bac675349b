// The carrier and mezzanine sessions: opening the carrier, finding the QM7X positions on it and
// binding the chosen mezzanine (its coefficient record, ranges and the protocol title).
#pragma once

#include <array>

#include "qm7x/program/sessions.h"
#include "visatype.h"

namespace qm7x::app {

// Mezzanine type code of the QM7X.
inline constexpr int kTypeQM7X = 31;

// Mezzanine type code at carrier positions 1..4; 0 for an empty position.
inline std::array<int, 4> mezonin{};

// Opens the chosen instrument's carrier, lists its QM7X positions and opens the first one.
void SelMez();
// Fills types with the type code of each carrier position; returns 0 or the first negative status
// (its position into failedPosition when given).
int defMezonin(ViSession carrier, std::array<int, 4>& types, int* failedPosition = nullptr);
// Callback of MP's MEZ_NUM and MEZ_SELECT: (re)opens the mezzanine at the ring's position.
// Returns 0, or the negative status of a failed carrier memory query.
int selMezonin(int panel, int control, int event, void* callbackData, int eventData1,
               int eventData2);
// Closes the open mezzanine session through the status check; on success the session becomes 0
// and the coefficient pointer falls back to the program's copy. Returns the checked status.
int closeMezSession();

}  // namespace qm7x::app
