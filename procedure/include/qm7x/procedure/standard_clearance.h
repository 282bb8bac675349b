// Before an automatic procedure uses its calibrator: the register's entry for the calibrator (by
// its identification) must be within its due date, unless the operator overrides, and the
// override is recorded in the results store with the session.
#pragma once

#include <functional>
#include <string>

namespace qm7x::procedure {

// Asked only when the standard is past its due date, with the block's text; true with the
// operator's reason to go on anyway.
using AskDueOverride = std::function<bool(const std::string& block, std::string& reason)>;

// "" when the procedure may go on (in date, overridden, or a calibrator the register does not
// list: its points then have no budget); else why it may not, the store's failure included.
std::string ClearCalibratorStandard(const std::string& identification, const AskDueOverride& ask);

}  // namespace qm7x::procedure
