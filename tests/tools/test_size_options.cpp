// Every option of "tqrvn size", "duct", "water" and "report", and every batch
// column, changes what the tool prints as the same request sized in process
// says it should: an option the tool ignored would fail here.  Then the exit
// statuses of usage errors and of output that cannot be written.
#include "SizeCliFixture.h"

#include <functional>

using namespace sizecli;

namespace {

class SizeOptions : public SizeCli {
protected:
    void SetUp() override
    {
        SizeCli::SetUp();
        ASSERT_TRUE(RVN::LoadRVNBaseDataBase(catalog_.c_str()));
        const auto loaded = CTQCatalogSnapshot::Load(nullptr);
        ASSERT_TRUE(loaded.Ok()) << loaded.error.Text();
        snapshot_ = loaded.value;
        RVN::CloseRVNBaseDataBase();
    }

    // The base request of the cases: 2 m3/h of water at 20 degC over 10 m.
    static RVN::CTQSegmentRequest Base()
    {
        RVN::CTQSegmentRequest r;
        r.volumeFlow = RVN::UnitSwitch(RVN::VOLUMEV_M3PH, RVN::VOLUMEV_M3PS, 2.0);
        r.length = 10;
        return r;
    }

    RVN::CTQSegmentResult InProcess(const RVN::CTQSegmentRequest& rq)
    {
        const auto o = RVN::SizeSegment(*snapshot_, rq);
        EXPECT_TRUE(o.Ok()) << o.error.Text();
        return o.value;
    }

    CTQCatalogSnapshot::Ptr snapshot_;
};

struct OptionCase {
    const char* args;  // replacing or added to the base "--flow 2 m3/h --length 10"
    std::function<void(RVN::CTQSegmentRequest&)> same;
    const char* key;
    std::function<double(const RVN::CTQSegmentResult&)> value;
};

double Zeta(const RVN::CTQSegmentResult& r) { return r.zeta; }
double Rm(const RVN::CTQSegmentResult& r) { return r.rm; }
double Dn(const RVN::CTQSegmentResult& r) { return r.dn; }
double Density(const RVN::CTQSegmentResult& r) { return r.density; }

}  // namespace

TEST_F(SizeOptions, EveryOptionReachesTheResult)
{
    const std::vector<OptionCase> cases = {
        {"--flow 2 m3/h --length 10 --zeta 2", [](auto& r) { r.zeta = 2; }, "zeta", Zeta},
        {"--flow 2 m3/h --length 10 --roughness 0.5 mm", [](auto& r) { r.roughness = 0.0005; }, "Rm_Pa_m", Rm},
        {"--flow 2 m3/h --length 10 --temp 80", [](auto& r) { r.temperature = 80; }, "density_kg_m3", Density},
        {"--flow 2 m3/h --length 10 --by velocity", [](auto& r) { r.by = RVN::TQSelection::Velocity; }, "DN", Dn},
        {"--flow 2 m3/h --length 10 --by load", [](auto& r) { r.by = RVN::TQSelection::Load; }, "DN", Dn},
        {"--flow 2 m3/h --length 10 --material 铜管", [](auto& r) { r.material = "铜管"; }, "Rm_Pa_m", Rm},
        {"--flow 2 m3/h --length 10 --category ppr", [](auto& r) { r.category = 3; }, "Rm_Pa_m", Rm},
        {"--flow 2 m3/h --length 10 --fitting 闸阀=2", [](auto& r) { r.fittings = {{"闸阀", 2}}; }, "zeta", Zeta},
        {"--flow 2 m3/h --length 10 --dn 50", [](auto& r) { r.dn = 50; }, "Rm_Pa_m", Rm},
        {"--flow 2 m3/h --length 20", [](auto& r) { r.length = 20; }, "friction_loss_Pa",
         [](const auto& r) { return r.frictionLoss; }},
        {"--load 15 kW --dt 10 --length 10",
         [](auto& r) { r.volumeFlow = RVN::kNotGiven; r.heatLoad = 15000; r.deltaT = 10; }, "flow_m3_s",
         [](const auto& r) { return r.volumeFlow; }},
        {"--flow 500 kg/h --length 10 --steam --temp 150",
         [](auto& r) { r.volumeFlow = RVN::kNotGiven; r.massFlow = 500.0 / 3600; r.fluid = RVN::TQFluid::Steam;
                       r.temperature = 150; }, "density_kg_m3", Density},
    };
    const Outcome base = Size("--flow 2 m3/h --length 10 --json");
    ASSERT_EQ(base.status, 0) << base.err;
    for (const OptionCase& c : cases) {
        RVN::CTQSegmentRequest rq = Base();
        c.same(rq);
        const Outcome r = Size(std::string(c.args) + " --json");
        ASSERT_EQ(r.status, 0) << c.args << "\n" << r.err;
        const double expected = c.value(InProcess(rq));
        EXPECT_NEAR(JsonNumber(r.out, c.key), expected, 1e-9 * std::fabs(expected)) << c.args;
        if (std::string(c.args).find("--flow 500 kg/h") == std::string::npos) {
            EXPECT_NE(JsonNumber(r.out, c.key), JsonNumber(base.out, c.key)) << c.args << " changed nothing";
        }
    }
    // The fixed size is checked, and said so.
    EXPECT_NE(Size("--flow 2 m3/h --length 10 --dn 50").out.find("DN50 (given):"), std::string::npos);
}

