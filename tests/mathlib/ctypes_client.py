#!/usr/bin/env python3
"""An outside client of trqm7x_math: loads the library with ctypes and calls every export.

Usage: ctypes_client.py <path of libtrqm7x_math.so>
"""
import ctypes
import struct
import sys


class ConvParams(ctypes.Structure):
    _fields_ = [
        ("shift", ctypes.c_int32),
        ("divisor", ctypes.c_uint32),
        ("format", ctypes.c_int32),
        ("reserved", ctypes.c_int32),
        ("offset", ctypes.c_double * 3),
    ]


def bind(lib):
    i32, dbl = ctypes.c_int32, ctypes.c_double
    conv = [ctypes.POINTER(ConvParams), ctypes.POINTER(dbl), ctypes.POINTER(i32), i32,
            ctypes.c_void_p]
    lib.trqm7xMath_translateResults.argtypes = conv + [ctypes.POINTER(dbl), i32]
    lib.trqm7xMath_translateResultsFloat.argtypes = conv + [ctypes.POINTER(ctypes.c_float), i32]
    lib.trqm7xMath_RecalcCoeff.argtypes = [ctypes.POINTER(ConvParams), ctypes.POINTER(dbl), dbl,
                                           i32, ctypes.POINTER(i32), i32]
    lib.trqm7xMath_povCheckValueAbs.argtypes = [dbl, dbl, dbl, ctypes.POINTER(dbl)]
    lib.trqm7xMath_povCheckValueProc.argtypes = [dbl, dbl, dbl, dbl, ctypes.c_char_p,
                                                 ctypes.c_char_p]
    for name in ("translateResults", "translateResultsFloat", "RecalcCoeff", "povCheckValueAbs",
                 "povCheckValueProc"):
        getattr(lib, "trqm7xMath_" + name).restype = i32


def expect(what, got, want):
    if got != want:
        raise AssertionError(f"{what}: got {got!r}, expected {want!r}")


def main():
    assert ctypes.sizeof(ConvParams) == 40
    lib = ctypes.CDLL(sys.argv[1])
    bind(lib)

    # Gains (1, 10), (2, 20), (4, 40); offsets 0.5, 0.25, 0.125; scale 2^1 / 2 = 1.
    coeff = (ctypes.c_double * 10)(0, 0, 0, 0, 1, 10, 2, 20, 4, 40)
    params = ConvParams(1, 2, 0, 0, (ctypes.c_double * 3)(0.5, 0.25, 0.125))
    chans = (ctypes.c_int32 * 3)(0, 1, 2)
    raw = ctypes.create_string_buffer(struct.pack("<6i", 1, -2, 3, -4, 5, 0), 24)
    out = (ctypes.c_double * 6)()
    expect("translateResults", lib.trqm7xMath_translateResults(
        ctypes.byref(params), coeff, chans, 3, raw, out, 2), 0)
    expect("translated values", list(out), [0.5, -40.25, 11.875, -40.5, 9.75, -0.125])

    # Format 1, three channels, blockLen 2: two frames of three values and a spare slot.
    params.format = 1
    raw16 = ctypes.create_string_buffer(struct.pack("<8h", 1, -2, 3, 999, -4, 5, 0, 999), 16)
    out_float = (ctypes.c_float * 6)()
    expect("translateResultsFloat", lib.trqm7xMath_translateResultsFloat(
        ctypes.byref(params), coeff, chans, 3, raw16, out_float, 2), 0)
    expect("translated floats", list(out_float), [0.5, -40.25, 11.875, -40.5, 9.75, -0.125])

    # Zero point on channel 1 (library channel 0): 1000 is outside the band, g = 100.
    params = ConvParams(0, 1, 0, 0, (ctypes.c_double * 3)(0, 0, 0))
    samples = (ctypes.c_int32 * 5)(100, 100, 100, 100, 1000)
    expect("RecalcCoeff", lib.trqm7xMath_RecalcCoeff(
        ctypes.byref(params), coeff, ctypes.c_double(0.0), 1, samples, 5), 0)
    expect("zero offset", params.offset[0], 100.0)
    # Gain point: with the offset of 100 codes kept, 2.0 at code 300 gives the gain 2 / 200.
    samples = (ctypes.c_int32 * 5)(300, 300, 300, 300, 300)
    lib.trqm7xMath_RecalcCoeff(ctypes.byref(params), coeff, ctypes.c_double(2.0), 1, samples, 5)
    expect("gain", coeff[4], 0.01)
    expect("offset kept in codes", params.offset[0], 1.0)

    deviation = ctypes.c_double(-1)
    expect("povCheckValueAbs", lib.trqm7xMath_povCheckValueAbs(1.00000001, 1.0, 0.0,
                                                               ctypes.byref(deviation)), 0)
    expect("absolute deviation", deviation.value, 0.0)
    expect("povCheckValueAbs outside", lib.trqm7xMath_povCheckValueAbs(1.5, 1.0, 0.4, None), 1)

    tol_text = ctypes.create_string_buffer(32)
    dev_text = ctypes.create_string_buffer(32)
    expect("povCheckValueProc", lib.trqm7xMath_povCheckValueProc(10.0, 1.0, 0.99, 0.5, tol_text,
                                                                 dev_text), 0)
    expect("tolerance text", tol_text.value, b"  0.50")
    expect("deviation text", dev_text.value, b"  -0.10")
    expect("povCheckValueProc without texts",
           lib.trqm7xMath_povCheckValueProc(10.0, 1.0, 1.06, 0.5, None, None), 1)
    print("all five exports answered as expected")


if __name__ == "__main__":
    main()
