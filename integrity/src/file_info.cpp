#include "qm7x/integrity/file_info.h"

#include <cstdio>

#include "qm7x/os/file_info.h"
#include "qm7x/os/path_list.h"

namespace qm7x::integrity {
namespace {

template <typename... Args>
std::string formatted(const char* format, Args... args) {
    char text[32];
    std::snprintf(text, sizeof text, format, args...);
    return text;
}

}  // namespace

int GetFInfo(std::string_view path, std::string* version, std::string* date, std::string* time,
             std::string* name) {
    for (std::string* text : {version, date, time}) {
        if (text != nullptr) {
            text->clear();
        }
    }
    if (name != nullptr) {
        const std::size_t last = path.find_last_of(os::kDirSeparators);
        const std::string_view bare = last == std::string_view::npos ? path : path.substr(last + 1);
        name->assign(bare.substr(0, kFInfoNameMax));
    }
    if (date != nullptr || time != nullptr) {
        if (const auto written = os::FileLastWriteLocal(std::string(path))) {
            if (date != nullptr) {
                *date = formatted("%02i-%02i-%i", written->day, written->month, written->year);
            }
            if (time != nullptr) {
                *time = formatted("%02i:%02i", written->hour, written->minute);
            }
        }
    }
    if (version != nullptr) {
        const auto fileVersion = os::FileVersion(std::string(path));
        *version = fileVersion ? fileVersion->substr(0, kFInfoVersionMax) : std::string(kNoVersion);
    }
    return 0;
}

}  // namespace qm7x::integrity
