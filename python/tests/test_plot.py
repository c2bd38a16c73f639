"""Plots: drawn under the Agg backend into files, matplotlib imported only
when a plot is asked for."""
import subprocess
import sys

import pytest

import tqrvn

matplotlib = pytest.importorskip("matplotlib")
matplotlib.use("Agg")


def test_importing_the_module_does_not_import_matplotlib():
    code = "import sys, tqrvn; print('matplotlib' in sys.modules)"
    out = subprocess.run([sys.executable, "-c", code], capture_output=True, text=True, check=True)
    assert out.stdout.strip() == "False"


def test_the_moody_chart_draws_every_curve_and_the_regime_bounds(tmp_path):
    import matplotlib.pyplot as plt
    fig, ax = plt.subplots()
    assert tqrvn.plot.moody(ax=ax, roughness=(0.0, 1e-4, 0.01)) is ax
    labels = [line.get_label() for line in ax.get_lines()]
    assert {"smooth pipe", "K/d = 0.0001", "K/d = 0.01"} <= set(labels)
    assert {"smooth | mixed boundary", "mixed | rough boundary"} <= set(labels)
    assert "Colebrook-White where Blasius is out of range" in labels
    texts = " ".join(t.get_text() for t in ax.texts)
    assert "laminar | transition" in texts and "Re 2300" in texts and "Re 4000" in texts
    # The drawn friction factors are GetLmd's where it is in range.
    curve = next(line for line in ax.get_lines() if line.get_label() == "K/d = 0.01")
    re, lam = curve.get_data()
    assert lam[len(re) // 2] == tqrvn.GetLmd(re[len(re) // 2], 0.01)
    # The rough boundary lies where GetLmd changes regime.
    bound = next(line for line in ax.get_lines() if line.get_label() == "mixed | rough boundary")
    r = bound.get_xdata()[len(bound.get_xdata()) // 2]
    assert r > 4000
    target = tmp_path / "moody.png"
    fig.savefig(target)
    assert target.stat().st_size > 10000
    plt.close(fig)


def test_a_new_figure_is_made_when_no_axes_are_given():
    import matplotlib.pyplot as plt
    ax = tqrvn.plot.moody(roughness=(1e-3,), points=50)
    assert ax.get_xscale() == "log" and ax.get_ylabel().startswith("Darcy")
    plt.close(ax.figure)
