/* Carrier driver trholdr_32: the operations of the TRHOLDR mezzanine carrier (VXI module, or a
 * Vektrum box over LXI or USB) that the program uses. Outside the program; linked by name. */
#ifndef TRHOLDR_H
#define TRHOLDR_H

#include "visatype.h"

#if defined(_WIN32)
#if defined(TRHOLDR_BUILDING)
#define TRHOLDR_API __declspec(dllexport)
#else
#define TRHOLDR_API __declspec(dllimport)
#endif
#else
#define TRHOLDR_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Text attribute of trholdr_m_get_attribute: the carrier's descriptive text. */
#define TRHOLDR_ATTR_DESCRIPTION ((ViInt32)0x3FFF0880)
/* Mezzanine type code of the QM7X reported by trholdr_m_type_q. */
#define TRHOLDR_TYPE_QM7X 31

TRHOLDR_API ViStatus _VI_FUNC trholdr_init(ViRsrc resourceName, ViBoolean idQuery,
                                           ViBoolean resetDevice, ViSession* vi);
TRHOLDR_API ViStatus _VI_FUNC trholdr_close(ViSession vi);
TRHOLDR_API ViStatus _VI_FUNC trholdr_m_type_q(ViSession vi, ViInt16 position, ViInt16* present,
                                               ViInt16* typeCode);
TRHOLDR_API ViStatus _VI_FUNC trholdr_m_get_attribute(ViSession vi, ViInt32 attribute,
                                                      ViChar text[]);
TRHOLDR_API ViStatus _VI_FUNC trholdr_mem_q(ViSession vi, ViUInt32* size);
/* Reads count raw samples of the mezzanine's last acquisition, from sample first on. */
TRHOLDR_API ViStatus _VI_FUNC trholdr_m_read_block(ViSession mezSession, ViInt32 first,
                                                   ViInt32 count, ViInt32 samples[]);

#ifdef __cplusplus
}
#endif

#endif /* TRHOLDR_H */
