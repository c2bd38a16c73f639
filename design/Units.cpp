// Unit symbols of the quantities and the reading of quantities from text.
#include "design/Quantity.h"

#include "calc/RVNCalc.h"
#include "db/NumberText.h"
#include "db/TextEncoding.h"

#include <limits>
#include <unordered_map>

namespace RVN {

namespace {

// Grouped by quantity in TQQuantity order; within a quantity the members of
// its enumeration in member order (converted by RVN::UnitSwitch and its
// published factors), then the further units, each defined exactly in a
// member (1 mH2O = 1000 kg/m3 x 9.80665 m/s2 x 1 m = 9806.65 Pa; 1 RT =
// 12000 Btu/h with the international-table Btu; 1 GPM = 3.785411784 l/min).  A test checks that every member has exactly one symbol and
// that symbols are unique.
constexpr CTQUnitSymbol kSymbols[] = {
    {"m", kQuantityLength, LENGTH_M, 1.0, "metre"},
    {"km", kQuantityLength, LENGTH_KM, 1.0, "kilometre"},
    {"cm", kQuantityLength, LENGTH_CM, 1.0, "centimetre"},
    {"mm", kQuantityLength, LENGTH_MM, 1.0, "millimetre"},
    {"in", kQuantityLength, LENGTH_IN, 1.0, "inch"},
    {"ft", kQuantityLength, LENGTH_FT, 1.0, "foot"},
    {"yd", kQuantityLength, LENGTH_YD, 1.0, "yard"},
    {"mi", kQuantityLength, LENGTH_MI, 1.0, "mile"},
    {"nmi", kQuantityLength, LENGTH_NMI, 1.0, "nautical mile"},
    {"m2", kQuantityArea, AREA_M2, 1.0, "square metre"},
    {"ha", kQuantityArea, AREA_HA, 1.0, "hectare"},
    {"in2", kQuantityArea, AREA_IN2, 1.0, "square inch"},
    {"ft2", kQuantityArea, AREA_FT2, 1.0, "square foot"},
    {"yd2", kQuantityArea, AREA_YD2, 1.0, "square yard"},
    {"mi2", kQuantityArea, AREA_MI2, 1.0, "square mile"},
    {"m3", kQuantityVolume, VOLUME_M3, 1.0, "cubic metre"},
    {"l", kQuantityVolume, VOLUME_L, 1.0, "litre"},
    {"in3", kQuantityVolume, VOLUME_IN3, 1.0, "cubic inch"},
    {"ft3", kQuantityVolume, VOLUME_FT3, 1.0, "cubic foot"},
    {"ukgal", kQuantityVolume, VOLUME_UKGAL, 1.0, "imperial gallon"},
    {"usgal", kQuantityVolume, VOLUME_USGAL, 1.0, "US gallon"},
    {"m/s", kQuantitySpeed, SPEED_MPS, 1.0, "metre per second"},
    {"km/h", kQuantitySpeed, SPEED_KMPH, 1.0, "kilometre per hour"},
    {"ft/s", kQuantitySpeed, SPEED_FTPS, 1.0, "foot per second"},
    {"ft/min", kQuantitySpeed, SPEED_FTPMIN, 1.0, "foot per minute"},
    {"mph", kQuantitySpeed, SPEED_MPH, 1.0, "mile per hour"},
    {"kn", kQuantitySpeed, SPEED_KNOT, 1.0, "knot"},
    {"kg", kQuantityMass, WEIGHT_KG, 1.0, "kilogram"},
    {"lb", kQuantityMass, WEIGHT_LB, 1.0, "pound"},
    {"slug", kQuantityMass, WEIGHT_SLUG, 1.0, "slug"},
    {"t", kQuantityMass, WEIGHT_T, 1.0, "tonne"},
    {"kg/m3", kQuantityDensity, DENSITY_KGPM3, 1.0, "kilogram per cubic metre"},
    {"g/cm3", kQuantityDensity, DENSITY_GPCM3, 1.0, "gram per cubic centimetre"},
    {"lb/in3", kQuantityDensity, DENSITY_LBPIN3, 1.0, "pound per cubic inch"},
    {"lb/ft3", kQuantityDensity, DENSITY_LBPFT3, 1.0, "pound per cubic foot"},
    {"lb/ukgal", kQuantityDensity, DENSITY_LBPUKGAL, 1.0, "pound per imperial gallon"},
    {"lb/usgal", kQuantityDensity, DENSITY_LBPUSGAL, 1.0, "pound per US gallon"},
    {"kg/s", kQuantityMassFlow, WEIGHTV_KGPS, 1.0, "kilogram per second"},
    {"kg/h", kQuantityMassFlow, WEIGHTV_KGPH, 1.0, "kilogram per hour"},
    {"lb/s", kQuantityMassFlow, WEIGHTV_LBPS, 1.0, "pound per second"},
    {"lb/h", kQuantityMassFlow, WEIGHTV_LBPH, 1.0, "pound per hour"},
    {"lton/h", kQuantityMassFlow, WEIGHTV_LTPH, 1.0, "long ton per hour"},
    {"t/h", kQuantityMassFlow, WEIGHTV_KGPS, 1.0 / 3.6, "tonne per hour"},
    {"m3/s", kQuantityVolumeFlow, VOLUMEV_M3PS, 1.0, "cubic metre per second"},
    {"m3/h", kQuantityVolumeFlow, VOLUMEV_M3PH, 1.0, "cubic metre per hour"},
    {"l/h", kQuantityVolumeFlow, VOLUMEV_LPH, 1.0, "litre per hour"},
    {"l/s", kQuantityVolumeFlow, VOLUMEV_LPS, 1.0, "litre per second"},
    {"ft3/s", kQuantityVolumeFlow, VOLUMEV_FT3PS, 1.0, "cubic foot per second"},
    {"ft3/h", kQuantityVolumeFlow, VOLUMEV_FT3PH, 1.0, "cubic foot per hour"},
    {"ukgal/s", kQuantityVolumeFlow, VOLUMEV_UKGALPS, 1.0, "imperial gallon per second"},
    {"l/min", kQuantityVolumeFlow, VOLUMEV_M3PS, 1e-3 / 60.0, "litre per minute"},
    {"m3/min", kQuantityVolumeFlow, VOLUMEV_M3PS, 1.0 / 60.0, "cubic metre per minute"},
    {"GPM", kQuantityVolumeFlow, VOLUMEV_M3PS, 3.785411784e-3 / 60.0, "US gallon per minute (3.785411784 l)"},
    {"N", kQuantityForce, STRENG_N, 1.0, "newton"},
    {"kgf", kQuantityForce, STRENG_KGF, 1.0, "kilogram-force"},
    {"pdl", kQuantityForce, STRENG_PDL, 1.0, "poundal"},
    {"lbf", kQuantityForce, STRENG_LBF, 1.0, "pound-force"},
    {"tf", kQuantityForce, STRENG_TF, 1.0, "tonne-force"},
    {"ozf", kQuantityForce, STRENG_OZF, 1.0, "ounce-force"},
    {"Pa", kQuantityPressure, PRESS_PA, 1.0, "pascal"},
    {"atm", kQuantityPressure, PRESS_ATM, 1.0, "standard atmosphere"},
    {"mmHg", kQuantityPressure, PRESS_MMHG, 1.0, "millimetre of mercury"},
    {"mmH2O", kQuantityPressure, PRESS_MMH2O, 1.0, "millimetre of water"},
    {"kgf/cm2", kQuantityPressure, PRESS_KGFPCM2, 1.0, "kilogram-force per square centimetre"},
    {"psi", kQuantityPressure, PRESS_PSI, 1.0, "pound-force per square inch"},
    {"bar", kQuantityPressure, PRESS_BAR, 1.0, "bar"},
    {"torr", kQuantityPressure, PRESS_TORR, 1.0, "torr"},
    {"inH2O", kQuantityPressure, PRESS_INH2O, 1.0, "inch of water"},
    {"kPa", kQuantityPressure, PRESS_PA, 1e3, "kilopascal"},
    {"MPa", kQuantityPressure, PRESS_PA, 1e6, "megapascal"},
    {"mbar", kQuantityPressure, PRESS_PA, 100.0, "millibar"},
    {"mH2O", kQuantityPressure, PRESS_PA, 9806.65, "metre of water (1000 kg/m3 x 9.80665 m/s2 x 1 m)"},
    {"Pa.s", kQuantityDynamicViscosity, MOTIVITY_PAS, 1.0, "pascal second"},
    {"cP", kQuantityDynamicViscosity, MOTIVITY_CP, 1.0, "centipoise"},
    {"kgf.s/m2", kQuantityDynamicViscosity, MOTIVITY_KGFSPM2, 1.0, "kilogram-force second per square metre"},
    {"lb/ft.s", kQuantityDynamicViscosity, MOTIVITY_LBPFTS, 1.0, "pound per foot second"},
    {"lbf.s/ft2", kQuantityDynamicViscosity, MOTIVITY_LBFSPFT2, 1.0, "pound-force second per square foot"},
    {"lbf.h/ft2", kQuantityDynamicViscosity, MOTIVITY_LBFHPFT2, 1.0, "pound-force hour per square foot"},
    {"m2/s", kQuantityKinematicViscosity, SPORT_M2PS, 1.0, "square metre per second"},
    {"mm2/s", kQuantityKinematicViscosity, SPORT_MM2PS, 1.0, "square millimetre per second"},
    {"in2/s", kQuantityKinematicViscosity, SPORT_IN2PS, 1.0, "square inch per second"},
    {"ft2/s", kQuantityKinematicViscosity, SPORT_FT2PS, 1.0, "square foot per second"},
    {"in2/h", kQuantityKinematicViscosity, SPORT_IN2PH, 1.0, "square inch per hour"},
    {"m2/h", kQuantityKinematicViscosity, SPORT_M2PH, 1.0, "square metre per hour"},
    {"J", kQuantityEnergy, HEAT_J, 1.0, "joule"},
    {"kWh", kQuantityEnergy, HEAT_KWH, 1.0, "kilowatt hour"},
    {"kgf.m", kQuantityEnergy, HEAT_KGFM, 1.0, "kilogram-force metre"},
    {"l.atm", kQuantityEnergy, HEAT_LATM, 1.0, "litre atmosphere"},
    {"ft.pdl", kQuantityEnergy, HEAT_FTPDL, 1.0, "foot poundal"},
    {"cal", kQuantityEnergy, HEAT_CAL, 1.0, "calorie (international table)"},
    {"ft.lbf", kQuantityEnergy, HEAT_FTLBF, 1.0, "foot pound-force"},
    {"hp.h", kQuantityEnergy, HEAT_HPH, 1.0, "horsepower hour"},
    {"cal15", kQuantityEnergy, HEAT_CAL15, 1.0, "calorie (15 degC)"},
    {"Btu", kQuantityEnergy, HEAT_BTU, 1.0, "British thermal unit"},
    {"W", kQuantityPower, POWER_W, 1.0, "watt"},
    {"kW", kQuantityPower, POWER_KW, 1.0, "kilowatt"},
    {"kgf.m/s", kQuantityPower, POWER_KGFMPS, 1.0, "kilogram-force metre per second"},
    {"PS", kQuantityPower, POWER_PS, 1.0, "metric horsepower"},
    {"ft.lbf/s", kQuantityPower, POWER_FTLBFPS, 1.0, "foot pound-force per second"},
    {"hp", kQuantityPower, POWER_HP, 1.0, "horsepower"},
    {"cal/s", kQuantityPower, POWER_CALPS, 1.0, "calorie per second"},
    {"kcal/h", kQuantityPower, POWER_KCALPH, 1.0, "kilocalorie per hour"},
    {"Btu/h", kQuantityPower, POWER_BTUPH, 1.0, "British thermal unit per hour"},
    {"MW", kQuantityPower, POWER_W, 1e6, "megawatt"},
    {"RT", kQuantityPower, POWER_W, 3516.852842066667, "refrigeration ton (12000 Btu/h, 1 Btu = 1055.05585262 J)"},
    {"W/m2K", kQuantityHeatTransfer, HEATTRA_WPM2K, 1.0, "watt per square metre kelvin"},
    {"cal/cm2sC", kQuantityHeatTransfer, HEATTRA_CALPCM2SC, 1.0, "calorie per square centimetre second degC"},
    {"kcal/m2hC", kQuantityHeatTransfer, HEATTRA_KCALPM2HC, 1.0, "kilocalorie per square metre hour degC"},
    {"Btu/ft2hF", kQuantityHeatTransfer, HEATTRA_BTUPFT2HF, 1.0, "British thermal unit per square foot hour degF"},
    {"W/mK", kQuantityThermalConductivity, HEATCON_WPMK, 1.0, "watt per metre kelvin"},
    {"cal/cmsC", kQuantityThermalConductivity, HEATCON_CALPCMSC, 1.0, "calorie per centimetre second degC"},
    {"kcal/mhC", kQuantityThermalConductivity, HEATCON_KCALPMHC, 1.0, "kilocalorie per metre hour degC"},
    {"Btu/fthF", kQuantityThermalConductivity, HEATCON_BTUPFTHF, 1.0, "British thermal unit per foot hour degF"},
    {"Btu.in/ft2hF", kQuantityThermalConductivity, HEATCON_BTUINPFT2HF, 1.0, "British thermal unit inch per square foot hour degF"},
    {"degC", kQuantityTemperature, 0, 1.0, "degree Celsius"},
    {"\u00B0C", kQuantityTemperature, 0, 1.0, "degree Celsius"},
    {"\u2103", kQuantityTemperature, 0, 1.0, "degree Celsius"},
    {"K", kQuantityTemperatureDifference, 0, 1.0, "kelvin (a temperature difference)"},
};

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
    {"temperature", 0},
    {"temperature difference", 0},
};

bool ValidQuantity(int quantity) { return quantity >= 0 && quantity < kQuantityCount; }

// RVN::UnitSwitch between two members of a quantity's enumeration.
double SwitchMembers(int quantity, int from, int to, double value)
{
    switch (quantity) {
    case kQuantityLength: return UnitSwitch(Unit_LENGTH(from), Unit_LENGTH(to), value);
    case kQuantityArea: return UnitSwitch(Unit_AREA(from), Unit_AREA(to), value);
    case kQuantityVolume: return UnitSwitch(Unit_VOLUME(from), Unit_VOLUME(to), value);
    case kQuantitySpeed: return UnitSwitch(Unit_SPEED(from), Unit_SPEED(to), value);
    case kQuantityMass: return UnitSwitch(Unit_WEIGHT(from), Unit_WEIGHT(to), value);
    case kQuantityDensity: return UnitSwitch(Unit_DENSITY(from), Unit_DENSITY(to), value);
    case kQuantityMassFlow: return UnitSwitch(Unit_WEIGHTV(from), Unit_WEIGHTV(to), value);
    case kQuantityVolumeFlow: return UnitSwitch(Unit_VOLUMEV(from), Unit_VOLUMEV(to), value);
    case kQuantityForce: return UnitSwitch(Unit_STRENG(from), Unit_STRENG(to), value);
    case kQuantityPressure: return UnitSwitch(Unit_PRESS(from), Unit_PRESS(to), value);
    case kQuantityDynamicViscosity: return UnitSwitch(Unit_MOTIVITY(from), Unit_MOTIVITY(to), value);
    case kQuantityKinematicViscosity: return UnitSwitch(Unit_SPORT(from), Unit_SPORT(to), value);
    case kQuantityEnergy: return UnitSwitch(Unit_HEAT(from), Unit_HEAT(to), value);
    case kQuantityPower: return UnitSwitch(Unit_POWER(from), Unit_POWER(to), value);
    case kQuantityHeatTransfer: return UnitSwitch(Unit_HEATTRA(from), Unit_HEATTRA(to), value);
    case kQuantityThermalConductivity: return UnitSwitch(Unit_HEATCON(from), Unit_HEATCON(to), value);
    case kQuantityTemperature:
    case kQuantityTemperatureDifference: return value;
    default: return std::numeric_limits<double>::quiet_NaN();
    }
}

}  // namespace

