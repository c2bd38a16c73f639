// Sizing one pipe segment: the size selected (or checked) through the
// library's selection functions, the losses worked out by the material's
// method, the result with its judgement and warnings.
#include "design/SegmentDesign.h"

#include "calc/RVNCalc.h"
#include "db/NumberText.h"
#include "design/SegmentInternal.h"
#include "sizing/CTQPipeData.h"
#include "sizing/RVNSizing.h"

#include <cmath>
#include <exception>
#include <new>

namespace RVN {

namespace {

using detail::Resolved;

std::string Num(double v) { return FormatSignificant(v, 4); }

// The Darcy method of water pipe with the design layer's friction factor:
// where the regime's formula is out of range, Colebrook-White.
class DesignDarcyData : public CTQPipeData {
public:
    using CTQPipeData::operator=;
    double CalRm(double roughness, double rho, double nu) override
    {
        if (IsZero(Diameter)) {
            Rm = 0.0;
            return 0.0;
        }
        const double d = Diameter * 0.001;
        choice = DesignFriction(Re(d, Velocity, nu * 1e-6), roughness / d);
        Rm = Rm_Circle(choice.lambda, d, Velocity, rho);
        return Rm;
    }
    CTQFrictionChoice choice;
};

// The segment records of the four methods; the one of the request is used.
struct Records {
    DesignDarcyData darcy;
    CTQRVNPlasticData plastic;
    CTQRVNPPRData ppr;
    CTQRVNSteamData steam;

