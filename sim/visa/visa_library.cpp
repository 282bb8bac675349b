// The VISA library of the simulated bench: resource manager, search, sessions, attributes,
// exclusive locks and the formatted identification query, over the bench's resources.
#include <cctype>
#include <chrono>
#include <cstdarg>
#include <cstring>
#include <string>
#include <thread>

#include "status.h"
#include "text.h"
#include "visa_expression.h"
#include "visa_functions.h"
#include "world.h"

using namespace qm7x::sim;

#define QM7X_VISA_EXPORT __attribute__((visibility("default")))

namespace {

// The bench file could not be used: to a VISA client that is a failing system.
ViStatus AsVisa(ViStatus status) {
    return status == kErrorBench ? VI_ERROR_SYSTEM_ERROR : status;
}

template <class Body>
ViStatus Visa(std::string_view operation, Body&& body) noexcept {
    return AsVisa(RunOperation(operation, std::forward<Body>(body)));
}

VisaObject* Instrument(World& world, ViSession vi) {
    VisaObject* object = world.visa(vi);
    return object != nullptr && object->kind == VisaObject::Kind::instrument ? object : nullptr;
}

bool IsResourceManager(World& world, ViSession vi) {
    const VisaObject* object = world.visa(vi);
    return object != nullptr && object->kind == VisaObject::Kind::resourceManager;
}

// Held by another session of this process or by another application.
bool LockedAgainst(World& world, const VisaObject& instrument, ViSession vi) {
    if (instrument.resource->lockedElsewhere) {
        return true;
    }
    const auto found = world.visaLocks().find(instrument.resource->name);
    return found != world.visaLocks().end() && found->second != vi;
}

bool ValidResourceName(std::string_view name) {
    const auto separator = name.find("::");
    return separator != std::string_view::npos && separator > 0 &&
           std::isalpha(static_cast<unsigned char>(name.front())) != 0;
}

std::string Trimmed(std::string text) {
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) {
        text.pop_back();
    }
    return text;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) ==
                      std::toupper(static_cast<unsigned char>(y));
           });
}

// The write half of viQueryf: literal text with %s, %d, %ld, %u, %f and %% conversions.
bool FormatCommand(const char* format, va_list& args, std::string& command) {
    for (const char* p = format; *p != '\0'; ++p) {
        if (*p != '%') {
            command += *p;
            continue;
        }
        ++p;
        char text[64];
        switch (*p) {
            case '%':
                command += '%';
                break;
            case 's': {
                const char* value = va_arg(args, const char*);
                if (value == nullptr) {
                    return false;
                }
                command += value;
                break;
            }
            case 'd':
                std::snprintf(text, sizeof text, "%d", va_arg(args, int));
                command += text;
                break;
            case 'u':
                std::snprintf(text, sizeof text, "%u", va_arg(args, unsigned));
                command += text;
                break;
            case 'f':
                std::snprintf(text, sizeof text, "%f", va_arg(args, double));
                command += text;
                break;
            case 'l':
                if (p[1] != 'd') {
                    return false;
                }
                ++p;
                std::snprintf(text, sizeof text, "%ld", va_arg(args, long));
                command += text;
                break;
            default:
                return false;
        }
    }
    return true;
}

// The read half: the whole reply as text, "%t" (unbounded, as VISA does) or "%#t" (a ViInt32*
// count: the buffer's size in, the characters stored out; then the buffer).
ViStatus ReadReply(const char* format, va_list& args, const std::string& reply) {
    const std::string_view spec(format);
    if (spec == "%t" || spec == "%s") {
        char* buffer = va_arg(args, char*);
        if (buffer == nullptr) {
            return kErrorUserBuf;
        }
        std::memcpy(buffer, reply.data(), reply.size());
        buffer[reply.size()] = '\0';
        return VI_SUCCESS;
    }
    if (spec == "%#t" || spec == "%#s") {
        auto* count = va_arg(args, ViInt32*);
        char* buffer = va_arg(args, char*);
        if (count == nullptr || buffer == nullptr || *count < 1) {
            return kErrorUserBuf;
        }
        const std::size_t stored = std::min(reply.size(), static_cast<std::size_t>(*count - 1));
        std::memcpy(buffer, reply.data(), stored);
        buffer[stored] = '\0';
        *count = static_cast<ViInt32>(stored);
        return VI_SUCCESS;
    }
    return VI_ERROR_INV_FMT;
}

