// The catalog builder, and the seed data of the default catalog read back from
// a freshly built file.
#include "catalog/CatalogBuilder.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

struct Value {
    bool null = true;
    double number = 0;
    std::string text;
};
using Row = std::vector<Value>;

std::vector<Row> Query(const std::string& file, const std::string& sql) {
    std::vector<Row> rows;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        ADD_FAILURE() << "cannot open " << file;
        sqlite3_close(db);
        return rows;
    }
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) != SQLITE_OK) {
        ADD_FAILURE() << sqlite3_errmsg(db) << "\n" << sql;
    } else {
        while (sqlite3_step(st) == SQLITE_ROW) {
            Row row;
            for (int i = 0; i < sqlite3_column_count(st); ++i) {
                Value v;
                v.null = sqlite3_column_type(st, i) == SQLITE_NULL;
                v.number = sqlite3_column_double(st, i);
                const auto* t = reinterpret_cast<const char*>(sqlite3_column_text(st, i));
                v.text = t ? t : "";
                row.push_back(v);
            }
            rows.push_back(row);
        }
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    return rows;
}

void Exec(const std::string& file, const std::string& sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
    char* msg = nullptr;
    const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &msg);
    const std::string text = msg ? msg : "";
    sqlite3_free(msg);
    sqlite3_close(db);
    ASSERT_EQ(rc, SQLITE_OK) << text;
}

std::string ReadText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void WriteText(const fs::path& file, const std::string& text) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << text;
}

// Replaces the `line`-th line (from 1) of `file` by `text`.
void ReplaceLine(const fs::path& file, int line, const std::string& text) {
    std::istringstream in(ReadText(file));
    std::string out, l;
    for (int n = 1; std::getline(in, l); ++n) {
        out += (n == line ? text : l) + "\n";
    }
    WriteText(file, out);
}

std::string Line(const fs::path& file, int line) {
    std::istringstream in(ReadText(file));
    std::string l;
    for (int n = 1; std::getline(in, l); ++n) {
        if (n == line) {
            return l;
        }
    }
    return {};
}

class CatalogBuilderTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string tmpl = (fs::temp_directory_path() / "tqrvn-catalog-data-XXXXXX").string();
        ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
        dir_ = tmpl;
        file_ = (dir_ / "RVNDatasource.mdb").string();
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }

    // A private copy of the seed data that a test may spoil.
    fs::path CopyData() {
        const fs::path data = dir_ / "data";
        fs::copy(TQRVN_DATA_DIR, data, fs::copy_options::recursive);
        return data;
    }

    std::vector<std::string> FolderEntries() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir_)) {
            if (e.path().filename() != "data") {
                names.push_back(e.path().filename().string());
            }
        }
        return names;
    }

    bool Build(const fs::path& data, bool force, std::string& error) {
        return RVN::BuildCatalog(file_, data.string(), force, error);
    }

    fs::path dir_;
    std::string file_;
};

std::map<std::string, std::vector<std::string>> Columns(const std::string& file) {
    std::map<std::string, std::vector<std::string>> out;
    for (const Row& t : Query(file, "SELECT name FROM sqlite_master WHERE type = 'table' "
                                    "AND name NOT LIKE 'sqlite%'")) {
        for (const Row& c : Query(file, "PRAGMA table_info(\"" + t[0].text + "\")")) {
            out[t[0].text].push_back(c[1].text + " " + c[2].text);
        }
    }
    return out;
}

