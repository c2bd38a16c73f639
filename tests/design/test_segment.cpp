// Sizing a segment through the design layer, against a catalog held in
// memory.  Expected values are worked out here from the calc functions with
// the stated inputs (never taken from the layer's own output).
#include "DesignFixture.h"

#include <cmath>
#include <functional>
#include <thread>

using designtest::Branch;
using designtest::Catalog;
using namespace RVN;

namespace {

constexpr double kPi = 3.14159265358979323846;

double Area(double dMm) { return kPi * dMm * dMm * 1e-6 / 4; }

CTQSegmentResult Sized(const CTQSegmentRequest& rq)
{
    const auto o = SizeSegment(*Catalog(), rq);
    EXPECT_TRUE(o.Ok()) << o.error.Text();
    return o.value;
}

}  // namespace

TEST(SegmentDesign, HeatingBranchMatchesTheFormulas)
{
    const CTQSegmentRequest rq = [] {
        CTQSegmentRequest r = Branch();
        r.fittings = {{"弯头", 2}, {"闸阀", 1}};
        return r;
    }();
    const CTQSegmentResult r = Sized(rq);
    // 15 kW at 10 K: 15000 / 10 kcal/h per K... through the water relation.
    const double m = 15000.0 / 10.0 * 0.8598452278589853 / 3600.0;
    const double rho = GetWaterMD(60), nu = GetWaterND(60) * 1e-6;
    const double q = m / rho;
    // DN25 (27.3 mm) would run at about 250 Pa/m; DN32 (35.4 mm) is the first in 60..120.
    ASSERT_EQ(r.dn, 32);
    EXPECT_TRUE(r.fits);
    const double v = q / Area(35.4);
    const double re = v * 0.0354 / nu;
    const double lambda = x_TF_CW(re, 0.0002 / 0.0354);  // mixed zone at Re ~2.8e4, eps 0.0056
    EXPECT_DOUBLE_EQ(r.velocity, v);
    EXPECT_DOUBLE_EQ(r.reynolds, re);
    EXPECT_DOUBLE_EQ(r.lambda, lambda);
    EXPECT_EQ(r.regime, "mixed");
    EXPECT_EQ(r.formula, "x_TF_CW");
    EXPECT_FALSE(r.formulaFallback);
    const double rm = lambda / 0.0354 * rho * v * v / 2;
    EXPECT_NEAR(r.rm, rm, 1e-9 * rm);
    EXPECT_NEAR(r.frictionLoss, rm * 25, 1e-9 * rm * 25);
    // Elbows at DN32: 1.5 each (table entry); gate valve 0.5.
    ASSERT_EQ(r.fittings.size(), 2u);
    EXPECT_EQ(r.fittings[0].zetaEach, 1.5);
    EXPECT_EQ(r.fittings[0].count, 2);
    EXPECT_EQ(r.fittings[1].zetaEach, 0.5);
    EXPECT_DOUBLE_EQ(r.zeta, 3.5);
    const double pd = rho * v * v / 2;
    EXPECT_NEAR(r.dynamicPressure, pd, 1e-9 * pd);
    EXPECT_NEAR(r.localLoss, 3.5 * pd, 1e-9 * pd);
    EXPECT_NEAR(r.totalLoss, rm * 25 + 3.5 * pd, 1e-9 * r.totalLoss);
    EXPECT_EQ(r.rangeMin, 60);
    EXPECT_EQ(r.rangeMax, 120);
    EXPECT_EQ(r.rangeUnit, "Pa/m");
    EXPECT_DOUBLE_EQ(r.massFlow, m);
    EXPECT_DOUBLE_EQ(r.volumeFlow, q);
    EXPECT_EQ(r.heatLoad, 15000);
    EXPECT_EQ(r.sizeMark, "DN");
    EXPECT_TRUE(r.warnings.empty());
}

