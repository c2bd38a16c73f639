#!/usr/bin/python3
"""Writes the computed seed tables of the catalog into data/.

    /usr/bin/python3 tools/make_property_tables.py [DATA_DIR]

WaterProp.csv  liquid water 0..100 degC in 1 degC steps (IAPWS-95, with the
               IAPWS 2008 viscosity), at 101.325 kPa; 100 degC as saturated
               liquid, because water boils just below 100 degC at 101.325 kPa.
SteamProp.csv  saturated steam 100..300 degC in 1 degC steps (IAPWS-95).
PipeSpec.csv   the pipe sizes of the seed materials, with inner diameters,
               velocity ranges and load ranges derived from the dimension
               and velocity tables below.
DuctSpec.csv   circular and rectangular duct sizes with their sheet thickness.

Material.csv and PipeValve.csv are written by hand.  The build reads the
committed CSV files and needs no Python; run this script again only after
changing a table here.  It needs Debian's python3-iapws, which installs for
the system interpreter /usr/bin/python3.
"""

import csv
import math
import os
import sys

# Heat load of a size: mass flow x specific heat x temperature difference, the
# mass flow taken as velocity x inner area x 1000 kg/m3.  The temperature
# difference is that of the systems a material is chosen for (see MATERIALS).
CP_LOAD = 4187.0      # J/(kg K)
RHO_LOAD = 1000.0     # kg/m3
DT_RADIATOR = 20.0    # K, radiator heating and the water-supply pipes
DT_FLOOR = 10.0       # K, floor heating: supply-return difference of at most 10 K

# Average specific friction of the most unfavourable circuit of an indoor
# hot-water heating system, Pa/m; used as the selection range of every size.
MIN_R = 60.0
MAX_R = 120.0


def heating_max_velocity(dn):
    """Highest velocity of hot water in indoor heating pipes of nominal
    diameter DN, m/s, for rooms without special quiet requirements."""
    for limit, v in ((15, 0.8), (20, 1.0), (25, 1.2), (32, 1.4), (40, 1.8)):
        if dn <= limit:
            return v
    return 2.0


def supply_max_velocity(dn):
    """Highest velocity in domestic water-supply pipes of nominal diameter DN,
    m/s: DN15-20 1.0, DN25-40 1.2, DN50-70 1.5, DN80 and up 1.8."""
    for limit, v in ((20, 1.0), (40, 1.2), (70, 1.5)):
        if dn <= limit:
            return v
    return 1.8


def nominal_of_outer(dn_outer):
    """The DN a plastic pipe of nominal outer diameter dn stands in for, by
    its bore: dn16/20 ~ DN15, dn25 ~ DN20, dn32 ~ DN25, dn40 ~ DN32,
    dn50 ~ DN40, dn63 ~ DN50, dn75 ~ DN65, dn90 ~ DN80, larger ~ DN100 and up
    (the velocity tables end in one row for DN80 or DN50 and up)."""
    for limit, dn in ((20, 15), (25, 20), (32, 25), (40, 32), (50, 40), (63, 50),
                      (75, 65), (90, 80)):
        if dn_outer <= limit:
            return dn
    return 100


def plastic_supply_velocity(dn_outer):
    return supply_max_velocity(nominal_of_outer(dn_outer))


def plastic_heating_and_supply_velocity(dn_outer):
    """PE-RT and PE-X serve both floor heating and water supply: the lower of
    the two limits."""
    dn = nominal_of_outer(dn_outer)
    return min(heating_max_velocity(dn), supply_max_velocity(dn))


# Welded steel pipe: DN, outer diameter and wall thickness, mm.  DN15..DN300
# with the minimum nominal wall of the ordinary pipe; above DN300 the wall is
# agreed with the maker, 8.0 mm taken here.
STEEL = [
    (15, 21.3, 2.8), (20, 26.9, 2.8), (25, 33.7, 3.2), (32, 42.4, 3.5),
    (40, 48.3, 3.5), (50, 60.3, 3.8), (65, 76.1, 4.0), (80, 88.9, 4.0),
    (100, 114.3, 4.0), (125, 139.7, 4.0), (150, 168.3, 4.5),
    (200, 219.1, 6.0), (250, 273.0, 6.5), (300, 323.9, 7.0),
    (350, 355.6, 8.0), (400, 406.4, 8.0), (450, 457.0, 8.0), (500, 508.0, 8.0),
    (600, 610.0, 8.0),
]

