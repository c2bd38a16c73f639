// Short unit symbols of the sixteen quantities of RVN::UnitSwitch, for the
// command line ("tqrvn convert 1 bar Pa").
//
// Every member of every unit enumeration has exactly one symbol; symbols are
// unique over all quantities and case-sensitive ("Pa", not "pa").  A product
// of units is written with '.', a quotient with '/', a power as a trailing
// digit ("kg/m3", "Pa.s", "W/m2K").
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tqrvn {

// The quantities, numbered as the overloads of RVN::UnitSwitch are listed;
// each value names one unit enumeration of namespace RVN.
enum Quantity : int {
    QUANTITY_LENGTH,              // RVN::Unit_LENGTH, base m
    QUANTITY_AREA,                // RVN::Unit_AREA, base m2
    QUANTITY_VOLUME,              // RVN::Unit_VOLUME, base m3
    QUANTITY_SPEED,               // RVN::Unit_SPEED, base m/s
    QUANTITY_MASS,                // RVN::Unit_WEIGHT, base kg
    QUANTITY_DENSITY,             // RVN::Unit_DENSITY, base kg/m3
    QUANTITY_MASS_FLOW,           // RVN::Unit_WEIGHTV, base kg/s
    QUANTITY_VOLUME_FLOW,         // RVN::Unit_VOLUMEV, base m3/s
    QUANTITY_FORCE,               // RVN::Unit_STRENG, base N
    QUANTITY_PRESSURE,            // RVN::Unit_PRESS, base Pa
    QUANTITY_DYNAMIC_VISCOSITY,   // RVN::Unit_MOTIVITY, base Pa.s
    QUANTITY_KINEMATIC_VISCOSITY, // RVN::Unit_SPORT, base m2/s
    QUANTITY_ENERGY,              // RVN::Unit_HEAT, base J
    QUANTITY_POWER,               // RVN::Unit_POWER, base W
    QUANTITY_HEAT_TRANSFER,       // RVN::Unit_HEATTRA, base W/m2K
    QUANTITY_THERMAL_CONDUCTIVITY // RVN::Unit_HEATCON, base W/mK
};

// Number of quantities (16).
inline constexpr int kQuantityCount = 16;

// One accepted symbol: the unit enumeration (quantity) and its member value.
struct UnitSymbol {
    const char* symbol; // e.g. "km/h"
    int quantity;       // a Quantity
    int member;         // value of the member in its RVN enumeration, e.g. RVN::SPEED_KMPH
    const char* name;   // long name of the unit, e.g. "kilometre per hour"
};

// Every accepted symbol, grouped by quantity in Quantity order and within a
// quantity in member order.
std::span<const UnitSymbol> UnitSymbols();

// English name of a quantity ("length", "mass flow", "pressure", ...);
// nullptr for a value outside 0..kQuantityCount-1.
const char* QuantityName(int quantity);

// Number of members of the quantity's enumeration; 0 outside 0..kQuantityCount-1.
int MemberCount(int quantity);

// The entry of a symbol (exact, case-sensitive match); nullptr when unknown.
const UnitSymbol* FindUnit(std::string_view symbol);

// The symbols of one quantity in member order; empty outside 0..kQuantityCount-1.
std::vector<std::string_view> SymbolsOf(int quantity);

// The symbols of one quantity joined by ", " (for error messages), e.g.
// "m, km, cm, mm, in, ft, yd, mi, nmi"; empty outside 0..kQuantityCount-1.
std::string SymbolList(int quantity);

// RVN::UnitSwitch of the quantity's enumeration: converts value from member
// `from` to member `to`.  A quiet NaN when the quantity is outside
// 0..kQuantityCount-1 or a member is outside its enumeration's table.
double Convert(int quantity, int from, int to, double value);

} // namespace tqrvn