// Copper (K 0.0015 mm) at 10 l/s and 60 degC: DN100 runs at Re 2.7e5 in the
// smooth zone, where Blasius has no value; Colebrook-White stands in and
// DN100 is chosen instead of a negative Rm pushing the choice to the end.
TEST(SegmentDesign, SmallRoughnessFallsBackToColebrookWhite)
{
    CTQSegmentRequest rq;
    rq.material = "铜管";
    rq.temperature = 60;
    rq.volumeFlow = 0.010;
    rq.length = 10;
    const CTQSegmentResult r = Sized(rq);
    const double v = 0.010 / Area(100.0);
    const double re = v * 0.1 / (GetWaterND(60) * 1e-6);
    ASSERT_EQ(GetLmd(re, 1.5e-5), -1.0) << "the regime's own formula is out of range here";
    EXPECT_EQ(r.dn, 100);
    EXPECT_TRUE(r.fits);
    EXPECT_TRUE(r.formulaFallback);
    EXPECT_EQ(r.regime, "smooth");
    EXPECT_EQ(r.formula, "x_TF_CW");
    EXPECT_DOUBLE_EQ(r.lambda, x_TF_CW(re, 1.5e-5));
    EXPECT_NEAR(r.rm, Rm_Circle(r.lambda, 0.1, v, GetWaterMD(60)), 1e-9 * r.rm);
    ASSERT_EQ(r.warnings.size(), 1u);
    EXPECT_NE(r.warnings[0].find("Colebrook-White"), std::string::npos);

    const CTQFrictionChoice c = DesignFriction(2e5, 1.5e-5);
    EXPECT_TRUE(c.fallback);
    EXPECT_DOUBLE_EQ(c.lambda, x_TF_CW(2e5, 1.5e-5));
    EXPECT_NEAR(c.lambda, 0.01576, 5e-6) << "the header's worked example";
    EXPECT_FALSE(DesignFriction(5e4, 1e-3).fallback);
}

// Wherever GetLmd has a value, the design layer's factor is that value and
// its regime the one ClassifyFriction names; elsewhere Colebrook-White.
TEST(SegmentDesign, DesignFrictionIsGetLmdWhereItHasAValue)
{
    for (double re : {0.0, 500.0, 2299.0, 2300.0, 4000.0, 4001.0, 1e4, 5e4, 1e5, 1.0001e5, 3e5, 1e6, 1e7, 1e8})
        for (double eps : {0.0, 1e-6, 1.5e-5, 1e-4, 1e-3, 5e-3, 0.02, 0.05}) {
            const CTQFrictionChoice c = DesignFriction(re, eps);
            const double l = GetLmd(re, eps);
            EXPECT_STREQ(c.regime.name, ClassifyFriction(re, eps).name) << re << " " << eps;
            if (l >= 0) {
                EXPECT_EQ(c.lambda, l) << re << " " << eps;
                EXPECT_FALSE(c.fallback);
            } else {
                EXPECT_EQ(c.lambda, x_TF_CW(re, eps)) << re << " " << eps;
                EXPECT_TRUE(c.fallback);
            }
        }
}

// The catalog's load ranges hold for 20 K (steel) or the material's own
// difference (copper, 10 K); a load at another difference is compared as
// the load of the same flow at that basis.
TEST(SegmentDesign, LoadIsComparedAtTheCatalogsTemperatureDifference)
{
    CTQSegmentRequest rq = Branch();
    rq.heatLoad = 50000;
    rq.deltaT = 5;
    rq.by = TQSelection::Load;
    CTQSegmentResult r = Sized(rq);
    EXPECT_EQ(r.criterion, 200000) << "50 kW at 5 K moves the water of 200 kW at 20 K";
    EXPECT_EQ(r.loadBasisDeltaT, 20);
    EXPECT_EQ(r.dn, 50) << "not DN25, whose 29410..58821 W would hold the unscaled 50 kW";
    EXPECT_TRUE(r.fits);
    ASSERT_FALSE(r.warnings.empty());
    EXPECT_NE(r.warnings.back().find("200000 W"), std::string::npos) << r.warnings.back();

    rq.deltaT = 20;
    r = Sized(rq);
    EXPECT_EQ(r.criterion, 50000);
    EXPECT_EQ(r.dn, 25);
    EXPECT_TRUE(r.warnings.empty());

    // A flow judged by load: the load it carries at the basis.
    rq.heatLoad = kNotGiven;
    rq.deltaT = kNotGiven;
    rq.massFlow = GetWaterFlux(100000, 20);
    EXPECT_NEAR(Sized(rq).criterion, 100000, 1e-6);

    rq.material = "铜管";
    rq.massFlow = kNotGiven;
    rq.heatLoad = 50000;
    rq.deltaT = 5;
    r = Sized(rq);
    EXPECT_EQ(r.loadBasisDeltaT, 10);
    EXPECT_EQ(r.criterion, 100000);
}

