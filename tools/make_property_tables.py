#!/usr/bin/python3
"""Writes the computed seed tables of the catalog into data/.

    /usr/bin/python3 tools/make_property_tables.py [DATA_DIR]

WaterProp.csv  liquid water 0..100 degC in 1 degC steps (IAPWS-95, with the
               IAPWS 2008 viscosity), at 101.325 kPa; 100 degC as saturated
               liquid, because water boils just below 100 degC at 101.325 kPa.
SteamProp.csv  saturated steam 100..300 degC in 1 degC steps (IAPWS-95).
PipeSpec.csv   the pipe sizes of the three seed materials, with inner
               diameters, velocity ranges and load ranges derived from the
               dimension and velocity tables below.
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
# mass flow taken as velocity x inner area x 1000 kg/m3.
CP_LOAD = 4187.0      # J/(kg K)
DT_LOAD = 20.0        # K
RHO_LOAD = 1000.0     # kg/m3

# Average specific friction of the most unfavourable circuit of an indoor
# hot-water heating system, Pa/m; used as the selection range of every size.
MIN_R = 60.0
MAX_R = 120.0

# Welded steel pipe: DN, outer diameter and minimum nominal wall thickness, mm.
STEEL = [
    (15, 21.3, 2.8), (20, 26.9, 2.8), (25, 33.7, 3.2), (32, 42.4, 3.5),
    (40, 48.3, 3.5), (50, 60.3, 3.8), (65, 76.1, 4.0), (80, 88.9, 4.0),
    (100, 114.3, 4.0), (125, 139.7, 4.0), (150, 168.3, 4.5),
    (200, 219.1, 6.0), (250, 273.0, 6.5), (300, 323.9, 7.0),
]


def steel_max_velocity(dn):
    """Highest velocity of hot water in indoor heating pipes, m/s."""
    for limit, v in ((15, 0.8), (20, 1.0), (25, 1.2), (32, 1.4), (40, 1.8)):
        if dn <= limit:
            return v
    return 2.0


# PE 100 water pipe SDR 11: nominal outer diameter dn and wall thickness, mm.
PE = [
    (20, 2.0), (25, 2.3), (32, 3.0), (40, 3.7), (50, 4.6), (63, 5.8),
    (75, 6.8), (90, 8.2), (110, 10.0), (125, 11.4), (140, 12.7),
    (160, 14.6), (200, 18.2), (250, 22.7), (315, 28.6),
]

# PP-R pipe series S 3.2: nominal outer diameter dn and wall thickness, mm.
PPR = [
    (20, 2.8), (25, 3.5), (32, 4.4), (40, 5.5), (50, 6.9), (63, 8.6),
    (75, 10.3), (90, 12.3), (110, 15.1),
]


def supply_max_velocity(dn_outer):
    """Highest velocity in domestic water-supply pipes, m/s, for a plastic pipe
    of nominal outer diameter dn (dn 20/25 ~ DN 15/20, dn 32..50 ~ DN 25..40,
    dn 63/75 ~ DN 50/65, dn 90 and up ~ DN 80 and up)."""
    if dn_outer <= 25:
        return 1.0
    if dn_outer <= 50:
        return 1.2
    if dn_outer <= 75:
        return 1.5
    return 1.8


def area(d_mm):
    d = d_mm * 0.001
    return math.pi * d * d / 4.0


def load_w(v, d_mm):
    return v * area(d_mm) * RHO_LOAD * CP_LOAD * DT_LOAD


def floor2(x):
    return math.floor(x * 100.0 + 1e-9) / 100.0


def pipe_rows(sizes, first_id, matl_id):
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
            "MinH": f"{round(load_w(lo, inner[k])):.0f}",
            "MaxH": f"{round(load_w(max_v, inner[k])):.0f}",
            "MinR": f"{MIN_R:.0f}", "MaxR": f"{MAX_R:.0f}", "Version": 1,
        })
    for a, b in zip(rows, rows[1:]):
        assert float(b["MinH"]) <= float(a["MaxH"]), (a, b)
    return rows


def write_pipe_specs(out):
    steel = [(dn, od, t, steel_max_velocity(dn)) for dn, od, t in STEEL]
    pe = [(dn, float(dn), t, supply_max_velocity(dn)) for dn, t in PE]
    ppr = [(dn, float(dn), t, supply_max_velocity(dn)) for dn, t in PPR]
    rows = pipe_rows(steel, 1, 1)
    rows += pipe_rows(pe, 101, 2)
    rows += pipe_rows(ppr, 201, 3)
    write(out, "PipeSpec", ["ID", "MatlID", "DN", "InsD", "OutD", "Thickness", "MinV",
                            "MaxV", "MinH", "MaxH", "MinR", "MaxR", "Version"], rows)


# Duct sizes, mm: circular diameters and rectangular side lengths.
CIRCULAR = [100, 120, 140, 160, 180, 200, 220, 250, 280, 320, 360, 400, 450, 500, 560,
            630, 700, 800, 900, 1000, 1120, 1250, 1400, 1600, 1800, 2000]
RECT_SIDES = [120, 160, 200, 250, 320, 400, 500, 630, 800, 1000, 1250, 1600, 2000]
MAX_ASPECT = 4.0


def sheet_circular(d):
    """Steel sheet thickness of a circular duct, mm."""
    for limit, t in ((320, 0.5), (450, 0.6), (1000, 0.75), (1250, 1.0), (2000, 1.2)):
        if d <= limit:
            return t
    raise ValueError(d)


def sheet_rectangular(b):
    """Sheet thickness of a rectangular duct of a low- or medium-pressure
    system by its longer side b, mm."""
    for limit, t in ((320, 0.5), (630, 0.6), (1000, 0.75), (2000, 1.0), (4000, 1.2)):
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
