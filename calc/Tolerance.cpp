// Comparison tolerances used by every calculation of the library.
#include "calc/RVNCalc.h"

#include <cmath>

namespace RVN {

namespace {
// Zero tolerance of the library: differences below one part in a million of
// the unit (1 um on a metre, 1 mm/s on a velocity) count as equal.
constexpr double kZeroTolerance = 1e-06;
} // namespace

bool IsEqual(double a, double b, double tol) { return std::fabs(a - b) < tol; }

bool IsZero(double x) { return IsEqual(x, 0.0, kZeroTolerance); }

bool InZone(double x, double low, double high) {
    return low - kZeroTolerance < x && x < high + kZeroTolerance;
}

bool InZone(int x, int low, int high) { return low <= x && x <= high; }

} // namespace RVN