// Saturated steam by velocity: the steam limits by DN (35 m/s to DN200,
// 60 m/s above), never the catalog's hot-water velocities.
TEST(SegmentDesign, SteamIsSizedByTheSteamVelocityLimits)
{
    EXPECT_EQ(SteamVelocityLimit(200), 35);
    EXPECT_EQ(SteamVelocityLimit(250), 60);
    CTQSegmentRequest rq;
    rq.material = "钢管";
    rq.fluid = TQFluid::Steam;
    rq.temperature = 150;
    rq.massFlow = 500.0 / 3600;
    rq.length = 30;
    rq.by = TQSelection::Velocity;
    const CTQSegmentResult r = Sized(rq);
    const double q = 500.0 / 3600 / 2.548;
    ASSERT_GT(q / Area(35.4), 35) << "DN32 too fast";
    ASSERT_LT(q / Area(53.1), 35);
    EXPECT_EQ(r.dn, 50);
    EXPECT_TRUE(r.fits);
    EXPECT_EQ(r.rangeMin, 0);
    EXPECT_EQ(r.rangeMax, 35);
    EXPECT_EQ(r.density, 2.548);
    EXPECT_DOUBLE_EQ(r.viscosity, 5.49e-6);
    EXPECT_EQ(r.formula, "steam-pipe formula");
    // Steam's Rm is the steam-pipe formula of the mass flow in t/h.
    EXPECT_NEAR(r.rm, GetSteam_Rm(2.548 * q * 3.6, 0.0531, 2.548, 0.0002), 1e-9 * r.rm);

    rq.massFlow = 20000.0 / 3600;  // 20 t/h: DN300 at 29 m/s within its 60 m/s
    const CTQSegmentResult big = Sized(rq);
    EXPECT_EQ(big.dn, 300);
    EXPECT_EQ(big.rangeMax, 60);
}

TEST(SegmentDesign, PlasticAndPprUseTheirOwnMethods)
{
    CTQSegmentRequest rq;
    rq.material = "PP-R管";
    rq.volumeFlow = 0.0005;
    rq.length = 5;
    rq.dn = 32;
    CTQSegmentResult r = Sized(rq);
    EXPECT_TRUE(r.fixedSize);
    EXPECT_EQ(r.sizeMark, "dn");
    EXPECT_NEAR(r.rm, GetPPR_i(0.0232, 0.0005, true), 1e-9 * r.rm);
    EXPECT_EQ(r.formula, "PPR gradient formula");

    rq.material = "PE管";
    r = Sized(rq);
    const double thick = (32.0 - 26.2) / 2;
    const double dj = GetPlastic_dn(32.0, 0.3, thick, 0.5) * 0.001;
    const double v = 0.0005 / Area(26.2);
    const double res = GetPlastic_Res(dj, v, GetWaterND(20) * 1e-6);
    const double lambda = GetPlastic_lmd(GetPlastic_b(res, GetPlastic_Rez(dj, 1e-5)), dj, 1e-5, res);
    EXPECT_DOUBLE_EQ(r.lambda, lambda);
    EXPECT_NEAR(r.rm, Rm_Circle(lambda, dj, v, GetWaterMD(20)), 1e-9 * r.rm);
    // Plastic pipe takes the plastic fittings (kind 2).
    rq.fittings = {{"弯头", 3}};
    EXPECT_DOUBLE_EQ(Sized(rq).zeta, 3.6);
}

