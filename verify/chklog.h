// The deviation check of a verification point and the verification protocol.
#pragma once

namespace qm7x::verify {

// Closes the protocol of the given log index. The protocol keeps no panel or file of its own yet,
// so there is nothing to release; the caller empties protocolFileName.
void DiscardChlp(int logIndex);

}  // namespace qm7x::verify
