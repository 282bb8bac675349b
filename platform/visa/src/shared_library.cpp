#include "shared_library.h"

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
#else
    handle_ = ::dlopen(fileName.c_str(), RTLD_NOW | RTLD_LOCAL);
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
    : handle_(std::exchange(other.handle_, nullptr)) {}

SharedLibrary& SharedLibrary::operator=(SharedLibrary&& other) noexcept {
    SharedLibrary moved(std::move(other));
    std::swap(handle_, moved.handle_);
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