TEST(SegmentDesign, FixedSizeIsCheckedAndTheTableListsEverySize)
{
    CTQSegmentRequest rq = Branch();
    rq.dn = 25;
    const CTQSegmentResult r = Sized(rq);
    EXPECT_EQ(r.dn, 25);
    EXPECT_TRUE(r.fixedSize);
    EXPECT_FALSE(r.fits) << "DN25 runs above 120 Pa/m";
    EXPECT_GT(r.rm, 120);
    EXPECT_EQ(r.criterion, r.rm);

    rq.dn = 40;
    const auto missing = SizeSegment(*Catalog(), rq);
    ASSERT_FALSE(missing.Ok());
    EXPECT_EQ(missing.error.field, "dn");
    EXPECT_NE(missing.error.message.find("15, 20, 25, 32, 50, 100, 300"), std::string::npos);

    const auto table = ListSegmentSizes(*Catalog(), rq);
    ASSERT_TRUE(table.Ok()) << table.error.Text();
    ASSERT_EQ(table.value.size(), 7u);
    int fitting = 0;
    for (std::size_t i = 0; i < table.value.size(); ++i) {
        const CTQSegmentResult& row = table.value[i];
        EXPECT_TRUE(row.fixedSize);
        if (i > 0) {
            EXPECT_GT(row.dn, table.value[i - 1].dn);
        }
        EXPECT_EQ(row.fits, row.rm > 60 - 1e-6 && row.rm < 120 + 1e-6) << row.dn;
        fitting += row.fits ? 1 : 0;
        if (row.dn == 32) {
            EXPECT_EQ(row.rm, Sized(Branch()).rm) << "a row is the segment at that size";
        }
    }
    EXPECT_EQ(fitting, 1);
}

TEST(SegmentDesign, FittingBeyondItsTableIsAWarning)
{
    CTQSegmentRequest rq = Branch();
    rq.dn = 100;
    rq.fittings = {{"弯头", 1}};
    const CTQSegmentResult r = Sized(rq);
    ASSERT_EQ(r.fittings.size(), 1u);
    EXPECT_TRUE(r.fittings[0].outsideTable);
    EXPECT_EQ(r.fittings[0].zetaEach, 1.0) << "the last entry of its table, DN50";
    bool warned = false;
    for (const std::string& w : r.warnings)
        warned = warned || w.find("DN 100 lies outside its table (DN 15 to 50)") != std::string::npos;
    EXPECT_TRUE(warned);
    rq.dn = 32;
    EXPECT_FALSE(Sized(rq).fittings[0].outsideTable);
}

