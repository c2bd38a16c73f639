#include "segment_output.h"

#include "table_text.h"
#include "text_format.h"

#include <cmath>

namespace tqrvn {

using RVN::CTQSegmentResult;
using RVN::FormatInteger;
using RVN::TQSelection;

std::string Show(double v) { return RVN::FormatSignificant(v, 4); }

namespace {

const char* CriterionTitle(TQSelection by)
{
    switch (by) {
    case TQSelection::Velocity: return "velocity";
    case TQSelection::Load: return "load";
    default: return "specific friction";
    }
}

const char* RangeName(TQSelection by)
{
    switch (by) {
    case TQSelection::Velocity: return "velocity";
    case TQSelection::Load: return "load";
    default: return "Rm";
    }
}

std::string SizeName(const CTQSegmentResult& r) { return r.sizeMark + FormatInteger(r.dn); }

std::string RangeText(const CTQSegmentResult& r)
{
    std::string text = Show(r.rangeMin) + " to " + Show(r.rangeMax) + " " + r.rangeUnit;
    if (r.by == TQSelection::Load)
        text += " at dt " + Show(r.loadBasisDeltaT) + " K";
    return text;
}

std::string Judgement(const CTQSegmentResult& r)
{
    const std::string range = RangeText(r);
    if (r.fixedSize)
        return SizeName(r) + " (given): " + (r.fits ? "fits its " : "outside its ") + RangeName(r.by) + " range " +
               range + (r.fits ? "" : " (the segment's " + Show(r.criterion) + " " + r.rangeUnit + ")");
    if (r.fits)
        return SizeName(r) + ": fits its " + RangeName(r.by) + " range " + range;
    return SizeName(r) + ": nearest size only: no size of " + r.material + " has the segment's " + RangeName(r.by) +
           " within its range (" + SizeName(r) + ": " + range + ")";
}

std::string FlowText(const CTQSegmentResult& r)
{
    std::string flow = r.fluid == RVN::TQFluid::Steam
                           ? Show(r.massFlow * 3600) + " kg/h (" + Show(r.volumeFlow * 3600) + " m3/h)"
                           : Show(r.volumeFlow * 1000) + " l/s (" + Show(r.volumeFlow * 3600) + " m3/h)";
    if (!std::isnan(r.heatLoad))
        flow += " carrying " + Show(r.heatLoad) + " W at dt " + Show(r.deltaT) + " K";
    return flow;
}

std::string ZetaText(const CTQSegmentResult& r)
{
    std::string zeta = Show(r.zeta);
    if (r.fittings.empty())
        return zeta;
    zeta += " = ";
    if (r.extraZeta != 0)
        zeta += Show(r.extraZeta) + " + ";
    for (std::size_t i = 0; i < r.fittings.size(); ++i)
        zeta += (i ? " + " : "") + r.fittings[i].name + " " + FormatInteger(r.fittings[i].count) + " x " +
                Show(r.fittings[i].zetaEach);
    return zeta;
}

std::string Line(const char* label, const std::string& value) { return "  " + PadRight(label, 20) + value + "\n"; }

std::string FittingsJson(const CTQSegmentResult& r)
{
    std::vector<std::string> items;
    for (const RVN::CTQFittingLoss& f : r.fittings)
        items.push_back(JsonObject()
                            .Add("name", f.name)
                            .AddRaw("ID", FormatInteger(f.id))
                            .AddRaw("count", FormatInteger(f.count))
                            .Add("zeta_each", f.zetaEach)
                            .AddRaw("outside_table", f.outsideTable ? "true" : "false")
                            .Str());
    return JsonArray(items);
}

std::string WarningsJson(const CTQSegmentResult& r)
{
    std::vector<std::string> items;
    for (const std::string& w : r.warnings)
        items.push_back(JsonString(w));
    return JsonArray(items);
}

void AppendCsvText(std::string& out, std::string_view raw)
{
    // CSV output is UTF-8: bytes that are not become U+FFFD.  One pass
    // finds whether the text is ASCII and whether it needs quotes.
    unsigned high = 0;
    unsigned special = 0;
    for (const char c : raw) {  // bitwise, without branches, so that it vectorises
        high |= static_cast<unsigned char>(c);
        special |= static_cast<unsigned>(c == ',') | static_cast<unsigned>(c == '"') |
                   static_cast<unsigned>(c == '\n') | static_cast<unsigned>(c == '\r');
    }
    const bool ascii = high < 0x80;
    const bool quote = special != 0;
    std::string repaired;
    std::string_view text = raw;
    if (!ascii && !RVN::IsValidUtf8(raw)) {
        repaired = RVN::ValidUtf8(raw);
        text = repaired;
    }
    if (!quote) {
        out += text;
        return;
    }
    out += '"';
    for (const char c : text) {
        if (c == '"')
            out += '"';
        out += c;
    }
    out += '"';
}

void AppendNumber(std::string& out, double v)
{
    out += ',';
    RVN::AppendNumber(out, v);
}

}  // namespace

std::string SegmentText(const CTQSegmentResult& r)
{
    const bool steam = r.fluid == RVN::TQFluid::Steam;
    std::string out = r.material + " (" + RVN::CategoryTitle(r.category) + "), " +
                      (steam ? "saturated steam" : "water") + " at " + RVN::FormatNumber(r.temperature) + " degC, " +
                      (r.fixedSize ? "checked by " : "sized by ") + CriterionTitle(r.by) + "\n";
    out += Line("flow", FlowText(r));
    out += Line("length", Show(r.length) + " m");
    out += Line("density", Show(r.density) + " kg/m3");
    out += Line("kinematic viscosity", Show(r.viscosity * 1e6) + " mm2/s");
    out += Line("roughness", Show(r.roughness * 1000) + " mm");
    out += Judgement(r) + "\n";
    out += Line("inner diameter", Show(r.innerDiameter) + " mm");
    out += Line("velocity", Show(r.velocity) + " m/s");
    out += Line("Rm", Show(r.rm) + " Pa/m");
    out += Line("friction loss", Show(r.frictionLoss) + " Pa");
    out += Line("dynamic pressure", Show(r.dynamicPressure) + " Pa");
    out += Line("zeta", ZetaText(r));
    out += Line("local loss", Show(r.localLoss) + " Pa");
    out += Line("total loss", Show(r.totalLoss) + " Pa");
    for (const std::string& w : r.warnings)
        out += "  note: " + w + "\n";
    return out;
}

std::string SegmentJson(const CTQSegmentResult& r)
{
    JsonObject o;
    if (!r.id.empty())
        o.Add("id", r.id);
    o.Add("material", r.material)
        .AddRaw("material_ID", FormatInteger(r.materialId))
        .Add("category", RVN::CategoryKey(r.category))
        .Add("fluid", r.fluid == RVN::TQFluid::Steam ? "steam" : "water")
        .Add("temp_degC", r.temperature)
        .Add("density_kg_m3", r.density)
        .Add("viscosity_mm2_s", r.viscosity * 1e6)
        .Add("roughness_m", r.roughness)
        .Add("flow_m3_s", r.volumeFlow)
        .Add("mass_flow_kg_s", r.massFlow);
    if (std::isnan(r.heatLoad))
        o.AddNull("load_W").AddNull("dt_K");
    else
        o.Add("load_W", r.heatLoad).Add("dt_K", r.deltaT);
    o.Add("length_m", r.length)
        .Add("by", RVN::SelectionKey(r.by))
        .AddRaw("fixed_size", r.fixedSize ? "true" : "false")
        .AddRaw("DN", FormatInteger(r.dn))
        .Add("size_mark", r.sizeMark)
        .Add("inner_diameter_mm", r.innerDiameter)
        .Add("thickness_mm", r.wall)
        .Add("outer_diameter_mm", r.outerDiameter)
        .Add("velocity_m_s", r.velocity)
        .Add("Re", r.reynolds)
        .Add("lambda", r.lambda)
        .Add("lambda_formula", r.formula)
        .Add("regime", r.regime)
        .AddRaw("formula_fallback", r.formulaFallback ? "true" : "false")
        .Add("Rm_Pa_m", r.rm)
        .Add("friction_loss_Pa", r.frictionLoss)
        .Add("dynamic_pressure_Pa", r.dynamicPressure)
        .Add("zeta", r.zeta)
        .Add("zeta_other", r.extraZeta)
        .AddRaw("fittings", FittingsJson(r))
        .Add("local_loss_Pa", r.localLoss)
        .Add("total_loss_Pa", r.totalLoss)
        .AddRaw("fits", r.fits ? "true" : "false");
    JsonObject range;
    range.Add("min", r.rangeMin).Add("max", r.rangeMax).Add("unit", r.rangeUnit).Add("value", r.criterion);
    if (!std::isnan(r.loadBasisDeltaT))
        range.Add("dt_K", r.loadBasisDeltaT);
    o.AddRaw("range", range.Str()).AddRaw("warnings", WarningsJson(r));
    return o.Str();
}

std::string SizeTableText(const std::vector<CTQSegmentResult>& rows)
{
    if (rows.empty())
        return std::string();
    const CTQSegmentResult& first = rows.front();
    std::string out = first.material + " (" + RVN::CategoryTitle(first.category) + "), " +
                      (first.fluid == RVN::TQFluid::Steam ? "saturated steam" : "water") + " at " +
                      RVN::FormatNumber(first.temperature) + " degC, flow " + FlowText(first) + "\n";
    TextTable table({first.sizeMark, "inner mm", "v m/s", "Rm Pa/m", std::string(RangeName(first.by)) + " range",
                     "total Pa", "fits"});
    for (const CTQSegmentResult& r : rows)
        table.AddRow({FormatInteger(r.dn), Show(r.innerDiameter), Show(r.velocity), Show(r.rm), RangeText(r),
                      Show(r.totalLoss), r.fits ? "yes" : ""});
    return out + table.Render();
}

std::string SizeTableJson(const std::vector<CTQSegmentResult>& rows)
{
    std::vector<std::string> items;
    for (const CTQSegmentResult& r : rows)
        items.push_back(SegmentJson(r));
    return JsonArray(items);
}

std::string SizeTableCsv(const std::vector<CTQSegmentResult>& rows)
{
    std::string out = std::string(kSegmentCsvColumns) + "\n";
    for (const CTQSegmentResult& r : rows)
        AppendSegmentCsv(out, 0, r.id, &r, "");
    return out;
}

const char* const kSegmentCsvColumns =
    "line,id,status,material,DN,inner_diameter_mm,velocity_m_s,Rm_Pa_m,friction_loss_Pa,"
    "dynamic_pressure_Pa,zeta,local_loss_Pa,total_loss_Pa,fit,message";

void AppendSegmentCsv(std::string& out, long line, std::string_view id, const CTQSegmentResult* r,
                      std::string_view error)
{
    out += FormatInteger(line);
    out += ',';
    AppendCsvText(out, id);
    if (r == nullptr) {
        out += ",error,,,,,,,,,,,,";
        AppendCsvText(out, error);
        out += '\n';
        return;
    }
    out += ",ok,";
    AppendCsvText(out, r->material);
    out += ',';
    out += FormatInteger(r->dn);
    for (double v : {r->innerDiameter, r->velocity, r->rm, r->frictionLoss, r->dynamicPressure, r->zeta, r->localLoss,
                     r->totalLoss})
        AppendNumber(out, v);
    out += r->fits ? ",fits," : ",nearest,";
    if (r->warnings.size() == 1) {
        AppendCsvText(out, r->warnings[0]);
    } else {
        std::string notes;
        for (const std::string& w : r->warnings)
            notes += (notes.empty() ? "" : "; ") + w;
        AppendCsvText(out, notes);
    }
    out += '\n';
}

void AppendSegmentJsonLine(std::string& out, long line, std::string_view id, const CTQSegmentResult* r,
                           std::string_view error)
{
    if (r != nullptr) {
        std::string object = SegmentJson(*r);
        out += "{\"line\": " + FormatInteger(line) + ", \"status\": \"ok\", " + object.substr(1);
    } else {
        out += JsonObject()
                   .AddRaw("line", FormatInteger(line))
                   .Add("id", id)
                   .Add("status", "error")
                   .Add("error", error)
                   .Str();
    }
    out += '\n';
}

}  // namespace tqrvn
