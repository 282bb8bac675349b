#include "calibrator.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>

namespace qm7x::sim {
namespace {

constexpr std::size_t kErrorQueueLength = 16;
constexpr const char* kNoError = "0,\"No error\"";

std::uint64_t Mix(std::uint64_t x) {
    x += 0x9E3779B97F4A7C15ULL;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
    return x ^ (x >> 31);
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())) != 0) {
        text.remove_prefix(1);
    }
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())) != 0) {
        text.remove_suffix(1);
    }
    return text;
}

std::string Upper(std::string_view text) {
    std::string upper(text);
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return upper;
}

void Replace(std::string& text, std::string_view from, std::string_view to) {
    for (auto at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
}

// SCPI number formatting: sign, one digit, six decimals, exponent.
std::string Scientific(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%+.6E", value);
    return text;
}

std::optional<double> Number(std::string_view text) {
    text = Trim(text);
    double value = 0.0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

std::string CanonicalCalibratorHeader(std::string_view header) {
    std::string canonical = Upper(Trim(header));
    if (!canonical.empty() && canonical.front() == ':') {
        canonical.erase(0, 1);
    }
    Replace(canonical, "SOURCE:", "SOUR:");
    Replace(canonical, "VOLTAGE", "VOLT");
    Replace(canonical, "OUTPUT", "OUTP");
    Replace(canonical, "SYSTEM:", "SYST:");
    Replace(canonical, "ERROR", "ERR");
    if (canonical.rfind("VOLT", 0) == 0) {
        canonical.insert(0, "SOUR:");
    }
    return canonical;
}

Calibrator::Calibrator(std::string resource, std::string idn, CalibratorSpec spec,
                       std::uint64_t seed, const std::vector<CalibratorFault>* faults)
    : resource_(std::move(resource)),
      idn_(std::move(idn)),
      spec_(std::move(spec)),
      seed_(Mix(seed ^ std::hash<std::string>{}(resource_))),
      faults_(faults) {}

double Calibrator::maxV() const {
    return spec_.ranges.empty() ? 0.0 : spec_.ranges.back().rangeV;
}

double Calibrator::accuracyV(double settingV) const {
    const double magnitude = std::fabs(settingV);
    for (const auto& range : spec_.ranges) {
        if (magnitude <= range.rangeV) {
            return range.ppm * 1e-6 * magnitude + range.floorV;
        }
    }
    return 0.0;
}

double Calibrator::appliedV() const {
    if (!operate_) {
        return 0.0;
    }
    // The actual error of this setting: uniform within its accuracy, the same at every visit.
    std::uint64_t bits = 0;
    std::memcpy(&bits, &settingV_, sizeof bits);
    const double uniform = static_cast<double>(Mix(seed_ ^ bits) >> 11) / 9007199254740992.0;
    return settingV_ + (2.0 * uniform - 1.0) * accuracyV(settingV_);
}

bool Calibrator::wiredTo(const std::string& carrier, int position, int channel) const {
    const auto listed = [](const std::vector<int>& list, int value) {
        return list.empty() || std::find(list.begin(), list.end(), value) != list.end();
    };
    return std::any_of(spec_.wiring.begin(), spec_.wiring.end(), [&](const CalibratorWire& wire) {
        return Upper(wire.carrier) == Upper(carrier) && listed(wire.positions, position) &&
               listed(wire.channels, channel);
    });
}

Calibrator::Clock::duration Calibrator::settleDuration() const {
    return std::chrono::duration_cast<Clock::duration>(
        std::chrono::duration<double>(spec_.settleS));
}

void Calibrator::queueError(std::string entry) {
    if (errors_.size() + 1 >= kErrorQueueLength) {
        if (errors_.size() < kErrorQueueLength) {
            errors_.push_back("-350,\"Queue overflow\"");
        }
        return;
    }
    errors_.push_back(std::move(entry));
}

const CalibratorFault* Calibrator::faultFor(const std::string& header) {
    if (faults_ == nullptr) {
        return nullptr;
    }
    auto counter = std::find_if(calls_.begin(), calls_.end(),
                                [&](const auto& entry) { return entry.first == header; });
    if (counter == calls_.end()) {
        calls_.emplace_back(header, 0);
        counter = std::prev(calls_.end());
    }
    const std::uint64_t call = ++counter->second;
    for (const auto& fault : *faults_) {
        if (Upper(fault.resource) == Upper(resource_) && fault.command == header &&
            (fault.call == 0 || fault.call == call)) {
            return &fault;
        }
    }
    return nullptr;
}

CalibratorAnswer Calibrator::execute(std::string_view line) {
    CalibratorAnswer answer;
    std::string replies;
    bool anyReply = false;
    while (!line.empty()) {
        const auto end = line.find(';');
        const std::string_view part = Trim(line.substr(0, end));
        line = end == std::string_view::npos ? std::string_view() : line.substr(end + 1);
        if (part.empty()) {
            continue;
        }
        bool timedOut = false;
        const auto reply = command(part, timedOut);
        if (timedOut) {
            answer.timedOut = true;
            return answer;
        }
        if (reply) {
            replies += (anyReply ? ";" : "") + *reply;
            anyReply = true;
        }
    }
    if (anyReply) {
        answer.reply = std::move(replies);
    }
    answer.replyAt = settledAt_;
    return answer;
}

std::optional<std::string> Calibrator::command(std::string_view text, bool& timedOut) {
    const auto space = text.find_first_of(" \t");
    const std::string header = CanonicalCalibratorHeader(text.substr(0, space));
    const std::string_view argument =
        space == std::string_view::npos ? std::string_view() : Trim(text.substr(space));

    const CalibratorFault* fault = faultFor(header);
    if (fault != nullptr && fault->kind == CalibratorFaultKind::noReply) {
        timedOut = true;
        return std::nullopt;
    }
    if (fault != nullptr && fault->kind == CalibratorFaultKind::refused) {
        queueError("-221,\"Settings conflict\"");
        return header.back() == '?' ? std::optional<std::string>("0") : std::nullopt;
    }
    std::optional<std::string> reply;
    if (header == "*IDN?") {
        reply = idn_;
    } else if (header == "*RST") {
        operate_ = false;
        settingV_ = 0.0;
        startSettling();
    } else if (header == "*CLS") {
        errors_.clear();
    } else if (header == "*OPC?") {
        reply = "1";
    } else if (header == "SOUR:VOLT?") {
        reply = Scientific(settingV_);
    } else if (header == "SOUR:VOLT") {
        const auto volts = Number(argument);
        if (argument.empty()) {
            queueError("-109,\"Missing parameter\"");
        } else if (!volts) {
            queueError("-104,\"Data type error\"");
        } else if (std::fabs(*volts) > maxV()) {
            queueError("-222,\"Data out of range\"");
        } else {
            settingV_ = *volts;
            startSettling();
        }
    } else if (header == "OUTP?") {
        reply = operate_ ? "1" : "0";
    } else if (header == "OUTP") {
        const std::string state = Upper(argument);
        if (state == "ON" || state == "1") {
            if (!operate_) {
                operate_ = true;
                startSettling();
            }
        } else if (state == "OFF" || state == "0") {
            operate_ = false;
        } else {
            queueError(argument.empty() ? "-109,\"Missing parameter\""
                                        : "-224,\"Illegal parameter value\"");
        }
    } else if (header == "SYST:ERR?") {
        if (errors_.empty()) {
            reply = kNoError;
        } else {
            reply = errors_.front();
            errors_.pop_front();
        }
    } else {
        queueError("-113,\"Undefined header\"");
    }
    if (fault != nullptr && fault->kind == CalibratorFaultKind::error) {
        queueError(fault->error.empty() ? "-310,\"System error\"" : fault->error);
    }
    return reply;
}

}  // namespace qm7x::sim
