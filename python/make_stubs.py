"""Writes the type stubs tqrvn/__init__.pyi from the built module, so that
editors complete every name and show its units.  Run after a change of the
module's names or docstrings:

    PYTHONPATH=build/python /usr/bin/python3 python/make_stubs.py [FOLDER]

FOLDER defaults to python/tqrvn beside this script.
"""
import enum
import inspect
import pathlib
import sys

HERE = pathlib.Path(__file__).resolve().parent
# The built package of PYTHONPATH, not the sources beside this script.
sys.path = [p for p in sys.path if pathlib.Path(p or ".").resolve() != HERE]

import tqrvn  # noqa: E402
from tqrvn import _tqrvn  # noqa: E402

HEAD = '''"""Type stubs of tqrvn (written by python/make_stubs.py)."""
from os import PathLike
from typing import Any, overload

import numpy as np
from numpy.typing import ArrayLike, NDArray

from . import plot as plot
from .batch import SizeColumns as SizeColumns

_Path = str | PathLike[str]
_CatalogArg = Catalog | _Path | None

class DesignError(ValueError):
    field: str
    kind: str
    message: str

class CatalogError(ValueError):
    fault: str
    message: str
'''

PY_TYPES = {bool: "bool", int: "int", float: "float", str: "str", list: "list[Any]", dict: "dict[Any, Any]"}


def doc_block(obj, indent):
    doc = inspect.getdoc(obj) or ""
    lines = [l for l in doc.splitlines() if not l.startswith(obj.__name__ + "(")] if hasattr(obj, "__name__") else doc.splitlines()
    text = "\n".join(lines).strip().replace('"""', "'''").replace("\\", "\\\\")
    text = text.replace("\n", "\n" + indent).replace(indent + "\n", "\n")
    return '%s"""%s"""\n' % (indent, text) if text else ""


def numeric(name, f):
    params = list(inspect.signature(f).parameters)
    result = "bool" if name in ("IsEqual", "IsZero", "InZone") else "float"
    array = "np.bool_" if result == "bool" else "np.float64"
    scalar_args = ", ".join("%s: float" % p for p in params)
    array_args = ", ".join("%s: ArrayLike" % p for p in params)
    out = "@overload\ndef %s(%s) -> %s: ...\n" % (name, scalar_args, result)
    out += "@overload\ndef %s(%s, *, out: NDArray[Any] | None = ...) -> NDArray[%s]:\n" % (name, array_args, array)
    return out + doc_block(f, "    ") + "    ...\n"


def enumeration(name, cls):
    out = "class %s(enum.IntEnum):\n" % name + doc_block(cls, "    ")
    return out + "".join("    %s = %d\n" % (m.name, m.value) for m in cls)


def record_class(name, cls, sample):
    out = "class %s:\n" % name + doc_block(cls, "    ")
    for key, value in sample.to_dict().items():
        attr = key + "_" if key == "lambda" else key
        out += "    %s: %s\n" % (attr, PY_TYPES.get(type(value), "Any"))
    if hasattr(cls, "__init__") and name.startswith("CTQ"):
        out += "    def __init__(self, **members: Any) -> None: ...\n"
    out += "    def to_dict(self) -> dict[str, Any]: ...\n"
    if name == "CTQPipeValve":
        out += "    def GetValue(self, dn: int) -> float: ...\n"
    return out


def generic_class(name, cls, sample=None):
    """A class known by its properties and methods; attribute types from a
    sample's to_dict() when there is one."""
    values = sample.to_dict() if sample is not None and hasattr(sample, "to_dict") else {}
    out = "class %s:\n" % name + doc_block(cls, "    ")
    out += "    def __init__(self, **members: Any) -> None: ...\n"
    for attr, member in sorted(vars(cls).items()):
        if attr.startswith("_"):
            continue
        if isinstance(member, property):
            key = attr[:-1] if attr in ("lambda_", "from_") else attr
            note = (member.__doc__ or "").strip().splitlines()
            note = "  # " + note[0] if note and not note[0].startswith("(") else ""
            out += "    %s: %s%s\n" % (attr, PY_TYPES.get(type(values.get(key)), "Any"), note)
        elif callable(member):
            returns = "dict[str, Any]" if attr == "to_dict" else "bytes" if attr == "Png" else "str" if attr in (
                "ReportText", "Csv", "Json", "Dot", "Svg") else "Any"
            out += "    def %s(self) -> %s:\n" % (attr, returns) + doc_block(member, "        ") + "        ...\n"
    return out


