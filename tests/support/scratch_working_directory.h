// A working directory of the test's own: what the program writes beside itself (the calibration
// log, the protocol) lands there and is removed with it, never in the build tree.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <system_error>

namespace qm7x::test {

class ScratchWorkingDirectory {
  public:
    ScratchWorkingDirectory() : previous_(std::filesystem::current_path()) {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = "qm7x_cwd_" + std::to_string(::getpid());
        if (info != nullptr) {
            name += std::string("_") + info->name();
        }
        for (char& c : name) {
            c = c == '/' ? '_' : c;  // parameterised tests: "Case/0"
        }
        path_ = std::filesystem::path(::testing::TempDir()) / name;
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
        std::filesystem::current_path(path_);
    }
    ~ScratchWorkingDirectory() {
        std::error_code ignored;
        std::filesystem::current_path(previous_, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchWorkingDirectory(const ScratchWorkingDirectory&) = delete;
    ScratchWorkingDirectory& operator=(const ScratchWorkingDirectory&) = delete;

    const std::filesystem::path& path() const { return path_; }

  private:
    std::filesystem::path previous_;
    std::filesystem::path path_;
};

}  // namespace qm7x::test
