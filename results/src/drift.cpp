#include <charconv>
#include <chrono>
#include <cmath>
#include <map>
#include <tuple>

#include "qm7x/results/drift.h"

namespace qm7x::results {
namespace {

std::optional<int> Digits(std::string_view text, std::size_t at, std::size_t count) {
    int value = 0;
    if (at + count > text.size()) {
        return std::nullopt;
    }
    auto [end, error] = std::from_chars(text.data() + at, text.data() + at + count, value);
    if (error != std::errc{} || end != text.data() + at + count) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

std::optional<double> EpochSeconds(std::string_view t) {
    // YYYY-MM-DDTHH:MM:SS+HH:MM
    if (t.size() != 25 || t[4] != '-' || t[7] != '-' || t[10] != 'T' || t[13] != ':' ||
        t[16] != ':' || (t[19] != '+' && t[19] != '-') || t[22] != ':') {
        return std::nullopt;
    }
    auto year = Digits(t, 0, 4), month = Digits(t, 5, 2), day = Digits(t, 8, 2);
    auto hour = Digits(t, 11, 2), minute = Digits(t, 14, 2), second = Digits(t, 17, 2);
    auto offset_h = Digits(t, 20, 2), offset_m = Digits(t, 23, 2);
    if (!year || !month || !day || !hour || !minute || !second || !offset_h || !offset_m) {
        return std::nullopt;
    }
    using namespace std::chrono;
    year_month_day date{std::chrono::year{*year}, std::chrono::month{static_cast<unsigned>(*month)},
                        std::chrono::day{static_cast<unsigned>(*day)}};
    if (!date.ok()) {
        return std::nullopt;
    }
    double offset = (*offset_h * 3600.0 + *offset_m * 60.0) * (t[19] == '-' ? -1 : 1);
    auto days_since_epoch = static_cast<double>(sys_days{date}.time_since_epoch().count());
    return days_since_epoch * 86400.0 + *hour * 3600.0 + *minute * 60.0 + *second - offset;
}

std::vector<DriftSeries> DriftOf(const std::vector<SessionHistory>& history) {
    std::map<std::tuple<int, double>, DriftSeries> series;
    std::optional<double> first;
    for (const auto& session : history) {
        for (const auto& point : session.points) {
            auto at = EpochSeconds(point.recorded_at);
            if (!at || !std::isfinite(point.ux) || !std::isfinite(point.un)) {
                continue;
            }
            first = first ? std::min(*first, *at) : *at;
            auto& s = series[{point.channel, point.un}];
            s.channel = point.channel;
            s.range_v = point.range_v;
            s.un = point.un;
            s.days.push_back(*at);
            s.deviation.push_back(point.ux - point.un);
        }
    }
    std::vector<DriftSeries> result;
    for (auto& [key, s] : series) {
        for (double& at : s.days) {
            at = (at - *first) / 86400.0;
        }
        result.push_back(std::move(s));
    }
    return result;
}

}  // namespace qm7x::results
