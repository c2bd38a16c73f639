#include "CatalogFixture.h"

#include "catalog/CatalogBuilder.h"

#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

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
        std::string tmpl = (std::filesystem::temp_directory_path() / "tqrvn-template-XXXXXX").string();
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

void CatalogTest::SetUp() {
    std::string tmpl = (std::filesystem::temp_directory_path() / "tqrvn-catalog-XXXXXX").string();
    ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
    dir_ = tmpl;
    path_ = dir_ + "/RVNDatasource.mdb";
    std::string error;
    const std::string& empty = TemplateCatalog(error);
    ASSERT_FALSE(empty.empty()) << error;
    std::filesystem::copy_file(empty, path_);
    db_ = std::make_unique<CADODatabase>();
    ASSERT_TRUE(db_->Open(ConnectionString(path_))) << db_->GetLastErrorString();
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
    if (!db->Open(ConnectionString(path_))) {
        ADD_FAILURE() << db->GetLastErrorString();
    }
    return db;
}
