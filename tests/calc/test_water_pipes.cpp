// Water properties and the plastic, PPR and steam pipe methods.
#include "calc/RVNCalc.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(WaterDensity, PiecesAndClamps) {
    EXPECT_EQ(RVN::GetWaterMD(-5), 999.3);
    EXPECT_EQ(RVN::GetWaterMD(0), 999.3);
    EXPECT_DOUBLE_EQ(RVN::GetWaterMD(3.4), 999.3 + (1000.0 - 999.3) * 3.4 * 0.1);
    EXPECT_DOUBLE_EQ(RVN::GetWaterMD(3.5), 1000.0 + (999.73 - 1000.0) * (3.5 - 4) * 0.1);
    EXPECT_DOUBLE_EQ(RVN::GetWaterMD(9.4), 1000.0 + (999.73 - 1000.0) * (9.4 - 4) * 0.1);
    EXPECT_DOUBLE_EQ(RVN::GetWaterMD(9.5), 999.73 + (998.23 - 999.73) * (9.5 - 10) * 0.1);
    EXPECT_DOUBLE_EQ(RVN::GetWaterMD(25), 998.23 + (995.67 - 998.23) * 0.5);
    EXPECT_DOUBLE_EQ(RVN::GetWaterMD(39.4), 995.67 + (992.24 - 995.67) * 0.94);
    EXPECT_EQ(RVN::GetWaterMD(39.6), 992.24);
    EXPECT_EQ(RVN::GetWaterMD(48), 988.69);
    EXPECT_EQ(RVN::GetWaterMD(57.4), 984.75);
    EXPECT_EQ(RVN::GetWaterMD(100.4), 958.38);
    EXPECT_EQ(RVN::GetWaterMD(100.5), 958.38);
    EXPECT_EQ(RVN::GetWaterMD(150), 958.38);
}

TEST(WaterDensity, NonFiniteTemperatures) {
    EXPECT_TRUE(std::isnan(RVN::GetWaterMD(kNaN)));
    EXPECT_EQ(RVN::GetWaterMD(kInf), 958.38);
    EXPECT_EQ(RVN::GetWaterMD(-kInf), 999.3);
    EXPECT_EQ(RVN::GetWaterMD(1e300), 958.38);
}

TEST(WaterViscosity, StepFunctionOfWholeDegrees) {
    EXPECT_DOUBLE_EQ(RVN::GetWaterND(20), 1.004);
    EXPECT_DOUBLE_EQ(RVN::GetWaterND(0), 1.792);
    EXPECT_DOUBLE_EQ(RVN::GetWaterND(25.2), 1.004 + (0.801 - 1.004) * 5 / 10);
    EXPECT_DOUBLE_EQ(RVN::GetWaterND(25.6), (0.801 - 1.004) * 6 / 10 + 1.004);
    EXPECT_EQ(RVN::GetWaterND(25.0), RVN::GetWaterND(25.4));
    EXPECT_DOUBLE_EQ(RVN::GetWaterND(79.4), (0.365 - 0.475) * 19 / 20 + 0.475);
    EXPECT_EQ(RVN::GetWaterND(79.5), 0.365);
    EXPECT_EQ(RVN::GetWaterND(200), 0.365);
    // Negative n extrapolates the first interval; -0.4 truncates to n = 0.
    EXPECT_DOUBLE_EQ(RVN::GetWaterND(-0.4), 1.792);
    EXPECT_DOUBLE_EQ(RVN::GetWaterND(-3), (1.52 - 1.792) * -2 / 5 + 1.792);
}

TEST(WaterViscosity, NonFiniteTemperatures) {
    EXPECT_TRUE(std::isnan(RVN::GetWaterND(kNaN)));
    EXPECT_EQ(RVN::GetWaterND(kInf), 0.365);
    EXPECT_EQ(RVN::GetWaterND(-kInf), kInf);
    EXPECT_TRUE(std::isfinite(RVN::GetWaterND(-1e300)));
}

