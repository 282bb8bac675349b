#include "qm7x/os/path_list.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <dlfcn.h>
#include <glob.h>

#include <cstddef>
#include <fstream>
#include <iterator>
#include <memory>
#include <set>
#include <vector>
#endif

namespace qm7x::os {

#ifdef _WIN32

std::string SystemPathList() {
    HKEY key = nullptr;
    if (RegOpenKeyA(HKEY_LOCAL_MACHINE,
                    "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment",
                    &key) != ERROR_SUCCESS) {
        return {};
    }
    // The value as stored: RegQueryValueExA expands nothing in a REG_EXPAND_SZ value.
    std::string value;
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExA(key, "Path", nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
        size > 0) {
        value.resize(size);
        if (RegQueryValueExA(key, "Path", nullptr, &type, reinterpret_cast<LPBYTE>(value.data()),
                             &size) == ERROR_SUCCESS) {
            value.resize(std::min<std::size_t>(size, value.size()));
        } else {
            value.clear();
        }
    }
    RegCloseKey(key);
    if (const auto end = value.find('\0'); end != std::string::npos) {
        value.resize(end);
    }
    return value;
}

#else

namespace {

std::string trimmed(const std::string& line) {
    const auto first = line.find_first_not_of(" \t\r");
    if (first == std::string::npos) {
        return {};
    }
    return line.substr(first, line.find_last_not_of(" \t\r") - first + 1);
}

// The directories of an ld.so.conf file in order, following its "include" lines (globs, relative
// to the including file's folder). `depth` stops include cycles.
void readLoaderConfig(const std::filesystem::path& file, std::vector<std::string>& dirs,
                      int depth) {
    std::ifstream in(file);
    std::string line;
    while (depth < 16 && std::getline(in, line)) {
        line = trimmed(line.substr(0, line.find('#')));
        if (line.empty() || line.starts_with("hwcap ")) {
            continue;
        }
        if (line.starts_with("include") && line.size() > 7 && (line[7] == ' ' || line[7] == '\t')) {
            std::string pattern = trimmed(line.substr(8));
            if (!pattern.starts_with('/')) {
                pattern = (file.parent_path() / pattern).string();
            }
            glob_t matches{};
            if (::glob(pattern.c_str(), 0, nullptr, &matches) == 0) {
                for (std::size_t i = 0; i < matches.gl_pathc; ++i) {
                    readLoaderConfig(matches.gl_pathv[i], dirs, depth + 1);
                }
            }
            ::globfree(&matches);
            continue;
        }
        dirs.push_back(line);
    }
}

// The loader's built-in directories: the multiarch ones and the default ones.
bool isBuiltInDirectory(const std::string& dir) {
    std::string normal = std::filesystem::path(dir).lexically_normal().string();
    if (normal.size() > 1 && normal.back() == '/') {
        normal.pop_back();
    }
    const std::string multiarch = QM7X_MULTIARCH;
    for (const char* base : {"/lib", "/usr/lib"}) {
        if (normal == base || normal == std::string(base) + "64" ||
            (!multiarch.empty() && normal == std::string(base) + "/" + multiarch)) {
            return true;
        }
    }
    return false;
}

// The loader's own search list for this program: LD_LIBRARY_PATH, RUNPATH, built-in directories.
std::vector<std::string> loaderSearchList() {
    std::vector<std::string> dirs;
    void* self = ::dlopen(nullptr, RTLD_LAZY | RTLD_NOLOAD);
    if (self == nullptr) {
        return dirs;
    }
    Dl_serinfo sizes{};
    if (::dlinfo(self, RTLD_DI_SERINFOSIZE, &sizes) == 0 && sizes.dls_size >= sizeof(Dl_serinfo)) {
        // Dl_serinfo is followed by its strings; storage aligned for the structure.
        std::vector<std::max_align_t> storage(sizes.dls_size / sizeof(std::max_align_t) + 1);
        auto* info = reinterpret_cast<Dl_serinfo*>(storage.data());
        *info = sizes;
        if (::dlinfo(self, RTLD_DI_SERINFOSIZE, info) == 0 &&
            ::dlinfo(self, RTLD_DI_SERINFO, info) == 0) {
            for (unsigned i = 0; i < info->dls_cnt; ++i) {
                dirs.emplace_back(info->dls_serpath[i].dls_name);
            }
        }
    }
    ::dlclose(self);
    return dirs;
}

}  // namespace

std::string SystemPathList() {
    std::vector<std::string> loader = loaderSearchList();
    if (loader.empty()) {
        const std::string multiarch = QM7X_MULTIARCH;
        if (!multiarch.empty()) {
            loader = {"/lib/" + multiarch, "/usr/lib/" + multiarch};
        }
        loader.insert(loader.end(), {"/lib", "/usr/lib"});
    }
    // The loader consults its cache of the configured directories before the built-in ones,
    // which close its list.
    auto builtIn = loader.end();
    while (builtIn != loader.begin() && isBuiltInDirectory(*std::prev(builtIn))) {
        --builtIn;
    }
    std::vector<std::string> configured;
    readLoaderConfig("/etc/ld.so.conf", configured, 0);
    loader.insert(builtIn, configured.begin(), configured.end());

    std::string text;
    std::set<std::string> seen;
    for (const std::string& dir : loader) {
        // An empty entry means the working directory to the loader, which is searched first.
        if (dir.empty() || !seen.insert(dir).second) {
            continue;
        }
        if (!text.empty()) {
            text += kPathListSeparator;
        }
        text += dir;
    }
    return text;
}

#endif

std::string CurrentDirectory() {
    std::error_code error;
    const std::filesystem::path dir = std::filesystem::current_path(error);
    return error ? std::string() : dir.string();
}

}  // namespace qm7x::os
