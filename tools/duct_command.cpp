// "tqrvn duct": the options in, RVN::PickDucts, text or JSON out.
#include "catalog_commands.h"
#include "segment_output.h"
#include "size_command.h"
#include "text_format.h"

namespace tqrvn {

namespace {

std::string ChoiceJson(const RVN::CTQDuctChoice& d)
{
    JsonObject o;
    if (d.circular)
        o.AddRaw("diameter_mm", RVN::FormatInteger(d.width));
    else
        o.AddRaw("width_mm", RVN::FormatInteger(d.width)).AddRaw("height_mm", RVN::FormatInteger(d.height));
    return o.Add("thickness_mm", d.thickness)
        .Add("velocity_m_s", d.velocity)
        .Add("Re", d.reynolds)
        .Add("lambda", d.lambda)
        .Add("lambda_formula", d.formula)
        .Add("Rm_Pa_m", d.rm)
        .Add("dynamic_pressure_Pa", d.dynamicPressure)
        .Str();
}

std::string ChoiceText(const RVN::CTQDuctChoice& d)
{
    const std::string title = d.circular ? "circular duct D" + RVN::FormatInteger(d.width) + " mm"
                                         : "rectangular duct " + RVN::FormatInteger(d.width) + " x " +
                                               RVN::FormatInteger(d.height) + " mm";
    return title + " (sheet " + Show(d.thickness) + " mm)\n" + "  " + PadRight("velocity", 20) + Show(d.velocity) +
           " m/s\n" + "  " + PadRight("Rm", 20) + Show(d.rm) + " Pa/m (lambda " + Show(d.lambda) + " by " + d.formula +
           ", Re " + Show(d.reynolds) + ")\n" + "  " + PadRight("dynamic pressure", 20) + Show(d.dynamicPressure) +
           " Pa\n";
}

std::string DuctJson(const RVN::CTQDuctResult& r)
{
    JsonObject o;
    o.Add("flow_m3_s", r.volumeFlow)
        .Add("target_velocity_m_s", r.targetVelocity)
        .Add("air_temp_degC", RVN::kDuctAirTemperature)
        .Add("density_kg_m3", r.density)
        .Add("viscosity_m2_s", r.viscosity)
        .Add("roughness_m", r.roughness);
    if (r.hasCircular)
        o.AddRaw("circular", ChoiceJson(r.circular));
    if (r.hasRectangular)
        o.AddRaw("rectangular", ChoiceJson(r.rectangular));
    return o.Str() + "\n";
}

std::string DuctText(const RVN::CTQDuctResult& r)
{
    std::string out = "air at " + RVN::FormatNumber(RVN::kDuctAirTemperature) + " degC: density " + Show(r.density) +
                      " kg/m3, kinematic viscosity " + Show(r.viscosity * 1e6) + " mm2/s; roughness " +
                      Show(r.roughness * 1000) + " mm\n";
    out += "flow " + Show(r.volumeFlow) + " m3/s (" + Show(r.volumeFlow * 3600) + " m3/h), target velocity " +
           Show(r.targetVelocity) + " m/s\n";
    if (r.hasCircular)
        out += ChoiceText(r.circular);
    if (r.hasRectangular)
        out += ChoiceText(r.rectangular);
    return out;
}

// A quantity option into `out`; false after reporting on err.
bool Option(const char* field, const std::string& text, std::initializer_list<int> q, bool unitRequired,
            double& out, std::ostream& err)
{
    if (RVN::TrimBlanks(text).empty())
        return true;
    const auto o = RVN::ParseQuantity(field, text, q, unitRequired);
    if (!o.Ok()) {
        err << "tqrvn: " << o.error.Text() << "\n";
        return false;
    }
    out = o.value.value;
    return true;
}

}  // namespace

int DuctCommand(const DuctOptions& options, std::ostream& out, std::ostream& err)
{
    RVN::CTQDuctRequest rq;
    if (!RVN::TrimBlanks(options.flow).empty()) {
        const auto f = RVN::ParseQuantity("flow", options.flow, {RVN::kQuantityVolumeFlow, RVN::kQuantityMassFlow}, true);
        if (!f.Ok()) {
            err << "tqrvn: " << f.error.Text() << "\n";
            return kInputError;
        }
        (f.value.quantity == RVN::kQuantityMassFlow ? rq.massFlow : rq.volumeFlow) = f.value.value;
    }
    if (!Option("velocity", options.velocity, {RVN::kQuantitySpeed}, false, rq.velocity, err) ||
        !Option("roughness", options.roughness, {RVN::kQuantityLength}, false, rq.roughness, err))
        return kInputError;
    rq.shape = options.circular == options.rectangular ? RVN::TQDuctShape::Both
               : options.circular                      ? RVN::TQDuctShape::Circular
                                                       : RVN::TQDuctShape::Rectangular;
    // The request is checked before the catalog is opened.
    const auto empty = CTQCatalogSnapshot::FromRecords({}, {}, {}, {});
    const auto check = RVN::PickDucts(*empty, rq);
    if (!check.Ok() && check.error.kind == RVN::TQDesignErrorKind::Input) {
        err << "tqrvn: " << check.error.Text() << "\n";
        return kInputError;
    }
    const auto catalog = OpenCatalog(CatalogPath(options.catalog), err);
    if (!catalog)
        return kCatalogError;
    const auto picked = RVN::PickDucts(*catalog, rq);
    if (!picked.Ok()) {
        err << "tqrvn: " << picked.error.Text() << "\n";
        return picked.error.kind == RVN::TQDesignErrorKind::Catalog ? kCatalogError : kInputError;
    }
    out << (options.json ? DuctJson(picked.value) : DuctText(picked.value));
    out.flush();
    if (!out) {
        err << "tqrvn: cannot write the output\n";
        return kCatalogError;
    }
    return 0;
}

const char* DuctHelpFooter()
{
    return R"(Picks from the catalog's duct sizes the circular and the rectangular duct (both unless
--circ or --rect is given) whose velocity comes nearest the target, and prints its velocity,
its specific friction Rm and its dynamic pressure.  Air at 20 degC, 50 % humidity and
101325 Pa (density by the humid-air formula, kinematic viscosity 15.06e-6 m2/s); wall
roughness 0.15 mm of galvanised sheet unless --roughness is given.  --flow takes a volume
flow (m3/h, m3/s, l/s, ...) or a mass flow (kg/h, ...).
Example: tqrvn duct --flow 3000 m3/h --velocity 6
)";
}

}  // namespace tqrvn
