// The Qt 6 Widgets front end of the user-interface run-time: one window per displayed panel, one
// widget per control, pop-ups as Qt dialogs. This header does not include Qt, so the program's
// main can install the front end without knowing the toolkit.
#pragma once

#include <memory>

#include "qm7x/ui/frontend.h"

namespace qm7x::ui::qt {

// Creates the Qt front end and installs it as the run-time's front end. The Qt application
// object is created here from the command line (argc must outlive the front end, as main's
// does); InitUserInterface then only confirms that the front end is ready. The front end stays
// installed until the returned object is destroyed, which closes every window.
std::unique_ptr<FrontEnd> InstallQtFrontEnd(int& argc, char** argv);

}  // namespace qm7x::ui::qt
