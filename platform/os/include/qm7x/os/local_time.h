// The system clock and calendar in local time (what a protocol's time stamp shows), replaceable
// by a fixed or scripted source in tests.
#pragma once

#include <functional>

namespace qm7x::os {

struct LocalTime {
    int year = 0;
    int month = 0;  // 1..12
    int day = 0;    // 1..31
    int hours = 0;
    int minutes = 0;
    int seconds = 0;
    bool operator==(const LocalTime&) const = default;
};

// The present local time, from the installed source or else from the system clock.
LocalTime CurrentLocalTime();

// Installs a source of the local time (empty: the system clock again). Returns the previous one.
using LocalTimeSource = std::function<LocalTime()>;
LocalTimeSource SetLocalTimeSource(LocalTimeSource source);

}  // namespace qm7x::os
