// The library's internal CRC record: the marker "ВстроенныйCRC32=" in Windows-1251, eight
// placeholder digits and a zero byte. The build stamps the file's CRC-32 into the digits; the
// program finds the record by its marker and checks the file against it.

namespace trqm7x::math {

// External linkage (hidden, and local through the export list): a const with internal linkage
// would also be copied into the debug information as a constant value, putting a second marker
// into the file.
extern const char kInternalCrcRecord[];

// Byte-exact constant: the sources are UTF-8 but the file must carry the Windows-1251 bytes
// C2 F1 F2 F0 EE E5 ED ED FB E9 ("Встроенный"), so they are written as hex escapes. The literal
// is split after \xE9 because 'C' would otherwise continue the escape. The implicit terminator
// of the literal is the zero byte after the digits.
#if defined(__ELF__)
// Nothing references the record: "used" keeps the compiler and "retain" keeps --gc-sections
// from dropping it.
[[gnu::used, gnu::retain]]
#elif defined(__GNUC__) || defined(__clang__)
// PE/COFF (MinGW): the DLL is linked without section garbage collection; "used" keeps the
// compiler from dropping the record.
[[gnu::used]]
#endif
const char kInternalCrcRecord[] =
    "\xC2\xF1\xF2\xF0\xEE\xE5\xED\xED\xFB\xE9"
    "CRC32="
    "00000000";

static_assert(sizeof(kInternalCrcRecord) == 16 + 8 + 1, "marker, eight digits, zero byte");

}  // namespace trqm7x::math

#if defined(_MSC_VER)
// MSVC: keep the record through /OPT:REF by pulling a referencing symbol into the link.
extern "C" const char* const trqm7x_math_internal_crc_record = trqm7x::math::kInternalCrcRecord;
#if defined(_M_IX86)
#pragma comment(linker, "/INCLUDE:_trqm7x_math_internal_crc_record")
#else
#pragma comment(linker, "/INCLUDE:trqm7x_math_internal_crc_record")
#endif
#endif
