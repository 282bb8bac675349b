#include "text.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>

namespace qm7x::sim {
namespace {

struct IconvCloser {
    void operator()(iconv_t handle) const { iconv_close(handle); }
};
using Converter = std::unique_ptr<std::remove_pointer_t<iconv_t>, IconvCloser>;

}  // namespace

std::string ToCp1251(std::string_view utf8) {
    Converter converter(iconv_open("CP1251", "UTF-8"));
    if (converter.get() == reinterpret_cast<iconv_t>(-1)) {
        converter.release();
        return std::string(utf8);
    }
    std::string out;
    out.reserve(utf8.size());
    std::string input(utf8);
    char* in = input.data();
    std::size_t inLeft = input.size();
    while (inLeft > 0) {
        char chunk[256];
        char* outPtr = chunk;
        std::size_t outLeft = sizeof chunk;
        const std::size_t done = iconv(converter.get(), &in, &inLeft, &outPtr, &outLeft);
        out.append(chunk, static_cast<std::size_t>(outPtr - chunk));
        if (done == static_cast<std::size_t>(-1) && errno != E2BIG) {
            // Not representable or not UTF-8: one '?' for the whole offending character.
            out.push_back('?');
            ++in;
            --inLeft;
            while (inLeft > 0 && (static_cast<unsigned char>(*in) & 0xC0) == 0x80) {
                ++in;
                --inLeft;
            }
        }
    }
    return out;
}

void CopyText(std::string_view text, char* buffer, std::size_t capacity) {
    if (buffer == nullptr || capacity == 0) {
        return;
    }
    const std::size_t length = std::min(text.size(), capacity - 1);
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
}

}  // namespace qm7x::sim
