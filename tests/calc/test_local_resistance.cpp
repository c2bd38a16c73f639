// Local resistance coefficients of bends and tees: table clamping and
// interpolation at both ends of every table, the row choice and shape-factor
// window of the rectangular bend, the branch choice of the tee forms, and
// NaN / infinity arguments.
#include "calc/RVNCalc.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using RVN::GetFenLiuSanTongDragLocalIndex;
using RVN::GetHeLiuSanTongDragLocalIndex;
using RVN::GetSyphonDragLocalIndexCircle;
using RVN::GetSyphonDragLocalIndexSquare;

constexpr double kDegPerRad = 57.29577951308232;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kRightAngle = 1.5707963267948966; // exactly 90 deg after the conversion

double Rad(double deg) {
    return deg / kDegPerRad;
}

// ---------------------------------------------------------------------------
// Circular bend: A(angle) B(R/D).
// ---------------------------------------------------------------------------

TEST(SyphonCircle, RightAngleBendOfUnitRadius) {
    EXPECT_EQ(GetSyphonDragLocalIndexCircle(kRightAngle, 1.0), 0.22);
}

TEST(SyphonCircle, RadiusFactorAtEveryTabulatedRadiusIsExact) {
    // At 90 deg A is 1, so the result is B itself, unrounded at the nodes.
    const double rd[] = {0.5, 0.75, 1.0, 1.5, 2.0, 2.5};
    const double b[] = {0.75, 0.33, 0.22, 0.15, 0.13, 0.12};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(GetSyphonDragLocalIndexCircle(kRightAngle, rd[i]), b[i]) << "R/D " << rd[i];
    }
}

TEST(SyphonCircle, RadiusFactorInterpolatesBetweenNodes) {
    EXPECT_DOUBLE_EQ(GetSyphonDragLocalIndexCircle(kRightAngle, 0.6), 0.75 + (0.33 - 0.75) * 0.4);
    EXPECT_DOUBLE_EQ(GetSyphonDragLocalIndexCircle(kRightAngle, 2.25), 0.125);
    EXPECT_DOUBLE_EQ(GetSyphonDragLocalIndexCircle(kRightAngle, 1.25), 0.185);
}

TEST(SyphonCircle, RadiusFactorClampsAtBothEnds) {
    EXPECT_EQ(GetSyphonDragLocalIndexCircle(kRightAngle, 0.4999), 0.75);
    EXPECT_EQ(GetSyphonDragLocalIndexCircle(kRightAngle, 0.0), 0.75);
    EXPECT_EQ(GetSyphonDragLocalIndexCircle(kRightAngle, -5.0), 0.75);
    EXPECT_EQ(GetSyphonDragLocalIndexCircle(kRightAngle, 2.5001), 0.12);
    EXPECT_EQ(GetSyphonDragLocalIndexCircle(kRightAngle, 1e300), 0.12);
    // Just inside the ends the interpolation meets the end values.
    EXPECT_NEAR(GetSyphonDragLocalIndexCircle(kRightAngle, std::nextafter(0.5, 1.0)), 0.75, 1e-14);
    EXPECT_NEAR(GetSyphonDragLocalIndexCircle(kRightAngle, std::nextafter(2.5, 0.0)), 0.12, 1e-14);
}

TEST(SyphonCircle, AngleFactorAtEveryTabulatedAngle) {
    const double deg[] = {0, 20, 30, 45, 60, 75, 90, 110, 130, 150, 180};
    const double a[] = {0.0, 0.31, 0.45, 0.6, 0.78, 0.9, 1.0, 1.13, 1.2, 1.28, 1.4};
    for (int i = 0; i < 11; ++i) {
        // R/D = 1.5 gives B = 0.15.
        EXPECT_NEAR(GetSyphonDragLocalIndexCircle(Rad(deg[i]), 1.5), a[i] * 0.15, 1e-14)
            << deg[i] << " deg";
    }
}

TEST(SyphonCircle, AngleFactorInterpolatesAndClamps) {
    EXPECT_NEAR(GetSyphonDragLocalIndexCircle(Rad(100.0), 1.0), 1.065 * 0.22, 1e-14);
    EXPECT_NEAR(GetSyphonDragLocalIndexCircle(Rad(10.0), 1.0), 0.155 * 0.22, 1e-14);
    EXPECT_NEAR(GetSyphonDragLocalIndexCircle(Rad(165.0), 1.0), 1.34 * 0.22, 1e-14);
    // A negative angle gives 0, an angle above pi gives 1.4 B.
    EXPECT_EQ(GetSyphonDragLocalIndexCircle(-0.1, 1.0), 0.0);
    EXPECT_EQ(GetSyphonDragLocalIndexCircle(0.0, 1.0), 0.0);
    EXPECT_EQ(GetSyphonDragLocalIndexCircle(3.2, 1.0), 1.4 * 0.22);
    EXPECT_EQ(GetSyphonDragLocalIndexCircle(100.0, 2.5), 1.4 * 0.12);
}

