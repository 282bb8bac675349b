// A VISA library for the tests that passes every operation on to the simulated bench's library
// and keeps count of the objects opened and not yet closed, so a test can see that a search
// leaves nothing open, whatever went wrong in it.
#include <dlfcn.h>

#include <cstdarg>
#include <set>

#include "visa_functions.h"

#define EXPORT extern "C" __attribute__((visibility("default")))

namespace {

std::set<ViObject>& openObjects() {
    static std::set<ViObject> objects;
    return objects;
}

void* simulated() {
    static void* library = dlopen(QM7X_SIM_VISA, RTLD_NOW | RTLD_LOCAL);
    return library;
}

template <typename Function>
Function forward(const char* name) {
    return reinterpret_cast<Function>(dlsym(simulated(), name));
}

// Called once the operation has returned, so that it sees the handle the operation wrote.
ViStatus track(ViStatus status, ViObject object) {
    if (status >= VI_SUCCESS && object != VI_NULL) {
        openObjects().insert(object);
    }
    return status;
}

}  // namespace

// Objects opened through this library and not closed.
EXPORT int qm7x_test_open_objects() {
    return static_cast<int>(openObjects().size());
}

EXPORT ViStatus viOpenDefaultRM(ViPSession vi) {
    *vi = VI_NULL;
    const ViStatus status = forward<decltype(&::viOpenDefaultRM)>("viOpenDefaultRM")(vi);
    return track(status, *vi);
}

EXPORT ViStatus viFindRsrc(ViSession sesn, ViConstString expr, ViPFindList vi, ViPUInt32 retCnt,
                           ViChar desc[]) {
    *vi = VI_NULL;
    const ViStatus status =
        forward<decltype(&::viFindRsrc)>("viFindRsrc")(sesn, expr, vi, retCnt, desc);
    return track(status, *vi);
}

EXPORT ViStatus viFindNext(ViFindList vi, ViChar desc[]) {
    return forward<decltype(&::viFindNext)>("viFindNext")(vi, desc);
}

EXPORT ViStatus viOpen(ViSession sesn, ViConstRsrc name, ViAccessMode mode, ViUInt32 timeout,
                       ViPSession vi) {
    *vi = VI_NULL;
    const ViStatus status = forward<decltype(&::viOpen)>("viOpen")(sesn, name, mode, timeout, vi);
    return track(status, *vi);
}

EXPORT ViStatus viClose(ViObject vi) {
    const ViStatus status = forward<decltype(&::viClose)>("viClose")(vi);
    if (status >= VI_SUCCESS) {
        openObjects().erase(vi);
    }
    return status;
}

EXPORT ViStatus viGetAttribute(ViObject vi, ViAttr attrName, void* attrValue) {
    return forward<decltype(&::viGetAttribute)>("viGetAttribute")(vi, attrName, attrValue);
}

EXPORT ViStatus viLock(ViSession vi, ViAccessMode lockType, ViUInt32 timeout,
                       ViConstKeyId requestedKey, ViChar accessKey[]) {
    return forward<decltype(&::viLock)>("viLock")(vi, lockType, timeout, requestedKey, accessKey);
}

EXPORT ViStatus viUnlock(ViSession vi) {
    return forward<decltype(&::viUnlock)>("viUnlock")(vi);
}

EXPORT ViStatus viClear(ViSession vi) {
    return forward<decltype(&::viClear)>("viClear")(vi);
}

// The program reads replies only with "%#t" (a count and a buffer).
EXPORT ViStatus viQueryf(ViSession vi, ViConstString writeFmt, ViConstString readFmt, ...) {
    va_list args;
    va_start(args, readFmt);
    auto* count = va_arg(args, ViInt32*);
    auto* buffer = va_arg(args, ViChar*);
    va_end(args);
    return forward<decltype(&::viQueryf)>("viQueryf")(vi, writeFmt, readFmt, count, buffer);
}
