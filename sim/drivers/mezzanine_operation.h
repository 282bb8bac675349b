// How the mezzanine driver's operations reach their session: looked up and checked as the
// operation needs (any session, a connected one, one whose module is not acquiring), with the
// status of the first failed check returned, written once for every operation.
#pragma once

#include <string_view>

#include "session_checks.h"

namespace qm7x::sim {

// A connected session whose module is not acquiring.
inline MezzanineSession* IdleMezzanine(World& world, ViSession vi, ViStatus& status) {
    MezzanineSession* session = ConnectedMezzanine(world, vi, status);
    if (session != nullptr && session->module->running()) {
        status = kErrorBusy;
        return nullptr;
    }
    return session;
}

// What an operation needs of its mezzanine session before it acts.
enum class Needs { session, connected, idle };

// Runs an operation on the mezzanine session vi (see RunOperation): the session is looked up and
// checked as the operation needs, and the body runs only on a session that passes, with the
// status of the first failed check returned otherwise.
template <class Body>
ViStatus RunOnMezzanine(std::string_view operation, ViSession vi, Needs needs, Body&& body) {
    return RunOperation(operation, [&](World& world, auto& guard) {
        ViStatus status = VI_SUCCESS;
        MezzanineSession* session = nullptr;
        switch (needs) {
            case Needs::session:
                session = world.mezzanine(vi);
                status = session == nullptr ? VI_ERROR_INV_OBJECT : VI_SUCCESS;
                break;
            case Needs::connected:
                session = ConnectedMezzanine(world, vi, status);
                break;
            case Needs::idle:
                session = IdleMezzanine(world, vi, status);
                break;
        }
        return session == nullptr ? status : body(world, session, guard);
    });
}

}  // namespace qm7x::sim
