// A shared library opened at run time: dlopen/dlsym here, LoadLibrary/GetProcAddress on Windows.
#pragma once

#include <string>

namespace qm7x::visa::detail {

class SharedLibrary {
  public:
    SharedLibrary() = default;
    explicit SharedLibrary(const std::string& fileName);
    ~SharedLibrary();
    SharedLibrary(SharedLibrary&& other) noexcept;
    SharedLibrary& operator=(SharedLibrary&& other) noexcept;
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;

    bool isLoaded() const { return handle_ != nullptr; }
    // The loader's reason when the library could not be loaded (dlerror, or the system's text of
    // the LoadLibrary error); empty when it was loaded.
    const std::string& loadError() const { return loadError_; }
    // The address of an exported symbol, or nullptr.
    void* symbol(const char* name) const;

  private:
    void* handle_ = nullptr;
    std::string loadError_;
};

}  // namespace qm7x::visa::detail
