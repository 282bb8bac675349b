#include "qm7x/os/encoding.h"

#include <iconv.h>

#include <array>
#include <cerrno>
#include <memory>
#include <system_error>

#include "utf8.h"

namespace qm7x::os {
namespace {

constexpr const char* kCp1251 = "WINDOWS-1251";
constexpr const char* kUtf8 = "UTF-8";

struct IconvCloser {
    void operator()(void* cd) const noexcept { iconv_close(static_cast<iconv_t>(cd)); }
};

// One conversion descriptor, closed when it goes out of scope.
class Converter {
  public:
    Converter(const char* to, const char* from) {
        iconv_t cd = iconv_open(to, from);
        if (cd == reinterpret_cast<iconv_t>(-1)) {
            throw std::system_error(errno, std::generic_category(),
                                    std::string("iconv_open ") + from + " -> " + to);
        }
        cd_.reset(cd);
    }

    // Converts as much of [in, in + inLeft) as iconv can; returns false with errno set when it
    // stops early (EILSEQ: an unconvertible or invalid sequence; EINVAL: an incomplete one).
    bool Convert(const char*& in, std::size_t& inLeft, std::string& out) {
        std::array<char, 4096> chunk;  // staging only: output of any length is appended
        while (inLeft > 0) {
            char* outPtr = chunk.data();
            std::size_t outLeft = chunk.size();
            // POSIX declares the input as char** though iconv never writes through it.
            char* inPtr = const_cast<char*>(in);
            const std::size_t rc = iconv(cd_.get(), &inPtr, &inLeft, &outPtr, &outLeft);
            const int error = errno;
            in = inPtr;
            out.append(chunk.data(), chunk.size() - outLeft);
            if (rc == static_cast<std::size_t>(-1) && error != E2BIG) {
                errno = error;
                return false;
            }
        }
        return true;
    }

    // Returns the descriptor to its initial shift state after a skipped sequence.
    void Reset() { iconv(cd_.get(), nullptr, nullptr, nullptr, nullptr); }

  private:
    std::unique_ptr<void, IconvCloser> cd_;
};

}  // namespace

std::string ToCp1251(std::string_view utf8) {
    Converter converter(kCp1251, kUtf8);
    std::string out;
    out.reserve(utf8.size());
    const char* in = utf8.data();
    std::size_t inLeft = utf8.size();
    while (!converter.Convert(in, inLeft, out)) {
        // Skip one whole character the code page lacks, or one byte that is not UTF-8.
        const std::size_t length = detail::DecodeUtf8(std::string_view(in, inLeft)).length;
        const std::size_t skip = length == 0 ? 1 : length;
        in += skip;
        inLeft -= skip;
        out.push_back('?');
        converter.Reset();
    }
    return out;
}

std::string FromCp1251(std::string_view cp1251) {
    Converter converter(kUtf8, kCp1251);
    std::string out;
    out.reserve(cp1251.size() * 2);
    const char* in = cp1251.data();
    std::size_t inLeft = cp1251.size();
    while (!converter.Convert(in, inLeft, out)) {
        ++in;  // a single-byte code page: only one byte can be unmapped
        --inLeft;
        out.append("\xEF\xBF\xBD");
        converter.Reset();
    }
    return out;
}

}  // namespace qm7x::os
