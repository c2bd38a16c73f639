"""Type stubs of tqrvn (written by python/make_stubs.py)."""
from os import PathLike
import enum
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

class Quantity(enum.IntEnum):
    """The quantities of ParseQuantity; each reads into its base SI unit."""
    Length = 0
    Area = 1
    Volume = 2
    Speed = 3
    Mass = 4
    Density = 5
    MassFlow = 6
    VolumeFlow = 7
    Force = 8
    Pressure = 9
    DynamicViscosity = 10
    KinematicViscosity = 11
    Energy = 12
    Power = 13
    HeatTransferCoefficient = 14
    ThermalConductivity = 15
    Temperature = 16
    TemperatureDifference = 17

class Unit_AREA(enum.IntEnum):
    """Units of area, base m2 for UnitSwitch."""
    AREA_M2 = 0
    AREA_HA = 1
    AREA_IN2 = 2
    AREA_FT2 = 3
    AREA_YD2 = 4
    AREA_MI2 = 5

class Unit_DENSITY(enum.IntEnum):
    """Units of density, base kg/m3 for UnitSwitch."""
    DENSITY_KGPM3 = 0
    DENSITY_GPCM3 = 1
    DENSITY_LBPIN3 = 2
    DENSITY_LBPFT3 = 3
    DENSITY_LBPUKGAL = 4
    DENSITY_LBPUSGAL = 5

class Unit_HEAT(enum.IntEnum):
    """Units of energy, base J for UnitSwitch."""
    HEAT_J = 0
    HEAT_KWH = 1
    HEAT_KGFM = 2
    HEAT_LATM = 3
    HEAT_FTPDL = 4
    HEAT_CAL = 5
    HEAT_FTLBF = 6
    HEAT_HPH = 7
    HEAT_CAL15 = 8
    HEAT_BTU = 9

class Unit_HEATCON(enum.IntEnum):
    """Units of thermal conductivity, base W/(m K) for UnitSwitch."""
    HEATCON_WPMK = 0
    HEATCON_CALPCMSC = 1
    HEATCON_KCALPMHC = 2
    HEATCON_BTUPFTHF = 3
    HEATCON_BTUINPFT2HF = 4

class Unit_HEATTRA(enum.IntEnum):
    """Units of heat-transfer coefficient, base W/(m2 K) for UnitSwitch."""
    HEATTRA_WPM2K = 0
    HEATTRA_CALPCM2SC = 1
    HEATTRA_KCALPM2HC = 2
    HEATTRA_BTUPFT2HF = 3

class Unit_LENGTH(enum.IntEnum):
    """Units of length, base m for UnitSwitch."""
    LENGTH_M = 0
    LENGTH_KM = 1
    LENGTH_CM = 2
    LENGTH_MM = 3
    LENGTH_IN = 4
    LENGTH_FT = 5
    LENGTH_YD = 6
    LENGTH_MI = 7
    LENGTH_NMI = 8

class Unit_MOTIVITY(enum.IntEnum):
    """Units of dynamic viscosity, base Pa s for UnitSwitch."""
    MOTIVITY_PAS = 0
    MOTIVITY_CP = 1
    MOTIVITY_KGFSPM2 = 2
    MOTIVITY_LBPFTS = 3
    MOTIVITY_LBFSPFT2 = 4
    MOTIVITY_LBFHPFT2 = 5

class Unit_POWER(enum.IntEnum):
    """Units of power, base W for UnitSwitch."""
    POWER_W = 0
    POWER_KW = 1
    POWER_KGFMPS = 2
    POWER_PS = 3
    POWER_FTLBFPS = 4
    POWER_HP = 5
    POWER_CALPS = 6
    POWER_KCALPH = 7
    POWER_BTUPH = 8

class Unit_PRESS(enum.IntEnum):
    """Units of pressure, base Pa for UnitSwitch."""
    PRESS_PA = 0
    PRESS_ATM = 1
    PRESS_MMHG = 2
    PRESS_MMH2O = 3
    PRESS_KGFPCM2 = 4
    PRESS_PSI = 5
    PRESS_BAR = 6
    PRESS_TORR = 7
    PRESS_INH2O = 8

class Unit_SPEED(enum.IntEnum):
    """Units of speed, base m/s for UnitSwitch."""
    SPEED_MPS = 0
    SPEED_KMPH = 1
    SPEED_FTPS = 2
    SPEED_FTPMIN = 3
    SPEED_MPH = 4
    SPEED_KNOT = 5

class Unit_SPORT(enum.IntEnum):
    """Units of kinematic viscosity, base m2/s for UnitSwitch."""
    SPORT_M2PS = 0
    SPORT_MM2PS = 1
    SPORT_IN2PS = 2
    SPORT_FT2PS = 3
    SPORT_IN2PH = 4
    SPORT_M2PH = 5

class Unit_STRENG(enum.IntEnum):
    """Units of force, base N for UnitSwitch."""
    STRENG_N = 0
    STRENG_KGF = 1
    STRENG_PDL = 2
    STRENG_LBF = 3
    STRENG_TF = 4
    STRENG_OZF = 5

class Unit_VOLUME(enum.IntEnum):
    """Units of volume, base m3 for UnitSwitch."""
    VOLUME_M3 = 0
    VOLUME_L = 1
    VOLUME_IN3 = 2
    VOLUME_FT3 = 3
    VOLUME_UKGAL = 4
    VOLUME_USGAL = 5

class Unit_VOLUMEV(enum.IntEnum):
    """Units of volume flow, base m3/s for UnitSwitch."""
    VOLUMEV_M3PS = 0
    VOLUMEV_M3PH = 1
    VOLUMEV_LPH = 2
    VOLUMEV_LPS = 3
    VOLUMEV_FT3PS = 4
    VOLUMEV_FT3PH = 5
    VOLUMEV_UKGALPS = 6

class Unit_WEIGHT(enum.IntEnum):
    """Units of mass, base kg for UnitSwitch."""
    WEIGHT_KG = 0
    WEIGHT_LB = 1
    WEIGHT_SLUG = 2
    WEIGHT_T = 3

class Unit_WEIGHTV(enum.IntEnum):
    """Units of mass flow, base kg/s for UnitSwitch."""
    WEIGHTV_KGPS = 0
    WEIGHTV_KGPH = 1
    WEIGHTV_LBPS = 2
    WEIGHTV_LBPH = 3
    WEIGHTV_LTPH = 4

class SegmentResult:
    """A sized (or checked) pipe segment.  Units: volumeFlow m3/s, massFlow kg/s,
    heatLoad W, deltaT K, temperature degC, density kg/m3, viscosity m2/s,
    roughness and length m, innerDiameter/wall/outerDiameter mm, velocity m/s,
    rm Pa/m, frictionLoss/dynamicPressure/localLoss/totalLoss Pa."""
    id: str
    material: str
    materialId: int
    category: int
    sizeMark: str
    fluid: str
    temperature: float
    density: float
    viscosity: float
    roughness: float
    volumeFlow: float
    massFlow: float
    heatLoad: float
    deltaT: float
    length: float
    by: str
    fixedSize: bool
    dn: int
    innerDiameter: float
    wall: float
    outerDiameter: float
    velocity: float
    reynolds: float
    lambda_: float
    formula: str
    regime: str
    formulaFallback: bool
    rm: float
    frictionLoss: float
    dynamicPressure: float
    zeta: float
    extraZeta: float
    fittings: list[Any]
    localLoss: float
    totalLoss: float
    fits: bool
    criterion: float
    rangeMin: float
    rangeMax: float
    rangeUnit: str
    loadBasisDeltaT: float
    warnings: list[Any]
    def to_dict(self) -> dict[str, Any]: ...

