// Local resistance coefficients (zeta, dimensionless) of bends and tees.
//
// A coefficient is multiplied by a dynamic pressure (RVN::Pd) to give a
// local loss.  Angles come in radians and are turned into degrees for the
// tables.  Every function reads only its arguments and the constant tables
// below, so any thread may call it at any time; none allocates.
#include "calc/RVNCalc.h"

#include <cmath>
#include <cstddef>
#include <limits>

namespace RVN {
namespace {

// Degrees per radian.
constexpr double kDegPerRad = 57.29577951308232;

// Clamped piecewise-linear lookup on the tabulated function y(x), the
// abscissae strictly ascending in column xc and the values in column yc of
// `tab`.
//  - x at or below the first abscissa gives the first value, x at or above
//    the last abscissa gives the last value (so -inf and +inf clamp too);
//  - x exactly on an abscissa gives that row's value unrounded;
//  - between two abscissae x0 < x < x1 the result is
//    y0 + t (y1 - y0) with t = (x - x0) / (x1 - x0);
//  - NaN gives a quiet NaN (it is neither below, above nor inside the table).
// The interval is found by a forward search whose index never passes N - 1;
// x is only compared and subtracted, never converted to an integer, so every
// read stays inside the table for every argument.
template <std::size_t N, std::size_t W>
double Lookup(const double (&tab)[N][W], std::size_t xc, std::size_t yc, double x) {
    static_assert(N >= 2, "a lookup table needs two rows at least");
    if (std::isnan(x)) {
        return std::numeric_limits<double>::quiet_NaN();
    }
    if (x <= tab[0][xc]) {
        return tab[0][yc];
    }
    std::size_t i = 1;
    while (i < N - 1 && x > tab[i][xc]) {
        ++i;
    }
    // Now tab[i - 1][xc] < x, and x <= tab[i][xc] unless i = N - 1.
    const double x0 = tab[i - 1][xc];
    const double x1 = tab[i][xc];
    if (x >= x1) {
        return tab[i][yc];
    }
    const double t = (x - x0) / (x1 - x0);
    return tab[i - 1][yc] + t * (tab[i][yc] - tab[i - 1][yc]);
}

// Bend-angle factor A: {bend angle in degrees, factor (dimensionless)}.
constexpr double kBendAngleA[11][2] = {
    {0.0, 0.0},  {20.0, 0.31},  {30.0, 0.45}, {45.0, 0.6},   {60.0, 0.78}, {75.0, 0.9},
    {90.0, 1.0}, {110.0, 1.13}, {130.0, 1.2}, {150.0, 1.28}, {180.0, 1.4},
};

// Radius factor B of a circular bend: {relative bend radius R/D
// (dimensionless), factor (dimensionless)}.
constexpr double kCircleRadiusB[6][2] = {
    {0.5, 0.75}, {0.75, 0.33}, {1.0, 0.22}, {1.5, 0.15}, {2.0, 0.13}, {2.5, 0.12},
};

// Reynolds factor K2 of a rectangular bend, two rows of nine triples:
// {row label R/b (dimensionless, carried but not read), Reynolds number
// / 10^4 (dimensionless), factor (dimensionless)}.  The row is chosen by the
// relative radius in GetSyphonDragLocalIndexSquare.  The 1.4 at Re/10^4 = 4
// of row 0.5 breaks the row's fall from 1.19 to 1.09; it is kept as the
// catalog's published value.
constexpr double kSquareReynoldsK2[2][9][3] = {
    {{0.5, 1.0, 1.4},
     {0.5, 2.0, 1.26},
     {0.5, 3.0, 1.19},
     {0.5, 4.0, 1.4},
     {0.5, 6.0, 1.09},
     {0.5, 8.0, 1.06},
     {0.5, 10.0, 1.04},
     {0.5, 14.0, 1.0},
     {0.5, 20.0, 1.0}},
    {{0.75, 1.0, 2.0},
     {0.75, 2.0, 1.77},
     {0.75, 3.0, 1.64},
     {0.75, 4.0, 1.56},
     {0.75, 6.0, 1.46},
     {0.75, 8.0, 1.38},
     {0.75, 10.0, 1.3},
     {0.75, 14.0, 1.15},
     {0.75, 20.0, 1.0}},
};

// Bend-angle factor A for an angle in radians; 0 at or below 0 deg, 1.4 at or
// above 180 deg, NaN for NaN.
double BendAngleFactor(double angle) {
    return Lookup(kBendAngleA, 0, 1, angle * kDegPerRad);
}

} // namespace

// Local resistance coefficient of a bend of circular section,
// zeta = A(angle) * B(rd).  angle in radians (clamped to 0..180 deg), rd the
// relative bend radius R/D (clamped to 0.5..2.5).  NaN in either argument
// gives NaN.
double GetSyphonDragLocalIndexCircle(double angle, double rd) {
    const double b = Lookup(kCircleRadiusB, 0, 1, rd);
    const double a = BendAngleFactor(angle);
    return a * b;
}

// Local resistance coefficient of a bend of rectangular section,
// zeta = A(angle) * K2(re) * K1(rb, h / w).
//  angle: bend angle in radians (A clamped to 0..180 deg);
//  rb: relative bend radius R/b; below 0.75 selects the K2 row 0.5, else
//      the row 0.75;
//  re: Reynolds number (K2 clamped to 10^4..2*10^5);
//  h, w: the two sides of the section (any one unit), w non-zero.
// K1 is the shape factor ((1/rb)^3.3 + 1.4) (h/w)^0.15 0.1, with the extra
// factor (1 - 0.12 rb) for rb < 1, valid for 0.25 <= h/w <= 3 and
// 0.5 <= rb <= 2 (bounds inclusive); outside that window K1 = 1.
// NaN in angle or re gives NaN.
double GetSyphonDragLocalIndexSquare(double angle, double rb, double re, double h, double w) {
    const double r = h / w;
    double k1 = 1.0;
    if (r >= 0.25 && r <= 3.0 && rb >= 0.5 && rb <= 2.0) {
        if (rb < 1.0) {
            k1 = (std::pow(1.0 / rb, 3.3) + 1.4) * std::pow(r, 0.15) * (1.0 - rb * 0.12) * 0.1;
        } else {
            k1 = (std::pow(1.0 / rb, 3.3) + 1.4) * std::pow(r, 0.15) * 0.1;
        }
    }
    const double x = re * 0.0001;
    const std::size_t row = rb < 0.75 ? 0 : 1;
    const double k2 = Lookup(kSquareReynoldsK2[row], 1, 2, x);
    const double a = BendAngleFactor(angle);
    return a * k2 * k1;
}

// Local resistance coefficient of one inlet of a converging tee (two inlets
// joining into one outlet) by momentum balance, referred to the outlet
// velocity.
//  wc, qc: velocity (m/s) and flow of the combined outlet, both non-zero;
//  w1, q1 and w2, q2: velocity (m/s) and flow of inlets 1 and 2 (flows in
//      the unit of qc);
//  alpha1, alpha2: angles (rad) of the inlets to the outlet axis;
//  first: true for inlet 1, false for inlet 2.
// With X the momentum-mean axial inflow velocity and u = 1/wc:
// (w u)^2 - 2 u X + 1 when X > wc, (w u)^2 - (uX)^2 / 2 - uX + 1/2 when
// X <= wc, and 0 when X or wc is NaN.
double GetHeLiuSanTongDragLocalIndex(double wc, double qc, double w1, double q1, double w2,
                                     double q2, double alpha1, double alpha2, bool first) {
    const double X = (std::cos(alpha1) * w1 * q1 + std::cos(alpha2) * w2 * q2) * (1.0 / qc);
    const double w = first ? w1 : w2;
    const double u = 1.0 / wc;
    const double wu = w * u;
    if (X > wc) {
        return wu * wu - u * X * 2.0 + 1.0;
    }
    if (X <= wc) {
        const double x = u * X;
        return wu * wu - x * x * 0.5 - x + 0.5;
    }
    return 0.0;
}

// Local resistance coefficient of one passage of a diverging tee (one inlet
// splitting in two).
//  wc, fc: velocity (m/s) of the common passage and a second quantity of it;
//  wb, fb: velocity (m/s) of the passage considered and a second quantity of
//      it; fc and fb only enter as factors that cancel, they must be
//      non-zero;
//  angle: angle (rad) of the passage to the common passage;
//  flagA, flagB: select the form:
//   both:     the angle form of the velocity ratio R = wb / wc: within 0.1 deg
//             of 45 deg ((R - 0.81)^2 + 0.4) / R^2, within 0.1 deg of 90 deg
//             1/R^2 + 0.5, else (sin^2 + (cos - R)^2) / R when cos(angle) > R,
//             else (sin^2 + (R - cos) R / 2) / R^2;
//   A only:   x = wb / wc, 0.35 x^2 + 0.7 for 0.5 <= x <= 2, else 0;
//   B only:   0.35 (wc / wb - 1)^2, no range;
//   neither:  x = wb / wc, 0.35 (1 - x)^2 for 0 <= x <= 1, else 0.
// The windowed forms give NaN for a NaN ratio.
double GetFenLiuSanTongDragLocalIndex(double wc, double fc, double wb, double fb, double angle,
                                      bool flagA, bool flagB) {
    if (flagA && flagB) {
        const double R = ((1.0 / fc) / wc * fc * fb) / (fb / wb);
        const double theta = angle * kDegPerRad;
        const double invR = 1.0 / R;
        if (std::fabs(theta - 45.0) <= 0.1) {
            const double d = R - 0.81;
            return (d * d + 0.4) * invR * invR;
        }
        if (std::fabs(theta - 90.0) <= 0.1) {
            return invR * invR + 0.5;
        }
        const double c = std::cos(angle);
        const double s = std::sin(angle);
        if (c > R) {
            const double d = c - R;
            return (s * s + d * d) / R;
        }
        return (s * s + (R - c) * R * 0.5) * invR * invR;
    }
    if (flagA) {
        const double x = wb / wc;
        if (x < 0.5 || x > 2.0) {
            return 0.0;
        }
        return x * x * 0.35 + 0.7;
    }
    if (flagB) {
        const double y = ((fb / wb) / fb * fc) / (fc / wc) - 1.0;
        return y * y * 0.35;
    }
    const double x = wb / wc;
    if (x < 0.0 || x > 1.0) {
        return 0.0;
    }
    const double d = 1.0 - x;
    return d * d * 0.35;
}

} // namespace RVN