TEST_F(SizeOptions, TableCsvAndCatalogOptions)
{
    Outcome r = Size("--flow 3 l/s --length 10 --table --json");
    ASSERT_EQ(r.status, 0) << r.err;
    RVN::CTQSegmentRequest rq = Base();
    rq.volumeFlow = 0.003;
    const auto rows = RVN::ListSegmentSizes(*snapshot_, rq);
    ASSERT_TRUE(rows.Ok());
    std::size_t objects = 0;
    for (std::size_t at = r.out.find("\"DN\": "); at != std::string::npos; at = r.out.find("\"DN\": ", at + 1))
        ++objects;
    EXPECT_EQ(objects, rows.value.size()) << "one object per size";
    r = Size("--flow 3 l/s --length 10 --table");
    ASSERT_EQ(r.status, 0);
    for (const auto& row : rows.value)
        EXPECT_NE(r.out.find("\n" + std::to_string(row.dn) + " "), std::string::npos) << row.dn << "\n" << r.out;
    r = Size("--flow 3 l/s --length 10 --csv");
    ASSERT_EQ(Lines(r.out).size(), 2u) << r.out;
    EXPECT_EQ(CsvCells(Lines(r.out)[1]).size(), 15u);
    // --catalog before or after the subcommand, on a catalog whose steel is rougher.
    const std::string rough = dir_ + "/rough.mdb";
    std::filesystem::copy_file(catalog_, rough);
    ASSERT_TRUE(RVN::LoadRVNBaseDataBase(rough.c_str()));
    CTQPipeMatl steel;
    ASSERT_TRUE(CTQPipeMatlManager::GetMatl(steel, "焊接钢管"));
    steel.K = 0.5;
    ASSERT_TRUE(steel.UpdateData(steel.ID, false));
    RVN::CloseRVNBaseDataBase();
    for (const std::string& args : {"size --flow 2 m3/h --length 10 --json --catalog '" + rough + "'",
                                    "--catalog '" + rough + "' size --flow 2 m3/h --length 10 --json"}) {
        r = Tqrvn(args);
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(JsonNumber(r.out, "roughness_m"), 0.0005) << args;
    }
    r = Tqrvn("catalog list materials --catalog '" + rough + "'");
    EXPECT_EQ(r.status, 0) << r.err;
}