class FittingLoss:
    """One kind of fitting of a sized segment."""
    name: str
    id: int
    count: int
    zetaEach: float
    outsideTable: bool
    def to_dict(self) -> dict[str, Any]: ...

class DuctResult:
    """The ducts picked for an air flow (volumeFlow m3/s, targetVelocity m/s, density
    kg/m3, viscosity m2/s, roughness m); circular and rectangular are None when
    not asked for."""
    volumeFlow: float
    targetVelocity: float
    density: float
    viscosity: float
    roughness: float
    circular: Any
    rectangular: Any
    def to_dict(self) -> dict[str, Any]: ...

class DuctChoice:
    """A duct picked: width and height mm (height 0 when circular), thickness mm,
    hydraulicDiameter m, velocity m/s, rm Pa/m, dynamicPressure Pa."""
    circular: bool
    width: int
    height: int
    thickness: float
    hydraulicDiameter: float
    velocity: float
    reynolds: float
    lambda_: float
    formula: str
    formulaFallback: bool
    rm: float
    dynamicPressure: float
    def to_dict(self) -> dict[str, Any]: ...

class FrictionChoice:
    """The design layer's friction factor and the regime it was chosen for."""
    lambda_: float
    regime: str
    regimeFormula: str
    formula: str
    fallback: bool
    def to_dict(self) -> dict[str, Any]: ...

class CTQPipeMatl:
    """A pipe material: Type (1 water, 2 plastic, 3 PPR pipe), Name, Mark (size
    designation), K (roughness as stored), Density, Comment, ID (-1: not stored)."""
    ID: int
    Type: int
    Name: str
    Unit: str
    Mark: str
    Symbol: int
    K: float
    Density: float
    Comment: str
    Param1: float
    Param2: str
    Param3: str
    Version: int
    def __init__(self, **members: Any) -> None: ...
    def to_dict(self) -> dict[str, Any]: ...

class CTQPipeSpec:
    """A size of a material: DN, InsD, OutD, Thickness (mm); velocity range MinV..MaxV
    (m/s), load range MinH..MaxH (W), specific-friction range MinR..MaxR (Pa/m)."""
    ID: int
    MatlID: int
    DN: int
    InsD: float
    OutD: float
    Thickness: float
    MinV: float
    MaxV: float
    MinH: float
    MaxH: float
    MinR: float
    MaxR: float
    Version: int
    def __init__(self, **members: Any) -> None: ...
    def to_dict(self) -> dict[str, Any]: ...

class CTQDuctSpec:
    """A duct size: Section (0 circular, 1 rectangular), Width (the diameter of a
    circular duct) and Height in mm, sheet Thickness in mm."""
    ID: int
    Section: int
    Width: int
    Height: int
    Thickness: float
    Version: int
    def __init__(self, **members: Any) -> None: ...
    def to_dict(self) -> dict[str, Any]: ...

class CTQPipeValve:
    """A valve or fitting: ValveName, Type (1 steel-pipe, 2 plastic fittings), a fixed
    Coef or, with Variable set, a table DnCoef {DN (mm): coefficient}."""
    ID: int
    Type: int
    ValveName: str
    Coef: float
    CalType: int
    Variable: int
    DnCoef: dict[Any, Any]
    Version: int
    def __init__(self, **members: Any) -> None: ...
    def to_dict(self) -> dict[str, Any]: ...
    def GetValue(self, dn: int) -> float: ...

class CTQWaterProp:
    """A row of the water table: Temperature (degC), Density (kg/m3), Viscosity
    (1e-6 m2/s), SpecificHeat (kJ/(kg K))."""
    ID: int
    Temperature: int
    Density: float
    Viscosity: float
    SpecificHeat: float
    def __init__(self, **members: Any) -> None: ...
    def to_dict(self) -> dict[str, Any]: ...

class CTQSteamProp:
    """A row of the saturated-steam table: Temperature (degC), Pressure (kPa),
    Density (kg/m3), Qhr (kJ/kg), SpecificHeat (kJ/(kg K)), Viscosity (1e-6 m2/s)."""
    ID: int
    Temperature: int
    Pressure: float
    Density: float
    Qhr: float
    SpecificHeat: float
    Viscosity: float
    def __init__(self, **members: Any) -> None: ...
    def to_dict(self) -> dict[str, Any]: ...

class Catalog:
    """A catalog file (RVNDatasource.mdb) opened by the module: Catalog() opens the
    default one beside the library, Catalog(path) another.  Its listings give
    records (CTQPipeMatl, CTQPipeSpec, CTQDuctSpec, CTQPipeValve, CTQWaterProp,
    CTQSteamProp) with to_dict(); the *Table methods give NumPy structured
    arrays.  Add, Update and Delete change records by the library's rules and
    raise CatalogError when it refuses (nothing is written then)."""
    path: str
    def __init__(self, path: _Path | None = None) -> None: ...
    def __enter__(self) -> Catalog: ...
    def __exit__(self, *args: Any) -> None: ...
    def Materials(self, category: int = 0) -> list[CTQPipeMatl]:
        """The materials of a category (1 water, 2 plastic, 3 PPR; 0 all), by name."""
        ...
    def Material(self, material: str | int) -> CTQPipeMatl:
        """The material of a name or an ID; DesignError when there is none."""
        ...
    def Sizes(self, material: CTQPipeMatl | str | int) -> list[CTQPipeSpec]:
        """The sizes of a material (name, ID or CTQPipeMatl) in DN order."""
        ...
    def SizeTable(self, material: CTQPipeMatl | str | int) -> NDArray[np.void]:
        """The sizes of a material as a structured array: DN, InsD, OutD, Thickness (mm),
        MinV, MaxV (m/s), MinH, MaxH (W), MinR, MaxR (Pa/m), MatlID, ID."""
        ...
    def Ducts(self, section: int = 0) -> list[CTQDuctSpec]:
        """The duct sizes of a section (0 circular, 1 rectangular) by width."""
        ...
    def DuctTable(self, section: int = 0) -> NDArray[np.void]:
        """The duct sizes of a section as a structured array: Section, Width, Height (mm),
        Thickness (mm), ID."""
        ...
    def Valves(self, kind: int = 0) -> list[CTQPipeValve]:
        """The valves and fittings of a kind (1 steel-pipe, 2 plastic; 0 all), by name."""
        ...
    def WaterProps(self) -> list[CTQWaterProp]:
        """The rows of the water property table by temperature."""
        ...
    def WaterTable(self) -> NDArray[np.void]:
        """The water table as a structured array: Temperature (degC), Density (kg/m3),
        Viscosity (1e-6 m2/s), SpecificHeat (kJ/(kg K)), ID."""
        ...
    def SteamProps(self) -> list[CTQSteamProp]:
        """The rows of the saturated-steam property table by temperature."""
        ...
    def SteamTable(self) -> NDArray[np.void]:
        """The saturated-steam table as a structured array: Temperature (degC), Pressure
        (kPa), Density (kg/m3), Qhr (kJ/kg), SpecificHeat (kJ/(kg K)), Viscosity
        (1e-6 m2/s), ID."""
        ...
    def Add(self, record: Any) -> None:
        """Stores the record as a new row and sets its ID; CatalogError (nothing
        written) when a row of the same key exists or the write fails."""
        ...
    def Update(self, record: Any) -> None:
        """Rewrites the row of the record's ID after the same checks as Add;
        CatalogError, nothing written, when refused."""
        ...
    def Delete(self, record: Any) -> None:
        """Deletes the row of the record's ID; CatalogError when refused."""
        ...
    def Close(self) -> None:
        """Closes the connection; later calls raise CatalogError."""
        ...