TEST(SyphonCircle, InfinitiesClampAndNaNPropagates) {
    EXPECT_EQ(GetSyphonDragLocalIndexCircle(kInf, 1.0), 1.4 * 0.22);
    EXPECT_EQ(GetSyphonDragLocalIndexCircle(-kInf, 1.0), 0.0);
    EXPECT_EQ(GetSyphonDragLocalIndexCircle(1e308, 1.0), 1.4 * 0.22); // degrees overflow to inf
    EXPECT_EQ(GetSyphonDragLocalIndexCircle(kRightAngle, kInf), 0.12);
    EXPECT_EQ(GetSyphonDragLocalIndexCircle(kRightAngle, -kInf), 0.75);
    EXPECT_TRUE(std::isnan(GetSyphonDragLocalIndexCircle(kNaN, 1.0)));
    EXPECT_TRUE(std::isnan(GetSyphonDragLocalIndexCircle(kRightAngle, kNaN)));
    EXPECT_TRUE(std::isnan(GetSyphonDragLocalIndexCircle(kNaN, kNaN)));
}

// ---------------------------------------------------------------------------
// Rectangular bend: A(angle) K2(re) K1(rb, h/w).  h/w = 4 is outside the
// shape window, so K1 = 1 and the result shows K2 alone at 90 deg.
// ---------------------------------------------------------------------------

double SquareK2(double rb, double re) {
    return GetSyphonDragLocalIndexSquare(kRightAngle, rb, re, 4.0, 1.0);
}

TEST(SyphonSquare, UnitRadiusSquareSection) {
    // K1 = (1 + 1.4) 0.1 = 0.24, K2 = 1.3 (row 0.75 at Re/10^4 = 10).
    const double k1 = (1.0 + 1.4) * 1.0 * 0.1;
    EXPECT_DOUBLE_EQ(GetSyphonDragLocalIndexSquare(kRightAngle, 1.0, 100000.0, 0.4, 0.4),
                     1.0 * 1.3 * k1);
    EXPECT_DOUBLE_EQ(GetSyphonDragLocalIndexSquare(kRightAngle, 1.0, 100000.0, 0.4, 0.4),
                     1.3 * 0.24);
}

TEST(SyphonSquare, AspectRatioOutsideWindowLeavesK1AtOne) {
    EXPECT_EQ(SquareK2(1.0, 100000.0), 1.3);
    EXPECT_EQ(GetSyphonDragLocalIndexSquare(kRightAngle, 1.0, 100000.0, 1.0, 4.0001), 1.3);
    EXPECT_EQ(GetSyphonDragLocalIndexSquare(kRightAngle, 1.0, 100000.0, 3.0001, 1.0), 1.3);
}

TEST(SyphonSquare, ShapeWindowBoundsAreInclusive) {
    const double p = std::pow(0.5, 3.3) + 1.4; // (1/rb)^3.3 + 1.4 at rb = 2
    EXPECT_DOUBLE_EQ(GetSyphonDragLocalIndexSquare(kRightAngle, 2.0, 100000.0, 3.0, 1.0),
                     1.3 * p * std::pow(3.0, 0.15) * 0.1);
    EXPECT_DOUBLE_EQ(GetSyphonDragLocalIndexSquare(kRightAngle, 2.0, 100000.0, 1.0, 4.0),
                     1.3 * p * std::pow(0.25, 0.15) * 0.1);
    // rb = 0.5 is inside and below 1, so the factor (1 - 0.12 rb) applies; K2 row 0.5.
    const double q = std::pow(2.0, 3.3) + 1.4;
    EXPECT_DOUBLE_EQ(GetSyphonDragLocalIndexSquare(kRightAngle, 0.5, 100000.0, 1.0, 1.0),
                     1.04 * q * (1.0 - 0.5 * 0.12) * 0.1);
    // Just outside in rb.
    EXPECT_EQ(GetSyphonDragLocalIndexSquare(kRightAngle, 2.0001, 100000.0, 1.0, 1.0), 1.3);
    EXPECT_EQ(GetSyphonDragLocalIndexSquare(kRightAngle, 0.4999, 100000.0, 1.0, 1.0), 1.04);
}