    CTQPipeData& Of(const Resolved& r)
    {
        if (r.fluid == TQFluid::Steam)
            return steam;
        switch (r.matl->Type) {
        case kCategoryPlasticPipe: return plastic;
        case kCategoryPprPipe: return ppr;
        default: return darcy;
        }
    }
};

// The judged range of a size and the segment's value against it.
void Judge(const Resolved& r, const CTQPipeSpec& s, CTQSegmentResult& out)
{
    switch (r.by) {
    case TQSelection::Rm:
        out.criterion = out.rm;
        out.rangeMin = s.MinR;
        out.rangeMax = s.MaxR;
        out.rangeUnit = "Pa/m";
        out.fits = s.CanTakeR(out.rm);
        break;
    case TQSelection::Velocity:
        out.criterion = out.velocity;
        out.rangeMin = s.MinV;
        out.rangeMax = s.MaxV;
        out.rangeUnit = "m/s";
        out.fits = s.CanTakeV(out.velocity);
        break;
    case TQSelection::Load:
        out.criterion = r.loadAtBasis;
        out.rangeMin = s.MinH;
        out.rangeMax = s.MaxH;
        out.rangeUnit = r.matl->Unit.empty() ? "W" : r.matl->Unit;
        out.loadBasisDeltaT = r.loadBasis;
        out.fits = s.CanTakeH(r.loadAtBasis);
        break;
    }
}

// The fittings' coefficients at the chosen DN, with a warning for a DN
// outside a fitting's table.
void TotalFittings(const Resolved& r, CTQSegmentResult& out)
{
    out.extraZeta = r.zeta;
    out.zeta = r.zeta;
    for (const auto& [valve, count] : r.fittings) {
        CTQFittingLoss f;
        f.name = valve->ValveName;
        f.id = valve->ID;
        f.count = count;
        f.zetaEach = valve->GetValue(out.dn);
        int lo = 0, hi = 0;
        if (r.catalog->ValveTableRange(*valve, lo, hi)) {
            if (out.dn < lo || out.dn > hi) {
                f.outsideTable = true;
                std::string w;
                w.reserve(96 + f.name.size());
                w.append("fitting ").append(f.name).append(": DN ").append(FormatInteger(out.dn));
                w.append(" lies outside its table (DN ").append(FormatInteger(lo)).append(" to ");
                w.append(FormatInteger(hi)).append("); the coefficient of DN ");
                w.append(FormatInteger(out.dn < lo ? lo : hi)).append(" is taken");
                out.warnings.push_back(std::move(w));
            }
        }
        out.zeta += count * f.zetaEach;
        out.fittings.push_back(std::move(f));
    }
}

// Re, lambda, formula and regime of the method that gave Rm.
void DescribeFriction(const Resolved& r, Records& rec, const CTQPipeData& seg, CTQSegmentResult& out)
{
    const double d = seg.Diameter * 0.001;
    const double nu = r.nu * 1e-6;
    out.reynolds = Re(d, seg.Velocity, nu);
    // The Darcy factor that gives Rm by Darcy-Weisbach, for the methods that
    // give Rm directly.
    const double v2 = seg.Velocity * seg.Velocity;
    const double equivalent = v2 > 0 && r.rho > 0 ? seg.Rm * 2.0 * d / (r.rho * v2) : 0.0;
    if (&seg == &rec.darcy) {
        out.lambda = rec.darcy.choice.lambda;
        out.formula = rec.darcy.choice.formula;
        out.regime = rec.darcy.choice.regime.name;
        out.formulaFallback = rec.darcy.choice.fallback;
        if (out.formulaFallback)
            out.warnings.push_back("the " + std::string(out.regime) + "-zone formula " + rec.darcy.choice.regime.formula +
                                   " is out of its range at Re " + Num(out.reynolds) +
                                   "; Colebrook-White (x_TF_CW) was used");
    } else if (&seg == &rec.plastic) {
        const double dj = GetPlastic_dn(seg.Diameter + 2 * seg.ThickNess, 0.3, seg.ThickNess, 0.5) * 0.001;
        const double res = GetPlastic_Res(dj, seg.Velocity, nu);
        out.lambda = GetPlastic_lmd(GetPlastic_b(res, GetPlastic_Rez(dj, r.roughness)), dj, r.roughness, res);
        out.formula = res < 2300 ? "x_LF" : "plastic-pipe formula";
        out.regime = res < 2300 ? "laminar" : "turbulent";
    } else if (&seg == &rec.ppr) {
        out.lambda = equivalent;
        out.formula = "PPR gradient formula";
        out.regime = out.reynolds < 2300 ? "laminar" : "turbulent";
    } else {
        out.lambda = equivalent;
        out.formula = "steam-pipe formula";
        out.regime = out.reynolds < 2300 ? "laminar" : "turbulent";
    }
}

// The inputs as used, copied into the result.
void Describe(const CTQSegmentRequest& rq, const Resolved& r, CTQSegmentResult& out)
{
    out.id = rq.id;
    out.material = r.matl->Name;
    out.materialId = r.matl->ID;
    out.category = r.matl->Type;
    out.sizeMark = r.matl->Mark.empty() ? std::string("DN") : r.matl->Mark;
    out.fluid = r.fluid;
    out.temperature = r.temperature;
    out.density = r.rho;
    out.viscosity = r.nu * 1e-6;
    out.roughness = r.roughness;
    out.volumeFlow = r.volumeFlow;
    out.massFlow = r.massFlow;
    out.heatLoad = r.heatLoad;
    out.deltaT = r.deltaT;
    out.length = r.length;
    out.by = r.by;
}

// The losses of the chosen size.  Selection by Rm leaves the Darcy record's
// velocity and Rm worked out for the size it chose (fitting or nearest), so
// only the steps after them are taken: the values are those CalAllData
// gives, without solving Colebrook-White once more.
bool Losses(const Resolved& r, bool selected, Records& rec, CTQPipeData& seg)
{
    if (!(selected && r.by == TQSelection::Rm && &seg == &rec.darcy))
        return seg.CalAllData(r.roughness, r.rho, r.nu);
    if (IsZero(seg.Diameter))
        return false;
    seg.OnWayResistance = seg.Rm * seg.Length;
    seg.DynamicPressure = GetDY(seg.Velocity, r.rho);
    seg.LocalResistance = seg.DynamicPressure * seg.DragCoef;
    return true;
}

// Sizes (or checks, with `fixed`) the segment and fills the result.
bool Evaluate(const Resolved& r, const CTQPipeSpec* fixed, CTQSegmentResult& out, CTQDesignError& e)
{
    Records rec;
    CTQPipeData& seg = rec.Of(r);
    seg.Flux = r.volumeFlow;
    seg.Length = r.length;
    seg.Load = std::isnan(r.loadAtBasis) ? 0.0 : r.loadAtBasis;
    auto* sizes = const_cast<CTQArray<CTQPipeSpec>*>(r.sizes);  // selection only reads the list
    bool selectedFits = false;
    if (fixed != nullptr) {
        seg.DN = fixed->DN;
        seg.Diameter = fixed->InsD;
        seg.ThickNess = fixed->Thickness;
    } else if (r.by == TQSelection::Rm) {
        selectedFits = SelectSpecByRm(&seg, sizes, r.roughness, r.rho, r.nu);
    } else if (r.by == TQSelection::Velocity) {
        selectedFits = SelectSpecByVelocity(&seg, sizes);
    } else {
        selectedFits = SelectSpecByLoad(&seg, sizes);
    }
    out.fixedSize = fixed != nullptr;
    out.dn = seg.DN;
    const CTQPipeSpec* spec = fixed;
    for (int i = 0; spec == nullptr && i < r.sizes->GetSize(); ++i)
        if ((*r.sizes)[i].DN == seg.DN)
            spec = &(*r.sizes)[i];
    TotalFittings(r, out);
    seg.DragCoef = out.zeta;
    if (spec == nullptr || !Losses(r, fixed == nullptr, rec, seg)) {
        e = {TQDesignErrorKind::Catalog, "dn",
             "size " + out.sizeMark + FormatInteger(out.dn) + " of " + r.matl->Name + " has no inner diameter"};
        return false;
    }
    out.innerDiameter = spec->InsD;
    out.wall = spec->Thickness;
    out.outerDiameter = spec->OutD;
    out.velocity = seg.Velocity;
    out.rm = seg.Rm;
    out.frictionLoss = seg.OnWayResistance;
    out.dynamicPressure = seg.DynamicPressure;
    out.localLoss = seg.LocalResistance;
    out.totalLoss = seg.GetAllResistance();
    DescribeFriction(r, rec, seg, out);
    if (!std::isfinite(out.totalLoss) || !(out.rm >= 0)) {
        e = {TQDesignErrorKind::Input, "flow",
             "no friction result for " + out.sizeMark + FormatInteger(out.dn) + " at this flow (velocity " +
                 Num(out.velocity) + " m/s, Re " + Num(out.reynolds) + ")"};
        return false;
    }
    Judge(r, *spec, out);
    if (fixed == nullptr && !selectedFits)
        out.fits = false;
    return true;
}

// A note when a load was compared at the catalog's temperature difference.
void AddLoadNote(const Resolved& r, CTQSegmentResult& out)
{
    if (out.by == TQSelection::Load && !std::isnan(r.deltaT) && r.deltaT != r.loadBasis)
        out.warnings.push_back("the load " + Num(r.heatLoad) + " W at dt " + Num(r.deltaT) + " K was compared as " +
                               Num(r.loadAtBasis) + " W, the load of the same flow at the " + Num(r.loadBasis) +
                               " K of the catalog's load ranges");
}

template <class T>
CTQDesignOutcome<T> Internal(const char* what)
{
    CTQDesignOutcome<T> o;
    o.error = {TQDesignErrorKind::Input, "request", what};
    return o;
}

}  // namespace

CTQDesignOutcome<CTQSegmentResult> SizeSegment(const CTQCatalogSnapshot& catalog, const CTQSegmentRequest& request)
{
    try {
        CTQDesignOutcome<CTQSegmentResult> o;
        Resolved r;
        if (!detail::Resolve(catalog, request, r, o.error))
            return o;
        const CTQPipeSpec* fixed = nullptr;
        if (request.dn != 0) {
            for (int i = 0; fixed == nullptr && i < r.sizes->GetSize(); ++i)
                if ((*r.sizes)[i].DN == request.dn)
                    fixed = &(*r.sizes)[i];
            if (fixed == nullptr) {
                std::string dns;
                for (const CTQPipeSpec& s : *r.sizes)
                    dns += (dns.empty() ? "" : ", ") + FormatInteger(s.DN);
                o.error = {TQDesignErrorKind::Input, "dn",
                           "material " + r.matl->Name + " has no size " + FormatInteger(request.dn) + " (sizes: " + dns + ")"};
                return o;
            }
        }
        Describe(request, r, o.value);
        if (!Evaluate(r, fixed, o.value, o.error))
            return o;
        AddLoadNote(r, o.value);
        return o;
    } catch (const std::bad_alloc&) {
        return Internal<CTQSegmentResult>("out of memory");
    } catch (const std::exception& e) {
        return Internal<CTQSegmentResult>(e.what());
    }
}

CTQDesignOutcome<std::vector<CTQSegmentResult>> ListSegmentSizes(const CTQCatalogSnapshot& catalog,
                                                                 const CTQSegmentRequest& request)
{
    try {
        CTQDesignOutcome<std::vector<CTQSegmentResult>> o;
        Resolved r;
        if (!detail::Resolve(catalog, request, r, o.error))
            return o;
        for (const CTQPipeSpec& s : *r.sizes) {
            CTQSegmentResult row;
            Describe(request, r, row);
            if (!Evaluate(r, &s, row, o.error))
                return o;
            AddLoadNote(r, row);
            o.value.push_back(std::move(row));
        }
        return o;
    } catch (const std::bad_alloc&) {
        return Internal<std::vector<CTQSegmentResult>>("out of memory");
    } catch (const std::exception& e) {
        return Internal<std::vector<CTQSegmentResult>>(e.what());
    }
}

}  // namespace RVN
