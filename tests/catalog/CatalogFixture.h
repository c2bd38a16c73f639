// A fresh catalog file in a temporary folder for each test, created from
// data/schema.sql, with a CADODatabase open on it.
#pragma once

#include "db/ADODatabase.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

class CatalogTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

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
};

/// Creates a catalog file at `path` from the schema; false on failure.
bool CreateCatalogFile(const std::string& path, std::string& error);
/// The connection string of a catalog file.
std::string ConnectionString(const std::string& path);