TEST(SyphonSquare, SmallRadiusFactorOnlyBelowOne) {
    const double rb = 0.9;
    const double inside = (std::pow(1.0 / rb, 3.3) + 1.4) * (1.0 - rb * 0.12) * 0.1;
    EXPECT_DOUBLE_EQ(GetSyphonDragLocalIndexSquare(kRightAngle, rb, 100000.0, 1.0, 1.0),
                     1.3 * inside);
    // At rb = 1 the factor is absent: (1 + 1.4) 0.1, not 2.4 0.88 0.1.
    EXPECT_DOUBLE_EQ(GetSyphonDragLocalIndexSquare(kRightAngle, 1.0, 100000.0, 1.0, 1.0),
                     1.3 * 0.24);
}

TEST(SyphonSquare, RowIsChosenByRelativeRadius) {
    // Row 0.5 below rb = 0.75, with its published 1.4 at Re/10^4 = 4.
    EXPECT_EQ(SquareK2(0.6, 40000.0), 1.4);
    EXPECT_EQ(SquareK2(0.7499, 40000.0), 1.4);
    EXPECT_EQ(SquareK2(0.75, 40000.0), 1.56);
    EXPECT_EQ(SquareK2(0.6, 10000.0), 1.4);
    EXPECT_EQ(SquareK2(0.75, 10000.0), 2.0);
    // NaN rb is not below 0.75: row 0.75, K1 = 1.
    EXPECT_EQ(SquareK2(kNaN, 10000.0), 2.0);
}

TEST(SyphonSquare, ReynoldsFactorInterpolatesAroundThePublishedPeak) {
    EXPECT_DOUBLE_EQ(SquareK2(0.6, 35000.0), (1.19 + 1.4) / 2.0);
    EXPECT_DOUBLE_EQ(SquareK2(0.6, 50000.0), (1.4 + 1.09) / 2.0);
    EXPECT_DOUBLE_EQ(SquareK2(1.0, 50000.0), (1.56 + 1.46) / 2.0);
    EXPECT_DOUBLE_EQ(SquareK2(1.0, 170000.0), (1.15 + 1.0) / 2.0);
}

TEST(SyphonSquare, ReynoldsFactorClampsAtBothEnds) {
    EXPECT_EQ(SquareK2(1.0, 9999.0), 2.0);
    EXPECT_EQ(SquareK2(1.0, 0.0), 2.0);
    EXPECT_EQ(SquareK2(1.0, -1e6), 2.0);
    EXPECT_EQ(SquareK2(1.0, -kInf), 2.0);
    EXPECT_EQ(SquareK2(1.0, 200000.0), 1.0);
    EXPECT_EQ(SquareK2(0.6, 1e12), 1.0);
    EXPECT_EQ(SquareK2(0.6, kInf), 1.0);
    // Just inside the ends the interpolation meets the end values (slopes
    // -0.23 and -0.025 per 10^4).
    EXPECT_NEAR(SquareK2(1.0, 10000.001), 2.0, 1e-7);
    EXPECT_LT(SquareK2(1.0, 10000.001), 2.0);
    EXPECT_NEAR(SquareK2(1.0, 199999.99), 1.0, 1e-7);
    EXPECT_GT(SquareK2(1.0, 199999.99), 1.0);
}

TEST(SyphonSquare, NaNAndInfinities) {
    EXPECT_TRUE(std::isnan(SquareK2(1.0, kNaN)));
    EXPECT_TRUE(std::isnan(GetSyphonDragLocalIndexSquare(kNaN, 1.0, 1e5, 1.0, 1.0)));
    EXPECT_EQ(GetSyphonDragLocalIndexSquare(kInf, 1.0, 1e5, 4.0, 1.0), 1.4 * 1.3);
    EXPECT_EQ(GetSyphonDragLocalIndexSquare(-kInf, 1.0, 1e5, 4.0, 1.0), 0.0);
    // A NaN or infinite aspect ratio is outside the shape window.
    EXPECT_EQ(GetSyphonDragLocalIndexSquare(kRightAngle, 1.0, 1e5, kNaN, 1.0), 1.3);
    EXPECT_EQ(GetSyphonDragLocalIndexSquare(kRightAngle, 1.0, 1e5, kInf, 1.0), 1.3);
    EXPECT_EQ(GetSyphonDragLocalIndexSquare(kRightAngle, kInf, 1e5, 1.0, 1.0), 1.3);
}

