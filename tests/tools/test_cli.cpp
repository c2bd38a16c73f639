// The tqrvn program as a user runs it, under a comma locale.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <sys/wait.h>

namespace {

struct ToolRun {
    int status;
    std::string out;
};

// Runs tqrvn with `args` under LC_ALL=de_DE.UTF-8 and collects stdout and stderr.
ToolRun Tqrvn(const std::string& args) {
    const std::string cmd = std::string("LC_ALL=de_DE.UTF-8 '") + TQRVN_TOOL_PATH + "' " + args + " 2>&1";
    ToolRun r{-1, {}};
    FILE* p = popen(cmd.c_str(), "r");
    if (!p) {
        return r;
    }
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) {
        r.out.append(buf, n);
    }
    const int st = pclose(p);
    r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
    return r;
}

TEST(Cli, ConvertPrintsTheShortestRoundTripText) {
    const ToolRun r = Tqrvn("convert 1 bar Pa");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "99999.99999999999\n");
    EXPECT_EQ(Tqrvn("convert 1500 mm m").out, "1.5\n");
    EXPECT_EQ(Tqrvn("convert 2.5 m/s km/h").out, "8.999279999999999\n");
}

TEST(Cli, ConvertRejectsUnknownAndMismatchedUnits) {
    ToolRun r = Tqrvn("convert 1 bar parsec");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.out.find("unknown unit 'parsec'"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Pa, atm, mmHg"), std::string::npos) << r.out;
    r = Tqrvn("convert 1 bar m");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.out.find("pressure"), std::string::npos) << r.out;
    r = Tqrvn("convert 1,5 bar Pa");
    EXPECT_EQ(r.status, 2);
}

TEST(Cli, ReportsKeepADecimalPointUnderACommaLocale) {
    const ToolRun water = Tqrvn("water --t 25");
    EXPECT_EQ(water.status, 0);
    EXPECT_NE(water.out.find("996.95 kg/m3"), std::string::npos) << water.out;
    const ToolRun json = Tqrvn("water --t 20.5 --json");
    EXPECT_NE(json.out.find("\"t_degC\": 20.5"), std::string::npos) << json.out;
    const ToolRun friction = Tqrvn("friction --re 1e5 --eps 0.001");
    EXPECT_EQ(friction.status, 0);
    EXPECT_NE(friction.out.find("0.022174536250531673"), std::string::npos) << friction.out;
    EXPECT_NE(friction.out.find("regime: mixed"), std::string::npos) << friction.out;
    const ToolRun report = Tqrvn("");
    EXPECT_EQ(report.status, 0);
    EXPECT_NE(report.out.find("Water and air properties"), std::string::npos);
    EXPECT_EQ(report.out.find(','), std::string::npos) << report.out;
}

TEST(Cli, BadNumbersAreUsageErrors) {
    EXPECT_EQ(Tqrvn("friction --re abc --eps 0.001").status, 2);
    EXPECT_EQ(Tqrvn("water --t 1,5").status, 2);
    EXPECT_NE(Tqrvn("friction --re 1").status, 0); // --eps missing
}

} // namespace

#if TQRVN_WITH_CATALOG
#include <filesystem>
#include <fstream>

namespace {

class CatalogCli : public ::testing::Test {
protected:
    void SetUp() override {
        std::string tmpl = (std::filesystem::temp_directory_path() / "tqrvn-cli-XXXXXX").string();
        ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
        dir_ = tmpl;
        catalog_ = dir_ + "/cat.mdb";
        const ToolRun r = Tqrvn("catalog create '" + catalog_ + "'");
        ASSERT_EQ(r.status, 0) << r.out;
    }
    void TearDown() override {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
    ToolRun Catalog(const std::string& args) { return Tqrvn("catalog --catalog '" + catalog_ + "' " + args); }

    std::string dir_;
    std::string catalog_;
};

TEST_F(CatalogCli, CreateRefusesAnExistingFileUnlessForced) {
    EXPECT_NE(Tqrvn("catalog create '" + catalog_ + "'").status, 0);
    EXPECT_EQ(Tqrvn("catalog create --force '" + catalog_ + "'").status, 0);
}

TEST_F(CatalogCli, ListsTheSeedTables) {
    const ToolRun m = Catalog("list materials");
    EXPECT_EQ(m.status, 0);
    EXPECT_NE(m.out.find("焊接钢管"), std::string::npos) << m.out;
    const ToolRun sizes = Catalog("list sizes 焊接钢管 --json");
    EXPECT_EQ(sizes.status, 0);
    EXPECT_NE(sizes.out.find("\"DN\": 15"), std::string::npos) << sizes.out;
    EXPECT_EQ(sizes.out.find(','), sizes.out.find(", ")) << "decimal commas in " << sizes.out;
    for (const char* table : {"ducts", "valves", "water", "steam"}) {
        const ToolRun r = Catalog(std::string("list ") + table);
        EXPECT_EQ(r.status, 0) << table;
        EXPECT_GT(std::count(r.out.begin(), r.out.end(), '\n'), 10) << table << r.out;
    }
    EXPECT_NE(Catalog("list sizes nosuchmaterial").status, 0);
    EXPECT_EQ(Catalog("list tables").status, 2);
    EXPECT_NE(Tqrvn("catalog --catalog '" + dir_ + "/absent.mdb' list materials").status, 0);
}

TEST_F(CatalogCli, ExportAndImportAMaterial) {
    const std::string file = dir_ + "/steel.xml";
    ASSERT_EQ(Catalog("export-material 焊接钢管 '" + file + "'").status, 0);
    // The catalog has the material already: refused, nothing added.
    ToolRun r = Catalog("import-material '" + file + "'");
    EXPECT_NE(r.status, 0);
    EXPECT_NE(r.out.find("already"), std::string::npos) << r.out;
    // Under another name it is added with new IDs, sizes included.
    std::string xml;
    {
        std::ifstream in(file);
        xml.assign(std::istreambuf_iterator<char>(in), {});
    }
    const std::string from = "焊接钢管", to = "焊接钢管 copy";
    ASSERT_NE(xml.find(from), std::string::npos);
    xml.replace(xml.find(from), from.size(), to);
    std::ofstream(file) << xml;
    r = Catalog("import-material '" + file + "'");
    EXPECT_EQ(r.status, 0) << r.out;
    const ToolRun a = Catalog("list sizes 焊接钢管 --json");
    const ToolRun b = Catalog("list sizes '焊接钢管 copy' --json");
    EXPECT_EQ(b.status, 0) << b.out;
    EXPECT_EQ(std::count(a.out.begin(), a.out.end(), '{'), std::count(b.out.begin(), b.out.end(), '{'));
    EXPECT_NE(a.out, b.out); // new IDs
}

} // namespace
#endif
