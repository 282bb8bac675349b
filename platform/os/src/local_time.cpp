#include "qm7x/os/local_time.h"

#include <ctime>
#include <utility>

namespace qm7x::os {
namespace {

LocalTimeSource& installedSource() {
    static LocalTimeSource source;
    return source;
}

LocalTime systemLocalTime() {
    const std::time_t now = std::time(nullptr);
    std::tm parts{};
#if defined(_WIN32)
    localtime_s(&parts, &now);
#else
    localtime_r(&now, &parts);
#endif
    return LocalTime{parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday,
                     parts.tm_hour,        parts.tm_min,     parts.tm_sec};
}

}  // namespace

LocalTime CurrentLocalTime() {
    const LocalTimeSource& source = installedSource();
    return source ? source() : systemLocalTime();
}

LocalTimeSource SetLocalTimeSource(LocalTimeSource source) {
    return std::exchange(installedSource(), std::move(source));
}

}  // namespace qm7x::os
