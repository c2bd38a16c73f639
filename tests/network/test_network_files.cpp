// Network files: the CSV and JSON forms read the same network, a network
// written and read back is unchanged, numbers are written the same in any
// locale, and the schematic is drawn.
#include "NetworkFixture.h"

#include <clocale>
#include <cmath>
#include <fstream>

using namespace RVN;
using networktest::Computed;
using networktest::FromCsv;
using networktest::FromJson;

namespace {

const std::string kCsv = "# an office floor\n"
                         "kind,heating\nsource,B\nsupply,75 degC\ndt,20 K\nmaterial,钢管\n"
                         "plant,5 kPa\nmargin,12\nlimit,10\n"
                         "id,from,to,length,fitting,zeta,dn,rise,load,unit,unitdp\n"
                         "M,B,A,12 m,弯头=2;闸阀=1,,,,,,\n"
                         "R1,A,T1,4,弯头=2,1.5,,3,1.8 kW,radiator,\n"
                         "R2,A,C,8,,,25,,,,\n"
                         "R3,C,T2,3.5,,,,3,1500,fixed,8 kPa\n"
                         "R4,C,T3,\"6\",弯头=1,,,,2.2 kW,fancoil,\n";

const std::string kJson = R"({
  "kind": "heating", "source": "B", "supply": 75, "dt": "20 K", "material": "钢管",
  "plant": 5000, "margin": 12, "limit": 10,
  "segments": [
    {"id": "M", "from": "B", "to": "A", "length": "12 m", "fittings": {"弯头": 2, "闸阀": 1}},
    {"id": "R1", "from": "A", "to": "T1", "length": 4, "fittings": "弯头=2", "zeta": 1.5, "rise": 3},
    {"id": "R2", "from": "A", "to": "C", "length": 8, "dn": 25},
    {"id": "R3", "from": "C", "to": "T2", "length": 3.5, "rise": 3},
    {"id": "R4", "from": "C", "to": "T3", "length": 6, "fittings": {"弯头": 1}}
  ],
  "terminals": [
    {"node": "T1", "load": "1.8 kW", "unit": "radiator"},
    {"node": "T2", "load": 1500, "unit": "fixed", "unitdp": "8 kPa"},
    {"node": "T3", "load": 2200, "unit": "fancoil", "unitdp": null}
  ]
})";

void ExpectSameNetwork(const CTQNetwork& a, const CTQNetwork& b) {
    const CTQNetworkSettings &x = a.settings, &y = b.settings;
    EXPECT_EQ(x.kind, y.kind);
    EXPECT_EQ(x.source, y.source);
    EXPECT_EQ(x.supplyTemperature, y.supplyTemperature);
    EXPECT_EQ(x.deltaT, y.deltaT);
    EXPECT_EQ(x.material, y.material);
    EXPECT_EQ(x.by, y.by);
    EXPECT_EQ(x.targetRm, y.targetRm);
    EXPECT_EQ(x.plantLoss, y.plantLoss);
    EXPECT_EQ(x.margin, y.margin);
    EXPECT_EQ(x.imbalanceLimit, y.imbalanceLimit);
    EXPECT_EQ(x.balanceBySize, y.balanceBySize);
    ASSERT_EQ(a.segments.size(), b.segments.size());
    for (std::size_t i = 0; i < a.segments.size(); ++i) {
        const CTQNetworkSegment &s = a.segments[i], &t = b.segments[i];
        EXPECT_EQ(s.id, t.id);
        EXPECT_EQ(s.from, t.from);
        EXPECT_EQ(s.to, t.to);
        EXPECT_EQ(s.length, t.length) << s.id;
        EXPECT_EQ(s.material, t.material);
        ASSERT_EQ(s.fittings.size(), t.fittings.size()) << s.id;
        for (std::size_t k = 0; k < s.fittings.size(); ++k) {
            EXPECT_EQ(s.fittings[k].name, t.fittings[k].name);
            EXPECT_EQ(s.fittings[k].count, t.fittings[k].count);
        }
        EXPECT_EQ(s.zeta, t.zeta) << s.id;
        EXPECT_EQ(s.dn, t.dn) << s.id;
        EXPECT_EQ(s.rise, t.rise) << s.id;
        EXPECT_EQ(std::isnan(s.roughness), std::isnan(t.roughness));
    }
    ASSERT_EQ(a.terminals.size(), b.terminals.size());
    for (std::size_t i = 0; i < a.terminals.size(); ++i) {
        const CTQNetworkTerminal &s = a.terminals[i], &t = b.terminals[i];
        EXPECT_EQ(s.node, t.node);
        EXPECT_EQ(s.heatLoad, t.heatLoad) << s.node;
        EXPECT_EQ(std::isnan(s.volumeFlow), std::isnan(t.volumeFlow));
        EXPECT_EQ(s.unit, t.unit);
        EXPECT_EQ(std::isnan(s.unitLoss), std::isnan(t.unitLoss));
        if (!std::isnan(s.unitLoss)) {
            EXPECT_EQ(s.unitLoss, t.unitLoss);
        }
    }
}

