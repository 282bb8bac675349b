/* trqm7x_math: measurement arithmetic of the QM7X voltage-measuring mezzanine.
 *
 * Converts raw converter results to volts, recalculates correction coefficients from calibration
 * samples and judges verification values. The library keeps no state and validates no argument:
 * every record and array is owned by the caller. */
#ifndef TRQM7X_MATH_H
#define TRQM7X_MATH_H

#include <stdint.h>

#if defined(_WIN32)
#if defined(TRQM7X_MATH_BUILDING)
#define TRQM7X_MATH_API __declspec(dllexport)
#else
#define TRQM7X_MATH_API __declspec(dllimport)
#endif
#define TRQM7X_MATH_CALL __cdecl
#else
#define TRQM7X_MATH_API __attribute__((visibility("default")))
#define TRQM7X_MATH_CALL
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Conversion parameters of one mezzanine; 40 bytes, little-endian, shared with outside callers. */
typedef struct ConvParams {
    int32_t shift;    /* power-of-two exponent of the scale factor, 0..30 */
    uint32_t divisor; /* divisor of the scale factor, never 0 */
    int32_t format;   /* raw layout: 0 = int32, 1 = int16 pairs, 2 (or other) = packed 10-bit */
    int32_t reserved; /* not read */
    double offset[3]; /* zero offsets of channels 0..2, in volts */
} ConvParams;

/* Converts a block of raw results of chanCount channels into volts (double output). Returns 0. */
TRQM7X_MATH_API int32_t TRQM7X_MATH_CALL
trqm7xMath_translateResults(const ConvParams* params, const double* coeff, const int32_t* chanList,
                            int32_t chanCount, const void* raw, double* out, int32_t blockLen);

/* The same with single-precision output. Returns 0. */
TRQM7X_MATH_API int32_t TRQM7X_MATH_CALL trqm7xMath_translateResultsFloat(
    const ConvParams* params, const double* coeff, const int32_t* chanList, int32_t chanCount,
    const void* raw, float* out, int32_t blockLen);

/* Recalculates zero offsets (|refValue| <= 0.001) or the polarity gain of one calibration point
 * for channel 1..3 (library channel 0..2), or for all three channels when channel is 0. Returns 0.
 */
TRQM7X_MATH_API int32_t TRQM7X_MATH_CALL trqm7xMath_RecalcCoeff(ConvParams* params, double* coeff,
                                                                double refValue, int32_t channel,
                                                                const int32_t* samples,
                                                                int32_t sampleCount);

/* Absolute tolerance check: 1 = outside tolerance, 0 = within; a NaN value, reference or
 * tolerance is outside. deviation may be null. */
TRQM7X_MATH_API int32_t TRQM7X_MATH_CALL trqm7xMath_povCheckValueAbs(double measured,
                                                                     double reference,
                                                                     double tolerance,
                                                                     double* deviation);

/* Percent tolerance check with protocol texts (buffers of 32 characters, either may be null):
 * 1 = outside tolerance, 0 = within. */
TRQM7X_MATH_API int32_t TRQM7X_MATH_CALL trqm7xMath_povCheckValueProc(double normValue,
                                                                      double reference,
                                                                      double measured,
                                                                      double tolPercent,
                                                                      char* tolText, char* devText);

#ifdef __cplusplus
}
#endif

#endif /* TRQM7X_MATH_H */
