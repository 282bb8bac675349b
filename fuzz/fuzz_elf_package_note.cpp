// Arbitrary bytes as a file whose version metadata is read: the ELF package note is looked for
// through sections and segments with every offset and size taken from the input.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>

#include "qm7x/os/elf_package_note.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const unsigned char> file(data, size);
    const auto json = qm7x::os::ElfPackageNoteJson(file);
    const auto version = qm7x::os::ElfPackageVersion(file);
    if (version && !json) {
        std::abort();  // a version can only come from a note
    }
    return 0;
}
