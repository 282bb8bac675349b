// The search of a file along a directory list: the directory given first, the system's list (put
// in by the test), the continuation of a search, and the limits of the list.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "qm7x/integrity/path_search.h"
#include "qm7x/os/path_list.h"
#include "test_support.h"

namespace qm7x::integrity {
namespace {

using test::ScratchDir;

constexpr char kName[] = "libsearched.so.1";
const std::string kListSep(1, os::kPathListSeparator);
const std::string kDirSep(1, os::kDirSeparator);

std::string joined(const std::vector<std::string>& dirs) {
    std::string text;
    for (const std::string& dir : dirs) {
        text += (text.empty() ? "" : kListSep) + dir;
    }
    return text;
}

// Puts `list` in place of the system's list for one test.
class PathSearch : public ::testing::Test {
  protected:
    void UseSystemList(std::string list) {
        SetSystemPathListSource([list = std::move(list)] { return list; });
    }
    void TearDown() override { SetSystemPathListSource({}); }

    // A folder of the scratch directory, with the searched file in it when `holdsFile`.
    std::string Folder(const std::string& name, bool holdsFile) {
        std::filesystem::create_directories(dir / name);
        if (holdsFile) {
            dir.File(name + kDirSep + kName, "contents of " + name);
        }
        return (dir / name).string();
    }

