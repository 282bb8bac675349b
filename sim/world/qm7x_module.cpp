#include "qm7x_module.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <numbers>

namespace qm7x::sim {
namespace {

std::uint64_t SplitMix(std::uint64_t x) {
    x += 0x9E3779B97F4A7C15ULL;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
    return x ^ (x >> 31);
}

// A standard normal value that depends only on the key (Box-Muller on two hashed uniforms).
double Gaussian(std::uint64_t key) {
    const std::uint64_t a = SplitMix(key);
    const std::uint64_t b = SplitMix(a);
    const double u1 = (static_cast<double>(a >> 11) + 1.0) / 9007199254740993.0;
    const double u2 = static_cast<double>(b >> 11) / 9007199254740992.0;
    return std::sqrt(-2.0 * std::log(u1)) * std::cos(2.0 * std::numbers::pi * u2);
}

}  // namespace

Qm7xModule::Qm7xModule(const Qm7xSpec& spec, std::uint64_t benchSeed)
    : spec_(spec), seed_(SplitMix(benchSeed ^ std::hash<std::string>{}(spec.serial))) {}

void Qm7xModule::reset() {
    stop();
    relays_.fill(false);
    settings_ = Settings{};
}

void Qm7xModule::setRelay(int channel, bool in) {
    if (channel == 0) {
        relays_.fill(in);
    } else {
        relays_[static_cast<std::size_t>(channel - 1)] = in;
    }
}

void Qm7xModule::start(const std::array<double, kChannels>& referenceV,
                       const std::array<double, kChannels>& sourceNoiseV) {
    Block block;
    block.settings = settings_;
    for (int channel = 1; channel <= kChannels; ++channel) {
        if (settings_.channelMask & (1u << (channel - 1))) {
            block.channels.push_back(channel);
        }
        block.inputV[static_cast<std::size_t>(channel - 1)] =
            relayIn(channel) ? referenceV[static_cast<std::size_t>(channel - 1)] : 0.0;
        block.sourceNoiseV[static_cast<std::size_t>(channel - 1)] =
            relayIn(channel) ? sourceNoiseV[static_cast<std::size_t>(channel - 1)] : 0.0;
    }
    block.number = ++blocks_;
    block.started = Clock::now();
    last_ = std::move(block);
}

void Qm7xModule::stop() {
    if (running()) {
        last_->stoppedFrames = framesAcquired();
    }
}

std::int64_t Qm7xModule::elapsedFrames(const Block& block) const {
    if (spec_.mode == AcquisitionMode::instant) {
        return block.settings.blockFrames;
    }
    const double elapsed = std::chrono::duration<double>(Clock::now() - block.started).count();
    const double period = static_cast<double>(block.settings.periodSteps) * kPeriodStepS;
    const double frames = std::floor(elapsed / period);
    return frames >= static_cast<double>(block.settings.blockFrames)
               ? block.settings.blockFrames
               : static_cast<std::int64_t>(frames);
}

std::int64_t Qm7xModule::framesAcquired() const {
    if (!last_) {
        return 0;
    }
    return last_->stoppedFrames ? *last_->stoppedFrames : elapsedFrames(*last_);
}

bool Qm7xModule::running() const {
    if (!last_ || last_->stoppedFrames) {
        return false;
    }
    if (spec_.mode == AcquisitionMode::never) {
        return true;  // the completion flag never comes: the block must be stopped
    }
    return elapsedFrames(*last_) < last_->settings.blockFrames;
}

bool Qm7xModule::busy() const {
    return running();
}

const std::vector<int>& Qm7xModule::blockChannels() const {
    static const std::vector<int> kNone;
    return last_ ? last_->channels : kNone;
}

std::int32_t Qm7xModule::codeFor(double volts, int channel, std::uint64_t stream, std::uint64_t n,
                                 double sourceNoiseV) const {
    const auto& physics = spec_.channels[static_cast<std::size_t>(channel - 1)];
    const double nominalGain = physics.rangeV / kFullScaleCodes;
    const std::uint64_t key =
        SplitMix(seed_ ^ SplitMix(stream * 4 + static_cast<std::uint64_t>(channel))) ^ n;
    // The module's noise and the source's are independent: their powers add.
    const double noiseV =
        sourceNoiseV == 0.0 ? physics.noiseV : std::hypot(physics.noiseV, sourceNoiseV);
    const double noiseCodes = noiseV / nominalGain * Gaussian(key);
    const double codes = meanCode(volts, channel) + noiseCodes;
    const double limit = 1.25 * kFullScaleCodes;
    return static_cast<std::int32_t>(std::lround(std::clamp(codes, -limit, limit)));
}

double Qm7xModule::meanCode(double volts, int channel) const {
    const auto& physics = spec_.channels[static_cast<std::size_t>(channel - 1)];
    // Inputs beyond 1.2 x range saturate the converter.
    const double limitV = 1.2 * physics.rangeV;
    const double input = std::clamp(volts, -limitV, limitV);
    const double gain = input < 0.0 ? physics.gainNegVPerCode : physics.gainPosVPerCode;
    return input / gain + physics.offsetV / physics.gainPosVPerCode;
}

std::int32_t Qm7xModule::code(std::int64_t frame, std::size_t position) const {
    const int channel = last_->channels[position];
    const auto index = static_cast<std::size_t>(channel - 1);
    return codeFor(last_->inputV[index], channel, last_->number, static_cast<std::uint64_t>(frame),
                   last_->sourceNoiseV[index]);
}

std::int32_t Qm7xModule::groundedCode(std::uint64_t sample, int channel) const {
    return codeFor(0.0, channel, 0xFFFFFFFFULL + blocks_, sample);
}

}  // namespace qm7x::sim
