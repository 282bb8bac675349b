// The carrier and mezzanine sessions: opening the carrier, finding the QM7X positions on it and
// binding the chosen mezzanine (its coefficient record, ranges and the protocol title).
#pragma once

#include <array>
#include <string>

#include "visatype.h"

namespace qm7x::app {

// Mezzanine type code of the QM7X.
inline constexpr int kTypeQM7X = 31;

// 0 = none; 0 for both means demonstration mode.
inline ViSession carrierSession = 0;
inline ViSession mezSession = 0;
// Mezzanine type code at carrier positions 1..4; 0 for an empty position.
inline std::array<int, 4> mezonin{};

// First line of a verification protocol: "Протокол поверки мезонина QM7X N <pos> на <carrier>".
inline std::string protocolTitle;
// File of the open protocol; empty while no protocol is open.
inline std::string protocolFileName;

// Opens the chosen instrument's carrier, lists its QM7X positions and opens the first one.
void SelMez();
// Fills types with the type code of each carrier position; returns 0 or the first negative status.
int defMezonin(ViSession carrier, std::array<int, 4>& types);
// Callback of MP's MEZ_NUM and MEZ_SELECT: (re)opens the mezzanine at the ring's position.
// Returns 0, or the negative status of a failed carrier memory query.
int selMezonin(int panel, int control, int event, void* callbackData, int eventData1,
               int eventData2);
// Closes the open mezzanine session through the status check; on success the session becomes 0
// and the coefficient pointer falls back to the program's copy. Returns the checked status.
int closeMezSession();

// Closes the protocol of the given log index. Minimal until the protocol module lands: the
// protocol has no panel or file of its own yet, so there is nothing to release.
void DiscardChlp(int logIndex);

}  // namespace qm7x::app