// Every check names its field; nothing throws.
TEST(SegmentDesign, EveryBadFieldIsNamed)
{
    struct Case {
        std::function<void(CTQSegmentRequest&)> change;
        const char* field;
        const char* words;
    };
    const double nan = kNotGiven;
    const Case cases[] = {
        {[](auto& r) { r.material = "不存在"; }, "material", "no material '不存在'"},
        {[](auto& r) { r.material = ""; r.materialId = 99; }, "material", "ID 99"},
        {[](auto& r) { r.category = 2; }, "category", "not of category plastic"},
        {[](auto& r) { r.category = 7; }, "category", "not a category"},
        {[](auto& r) { r.material = "PE管"; r.fluid = TQFluid::Steam; }, "fluid", "water-pipe"},
        {[](auto& r) { r.temperature = 150; }, "temperature", "outside the water data"},
        {[](auto& r) { r.temperature = -1; }, "temperature", "outside the water data"},
        {[&](auto& r) { r.fluid = TQFluid::Steam; r.temperature = nan; }, "temperature", "saturation temperature"},
        {[](auto& r) { r.fluid = TQFluid::Steam; r.temperature = 130; }, "temperature", "120 to 150"},
        {[](auto& r) { r.fluid = TQFluid::Steam; r.temperature = 150; }, "heatLoad", "mass flow"},
        {[&](auto& r) { r.heatLoad = nan; r.deltaT = nan; }, "flow", "give a flow"},
        {[](auto& r) { r.volumeFlow = 0.001; }, "flow", "not several"},
        {[&](auto& r) { r.heatLoad = nan; r.volumeFlow = 0.001; }, "deltaT", "heat load only"},
        {[&](auto& r) { r.deltaT = nan; }, "deltaT", "needs the temperature difference"},
        {[](auto& r) { r.deltaT = 0; }, "deltaT", "must be positive"},
        {[](auto& r) { r.heatLoad = -5; }, "heatLoad", "must be positive"},
        {[&](auto& r) { r.heatLoad = nan; r.deltaT = nan; r.volumeFlow = 0; }, "flow", "must be positive"},
        {[&](auto& r) { r.heatLoad = nan; r.deltaT = nan; r.massFlow = INFINITY; }, "flow", "must be positive"},
        {[&](auto& r) { r.length = nan; }, "length", "give the length"},
        {[](auto& r) { r.length = -1; }, "length", "must be positive"},
        {[](auto& r) { r.zeta = -0.5; }, "zeta", "0 or more"},
        {[&](auto& r) { r.zeta = nan; }, "zeta", "0 or more"},
        {[](auto& r) { r.roughness = 0.2; }, "roughness", "not a wall roughness"},
        {[](auto& r) { r.roughness = 0; }, "roughness", "not a wall roughness"},
        {[](auto& r) { r.fittings = {{"球阀", 1}}; }, "fittings", "no fitting '球阀' for steel pipe"},
        {[](auto& r) { r.fittings = {{"弯头", 0}}; }, "fittings", "from 1 to 10000"},
        {[](auto& r) { r.fittings = {{"  ", 1}}; }, "fittings", "no name"},
        {[&](auto& r) { r.fluid = TQFluid::Steam; r.temperature = 150; r.heatLoad = nan; r.deltaT = nan;
                        r.massFlow = 0.1; r.by = TQSelection::Load; }, "by", "not sized by load"},
        {[](auto& r) { r.dn = -3; }, "dn", "no size -3"},
    };
    for (const Case& c : cases) {
        CTQSegmentRequest rq = Branch();
        c.change(rq);
        const auto o = SizeSegment(*Catalog(), rq);
        ASSERT_FALSE(o.Ok()) << c.field << " / " << c.words;
        EXPECT_EQ(o.error.kind, TQDesignErrorKind::Input) << o.error.Text();
        EXPECT_EQ(o.error.field, c.field) << o.error.Text();
        EXPECT_NE(o.error.message.find(c.words), std::string::npos) << o.error.Text();
        if (std::string(c.field) != "dn") {
            EXPECT_FALSE(ListSegmentSizes(*Catalog(), rq).Ok()) << "the table checks the same fields";
        }
    }
}

TEST(SegmentDesign, CatalogGapsAreCatalogErrors)
{
    auto empty = CTQCatalogSnapshot::FromRecords({designtest::Material(9, 1, "空", 0.2)}, {}, {}, {});
    CTQSegmentRequest rq = Branch();
    rq.material = "空";
    auto o = SizeSegment(*empty, rq);
    EXPECT_EQ(o.error.kind, TQDesignErrorKind::Catalog);
    EXPECT_NE(o.error.message.find("has no sizes"), std::string::npos);
    rq.material = "";
    rq.category = 2;
    o = SizeSegment(*empty, rq);
    EXPECT_EQ(o.error.kind, TQDesignErrorKind::Catalog);
    EXPECT_EQ(o.error.field, "category");
}

// One snapshot, several threads sizing at once: each result equals the
// result of the same request sized alone.
TEST(SegmentDesign, ThreadsShareOneSnapshot)
{
    const auto catalog = Catalog();
    std::vector<CTQSegmentRequest> requests;
    for (int i = 0; i < 200; ++i) {
        CTQSegmentRequest rq = Branch();
        rq.heatLoad = 2000.0 + 1500.0 * i;
        rq.by = static_cast<TQSelection>(i % 3);
        rq.fittings = {{"弯头", 1 + i % 4}};
        requests.push_back(rq);
    }
    std::vector<double> alone;
    for (const auto& rq : requests)
        alone.push_back(SizeSegment(*catalog, rq).value.totalLoss);
    std::vector<std::vector<double>> shared(4);
    std::vector<std::thread> threads;
    for (auto& out : shared)
        threads.emplace_back([&] {
            for (int pass = 0; pass < 5; ++pass)
                for (const auto& rq : requests)
                    out.push_back(SizeSegment(*catalog, rq).value.totalLoss);
        });
    for (auto& t : threads)
        t.join();
    for (const auto& out : shared)
        for (std::size_t k = 0; k < out.size(); ++k)
            ASSERT_EQ(out[k], alone[k % alone.size()]);
}
