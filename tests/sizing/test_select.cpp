// Size selection: first fit, nearest size by distance with the earliest of
// equal distances, zero limits, the widened upper bound, zero flow, null and
// empty lists, what the segment receives, and that each segment kind's own
// method judges the sizes.

#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <vector>

#include "TQRVNBase.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

// Flow (m^3/s) that runs at v m/s through a bore of d mm.
double FluxFor(double v, double dMm) { return v * kPi * dMm * dMm * 0.25e-6; }

enum class Range { Load, Velocity, Friction };

CTQPipeSpec Size(int dn, double insD, double thickness, Range range, double low, double high) {
    CTQPipeSpec s;
    s.DN = dn;
    s.InsD = insD;
    s.OutD = insD + 2 * thickness;
    s.Thickness = thickness;
    s.ID = dn;  // tells copies apart from default records
    switch (range) {
        case Range::Load: s.MinH = low; s.MaxH = high; break;
        case Range::Velocity: s.MinV = low; s.MaxV = high; break;
        case Range::Friction: s.MinR = low; s.MaxR = high; break;
    }
    return s;
}

// Sizes of one bore each with the given ranges, DN 10, 20, 30 ...
CTQArray<CTQPipeSpec> Sizes(Range range, std::initializer_list<std::pair<double, double>> ranges) {
    CTQArray<CTQPipeSpec> list;
    int dn = 10;
    for (const auto& [low, high] : ranges) {
        list.Add(Size(dn, dn * 1.1, 2.0, range, low, high));
        dn += 10;
    }
    return list;
}

// A segment with every member set to a recognisable value.
template <class Data>
Data Marked() {
    Data d;
    d.Length = 25;
    d.Flux = 0.5e-3;
    d.Load = 15000;
    d.DN = -7;
    d.Diameter = -7.5;
    d.DragCoef = 2.5;
    d.ThickNess = -0.5;
    d.Rm = -11;
    d.Velocity = -12;
    d.DynamicPressure = -13;
    d.OnWayResistance = -14;
    d.LocalResistance = -15;
    return d;
}

void ExpectSize(const CTQPipeData& d, const CTQPipeSpec& s) {
    EXPECT_EQ(d.DN, s.DN);
    EXPECT_EQ(d.Diameter, s.InsD);
    EXPECT_EQ(d.ThickNess, s.Thickness);
}

// The members a selection never touches keep the values of Marked().
void ExpectInputsAndLossesKept(const CTQPipeData& d) {
    EXPECT_EQ(d.Length, 25);
    EXPECT_EQ(d.Load, 15000);
    EXPECT_EQ(d.DragCoef, 2.5);
    EXPECT_EQ(d.DynamicPressure, -13);
    EXPECT_EQ(d.OnWayResistance, -14);
    EXPECT_EQ(d.LocalResistance, -15);
}

// ---- by load -----------------------------------------------------------------

TEST(SelectByLoad, FirstFitWinsAndNearestByDistanceOtherwise) {
    auto list = Sizes(Range::Load, {{0, 1000}, {800, 2000}, {1800, 4000}});
    CTQPipeSpec spec;

    // 900 is taken by the first and the second size: the walk stops at the first.
    EXPECT_TRUE(RVN::SelectSpecByLoad(900, spec, &list));
    EXPECT_EQ(spec.DN, 10);
    EXPECT_EQ(spec.ID, 10);

    // 5000: distances 4000, 3000, 1000.
    EXPECT_FALSE(RVN::SelectSpecByLoad(5000, spec, &list));
    EXPECT_EQ(spec.DN, 30);
    // -50: distances 50, 850, 1850.
    EXPECT_FALSE(RVN::SelectSpecByLoad(-50, spec, &list));
    EXPECT_EQ(spec.DN, 10);

    // The segment form makes the same choices.
    auto data = Marked<CTQPipeData>();
    data.Load = 5000;
    EXPECT_FALSE(RVN::SelectSpecByLoad(&data, &list));
    ExpectSize(data, list[2]);
    data.Load = 900;
    EXPECT_TRUE(RVN::SelectSpecByLoad(&data, &list));
    ExpectSize(data, list[0]);
}