TEST_F(SizeOptions, EveryBatchColumnReachesItsRow)
{
    const std::string file = Write("columns.csv",
                                   "id,material,category,flow,load,dt,length,zeta,fitting,temp,by,roughness,steam,dn\n"
                                   "zeta,,,2 m3/h,,,10,2,,,,,,\n"
                                   "temp,,,2 m3/h,,,10,,,80,,,,\n"
                                   "by,,,2 m3/h,,,10,,,,velocity,,,\n"
                                   "roughness,,,2 m3/h,,,10,,,,,0.5 mm,,\n"
                                   "steam,,,500 kg/h,,,10,,,150,,,yes,\n"
                                   "category,,plastic,2 m3/h,,,10,,,,,,,\n"
                                   "material,铜管,,2 m3/h,,,10,,,,,,,\n"
                                   "fitting,,,2 m3/h,,,10,,闸阀=2,,,,,\n"
                                   "dn,,,2 m3/h,,,10,,,,,,,80\n"
                                   "load,,,,15 kW,10,10,,,,,,,\n"
                                   "length,,,2 m3/h,,,30,,,,,,,\n");
    const Outcome r = Size("--json --batch '" + file + "'");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 11u) << r.out;
    const std::vector<std::function<void(RVN::CTQSegmentRequest&)>> same = {
        [](auto& q) { q.zeta = 2; },
        [](auto& q) { q.temperature = 80; },
        [](auto& q) { q.by = RVN::TQSelection::Velocity; },
        [](auto& q) { q.roughness = 0.0005; },
        [](auto& q) { q.volumeFlow = RVN::kNotGiven; q.massFlow = RVN::UnitSwitch(RVN::WEIGHTV_KGPH, RVN::WEIGHTV_KGPS, 500.0);
                      q.temperature = 150; q.fluid = RVN::TQFluid::Steam; },
        [](auto& q) { q.category = 2; },
        [](auto& q) { q.material = "铜管"; },
        [](auto& q) { q.fittings = {{"闸阀", 2}}; },
        [](auto& q) { q.dn = 80; },
        [](auto& q) { q.volumeFlow = RVN::kNotGiven; q.heatLoad = 15000; q.deltaT = 10; },
        [](auto& q) { q.length = 30; },
    };
    for (std::size_t i = 0; i < same.size(); ++i) {
        RVN::CTQSegmentRequest rq = Base();
        same[i](rq);
        const RVN::CTQSegmentResult expected = InProcess(rq);
        EXPECT_EQ(JsonNumber(lines[i], "line"), static_cast<double>(i + 2));
        EXPECT_EQ(JsonNumber(lines[i], "DN"), expected.dn) << lines[i];
        EXPECT_NEAR(JsonNumber(lines[i], "total_loss_Pa"), expected.totalLoss, 1e-9 * expected.totalLoss) << lines[i];
        EXPECT_NEAR(JsonNumber(lines[i], "density_kg_m3"), expected.density, 1e-12) << lines[i];
    }
}

TEST_F(SizeOptions, BatchErrorsNameTheirLinesHeaderIncluded)
{
    Outcome r = Size("--batch '" + Write("h.csv", "# segments\n\nid,flow,diameter\nA,1 m3/h,20\n") + "'");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("h.csv:3: unknown column 'diameter'"), std::string::npos) << r.err;
    r = Size("--batch '" + Write("q.csv", "id,flow,length\nA,1 m3/h,2\nB,\"1 m3/h,2\n") + "'");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("line 3: unterminated quoted field"), std::string::npos) << r.err;
    EXPECT_EQ(Lines(r.out).size(), 2u) << "the rows before it are written";
    // A batch saved as GBK by a spreadsheet program reads the same.
    r = Size("--json --batch '" + Write("gbk.csv", "id,flow,length,fitting\nA,2 m3/h,10,\xD5\xA2\xB7\xA7=2\n") + "'");
    ASSERT_EQ(r.status, 0) << r.err;
    RVN::CTQSegmentRequest rq = Base();
    rq.fittings = {{"闸阀", 2}};
    EXPECT_DOUBLE_EQ(JsonNumber(r.out, "zeta"), InProcess(rq).zeta);
    EXPECT_TRUE(RVN::IsValidUtf8(r.out));
}

