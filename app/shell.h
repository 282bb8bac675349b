// Program-wide state and services of the application shell: panel handles, the exit flags, the
// status line and the driver status check. Implemented by the program's start-up module.
#pragma once

#include <cstdint>
#include <string_view>

namespace qm7x::app {

// Panel handles, set at start-up and held for the whole run. cpPanel and ppPanel are the tab pages
// "Калибровка" (page 0) and "Поверка" (page 1) of the main panel's tab control.
inline int stPanel = 0;
inline int aboutPanel = 0;
inline int exitPopupPanel = 0;
inline int mpPanel = 0;
inline int cpPanel = 0;
inline int ppPanel = 0;

inline std::int16_t exitRequested = 0;
inline std::int16_t quitRequested = 0;
// Technological mode; fixed at build time, read by start-up and by the verification run.
inline constexpr int techno = 1;

inline constexpr std::string_view kSoftwareVersion = "1.2.1";
inline constexpr std::string_view kResourceFile = "p_qm7x.uir";

// Status-line colours (text colour attribute of MP's ERROR_MESSAGE).
inline constexpr int kStatusRed = 0xFF0000;
inline constexpr int kStatusWhite = 0xFFFFFF;

// Shows the driver's text of a non-zero status on the status line in red and returns the status;
// a zero status returns 0 and touches nothing.
int checkErr(int status);
// Writes an informational text on the status line in white.
void showStatusInfo(std::string_view text);
// Restores the status line to its default (empty); its colour is kept.
void clearStatusLine();

}  // namespace qm7x::app
