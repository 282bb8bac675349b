// Panel handles and the exit flags: set at start-up, held for the whole run, read by every
// subsystem of the program.
#pragma once

#include <cstdint>
#include <string_view>

namespace qm7x {

// cpPanel and ppPanel are the tab pages "Калибровка" (page 0) and "Поверка" (page 1) of the main
// panel's tab control.
inline int stPanel = 0;
inline int aboutPanel = 0;
inline int exitPopupPanel = 0;
inline int mpPanel = 0;
inline int cpPanel = 0;
inline int ppPanel = 0;
inline int apPanel = 0;  // the automatic procedure's page
// The register of standards, loaded when it is first shown.
inline int srPanel = 0;
// The module-history panel, loaded when first shown.
inline int hpPanel = 0;

inline std::int16_t exitRequested = 0;
inline std::int16_t quitRequested = 0;
// Technological mode; fixed at build time, read by start-up and by the verification run.
inline constexpr int techno = 1;

// The panel resource carried inside the program.
inline constexpr std::string_view kResourceFile = "p_qm7x.uir";

}  // namespace qm7x
