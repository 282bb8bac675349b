// Binds every callback name of the panel resource to the program's function.
#pragma once

namespace qm7x::app {

void RegisterProgramCallbacks();

}  // namespace qm7x::app