def network_samples():
    if not hasattr(_tqrvn, "SizeNetwork"):
        return {}
    net = tqrvn.Network(settings=tqrvn.NetworkSettings(kind="heating", source="B", supplyTemperature=80, deltaT=20),
                        segments=[tqrvn.NetworkSegment(id="S1", from_="B", to="R1", length=10),
                                  tqrvn.NetworkSegment(id="S2", from_="B", to="R2", length=10)],
                        terminals=[tqrvn.NetworkTerminal(node="R1", heatLoad=2000),
                                   tqrvn.NetworkTerminal(node="R2", heatLoad=2000)])
    r = tqrvn.SizeNetwork(net, balance=True)
    return {"NetworkResult": r, "NetworkSegmentResult": r.segments[0], "NetworkTerminalResult": r.terminals[0],
            "NetworkTee": r.tees[0], "NetworkBranch": r.tees[0].branches[0]}


def catalog_class():
    out = "class Catalog:\n" + doc_block(tqrvn.Catalog, "    ")
    out += "    path: str\n    def __init__(self, path: _Path | None = None) -> None: ...\n"
    out += "    def __enter__(self) -> Catalog: ...\n    def __exit__(self, *args: Any) -> None: ...\n"
    returns = {"Materials": "list[CTQPipeMatl]", "Material": "CTQPipeMatl", "Sizes": "list[CTQPipeSpec]",
               "Ducts": "list[CTQDuctSpec]", "Valves": "list[CTQPipeValve]", "WaterProps": "list[CTQWaterProp]",
               "SteamProps": "list[CTQSteamProp]", "SizeTable": "NDArray[np.void]", "DuctTable": "NDArray[np.void]",
               "WaterTable": "NDArray[np.void]", "SteamTable": "NDArray[np.void]"}
    args = {"Materials": "category: int = 0", "Material": "material: str | int", "Sizes": "material: CTQPipeMatl | str | int",
            "SizeTable": "material: CTQPipeMatl | str | int", "Ducts": "section: int = 0", "DuctTable": "section: int = 0",
            "Valves": "kind: int = 0", "Add": "record: Any", "Update": "record: Any", "Delete": "record: Any"}
    for name in ("Materials", "Material", "Sizes", "SizeTable", "Ducts", "DuctTable", "Valves", "WaterProps",
                 "WaterTable", "SteamProps", "SteamTable", "Add", "Update", "Delete", "Close"):
        a = ", " + args[name] if name in args else ""
        out += "    def %s(self%s) -> %s:\n" % (name, a, returns.get(name, "None"))
        out += doc_block(getattr(tqrvn.Catalog, name), "        ") + "        ...\n"
    return out


def samples():
    r = tqrvn.SizeSegment(heatLoad=15000.0, deltaT=10.0, temperature=60.0, length=25.0, fittings={"弯头": 1})
    d = tqrvn.PickDucts(volumeFlow=1.0, velocity=6.0)
    c = tqrvn.Catalog()
    return {"SegmentResult": r, "FittingLoss": r.fittings[0], "DuctResult": d, "DuctChoice": d.circular,
            "FrictionChoice": tqrvn.DesignFriction(1e5, 1e-3), "CTQPipeMatl": c.Materials()[0],
            "CTQPipeSpec": c.Sizes(c.Materials()[0])[0], "CTQDuctSpec": c.Ducts(1)[0], "CTQPipeValve": c.Valves()[0],
            "CTQWaterProp": c.WaterProps()[0], "CTQSteamProp": c.SteamProps()[0]}