class Network:
    """A network: settings, segments and terminals.  Network(settings=...,
    segments=[...], terminals=[...]); ReadNetwork reads one from a file or a dict.
    The lists are copies: assign a changed list back."""
    def __init__(self, **members: Any) -> None: ...
    def Csv(self) -> str:
        """The network in the CSV form the reader takes."""
        ...
    def Json(self) -> str:
        """The network in the JSON form the reader takes."""
        ...
    segments: Any
    settings: Any
    terminals: Any

class NetworkBalanceChange:
    """A size balancing by size changed: DNs and the segment's loss, Pa."""
    def __init__(self, **members: Any) -> None: ...
    dnAfter: Any
    dnBefore: Any
    lossAfter: Any
    lossBefore: Any
    segment: Any
    def to_dict(self) -> dict[str, Any]:
        """The fields as a dict, keyed by their names."""
        ...

class NetworkBranch:
    """A branch leaving a tee: loss Pa, volumeFlow m3/s, surplus Pa, valveKv m3/h."""
    def __init__(self, **members: Any) -> None: ...
    loss: float
    segment: str
    surplus: float
    def to_dict(self) -> dict[str, Any]:
        """The fields as a dict, keyed by their names."""
        ...
    valveKv: float
    volumeFlow: float

class NetworkResult:
    """A sized network: segments and terminals in input order, tees, the index
    circuit (indexTerminal, indexPath, indexLoss Pa), the pump (pumpFlow m3/s,
    pumpMassFlow kg/s, pumpHead Pa), balanceChanges and warnings; ReportText(),
    Csv() and Json() with the results, Dot(), Svg() and Png() of the schematic."""
    def __init__(self, **members: Any) -> None: ...
    def Csv(self) -> str:
        """The network as CSV with each segment's and terminal's results in further columns."""
        ...
    def Dot(self) -> str:
        """The schematic in Graphviz's DOT language."""
        ...
    def Json(self) -> str:
        """The network as JSON with a results member."""
        ...
    def Png(self) -> bytes:
        """The schematic as PNG bytes."""
        ...
    def ReportText(self) -> str:
        """The report for a person."""
        ...
    def Svg(self) -> str:
        """The schematic drawn by Graphviz as SVG text."""
        ...
    balanceChanges: list[Any]
    indexLoss: float
    indexPath: list[Any]
    indexTerminal: int
    network: Any
    pumpFlow: float
    pumpHead: float
    pumpMassFlow: float
    segments: list[Any]
    settings: Any
    tees: list[Any]
    terminals: list[Any]
    def to_dict(self) -> dict[str, Any]:
        """The fields as a dict, keyed by their names."""
        ...
    warnings: list[Any]
    waterTemperature: float

class NetworkSegment:
    """A segment from node from_ to node to (source side first): length m, fittings
    {name: count}, zeta, dn (an existing size, checked), rise m, roughness m."""
    def __init__(self, **members: Any) -> None: ...
    dn: Any
    fittings: Any  # {name: count}; also accepts [(name, count)] or 'NAME=COUNT;...'.
    from_: Any
    id: Any
    length: Any  # Route length, m.
    line: Any  # Line of the file it was read from (0: none).
    material: Any
    rise: Any  # m, downstream end over upstream end.
    roughness: Any  # m; NaN: the material's.
    to: Any
    zeta: Any

class NetworkSegmentResult:
    """A sized segment: heatLoad W, massFlow kg/s, volumeFlow m3/s, pipeLength m
    (twice the route for paired heating pipes), size the design layer's
    SegmentResult (when sized), onIndexCircuit, dnBeforeBalance."""
    def __init__(self, **members: Any) -> None: ...
    dnBeforeBalance: int
    error: str
    from_: str
    heatLoad: float
    id: str
    massFlow: float
    onIndexCircuit: bool
    pipeLength: float
    size: Any
    sized: bool
    to: str
    def to_dict(self) -> dict[str, Any]:
        """The fields as a dict, keyed by their names."""
        ...
    volumeFlow: float
    warnings: list[Any]

class NetworkSettings:
    """The settings of a network; each may be given as the network file gives it
    (text with a unit) or as a number in SI units."""
    def __init__(self, **members: Any) -> None: ...
    balanceBySize: Any  # Re-size segments of nearer circuits down before valves take the surplus.
    by: Any  # 'rm', 'velocity' or 'target'.
    deltaT: Any  # K, heating supply minus return.
    imbalanceLimit: Any  # %, a tee's imbalance above it is flagged.
    kind: Any  # 'heating' or 'water'.
    margin: Any  # %, added to the index circuit's loss for the pump head.
    material: Any  # Default material, name or ID.
    plantLoss: Any  # Pa, pressure drop of the source equipment.
    source: Any  # Id of the source node.
    supplyTemperature: Any  # degC: heating supply temperature, or the water's temperature.
    targetRm: Any  # Pa/m, for by='target'.

class NetworkTee:
    """A node with two or more branches: imbalance % and whether over the limit."""
    def __init__(self, **members: Any) -> None: ...
    branches: list[Any]
    imbalance: float
    node: str
    overLimit: bool
    def to_dict(self) -> dict[str, Any]:
        """The fields as a dict, keyed by their names."""
        ...

class NetworkTerminal:
    """A terminal unit at a node: heatLoad W (heating) or volumeFlow m3/s, unit
    'radiator', 'fancoil' or 'fixed', unitLoss Pa."""
    def __init__(self, **members: Any) -> None: ...
    heatLoad: Any  # W.
    line: Any
    node: Any
    unit: Any  # 'radiator', 'fancoil' or 'fixed'.
    unitLoss: Any  # Pa at design flow; NaN: the unit's default.
    volumeFlow: Any  # m3/s.

class NetworkTerminalResult:
    """A terminal's circuit: heatLoad W, massFlow kg/s, volumeFlow m3/s, unitLoss Pa,
    height m, staticLift Pa, pathLoss Pa, surplus Pa for its balancing valve,
    valveKv m3/h (NaN: none needed), path (segment indices from the source)."""
    def __init__(self, **members: Any) -> None: ...
    complete: bool
    heatLoad: float
    height: float
    index: bool
    massFlow: float
    node: str
    path: list[Any]
    pathLoss: float
    staticLift: float
    surplus: float
    def to_dict(self) -> dict[str, Any]:
        """The fields as a dict, keyed by their names."""
        ...
    unitLoss: float
    valveKv: float
    volumeFlow: float

class NetworkError(ValueError):
    errors: list[dict[str, Any]]


def UnitSwitch(from_: int, to: int, value: ArrayLike) -> Any:
    """Converts value from the unit from_ to the unit to of one quantity:
    factor[to] / factor[from_] * value, where each factor is the number of that
    unit in the quantity's base unit (the enumeration's first member).  from_
    and to are members of one of the sixteen enumerations Unit_LENGTH ...
    Unit_HEATCON (one of them may be a plain int); value a number or an array.
    A member value without a table entry gives NaN.

    >>> UnitSwitch(Unit_LENGTH.LENGTH_M, Unit_LENGTH.LENGTH_MM, 1.0)
    1000.0"""
    ...
def SetThreadCount(count: int) -> None:
    """Sets how many threads an array call may use (0: one per processor, the
    default; 1: the calling thread only)."""
    ...
