// The program's life cycle: start-up, the event loop and shutdown.
#pragma once

namespace qm7x::app {

// Runs the program on the installed user-interface front end. Returns 0 after the operator
// confirmed the exit, -1 when the run-time cannot start or a panel cannot be loaded.
int RunProgram(int argc, char** argv);

// The steps of the start-up and the shutdown that a run without the event loop shares (the
// headless automatic procedure): the panels loaded and the tab pages taken; the sessions closed
// and the panels discarded.
bool LoadProgramPanels();
void ShutDownProgram();

}  // namespace qm7x::app
