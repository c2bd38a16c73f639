// The catalog records under faults: a lock held by another writer, a
// read-only or full disk, a damaged table, refused values, material files
// that cannot be written or must not be read.  A failure always leaves its
// reason where the caller reads it.
#include "../SmallDisk.h"
#include "CatalogFixture.h"

#include "catalog/CTQPipeMatl.h"
#include "catalog/CTQPipeValve.h"
#include "db/ADOFault.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class RecordFaults : public CatalogTest {
protected:
    std::string LastError() { return db_->GetLastErrorString(); }
};

TEST_F(RecordFaults, AnAddThatWaitedForALockGivesFalseAndTheReason) {
    std::unique_ptr<CADODatabase> other = OpenAnother();
    ASSERT_EQ(other->BeginTransaction(), 1);
    CADODatabase db;
    db.SetConnectionTimeout(1);
    ASSERT_TRUE(db.Open(Connection()));

    CTQPipeMatl m;
    m.Name = "Steel";
    EXPECT_FALSE(m.Add(&db));
    EXPECT_EQ(m.ID, -1);
    EXPECT_EQ(db.GetLastError(), 0x80004005u);
    EXPECT_EQ(ClassifyADOError(db.GetLastError(), db.GetLastErrorString()), ADOFault::Locked)
        << db.GetLastErrorString();

    other->RollbackTransaction();
    EXPECT_TRUE(m.Add(&db));
}

TEST_F(RecordFaults, RefusedRowsLeaveTheirReasonOnTheConnection) {
    CTQPipeMatl steel;
    steel.Name = "Steel";
    ASSERT_TRUE(steel.Add(db_.get()));
    CTQPipeMatl again = steel;
    again.ID = -1;
    EXPECT_FALSE(again.Add(db_.get()));
    EXPECT_EQ(db_->GetLastError(), 0x80040E2Fu);
    EXPECT_NE(LastError().find("same key"), std::string::npos) << LastError();

    CTQPipeMatl rough;
    rough.Name = "Rough";
    rough.K = std::nan("");
    EXPECT_FALSE(rough.Add(db_.get()));
    EXPECT_NE(LastError().find("the number is not finite"), std::string::npos) << LastError();
    EXPECT_EQ(SqlNumber("select count(*) from Material"), 1);
}

// An empty name is stored as null; a second material or valve without a
// name is a duplicate of the first, not a new row.
TEST_F(RecordFaults, AnEmptyNameIsOneNameInTheDuplicateCheck) {
    CTQPipeMatl first, second;
    first.Name = second.Name = "";
    ASSERT_TRUE(first.Add(db_.get()));
    EXPECT_FALSE(second.Add(db_.get()));
    EXPECT_EQ(SqlNumber("select count(*) from Material"), 1);

    CTQPipeValve valve, other;
    valve.Type = other.Type = 1;
    ASSERT_TRUE(valve.Add(db_.get()));
    EXPECT_FALSE(other.Add(db_.get()));
    EXPECT_EQ(SqlNumber("select count(*) from PipeValve"), 1);
}

TEST_F(RecordFaults, AListingOfADamagedTableRecordsTheDamage) {
    FILE_CATALOG_ONLY();
    CTQPipeMatl steel;
    steel.Name = "Steel";
    ASSERT_TRUE(steel.Add(db_.get()));
    CTQPipeSpec dn15;
    dn15.MatlID = steel.ID;
    dn15.DN = 15;
    ASSERT_TRUE(dn15.Add(db_.get()));
    const long page = SqlNumber("select rootpage from sqlite_master where name = 'PipeSpec'");
    db_->Close();
    {
        std::fstream f(Path(), std::ios::in | std::ios::out | std::ios::binary);
        f.seekp((page - 1) * 4096);
        const std::string garbage(4096, '\xff');
        f.write(garbage.data(), static_cast<std::streamsize>(garbage.size()));
    }
    ASSERT_TRUE(db_->Open(Connection()));

    CTQArray<CTQPipeSpec> specs;
    specs.Add(CTQPipeSpec());
    EXPECT_EQ(CTQPipeMatlManager::GetAllSpec(specs, steel.ID, db_.get()), 0);
    EXPECT_EQ(specs.GetSize(), 0);
    EXPECT_EQ(ClassifyADOError(db_->GetLastError(), LastError()), ADOFault::Damaged) << LastError();

    CTQPipeSpec spec;
    EXPECT_FALSE(CTQPipeMatlManager::GetSpec(spec, steel.ID, 15, db_.get()));
    EXPECT_EQ(ClassifyADOError(db_->GetLastError(), LastError()), ADOFault::Damaged) << LastError();

    db_->ClearLastError();
    CTQArray<CTQPipeMatl> matls;
    EXPECT_EQ(CTQPipeMatlManager::GetAllMatl(matls, 0, db_.get()), 1);
    EXPECT_EQ(db_->GetLastError(), 0u) << "a sound table lists without an error";
}

