"""Sizing: keyword requests, result objects, the library's errors, columns."""
import math

import numpy as np
import pytest

import tqrvn

BRANCH = dict(heatLoad=15000.0, deltaT=10.0, temperature=60.0, length=25.0, fittings={"弯头": 2, "闸阀": 1})


class TestSizeSegment:
    def test_a_heating_branch_is_sized_as_the_library_sizes_it(self, catalog):
        r = tqrvn.SizeSegment(catalog, **BRANCH)
        assert (r.dn, r.material, r.fits, r.by, r.fluid) == (32, "焊接钢管", True, "rm", "water")
        assert round(r.rm, 2) == 65.51 and round(r.totalLoss) == 1873
        assert [(f.name, f.count, f.zetaEach) for f in r.fittings] == [("弯头", 2, 1.5), ("闸阀", 1, 0.5)]
        assert r.zeta == 3.5 and r.lambda_ == r.to_dict()["lambda"]
        d = r.to_dict()
        assert d["dn"] == 32 and d["fittings"][0].to_dict()["name"] == "弯头"
        assert set(d) >= {"velocity", "rm", "frictionLoss", "localLoss", "totalLoss", "warnings"}

    def test_text_quantities_and_every_form_of_fittings_give_the_same_result(self, catalog):
        a = tqrvn.SizeSegment(catalog, **BRANCH).to_dict()
        for fittings in ("弯头=2;闸阀=1", [("弯头", 2), "闸阀"], [("弯头", 2.0), ("闸阀", 1)]):
            b = tqrvn.SizeSegment(catalog, heatLoad="15 kW", deltaT="10 K", temperature="60 degC",
                                  length="25 m", fittings=fittings).to_dict()
            assert {k: b[k] for k in ("dn", "rm", "zeta", "totalLoss")} == {k: a[k] for k in ("dn", "rm", "zeta", "totalLoss")}

    def test_errors_are_value_errors_with_the_library_s_message_and_field(self, catalog):
        with pytest.raises(tqrvn.DesignError) as e:
            tqrvn.SizeSegment(catalog, heatLoad=15000.0, deltaT=10.0)
        assert isinstance(e.value, ValueError)
        assert (e.value.field, e.value.kind) == ("length", "input")
        assert str(e.value) == "length: " + e.value.message
        with pytest.raises(tqrvn.DesignError) as e:
            tqrvn.SizeSegment(catalog, volumeFlow="2", length=1.0)
        assert e.value.field == "volumeFlow" and "needs a unit" in e.value.message
        with pytest.raises(tqrvn.DesignError) as e:
            tqrvn.SizeSegment(catalog, volumeFlow=1e-3, length=1.0, material="no such pipe")
        assert e.value.field == "material" and "no such pipe" in str(e.value)
        with pytest.raises(tqrvn.DesignError) as e:
            tqrvn.SizeSegment(catalog, volumeFlow=1e-3, length=[1, 2])
        assert e.value.field == "length"
        with pytest.raises(tqrvn.DesignError, match="by: 'size' is not rm, velocity or load"):
            tqrvn.SizeSegment(catalog, volumeFlow=1e-3, length=1.0, by="size")

    def test_an_unknown_keyword_is_a_type_error_listing_the_accepted_ones(self, catalog):
        with pytest.raises(TypeError, match="'lenght' .*accepted: id, material"):
            tqrvn.SizeSegment(catalog, volumeFlow=1e-3, lenght=1.0)

    def test_a_fixed_size_a_table_of_sizes_and_steam(self, catalog):
        fixed = tqrvn.SizeSegment(catalog, dn=25, **BRANCH)
        assert fixed.dn == 25 and fixed.fixedSize and not fixed.fits
        table = tqrvn.ListSegmentSizes(catalog, **BRANCH)
        assert [s.dn for s in table] == sorted(s.dn for s in table) and 32 in [s.dn for s in table]
        assert [s.rm for s in table if s.dn == 32] == [tqrvn.SizeSegment(catalog, **BRANCH).rm]
        steam = tqrvn.SizeSegment(catalog, steam=True, temperature=120, massFlow="500 kg/h", length=30)
        assert steam.fluid == "steam" and steam.by == "rm" and steam.density > 0

    def test_ducts_and_the_friction_choice(self, catalog):
        d = tqrvn.PickDucts(catalog, volumeFlow="3000 m3/h", velocity=6)
        assert d.circular.circular and not d.rectangular.circular and d.rectangular.height > 0
        assert tqrvn.PickDucts(catalog, volumeFlow=0.5, velocity=5, shape="circular").rectangular is None
        with pytest.raises(tqrvn.DesignError, match="shape"):
            tqrvn.PickDucts(catalog, volumeFlow=0.5, velocity=5, shape="oval")
        choice = tqrvn.DesignFriction(2e5, 1.5e-5)
        assert choice.fallback and choice.regime == "smooth" and choice.lambda_ == tqrvn.x_TF_CW(2e5, 1.5e-5)
        assert tqrvn.ClassifyFriction(1e8, 0.05) == ("rough", "x_TF_X")

    def test_the_default_catalog_and_a_path_serve_as_the_catalog(self, catalog_path):
        assert tqrvn.SizeSegment(**BRANCH).dn == tqrvn.SizeSegment(str(catalog_path), **BRANCH).dn == 32
        with pytest.raises(tqrvn.CatalogError) as e:
            tqrvn.SizeSegment(str(catalog_path) + ".missing", **BRANCH)
        assert e.value.fault == "missing"


