// "tqrvn size" and "tqrvn duct" end to end, as a user runs them under a
// comma locale, against a catalog built from the seed data.  The results are
// checked against the library's own formulas evaluated here, which catches
// unit slips (mm, 1e-6 m2/s, K in mm) and a segment of the wrong kind.
#include "SizeCliFixture.h"

#include <algorithm>

using namespace sizecli;

namespace {

// The heating branch of the README: 15 kW at dt 10 K, 60 degC, 25 m, two
// elbows and a gate valve, on welded steel pipe.
const char* const kBranch =
    "--load 15 kW --dt 10 --temp 60 --length 25 --fitting 弯头=2 --fitting 闸阀=1";

TEST_F(SizeCli, HeatingBranchMatchesTheFormulas) {
    const Outcome text = Size(kBranch);
    ASSERT_EQ(text.status, 0) << text.err;
    EXPECT_NE(text.out.find("DN32: fits its Rm range 60 to 120 Pa/m"), std::string::npos)
        << text.out;
    for (const char* line :
         {"inner diameter      35.4 mm", "velocity            0.3702 m/s",
          "Rm                  65.51 Pa/m", "zeta                3.5 = 弯头 2 x 1.5 + 闸阀 1 x 0.5",
          "total loss          1873 Pa"}) {
        EXPECT_NE(text.out.find(line), std::string::npos) << line << "\n" << text.out;
    }
    EXPECT_FALSE(HasDecimalComma(text.out)) << text.out;

    const Outcome json = Size(std::string(kBranch) + " --json");
    ASSERT_EQ(json.status, 0) << json.err;
    const std::string& j = json.out;
    const double rho = RVN::GetWaterMD(60), nu = RVN::GetWaterND(60);
    const double flux = RVN::GetWaterFlux(15000, 10) / rho;
    EXPECT_DOUBLE_EQ(JsonNumber(j, "flow_m3_s"), flux);
    EXPECT_DOUBLE_EQ(JsonNumber(j, "density_kg_m3"), rho);
    EXPECT_DOUBLE_EQ(JsonNumber(j, "roughness_m"), 0.2e-3); // the material's K of 0.2 mm
    EXPECT_EQ(JsonNumber(j, "DN"), 32);
    const double d = 35.4 * 0.001, v = flux / RVN::GetArea_CIRC(d);
    EXPECT_DOUBLE_EQ(JsonNumber(j, "velocity_m_s"), v);
    const double rm = RVN::Rm_Circle(RVN::GetLmd(RVN::Re(d, v, nu * 1e-6), 0.2e-3 / d), d, v, rho);
    EXPECT_NEAR(JsonNumber(j, "Rm_Pa_m"), rm, 1e-9 * rm);
    EXPECT_NEAR(JsonNumber(j, "friction_loss_Pa"), 25 * rm, 1e-9 * rm);
    EXPECT_DOUBLE_EQ(JsonNumber(j, "zeta"), 3.5); // elbow 1.5 and gate valve 0.5 at DN32
    EXPECT_NEAR(JsonNumber(j, "local_loss_Pa"), 3.5 * rho * v * v / 2, 1e-9);
    EXPECT_NEAR(JsonNumber(j, "total_loss_Pa"),
                JsonNumber(j, "friction_loss_Pa") + JsonNumber(j, "local_loss_Pa"), 1e-9);
    EXPECT_NE(j.find("\"fits\": true"), std::string::npos) << j;
    EXPECT_NE(j.find("\"count\": 2"), std::string::npos) << j;
}

TEST_F(SizeCli, SelectsByVelocityLoadOrNearest) {
    // The load ranges of the catalog hold for 20 K: 15 kW at 10 K moves the
    // water of 30 kW at 20 K, which DN25 takes (29410 to 58821 W); DN20
    // (12831 to 29839 W) would take the unscaled 15 kW.
    Outcome r = Size("--load 15000 W --dt 10 --temp 60 --length 3 --by load --json");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(JsonNumber(r.out, "DN"), 25);
    ASSERT_NE(r.out.find("\"range\""), std::string::npos) << r.out;
    const std::string loadRange = r.out.substr(r.out.find("\"range\""));
    EXPECT_EQ(JsonNumber(loadRange, "min"), 29410) << r.out;
    EXPECT_EQ(JsonNumber(loadRange, "value"), 30000) << r.out;
    EXPECT_EQ(JsonNumber(loadRange, "dt_K"), 20) << r.out;

    r = Size("--flow 5 m3/h --length 3 --by velocity --json");
    ASSERT_EQ(r.status, 0) << r.err;
    const double v = JsonNumber(r.out, "velocity_m_s");
    const std::size_t range = r.out.find("\"range\"");
    ASSERT_NE(range, std::string::npos);
    EXPECT_GE(v, JsonNumber(r.out.substr(range), "min"));
    EXPECT_LE(v, JsonNumber(r.out.substr(range), "max"));

    // Far beyond the largest size: the nearest one, said so, not an error.
    r = Size("--flow 5000 m3/h --length 3");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("DN600: nearest size only"), std::string::npos) << r.out;

