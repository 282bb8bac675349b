// Version metadata of the library file on ELF systems: a ".note.package" note in the "ELF package
// metadata" convention (owner "FDO", type 0xcafe1a7e, a JSON text), shown by `readelf -n` and
// read back by the program's file information. Windows builds carry trqm7x_math.rc instead.
#if defined(__ELF__)

#include <cstddef>
#include <cstdint>

namespace trqm7x::math {
namespace {

constexpr char kPackageJson[] =
    R"({"type":"generic","name":"trqm7x_math","version":"1.0","description":"trqm7x_math"})";

constexpr std::size_t padTo4(std::size_t n) {
    return (n + 3) & ~std::size_t{3};
}

struct PackageNote {
    std::uint32_t nameSize;
    std::uint32_t descSize;
    std::uint32_t type;
    char name[4];  // "FDO" and its terminator
    char desc[padTo4(sizeof(kPackageJson))];
};

constexpr PackageNote makePackageNote() {
    PackageNote note{4, sizeof(kPackageJson), 0xcafe1a7eu, {'F', 'D', 'O', '\0'}, {}};
    for (std::size_t i = 0; i < sizeof(kPackageJson); ++i) {
        note.desc[i] = kPackageJson[i];
    }
    return note;
}

// The assembler gives sections named ".note*" the note type; nothing references the note.
[[gnu::used, gnu::retain, gnu::section(".note.package"),
  gnu::aligned(4)]] constexpr PackageNote kPackageNote = makePackageNote();

}  // namespace
}  // namespace trqm7x::math

#endif
