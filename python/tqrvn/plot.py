"""Charts drawn with matplotlib, which is imported only when one is asked for.

Each function draws into the axes given (a new figure's when None) and
returns the axes.
"""
import numpy as np

from . import _tqrvn

#: The relative roughnesses K/d of the Moody chart's curves.
MOODY_ROUGHNESS = (0.0, 1e-5, 1e-4, 5e-4, 1e-3, 2e-3, 5e-3, 0.01, 0.02, 0.05)


def _axes(ax):
    if ax is not None:
        return ax
    import matplotlib.pyplot as plt
    fig, ax = plt.subplots(figsize=(11, 6.5))
    fig.subplots_adjust(right=0.74)
    return ax


def _regime(re, eps):
    return _tqrvn.ClassifyFriction(float(re), float(eps))[0]


def _boundary(re_low, re_high, eps):
    """The Reynolds number, to a relative 1e-6, where the regime of eps
    changes between re_low and re_high (one change between them)."""
    low_regime = _regime(re_low, eps)
    for _ in range(60):
        mid = (re_low * re_high) ** 0.5
        if _regime(mid, eps) == low_regime:
            re_low = mid
        else:
            re_high = mid
        if re_high / re_low < 1 + 1e-6:
            break
    return re_high


def _regime_changes(re, eps):
    """[(re, regime before, regime after)] along a grid of re for one eps."""
    regimes = [_regime(r, eps) for r in re]
    changes = []
    for i in range(1, len(re)):
        if regimes[i] != regimes[i - 1]:
            changes.append((_boundary(re[i - 1], re[i], eps), regimes[i - 1], regimes[i]))
    return changes


def _curve(ax, re, eps, fallback_label):
    lam = np.asarray(_tqrvn.GetLmd(re, eps), dtype=float)
    out_of_range = lam <= 0
    shown = np.where(out_of_range, np.nan, lam)
    label = "smooth pipe" if eps == 0 else "K/d = %g" % eps
    line, = ax.plot(re, shown, lw=1.4, label=label)
    if out_of_range.any():
        # Where the regime's formula is out of its range (Blasius above Re
        # 1e5), the design layer's value (Colebrook-White) is drawn dotted.
        design = np.array([_tqrvn.DesignFriction(r, eps).lambda_ if o else np.nan
                           for r, o in zip(re, out_of_range)])
        ax.plot(re, design, ls=":", lw=1.4, color=line.get_color(), label=fallback_label)
        return ""
    return fallback_label


def moody(ax=None, roughness=MOODY_ROUGHNESS, re_range=(500.0, 1e8), points=400):
    """The Moody chart of this library: the Darcy friction factor GetLmd
    against the Reynolds number, one curve per relative roughness K/d,
    with the boundaries of the regimes GetLmd chooses between (laminar,
    transition, smooth, mixed, rough) marked.  Where GetLmd's formula is out
    of its range (-1: Blasius above Re 1e5), the curve goes on dotted with
    the design layer's Colebrook-White value.  Returns the axes."""
    ax = _axes(ax)
    re = np.logspace(np.log10(re_range[0]), np.log10(re_range[1]), points)
    fallback_label = "Colebrook-White where Blasius is out of range"
    for eps in roughness:
        fallback_label = _curve(ax, re, float(eps), fallback_label)

    # Laminar and transition bounds do not depend on roughness: find them on
    # one curve; the smooth | mixed | rough bounds move with it.
    coarse = np.logspace(np.log10(re_range[0]), np.log10(re_range[1]), 80)
    for r, before, after in _regime_changes(coarse, 1e-3):
        if before in ("laminar", "transition"):
            ax.axvline(r, color="0.45", ls="--", lw=0.9)
            ax.annotate("%s | %s, Re %.0f" % (before, after, r), (r, 0.97), xycoords=("data", "axes fraction"),
                        xytext=(3, 0), textcoords="offset points", rotation=90, ha="left", va="top",
                        fontsize=8, color="0.3")
    bounds = {"smooth": [], "rough": []}
    for eps in np.logspace(-6, np.log10(0.05), 40):
        for r, before, after in _regime_changes(coarse, eps):
            if before == "smooth" and after == "mixed":
                bounds["smooth"].append((r, _tqrvn.DesignFriction(r, eps).lambda_))
            elif before == "mixed" and after == "rough":
                bounds["rough"].append((r, _tqrvn.GetLmd(r, eps)))
    styles = {"smooth": ("smooth | mixed boundary", "--"), "rough": ("mixed | rough boundary", "-.")}
    for key, pts in bounds.items():
        if pts:
            pts.sort()
            ax.plot([p[0] for p in pts], [p[1] for p in pts], color="0.2", ls=styles[key][1], lw=1.1,
                    label=styles[key][0])

    ax.set_xscale("log")
    ax.set_yscale("log")
    ax.set_xlim(re[0], re[-1])
    ax.set_xlabel("Reynolds number Re")
    ax.set_ylabel("Darcy friction factor λ")
    ax.set_title("Friction factor by flow regime (tqrvn.GetLmd)")
    ax.grid(True, which="both", lw=0.3, color="0.85")
    ax.legend(fontsize=7.5, loc="upper left", bbox_to_anchor=(1.01, 1.0), borderaxespad=0.0)
    return ax


def network(result, ax=None):
    """Draws a sized network (a NetworkResult of tqrvn.SizeNetwork): the
    library's schematic, laid out by Graphviz, with each segment's size and
    flow, the index circuit in bold red and the terminals coloured by the
    surplus their balancing valves take.  Returns the axes."""
    if not hasattr(_tqrvn, "NetworkResult") or not isinstance(result, _tqrvn.NetworkResult):
        raise TypeError("tqrvn.plot.network() takes the NetworkResult of tqrvn.SizeNetwork")
    import io
    import matplotlib.image
    image = matplotlib.image.imread(io.BytesIO(result.Png()), format="png")
    ax = _axes(ax)
    ax.imshow(image)
    ax.set_axis_off()
    title = "Index circuit %.0f Pa, pump head %.0f Pa at %.3g m3/h" % (
        result.indexLoss, result.pumpHead, result.pumpFlow * 3600)
    ax.set_title(title)
    return ax
