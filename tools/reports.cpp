#include "reports.h"

#include "text_format.h"

#include "calc/RVNCalc.h"
#include "design/SegmentDesign.h"

#include <cmath>

namespace tqrvn {

namespace {
// Relative humidity and barometric pressure of the air-density column.
constexpr double kReportHumidity = 0.5;
constexpr double kReportPressure = 101325.0; // Pa, standard atmosphere

std::string ValueText(double value, bool outOfRange) {
    return outOfRange ? "out of range" : FormatNumber(value);
}
} // namespace

Regime ClassifyRegime(double re, double eps) {
    const RVN::CTQFrictionRegime r = RVN::ClassifyFriction(re, eps);
    return {r.name, r.formula};
}

FrictionReport ComputeFriction(double re, double eps) {
    FrictionReport r;
    r.re = re;
    r.eps = eps;
    // Formulas with a -1 out-of-range sentinel carry `true` in `sentinel`.
    struct Row {
        const char* name;
        const char* title;
        double value;
        bool sentinel;
    };
    const Row rows[] = {
        {"x_LF", "laminar", RVN::x_LF(re), false},
        {"x_TF_B", "Blasius", RVN::x_TF_B(re), true},
        {"x_TF_PN", "Prandtl-Nikuradse", RVN::x_TF_PN(re), true},
        {"x_TF_CW", "Colebrook-White", RVN::x_TF_CW(re, eps), false},
        {"x_TF_SJ", "Swamee-Jain", RVN::x_TF_SJ(re, eps), true},
        {"x_TF_A", "Altshul", RVN::x_TF_A(re, eps), false},
        {"x_TF_M", "Moody", RVN::x_TF_M(re, eps), true},
        {"x_TF_KN", "von Karman-Nikuradse", RVN::x_TF_KN(eps), false},
        {"x_TF_X", "Shifrinson", RVN::x_TF_X(eps), false},
    };
    for (const Row& row : rows) {
        r.formulas.push_back({row.name, row.title, row.value, row.sentinel && row.value == -1.0});
    }
    r.lmd = RVN::GetLmd(re, eps);
    r.regime = ClassifyRegime(re, eps);
    // GetLmd passes on the Blasius sentinel in the smooth zone above re = 1e5.
    r.lmdOutOfRange = r.lmd == -1.0;
    return r;
}

std::string FrictionText(const FrictionReport& r) {
    std::string out = "Friction factor (Darcy) at Re = " + FormatNumber(r.re) +
                      ", relative roughness = " + FormatNumber(r.eps) + "\n";
    for (const FormulaValue& f : r.formulas) {
        out += "  " + PadRight(f.name, 9) + PadRight(f.title, 22) +
               ValueText(f.value, f.outOfRange) + "\n";
    }
    out += "  " + PadRight("GetLmd", 31) + ValueText(r.lmd, r.lmdOutOfRange) + "\n";
    out += "  regime: " + std::string(r.regime.name) + " (" + r.regime.formula + ")\n";
    return out;
}

std::string FrictionJson(const FrictionReport& r) {
    JsonObject formulas;
    for (const FormulaValue& f : r.formulas) {
        if (f.outOfRange) {
            formulas.Add(f.name, "out of range");
        } else {
            formulas.Add(f.name, f.value);
        }
    }
    JsonObject o;
    o.Add("re", r.re).Add("eps", r.eps).AddRaw("formulas", formulas.Str());
    if (r.lmdOutOfRange) {
        o.Add("GetLmd", "out of range");
    } else {
        o.Add("GetLmd", r.lmd);
    }
    o.Add("regime", r.regime.name).Add("regime_formula", r.regime.formula);
    return o.Str();
}

WaterReport ComputeWater(double t) {
    WaterReport r;
    r.t = t;
    r.density = RVN::GetWaterMD(t);
    r.viscosity = RVN::GetWaterND(t);
    r.airDensity = RVN::GetDensity(t, kReportHumidity, kReportPressure);
    return r;
}

std::string WaterText(const WaterReport& r) {
    return "Water at " + FormatNumber(r.t) + " degC\n" +
           "  density              " + FormatNumber(r.density) + " kg/m3\n" +
           "  kinematic viscosity  " + FormatNumber(r.viscosity) + " 1e-6 m2/s\n" +
           "Air at " + FormatNumber(r.t) + " degC, 50 % humidity, 101325 Pa\n" +
           "  density              " + FormatNumber(r.airDensity) + " kg/m3\n";
}

std::string WaterJson(const WaterReport& r) {
    return JsonObject()
        .Add("t_degC", r.t)
        .Add("water_density_kg_m3", r.density)
        .Add("water_viscosity_1e-6_m2_s", r.viscosity)
        .Add("air_density_kg_m3", r.airDensity)
        .Str();
}

namespace {
constexpr double kGridRe[] = {1000, 3000, 10000, 100000, 1000000};
constexpr double kGridEps[] = {0.0, 0.0001, 0.001, 0.01};
constexpr double kGridT[] = {0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100};
} // namespace

std::string OverviewText() {
    std::string out = "Friction factor by regime (GetLmd)\n";
    out += "  " + PadRight("Re", 10);
    for (double eps : kGridEps) {
        out += PadRight("eps=" + FormatNumber(eps), 30);
    }
    out += "\n";
    for (double re : kGridRe) {
        out += "  " + PadRight(FormatNumber(re), 10);
        for (double eps : kGridEps) {
            const double l = RVN::GetLmd(re, eps);
            const std::string cell = l == -1.0 ? "out of range" : FormatNumber(l);
            out += PadRight(cell + " " + ClassifyRegime(re, eps).name, 30);
        }
        out += "\n";
    }
    out += "\nWater and air properties\n";
    out += "  " + PadRight("t degC", 8) + PadRight("water kg/m3", 14) +
           PadRight("water 1e-6 m2/s", 18) + "air kg/m3 (50 % rh at 101325 Pa)\n";
    for (double t : kGridT) {
        const WaterReport w = ComputeWater(t);
        out += "  " + PadRight(FormatNumber(t), 8) + PadRight(FormatNumber(w.density), 14) +
               PadRight(FormatNumber(w.viscosity), 18) + FormatNumber(w.airDensity) + "\n";
    }
    return out;
}

std::string OverviewJson() {
    std::vector<std::string> friction;
    for (double re : kGridRe) {
        for (double eps : kGridEps) {
            friction.push_back(FrictionJson(ComputeFriction(re, eps)));
        }
    }
    std::vector<std::string> water;
    for (double t : kGridT) {
        water.push_back(WaterJson(ComputeWater(t)));
    }
    return JsonObject().AddRaw("friction", JsonArray(friction)).AddRaw("water", JsonArray(water)).Str();
}

} // namespace tqrvn
