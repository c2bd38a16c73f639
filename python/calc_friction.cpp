// Reynolds number, friction factors, friction losses and the loss
// coefficients of bends and tees as Python functions over numbers and arrays.
#include "NumericFunction.h"
#include "calc/RVNCalc.h"

namespace tqrvn_py {

namespace {

constexpr RegisterOptions kIterative{true, false};

void AddFrictionFactors(PyObject* m) {
    Add<&RVN::Re>(m, "Re", "d, v, nu",
                  "Reynolds number d v / nu from the diameter (m), the velocity (m/s) and the\n"
                  "kinematic viscosity (m2/s).");
    Add<&RVN::GetLmd>(
        m, "GetLmd", "re, eps",
        "Darcy friction factor chosen by flow regime, for the Reynolds number re and\n"
        "the relative roughness eps = K/d:\n"
        "  re < 2300                        laminar, 64 / re\n"
        "  2300 <= re <= 4000               transition, 0.0025 re^(1/3)\n"
        "  re < 26.98 (1/eps)^(8/7)         smooth, Blasius (-1 above re 1e5)\n"
        "  re > 191.2 / (eps sqrt(l_cw))    fully rough, Shifrinson 0.11 eps^0.25\n"
        "  otherwise                        mixed, Colebrook-White\n"
        "0 for |re| < 1e-06.  A -1 marks Blasius used beyond its range (small\n"
        "roughness at re > 1e5); DesignFriction takes Colebrook-White there.\n\n"
        ">>> GetLmd(1000.0, 0.001)\n0.064",
        kIterative);
    Add<&RVN::x_LF>(m, "x_LF", "re",
                    "Laminar friction factor 64 / re (Hagen-Poiseuille), for re < 2300.");
    Add<&RVN::x_TF_B>(m, "x_TF_B", "re",
                      "Blasius smooth-pipe friction factor 0.3164 / re^0.25; -1 above re = 1e5.");
    Add<&RVN::x_TF_PN>(
        m, "x_TF_PN", "re",
        "Prandtl-Nikuradse smooth-pipe law 1/sqrt(l) = 2 lg(re sqrt(l)) - 0.8, solved\n"
        "by bisection to 1e-9; -1 for re >= 3.4e6 and for re <= 0.",
        kIterative);
    Add<&RVN::x_TF_CW>(
        m, "x_TF_CW", "re, eps",
        "Colebrook-White 1/sqrt(l) = -2 lg(eps/3.7 + 2.51/(re sqrt(l))), solved by\n"
        "bisection on l in (0, 1) to 1e-9; turbulent flow, any roughness.  NaN for a\n"
        "NaN argument.",
        kIterative);
    Add<&RVN::x_TF_SJ>(
        m, "x_TF_SJ", "re, eps",
        "Swamee-Jain explicit friction factor 1.352 / ln(eps/3.7 + 5.74/re^0.9)^2\n"
        "(the coefficient of the design method, 1.352); -1 unless 1e-6 < eps < 0.01\n"
        "and 5000 < re < 1e8.");
    Add<&RVN::x_TF_A>(m, "x_TF_A", "re, eps",
                      "Altshul friction factor 0.11 (68 / re + eps)^0.25, turbulent flow.");
    Add<&RVN::x_TF_M>(m, "x_TF_M", "re, eps",
                      "Moody explicit friction factor 0.005 (1 + (20000 eps + 1e6/re)^(1/3)); -1\n"
                      "unless 4000 < re < 1e7 and eps <= 0.01, and -1 when it reaches 0.05.");
    Add<&RVN::x_TF_KN>(
        m, "x_TF_KN", "eps",
        "von Karman-Nikuradse fully rough friction factor 1 / (2 lg(1/eps) + 1.14)^2.");
    Add<&RVN::x_TF_X>(m, "x_TF_X", "eps", "Shifrinson fully rough friction factor 0.11 eps^0.25.");
}

void AddFrictionLosses(PyObject* m) {
    Add<&RVN::Pl>(m, "Pl", "length, lambda_, rs, v, rho",
                  "Friction loss, Pa, over a length (m) of a section of hydraulic radius rs (m):\n"
                  "length / (4 rs) lambda v^2 rho / 2 (v in m/s, rho in kg/m3).");
    Add<&RVN::Rm>(m, "Rm", "lambda_, rs, v, rho",
                  "Specific friction loss, Pa/m, of a section of hydraulic radius rs (m).");
    Add<&RVN::Pl_Circle>(
        m, "Pl_Circle", "length, lambda_, d, v, rho",
        "Friction loss, Pa, over a length (m) of circular pipe of diameter d (m).");
    Add<&RVN::Rm_Circle>(m, "Rm_Circle", "lambda_, d, v, rho",
                         "Specific friction loss of circular pipe, Pa/m: lambda / d v^2 rho / 2.");
    Add<&RVN::Pl_Square>(
        m, "Pl_Square", "length, lambda_, a, b, v, rho",
        "Friction loss, Pa, over a length (m) of a rectangular a x b section (m).");
    Add<&RVN::Rm_Square>(m, "Rm_Square", "lambda_, a, b, v, rho",
                         "Specific friction loss, Pa/m, of a rectangular a x b section (m).");
}

void AddLocalResistance(PyObject* m) {
    Add<&RVN::GetSyphonDragLocalIndexCircle>(
        m, "GetSyphonDragLocalIndexCircle", "angle, rd",
        "Loss coefficient of a bend of circular section: A(angle) B(R/D), angle in\n"
        "radians (factor table 0..180 degrees), rd the bend radius over the\n"
        "diameter (0.5..2.5); tables clamped at their ends.\n\n"
        ">>> round(GetSyphonDragLocalIndexCircle(1.5707963267948966, 1.0), 12)\n0.22");
    Add<&RVN::GetSyphonDragLocalIndexSquare>(
        m, "GetSyphonDragLocalIndexSquare", "angle, rb, re, h, w",
        "Loss coefficient of a bend of rectangular section: A(angle) K2(re) K1(R/b,\n"
        "h/w); angle in radians, rb the bend radius over the side b, re the Reynolds\n"
        "number (table 1e4..2e5), h and w the sides (K1 for 0.25 <= h/w <= 3 and\n"
        "0.5 <= rb <= 2, else 1).");
    Add<&RVN::GetHeLiuSanTongDragLocalIndex>(
        m, "GetHeLiuSanTongDragLocalIndex", "wc, qc, w1, q1, w2, q2, alpha1, alpha2, first",
        "Loss coefficient of an inlet of a converging tee by momentum balance,\n"
        "referred to the outlet velocity: wc, qc the outlet's velocity (m/s) and flow\n"
        "(m3/s), w1, q1 and w2, q2 the inlets', alpha1, alpha2 the inlets' angles\n"
        "to the outlet axis (radians); first: inlet 1 (True) or inlet 2.");
    Add<&RVN::GetFenLiuSanTongDragLocalIndex>(
        m, "GetFenLiuSanTongDragLocalIndex", "wc, fc, wb, fb, angle, flagA, flagB",
        "Loss coefficient of a passage of a diverging tee: wc, fc the common\n"
        "passage's velocity (m/s) and area, wb, fb the passage's, angle in radians;\n"
        "the flags choose the formula (both: the branch by angle; flagA only: 0.35\n"
        "x^2 + 0.7 for 0.5 <= wb/wc <= 2; flagB only: 0.35 (wc/wb - 1)^2; neither:\n"
        "0.35 (1 - x)^2 for 0 <= wb/wc <= 1); 0 outside those windows.");
}

} // namespace

void AddFrictionFunctions(PyObject* module) {
    AddFrictionFactors(module);
    AddFrictionLosses(module);
    AddLocalResistance(module);
}

} // namespace tqrvn_py