    // A mass flow of water is divided by its density.
    r = Size("--flow 1000 kg/h --length 3 --json");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_DOUBLE_EQ(JsonNumber(r.out, "flow_m3_s"),
                     RVN::UnitSwitch(RVN::WEIGHTV_KGPH, RVN::WEIGHTV_KGPS, 1000.0) /
                         RVN::GetWaterMD(20));
}

TEST_F(SizeCli, EachMaterialKindUsesItsOwnFrictionMethod) {
    // PPR: the gradient formula; its fittings are the plastic ones, read at dn.
    Outcome r = Size("--material 'PP-R管 S3.2' --flow 1 m3/h --length 3 --fitting 弯头 --json");
    ASSERT_EQ(r.status, 0) << r.err;
    double d = JsonNumber(r.out, "inner_diameter_mm") * 0.001;
    const double flux = RVN::UnitSwitch(RVN::VOLUMEV_M3PH, RVN::VOLUMEV_M3PS, 1.0);
    EXPECT_NEAR(JsonNumber(r.out, "Rm_Pa_m"), RVN::GetPPR_i(d, flux, true), 1e-9);
    CTQPipeValve elbow;
    elbow.Type = 2;
    ASSERT_TRUE(RVN::LoadRVNBaseDataBase(catalog_.c_str()));
    ASSERT_TRUE(CTQPipeValveManager::GetValve(elbow, "弯头"));
    EXPECT_DOUBLE_EQ(JsonNumber(r.out, "zeta"),
                     elbow.GetValue(static_cast<int>(JsonNumber(r.out, "DN"))));

    // Plastic: the plastic record's method on the chosen size.
    r = Size("--category plastic --flow 1 m3/h --length 3 --json");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("PE100给水管 SDR11"), std::string::npos) << r.out;
    CTQRVNPlasticData plastic;
    plastic.DN = static_cast<int>(JsonNumber(r.out, "DN"));
    plastic.Diameter = JsonNumber(r.out, "inner_diameter_mm");
    plastic.ThickNess = JsonNumber(r.out, "thickness_mm");
    plastic.Flux = flux;
    ASSERT_TRUE(plastic.CalAllData(0.01e-3, RVN::GetWaterMD(20), RVN::GetWaterND(20)));
    EXPECT_DOUBLE_EQ(JsonNumber(r.out, "Rm_Pa_m"), plastic.Rm);

    // Steam: the catalog's saturated row at 150 degC and the steam formula.
    CTQSteamProp row;
    ASSERT_GT(RVN::GetSteamProp(row, 150), 0);
    RVN::CloseRVNBaseDataBase();
    r = Size("--steam --temp 150 --flow 500 kg/h --length 30 --json");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("\"fluid\": \"steam\""), std::string::npos);
    EXPECT_DOUBLE_EQ(JsonNumber(r.out, "density_kg_m3"), row.Density);
    d = JsonNumber(r.out, "inner_diameter_mm") * 0.001;
    const double tph = RVN::UnitSwitch(RVN::WEIGHTV_KGPH, RVN::WEIGHTV_KGPS, 500.0) * 3.6;
    const double rm = RVN::GetSteam_Rm(tph, d, row.Density, 0.2e-3);
    EXPECT_NEAR(JsonNumber(r.out, "Rm_Pa_m"), rm, 1e-9 * rm);
}

