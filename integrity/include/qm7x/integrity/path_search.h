// Finding a file along a list of directories: a directory given first, then the system's list
// (on Windows the machine's registry value "Path"; here the directories where the dynamic loader
// looks for a library). A search state lets the caller visit every copy along the list.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace qm7x::integrity {

// The state of one search: the directory list, at most kTextCapacity bytes of text (its
// terminator included) cut into at most kMaxDirectories entries, and which entries were tried.
class PathList {
  public:
    static constexpr std::size_t kTextCapacity = 65536;
    static constexpr std::size_t kMaxDirectories = 255;

    // `firstDir` (skipped when empty) and the system list, joined by the list separator.
    PathList(std::string_view firstDir, std::string_view systemList);

    std::size_t Size() const { return dirs_.size(); }
    const std::string& Directory(std::size_t slot) const { return dirs_[slot]; }
    // The next entry from slot 1 on that was not tried yet, marked as tried; nullptr at the end.
    const std::string* TakeNextUntried();

  private:
    std::vector<std::string> dirs_;
    std::size_t nextUntried_ = 1;  // entries are tried in order, so one mark covers them all
};

// Starts a search: `foundPath` := slot 0 joined with `fileName`; if no file is there, continues
// with NextPathFName. Returns the state when the file was found (foundPath holds its path), or
// null when it was found nowhere (foundPath then holds the last candidate and must not be used).
std::unique_ptr<PathList> FirstPathFname(std::string_view firstDir, std::string_view fileName,
                                         std::string& foundPath);

// Continues a search with the next untried entry. 1 = found (foundPath holds the path); 0 = no
// further entry (foundPath empty when the state is null); negative = the system could not tell
// whether the candidate in foundPath exists.
int NextPathFName(PathList* state, std::string_view fileName, std::string& foundPath);

// Ends a search; a null state is ignored.
void ClosePathFName(std::unique_ptr<PathList>& state);

// Where the system list comes from; tests put their own list in. An empty function restores the
// platform's (os::SystemPathList).
using PathListSource = std::function<std::string()>;
void SetSystemPathListSource(PathListSource source);

}  // namespace qm7x::integrity
