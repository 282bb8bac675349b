// Mezzanine driver trqm7x_32 of the simulated bench: sessions, the coefficient record, the
// EEPROM, acquisition and the calibration arithmetic (through the trqm7x_math library).
#include "trqm7x.h"

#include <bit>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <thread>
#include <vector>

#include "eeprom_image.h"
#include "reference_source.h"
#include "session_checks.h"
#include "text.h"
#include "trqm7x_math.h"

using namespace qm7x::sim;

namespace {

constexpr const char* kDriverRevision = "trqm7x_32 2.4.1 (имитатор стенда QM7X)";
constexpr std::int32_t kDisplacementSamples = 1000;
constexpr std::int16_t kQm7xTypeCode = 31;  // the carrier reports a QM7X with this type code

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

// The EEPROM's content: its image file, or what the module left the factory with.
CoeffRecord ReadEeprom(const Qm7xModule& module) {
    const auto stored = ReadEepromImage(module.spec().eepromImage);
    return stored ? *stored : module.spec().factoryRecord;
}

// A connected session whose module is not acquiring.
MezzanineSession* IdleMezzanine(World& world, ViSession vi, ViStatus& status) {
    MezzanineSession* session = ConnectedMezzanine(world, vi, status);
    if (session != nullptr && session->module->running()) {
        status = kErrorBusy;
        return nullptr;
    }
    return session;
}

}  // namespace

