// The verification protocol as the rest of the program sees it: its title, built by the mezzanine
// selection, and the file of the open protocol.
#pragma once

#include <string>

namespace qm7x {

// First line of a verification protocol: "Протокол поверки мезонина QM7X N <pos> на <carrier>".
inline std::string protocolTitle;
// File of the open protocol; empty while no protocol is open.
inline std::string protocolFileName;

}  // namespace qm7x
