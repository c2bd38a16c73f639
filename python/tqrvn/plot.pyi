"""Type stubs of tqrvn.plot (written by python/make_stubs.py)."""
from typing import Any, Sequence

MOODY_ROUGHNESS: tuple[float, ...]

def moody(ax: Any = None, roughness: Sequence[float] = ..., re_range: tuple[float, float] = ...,
          points: int = 400) -> Any:
    """The Moody chart of this library: the Darcy friction factor GetLmd
    against the Reynolds number, one curve per relative roughness K/d,
    with the boundaries of the regimes GetLmd chooses between (laminar,
    transition, smooth, mixed, rough) marked.  Where GetLmd's formula is out
    of its range (-1: Blasius above Re 1e5), the curve goes on dotted with
    the design layer's Colebrook-White value.  Returns the axes."""
    ...
def network(result: Any, ax: Any = None) -> Any:
    """Draws a sized network (a NetworkResult of tqrvn.SizeNetwork): the
    library's schematic, laid out by Graphviz, with each segment's size and
    flow, the index circuit in bold red and the terminals coloured by the
    surplus their balancing valves take.  Returns the axes."""
    ...
