// Density and kinematic viscosity of water as functions of temperature.
#include "calc/RVNCalc.h"

#include <cmath>

namespace RVN {

namespace {

// Density of water, kg/m^3, at 0, 10, 20, 30 and 40 degC; used below 40 degC.
constexpr double kDensity10[5] = {999.3, 999.73, 998.23, 995.67, 992.24};

// Density of water, kg/m^3, for each whole degree from 40 degC (index 0) to
// 100 degC (index 60).  The catalog's published values, used as they stand
// (988.69 at 48 degC lies off the smooth curve but is kept for
// reproducibility of existing designs).
constexpr double kDensity1[61] = {
    992.24, 991.86, 991.47, 991.07, 990.66, 990.25, 989.82, 989.4,  988.69, 988.52,
    988.07, 987.62, 987.15, 986.69, 986.21, 985.73, 985.25, 984.75, 984.25, 983.75,
    983.24, 982.72, 982.2,  981.67, 981.13, 980.59, 980.05, 979.5,  978.94, 978.38,
    977.81, 977.23, 976.66, 976.07, 975.48, 974.84, 974.29, 973.68, 973.07, 972.45,
    971.83, 971.21, 970.57, 969.94, 969.3,  968.65, 968,    967.34, 966.68, 966.01,
    965.34, 964.67, 963.99, 963.3,  962.61, 961.92, 961.22, 960.51, 959.81, 959.09,
    958.38};

// Density used for 4 degC, the density maximum of water, kg/m^3.
constexpr double kDensityAt4 = 1000.0;

// Kinematic viscosity of water, 1e-6 m^2/s (mm^2/s), at the temperatures of kViscosityT.
constexpr int kViscosityT[9] = {0, 5, 10, 15, 20, 30, 40, 60, 80};
constexpr double kViscosity[9] = {1.792, 1.52, 1.307, 1.139, 1.004, 0.801, 0.658, 0.475, 0.365};

// For each whole degree 0..79, the first table position i (1..8) whose
// temperature is above it: the upper end of its interpolation interval.
// Replaces a search of the table on every call.
struct ViscosityIntervals {
    unsigned char upper[80];
    constexpr ViscosityIntervals() : upper{} {
        for (int n = 0; n < 80; ++n) {
            int i = 1;
            while (i < 8 && !(kViscosityT[i] > n)) {
                ++i;
            }
            upper[n] = static_cast<unsigned char>(i);
        }
    }
};
constexpr ViscosityIntervals kViscosityIntervals;

} // namespace

// Density of water, kg/m^3, at t degC.
//   t < 0            999.3 (the 0 degC value)
//   n = trunc(t + 0.5), the nearest whole degree (halves up)
//   n > 100          958.38 (the 100 degC value)
//   40 <= n <= 100   the whole-degree table at n, not interpolated
//   n < 4            999.3 + (1000 - 999.3) t / 10
//   4 <= n < 10      1000 + (999.73 - 1000) (t - 4) / 10
//   10 <= n < 40     linear in the 10-degree table
// The factor 0.1 (per degree over a 10-degree step) is the same in all
// three linear pieces.  NaN gives NaN.
// Example: GetWaterMD(25) = 998.23 + (995.67 - 998.23) * 0.5 = 996.95.
double GetWaterMD(double t) {
    if (std::isnan(t)) {
        return t;
    }
    if (t < 0) {
        return kDensity10[0];
    }
    if (t + 0.5 >= 101.0) { // n > 100, also for +infinity; no int conversion out of range
        return kDensity1[60];
    }
    const int n = static_cast<int>(t + 0.5);
    if (n >= 40) {
        return kDensity1[n - 40];
    }
    if (n < 4) {
        return kDensity10[0] + (kDensityAt4 - kDensity10[0]) * t * 0.1;
    }
    if (n < 10) {
        return kDensityAt4 + (kDensity10[1] - kDensityAt4) * (t - 4) * 0.1;
    }
    const int k = n / 10; // 1..3
    return kDensity10[k] + (kDensity10[k + 1] - kDensity10[k]) * (t - 10 * k) * 0.1;
}

// Kinematic viscosity of water, 1e-6 m^2/s, at t degC: linear interpolation
// in the table at n = trunc(t + 0.5), so the result is a step function of t
// at whole degrees.  n >= 80 gives 0.365; a negative n extrapolates the
// first interval (0..5 degC).  n is kept as a double, so no temperature is
// ever converted to an int out of range.  NaN gives NaN.
// Example: GetWaterND(25.2) = 1.004 + (0.801 - 1.004) * 5 / 10 = 0.9025.
double GetWaterND(double t) {
    if (std::isnan(t)) {
        return t;
    }
    const double n = std::trunc(t + 0.5);
    if (n >= 80) {
        return kViscosity[8];
    }
    // n < 0 extrapolates the first interval; 0 <= n < 80 converts to int safely.
    const int i = n < 0 ? 1 : kViscosityIntervals.upper[static_cast<int>(n)];
    return (kViscosity[i] - kViscosity[i - 1]) * (n - kViscosityT[i - 1]) /
               (kViscosityT[i] - kViscosityT[i - 1]) +
           kViscosity[i - 1];
}

} // namespace RVN
