// Reynolds number, friction factor formulas, the regime switch and friction loss.
#include "calc/RVNCalc.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kThird = 0.3333333333333333;

double ColebrookResidual(double l, double re, double eps) {
    return 1 / std::sqrt(l) + 2 * std::log10(eps * 0.27027027027027023 + 2.51 / (re * std::sqrt(l)));
}
double SmoothResidual(double l, double re) {
    return 2 * std::log10(re * std::sqrt(l)) - 0.8 - 1 / std::sqrt(l);
}

TEST(Reynolds, DiameterOverViscosityTimesVelocity) {
    EXPECT_DOUBLE_EQ(RVN::Re(0.1, 2.0, 1e-06), 200000.0);
    EXPECT_EQ(RVN::GetPlastic_Res(0.1, 2.0, 1e-06), RVN::Re(0.1, 2.0, 1e-06));
}

TEST(GetLmd, RegimeBoundaries) {
    const double eps = 0.001;
    EXPECT_EQ(RVN::GetLmd(0.0, eps), 0.0);
    EXPECT_EQ(RVN::GetLmd(9e-07, eps), 0.0);
    EXPECT_DOUBLE_EQ(RVN::GetLmd(2299.9, eps), 64 / 2299.9);
    EXPECT_DOUBLE_EQ(RVN::GetLmd(2300, eps), std::pow(2300.0, kThird) * 0.0025);
    EXPECT_DOUBLE_EQ(RVN::GetLmd(4000, eps), std::pow(4000.0, kThird) * 0.0025);
    EXPECT_NE(RVN::GetLmd(4000.5, eps), std::pow(4000.5, kThird) * 0.0025);
    // Smooth zone: eps = 0 makes every turbulent re smooth.
    EXPECT_DOUBLE_EQ(RVN::GetLmd(50000, 0), 0.3164 / std::pow(50000.0, 0.25));
    EXPECT_EQ(RVN::GetLmd(200000, 0), -1.0);
    // Fully rough zone.
    EXPECT_DOUBLE_EQ(RVN::GetLmd(100000, 0.05), std::pow(0.05, 0.25) * 0.11);
    // Mixed zone gives the Colebrook root.
    EXPECT_EQ(RVN::GetLmd(100000, 0.001), RVN::x_TF_CW(100000, 0.001));
}

TEST(GetLmd, SmoothZoneBoundaryIsStrict) {
    // re < 26.98 (1/eps)^(8/7) is smooth; pick eps so the bound is about 10^5.
    const double eps = 1e-4;
    const double bound = std::pow(1 / eps, 1.1428571428571428) * 26.98;
    const double below = std::nextafter(bound, 0.0);
    EXPECT_DOUBLE_EQ(RVN::GetLmd(below, eps), RVN::x_TF_B(below));
    EXPECT_NE(RVN::GetLmd(bound, eps), RVN::x_TF_B(bound));
}

TEST(GetLmd, RoughZoneBoundaryIsStrict) {
    const double eps = 0.01;
    // The rough test compares re with 191.2 / (eps sqrt(l_cw(re))); find a
    // re on each side by scanning.
    double lastMixed = 0, firstRough = 0;
    for (double re = 1e4; re < 1e7; re *= 1.01) {
        const double lcw = RVN::x_TF_CW(re, eps);
        const bool rough = re > 1 / eps / std::sqrt(lcw) * 191.2;
        const bool smooth = re < std::pow(1 / eps, 1.1428571428571428) * 26.98;
        if (smooth) {
            continue;
        }
        if (rough && firstRough == 0) {
            firstRough = re;
        }
        if (!rough) {
            lastMixed = re;
        }
    }
    ASSERT_GT(firstRough, 0);
    ASSERT_GT(lastMixed, 0);
    EXPECT_EQ(RVN::GetLmd(firstRough, eps), RVN::x_TF_X(eps));
    EXPECT_EQ(RVN::GetLmd(lastMixed, eps), RVN::x_TF_CW(lastMixed, eps));
}

