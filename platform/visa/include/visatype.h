/* The VISA type names, status values and attribute numbers that the program, the instrument
 * drivers and the simulated VISA library share. Values are those of the VISA standard. */
#ifndef QM7X_VISATYPE_H
#define QM7X_VISATYPE_H

#include <stdint.h>

#if defined(_WIN32)
#define _VI_FUNC __stdcall
#define _VI_FUNCC __cdecl
#else
#define _VI_FUNC
#define _VI_FUNCC
#endif

typedef uint32_t ViUInt32;
typedef int32_t ViInt32;
typedef uint16_t ViUInt16;
typedef int16_t ViInt16;
typedef uint8_t ViUInt8;
typedef int8_t ViInt8;
typedef uint64_t ViUInt64;
typedef char ViChar;
typedef unsigned char ViByte;
typedef double ViReal64;
typedef float ViReal32;
typedef ViUInt16 ViBoolean;
typedef ViInt32 ViStatus;
typedef ViUInt32 ViObject;
typedef ViObject ViSession;
typedef ViObject ViFindList;
typedef ViUInt32 ViAttr;
typedef ViUInt32 ViAccessMode;
typedef ViUInt64 ViAttrState;
typedef ViChar* ViString;
typedef const ViChar* ViConstString;
typedef ViString ViRsrc;
typedef ViConstString ViConstRsrc;
typedef ViConstString ViConstKeyId;
typedef ViSession* ViPSession;
typedef ViFindList* ViPFindList;
typedef ViUInt32* ViPUInt32;
typedef ViInt16* ViPInt16;
typedef ViUInt16* ViPUInt16;
typedef ViReal64* ViPReal64;
typedef void* ViAddr;
typedef const ViByte* ViConstBuf;

#define VI_NULL 0
#define VI_TRUE 1
#define VI_FALSE 0
#define VI_SUCCESS 0
#define VI_FIND_BUFLEN 256

/* Completion and warning codes */
#define VI_SUCCESS_MAX_CNT ((ViStatus)0x3FFF0006)
#define VI_WARN_UNKNOWN_STATUS ((ViStatus)0x3FFF0085)

/* Error codes */
#define VI_ERROR_SYSTEM_ERROR ((ViStatus)0xBFFF0000)
#define VI_ERROR_INV_OBJECT ((ViStatus)0xBFFF000E)
#define VI_ERROR_RSRC_LOCKED ((ViStatus)0xBFFF000F)
#define VI_ERROR_INV_EXPR ((ViStatus)0xBFFF0010)
#define VI_ERROR_RSRC_NFOUND ((ViStatus)0xBFFF0011)
#define VI_ERROR_INV_RSRC_NAME ((ViStatus)0xBFFF0012)
#define VI_ERROR_INV_ACC_MODE ((ViStatus)0xBFFF0013)
#define VI_ERROR_TMO ((ViStatus)0xBFFF0015)
#define VI_ERROR_NSUP_ATTR ((ViStatus)0xBFFF001D)
#define VI_ERROR_INV_LOCK_TYPE ((ViStatus)0xBFFF0020)
#define VI_ERROR_ALLOC ((ViStatus)0xBFFF003C)
#define VI_ERROR_IO ((ViStatus)0xBFFF003E)
#define VI_ERROR_INV_FMT ((ViStatus)0xBFFF003F)
#define VI_ERROR_NSUP_OPER ((ViStatus)0xBFFF0067)
#define VI_ERROR_LIBRARY_NFOUND ((ViStatus)0xBFFF009E)

/* Attributes used by the instrument search */
#define VI_ATTR_MAINFRAME_LA ((ViAttr)0x3FFF0070)
#define VI_ATTR_VXI_LA ((ViAttr)0x3FFF00D5)
#define VI_ATTR_MANF_ID ((ViAttr)0x3FFF00D9)
#define VI_ATTR_MODEL_CODE ((ViAttr)0x3FFF00DF)
#define VI_ATTR_SLOT ((ViAttr)0x3FFF00E8)
#define VI_ATTR_INTF_TYPE ((ViAttr)0x3FFF0171)
#define VI_ATTR_TCPIP_ADDR ((ViAttr)0xBFFF0195)

/* Interface types */
#define VI_INTF_GPIB 1
#define VI_INTF_VXI 2
#define VI_INTF_GPIB_VXI 3
#define VI_INTF_ASRL 4
#define VI_INTF_PXI 5
#define VI_INTF_TCPIP 6
#define VI_INTF_USB 7

/* Access modes and time-outs */
#define VI_NO_LOCK ((ViAccessMode)0)
#define VI_EXCLUSIVE_LOCK ((ViAccessMode)1)
#define VI_SHARED_LOCK ((ViAccessMode)2)
#define VI_TMO_IMMEDIATE 0

#endif /* QM7X_VISATYPE_H */