TEST(SelectByLoad, EqualDistancesKeepTheEarlierSize) {
    // 300 lies 290, 100 and 100 from the three ranges.
    auto list = Sizes(Range::Load, {{0, 10}, {100, 200}, {400, 500}});
    CTQPipeSpec spec;
    EXPECT_FALSE(RVN::SelectSpecByLoad(300, spec, &list));
    EXPECT_EQ(spec.DN, 20);

    CTQPipeData data;
    data.Load = 300;
    EXPECT_FALSE(RVN::SelectSpecByLoad(&data, &list));
    EXPECT_EQ(data.DN, 20);

    // Every distance infinite: the segment form keeps the first size, the
    // spec form has no nearest size and returns a default record.
    data.Load = INFINITY;
    EXPECT_FALSE(RVN::SelectSpecByLoad(&data, &list));
    EXPECT_EQ(data.DN, 10);
    EXPECT_FALSE(RVN::SelectSpecByLoad(INFINITY, spec, &list));
    EXPECT_EQ(spec.ID, -1);
}

TEST(SelectByLoad, ZeroLimitsTakeAnythingAboveMinusOneButMeasureFromZero) {
    auto list = Sizes(Range::Load, {{100, 200}, {0, 0}, {300, 400}});
    CTQPipeSpec spec;
    EXPECT_TRUE(RVN::SelectSpecByLoad(5000, spec, &list));
    EXPECT_EQ(spec.DN, 20);
    // -5 is below the open range; as a distance the zero limits count as 0:
    // 105, 5, 305.
    EXPECT_FALSE(RVN::SelectSpecByLoad(-5, spec, &list));
    EXPECT_EQ(spec.DN, 20);
}

TEST(SelectByLoad, LimitsAreWidenedByTheZeroTolerance) {
    auto list = Sizes(Range::Load, {{100, 200}, {200, 400}});
    CTQPipeSpec spec;
    EXPECT_TRUE(RVN::SelectSpecByLoad(200 + 0.5e-6, spec, &list));
    EXPECT_EQ(spec.DN, 10);
    EXPECT_TRUE(spec.IsLessThanH(200 + 0.5e-6));
    EXPECT_TRUE(RVN::SelectSpecByLoad(200 + 2e-6, spec, &list));
    EXPECT_EQ(spec.DN, 20);
}

TEST(SelectByLoad, NullAndEmptyListsAndTheSegmentKeepsItsResults) {
    CTQArray<CTQPipeSpec> empty;
    auto list = Sizes(Range::Load, {{0, 20000}});
    CTQPipeSpec spec = list[0];

    EXPECT_FALSE(RVN::SelectSpecByLoad(10, spec, nullptr));
    EXPECT_EQ(spec.ID, 10);
    EXPECT_FALSE(RVN::SelectSpecByLoad(10, spec, &empty));
    EXPECT_EQ(spec.ID, -1);
    EXPECT_EQ(spec.DN, 0);
    EXPECT_EQ(spec.MaxR, 300);
    EXPECT_EQ(spec.MinR, 100);

    auto data = Marked<CTQPipeData>();
    EXPECT_FALSE(RVN::SelectSpecByLoad(&data, nullptr));
    EXPECT_FALSE(RVN::SelectSpecByLoad(&data, &empty));
    EXPECT_EQ(data.DN, -7);
    EXPECT_EQ(data.Diameter, -7.5);
    EXPECT_FALSE(RVN::SelectSpecByLoad(nullptr, &list));

    // A chosen size changes DN, Diameter and ThickNess only.
    EXPECT_TRUE(RVN::SelectSpecByLoad(&data, &list));
    ExpectSize(data, list[0]);
    ExpectInputsAndLossesKept(data);
    EXPECT_EQ(data.Flux, 0.5e-3);
    EXPECT_EQ(data.Rm, -11);
    EXPECT_EQ(data.Velocity, -12);
}

// ---- by velocity -------------------------------------------------------------

