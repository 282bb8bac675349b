#pragma once

#include <string>
#include <string_view>

namespace qm7x::results {

// Replaces the file whole: a temporary file beside it, synced, renamed over it, the folder
// synced. Throws StoreError naming the file, the operation and the system's reason.
void WriteFileDurably(const std::string& path, std::string_view content);

}  // namespace qm7x::results
