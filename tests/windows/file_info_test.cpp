// GetFInfo against the system's own records: the DLL's version resource through its first
// translation entry, files without one, and a last-write time set through the file system.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "qm7x/integrity/file_info.h"
#include "test_support.h"
#include "windows_support.h"

namespace qm7x::integrity {
namespace {

using qm7x::windows_test::MathLibraryPath;
using qm7x::windows_test::ProgramDirectory;
using test::ScratchDir;

// Sets the file's last-write time to the local calendar fields given, the way the system turns
// local time into file time (the inverse of FileTimeToLocalFileTime).
void SetLocalWriteTime(const std::string& path, WORD year, WORD month, WORD day, WORD hour,
                       WORD minute) {
    SYSTEMTIME local{};
    local.wYear = year;
    local.wMonth = month;
    local.wDay = day;
    local.wHour = hour;
    local.wMinute = minute;
    local.wSecond = 30;
    FILETIME localTime{};
    FILETIME utc{};
    ASSERT_TRUE(SystemTimeToFileTime(&local, &localTime));
    ASSERT_TRUE(LocalFileTimeToFileTime(&localTime, &utc));
    const HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path << ": error " << GetLastError();
    const BOOL set = SetFileTime(file, nullptr, nullptr, &utc);
    CloseHandle(file);
    ASSERT_TRUE(set) << path;
}

TEST(WindowsFileInfo, TheDllsFileVersionComesFromItsVersionResource) {
    std::string version;
    std::string date;
    std::string time;
    std::string name;
    EXPECT_EQ(GetFInfo(MathLibraryPath(), &version, &date, &time, &name), 0);
    EXPECT_EQ(version, "1.0");
    EXPECT_EQ(name, "trqm7x_math.dll");
    EXPECT_EQ(date.size(), 10u) << date;  // dd-mm-yyyy
    EXPECT_EQ(time.size(), 5u) << time;   // hh:mm
}

TEST(WindowsFileInfo, AFileWithoutAVersionResourceIsNotApplicable) {
    ScratchDir dir;
    const std::string text = dir.File("notes.txt", "no resources in a text file").string();
    std::string version;
    GetFInfo(text, &version, nullptr, nullptr, nullptr);
    EXPECT_EQ(version, "n/a");
    // A program of the build: a PE file with resources of no VERSIONINFO kind.
    GetFInfo(ProgramDirectory() + "\\crc32stamp.exe", &version, nullptr, nullptr, nullptr);
    EXPECT_EQ(version, "n/a");
    GetFInfo(dir.Path().string() + "\\missing.dll", &version, nullptr, nullptr, nullptr);
    EXPECT_EQ(version, "n/a");
}

TEST(WindowsFileInfo, DateAndTimeOfTheLastWriteInLocalCalendarFields) {
    ScratchDir dir;
    const std::string file = dir.File("dated.bin", "x").string();
    struct Case {
        WORD year, month, day, hour, minute;
        const char* date;
        const char* time;
    };
    const Case cases[] = {
        {2011, 11, 23, 14, 7, "23-11-2011", "14:07"},
        {2009, 3, 5, 0, 0, "05-03-2009", "00:00"},
        {2030, 12, 31, 23, 59, "31-12-2030", "23:59"},
    };
    for (const Case& c : cases) {
        SetLocalWriteTime(file, c.year, c.month, c.day, c.hour, c.minute);
        std::string date;
        std::string time;
        GetFInfo(file, nullptr, &date, &time, nullptr);
        EXPECT_EQ(date, c.date);
        EXPECT_EQ(time, c.time);
    }
}

TEST(WindowsFileInfo, AMissingFileHasNoDateOrTime) {
    ScratchDir dir;
    std::string date = "left over";
    std::string time = "left over";
    GetFInfo(dir.Path().string() + "\\missing.dll", nullptr, &date, &time, nullptr);
    EXPECT_EQ(date, "");
    EXPECT_EQ(time, "");
}

}  // namespace
}  // namespace qm7x::integrity