// Bores 20, 25, 32 mm, each taking 0.5 to 1.0 m/s.
CTQArray<CTQPipeSpec> VelocitySizes() {
    CTQArray<CTQPipeSpec> list;
    list.Add(Size(20, 20, 2.5, Range::Velocity, 0.5, 1.0));
    list.Add(Size(25, 25, 2.5, Range::Velocity, 0.5, 1.0));
    list.Add(Size(32, 32, 3.0, Range::Velocity, 0.5, 1.0));
    return list;
}

TEST(SelectByVelocity, SpecFormJudgesTheVelocityInTheBore) {
    auto list = VelocitySizes();
    CTQPipeSpec spec;
    // 1.5 m/s in 20 mm is 0.96 m/s in 25 mm.
    EXPECT_TRUE(RVN::SelectSpecByVelocity(spec, FluxFor(1.5, 20), &list));
    EXPECT_EQ(spec.DN, 25);
    // 3 m/s in 20 mm: 1.92 in 25 mm, 1.17 in 32 mm: the last is nearest.
    EXPECT_FALSE(RVN::SelectSpecByVelocity(spec, FluxFor(3.0, 20), &list));
    EXPECT_EQ(spec.DN, 32);
    // 0.3 m/s in 20 mm: the first is nearest.
    EXPECT_FALSE(RVN::SelectSpecByVelocity(spec, FluxFor(0.3, 20), &list));
    EXPECT_EQ(spec.DN, 20);
}

TEST(SelectByVelocity, SpecFormZeroFlowAndMissingLists) {
    auto list = VelocitySizes();
    list[0].MinV = list[0].MaxV = 0;  // would take the zero velocity
    CTQPipeSpec spec = list[2];
    EXPECT_FALSE(RVN::SelectSpecByVelocity(spec, 0.0, &list));
    EXPECT_EQ(spec.DN, 20);

    CTQArray<CTQPipeSpec> empty;
    spec = list[2];
    EXPECT_FALSE(RVN::SelectSpecByVelocity(spec, 1e-3, nullptr));
    EXPECT_FALSE(RVN::SelectSpecByVelocity(spec, 1e-3, &empty));
    EXPECT_EQ(spec.DN, 32);
}

TEST(SelectByVelocity, SegmentHoldsTheChosenSizeAndItsVelocity) {
    auto list = VelocitySizes();
    auto data = Marked<CTQPipeData>();
    data.Flux = FluxFor(1.5, 20);
    EXPECT_TRUE(RVN::SelectSpecByVelocity(&data, &list));
    ExpectSize(data, list[1]);
    EXPECT_NEAR(data.Velocity, 1.5 * 0.64, 1e-12);
    EXPECT_EQ(data.Rm, -11);
    ExpectInputsAndLossesKept(data);

    // Nearest size: the first, though the walk ended on the last; the
    // velocity is recomputed for it.
    data.Flux = FluxFor(0.3, 20);
    EXPECT_FALSE(RVN::SelectSpecByVelocity(&data, &list));
    ExpectSize(data, list[0]);
    EXPECT_NEAR(data.Velocity, 0.3, 1e-12);
}

TEST(SelectByVelocity, ZeroLimitsTakeAnyFlowWhenTheWalkReachesThem) {
    auto list = VelocitySizes();
    list[1].MinV = list[1].MaxV = 0;
    CTQPipeData data;
    data.Flux = FluxFor(50, 20);
    EXPECT_TRUE(RVN::SelectSpecByVelocity(&data, &list));
    EXPECT_EQ(data.DN, 25);
    EXPECT_NEAR(data.Velocity, 50 * 0.64, 1e-9);
}