CTQNetwork Read(const std::string& text, bool json) {
    const auto o = json ? FromJson(text) : FromCsv(text);
    EXPECT_TRUE(o.Ok()) << (o.errors.empty() ? "" : o.errors[0].Text());
    return o.value;
}

} // namespace

TEST(NetworkFiles, CsvAndJsonReadTheSameNetwork) {
    const CTQNetwork csv = Read(kCsv, false), json = Read(kJson, true);
    ExpectSameNetwork(csv, json);
    EXPECT_EQ(csv.segments[0].length, 12);
    EXPECT_EQ(csv.terminals[1].unitLoss, 8000);
    EXPECT_EQ(csv.terminals[0].heatLoad, 1800);
    EXPECT_EQ(csv.segments[1].line, 12); // after a comment, 8 settings and the header
    const CTQNetworkResult a = Computed(csv), b = Computed(json);
    ASSERT_EQ(a.segments.size(), b.segments.size());
    for (std::size_t i = 0; i < a.segments.size(); ++i) {
        EXPECT_EQ(a.segments[i].size.dn, b.segments[i].size.dn);
        EXPECT_EQ(a.segments[i].size.totalLoss, b.segments[i].size.totalLoss);
    }
    EXPECT_EQ(a.pumpHead, b.pumpHead);
    EXPECT_EQ(a.indexTerminal, b.indexTerminal);
}

TEST(NetworkFiles, WrittenAndReadBackUnchanged) {
    const CTQNetwork net = Read(kCsv, false);
    const CTQNetworkResult r = Computed(net);
    for (bool json : {false, true}) {
        for (const CTQNetworkResult* with : {static_cast<const CTQNetworkResult*>(nullptr), &r}) {
            const std::string text = json ? NetworkJson(net, with) : NetworkCsv(net, with);
            const CTQNetwork back = Read(text, json);
            ExpectSameNetwork(net, back);
            // And written again, the same text.
            EXPECT_EQ(json ? NetworkJson(back, with) : NetworkCsv(back, with), text);
        }
    }
}

TEST(NetworkFiles, WrittenResultsAreTheComputedOnes) {
    const CTQNetwork net = Read(kCsv, false);
    const CTQNetworkResult r = Computed(net);
    const std::string csv = NetworkCsv(net, &r);
    // The R2 row: a fixed DN25, its total loss written exactly.
    const std::string row = "R2,A,C,8,,,,25,,,,,,,";
    const std::size_t at = csv.find(row);
    ASSERT_NE(at, std::string::npos) << csv;
    const std::string line = csv.substr(at, csv.find('\n', at) - at);
    EXPECT_NE(line.find("," + FormatNumber(r.segments[2].size.totalLoss) + ","), std::string::npos)
        << line;
    const std::string json = NetworkJson(net, &r);
    EXPECT_NE(json.find("\"pumpHead\":" + FormatNumber(r.pumpHead)), std::string::npos);
    EXPECT_NE(json.find("\"indexPath\":[\"M\",\"R2\""), std::string::npos);
}

TEST(NetworkFiles, NumbersAreWrittenTheSameUnderACommaLocale) {
    const CTQNetwork net = Read(kCsv, false);
    const CTQNetworkResult r = Computed(net);
    const std::string csv = NetworkCsv(net, &r), json = NetworkJson(net, &r),
                      text = NetworkReportText(r);
    const char* before = std::setlocale(LC_ALL, nullptr);
    const std::string saved = before ? before : "C";
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr)
        GTEST_SKIP() << "no de_DE.UTF-8 locale";
    const CTQNetwork again = Read(kCsv, false);
    const CTQNetworkResult r2 = Computed(again);
    EXPECT_EQ(NetworkCsv(again, &r2), csv);
    EXPECT_EQ(NetworkJson(again, &r2), json);
    EXPECT_EQ(NetworkReportText(r2), text);
    std::setlocale(LC_ALL, saved.c_str());
    EXPECT_NE(text.find("supply 75 degC"), std::string::npos);
    EXPECT_NE(csv.find("supply,75 degC"), std::string::npos);
}

