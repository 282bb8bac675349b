// The QM7X hardware: input relays, acquisition settings and the acquisition itself, paced by
// elapsed time. Raw codes are not stored: each is computed on demand from the applied voltage,
// the channel's true gain and offset, and seeded noise, so a long block costs no memory and a
// sample reads the same every time.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <vector>

#include "bench.h"

namespace qm7x::sim {

inline constexpr double kPeriodStepS = 4e-7;  // the sampling period is a multiple of 0.4 us
inline constexpr std::int64_t kMaxPeriodSteps = 65535;

class Qm7xModule {
  public:
    using Clock = std::chrono::steady_clock;

    struct Settings {
        std::int32_t blockFrames = 100;
        std::int64_t periodSteps = 500;  // 0.2 ms
        std::uint16_t channelMask = 0x1;
    };

    Qm7xModule(const Qm7xSpec& spec, std::uint64_t benchSeed);

    const Qm7xSpec& spec() const { return spec_; }
    Settings& settings() { return settings_; }

    // Stops an acquisition, switches the relays out and restores the default settings.
    void reset();
    void setRelay(int channel, bool in);  // channel 0: all three
    bool relayIn(int channel) const { return relays_[static_cast<std::size_t>(channel - 1)]; }

    // Starts a block with the present settings; referenceV is what the source applies to
    // channels 1..3 (a channel whose relay is out sees its grounded input).
    // sourceNoiseV: the rms noise of the source at each input, added to the module's own.
    void start(const std::array<double, kChannels>& referenceV,
               const std::array<double, kChannels>& sourceNoiseV = {});
    void stop();
    bool busy() const;     // acquiring and not complete
    bool running() const;  // started, neither complete nor stopped
    bool hasBlock() const { return last_.has_value(); }
    std::int64_t framesAcquired() const;
    // Channels (1..3) of the last block, in rising order: the positions of each frame.
    const std::vector<int>& blockChannels() const;

    // Raw code of one value of the last block: frame and position within the frame.
    std::int32_t code(std::int64_t frame, std::size_t position) const;
    // Raw code of channel 1..3 with its input grounded (zero-offset adjustment), sample n.
    std::int32_t groundedCode(std::uint64_t sample, int channel) const;
    // The code that channel 1..3's noise averages to at an input voltage, before the converter
    // rounds it: the module's true mean response, which tests compare estimates with.
    double meanCode(double volts, int channel) const;

  private:
    struct Block {
        Settings settings;
        std::vector<int> channels;
        std::array<double, kChannels> inputV{};
        std::array<double, kChannels> sourceNoiseV{};
        std::uint64_t number = 0;
        Clock::time_point started;
        std::optional<std::int64_t> stoppedFrames;
    };

    std::int32_t codeFor(double volts, int channel, std::uint64_t stream, std::uint64_t n,
                         double sourceNoiseV = 0.0) const;
    std::int64_t elapsedFrames(const Block& block) const;

    Qm7xSpec spec_;
    std::uint64_t seed_;
    Settings settings_;
    std::array<bool, kChannels> relays_{};
    std::optional<Block> last_;
    std::uint64_t blocks_ = 0;
};

}  // namespace qm7x::sim
