// Carrier driver trholdr_32 of the simulated bench.
#include "trholdr.h"

#include "session_checks.h"
#include "text.h"

using namespace qm7x::sim;

namespace {

const CarrierSpec* CarrierOf(World& world, ViSession vi) {
    const CarrierSession* session = world.carrier(vi);
    return session == nullptr ? nullptr : &*session->resource->carrier;
}

}  // namespace

extern "C" {

TRHOLDR_API ViStatus _VI_FUNC trholdr_init(ViRsrc resourceName, ViBoolean idQuery,
                                           ViBoolean resetDevice, ViSession* vi) {
    return RunOperation("trholdr_init", [&](World& world, auto&) {
        const ResourceSpec* resource = nullptr;
        if (const ViStatus status =
                CheckInit(world, resourceName, idQuery, resetDevice, vi, resource);
            status != VI_SUCCESS) {
            return status;
        }
        *vi = world.open(CarrierSession{resource});
        return VI_SUCCESS;
    });
}

TRHOLDR_API ViStatus _VI_FUNC trholdr_close(ViSession vi) {
    return RunOperation("trholdr_close", [&](World& world, auto&) {
        if (world.carrier(vi) == nullptr) {
            return VI_ERROR_INV_OBJECT;
        }
        world.close(vi);
        return VI_SUCCESS;
    });
}

TRHOLDR_API ViStatus _VI_FUNC trholdr_m_type_q(ViSession vi, ViInt16 position, ViInt16* present,
                                               ViInt16* typeCode) {
    return RunOperation("trholdr_m_type_q", [&](World& world, auto&) {
        const CarrierSpec* carrier = CarrierOf(world, vi);
        if (carrier == nullptr) {
            return VI_ERROR_INV_OBJECT;
        }
        if (position < 1 || position > 4) {
            return kErrorParameter2;
        }
        if (present == nullptr) {
            return kErrorParameter3;
        }
        if (typeCode == nullptr) {
            return kErrorParameter4;
        }
        const auto& slot = carrier->positions[static_cast<std::size_t>(position - 1)];
        *present = slot.present ? 1 : 0;
        *typeCode = slot.typeCode;
        return VI_SUCCESS;
    });
}

TRHOLDR_API ViStatus _VI_FUNC trholdr_m_get_attribute(ViSession vi, ViInt32 attribute,
                                                      ViChar text[]) {
    return RunOperation("trholdr_m_get_attribute", [&](World& world, auto&) {
        const CarrierSpec* carrier = CarrierOf(world, vi);
        if (carrier == nullptr) {
            return VI_ERROR_INV_OBJECT;
        }
        if (attribute != TRHOLDR_ATTR_DESCRIPTION) {
            return VI_ERROR_NSUP_ATTR;
        }
        if (text == nullptr) {
            return kErrorParameter3;
        }
        CopyText(ToCp1251(carrier->description), text, 256);
        return VI_SUCCESS;
    });
}

TRHOLDR_API ViStatus _VI_FUNC trholdr_mem_q(ViSession vi, ViUInt32* size) {
    return RunOperation("trholdr_mem_q", [&](World& world, auto&) {
        const CarrierSpec* carrier = CarrierOf(world, vi);
        if (carrier == nullptr) {
            return VI_ERROR_INV_OBJECT;
        }
        if (size == nullptr) {
            return kErrorParameter2;
        }
        *size = carrier->memoryBytes;
        return VI_SUCCESS;
    });
}

TRHOLDR_API ViStatus _VI_FUNC trholdr_m_read_block(ViSession mezSession, ViInt32 first,
                                                   ViInt32 count, ViInt32 samples[]) {
    return RunOperation("trholdr_m_read_block", [&](World& world, auto&) {
        ViStatus status = VI_SUCCESS;
        const MezzanineSession* session =
            CompletedBlock(world, mezSession, first, count, samples, status);
        if (session == nullptr) {
            return status;
        }
        const Qm7xModule& module = *session->module;
        // Samples are the block's values in memory order: frame after frame.
        const auto width = static_cast<std::int64_t>(module.blockChannels().size());
        const std::int64_t end = std::int64_t{first} + count;
        if (end > module.framesAcquired() * width) {
            return kErrorNoData;
        }
        for (std::int64_t i = first; i < end; ++i) {
            samples[i - first] = module.code(i / width, static_cast<std::size_t>(i % width));
        }
        return VI_SUCCESS;
    });
}

}  // extern "C"