TEST(PlasticPipe, BoreReynoldsAndFrictionFactor) {
    EXPECT_DOUBLE_EQ(RVN::GetPlastic_dn(63, 0.3, 5.8, 0.5), 51.05);
    EXPECT_DOUBLE_EQ(RVN::GetPlastic_Rez(50, 0.01), 2500000.0);
    EXPECT_DOUBLE_EQ(RVN::GetPlastic_b(1e5, 1e6), 5.0 / 6.0 + 1);
    EXPECT_EQ(RVN::GetPlastic_lmd(1.8, 0.05, 1e-5, 0), 0.0);
    EXPECT_DOUBLE_EQ(RVN::GetPlastic_lmd(1.8, 0.05, 1e-5, 2000), 0.032);
    const double b = 1.8, dj = 0.05, k = 1e-5, res = 1e5;
    const double g = std::log10(dj / k * 3.7);
    const double x = ((2 - b) * g * 1.312 / (std::log10(res) - 1) + b * 0.5) / g * 0.5;
    EXPECT_DOUBLE_EQ(RVN::GetPlastic_lmd(b, dj, k, res), x * x);
}

TEST(PprPipe, GradientAndItsInverse) {
    for (bool flag : {true, false}) {
        for (double d : {0.016, 0.032, 0.1}) {
            const double q = 0.0005;
            const double i = RVN::GetPPR_i(d, q, flag);
            EXPECT_NEAR(RVN::GetPPR_Diameter(i, q, flag), d, d * 1e-12);
        }
    }
    EXPECT_DOUBLE_EQ(RVN::GetPPR_i(0.02, 0.0004, true) / RVN::GetPPR_i(0.02, 0.0004, false),
                     0.0112 / 0.0089);
    EXPECT_DOUBLE_EQ(RVN::GetPPR_ii(100, 0.5, 7), 50);
}

TEST(PprPipe, TemperatureFactorIsTheNearestEntry) {
    EXPECT_EQ(RVN::GetPPR_K1(0), 1.037);
    EXPECT_EQ(RVN::GetPPR_K1(5), 1.037);
    EXPECT_EQ(RVN::GetPPR_K1(65), 0.781);
    EXPECT_EQ(RVN::GetPPR_K1(100), 0.781);
    EXPECT_EQ(RVN::GetPPR_K1(15), 1.0);
    EXPECT_EQ(RVN::GetPPR_K1(16), 0.943);
    EXPECT_EQ(RVN::GetPPR_K1(35), 0.895);
    EXPECT_EQ(RVN::GetPPR_K1(58), 0.793);
    EXPECT_EQ(RVN::GetPPR_K1(57), 0.808);
    EXPECT_EQ(RVN::GetPPR_K1(std::numeric_limits<int>::min()), 1.037);
    EXPECT_EQ(RVN::GetPPR_K1(std::numeric_limits<int>::max()), 0.781);
}

TEST(PprPipe, IndexFactor) {
    EXPECT_EQ(RVN::GetPPR_K2(0), 0.573);
    EXPECT_EQ(RVN::GetPPR_K2(3), 1.553);
    EXPECT_EQ(RVN::GetPPR_K2(-1), 1.0);
    EXPECT_EQ(RVN::GetPPR_K2(4), 1.0);
    EXPECT_EQ(RVN::GetPPR_K2(std::numeric_limits<int>::min()), 1.0);
}

TEST(SteamPipe, ThreeFormsAreInverse) {
    const double rho = 2.67, k = 0.0002;
    for (double g : {0.5, 2.0, 10.0}) {
        for (double d : {0.05, 0.1, 0.2}) {
            const double r = RVN::GetSteam_Rm(g, d, rho, k);
            EXPECT_NEAR(RVN::GetSteam_d(g, r, rho, k) / d, 1.0, 0.01) << g << " " << d;
            EXPECT_NEAR(RVN::GetSteam_Gt(r, d, rho, k) / g, 1.0, 0.01) << g << " " << d;
        }
    }
    // r and rho enter only as their product.
    EXPECT_DOUBLE_EQ(RVN::GetSteam_d(2, 100, 3, k), RVN::GetSteam_d(2, 3, 100, k));
    EXPECT_DOUBLE_EQ(RVN::GetSteam_Gt(100, 0.1, 3, k), RVN::GetSteam_Gt(3, 0.1, 100, k));
}

} // namespace
