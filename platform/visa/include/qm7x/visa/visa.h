// The VISA operations the program uses, reached through a VISA library loaded at run time.
//
// The library is the one named by the environment variable QM7X_VISA_LIBRARY, else the platform's
// (libvisa.so.0, then libvisa.so; visa32.dll on Windows). It is loaded on the first call. When it
// cannot be loaded every call returns VI_ERROR_LIBRARY_NFOUND; when it lacks an operation, that
// operation returns VI_ERROR_NSUP_OPER. The program then runs without instruments.
//
// The functions take the same arguments as the standard VISA operations, so calling code reads
// like VISA code: `qm7x::visa::viOpen(rm, name, VI_NO_LOCK, 0, &vi)`.
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "visatype.h"

namespace qm7x::visa {

ViStatus viOpenDefaultRM(ViPSession vi);
ViStatus viFindRsrc(ViSession sesn, ViConstString expr, ViPFindList vi, ViPUInt32 retCnt,
                    ViChar desc[]);
ViStatus viFindNext(ViFindList vi, ViChar desc[]);
ViStatus viOpen(ViSession sesn, ViConstRsrc name, ViAccessMode mode, ViUInt32 timeout,
                ViPSession vi);
ViStatus viClose(ViObject vi);
ViStatus viGetAttribute(ViObject vi, ViAttr attrName, void* attrValue);
ViStatus viLock(ViSession vi, ViAccessMode lockType, ViUInt32 timeout, ViConstKeyId requestedKey,
                ViChar accessKey[]);
ViStatus viUnlock(ViSession vi);
ViStatus viClear(ViSession vi);

// A query whose reply is read as one text: writes writeFmt (no arguments) and reads the reply with
// the text format "%t" into `reply`. The reply is cut to fit and always terminated, so a device
// that answers more than expected cannot overrun the buffer. Any other read format is refused with
// VI_ERROR_INV_FMT.
ViStatus viQueryf(ViSession vi, ViConstString writeFmt, ViConstString readFmt,
                  std::span<ViChar> reply);

// Writes the bytes of `text` to the device; retCnt (may be null) receives the count written.
ViStatus viWrite(ViSession vi, std::string_view text, ViPUInt32 retCnt);

// What the loader found: VI_SUCCESS when a library is loaded, else VI_ERROR_LIBRARY_NFOUND.
// Loads the library if that has not happened yet.
ViStatus LibraryStatus();
// The file name the library was loaded from (as given to the loader), or the last one tried.
std::string LibraryName();
// Why no library could be loaded: the loader's reason for each file tried, "; "-separated (dlerror
// names the file); empty when a library is loaded.
std::string LibraryLoadError();

}  // namespace qm7x::visa
