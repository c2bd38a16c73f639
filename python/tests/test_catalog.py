"""The catalog: listings as records and structured arrays, and changes by the
library's rules on a temporary copy, nothing written when one is refused."""
import numpy as np
import pytest

import tqrvn


class TestListings:
    def test_records_and_their_structured_arrays_agree(self, catalog):
        materials = catalog.Materials()
        assert materials and all(isinstance(m, tqrvn.CTQPipeMatl) for m in materials)
        assert {m.Type for m in catalog.Materials(1)} == {1}
        steel = catalog.Material("焊接钢管")
        assert catalog.Material(steel.ID).Name == steel.Name
        sizes = catalog.Sizes(steel)
        table = catalog.SizeTable(steel.Name)
        assert table.dtype.names[:3] == ("ID", "MatlID", "DN")
        assert table["DN"].tolist() == [s.DN for s in sizes] == sorted(s.DN for s in sizes)
        assert table["InsD"].tolist() == [s.InsD for s in sizes]
        water = catalog.WaterTable()
        assert water["Density"].tolist() == [w.Density for w in catalog.WaterProps()]
        assert catalog.SteamTable()["Pressure"].dtype == np.float64
        assert {d.Section for d in catalog.Ducts(1)} == {1} and len(catalog.DuctTable(0)) == len(catalog.Ducts(0))
        valves = catalog.Valves(1)
        variable = [v for v in valves if v.Variable]
        assert variable and all(isinstance(k, int) for k in variable[0].DnCoef)
        dn = min(variable[0].DnCoef)
        assert variable[0].GetValue(dn) == variable[0].DnCoef[dn]

    def test_to_dict_has_every_member(self, catalog):
        m = catalog.Materials()[0].to_dict()
        assert set(m) == {"ID", "Type", "Name", "Unit", "Mark", "Symbol", "K", "Density", "Comment",
                          "Param1", "Param2", "Param3", "Version"}
        assert set(catalog.SteamProps()[0].to_dict()) == {"ID", "Temperature", "Pressure", "Density", "Qhr",
                                                         "SpecificHeat", "Viscosity"}

    def test_unknown_material_missing_file_and_closed_catalog(self, catalog, catalog_path, tmp_path):
        with pytest.raises(tqrvn.DesignError, match="no material 'nothing'"):
            catalog.Sizes("nothing")
        with pytest.raises(tqrvn.CatalogError) as e:
            tqrvn.Catalog(tmp_path / "none.mdb")
        assert e.value.fault == "missing" and not (tmp_path / "none.mdb").exists()
        (tmp_path / "text.mdb").write_text("not a catalog " * 40)
        with pytest.raises(tqrvn.CatalogError, match="damaged"):
            tqrvn.Catalog(tmp_path / "text.mdb")
        c = tqrvn.Catalog(catalog_path)
        c.Close()
        with pytest.raises(tqrvn.CatalogError) as e:
            c.Materials()
        assert e.value.fault == "closed"


def test_a_catalog_is_built_whole_and_an_existing_one_kept_unless_forced(tmp_path, catalog_path):
    before = catalog_path.read_bytes()
    with pytest.raises(tqrvn.CatalogError, match=str(catalog_path)):
        tqrvn.BuildCatalog(catalog_path)
    assert catalog_path.read_bytes() == before
    with tqrvn.BuildCatalog(catalog_path, force=True) as c:
        assert len(c.Materials()) == len(tqrvn.Catalog().Materials())
    with tqrvn.BuildCatalog(tmp_path / "empty.mdb", empty=True) as c:
        assert c.Materials() == [] and c.WaterProps() == []
    with pytest.raises(tqrvn.CatalogError):
        tqrvn.BuildCatalog(tmp_path / "x.mdb", dataDir=tmp_path / "no-data")
    assert not (tmp_path / "x.mdb").exists()