TEST_F(CatalogBuilderTest, BuildsTheTablesTheRecordsRead) {
    std::string error;
    ASSERT_TRUE(RVN::BuildCatalog(file_, TQRVN_DATA_DIR, false, error)) << error;
    EXPECT_EQ(error, "");
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"RVNDatasource.mdb"});

    using V = std::vector<std::string>;
    const auto cols = Columns(file_);
    EXPECT_EQ(cols.size(), 6u);
    EXPECT_EQ(cols.at("Material"),
              (V{"ID INTEGER", "Type INTEGER", "Name TEXT", "Unit TEXT", "Symbol INTEGER", "K REAL",
                 "Mark TEXT", "Density REAL", "Comment TEXT", "Param1 REAL", "Param2 TEXT",
                 "Param3 TEXT", "Version INTEGER"}));
    EXPECT_EQ(cols.at("PipeSpec"),
              (V{"ID INTEGER", "MatlID INTEGER", "DN INTEGER", "InsD REAL", "OutD REAL",
                 "Thickness REAL", "MinV REAL", "MaxV REAL", "MinH REAL", "MaxH REAL", "MinR REAL",
                 "MaxR REAL", "Version INTEGER"}));
    EXPECT_EQ(cols.at("DuctSpec"), (V{"ID INTEGER", "SEC INTEGER", "WIDTH INTEGER", "HEIGHT INTEGER",
                                      "THICKNESS REAL", "VERSION INTEGER"}));
    EXPECT_EQ(cols.at("PipeValve"),
              (V{"ID INTEGER", "Type INTEGER", "ValveName TEXT", "Coef REAL", "CalType INTEGER",
                 "Variable INTEGER", "DnCandidate TEXT", "CoefCandidate TEXT", "Version INTEGER"}));
    EXPECT_EQ(cols.at("WaterProp"), (V{"ID INTEGER", "Temperature INTEGER", "Density REAL",
                                       "Viscosity REAL", "SpecificHeat REAL", "Version INTEGER"}));
    EXPECT_EQ(cols.at("SteamProp"),
              (V{"ID INTEGER", "Temperature INTEGER", "Pressure REAL", "Density REAL", "Qhr REAL",
                 "SpecificHeat REAL", "Viscosity REAL", "Version INTEGER"}));

    // Every data line of every CSV became a row, under its explicit ID.
    for (const auto& [table, unused] : cols) {
        const std::string csv = ReadText(fs::path(TQRVN_DATA_DIR) / (table + ".csv"));
        std::size_t lines = 0;
        for (char c : csv) {
            lines += c == '\n';
        }
        const auto n = Query(file_, "SELECT count(*), max(ID) FROM " + table);
        EXPECT_EQ(n.at(0)[0].number, static_cast<double>(lines - 1)) << table;
        const std::string lastId = Line(fs::path(TQRVN_DATA_DIR) / (table + ".csv"),
                                        static_cast<int>(lines));
        EXPECT_EQ(n.at(0)[1].text, lastId.substr(0, lastId.find(','))) << table;
    }

    // An ID is never handed out twice: after deleting the material with the
    // highest ID, a new material still gets a higher one.
    const double top = Query(file_, "SELECT max(ID) FROM Material").at(0)[0].number;
    Exec(file_, "DELETE FROM Material WHERE ID = (SELECT max(ID) FROM Material);"
                "INSERT INTO Material (Name) VALUES ('new');");
    EXPECT_GT(Query(file_, "SELECT ID FROM Material WHERE Name = 'new'").at(0)[0].number, top);
}

TEST_F(CatalogBuilderTest, RefusesAnExistingFileUnlessForcedAndThenReplacesIt) {
    WriteText(file_, "not a catalog");
    std::string error;
    EXPECT_FALSE(RVN::BuildCatalog(file_, TQRVN_DATA_DIR, false, error));
    EXPECT_NE(error.find(file_), std::string::npos) << error;
    EXPECT_NE(error.find("exists"), std::string::npos) << error;
    EXPECT_EQ(ReadText(file_), "not a catalog");
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"RVNDatasource.mdb"});

    ASSERT_TRUE(RVN::BuildCatalog(file_, TQRVN_DATA_DIR, true, error)) << error;
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"RVNDatasource.mdb"});
    EXPECT_GT(Query(file_, "SELECT count(*) FROM PipeSpec").at(0)[0].number, 0);

    // A forced build that fails leaves the previous catalog whole.
    const fs::path data = CopyData();
    ReplaceLine(data / "SteamProp.csv", 5, "broken");
    EXPECT_FALSE(Build(data, true, error));
    EXPECT_EQ(FolderEntries(), std::vector<std::string>{"RVNDatasource.mdb"});
    EXPECT_EQ(Query(file_, "SELECT count(*) FROM SteamProp").at(0)[0].number, 201);

    // A folder is never replaced.
    fs::create_directory(dir_ / "folder.mdb");
    EXPECT_FALSE(RVN::BuildCatalog((dir_ / "folder.mdb").string(), TQRVN_DATA_DIR, true, error));
    EXPECT_TRUE(fs::is_directory(dir_ / "folder.mdb"));
}