TEST(GetLmd, NonNumbersDoNotGiveAFrictionFactor) {
    EXPECT_TRUE(std::isnan(RVN::GetLmd(kNaN, 0.001)));
    EXPECT_TRUE(std::isnan(RVN::GetLmd(100000, kNaN)));
}

TEST(Colebrook, BisectionStopsOnResidualOrStep) {
    for (double re : {5000.0, 1e5, 1e6, 1e8}) {
        for (double eps : {0.0, 1e-5, 1e-4, 1e-3, 0.01, 0.05}) {
            const double l = RVN::x_TF_CW(re, eps);
            ASSERT_GT(l, 0.0);
            ASSERT_LT(l, 1.0);
            // Either the residual test or the step test ended it: the root
            // lies within the last step (about 2e-9) of the result.
            const double f = ColebrookResidual(l, re, eps);
            if (std::fabs(f) > 1e-09) {
                EXPECT_LT(ColebrookResidual(l - 4e-09, re, eps) * ColebrookResidual(l + 4e-09, re, eps), 0.0)
                    << re << " " << eps;
            }
        }
    }
    // Textbook value: re 1e5, eps 1e-4 gives about 0.0185.
    EXPECT_NEAR(RVN::x_TF_CW(1e5, 1e-4), 0.01852, 1e-4);
}

TEST(Colebrook, EndsForEveryInput) {
    EXPECT_TRUE(std::isnan(RVN::x_TF_CW(kNaN, 0.001)));
    EXPECT_TRUE(std::isnan(RVN::x_TF_CW(1e5, kNaN)));
    // Meaningless but finite inputs still end with a midpoint of (0, 1).
    for (double re : {-1e5, 0.0, kInf, -kInf, 1e-300}) {
        const double l = RVN::x_TF_CW(re, 0.001);
        EXPECT_GE(l, 0.0);
        EXPECT_LE(l, 1.0);
    }
}

TEST(PrandtlNikuradse, RangeAndRoot) {
    EXPECT_EQ(RVN::x_TF_PN(3400000), -1.0);
    const double l = RVN::x_TF_PN(3399999);
    EXPECT_GT(l, 0.0);
    EXPECT_NEAR(RVN::x_TF_PN(1e5), 0.01799, 1e-4);
    for (double re : {4000.0, 1e5, 3e6}) {
        const double x = RVN::x_TF_PN(re);
        const double f = SmoothResidual(x, re);
        if (std::fabs(f) > 1e-09) {
            EXPECT_LT(SmoothResidual(x - 4e-09, re) * SmoothResidual(x + 4e-09, re), 0.0) << re;
        }
    }
}

TEST(PrandtlNikuradse, OutOfRangeInputsGiveMinusOne) {
    EXPECT_EQ(RVN::x_TF_PN(0.0), -1.0);
    EXPECT_EQ(RVN::x_TF_PN(-5.0), -1.0);
    EXPECT_EQ(RVN::x_TF_PN(kNaN), -1.0);
    EXPECT_EQ(RVN::x_TF_PN(kInf), -1.0);
    EXPECT_EQ(RVN::x_TF_PN(-kInf), -1.0);
    EXPECT_EQ(RVN::x_TF_PN(1e-170), -1.0); // re^2 underflows to zero
    EXPECT_EQ(RVN::x_TF_PN(std::numeric_limits<double>::denorm_min()), -1.0);
    // A tiny but representable re^2 still ends.
    EXPECT_TRUE(std::isfinite(RVN::x_TF_PN(1e-150)));
}

TEST(ExplicitFormulas, BlasiusLimit) {
    EXPECT_DOUBLE_EQ(RVN::x_TF_B(100000), 0.3164 / std::pow(100000.0, 0.25));
    EXPECT_EQ(RVN::x_TF_B(100000.0001), -1.0);
    EXPECT_EQ(RVN::x_TF_B(kNaN), -1.0);
    EXPECT_DOUBLE_EQ(RVN::x_LF(2000), 0.032);
}

