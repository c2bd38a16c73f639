"""The formulas: each function of calc/RVNCalc.h under its own name, its
scalar and array results equal to the library's bit for bit, its docstring."""
import doctest
import inspect
import math
import pathlib
import re
import struct

import numpy as np
import pytest

import tqrvn
from library import function, types_of

HEADER = pathlib.Path(__file__).resolve().parents[2] / "calc" / "RVNCalc.h"


def header_functions():
    names = re.findall(r"TQRVNBASE_API \w+ (\w+)\(", HEADER.read_text())
    return sorted(set(names))


FUNCTIONS = [n for n in header_functions() if n != "UnitSwitch"]


def arity(name):
    return len(inspect.signature(getattr(tqrvn, name)).parameters)


def bits(x):
    return struct.pack("<d", float(x))


def sample(code, rng, n):
    """Values of one parameter: ordinary magnitudes of both signs, zero,
    boundaries of the formulas' ranges, infinities and NaN."""
    if code == "b":
        return [bool(v) for v in rng.integers(0, 2, n)]
    if code == "i":
        return [int(v) for v in rng.integers(-20, 120, n)]
    special = [0.0, -0.0, 1e-6, 2300.0, 4000.0, 1e5, 3.4e6, math.inf, -math.inf, math.nan, 1e-300]
    ordinary = list(10 ** rng.uniform(-4, 7, n) * rng.choice([1, 1, 1, -1], n))
    return [special[i % len(special)] if i % 5 == 0 else ordinary[i] for i in range(n)]


@pytest.mark.parametrize("name", FUNCTIONS)
def test_scalar_and_array_results_are_the_library_s_bit_for_bit(name):
    k = arity(name)
    types = types_of(name, k)
    params = types.split(":")[1]
    cfunc = function(name, k)
    rng = np.random.default_rng(abs(hash(name)) % 2**32)
    n = 97
    columns = [sample(c, rng, n) for c in params]
    expected = [cfunc(*row) for row in zip(*columns)]
    mine = getattr(tqrvn, name)
    for row, want in zip(zip(*columns), expected):
        got = mine(*row)
        assert type(got) is type(want), (name, row)
        assert bits(got) == bits(want), (name, row, got, want)
    arrays = [np.array(c, dtype=np.int32 if p == "i" else None) for c, p in zip(columns, params)]
    got = mine(*arrays)
    assert got.shape == (n,)
    assert got.dtype == (np.bool_ if types[0] == "b" else np.float64)
    assert [bits(g) for g in got] == [bits(w) for w in expected], name


def test_every_function_of_the_header_is_in_the_module_with_a_docstring():
    for name in header_functions():
        f = getattr(tqrvn, name)
        doc = f.__doc__ or ""
        summary = doc.split("\n\n")[0] if name == "UnitSwitch" else doc
        assert len(summary) > 20, name


def test_integer_test_of_inzone_for_ints_and_the_widened_test_otherwise():
    widened = function("InZone", 3, "b:ddd")
    exact = function("InZone", 3, "b:iii")
    assert tqrvn.InZone(3, 3, 3) is exact(3, 3, 3) is True
    assert tqrvn.InZone(1.0, 1.0000005, 2.0) is widened(1.0, 1.0000005, 2.0) is True
    # Beyond the range of int the real test is taken.
    assert tqrvn.InZone(2**40, 0, 2**41) is True
    ints = np.array([0, 1, 3, 4], dtype=np.int32)
    assert tqrvn.InZone(ints, 1, 3).tolist() == [False, True, True, False]


def test_worked_examples_of_the_docstrings_hold():
    finder = doctest.DocTestFinder()
    runner = doctest.DocTestRunner(optionflags=doctest.NORMALIZE_WHITESPACE)
    checked = 0
    for name in dir(tqrvn):
        obj = getattr(tqrvn, name)
        if not callable(obj) or not (obj.__doc__ or "").count(">>>"):
            continue
        for test in finder.find(obj.__doc__, name, globs=vars(tqrvn).copy()):
            runner.run(test)
            checked += 1
    assert checked >= 10
    assert runner.failures == 0
