// The texts of the verification protocol, exactly as they go into the file (UTF-8 here; the file
// receives them in Windows-1251 with the platform's line end for each "\n").
#pragma once

#include <string>

#include "qm7x/os/local_time.h"
#include "qm7x/verify/deviation_check.h"

namespace qm7x::verify {

// "\nВремя:H:M:S, Дата: MM-DD-YYYY \n" without zero padding, month before day.
std::string TimeStampText(const os::LocalTime& t);
// "период семплирования 2.000e-04 с": the heading of a point, no line end of its own.
std::string PointHeading(double periodSeconds);
// The channel line ending the heading's line, and the line naming the columns.
std::string ColumnHeader(int channel);
// The numbers of a point and its verdict. When the point was judged in volts (Un 0) the three
// percent columns show a dash instead of a number.
std::string ResultRow(const DeviationResult& r, double un);

inline constexpr const char* kWithin = "Норма";
inline constexpr const char* kOutOf = "Не норма";
inline constexpr const char* kNotApplicable = "—";

}  // namespace qm7x::verify
