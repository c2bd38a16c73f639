-- Engineering catalog RVNDatasource.mdb: pipe materials and their sizes, duct
-- sizes, valves and fittings, water and saturated-steam properties.
--
-- Every table is keyed by "ID", an autonumber that is never handed out twice
-- (AUTOINCREMENT): deleting a material leaves its sizes in place, so a reused
-- ID would give those orphaned sizes to the next new material.
--
-- Declared types: INTEGER holds the 32-bit whole numbers (kinds, DN, sizes,
-- flags, versions, IDs), REAL the doubles, TEXT the names and texts.  Columns
-- accept NULL: a row is first added empty and then filled, and an empty text
-- is stored as NULL.  Text compares binary (case-sensitive).  Natural keys
-- (material name, DN per material, duct size, valve kind and name,
-- temperature) are checked by the programs that add rows, not by unique
-- indexes, so that updating a row is not subject to a constraint.
--
-- Units: diameters and thicknesses mm, velocities m/s, specific friction
-- Pa/m, temperatures degC, densities kg/m3, kinematic viscosities 1E-6 m2/s,
-- specific heats kJ/(kg K), pressures kPa, latent heat kJ/kg.

-- Pipe materials.  Type: 1 water pipe, 2 plastic pipe, 3 PPR pipe.
CREATE TABLE Material (
    ID       INTEGER PRIMARY KEY AUTOINCREMENT,
    Type     INTEGER,
    Name     TEXT,
    Unit     TEXT,
    Symbol   INTEGER,
    K        REAL,
    Mark     TEXT,
    Density  REAL,
    Comment  TEXT,
    Param1   REAL,
    Param2   TEXT,
    Param3   TEXT,
    Version  INTEGER
);
-- Listing by category ordered by name; lookup by name.
CREATE INDEX Material_Type_Name ON Material (Type, Name);
CREATE INDEX Material_Name ON Material (Name);

-- Pipe sizes of a material (MatlID = Material.ID, no cascade).
CREATE TABLE PipeSpec (
    ID         INTEGER PRIMARY KEY AUTOINCREMENT,
    MatlID     INTEGER,
    DN         INTEGER,
    InsD       REAL,
    OutD       REAL,
    Thickness  REAL,
    MinV       REAL,
    MaxV       REAL,
    MinH       REAL,
    MaxH       REAL,
    MinR       REAL,
    MaxR       REAL,
    Version    INTEGER
);
-- Sizes of one material ordered by DN, DN ranges, lookup by material and DN.
CREATE INDEX PipeSpec_MatlID_DN ON PipeSpec (MatlID, DN);

-- Air-duct sizes.  SEC: 0 circular (WIDTH = diameter), 1 rectangular.
CREATE TABLE DuctSpec (
    ID         INTEGER PRIMARY KEY AUTOINCREMENT,
    SEC        INTEGER,
    WIDTH      INTEGER,
    HEIGHT     INTEGER,
    THICKNESS  REAL,
    VERSION    INTEGER
);
-- Listing one section ordered by width; lookup by section and size.
CREATE INDEX DuctSpec_SEC_WIDTH_HEIGHT ON DuctSpec (SEC, WIDTH, HEIGHT);
-- Rectangular listing narrowed to a range of heights.
CREATE INDEX DuctSpec_SEC_HEIGHT ON DuctSpec (SEC, HEIGHT);

-- Valves and fittings.  Variable = 1: the coefficient depends on DN and is
-- taken from the parallel lists DnCandidate (DNs, e.g. "15,20,25") and
-- CoefCandidate (coefficients with six decimals, e.g. "2.000000,1.500000");
-- otherwise Coef is the fixed coefficient.
CREATE TABLE PipeValve (
    ID             INTEGER PRIMARY KEY AUTOINCREMENT,
    Type           INTEGER,
    ValveName      TEXT,
    Coef           REAL,
    CalType        INTEGER,
    Variable       INTEGER,
    DnCandidate    TEXT,
    CoefCandidate  TEXT,
    Version        INTEGER
);
-- Listing by kind ordered by name; lookup by kind and name.
CREATE INDEX PipeValve_Type_ValveName ON PipeValve (Type, ValveName);
-- Listing of every kind ordered by name.
CREATE INDEX PipeValve_ValveName ON PipeValve (ValveName);

-- Properties of liquid water by whole-degree temperature.
CREATE TABLE WaterProp (
    ID            INTEGER PRIMARY KEY AUTOINCREMENT,
    Temperature   INTEGER,
    Density       REAL,
    Viscosity     REAL,
    SpecificHeat  REAL,
    Version       INTEGER
);
CREATE INDEX WaterProp_Temperature ON WaterProp (Temperature);

-- Properties of saturated steam by whole-degree saturation temperature.
CREATE TABLE SteamProp (
    ID            INTEGER PRIMARY KEY AUTOINCREMENT,
    Temperature   INTEGER,
    Pressure      REAL,
    Density       REAL,
    Qhr           REAL,
    SpecificHeat  REAL,
    Viscosity     REAL,
    Version       INTEGER
);
CREATE INDEX SteamProp_Temperature ON SteamProp (Temperature);