TEST(SelectByVelocity, SegmentFormZeroFlowAndMissingInputs) {
    auto list = VelocitySizes();
    auto data = Marked<CTQPipeData>();
    data.Flux = 0.5e-6;  // zero within the tolerance
    EXPECT_FALSE(RVN::SelectSpecByVelocity(&data, &list));
    ExpectSize(data, list[0]);
    EXPECT_EQ(data.Velocity, 0.0);
    EXPECT_EQ(data.Rm, 0.0);
    ExpectInputsAndLossesKept(data);

    CTQArray<CTQPipeSpec> empty;
    data = Marked<CTQPipeData>();
    EXPECT_FALSE(RVN::SelectSpecByVelocity(&data, nullptr));
    EXPECT_FALSE(RVN::SelectSpecByVelocity(&data, &empty));
    EXPECT_FALSE(RVN::SelectSpecByVelocity(nullptr, &list));
    EXPECT_EQ(data.DN, -7);
    EXPECT_EQ(data.Velocity, -12);
}

// ---- by specific friction ----------------------------------------------------

constexpr double kRough = 0.2e-3;  // m
constexpr double kRho = 983.2;     // water at 60 degC, kg/m^3
constexpr double kNu = 0.478;      // 1e-6 m^2/s

// Steel sizes DN15 to DN50 (bore, wall in mm), all taking 50 to 250 Pa/m.
CTQArray<CTQPipeSpec> SteelSizes() {
    const double bores[][3] = {{15, 15.75, 2.75}, {20, 21.25, 2.75}, {25, 27.0, 3.25},
                               {32, 35.75, 3.25}, {40, 41.0, 3.5},   {50, 53.0, 3.5}};
    CTQArray<CTQPipeSpec> list;
    for (const auto& b : bores) list.Add(Size(int(b[0]), b[1], b[2], Range::Friction, 50, 250));
    return list;
}

// Velocity and Rm a segment of that kind works out on one size.
template <class Data>
std::pair<double, double> OwnResult(const Data& proto, const CTQPipeSpec& s, double rough = kRough) {
    Data d(proto);
    d.DN = s.DN;
    d.Diameter = s.InsD;
    d.ThickNess = s.Thickness;
    d.CalVelocity();
    const double rm = d.CalRm(rough, kRho, kNu);
    return {d.Velocity, rm};
}

TEST(SelectByRm, WaterTakesTheSmallestSizeWithinTheRange) {
    auto list = SteelSizes();
    auto data = Marked<CTQPipeData>();
    data.Flux = 0.3e-3;  // 12.5 kW at 10 K
    EXPECT_TRUE(RVN::SelectSpecByRm(&data, &list, kRough, kRho, kNu));
    // DN25 (about 185 Pa/m) follows DN20 (over 600 Pa/m).
    EXPECT_EQ(data.DN, 25);
    EXPECT_GT(OwnResult(CTQPipeData(data), list[1]).second, 250);
    const auto [v, rm] = OwnResult(CTQPipeData(data), list[2]);
    EXPECT_DOUBLE_EQ(data.Velocity, v);
    EXPECT_DOUBLE_EQ(data.Rm, rm);
    EXPECT_GT(rm, 50);
    EXPECT_LT(rm, 250);
    ExpectSize(data, list[2]);
    ExpectInputsAndLossesKept(data);
}

TEST(SelectByRm, NearestSizeIsRecalculatedAfterTheWalk) {
    auto list = SteelSizes();
    auto data = Marked<CTQPipeData>();
    data.Flux = 20e-3;  // far too much for DN50: every size is above 250 Pa/m
    EXPECT_FALSE(RVN::SelectSpecByRm(&data, &list, kRough, kRho, kNu));
    EXPECT_EQ(data.DN, 50);

    // Far too little: every size is below 50 Pa/m and DN15 comes nearest,
    // though the walk ended on DN50.
    data.Flux = 0.01e-3;
    EXPECT_FALSE(RVN::SelectSpecByRm(&data, &list, kRough, kRho, kNu));
    ExpectSize(data, list[0]);
    const auto [v, rm] = OwnResult(CTQPipeData(data), list[0]);
    EXPECT_DOUBLE_EQ(data.Velocity, v);
    EXPECT_DOUBLE_EQ(data.Rm, rm);
    ExpectInputsAndLossesKept(data);
}