# Seamless steel pipe for heating mains: DN, outer diameter and wall, mm.
SEAMLESS = [
    (15, 18.0, 2.5), (20, 25.0, 2.5), (25, 32.0, 2.5), (32, 38.0, 2.5),
    (40, 45.0, 2.5), (50, 57.0, 3.5), (65, 76.0, 3.5), (80, 89.0, 3.5),
    (100, 108.0, 4.0), (125, 133.0, 4.0), (150, 159.0, 4.5), (200, 219.0, 6.0),
    (250, 273.0, 7.0), (300, 325.0, 8.0), (350, 377.0, 9.0), (400, 426.0, 9.0),
    (450, 480.0, 10.0), (500, 530.0, 10.0),
]

# Seamless copper water tube, wall type B: DN, outer diameter and wall, mm.
COPPER = [
    (15, 15.0, 1.0), (20, 22.0, 1.2), (25, 28.0, 1.2), (32, 35.0, 1.5),
    (40, 42.0, 1.5), (50, 54.0, 2.0), (65, 67.0, 2.0), (80, 85.0, 2.0),
    (100, 108.0, 2.5), (125, 133.0, 2.5), (150, 159.0, 3.0), (200, 219.0, 5.0),
    (250, 267.0, 6.0), (300, 325.0, 7.0),
]

# Thin-wall stainless steel water pipe for press fittings: DN, outer diameter
# and wall, mm.
STAINLESS = [
    (15, 15.9, 0.8), (20, 22.2, 1.0), (25, 28.6, 1.0), (32, 34.0, 1.2),
    (40, 42.7, 1.2), (50, 48.6, 1.2), (65, 76.1, 1.5), (80, 88.9, 2.0),
    (100, 108.0, 2.0),
]

# Plastic pipe series: nominal outer diameter dn and wall thickness, mm.
# PE 100 SDR 11.
PE = [
    (20, 2.0), (25, 2.3), (32, 3.0), (40, 3.7), (50, 4.6), (63, 5.8),
    (75, 6.8), (90, 8.2), (110, 10.0), (125, 11.4), (140, 12.7),
    (160, 14.6), (200, 18.2), (250, 22.7), (315, 28.6),
]
# PE-RT and PE-X: dn16 and dn20 with the 2.0 mm wall of floor-heating pipe,
# dn25 and up pipe series S 5.
PE_RT = [
    (16, 2.0), (20, 2.0), (25, 2.3), (32, 2.9), (40, 3.7), (50, 4.6), (63, 5.8),
    (75, 6.8), (90, 8.2), (110, 10.0),
]
PE_X = PE_RT
# PP-R by pipe series S; S 3.2 is the first PP-R material of the catalog.
PPR_DN = [20, 25, 32, 40, 50, 63, 75, 90, 110]
PPR_WALL = {
    "S5": [2.0, 2.3, 2.9, 3.7, 4.6, 5.8, 6.8, 8.2, 10.0],
    "S4": [2.3, 2.8, 3.6, 4.5, 5.6, 7.1, 8.4, 10.1, 12.3],
    "S3.2": [2.8, 3.5, 4.4, 5.5, 6.9, 8.6, 10.3, 12.3, 15.1],
    "S2.5": [3.4, 4.2, 5.4, 6.7, 8.3, 10.5, 12.5, 15.0, 18.3],
}


def ppr(series):
    return list(zip(PPR_DN, PPR_WALL[series]))


def named_by_dn(sizes, max_velocity):
    return [(dn, od, wall, max_velocity(dn)) for dn, od, wall in sizes]


def named_by_outer(sizes, max_velocity):
    return [(dn, float(dn), wall, max_velocity(dn)) for dn, wall in sizes]