extern "C" {

TRQM7X_API ViStatus _VI_FUNC trqm7x_init(ViRsrc resourceName, ViBoolean idQuery,
                                         ViBoolean resetDevice, ViSession* vi) {
    return RunOperation("trqm7x_init", [&](World& world, auto&) {
        if (const ViStatus status = CheckInitArguments(idQuery, resetDevice, vi);
            status != VI_SUCCESS) {
            return status;
        }
        const ResourceSpec* resource = nullptr;
        if (const ViStatus status = FindCarrierResource(world, resourceName, resource);
            status != VI_SUCCESS) {
            return status;
        }
        auto session = std::make_unique<MezzanineSession>();
        session->resource = resource;
        session->resetAtConnect = resetDevice != 0;
        session->record = DefaultRecord();
        *vi = world.open(std::move(session));
        return VI_SUCCESS;
    });
}

// flag1: reset the mezzanine as it is bound; flag2: load the record from its EEPROM.
TRQM7X_API ViStatus _VI_FUNC trqm7x_connect(ViSession vi, ViSession carrier, ViInt16 position,
                                            ViInt16 flag1, ViInt16 flag2) {
    return RunOperation("trqm7x_connect", [&](World& world, auto&) {
        MezzanineSession* session = world.mezzanine(vi);
        if (session == nullptr) {
            return VI_ERROR_INV_OBJECT;
        }
        const CarrierSession* carrierSession = world.carrier(carrier);
        if (carrierSession == nullptr) {
            return kErrorNotCarrier;
        }
        if (carrierSession->resource != session->resource) {
            return kErrorCarrierMismatch;
        }
        if (position < 1 || position > 4) {
            return kErrorParameter3;
        }
        if (flag1 < 0 || flag1 > 1) {
            return kErrorParameter4;
        }
        if (flag2 < 0 || flag2 > 1) {
            return kErrorParameter5;
        }
        const auto& slot =
            carrierSession->resource->carrier->positions[static_cast<std::size_t>(position - 1)];
        if (!slot.present || slot.typeCode != kQm7xTypeCode || !slot.qm7x) {
            return kErrorNoQm7x;
        }
        Qm7xModule* module = world.module(slot.qm7x->serial);
        if (world.moduleInUse(module, vi)) {
            return kErrorPositionInUse;
        }
        if (flag2 != 0) {
            try {
                const CoeffRecord stored = ReadEeprom(*module);
                session->record = IsBlank(stored) ? DefaultRecord() : stored;
            } catch (const EepromError& error) {
                world.setDetail(kErrorEepromRead, error.what());
                return kErrorEepromRead;
            }
        }
        if (session->resetAtConnect || flag1 != 0) {
            module->reset();
            session->offsetsV = {};
        }
        session->module = module;
        session->position = position;
        session->bufferWords = carrierSession->resource->carrier->memoryBytes / 64;
        return VI_SUCCESS;
    });
}

TRQM7X_API ViStatus _VI_FUNC trqm7x_alloc(ViSession vi, ViInt32 size) {
    return RunOperation("trqm7x_alloc", [&](World& world, auto&) {
        ViStatus status = VI_SUCCESS;
        MezzanineSession* session = IdleMezzanine(world, vi, status);
        if (session == nullptr) {
            return status;
        }
        const CarrierSpec& carrier = *session->resource->carrier;
        if (size < 1 || static_cast<std::uint32_t>(size) > carrier.memoryBytes / 4) {
            return kErrorParameter2;
        }
        session->bufferWords = static_cast<std::uint32_t>(size);
        return VI_SUCCESS;
    });
}

TRQM7X_API ViStatus _VI_FUNC trqm7x_get_attribute(ViSession vi, ViInt32 attribute, void* value) {
    return RunOperation("trqm7x_get_attribute", [&](World& world, auto&) {
        MezzanineSession* session = world.mezzanine(vi);
        if (session == nullptr) {
            return VI_ERROR_INV_OBJECT;
        }
        if (attribute != TRQM7X_ATTR_COEFF_RECORD) {
            return VI_ERROR_NSUP_ATTR;
        }
        if (value == nullptr) {
            return kErrorParameter3;
        }
        *static_cast<void**>(value) = session->record.bytes.data();
        return VI_SUCCESS;
    });
}

TRQM7X_API ViStatus _VI_FUNC trqm7x_config_events(ViSession vi, ViInt32 events, ViInt32 mode) {
    return RunOperation("trqm7x_config_events", [&](World& world, auto&) {
        ViStatus status = VI_SUCCESS;
        MezzanineSession* session = ConnectedMezzanine(world, vi, status);
        if (session == nullptr) {
            return status;
        }
        if (events < 0) {
            return kErrorParameter2;
        }
        if (mode < 0 || mode > 1) {
            return kErrorParameter3;
        }
        session->events = events;
        return VI_SUCCESS;
    });
}

TRQM7X_API ViStatus _VI_FUNC trqm7x_close(ViSession vi) {
    return RunOperation("trqm7x_close", [&](World& world, auto&) {
        if (world.mezzanine(vi) == nullptr) {
            return VI_ERROR_INV_OBJECT;
        }
        world.close(vi);
        return VI_SUCCESS;
    });
}

// Gives the text of any status, with any session (0 included), even on a broken bench.
TRQM7X_API ViStatus _VI_FUNC trqm7x_error_message(ViSession, ViStatus status, ViChar message[]) {
    if (message == nullptr) {
        return kErrorParameter3;
    }
    try {
        World& world = World::Instance();
        auto guard = world.lock();
        std::string text;
        ViStatus result = VI_SUCCESS;
        if (auto known = StatusText(status)) {
            text = std::move(*known);
            if (const auto detail = world.detail(status); !detail.empty()) {
                text += ": " + detail;
            }
        } else {
            char code[16];
            std::snprintf(code, sizeof code, "0x%08X", static_cast<unsigned>(status));
            text = (status < 0 ? "Неизвестная ошибка, код " : "Неизвестное предупреждение, код ") +
                   std::string(code);
            result = VI_WARN_UNKNOWN_STATUS;
        }
        CopyText(ToCp1251(text), message, TRQM7X_TEXT_LEN);
        return result;
    } catch (...) {
        CopyText("", message, TRQM7X_TEXT_LEN);
        return VI_ERROR_SYSTEM_ERROR;
    }
}

TRQM7X_API ViStatus _VI_FUNC trqm7x_revision_query(ViSession vi, ViChar driverRevision[],
                                                   ViChar instrumentRevision[]) {
    if (driverRevision == nullptr) {
        return kErrorParameter2;
    }
    if (instrumentRevision == nullptr) {
        return kErrorParameter3;
    }
    try {
        World& world = World::Instance();
        auto guard = world.lock();
        CopyText(ToCp1251(kDriverRevision), driverRevision, TRQM7X_TEXT_LEN);
        std::string instrument = "нет сеанса мезонина";
        ViStatus result = VI_SUCCESS;
        if (vi != VI_NULL) {
            const MezzanineSession* session = world.mezzanine(vi);
            if (session == nullptr) {
                result = VI_ERROR_INV_OBJECT;
                instrument.clear();
            } else if (session->module == nullptr) {
                instrument = "мезонин не подключён";
            } else {
                instrument = session->module->spec().revision;
            }
        }
        CopyText(ToCp1251(instrument), instrumentRevision, TRQM7X_TEXT_LEN);
        return result;
    } catch (...) {
        return VI_ERROR_SYSTEM_ERROR;
    }
}

TRQM7X_API ViStatus _VI_FUNC trqm7x_self_test(ViSession vi, ViInt16* result, ViChar message[]) {
    return RunOperation("trqm7x_self_test", [&](World& world, auto& guard) {
        ViStatus status = VI_SUCCESS;
        MezzanineSession* session = IdleMezzanine(world, vi, status);
        if (session == nullptr) {
            return status;
        }
        if (result == nullptr) {
            return kErrorParameter2;
        }
        if (message == nullptr) {
            return kErrorParameter3;
        }
        const SelfTestOutcome outcome = session->module->spec().selfTest;
        // The test takes its time on the module; other sessions are served meanwhile.
        guard.unlock();
        std::this_thread::sleep_for(std::chrono::duration<double>(outcome.durationS));
        guard.lock();
        *result = outcome.result;
        CopyText(ToCp1251(outcome.message), message, TRQM7X_TEXT_LEN);
        return VI_SUCCESS;
    });
}

TRQM7X_API ViStatus _VI_FUNC trqm7x_readFlash(ViSession vi) {
    return RunOperation("trqm7x_readFlash", [&](World& world, auto&) {
        ViStatus status = VI_SUCCESS;
        MezzanineSession* session = IdleMezzanine(world, vi, status);
        if (session == nullptr) {
            return status;
        }
        try {
            const CoeffRecord stored = ReadEeprom(*session->module);
            if (IsBlank(stored)) {
                session->record = DefaultRecord();
                return kWarnEepromBlank;
            }
            session->record = stored;
            return VI_SUCCESS;
        } catch (const EepromError& error) {
            world.setDetail(kErrorEepromRead, error.what());
            return kErrorEepromRead;
        }
    });
}

TRQM7X_API ViStatus _VI_FUNC trqm7x_writeFlash(ViSession vi) {
    return RunOperation("trqm7x_writeFlash", [&](World& world, auto&) {
        ViStatus status = VI_SUCCESS;
        MezzanineSession* session = IdleMezzanine(world, vi, status);
        if (session == nullptr) {
            return status;
        }
        try {
            const auto& spec = session->module->spec();
            WriteEepromImage(spec.eepromImage, session->record, spec.serial);
            return VI_SUCCESS;
        } catch (const EepromError& error) {
            world.setDetail(kErrorEepromWrite, error.what());
            return kErrorEepromWrite;
        }
    });
}

TRQM7X_API ViStatus _VI_FUNC trqm7x_resetCoeff(ViSession vi) {
    return RunOperation("trqm7x_resetCoeff", [&](World& world, auto&) {
        MezzanineSession* session = world.mezzanine(vi);
        if (session == nullptr) {
            return VI_ERROR_INV_OBJECT;
        }
        session->record = DefaultRecord();
        return VI_SUCCESS;
    });
}

TRQM7X_API ViStatus _VI_FUNC trqm7x_reset(ViSession vi) {
    return RunOperation("trqm7x_reset", [&](World& world, auto&) {
        ViStatus status = VI_SUCCESS;
        MezzanineSession* session = ConnectedMezzanine(world, vi, status);
        if (session == nullptr) {
            return status;
        }
        session->module->reset();
        return VI_SUCCESS;
    });
}

// Zero-offset adjustment: the inputs are grounded inside the module, a series of every channel
// is taken and the math library's zero-point rule turns it into the three zero offsets.
TRQM7X_API ViStatus _VI_FUNC trqm7x_displacement(ViSession vi) {
    return RunOperation("trqm7x_displacement", [&](World& world, auto&) {
        ViStatus status = VI_SUCCESS;
        MezzanineSession* session = IdleMezzanine(world, vi, status);
        if (session == nullptr) {
            return status;
        }
        std::vector<std::int32_t> samples(kChannels * kDisplacementSamples);
        for (int channel = 1; channel <= kChannels; ++channel) {
            for (std::int32_t n = 0; n < kDisplacementSamples; ++n) {
                samples[static_cast<std::size_t>((channel - 1) * kDisplacementSamples + n)] =
                    session->module->groundedCode(static_cast<std::uint64_t>(n), channel);
            }
        }
        ConvParams params = ParamsOf(*session);
        auto coeff = session->record.doubles();
        trqm7xMath_RecalcCoeff(&params, coeff.data(), 0.0, 0, samples.data(), kDisplacementSamples);
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
    return RunOperation("trqm7x_range_q", [&](World& world, auto&) {
        const MezzanineSession* session = world.mezzanine(vi);
        if (session == nullptr) {
            return VI_ERROR_INV_OBJECT;
        }
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
    return RunOperation("trqm7x_mode_block", [&](World& world, auto&) {
        ViStatus status = VI_SUCCESS;
        MezzanineSession* session = IdleMezzanine(world, vi, status);
        if (session == nullptr) {
            return status;
        }
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
    return RunOperation("trqm7x_sample_period", [&](World& world, auto&) {
        ViStatus status = VI_SUCCESS;
        MezzanineSession* session = IdleMezzanine(world, vi, status);
        if (session == nullptr) {
            return status;
        }
        // The nearest whole number of 0.4 us steps, 1..65535.
        const double steps = std::nearbyint(period / kPeriodStepS);
        if (!std::isfinite(steps) || steps < 1.0 || steps > static_cast<double>(kMaxPeriodSteps)) {
            return kErrorParameter2;
        }
        session->module->settings().periodSteps = static_cast<std::int64_t>(steps);
        return VI_SUCCESS;
    });
}

TRQM7X_API ViStatus _VI_FUNC trqm7x_config_chans(ViSession vi, ViUInt16 mask) {
    return RunOperation("trqm7x_config_chans", [&](World& world, auto&) {
        ViStatus status = VI_SUCCESS;
        MezzanineSession* session = IdleMezzanine(world, vi, status);
        if (session == nullptr) {
            return status;
        }
        if (mask == 0 || (mask & ~0x7u) != 0) {
            return kErrorParameter2;
        }
        session->module->settings().channelMask = mask;
        return VI_SUCCESS;
    });
}

TRQM7X_API ViStatus _VI_FUNC trqm7x_input_trigger(ViSession vi, ViInt16 channel, ViInt16 state) {
    return RunOperation("trqm7x_input_trigger", [&](World& world, auto&) {
        ViStatus status = VI_SUCCESS;
        MezzanineSession* session = ConnectedMezzanine(world, vi, status);
        if (session == nullptr) {
            return status;
        }
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
    return RunOperation("trqm7x_start", [&](World& world, auto&) {
        ViStatus status = VI_SUCCESS;
        MezzanineSession* session = IdleMezzanine(world, vi, status);
        if (session == nullptr) {
            return status;
        }
        Qm7xModule& module = *session->module;
        const auto& settings = module.settings();
        const auto channels = static_cast<std::uint64_t>(std::popcount(settings.channelMask));
        if (static_cast<std::uint64_t>(settings.blockFrames) * channels > session->bufferWords) {
            return kErrorBlockTooLong;
        }
        // The source may have been set to another voltage since the last point.
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
    return RunOperation("trqm7x_stop", [&](World& world, auto&) {
        ViStatus status = VI_SUCCESS;
        MezzanineSession* session = ConnectedMezzanine(world, vi, status);
        if (session == nullptr) {
            return status;
        }
        session->module->stop();
        return VI_SUCCESS;
    });
}

TRQM7X_API ViStatus _VI_FUNC trqm7x_state(ViSession vi, ViInt16* busy, void*) {
    return RunOperation("trqm7x_state", [&](World& world, auto&) {
        ViStatus status = VI_SUCCESS;
        const MezzanineSession* session = ConnectedMezzanine(world, vi, status);
        if (session == nullptr) {
            return status;
        }
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
    return RunOperation("trqm7x_extcalibr", [&](World& world, auto&) {
        ViStatus status = VI_SUCCESS;
        MezzanineSession* session = IdleMezzanine(world, vi, status);
        if (session == nullptr) {
            return status;
        }
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
