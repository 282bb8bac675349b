// The verification protocol's slots.
#include "chklog.h"

namespace qm7x::verify {

// PLACEHOLDER until the protocol keeps its panel and file: nothing is held open yet.
void DiscardChlp(int /*logIndex*/) {}

}  // namespace qm7x::verify