TEST_F(RecordFaults, AddOnAReadOnlyCatalogRaisesTheProviderError) {
    FILE_CATALOG_ONLY();
    SmallDisk disk(512);
    if (!disk.Ready()) {
        GTEST_SKIP() << disk.Why();
    }
    std::filesystem::copy_file(Path(), disk.Path("ro.mdb"));
    ASSERT_TRUE(disk.MakeReadOnly());
    CADODatabase db;
    ASSERT_TRUE(db.Open(ConnectionString(disk.Path("ro.mdb")))) << db.GetLastErrorString();
    CTQPipeMatl m;
    m.Name = "Steel";
    try {
        m.Add(&db);
        ADD_FAILURE() << "Add on a read-only catalog returned";
    } catch (const RVNADO::ComError& e) {
        EXPECT_EQ(ClassifyADOError(e), ADOFault::ReadOnly) << e.Description();
    }
    EXPECT_EQ(m.ID, -1);
    CTQArray<CTQPipeMatl> matls;
    EXPECT_EQ(CTQPipeMatlManager::GetAllMatl(matls, 0, &db), 0);
    EXPECT_EQ(db.GetLastError(), 0u) << "reading still works";
}

TEST_F(RecordFaults, SavingAMaterialFileOnAFullDiskKeepsTheEarlierFile) {
    SmallDisk disk(64);
    if (!disk.Ready()) {
        GTEST_SKIP() << disk.Why();
    }
    const std::string file = disk.Path("steel.xml");
    std::ofstream(file) << "an earlier material file\n";
    ASSERT_TRUE(disk.Fill());
    CTQPipeMatl matl;
    matl.Name = "Steel";
    CTQArray<CTQPipeSpec> specs;
    for (int dn = 15; dn <= 300; dn += 5) {
        CTQPipeSpec s;
        s.DN = dn;
        specs.Add(s);
    }
    std::string error;
    EXPECT_FALSE(CTQPipeMatlManager::SaveMatlToXML(matl, specs, file.c_str(), error));
    EXPECT_EQ(error, file + ": No space left on device");
    EXPECT_EQ(ReadAll(file), "an earlier material file\n");
    EXPECT_EQ(disk.Names(), std::vector<std::string>{"steel.xml"});
}

// The character reference &#0; would cut a value short ("a&#0;b" read as
// "a"): such a file is refused, while the same text in a comment or a CDATA
// section is only text.
TEST_F(RecordFaults, AMaterialFileHoldingTheCharacterZeroIsRefused) {
    const std::string file = dir_ + "/m.xml";
    const auto document = [](const std::string& name, const std::string& extra = "") {
        return "<?xml version=\"1.0\"?>\n<Section Name=\"TQRVNPipeMatl\">\n<Section Name=\"MATL\">\n" +
               extra + "<Value Key=\"Name\" Type=\"string\">" + name + "</Value>\n</Section>\n</Section>\n";
    };
    for (const char* name : {"a&#0;b", "a&#x0000;b", "&#00;"}) {
        std::ofstream(file, std::ios::trunc) << document(name);
        CTQPipeMatl matl;
        matl.Name = "unchanged";
        CTQArray<CTQPipeSpec> specs;
        std::string error;
        EXPECT_FALSE(CTQPipeMatlManager::LoadMatlFromXML(matl, specs, file.c_str(), error)) << name;
        EXPECT_EQ(error, file + ": line 4: the character U+0000 (&#0;), which no value can hold");
        EXPECT_EQ(matl.Name, "unchanged");
    }
    std::ofstream(file, std::ios::trunc)
        << document("<![CDATA[a&#0;b]]>", "<!-- &#0; is not a character here -->\n");
    CTQPipeMatl matl;
    CTQArray<CTQPipeSpec> specs;
    std::string error;
    ASSERT_TRUE(CTQPipeMatlManager::LoadMatlFromXML(matl, specs, file.c_str(), error)) << error;
    EXPECT_EQ(matl.Name, "a&#0;b");
    std::ofstream(file, std::ios::trunc) << document("a&#10;b&#x30;");
    ASSERT_TRUE(CTQPipeMatlManager::LoadMatlFromXML(matl, specs, file.c_str(), error)) << error;
    EXPECT_EQ(matl.Name, "a\nb0");
}

} // namespace
