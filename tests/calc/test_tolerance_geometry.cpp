// Tolerances, section geometry, flow relations and humid air.
#include "calc/RVNCalc.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

TEST(Tolerance, ComparisonsAreStrict) {
    EXPECT_FALSE(RVN::IsZero(1e-06));
    EXPECT_FALSE(RVN::IsZero(-1e-06));
    EXPECT_TRUE(RVN::IsZero(-9.9e-07));
    EXPECT_TRUE(RVN::IsZero(0.0));
    EXPECT_FALSE(RVN::IsEqual(1.0, 1.0, 0.0));
    EXPECT_TRUE(RVN::IsEqual(1.0, 1.05, 0.1));
    EXPECT_FALSE(RVN::IsZero(kNaN));
}

TEST(Tolerance, InZoneWidensTheDoubleFormOnly) {
    EXPECT_TRUE(RVN::InZone(1.0, 1.0000005, 2.0));
    EXPECT_TRUE(RVN::InZone(2.0000005, 1.0, 2.0));
    EXPECT_FALSE(RVN::InZone(2.000002, 1.0, 2.0));
    EXPECT_FALSE(RVN::InZone(0.999998, 1.0, 2.0));
    EXPECT_TRUE(RVN::InZone(3, 3, 3));
    EXPECT_FALSE(RVN::InZone(4, 3, 3));
    // A reversed range: the int form is always false, the double form only
    // holds while low - high < 2e-06.
    EXPECT_FALSE(RVN::InZone(3, 4, 2));
    EXPECT_TRUE(RVN::InZone(1.0, 1.0000005, 1.0));
    EXPECT_FALSE(RVN::InZone(1.0, 1.00001, 1.0));
    EXPECT_FALSE(RVN::InZone(kNaN, 0.0, 1.0));
}

TEST(Geometry, OvalWithEqualAxesIsACircle) {
    for (double a : {0.1, 0.25, 1.3}) {
        EXPECT_DOUBLE_EQ(RVN::GetArea_OVAL(a, a), RVN::GetArea_CIRC(a));
        EXPECT_DOUBLE_EQ(RVN::GetGirth_OVAL(a, a), RVN::GetGirth_CIRC(a));
    }
    // 0.5 x 0.2 oval: rectangle 0.3 x 0.2 plus a circle of 0.2.
    EXPECT_DOUBLE_EQ(RVN::GetArea_OVAL(0.5, 0.2), 0.06 + 0.01 * M_PI);
    EXPECT_DOUBLE_EQ(RVN::GetGirth_OVAL(0.5, 0.2), 0.6 + 0.2 * M_PI);
}

TEST(Geometry, EquivalentDiameters) {
    // A square's velocity-equivalent and hydraulic diameters are its side.
    EXPECT_DOUBLE_EQ(RVN::D_V(0.4, 0.4), 0.4);
    EXPECT_DOUBLE_EQ(RVN::D(RVN::GetHydraulicRadius_RECT(0.4, 0.4)), 0.4);
    EXPECT_DOUBLE_EQ(RVN::GetEquivalentDiameter(0.1), RVN::D(0.1));
    EXPECT_DOUBLE_EQ(RVN::Rs(2.0, 8.0), RVN::GetHydraulicRadius(2.0, 8.0));
    // Same area as the rectangle.
    EXPECT_NEAR(RVN::GetArea_CIRC(RVN::D_A(0.5, 0.2)), 0.1, 1e-15);
    EXPECT_NEAR(RVN::GetArea_CIRC(RVN::D_Circle(0.3)), 0.3, 1e-15);
    // Flow-equivalent diameter of a 1 x 1 square: 1.297 / 2^(1.217 / 5.007).
    EXPECT_NEAR(RVN::D_F(1.0, 1.0), 1.297 * std::pow(2.0, -1.217 * 0.19972039145196727), 1e-15);
}

TEST(Flow, OnlyTheGuardedFormsTrapAZeroSection) {
    EXPECT_EQ(RVN::GetVelocity(5.0, 0.0), 0.0);
    EXPECT_EQ(RVN::GetVelocity(5.0, 9e-07), 0.0);
    EXPECT_EQ(RVN::GetVelocity_RECT(5.0, 0.0, 2.0), 0.0);
    EXPECT_EQ(RVN::GetVelocity_CIRC(5.0, 0.0), 0.0);
    EXPECT_EQ(RVN::GetVelocity_OVAL(5.0, 0.0, 0.3), 0.0);
    EXPECT_EQ(RVN::GetVolume(5.0, 0.0), 0.0);
    EXPECT_TRUE(std::isinf(RVN::V(5.0, 0.0)));
    EXPECT_DOUBLE_EQ(RVN::GetVelocity(5.0, 2.0), 2.5);
    EXPECT_DOUBLE_EQ(RVN::GetVolume(10.0, 1000.0), 0.01);
}

