// Helpers of the Windows tests: where the test program and the DLL beside it are.
#pragma once

#include <windows.h>

#include <string>

namespace qm7x::windows_test {

// The folder of the running program, without a trailing separator, as the system gives it.
inline std::string ProgramDirectory() {
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return {};
        }
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    return path.substr(0, path.find_last_of("\\/"));
}

// The math library the build put beside the test programs.
inline std::string MathLibraryPath() {
    return ProgramDirectory() + "\\trqm7x_math.dll";
}

}  // namespace qm7x::windows_test