TEST(ExplicitFormulas, SwameeJainWindowExcludesItsBounds) {
    EXPECT_EQ(RVN::x_TF_SJ(5000, 0.001), -1.0);
    EXPECT_GT(RVN::x_TF_SJ(5001, 0.001), 0.0);
    EXPECT_EQ(RVN::x_TF_SJ(1e5, 1e-06), -1.0);
    EXPECT_EQ(RVN::x_TF_SJ(1e5, 0.01), -1.0);
    EXPECT_EQ(RVN::x_TF_SJ(1e8, 0.001), -1.0);
    EXPECT_EQ(RVN::x_TF_SJ(kNaN, 0.001), -1.0);
    EXPECT_EQ(RVN::x_TF_SJ(1e5, kNaN), -1.0);
    // The 1.352 coefficient, natural logarithm.
    const double ln = std::log(0.001 * 0.27027027027027023 + 5.74 / std::pow(1e5, 0.9));
    EXPECT_DOUBLE_EQ(RVN::x_TF_SJ(1e5, 0.001), 1.352 / (ln * ln));
}

TEST(ExplicitFormulas, MoodyWindowAndCeiling) {
    EXPECT_EQ(RVN::x_TF_M(1e5, 0.02), -1.0);
    EXPECT_EQ(RVN::x_TF_M(4000, 0.001), -1.0);
    EXPECT_EQ(RVN::x_TF_M(1e7, 0.001), -1.0);
    EXPECT_GT(RVN::x_TF_M(4001, 0.01), 0.0);
    EXPECT_DOUBLE_EQ(RVN::x_TF_M(1e5, 0.001),
                     (1 + std::pow(0.001 * 20000 + 1000000 / 1e5, kThird)) * 0.005);
    // The window keeps the value below 0.0434 (re 4001, eps 0.01), under the 0.05 ceiling.
    EXPECT_LT(RVN::x_TF_M(4001, 0.01), 0.05);
    EXPECT_EQ(RVN::x_TF_M(4001, -0.02), -1.0); // cube root of a negative sum is NaN
    EXPECT_EQ(RVN::x_TF_M(kNaN, 0.001), -1.0);
}

TEST(ExplicitFormulas, RoughLaws) {
    EXPECT_DOUBLE_EQ(RVN::x_TF_X(0.0016), std::pow(0.0016, 0.25) * 0.11);
    EXPECT_DOUBLE_EQ(RVN::x_TF_KN(0.001), 1 / std::pow(2 * 3.0 + 1.14, 2));
    EXPECT_DOUBLE_EQ(RVN::x_TF_A(68e4, 0.0), std::pow(1e-4, 0.25) * 0.11);
}

TEST(FrictionLoss, FormsAgree) {
    const double l = 0.02, d = 0.1, v = 1.5, rho = 998.0;
    const double rm = RVN::Rm_Circle(l, d, v, rho);
    EXPECT_DOUBLE_EQ(rm, RVN::Pl_Circle(1, l, d, v, rho));
    EXPECT_DOUBLE_EQ(rm, RVN::Pl(1, l, d / 4, v, rho));
    EXPECT_DOUBLE_EQ(rm, l / d * v * v * rho / 2);
    EXPECT_DOUBLE_EQ(RVN::Rm_Square(l, d, d, v, rho), rm);
    EXPECT_DOUBLE_EQ(RVN::Rm(l, d / 4, v, rho), rm);
    EXPECT_DOUBLE_EQ(RVN::Pl_Circle(12.5, l, d, v, rho), 12.5 * rm);
    EXPECT_DOUBLE_EQ(RVN::Pl_Square(3, l, 0.2, 0.4, v, rho),
                     3 * RVN::Rm_Square(l, 0.2, 0.4, v, rho));
}

} // namespace