TEST_F(SizeOptions, DuctWaterAndReportOptions)
{
    const std::string base = "--flow 3000 m3/h --velocity 6 --circ --json";
    const Outcome a = Duct(base);
    const Outcome rough = Duct(base + " --roughness 1 mm");
    const Outcome fast = Duct("--flow 3000 m3/h --velocity 10 --circ --json");
    ASSERT_EQ(a.status, 0) << a.err;
    EXPECT_EQ(JsonNumber(rough.out, "roughness_m"), 0.001);
    EXPECT_GT(JsonNumber(rough.out, "Rm_Pa_m"), JsonNumber(a.out, "Rm_Pa_m"));
    EXPECT_LT(JsonNumber(fast.out, "diameter_mm"), JsonNumber(a.out, "diameter_mm"));
    EXPECT_EQ(a.out.find("rectangular"), std::string::npos);

    const Outcome w = Tqrvn("water --t 50 --json");
    ASSERT_EQ(w.status, 0);
    EXPECT_EQ(JsonNumber(w.out, "water_density_kg_m3"), RVN::GetWaterMD(50));
    EXPECT_EQ(JsonNumber(w.out, "air_density_kg_m3"), RVN::GetDensity(50, 0.5, 101325));
    const Outcome report = Tqrvn("report --json");
    ASSERT_EQ(report.status, 0);
    const std::size_t at = report.out.find("\"t_degC\": 30");
    ASSERT_NE(at, std::string::npos);
    EXPECT_EQ(JsonNumber(report.out.substr(at), "air_density_kg_m3"), RVN::GetDensity(30, 0.5, 101325));
}

TEST_F(SizeOptions, UsageErrorsExitTwoAndUnwritableOutputExitsOne)
{
    for (const char* args : {"size --nosuch", "friction --re", "friction --eps 0.1", "bogus", "catalog",
                             "friction --re -5 --eps 0.001", "friction --re 1e5 --eps 2", "water --t 150",
                             "water --t abc", "convert 1 MPa kW"}) {
        const Outcome r = Tqrvn(args);
        EXPECT_EQ(r.status, 2) << args << "\n" << r.err;
        EXPECT_TRUE(r.out.empty()) << args;
    }
    EXPECT_EQ(Tqrvn("size --help").status, 0);
    EXPECT_EQ(Tqrvn("convert 1 MPa bar").out, "10\n");
    EXPECT_EQ(Tqrvn("convert 60 l/min l/s").out, "1\n");
    for (const std::string& args :
         {"size --catalog '" + catalog_ + "' --flow 2 m3/h --length 10", std::string("report"),
          "size --catalog '" + catalog_ + "' --batch '" + Write("b.csv", "flow,length\n1 m3/h,2\n") + "'"}) {
        const Outcome r = Tqrvn(args + " > /dev/full");
        EXPECT_EQ(r.status, 1) << args;
        EXPECT_NE(r.err.find("cannot write"), std::string::npos) << args << "\n" << r.err;
    }
}

TEST_F(SizeOptions, JsonIsValidUtf8WhateverTheCatalogHolds)
{
    ASSERT_TRUE(RVN::LoadRVNBaseDataBase(catalog_.c_str()));
    CTQPipeMatl odd;
    ASSERT_TRUE(CTQPipeMatlManager::GetMatl(odd, "焊接钢管"));
    odd.Name = "gbk \xBA\xB8\xBD\xD3";  // 焊接 in GBK bytes, left by another program
    ASSERT_TRUE(odd.UpdateData(odd.ID, false));
    RVN::CloseRVNBaseDataBase();
    const Outcome r = Size("--flow 2 m3/h --length 10 --json");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(RVN::IsValidUtf8(r.out)) << r.out;
    EXPECT_NE(r.out.find("gbk \xEF\xBF\xBD"), std::string::npos) << r.out;
}