# Material ID, its first size ID, its sizes (DN, outer diameter, wall, upper
# velocity) and the temperature difference of its load range.  Size IDs run
# in blocks of 100 per material; welded steel keeps 1..14 for DN15..DN300.
MATERIALS = [
    (1, 1, named_by_dn(STEEL, heating_max_velocity), DT_RADIATOR),
    (2, 101, named_by_outer(PE, plastic_supply_velocity), DT_RADIATOR),
    (3, 201, named_by_outer(ppr("S3.2"), plastic_supply_velocity), DT_RADIATOR),
    (4, 301, named_by_dn(SEAMLESS, heating_max_velocity), DT_RADIATOR),
    (5, 401, named_by_dn(COPPER, supply_max_velocity), DT_RADIATOR),
    (6, 501, named_by_dn(STAINLESS, supply_max_velocity), DT_RADIATOR),
    (7, 601, named_by_outer(PE_RT, plastic_heating_and_supply_velocity), DT_FLOOR),
    (8, 701, named_by_outer(PE_X, plastic_heating_and_supply_velocity), DT_FLOOR),
    (9, 801, named_by_outer(ppr("S5"), plastic_supply_velocity), DT_RADIATOR),
    (10, 901, named_by_outer(ppr("S4"), plastic_supply_velocity), DT_RADIATOR),
    (11, 1001, named_by_outer(ppr("S2.5"), plastic_supply_velocity), DT_RADIATOR),
]


def area(d_mm):
    d = d_mm * 0.001
    return math.pi * d * d / 4.0


def load_w(v, d_mm, dt):
    return v * area(d_mm) * RHO_LOAD * CP_LOAD * dt


def floor2(x):
    return math.floor(x * 100.0 + 1e-9) / 100.0


def pipe_rows(sizes, first_id, matl_id, dt):
    """sizes: (DN, outer diameter, wall, upper velocity).  The lower velocity
    of a size is the velocity it has at the flow where the next smaller size
    reaches its upper velocity, so that the load ranges meet without a gap;
    where a larger size would need a lower value, that value is taken, so
    the lower velocities never fall as DN rises.  The smallest size starts at
    0.  Velocities are rounded down to 0.01 m/s, loads to whole watts."""
    inner = [round(od - 2.0 * wall, 2) for _, od, wall, _ in sizes]
    takeover = [0.0]
    for k in range(1, len(sizes)):
        takeover.append(sizes[k - 1][3] * area(inner[k - 1]) / area(inner[k]))
    min_v = takeover[:]
    for k in range(len(sizes) - 2, -1, -1):
        min_v[k] = min(min_v[k], min_v[k + 1])
    rows = []
    for k, (dn, od, wall, max_v) in enumerate(sizes):
        lo = floor2(min_v[k])
        rows.append({
            "ID": first_id + k, "MatlID": matl_id, "DN": dn,
            "InsD": f"{inner[k]:.2f}", "OutD": f"{od:.2f}", "Thickness": f"{wall:.2f}",
            "MinV": f"{lo:.2f}", "MaxV": f"{max_v:.2f}",
            "MinH": f"{round(load_w(lo, inner[k], dt)):.0f}",
            "MaxH": f"{round(load_w(max_v, inner[k], dt)):.0f}",
            "MinR": f"{MIN_R:.0f}", "MaxR": f"{MAX_R:.0f}", "Version": 1,
        })
    for a, b in zip(rows, rows[1:]):
        assert float(b["MinH"]) <= float(a["MaxH"]), (a, b)
        assert float(b["InsD"]) > float(a["InsD"]), (a, b)
    assert len(rows) < 100, matl_id
    return rows


def write_pipe_specs(out):
    rows = []
    for matl_id, first_id, sizes, dt in MATERIALS:
        rows += pipe_rows(sizes, first_id, matl_id, dt)
    write(out, "PipeSpec", ["ID", "MatlID", "DN", "InsD", "OutD", "Thickness", "MinV",
                            "MaxV", "MinH", "MaxH", "MinR", "MaxR", "Version"], rows)


