"""Arrays: broadcasting and shapes as NumPy ufuncs, split across threads,
the GIL released; bad input refused with the argument named."""
import math
import threading
import time

import numpy as np
import pytest

import tqrvn
from library import function, unit_switch


def scalars(f, *columns):
    return np.array([f(*row) for row in zip(*columns)])


class TestShapes:
    def test_broadcasting_gives_the_shape_and_values_of_a_ufunc(self):
        re = np.array([[1e3], [5e4], [2e5]])
        eps = np.array([0.0, 1e-4, 1e-3, 0.05])
        got = tqrvn.GetLmd(re, eps)
        assert got.shape == (3, 4) and got.dtype == np.float64
        want = np.array([[tqrvn.GetLmd(float(r), float(e)) for e in eps] for r in re[:, 0]])
        assert np.array_equal(got, want, equal_nan=True)
        assert tqrvn.Re(np.ones((2, 3, 4)), 2.0, 1e-6).shape == (2, 3, 4)

    def test_lists_zero_d_empty_and_non_contiguous_inputs(self):
        assert tqrvn.x_LF([1000, 2000]).tolist() == [0.064, 0.032]
        assert isinstance(tqrvn.x_LF(np.float64(1000)), float)
        assert tqrvn.x_LF(np.array(1000.0)) == 0.064
        assert tqrvn.x_LF(np.array([])).shape == (0,)
        base = np.linspace(1e4, 1e6, 40).reshape(8, 5)
        for view in (base[::2, 1::2], base.T, np.asfortranarray(base)):
            assert np.array_equal(tqrvn.x_TF_SJ(view, 1e-3), scalars(tqrvn.x_TF_SJ, view.ravel(), [1e-3] * view.size).reshape(view.shape))

    def test_integer_and_float32_arrays_are_read_as_float64(self):
        assert tqrvn.GetWaterMD(np.array([20, 60], dtype=np.int16)).tolist() == [tqrvn.GetWaterMD(20.0), tqrvn.GetWaterMD(60.0)]
        f32 = np.array([1e5], dtype=np.float32)
        assert tqrvn.x_TF_B(f32)[0] == tqrvn.x_TF_B(float(f32[0]))

    def test_out_argument_and_keywords_by_parameter_name(self):
        out = np.empty(3)
        res = tqrvn.GetLmd(re=np.array([1e3, 1e4, 1e5]), eps=1e-3, out=out)
        assert res is out and out[0] == 0.064
        assert tqrvn.Pl(length=10, lambda_=0.02, rs=0.025, v=1.0, rho=1000.0) == tqrvn.Pl(10, 0.02, 0.025, 1.0, 1000.0)

    def test_integer_parameters_take_integer_arrays_of_any_width(self):
        k1 = function("GetPPR_K1", 1)
        t = np.array([-2**40, 0, 15, 16, 58, 65, 2**40], dtype=np.int64)
        assert tqrvn.GetPPR_K1(t).tolist() == [k1(max(-2**31, min(2**31 - 1, int(v)))) for v in t]
        assert tqrvn.GetPPR_K1(t.astype(np.int32)[1:-1]).tolist() == tqrvn.GetPPR_K1(t[1:-1]).tolist()
        assert tqrvn.GetPPR_K1(10**30) == 0.781
        flags = tqrvn.GetPPR_i(0.02, 0.001, np.array([1, 0, 2]))
        assert flags.tolist() == [tqrvn.GetPPR_i(0.02, 0.001, True), tqrvn.GetPPR_i(0.02, 0.001, False), tqrvn.GetPPR_i(0.02, 0.001, True)]


class TestBadInput:
    def test_nan_and_infinities_pass_as_the_library_returns_them(self):
        assert math.isnan(tqrvn.x_TF_CW(math.nan, 1e-3))
        assert math.isnan(tqrvn.GetWaterMD(math.nan))
        assert tqrvn.x_TF_SJ(math.inf, 1e-3) == -1.0
        got = tqrvn.x_TF_CW(np.array([math.nan, 1e5]), 1e-3)
        assert math.isnan(got[0]) and got[1] == tqrvn.x_TF_CW(1e5, 1e-3)

    def test_no_warnings_for_results_out_of_range(self, recwarn):
        tqrvn.x_TF_KN(np.array([0.0, -1.0]))
        tqrvn.GetLmd(np.zeros(10), 0.0)
        assert not [w for w in recwarn if issubclass(w.category, RuntimeWarning)]

    @pytest.mark.parametrize("call, message", [
        (lambda: tqrvn.GetLmd("1e5", 0.001), "GetLmd(): re must be a number or an array of numbers, not str"),
        (lambda: tqrvn.GetLmd(1e5, None), "GetLmd(): eps must be a number or an array of numbers, not NoneType"),
        (lambda: tqrvn.GetLmd(np.array([1j]), 0.001), "re must be a number or an array of numbers, not an array of dtype"),
        (lambda: tqrvn.GetLmd(1e5), "GetLmd() missing argument 'eps'"),
        (lambda: tqrvn.GetLmd(1e5, 1, 2), "GetLmd() takes 2 arguments (3 given)"),
        (lambda: tqrvn.GetLmd(1e5, epsilon=1), "unexpected keyword argument 'epsilon'"),
        (lambda: tqrvn.GetLmd(1e5, re=1), "multiple values for argument 're'"),
        (lambda: tqrvn.GetPPR_K1(15.5), "GetPPR_K1(): t must be an integer or an array of integers, not float"),
        (lambda: tqrvn.GetPPR_i(0.02, 0.001, 0.5), "flag must be a bool or an array of bools"),
    ])
    def test_errors_name_the_function_and_the_argument(self, call, message):
        with pytest.raises(TypeError) as e:
            call()
        assert message in str(e.value)

    def test_an_integer_beyond_a_double_is_an_overflow_error(self):
        with pytest.raises(OverflowError):
            tqrvn.x_LF(10**400)