def ThreadCount() -> int: ...
def ClassifyFriction(re: float, eps: float) -> tuple[str, str]:
    """The flow regime GetLmd chooses for (re, eps) and its formula, as a tuple
    (regime, formula): regime one of 'no flow', 'laminar', 'transition', 'smooth',
    'mixed', 'rough', 'undefined'.

    >>> ClassifyFriction(1000.0, 0.001)
    ('laminar', 'x_LF')"""
    ...
def DesignFriction(re: float, eps: float) -> FrictionChoice:
    """The Darcy friction factor of the design layer: GetLmd, except that where the
    regime's formula is out of its range (Blasius above re 1e5 in the smooth
    zone) Colebrook-White is taken and fallback is set."""
    ...
def SteamVelocityLimit(dn: int) -> float:
    """Highest design velocity of saturated steam, m/s, in a pipe of nominal
    diameter dn (mm): 35 up to DN 200, 60 above."""
    ...
def ParseQuantity(field: str, text: str, quantity: int, unitRequired: bool = True) -> float:
    """A quantity typed by a person ('2 m3/h', '15 kW', '0.2 mm') in the base unit
    of its quantity (a Quantity member: Quantity.VolumeFlow gives m3/s); raises
    DesignError naming field."""
    ...
def SizeSegment(catalog: _CatalogArg = None, **request: Any) -> SegmentResult:
    """Sizes a pipe segment against the catalog (the default one beside the library
    when None; a Catalog or a path) and returns a SegmentResult.

    Keywords (numbers in SI units, or text with a unit such as '15 kW'):
      volumeFlow m3/s | massFlow kg/s | heatLoad W with deltaT K   the flow
      length m; temperature degC (water 0..100, default 20; steam: a row of the
      steam table); roughness m (default: the material's); zeta (extra
      coefficients); fittings {name: count}, [(name, count)] or 'NAME=COUNT;...';
      material (name, ID or CTQPipeMatl) or category ('water', 'plastic', 'ppr');
      fluid 'water'|'steam' (or steam=True); by 'rm'|'velocity'|'load'; dn (check
      this size instead of selecting one); id (a label).
    Raises DesignError (a ValueError) carrying the library's message, with the
    attributes field, kind and message.

    >>> r = SizeSegment(heatLoad='15 kW', deltaT=10, temperature=60, length=25,
    ...                 fittings={'弯头': 2, '闸阀': 1})
    >>> r.dn, round(r.rm, 2)
    (32, 65.51)"""
    ...
def ListSegmentSizes(catalog: _CatalogArg = None, **request: Any) -> list[SegmentResult]:
    """Every size of the segment's material in DN order at the segment's flow, each
    checked as SizeSegment checks a fixed size (dn is ignored).  Same keywords
    as SizeSegment; a list of SegmentResult."""
    ...
def PickDucts(catalog: _CatalogArg = None, **request: Any) -> DuctResult:
    """Picks the circular and/or rectangular catalog duct whose velocity comes
    nearest the target, for air at 20 degC.  Keywords: volumeFlow (m3/s) or
    massFlow (kg/s), velocity (m/s), roughness (m, default 0.15 mm), shape
    ('both', 'circular', 'rectangular').  Quantities may be text with a unit
    ('3000 m3/h').  Returns a DuctResult; raises DesignError."""
    ...
def BuildCatalog(path: _Path, dataDir: _Path | None = None, force: bool = False, empty: bool = False) -> Catalog:
    """Builds a catalog file at path from the schema and seed tables of dataDir (the
    seed data the library was installed with when None), whole or not at all,
    and opens it; empty=True builds the tables only.  An existing file is
    refused unless force.  Raises CatalogError with the reason."""
    ...


def SizeNetwork(network: Network | dict[str, Any] | _Path, catalog: _CatalogArg = None, **settings: Any) -> NetworkResult:
    """Sizes and balances a network (a Network, a dict of its JSON form or a file)
    against the catalog: every segment through the design layer, every circuit,
    the index circuit, the pump, the balancing valves and the tees.  Keywords
    override settings as the file's settings rows do (margin=15, by='target',
    target='80', balance=True, supply='80 degC').  Returns a NetworkResult;
    raises NetworkError with every fault."""
    ...
def ReadNetwork(source: Network | dict[str, Any] | _Path) -> Network:
    """Reads a network from a file (a path: .json as JSON, anything else as CSV) or
    from a dict of the JSON form; a Network is returned as it is.  Raises
    NetworkError with every fault and its line."""
    ...

@overload
def D(rs: float) -> float: ...
@overload
def D(rs: ArrayLike, *, out: NDArray[Any] | None = ...) -> NDArray[np.float64]:
    """Equivalent diameter from the hydraulic radius: 4 rs."""
    ...

@overload
def D_A(a: float, b: float) -> float: ...
@overload
def D_A(a: ArrayLike, b: ArrayLike, *, out: NDArray[Any] | None = ...) -> NDArray[np.float64]:
    """Diameter of the circle with the area of an a x b rectangle: 2 sqrt(a b / pi)."""
    ...

@overload
def D_Circle(area: float) -> float: ...
@overload
def D_Circle(area: ArrayLike, *, out: NDArray[Any] | None = ...) -> NDArray[np.float64]:
    """Diameter of a circle of the given area: 2 sqrt(area / pi)."""
    ...

@overload
def D_F(a: float, b: float) -> float: ...
@overload
def D_F(a: ArrayLike, b: ArrayLike, *, out: NDArray[Any] | None = ...) -> NDArray[np.float64]:
    """Flow-equivalent diameter of an a x b rectangle:
    1.297 [(a b)^3.112 / (a + b)^1.217]^0.1997, the circle with the same Rm at
    the same flow."""
    ...

@overload
def D_V(a: float, b: float) -> float: ...
@overload
def D_V(a: ArrayLike, b: ArrayLike, *, out: NDArray[Any] | None = ...) -> NDArray[np.float64]:
    """Velocity-equivalent diameter of an a x b rectangle: 2 a b / (a + b), the
    circle of the same hydraulic radius (same Rm at the same velocity)."""
    ...

@overload
def GetArea_CIRC(d: float) -> float: ...
@overload
def GetArea_CIRC(d: ArrayLike, *, out: NDArray[Any] | None = ...) -> NDArray[np.float64]:
    """Area of a circle of diameter d: pi (d/2)^2 (unit of d, squared)."""
    ...

@overload
def GetArea_OVAL(a: float, b: float) -> float: ...
@overload
def GetArea_OVAL(a: ArrayLike, b: ArrayLike, *, out: NDArray[Any] | None = ...) -> NDArray[np.float64]:
    """Area of a flat oval (a >= b): the rectangle (a - b) x b plus the circle of
    diameter b."""
    ...

@overload
def GetArea_RECT(a: float, b: float) -> float: ...
@overload
def GetArea_RECT(a: ArrayLike, b: ArrayLike, *, out: NDArray[Any] | None = ...) -> NDArray[np.float64]:
    """Area of an a x b rectangle: a b."""
    ...

@overload
def GetBhDqYl(t: float) -> float: ...
@overload
def GetBhDqYl(t: ArrayLike, *, out: NDArray[Any] | None = ...) -> NDArray[np.float64]:
    """Saturation water-vapour pressure, Pa, at air temperature t (degC), linear
    between whole degrees of a table; -1 outside -40..60 degC.

    >>> GetBhDqYl(0.0), GetBhDqYl(60.0001)
    (611.17, -1.0)"""
    ...

