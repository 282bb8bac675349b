// The certificate's PDF written to its file durably: whole or not at all, synced.
#pragma once

#include <string>
#include <string_view>

namespace qm7x::certificate {

// Writes bytes to a new temporary file beside path, syncs it, gives it the name path and syncs
// the folder. An existing file at path is left as it is and the write fails: a certificate's
// file is never replaced. Returns the cause of a failure (operation, path, the system's reason),
// empty on success.
std::string WriteFileDurably(const std::string& path, std::string_view bytes);

}  // namespace qm7x::certificate