TEST_F(SizeCli, BadInputIsAnErrorWithStatusTwo) {
    const struct {
        const char* args;
        const char* message;
    } cases[] = {
        {"--flow -1 m3/h --length 3", "must be positive"},
        {"--flow 0 l/s --length 3", "must be positive"},
        {"--flow 1 --length 3", "needs a unit"},
        {"--flow 1 parsec --length 3", "'parsec' is not a unit of volume flow or mass flow"},
        {"--flow 1,5 m3/h --length 3", "decimal point as '.'"},
        {"--flow 1 m3/h", "length of the segment"},
        {"--flow 1 m3/h --length 0", "length: '0' must be positive"},
        {"--flow 1 m3/h --length -2 m", "must be positive"},
        {"--flow 1 m3/h --length 3 --temp 120", "outside the water data (0 to 100 degC)"},
        {"--flow 1 m3/h --length 3 --temp -5", "outside the water data"},
        {"--steam --flow 500 kg/h --length 3 --temp 150.5", "no saturated-steam row at 150.5 degC"},
        {"--steam --flow 500 kg/h --length 3 --temp 350", "rows go from 100 to 300 degC"},
        {"--steam --flow 500 kg/h --length 3", "saturation temperature"},
        {"--steam --temp 150 --load 15 kW --dt 10 --length 3", "mass flow"},
        {"--steam --temp 150 --flow 500 kg/h --length 3 --category ppr", "water-pipe"},
        {"--flow 1 m3/h --length 3 --material nosuch", "no material 'nosuch'"},
        {"--flow 1 m3/h --length 3 --material 'PP-R管 S3.2' --category water",
         "not of category water"},
        {"--flow 1 m3/h --length 3 --fitting nosuch=2", "no fitting 'nosuch'"},
        {"--flow 1 m3/h --length 3 --fitting 弯头=0", "whole number from 1"},
        {"--flow 1 m3/h --load 5 kW --dt 10 --length 3", "not several"},
        {"--load 5 kW --length 3", "dt: a heat load needs the temperature difference"},
        {"--load 15000 --dt 10 --length 3", "load: '15000' needs a unit"},
        {"--load 5 kW --dt 0 --length 3", "temperature difference 0 K must be positive"},
        {"--flow 1 m3/h --dt 10 --length 3", "goes with a heat load only"},
        {"--flow 1 m3/h --length 3 --by diameter", "not rm, velocity or load"},
        {"--flow 1 m3/h --length 3 --zeta -1", "0 or more"},
        {"--flow 1 m3/h --length 3 --dn 33", "has no size 33"},
        {"--flow 1 m3/h --length 3 --dn big", "not a nominal diameter"},
        {"--flow 1 m3/h --length 3 --roughness 0.2", "e.g. 0.2 mm is 0.0002 m"},
        {"--flow 1 m3/h --length 3 --roughness 0", "not a wall roughness"},
        {"--flow 1 m3/h --length 3 --fitting 33", "no fitting '33'"}, // a plastic elbow's ID
        {"--length 3", "give a flow"},
    };
    for (const auto& c : cases) {
        const Outcome r = Size(c.args);
        EXPECT_EQ(r.status, 2) << c.args;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << c.args << "\n" << r.err;
        EXPECT_TRUE(r.out.empty()) << c.args << "\n" << r.out;
    }
    EXPECT_EQ(Tqrvn("size --catalog '" + dir_ + "/absent.mdb' --flow 1 m3/h --length 3").status, 1);
    // A unit given with the value also works: 0.2 mm of roughness, 30 ft of length.
    const Outcome r = Size("--flow 1 m3/h --length 30 ft --roughness 0.2 mm --json");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_DOUBLE_EQ(JsonNumber(r.out, "length_m"),
                     RVN::UnitSwitch(RVN::LENGTH_FT, RVN::LENGTH_M, 30.0));
}

TEST_F(SizeCli, BatchRunsEveryGoodRowInOrderAndReportsTheBadOnes) {
    const std::string file = Write("segments.csv", "# heating branches\n"
                                                   "id,flow,load,dt,length,fitting,material\n"
                                                   "\"A,1\",,15 kW,10,25,弯头=2;闸阀=1,\n"
                                                   "B,-1 m3/h,,,12,,\n"
                                                   "\n"
                                                   "C,1 m3/h,,,5,\"弯头,闸阀\",PP-R管 S3.2\n"
                                                   "D,1 m3/h,,,5,,nosuch\n"
                                                   "E,1 m3/h,,,5,,,extra\n"
                                                   "F,5000 m3/h,,,5,,\n");
    // --temp on the command line fills the rows' missing temperature.
    const Outcome r = Size("--temp 60 --batch '" + file + "'");
    EXPECT_EQ(r.status, 2);
    const std::vector<std::string> lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 7u) << r.out;
    EXPECT_EQ(lines[0].rfind("line,id,status,material,DN,", 0), 0u) << lines[0];
    const std::vector<std::vector<std::string>> expected = {
        {"3", "A,1", "ok"},  {"4", "B", "error"}, {"6", "C", "ok"},
        {"7", "D", "error"}, {"8", "E", "error"}, {"9", "F", "ok"}};
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const std::vector<std::string> cells = CsvCells(lines[i + 1]);
        ASSERT_EQ(cells.size(), 15u) << lines[i + 1];
        EXPECT_EQ(cells[0], expected[i][0]);
        EXPECT_EQ(cells[1], expected[i][1]);
        EXPECT_EQ(cells[2], expected[i][2]) << lines[i + 1];
        if (expected[i][2] == "error") {
            EXPECT_FALSE(cells[14].empty()) << lines[i + 1];
        }
    }
    EXPECT_EQ(CsvCells(lines[6])[13], "nearest");
    // The batch row gives what the single command gives.
    const Outcome single = Size(std::string(kBranch) + " --json");
    const std::vector<std::string> a = CsvCells(lines[1]);
    EXPECT_EQ(a[4], "32");
    EXPECT_DOUBLE_EQ(std::stod(a[12]), JsonNumber(single.out, "total_loss_Pa"));
    // Each bad row once on standard error, with its line number.
    EXPECT_NE(r.err.find("segments.csv:4: flow: '-1 m3/h' must be positive"), std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("segments.csv:7: material: no material 'nosuch'"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("segments.csv:8: 8 fields, the header has 7"), std::string::npos) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 3) << r.err;

    // JSON lines: one object per segment.
    const Outcome j = Size("--temp 60 --json --batch '" + file + "'");
    const std::vector<std::string> objects = Lines(j.out);
    ASSERT_EQ(objects.size(), 6u) << j.out;
    EXPECT_EQ(JsonNumber(objects[0], "line"), 3);
    EXPECT_EQ(JsonNumber(objects[0], "DN"), 32);
    EXPECT_NE(
        objects[1].find("\"status\": \"error\", \"error\": \"flow: '-1 m3/h' must be positive\""),
        std::string::npos)
        << objects[1];
    EXPECT_FALSE(HasDecimalComma(j.out)) << j.out;
}

