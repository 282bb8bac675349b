#include "qm7x/integrity/path_search.h"

#include <algorithm>
#include <utility>

#include "qm7x/os/file_info.h"
#include "qm7x/os/path_list.h"

namespace qm7x::integrity {
namespace {

PathListSource& systemListSource() {
    static PathListSource source;
    return source;
}

std::string readSystemList() {
    const PathListSource& source = systemListSource();
    return source ? source() : os::SystemPathList();
}

std::string candidate(std::string_view dir, std::string_view fileName) {
    std::string path(dir);
    path += os::kDirSeparator;
    path += fileName;
    return path;
}

}  // namespace

PathList::PathList(std::string_view firstDir, std::string_view systemList) {
    // The text as the fixed buffer of the search holds it: at most kTextCapacity - 1 characters
    // before the terminating zero; what does not fit is ignored.
    std::string text;
    if (!firstDir.empty()) {
        text.append(firstDir.substr(0, kTextCapacity - 1));
        text += os::kPathListSeparator;
    }
    const std::size_t room = kTextCapacity - 1 - std::min(text.size(), kTextCapacity - 1);
    text.append(systemList.substr(0, room));
    text.resize(std::min(text.size(), kTextCapacity - 1));

    // Every separator ends an entry, so empty entries stay in the list.
    std::size_t start = 0;
    while (dirs_.size() < kMaxDirectories) {
        const std::size_t end = text.find(os::kPathListSeparator, start);
        dirs_.push_back(text.substr(start, end == std::string::npos ? end : end - start));
        if (end == std::string::npos) {
            break;
        }
        start = end + 1;
    }
    // One trailing directory separator goes, so that the file name can be appended with one.
    for (std::string& dir : dirs_) {
        if (!dir.empty() && os::kDirSeparators.find(dir.back()) != std::string_view::npos) {
            dir.pop_back();
        }
    }
}

const std::string* PathList::TakeNextUntried() {
    if (nextUntried_ >= dirs_.size()) {
        return nullptr;
    }
    return &dirs_[nextUntried_++];
}

std::unique_ptr<PathList> FirstPathFname(std::string_view firstDir, std::string_view fileName,
                                         std::string& foundPath) {
    auto state = std::make_unique<PathList>(firstDir, readSystemList());
    foundPath = candidate(state->Directory(0), fileName);
    if (os::QueryFileExists(foundPath) == 1) {
        return state;
    }
    if (NextPathFName(state.get(), fileName, foundPath) > 0) {
        return state;
    }
    return nullptr;
}

int NextPathFName(PathList* state, std::string_view fileName, std::string& foundPath) {
    foundPath.clear();
    if (state == nullptr) {
        return 0;
    }
    while (const std::string* dir = state->TakeNextUntried()) {
        foundPath = candidate(*dir, fileName);
        if (const int exists = os::QueryFileExists(foundPath); exists != 0) {
            return exists;
        }
    }
    return 0;
}

void ClosePathFName(std::unique_ptr<PathList>& state) {
    state.reset();
}

void SetSystemPathListSource(PathListSource source) {
    systemListSource() = std::move(source);
}

}  // namespace qm7x::integrity