// The longest a reply is waited for: the VISA default time-out.
constexpr auto kReplyTimeout = std::chrono::milliseconds(2000);

// A command line to a calibrator; the reply (with its line end) when the command has one. A reply
// that comes only after settling is waited for with the world unlocked, as a bus would wait.
ViStatus CalibratorExchange(Calibrator& calibrator, const std::string& line,
                            std::unique_lock<std::mutex>& guard, std::string* reply) {
    const CalibratorAnswer answer = calibrator.execute(line);
    if (answer.timedOut || (reply != nullptr && !answer.reply)) {
        return VI_ERROR_TMO;
    }
    if (reply == nullptr) {
        return VI_SUCCESS;
    }
    const auto now = std::chrono::steady_clock::now();
    if (answer.replyAt > now) {
        const bool late = answer.replyAt - now > kReplyTimeout;
        guard.unlock();
        std::this_thread::sleep_for(
            late ? kReplyTimeout : std::chrono::steady_clock::duration(answer.replyAt - now));
        guard.lock();
        if (late) {
            return VI_ERROR_TMO;
        }
    }
    *reply = *answer.reply + "\n";
    return VI_SUCCESS;
}

}  // namespace

extern "C" {

QM7X_VISA_EXPORT ViStatus _VI_FUNC viOpenDefaultRM(ViPSession vi) {
    return Visa("viOpenDefaultRM", [&](World& world, auto&) {
        if (vi == nullptr) {
            return kErrorUserBuf;
        }
        *vi = world.open(VisaObject{});
        return VI_SUCCESS;
    });
}

QM7X_VISA_EXPORT ViStatus _VI_FUNC viFindRsrc(ViSession sesn, ViConstString expr, ViPFindList vi,
                                              ViPUInt32 retCnt, ViChar desc[]) {
    return Visa("viFindRsrc", [&](World& world, auto&) {
        if (vi != nullptr) {
            *vi = VI_NULL;
        }
        if (retCnt != nullptr) {
            *retCnt = 0;
        }
        if (!IsResourceManager(world, sesn)) {
            return VI_ERROR_INV_OBJECT;
        }
        const auto pattern = expr == nullptr ? std::nullopt : VisaExpression::Compile(expr);
        if (!pattern) {
            return VI_ERROR_INV_EXPR;
        }
        VisaObject list;
        list.kind = VisaObject::Kind::findList;
        list.owner = sesn;
        for (const auto& resource : world.bench()->resources) {
            if (pattern->Matches(resource.name)) {
                list.matches.push_back(resource.name);
            }
        }
        if (list.matches.empty()) {
            return VI_ERROR_RSRC_NFOUND;
        }
        if (retCnt != nullptr) {
            *retCnt = static_cast<ViUInt32>(list.matches.size());
        }
        CopyText(list.matches.front(), desc, VI_FIND_BUFLEN);
        list.next = 1;
        if (vi != nullptr) {
            *vi = world.open(std::move(list));
        }
        return VI_SUCCESS;
    });
}

QM7X_VISA_EXPORT ViStatus _VI_FUNC viFindNext(ViFindList vi, ViChar desc[]) {
    return Visa("viFindNext", [&](World& world, auto&) {
        VisaObject* list = world.visa(vi);
        if (list == nullptr || list->kind != VisaObject::Kind::findList) {
            return VI_ERROR_INV_OBJECT;
        }
        if (list->next >= list->matches.size()) {
            return VI_ERROR_RSRC_NFOUND;
        }
        CopyText(list->matches[list->next++], desc, VI_FIND_BUFLEN);
        return VI_SUCCESS;
    });
}

QM7X_VISA_EXPORT ViStatus _VI_FUNC viOpen(ViSession sesn, ViConstRsrc name, ViAccessMode mode,
                                          ViUInt32, ViPSession vi) {
    return Visa("viOpen", [&](World& world, auto&) {
        if (vi == nullptr) {
            return kErrorUserBuf;
        }
        *vi = VI_NULL;
        if (!IsResourceManager(world, sesn)) {
            return VI_ERROR_INV_OBJECT;
        }
        if (name == nullptr || !ValidResourceName(name)) {
            return VI_ERROR_INV_RSRC_NAME;
        }
        if (mode != VI_NO_LOCK && mode != VI_EXCLUSIVE_LOCK) {
            return VI_ERROR_INV_ACC_MODE;
        }
        const ResourceSpec* resource = world.findResource(name);
        if (resource == nullptr) {
            return VI_ERROR_RSRC_NFOUND;
        }
        VisaObject instrument;
        instrument.kind = VisaObject::Kind::instrument;
        instrument.owner = sesn;
        instrument.resource = resource;
        if (mode == VI_EXCLUSIVE_LOCK && LockedAgainst(world, instrument, VI_NULL)) {
            return VI_ERROR_RSRC_LOCKED;
        }
        *vi = world.open(std::move(instrument));
        if (mode == VI_EXCLUSIVE_LOCK) {
            world.visaLocks()[resource->name] = *vi;
        }
        return VI_SUCCESS;
    });
}

QM7X_VISA_EXPORT ViStatus _VI_FUNC viClose(ViObject vi) {
    return Visa("viClose", [&](World& world, auto&) {
        if (vi == VI_NULL) {
            return kWarnNullObject;
        }
        const VisaObject* object = world.visa(vi);
        if (object == nullptr) {
            return VI_ERROR_INV_OBJECT;
        }
        // Closing a resource manager closes everything opened through it.
        if (object->kind == VisaObject::Kind::resourceManager) {
            for (const ViSession owned : world.visaObjectsOf(vi)) {
                world.close(owned);
            }
        }
        world.close(vi);
        return VI_SUCCESS;
    });
}

QM7X_VISA_EXPORT ViStatus _VI_FUNC viGetAttribute(ViObject vi, ViAttr attrName, void* attrValue) {
    return Visa("viGetAttribute", [&](World& world, auto&) {
        const VisaObject* object = world.visa(vi);
        if (object == nullptr) {
            return VI_ERROR_INV_OBJECT;
        }
        if (attrValue == nullptr) {
            return kErrorUserBuf;
        }
        if (object->kind != VisaObject::Kind::instrument) {
            return VI_ERROR_NSUP_ATTR;
        }
        const ResourceSpec& resource = *object->resource;
        const bool vxi =
            resource.interfaceType == VI_INTF_VXI || resource.interfaceType == VI_INTF_GPIB_VXI;
        const auto put = [&](std::optional<std::uint16_t> value) {
            if (!value) {
                return VI_ERROR_NSUP_ATTR;
            }
            std::memcpy(attrValue, &*value, sizeof *value);
            return VI_SUCCESS;
        };
        switch (attrName) {
            case VI_ATTR_INTF_TYPE:
                return put(resource.interfaceType);
            case VI_ATTR_SLOT:
                return vxi || resource.interfaceType == VI_INTF_PXI ? put(resource.slot)
                                                                    : VI_ERROR_NSUP_ATTR;
            case VI_ATTR_MANF_ID:
                return put(resource.manufacturerId);
            case VI_ATTR_MODEL_CODE:
                return put(resource.modelCode);
            case VI_ATTR_MAINFRAME_LA:
                return vxi ? put(resource.mainframeLa) : VI_ERROR_NSUP_ATTR;
            case VI_ATTR_VXI_LA:
                return vxi ? put(resource.logicalAddress) : VI_ERROR_NSUP_ATTR;
            case VI_ATTR_TCPIP_ADDR:
                if (resource.interfaceType != VI_INTF_TCPIP) {
                    return VI_ERROR_NSUP_ATTR;
                }
                CopyText(resource.tcpipAddress, static_cast<char*>(attrValue), 256);
                return VI_SUCCESS;
            default:
                return VI_ERROR_NSUP_ATTR;
        }
    });
}

QM7X_VISA_EXPORT ViStatus _VI_FUNC viLock(ViSession vi, ViAccessMode lockType, ViUInt32 timeout,
                                          ViConstKeyId, ViChar accessKey[]) {
    return Visa("viLock", [&](World& world, auto& guard) {
        VisaObject* instrument = Instrument(world, vi);
        if (instrument == nullptr) {
            return VI_ERROR_INV_OBJECT;
        }
        if (lockType != VI_EXCLUSIVE_LOCK) {
            return VI_ERROR_INV_LOCK_TYPE;
        }
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout);
        const ResourceSpec* resource = instrument->resource;
        while (true) {
            // The session may have been closed by another thread while this one waited.
            instrument = Instrument(world, vi);
            if (instrument == nullptr) {
                return VI_ERROR_INV_OBJECT;
            }
            if (!LockedAgainst(world, *instrument, vi)) {
                break;
            }
            if (world.lockReleased().wait_until(guard, deadline) == std::cv_status::timeout) {
                instrument = Instrument(world, vi);
                if (instrument == nullptr || LockedAgainst(world, *instrument, vi)) {
                    return VI_ERROR_TMO;
                }
                break;
            }
        }
        const bool nested = world.visaLocks().count(resource->name) != 0;
        world.visaLocks()[resource->name] = vi;
        if (accessKey != nullptr) {
            accessKey[0] = '\0';
        }
        return nested ? kSuccessNestedExclusive : VI_SUCCESS;
    });
}