@overload
def GetDLLength(length: float, zeta: float, d: float, lambda_: float) -> float: ...
@overload
def GetDLLength(length: ArrayLike, zeta: ArrayLike, d: ArrayLike, lambda_: ArrayLike, *, out: NDArray[Any] | None = ...) -> NDArray[np.float64]:
    """Length, m, plus the equivalent length of local resistances zeta in a pipe
    of diameter d (m) and friction factor lambda: length + zeta d / lambda."""
    ...

@overload
def GetDY(v: float, rho: float) -> float: ...
@overload
def GetDY(v: ArrayLike, rho: ArrayLike, *, out: NDArray[Any] | None = ...) -> NDArray[np.float64]:
    """Dynamic pressure v^2 rho / 2, Pa (v in m/s, rho in kg/m3)."""
    ...

@overload
def GetDensity(t: float, phi: float, b: float) -> float: ...
@overload
def GetDensity(t: ArrayLike, phi: ArrayLike, b: ArrayLike, *, out: NDArray[Any] | None = ...) -> NDArray[np.float64]:
    """Density of humid air, kg/m3, at t degC, relative humidity phi (0..1) and
    barometric pressure b (Pa): 0.003484 b / T - 0.00134 phi p_s(t) / T with
    T = t + 273.15, for -40..60 degC; outside that range 352 / T (dry air at
    standard pressure; phi and b are then not used)."""
    ...

@overload
def GetDynamicPressure(v: float, rho: float) -> float: ...
@overload
def GetDynamicPressure(v: ArrayLike, rho: ArrayLike, *, out: NDArray[Any] | None = ...) -> NDArray[np.float64]:
    """Dynamic pressure v^2 rho / 2, Pa; the same as GetDY."""
    ...

@overload
def GetDynamicViscosity(nu: float, rho: float) -> float: ...
@overload
def GetDynamicViscosity(nu: ArrayLike, rho: ArrayLike, *, out: NDArray[Any] | None = ...) -> NDArray[np.float64]:
    """Dynamic viscosity nu rho, Pa s, from the kinematic viscosity (m2/s) and
    the density (kg/m3)."""
    ...

@overload
def GetEquivalentDiameter(rs: float) -> float: ...
@overload
def GetEquivalentDiameter(rs: ArrayLike, *, out: NDArray[Any] | None = ...) -> NDArray[np.float64]:
    """Equivalent diameter from the hydraulic radius: 4 rs; the same as D."""
    ...

@overload
def GetFenLiuSanTongDragLocalIndex(wc: float, fc: float, wb: float, fb: float, angle: float, flagA: float, flagB: float) -> float: ...
@overload
def GetFenLiuSanTongDragLocalIndex(wc: ArrayLike, fc: ArrayLike, wb: ArrayLike, fb: ArrayLike, angle: ArrayLike, flagA: ArrayLike, flagB: ArrayLike, *, out: NDArray[Any] | None = ...) -> NDArray[np.float64]:
    """Loss coefficient of a passage of a diverging tee: wc, fc the common
    passage's velocity (m/s) and area, wb, fb the passage's, angle in radians;
    the flags choose the formula (both: the branch by angle; flagA only: 0.35
    x^2 + 0.7 for 0.5 <= wb/wc <= 2; flagB only: 0.35 (wc/wb - 1)^2; neither:
    0.35 (1 - x)^2 for 0 <= wb/wc <= 1); 0 outside those windows."""
    ...

@overload
def GetGirth_CIRC(d: float) -> float: ...
@overload
def GetGirth_CIRC(d: ArrayLike, *, out: NDArray[Any] | None = ...) -> NDArray[np.float64]:
    """Girth of a circle of diameter d: pi d (unit of d)."""
    ...

@overload
def GetGirth_OVAL(a: float, b: float) -> float: ...
@overload
def GetGirth_OVAL(a: ArrayLike, b: ArrayLike, *, out: NDArray[Any] | None = ...) -> NDArray[np.float64]:
    """Girth of a flat oval of long axis a and short axis b (a >= b): 2 (a - b) + pi b."""
    ...

@overload
def GetGirth_RECT(a: float, b: float) -> float: ...
@overload
def GetGirth_RECT(a: ArrayLike, b: ArrayLike, *, out: NDArray[Any] | None = ...) -> NDArray[np.float64]:
    """Girth of an a x b rectangle: 2 (a + b)."""
    ...

@overload
def GetHeLiuSanTongDragLocalIndex(wc: float, qc: float, w1: float, q1: float, w2: float, q2: float, alpha1: float, alpha2: float, first: float) -> float: ...
@overload
def GetHeLiuSanTongDragLocalIndex(wc: ArrayLike, qc: ArrayLike, w1: ArrayLike, q1: ArrayLike, w2: ArrayLike, q2: ArrayLike, alpha1: ArrayLike, alpha2: ArrayLike, first: ArrayLike, *, out: NDArray[Any] | None = ...) -> NDArray[np.float64]:
    """Loss coefficient of an inlet of a converging tee by momentum balance,
    referred to the outlet velocity: wc, qc the outlet's velocity (m/s) and flow
    (m3/s), w1, q1 and w2, q2 the inlets', alpha1, alpha2 the inlets' angles
    to the outlet axis (radians); first: inlet 1 (True) or inlet 2."""
    ...

@overload
def GetHydraulicRadius(area: float, girth: float) -> float: ...
@overload
def GetHydraulicRadius(area: ArrayLike, girth: ArrayLike, *, out: NDArray[Any] | None = ...) -> NDArray[np.float64]:
    """Hydraulic radius area / girth (m from m2 and m); no guard for a zero girth."""
    ...

@overload
def GetHydraulicRadius_OVAL(a: float, b: float) -> float: ...
@overload
def GetHydraulicRadius_OVAL(a: ArrayLike, b: ArrayLike, *, out: NDArray[Any] | None = ...) -> NDArray[np.float64]:
    """Hydraulic radius of a flat oval of axes a >= b."""
    ...

@overload
def GetHydraulicRadius_RECT(a: float, b: float) -> float: ...
@overload
def GetHydraulicRadius_RECT(a: ArrayLike, b: ArrayLike, *, out: NDArray[Any] | None = ...) -> NDArray[np.float64]:
    """Hydraulic radius of an a x b rectangle: a b / (2 (a + b))."""
    ...

@overload
def GetLmd(re: float, eps: float) -> float: ...
@overload
def GetLmd(re: ArrayLike, eps: ArrayLike, *, out: NDArray[Any] | None = ...) -> NDArray[np.float64]:
    """Darcy friction factor chosen by flow regime, for the Reynolds number re and
    the relative roughness eps = K/d:
      re < 2300                        laminar, 64 / re
      2300 <= re <= 4000               transition, 0.0025 re^(1/3)
      re < 26.98 (1/eps)^(8/7)         smooth, Blasius (-1 above re 1e5)
      re > 191.2 / (eps sqrt(l_cw))    fully rough, Shifrinson 0.11 eps^0.25
      otherwise                        mixed, Colebrook-White
    0 for |re| < 1e-06.  A -1 marks Blasius used beyond its range (small
    roughness at re > 1e5); DesignFriction takes Colebrook-White there.

    >>> GetLmd(1000.0, 0.001)
    0.064"""
    ...

@overload
def GetLoadByMFlux(flux: float, c: float, dt: float) -> float: ...
@overload
def GetLoadByMFlux(flux: ArrayLike, c: ArrayLike, dt: ArrayLike, *, out: NDArray[Any] | None = ...) -> NDArray[np.float64]:
    """Heat load carried by a mass flow: flux c dt."""
    ...

