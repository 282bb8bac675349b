// A VISA library that exports only some operations, for the loader's tests: the resource manager
// and a text query whose reply is longer than any buffer the program offers.
#include <algorithm>
#include <cstdarg>
#include <cstring>
#include <string_view>

#include "visatype.h"

extern "C" {

__attribute__((visibility("default"))) ViStatus viOpenDefaultRM(ViPSession vi) {
    *vi = 42;
    return VI_SUCCESS;
}

// Honours "%#t" (count in: the buffer size with its terminator; out: the characters stored).
__attribute__((visibility("default"))) ViStatus viQueryf(ViSession, ViConstString writeFmt,
                                                         ViConstString readFmt, ...) {
    if (std::string_view(writeFmt) != "*IDN?\n" || std::string_view(readFmt) != "%#t") {
        return VI_ERROR_INV_FMT;
    }
    static constexpr std::string_view kReply = "ARKOMETRIX,TRHOLDR,0123456789,ABCDEFGHIJ\n";
    va_list args;
    va_start(args, readFmt);
    auto* count = va_arg(args, ViInt32*);
    auto* buffer = va_arg(args, ViChar*);
    va_end(args);
    if (*count < 1) {
        return VI_ERROR_INV_FMT;
    }
    const auto length = std::min<std::size_t>(kReply.size(), static_cast<std::size_t>(*count - 1));
    std::memcpy(buffer, kReply.data(), length);
    buffer[length] = '\0';
    *count = static_cast<ViInt32>(length);
    return VI_SUCCESS;
}
}
