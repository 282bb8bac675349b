// Windows: the conversions through the system's own table of code page 1251 (no iconv there).
#include <windows.h>

#include <algorithm>
#include <array>
#include <utility>

#include "qm7x/os/encoding.h"
#include "utf8.h"

namespace qm7x::os {
namespace {

constexpr UINT kCp1251 = 1251;
constexpr char32_t kReplacement = 0xFFFD;

// Bytes 0x80..0xFF as the system maps them. A byte mapped to a C1 control character (0x98 on
// systems that pass undefined bytes through) has no character: U+FFFD, as iconv reports it.
const std::array<char32_t, 128>& UpperHalf() {
    static const std::array<char32_t, 128> table = [] {
        std::array<char32_t, 128> upper{};
        for (std::size_t i = 0; i < upper.size(); ++i) {
            const char byte = static_cast<char>(0x80 + i);
            wchar_t wide[2] = {};
            const int count = MultiByteToWideChar(kCp1251, MB_ERR_INVALID_CHARS, &byte, 1, wide, 2);
            const bool control = wide[0] >= 0x80 && wide[0] <= 0x9F;
            upper[i] = count == 1 && !control ? static_cast<char32_t>(wide[0]) : kReplacement;
        }
        return upper;
    }();
    return table;
}

// The same table by character, sorted for a binary search.
const std::array<std::pair<char32_t, unsigned char>, 128>& ByCharacter() {
    static const std::array<std::pair<char32_t, unsigned char>, 128> index = [] {
        std::array<std::pair<char32_t, unsigned char>, 128> sorted{};
        for (std::size_t i = 0; i < sorted.size(); ++i) {
            sorted[i] = {UpperHalf()[i], static_cast<unsigned char>(0x80 + i)};
        }
        std::sort(sorted.begin(), sorted.end());
        return sorted;
    }();
    return index;
}

}  // namespace

std::string ToCp1251(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    while (!utf8.empty()) {
        const detail::Utf8Char c = detail::DecodeUtf8(utf8);
        if (c.length == 0) {  // one byte that is not UTF-8
            out.push_back('?');
            utf8.remove_prefix(1);
            continue;
        }
        utf8.remove_prefix(c.length);
        if (c.codePoint < 0x80) {
            out.push_back(static_cast<char>(c.codePoint));
            continue;
        }
        const auto& index = ByCharacter();
        const auto found = std::lower_bound(index.begin(), index.end(),
                                            std::pair<char32_t, unsigned char>{c.codePoint, 0});
        const bool mapped =
            found != index.end() && found->first == c.codePoint && c.codePoint != kReplacement;
        out.push_back(mapped ? static_cast<char>(found->second) : '?');
    }
    return out;
}

std::string FromCp1251(std::string_view cp1251) {
    std::string out;
    out.reserve(cp1251.size() * 2);
    for (const char ch : cp1251) {
        const auto byte = static_cast<unsigned char>(ch);
        detail::AppendUtf8(out, byte < 0x80 ? char32_t{byte} : UpperHalf()[byte - 0x80]);
    }
    return out;
}

}  // namespace qm7x::os