@overload
def GetMFluxByLoad(load: float, c: float, dt: float) -> float: ...
@overload
def GetMFluxByLoad(load: ArrayLike, c: ArrayLike, dt: ArrayLike, *, out: NDArray[Any] | None = ...) -> NDArray[np.float64]:
    """Mass flow that carries a heat load: load / (c dt), in the units of the
    caller (kg/s from W, J/(kg K) and K)."""
    ...

@overload
def GetMass(volume: float, rho: float) -> float: ...
@overload
def GetMass(volume: ArrayLike, rho: ArrayLike, *, out: NDArray[Any] | None = ...) -> NDArray[np.float64]:
    """Mass volume rho (kg from m3 and kg/m3)."""
    ...

@overload
def GetPPR_Diameter(i: float, q: float, flag: float) -> float: ...
@overload
def GetPPR_Diameter(i: ArrayLike, q: ArrayLike, flag: ArrayLike, *, out: NDArray[Any] | None = ...) -> NDArray[np.float64]:
    """Diameter, m, at which GetPPR_i(d, q, flag) equals the gradient i (Pa/m)."""
    ...

@overload
def GetPPR_K1(t: float) -> float: ...
@overload
def GetPPR_K1(t: ArrayLike, *, out: NDArray[Any] | None = ...) -> NDArray[np.float64]:
    """PPR temperature factor of the nearest tabulated temperature (5..65 degC, t an
    integer in degC; ties to the lower; clamped at the ends).

    >>> GetPPR_K1(15), GetPPR_K1(100)
    (1.0, 0.781)"""
    ...

@overload
def GetPPR_K2(index: float) -> float: ...
@overload
def GetPPR_K2(index: ArrayLike, *, out: NDArray[Any] | None = ...) -> NDArray[np.float64]:
    """PPR correction factor of index 0..3 (0.573, 0.733, 1.0, 1.553); 1.0 for any
    other integer."""
    ...

@overload
def GetPPR_i(d: float, q: float, flag: float) -> float: ...
@overload
def GetPPR_i(d: ArrayLike, q: ArrayLike, flag: ArrayLike, *, out: NDArray[Any] | None = ...) -> NDArray[np.float64]:
    """Hydraulic gradient of PPR pipe, Pa/m: 1000 c d^-4.87 q^1.85 (Hazen-Williams
    form) with d in m and q in m3/s; c = 0.0112 when flag, else 0.0089."""
    ...

@overload
def GetPPR_ii(i: float, factor: float, factor2: float) -> float: ...
@overload
def GetPPR_ii(i: ArrayLike, factor: ArrayLike, factor2: ArrayLike, *, out: NDArray[Any] | None = ...) -> NDArray[np.float64]:
    """Gradient times a correction factor: i factor (factor2 does not enter)."""
    ...

@overload
def GetPlastic_Res(dj: float, v: float, nu: float) -> float: ...
@overload
def GetPlastic_Res(dj: ArrayLike, v: ArrayLike, nu: ArrayLike, *, out: NDArray[Any] | None = ...) -> NDArray[np.float64]:
    """Flow Reynolds number Re_s = dj v / nu; the same as Re."""
    ...

@overload
def GetPlastic_Rez(dj: float, k: float) -> float: ...
@overload
def GetPlastic_Rez(dj: ArrayLike, k: ArrayLike, *, out: NDArray[Any] | None = ...) -> NDArray[np.float64]:
    """Boundary Reynolds number Re_z = 500 dj / k (bore and roughness in one unit)."""
    ...

@overload
def GetPlastic_b(res: float, rez: float) -> float: ...
@overload
def GetPlastic_b(res: ArrayLike, rez: ArrayLike, *, out: NDArray[Any] | None = ...) -> NDArray[np.float64]:
    """Exponent b = lg(res) / lg(rez) + 1 of the plastic-pipe method."""
    ...

@overload
def GetPlastic_dn(de: float, dde: float, e: float, dwall: float) -> float: ...
@overload
def GetPlastic_dn(de: ArrayLike, dde: ArrayLike, e: ArrayLike, dwall: ArrayLike, *, out: NDArray[Any] | None = ...) -> NDArray[np.float64]:
    """Calculated bore of plastic pipe, mm: (2 de + dde - 4 e - 2 dwall) / 2 from
    the outside diameter de, its tolerance dde, the wall e and its tolerance
    dwall (mm)."""
    ...

@overload
def GetPlastic_lmd(b: float, dj: float, k: float, res: float) -> float: ...
@overload
def GetPlastic_lmd(b: ArrayLike, dj: ArrayLike, k: ArrayLike, res: ArrayLike, *, out: NDArray[Any] | None = ...) -> NDArray[np.float64]:
    """Friction factor of plastic pipe: 64 / res below res 2300, else
    [((2 - b) 1.312 lg(3.7 dj/k) / (lg res - 1) + b/2) / (2 lg(3.7 dj/k))]^2;
    0 for res = 0."""
    ...

@overload
def GetSteam_Gt(r: float, d: float, rho: float, k: float) -> float: ...
@overload
def GetSteam_Gt(r: ArrayLike, d: ArrayLike, rho: ArrayLike, k: ArrayLike, *, out: NDArray[Any] | None = ...) -> NDArray[np.float64]:
    """Mass flow of steam pipe, t/h, at specific friction r (Pa/m):
    12.06 (r rho)^0.5 d^2.625 / k^0.125."""
    ...

@overload
def GetSteam_Rm(g: float, d: float, rho: float, k: float) -> float: ...
@overload
def GetSteam_Rm(g: ArrayLike, d: ArrayLike, rho: ArrayLike, k: ArrayLike, *, out: NDArray[Any] | None = ...) -> NDArray[np.float64]:
    """Specific friction of steam pipe, Pa/m: 0.00688 g^2 k^0.25 / (d^5.25 rho), g in
    t/h, inside diameter d in m, density rho in kg/m3, roughness k in m."""
    ...

@overload
def GetSteam_d(g: float, r: float, rho: float, k: float) -> float: ...
@overload
def GetSteam_d(g: ArrayLike, r: ArrayLike, rho: ArrayLike, k: ArrayLike, *, out: NDArray[Any] | None = ...) -> NDArray[np.float64]:
    """Inside diameter of steam pipe, m, for a mass flow g (t/h) at specific friction
    r (Pa/m): 0.387 g^0.381 k^0.0476 / (r rho)^0.19."""
    ...

@overload
def GetSyphonDragLocalIndexCircle(angle: float, rd: float) -> float: ...
@overload
def GetSyphonDragLocalIndexCircle(angle: ArrayLike, rd: ArrayLike, *, out: NDArray[Any] | None = ...) -> NDArray[np.float64]:
    """Loss coefficient of a bend of circular section: A(angle) B(R/D), angle in
    radians (factor table 0..180 degrees), rd the bend radius over the
    diameter (0.5..2.5); tables clamped at their ends.

    >>> round(GetSyphonDragLocalIndexCircle(1.5707963267948966, 1.0), 12)
    0.22"""
    ...

@overload
def GetSyphonDragLocalIndexSquare(angle: float, rb: float, re: float, h: float, w: float) -> float: ...
@overload
def GetSyphonDragLocalIndexSquare(angle: ArrayLike, rb: ArrayLike, re: ArrayLike, h: ArrayLike, w: ArrayLike, *, out: NDArray[Any] | None = ...) -> NDArray[np.float64]:
    """Loss coefficient of a bend of rectangular section: A(angle) K2(re) K1(R/b,
    h/w); angle in radians, rb the bend radius over the side b, re the Reynolds
    number (table 1e4..2e5), h and w the sides (K1 for 0.25 <= h/w <= 3 and
    0.5 <= rb <= 2, else 1)."""
    ...