TEST(Flow, VelocityAndFlowAreInverse) {
    const double d = 0.1, q = 0.01;
    const double v = RVN::V_Circle(q, d);
    EXPECT_DOUBLE_EQ(v, q / (M_PI / 4 * d * d));
    EXPECT_DOUBLE_EQ(RVN::L_Circle(d, v), q);
    EXPECT_DOUBLE_EQ(RVN::GetVelocity_CIRC(q, d), v);
    EXPECT_DOUBLE_EQ(RVN::L_Square(RVN::V_Square(q, 0.2, 0.3), 0.2, 0.3), q);
    EXPECT_DOUBLE_EQ(RVN::GetVelocity_RECT(q, 0.2, 0.3), RVN::V_Square(q, 0.2, 0.3));
    EXPECT_DOUBLE_EQ(RVN::L(2.0, 0.5), RVN::GetVFlux(2.0, 0.5));
    EXPECT_DOUBLE_EQ(RVN::GetMass(0.002, 1000.0), 2.0);
    EXPECT_DOUBLE_EQ(RVN::GetDynamicViscosity(1.004e-06, 998.23), 1.004e-06 * 998.23);
}

TEST(Losses, DynamicPressureAndLocalLoss) {
    EXPECT_DOUBLE_EQ(RVN::GetDY(2.0, 1000.0), 2000.0);
    EXPECT_DOUBLE_EQ(RVN::GetDynamicPressure(2.0, 1000.0), 2000.0);
    EXPECT_DOUBLE_EQ(RVN::Pd(1.5, 2.0, 1000.0), 3000.0);
    EXPECT_DOUBLE_EQ(RVN::hd(1.0, 2.0, 9.81), 2.0 / 9.81);
    // 10 m of pipe plus zeta 2 at d 0.05 m and lambda 0.025: 4 m of equivalent length.
    EXPECT_DOUBLE_EQ(RVN::GetDLLength(10.0, 2.0, 0.05, 0.025), 14.0);
}

TEST(HumidAir, SaturationPressureTable) {
    EXPECT_DOUBLE_EQ(RVN::GetBhDqYl(0), 611.17);
    EXPECT_DOUBLE_EQ(RVN::GetBhDqYl(-40), 12.85);
    EXPECT_DOUBLE_EQ(RVN::GetBhDqYl(60), 19934.9);
    EXPECT_DOUBLE_EQ(RVN::GetBhDqYl(18), 2164.3);
    EXPECT_DOUBLE_EQ(RVN::GetBhDqYl(-0.5), 586.925);
    EXPECT_DOUBLE_EQ(RVN::GetBhDqYl(59.5), 19039.3 + 0.5 * (19934.9 - 19039.3));
    EXPECT_DOUBLE_EQ(RVN::GetBhDqYl(-12.3), 198.52 + 0.7 * (217.32 - 198.52));
    EXPECT_EQ(RVN::GetBhDqYl(60.0001), -1.0);
    EXPECT_EQ(RVN::GetBhDqYl(-40.0001), -1.0);
    EXPECT_EQ(RVN::GetBhDqYl(kNaN), -1.0);
    EXPECT_EQ(RVN::GetBhDqYl(kInf), -1.0);
    EXPECT_EQ(RVN::GetBhDqYl(-kInf), -1.0);
    EXPECT_EQ(RVN::GetBhDqYl(std::nextafter(60.0, 0.0)) > 19039.3, true);
}

TEST(HumidAir, DensityInAndOutsideTheTable) {
    EXPECT_DOUBLE_EQ(RVN::GetDensity(70, 0.5, 101325), 352 / 343.15);
    EXPECT_DOUBLE_EQ(RVN::GetDensity(70, 0.0, 0.0), 352 / 343.15);
    EXPECT_DOUBLE_EQ(RVN::GetDensity(20, 0, 101325), 0.003484 * 101325 / 293.15);
    EXPECT_DOUBLE_EQ(RVN::GetDensity(20, 0.5, 101325),
                     0.003484 * 101325 / 293.15 - 2338.9 * 0.5 * 0.00134 / 293.15);
    EXPECT_DOUBLE_EQ(RVN::GetDensity(-41, 0.5, 101325), 352 / 232.15);
    EXPECT_TRUE(std::isnan(RVN::GetDensity(kNaN, 0.5, 101325)));
    EXPECT_EQ(RVN::GetDensity(kInf, 0.5, 101325), 0.0);
}

TEST(HeatLoad, WaterFluxIgnoresSigns) {
    EXPECT_DOUBLE_EQ(RVN::GetWaterFlux(-1000, 10), RVN::GetWaterFlux(1000, 10));
    EXPECT_DOUBLE_EQ(RVN::GetWaterFlux(1000, -10), RVN::GetWaterFlux(1000, 10));
    // 1 kW across 10 K: 85.98 kg/h, 0.02388 kg/s.
    EXPECT_NEAR(RVN::GetWaterFlux(1000, 10), 0.0238846, 1e-7);
    EXPECT_DOUBLE_EQ(RVN::GetMFluxByLoad(4187.0 * 10, 4187.0, 10), 1.0);
    EXPECT_DOUBLE_EQ(RVN::GetLoadByMFlux(1.0, 4187.0, 10), 41870.0);
}

} // namespace
