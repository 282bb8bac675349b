// The search of trqm7x_math.dll along the machine's registry value "Path", written by the test
// into the system's registry: read as stored, the working directory first, the "\" separator.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "qm7x/integrity/arkomet_crc32.h"
#include "qm7x/integrity/file_info.h"
#include "qm7x/integrity/path_search.h"
#include "qm7x/os/path_list.h"
#include "test_support.h"
#include "windows_support.h"

namespace qm7x::integrity {
namespace {

using qm7x::windows_test::MathLibraryPath;
using qm7x::windows_test::ProgramDirectory;
using test::ScratchDir;

constexpr char kEnvironmentKey[] =
    "SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Environment";
constexpr char kLibrary[] = "trqm7x_math.dll";

// Gives the machine's "Path" value the test's text and puts the original value back afterwards.
class MachinePath : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kEnvironmentKey, 0, nullptr, 0,
                                  KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key_, nullptr),
                  ERROR_SUCCESS);
        DWORD type = 0;
        DWORD size = 0;
        if (RegQueryValueExA(key_, "Path", nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
            std::vector<BYTE> bytes(size);
            ASSERT_EQ(RegQueryValueExA(key_, "Path", nullptr, &type, bytes.data(), &size),
                      ERROR_SUCCESS);
            bytes.resize(size);
            original_ = Saved{type, bytes};
        }
    }

    void TearDown() override {
        if (key_ == nullptr) {
            return;
        }
        if (original_) {
            RegSetValueExA(key_, "Path", 0, original_->type, original_->bytes.data(),
                           static_cast<DWORD>(original_->bytes.size()));
        } else {
            RegDeleteValueA(key_, "Path");
        }
        RegCloseKey(key_);
    }

    // Stored as Windows stores the machine's Path: REG_EXPAND_SZ, with its terminator.
    void WritePath(const std::string& text) {
        ASSERT_EQ(RegSetValueExA(key_, "Path", 0, REG_EXPAND_SZ,
                                 reinterpret_cast<const BYTE*>(text.c_str()),
                                 static_cast<DWORD>(text.size() + 1)),
                  ERROR_SUCCESS);
    }

    void DeletePath() { RegDeleteValueA(key_, "Path"); }

  private:
    struct Saved {
        DWORD type;
        std::vector<BYTE> bytes;
    };
    HKEY key_ = nullptr;
    std::optional<Saved> original_;
};

TEST_F(MachinePath, ReadAsStoredWithoutExpandingVariables) {
    const std::string stored = "%SystemRoot%\\system32;C:\\QM7X\\bin\\;;D:/tools/;%QM7X_HOME%";
    WritePath(stored);
    EXPECT_EQ(os::SystemPathList(), stored);
}

TEST_F(MachinePath, NoValueIsAnEmptyList) {
    DeletePath();
    EXPECT_EQ(os::SystemPathList(), "");
    // The search then holds the first directory and, after its separator, one empty entry.
    const PathList list("C:\\work", os::SystemPathList());
    ASSERT_EQ(list.Size(), 2u);
    EXPECT_EQ(list.Directory(0), "C:\\work");
    EXPECT_EQ(list.Directory(1), "");
}

// The start-up search as the program makes it: the working directory first, then the Path value.
TEST_F(MachinePath, FindsTheDllInTheWorkingDirectoryFirstThenAlongThePath) {
    ScratchDir dir;
    const std::filesystem::path work = dir / "work";
    const std::filesystem::path elsewhere = dir / "elsewhere";
    std::filesystem::create_directories(work);
    std::filesystem::create_directories(elsewhere);
    std::filesystem::copy_file(MathLibraryPath(), work / kLibrary);
    // The program's folder ends in one backslash, which the search removes.
    WritePath(elsewhere.string() + ";" + ProgramDirectory() + "\\;C:\\qm7x_not_there");

    std::string found;
    auto state = FirstPathFname(work.string(), kLibrary, found);
    ASSERT_NE(state, nullptr);
    EXPECT_EQ(found, work.string() + "\\" + kLibrary);
    EXPECT_EQ(NextPathFName(state.get(), kLibrary, found), 1);
    EXPECT_EQ(found, ProgramDirectory() + "\\" + kLibrary);

    // What the start-up check does with the copy it found: the record matches, the version reads.
    std::uint32_t stored = 0;
    std::uint32_t computed = 0;
    EXPECT_EQ(CheckFileInternalCRC32(found, stored, computed), 0);
    std::string version;
    GetFInfo(found, &version, nullptr, nullptr, nullptr);
    EXPECT_EQ(version, "1.0");

    // The last entry is tried and holds no copy: the search ends on that candidate.
    EXPECT_EQ(NextPathFName(state.get(), kLibrary, found), 0);
    EXPECT_EQ(found, std::string("C:\\qm7x_not_there\\") + kLibrary);
    EXPECT_EQ(NextPathFName(state.get(), kLibrary, found), 0);
    EXPECT_EQ(found, "");
    ClosePathFName(state);

    // Not in the working directory: found along the Path only.
    std::filesystem::remove(work / kLibrary);
    state = FirstPathFname(work.string(), kLibrary, found);
    ASSERT_NE(state, nullptr);
    EXPECT_EQ(found, ProgramDirectory() + "\\" + kLibrary);
}

TEST_F(MachinePath, NowhereOnThePathIsNoState) {
    ScratchDir dir;
    WritePath(dir.Path().string() + ";C:\\qm7x_not_there");
    std::string found;
    EXPECT_EQ(FirstPathFname(dir.Path().string(), kLibrary, found), nullptr);
    EXPECT_EQ(found, std::string("C:\\qm7x_not_there\\") + kLibrary);  // the last candidate
}

// An empty entry gives "\" and the name: the root of the current drive.
TEST_F(MachinePath, AnEmptyEntryIsTheRootOfTheCurrentDrive) {
    char windows[MAX_PATH] = {};
    ASSERT_GT(GetWindowsDirectoryA(windows, MAX_PATH), 2u);
    const std::string root = std::string(windows).substr(0, 3);  // "C:\"
    const std::string probe = "qm7x_root_probe_" + std::to_string(GetCurrentProcessId()) + ".dll";
    ScratchDir dir;
    std::filesystem::copy_file(MathLibraryPath(), root + probe);
    char previous[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, previous);
    ASSERT_TRUE(SetCurrentDirectoryA(windows));

    WritePath(dir.Path().string() + ";;" + dir.Path().string());
    std::string found;
    auto state = FirstPathFname(dir.Path().string(), probe, found);
    SetCurrentDirectoryA(previous);
    std::filesystem::remove(root + probe);
    ASSERT_NE(state, nullptr);
    EXPECT_EQ(found, "\\" + probe);
}

}  // namespace
}  // namespace qm7x::integrity
