// The reference voltage the operator types at a calibration prompt: read as a number and checked
// against the polarity of the point before anything is acquired.
#pragma once

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

}  // namespace qm7x::calibr
