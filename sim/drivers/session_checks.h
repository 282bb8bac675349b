// Checks shared by the two drivers' operations.
#pragma once

#include <string_view>

#include "status.h"
#include "world.h"

namespace qm7x::sim {

// The arguments both init operations check before they look for the instrument; the session
// output is cleared first so that a failed init never leaves a stale handle behind.
inline ViStatus CheckInitArguments(ViBoolean idQuery, ViBoolean resetDevice, ViSession* vi) {
    if (vi == nullptr) {
        return kErrorParameter4;
    }
    *vi = VI_NULL;
    if (idQuery > 1) {
        return kErrorParameter2;
    }
    if (resetDevice > 1) {
        return kErrorParameter3;
    }
    return VI_SUCCESS;
}

// Finds the carrier named at init: VI_SUCCESS, or the status an init of that name gets.
inline ViStatus FindCarrierResource(World& world, const char* name, const ResourceSpec*& found) {
    found = nullptr;
    if (name == nullptr || std::string_view(name).find("::") == std::string_view::npos) {
        return VI_ERROR_INV_RSRC_NAME;
    }
    const ResourceSpec* resource = world.findResource(name);
    if (resource == nullptr) {
        return VI_ERROR_RSRC_NFOUND;
    }
    if (!resource->carrier) {
        return kErrorFailIdQuery;
    }
    if (resource->lockedElsewhere) {
        return VI_ERROR_RSRC_LOCKED;
    }
    found = resource;
    return VI_SUCCESS;
}

// What both init operations check before they open a session: their arguments, then the carrier
// named; the carrier found is in resource when VI_SUCCESS is returned.
inline ViStatus CheckInit(World& world, const char* name, ViBoolean idQuery, ViBoolean resetDevice,
                          ViSession* vi, const ResourceSpec*& resource) {
    if (const ViStatus status = CheckInitArguments(idQuery, resetDevice, vi);
        status != VI_SUCCESS) {
        return status;
    }
    return FindCarrierResource(world, name, resource);
}

// A mezzanine session bound to a QM7X; null with the status to return otherwise.
inline MezzanineSession* ConnectedMezzanine(World& world, ViSession vi, ViStatus& status) {
    MezzanineSession* session = world.mezzanine(vi);
    if (session == nullptr) {
        status = VI_ERROR_INV_OBJECT;
        return nullptr;
    }
    if (session->module == nullptr) {
        status = kErrorNotConnected;
        return nullptr;
    }
    status = VI_SUCCESS;
    return session;
}

// The session of a block read whose arguments are sound and whose block is complete; null with the
// status to return otherwise. Both drivers read the last block through it.
inline const MezzanineSession* CompletedBlock(World& world, ViSession vi, ViInt32 first,
                                              ViInt32 count, const void* buffer, ViStatus& status) {
    const MezzanineSession* session = ConnectedMezzanine(world, vi, status);
    if (session == nullptr) {
        return nullptr;
    }
    if (first < 0) {
        status = kErrorParameter2;
    } else if (count < 1) {
        status = kErrorParameter3;
    } else if (buffer == nullptr) {
        status = kErrorParameter4;
    } else if (!session->module->hasBlock()) {
        status = kErrorNoData;
    } else if (session->module->running()) {
        status = kErrorBusy;
    }
    return status == VI_SUCCESS ? session : nullptr;
}

}  // namespace qm7x::sim