# Duct sizes, mm: circular diameters and rectangular side lengths.
CIRCULAR = [100, 120, 140, 160, 180, 200, 220, 250, 280, 320, 360, 400, 450, 500, 560,
            630, 700, 800, 900, 1000, 1120, 1250, 1400, 1600, 1800, 2000]
RECT_SIDES = [120, 160, 200, 250, 320, 400, 500, 630, 800, 1000, 1250, 1600, 2000]
MAX_ASPECT = 4.0


def sheet_circular(d):
    """Steel sheet thickness of a circular duct of a medium-pressure system
    (500 to 1500 Pa) by its diameter d, mm; enough for a low-pressure one."""
    for limit, t in ((320, 0.5), (450, 0.6), (1000, 0.75), (1500, 1.0), (2000, 1.2)):
        if d <= limit:
            return t
    raise ValueError(d)


def sheet_rectangular(b):
    """Steel sheet thickness of a rectangular duct of a medium-pressure system
    by its longer side b, mm; enough for a low-pressure one."""
    for limit, t in ((320, 0.5), (450, 0.6), (1000, 0.75), (1500, 1.0), (4000, 1.2)):
        if b <= limit:
            return t
    raise ValueError(b)


def write_ducts(out):
    rows = []
    next_id = 1
    for d in CIRCULAR:
        rows.append({"ID": next_id, "SEC": 0, "WIDTH": d, "HEIGHT": 0,
                     "THICKNESS": f"{sheet_circular(d):.2f}", "VERSION": 1})
        next_id += 1
    next_id = 101
    for w in RECT_SIDES:
        for h in RECT_SIDES:
            if h <= w and w <= MAX_ASPECT * h:
                rows.append({"ID": next_id, "SEC": 1, "WIDTH": w, "HEIGHT": h,
                             "THICKNESS": f"{sheet_rectangular(w):.2f}", "VERSION": 1})
                next_id += 1
    write(out, "DuctSpec", ["ID", "SEC", "WIDTH", "HEIGHT", "THICKNESS", "VERSION"], rows)


def write_water(out):
    from iapws import IAPWS95
    rows = []
    for t in range(0, 101):
        if t < 100:
            w = IAPWS95(T=273.15 + t, P=0.101325)
        else:
            w = IAPWS95(T=273.15 + t, x=0)
        rows.append({"ID": t + 1, "Temperature": t,
                     "Density": f"{w.rho:.3f}",
                     "Viscosity": f"{w.nu * 1e6:.4f}",
                     "SpecificHeat": f"{w.cp:.4f}",
                     "Version": 0})
    write(out, "WaterProp", ["ID", "Temperature", "Density", "Viscosity", "SpecificHeat",
                             "Version"], rows)


def write_steam(out):
    from iapws import IAPWS95
    rows = []
    for t in range(100, 301):
        vap = IAPWS95(T=273.15 + t, x=1)
        liq = IAPWS95(T=273.15 + t, x=0)
        rows.append({"ID": t - 99, "Temperature": t,
                     "Pressure": f"{vap.P * 1000.0:.3f}",
                     "Density": f"{vap.rho:.5f}",
                     "Qhr": f"{vap.h - liq.h:.3f}",
                     "SpecificHeat": f"{vap.cp:.4f}",
                     "Viscosity": f"{vap.nu * 1e6:.4f}",
                     "Version": 0})
    write(out, "SteamProp", ["ID", "Temperature", "Pressure", "Density", "Qhr",
                             "SpecificHeat", "Viscosity", "Version"], rows)


def write(out, table, columns, rows):
    path = os.path.join(out, table + ".csv")
    with open(path, "w", encoding="utf-8", newline="") as f:
        w = csv.DictWriter(f, fieldnames=columns, lineterminator="\n")
        w.writeheader()
        w.writerows(rows)
    print(f"{path}: {len(rows)} rows")


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(
        os.path.dirname(os.path.abspath(__file__)), "..", "data")
    write_pipe_specs(out)
    write_ducts(out)
    write_water(out)
    write_steam(out)


if __name__ == "__main__":
    main()