TEST_F(SizeCli, BatchFileProblemsStopBeforeAnyRow) {
    EXPECT_EQ(Size("--batch '" + dir_ + "/absent.csv'").status, 2);
    Outcome r = Size("--batch '" + Write("cols.csv", "id,flow,diameter\nA,1 m3/h,20\n") + "'");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("unknown column 'diameter'"), std::string::npos) << r.err;
    EXPECT_TRUE(r.out.empty()) << r.out;
    r = Size("--batch '" + Write("twice.csv", "flow,length,Flow\n") + "'");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("twice"), std::string::npos) << r.err;
    r = Size("--batch '" + Write("empty.csv", "# nothing\n\n") + "'");
    EXPECT_EQ(r.status, 2);
    // A header alone is an empty batch; from standard input too.
    r = Tqrvn("size --catalog '" + catalog_ + "' --batch - < '" +
              Write("h.csv", "flow,length\n1 m3/h,2\n") + "'");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Lines(r.out).size(), 2u) << r.out;
    EXPECT_TRUE(r.err.empty()) << r.err; // no progress bar into a file
}

TEST_F(SizeCli, DuctNearestTheTargetVelocity) {
    const Outcome r = Duct("--flow 3000 m3/h --velocity 6 --json");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::size_t circ = r.out.find("\"circular\""), rect = r.out.find("\"rectangular\"");
    ASSERT_NE(circ, std::string::npos) << r.out;
    ASSERT_NE(rect, std::string::npos) << r.out;
    const std::string c = r.out.substr(circ, rect - circ);
    const double flux = RVN::UnitSwitch(RVN::VOLUMEV_M3PH, RVN::VOLUMEV_M3PS, 3000.0);
    // 400 mm gives 6.63 m/s; 360 mm would give 8.2 and 450 mm 5.2.
    EXPECT_EQ(JsonNumber(c, "diameter_mm"), 400);
    const double d = 0.4, v = flux / RVN::GetArea_CIRC(d);
    EXPECT_DOUBLE_EQ(JsonNumber(c, "velocity_m_s"), v);
    const double rho = RVN::GetDensity(20, 0.5, 101325);
    EXPECT_DOUBLE_EQ(JsonNumber(r.out, "density_kg_m3"), rho);
    const double lambda = JsonNumber(c, "lambda");
    EXPECT_GT(lambda, 0.01); // a real friction factor, not the -1 of a formula out of range
    EXPECT_LT(lambda, 0.05);
    EXPECT_NEAR(JsonNumber(c, "Rm_Pa_m"), lambda / d * rho * v * v / 2, 1e-12);
    EXPECT_NEAR(JsonNumber(c, "dynamic_pressure_Pa"), rho * v * v / 2, 1e-12);
    const std::string rc = r.out.substr(rect);
    const double a = JsonNumber(rc, "width_mm") * 0.001, b = JsonNumber(rc, "height_mm") * 0.001;
    EXPECT_NEAR(JsonNumber(rc, "velocity_m_s"), flux / (a * b), 1e-12);
    EXPECT_NEAR(JsonNumber(rc, "velocity_m_s"), 6, 1.0);

    const Outcome text = Duct("--flow 3000 m3/h --velocity 6 --rect");
    EXPECT_EQ(text.status, 0);
    EXPECT_EQ(text.out.find("circular"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("rectangular duct"), std::string::npos) << text.out;
    EXPECT_EQ(Duct("--flow 3000 m3/h --velocity 0").status, 2);
    EXPECT_EQ(Duct("--flow 3000 --velocity 6").status, 2);
    EXPECT_EQ(Duct("--velocity 6").status, 2);
}

} // namespace