TEST_F(CatalogBuilderTest, ReportsABrokenTableByFileAndLine) {
    struct Case {
        const char* file;
        int line;
        std::string text;  // replaces that line
        const char* expected;
    };
    const fs::path data = CopyData();
    const std::string material3 = Line(data / "Material.csv", 3);
    const std::string steam7 = Line(data / "SteamProp.csv", 7);
    auto replaceField = [](std::string line, int field, const std::string& value) {
        std::size_t start = 0;
        for (int i = 0; i < field; ++i) {
            start = line.find(',', start) + 1;
        }
        const std::size_t end = line.find(',', start);
        return line.replace(start, end - start, value);
    };
    const std::vector<Case> cases = {
        {"Material.csv", 3, replaceField(material3, 5, "abc"), "Material.csv:3: column 'K': not a number"},
        {"Material.csv", 3, replaceField(material3, 5, "\"0,2\""), "Material.csv:3: column 'K'"},
        {"Material.csv", 3, replaceField(material3, 1, "1.5"), "Material.csv:3: column 'Type': not an integer"},
        {"SteamProp.csv", 7, replaceField(steam7, 2, " 120.5"), "SteamProp.csv:7: column 'Pressure'"},
        {"SteamProp.csv", 7, replaceField(steam7, 2, "inf"), "SteamProp.csv:7: column 'Pressure'"},
        {"SteamProp.csv", 7, steam7 + ",1", "SteamProp.csv:7: 9 fields where the header has 8"},
        {"SteamProp.csv", 1, "ID,Temperature,Pressure,Density,Qhr,SpecificHeat,Viscosity",
         "SteamProp.csv:1: header lacks column 'Version'"},
        {"SteamProp.csv", 1, "ID,Temperature,Pressure,Density,Qhr,SpecificHeat,Viscosity,Version,Extra",
         "SteamProp.csv:1: header names 'Extra'"},
        {"SteamProp.csv", 1, "ID,ID,Pressure,Density,Qhr,SpecificHeat,Viscosity,Version",
         "SteamProp.csv:1: header names column 'ID' twice"},
        {"SteamProp.csv", 7, "7,106,\"125.0,1,1,1,1,0", "SteamProp.csv:7: unterminated quoted field"},
        {"SteamProp.csv", 7, "7,10\"6,125.0,1,1,1,1,0", "SteamProp.csv:7: quote inside"},
        {"SteamProp.csv", 7, "1,106,125.0,1,1,1,1,0", "SteamProp.csv:7: UNIQUE constraint"},
    };
    for (const Case& c : cases) {
        const fs::path file = data / c.file;
        const std::string original = ReadText(file);
        ReplaceLine(file, c.line, c.text);
        std::string error;
        EXPECT_FALSE(Build(data, false, error)) << c.text;
        EXPECT_NE(error.find((data / c.expected).string()), std::string::npos)
            << "line: " << c.text << "\nerror: " << error;
        EXPECT_TRUE(FolderEntries().empty()) << c.text;
        WriteText(file, original);
    }

    // A multi-line quoted field counts its lines: the bad row after it is
    // still named by its own line.
    const fs::path material = data / "Material.csv";
    const std::string original = ReadText(material);
    ReplaceLine(material, 2, "1,1,Steel,W,2,0.2,DN,7850,\"two\nlines\",0,,,1");
    ReplaceLine(material, 5, replaceField(material3, 5, "x"));  // line 3 ends the quoted field
    std::string error;
    EXPECT_FALSE(Build(data, false, error));
    EXPECT_NE(error.find("Material.csv:5:"), std::string::npos) << error;
    WriteText(material, original);

    fs::remove(data / "DuctSpec.csv");
    EXPECT_FALSE(Build(data, false, error));
    EXPECT_NE(error.find("DuctSpec.csv"), std::string::npos) << error;
    EXPECT_TRUE(FolderEntries().empty());
}

