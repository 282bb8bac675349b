// Wrappers of the VISA operations over the library loaded on first use.
#include "qm7x/visa/visa.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>
#include <vector>

#include "shared_library.h"
#include "visa_functions.h"

namespace qm7x::visa {
namespace {

// The library names tried when QM7X_VISA_LIBRARY is not set, in order.
std::vector<std::string> platformLibraryNames() {
#if defined(_WIN32)
    return {"visa32.dll"};
#else
    return {"libvisa.so.0", "libvisa.so"};
#endif
}

// The operations resolved from the loaded library; an operation the library lacks stays null.
struct Api {
    detail::SharedLibrary library;
    std::string name;
    std::string loadError;  // "name: reason" of each library tried, when none could be loaded
    decltype(&::viOpenDefaultRM) openDefaultRM = nullptr;
    decltype(&::viFindRsrc) findRsrc = nullptr;
    decltype(&::viFindNext) findNext = nullptr;
    decltype(&::viOpen) open = nullptr;
    decltype(&::viClose) close = nullptr;
    decltype(&::viGetAttribute) getAttribute = nullptr;
    decltype(&::viLock) lock = nullptr;
    decltype(&::viUnlock) unlock = nullptr;
    decltype(&::viClear) clear = nullptr;
    decltype(&::viQueryf) queryf = nullptr;
    decltype(&::viWrite) write = nullptr;
};

template <typename Function>
void resolve(const detail::SharedLibrary& library, const char* symbol, Function& function) {
    function = reinterpret_cast<Function>(library.symbol(symbol));
}

Api loadApi() {
    Api api;
    std::vector<std::string> names;
    if (const char* chosen = std::getenv("QM7X_VISA_LIBRARY"); chosen != nullptr && *chosen) {
        names.emplace_back(chosen);  // an explicit choice is not replaced by the platform's
    } else {
        names = platformLibraryNames();
    }
    for (const auto& name : names) {
        api.name = name;
        api.library = detail::SharedLibrary(name);
        if (api.library.isLoaded()) {
            break;
        }
        // dlerror names the file; the Windows loader's text does not.
        const std::string& reason = api.library.loadError();
        api.loadError += (api.loadError.empty() ? "" : "; ") +
                         (reason.find(name) != std::string::npos ? reason : name + ": " + reason);
    }
    if (!api.library.isLoaded()) {
        return api;
    }
    api.loadError.clear();
    resolve(api.library, "viOpenDefaultRM", api.openDefaultRM);
    resolve(api.library, "viFindRsrc", api.findRsrc);
    resolve(api.library, "viFindNext", api.findNext);
    resolve(api.library, "viOpen", api.open);
    resolve(api.library, "viClose", api.close);
    resolve(api.library, "viGetAttribute", api.getAttribute);
    resolve(api.library, "viLock", api.lock);
    resolve(api.library, "viUnlock", api.unlock);
    resolve(api.library, "viClear", api.clear);
    resolve(api.library, "viQueryf", api.queryf);
    resolve(api.library, "viWrite", api.write);
    return api;
}

const Api& api() {
    static const Api loaded = loadApi();
    return loaded;
}

// Calls the operation when the library provides it; otherwise the status says why it cannot.
template <typename Function, typename... Args>
ViStatus call(Function Api::*operation, Args... args) {
    const Api& loaded = api();
    if (!loaded.library.isLoaded()) {
        return VI_ERROR_LIBRARY_NFOUND;
    }
    Function function = loaded.*operation;
    if (function == nullptr) {
        return VI_ERROR_NSUP_OPER;
    }
    return function(args...);
}

}  // namespace

ViStatus viOpenDefaultRM(ViPSession vi) {
    return call(&Api::openDefaultRM, vi);
}

ViStatus viFindRsrc(ViSession sesn, ViConstString expr, ViPFindList vi, ViPUInt32 retCnt,
                    ViChar desc[]) {
    return call(&Api::findRsrc, sesn, expr, vi, retCnt, desc);
}

ViStatus viFindNext(ViFindList vi, ViChar desc[]) {
    return call(&Api::findNext, vi, desc);
}

ViStatus viOpen(ViSession sesn, ViConstRsrc name, ViAccessMode mode, ViUInt32 timeout,
                ViPSession vi) {
    return call(&Api::open, sesn, name, mode, timeout, vi);
}

ViStatus viClose(ViObject vi) {
    return call(&Api::close, vi);
}

ViStatus viGetAttribute(ViObject vi, ViAttr attrName, void* attrValue) {
    return call(&Api::getAttribute, vi, attrName, attrValue);
}

ViStatus viLock(ViSession vi, ViAccessMode lockType, ViUInt32 timeout, ViConstKeyId requestedKey,
                ViChar accessKey[]) {
    return call(&Api::lock, vi, lockType, timeout, requestedKey, accessKey);
}

ViStatus viUnlock(ViSession vi) {
    return call(&Api::unlock, vi);
}

ViStatus viClear(ViSession vi) {
    return call(&Api::clear, vi);
}

ViStatus viQueryf(ViSession vi, ViConstString writeFmt, ViConstString readFmt,
                  std::span<ViChar> reply) {
    if (reply.empty() || readFmt == nullptr || std::string_view(readFmt) != "%t") {
        return VI_ERROR_INV_FMT;
    }
    reply.front() = '\0';
    // "%#t" bounds the read: the count gives the buffer's size (terminator included) and comes
    // back as the number of characters stored.
    auto count = static_cast<ViInt32>(std::min<std::size_t>(reply.size(), INT32_MAX));
    const ViStatus status = call(&Api::queryf, vi, writeFmt, "%#t", &count, reply.data());
    const auto length =
        count >= 0 ? std::min(static_cast<std::size_t>(count), reply.size() - 1) : std::size_t{0};
    reply[length] = '\0';
    return status;
}

ViStatus viWrite(ViSession vi, std::string_view text, ViPUInt32 retCnt) {
    if (text.size() > UINT32_MAX) {
        return VI_ERROR_INV_FMT;
    }
    return call(&Api::write, vi, reinterpret_cast<ViConstBuf>(text.data()),
                static_cast<ViUInt32>(text.size()), retCnt);
}

ViStatus LibraryStatus() {
    return api().library.isLoaded() ? VI_SUCCESS : VI_ERROR_LIBRARY_NFOUND;
}

std::string LibraryName() {
    return api().name;
}

std::string LibraryLoadError() {
    return api().loadError;
}

}  // namespace qm7x::visa