class TestThreads:
    def test_threaded_results_equal_the_single_thread_ones(self, threads):
        rng = np.random.default_rng(7)
        re = 10 ** rng.uniform(3, 7, 200_000)
        eps = 10 ** rng.uniform(-6, -1, 200_000)
        threads(1)
        one = [tqrvn.GetLmd(re, eps), tqrvn.x_TF_SJ(re, eps), tqrvn.Rm_Circle(0.02, re * 1e-7, eps, 1000.0)]
        threads(7)
        assert tqrvn.ThreadCount() == 7
        many = [tqrvn.GetLmd(re, eps), tqrvn.x_TF_SJ(re, eps), tqrvn.Rm_Circle(0.02, re * 1e-7, eps, 1000.0)]
        for a, b in zip(one, many):
            assert np.array_equal(a.view(np.uint64), b.view(np.uint64))

    def test_another_python_thread_runs_during_a_long_array_call(self, threads):
        threads(1)
        re = np.full(1_500_000, 1e5)
        ticks = []
        stop = threading.Event()

        def count():
            while not stop.is_set():
                ticks.append(time.perf_counter())

        worker = threading.Thread(target=count)
        worker.start()
        time.sleep(0.05)
        start = time.perf_counter()
        tqrvn.GetLmd(re, 1e-4)
        end = time.perf_counter()
        stop.set()
        worker.join()
        # With the GIL held the counter could not tick while the loop runs.
        middle = [t for t in ticks if start + 0.25 * (end - start) < t < end - 0.25 * (end - start)]
        assert end - start > 0.05
        assert len(middle) > 100


class TestUnits:
    def test_enumerations_are_int_enums_of_the_library_s_members(self):
        import enum
        assert issubclass(tqrvn.Unit_PRESS, enum.IntEnum)
        assert tqrvn.Unit_PRESS.PRESS_BAR == 6 and tqrvn.Unit_PRESS.PRESS_BAR.name == "PRESS_BAR"
        assert len(tqrvn.Unit_LENGTH) == 9 and len(tqrvn.Unit_HEATCON) == 5

    def test_every_pair_of_units_converts_as_the_library_bit_for_bit(self):
        names = [n for n in dir(tqrvn) if n.startswith("Unit_")]
        assert len(names) == 16
        values = np.array([1.0, -2.5, 1500.0, 0.0, math.inf])
        for name in names:
            cls, cfunc = getattr(tqrvn, name), unit_switch(name)
            for a in cls:
                for b in cls:
                    want = [cfunc(a, b, v) for v in values]
                    assert [tqrvn.UnitSwitch(a, b, v) for v in values] == want
                    assert tqrvn.UnitSwitch(a, b, values).tolist() == want

    def test_unit_arguments_must_name_one_quantity(self):
        L, P = tqrvn.Unit_LENGTH, tqrvn.Unit_PRESS
        assert tqrvn.UnitSwitch(L.LENGTH_M, 3, 1.5) == 1500.0
        assert math.isnan(tqrvn.UnitSwitch(L.LENGTH_M, 99, 1.0))
        with pytest.raises(TypeError, match="different quantities"):
            tqrvn.UnitSwitch(L.LENGTH_M, P.PRESS_PA, 1.0)
        with pytest.raises(TypeError, match="so that the quantity is known"):
            tqrvn.UnitSwitch(0, 3, 1.0)
        with pytest.raises(TypeError, match="must be a member of a Unit_ enumeration"):
            tqrvn.UnitSwitch("m", L.LENGTH_MM, 1.0)
        with pytest.raises(TypeError, match="value must be a number"):
            tqrvn.UnitSwitch(L.LENGTH_M, L.LENGTH_MM, "1")
