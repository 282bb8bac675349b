#include "qm7x/os/file_error.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string_view>
#include <utility>

#include "utf8.h"

#if !defined(_WIN32)
#include <iconv.h>
#include <langinfo.h>
#include <locale.h>

#include <memory>
#include <vector>
#endif

namespace qm7x::os {
namespace {

bool isUtf8(std::string_view text) {
    while (!text.empty()) {
        const std::size_t length = detail::DecodeUtf8(text).length;
        if (length == 0) {
            return false;
        }
        text.remove_prefix(length);
    }
    return true;
}

#if !defined(_WIN32)
bool isAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

struct LocaleFree {
    void operator()(locale_t locale) const { freelocale(locale); }
};
using LocaleHandle = std::unique_ptr<std::remove_pointer_t<locale_t>, LocaleFree>;

// `text` in the character set `codeset` converted to UTF-8; nothing when it does not convert.
std::optional<std::string> toUtf8(std::string_view text, const char* codeset) {
    if (isUtf8(text) && (std::string_view(codeset) == "UTF-8" || isAscii(text))) {
        return std::string(text);
    }
    const iconv_t converter = iconv_open("UTF-8", codeset);
    if (converter == reinterpret_cast<iconv_t>(-1)) {
        return std::nullopt;
    }
    std::vector<char> out(text.size() * 4 + 4);
    char* in = const_cast<char*>(text.data());
    std::size_t inLeft = text.size();
    char* to = out.data();
    std::size_t outLeft = out.size();
    const std::size_t done = iconv(converter, &in, &inLeft, &to, &outLeft);
    iconv_close(converter);
    if (done == static_cast<std::size_t>(-1) || inLeft != 0) {
        return std::nullopt;
    }
    return std::string(out.data(), to);
}

// The text of the process's locale (the one the desktop set), in its own character set.
std::optional<std::string> localeReason(int code) {
    const LocaleHandle current(duplocale(LC_GLOBAL_LOCALE));
    if (!current) {
        return std::nullopt;
    }
    const char* text = strerror_l(code, current.get());
    const char* codeset = nl_langinfo_l(CODESET, current.get());
    if (text == nullptr || codeset == nullptr) {
        return std::nullopt;
    }
    return toUtf8(text, codeset);
}

std::string cReason(int code) {
    const LocaleHandle c(newlocale(LC_ALL_MASK, "C", nullptr));
    const char* text = c ? strerror_l(code, c.get()) : nullptr;
    return text != nullptr ? text : "ошибка " + std::to_string(code);
}
#endif

}  // namespace

std::string SystemReason(int code) {
#if defined(_WIN32)
    // The C run-time's texts are English ASCII.
    const std::string text = std::strerror(code);
    return isUtf8(text) ? text : "ошибка " + std::to_string(code);
#else
    if (auto text = localeReason(code)) {
        return *text;
    }
    return cReason(code);
#endif
}

std::string FileError::Describe() const {
    return operation + ": " + reason + " (" + path.string() + ")";
}

FileError SystemFileError(std::string operation, std::filesystem::path path, int code) {
    return FileError{std::move(operation), std::move(path), SystemReason(code), code};
}

}  // namespace qm7x::os
