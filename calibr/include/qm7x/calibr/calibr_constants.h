// Constants of the two-point calibration run: one fast block per point, of which only the samples
// after the settling interval are read back.
#pragma once

#include <cstdint>

namespace qm7x::calibr {

// Sample period of the calibration acquisition, seconds (0.8 us).
inline constexpr double CALIBR_SAMPLE_PERIOD = 8.0E-7;
// Samples acquired before those read back; also the interval of the completion poll, seconds.
inline constexpr double kSettlingTimeS = 0.5;
// Samples read back per point; also the count handed to the driver's calibration.
inline constexpr std::int32_t kSamplesPerPoint = 200;
// Bound of the completion poll, seconds from the start of the acquisition.
inline constexpr double kCompletionTimeoutS = 30.0;
// Longest reply the operator can type at a prompt.
inline constexpr int kMaxReplyLength = 9;

// Both lengths are computed in floating point and truncated toward zero, as the instrument's
// arithmetic has always done; with the stored period they come out at 625000 and 625200.
inline constexpr std::int32_t kReadOffset =
    static_cast<std::int32_t>(kSettlingTimeS / CALIBR_SAMPLE_PERIOD);
inline constexpr std::int32_t kBlockLength =
    static_cast<std::int32_t>(kSettlingTimeS / CALIBR_SAMPLE_PERIOD + kSamplesPerPoint);

}  // namespace qm7x::calibr
