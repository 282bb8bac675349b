// Arbitrary bytes as the operator's reply at a calibration prompt: the first byte chooses the
// point's polarity and the channel's range, the rest is the reply. An accepted reply is a finite
// voltage of the point's polarity, and the plausibility checks refuse exactly what lies beyond
// the range or further than the allowed share of it from the module's reading.
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "qm7x/calibr/reference_reply.h"

namespace {

constexpr std::array<double, 3> kRanges{10.0, 1.0, 0.1};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace qm7x::calibr;
    if (size == 0) {
        return 0;
    }
    const Polarity polarity = (data[0] & 1) != 0 ? Polarity::negative : Polarity::positive;
    const double range = kRanges[(data[0] >> 1) % kRanges.size()];
    const std::string_view reply(reinterpret_cast<const char*>(data + 1), size - 1);
    const ReferenceReply parsed = ParseReferenceReply(reply, polarity);
    if (parsed.accepted != parsed.refusal.empty()) {
        std::abort();
    }
    if (!parsed.accepted) {
        return 0;
    }
    const double volts = parsed.volts;
    if (!std::isfinite(volts) || (polarity == Polarity::positive ? !(volts > 0) : !(volts < 0))) {
        std::abort();
    }
    if (RefuseBeyondRange(volts, 1, range).empty() != (std::fabs(volts) <= range)) {
        std::abort();
    }
    // The reply read back as codes through the nominal gain: the module agrees with it.
    const double nominal = range / 8388608.0;
    const std::array<std::int32_t, 1> codes{
        static_cast<std::int32_t>(std::fabs(volts) <= range ? std::lround(volts / nominal) : 0)};
    const double reading = ModuleReading(codes, 0.0, range);
    if (std::fabs(volts) <= range && !RefuseFarFromReading(volts, reading, 1, range).empty()) {
        std::abort();
    }
    if (std::fabs(volts) <= range && RefuseFarFromReading(volts, volts + range, 1, range).empty()) {
        std::abort();
    }
    return 0;
}
