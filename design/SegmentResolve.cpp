// Checking a segment request field by field against the catalog.
#include "design/SegmentInternal.h"

#include "calc/RVNCalc.h"
#include "db/NumberText.h"

#include <cmath>

namespace RVN::detail {

namespace {

// Water temperatures of the water formulas (GetWaterMD is tabulated from 0
// to 100 degC and clamps outside, so a value beyond is refused); the
// temperature taken when none is given.
constexpr double kWaterMinTemp = 0.0;
constexpr double kWaterMaxTemp = 100.0;
constexpr double kDefaultWaterTemp = 20.0;
// A roughness from 10 mm up is a unit slip (mm given as m), not a pipe wall.
constexpr double kMaxRoughness = 0.01;
// Most fittings of one kind on one segment; a larger count is a typing slip.
constexpr int kMaxFittingCount = 10000;

bool Refuse(CTQDesignError& e, const char* field, std::string message,
            TQDesignErrorKind kind = TQDesignErrorKind::Input)
{
    e.kind = kind;
    e.field = field;
    e.message = std::move(message);
    return false;
}

bool Given(double v) { return !std::isnan(v); }

bool ResolveMaterial(const CTQCatalogSnapshot& cat, const CTQSegmentRequest& rq, Resolved& r, CTQDesignError& e)
{
    const std::string_view name = TrimBlanks(rq.material);
    if (rq.category < 0 || rq.category > kCategoryPprPipe)
        return Refuse(e, "category", FormatInteger(rq.category) + " is not a category (1 water, 2 plastic, 3 PPR pipe)");
    if (!name.empty()) {
        r.matl = cat.FindMaterial(name);
        if (r.matl == nullptr)
            return Refuse(e, "material", "no material '" + std::string(name) + "' in the catalog (materials: " +
                                             cat.MaterialNames(0) + ")");
    } else if (rq.materialId >= 0) {
        r.matl = cat.MaterialById(rq.materialId);
        if (r.matl == nullptr)
            return Refuse(e, "material", "no material with ID " + FormatInteger(rq.materialId) + " in the catalog");
    } else {
        const int category = rq.category != 0 ? rq.category : kCategoryWaterPipe;
        r.matl = cat.DefaultMaterial(category);
        if (r.matl == nullptr)
            return Refuse(e, "category", std::string("the catalog has no material of category ") + CategoryKey(category),
                          TQDesignErrorKind::Catalog);
    }
    const int type = r.matl->Type;
    if (rq.category != 0 && type != rq.category)
        return Refuse(e, "category", "material " + r.matl->Name + " is " + CategoryTitle(type) + ", not of category " +
                                         CategoryKey(rq.category));
    if (type < kCategoryWaterPipe || type > kCategoryPprPipe)
        return Refuse(e, "material", "material " + r.matl->Name + " has type " + FormatInteger(type) +
                                         ", which is not water (1), plastic (2) or PPR (3) pipe",
                      TQDesignErrorKind::Catalog);
    if (rq.fluid == TQFluid::Steam && type != kCategoryWaterPipe)
        return Refuse(e, "fluid", "steam needs a water-pipe (steel) material; " + r.matl->Name + " is " + CategoryTitle(type));
    r.sizes = &cat.Sizes(r.matl->ID);
    if (r.sizes->IsEmpty())
        return Refuse(e, "material", "material " + r.matl->Name + " has no sizes in the catalog", TQDesignErrorKind::Catalog);
    return true;
}

bool ResolveFluid(const CTQCatalogSnapshot& cat, const CTQSegmentRequest& rq, Resolved& r, CTQDesignError& e)
{
    r.fluid = rq.fluid;
    if (rq.fluid == TQFluid::Steam) {
        if (!Given(rq.temperature))
            return Refuse(e, "temperature", "steam needs its saturation temperature (degC)");
        const double t = rq.temperature;
        const CTQSteamProp* row = std::isfinite(t) && t == std::floor(t) && std::fabs(t) < 1e6
                                      ? cat.SteamRow(static_cast<int>(t))
                                      : nullptr;
        if (row == nullptr) {
            std::string near = "the catalog has no steam rows";
            const auto& rows = cat.SteamRows();
            if (!rows.empty())
                near = "the catalog's steam rows go from " + FormatInteger(rows.front().Temperature) + " to " +
                       FormatInteger(rows.back().Temperature) + " degC in whole degrees";
            return Refuse(e, "temperature", "no saturated-steam row at " + FormatNumber(t) + " degC; " + near);
        }
        r.temperature = t;
        r.rho = row->Density;
        r.nu = row->Viscosity;
        if (!(r.rho > 0) || !(r.nu > 0) || !std::isfinite(r.rho) || !std::isfinite(r.nu))
            return Refuse(e, "temperature", "the steam row at " + FormatNumber(t) + " degC has no density or viscosity",
                          TQDesignErrorKind::Catalog);
        return true;
    }
    r.temperature = Given(rq.temperature) ? rq.temperature : kDefaultWaterTemp;
    if (!(r.temperature >= kWaterMinTemp && r.temperature <= kWaterMaxTemp))
        return Refuse(e, "temperature", FormatNumber(r.temperature) + " degC is outside the water data (0 to 100 degC)");
    r.rho = GetWaterMD(r.temperature);
    r.nu = GetWaterND(r.temperature);
    return true;
}

bool ResolveFlow(const CTQSegmentRequest& rq, Resolved& r, CTQDesignError& e)
{
    const int given = (Given(rq.volumeFlow) ? 1 : 0) + (Given(rq.massFlow) ? 1 : 0) + (Given(rq.heatLoad) ? 1 : 0);
    if (given == 0)
        return Refuse(e, "flow", r.fluid == TQFluid::Steam
                                     ? "give the steam's mass flow (e.g. 500 kg/h)"
                                     : "give a flow (e.g. 1.2 m3/h) or a heat load with its temperature difference");
    if (given > 1)
        return Refuse(e, "flow", "give one of a volume flow, a mass flow or a heat load, not several");
    if (Given(rq.deltaT) && !Given(rq.heatLoad))
        return Refuse(e, "deltaT", "a temperature difference goes with a heat load only");
    if (Given(rq.volumeFlow)) {
        if (!(rq.volumeFlow > 0) || !std::isfinite(rq.volumeFlow))
            return Refuse(e, "flow", "the volume flow " + FormatNumber(rq.volumeFlow) + " m3/s must be positive");
        r.volumeFlow = rq.volumeFlow;
        r.massFlow = rq.volumeFlow * r.rho;
    } else if (Given(rq.massFlow)) {
        if (!(rq.massFlow > 0) || !std::isfinite(rq.massFlow))
            return Refuse(e, "flow", "the mass flow " + FormatNumber(rq.massFlow) + " kg/s must be positive");
        r.massFlow = rq.massFlow;
        r.volumeFlow = rq.massFlow / r.rho;
    } else {
        if (r.fluid == TQFluid::Steam)
            return Refuse(e, "heatLoad", "steam is sized by its mass flow (e.g. 500 kg/h); a heat load is for water");
        if (!(rq.heatLoad > 0) || !std::isfinite(rq.heatLoad))
            return Refuse(e, "heatLoad", "the heat load " + FormatNumber(rq.heatLoad) + " W must be positive");
        if (!Given(rq.deltaT))
            return Refuse(e, "deltaT", "a heat load needs the temperature difference that carries it (K)");
        if (!(rq.deltaT > 0) || !std::isfinite(rq.deltaT))
            return Refuse(e, "deltaT", "the temperature difference " + FormatNumber(rq.deltaT) + " K must be positive");
        r.heatLoad = rq.heatLoad;
        r.deltaT = rq.deltaT;
        r.massFlow = GetWaterFlux(rq.heatLoad, rq.deltaT);
        r.volumeFlow = r.massFlow / r.rho;
    }
    if (rq.by == TQSelection::Load) {
        if (r.fluid == TQFluid::Steam)
            return Refuse(e, "by", "steam is not sized by load: the catalog's load ranges are for hot water; size it by rm "
                                   "or velocity");
        // The load the same flow carries at the temperature difference of the
        // material's load ranges.
        r.loadBasis = LoadBasisDeltaT(*r.matl);
        r.loadAtBasis = Given(r.heatLoad) ? r.heatLoad * r.loadBasis / r.deltaT
                                          : r.massFlow / GetWaterFlux(1.0, r.loadBasis);
    }
    return true;
}

bool ResolveRest(const CTQCatalogSnapshot& cat, const CTQSegmentRequest& rq, Resolved& r, CTQDesignError& e)
{
    if (!Given(rq.length))
        return Refuse(e, "length", "give the length of the segment (m)");
    if (!(rq.length > 0) || !std::isfinite(rq.length))
        return Refuse(e, "length", FormatNumber(rq.length) + " m must be positive");
    r.length = rq.length;
    if (!(rq.zeta >= 0) || !std::isfinite(rq.zeta))
        return Refuse(e, "zeta", FormatNumber(rq.zeta) + " must be a coefficient of 0 or more");
    r.zeta = rq.zeta;
    if (Given(rq.roughness)) {
        r.roughness = rq.roughness;
        if (!(r.roughness > 0) || r.roughness >= kMaxRoughness)
            return Refuse(e, "roughness", FormatNumber(r.roughness) +
                                              " m is not a wall roughness (above 0 and below 10 mm; e.g. 0.2 mm is 0.0002 m)");
    } else {
        r.roughness = r.matl->K * 0.001;  // the catalog keeps K in mm
        if (!(r.roughness > 0) || r.roughness >= kMaxRoughness)
            return Refuse(e, "roughness", "material " + r.matl->Name + " has no usable roughness K (" +
                                              FormatNumber(r.matl->K) + " mm); give one",
                          TQDesignErrorKind::Catalog);
    }
    const int kind = ValveKindOfCategory(r.matl->Type);
    for (const CTQFittingCount& f : rq.fittings) {
        const std::string_view name = TrimBlanks(f.name);
        if (name.empty())
            return Refuse(e, "fittings", "a fitting has no name");
        if (f.count < 1 || f.count > kMaxFittingCount)
            return Refuse(e, "fittings", "fitting '" + std::string(name) + "': the count " + FormatInteger(f.count) +
                                             " must be a whole number from 1 to 10000");
        const CTQPipeValve* v = cat.FindValve(kind, name);
        if (v == nullptr)
            return Refuse(e, "fittings", "no fitting '" + std::string(name) + "' for " +
                                             (kind == 1 ? "steel" : "plastic") +
                                             " pipe in the catalog (see: tqrvn catalog list valves)");
        r.fittings.emplace_back(v, f.count);
    }
    r.by = rq.by;
    r.sizes = r.fluid == TQFluid::Steam && rq.by == TQSelection::Velocity ? &cat.SteamSizes(r.matl->ID) : r.sizes;
    return true;
}

}  // namespace

bool Resolve(const CTQCatalogSnapshot& cat, const CTQSegmentRequest& rq, Resolved& r, CTQDesignError& e)
{
    r.catalog = &cat;
    return ResolveMaterial(cat, rq, r, e) && ResolveFluid(cat, rq, r, e) && ResolveFlow(rq, r, e) &&
           ResolveRest(cat, rq, r, e);
}

}  // namespace RVN::detail