TEST(SelectByRm, ZeroFlowAndMissingInputs) {
    auto list = SteelSizes();
    CTQRVNSteamData data = Marked<CTQRVNSteamData>();
    data.Flux = 0;
    EXPECT_FALSE(RVN::SelectSpecByRm(&data, &list, kRough, kRho, kNu));
    ExpectSize(data, list[0]);
    EXPECT_EQ(data.Velocity, 0.0);
    EXPECT_EQ(data.Rm, 0.0);
    ExpectInputsAndLossesKept(data);

    CTQArray<CTQPipeSpec> empty;
    auto kept = Marked<CTQPipeData>();
    EXPECT_FALSE(RVN::SelectSpecByRm(&kept, nullptr, kRough, kRho, kNu));
    EXPECT_FALSE(RVN::SelectSpecByRm(&kept, &empty, kRough, kRho, kNu));
    EXPECT_FALSE(RVN::SelectSpecByRm(nullptr, &list, kRough, kRho, kNu));
    EXPECT_EQ(kept.DN, -7);
    EXPECT_EQ(kept.Rm, -11);
}

// Each kind must be judged by its own Rm.  Four sizes of one bore: the
// range of size k is a narrow band around the Rm that method k gives for
// it (Darcy, plastic, PPR, steam), so the DN chosen tells which method ran.
// On a smooth wall the four values lie at least 10 % apart.
class SelectByRmKind : public ::testing::Test {
protected:
    static constexpr double kBore = 26.2, kWall = 2.3, kSmooth = 0.01e-3;

    void SetUp() override {
        CTQPipeData water;
        CTQRVNPlasticData plastic;
        CTQRVNPPRData ppr;
        CTQRVNSteamData steam;
        for (CTQPipeData* d : {&water, static_cast<CTQPipeData*>(&plastic),
                               static_cast<CTQPipeData*>(&ppr), static_cast<CTQPipeData*>(&steam)})
            d->Flux = kFlux;
        const CTQPipeSpec probe = Size(1, kBore, kWall, Range::Friction, 0, 0);
        own = {OwnResult(water, probe, kSmooth).second, OwnResult(plastic, probe, kSmooth).second,
               // The PPR gradient, independent of the record.
               RVN::GetPPR_i(kBore * 0.001, kFlux, true),
               // The steam formula on the mass flow in t/h.
               RVN::GetSteam_Rm(kRho * kFlux * 3.6, kBore * 0.001, kRho, kSmooth)};
        for (int k = 0; k < 4; ++k) {
            ASSERT_GT(own[k], 0) << k;
            for (int j = 0; j < k; ++j) ASSERT_GT(std::fabs(own[k] / own[j] - 1), 0.05) << k << j;
            list.Add(Size(10 * (k + 1), kBore, kWall, Range::Friction, own[k] * 0.99, own[k] * 1.01));
        }
    }

    // Selects through the base pointer; the chosen DN and the stored Rm.
    void ExpectChosen(CTQPipeData* data, int k) {
        data->Flux = kFlux;
        EXPECT_TRUE(RVN::SelectSpecByRm(data, &list, kSmooth, kRho, kNu));
        EXPECT_EQ(data->DN, 10 * (k + 1));
        EXPECT_NEAR(data->Rm, own[k], own[k] * 1e-12);
    }

    static constexpr double kFlux = 0.6e-3;
    std::vector<double> own;
    CTQArray<CTQPipeSpec> list;
};

TEST_F(SelectByRmKind, WaterSegmentUsesTheDarcyMethod) {
    CTQPipeData data;
    ExpectChosen(&data, 0);
}

TEST_F(SelectByRmKind, PlasticSegmentUsesThePlasticMethod) {
    CTQRVNPlasticData data;
    ExpectChosen(&data, 1);
}

TEST_F(SelectByRmKind, PprSegmentUsesTheGradientWithoutRmFactor) {
    CTQRVNPPRData data;
    data.RmFactor = 3;
    ExpectChosen(&data, 2);
    // A size whose band holds three times the gradient, placed first, is
    // still passed over.
    list.InsertAt(0, Size(5, kBore, kWall, Range::Friction, own[2] * 2.9, own[2] * 3.1));
    ExpectChosen(&data, 2);
}

