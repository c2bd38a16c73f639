// Networks whose results can be checked by hand: flows, losses, the index
// circuit, surpluses, valve Kv and tees worked out here from the calc
// functions, never taken from the layer's own output.
#include "NetworkFixture.h"

#include <cmath>

using namespace RVN;
using networktest::Computed;
using networktest::Heating;
using networktest::Radiator;
using networktest::Segment;

namespace {

constexpr double kPi = 3.14159265358979323846;

// Loss of a paired steel segment at 60 degC: route length l (m) counted
// twice, inner diameter d (mm), local coefficients zeta, mass flow m (kg/s).
double PairedLoss(double m, double l, double dMm, double zeta) {
    const double rho = GetWaterMD(60), nu = GetWaterND(60) * 1e-6, d = dMm / 1000;
    const double v = m / rho / (kPi * d * d / 4);
    const double lambda = DesignFriction(Re(d, v, nu), 0.0002 / d).lambda;
    const double rm = lambda / d * rho * v * v / 2;
    return rm * 2 * l + zeta * rho * v * v / 2;
}

// The request of a network segment sized alone, to list its sizes.
CTQSegmentRequest Alone(const CTQNetworkSegmentResult& s) {
    CTQSegmentRequest rq;
    rq.material = "钢管";
    rq.temperature = 60;
    rq.massFlow = s.massFlow;
    rq.length = s.pipeLength;
    return rq;
}

} // namespace

TEST(NetworkCalc, OneSegmentIsTheSegmentSizedAlone) {
    CTQNetwork net = Heating();
    net.settings.plantLoss = 3000;
    net.settings.margin = 10;
    net.segments = {Segment("S1", "S", "T", 12.5)};
    net.segments[0].fittings = {{"弯头", 2}, {"闸阀", 1}};
    net.terminals = {Radiator("T", 15000)};
    net.settings.supplyTemperature = 65;
    net.settings.deltaT = 10;
    const CTQNetworkResult r = Computed(net);

    CTQSegmentRequest rq = designtest::Branch(); // 15 kW at 10 K, 60 degC, 25 m
    rq.fittings = {{"弯头", 2}, {"闸阀", 1}};
    const auto alone = SizeSegment(*designtest::Catalog(), rq);
    ASSERT_TRUE(alone.Ok());
    ASSERT_EQ(r.segments.size(), 1u);
    const CTQNetworkSegmentResult& s = r.segments[0];
    ASSERT_TRUE(s.sized);
    EXPECT_EQ(s.size.dn, alone.value.dn);
    EXPECT_DOUBLE_EQ(s.pipeLength, 25);
    EXPECT_DOUBLE_EQ(s.massFlow, alone.value.massFlow);
    EXPECT_DOUBLE_EQ(s.size.rm, alone.value.rm);
    EXPECT_DOUBLE_EQ(s.size.totalLoss, alone.value.totalLoss);
    EXPECT_DOUBLE_EQ(r.terminals[0].pathLoss, alone.value.totalLoss + kRadiatorLoss);
    EXPECT_TRUE(r.terminals[0].index);
    EXPECT_EQ(r.indexPath, std::vector<int>{0});
    EXPECT_DOUBLE_EQ(r.pumpHead, (alone.value.totalLoss + kRadiatorLoss + 3000) * 1.1);
    EXPECT_DOUBLE_EQ(r.pumpMassFlow, alone.value.massFlow);
    EXPECT_TRUE(r.tees.empty());
    EXPECT_TRUE(std::isnan(r.terminals[0].valveKv));
}

TEST(NetworkCalc, EqualParallelBranchesNeedNoValve) {
    CTQNetwork net = Heating();
    net.segments = {Segment("M", "S", "A", 20), Segment("L", "A", "T1", 6),
                    Segment("R", "A", "T2", 6)};
    net.segments[1].fittings = net.segments[2].fittings = {{"弯头", 3}};
    net.terminals = {Radiator("T1", 4000), Radiator("T2", 4000)};
    const CTQNetworkResult r = Computed(net);
    ASSERT_EQ(r.tees.size(), 1u);
    EXPECT_EQ(r.tees[0].node, "A");
    EXPECT_EQ(r.tees[0].imbalance, 0.0);
    EXPECT_FALSE(r.tees[0].overLimit);
    for (const CTQNetworkBranch& b : r.tees[0].branches) {
        EXPECT_EQ(b.surplus, 0.0);
        EXPECT_TRUE(std::isnan(b.valveKv));
    }
    for (const CTQNetworkTerminalResult& t : r.terminals) {
        EXPECT_EQ(t.surplus, 0.0);
        EXPECT_TRUE(std::isnan(t.valveKv));
    }
    EXPECT_DOUBLE_EQ(r.segments[0].massFlow, 2 * r.segments[1].massFlow);
}