QM7X_VISA_EXPORT ViStatus _VI_FUNC viUnlock(ViSession vi) {
    return Visa("viUnlock", [&](World& world, auto&) {
        const VisaObject* instrument = Instrument(world, vi);
        if (instrument == nullptr) {
            return VI_ERROR_INV_OBJECT;
        }
        const auto held = world.visaLocks().find(instrument->resource->name);
        if (held == world.visaLocks().end() || held->second != vi) {
            return kErrorSessionNotLocked;
        }
        world.visaLocks().erase(held);
        world.lockReleased().notify_all();
        return VI_SUCCESS;
    });
}

QM7X_VISA_EXPORT ViStatus _VI_FUNC viClear(ViSession vi) {
    return Visa("viClear", [&](World& world, auto&) {
        const VisaObject* instrument = Instrument(world, vi);
        if (instrument == nullptr) {
            return VI_ERROR_INV_OBJECT;
        }
        return LockedAgainst(world, *instrument, vi) ? VI_ERROR_RSRC_LOCKED : VI_SUCCESS;
    });
}

QM7X_VISA_EXPORT ViStatus _VI_FUNCC viQueryf(ViSession vi, ViConstString writeFmt,
                                             ViConstString readFmt, ...) {
    va_list args;
    va_start(args, readFmt);
    const ViStatus status = Visa("viQueryf", [&](World& world, auto& guard) {
        const VisaObject* instrument = Instrument(world, vi);
        if (instrument == nullptr) {
            return VI_ERROR_INV_OBJECT;
        }
        if (writeFmt == nullptr || readFmt == nullptr) {
            return kErrorUserBuf;
        }
        if (LockedAgainst(world, *instrument, vi)) {
            return VI_ERROR_RSRC_LOCKED;
        }
        std::string command;
        if (!FormatCommand(writeFmt, args, command)) {
            return VI_ERROR_INV_FMT;
        }
        if (Calibrator* calibrator = world.calibrator(instrument->resource->name)) {
            std::string reply;
            const ViStatus exchanged = CalibratorExchange(*calibrator, command, guard, &reply);
            return exchanged < 0 ? exchanged : ReadReply(readFmt, args, reply);
        }
        // The only query the other instruments answer; anything else gets no reply.
        const auto& idn = instrument->resource->idn;
        if (!idn || !EqualsNoCase(Trimmed(command), "*IDN?")) {
            return VI_ERROR_TMO;
        }
        return ReadReply(readFmt, args, *idn);
    });
    va_end(args);
    return status;
}

QM7X_VISA_EXPORT ViStatus _VI_FUNC viWrite(ViSession vi, ViConstBuf buf, ViUInt32 cnt,
                                           ViPUInt32 retCnt) {
    return Visa("viWrite", [&](World& world, auto& guard) {
        if (retCnt != nullptr) {
            *retCnt = 0;
        }
        const VisaObject* instrument = Instrument(world, vi);
        if (instrument == nullptr) {
            return VI_ERROR_INV_OBJECT;
        }
        if (buf == nullptr && cnt > 0) {
            return kErrorUserBuf;
        }
        if (LockedAgainst(world, *instrument, vi)) {
            return VI_ERROR_RSRC_LOCKED;
        }
        const std::string line(reinterpret_cast<const char*>(buf), cnt);
        ViStatus status = VI_SUCCESS;
        if (Calibrator* calibrator = world.calibrator(instrument->resource->name)) {
            status = CalibratorExchange(*calibrator, line, guard, nullptr);
        } else if (!instrument->resource->idn) {
            status = VI_ERROR_TMO;  // nothing listens there
        }
        if (status == VI_SUCCESS && retCnt != nullptr) {
            *retCnt = cnt;
        }
        return status;
    });
}

}  // extern "C"