@overload
def GetVFlux(v: float, area: float) -> float: ...
@overload
def GetVFlux(v: ArrayLike, area: ArrayLike, *, out: NDArray[Any] | None = ...) -> NDArray[np.float64]:
    """Flow v area; the same as L."""
    ...

@overload
def GetVelocity(flow: float, area: float) -> float: ...
@overload
def GetVelocity(flow: ArrayLike, area: ArrayLike, *, out: NDArray[Any] | None = ...) -> NDArray[np.float64]:
    """Velocity flow / area; 0 when |area| < 1e-06."""
    ...

@overload
def GetVelocity_CIRC(flow: float, d: float) -> float: ...
@overload
def GetVelocity_CIRC(flow: ArrayLike, d: ArrayLike, *, out: NDArray[Any] | None = ...) -> NDArray[np.float64]:
    """Velocity, m/s, in a circle of diameter d (m); 0 when |d| < 1e-06."""
    ...

@overload
def GetVelocity_OVAL(flow: float, a: float, b: float) -> float: ...
@overload
def GetVelocity_OVAL(flow: ArrayLike, a: ArrayLike, b: ArrayLike, *, out: NDArray[Any] | None = ...) -> NDArray[np.float64]:
    """Velocity, m/s, in a flat oval of axes a >= b (m); 0 when |a b| < 1e-06."""
    ...

@overload
def GetVelocity_RECT(flow: float, a: float, b: float) -> float: ...
@overload
def GetVelocity_RECT(flow: ArrayLike, a: ArrayLike, b: ArrayLike, *, out: NDArray[Any] | None = ...) -> NDArray[np.float64]:
    """Velocity, m/s, in an a x b rectangle (m); 0 when |a b| < 1e-06."""
    ...

@overload
def GetVolume(mass: float, rho: float) -> float: ...
@overload
def GetVolume(mass: ArrayLike, rho: ArrayLike, *, out: NDArray[Any] | None = ...) -> NDArray[np.float64]:
    """Volume mass / rho (m3 from kg and kg/m3); 0 when |rho| < 1e-06."""
    ...

@overload
def GetWaterFlux(load: float, dt: float) -> float: ...
@overload
def GetWaterFlux(load: ArrayLike, dt: ArrayLike, *, out: NDArray[Any] | None = ...) -> NDArray[np.float64]:
    """Water mass flow, kg/s, carrying a heat load (W) across dt (K):
    |load / dt * 0.8598| / 3600 (1 kcal/(kg K)); independent of the signs."""
    ...

@overload
def GetWaterMD(t: float) -> float: ...
@overload
def GetWaterMD(t: ArrayLike, *, out: NDArray[Any] | None = ...) -> NDArray[np.float64]:
    """Density of water, kg/m3, at t degC: linear on a 10 degC grid below 40 degC,
    the nearest whole degree of a 1 degC table from 40 to 100 degC; 999.3 below
    0 degC, 958.38 above 100 degC; NaN for NaN.

    >>> GetWaterMD(-5.0), GetWaterMD(150.0)
    (999.3, 958.38)"""
    ...

@overload
def GetWaterND(t: float) -> float: ...
@overload
def GetWaterND(t: ArrayLike, *, out: NDArray[Any] | None = ...) -> NDArray[np.float64]:
    """Kinematic viscosity of water in 1e-6 m2/s (mm2/s) at t degC, interpolated
    at the nearest whole degree (a step function of t) between table points of
    0..80 degC; 0.365 from 79.5 degC on; NaN for NaN.  Multiply by 1e-6 before
    Re.

    >>> GetWaterND(20.0)
    1.004"""
    ...

@overload
def InZone(x: float, low: float, high: float) -> bool: ...
@overload
def InZone(x: ArrayLike, low: ArrayLike, high: ArrayLike, *, out: NDArray[Any] | None = ...) -> NDArray[np.bool_]:
    """True when x lies in [low, high].  Integers (Python ints, integer arrays of
    32 bits): low <= x <= high exactly.  Otherwise the range is widened by the
    zero tolerance: low - 1e-06 < x < high + 1e-06.

    >>> InZone(1.0, 1.0000005, 2.0), InZone(3, 3, 3)
    (True, True)"""
    ...

@overload
def IsEqual(a: float, b: float, tol: float) -> bool: ...
@overload
def IsEqual(a: ArrayLike, b: ArrayLike, tol: ArrayLike, *, out: NDArray[Any] | None = ...) -> NDArray[np.bool_]:
    """True when |a - b| < tol (strict: IsEqual(1, 1, 0) is False)."""
    ...

@overload
def IsZero(x: float) -> bool: ...
@overload
def IsZero(x: ArrayLike, *, out: NDArray[Any] | None = ...) -> NDArray[np.bool_]:
    """True when |x| < 1e-06, the library-wide zero tolerance.

    >>> IsZero(1e-06), IsZero(-9.9e-07)
    (False, True)"""
    ...

@overload
def L(v: float, area: float) -> float: ...
@overload
def L(v: ArrayLike, area: ArrayLike, *, out: NDArray[Any] | None = ...) -> NDArray[np.float64]:
    """Flow v area (m3/s from m/s and m2)."""
    ...

@overload
def L_Circle(d: float, v: float) -> float: ...
@overload
def L_Circle(d: ArrayLike, v: ArrayLike, *, out: NDArray[Any] | None = ...) -> NDArray[np.float64]:
    """Flow, m3/s, through a circle of diameter d (m) at velocity v (m/s);
    the diameter comes first."""
    ...

@overload
def L_Square(v: float, a: float, b: float) -> float: ...
@overload
def L_Square(v: ArrayLike, a: ArrayLike, b: ArrayLike, *, out: NDArray[Any] | None = ...) -> NDArray[np.float64]:
    """Flow, m3/s, through an a x b rectangle (m) at velocity v (m/s)."""
    ...

@overload
def Pd(zeta: float, v: float, rho: float) -> float: ...
@overload
def Pd(zeta: ArrayLike, v: ArrayLike, rho: ArrayLike, *, out: NDArray[Any] | None = ...) -> NDArray[np.float64]:
    """Local pressure loss zeta v^2 rho / 2, Pa."""
    ...

@overload
def Pl(length: float, lambda_: float, rs: float, v: float, rho: float) -> float: ...
@overload
def Pl(length: ArrayLike, lambda_: ArrayLike, rs: ArrayLike, v: ArrayLike, rho: ArrayLike, *, out: NDArray[Any] | None = ...) -> NDArray[np.float64]:
    """Friction loss, Pa, over a length (m) of a section of hydraulic radius rs (m):
    length / (4 rs) lambda v^2 rho / 2 (v in m/s, rho in kg/m3)."""
    ...

@overload
def Pl_Circle(length: float, lambda_: float, d: float, v: float, rho: float) -> float: ...
@overload
def Pl_Circle(length: ArrayLike, lambda_: ArrayLike, d: ArrayLike, v: ArrayLike, rho: ArrayLike, *, out: NDArray[Any] | None = ...) -> NDArray[np.float64]:
    """Friction loss, Pa, over a length (m) of circular pipe of diameter d (m)."""
    ...

