// Mezzanine driver trqm7x_32 of the simulated bench: sessions, the coefficient record, the
// EEPROM, texts and the self-test. Acquisition and the calibration arithmetic are in
// trqm7x_acquisition.cpp.
#include "trqm7x.h"

#include <chrono>
#include <cstdio>
#include <thread>

#include "eeprom_image.h"
#include "mezzanine_operation.h"
#include "text.h"

using namespace qm7x::sim;

namespace {

constexpr const char* kDriverRevision = "trqm7x_32 2.4.1 (имитатор стенда QM7X)";
constexpr std::int16_t kQm7xTypeCode = 31;  // the carrier reports a QM7X with this type code

// The EEPROM's content: its image file, or what the module left the factory with.
CoeffRecord ReadEeprom(const Qm7xModule& module) {
    const auto stored = ReadEepromImage(module.spec().eepromImage);
    return stored ? *stored : module.spec().factoryRecord;
}

}  // namespace

extern "C" {

TRQM7X_API ViStatus _VI_FUNC trqm7x_init(ViRsrc resourceName, ViBoolean idQuery,
                                         ViBoolean resetDevice, ViSession* vi) {
    return RunOperation("trqm7x_init", [&](World& world, auto&) {
        const ResourceSpec* resource = nullptr;
        if (const ViStatus status =
                CheckInit(world, resourceName, idQuery, resetDevice, vi, resource);
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
    return RunOnMezzanine(
        "trqm7x_connect", vi, Needs::session, [&](World& world, MezzanineSession* session, auto&) {
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
            const auto& slot = carrierSession->resource->carrier
                                   ->positions[static_cast<std::size_t>(position - 1)];
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
    return RunOnMezzanine(
        "trqm7x_alloc", vi, Needs::idle, [&](World&, MezzanineSession* session, auto&) {
            const CarrierSpec& carrier = *session->resource->carrier;
            if (size < 1 || static_cast<std::uint32_t>(size) > carrier.memoryBytes / 4) {
                return kErrorParameter2;
            }
            session->bufferWords = static_cast<std::uint32_t>(size);
            return VI_SUCCESS;
        });
}

TRQM7X_API ViStatus _VI_FUNC trqm7x_get_attribute(ViSession vi, ViInt32 attribute, void* value) {
    return RunOnMezzanine("trqm7x_get_attribute", vi, Needs::session,
                          [&](World&, MezzanineSession* session, auto&) {
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
    return RunOnMezzanine("trqm7x_config_events", vi, Needs::connected,
                          [&](World&, MezzanineSession* session, auto&) {
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
    return RunOnMezzanine(
        "trqm7x_self_test", vi, Needs::idle, [&](World&, MezzanineSession* session, auto& guard) {
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
    return RunOnMezzanine("trqm7x_readFlash", vi, Needs::idle,
                          [&](World& world, MezzanineSession* session, auto&) {
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
    return RunOnMezzanine("trqm7x_writeFlash", vi, Needs::idle,
                          [&](World& world, MezzanineSession* session, auto&) {
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
    return RunOnMezzanine("trqm7x_resetCoeff", vi, Needs::session,
                          [&](World&, MezzanineSession* session, auto&) {
                              session->record = DefaultRecord();
                              return VI_SUCCESS;
                          });
}

TRQM7X_API ViStatus _VI_FUNC trqm7x_reset(ViSession vi) {
    return RunOnMezzanine("trqm7x_reset", vi, Needs::connected,
                          [&](World&, MezzanineSession* session, auto&) {
                              session->module->reset();
                              return VI_SUCCESS;
                          });
}

}  // extern "C"
