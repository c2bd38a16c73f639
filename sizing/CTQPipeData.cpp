// Pipe segment record and its plastic, PPR and steam variants.

#include "sizing/CTQPipeData.h"

#include "calc/RVNCalc.h"
#include "catalog/CXTPPropExchange.h"

namespace {
// Catalog diameters and wall thicknesses are in mm, the formulas take m.
constexpr double kMmToM = 0.001;
// The records take kinematic viscosities in 1e-6 m^2/s.
constexpr double kViscosityToSI = 1e-06;
// Tolerances of the plastic bore formula: outside diameter 0.3 mm, wall 0.5 mm.
constexpr double kPlasticOutsideTolerance = 0.3;
constexpr double kPlasticWallTolerance = 0.5;
// m^3/s times kg/m^3 is kg/s; times 3.6 it is t/h, the steam formula's unit.
constexpr double kKgPerSToTPerH = 3.6;
}  // namespace

// ---- CTQPipeData -------------------------------------------------------------

CTQPipeData::CTQPipeData()
    : Length(1.0), Flux(1.0), Load(1000.0), DN(0), Diameter(0.0), DragCoef(0.0), ThickNess(0.0),
      Rm(0.0), Velocity(0.0), DynamicPressure(0.0), OnWayResistance(0.0), LocalResistance(0.0) {}

CTQPipeData::CTQPipeData(const CTQPipeData& other)
    : Length(other.Length), Flux(other.Flux), Load(other.Load), DN(other.DN),
      Diameter(other.Diameter), DragCoef(other.DragCoef), ThickNess(other.ThickNess), Rm(other.Rm),
      Velocity(other.Velocity), DynamicPressure(other.DynamicPressure),
      OnWayResistance(other.OnWayResistance), LocalResistance(other.LocalResistance) {}

CTQPipeData::~CTQPipeData() = default;

void CTQPipeData::operator=(const CTQPipeData& other) {
    if (this == &other) return;
    Length = other.Length;
    Flux = other.Flux;
    Load = other.Load;
    DN = other.DN;
    Diameter = other.Diameter;
    DragCoef = other.DragCoef;
    ThickNess = other.ThickNess;
    Rm = other.Rm;
    Velocity = other.Velocity;
    DynamicPressure = other.DynamicPressure;
    OnWayResistance = other.OnWayResistance;
    LocalResistance = other.LocalResistance;
}

bool CTQPipeData::DoPropExchange(CXTPPropExchange* px) {
    PX_Double(px, "Load", Load);
    PX_Double(px, "Flux", Flux);
    PX_Int(px, "DN", DN);
    PX_Double(px, "Diameter", Diameter);
    PX_Double(px, "ThickNess", ThickNess);
    PX_Double(px, "Length", Length);
    PX_Double(px, "Velocity", Velocity);
    PX_Double(px, "Bmz", Rm);
    PX_Double(px, "OnWayResistance", OnWayResistance);
    PX_Double(px, "DragCoef", DragCoef);
    PX_Double(px, "DynamicPressure", DynamicPressure);
    PX_Double(px, "LocalResistance", LocalResistance);
    return true;
}

double CTQPipeData::GetRm() const { return Rm; }
double CTQPipeData::GetDynamicPressure() const { return DynamicPressure; }
double CTQPipeData::GetLocalResistance() const { return LocalResistance; }
double CTQPipeData::GetOnWayResistance() const { return OnWayResistance; }
double CTQPipeData::GetAllResistance() const { return GetOnWayResistance() + GetLocalResistance(); }
double CTQPipeData::GetVelocity() const { return Velocity; }

double CTQPipeData::CalVelocity() {
    if (RVN::IsZero(Diameter)) {
        Velocity = 0.0;
        return 0.0;
    }
    Velocity = RVN::GetVelocity(Flux, RVN::GetArea_CIRC(Diameter * kMmToM));
    return Velocity;
}

double CTQPipeData::CalRm(double roughness, double rho, double nu) {
    if (RVN::IsZero(Diameter)) {
        Rm = 0.0;
        return 0.0;
    }
    const double d = Diameter * kMmToM;
    const double re = RVN::Re(d, Velocity, nu * kViscosityToSI);
    const double lambda = RVN::GetLmd(re, roughness / d);
    Rm = RVN::Rm_Circle(lambda, d, Velocity, rho);
    return Rm;
}

