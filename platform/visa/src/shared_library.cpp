#include "shared_library.h"

#include <string>
#include <utility>

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace qm7x::visa::detail {

SharedLibrary::SharedLibrary(const std::string& fileName) {
#if defined(_WIN32)
    handle_ = reinterpret_cast<void*>(::LoadLibraryA(fileName.c_str()));
    if (handle_ == nullptr) {
        const DWORD code = ::GetLastError();
        char* text = nullptr;
        const DWORD length =
            ::FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                 FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
        loadError_ = length != 0 ? std::string(text, length) : std::string();
        ::LocalFree(text);
        while (!loadError_.empty() && (loadError_.back() == '\n' || loadError_.back() == '\r')) {
            loadError_.pop_back();
        }
        loadError_ += " (LoadLibrary, error " + std::to_string(code) + ")";
    }
#else
    handle_ = ::dlopen(fileName.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle_ == nullptr) {
        const char* reason = ::dlerror();
        loadError_ = reason != nullptr ? reason : "dlopen failed without a reason";
    }
#endif
}

SharedLibrary::~SharedLibrary() {
    if (handle_ == nullptr) {
        return;
    }
#if defined(_WIN32)
    ::FreeLibrary(static_cast<HMODULE>(handle_));
#else
    ::dlclose(handle_);
#endif
}

SharedLibrary::SharedLibrary(SharedLibrary&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)), loadError_(std::move(other.loadError_)) {}

SharedLibrary& SharedLibrary::operator=(SharedLibrary&& other) noexcept {
    SharedLibrary moved(std::move(other));
    std::swap(handle_, moved.handle_);
    std::swap(loadError_, moved.loadError_);
    return *this;
}

void* SharedLibrary::symbol(const char* name) const {
    if (handle_ == nullptr) {
        return nullptr;
    }
#if defined(_WIN32)
    return reinterpret_cast<void*>(::GetProcAddress(static_cast<HMODULE>(handle_), name));
#else
    return ::dlsym(handle_, name);
#endif
}

}  // namespace qm7x::visa::detail