// S -S1- A -S2- T1;  A -S3- B -S4- T2;  B -S5- T3.  Sizes fixed, so that
// every loss follows from the formulas.
TEST(NetworkCalc, ThreeTerminalTreeMatchesTheFormulas) {
    CTQNetwork net = Heating();
    net.settings.margin = 15;
    net.settings.imbalanceLimit = 10;
    net.segments = {Segment("S1", "S", "A", 10, 32), Segment("S2", "A", "T1", 3, 15),
                    Segment("S3", "A", "B", 8, 25), Segment("S4", "B", "T2", 4, 15),
                    Segment("S5", "B", "T3", 6, 20)};
    net.segments[0].fittings = {{"闸阀", 1}};
    net.segments[1].zeta = 2;
    net.terminals = {Radiator("T1", 1500), Radiator("T2", 2500), Radiator("T3", 3000)};
    net.terminals[1].unit = TQTerminalUnit::Fixed;
    net.terminals[1].unitLoss = 8000;
    net.terminals[2].unit = TQTerminalUnit::FanCoil;
    const CTQNetworkResult r = Computed(net);
    ASSERT_EQ(r.segments.size(), 5u);

    const double m1 = GetWaterFlux(1500, 20), m2 = GetWaterFlux(2500, 20),
                 m3 = GetWaterFlux(3000, 20);
    const double mass[] = {m1 + m2 + m3, m1, m2 + m3, m2, m3};
    const double dMm[] = {35.4, 15.7, 27.3, 15.7, 21.3};
    const double zeta[] = {0.5, 2, 0, 0, 0};
    double loss[5];
    for (int i = 0; i < 5; ++i) {
        loss[i] = PairedLoss(mass[i], net.segments[i].length, dMm[i], zeta[i]);
        EXPECT_DOUBLE_EQ(r.segments[i].massFlow, mass[i]) << i;
        EXPECT_NEAR(r.segments[i].size.totalLoss, loss[i], 1e-9 * loss[i]) << i;
        EXPECT_TRUE(r.segments[i].size.fixedSize);
    }
    const double path[] = {loss[0] + loss[1] + kRadiatorLoss, loss[0] + loss[2] + loss[3] + 8000,
                           loss[0] + loss[2] + loss[4] + kFanCoilLoss};
    const double worst = std::max({path[0], path[1], path[2]});
    EXPECT_EQ(worst, path[2]); // the fan coil's 30 kPa decides
    EXPECT_TRUE(r.terminals[2].index);
    EXPECT_EQ(r.indexPath, (std::vector<int>{0, 2, 4}));
    EXPECT_TRUE(r.segments[4].onIndexCircuit && !r.segments[3].onIndexCircuit &&
                !r.segments[1].onIndexCircuit);
    const double rho = GetWaterMD(60);
    for (int t = 0; t < 3; ++t) {
        EXPECT_NEAR(r.terminals[t].pathLoss, path[t], 1e-9 * path[t]) << t;
        const double surplus = worst - path[t];
        EXPECT_NEAR(r.terminals[t].surplus, surplus, 1e-6) << t;
        if (t != 2) {
            const double q = mass[t == 0 ? 1 : 3] / rho * 3600; // m3/h
            EXPECT_NEAR(r.terminals[t].valveKv, q / std::sqrt(surplus / 1e5), 1e-9) << t;
        }
    }
    EXPECT_NEAR(r.pumpHead, worst * 1.15, 1e-9 * worst);
    EXPECT_DOUBLE_EQ(r.pumpFlow, mass[0] / rho);

    // Tee A: the branch to T1 against the most demanding circuit through B.
    ASSERT_EQ(r.tees.size(), 2u);
    const CTQNetworkTee& a = r.tees[0].node == "A" ? r.tees[0] : r.tees[1];
    const double toT1 = loss[1] + kRadiatorLoss, throughB = loss[2] + loss[4] + kFanCoilLoss;
    EXPECT_NEAR(a.imbalance, (throughB - toT1) / throughB * 100, 1e-9);
    EXPECT_TRUE(a.overLimit);
    EXPECT_EQ(a.branches[0].segment, "S2");
    EXPECT_NEAR(a.branches[0].surplus, throughB - toT1, 1e-6);
    EXPECT_NEAR(a.branches[0].valveKv, mass[1] / rho * 3600 / std::sqrt((throughB - toT1) / 1e5),
                1e-9);
}

