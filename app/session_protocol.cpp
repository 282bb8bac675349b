// Closing the verification protocol when another mezzanine is chosen.
//
// PLACEHOLDER until the protocol module (panel, file, log slots) lands and brings the real
// DiscardChlp: the protocol keeps no panel or file of its own yet, and the one piece of its state
// that exists, protocolFileName, is emptied by the caller. Delete this file with that module.
#include "sessions.h"

namespace qm7x::app {

void DiscardChlp(int /*logIndex*/) {}

}  // namespace qm7x::app
