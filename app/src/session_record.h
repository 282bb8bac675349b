// The session's row in the results store: who opened which module, where, with what software.
#pragma once

#include <cstdint>
#include <string>

namespace qm7x::app {

// What start-up learnt of the math library: its identification line and its file's CRC-32.
struct MathLibraryIdentity {
    std::string line;
    std::uint32_t crc32 = 0;
};
inline MathLibraryIdentity mathLibraryIdentity;

// Records the session of the mezzanine just opened at the position; a store that does not take
// it is said on the status line (its points are recorded with it once the store can be written).
void recordSession(int position);
// The mezzanine was closed.
void endSession();
// Records the self-test's outcome in the open module's session.
void recordSelfTest(int result, const std::string& message);

}  // namespace qm7x::app
