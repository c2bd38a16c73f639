// The tolerances, section geometry, flow relations, pressures and humid-air
// functions of namespace RVN as Python functions over numbers and arrays.
#include "NumericFunction.h"
#include "calc/RVNCalc.h"

namespace tqrvn_py {

namespace {

constexpr auto kInZoneReal = static_cast<bool (*)(double, double, double)>(&RVN::InZone);
constexpr auto kInZoneInt = static_cast<bool (*)(int, int, int)>(&RVN::InZone);

// InZone of three Python ints that fit an int is the integer test (bounds
// included, no tolerance), as in C++; anything else the widened real test.
PyObject* InZoneCall(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
    if (nargs == 3 && kwnames == nullptr && PyLong_Check(args[0]) && PyLong_Check(args[1]) &&
        PyLong_Check(args[2])) {
        int v[3];
        bool fits = true;
        for (int i = 0; i < 3 && fits; ++i) {
            int overflow = 0;
            const long long x = PyLong_AsLongLongAndOverflow(args[i], &overflow);
            fits = overflow == 0 && x >= INT_MIN && x <= INT_MAX;
            v[i] = fits ? static_cast<int>(x) : 0;
        }
        if (fits) {
            return ToPython(RVN::InZone(v[0], v[1], v[2]));
        }
    }
    return Scalar<kInZoneReal>::Call(self, args, nargs, kwnames);
}

void AddTolerances(PyObject* m) {
    Add<&RVN::IsEqual>(m, "IsEqual", "a, b, tol",
                       "True when |a - b| < tol (strict: IsEqual(1, 1, 0) is False).");
    Add<&RVN::IsZero>(m, "IsZero", "x",
                      "True when |x| < 1e-06, the library-wide zero tolerance.\n\n"
                      ">>> IsZero(1e-06), IsZero(-9.9e-07)\n(False, True)");
    AddFunction(m, "InZone", "x, low, high",
                "True when x lies in [low, high].  Integers (Python ints, integer arrays of\n"
                "32 bits): low <= x <= high exactly.  Otherwise the range is widened by the\n"
                "zero tolerance: low - 1e-06 < x < high + 1e-06.\n\n"
                ">>> InZone(1.0, 1.0000005, 2.0), InZone(3, 3, 3)\n(True, True)",
                {MakeLoop<kInZoneInt, std::int32_t, std::int32_t, std::int32_t>(),
                 MakeLoop<kInZoneReal, double, double, double>()},
                {ParamKind::Real, ParamKind::Real, ParamKind::Real}, &InZoneCall, {});
}

void AddGeometry(PyObject* m) {
    Add<&RVN::GetGirth_CIRC>(m, "GetGirth_CIRC", "d",
                             "Girth of a circle of diameter d: pi d (unit of d).");
    Add<&RVN::GetArea_CIRC>(m, "GetArea_CIRC", "d",
                            "Area of a circle of diameter d: pi (d/2)^2 (unit of d, squared).");
    Add<&RVN::GetGirth_RECT>(m, "GetGirth_RECT", "a, b", "Girth of an a x b rectangle: 2 (a + b).");
    Add<&RVN::GetArea_RECT>(m, "GetArea_RECT", "a, b", "Area of an a x b rectangle: a b.");
    Add<&RVN::GetGirth_OVAL>(
        m, "GetGirth_OVAL", "a, b",
        "Girth of a flat oval of long axis a and short axis b (a >= b): 2 (a - b) + pi b.");
    Add<&RVN::GetArea_OVAL>(
        m, "GetArea_OVAL", "a, b",
        "Area of a flat oval (a >= b): the rectangle (a - b) x b plus the circle of\n"
        "diameter b.");
    Add<&RVN::GetHydraulicRadius>(
        m, "GetHydraulicRadius", "area, girth",
        "Hydraulic radius area / girth (m from m2 and m); no guard for a zero girth.");
    Add<&RVN::Rs>(m, "Rs", "area, girth",
                  "Hydraulic radius area / girth; the same as GetHydraulicRadius.");
    Add<&RVN::GetHydraulicRadius_RECT>(
        m, "GetHydraulicRadius_RECT", "a, b",
        "Hydraulic radius of an a x b rectangle: a b / (2 (a + b)).");
    Add<&RVN::GetHydraulicRadius_OVAL>(m, "GetHydraulicRadius_OVAL", "a, b",
                                       "Hydraulic radius of a flat oval of axes a >= b.");
    Add<&RVN::D>(m, "D", "rs", "Equivalent diameter from the hydraulic radius: 4 rs.");
    Add<&RVN::GetEquivalentDiameter>(
        m, "GetEquivalentDiameter", "rs",
        "Equivalent diameter from the hydraulic radius: 4 rs; the same as D.");
    Add<&RVN::D_V>(m, "D_V", "a, b",
                   "Velocity-equivalent diameter of an a x b rectangle: 2 a b / (a + b), the\n"
                   "circle of the same hydraulic radius (same Rm at the same velocity).");
    Add<&RVN::D_F>(m, "D_F", "a, b",
                   "Flow-equivalent diameter of an a x b rectangle:\n"
                   "1.297 [(a b)^3.112 / (a + b)^1.217]^0.1997, the circle with the same Rm at\n"
                   "the same flow.");
    Add<&RVN::D_A>(m, "D_A", "a, b",
                   "Diameter of the circle with the area of an a x b rectangle: 2 sqrt(a b / pi).");
    Add<&RVN::D_Circle>(m, "D_Circle", "area",
                        "Diameter of a circle of the given area: 2 sqrt(area / pi).");
}

void AddFlow(PyObject* m) {
    Add<&RVN::V>(m, "V", "flow, area",
                 "Velocity flow / area (m/s from m3/s and m2); no guard for a zero area.");
    Add<&RVN::V_Circle>(m, "V_Circle", "flow, d",
                        "Velocity, m/s, of a flow (m3/s) through a circle of diameter d (m).");
    Add<&RVN::V_Square>(m, "V_Square", "flow, a, b",
                        "Velocity, m/s, of a flow (m3/s) through an a x b rectangle (m).");
    Add<&RVN::L>(m, "L", "v, area", "Flow v area (m3/s from m/s and m2).");
    Add<&RVN::L_Circle>(m, "L_Circle", "d, v",
                        "Flow, m3/s, through a circle of diameter d (m) at velocity v (m/s);\n"
                        "the diameter comes first.");
    Add<&RVN::L_Square>(m, "L_Square", "v, a, b",
                        "Flow, m3/s, through an a x b rectangle (m) at velocity v (m/s).");
    Add<&RVN::GetVFlux>(m, "GetVFlux", "v, area", "Flow v area; the same as L.");
    Add<&RVN::GetVelocity>(m, "GetVelocity", "flow, area",
                           "Velocity flow / area; 0 when |area| < 1e-06.");
    Add<&RVN::GetVolume>(m, "GetVolume", "mass, rho",
                         "Volume mass / rho (m3 from kg and kg/m3); 0 when |rho| < 1e-06.");
    Add<&RVN::GetVelocity_CIRC>(
        m, "GetVelocity_CIRC", "flow, d",
        "Velocity, m/s, in a circle of diameter d (m); 0 when |d| < 1e-06.");
    Add<&RVN::GetVelocity_RECT>(m, "GetVelocity_RECT", "flow, a, b",
                                "Velocity, m/s, in an a x b rectangle (m); 0 when |a b| < 1e-06.");
    Add<&RVN::GetVelocity_OVAL>(
        m, "GetVelocity_OVAL", "flow, a, b",
        "Velocity, m/s, in a flat oval of axes a >= b (m); 0 when |a b| < 1e-06.");
    Add<&RVN::GetMass>(m, "GetMass", "volume, rho", "Mass volume rho (kg from m3 and kg/m3).");
    Add<&RVN::GetDynamicViscosity>(
        m, "GetDynamicViscosity", "nu, rho",
        "Dynamic viscosity nu rho, Pa s, from the kinematic viscosity (m2/s) and\n"
        "the density (kg/m3).");
}

void AddPressures(PyObject* m) {
    Add<&RVN::GetDY>(m, "GetDY", "v, rho",
                     "Dynamic pressure v^2 rho / 2, Pa (v in m/s, rho in kg/m3).");
    Add<&RVN::GetDynamicPressure>(m, "GetDynamicPressure", "v, rho",
                                  "Dynamic pressure v^2 rho / 2, Pa; the same as GetDY.");
    Add<&RVN::Pd>(m, "Pd", "zeta, v, rho", "Local pressure loss zeta v^2 rho / 2, Pa.");
    Add<&RVN::hd>(
        m, "hd", "zeta, v, g",
        "Local head loss zeta v^2 / (2 g), m of fluid column (g in m/s2, given by the caller).");
    Add<&RVN::GetDLLength>(
        m, "GetDLLength", "length, zeta, d, lambda_",
        "Length, m, plus the equivalent length of local resistances zeta in a pipe\n"
        "of diameter d (m) and friction factor lambda: length + zeta d / lambda.");
    Add<&RVN::GetBhDqYl>(
        m, "GetBhDqYl", "t",
        "Saturation water-vapour pressure, Pa, at air temperature t (degC), linear\n"
        "between whole degrees of a table; -1 outside -40..60 degC.\n\n"
        ">>> GetBhDqYl(0.0), GetBhDqYl(60.0001)\n(611.17, -1.0)");
    Add<&RVN::GetDensity>(
        m, "GetDensity", "t, phi, b",
        "Density of humid air, kg/m3, at t degC, relative humidity phi (0..1) and\n"
        "barometric pressure b (Pa): 0.003484 b / T - 0.00134 phi p_s(t) / T with\n"
        "T = t + 273.15, for -40..60 degC; outside that range 352 / T (dry air at\n"
        "standard pressure; phi and b are then not used).");
    Add<&RVN::GetMFluxByLoad>(
        m, "GetMFluxByLoad", "load, c, dt",
        "Mass flow that carries a heat load: load / (c dt), in the units of the\n"
        "caller (kg/s from W, J/(kg K) and K).");
    Add<&RVN::GetLoadByMFlux>(m, "GetLoadByMFlux", "flux, c, dt",
                              "Heat load carried by a mass flow: flux c dt.");
    Add<&RVN::GetWaterFlux>(
        m, "GetWaterFlux", "load, dt",
        "Water mass flow, kg/s, carrying a heat load (W) across dt (K):\n"
        "|load / dt * 0.8598| / 3600 (1 kcal/(kg K)); independent of the signs.");
}

} // namespace

void AddGeometryFunctions(PyObject* module) {
    AddTolerances(module);
    AddGeometry(module);
    AddFlow(module);
    AddPressures(module);
}

} // namespace tqrvn_py