std::span<const CTQUnitSymbol> UnitSymbols() { return kSymbols; }

const CTQUnitSymbol* FindUnitSymbol(std::string_view symbol)
{
    // A hash of the symbols, made once.
    static const auto index = [] {
        std::unordered_map<std::string_view, const CTQUnitSymbol*> m;
        for (const CTQUnitSymbol& u : kSymbols)
            m.emplace(u.symbol, &u);
        return m;
    }();
    const auto it = index.find(symbol);
    return it != index.end() ? it->second : nullptr;
}

const char* QuantityName(int quantity) { return ValidQuantity(quantity) ? kQuantities[quantity].name : nullptr; }

int QuantityMemberCount(int quantity) { return ValidQuantity(quantity) ? kQuantities[quantity].members : 0; }

std::string UnitSymbolList(int quantity)
{
    std::string out;
    for (const CTQUnitSymbol& u : kSymbols) {
        if (u.quantity != quantity)
            continue;
        if (!out.empty())
            out += ", ";
        out += u.symbol;
    }
    return out;
}

double ConvertUnit(const CTQUnitSymbol& from, const CTQUnitSymbol& to, double value)
{
    if (from.quantity != to.quantity)
        return std::numeric_limits<double>::quiet_NaN();
    if (from.member == to.member)
        return value * from.factor / to.factor;
    return SwitchMembers(from.quantity, from.member, to.member, value * from.factor) / to.factor;
}

double ToBaseUnit(const CTQUnitSymbol& unit, double value)
{
    if (unit.member == 0)
        return value * unit.factor;
    return SwitchMembers(unit.quantity, unit.member, 0, value * unit.factor);
}

}  // namespace RVN
