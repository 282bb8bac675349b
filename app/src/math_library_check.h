// The start-up identification of the math library: its line in ABOUT's CERT_MSG.
#pragma once

namespace qm7x::app {

// Finds the math library (working directory first, then the system's directory list), checks its
// internal CRC record, warns when the record does not match, and shows the library's version,
// date and CRC-32 in ABOUT's CERT_MSG. A library that is missing or carries no record leaves
// CERT_MSG as it is, without a message. Never stops the program.
void checkMathLibrary();

}  // namespace qm7x::app