TEST_F(SelectByRmKind, SteamSegmentUsesTheSteamFormula) {
    CTQRVNSteamData data;
    ExpectChosen(&data, 3);
}

TEST(SelectByRm, PlasticSizeWithoutDnDoesNotKeepTheRmOfTheSizeBefore) {
    // The plastic method gives 0 for DN 0 without storing it; the segment
    // must still report the Rm of the size it ends on.
    CTQArray<CTQPipeSpec> list;
    list.Add(Size(20, 20.4, 2.3, Range::Friction, 1e6, 2e6));
    list.Add(Size(0, 26.2, 2.3, Range::Friction, 0, 0));
    CTQRVNPlasticData data;
    data.Flux = 0.5e-3;
    EXPECT_TRUE(RVN::SelectSpecByRm(&data, &list, kRough, kRho, kNu));
    EXPECT_EQ(data.DN, 0);
    EXPECT_EQ(data.Rm, 0.0);
    EXPECT_EQ(data.Velocity, 0.0);
}

// ---- ducts -------------------------------------------------------------------

CTQDuctSpec Duct(int width, int height, long id, int section = 1) {
    CTQDuctSpec d;
    d.Section = section;
    d.Width = width;
    d.Height = height;
    d.ID = id;
    return d;
}

TEST(SelectDuct, CircularTakesEveryWidthAsADiameter) {
    CTQArray<CTQDuctSpec> list;
    // Rectangular records are judged as circles of their width.
    list.Add(Duct(400, 200, 1));
    list.Add(Duct(500, 200, 2));
    list.Add(Duct(630, 200, 3, 0));
    // 1 m^3/s: 7.96, 5.09 and 3.21 m/s.
    EXPECT_EQ(RVN::SelectSpecByVelocity_Circ(1.0, 5.0, &list).ID, 2);
    EXPECT_EQ(RVN::SelectSpecByVelocity_Circ(1.0, 9.0, &list).ID, 1);
    EXPECT_EQ(RVN::SelectSpecByVelocity_Circ(1.0, 3.5, &list).ID, 3);
    // No flow: every distance is the same and the first duct stays.
    EXPECT_EQ(RVN::SelectSpecByVelocity_Circ(0.0, 5.0, &list).ID, 1);
}

TEST(SelectDuct, RectangularUsesWidthAndHeight) {
    CTQArray<CTQDuctSpec> list;
    list.Add(Duct(400, 400, 1));  // 6.25 m/s at 1 m^3/s
    list.Add(Duct(500, 400, 2));  // 5.0
    list.Add(Duct(630, 500, 3));  // 3.17
    list.Add(Duct(500, 400, 4));  // the same size again
    // Equally near: the earlier of the two 500 x 400 ducts.
    EXPECT_EQ(RVN::SelectSpecByVelocity_Rect(1.0, 4.8, &list).ID, 2);
    EXPECT_EQ(RVN::SelectSpecByVelocity_Rect(1.0, 7.0, &list).ID, 1);
    // A duct of no area runs at 0 m/s by the velocity guard.
    list.Add(Duct(0, 400, 5));
    EXPECT_EQ(RVN::SelectSpecByVelocity_Rect(1.0, 0.1, &list).ID, 5);
}

TEST(SelectDuct, NullAndEmptyListsGiveADefaultDuct) {
    CTQArray<CTQDuctSpec> empty;
    for (const CTQDuctSpec& d :
         {RVN::SelectSpecByVelocity_Circ(1.0, 5.0, nullptr), RVN::SelectSpecByVelocity_Circ(1.0, 5.0, &empty),
          RVN::SelectSpecByVelocity_Rect(1.0, 5.0, nullptr), RVN::SelectSpecByVelocity_Rect(1.0, 5.0, &empty)}) {
        EXPECT_EQ(d.Section, 1);
        EXPECT_EQ(d.Width, 0);
        EXPECT_EQ(d.Height, 0);
        EXPECT_EQ(d.ID, -1);
    }
}

}  // namespace
