// Faults of a network file: each is an error that names its line and the
// segment or node at fault, and no result is given.
#include "NetworkFixture.h"

using namespace RVN;
using networktest::FromCsv;
using networktest::FromJson;

namespace {

const std::string kSettings = "kind,heating\nsource,S\nsupply,70\ndt,20\nmaterial,钢管\n";
// Header on line 6, M on line 7, L on 8, R on 9.
const std::string kGood = kSettings + "id,from,to,length,fitting,load\n"
                                      "M,S,A,10,,\n"
                                      "L,A,T1,5,弯头=2,2 kW\n"
                                      "R,A,T2,5,,2 kW\n";

// Every error text of reading and then computing the network.
std::vector<std::string> Errors(const std::string& csv) {
    std::vector<std::string> out;
    const auto read = FromCsv(csv);
    for (const CTQNetworkError& e : read.errors)
        out.push_back(e.Text());
    if (!read.Ok())
        return out;
    const auto done = ComputeNetwork(*designtest::Catalog(), read.value);
    for (const CTQNetworkError& e : done.errors)
        out.push_back(e.Text());
    if (!done.Ok()) {
        EXPECT_TRUE(done.value.segments.empty());
    }
    return out;
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    return text.replace(at, from.size(), to);
}

// The one error expected, holding each of the parts.
void ExpectError(const std::string& csv, std::initializer_list<const char*> parts) {
    const std::vector<std::string> errors = Errors(csv);
    ASSERT_FALSE(errors.empty()) << "no error for:\n" << csv;
    for (const char* part : parts)
        EXPECT_NE(errors[0].find(part), std::string::npos)
            << "'" << part << "' not in: " << errors[0];
}

} // namespace

TEST(NetworkErrors, TheGoodNetworkHasNone) {
    EXPECT_TRUE(Errors(kGood).empty());
}

TEST(NetworkErrors, LoopsNameASegmentInThem) {
    // A second feed into A closes a loop S-A-T2-A.
    ExpectError(kGood + "X,T2,A,3,,\n", {"line 10", "segment X", "fed by segment M", "loop"});
    // A ring that never reaches the source.
    ExpectError(kGood + "P,C1,C2,3,,\nQ,C2,C1,3,,\n", {"loop", "segment "});
}

TEST(NetworkErrors, NodesCutOffFromTheSource) {
    ExpectError(kGood + "Z,Q1,Q2,4,,1 kW\n",
                {"node Q1", "not connected to the source S", "segment Z"});
    ExpectError(Replaced(kGood, "source,S", "source,K"),
                {"source", "no segment starts at the source node K"});
}

TEST(NetworkErrors, TerminalsWithoutLoad) {
    ExpectError(kGood + "E,A,T3,4,,\n", {"line 10", "node T3", "without a terminal load"});
    const std::string withUnit = kSettings + "id,from,to,length,load,unit\n"
                                             "M,S,T1,10,,radiator\n";
    ExpectError(withUnit, {"line 7", "node T1", "no load"});
    ExpectError(Replaced(kGood, "2 kW\nR", "-2 kW\nR"), {"line 8", "node T1", "load", "positive"});
}

TEST(NetworkErrors, DuplicateIds) {
    ExpectError(kGood + "L,A,T3,4,,1 kW\n", {"line 10", "segment L", "id", "first at line 8"});
    const std::string twice = kSettings + "id,from,to,length,load,load\nM,S,T,1,1 kW,1 kW\n";
    ExpectError(twice, {"line 6", "load", "named twice"});
}

TEST(NetworkErrors, UnknownMaterialsAndFittings) {
    ExpectError(Replaced(kGood, "弯头=2", "弯管=2"), {"line 8", "segment L", "fitting", "弯管"});
    ExpectError(Replaced(kGood, "material,钢管", "material,铁管"), {"material", "铁管"});
    const std::string own = kSettings + "id,from,to,length,material,load\nM,S,T,10,塑料王,1 kW\n";
    ExpectError(own, {"line 7", "segment M", "material", "塑料王"});
}

TEST(NetworkErrors, LengthsMustBePositive) {
    ExpectError(Replaced(kGood, "L,A,T1,5", "L,A,T1,-2"), {"line 8", "segment L", "length", "-2"});
    ExpectError(Replaced(kGood, "L,A,T1,5", "L,A,T1,0"), {"line 8", "segment L", "length"});
    ExpectError(Replaced(kGood, "L,A,T1,5", "L,A,T1,"), {"line 8", "segment L", "length"});
    ExpectError(Replaced(kGood, "L,A,T1,5", "L,A,T1,five"), {"line 8", "segment L", "length"});
}