TEST(NetworkCalc, WaterSupplyLiftsItsWaterToEachOutlet) {
    CTQNetwork net;
    net.settings.kind = TQNetworkKind::WaterSupply;
    net.settings.source = "S";
    net.settings.supplyTemperature = 10;
    net.settings.material = "钢管";
    net.segments = {Segment("M", "S", "A", 5, 32), Segment("Low", "A", "T1", 2, 15),
                    Segment("Up", "A", "T2", 2, 15)};
    net.segments[2].rise = 9;
    CTQNetworkTerminal t1, t2;
    t1.node = "T1";
    t2.node = "T2";
    t1.volumeFlow = t2.volumeFlow = 0.2e-3;
    t1.unit = t2.unit = TQTerminalUnit::Fixed;
    t1.unitLoss = t2.unitLoss = 50000; // the outlet's service pressure
    net.terminals = {t1, t2};
    const CTQNetworkResult r = Computed(net);
    const double lift = GetWaterMD(10) * 9.80665 * 9;
    EXPECT_DOUBLE_EQ(r.segments[1].pipeLength, 2); // single pipes: length once
    EXPECT_NEAR(r.terminals[1].staticLift, lift, 1e-9 * lift);
    EXPECT_EQ(r.terminals[0].staticLift, 0);
    EXPECT_TRUE(r.terminals[1].index);
    // Equal pipes: the lower outlet has the lift to spare.
    EXPECT_NEAR(r.terminals[0].surplus, lift, 1e-6 * lift);
}

TEST(NetworkCalc, SelectedSizesHoldTheirRangeOrTheTarget) {
    CTQNetwork net = Heating();
    net.segments = {Segment("M", "S", "A", 30), Segment("B1", "A", "T1", 8),
                    Segment("B2", "A", "T2", 15)};
    net.terminals = {Radiator("T1", 20000), Radiator("T2", 45000)};
    for (TQNetworkSizing by :
         {TQNetworkSizing::Rm, TQNetworkSizing::TargetRm, TQNetworkSizing::Velocity}) {
        net.settings.by = by;
        net.settings.targetRm = 80;
        const CTQNetworkResult r = Computed(net);
        for (const CTQNetworkSegmentResult& s : r.segments) {
            ASSERT_TRUE(s.sized);
            CTQSegmentRequest rq = Alone(s);
            auto sizes = ListSegmentSizes(*designtest::Catalog(), rq);
            ASSERT_TRUE(sizes.Ok());
            std::size_t at = 0;
            while (sizes.value[at].dn != s.size.dn)
                ++at;
            if (by == TQNetworkSizing::TargetRm) {
                EXPECT_LE(s.size.rm, 80) << s.id;
                ASSERT_GT(at, 0u);
                EXPECT_GT(sizes.value[at - 1].rm, 80) << s.id;
            } else {
                // The design layer's choice for the segment alone.
                rq.by = by == TQNetworkSizing::Rm ? TQSelection::Rm : TQSelection::Velocity;
                const auto alone = SizeSegment(*designtest::Catalog(), rq);
                ASSERT_TRUE(alone.Ok());
                EXPECT_EQ(s.size.dn, alone.value.dn) << s.id;
                EXPECT_EQ(s.size.rangeUnit, by == TQNetworkSizing::Rm ? "Pa/m" : "m/s");
            }
        }
    }
}

TEST(NetworkCalc, ValveKvIsFlowOverTheRootOfTheDropInBar) {
    EXPECT_DOUBLE_EQ(ValveKv(0.5 / 3600, 25000), 1.0);
    EXPECT_DOUBLE_EQ(ValveKv(2.0 / 3600, 1e5), 2.0);
    EXPECT_TRUE(std::isnan(ValveKv(1e-4, 0)));
    EXPECT_TRUE(std::isnan(ValveKv(1e-4, -5)));
    EXPECT_TRUE(std::isnan(ValveKv(0, 100)));
}

