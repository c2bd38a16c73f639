// Reynolds number, Darcy friction factor by named formula and by regime, and
// the friction loss of pipes and ducts.
//
// lambda is the Darcy friction factor (dimensionless), eps the relative
// roughness K/d, re the Reynolds number.  Formulas used outside their range
// of validity return -1.0; callers pass that value on, so a negative lambda
// marks a formula used out of range.
#include "calc/RVNCalc.h"

#include <cmath>

namespace RVN {

namespace {

constexpr double kOneThird = 0.3333333333333333;
constexpr double kEightSevenths = 1.1428571428571428;
constexpr double kInv3_7 = 0.27027027027027023; // 1 / 3.7, Colebrook's roughness divisor

// Both bisections stop when the residual or the step falls to this value.
constexpr double kBisectionTolerance = 1e-09;

// A bracket of width at most ~2 halves below 1e-9 in at most 31 passes; the
// bound only guarantees termination for any input and never changes a result.
constexpr int kMaxBisectionPasses = 200;

// Colebrook-White residual 1/sqrt(l) + 2 lg(e + 2.51 / (re sqrt(l))), e = eps / 3.7.
// It falls as lambda grows.
inline double ColebrookResidual(double lambda, double re, double e) {
    const double s = std::sqrt(lambda);
    return 1.0 / s + 2.0 * std::log10(e + 2.51 / (re * s));
}

// Prandtl-Nikuradse residual 2 lg(re sqrt(l)) - 0.8 - 1/sqrt(l); it rises
// with lambda.
inline double SmoothPipeResidual(double lambda, double re) {
    const double s = std::sqrt(lambda);
    return 2.0 * std::log10(re * s) - 0.8 - 1.0 / s;
}

} // namespace

double Re(double d, double v, double nu) { return d / nu * v; }
double GetPlastic_Res(double dj, double v, double nu) { return dj / nu * v; }

// Laminar flow (Hagen-Poiseuille), valid for re < 2300.
double x_LF(double re) { return 64 / re; }

// Blasius smooth-pipe formula, valid up to re = 1e5.
double x_TF_B(double re) {
    if (!(re <= 100000)) {
        return -1.0;
    }
    return 0.3164 / std::pow(re, 0.25);
}

// Prandtl-Nikuradse (Karman-Prandtl) smooth-pipe law
//     1/sqrt(lambda) = 2 lg(re sqrt(lambda)) - 0.8,
// solved by bisection on lambda.  The lower end of the bracket is
// 2.7183^0.8 / re^2 (the published method writes e^0.8 where the law would
// give 10^0.8; the bracket still holds the root for every accepted re).
// Valid for 0 < re < 3.4e6; -1 outside, for a non-finite re, and when re^2
// underflows so that the bracket has no finite lower end.
double x_TF_PN(double re) {
    if (!(re > 0.0 && re < 3400000)) {
        return -1.0;
    }
    const double reSquared = re * re;
    if (reSquared == 0.0) {
        return -1.0;
    }
    double low = std::pow(2.7183, 0.8) / reSquared;
    double high = 1.0;
    double previous = 1.0;
    double mid = (low + 1.0) * 0.5;
    double f = SmoothPipeResidual(mid, re);
    for (int pass = 0; pass < kMaxBisectionPasses; ++pass) {
        if (std::fabs(f) <= kBisectionTolerance) {
            return mid;
        }
        if (f > 0) {
            high = mid;
        } else {
            low = mid;
        }
        mid = (high + low) * 0.5;
        f = SmoothPipeResidual(mid, re);
        if (std::fabs(mid - previous) <= kBisectionTolerance) {
            return mid;
        }
        previous = mid;
    }
    return mid;
}

// Colebrook-White
//     1/sqrt(lambda) = -2 lg(eps/3.7 + 2.51 / (re sqrt(lambda))),
// solved by bisection on lambda in (0, 1).  The first midpoint 0.5 is never
// kept as "previous": the first step test compares the second midpoint with
// 1.0.  A NaN argument gives NaN (the bisection would otherwise settle on a
// meaningless bound).
double x_TF_CW(double re, double eps) {
    if (std::isnan(re) || std::isnan(eps)) {
        return std::nan("");
    }
    const double e = eps * kInv3_7;
    double low = 0.0;
    double high = 1.0;
    double previous = 1.0;
    double mid = 0.5;
    double f = ColebrookResidual(mid, re, e);
    for (int pass = 0; pass < kMaxBisectionPasses; ++pass) {
        if (std::fabs(f) <= kBisectionTolerance) {
            return mid;
        }
        if (f > 0) {
            low = mid;
        } else {
            high = mid;
        }
        mid = (high + low) * 0.5;
        f = ColebrookResidual(mid, re, e);
        if (std::fabs(mid - previous) <= kBisectionTolerance) {
            return mid;
        }
        previous = mid;
    }
    return mid;
}

// Swamee-Jain explicit approximation of Colebrook-White,
//     lambda = 1.352 / [ln(eps/3.7 + 5.74 / re^0.9)]^2.
// The textbook coefficient of this ln form is 1.325 (0.25 (ln 10)^2); the
// published method uses 1.352 and designs made with it must stay
// reproducible, so it is kept.  Valid for
// 1e-6 < eps < 0.01 and 5000 < re < 1e8 (bounds excluded); -1 outside.
double x_TF_SJ(double re, double eps) {
    if (!(eps > 1e-06 && eps < 0.01 && re > 5000 && re < 100000000)) {
        return -1.0;
    }
    const double l = std::log(eps * kInv3_7 + 5.74 / std::pow(re, 0.9));
    return 1.352 / (l * l);
}

// Altshul: lambda = 0.11 (68 / re + eps)^0.25, for the whole turbulent range.
double x_TF_A(double re, double eps) { return std::pow(68 / re + eps, 0.25) * 0.11; }

// Moody's explicit approximation
//     lambda = 0.005 [1 + (20000 eps + 1e6 / re)^(1/3)].
// The usual coefficient is 0.0055; the published method uses 0.005 and it is
// kept.  Valid for 4000 < re < 1e7 and eps <= 0.01, and only while the
// result stays below 0.05; -1 otherwise.
double x_TF_M(double re, double eps) {
    if (!(re > 4000 && re < 10000000 && eps <= 0.01)) {
        return -1.0;
    }
    const double lambda = (1 + std::pow(eps * 20000 + 1000000 / re, kOneThird)) * 0.005;
    if (!(lambda < 0.05)) {
        return -1.0;
    }
    return lambda;
}

// von Karman-Nikuradse fully rough law: lambda = 1 / (2 lg(1/eps) + 1.14)^2.
double x_TF_KN(double eps) {
    const double x = 2 * std::log10(1 / eps) + 1.14;
    return 1 / (x * x);
}

// Shifrinson fully rough law: lambda = 0.11 eps^0.25.
double x_TF_X(double eps) { return std::pow(eps, 0.25) * 0.11; }

// Friction factor chosen by flow regime:
//   re < 2300                         laminar, 64 / re
//   2300 <= re <= 4000                transition, 0.0025 re^(1/3)
//   re < 26.98 (1/eps)^(8/7)          hydraulically smooth, Blasius (-1 above 1e5)
//   re > 191.2 (1/eps) / sqrt(l_cw)   fully rough, Shifrinson
//   otherwise                         mixed friction, Colebrook-White
// re = 0 (|re| < 1e-6) gives 0.  With eps = 0 every re > 4000 is smooth.
// The Colebrook root is only needed by the last two zones, so it is computed
// there; being a pure function of (re, eps) this changes no result.
double GetLmd(double re, double eps) {
    if (IsZero(re)) {
        return 0.0;
    }
    if (re < 2300) {
        return x_LF(re);
    }
    if (re <= 4000) {
        return std::pow(re, kOneThird) * 0.0025;
    }
    const double r = 1 / eps;
    if (re < std::pow(r, kEightSevenths) * 26.98) {
        return x_TF_B(re);
    }
    const double lcw = x_TF_CW(re, eps);
    if (re > r / std::sqrt(lcw) * 191.2) {
        return x_TF_X(eps);
    }
    return lcw;
}

// Darcy-Weisbach friction loss over a length of a section with hydraulic
// radius rs: length / (4 rs) * lambda * rho v^2 / 2.
double Pl(double length, double lambda, double rs, double v, double rho) {
    return length / rs * lambda * v * v * rho * 0.125;
}
double Rm(double lambda, double rs, double v, double rho) { return Pl(1.0, lambda, rs, v, rho); }
double Pl_Circle(double length, double lambda, double d, double v, double rho) {
    return Pl(length, lambda, d * 0.25, v, rho);
}
double Rm_Circle(double lambda, double d, double v, double rho) {
    return Pl_Circle(1.0, lambda, d, v, rho);
}
double Pl_Square(double length, double lambda, double a, double b, double v, double rho) {
    return Pl(length, lambda, a * b / (a + b) * 0.5, v, rho);
}
double Rm_Square(double lambda, double a, double b, double v, double rho) {
    return Pl_Square(1.0, lambda, a, b, v, rho);
}

} // namespace RVN
