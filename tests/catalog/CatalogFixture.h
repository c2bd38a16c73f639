// A fresh catalog file in a temporary folder for each test, created from
// data/schema.sql, with a CADODatabase open on it.  With the environment
// variable TQRVN_TEST_ENGINE=postgres the same tests run on a fresh catalog
// in the test server's database instead (tests/PostgresServer.h); a test
// that needs a file (its path, the file engine's own SQL) says so with
// FILE_CATALOG_ONLY() and is skipped there.
#pragma once

#include "db/ADODatabase.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

/// True when the tests run on the PostgreSQL test server.
bool OnServer();

#define FILE_CATALOG_ONLY()                                                                        \
    if (OnServer())                                                                                \
    GTEST_SKIP() << "this case is about catalog files"

class CatalogTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    /// The connection string of this test's catalog.
    const std::string& Connection() const { return connection_; }
    /// Path of the catalog file of this test.
    const std::string& Path() const { return path_; }
    /// Runs SQL on the file directly (not through the library), failing the test on error.
    void Sql(const std::string& sql);
    /// A number read by a one-value query run directly on the file.
    long long SqlNumber(const std::string& sql);
    /// Opens another connection on the same file.
    std::unique_ptr<CADODatabase> OpenAnother();

    std::unique_ptr<CADODatabase> db_;
    std::string dir_;
    std::string path_;
    std::string connection_;

private:
    void SetUpServer();
};

/// Creates a catalog file at `path` from the schema; false on failure.
bool CreateCatalogFile(const std::string& path, std::string& error);
/// The connection string of a catalog file.
std::string ConnectionString(const std::string& path);
