// Mezzanine driver trqm7x_32 of the simulated bench: acquisition, the zero offsets and the
// calibration arithmetic, through the trqm7x_math library as an outside client of it.
#include <bit>
#include <cmath>
#include <vector>

#include "mezzanine_operation.h"
#include "reference_source.h"
#include "trqm7x.h"
#include "trqm7x_math.h"

using namespace qm7x::sim;

namespace {

constexpr std::int32_t kDisplacementSamples = 1000;

// The math library converts as many channels as the module has.
static_assert(sizeof(ConvParams::offset) / sizeof(double) == qm7x::kChannels);

// Conversion parameters of the record: raw codes are 32-bit words, gains in volts per code.
ConvParams ParamsOf(const MezzanineSession& session) {
    ConvParams params{};
    params.shift = 0;
    params.divisor = 1;
    params.format = 0;
    for (std::size_t i = 0; i < session.offsetsV.size(); ++i) {
        params.offset[i] = session.offsetsV[i];
    }
    return params;
}

}  // namespace

extern "C" {

// Zero-offset adjustment: the inputs are grounded inside the module, a series of every channel
// is taken and the math library's zero-point rule turns it into the three zero offsets.
TRQM7X_API ViStatus _VI_FUNC trqm7x_displacement(ViSession vi) {
    return RunOnMezzanine(
        "trqm7x_displacement", vi, Needs::idle, [&](World&, MezzanineSession* session, auto&) {
            std::vector<std::int32_t> samples(kChannels * kDisplacementSamples);
            for (int channel = 1; channel <= kChannels; ++channel) {
                for (std::int32_t n = 0; n < kDisplacementSamples; ++n) {
                    samples[static_cast<std::size_t>((channel - 1) * kDisplacementSamples + n)] =
                        session->module->groundedCode(static_cast<std::uint64_t>(n), channel);
                }
            }
            ConvParams params = ParamsOf(*session);
            auto coeff = session->record.doubles();
            trqm7xMath_RecalcCoeff(&params, coeff.data(), 0.0, 0, samples.data(),
                                   kDisplacementSamples);
            for (std::size_t i = 0; i < session->offsetsV.size(); ++i) {
                if (!std::isfinite(params.offset[i])) {
                    return kErrorCalibration;
                }
            }
            for (std::size_t i = 0; i < session->offsetsV.size(); ++i) {
                session->offsetsV[i] = params.offset[i];
            }
            return VI_SUCCESS;
        });
}

TRQM7X_API ViStatus _VI_FUNC trqm7x_range_q(ViSession vi, ViInt16 channel, ViReal64* range) {
    return RunOnMezzanine("trqm7x_range_q", vi, Needs::session,
                          [&](World&, const MezzanineSession* session, auto&) {
                              if (channel < 1 || channel > kChannels) {
                                  return kErrorParameter2;
                              }
                              if (range == nullptr) {
                                  return kErrorParameter3;
                              }
                              *range = session->record.range(channel);
                              return VI_SUCCESS;
                          });
}

TRQM7X_API ViStatus _VI_FUNC trqm7x_mode_block(ViSession vi, ViInt32 count) {
    return RunOnMezzanine("trqm7x_mode_block", vi, Needs::idle,
                          [&](World&, MezzanineSession* session, auto&) {
                              if (count < 1) {
                                  return kErrorParameter2;
                              }
                              if (static_cast<std::uint32_t>(count) > session->bufferWords) {
                                  return kErrorBlockTooLong;
                              }
                              session->module->settings().blockFrames = count;
                              return VI_SUCCESS;
                          });
}

TRQM7X_API ViStatus _VI_FUNC trqm7x_sample_period(ViSession vi, ViReal64 period) {
    return RunOnMezzanine(
        "trqm7x_sample_period", vi, Needs::idle, [&](World&, MezzanineSession* session, auto&) {
            // The nearest whole number of 0.4 us steps, 1..65535.
            const double steps = std::nearbyint(period / kPeriodStepS);
            if (!std::isfinite(steps) || steps < 1.0 ||
                steps > static_cast<double>(kMaxPeriodSteps)) {
                return kErrorParameter2;
            }
            session->module->settings().periodSteps = static_cast<std::int64_t>(steps);
            return VI_SUCCESS;
        });
}

TRQM7X_API ViStatus _VI_FUNC trqm7x_config_chans(ViSession vi, ViUInt16 mask) {
    return RunOnMezzanine("trqm7x_config_chans", vi, Needs::idle,
                          [&](World&, MezzanineSession* session, auto&) {
                              if (mask == 0 || (mask & ~0x7u) != 0) {
                                  return kErrorParameter2;
                              }
                              session->module->settings().channelMask = mask;
                              return VI_SUCCESS;
                          });
}

TRQM7X_API ViStatus _VI_FUNC trqm7x_input_trigger(ViSession vi, ViInt16 channel, ViInt16 state) {
    return RunOnMezzanine("trqm7x_input_trigger", vi, Needs::connected,
                          [&](World&, MezzanineSession* session, auto&) {
                              if (channel < 0 || channel > kChannels) {
                                  return kErrorParameter2;
                              }
                              if (state < 0 || state > 1) {
                                  return kErrorParameter3;
                              }
                              session->module->setRelay(channel, state != 0);
                              return VI_SUCCESS;
                          });
}

TRQM7X_API ViStatus _VI_FUNC trqm7x_start(ViSession vi) {
    return RunOnMezzanine(
        "trqm7x_start", vi, Needs::idle, [&](World& world, MezzanineSession* session, auto&) {
            Qm7xModule& module = *session->module;
            const auto& settings = module.settings();
            const auto channels = static_cast<std::uint64_t>(std::popcount(settings.channelMask));
            if (static_cast<std::uint64_t>(settings.blockFrames) * channels >
                session->bufferWords) {
                return kErrorBlockTooLong;
            }
            // The source may have been set to another voltage since the last point; a calibrator
            // in operate replaces it at the inputs it is wired to.
            try {
                World::Inputs inputs;
                inputs.volts = ReadReference(world.bench()->referenceFile, module.spec().serial);
                world.applyCalibrators(session->resource->name, session->position, inputs);
                module.start(inputs.volts, inputs.noiseV);
            } catch (const BenchError& error) {
                world.setDetail(kErrorBench, error.what());
                return kErrorBench;
            }
            return VI_SUCCESS;
        });
}

TRQM7X_API ViStatus _VI_FUNC trqm7x_stop(ViSession vi) {
    return RunOnMezzanine("trqm7x_stop", vi, Needs::connected,
                          [&](World&, MezzanineSession* session, auto&) {
                              session->module->stop();
                              return VI_SUCCESS;
                          });
}

TRQM7X_API ViStatus _VI_FUNC trqm7x_state(ViSession vi, ViInt16* busy, void*) {
    return RunOnMezzanine("trqm7x_state", vi, Needs::connected,
                          [&](World&, const MezzanineSession* session, auto&) {
                              if (busy == nullptr) {
                                  return kErrorParameter2;
                              }
                              *busy = session->module->busy() ? 1 : 0;
                              return VI_SUCCESS;
                          });
}

// Results are frames of the block's channels (rising channel order), in volts through the
// record's coefficients and the zero offsets: results[] holds count x channels values.
TRQM7X_API ViStatus _VI_FUNC trqm7x_read_block(ViSession vi, ViInt32 first, ViInt32 count,
                                               ViReal64 results[]) {
    return RunOperation("trqm7x_read_block", [&](World& world, auto&) {
        ViStatus status = VI_SUCCESS;
        const MezzanineSession* session = CompletedBlock(world, vi, first, count, results, status);
        if (session == nullptr) {
            return status;
        }
        const Qm7xModule& module = *session->module;
        if (std::int64_t{first} + count > module.framesAcquired()) {
            return kErrorNoData;
        }
        const auto& channels = module.blockChannels();
        std::vector<std::int32_t> chanList;
        for (const int channel : channels) {
            chanList.push_back(channel - 1);
        }
        std::vector<std::int32_t> raw;
        raw.reserve(static_cast<std::size_t>(count) * channels.size());
        for (std::int64_t frame = first; frame < std::int64_t{first} + count; ++frame) {
            for (std::size_t position = 0; position < channels.size(); ++position) {
                raw.push_back(module.code(frame, position));
            }
        }
        const ConvParams params = ParamsOf(*session);
        const auto coeff = session->record.doubles();
        trqm7xMath_translateResults(&params, coeff.data(), chanList.data(),
                                    static_cast<std::int32_t>(chanList.size()), raw.data(), results,
                                    count);
        return VI_SUCCESS;
    });
}

// Two-point calibration of one channel: the positive point gives the first gain of the pair,
// the negative point the second, by the math library's recalculation rule. The record changes
// only when both gains come out as usable (finite, positive) values.
TRQM7X_API ViStatus _VI_FUNC trqm7x_extcalibr(ViSession vi, ViReal64 uPos, ViReal64 uNeg,
                                              ViInt32 samplesPos[], ViInt32 samplesNeg[],
                                              ViInt32 count, ViInt16 channel) {
    return RunOnMezzanine(
        "trqm7x_extcalibr", vi, Needs::idle, [&](World&, MezzanineSession* session, auto&) {
            // A reference of 1 mV or less would be taken for a zero point and move the offset.
            if (!std::isfinite(uPos) || uPos <= 0.001) {
                return kErrorParameter2;
            }
            if (!std::isfinite(uNeg) || uNeg >= -0.001) {
                return kErrorParameter3;
            }
            if (samplesPos == nullptr) {
                return kErrorParameter4;
            }
            if (samplesNeg == nullptr) {
                return kErrorParameter5;
            }
            if (count < 1) {
                return kErrorParameter6;
            }
            if (channel < 1 || channel > kChannels) {
                return kErrorParameter7;
            }
            ConvParams params = ParamsOf(*session);
            auto coeff = session->record.doubles();
            trqm7xMath_RecalcCoeff(&params, coeff.data(), uPos, channel, samplesPos, count);
            trqm7xMath_RecalcCoeff(&params, coeff.data(), uNeg, channel, samplesNeg, count);
            const double gainPos = coeff[GainIndex(channel, false)];
            const double gainNeg = coeff[GainIndex(channel, true)];
            const double offset = params.offset[channel - 1];
            if (!std::isfinite(gainPos) || !std::isfinite(gainNeg) || gainPos <= 0.0 ||
                gainNeg <= 0.0 || !std::isfinite(offset)) {
                return kErrorCalibration;
            }
            session->record.setGain(channel, false, gainPos);
            session->record.setGain(channel, true, gainNeg);
            session->offsetsV[static_cast<std::size_t>(channel - 1)] = offset;
            return VI_SUCCESS;
        });
}

}  // extern "C"
