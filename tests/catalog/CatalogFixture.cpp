#include "CatalogFixture.h"

#include "../PostgresServer.h"

#include "catalog/CatalogBuilder.h"
#include "db/ADORecordset.h"

#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {
std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}
} // namespace

bool CreateCatalogFile(const std::string& path, std::string& error) {
    return RVN::BuildEmptyCatalog(path, RVN::SeedDataFolder(), true, error);
}

std::string ConnectionString(const std::string& path) {
    return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + path;
}

namespace {
// The empty catalog is created once per test program and copied for each
// test: creating the tables costs a synchronised write per statement.
const std::string& TemplateCatalog(std::string& error) {
    static std::string path;
    if (path.empty()) {
        std::string tmpl =
            (std::filesystem::temp_directory_path() / "tqrvn-template-XXXXXX").string();
        if (mkdtemp(tmpl.data()) && CreateCatalogFile(tmpl + "/empty.mdb", error)) {
            path = tmpl + "/empty.mdb";
            std::atexit([] {
                std::error_code ec;
                std::filesystem::remove_all(std::filesystem::path(path).parent_path(), ec);
            });
        }
    }
    return path;
}
} // namespace

bool OnServer() {
    const char* engine = std::getenv("TQRVN_TEST_ENGINE");
    return engine != nullptr && std::string(engine) == "postgres";
}

void CatalogTest::SetUpServer() {
    if (tqtest::ServerConnection().empty()) {
        GTEST_SKIP() << tqtest::kNoServer;
    }
    connection_ = tqtest::ServerDatabase();
    ASSERT_FALSE(connection_.empty()) << "the test database could not be made";
    db_ = std::make_unique<CADODatabase>();
    ASSERT_TRUE(db_->Open(connection_)) << db_->GetLastErrorString();
    ASSERT_TRUE(tqtest::ResetServerDatabase(*db_)) << db_->GetLastErrorString();
    ASSERT_TRUE(db_->Execute(ReadFile(RVN::SeedDataFolder() + "schema.sql")))
        << db_->GetLastErrorString();
}

void CatalogTest::SetUp() {
    if (OnServer()) {
        SetUpServer();
        return;
    }
    std::string tmpl = (std::filesystem::temp_directory_path() / "tqrvn-catalog-XXXXXX").string();
    ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
    dir_ = tmpl;
    path_ = dir_ + "/RVNDatasource.mdb";
    std::string error;
    const std::string& empty = TemplateCatalog(error);
    ASSERT_FALSE(empty.empty()) << error;
    std::filesystem::copy_file(empty, path_);
    connection_ = ConnectionString(path_);
    db_ = std::make_unique<CADODatabase>();
    ASSERT_TRUE(db_->Open(connection_)) << db_->GetLastErrorString();
}

void CatalogTest::TearDown() {
    if (db_) {
        db_->Close();
        db_.reset();
    }
    if (!dir_.empty()) {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }
}

void CatalogTest::Sql(const std::string& sql) {
    if (OnServer()) {
        CADODatabase db;
        ASSERT_TRUE(db.Open(connection_) && db.Execute(sql)) << db.GetLastErrorString() << "\n"
                                                             << sql;
        return;
    }
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(path_.c_str(), &db), SQLITE_OK);
    sqlite3_busy_timeout(db, 5000);
    char* msg = nullptr;
    const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &msg);
    const std::string text = msg ? msg : "";
    sqlite3_free(msg);
    sqlite3_close(db);
    ASSERT_EQ(rc, SQLITE_OK) << text << "\n" << sql;
}

long long CatalogTest::SqlNumber(const std::string& sql) {
    if (OnServer()) {
        CADODatabase db;
        CADORecordset rs(&db);
        double value = -1;
        if (!db.Open(connection_) || !rs.Open(sql, CADORecordset::openQuery) ||
            !rs.GetFieldValue(0, value)) {
            ADD_FAILURE() << db.GetLastErrorString() << rs.GetLastErrorString() << "\n" << sql;
        }
        return static_cast<long long>(value);
    }
    sqlite3* db = nullptr;
    if (sqlite3_open(path_.c_str(), &db) != SQLITE_OK) {
        sqlite3_close(db);
        ADD_FAILURE() << "cannot open " << path_;
        return -1;
    }
    sqlite3_busy_timeout(db, 5000);
    sqlite3_stmt* st = nullptr;
    long long value = -1;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) == SQLITE_OK &&
        sqlite3_step(st) == SQLITE_ROW) {
        value = sqlite3_column_int64(st, 0);
    } else {
        ADD_FAILURE() << sqlite3_errmsg(db) << "\n" << sql;
    }
    sqlite3_finalize(st);
    sqlite3_close(db);
    return value;
}

std::unique_ptr<CADODatabase> CatalogTest::OpenAnother() {
    auto db = std::make_unique<CADODatabase>();
    if (!db->Open(connection_)) {
        ADD_FAILURE() << db->GetLastErrorString();
    }
    return db;
}
