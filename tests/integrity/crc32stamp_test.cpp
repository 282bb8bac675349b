// The crc32stamp tool run as a process: exit codes and what it tells about each file.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "qm7x/integrity/arkomet_crc32.h"
#include "test_support.h"

namespace qm7x::integrity {
namespace {

using test::kMarker;
using test::ScratchDir;
using ::testing::AllOf;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

struct ToolRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

std::string Quoted(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

ToolRun RunTool(const ScratchDir& dir, const std::vector<std::string>& args) {
    std::string command = Quoted(QM7X_CRC32STAMP);
    for (const std::string& arg : args) {
        command += " " + Quoted(arg);
    }
    const auto out = dir / "stdout.txt";
    const auto err = dir / "stderr.txt";
    command += " >" + Quoted(out.string()) + " 2>" + Quoted(err.string());
    const int status = std::system(command.c_str());
    ToolRun run;
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = test::ReadAll(out);
    run.err = test::ReadAll(err);
    return run;
}

const std::string kRecord = kMarker + "00000000" + std::string(1, '\0');

TEST(Crc32Stamp, StampsThenChecks) {
    ScratchDir dir;
    const auto a = dir.File("a.bin", "first file " + kRecord + "with more after it").string();
    const auto b = dir.File("b.bin", kRecord + "and another one").string();
    ToolRun run = RunTool(dir, {"stamp", a, b});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_THAT(run.out, AllOf(HasSubstr(a + ": stamped "), HasSubstr(b + ": stamped ")));
    EXPECT_THAT(run.err, IsEmpty());

    run = RunTool(dir, {"check", a, b});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    std::uint32_t stored = 0;
    std::uint32_t computed = 0;
    std::uint32_t whole = 0;
    ASSERT_EQ(CheckFileInternalCRC32(a, stored, computed, &whole), 0);
    EXPECT_THAT(run.out, HasSubstr(a + ": stored " + test::Hex8(stored) + ", computed " +
                                   test::Hex8(computed) + ", file " + test::Hex8(whole) + ": OK"));
}

TEST(Crc32Stamp, ExitCodesAndReasons) {
    ScratchDir dir;
    const auto unstamped = dir.File("unstamped.bin", "x" + kRecord + "tail").string();
    const auto plain = dir.File("plain.bin", "no record in this file at all").string();
    const auto tiny = dir.File("tiny.bin", "short").string();
    const auto missing = (dir / "missing.bin").string();
    struct Case {
        std::vector<std::string> args;
        int exitCode;
        std::string out;  // expected in standard output
        std::string err;  // expected in standard error
    };
    const Case cases[] = {
        {{"check", unstamped}, 1, unstamped + ": stored 00000000", ""},
        {{"check", unstamped}, 1, "MISMATCH", ""},
        {{"check", plain}, 2, "", plain + ": cannot check: the file carries no internal CRC"},
        {{"check", missing}, 2, "", missing + ": cannot check: no such file"},
        {{"check", unstamped, missing}, 2, "MISMATCH", missing},
        {{"check", dir.Path().string()}, 2, "", "cannot check: cannot open"},
        {{"stamp", tiny}, 2, "", tiny + ": cannot stamp: the file is shorter than 20 bytes"},
        {{"stamp", plain}, 2, "", plain + ": cannot stamp: the file carries no internal CRC"},
        {{"stamp", missing}, 2, "", missing + ": cannot stamp: no such file"},
        {{}, 64, "", "missing command"},
        {{"check"}, 64, "", "no FILE given"},
        {{"verify", plain}, 64, "", "unknown command 'verify'"},
        {{"--help"}, 0, "Exit status", ""},
        {{"-h"}, 0, "crc32stamp stamp FILE...", ""},
    };
    for (const Case& c : cases) {
        const ToolRun run = RunTool(dir, c.args);
        const std::string name = c.args.empty() ? "(no arguments)" : c.args[0];
        EXPECT_EQ(run.exitCode, c.exitCode) << name << "\n" << run.err;
        EXPECT_THAT(run.out, HasSubstr(c.out)) << name;
        EXPECT_THAT(run.err, HasSubstr(c.err)) << name;
    }
    EXPECT_FALSE(std::filesystem::exists(missing));
}

// The tool checks a file far larger than the memory it may take, reading it block by block.
TEST(Crc32Stamp, ChecksALargeFileInConstantMemory) {
    ScratchDir dir;
    const auto file = dir.File("large.bin", "head " + kRecord);
    std::filesystem::resize_file(file, std::uintmax_t{512} << 20);  // sparse: no disk space taken
    const ToolRun run = RunTool(dir, {"check", file.string()});
    EXPECT_EQ(run.exitCode, 1) << run.err;  // the placeholder does not match
    EXPECT_THAT(run.out, HasSubstr("MISMATCH"));
    rusage children{};
    ASSERT_EQ(::getrusage(RUSAGE_CHILDREN, &children), 0);
    EXPECT_LT(children.ru_maxrss, 64 << 10) << "kilobytes at the peak";
}

}  // namespace
}  // namespace qm7x::integrity
