// Version metadata of the program file on ELF systems: a ".note.package" note in the "ELF package
// metadata" convention (owner "FDO", type 0xcafe1a7e, a JSON text), shown by `readelf -n`.
// Windows builds carry p_qm7x.rc instead.
#if defined(__ELF__)

#include <cstddef>
#include <cstdint>

namespace qm7x::app {
namespace {

constexpr char kPackageJson[] =
    R"json({"type":"generic","name":"p_qm7x","version":"1.2.1.0",)json"
    R"json("description":"QM7X. Поверка, калибровка (Release x86)",)json"
    R"json("title":"QM7X. Поверка, калибровка"})json";

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
}  // namespace qm7x::app

#endif
