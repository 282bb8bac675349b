// The verification run of one point: the block of samples of the channel under test, the
// tolerance that applies to it, and the protocol entry.
#pragma once

#include <array>
#include <optional>
#include <vector>

#include "qm7x/verify/deviation_check.h"

namespace qm7x::verify {

inline constexpr int kSamplesPerPoint = 100;
// Added to the block's duration for the completion deadline, seconds.
inline constexpr double kTimeoutMargin = 1.0;
// The default sampling period of the page; the run always takes the period from the page.
inline constexpr double POV_SAMPLE_PERIOD = 0.0002;

inline constexpr const char* kTimedOut = "Контрольное время кончилось, а измерение не завершилось";
inline constexpr const char* kNoMezzanine =
    "Мезонин не выбран: точка не измерена и в протокол не записана";
inline constexpr const char* kRelayOut =
    "Входное реле выключено: точка не измерена и в протокол не записана";

// [0]: the nominal voltage Un of the last point; [1..3]: the tolerance in volts of channels 1..3
// for that point (without the temperature allowance).
inline std::array<double, 4> uLimits{};
// The temperature allowance of the last point, volts.
inline double lastAllowance = 0.0;

// One point as "Пуск" takes it, for a caller that already holds the run guard: the page's values,
// the block, the judgement and the protocol entry. Nothing when no entry was written (the cause
// is on the status line).
struct TakenPoint {
    int channel = 0;
    double un = 0.0;
    double tolerance = 0.0;  // volts, the temperature allowance included
    std::vector<double> samples;
    DeviationResult result;
};
std::optional<TakenPoint> TakePoint();

}  // namespace qm7x::verify