TEST_F(CatalogBuilderTest, ReadsQuotedFieldsCrLfAndAByteOrderMarkUnderACommaLocale) {
    const fs::path data = CopyData();
    std::string csv = "\xEF\xBB\xBFID,Type,Name,Unit,Symbol,K,Mark,Density,Comment,Param1,Param2,Param3,Version\r\n"
                      "7,1,\"Stahl \"\"A\"\", 1\",m,2,0.25,DN,7850.5,\"a\r\nb\",1e-3,\"\",,1\r\n"
                      "\r\n"
                      "9,2,PE,m,2,1.5E+1,dn,950,,-2,x,y,3";
    WriteText(data / "Material.csv", csv);
    const char* old = std::setlocale(LC_ALL, nullptr);
    const std::string saved = old ? old : "C";
    const bool comma = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
    std::string error;
    const bool ok = Build(data, false, error);
    std::setlocale(LC_ALL, saved.c_str());
    if (!comma) {
        GTEST_LOG_(WARNING) << "de_DE.UTF-8 is not installed; built under the C locale";
    }
    ASSERT_TRUE(ok) << error;
    const auto rows = Query(file_, "SELECT ID, Name, K, Density, Comment, Param1, Param2, Param3, "
                                   "typeof(Param2), typeof(Param3) FROM Material ORDER BY ID");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0][0].number, 7);
    EXPECT_EQ(rows[0][1].text, "Stahl \"A\", 1");
    EXPECT_EQ(rows[0][2].number, 0.25);
    EXPECT_EQ(rows[0][3].number, 7850.5);
    EXPECT_EQ(rows[0][4].text, "a\r\nb");
    EXPECT_EQ(rows[0][5].number, 0.001);
    EXPECT_EQ(rows[0][8].text, "text");  // "" is an empty text
    EXPECT_EQ(rows[0][9].text, "null");  // nothing is NULL
    EXPECT_EQ(rows[1][2].number, 15);
    EXPECT_EQ(rows[1][5].number, -2);
    EXPECT_EQ(rows[1][7].text, "y");
}

// ---- The seed data ---------------------------------------------------------

class SeedDataTest : public CatalogBuilderTest {
protected:
    void SetUp() override {
        CatalogBuilderTest::SetUp();
        std::string error;
        ASSERT_TRUE(RVN::BuildCatalog(file_, TQRVN_DATA_DIR, false, error)) << error;
    }
};

double HeatLoadW(double velocity, double innerMm, double dtK) {
    const double d = innerMm * 0.001;
    return velocity * M_PI * d * d / 4 * 1000.0 * 4187.0 * dtK;
}

// The temperature difference a material's comment names for its load range,
// "... (温差 20 K ...)"; NaN when it names none.
double LoadDtK(const std::string& comment) {
    const std::string key = "温差 ";
    const std::size_t at = comment.find(key);
    return at == std::string::npos ? std::nan("") : std::atof(comment.c_str() + at + key.size());
}

TEST_F(SeedDataTest, PipeSizesAreConsistentAndRiseWithDn) {
    const auto matl = Query(file_, "SELECT ID, Type, Name, Comment FROM Material ORDER BY ID");
    std::set<double> types;
    for (const Row& m : matl) {
        types.insert(m[1].number);
    }
    EXPECT_EQ(types, (std::set<double>{1, 2, 3}));
    EXPECT_EQ(Query(file_, "SELECT count(*) FROM PipeSpec WHERE MatlID NOT IN (SELECT ID FROM Material)")
                  .at(0)[0].number, 0);

    for (const Row& m : matl) {
        SCOPED_TRACE(m[2].text);
        const double dt = LoadDtK(m[3].text);
        EXPECT_TRUE(dt == 10 || dt == 20) << m[3].text;
        const auto sizes = Query(file_, "SELECT DN, InsD, OutD, Thickness, MinV, MaxV, MinH, MaxH, "
                                        "MinR, MaxR FROM PipeSpec WHERE MatlID = " + m[0].text +
                                        " ORDER BY DN");
        ASSERT_GE(sizes.size(), 9u);
        for (std::size_t k = 0; k < sizes.size(); ++k) {
            const Row& s = sizes[k];
            SCOPED_TRACE("DN " + s[0].text);
            for (const Value& v : s) {
                EXPECT_FALSE(v.null);
            }
            EXPECT_NEAR(s[1].number, s[2].number - 2 * s[3].number, 0.011);
            EXPECT_LT(s[4].number, s[5].number);
            EXPECT_GT(s[8].number, 0);
            EXPECT_LT(s[8].number, s[9].number);
            EXPECT_NEAR(s[6].number, HeatLoadW(s[4].number, s[1].number, dt),
                        0.5 + 1e-6 * s[6].number);
            EXPECT_NEAR(s[7].number, HeatLoadW(s[5].number, s[1].number, dt),
                        0.5 + 1e-6 * s[7].number);
            if (k == 0) {
                continue;
            }
            const Row& p = sizes[k - 1];
            EXPECT_GT(s[0].number, p[0].number);
            EXPECT_GT(s[1].number, p[1].number);
            EXPECT_GT(s[2].number, p[2].number);
            EXPECT_GE(s[4].number, p[4].number);
            EXPECT_GE(s[5].number, p[5].number);
            EXPECT_GT(s[6].number, p[6].number);
            EXPECT_GT(s[7].number, p[7].number);
            // No load falls between two sizes.
            EXPECT_LE(s[6].number, p[7].number);
        }
        EXPECT_EQ(sizes.front()[6].number, 0);
    }
    auto dns = [&](int type) {
        return Query(file_, "SELECT min(DN), max(DN) FROM PipeSpec JOIN Material ON MatlID = Material.ID "
                            "WHERE Material.Type = " + std::to_string(type)).at(0);
    };
    EXPECT_EQ(dns(1)[0].number, 15);
    EXPECT_EQ(dns(1)[1].number, 600);
    EXPECT_EQ(dns(3)[0].number, 20);
    EXPECT_EQ(dns(3)[1].number, 110);
    // A plastic pipe is named by its outer diameter.
    EXPECT_EQ(Query(file_, "SELECT count(*) FROM PipeSpec JOIN Material ON MatlID = Material.ID "
                           "WHERE Material.Type > 1 AND DN <> OutD").at(0)[0].number, 0);
}

