// Short unit symbols of the sixteen quantities of RVN::UnitSwitch.
#include "unit_symbols.h"

#include "calc/RVNCalc.h"

#include <limits>

namespace tqrvn {
namespace {

using namespace RVN;

// Grouped by quantity in Quantity order, within a quantity in member order.
// The test of this table checks that it covers every member exactly once.
constexpr UnitSymbol kSymbols[] = {
    // Length.
    {"m", QUANTITY_LENGTH, LENGTH_M, "metre"},
    {"km", QUANTITY_LENGTH, LENGTH_KM, "kilometre"},
    {"cm", QUANTITY_LENGTH, LENGTH_CM, "centimetre"},
    {"mm", QUANTITY_LENGTH, LENGTH_MM, "millimetre"},
    {"in", QUANTITY_LENGTH, LENGTH_IN, "inch"},
    {"ft", QUANTITY_LENGTH, LENGTH_FT, "foot"},
    {"yd", QUANTITY_LENGTH, LENGTH_YD, "yard"},
    {"mi", QUANTITY_LENGTH, LENGTH_MI, "mile"},
    {"nmi", QUANTITY_LENGTH, LENGTH_NMI, "nautical mile"},
    // Area.
    {"m2", QUANTITY_AREA, AREA_M2, "square metre"},
    {"ha", QUANTITY_AREA, AREA_HA, "hectare"},
    {"in2", QUANTITY_AREA, AREA_IN2, "square inch"},
    {"ft2", QUANTITY_AREA, AREA_FT2, "square foot"},
    {"yd2", QUANTITY_AREA, AREA_YD2, "square yard"},
    {"mi2", QUANTITY_AREA, AREA_MI2, "square mile"},
    // Volume.
    {"m3", QUANTITY_VOLUME, VOLUME_M3, "cubic metre"},
    {"l", QUANTITY_VOLUME, VOLUME_L, "litre"},
    {"in3", QUANTITY_VOLUME, VOLUME_IN3, "cubic inch"},
    {"ft3", QUANTITY_VOLUME, VOLUME_FT3, "cubic foot"},
    {"ukgal", QUANTITY_VOLUME, VOLUME_UKGAL, "imperial gallon"},
    {"usgal", QUANTITY_VOLUME, VOLUME_USGAL, "US gallon"},
    // Velocity.
    {"m/s", QUANTITY_SPEED, SPEED_MPS, "metre per second"},
    {"km/h", QUANTITY_SPEED, SPEED_KMPH, "kilometre per hour"},
    {"ft/s", QUANTITY_SPEED, SPEED_FTPS, "foot per second"},
    {"ft/min", QUANTITY_SPEED, SPEED_FTPMIN, "foot per minute"},
    {"mph", QUANTITY_SPEED, SPEED_MPH, "mile per hour"},
    {"kn", QUANTITY_SPEED, SPEED_KNOT, "knot"},
    // Mass.
    {"kg", QUANTITY_MASS, WEIGHT_KG, "kilogram"},
    {"lb", QUANTITY_MASS, WEIGHT_LB, "pound"},
    {"slug", QUANTITY_MASS, WEIGHT_SLUG, "slug"},
    {"t", QUANTITY_MASS, WEIGHT_T, "tonne"},
    // Density.
    {"kg/m3", QUANTITY_DENSITY, DENSITY_KGPM3, "kilogram per cubic metre"},
    {"g/cm3", QUANTITY_DENSITY, DENSITY_GPCM3, "gram per cubic centimetre"},
    {"lb/in3", QUANTITY_DENSITY, DENSITY_LBPIN3, "pound per cubic inch"},
    {"lb/ft3", QUANTITY_DENSITY, DENSITY_LBPFT3, "pound per cubic foot"},
    {"lb/ukgal", QUANTITY_DENSITY, DENSITY_LBPUKGAL, "pound per imperial gallon"},
    {"lb/usgal", QUANTITY_DENSITY, DENSITY_LBPUSGAL, "pound per US gallon"},
    // Mass flow.
    {"kg/s", QUANTITY_MASS_FLOW, WEIGHTV_KGPS, "kilogram per second"},
    {"kg/h", QUANTITY_MASS_FLOW, WEIGHTV_KGPH, "kilogram per hour"},
    {"lb/s", QUANTITY_MASS_FLOW, WEIGHTV_LBPS, "pound per second"},
    {"lb/h", QUANTITY_MASS_FLOW, WEIGHTV_LBPH, "pound per hour"},
    {"lton/h", QUANTITY_MASS_FLOW, WEIGHTV_LTPH, "long ton per hour"},
    // Volume flow.
    {"m3/s", QUANTITY_VOLUME_FLOW, VOLUMEV_M3PS, "cubic metre per second"},
    {"m3/h", QUANTITY_VOLUME_FLOW, VOLUMEV_M3PH, "cubic metre per hour"},
    {"l/h", QUANTITY_VOLUME_FLOW, VOLUMEV_LPH, "litre per hour"},
    {"l/s", QUANTITY_VOLUME_FLOW, VOLUMEV_LPS, "litre per second"},
    {"ft3/s", QUANTITY_VOLUME_FLOW, VOLUMEV_FT3PS, "cubic foot per second"},
    {"ft3/h", QUANTITY_VOLUME_FLOW, VOLUMEV_FT3PH, "cubic foot per hour"},
    {"ukgal/s", QUANTITY_VOLUME_FLOW, VOLUMEV_UKGALPS, "imperial gallon per second"},
    // Force.
    {"N", QUANTITY_FORCE, STRENG_N, "newton"},
    {"kgf", QUANTITY_FORCE, STRENG_KGF, "kilogram-force"},
    {"pdl", QUANTITY_FORCE, STRENG_PDL, "poundal"},
    {"lbf", QUANTITY_FORCE, STRENG_LBF, "pound-force"},
    {"tf", QUANTITY_FORCE, STRENG_TF, "tonne-force"},
    {"ozf", QUANTITY_FORCE, STRENG_OZF, "ounce-force"},
    // Pressure.
    {"Pa", QUANTITY_PRESSURE, PRESS_PA, "pascal"},
    {"atm", QUANTITY_PRESSURE, PRESS_ATM, "standard atmosphere"},
    {"mmHg", QUANTITY_PRESSURE, PRESS_MMHG, "millimetre of mercury"},
    {"mmH2O", QUANTITY_PRESSURE, PRESS_MMH2O, "millimetre of water"},
    {"kgf/cm2", QUANTITY_PRESSURE, PRESS_KGFPCM2, "kilogram-force per square centimetre"},
    {"psi", QUANTITY_PRESSURE, PRESS_PSI, "pound-force per square inch"},
    {"bar", QUANTITY_PRESSURE, PRESS_BAR, "bar"},
    {"torr", QUANTITY_PRESSURE, PRESS_TORR, "torr"},
    {"inH2O", QUANTITY_PRESSURE, PRESS_INH2O, "inch of water"},
    // Dynamic viscosity.
    {"Pa.s", QUANTITY_DYNAMIC_VISCOSITY, MOTIVITY_PAS, "pascal second"},
    {"cP", QUANTITY_DYNAMIC_VISCOSITY, MOTIVITY_CP, "centipoise"},
    {"kgf.s/m2", QUANTITY_DYNAMIC_VISCOSITY, MOTIVITY_KGFSPM2,
     "kilogram-force second per square metre"},
    {"lb/ft.s", QUANTITY_DYNAMIC_VISCOSITY, MOTIVITY_LBPFTS, "pound per foot second"},
    {"lbf.s/ft2", QUANTITY_DYNAMIC_VISCOSITY, MOTIVITY_LBFSPFT2,
     "pound-force second per square foot"},
    {"lbf.h/ft2", QUANTITY_DYNAMIC_VISCOSITY, MOTIVITY_LBFHPFT2,
     "pound-force hour per square foot"},
    // Kinematic viscosity.
    {"m2/s", QUANTITY_KINEMATIC_VISCOSITY, SPORT_M2PS, "square metre per second"},
    {"mm2/s", QUANTITY_KINEMATIC_VISCOSITY, SPORT_MM2PS, "square millimetre per second"},
    {"in2/s", QUANTITY_KINEMATIC_VISCOSITY, SPORT_IN2PS, "square inch per second"},
    {"ft2/s", QUANTITY_KINEMATIC_VISCOSITY, SPORT_FT2PS, "square foot per second"},
    {"in2/h", QUANTITY_KINEMATIC_VISCOSITY, SPORT_IN2PH, "square inch per hour"},
    {"m2/h", QUANTITY_KINEMATIC_VISCOSITY, SPORT_M2PH, "square metre per hour"},
    // Energy.
    {"J", QUANTITY_ENERGY, HEAT_J, "joule"},
    {"kWh", QUANTITY_ENERGY, HEAT_KWH, "kilowatt hour"},
    {"kgf.m", QUANTITY_ENERGY, HEAT_KGFM, "kilogram-force metre"},
    {"l.atm", QUANTITY_ENERGY, HEAT_LATM, "litre atmosphere"},
    {"ft.pdl", QUANTITY_ENERGY, HEAT_FTPDL, "foot poundal"},
    {"cal", QUANTITY_ENERGY, HEAT_CAL, "calorie (international table)"},
    {"ft.lbf", QUANTITY_ENERGY, HEAT_FTLBF, "foot pound-force"},
    {"hp.h", QUANTITY_ENERGY, HEAT_HPH, "horsepower hour"},
    {"cal15", QUANTITY_ENERGY, HEAT_CAL15, "calorie (15 degC)"},
    {"Btu", QUANTITY_ENERGY, HEAT_BTU, "British thermal unit"},
    // Power.
    {"W", QUANTITY_POWER, POWER_W, "watt"},
    {"kW", QUANTITY_POWER, POWER_KW, "kilowatt"},
    {"kgf.m/s", QUANTITY_POWER, POWER_KGFMPS, "kilogram-force metre per second"},
    {"PS", QUANTITY_POWER, POWER_PS, "metric horsepower"},
    {"ft.lbf/s", QUANTITY_POWER, POWER_FTLBFPS, "foot pound-force per second"},
    {"hp", QUANTITY_POWER, POWER_HP, "horsepower"},
    {"cal/s", QUANTITY_POWER, POWER_CALPS, "calorie per second"},
    {"kcal/h", QUANTITY_POWER, POWER_KCALPH, "kilocalorie per hour"},
    {"Btu/h", QUANTITY_POWER, POWER_BTUPH, "British thermal unit per hour"},
    // Heat-transfer coefficient.
    {"W/m2K", QUANTITY_HEAT_TRANSFER, HEATTRA_WPM2K, "watt per square metre kelvin"},
    {"cal/cm2sC", QUANTITY_HEAT_TRANSFER, HEATTRA_CALPCM2SC,
     "calorie per square centimetre second degC"},
    {"kcal/m2hC", QUANTITY_HEAT_TRANSFER, HEATTRA_KCALPM2HC,
     "kilocalorie per square metre hour degC"},
    {"Btu/ft2hF", QUANTITY_HEAT_TRANSFER, HEATTRA_BTUPFT2HF,
     "British thermal unit per square foot hour degF"},
    // Thermal conductivity.
    {"W/mK", QUANTITY_THERMAL_CONDUCTIVITY, HEATCON_WPMK, "watt per metre kelvin"},
    {"cal/cmsC", QUANTITY_THERMAL_CONDUCTIVITY, HEATCON_CALPCMSC,
     "calorie per centimetre second degC"},
    {"kcal/mhC", QUANTITY_THERMAL_CONDUCTIVITY, HEATCON_KCALPMHC,
     "kilocalorie per metre hour degC"},
    {"Btu/fthF", QUANTITY_THERMAL_CONDUCTIVITY, HEATCON_BTUPFTHF,
     "British thermal unit per foot hour degF"},
    {"Btu.in/ft2hF", QUANTITY_THERMAL_CONDUCTIVITY, HEATCON_BTUINPFT2HF,
     "British thermal unit inch per square foot hour degF"},
};

// Name and member count of each quantity, indexed by Quantity.
struct QuantityInfo {
    const char* name;
    int members;
};
constexpr QuantityInfo kQuantities[kQuantityCount] = {
    {"length", LENGTH_NMI + 1},
    {"area", AREA_MI2 + 1},
    {"volume", VOLUME_USGAL + 1},
    {"speed", SPEED_KNOT + 1},
    {"mass", WEIGHT_T + 1},
    {"density", DENSITY_LBPUSGAL + 1},
    {"mass flow", WEIGHTV_LTPH + 1},
    {"volume flow", VOLUMEV_UKGALPS + 1},
    {"force", STRENG_OZF + 1},
    {"pressure", PRESS_INH2O + 1},
    {"dynamic viscosity", MOTIVITY_LBFHPFT2 + 1},
    {"kinematic viscosity", SPORT_M2PH + 1},
    {"energy", HEAT_BTU + 1},
    {"power", POWER_BTUPH + 1},
    {"heat-transfer coefficient", HEATTRA_BTUPFT2HF + 1},
    {"thermal conductivity", HEATCON_BTUINPFT2HF + 1},
};

bool ValidQuantity(int quantity) {
    return quantity >= 0 && quantity < kQuantityCount;
}

} // namespace

std::span<const UnitSymbol> UnitSymbols() {
    return kSymbols;
}

const char* QuantityName(int quantity) {
    return ValidQuantity(quantity) ? kQuantities[quantity].name : nullptr;
}

int MemberCount(int quantity) {
    return ValidQuantity(quantity) ? kQuantities[quantity].members : 0;
}

const UnitSymbol* FindUnit(std::string_view symbol) {
    for (const UnitSymbol& u : kSymbols) {
        if (symbol == u.symbol) {
            return &u;
        }
    }
    return nullptr;
}

std::vector<std::string_view> SymbolsOf(int quantity) {
    std::vector<std::string_view> out;
    for (const UnitSymbol& u : kSymbols) {
        if (u.quantity == quantity) {
            out.emplace_back(u.symbol);
        }
    }
    return out;
}

std::string SymbolList(int quantity) {
    std::string out;
    for (std::string_view s : SymbolsOf(quantity)) {
        if (!out.empty()) {
            out += ", ";
        }
        out += s;
    }
    return out;
}

double Convert(int quantity, int from, int to, double value) {
    switch (quantity) {
    case QUANTITY_LENGTH:
        return UnitSwitch(Unit_LENGTH(from), Unit_LENGTH(to), value);
    case QUANTITY_AREA:
        return UnitSwitch(Unit_AREA(from), Unit_AREA(to), value);
    case QUANTITY_VOLUME:
        return UnitSwitch(Unit_VOLUME(from), Unit_VOLUME(to), value);
    case QUANTITY_SPEED:
        return UnitSwitch(Unit_SPEED(from), Unit_SPEED(to), value);
    case QUANTITY_MASS:
        return UnitSwitch(Unit_WEIGHT(from), Unit_WEIGHT(to), value);
    case QUANTITY_DENSITY:
        return UnitSwitch(Unit_DENSITY(from), Unit_DENSITY(to), value);
    case QUANTITY_MASS_FLOW:
        return UnitSwitch(Unit_WEIGHTV(from), Unit_WEIGHTV(to), value);
    case QUANTITY_VOLUME_FLOW:
        return UnitSwitch(Unit_VOLUMEV(from), Unit_VOLUMEV(to), value);
    case QUANTITY_FORCE:
        return UnitSwitch(Unit_STRENG(from), Unit_STRENG(to), value);
    case QUANTITY_PRESSURE:
        return UnitSwitch(Unit_PRESS(from), Unit_PRESS(to), value);
    case QUANTITY_DYNAMIC_VISCOSITY:
        return UnitSwitch(Unit_MOTIVITY(from), Unit_MOTIVITY(to), value);
    case QUANTITY_KINEMATIC_VISCOSITY:
        return UnitSwitch(Unit_SPORT(from), Unit_SPORT(to), value);
    case QUANTITY_ENERGY:
        return UnitSwitch(Unit_HEAT(from), Unit_HEAT(to), value);
    case QUANTITY_POWER:
        return UnitSwitch(Unit_POWER(from), Unit_POWER(to), value);
    case QUANTITY_HEAT_TRANSFER:
        return UnitSwitch(Unit_HEATTRA(from), Unit_HEATTRA(to), value);
    case QUANTITY_THERMAL_CONDUCTIVITY:
        return UnitSwitch(Unit_HEATCON(from), Unit_HEATCON(to), value);
    default:
        return std::numeric_limits<double>::quiet_NaN();
    }
}

} // namespace tqrvn
