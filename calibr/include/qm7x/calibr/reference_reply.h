// The reference voltage the operator types at a calibration prompt: read as a number and checked
// against the polarity of the point before anything is acquired.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace qm7x::calibr {

enum class Polarity { positive, negative };

struct ReferenceReply {
    bool accepted = false;
    double volts = 0.0;
    std::string refusal;  // the status-line text when not accepted
};

// A number with '.' or ',' as the decimal separator, surrounding blanks allowed and nothing else;
// the positive point must lie above 0 V, the negative one below it.
ReferenceReply ParseReferenceReply(std::string_view reply, Polarity polarity);

// A typed voltage must be one the channel can read and one the module itself sees: a slip of the
// finger (9000 for 9, "1,5" for 9) would otherwise become a gain hundreds of times wrong.
// The refusal names both values; empty when the reply is plausible.
std::string RefuseBeyondRange(double volts, int channel, double rangeV);
// `readingV` is the module's own reading of the point; a reply further from it than
// kPlausibleShare of the range is refused.
inline constexpr double kPlausibleShare = 0.1;
std::string RefuseFarFromReading(double volts, double readingV, int channel, double rangeV);

// The module's reading of raw codes: their mean times the gain of the point's polarity, or the
// nominal gain (range / 2^23) where that gain is zero, negative or not a number, so that a module
// with a spoilt record can still be calibrated.
double ModuleReading(std::span<const std::int32_t> codes, double gain, double rangeV);

}  // namespace qm7x::calibr
