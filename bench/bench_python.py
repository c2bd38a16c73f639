#!/usr/bin/python3
"""Speed of the Python module against the general fluid-mechanics package
fluids (Debian's python3-fluids), on the same realistic inputs.

    PYTHONPATH=build/python /usr/bin/python3 bench/bench_python.py [--n 1000000] [--quick]

Inputs: Reynolds numbers log-uniform over 1e4..1e6 and relative roughnesses
log-uniform over 1e-5..5e-3 (water and air in building pipes and ducts,
steel to smooth plastic), inside the Swamee-Jain range.  fluids is called
per element from Python, as a script over many pipes calls it; tqrvn once
over the arrays.  On a shared machine the least disturbed timing of each
counts: the best chunk of 20000 calls for fluids, the best of several runs
for tqrvn.  Prints nanoseconds per element and the ratios; the
targets are GetLmd over an array at least 5 times faster than fluids'
Colebrook, the closed forms (x_TF_SJ) at least 50 times faster than fluids'
Swamee-Jain, and one scalar call at most 300 ns.  Skips, saying so, when
fluids is not installed.  --quick times fluids' Colebrook on a sample of
20000 elements instead of all of them (it takes some 30 us per call).
"""
import argparse
import os
import sys
import time
import timeit

import numpy as np

import tqrvn


def per_element(seconds, n):
    return seconds / n * 1e9


def best_of(function, repeat):
    best = float("inf")
    for _ in range(repeat):
        start = time.perf_counter()
        function()
        best = min(best, time.perf_counter() - start)
    return best


def per_call_of_chunks(function, xs, ys, chunk=20_000):
    """ns per call of function over all pairs, timed in chunks: the least
    disturbed chunk counts, as the best of several runs counts for tqrvn (the
    machine may be shared)."""
    best = float("inf")
    for i in range(0, len(xs), chunk):
        part = list(zip(xs[i:i + chunk], ys[i:i + chunk]))
        start = time.perf_counter()
        for x, y in part:
            function(x, y)
        best = min(best, per_element(time.perf_counter() - start, len(part)))
    return best


def per_array_chunks(function, xs, ys, chunk=20_000):
    """ns per element of function over the arrays, timed in chunks as fluids
    is (the best chunk counts)."""
    best = float("inf")
    for i in range(0, len(xs), chunk):
        a, b = xs[i:i + chunk], ys[i:i + chunk]
        start = time.perf_counter()
        function(a, b)
        best = min(best, per_element(time.perf_counter() - start, len(a)))
    return best


def scalar_call_ns(call, number=200_000):
    return min(timeit.repeat(call, number=number, repeat=5)) / number * 1e9


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--n", type=int, default=1_000_000, help="number of inputs (default 1e6)")
    parser.add_argument("--quick", action="store_true", help="time fluids' Colebrook on 20000 inputs only")
    args = parser.parse_args()
    try:
        from fluids.friction import Colebrook, Swamee_Jain_1976
    except ImportError:
        print("bench_python: fluids is not installed (Debian: python3-fluids); nothing to compare with")
        return 0

    rng = np.random.default_rng(20261208)
    re = 10 ** rng.uniform(4, 6, args.n)
    eps = 10 ** rng.uniform(-5, np.log10(5e-3), args.n)
    re_list, eps_list = re.tolist(), eps.tolist()
    print("inputs: %d, processors: %d, tqrvn threads: %d" % (args.n, os.cpu_count(), tqrvn.ThreadCount()))

    k = 20_000 if args.quick else args.n
    fluids_cw = per_call_of_chunks(Colebrook, re_list[:k], eps_list[:k])
    fluids_sj = per_call_of_chunks(Swamee_Jain_1976, re_list, eps_list)

    # tqrvn timed as fluids is: one thread, the best chunk of 20000 elements;
    # and over the whole array at once, on every processor.
    tqrvn.SetThreadCount(1)
    chunked = (per_array_chunks(tqrvn.GetLmd, re, eps), per_array_chunks(tqrvn.x_TF_SJ, re, eps))
    tqrvn.SetThreadCount(0)
    whole = (per_element(best_of(lambda: tqrvn.GetLmd(re, eps), 3), args.n),
             per_element(best_of(lambda: tqrvn.x_TF_SJ(re, eps), 15), args.n))

    print("\nper element, ns          fluids    tqrvn, one thread    tqrvn, whole array on %d threads" % tqrvn.ThreadCount())
    for i, (name, ref) in enumerate((("GetLmd vs Colebrook", fluids_cw), ("x_TF_SJ vs Swamee_Jain", fluids_sj))):
        print("%-24s %8.1f  %8.1f (%6.1fx)      %8.1f (%6.1fx)" % (name, ref, chunked[i], ref / chunked[i],
                                                                 whole[i], ref / whole[i]))
    if args.quick:
        print("(fluids' Colebrook timed on the first %d inputs)" % k)

    calls = {
        "x_LF(1e5)": lambda: tqrvn.x_LF(1e5),
        "x_TF_SJ(1e5, 1e-3)": lambda: tqrvn.x_TF_SJ(1e5, 1e-3),
        "GetLmd(1e5, 1e-3)": lambda: tqrvn.GetLmd(1e5, 1e-3),
        "Swamee_Jain_1976 (fluids)": lambda: Swamee_Jain_1976(1e5, 1e-3),
        "an empty Python function": lambda: None,
    }
    print("\none scalar call, ns (best of 5, timeit's lambda included)")
    for name, call in calls.items():
        print("  %-28s %8.1f" % (name, scalar_call_ns(call)))
    ratio_cw = fluids_cw / min(chunked[0], whole[0])
    ratio_sj = fluids_sj / min(chunked[1], whole[1])
    print("\ntargets: GetLmd %.1fx (>= 5: %s), x_TF_SJ %.1fx (>= 50: %s)" % (
        ratio_cw, "met" if ratio_cw >= 5 else "not met", ratio_sj, "met" if ratio_sj >= 50 else "not met"))
    return 0


if __name__ == "__main__":
    sys.exit(main())
