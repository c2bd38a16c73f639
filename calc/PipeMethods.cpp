// Material-specific pipe methods: the plastic-pipe friction factor, the PPR
// gradient formula with its correction factors, and the steam-pipe formula
// in its three forms.
#include "calc/RVNCalc.h"

#include <cmath>

namespace RVN {

// ---- Plastic pipe ---------------------------------------------------------

// Calculated bore, mm: the mean outside diameter de + dde/2 less twice the
// mean wall e + dwall/2, i.e. (2 de + dde - 4 e - 2 dwall) / 2.
// Example: GetPlastic_dn(63, 0.3, 5.8, 0.5) = 51.05.
double GetPlastic_dn(double de, double dde, double e, double dwall) {
    return (de * 2 + dde - e * 4 - dwall * 2) * 0.5;
}

// Boundary Reynolds number between smooth and rough behaviour: 500 dj / k.
double GetPlastic_Rez(double dj, double k) { return dj / k * 500; }

// Exponent b of the plastic-pipe method: 1 + lg(Re_s) / lg(Re_z).
double GetPlastic_b(double res, double rez) { return std::log10(res) / std::log10(rez) + 1; }

// Friction factor of plastic pipe:
//   res = 0 (|res| < 1e-6)  0
//   res < 2300              laminar, 64 / res
//   otherwise  lambda = { [(2 - b) 1.312 g / (lg res - 1) + b / 2] / (2 g) }^2,
//              g = lg(3.7 dj / k).
double GetPlastic_lmd(double b, double dj, double k, double res) {
    if (IsZero(res)) {
        return 0.0;
    }
    if (res < 2300) {
        return 64 / res;
    }
    const double g = std::log10(dj / k * 3.7);
    const double x = ((2 - b) * g * 1.312 / (std::log10(res) - 1) + b * 0.5) / g * 0.5;
    return x * x;
}

// ---- PPR pipe --------------------------------------------------------------

namespace {
// Gradient coefficients of the Hazen-Williams form, Pa/m per unit of
// d^-4.87 q^1.85 / 1000: 0.0112 for the default (hot-water) line, 0.0089
// for the other.
inline double PprCoefficient(bool flag) { return flag ? 0.0112 : 0.0089; }

// Temperature correction of the PPR gradient: tabulated temperatures, degC,
// in ascending order, and their factors (1.0 at 10 degC, the reference).
constexpr int kK1Temperature[9] = {5, 10, 20, 30, 40, 50, 55, 60, 65};
constexpr double kK1Factor[9] = {1.037, 1.0, 0.943, 0.895, 0.856, 0.822, 0.808, 0.793, 0.781};

// Correction factors selected by index 0..3.
constexpr double kK2Factor[4] = {0.573, 0.733, 1.0, 1.553};
} // namespace

// Hydraulic gradient of PPR pipe, Pa/m: 1000 c d^-4.87 q^1.85 (d in m, q in m^3/s).
double GetPPR_i(double d, double q, bool flag) {
    return std::pow(d, -4.87) * std::pow(q, 1.85) * PprCoefficient(flag) * 1000;
}

// Inverse of GetPPR_i in d: (q^1.85 1000 c / i)^(1/4.87); 0.2053388090349076 is 1/4.87.
double GetPPR_Diameter(double i, double q, bool flag) {
    return std::pow(std::pow(q, 1.85) * (PprCoefficient(flag) * 1000 / i), 0.2053388090349076);
}

// Temperature factor of the nearest tabulated temperature; a tie goes to the
// lower one (15 -> 1.0, 35 -> 0.895); below 5 degC 1.037, above 65 degC 0.781.
double GetPPR_K1(int t) {
    int i = 0;
    while (i < 9 && kK1Temperature[i] <= t) {
        if (kK1Temperature[i] == t) {
            return kK1Factor[i];
        }
        ++i;
    }
    if (i == 0) {
        return kK1Factor[0];
    }
    if (i == 9) {
        return kK1Factor[8];
    }
    return kK1Temperature[i] - t < t - kK1Temperature[i - 1] ? kK1Factor[i] : kK1Factor[i - 1];
}

double GetPPR_K2(int index) {
    if (index < 0 || index > 3) {
        return 1.0;
    }
    return kK2Factor[index];
}

// A gradient times one correction factor.  The second factor is accepted for
// the callers' signature and does not enter the result.
double GetPPR_ii(double i, double factor, double /*factor2*/) { return i * factor; }

// ---- Steam pipe ------------------------------------------------------------
// Empirical formula for saturated steam in steel pipe:
//     R = 0.00688 k^0.25 G^2 / (rho d^5.25)
// with R in Pa/m, G in t/h, d in m, rho in kg/m^3, k in m.  The other two
// forms are it solved for d and for G with rounded exponents
// (0.381 = 2/5.25, 0.0476 = 0.25/5.25, 0.19 = 1/5.25, 2.625 = 5.25/2), so the
// three agree to a fraction of a per cent, not to the last bit.

double GetSteam_Rm(double g, double d, double rho, double k) {
    return g * g / (std::pow(d, 5.25) * rho) * std::pow(k, 0.25) * 0.00688;
}

double GetSteam_d(double g, double r, double rho, double k) {
    return std::pow(g, 0.381) * std::pow(k, 0.0476) / std::pow(r * rho, 0.19) * 0.387;
}

double GetSteam_Gt(double r, double d, double rho, double k) {
    return std::pow(r * rho, 0.5) * std::pow(d, 2.625) / std::pow(k, 0.125) * 12.06;
}

} // namespace RVN