FUNCTIONS = '''
def UnitSwitch(from_: int, to: int, value: ArrayLike) -> Any:
%s    ...
def SetThreadCount(count: int) -> None:
%s    ...
def ThreadCount() -> int: ...
def ClassifyFriction(re: float, eps: float) -> tuple[str, str]:
%s    ...
def DesignFriction(re: float, eps: float) -> FrictionChoice:
%s    ...
def SteamVelocityLimit(dn: int) -> float:
%s    ...
def ParseQuantity(field: str, text: str, quantity: int, unitRequired: bool = True) -> float:
%s    ...
def SizeSegment(catalog: _CatalogArg = None, **request: Any) -> SegmentResult:
%s    ...
def ListSegmentSizes(catalog: _CatalogArg = None, **request: Any) -> list[SegmentResult]:
%s    ...
def PickDucts(catalog: _CatalogArg = None, **request: Any) -> DuctResult:
%s    ...
def BuildCatalog(path: _Path, dataDir: _Path | None = None, force: bool = False, empty: bool = False) -> Catalog:
%s    ...
'''


NETWORK_FUNCTIONS = '''
def SizeNetwork(network: Network | dict[str, Any] | _Path, catalog: _CatalogArg = None, **settings: Any) -> NetworkResult:
%s    ...
def ReadNetwork(source: Network | dict[str, Any] | _Path) -> Network:
%s    ...
'''


def main(folder):
    parts = [HEAD.replace("from typing", "import enum\nfrom typing")]
    for name in sorted(dir(_tqrvn)):
        obj = getattr(_tqrvn, name)
        if isinstance(obj, type) and issubclass(obj, enum.IntEnum):
            parts.append(enumeration(name, obj))
    for name, sample in samples().items():
        parts.append(record_class(name, getattr(tqrvn, name), sample))
    parts.append(catalog_class())
    done = set(samples()) | {"Catalog", "DesignError", "CatalogError"}
    extra = network_samples()
    for name in sorted(dir(_tqrvn)):
        obj = getattr(_tqrvn, name)
        if isinstance(obj, type) and not issubclass(obj, (enum.IntEnum, BaseException)) and name not in done:
            parts.append(generic_class(name, obj, extra.get(name)))
    if hasattr(_tqrvn, "NetworkError"):
        parts.append("class NetworkError(ValueError):\n    errors: list[dict[str, Any]]\n")
    special = ("UnitSwitch", "SetThreadCount", "ThreadCount", "ClassifyFriction", "DesignFriction",
               "SteamVelocityLimit", "ParseQuantity", "SizeSegment", "ListSegmentSizes", "PickDucts", "BuildCatalog")
    parts.append(FUNCTIONS % tuple(doc_block(getattr(tqrvn, n), "    ") for n in special if n != "ThreadCount"))
    if hasattr(_tqrvn, "SizeNetwork"):
        special += ("SizeNetwork", "ReadNetwork")
        parts.append(NETWORK_FUNCTIONS % tuple(doc_block(getattr(tqrvn, n), "    ") for n in special[-2:]))
    for name in sorted(dir(_tqrvn)):
        obj = getattr(_tqrvn, name)
        if name.startswith("_") or isinstance(obj, type) or name in special:
            continue
        parts.append(numeric(name, obj))
    (folder / "__init__.pyi").write_text("\n".join(parts))
    (folder / "plot.pyi").write_text(
        '"""Type stubs of tqrvn.plot (written by python/make_stubs.py)."""\n'
        "from typing import Any, Sequence\n\n"
        "MOODY_ROUGHNESS: tuple[float, ...]\n\n"
        "def moody(ax: Any = None, roughness: Sequence[float] = ..., re_range: tuple[float, float] = ...,\n"
        "          points: int = 400) -> Any:\n" + doc_block(tqrvn.plot.moody, "    ") + "    ...\n"
        "def network(result: Any, ax: Any = None) -> Any:\n" + doc_block(tqrvn.plot.network, "    ") + "    ...\n")
    return 0


if __name__ == "__main__":
    sys.exit(main(pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else HERE / "tqrvn"))