// ---------------------------------------------------------------------------
// Converging tee.
// ---------------------------------------------------------------------------

TEST(ConvergingTee, InflowFasterThanOutletUsesTheMomentumForm) {
    // X = 2 > wc = 1: (w/wc)^2 - 2 X / wc + 1.
    EXPECT_DOUBLE_EQ(GetHeLiuSanTongDragLocalIndex(1.0, 1.0, 2.0, 1.0, 0.0, 0.0, 0.0, 0.0, true),
                     1.0);
    EXPECT_DOUBLE_EQ(GetHeLiuSanTongDragLocalIndex(1.0, 1.0, 2.0, 1.0, 0.0, 0.0, 0.0, 0.0, false),
                     -3.0);
}

TEST(ConvergingTee, InflowSlowerThanOutletUsesTheQuadraticForm) {
    // X = 1 < wc = 2, x = 0.5: (w/wc)^2 - x^2 / 2 - x + 1/2.
    EXPECT_DOUBLE_EQ(GetHeLiuSanTongDragLocalIndex(2.0, 1.0, 1.0, 1.0, 0.0, 0.0, 0.0, 0.0, true),
                     0.125);
    EXPECT_DOUBLE_EQ(GetHeLiuSanTongDragLocalIndex(2.0, 1.0, 1.0, 1.0, 0.0, 0.0, 0.0, 0.0, false),
                     -0.125);
    // Inlet 2 at 0 deg, inlet 1 square to the axis: only inlet 2 carries momentum.
    // X = 3 * 0.5 / 1 = 1.5 < wc = 3, x = 0.5; inlet 1: (2/3)^2 - 0.125.
    EXPECT_NEAR(GetHeLiuSanTongDragLocalIndex(3.0, 1.0, 2.0, 0.5, 3.0, 0.5, kRightAngle, 0.0, true),
                4.0 / 9.0 - 0.125, 1e-15);
}

TEST(ConvergingTee, InflowEqualToOutletTakesTheQuadraticForm) {
    // Both inlets at 0 deg, X = (2 * 1 + 2 * 1) / 2 = 2 = wc: x = 1, 1 - 0.5 - 1 + 0.5.
    EXPECT_EQ(GetHeLiuSanTongDragLocalIndex(2.0, 2.0, 2.0, 1.0, 2.0, 1.0, 0.0, 0.0, true), 0.0);
    // w1 = 3 with X still equal to wc (w2 compensates): (3/2)^2 - 1.
    EXPECT_DOUBLE_EQ(GetHeLiuSanTongDragLocalIndex(2.0, 2.0, 3.0, 1.0, 1.0, 1.0, 0.0, 0.0, true),
                     1.25);
}

TEST(ConvergingTee, UnorderedComparisonGivesZero) {
    EXPECT_EQ(GetHeLiuSanTongDragLocalIndex(kNaN, 1.0, 1.0, 1.0, 1.0, 1.0, 0.0, 0.0, true), 0.0);
    EXPECT_EQ(GetHeLiuSanTongDragLocalIndex(1.0, 1.0, 1.0, 1.0, 1.0, 1.0, kNaN, 0.0, false), 0.0);
    EXPECT_EQ(GetHeLiuSanTongDragLocalIndex(1.0, 1.0, 1.0, kNaN, 1.0, 1.0, 0.0, 0.0, true), 0.0);
    // cos(inf) is NaN.
    EXPECT_EQ(GetHeLiuSanTongDragLocalIndex(1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 0.0, kInf, true), 0.0);
}

// ---------------------------------------------------------------------------
// Diverging tee.
// ---------------------------------------------------------------------------

double Branch(double wc, double wb, bool flagA, bool flagB, double angle = 0.0) {
    return GetFenLiuSanTongDragLocalIndex(wc, 0.3, wb, 0.7, angle, flagA, flagB);
}

TEST(DivergingTee, FlagAOnlyWindowHalfToTwo) {
    EXPECT_DOUBLE_EQ(Branch(2.0, 1.0, true, false), 0.7875);
    EXPECT_DOUBLE_EQ(Branch(1.0, 2.0, true, false), 2.1);
    EXPECT_DOUBLE_EQ(Branch(1.0, 1.0, true, false), 1.05);
    EXPECT_EQ(Branch(1.0, 2.0001, true, false), 0.0);
    EXPECT_EQ(Branch(1.0, 0.4999, true, false), 0.0);
    EXPECT_EQ(Branch(1.0, -1.0, true, false), 0.0);
    EXPECT_EQ(Branch(1.0, kInf, true, false), 0.0);
    EXPECT_TRUE(std::isnan(Branch(1.0, kNaN, true, false)));
}