// A near circuit with much to spare and a far one: sized at a low target
// Rm, balancing by size makes the near branch smaller within its limits.
TEST(NetworkCalc, BalancingBySizeNarrowsNearCircuitsWithinTheirLimits) {
    CTQNetwork net = Heating();
    net.settings.by = TQNetworkSizing::TargetRm;
    net.settings.targetRm = 30;
    net.segments = {Segment("M", "S", "A", 10), Segment("Near", "A", "T1", 5),
                    Segment("Far", "A", "B", 60), Segment("End", "B", "T2", 20)};
    net.terminals = {Radiator("T1", 20000), Radiator("T2", 20000)};
    const CTQNetworkResult before = Computed(net);
    net.settings.balanceBySize = true;
    const CTQNetworkResult after = Computed(net);
    ASSERT_FALSE(after.balanceChanges.empty());
    EXPECT_TRUE(before.balanceChanges.empty());
    const auto catalog = designtest::Catalog();
    for (const CTQBalanceChange& c : after.balanceChanges) {
        EXPECT_NE(c.segment, "Far"); // on the index circuit
        EXPECT_NE(c.segment, "M");
        EXPECT_LT(c.dnAfter, c.dnBefore);
        EXPECT_GT(c.lossAfter, c.lossBefore);
    }
    const CTQNetworkSegmentResult& near = after.segments[1];
    EXPECT_EQ(near.dnBeforeBalance, before.segments[1].size.dn);
    for (const CTQPipeSpec& spec : catalog->Sizes(1))
        if (spec.DN == near.size.dn) {
            EXPECT_LE(near.size.rm, spec.MaxR);
            EXPECT_LE(near.size.velocity, spec.MaxV);
        }
    // The index circuit and the pump stay; the near circuit has less to throttle.
    EXPECT_DOUBLE_EQ(after.pumpHead, before.pumpHead);
    EXPECT_LT(after.terminals[0].surplus, before.terminals[0].surplus);
    EXPECT_GE(after.terminals[0].surplus, 0);
    EXPECT_LT(after.tees[0].imbalance, before.tees[0].imbalance);
}

TEST(NetworkCalc, ASegmentThatCannotBeSizedIsMarkedAndTheRestReported) {
    CTQNetwork net = Heating();
    net.segments = {Segment("M", "S", "A", 10), Segment("Odd", "A", "T1", 5, 65),
                    Segment("Ok", "A", "T2", 5)};
    net.terminals = {Radiator("T1", 3000), Radiator("T2", 3000)};
    const auto o = ComputeNetwork(*designtest::Catalog(), net);
    ASSERT_TRUE(o.Ok());
    const CTQNetworkResult& r = o.value;
    EXPECT_FALSE(r.segments[1].sized);
    EXPECT_NE(r.segments[1].error.find("65"), std::string::npos) << r.segments[1].error;
    EXPECT_TRUE(r.segments[0].sized && r.segments[2].sized);
    EXPECT_FALSE(r.terminals[0].complete);
    EXPECT_TRUE(std::isnan(r.terminals[0].surplus));
    EXPECT_TRUE(r.terminals[1].index);
    const std::string text = NetworkReportText(r);
    EXPECT_NE(text.find("NOT SIZED"), std::string::npos);
    EXPECT_NE(text.find("segment Odd could not be sized"), std::string::npos);
}

TEST(NetworkCalc, NoSizeLargeEnoughIsFlaggedNotDropped) {
    CTQNetwork net = Heating();
    net.segments = {Segment("Huge", "S", "T", 10)};
    net.terminals = {Radiator("T", 4e8)}; // beyond DN300 at any Rm range
    const CTQNetworkResult r = Computed(net);
    ASSERT_TRUE(r.segments[0].sized);
    EXPECT_FALSE(r.segments[0].size.fits);
    EXPECT_EQ(r.segments[0].size.dn, 300);
    ASSERT_FALSE(r.segments[0].warnings.empty());
    EXPECT_NE(r.segments[0].warnings.back().find("no size of 钢管 fits"), std::string::npos);
}
