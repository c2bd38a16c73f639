// The friction and water-property reports of the tqrvn tool, as plain text
// and as JSON.  Every number is written with FormatNumber, so the output is
// the same in every locale.
#pragma once

#include <string>
#include <vector>

namespace tqrvn {

/// The flow regime that RVN::GetLmd chooses for (re, eps), and its formula.
struct Regime {
    const char* name;    ///< "laminar", "transition", "smooth", "mixed", "rough", "no flow", "undefined"
    const char* formula; ///< the formula of that regime ("x_LF", "x_TF_B", ...)
};

/// Classifies (re, eps) by the tests of RVN::GetLmd, in the same order.
Regime ClassifyRegime(double re, double eps);

/// One named friction-factor formula evaluated at (re, eps).
struct FormulaValue {
    const char* name;
    const char* title;
    double value;
    bool outOfRange; ///< the formula returned its -1 out-of-range sentinel
};

struct FrictionReport {
    double re = 0;
    double eps = 0;
    std::vector<FormulaValue> formulas;
    double lmd = 0;
    bool lmdOutOfRange = false;
    Regime regime{};
};

FrictionReport ComputeFriction(double re, double eps);
std::string FrictionText(const FrictionReport& r);
std::string FrictionJson(const FrictionReport& r);

struct WaterReport {
    double t = 0;
    double density = 0;    ///< kg/m^3
    double viscosity = 0;  ///< 1e-6 m^2/s
    double airDensity = 0; ///< kg/m^3 at 50 % relative humidity and 101325 Pa
};

WaterReport ComputeWater(double t);
std::string WaterText(const WaterReport& r);
std::string WaterJson(const WaterReport& r);

/// The main job: friction factors over a grid of Reynolds numbers and
/// roughnesses, and water properties from 0 to 100 degC.
std::string OverviewText();
std::string OverviewJson();

} // namespace tqrvn