    ScratchDir dir;
};

TEST_F(PathSearch, WorkingDirectoryFirstThenTheListInOrder) {
    const std::string work = Folder("work", true);
    const std::string first = Folder("first", true);
    const std::string empty = Folder("empty", false);
    const std::string last = Folder("last", true);
    UseSystemList(joined({first, empty, last}));

    std::string found;
    auto state = FirstPathFname(work, kName, found);
    ASSERT_NE(state, nullptr);
    EXPECT_EQ(found, work + kDirSep + kName);
    // The continuation starts with the first entry of the system's list, then skips what is
    // not there, and ends.
    EXPECT_EQ(NextPathFName(state.get(), kName, found), 1);
    EXPECT_EQ(found, first + kDirSep + kName);
    EXPECT_EQ(NextPathFName(state.get(), kName, found), 1);
    EXPECT_EQ(found, last + kDirSep + kName);
    EXPECT_EQ(NextPathFName(state.get(), kName, found), 0);
    EXPECT_EQ(found, "");
    EXPECT_EQ(NextPathFName(state.get(), kName, found), 0);
    ClosePathFName(state);
    EXPECT_EQ(state, nullptr);
}

TEST_F(PathSearch, FoundOnlyInTheListOrNowhere) {
    const std::string work = Folder("work", false);
    const std::string there = Folder("there", true);
    const std::string nothing = Folder("nothing", false);

    UseSystemList(joined({nothing, there}));
    std::string found;
    auto state = FirstPathFname(work, kName, found);
    ASSERT_NE(state, nullptr);
    EXPECT_EQ(found, there + kDirSep + kName);

    // Not found: no state, and the path holds the last candidate tried.
    UseSystemList(joined({there + "/absent", nothing}));
    EXPECT_EQ(FirstPathFname(work, kName, found), nullptr);
    EXPECT_EQ(found, nothing + kDirSep + kName);

    // No directory given first: the list alone.
    UseSystemList(there);
    state = FirstPathFname("", kName, found);
    ASSERT_NE(state, nullptr);
    EXPECT_EQ(found, there + kDirSep + kName);
    EXPECT_EQ(NextPathFName(state.get(), kName, found), 0);
}

TEST_F(PathSearch, ADirectoryOrAMissingFolderIsNotTheFile) {
    const std::string work = Folder("work", false);
    std::filesystem::create_directories(dir / "holds_a_folder" / kName);
    const std::string fileAsFolder = dir.File("plain_file", "x").string();
    UseSystemList(joined({(dir / "holds_a_folder").string(), fileAsFolder, "/nonexistent/q"}));
    std::string found;
    EXPECT_EQ(FirstPathFname(work, kName, found), nullptr);
}

TEST_F(PathSearch, OneTrailingSeparatorIsRemoved) {
    const std::string once = Folder("once", true);
    const std::string twice = Folder("twice", true);
    UseSystemList(joined({once + kDirSep, twice + kDirSep + kDirSep}));
    std::string found;
    auto state = FirstPathFname("", kName, found);
    ASSERT_NE(state, nullptr);
    EXPECT_EQ(found, once + kDirSep + kName);
    EXPECT_EQ(NextPathFName(state.get(), kName, found), 1);
    EXPECT_EQ(found, twice + kDirSep + kDirSep + kName);  // one of the two remains

    const PathList list(kDirSep,
                        joined({"a" + kDirSep, "b" + kDirSep + kDirSep, "c", kDirSep, ""}));
    const std::vector<std::string> expected = {"", "a", "b" + kDirSep, "c", "", ""};
    ASSERT_EQ(list.Size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(list.Directory(i), expected[i]) << "slot " << i;
    }
}

#ifndef _WIN32
TEST_F(PathSearch, AnEmptyEntryIsTheRootDirectory) {
    // The candidate of an empty entry is the separator and the name: the name is given here as
    // the scratch path without its leading "/", so the root candidate names a real file.
    Folder("in_root", true);
    const std::string fromRoot = (dir / "in_root").string().substr(1) + kDirSep + kName;
    const std::string work = Folder("work", false);
    UseSystemList(joined({work, "", work}));
    std::string found;
    auto state = FirstPathFname(work, fromRoot, found);
    ASSERT_NE(state, nullptr);
    EXPECT_EQ(found, "/" + fromRoot);

    // A list that cannot be read leaves the first directory and one empty entry.
    const PathList list("work", "");
    ASSERT_EQ(list.Size(), 2u);
    EXPECT_EQ(list.Directory(1), "");
}
#endif

TEST_F(PathSearch, TheListIsCutAfter255Directories) {
    const std::string work = Folder("work", false);
    std::vector<std::string> dirs;
    for (int i = 0; i < 300; ++i) {
        dirs.push_back((dir / ("d" + std::to_string(i))).string());
    }
    // Slot 0 is the working directory, so list entries 0..253 fill slots 1..254.
    Folder("d253", true);
    UseSystemList(joined(dirs));
    std::string found;
    auto state = FirstPathFname(work, kName, found);
    ASSERT_NE(state, nullptr);
    EXPECT_EQ(found, dirs[253] + kDirSep + kName);
    EXPECT_EQ(state->Size(), PathList::kMaxDirectories);

    std::filesystem::remove_all(dir / "d253");
    Folder("d254", true);
    EXPECT_EQ(FirstPathFname(work, kName, found), nullptr);
    EXPECT_EQ(found, dirs[253] + kDirSep + kName);  // the last candidate of the cut list
}

TEST_F(PathSearch, TheTextIsCutAt65536Bytes) {
    const std::string work = Folder("work", false);
    const std::string target = Folder("target", true);
    // One long entry of filler, then the folder that holds the file.
    const std::size_t room = PathList::kTextCapacity - 1 - (work.size() + 1);
    std::string filler(room - target.size() - 1, 'x');
    UseSystemList(filler + kListSep + target);  // fits exactly
    std::string found;
    EXPECT_NE(FirstPathFname(work, kName, found), nullptr);

    filler += 'x';  // now the last character of the folder's name is cut
    UseSystemList(filler + kListSep + target);
    EXPECT_EQ(FirstPathFname(work, kName, found), nullptr);
    EXPECT_EQ(found, target.substr(0, target.size() - 1) + kDirSep + kName);
}

TEST_F(PathSearch, NoStateNothingToContinue) {
    std::string found = "left over";
    EXPECT_EQ(NextPathFName(nullptr, kName, found), 0);
    EXPECT_EQ(found, "");
    std::unique_ptr<PathList> none;
    ClosePathFName(none);
    EXPECT_EQ(none, nullptr);
}

}  // namespace
}  // namespace qm7x::integrity
