// Hydraulic calculation functions of namespace RVN.
//
// Stateless free functions of double (or int) arguments: comparison
// tolerances, section geometry, flow relations, friction factors and
// pressure losses, local resistance coefficients of bends and tees, unit
// conversion, water properties and the plastic, PPR and steam pipe methods.
// None allocates, keeps state or throws; every one may be called from any
// thread.  Formulas that are used outside their range of validity return -1.0.
//
// Units are the caller's unless a function says otherwise; the library's own
// callers pass SI values (m, m^2, m/s, m^3/s, kg/m^3, Pa, degC, radians).
#pragma once

#include "TQRVNBaseExport.h"

namespace RVN {

// ---------------------------------------------------------------------------
// Tolerances.  All comparisons are strict.
// ---------------------------------------------------------------------------

/// True when |a - b| < tol.
TQRVNBASE_API bool IsEqual(double a, double b, double tol);
/// True when |x| < 1e-06, the library-wide zero tolerance.
TQRVNBASE_API bool IsZero(double x);
/// True when low - 1e-06 < x < high + 1e-06 (the range widened by the zero tolerance).
TQRVNBASE_API bool InZone(double x, double low, double high);
/// True when low <= x <= high.
TQRVNBASE_API bool InZone(int x, int low, int high);

// ---------------------------------------------------------------------------
// Section geometry.  For a flat-oval section a is the long axis and b the
// short axis (the diameter of the semicircular ends), a >= b.
// ---------------------------------------------------------------------------

/// Girth of a circle of diameter d: d * pi.
TQRVNBASE_API double GetGirth_CIRC(double d);
/// Area of a circle of diameter d: (d/2)^2 * pi.
TQRVNBASE_API double GetArea_CIRC(double d);
/// Girth of an a x b rectangle: (a + b) * 2.
TQRVNBASE_API double GetGirth_RECT(double a, double b);
/// Area of an a x b rectangle: a * b.
TQRVNBASE_API double GetArea_RECT(double a, double b);
/// Girth of a flat oval: 2 (a - b) + b pi.
TQRVNBASE_API double GetGirth_OVAL(double a, double b);
/// Area of a flat oval: the rectangle (a - b) x b plus the circle of diameter b.
TQRVNBASE_API double GetArea_OVAL(double a, double b);
/// Hydraulic radius area / girth (no zero guard).
TQRVNBASE_API double GetHydraulicRadius(double area, double girth);
/// Hydraulic radius area / girth; same as GetHydraulicRadius.
TQRVNBASE_API double Rs(double area, double girth);
/// Hydraulic radius of an a x b rectangle.
TQRVNBASE_API double GetHydraulicRadius_RECT(double a, double b);
/// Hydraulic radius of a flat oval.
TQRVNBASE_API double GetHydraulicRadius_OVAL(double a, double b);
/// Equivalent diameter from the hydraulic radius: 4 * rs.
TQRVNBASE_API double D(double rs);
/// Equivalent diameter from the hydraulic radius; same as D.
TQRVNBASE_API double GetEquivalentDiameter(double rs);
/// Velocity-equivalent diameter of an a x b rectangle: 2ab / (a + b).
TQRVNBASE_API double D_V(double a, double b);
/// Flow-equivalent diameter of an a x b rectangle.
TQRVNBASE_API double D_F(double a, double b);
/// Diameter of the circle with the area of an a x b rectangle.
TQRVNBASE_API double D_A(double a, double b);
/// Diameter of a circle of the given area.
TQRVNBASE_API double D_Circle(double area);

// ---------------------------------------------------------------------------
// Flow, velocity and mass.
// ---------------------------------------------------------------------------

/// Velocity flow / area (no zero guard).
TQRVNBASE_API double V(double flow, double area);
/// Velocity of a flow through a circle of diameter d.
TQRVNBASE_API double V_Circle(double flow, double d);
/// Velocity of a flow through an a x b rectangle.
TQRVNBASE_API double V_Square(double flow, double a, double b);
/// Flow v * area.
TQRVNBASE_API double L(double v, double area);
/// Flow through a circle of diameter d at velocity v (diameter first).
TQRVNBASE_API double L_Circle(double d, double v);
/// Flow through an a x b rectangle at velocity v.
TQRVNBASE_API double L_Square(double v, double a, double b);
/// Flow v * area; same as L.
TQRVNBASE_API double GetVFlux(double v, double area);
/// Velocity flow / area, 0 for a zero area.
TQRVNBASE_API double GetVelocity(double flow, double area);
/// Volume mass / rho, 0 for a zero density.
TQRVNBASE_API double GetVolume(double mass, double rho);
/// Velocity in a circle of diameter d, 0 for a zero diameter.
TQRVNBASE_API double GetVelocity_CIRC(double flow, double d);
/// Velocity in an a x b rectangle, 0 for a zero area.
TQRVNBASE_API double GetVelocity_RECT(double flow, double a, double b);
/// Velocity in a flat oval, 0 for a zero a * b.
TQRVNBASE_API double GetVelocity_OVAL(double flow, double a, double b);
/// Mass volume * rho.
TQRVNBASE_API double GetMass(double volume, double rho);
/// Dynamic viscosity from kinematic viscosity: nu * rho.
TQRVNBASE_API double GetDynamicViscosity(double nu, double rho);

// ---------------------------------------------------------------------------
// Pressure and losses.
// ---------------------------------------------------------------------------

/// Dynamic pressure v^2 rho / 2, Pa.
TQRVNBASE_API double GetDY(double v, double rho);
/// Dynamic pressure; same as GetDY.
TQRVNBASE_API double GetDynamicPressure(double v, double rho);
/// Local pressure loss zeta v^2 rho / 2, Pa.
TQRVNBASE_API double Pd(double zeta, double v, double rho);
/// Local head loss zeta / g v^2 / 2, m of fluid column.
TQRVNBASE_API double hd(double zeta, double v, double g);
/// Pipe length plus the equivalent length of its local resistances, m.
TQRVNBASE_API double GetDLLength(double length, double zeta, double d, double lambda);

// ---------------------------------------------------------------------------
// Humid air and heat load.
// ---------------------------------------------------------------------------

/// Saturation water-vapour pressure, Pa, at t degC; -1 outside -40..60 degC.
TQRVNBASE_API double GetBhDqYl(double t);
/// Density of humid air, kg/m^3, at t degC, relative humidity phi (0..1) and pressure b (Pa).
TQRVNBASE_API double GetDensity(double t, double phi, double b);
/// Mass flow that carries a heat load: load / (c dt).
TQRVNBASE_API double GetMFluxByLoad(double load, double c, double dt);
/// Heat load carried by a mass flow: flux c dt.
TQRVNBASE_API double GetLoadByMFlux(double flux, double c, double dt);
/// Water mass flow, kg/s, that carries a heat load (W) across dt (K).
TQRVNBASE_API double GetWaterFlux(double load, double dt);

// ---------------------------------------------------------------------------
// Reynolds number, friction factor and friction loss.  eps is the relative
// roughness K/d.
// ---------------------------------------------------------------------------

/// Reynolds number d / nu * v (m, m/s, m^2/s).
TQRVNBASE_API double Re(double d, double v, double nu);
/// Darcy friction factor chosen by flow regime.
TQRVNBASE_API double GetLmd(double re, double eps);
/// Laminar flow: 64 / re.
TQRVNBASE_API double x_LF(double re);
/// Blasius: 0.3164 / re^0.25; -1 above re = 100000.
TQRVNBASE_API double x_TF_B(double re);
/// Prandtl-Nikuradse smooth-pipe law by bisection; -1 from re = 3.4e6 and for re <= 0.
TQRVNBASE_API double x_TF_PN(double re);
/// Colebrook-White by bisection.
TQRVNBASE_API double x_TF_CW(double re, double eps);
/// Swamee-Jain (coefficient 1.352); -1 outside 1e-6 < eps < 0.01, 5000 < re < 1e8.
TQRVNBASE_API double x_TF_SJ(double re, double eps);
/// Altshul: 0.11 (68 / re + eps)^0.25.
TQRVNBASE_API double x_TF_A(double re, double eps);
/// Moody (coefficient 0.005); -1 outside 4000 < re < 1e7, eps <= 0.01, or when >= 0.05.
TQRVNBASE_API double x_TF_M(double re, double eps);
/// von Karman-Nikuradse fully rough law.
TQRVNBASE_API double x_TF_KN(double eps);
/// Shifrinson fully rough law: 0.11 eps^0.25.
TQRVNBASE_API double x_TF_X(double eps);
/// Friction loss, Pa, over a length (m) of a section of hydraulic radius rs (m).
TQRVNBASE_API double Pl(double length, double lambda, double rs, double v, double rho);
/// Friction loss per metre, Pa/m.
TQRVNBASE_API double Rm(double lambda, double rs, double v, double rho);
/// Friction loss, Pa, over a length of circular pipe of diameter d (m).
TQRVNBASE_API double Pl_Circle(double length, double lambda, double d, double v, double rho);
/// Friction loss per metre of circular pipe, Pa/m: lambda / d v^2 rho / 2.
TQRVNBASE_API double Rm_Circle(double lambda, double d, double v, double rho);
/// Friction loss, Pa, over a length of a rectangular a x b section.
TQRVNBASE_API double Pl_Square(double length, double lambda, double a, double b, double v,
                               double rho);
/// Friction loss per metre of a rectangular a x b section, Pa/m.
TQRVNBASE_API double Rm_Square(double lambda, double a, double b, double v, double rho);

// ---------------------------------------------------------------------------
// Local resistance coefficients of bends ("syphons") and tees.  Angles in
// radians.
// ---------------------------------------------------------------------------

/// Bend of circular section: zeta = A(angle) B(R/D).
TQRVNBASE_API double GetSyphonDragLocalIndexCircle(double angle, double rd);
/// Bend of rectangular section: zeta = A(angle) K2(re) K1(R/b, h/w).
TQRVNBASE_API double GetSyphonDragLocalIndexSquare(double angle, double rb, double re, double h,
                                                   double w);
/// Converging tee: zeta of inlet 1 (first) or inlet 2, referred to the outlet velocity.
TQRVNBASE_API double GetHeLiuSanTongDragLocalIndex(double wc, double qc, double w1, double q1,
                                                   double w2, double q2, double alpha1,
                                                   double alpha2, bool first);
/// Diverging tee: zeta of a passage, formula selected by the two flags.
TQRVNBASE_API double GetFenLiuSanTongDragLocalIndex(double wc, double fc, double wb, double fb,
                                                    double angle, bool flagA, bool flagB);

// ---------------------------------------------------------------------------
// Unit conversion.  Each member's factor is the number of that unit in one
// base unit (the member 0).  The enumerations have the fixed underlying type
// int, so any int is a valid value; a value without a table entry converts
// to a quiet NaN.
// ---------------------------------------------------------------------------

enum Unit_LENGTH : int {
    LENGTH_M, LENGTH_KM, LENGTH_CM, LENGTH_MM, LENGTH_IN, LENGTH_FT, LENGTH_YD, LENGTH_MI,
    LENGTH_NMI
};
enum Unit_AREA : int { AREA_M2, AREA_HA, AREA_IN2, AREA_FT2, AREA_YD2, AREA_MI2 };
enum Unit_VOLUME : int {
    VOLUME_M3, VOLUME_L, VOLUME_IN3, VOLUME_FT3, VOLUME_UKGAL, VOLUME_USGAL
};
enum Unit_SPEED : int {
    SPEED_MPS, SPEED_KMPH, SPEED_FTPS, SPEED_FTPMIN, SPEED_MPH, SPEED_KNOT
};
enum Unit_WEIGHT : int { WEIGHT_KG, WEIGHT_LB, WEIGHT_SLUG, WEIGHT_T };
enum Unit_DENSITY : int {
    DENSITY_KGPM3, DENSITY_GPCM3, DENSITY_LBPIN3, DENSITY_LBPFT3, DENSITY_LBPUKGAL,
    DENSITY_LBPUSGAL
};
enum Unit_WEIGHTV : int { WEIGHTV_KGPS, WEIGHTV_KGPH, WEIGHTV_LBPS, WEIGHTV_LBPH, WEIGHTV_LTPH };
enum Unit_VOLUMEV : int {
    VOLUMEV_M3PS, VOLUMEV_M3PH, VOLUMEV_LPH, VOLUMEV_LPS, VOLUMEV_FT3PS, VOLUMEV_FT3PH,
    VOLUMEV_UKGALPS
};
enum Unit_STRENG : int { STRENG_N, STRENG_KGF, STRENG_PDL, STRENG_LBF, STRENG_TF, STRENG_OZF };
enum Unit_PRESS : int {
    PRESS_PA, PRESS_ATM, PRESS_MMHG, PRESS_MMH2O, PRESS_KGFPCM2, PRESS_PSI, PRESS_BAR,
    PRESS_TORR, PRESS_INH2O
};
enum Unit_MOTIVITY : int {
    MOTIVITY_PAS, MOTIVITY_CP, MOTIVITY_KGFSPM2, MOTIVITY_LBPFTS, MOTIVITY_LBFSPFT2,
    MOTIVITY_LBFHPFT2
};
enum Unit_SPORT : int {
    SPORT_M2PS, SPORT_MM2PS, SPORT_IN2PS, SPORT_FT2PS, SPORT_IN2PH, SPORT_M2PH
};
enum Unit_HEAT : int {
    HEAT_J, HEAT_KWH, HEAT_KGFM, HEAT_LATM, HEAT_FTPDL, HEAT_CAL, HEAT_FTLBF, HEAT_HPH,
    HEAT_CAL15, HEAT_BTU
};
enum Unit_POWER : int {
    POWER_W, POWER_KW, POWER_KGFMPS, POWER_PS, POWER_FTLBFPS, POWER_HP, POWER_CALPS,
    POWER_KCALPH, POWER_BTUPH
};
enum Unit_HEATTRA : int {
    HEATTRA_WPM2K, HEATTRA_CALPCM2SC, HEATTRA_KCALPM2HC, HEATTRA_BTUPFT2HF
};
enum Unit_HEATCON : int {
    HEATCON_WPMK, HEATCON_CALPCMSC, HEATCON_KCALPMHC, HEATCON_BTUPFTHF, HEATCON_BTUINPFT2HF
};

/// Converts value from unit `from` to unit `to`: factor[to] / factor[from] * value.
TQRVNBASE_API double UnitSwitch(Unit_LENGTH from, Unit_LENGTH to, double value);
TQRVNBASE_API double UnitSwitch(Unit_AREA from, Unit_AREA to, double value);
TQRVNBASE_API double UnitSwitch(Unit_VOLUME from, Unit_VOLUME to, double value);
TQRVNBASE_API double UnitSwitch(Unit_SPEED from, Unit_SPEED to, double value);
TQRVNBASE_API double UnitSwitch(Unit_WEIGHT from, Unit_WEIGHT to, double value);
TQRVNBASE_API double UnitSwitch(Unit_DENSITY from, Unit_DENSITY to, double value);
TQRVNBASE_API double UnitSwitch(Unit_WEIGHTV from, Unit_WEIGHTV to, double value);
TQRVNBASE_API double UnitSwitch(Unit_VOLUMEV from, Unit_VOLUMEV to, double value);
TQRVNBASE_API double UnitSwitch(Unit_STRENG from, Unit_STRENG to, double value);
TQRVNBASE_API double UnitSwitch(Unit_PRESS from, Unit_PRESS to, double value);
TQRVNBASE_API double UnitSwitch(Unit_MOTIVITY from, Unit_MOTIVITY to, double value);
TQRVNBASE_API double UnitSwitch(Unit_SPORT from, Unit_SPORT to, double value);
TQRVNBASE_API double UnitSwitch(Unit_HEAT from, Unit_HEAT to, double value);
TQRVNBASE_API double UnitSwitch(Unit_POWER from, Unit_POWER to, double value);
TQRVNBASE_API double UnitSwitch(Unit_HEATTRA from, Unit_HEATTRA to, double value);
TQRVNBASE_API double UnitSwitch(Unit_HEATCON from, Unit_HEATCON to, double value);

// ---------------------------------------------------------------------------
// Water properties.
// ---------------------------------------------------------------------------

/// Density of water, kg/m^3, at t degC (0..100 degC tabulated, clamped outside); NaN for NaN.
TQRVNBASE_API double GetWaterMD(double t);
/// Kinematic viscosity of water, 1e-6 m^2/s, at t degC (step function of whole degrees); NaN
/// for NaN.
TQRVNBASE_API double GetWaterND(double t);

// ---------------------------------------------------------------------------
// Plastic pipe.  Lengths of the bore formula in mm.
// ---------------------------------------------------------------------------

/// Calculated bore from outside diameter, its tolerance, wall thickness and its tolerance.
TQRVNBASE_API double GetPlastic_dn(double de, double dde, double e, double dwall);
/// Boundary Reynolds number Re_z = dj / k * 500.
TQRVNBASE_API double GetPlastic_Rez(double dj, double k);
/// Flow Reynolds number Re_s = dj / nu * v (same as Re).
TQRVNBASE_API double GetPlastic_Res(double dj, double v, double nu);
/// Exponent b = lg(res) / lg(rez) + 1.
TQRVNBASE_API double GetPlastic_b(double res, double rez);
/// Friction factor of plastic pipe.
TQRVNBASE_API double GetPlastic_lmd(double b, double dj, double k, double res);

// ---------------------------------------------------------------------------
// PPR pipe.  d in m, q in m^3/s, gradient i in Pa/m.
// ---------------------------------------------------------------------------

/// Hydraulic gradient, Pa/m (Hazen-Williams form; c = 0.0112 for flag, else 0.0089).
TQRVNBASE_API double GetPPR_i(double d, double q, bool flag);
/// Diameter, m, at which GetPPR_i(d, q, flag) equals i.
TQRVNBASE_API double GetPPR_Diameter(double i, double q, bool flag);
/// Temperature factor of the nearest tabulated temperature (5..65 degC, clamped).
TQRVNBASE_API double GetPPR_K1(int t);
/// Correction factor for index 0..3; 1.0 for any other index.
TQRVNBASE_API double GetPPR_K2(int index);
/// Gradient times a correction factor: i * factor (factor2 does not enter the result).
TQRVNBASE_API double GetPPR_ii(double i, double factor, double factor2);

// ---------------------------------------------------------------------------
// Steam pipe.  g mass flow t/h, d inside diameter m, rho kg/m^3, k roughness m,
// r specific friction Pa/m.
// ---------------------------------------------------------------------------

/// Specific friction, Pa/m.
TQRVNBASE_API double GetSteam_Rm(double g, double d, double rho, double k);
/// Diameter, m.
TQRVNBASE_API double GetSteam_d(double g, double r, double rho, double k);
/// Mass flow, t/h.
TQRVNBASE_API double GetSteam_Gt(double r, double d, double rho, double k);

} // namespace RVN