@overload
def Pl_Square(length: float, lambda_: float, a: float, b: float, v: float, rho: float) -> float: ...
@overload
def Pl_Square(length: ArrayLike, lambda_: ArrayLike, a: ArrayLike, b: ArrayLike, v: ArrayLike, rho: ArrayLike, *, out: NDArray[Any] | None = ...) -> NDArray[np.float64]:
    """Friction loss, Pa, over a length (m) of a rectangular a x b section (m)."""
    ...

@overload
def Re(d: float, v: float, nu: float) -> float: ...
@overload
def Re(d: ArrayLike, v: ArrayLike, nu: ArrayLike, *, out: NDArray[Any] | None = ...) -> NDArray[np.float64]:
    """Reynolds number d v / nu from the diameter (m), the velocity (m/s) and the
    kinematic viscosity (m2/s)."""
    ...

@overload
def Rm(lambda_: float, rs: float, v: float, rho: float) -> float: ...
@overload
def Rm(lambda_: ArrayLike, rs: ArrayLike, v: ArrayLike, rho: ArrayLike, *, out: NDArray[Any] | None = ...) -> NDArray[np.float64]:
    """Specific friction loss, Pa/m, of a section of hydraulic radius rs (m)."""
    ...

@overload
def Rm_Circle(lambda_: float, d: float, v: float, rho: float) -> float: ...
@overload
def Rm_Circle(lambda_: ArrayLike, d: ArrayLike, v: ArrayLike, rho: ArrayLike, *, out: NDArray[Any] | None = ...) -> NDArray[np.float64]:
    """Specific friction loss of circular pipe, Pa/m: lambda / d v^2 rho / 2."""
    ...

@overload
def Rm_Square(lambda_: float, a: float, b: float, v: float, rho: float) -> float: ...
@overload
def Rm_Square(lambda_: ArrayLike, a: ArrayLike, b: ArrayLike, v: ArrayLike, rho: ArrayLike, *, out: NDArray[Any] | None = ...) -> NDArray[np.float64]:
    """Specific friction loss, Pa/m, of a rectangular a x b section (m)."""
    ...

@overload
def Rs(area: float, girth: float) -> float: ...
@overload
def Rs(area: ArrayLike, girth: ArrayLike, *, out: NDArray[Any] | None = ...) -> NDArray[np.float64]:
    """Hydraulic radius area / girth; the same as GetHydraulicRadius."""
    ...

@overload
def V(flow: float, area: float) -> float: ...
@overload
def V(flow: ArrayLike, area: ArrayLike, *, out: NDArray[Any] | None = ...) -> NDArray[np.float64]:
    """Velocity flow / area (m/s from m3/s and m2); no guard for a zero area."""
    ...

@overload
def V_Circle(flow: float, d: float) -> float: ...
@overload
def V_Circle(flow: ArrayLike, d: ArrayLike, *, out: NDArray[Any] | None = ...) -> NDArray[np.float64]:
    """Velocity, m/s, of a flow (m3/s) through a circle of diameter d (m)."""
    ...

@overload
def V_Square(flow: float, a: float, b: float) -> float: ...
@overload
def V_Square(flow: ArrayLike, a: ArrayLike, b: ArrayLike, *, out: NDArray[Any] | None = ...) -> NDArray[np.float64]:
    """Velocity, m/s, of a flow (m3/s) through an a x b rectangle (m)."""
    ...

@overload
def ValveKv(volumeFlow: float, pressureDrop: float) -> float: ...
@overload
def ValveKv(volumeFlow: ArrayLike, pressureDrop: ArrayLike, *, out: NDArray[Any] | None = ...) -> NDArray[np.float64]:
    """Kv of a valve, m3/h at 1 bar: the flow it passes at a pressure drop of 1 bar,
    for volumeFlow (m3/s) at pressureDrop (Pa); NaN when either is not positive.

    >>> round(ValveKv(0.5 / 3600, 25000), 12)
    1.0"""
    ...

@overload
def hd(zeta: float, v: float, g: float) -> float: ...
@overload
def hd(zeta: ArrayLike, v: ArrayLike, g: ArrayLike, *, out: NDArray[Any] | None = ...) -> NDArray[np.float64]:
    """Local head loss zeta v^2 / (2 g), m of fluid column (g in m/s2, given by the caller)."""
    ...

@overload
def x_LF(re: float) -> float: ...
@overload
def x_LF(re: ArrayLike, *, out: NDArray[Any] | None = ...) -> NDArray[np.float64]:
    """Laminar friction factor 64 / re (Hagen-Poiseuille), for re < 2300."""
    ...

@overload
def x_TF_A(re: float, eps: float) -> float: ...
@overload
def x_TF_A(re: ArrayLike, eps: ArrayLike, *, out: NDArray[Any] | None = ...) -> NDArray[np.float64]:
    """Altshul friction factor 0.11 (68 / re + eps)^0.25, turbulent flow."""
    ...

@overload
def x_TF_B(re: float) -> float: ...
@overload
def x_TF_B(re: ArrayLike, *, out: NDArray[Any] | None = ...) -> NDArray[np.float64]:
    """Blasius smooth-pipe friction factor 0.3164 / re^0.25; -1 above re = 1e5."""
    ...

@overload
def x_TF_CW(re: float, eps: float) -> float: ...
@overload
def x_TF_CW(re: ArrayLike, eps: ArrayLike, *, out: NDArray[Any] | None = ...) -> NDArray[np.float64]:
    """Colebrook-White 1/sqrt(l) = -2 lg(eps/3.7 + 2.51/(re sqrt(l))), solved by
    bisection on l in (0, 1) to 1e-9; turbulent flow, any roughness.  NaN for a
    NaN argument."""
    ...

@overload
def x_TF_KN(eps: float) -> float: ...
@overload
def x_TF_KN(eps: ArrayLike, *, out: NDArray[Any] | None = ...) -> NDArray[np.float64]:
    """von Karman-Nikuradse fully rough friction factor 1 / (2 lg(1/eps) + 1.14)^2."""
    ...

@overload
def x_TF_M(re: float, eps: float) -> float: ...
@overload
def x_TF_M(re: ArrayLike, eps: ArrayLike, *, out: NDArray[Any] | None = ...) -> NDArray[np.float64]:
    """Moody explicit friction factor 0.005 (1 + (20000 eps + 1e6/re)^(1/3)); -1
    unless 4000 < re < 1e7 and eps <= 0.01, and -1 when it reaches 0.05."""
    ...

@overload
def x_TF_PN(re: float) -> float: ...
@overload
def x_TF_PN(re: ArrayLike, *, out: NDArray[Any] | None = ...) -> NDArray[np.float64]:
    """Prandtl-Nikuradse smooth-pipe law 1/sqrt(l) = 2 lg(re sqrt(l)) - 0.8, solved
    by bisection to 1e-9; -1 for re >= 3.4e6 and for re <= 0."""
    ...

@overload
def x_TF_SJ(re: float, eps: float) -> float: ...
@overload
def x_TF_SJ(re: ArrayLike, eps: ArrayLike, *, out: NDArray[Any] | None = ...) -> NDArray[np.float64]:
    """Swamee-Jain explicit friction factor 1.352 / ln(eps/3.7 + 5.74/re^0.9)^2
    (the coefficient of the design method, 1.352); -1 unless 1e-6 < eps < 0.01
    and 5000 < re < 1e8."""
    ...

@overload
def x_TF_X(eps: float) -> float: ...
@overload
def x_TF_X(eps: ArrayLike, *, out: NDArray[Any] | None = ...) -> NDArray[np.float64]:
    """Shifrinson fully rough friction factor 0.11 eps^0.25."""
    ...