TEST_F(SeedDataTest, DuctSizesAreStandardShapesWithThickerSheetForLargerDucts) {
    EXPECT_EQ(Query(file_, "SELECT count(*) FROM DuctSpec WHERE SEC NOT IN (0, 1) OR WIDTH <= 0 "
                           "OR THICKNESS <= 0 OR (SEC = 0 AND HEIGHT <> 0) "
                           "OR (SEC = 1 AND (HEIGHT <= 0 OR HEIGHT > WIDTH OR WIDTH > 4 * HEIGHT))")
                  .at(0)[0].number, 0);
    EXPECT_EQ(Query(file_, "SELECT count(*) FROM (SELECT 1 FROM DuctSpec GROUP BY SEC, WIDTH, "
                           "CASE WHEN SEC = 0 THEN 0 ELSE HEIGHT END HAVING count(*) > 1)")
                  .at(0)[0].number, 0);
    for (int sec : {0, 1}) {
        const auto rows = Query(file_, "SELECT WIDTH, THICKNESS FROM DuctSpec WHERE SEC = " +
                                           std::to_string(sec) + " ORDER BY WIDTH, HEIGHT");
        ASSERT_GE(rows.size(), 20u);
        for (std::size_t k = 1; k < rows.size(); ++k) {
            EXPECT_GE(rows[k][1].number, rows[k - 1][1].number) << "width " << rows[k][0].text;
        }
        EXPECT_GT(rows.back()[1].number, rows.front()[1].number);
    }
}

std::vector<std::string> Split(const std::string& text) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = text.find(',', start);
        parts.push_back(text.substr(start, comma - start));
        if (comma == std::string::npos) {
            return parts;
        }
        start = comma + 1;
    }
}

TEST_F(SeedDataTest, ValveTablesAreParallelListsOfDnsAndSixDecimalCoefficients) {
    const auto rows = Query(file_, "SELECT Type, ValveName, Coef, Variable, DnCandidate, CoefCandidate "
                                   "FROM PipeValve");
    ASSERT_GE(rows.size(), 10u);
    std::set<std::pair<double, std::string>> keys;
    int variable = 0;
    for (const Row& r : rows) {
        SCOPED_TRACE(r[1].text);
        EXPECT_TRUE(r[0].number == 1 || r[0].number == 2);
        EXPECT_FALSE(r[1].text.empty());
        EXPECT_TRUE(keys.insert({r[0].number, r[1].text}).second) << "duplicate kind and name";
        EXPECT_GT(r[2].number, 0);
        if (r[3].number == 0) {
            EXPECT_TRUE(r[4].null);
            EXPECT_TRUE(r[5].null);
            continue;
        }
        ++variable;
        EXPECT_EQ(r[3].number, 1);
        const auto dn = Split(r[4].text);
        const auto coef = Split(r[5].text);
        ASSERT_EQ(dn.size(), coef.size());
        ASSERT_GE(dn.size(), 2u);
        int last = 0;
        for (std::size_t i = 0; i < dn.size(); ++i) {
            ASSERT_FALSE(dn[i].empty());
            EXPECT_EQ(dn[i].find_first_not_of("0123456789"), std::string::npos) << dn[i];
            const int v = std::atoi(dn[i].c_str());
            EXPECT_GT(v, last);
            last = v;
            const std::size_t point = coef[i].find('.');
            ASSERT_NE(point, std::string::npos) << coef[i];
            EXPECT_EQ(coef[i].size() - point - 1, 6u) << coef[i];
            EXPECT_EQ(coef[i].find_first_not_of("0123456789.", 0), std::string::npos) << coef[i];
        }
    }
    EXPECT_GT(variable, 0);
    EXPECT_LT(variable, static_cast<int>(rows.size()));
}

