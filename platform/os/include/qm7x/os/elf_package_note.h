// Reads the "ELF package metadata" note (owner "FDO", type 0xcafe1a7e, a JSON object) of an ELF
// file held in memory. The bytes are untrusted: every offset and size is checked.
#pragma once

#include <optional>
#include <span>
#include <string>

namespace qm7x::os {

// The JSON text of the file's package note, found through its note sections, or through its
// note segments when the file has no section headers; nullopt when there is none.
std::optional<std::string> ElfPackageNoteJson(std::span<const unsigned char> file);

// The string member "version" of the package note's JSON object; nullopt when the file is not
// ELF, carries no package note, its JSON does not parse or has no string "version".
std::optional<std::string> ElfPackageVersion(std::span<const unsigned char> file);

}  // namespace qm7x::os
