// The program's life cycle: start-up, the event loop and shutdown.
#pragma once

namespace qm7x::app {

// Runs the program on the installed user-interface front end. Returns 0 after the operator
// confirmed the exit, -1 when the run-time cannot start or a panel cannot be loaded.
int RunProgram(int argc, char** argv);

}  // namespace qm7x::app