// Rows of a property table in temperature order, with a check that the
// temperatures run from `first` to `last` in 1 degC steps.
std::vector<Row> PropertyRows(const std::string& file, const std::string& sql, int first, int last) {
    const auto rows = Query(file, sql);
    EXPECT_EQ(rows.size(), static_cast<std::size_t>(last - first + 1));
    for (std::size_t k = 0; k < rows.size(); ++k) {
        EXPECT_EQ(rows[k][0].number, first + static_cast<double>(k));
        for (const Value& v : rows[k]) {
            EXPECT_FALSE(v.null);
        }
    }
    return rows;
}

TEST_F(SeedDataTest, WaterPropertiesFollowThePhysics) {
    const auto w = PropertyRows(file_, "SELECT Temperature, Density, Viscosity, SpecificHeat "
                                       "FROM WaterProp ORDER BY Temperature", 0, 100);
    ASSERT_EQ(w.size(), 101u);
    for (std::size_t t = 1; t < w.size(); ++t) {
        SCOPED_TRACE(t);
        // Densest at 4 degC.
        if (t <= 4) {
            EXPECT_GT(w[t][1].number, w[t - 1][1].number);
        } else {
            EXPECT_LT(w[t][1].number, w[t - 1][1].number);
        }
        EXPECT_LT(w[t][2].number, w[t - 1][2].number);
        EXPECT_GT(w[t][3].number, 4.17);
        EXPECT_LT(w[t][3].number, 4.22);
    }
    // The specific heat is lowest in the mid thirties.
    std::size_t lowest = 0;
    for (std::size_t t = 1; t < w.size(); ++t) {
        lowest = w[t][3].number < w[lowest][3].number ? t : lowest;
    }
    EXPECT_GE(lowest, 30u);
    EXPECT_LE(lowest, 40u);
    EXPECT_NEAR(w[4][1].number, 1000.0, 0.1);
    EXPECT_NEAR(w[20][2].number, 1.004, 0.005);  // kinematic viscosity, 1E-6 m2/s
}

TEST_F(SeedDataTest, SteamPropertiesFollowThePhysics) {
    const auto s = PropertyRows(file_, "SELECT Temperature, Pressure, Density, Qhr, SpecificHeat, "
                                       "Viscosity FROM SteamProp ORDER BY Temperature", 100, 300);
    ASSERT_EQ(s.size(), 201u);
    // Water boils at 100 degC near standard atmospheric pressure.
    EXPECT_NEAR(s[0][1].number, 101.325, 0.2);
    for (std::size_t k = 1; k < s.size(); ++k) {
        SCOPED_TRACE(s[k][0].text);
        EXPECT_GT(s[k][1].number, s[k - 1][1].number);  // pressure
        EXPECT_GT(s[k][2].number, s[k - 1][2].number);  // density
        EXPECT_LT(s[k][3].number, s[k - 1][3].number);  // latent heat
        EXPECT_GT(s[k][4].number, s[k - 1][4].number);  // specific heat
        EXPECT_LT(s[k][5].number, s[k - 1][5].number);  // kinematic viscosity
        // Clapeyron: dp/dT = r / (T (v'' - v')) with v' << v'', to a few per cent.
        const double t = s[k][0].number - 0.5 + 273.15;
        const double dpdt = (s[k][1].number - s[k - 1][1].number) * 1000.0;
        const double rho = (s[k][2].number + s[k - 1][2].number) / 2;
        const double r = (s[k][3].number + s[k - 1][3].number) / 2 * 1000.0;
        EXPECT_NEAR(dpdt, r * rho / t, 0.12 * dpdt);
    }
}

}  // namespace
