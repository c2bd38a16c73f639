// Water properties and the plastic, PPR and steam pipe methods as Python
// functions over numbers and arrays.
#include "NumericFunction.h"
#include "calc/RVNCalc.h"

namespace tqrvn_py {

namespace {

// The PPR factors are table lookups whose ends hold for every value beyond
// them, so a 64-bit integer clamped to int gives the same factor.
constexpr RegisterOptions kWideInts{false, true};

void AddWater(PyObject* m) {
    Add<&RVN::GetWaterMD>(
        m, "GetWaterMD", "t",
        "Density of water, kg/m3, at t degC: linear on a 10 degC grid below 40 degC,\n"
        "the nearest whole degree of a 1 degC table from 40 to 100 degC; 999.3 below\n"
        "0 degC, 958.38 above 100 degC; NaN for NaN.\n\n"
        ">>> GetWaterMD(-5.0), GetWaterMD(150.0)\n(999.3, 958.38)");
    Add<&RVN::GetWaterND>(
        m, "GetWaterND", "t",
        "Kinematic viscosity of water in 1e-6 m2/s (mm2/s) at t degC, interpolated\n"
        "at the nearest whole degree (a step function of t) between table points of\n"
        "0..80 degC; 0.365 from 79.5 degC on; NaN for NaN.  Multiply by 1e-6 before\n"
        "Re.\n\n"
        ">>> GetWaterND(20.0)\n1.004");
}

void AddPlastic(PyObject* m) {
    Add<&RVN::GetPlastic_dn>(
        m, "GetPlastic_dn", "de, dde, e, dwall",
        "Calculated bore of plastic pipe, mm: (2 de + dde - 4 e - 2 dwall) / 2 from\n"
        "the outside diameter de, its tolerance dde, the wall e and its tolerance\n"
        "dwall (mm).");
    Add<&RVN::GetPlastic_Rez>(
        m, "GetPlastic_Rez", "dj, k",
        "Boundary Reynolds number Re_z = 500 dj / k (bore and roughness in one unit).");
    Add<&RVN::GetPlastic_Res>(m, "GetPlastic_Res", "dj, v, nu",
                              "Flow Reynolds number Re_s = dj v / nu; the same as Re.");
    Add<&RVN::GetPlastic_b>(m, "GetPlastic_b", "res, rez",
                            "Exponent b = lg(res) / lg(rez) + 1 of the plastic-pipe method.");
    Add<&RVN::GetPlastic_lmd>(
        m, "GetPlastic_lmd", "b, dj, k, res",
        "Friction factor of plastic pipe: 64 / res below res 2300, else\n"
        "[((2 - b) 1.312 lg(3.7 dj/k) / (lg res - 1) + b/2) / (2 lg(3.7 dj/k))]^2;\n"
        "0 for res = 0.");
}

void AddPprAndSteam(PyObject* m) {
    Add<&RVN::GetPPR_i>(
        m, "GetPPR_i", "d, q, flag",
        "Hydraulic gradient of PPR pipe, Pa/m: 1000 c d^-4.87 q^1.85 (Hazen-Williams\n"
        "form) with d in m and q in m3/s; c = 0.0112 when flag, else 0.0089.");
    Add<&RVN::GetPPR_Diameter>(
        m, "GetPPR_Diameter", "i, q, flag",
        "Diameter, m, at which GetPPR_i(d, q, flag) equals the gradient i (Pa/m).");
    Add<&RVN::GetPPR_K1>(
        m, "GetPPR_K1", "t",
        "PPR temperature factor of the nearest tabulated temperature (5..65 degC, t an\n"
        "integer in degC; ties to the lower; clamped at the ends).\n\n"
        ">>> GetPPR_K1(15), GetPPR_K1(100)\n(1.0, 0.781)",
        kWideInts);
    Add<&RVN::GetPPR_K2>(
        m, "GetPPR_K2", "index",
        "PPR correction factor of index 0..3 (0.573, 0.733, 1.0, 1.553); 1.0 for any\n"
        "other integer.",
        kWideInts);
    Add<&RVN::GetPPR_ii>(m, "GetPPR_ii", "i, factor, factor2",
                         "Gradient times a correction factor: i factor (factor2 does not enter).");
    Add<&RVN::GetSteam_Rm>(
        m, "GetSteam_Rm", "g, d, rho, k",
        "Specific friction of steam pipe, Pa/m: 0.00688 g^2 k^0.25 / (d^5.25 rho), g in\n"
        "t/h, inside diameter d in m, density rho in kg/m3, roughness k in m.");
    Add<&RVN::GetSteam_d>(
        m, "GetSteam_d", "g, r, rho, k",
        "Inside diameter of steam pipe, m, for a mass flow g (t/h) at specific friction\n"
        "r (Pa/m): 0.387 g^0.381 k^0.0476 / (r rho)^0.19.");
    Add<&RVN::GetSteam_Gt>(m, "GetSteam_Gt", "r, d, rho, k",
                           "Mass flow of steam pipe, t/h, at specific friction r (Pa/m):\n"
                           "12.06 (r rho)^0.5 d^2.625 / k^0.125.");
}

} // namespace

void AddPipeFunctions(PyObject* module) {
    AddWater(module);
    AddPlastic(module);
    AddPprAndSteam(module);
}

} // namespace tqrvn_py