TEST(NetworkFiles, ReportNamesTheIndexCircuitAndPump) {
    const CTQNetworkResult r = Computed(Read(kCsv, false));
    const std::string text = NetworkReportText(r);
    const std::string end = r.terminals[r.indexTerminal].node;
    EXPECT_NE(text.find("Index circuit: source B to " + end), std::string::npos) << text;
    EXPECT_NE(text.find("head " + FormatSignificant(r.pumpHead / 1000, 4) + " kPa"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("plant 5 kPa"), std::string::npos);
}

TEST(NetworkFiles, SchematicShowsSizesFlowsAndTheIndexCircuit) {
    const CTQNetworkResult r = Computed(Read(kCsv, false));
    const std::string dot = NetworkDot(r);
    EXPECT_NE(dot.find("\"B\" -> \"A\" [label=\"M\\nDN"), std::string::npos) << dot;
    // The index circuit in red, the other branch not.
    const std::size_t r2 = dot.find("\"A\" -> \"C\"");
    const std::size_t r1 = dot.find("\"A\" -> \"T1\"");
    ASSERT_NE(r2, std::string::npos);
    ASSERT_NE(r1, std::string::npos);
    EXPECT_NE(dot.substr(r2, dot.find('\n', r2) - r2).find("#d7191c"), std::string::npos);
    EXPECT_EQ(dot.substr(r1, dot.find('\n', r1) - r1).find("#d7191c"), std::string::npos);
    std::string svg, error;
    ASSERT_TRUE(RenderNetworkSvg(r, svg, error)) << error;
    EXPECT_NE(svg.find("<svg"), std::string::npos);
    EXPECT_NE(svg.find("R4"), std::string::npos);
    EXPECT_NE(svg.find("</svg>"), std::string::npos);
}

TEST(NetworkFiles, FilesAreReadByTheirEnding) {
    const std::string dir = ::testing::TempDir();
    const CTQNetwork net = Read(kCsv, false);
    {
        std::ofstream(dir + "/net.json", std::ios::binary) << NetworkJson(net);
        std::ofstream(dir + "/net.csv", std::ios::binary) << NetworkCsv(net);
    }
    for (const char* name : {"/net.json", "/net.csv"}) {
        const auto o = ReadNetworkFile(dir + name);
        ASSERT_TRUE(o.Ok()) << name << ": " << o.errors[0].Text();
        ExpectSameNetwork(net, o.value);
    }
    const auto missing = ReadNetworkFile(dir + "/none.csv");
    ASSERT_EQ(missing.errors.size(), 1u);
    EXPECT_NE(missing.errors[0].Text().find("cannot read " + dir + "/none.csv"), std::string::npos);
}

TEST(NetworkFiles, WaterSupplyOutletsTakeFlowsInTheirUnits) {
    const CTQNetwork net = Read("kind,water\nsource,W\ntemp,10\nmaterial,钢管\n"
                                "id,from,to,length,rise,flow,unit,unitdp\n"
                                "M,W,A,10,,,,\n"
                                "K,A,T1,4,,0.2 l/s,fixed,50 kPa\n"
                                "U,A,T2,4,6,0.72 m3/h,fixed,50 kPa\n",
                                false);
    EXPECT_EQ(net.settings.kind, TQNetworkKind::WaterSupply);
    EXPECT_DOUBLE_EQ(net.terminals[0].volumeFlow, 0.2e-3);
    // m3/h by the unit table of RVN::UnitSwitch, within 1e-5 of 1/3600 m3/s.
    EXPECT_NEAR(net.terminals[1].volumeFlow, 0.72 / 3600, 1e-5 * 0.72 / 3600);
    const CTQNetworkResult r = Computed(net);
    EXPECT_NEAR(r.segments[0].volumeFlow, 0.2e-3 + net.terminals[1].volumeFlow, 1e-15);
    EXPECT_TRUE(std::isnan(r.segments[0].heatLoad));
    EXPECT_TRUE(r.terminals[1].index); // 6 m up
    EXPECT_NE(NetworkReportText(r).find("Water-supply network, water at 10 degC"),
              std::string::npos);
}
