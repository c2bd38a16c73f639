// Quantities as engineers type them: "2 m3/h", "15 kW", "0.2 mm", "６０ ℃".
//
// Every unit has a short symbol, case-sensitive ("Pa", not "pa"), written
// with '.' for a product, '/' for a quotient and a trailing digit for a
// power ("kg/m3", "Pa.s", "W/m2K").  The symbols cover every unit of the
// sixteen enumerations of RVN::UnitSwitch and, besides, the units of daily
// use that those lack (kPa, MPa, mbar, mH2O, l/min, m3/min, GPM, t/h, MW,
// RT), each defined by an exact factor to one of them.
#pragma once

#include "TQRVNBaseExport.h"
#include "design/DesignTypes.h"

#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

namespace RVN {

/// The quantities: the sixteen of RVN::UnitSwitch, in the order of its
/// overloads (each names one unit enumeration; its first member is the base
/// unit), then temperature and temperature difference.
enum TQQuantity : int {
    kQuantityLength,              ///< Unit_LENGTH, base m
    kQuantityArea,                ///< Unit_AREA, base m2
    kQuantityVolume,              ///< Unit_VOLUME, base m3
    kQuantitySpeed,               ///< Unit_SPEED, base m/s
    kQuantityMass,                ///< Unit_WEIGHT, base kg
    kQuantityDensity,             ///< Unit_DENSITY, base kg/m3
    kQuantityMassFlow,            ///< Unit_WEIGHTV, base kg/s
    kQuantityVolumeFlow,          ///< Unit_VOLUMEV, base m3/s
    kQuantityForce,               ///< Unit_STRENG, base N
    kQuantityPressure,            ///< Unit_PRESS, base Pa
    kQuantityDynamicViscosity,    ///< Unit_MOTIVITY, base Pa.s
    kQuantityKinematicViscosity,  ///< Unit_SPORT, base m2/s
    kQuantityEnergy,              ///< Unit_HEAT, base J
    kQuantityPower,               ///< Unit_POWER, base W
    kQuantityHeatTransfer,        ///< Unit_HEATTRA, base W/m2K
    kQuantityThermalConductivity, ///< Unit_HEATCON, base W/mK
    kQuantityTemperature,         ///< degC
    kQuantityTemperatureDifference,  ///< K
};
/// The quantities of RVN::UnitSwitch (16).
inline constexpr int kUnitSwitchQuantities = 16;
/// Every quantity (18).
inline constexpr int kQuantityCount = 18;

/// One accepted unit symbol.  A value in this unit is `factor` times a value
/// in the member `member` of the quantity's enumeration (factor 1: the unit
/// is that member itself).
struct CTQUnitSymbol {
    const char* symbol;  ///< e.g. "km/h"
    int quantity;        ///< a TQQuantity
    int member;          ///< the member of the quantity's RVN enumeration (0 for the last two quantities)
    double factor;       ///< value in `member` = factor x value in this unit
    const char* name;    ///< e.g. "kilometre per hour"
};

/// Every accepted symbol, grouped by quantity in TQQuantity order; within a
/// quantity the members of its enumeration in order (factor 1), then the
/// further units.
TQRVNBASE_API std::span<const CTQUnitSymbol> UnitSymbols();
/// The entry of a symbol (exact, case-sensitive), nullptr when unknown.
TQRVNBASE_API const CTQUnitSymbol* FindUnitSymbol(std::string_view symbol);
/// English name of a quantity ("length", "mass flow", ...); nullptr outside
/// 0..kQuantityCount-1.
TQRVNBASE_API const char* QuantityName(int quantity);
/// Members of the quantity's RVN enumeration; 0 for temperature, its
/// difference and anything outside the range.
TQRVNBASE_API int QuantityMemberCount(int quantity);
/// The symbols of a quantity joined by ", " for messages ("m, km, cm, ...").
TQRVNBASE_API std::string UnitSymbolList(int quantity);
/// A value converted between two units of one quantity (through
/// RVN::UnitSwitch for the enumerations' members); a quiet NaN when the
/// quantities differ.
TQRVNBASE_API double ConvertUnit(const CTQUnitSymbol& from, const CTQUnitSymbol& to, double value);
/// A value in a unit converted to its quantity's base unit.
TQRVNBASE_API double ToBaseUnit(const CTQUnitSymbol& unit, double value);

/// A quantity read from text, in the base unit of its quantity.
struct CTQQuantityValue {
    double value = 0.0;
    int quantity = 0;
    std::string unit;  ///< the symbol as written ("" when none was)
};

/// Reads "VALUE UNIT", "VALUEUNIT" or, unless a unit is required, "VALUE"
/// (then in the base unit of the first accepted quantity).  Full-width
/// digits, letters and punctuation of Chinese input methods read as their
/// ASCII forms ("１５ ｋＷ"); "degC", "°C" and "℃" are the temperature's
/// symbols.  The value is a number by the library's rules (a '.' decimal
/// point; "1,5" is refused with a hint), finite.  The error names `field`
/// and lists the accepted units.  Example: ParseQuantity("flow", "2 m3/h",
/// {kQuantityVolumeFlow, kQuantityMassFlow}, true) gives 2/3600 m3/s of
/// quantity kQuantityVolumeFlow.
TQRVNBASE_API CTQDesignOutcome<CTQQuantityValue> ParseQuantity(std::string_view field, std::string_view text,
                                                              std::initializer_list<int> accepted,
                                                              bool unitRequired);

}  // namespace RVN
