#include "design/DuctDesign.h"

#include "calc/RVNCalc.h"
#include "db/NumberText.h"
#include "design/SegmentDesign.h"
#include "sizing/RVNSizing.h"

#include <cmath>
#include <exception>

namespace RVN {

namespace {

bool Refuse(CTQDesignError& e, const char* field, std::string message,
            TQDesignErrorKind kind = TQDesignErrorKind::Input)
{
    e = {kind, field, std::move(message)};
    return false;
}

void Flow(CTQDuctChoice& d, double dh, double roughness, double rho)
{
    d.hydraulicDiameter = dh;
    d.reynolds = Re(dh, d.velocity, kDuctAirViscosity);
    const CTQFrictionChoice f = DesignFriction(d.reynolds, roughness / dh);
    d.lambda = f.lambda;
    d.formula = f.fallback ? "Colebrook-White" : f.regime.formula;
    d.formulaFallback = f.fallback;
    d.dynamicPressure = GetDY(d.velocity, rho);
}

bool Pick(const CTQCatalogSnapshot& cat, bool circular, const CTQDuctResult& r, CTQDuctChoice& d, CTQDesignError& e)
{
    auto* list = const_cast<CTQArray<CTQDuctSpec>*>(&cat.Ducts(circular ? 0 : 1));  // selection only reads it
    if (list->IsEmpty())
        return Refuse(e, "DuctSpec", std::string("the catalog has no ") + (circular ? "circular" : "rectangular") + " ducts",
                      TQDesignErrorKind::Catalog);
    const CTQDuctSpec s = circular ? SelectSpecByVelocity_Circ(r.volumeFlow, r.targetVelocity, list)
                                   : SelectSpecByVelocity_Rect(r.volumeFlow, r.targetVelocity, list);
    d.circular = circular;
    d.width = s.Width;
    d.height = circular ? 0 : s.Height;
    d.thickness = s.Thickness;
    if (s.Width <= 0 || (!circular && s.Height <= 0))
        return Refuse(e, "DuctSpec", "the picked duct has no size (width " + FormatInteger(s.Width) + " mm)",
                      TQDesignErrorKind::Catalog);
    if (circular) {
        const double dia = s.Width * 0.001;
        d.velocity = GetVelocity_CIRC(r.volumeFlow, dia);
        Flow(d, dia, r.roughness, r.density);
        d.rm = Rm_Circle(d.lambda, dia, d.velocity, r.density);
    } else {
        const double a = s.Width * 0.001, b = s.Height * 0.001;
        d.velocity = GetVelocity_RECT(r.volumeFlow, a, b);
        Flow(d, D(GetHydraulicRadius_RECT(a, b)), r.roughness, r.density);
        d.rm = Rm_Square(d.lambda, a, b, d.velocity, r.density);
    }
    return true;
}

}  // namespace

CTQDesignOutcome<CTQDuctResult> PickDucts(const CTQCatalogSnapshot& catalog, const CTQDuctRequest& request)
{
    CTQDesignOutcome<CTQDuctResult> o;
    try {
        CTQDuctResult& r = o.value;
        CTQDesignError& e = o.error;
        r.density = GetDensity(kDuctAirTemperature, kDuctAirHumidity, kDuctAirPressure);
        const bool volume = !std::isnan(request.volumeFlow), mass = !std::isnan(request.massFlow);
        if (volume == mass) {
            Refuse(e, "flow", volume ? "give a volume flow or a mass flow, not both" : "give the air flow (e.g. 3000 m3/h)");
            return o;
        }
        r.volumeFlow = volume ? request.volumeFlow : request.massFlow / r.density;
        if (!(r.volumeFlow > 0) || !std::isfinite(r.volumeFlow)) {
            Refuse(e, "flow", "the air flow must be positive");
            return o;
        }
        r.targetVelocity = request.velocity;
        if (std::isnan(request.velocity)) {
            Refuse(e, "velocity", "give the target velocity (m/s)");
            return o;
        }
        if (!(request.velocity > 0) || !std::isfinite(request.velocity)) {
            Refuse(e, "velocity", FormatNumber(request.velocity) + " m/s must be positive");
            return o;
        }
        r.roughness = request.roughness;
        if (!(r.roughness > 0) || r.roughness >= 0.01) {
            Refuse(e, "roughness", FormatNumber(r.roughness) +
                                       " m is not a wall roughness (above 0 and below 10 mm; e.g. 0.15 mm is 0.00015 m)");
            return o;
        }
        const bool both = request.shape == TQDuctShape::Both;
        if ((both || request.shape == TQDuctShape::Circular) && !(r.hasCircular = Pick(catalog, true, r, r.circular, e)))
            return o;
        if ((both || request.shape == TQDuctShape::Rectangular) &&
            !(r.hasRectangular = Pick(catalog, false, r, r.rectangular, e)))
            return o;
    } catch (const std::exception& ex) {
        o.error = {TQDesignErrorKind::Input, "request", ex.what()};
    }
    return o;
}

}  // namespace RVN
