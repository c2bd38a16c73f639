// Conversion of a value between units of sixteen physical quantities.
//
// Each quantity has a table of factors indexed by its enumeration: the
// factor of a unit is the number of that unit in one base unit (the member 0,
// factor 1).  Every unit is proportional to its base unit, so a conversion is
// one quotient of factors times the value.  The factors are the catalog's
// published values, stated to the digits it gives them (for example km/h
// 3.599712 rather than 3.6, ft/min 196.078431, m3/h 3599.9712); they are kept
// as published so that results agree with the catalog's, rounding included.
// All functions are stateless, allocate nothing and may be called from any
// thread.
#include "calc/RVNCalc.h"

#include <cstddef>
#include <limits>

namespace RVN {
namespace {

// factor[to] / factor[from] * value, in that order (quotient first), so that
// from == to gives exactly value.  A member value outside the table (any int
// the enumeration can hold) gives a quiet NaN; the test is on the unsigned
// value, so negative members are caught without reading the table.
template <std::size_t N> double Convert(const double (&factor)[N], int from, int to, double value) {
    const auto f = static_cast<unsigned>(from);
    const auto t = static_cast<unsigned>(to);
    if (f >= N || t >= N) {
        return std::numeric_limits<double>::quiet_NaN();
    }
    return factor[t] / factor[f] * value;
}

// Length, units per m: m, km, cm, mm, inch, foot, yard, mile, nautical mile.
constexpr double kLength[] = {1, 0.001, 100, 1000, 39.370079, 3.28084, 1.093613, 0.000621, 0.00054};
static_assert(sizeof kLength / sizeof kLength[0] == LENGTH_NMI + 1);

// Area, units per m^2: m^2, hectare, in^2, ft^2, yd^2, mile^2.
constexpr double kArea[] = {1, 0.0001, 1550.0031, 10.764263, 1.196029, 3.861e-07};
static_assert(sizeof kArea / sizeof kArea[0] == AREA_MI2 + 1);

// Volume, units per m^3: m^3, litre, in^3, ft^3, imperial gallon, US gallon.
constexpr double kVolume[] = {1, 1000, 61023.7, 35.335689, 219.968764, 264.172875};
static_assert(sizeof kVolume / sizeof kVolume[0] == VOLUME_USGAL + 1);

// Velocity, units per m/s: m/s, km/h, ft/s, ft/min, mile/h, knot.
constexpr double kSpeed[] = {1, 3.599712, 3.28084, 196.078431, 2.237136, 1.944012};
static_assert(sizeof kSpeed / sizeof kSpeed[0] == SPEED_KNOT + 1);

// Mass, units per kg: kg, pound, slug, tonne.
constexpr double kWeight[] = {1, 2.204586, 0.068522, 0.001};
static_assert(sizeof kWeight / sizeof kWeight[0] == WEIGHT_T + 1);

// Density, units per kg/m^3: kg/m^3, g/cm^3, lb/in^3, lb/ft^3,
// lb/imperial gallon, lb/US gallon.
constexpr double kDensity[] = {1, 0.001, 3.6e-05, 0.062428, 0.010022, 0.008345};
static_assert(sizeof kDensity / sizeof kDensity[0] == DENSITY_LBPUSGAL + 1);

// Mass flow, units per kg/s: kg/s, kg/h, lb/s, lb/h, long ton/h.
constexpr double kWeightV[] = {1, 3599.9712, 2.204586, 7936.507937, 3.543586};
static_assert(sizeof kWeightV / sizeof kWeightV[0] == WEIGHTV_LTPH + 1);

// Volume flow, units per m^3/s: m^3/s, m^3/h, l/h, l/s, ft^3/s, ft^3/h,
// imperial gallon/s.
constexpr double kVolumeV[] = {1, 3599.9712, 3600000, 1000, 35.335689, 127133, 219.969};
static_assert(sizeof kVolumeV / sizeof kVolumeV[0] == VOLUMEV_UKGALPS + 1);

// Force, units per N: N, kgf, poundal, lbf, tonne-force, ounce-force.
constexpr double kStreng[] = {1, 0.101971, 7.230658, 0.22481, 0.0001, 3.597122};
static_assert(sizeof kStreng / sizeof kStreng[0] == STRENG_OZF + 1);

// Pressure, units per Pa: Pa, standard atmosphere, mmHg, mmH2O, kgf/cm^2,
// lbf/in^2, bar, torr, inH2O.
constexpr double kPress[] = {1,          9.8692e-06, 0.007506, 0.101937, 1.0197e-05,
                             0.00014504, 1e-05,      0.0075,   0.0040146};
static_assert(sizeof kPress / sizeof kPress[0] == PRESS_INH2O + 1);

// Dynamic viscosity, units per Pa s: Pa s, centipoise, kgf s/m^2, lb/(ft s),
// lbf s/ft^2, lbf h/ft^2.
constexpr double kMotivity[] = {1, 1000, 0.102, 0.6719, 0.0209, 5.8e-06};
static_assert(sizeof kMotivity / sizeof kMotivity[0] == MOTIVITY_LBFHPFT2 + 1);

// Kinematic viscosity, units per m^2/s: m^2/s, mm^2/s (centistokes), in^2/s,
// ft^2/s, in^2/h, m^2/h.
constexpr double kSport[] = {1, 1000000, 1550, 10.764263, 5580000, 3600};
static_assert(sizeof kSport / sizeof kSport[0] == SPORT_M2PH + 1);

// Energy, units per J: J, kWh, kgf m, litre atmosphere, ft poundal,
// calorie (international table), ft lbf, horsepower hour, calorie (15 degC),
// Btu.
constexpr double kHeat[] = {1,        2.78e-07, 0.10197,  0.009869, 23.752969,
                            0.238846, 0.737572, 3.73e-07, 0.23892,  0.000948};
static_assert(sizeof kHeat / sizeof kHeat[0] == HEAT_BTU + 1);

// Power, units per W: W, kW, kgf m/s, metric horsepower, ft lbf/s,
// horsepower, cal/s, kcal/h, Btu/h.
constexpr double kPower[] = {1,        0.001,    0.101971, 0.00136, 0.737572,
                             0.001341, 0.238846, 0.859845, 3.411805};
static_assert(sizeof kPower / sizeof kPower[0] == POWER_BTUPH + 1);

// Heat-transfer coefficient, units per W/(m^2 K): W/(m^2 K),
// cal/(cm^2 s degC), kcal/(m^2 h degC), Btu/(ft^2 h degF).
constexpr double kHeatTra[] = {1, 2.389e-05, 0.859845, 0.176118};
static_assert(sizeof kHeatTra / sizeof kHeatTra[0] == HEATTRA_BTUPFT2HF + 1);

// Thermal conductivity, units per W/(m K): W/(m K), cal/(cm s degC),
// kcal/(m h degC), Btu/(ft h degF), Btu in/(ft^2 h degF).
constexpr double kHeatCon[] = {1, 0.002388, 0.8598, 0.577801, 6.9335};
static_assert(sizeof kHeatCon / sizeof kHeatCon[0] == HEATCON_BTUINPFT2HF + 1);

} // namespace

// Each overload converts `value` from unit `from` to unit `to` of its
// quantity: factor[to] / factor[from] * value.  Valid for every finite or
// infinite value; NaN when `from` or `to` is not a member of the enumeration.

// Length (base m).
double UnitSwitch(Unit_LENGTH from, Unit_LENGTH to, double value) {
    return Convert(kLength, from, to, value);
}
// Area (base m^2).
double UnitSwitch(Unit_AREA from, Unit_AREA to, double value) {
    return Convert(kArea, from, to, value);
}
// Volume (base m^3).
double UnitSwitch(Unit_VOLUME from, Unit_VOLUME to, double value) {
    return Convert(kVolume, from, to, value);
}
// Velocity (base m/s).
double UnitSwitch(Unit_SPEED from, Unit_SPEED to, double value) {
    return Convert(kSpeed, from, to, value);
}
// Mass (base kg).
double UnitSwitch(Unit_WEIGHT from, Unit_WEIGHT to, double value) {
    return Convert(kWeight, from, to, value);
}
// Density (base kg/m^3).
double UnitSwitch(Unit_DENSITY from, Unit_DENSITY to, double value) {
    return Convert(kDensity, from, to, value);
}
// Mass flow (base kg/s).
double UnitSwitch(Unit_WEIGHTV from, Unit_WEIGHTV to, double value) {
    return Convert(kWeightV, from, to, value);
}
// Volume flow (base m^3/s).
double UnitSwitch(Unit_VOLUMEV from, Unit_VOLUMEV to, double value) {
    return Convert(kVolumeV, from, to, value);
}
// Force (base N).
double UnitSwitch(Unit_STRENG from, Unit_STRENG to, double value) {
    return Convert(kStreng, from, to, value);
}
// Pressure (base Pa).
double UnitSwitch(Unit_PRESS from, Unit_PRESS to, double value) {
    return Convert(kPress, from, to, value);
}
// Dynamic viscosity (base Pa s).
double UnitSwitch(Unit_MOTIVITY from, Unit_MOTIVITY to, double value) {
    return Convert(kMotivity, from, to, value);
}
// Kinematic viscosity (base m^2/s).
double UnitSwitch(Unit_SPORT from, Unit_SPORT to, double value) {
    return Convert(kSport, from, to, value);
}
// Energy (base J).
double UnitSwitch(Unit_HEAT from, Unit_HEAT to, double value) {
    return Convert(kHeat, from, to, value);
}
// Power (base W).
double UnitSwitch(Unit_POWER from, Unit_POWER to, double value) {
    return Convert(kPower, from, to, value);
}
// Heat-transfer coefficient (base W/(m^2 K)).
double UnitSwitch(Unit_HEATTRA from, Unit_HEATTRA to, double value) {
    return Convert(kHeatTra, from, to, value);
}
// Thermal conductivity (base W/(m K)).
double UnitSwitch(Unit_HEATCON from, Unit_HEATCON to, double value) {
    return Convert(kHeatCon, from, to, value);
}

} // namespace RVN
