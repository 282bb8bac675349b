// The status line of the main panel and the check of driver statuses.
#pragma once

#include <string>
#include <string_view>

namespace qm7x {

// Status-line colours (text colour attribute of MP's ERROR_MESSAGE).
inline constexpr int kStatusRed = 0xFF0000;
inline constexpr int kStatusWhite = 0xFFFFFF;

// The mezzanine driver's text of a status, in UTF-8.
std::string driverStatusText(int status);
// Shows the driver's text of a non-zero status on the status line in red and returns the status;
// a zero status returns 0 and touches nothing.
int checkErr(int status);
// Writes an informational text on the status line in white.
void showStatusInfo(std::string_view text);
// Writes a failure of the program's own (not a driver status) on the status line in red.
void showStatusError(std::string_view text);
// Adds a failure to the one the status line already shows in red ("<shown>; <text>"); writes it
// alone when the line is empty or informational.
void appendStatusError(std::string_view text);
// Restores the status line to its default (empty); its colour is kept.
void clearStatusLine();

}  // namespace qm7x
