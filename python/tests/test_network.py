"""The network: built from a file, a dict or objects, sized and balanced,
results as records, faults with their lines, the schematic drawn."""
import json
import math
import pathlib

import pytest

import tqrvn

if not hasattr(tqrvn, "SizeNetwork"):
    pytest.skip("this build has no network layer", allow_module_level=True)

EXAMPLE = pathlib.Path(__file__).resolve().parents[2] / "examples" / "office-heating.csv"


def two_radiators(**settings):
    return tqrvn.Network(
        settings=tqrvn.NetworkSettings(kind="heating", source="B", supplyTemperature="80 degC", deltaT=20, **settings),
        segments=[tqrvn.NetworkSegment(id="S1", from_="B", to="R1", length="10 m", fittings={"弯头": 2}),
                  tqrvn.NetworkSegment(id="S2", from_="B", to="R2", length=20)],
        terminals=[tqrvn.NetworkTerminal(node="R1", heatLoad="2 kW"),
                   tqrvn.NetworkTerminal(node="R2", heatLoad=3000.0, unit="fancoil")])


def test_a_file_its_json_as_a_dict_and_its_objects_size_alike(catalog, tmp_path):
    from_file = tqrvn.SizeNetwork(EXAMPLE, catalog)
    net = tqrvn.ReadNetwork(EXAMPLE)
    from_dict = tqrvn.SizeNetwork(json.loads(net.Json()), catalog)
    from_objects = tqrvn.SizeNetwork(net, catalog)
    for r in (from_dict, from_objects):
        assert (r.pumpHead, r.indexLoss, r.indexPath) == (from_file.pumpHead, from_file.indexLoss, from_file.indexPath)
    # The CSV written with the results reads back as the same network.
    written = tmp_path / "sized.csv"
    written.write_text(from_file.Csv(), encoding="utf-8")
    assert tqrvn.SizeNetwork(written, catalog).pumpHead == from_file.pumpHead


def test_results_are_records_that_agree_with_each_other(catalog):
    r = tqrvn.SizeNetwork(EXAMPLE, catalog)
    index = r.terminals[r.indexTerminal]
    assert index.index and index.surplus == 0 and all(t.pathLoss <= index.pathLoss for t in r.terminals)
    assert [r.segments[i].id for i in r.indexPath] == [r.segments[i].id for i in index.path]
    assert all(r.segments[i].onIndexCircuit for i in r.indexPath)
    first = r.segments[0]
    assert first.from_ == "B" and first.sized and first.size.dn > 0 and first.to_dict()["from"] == "B"
    assert math.isclose(first.pipeLength, 2 * 12.0)  # paired supply and return
    d = r.to_dict()
    assert d["pumpHead"] == r.pumpHead and len(d["segments"]) == len(r.segments)
    assert math.isclose(r.pumpHead, r.indexLoss * (1 + r.settings.margin / 100))
    kv = [t for t in r.terminals if not math.isnan(t.valveKv)][0]
    assert kv.valveKv == tqrvn.ValveKv(kv.volumeFlow, kv.surplus)
    assert "Pump" in r.ReportText() and r.Dot().startswith("digraph")


def test_settings_given_as_keywords_override_the_file(catalog):
    base = tqrvn.SizeNetwork(EXAMPLE, catalog)
    more = tqrvn.SizeNetwork(EXAMPLE, catalog, margin=20)
    assert math.isclose(more.pumpHead, base.indexLoss * 1.2)
    balanced = tqrvn.SizeNetwork(two_radiators(), catalog, balance=True)
    assert balanced.settings.balanceBySize


def test_faults_come_with_their_line_field_and_the_library_s_words(catalog, tmp_path):
    bad = tmp_path / "bad.csv"
    text = EXAMPLE.read_text(encoding="utf-8").replace("M2,A0,B0,18,", "M2,A0,B0,-18,")
    bad.write_text(text, encoding="utf-8")
    line = text.splitlines().index(next(l for l in text.splitlines() if l.startswith("M2,"))) + 1
    with pytest.raises(tqrvn.NetworkError) as e:
        tqrvn.SizeNetwork(bad, catalog)
    assert isinstance(e.value, ValueError)
    fault = e.value.errors[0]
    assert (fault["line"], fault["field"]) == (line, "length") and "M2" in str(e.value)
    with pytest.raises(tqrvn.NetworkError, match="source"):
        tqrvn.SizeNetwork({"kind": "heating", "segments": [{"id": "x"}]}, catalog)
    with pytest.raises(tqrvn.NetworkError, match="margin"):
        tqrvn.SizeNetwork(EXAMPLE, catalog, margin="much")
    with pytest.raises(tqrvn.NetworkError):
        tqrvn.ReadNetwork(tmp_path / "none.csv")
    with pytest.raises(tqrvn.DesignError, match="length"):
        tqrvn.NetworkSegment(id="x", length="ten")
    with pytest.raises(TypeError, match="unexpected keyword argument 'frm'"):
        tqrvn.NetworkSegment(frm="B")
    with pytest.raises(tqrvn.NetworkError, match="unit"):
        tqrvn.NetworkTerminal(node="R", unit="stove")


def test_the_schematic_is_drawn_into_matplotlib_axes(catalog, tmp_path):
    matplotlib = pytest.importorskip("matplotlib")
    matplotlib.use("Agg")
    import matplotlib.pyplot as plt
    r = tqrvn.SizeNetwork(two_radiators(), catalog)
    assert r.Png()[:8] == b"\x89PNG\r\n\x1a\n" and "<svg" in r.Svg()
    ax = tqrvn.plot.network(r)
    assert ax.images and "pump head" in ax.get_title()
    ax.figure.savefig(tmp_path / "network.png")
    assert (tmp_path / "network.png").stat().st_size > 5000
    plt.close(ax.figure)
    with pytest.raises(TypeError, match="NetworkResult"):
        tqrvn.plot.network("not a result")
