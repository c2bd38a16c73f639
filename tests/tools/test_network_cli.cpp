// tqrvn network run as a user runs it, under a comma locale: the example
// building, one segment against tqrvn size, faults with status 2 and no
// file written, the schematic and the CSV form.
#include "SizeCliFixture.h"

using sizecli::Outcome;
using sizecli::ReadAll;

namespace {

class NetworkCli : public sizecli::SizeCli {
protected:
    Outcome Network(const std::string& args) {
        return Tqrvn("network --catalog '" + catalog_ + "' " + args);
    }
};

// The number after "key": in compact JSON; NaN when absent.
double Member(const std::string& json, const std::string& key, std::size_t from = 0) {
    const std::string k = "\"" + key + "\":";
    const std::size_t at = json.find(k, from);
    double v = std::nan("");
    if (at != std::string::npos)
        RVN::ParseNumberPrefix(std::string_view(json).substr(at + k.size()), v);
    return v;
}

const char* kHeader = "kind,heating\nsource,S\nsupply,65\ndt,10\nmaterial,焊接钢管\n";

} // namespace

TEST_F(NetworkCli, TheExampleBuildingIsReported) {
    const Outcome r = Network("'" TQRVN_EXAMPLES_DIR "/office-heating.csv'");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Index circuit: source B to "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Pump: flow "), std::string::npos);
    EXPECT_FALSE(sizecli::HasDecimalComma(r.out)) << r.out;
    int radiators = 0;
    for (const std::string& line :
         sizecli::Lines(r.out)) // rows of the terminals: "  A1-1   1600 ..."
        radiators += line.size() > 8 && line[4] == '-' && line[6] == ' ' &&
                     line.find(" 10000 ") != std::string::npos;
    EXPECT_EQ(radiators, 24);
}

TEST_F(NetworkCli, OneSegmentEqualsTqrvnSize) {
    const std::string file =
        Write("one.csv", std::string(kHeader) +
                             "id,from,to,length,fitting,load\nS1,S,T,12.5,弯头=2;闸阀=1,15 kW\n");
    const Outcome net = Network("--json '" + file + "'");
    ASSERT_EQ(net.status, 0) << net.err;
    const Outcome one =
        Size("--load 15 kW --dt 10 --temp 60 --length 25 --fitting 弯头=2 --fitting 闸阀=1 --json");
    ASSERT_EQ(one.status, 0) << one.err;
    const std::size_t results = net.out.find("\"results\":");
    ASSERT_NE(results, std::string::npos);
    EXPECT_EQ(Member(net.out, "dn", results), sizecli::JsonNumber(one.out, "DN"));
    const double total = sizecli::JsonNumber(one.out, "total_loss_Pa");
    EXPECT_NEAR(Member(net.out, "totalLoss", results), total, 1e-9 * total) << one.out;
}

TEST_F(NetworkCli, FaultsExitTwoAndWriteNothing) {
    const std::string loop =
        Write("loop.csv",
              std::string(kHeader) + "id,from,to,length,load\nA,S,N,5,\nB,N,T,5,2 kW\nC,T,N,5,\n");
    const std::string svg = dir_ + "/out.svg";
    Write("out.svg", "old");
    const Outcome r = Network("--svg '" + svg + "' '" + loop + "'");
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.out.empty()) << r.out;
    EXPECT_NE(r.err.find("line 9: segment C"), std::string::npos) << r.err;
    EXPECT_EQ(ReadAll(svg), "old");
    EXPECT_EQ(Network("'" + dir_ + "/missing.csv'").status, 2);
    EXPECT_EQ(Tqrvn("network").status, 2);
    EXPECT_EQ(Network("--margin lots '" + loop + "'").status, 2);
}

TEST_F(NetworkCli, SchematicAndCsvAreWritten) {
    const std::string file =
        Write("two.csv", std::string(kHeader) +
                             "id,from,to,length,load\nM,S,A,10,\nL,A,T1,5,2 kW\nR,A,T2,9,3 kW\n");
    const std::string svg = dir_ + "/net.svg";
    const Outcome r =
        Network("--csv --svg '" + svg + "' --balance-by-size --margin 20 '" + file + "'");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(ReadAll(svg).find("<svg"), std::string::npos);
    EXPECT_NE(r.out.find("margin,20\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("balance,yes\n"), std::string::npos);
    EXPECT_NE(r.out.find(",result_flow_m3h,"), std::string::npos);
    // The written file is a network file again.
    const std::string back = Write("back.csv", r.out);
    const Outcome again = Network("--csv '" + back + "'");
    ASSERT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(again.out, r.out);
}
