#!/usr/bin/env python3
"""An outside Python program using the trqm7x_math module: every operation with the known
answers, numpy arrays and the standard library's arrays as buffers, and the refusals.

Usage: python_client.py [--require-numpy]
"""
import array
import ctypes.util
import os
import subprocess
import sys

import trqm7x_math as tm

try:
    import numpy as np
except ImportError:
    np = None

KNOWN = [0.5, -40.25, 11.875, -40.5, 9.75, -0.125]


def expect(what, got, want):
    if got != want:
        raise AssertionError(f"{what}: got {got!r}, expected {want!r}")


def refused(what, call):
    try:
        call()
    except tm.ArgumentError as error:
        return str(error)
    raise AssertionError(f"{what}: not refused")


def main():
    if "--require-numpy" in sys.argv and np is None:
        raise SystemExit("numpy is not available")
    params = tm.ConvParams(shift=1, divisor=2, format=0, offset=(0.5, 0.25, 0.125))
    coeff = [0, 0, 0, 0, 1, 10, 2, 20, 4, 40]
    raw = array.array("i", [1, -2, 3, -4, 5, 0])
    expect("translate_results", list(tm.translate_results(params, coeff, [0, 1, 2], raw, 2)),
           KNOWN)
    expect("translate_results_float",
           list(tm.translate_results_float(params, coeff, [0, 1, 2], raw.tobytes(), 2)), KNOWN)
    expect("output_length", tm.output_length(1, 3, 2), 6)

    # Format 1: 16-bit codes, one spare slot after each frame of three.
    packed = tm.ConvParams(shift=1, divisor=2, format=1, offset=(0.5, 0.25, 0.125))
    raw16 = array.array("h", [1, -2, 3, 999, -4, 5, 0, 999])
    expect("format 1", list(tm.translate_results(packed, coeff, [0, 1, 2], raw16, 2)), KNOWN)

    if np is not None:
        out = np.zeros(6)
        result = tm.translate_results(params, np.array(coeff, dtype=np.float64), [0, 1, 2],
                                      np.array([1, -2, 3, -4, 5, 0], dtype=np.int32), 2, out=out)
        assert result is out
        expect("numpy out", out.tolist(), KNOWN)
        out32 = np.zeros(6, dtype=np.float32)
        tm.translate_results_float(params, coeff, [0, 1, 2], raw, 2, out=out32)
        expect("numpy float out", out32.tolist(), KNOWN)
        # In place on a numpy coefficient array.
        np_coeff = np.array(coeff, dtype=np.float64)
        zero = tm.ConvParams()
        tm.recalc_coeff(zero, np_coeff, 0.0, 1, np.array([100] * 4 + [1000], dtype=np.int32))
        tm.recalc_coeff(zero, np_coeff, 2.0, 1, np.full(5, 300, dtype=np.int32))
        expect("numpy gain", np_coeff[4], 0.01)
        refused("float64 samples", lambda: tm.recalc_coeff(zero, np_coeff, 0.0, 1, np.zeros(5)))
        refused("strided out", lambda: tm.translate_results(params, coeff, [0, 1, 2], raw, 2,
                                                            out=np.zeros(12)[::2]))

    # Recalculation on a list: the list is updated.
    params = tm.ConvParams()
    tm.recalc_coeff(params, coeff, 0.0, 1, [100, 100, 100, 100, 1000])
    expect("zero offset", params.offset[0], 100.0)
    tm.recalc_coeff(params, coeff, 2.0, 1, [300] * 5)
    expect("gain", coeff[4], 0.01)
    expect("offset kept in codes", params.offset[0], 1.0)

    expect("pov_check_value_abs", tm.pov_check_value_abs(1.00000001, 1.0, 0.0), (False, 0.0))
    expect("pov_check_value_abs outside", tm.pov_check_value_abs(1.5, 1.0, 0.4)[0], True)
    expect("pov_check_value_proc", tm.pov_check_value_proc(10.0, 1.0, 0.99, 0.5),
           (False, "  0.50", "  -0.10"))
    expect("pov_check_value_proc outside", tm.pov_check_value_proc(10.0, 1.0, 1.06, 0.5)[0], True)

    # What the library refuses, and buffers too small for the call.
    p = tm.ConvParams(shift=1, divisor=2)
    refused("no channel", lambda: tm.translate_results(p, coeff, [], raw, 2))
    refused("four channels", lambda: tm.translate_results(p, coeff, [0, 1, 2, 0], raw, 2))
    refused("channel 3", lambda: tm.translate_results(p, coeff, [0, 3], raw, 2))
    refused("block_len 0", lambda: tm.translate_results(p, coeff, [0, 1, 2], raw, 0))
    refused("divisor 0", lambda: tm.translate_results(tm.ConvParams(divisor=0), coeff, [0], raw,
                                                      1))
    refused("raw too short", lambda: tm.translate_results(p, coeff, [0, 1, 2], raw, 3))
    refused("coeff too short", lambda: tm.translate_results(p, coeff[:9], [0, 1, 2], raw, 2))
    refused("out too short", lambda: tm.translate_results(p, coeff, [0, 1, 2], raw, 2,
                                                          out=array.array("d", [0.0] * 5)))
    refused("out of the wrong type", lambda: tm.translate_results(
        p, coeff, [0, 1, 2], raw, 2, out=array.array("f", [0.0] * 6)))
    refused("channel 4", lambda: tm.recalc_coeff(p, coeff, 0.0, 4, [1, 2, 3]))
    refused("no sample", lambda: tm.recalc_coeff(p, coeff, 0.0, 1, []))
    refused("all channels, too few samples",
            lambda: tm.recalc_coeff(p, coeff, 0.0, 0, [1, 2, 3, 4, 5], sample_count=2))
    refused("params of another type", lambda: tm.translate_results(None, coeff, [0], raw, 1))

    # Nothing is converted behind the caller's back: buffers of another element type or byte
    # order, and list values beyond int32, are refused as the type errors they are.
    def refused_as(what, error_type, call):
        try:
            call()
        except error_type as error:
            return str(error)
        raise AssertionError(f"{what}: not refused with {error_type.__name__}")

    refused_as("list value beyond int32", OverflowError,
               lambda: tm.recalc_coeff(tm.ConvParams(), list(coeff), 0.0, 1, [2**32 + 1000] * 5))
    refused_as("float in an int32 list", TypeError,
               lambda: tm.recalc_coeff(tm.ConvParams(), list(coeff), 0.0, 1, [1.5] * 5))
    refused_as("raw of doubles", TypeError, lambda: tm.translate_results(
        p, coeff, [0, 1, 2], array.array("d", [1, -2, 3, -4, 5, 0]), 2))
    refused_as("raw of 64-bit integers", TypeError, lambda: tm.translate_results(
        p, coeff, [0, 1, 2], array.array("q", [1, -2, 3, -4, 5, 0]), 2))
    refused_as("16-bit raw for 32-bit codes", TypeError, lambda: tm.translate_results(
        p, coeff, [0, 1, 2], raw16, 2))
    if np is not None:
        for dtype in (np.float64, np.int64, np.dtype(">i4")):
            refused_as(f"raw of {np.dtype(dtype)}", TypeError, lambda: tm.translate_results(
                p, coeff, [0, 1, 2], np.array([1, -2, 3, -4, 5, 0], dtype=dtype), 2))
        refused_as("big-endian samples", TypeError, lambda: tm.recalc_coeff(
            tm.ConvParams(), list(coeff), 0.0, 1, np.full(5, 300, dtype=">i4")))
    # Another library named in TRQM7X_MATH_LIBRARY is an OSError that names it.
    wrong = ctypes.util.find_library("c")
    check = subprocess.run(
        [sys.executable, "-c", "import trqm7x_math as tm\n"
         "try:\n    tm.pov_check_value_abs(1.0, 1.0, 0.1)\n"
         "except OSError as error:\n    print(error)\n"],
        env=dict(os.environ, TRQM7X_MATH_LIBRARY=wrong), capture_output=True, text=True)
    expect("wrong library", (check.returncode, wrong in check.stdout, "lacks" in check.stdout),
           (0, True, True))
    print(f"Python client: known answers (trqm7x_math {tm.__version__}, "
          f"numpy {'used' if np is not None else 'not available'})")


if __name__ == "__main__":
    main()