class TestChanges:
    def test_add_update_delete_round_trip_seen_by_another_connection(self, catalog, catalog_path):
        m = tqrvn.CTQPipeMatl(Type=1, Name="试验钢管", Mark="DN", K=0.2, Comment="test")
        catalog.Add(m)
        assert m.ID > 0
        size = tqrvn.CTQPipeSpec(MatlID=m.ID, DN=50, InsD=53.0, OutD=60.0, Thickness=3.5, MinR=60, MaxR=120)
        catalog.Add(size)
        with tqrvn.Catalog(catalog_path) as other:
            assert other.Material("试验钢管").ID == m.ID
            assert [s.DN for s in other.Sizes(m.ID)] == [50]
        m.Comment = "changed"
        catalog.Update(m)
        with tqrvn.Catalog(catalog_path) as other:
            assert other.Material(m.ID).Comment == "changed"
        # The sizing snapshot follows the change made through the catalog.
        r = tqrvn.SizeSegment(catalog, material="试验钢管", volumeFlow=1e-3, length=10.0)
        assert r.dn == 50 and r.innerDiameter == 53.0
        catalog.Delete(size)
        catalog.Delete(m)
        with pytest.raises(tqrvn.DesignError):
            catalog.Material("试验钢管")

    def test_a_refused_change_raises_and_writes_nothing(self, catalog, catalog_path):
        first = catalog.Materials()[0]
        before = [x.to_dict() for x in catalog.Materials()]
        twin = tqrvn.CTQPipeMatl(Type=first.Type, Name=first.Name)
        with pytest.raises(tqrvn.CatalogError) as e:
            catalog.Add(twin)
        assert e.value.fault == "refused" and "is taken" in str(e.value) and twin.ID == -1
        # A row of the same key, refused by the record's own Add.
        water = catalog.WaterProps()[0]
        copy = tqrvn.CTQWaterProp(Temperature=water.Temperature, Density=1.0)
        with pytest.raises(tqrvn.CatalogError, match="same key") as e:
            catalog.Add(copy)
        assert e.value.fault == "refused"
        with pytest.raises(tqrvn.CatalogError, match="not stored"):
            catalog.Update(tqrvn.CTQDuctSpec(Section=0, Width=999))
        with tqrvn.Catalog(catalog_path) as other:
            assert [x.to_dict() for x in other.Materials()] == before
            assert other.WaterProps()[0].Density == water.Density

    def test_the_library_s_edit_checks_refuse_before_anything_is_written(self, catalog, catalog_path):
        first, second = catalog.Materials()[:2]
        before = [m.to_dict() for m in catalog.Materials()]
        with pytest.raises(tqrvn.CatalogError, match="needs a name") as e:
            catalog.Add(tqrvn.CTQPipeMatl(Type=1, Name="  "))
        assert e.value.fault == "refused"
        renamed = catalog.Material(second.ID)
        renamed.Name = first.Name
        with pytest.raises(tqrvn.CatalogError, match="taken by the material of ID %d" % first.ID):
            catalog.Update(renamed)
        sizes = catalog.Sizes(first)
        stored_dns = [x.DN for x in sizes]
        with pytest.raises(tqrvn.CatalogError, match="DN above 0"):
            catalog.Add(tqrvn.CTQPipeSpec(MatlID=first.ID, DN=0, InsD=10.0))
        moved = sizes[1]
        moved.DN = sizes[0].DN
        with pytest.raises(tqrvn.CatalogError, match="DN %d already" % sizes[0].DN):
            catalog.Update(moved)
        with pytest.raises(tqrvn.CatalogError, match="above 0 mm"):
            catalog.Add(tqrvn.CTQDuctSpec(Section=1, Width=500, Height=0))
        with tqrvn.Catalog(catalog_path) as other:
            assert [m.to_dict() for m in other.Materials()] == before
            assert [x.DN for x in other.Sizes(first.ID)] == stored_dns
            assert len(other.Ducts(1)) == len(catalog.Ducts(1))

    def test_a_read_only_catalog_refuses_a_change_and_keeps_its_rows(self, catalog_path):
        import os
        if os.geteuid() == 0:
            pytest.skip("root writes read-only files")
        os.chmod(catalog_path, 0o444)
        with tqrvn.Catalog(catalog_path) as c:
            with pytest.raises(tqrvn.CatalogError) as e:
                c.Add(tqrvn.CTQPipeMatl(Type=1, Name="new"))
            assert e.value.fault == "read-only"

    def test_records_take_keywords_and_refuse_wrong_types(self, catalog):
        v = tqrvn.CTQPipeValve(ValveName="测试阀", Type=1, Variable=1, DnCoef={25: 2.0, 15: 3.0})
        assert v.DnCoef == {15: 3.0, 25: 2.0} and v.GetValue(20) == 2.5
        catalog.Add(v)
        stored = [x for x in catalog.Valves(1) if x.ValveName == "测试阀"]
        assert stored and stored[0].DnCoef == {15: 3.0, 25: 2.0}
        with pytest.raises(TypeError, match="CTQPipeMatl.K must be a number, not str"):
            tqrvn.CTQPipeMatl(K="rough")
        with pytest.raises(TypeError, match="unexpected keyword argument 'Colour'"):
            tqrvn.CTQPipeMatl(Colour=1)
        with pytest.raises(TypeError, match="takes a catalog record"):
            catalog.Add({"Name": "x"})
