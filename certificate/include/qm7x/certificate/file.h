// The certificate's PDF written to its file durably: whole or not at all, synced.
#pragma once

#include <string>
#include <string_view>

namespace qm7x::certificate {

// Writes bytes as a new file at path through the program's record writer: whole or not at all
// (a failed write leaves no file), synced with its folder, regular files only. An existing file
// at path is left as it is and the write fails: a certificate's file is never replaced. Returns
// the cause of a failure (operation, the system's reason, path), empty on success.
std::string WriteFileDurably(const std::string& path, std::string_view bytes);

}  // namespace qm7x::certificate
