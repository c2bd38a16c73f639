// Opening a catalog file as a connection of the caller's own.
#include "CatalogFixture.h"

#include "catalog/CTQPipeMatl.h"
#include "catalog/RVNDataBase.h"
#include "db/ADODatabase.h"
#include "db/ADOFault.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

using CatalogFile = CatalogTest;

TEST_F(CatalogFile, OpensBesideTheDefaultConnectionAndSeesItsRows) {
    FILE_CATALOG_ONLY();
    Sql("INSERT INTO Material (TYPE, NAME) VALUES (1, 'steel')");
    std::string error;
    auto own = RVN::OpenCatalogFile(Path(), error);
    ASSERT_TRUE(own) << error;
    EXPECT_EQ(RVN::GetRVNBaseDataBase(), nullptr); // the default connection is left alone
    CTQArray<CTQPipeMatl> materials;
    EXPECT_EQ(CTQPipeMatlManager::GetAllMatl(materials, 0, own.get()), 1);
    // A second connection on the same file sees a row the first one adds.
    auto second = RVN::OpenCatalogFile(Path(), error);
    ASSERT_TRUE(second) << error;
    CTQPipeMatl copper;
    copper.Type = 1;
    copper.Name = "copper";
    ASSERT_TRUE(copper.Add(own.get()));
    EXPECT_EQ(CTQPipeMatlManager::GetAllMatl(materials, 0, second.get()), 2);
}

TEST_F(CatalogFile, RefusesWhatIsNotACatalogAndCreatesNothing) {
    FILE_CATALOG_ONLY();
    std::string error;
    const fs::path missing = fs::path(dir_) / "missing.mdb";
    EXPECT_FALSE(RVN::OpenCatalogFile(missing.string(), error));
    EXPECT_EQ(error, "no catalog at " + missing.string());
    EXPECT_FALSE(fs::exists(missing));

    EXPECT_FALSE(RVN::OpenCatalogFile(dir_, error));
    EXPECT_NE(error.find("is a folder"), std::string::npos) << error;

    const fs::path text = fs::path(dir_) / "notes.mdb";
    std::ofstream(text)
        << "not a database, only some text that is long enough to fill a header page";
    EXPECT_FALSE(RVN::OpenCatalogFile(text.string(), error));
    EXPECT_NE(error.find("cannot open the catalog " + text.string()), std::string::npos) << error;
    EXPECT_NE(error.find("damaged"), std::string::npos) << error;
}

TEST_F(CatalogFile, TakesPathsWithSemicolonsQuotesAndBlanks) {
    FILE_CATALOG_ONLY();
    for (const char* name : {"a;b.mdb", "say \"x\".mdb", " lead.mdb"}) {
        const fs::path odd = fs::path(dir_) / name;
        fs::copy_file(Path(), odd);
        std::string error;
        EXPECT_TRUE(RVN::OpenCatalogFile(odd.string(), error)) << name << ": " << error;
    }
}

TEST_F(CatalogFile, ARefusedAddIsDescribedByTheEngineDescriptionAlone) {
    FILE_CATALOG_ONLY();
    std::string error;
    auto own = RVN::OpenCatalogFile(Path(), error);
    ASSERT_TRUE(own) << error;
    CTQPipeMatl steel;
    steel.Type = 1;
    steel.Name = "steel";
    ASSERT_TRUE(steel.Add(own.get()));
    CTQPipeMatl again = steel;
    own->ClearLastError();
    EXPECT_FALSE(again.Add(own.get()));
    const std::string text = DescribeADOError(own->GetLastError(), own->GetLastErrorString());
    EXPECT_EQ(text.rfind("A row with the same key is in the table already", 0), 0u) << text;
    EXPECT_EQ(text.find('\n'), std::string::npos) << text;
    // A fault with words of its own keeps the description in parentheses.
    const std::string locked =
        "Connection String = x\n\tDescription = locked by another user or process\n";
    EXPECT_EQ(DescribeADOError(0x80004005u, locked),
              "the catalog is locked by another program (locked by another user or process)");
}
