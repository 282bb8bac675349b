#include <fmt/format.h>
#include <ctime>

#include "qm7x/results/clock.h"

namespace qm7x::results {

std::string LocalTimeWithOffset() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
    long offset_s = 0;
    _get_timezone(&offset_s);
    offset_s = -offset_s + (local.tm_isdst > 0 ? 3600 : 0);
#else
    localtime_r(&now, &local);
    long offset_s = local.tm_gmtoff;
#endif
    long offset_min = (offset_s < 0 ? -offset_s : offset_s) / 60;
    return fmt::format("{:04}-{:02}-{:02}T{:02}:{:02}:{:02}{}{:02}:{:02}", local.tm_year + 1900,
                       local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec,
                       offset_s < 0 ? '-' : '+', offset_min / 60, offset_min % 60);
}

}  // namespace qm7x::results
