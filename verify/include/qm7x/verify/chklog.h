// The verification protocol: up to 16 protocols at once, each under its own log index, each a
// protocol panel (a copy of CHLP with its text box) and a protocol file that only grows. The
// program uses log index 1. Every message goes whole to the file and, less its final line end, to
// the text box; a point entry is on the disk before DoChlp returns.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "qm7x/os/local_time.h"
#include "qm7x/verify/deviation_check.h"

namespace qm7x::verify {

inline constexpr int kLogSlots = 16;
// The log index of the verification protocol.
inline constexpr int kProtocolLog = 1;

// Texts of the pop-up shown when the protocol file cannot be opened.
inline constexpr const char* kOpenFailedTitle = "Ошибка открытия файла протокола.";
inline constexpr const char* kOpenFailedText = "Сообщения будут выводиться только на экран";

// Opens the slot: loads CHLP (hidden) from the panel resource, opens the file, writes the title
// and makes it the panel title. A file that cannot be opened is told once (pop-up, and the cause
// on the status line) and the slot then writes to its text box only. Returns 0, or -1 when the
// panel cannot be loaded or the log index is not one of the 16 (nothing is done then).
int SetupChlp(std::string_view resourceFile, int logIndex, std::string_view title,
              const std::string& fileName);
// Closes the slot: closes its file, discards its panel. A closed slot is left as it is.
void DiscardChlp(int logIndex);
// With a title, makes it the panel title; then shows the slot's panel (nothing when closed).
void DisplayChlp(int logIndex, std::optional<std::string_view> title);
// Appends the message whole to the slot's file and, less one final line end, as a new line to its
// text box, scrolled to the end. A failed write is shown on the status line in red once per
// opening; the file then receives nothing more, the text box everything.
void WriteLOG(int logIndex, std::string_view message);
// Judges one point and writes its entry: heading, column header, result row, empty line. The
// entry is synced to the disk before it returns.
DeviationResult DoChlp(int logIndex, std::string_view heading, std::span<const double> samples,
                       int channel, double un, double tolerance);
// Reads the clock and the calendar and writes the time stamp into the protocol (log index 1).
void SetLogTimeDate();

// The slot's panel, 0 while it is closed.
int ChlpPanel(int logIndex);
// The clock and calendar values of the last time stamp.
os::LocalTime LastTimeStamp();

}  // namespace qm7x::verify
