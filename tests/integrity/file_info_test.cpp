// A file's date, time, version and bare name as GetFInfo reports them.
#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <filesystem>
#include <string>

#include "qm7x/integrity/file_info.h"
#include "test_support.h"

namespace qm7x::integrity {
namespace {

using test::ScratchDir;

// Gives `file` the last-write time of the local calendar fields given.
void SetLocalWriteTime(const std::filesystem::path& file, int year, int month, int day, int hour,
                       int minute, int second) {
    std::tm fields{};
    fields.tm_year = year - 1900;
    fields.tm_mon = month - 1;
    fields.tm_mday = day;
    fields.tm_hour = hour;
    fields.tm_min = minute;
    fields.tm_sec = second;
    fields.tm_isdst = -1;
    const std::time_t when = std::mktime(&fields);
    ASSERT_NE(when, static_cast<std::time_t>(-1));
    std::filesystem::last_write_time(
        file, std::chrono::file_clock::from_sys(std::chrono::system_clock::from_time_t(when)));
}

TEST(FileInformation, DateAndTimeOfTheLastWriteInLocalTime) {
    ScratchDir dir;
    const auto file = dir.File("dated.bin", "x");
    struct Case {
        int year, month, day, hour, minute, second;
        const char* date;
        const char* time;
    };
    for (const Case& c : {Case{2011, 11, 23, 14, 5, 59, "23-11-2011", "14:05"},
                          Case{2009, 3, 5, 7, 8, 0, "05-03-2009", "07:08"},
                          Case{2026, 12, 31, 23, 59, 30, "31-12-2026", "23:59"}}) {
        SetLocalWriteTime(file, c.year, c.month, c.day, c.hour, c.minute, c.second);
        std::string version = "stale", date = "stale", time = "stale", name = "stale";
        EXPECT_EQ(GetFInfo(file.string(), &version, &date, &time, &name), 0);
        EXPECT_EQ(date, c.date);
        EXPECT_EQ(time, c.time);
        EXPECT_EQ(version, "n/a");  // a plain file carries no version metadata
        EXPECT_EQ(name, "dated.bin");
    }
}

TEST(FileInformation, AMissingFileHasNoDateAndNoVersion) {
    ScratchDir dir;
    std::string version = "stale", date = "stale", time = "stale", name;
    EXPECT_EQ(GetFInfo((dir / "missing.dll").string(), &version, &date, &time, &name), 0);
    EXPECT_EQ(date, "");
    EXPECT_EQ(time, "");
    EXPECT_EQ(version, "n/a");
    EXPECT_EQ(name, "missing.dll");
}

TEST(FileInformation, OnlyTheTextsAskedForAreWritten) {
    ScratchDir dir;
    const auto file = dir.File("some.bin", "x");
    SetLocalWriteTime(file, 2011, 11, 23, 9, 1, 0);
    std::string date;
    EXPECT_EQ(GetFInfo(file.string(), nullptr, &date, nullptr, nullptr), 0);
    EXPECT_EQ(date, "23-11-2011");
    std::string time;
    EXPECT_EQ(GetFInfo(file.string(), nullptr, nullptr, &time, nullptr), 0);
    EXPECT_EQ(time, "09:01");
    EXPECT_EQ(GetFInfo(file.string(), nullptr, nullptr, nullptr, nullptr), 0);
}

TEST(FileInformation, BareNameAfterTheLastSeparator) {
    std::string name;
    GetFInfo("/opt/lib/libtrqm7x_math.so.1", nullptr, nullptr, nullptr, &name);
    EXPECT_EQ(name, "libtrqm7x_math.so.1");
    GetFInfo("no_folder.dll", nullptr, nullptr, nullptr, &name);
    EXPECT_EQ(name, "no_folder.dll");
    GetFInfo("ends/in/", nullptr, nullptr, nullptr, &name);
    EXPECT_EQ(name, "");
#ifdef _WIN32
    GetFInfo("C:\\Program Files\\QM7X/lib\\trqm7x_math.dll", nullptr, nullptr, nullptr, &name);
    EXPECT_EQ(name, "trqm7x_math.dll");
#else
    // A backslash is an ordinary character of a file name here.
    GetFInfo("/opt/odd\\name.so", nullptr, nullptr, nullptr, &name);
    EXPECT_EQ(name, "odd\\name.so");
#endif
    // At most 127 characters.
    GetFInfo("/tmp/" + std::string(200, 'n'), nullptr, nullptr, nullptr, &name);
    EXPECT_EQ(name, std::string(kFInfoNameMax, 'n'));
}

}  // namespace
}  // namespace qm7x::integrity
