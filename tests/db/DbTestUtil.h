// Shared set-up of the database tests: a temporary folder with a catalog
// file made by the engine directly.  With TQRVN_TEST_ENGINE=postgres the
// catalog of CatalogTest lies in the test server's database instead: its
// "file" is then that database's connection string, which Jet passes on and
// RunSql and QueryInt run through the layer.
#pragma once

#include "../PostgresServer.h"

#include "db/ADORecordset.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace dbtest {

// The tables of a small catalog, with one table that has a column of every
// kind the layer handles.
inline const char* const kCatalogSchema = R"sql(
CREATE TABLE Material (ID INTEGER PRIMARY KEY AUTOINCREMENT, Name VARCHAR(50) NOT NULL, Type SMALLINT,
                       Roughness DOUBLE);
CREATE TABLE PipeSpec (ID INTEGER PRIMARY KEY AUTOINCREMENT, MatlID LONG, DN INTEGER, OD DOUBLE,
                       Thick DOUBLE, Remark MEMO);
CREATE TABLE Kinds (ID INTEGER PRIMARY KEY AUTOINCREMENT, I2 SMALLINT, I4 INTEGER, U1 BYTE, U4 UNSIGNED INT,
                    I8 BIGINT, R4 SINGLE, R8 DOUBLE, CY CURRENCY, DT DATETIME, YN BIT, DEC DECIMAL(18,2),
                    T VARCHAR(10), M MEMO, BIN LONGBINARY);
CREATE TABLE WaterProp (ID INTEGER PRIMARY KEY AUTOINCREMENT, Temperature INTEGER, MD DOUBLE);
CREATE TABLE NoKey (A INTEGER, B TEXT);
CREATE TABLE Plain (ID INTEGER PRIMARY KEY, Name TEXT);
CREATE VIEW BigPipes AS SELECT * FROM PipeSpec WHERE DN >= 100;
INSERT INTO Material (Name, Type, Roughness) VALUES ('Steel', 1, 0.0002), ('PPR', 2, 0.00001),
                                                    ('Copper', 1, 0.00001);
INSERT INTO PipeSpec (MatlID, DN, OD, Thick) VALUES (1, 15, 21.3, 2.8), (1, 20, 26.9, 2.8),
                                                    (1, 100, 114.3, 4.0), (2, 20, 20.0, 2.3);
INSERT INTO WaterProp (Temperature, MD) VALUES (20, 998.2), (40, 992.2);
INSERT INTO NoKey VALUES (1, 'a');
)sql";

class TempDir {
public:
    TempDir()
    {
        std::string templ = (std::filesystem::temp_directory_path() / "tqrvn-db-XXXXXX").string();
        if (mkdtemp(templ.data()) == nullptr)
            throw std::runtime_error("cannot create a temporary folder");
        m_path = templ;
    }
    ~TempDir()
    {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    std::string File(const std::string& name) const { return (m_path / name).string(); }
    const std::filesystem::path& Path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

// True when the tests run on the PostgreSQL test server.
inline bool OnServer()
{
    const char* engine = std::getenv("TQRVN_TEST_ENGINE");
    return engine != nullptr && std::string(engine) == "postgres";
}

// Skips a case about catalog files (their paths, damage, the file engine's
// own SQL functions and its names) when the tests run on the server.
#define DB_FILE_ONLY()                                                                             \
    if (dbtest::OnServer())                                                                        \
    GTEST_SKIP() << "this case is about catalog files"

inline bool IsConnectionString(const std::string& path) { return path.rfind("Provider=", 0) == 0; }

// Runs SQL on a file with the engine itself (creating the file).
inline void RunSql(const std::string& path, const std::string& sql)
{
    if (IsConnectionString(path)) {
        CADODatabase db;
        ASSERT_TRUE(db.Open(path) && db.Execute(sql)) << db.GetLastErrorString();
        return;
    }
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
    char* message = nullptr;
    const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message);
    const std::string text = message != nullptr ? message : "";
    sqlite3_free(message);
    sqlite3_close(db);
    ASSERT_EQ(rc, SQLITE_OK) << text;
}

// One integer from a query run with the engine itself (-999 when no row).
inline long long QueryInt(const std::string& path, const std::string& sql)
{
    if (IsConnectionString(path)) {
        CADODatabase db;
        CADORecordset rs(&db);
        RVNADO::Variant v;
        if (!db.Open(path) || !rs.Open(sql, CADORecordset::openQuery))
            return -998;
        if (rs.IsEof())
            return -999;
        if (!rs.GetFieldValue(0, v) || v.IsNull())
            return -997;
        double d = 0;
        v.ToDouble(d);
        return static_cast<long long>(d);
    }
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
        return -998;
    sqlite3_stmt* st = nullptr;
    long long v = -999;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW)
        v = sqlite3_column_type(st, 0) == SQLITE_NULL ? -997 : sqlite3_column_int64(st, 0);
    sqlite3_finalize(st);
    sqlite3_close(db);
    return v;
}

inline std::string Jet(const std::string& path)
{
    return IsConnectionString(path) ? path : "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + path;
}

// A temporary folder holding RVNDatasource.mdb with the catalog schema.
class CatalogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (OnServer()) {
            if (tqtest::ServerConnection().empty())
                GTEST_SKIP() << tqtest::kNoServer;
            m_file = tqtest::ServerDatabase();
            ASSERT_FALSE(m_file.empty()) << "the test database could not be made";
            CADODatabase db;
            ASSERT_TRUE(db.Open(m_file) && tqtest::ResetServerDatabase(db) && db.Execute(kCatalogSchema))
                << db.GetLastErrorString();
            return;
        }
        m_file = m_dir.File("RVNDatasource.mdb");
        RunSql(m_file, kCatalogSchema);
    }

    TempDir m_dir;
    std::string m_file;
};

}  // namespace dbtest