TEST(DivergingTee, NoFlagWindowZeroToOne) {
    EXPECT_DOUBLE_EQ(Branch(1.0, 0.0, false, false), 0.35);
    EXPECT_DOUBLE_EQ(Branch(2.0, 1.0, false, false), 0.0875);
    EXPECT_EQ(Branch(1.0, 1.0, false, false), 0.0);
    EXPECT_EQ(Branch(1.0, 1.0001, false, false), 0.0);
    EXPECT_EQ(Branch(1.0, -0.0001, false, false), 0.0);
    EXPECT_TRUE(std::isnan(Branch(kNaN, 1.0, false, false)));
}

TEST(DivergingTee, FlagBOnlyHasNoWindow) {
    // 0.35 (wc / wb - 1)^2 whatever the ratio.
    EXPECT_DOUBLE_EQ(Branch(3.0, 1.0, false, true), 1.4);
    EXPECT_DOUBLE_EQ(Branch(1.0, 4.0, false, true), 0.35 * 0.5625);
    EXPECT_DOUBLE_EQ(Branch(-1.0, 1.0, false, true), 1.4);
    EXPECT_DOUBLE_EQ(Branch(1.0, 1.0, false, true), 0.0);
}

TEST(DivergingTee, SecondQuantitiesCancel) {
    const double base = GetFenLiuSanTongDragLocalIndex(2.0, 1.0, 1.0, 1.0, Rad(30.0), true, true);
    EXPECT_NEAR(GetFenLiuSanTongDragLocalIndex(2.0, 17.0, 1.0, 0.003, Rad(30.0), true, true), base,
                1e-13);
    EXPECT_NEAR(GetFenLiuSanTongDragLocalIndex(2.0, 0.2, 1.0, 9.0, 0.0, false, true),
                GetFenLiuSanTongDragLocalIndex(2.0, 1.0, 1.0, 1.0, 0.0, false, true), 1e-15);
}

TEST(DivergingTee, AngleFormNearFortyFiveDegrees) {
    // R = wb / wc = 0.5: ((0.5 - 0.81)^2 + 0.4) / 0.25.
    const double expected = (0.31 * 0.31 + 0.4) * 4.0;
    EXPECT_DOUBLE_EQ(Branch(2.0, 1.0, true, true, Rad(45.0)), expected);
    EXPECT_DOUBLE_EQ(Branch(2.0, 1.0, true, true, Rad(45.09)), expected);
    EXPECT_DOUBLE_EQ(Branch(2.0, 1.0, true, true, Rad(44.91)), expected);
    // Outside the 0.1 deg band the general form applies (cos 45.2 deg > 0.5).
    const double a = Rad(45.2);
    const double c = std::cos(a) - 0.5;
    EXPECT_DOUBLE_EQ(Branch(2.0, 1.0, true, true, a), (std::sin(a) * std::sin(a) + c * c) / 0.5);
}

TEST(DivergingTee, AngleFormNearNinetyDegrees) {
    EXPECT_DOUBLE_EQ(Branch(2.0, 1.0, true, true, kRightAngle), 4.5);
    EXPECT_DOUBLE_EQ(Branch(2.0, 1.0, true, true, Rad(90.1) - 1e-12), 4.5);
    // At 90.2 deg cos < R: (sin^2 + (R - cos) R / 2) / R^2.
    const double a = Rad(90.2);
    EXPECT_DOUBLE_EQ(Branch(2.0, 1.0, true, true, a),
                     (std::sin(a) * std::sin(a) + (0.5 - std::cos(a)) * 0.25) * 4.0);
}

TEST(DivergingTee, AngleFormAtSixtyDegreesIsGeneral) {
    const double a = Rad(60.0);
    const double s2 = 0.75;
    // cos 60 = 0.5 > R = 0.25.
    EXPECT_NEAR(Branch(4.0, 1.0, true, true, a), (s2 + 0.0625) / 0.25, 1e-13);
    // cos 60 = 0.5 < R = 2.
    EXPECT_NEAR(Branch(1.0, 2.0, true, true, a), (s2 + 1.5 * 2.0 * 0.5) / 4.0, 1e-13);
}

} // namespace
