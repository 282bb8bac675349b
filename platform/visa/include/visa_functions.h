/* Prototypes of the VISA operations the program uses, as a VISA library exports them. The program
 * never calls these directly: platform/visa loads a library at run time and resolves them by name.
 * A VISA library (the simulated bench's among them) implements exactly these signatures. */
#ifndef QM7X_VISA_FUNCTIONS_H
#define QM7X_VISA_FUNCTIONS_H

#include "visatype.h"

#ifdef __cplusplus
extern "C" {
#endif

ViStatus _VI_FUNC viOpenDefaultRM(ViPSession vi);
ViStatus _VI_FUNC viFindRsrc(ViSession sesn, ViConstString expr, ViPFindList vi, ViPUInt32 retCnt,
                             ViChar desc[]);
ViStatus _VI_FUNC viFindNext(ViFindList vi, ViChar desc[]);
ViStatus _VI_FUNC viOpen(ViSession sesn, ViConstRsrc name, ViAccessMode mode, ViUInt32 timeout,
                         ViPSession vi);
ViStatus _VI_FUNC viClose(ViObject vi);
ViStatus _VI_FUNC viGetAttribute(ViObject vi, ViAttr attrName, void* attrValue);
ViStatus _VI_FUNC viLock(ViSession vi, ViAccessMode lockType, ViUInt32 timeout,
                         ViConstKeyId requestedKey, ViChar accessKey[]);
ViStatus _VI_FUNC viUnlock(ViSession vi);
ViStatus _VI_FUNC viClear(ViSession vi);
ViStatus _VI_FUNC viWrite(ViSession vi, ViConstBuf buf, ViUInt32 cnt, ViPUInt32 retCnt);
ViStatus _VI_FUNCC viQueryf(ViSession vi, ViConstString writeFmt, ViConstString readFmt, ...);

#ifdef __cplusplus
}
#endif

#endif /* QM7X_VISA_FUNCTIONS_H */
