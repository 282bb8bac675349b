// The system's directory list: here the directories where the dynamic loader looks for a library.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "qm7x/os/path_list.h"

namespace qm7x::os {
namespace {

#ifndef _WIN32
std::vector<std::string> Entries(const std::string& text) {
    std::vector<std::string> entries;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find(kPathListSeparator, start)) != std::string::npos;
         start = end + 1) {
        entries.push_back(text.substr(start, end - start));
    }
    entries.push_back(text.substr(start));
    return entries;
}

// LD_LIBRARY_PATH as the process started with it: one CTest entry runs this test with
// "/qm7x/first::/qm7x/second".
TEST(SystemPathList, LoaderDirectoriesInTheLoadersOrder) {
    const std::vector<std::string> list = Entries(SystemPathList());
    ASSERT_GE(list.size(), 2u);
    // LD_LIBRARY_PATH first (the loader reads its empty entry as "."), never an empty entry.
    const char* fromEnvironment = std::getenv("LD_LIBRARY_PATH");
    if (fromEnvironment != nullptr && std::string(fromEnvironment) == "/qm7x/first::/qm7x/second") {
        ASSERT_GE(list.size(), 4u);
        EXPECT_EQ(list[0], "/qm7x/first");
        EXPECT_EQ(list[1] == "." ? list[2] : list[1], "/qm7x/second");
    }
    EXPECT_EQ(std::count(list.begin(), list.end(), ""), 0);
    const auto has = [&](const std::string& dir) {
        return std::find_if(list.begin(), list.end(), [&](const std::string& entry) {
                   return std::filesystem::path(entry).lexically_normal() ==
                          std::filesystem::path(dir).lexically_normal();
               }) != list.end();
    };
    // The multiarch and the default directories of the loader.
    EXPECT_TRUE(has(std::string("/usr/lib/") + QM7X_MULTIARCH)) << SystemPathList();
    EXPECT_TRUE(has("/usr/lib")) << SystemPathList();
    // The loader's configured directories come before its built-in ones.
    const auto at = [&](const std::string& dir) {
        return std::find(list.begin(), list.end(), dir);
    };
    if (std::filesystem::exists("/etc/ld.so.conf.d/libc.conf")) {  // Debian's "/usr/local/lib"
        EXPECT_LT(at("/usr/local/lib"), at("/lib")) << SystemPathList();
    }
    // Each directory appears once.
    std::vector<std::string> sorted = list;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(std::adjacent_find(sorted.begin(), sorted.end()), sorted.end());
}
#endif

TEST(CurrentDirectory, IsTheProcesssWorkingDirectory) {
    EXPECT_EQ(CurrentDirectory(), std::filesystem::current_path().string());
}

}  // namespace
}  // namespace qm7x::os