class TestColumns:
    def test_rows_keep_their_order_and_a_bad_row_loses_nothing_else(self, catalog):
        out = tqrvn.SizeColumns({"id": ["a", "b", "c"], "heatLoad": ["15 kW", "x", 20000], "deltaT": 10,
                                 "temperature": 60, "length": np.array([25.0, 30.0, 10.0])}, catalog)
        assert out["id"] == ["a", None, "c"]
        assert out["error"][0] == out["error"][2] == "" and out["errorField"][1] == "heatLoad"
        assert out["error"][1].startswith("heatLoad: 'x' is not a number")
        assert out["dn"].dtype == np.float64 and math.isnan(out["dn"][1])
        one = tqrvn.SizeSegment(catalog, heatLoad=20000, deltaT=10, temperature=60, length=10.0)
        assert out["rm"][2] == one.rm and out["dn"][2] == one.dn

    def test_a_large_batch_sized_on_threads_equals_segment_by_segment(self, catalog):
        loads = np.linspace(2000, 200000, 600)
        out = tqrvn.SizeColumns({"heatLoad": loads, "deltaT": 20, "length": 10.0, "fittings": "弯头=1"}, catalog)
        assert out["dn"].dtype == np.int64 and all(e == "" for e in out["error"])
        for i in (0, 299, 599):
            r = tqrvn.SizeSegment(catalog, heatLoad=float(loads[i]), deltaT=20, length=10.0, fittings="弯头=1")
            assert (out["dn"][i], out["totalLoss"][i]) == (r.dn, r.totalLoss)

    def test_columns_of_unequal_length_or_unknown_names_are_refused(self, catalog):
        with pytest.raises(ValueError, match="column 'length' has 2 rows"):
            tqrvn.SizeColumns({"volumeFlow": [1e-3, 2e-3, 3e-3], "length": [1.0, 2.0]}, catalog)
        with pytest.raises(TypeError, match="no request field 'flow'"):
            tqrvn.SizeColumns({"flow": [1e-3]}, catalog)

    def test_a_pandas_frame_gives_a_frame_with_its_index(self, catalog):
        pd = pytest.importorskip("pandas")
        frame = pd.DataFrame({"volumeFlow": [1e-3, 2e-3], "length": [5.0, 6.0]}, index=["x", "y"])
        out = tqrvn.SizeColumns(frame, catalog)
        assert list(out.index) == ["x", "y"] and out.loc["y", "length"] == 6.0


def test_quantities_read_as_people_type_them_into_si_units():
    Q = tqrvn.Quantity
    assert [q.name for q in Q][:3] == ["Length", "Area", "Volume"] and Q.MassFlow == 6
    assert tqrvn.ParseQuantity("flow", "3.6 m3/h", Q.VolumeFlow) == tqrvn.UnitSwitch(
        tqrvn.Unit_VOLUMEV.VOLUMEV_M3PH, tqrvn.Unit_VOLUMEV.VOLUMEV_M3PS, 3.6)
    assert tqrvn.ParseQuantity("length", "１５ ｍｍ", Q.Length) == 0.015
    assert tqrvn.ParseQuantity("length", "2", Q.Length, unitRequired=False) == 2.0
    with pytest.raises(tqrvn.DesignError) as e:
        tqrvn.ParseQuantity("flow", "1,5 m3/h", Q.VolumeFlow)
    assert e.value.field == "flow"
    assert (tqrvn.SteamVelocityLimit(200), tqrvn.SteamVelocityLimit(250)) == (35.0, 60.0)