TEST(NetworkErrors, SeparateReturnPipesAreRefused) {
    const std::string sided = kSettings + "id,from,to,length,load,side\nM,S,T,10,1 kW,return\n";
    ExpectError(sided, {"line 7", "segment M", "side", "return"});
    ExpectError(kGood + "Back,T1,S,5,,\n", {"line 10", "segment Back", "back into the source"});
    ExpectError(Replaced(kSettings, "kind,heating", "kind,heating\npipes,separate") +
                    "id,from,to,length\n",
                {"pipes", "paired"});
    ExpectError(Replaced(kGood, "kind,heating", "kind,heating\npipes,single"),
                {"pipes", "paired segments"});
    EXPECT_TRUE(Errors(Replaced(kGood, "kind,heating", "kind,heating\npipes,paired")).empty());
    const auto json =
        networktest::FromJson(R"({"kind": "water", "pipes": "paired", "segments": []})");
    ASSERT_FALSE(json.Ok());
    EXPECT_NE(json.errors[0].Text().find("single pipes"), std::string::npos);
}

TEST(NetworkErrors, SettingsAndColumns) {
    ExpectError(Replaced(kGood, "dt,20\n", ""), {"dt", "temperature difference"});
    ExpectError(Replaced(kGood, "supply,70", "supply,170"), {"supply", "170"});
    ExpectError(Replaced(kGood, "kind,heating", "kind,steam"), {"line 1", "kind", "steam"});
    ExpectError(Replaced(kGood, "kind,heating", "colour,red"),
                {"line 1", "colour", "unknown setting"});
    ExpectError(Replaced(kGood, "id,from,to,length,fitting,load", "id,from,to,length,fitting,lode"),
                {"line 6", "lode", "unknown column"});
    ExpectError(Replaced(kGood, "id,from,to,length,fitting,load", "id,from,length,fitting,load"),
                {"line 6", "to", "lacks"});
    ExpectError(kSettings, {"no header"});
    ExpectError(kGood + "W,A,T9,1,,1 kW,extra\n", {"line 10", "fields"});
    // A water-supply outlet takes a flow, not a load.
    ExpectError(Replaced(kGood, "kind,heating", "kind,water"),
                {"node T1", "flow, not a heat load"});
}

TEST(NetworkErrors, AllFaultsOfAFileAreListed) {
    const std::string csv =
        Replaced(Replaced(kGood, "L,A,T1,5", "L,A,T1,-2"), "R,A,T2,5", "R,A,T2,-3");
    const std::vector<std::string> errors = Errors(csv);
    ASSERT_EQ(errors.size(), 2u);
    EXPECT_NE(errors[0].find("segment L"), std::string::npos);
    EXPECT_NE(errors[1].find("segment R"), std::string::npos);
}

TEST(NetworkErrors, JsonFaultsNameTheirLine) {
    const auto broken = FromJson("{\n  \"source\": \"S\",\n  \"segments\": [\n    {\"id\": \"M\" "
                                 "\"from\": \"S\"}\n  ]\n}\n");
    ASSERT_FALSE(broken.Ok());
    EXPECT_NE(broken.errors[0].Text().find("line 4"), std::string::npos) << broken.errors[0].Text();
    const auto unknown =
        FromJson("{\"source\": \"S\", \"segments\": [{\"id\": \"M\", \"colour\": \"red\"}]}");
    ASSERT_FALSE(unknown.Ok());
    EXPECT_NE(unknown.errors[0].Text().find("segment M: colour: unknown member"), std::string::npos)
        << unknown.errors[0].Text();
    const auto count = FromJson("{\"segments\": [{\"id\": \"M\", \"fittings\": {\"弯头\": 0}}]}");
    ASSERT_FALSE(count.Ok());
    EXPECT_NE(count.errors[0].Text().find("弯头"), std::string::npos);
    // Nesting beyond any network's is refused, not followed down the stack.
    const auto deep = FromJson(std::string(100000, '[') + std::string(100000, ']'));
    ASSERT_FALSE(deep.Ok());
    EXPECT_NE(deep.errors[0].Text().find("nested too deeply"), std::string::npos);
}