void CTQPipeData::CalLosses(double rho) {
    OnWayResistance = Rm * Length;
    DynamicPressure = RVN::GetDY(Velocity, rho);
    LocalResistance = DynamicPressure * DragCoef;
}

bool CTQPipeData::CalAllData(double roughness, double rho, double nu) {
    if (RVN::IsZero(Diameter)) return false;
    CalVelocity();
    Rm = CalRm(roughness, rho, nu);
    CalLosses(rho);
    return true;
}

// ---- CTQRVNPlasticData -------------------------------------------------------

CTQRVNPlasticData::CTQRVNPlasticData() : RmFactor(1.0) { ThickNess = 1.7; }

CTQRVNPlasticData::CTQRVNPlasticData(const CTQRVNPlasticData& other)
    : CTQPipeData(other), RmFactor(other.RmFactor) {}

void CTQRVNPlasticData::operator=(const CTQRVNPlasticData& other) {
    if (this == &other) return;
    CTQPipeData::operator=(other);
    RmFactor = other.RmFactor;
    ThickNess = other.ThickNess;
}

double CTQRVNPlasticData::CalRm(double roughness, double rho, double nu) {
    if (DN == 0 || RVN::IsZero(Diameter)) {
        Velocity = 0.0;
        return 0.0;
    }
    const double outside = Diameter + 2.0 * ThickNess;
    const double dj =
        RVN::GetPlastic_dn(outside, kPlasticOutsideTolerance, ThickNess, kPlasticWallTolerance) *
        kMmToM;
    const double rez = RVN::GetPlastic_Rez(dj, roughness);
    const double res = RVN::GetPlastic_Res(dj, Velocity, nu * kViscosityToSI);
    const double b = RVN::GetPlastic_b(res, rez);
    const double lambda = RVN::GetPlastic_lmd(b, dj, roughness, res);
    Rm = RVN::Rm_Circle(lambda, dj, Velocity, rho) * RmFactor;
    return Rm;
}

// ---- CTQRVNPPRData -----------------------------------------------------------

CTQRVNPPRData::CTQRVNPPRData() : PPRFlag(true), RmFactor(1.0) {}

CTQRVNPPRData::CTQRVNPPRData(const CTQRVNPPRData& other)
    : CTQPipeData(other), PPRFlag(other.PPRFlag), RmFactor(other.RmFactor) {}

void CTQRVNPPRData::operator=(const CTQRVNPPRData& other) {
    if (this == &other) return;
    CTQPipeData::operator=(other);
    PPRFlag = other.PPRFlag;
    RmFactor = other.RmFactor;
}

double CTQRVNPPRData::CalRm(double /*roughness*/, double /*rho*/, double /*nu*/) {
    if (RVN::IsZero(Diameter)) {
        Velocity = 0.0;
        return 0.0;
    }
    Rm = RVN::GetPPR_i(Diameter * kMmToM, Flux, PPRFlag);
    return Rm;
}

bool CTQRVNPPRData::CalAllData(double roughness, double rho, double nu) {
    if (RVN::IsZero(Diameter)) {
        Velocity = 0.0;
        Rm = 0.0;
        return false;
    }
    Velocity = RVN::GetVelocity(Flux, RVN::GetArea_CIRC(Diameter * kMmToM));
    Rm = CalRm(roughness, rho, nu);
    // The third factor of the correction does not enter the result.
    Rm = RVN::GetPPR_ii(Rm, RmFactor, 1.0);
    CalLosses(rho);
    return true;
}

// ---- CTQRVNSteamData ---------------------------------------------------------

CTQRVNSteamData::CTQRVNSteamData() = default;

CTQRVNSteamData::CTQRVNSteamData(const CTQRVNSteamData& other) : CTQPipeData(other) {}

void CTQRVNSteamData::operator=(const CTQRVNSteamData& other) {
    if (this == &other) return;
    CTQPipeData::operator=(other);
}

double CTQRVNSteamData::CalRm(double roughness, double rho, double /*nu*/) {
    if (RVN::IsZero(Diameter)) {
        Rm = 0.0;
        return 0.0;
    }
    const double massFlow = rho * Flux * kKgPerSToTPerH;
    Rm = RVN::GetSteam_Rm(massFlow, Diameter * kMmToM, rho, roughness);
    return Rm;
}
