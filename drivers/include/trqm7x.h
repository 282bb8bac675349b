/* Mezzanine driver trqm7x_32: the operations of the QM7X voltage-measuring mezzanine that the
 * program uses. The driver lies outside the program; the program links it by name. */
#ifndef TRQM7X_H
#define TRQM7X_H

#include "visatype.h"

#if defined(_WIN32)
#if defined(TRQM7X_BUILDING)
#define TRQM7X_API __declspec(dllexport)
#else
#define TRQM7X_API __declspec(dllimport)
#endif
#else
#define TRQM7X_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Attribute of trqm7x_get_attribute: the address of the driver's 112-byte coefficient record. */
#define TRQM7X_ATTR_COEFF_RECORD 1
/* Length of every text buffer the driver fills. */
#define TRQM7X_TEXT_LEN 256

TRQM7X_API ViStatus _VI_FUNC trqm7x_init(ViRsrc resourceName, ViBoolean idQuery,
                                         ViBoolean resetDevice, ViSession* vi);
TRQM7X_API ViStatus _VI_FUNC trqm7x_connect(ViSession vi, ViSession carrier, ViInt16 position,
                                            ViInt16 flag1, ViInt16 flag2);
TRQM7X_API ViStatus _VI_FUNC trqm7x_alloc(ViSession vi, ViInt32 size);
/* attribute 1 writes a pointer to the coefficient record into *value (a void**). */
TRQM7X_API ViStatus _VI_FUNC trqm7x_get_attribute(ViSession vi, ViInt32 attribute, void* value);
TRQM7X_API ViStatus _VI_FUNC trqm7x_config_events(ViSession vi, ViInt32 events, ViInt32 mode);
TRQM7X_API ViStatus _VI_FUNC trqm7x_close(ViSession vi);
TRQM7X_API ViStatus _VI_FUNC trqm7x_error_message(ViSession vi, ViStatus status, ViChar message[]);
TRQM7X_API ViStatus _VI_FUNC trqm7x_revision_query(ViSession vi, ViChar driverRevision[],
                                                   ViChar instrumentRevision[]);
TRQM7X_API ViStatus _VI_FUNC trqm7x_self_test(ViSession vi, ViInt16* result, ViChar message[]);
TRQM7X_API ViStatus _VI_FUNC trqm7x_readFlash(ViSession vi);
TRQM7X_API ViStatus _VI_FUNC trqm7x_writeFlash(ViSession vi);
TRQM7X_API ViStatus _VI_FUNC trqm7x_resetCoeff(ViSession vi);
TRQM7X_API ViStatus _VI_FUNC trqm7x_reset(ViSession vi);
TRQM7X_API ViStatus _VI_FUNC trqm7x_displacement(ViSession vi);
TRQM7X_API ViStatus _VI_FUNC trqm7x_range_q(ViSession vi, ViInt16 channel, ViReal64* range);
TRQM7X_API ViStatus _VI_FUNC trqm7x_mode_block(ViSession vi, ViInt32 count);
TRQM7X_API ViStatus _VI_FUNC trqm7x_sample_period(ViSession vi, ViReal64 period);
TRQM7X_API ViStatus _VI_FUNC trqm7x_config_chans(ViSession vi, ViUInt16 mask);
TRQM7X_API ViStatus _VI_FUNC trqm7x_input_trigger(ViSession vi, ViInt16 channel, ViInt16 state);
TRQM7X_API ViStatus _VI_FUNC trqm7x_start(ViSession vi);
TRQM7X_API ViStatus _VI_FUNC trqm7x_stop(ViSession vi);
TRQM7X_API ViStatus _VI_FUNC trqm7x_state(ViSession vi, ViInt16* busy, void* reserved);
TRQM7X_API ViStatus _VI_FUNC trqm7x_read_block(ViSession vi, ViInt32 first, ViInt32 count,
                                               ViReal64 results[]);
TRQM7X_API ViStatus _VI_FUNC trqm7x_extcalibr(ViSession vi, ViReal64 uPos, ViReal64 uNeg,
                                              ViInt32 samplesPos[], ViInt32 samplesNeg[],
                                              ViInt32 count, ViInt16 channel);

#ifdef __cplusplus
}
#endif

#endif /* TRQM7X_H */
