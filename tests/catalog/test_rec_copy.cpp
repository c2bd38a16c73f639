// Copying a whole catalog between two connections (file to file, server to
// file and back when the tests run on the server).
#include "CatalogFixture.h"

#include "catalog/CTQDuctSpec.h"
#include "catalog/CTQPipeMatl.h"
#include "catalog/CatalogBuilder.h"
#include "catalog/CatalogCopy.h"
#include "db/ADODatabase.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

std::string Schema() {
    std::ifstream in(RVN::SeedDataFolder() + "schema.sql");
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

class CatalogCopyTest : public CatalogTest {
protected:
    void SetUp() override {
        CatalogTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) {
            return;
        }
        std::string dir = (std::filesystem::temp_directory_path() / "tqrvn-copy-XXXXXX").string();
        ASSERT_NE(mkdtemp(dir.data()), nullptr);
        copyDir_ = dir;
        copyFile_ = copyDir_ + "/copy.mdb";
        std::ofstream(copyFile_).close(); // an empty file is an empty database
    }
    void TearDown() override {
        if (!copyDir_.empty()) {
            std::filesystem::remove_all(copyDir_);
        }
        CatalogTest::TearDown();
    }

    void AddRows() {
        for (const char* name : {"steel", "copper", "it's PPR"}) {
            CTQPipeMatl m;
            m.Name = name;
            m.K = 0.15;
            ASSERT_TRUE(m.Add(db_.get())) << db_->GetLastErrorString();
        }
        CTQDuctSpec d;
        d.Section = 1;
        d.Width = 500;
        d.Height = 250;
        d.Thickness = 0.75;
        ASSERT_TRUE(d.Add(db_.get()));
    }

    std::string copyDir_, copyFile_;
};

TEST_F(CatalogCopyTest, ACatalogGoesOverWholeAndComesBack) {
    AddRows();
    CTQPipeMatl::Delete(1, db_.get()); // a gap in the IDs is kept
    CADODatabase file;
    ASSERT_TRUE(file.Open(RVN::CatalogConnectionString(copyFile_))) << file.GetLastErrorString();
    std::string error;
    ASSERT_TRUE(RVN::CopyCatalog(*db_, file, Schema(), false, error)) << error;

    CTQPipeMatl copied;
    ASSERT_TRUE(CTQPipeMatlManager::GetMatl(copied, "it's PPR", &file));
    EXPECT_EQ(copied.ID, 3);
    EXPECT_DOUBLE_EQ(copied.K, 0.15);
    CTQArray<CTQDuctSpec> ducts;
    ASSERT_EQ(CTQDuctSpecManager::GetAllSpec(ducts, 1, &file), 1);
    EXPECT_DOUBLE_EQ(ducts[0].Thickness, 0.75);

    // A second copy onto a catalog that holds rows is refused and changes nothing.
    EXPECT_FALSE(RVN::CopyCatalog(*db_, file, Schema(), false, error));
    EXPECT_NE(error.find("not empty"), std::string::npos);

    // Back onto the first catalog, replacing its rows; a material added
    // afterwards is numbered above every copied one.
    CTQPipeMatl extra;
    extra.Name = "extra";
    ASSERT_TRUE(extra.Add(&file));
    ASSERT_TRUE(RVN::CopyCatalog(file, *db_, "", true, error)) << error;
    EXPECT_EQ(SqlNumber("select count(*) from Material"), 3);
    CTQPipeMatl next;
    next.Name = "next";
    ASSERT_TRUE(next.Add(db_.get())) << db_->GetLastErrorString();
    EXPECT_GT(next.ID, extra.ID);
}

TEST_F(CatalogCopyTest, AFailedCopyLeavesTheTargetAsItWas) {
    AddRows();
    CADODatabase file;
    ASSERT_TRUE(file.Open(RVN::CatalogConnectionString(copyFile_)));
    // The target's Material table lacks a column of the source.
    ASSERT_TRUE(file.Execute("create table Material (ID integer primary key, Name text)"));
    std::string error;
    EXPECT_FALSE(RVN::CopyCatalog(*db_, file, Schema(), false, error));
    EXPECT_NE(error.find("Material"), std::string::npos) << error;
    CADODatabase again;
    ASSERT_TRUE(again.Open(RVN::CatalogConnectionString(copyFile_)));
    CTQArray<CTQPipeMatl> none;
    EXPECT_EQ(CTQPipeMatlManager::GetAllMatl(none, 0, &again), 0);
}

TEST(CatalogNames, PathsUrisAndConnectionStringsAreTold) {
    EXPECT_EQ(RVN::CatalogConnectionString("/a b/c;d.mdb"),
              "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=\"/a b/c;d.mdb\"");
    EXPECT_EQ(RVN::CatalogConnectionString("postgresql://u@h/c"),
              "Provider=PostgreSQL;Data Source=postgresql://u@h/c");
    EXPECT_EQ(RVN::CatalogConnectionString("provider=PostgreSQL;Host=h"),
              "provider=PostgreSQL;Host=h");
    EXPECT_FALSE(RVN::IsServerCatalog("/srv/RVNDatasource.mdb"));
    EXPECT_TRUE(RVN::IsServerCatalog("postgres://h/c"));
    // Shown to a person: the password never, whatever its case or quoting.
    const std::string shown =
        RVN::CatalogDisplayName("Provider=PostgreSQL;Host=h;User ID=u;password=\"s;cret\";Database=c");
    EXPECT_EQ(shown.find("s;cret"), std::string::npos) << shown;
    EXPECT_EQ(shown.find("cret"), std::string::npos) << shown;
    EXPECT_NE(shown.find("Host=h"), std::string::npos) << shown;
    EXPECT_EQ(RVN::CatalogDisplayName("/a b/c;d.mdb"), "/a b/c;d.mdb");
}

} // namespace
