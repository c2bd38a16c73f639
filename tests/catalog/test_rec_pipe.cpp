// Pipe materials and sizes against a fresh catalog file, and the default
// catalog connection.
#include "CatalogFixture.h"

#include "catalog/CTQPipeMatl.h"
#include "catalog/RVNDataBase.h"
#include "db/ADORecordset.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

class PipeCatalog : public CatalogTest {
protected:
    long AddMatl(const std::string& name, int type) {
        CTQPipeMatl m;
        m.Name = name;
        m.Type = type;
        EXPECT_TRUE(m.Add(db_.get())) << name;
        return m.ID;
    }
    long AddSpec(long matl, int dn, double ins = 0) {
        CTQPipeSpec s;
        s.MatlID = matl;
        s.DN = dn;
        s.InsD = ins;
        EXPECT_TRUE(s.Add(db_.get())) << dn;
        return s.ID;
    }
};

TEST(PipeRecords, Defaults) {
    CTQPipeMatl m;
    EXPECT_EQ(m.Type, 1);
    EXPECT_EQ(m.Unit, "m^2");
    EXPECT_EQ(m.Mark, "DN");
    EXPECT_EQ(m.Symbol, 2);
    EXPECT_EQ(m.K, 0.2);
    EXPECT_EQ(m.ID, -1);
    EXPECT_EQ(m.Version, 1);
    CTQPipeSpec s;
    EXPECT_EQ(s.MaxR, 300);
    EXPECT_EQ(s.MinR, 100);
    EXPECT_EQ(s.MaxV, 0);
    EXPECT_EQ(s.MinH, 0);
    EXPECT_EQ(s.ID, -1);
    EXPECT_EQ(s.MatlID, -1);
}

TEST(PipeRecords, ComparisonRules) {
    CTQPipeMatl a, b;
    a.Name = "钢管";
    b.Name = "钢管";
    EXPECT_TRUE(a == b); // both unsaved: names decide
    b.Name = "PPR";
    EXPECT_FALSE(a == b);
    a.ID = b.ID = 7;
    EXPECT_TRUE(a == b); // same stored ID: equal whatever the names
    // IDs first, names as fallback: larger ID but earlier name still less.
    CTQPipeMatl c, d;
    c.ID = 9;
    c.Name = "A";
    d.ID = 3;
    d.Name = "B";
    EXPECT_TRUE(c < d);
    EXPECT_TRUE(d < c);
    CTQPipeSpec s1, s2;
    s1.DN = s2.DN = 50;
    s1.MatlID = 1;
    s2.MatlID = 2;
    s2.InsD = 9;
    EXPECT_TRUE(s1 == s2);
    EXPECT_FALSE(s1 < s2);
    EXPECT_FALSE(s2 < s1);
    s2.DN = 65;
    EXPECT_TRUE(s1 < s2);
    EXPECT_TRUE(s2 > s1);
}

TEST(PipeRecords, CopiesCarryEveryMember) {
    CTQPipeMatl m;
    m.Type = 3;
    m.Name = "n";
    m.Unit = "u";
    m.Mark = "De";
    m.Symbol = 5;
    m.K = 0.007;
    m.Density = 950;
    m.Comment = "c";
    m.Param1 = 1.5;
    m.Param2 = "p2";
    m.Param3 = "p3";
    m.ID = 12;
    m.Version = 4;
    CTQPipeMatl copy(m);
    CTQPipeMatl assigned;
    assigned = m;
    for (const CTQPipeMatl* x : {&copy, &assigned}) {
        EXPECT_EQ(x->Type, 3);
        EXPECT_EQ(x->Name, "n");
        EXPECT_EQ(x->Unit, "u");
        EXPECT_EQ(x->Mark, "De");
        EXPECT_EQ(x->Symbol, 5);
        EXPECT_EQ(x->K, 0.007);
        EXPECT_EQ(x->Density, 950);
        EXPECT_EQ(x->Comment, "c");
        EXPECT_EQ(x->Param1, 1.5);
        EXPECT_EQ(x->Param2, "p2");
        EXPECT_EQ(x->Param3, "p3");
        EXPECT_EQ(x->ID, 12);
        EXPECT_EQ(x->Version, 4);
    }
    CTQPipeMatl& self = assigned;
    assigned = self;
    EXPECT_EQ(assigned.Name, "n");
}

TEST(PipeRecords, RangePredicates) {
    CTQPipeSpec s;
    s.MinV = 0.5;
    s.MaxV = 1.5;
    EXPECT_TRUE(s.CanTakeV(1.5 + 0.5e-06));
    EXPECT_TRUE(s.IsLessThanV(1.5 + 0.5e-06));
    EXPECT_FALSE(s.CanTakeV(1.5 + 2e-06));
    EXPECT_TRUE(s.CanTakeV(0.5 - 0.5e-06));
    EXPECT_TRUE(s.IsBiggerThanV(0.4));
    // Two zero limits: any value above -1.
    EXPECT_TRUE(s.CanTakeH(5));
    EXPECT_TRUE(s.IsLessThanH(5));
    EXPECT_TRUE(s.CanTakeH(1e29));
    EXPECT_TRUE(s.CanTakeH(-1)); // widened by 1e-06
    EXPECT_FALSE(s.CanTakeH(-1.1));
    EXPECT_TRUE(s.CanTakeR(200));
    EXPECT_FALSE(s.CanTakeR(301));
}

TEST_F(PipeCatalog, ListingByCategoryOrderedByName) {
    AddMatl("焊接钢管", 1);
    AddMatl("B steel", 1);
    AddMatl("PE", 2);
    AddMatl("PPR S4", 3);
    AddMatl("other", 7);
    CTQArray<CTQPipeMatl> list;
    EXPECT_EQ(CTQPipeMatlManager::GetAllMatl(list, 0, db_.get()), 4);
    EXPECT_EQ(CTQPipeMatlManager::GetAllMatl(list, -3, db_.get()), 4);
    ASSERT_EQ(CTQPipeMatlManager::GetAllMatl(list, 4, db_.get()), 2);
    EXPECT_EQ(list[0].Name, "B steel");
    EXPECT_EQ(list[1].Name, "焊接钢管");
    ASSERT_EQ(CTQPipeMatlManager::GetAllMatl(list, 2, db_.get()), 1);
    EXPECT_EQ(list[0].Name, "PE");
    EXPECT_EQ(CTQPipeMatlManager::GetAllMatl(list, 9, db_.get()), 0);
    EXPECT_EQ(list.GetSize(), 0);
}

TEST_F(PipeCatalog, AddLookupUpdateDelete) {
    const long id = AddMatl("镀锌钢管", 1);
    ASSERT_GT(id, 0);
    CTQPipeMatl dup;
    dup.Name = "镀锌钢管";
    EXPECT_FALSE(dup.Add(db_.get()));
    EXPECT_EQ(dup.ID, -1);

    CTQPipeMatl byName;
    ASSERT_TRUE(CTQPipeMatlManager::GetMatl(byName, "镀锌钢管", db_.get()));
    EXPECT_EQ(byName.ID, id);
    byName.K = 0.5;
    byName.Comment = "rewritten";
    ASSERT_TRUE(byName.UpdateData(id, false, db_.get()));
    CTQPipeMatl byId;
    ASSERT_TRUE(byId.UpdateData(id, true, db_.get()));
    EXPECT_EQ(byId.K, 0.5);
    EXPECT_EQ(byId.Comment, "rewritten");
    EXPECT_FALSE(byId.UpdateData(id + 100, true, db_.get()));
    EXPECT_FALSE(CTQPipeMatlManager::GetMatl(byId, "absent", db_.get()));

    AddSpec(id, 20);
    ASSERT_TRUE(byId.Remove(db_.get()));
    EXPECT_EQ(byId.ID, id); // Remove keeps the record's ID
    EXPECT_EQ(SqlNumber("select count(*) from Material"), 0);
    EXPECT_EQ(SqlNumber("select count(*) from PipeSpec"), 1); // no cascade
    EXPECT_TRUE(CTQPipeMatl::Delete(-1, db_.get()));
    // A new material never gets the deleted material's ID.
    EXPECT_GT(AddMatl("next", 1), id);
}

TEST_F(PipeCatalog, NamesWithQuotesAndKeywordsAreData) {
    for (const std::string& name : {std::string("O'Brien's pipe"), std::string("x' or '1'='1"),
                                   std::string("'; drop table Material; --"), std::string("管'道\"")}) {
        const long id = AddMatl(name, 1);
        ASSERT_GT(id, 0) << name;
        CTQPipeMatl m;
        ASSERT_TRUE(CTQPipeMatlManager::GetMatl(m, name.c_str(), db_.get())) << name;
        EXPECT_EQ(m.ID, id);
        EXPECT_EQ(m.Name, name);
        CTQPipeMatl again;
        again.Name = name;
        EXPECT_FALSE(again.Add(db_.get())) << name;
    }
    EXPECT_EQ(SqlNumber("select count(*) from Material"), 4);
}

TEST_F(PipeCatalog, SizesByDnAndRange) {
    const long a = AddMatl("A", 1);
    const long b = AddMatl("B", 1);
    for (int dn : {50, 15, 25, 20, 32}) {
        AddSpec(a, dn);
    }
    AddSpec(b, 20);
    CTQPipeSpec dup;
    dup.MatlID = a;
    dup.DN = 25;
    dup.ID = 77;
    EXPECT_FALSE(dup.Add(db_.get()));
    EXPECT_EQ(dup.ID, 77);

    CTQArray<CTQPipeSpec> list;
    ASSERT_EQ(CTQPipeMatlManager::GetAllSpec(list, a, db_.get()), 5);
    EXPECT_EQ(list[0].DN, 15);
    EXPECT_EQ(list[4].DN, 50);
    EXPECT_EQ(CTQPipeMatlManager::GetAllSpec(list, a, 0, 0, db_.get()), 5);
    EXPECT_EQ(CTQPipeMatlManager::GetAllSpec(list, a, 20, 0, db_.get()), 4);
    EXPECT_EQ(CTQPipeMatlManager::GetAllSpec(list, a, 0, 25, db_.get()), 3);
    ASSERT_EQ(CTQPipeMatlManager::GetAllSpec(list, a, 20, 32, db_.get()), 3);
    EXPECT_EQ(list[0].DN, 20);
    EXPECT_EQ(list[2].DN, 32);

    CTQPipeMatl matl;
    ASSERT_TRUE(matl.UpdateData(a, true, db_.get()));
    EXPECT_EQ(matl.GetAllSpec(list, db_.get()), 5);
    CTQPipeSpec s;
    ASSERT_TRUE(matl.GetSpec(s, 32, db_.get()));
    EXPECT_EQ(s.MatlID, a);
    EXPECT_FALSE(matl.GetSpec(s, 40, db_.get()));

    EXPECT_TRUE(CTQPipeSpec::Delete(-1, nullptr));
    ASSERT_TRUE(CTQPipeSpec::Delete(s.ID, db_.get()));
    EXPECT_EQ(CTQPipeMatlManager::GetAllSpec(list, a, db_.get()), 4);
}

TEST_F(PipeCatalog, SizeRoundTripsEveryColumn) {
    const long m = AddMatl("A", 1);
    CTQPipeSpec s;
    s.MatlID = m;
    s.DN = 40;
    s.InsD = 41.0;
    s.OutD = 48.0;
    s.Thickness = 3.5;
    s.MinV = 0.6;
    s.MaxV = 1.2;
    s.MinH = 3000;
    s.MaxH = 9000;
    s.MinR = 60;
    s.MaxR = 250;
    s.Version = 3;
    ASSERT_TRUE(s.Add(db_.get()));
    CTQPipeSpec r;
    ASSERT_TRUE(r.UpdateData(s.ID, true, db_.get()));
    EXPECT_EQ(r.DN, 40);
    EXPECT_EQ(r.InsD, 41.0);
    EXPECT_EQ(r.OutD, 48.0);
    EXPECT_EQ(r.Thickness, 3.5);
    EXPECT_EQ(r.MinV, 0.6);
    EXPECT_EQ(r.MaxV, 1.2);
    EXPECT_EQ(r.MinH, 3000);
    EXPECT_EQ(r.MaxH, 9000);
    EXPECT_EQ(r.MinR, 60);
    EXPECT_EQ(r.MaxR, 250);
    EXPECT_EQ(r.Version, 3);
    EXPECT_EQ(r.MatlID, m);
}

TEST_F(PipeCatalog, OldTableWithoutLoadColumnsIsRead) {
    Sql("DROP TABLE PipeSpec;"
        "CREATE TABLE PipeSpec (ID INTEGER PRIMARY KEY AUTOINCREMENT, MatlID INTEGER, DN INTEGER,"
        " InsD REAL, OutD REAL, Thickness REAL, MinV REAL, MaxV REAL, MinR REAL, MaxR REAL, Version INTEGER);"
        "INSERT INTO PipeSpec (MatlID, DN, InsD, MinV, MaxV, MinR, MaxR, Version)"
        " VALUES (1, 25, 27.0, 0.4, 0.9, 50, 200, 2);");
    CTQArray<CTQPipeSpec> list;
    ASSERT_EQ(CTQPipeMatlManager::GetAllSpec(list, 1, db_.get()), 1);
    EXPECT_EQ(list[0].InsD, 27.0);
    EXPECT_EQ(list[0].MinH, 0);
    EXPECT_EQ(list[0].MaxH, 0);
    CTQPipeSpec kept;
    kept.MinH = 11;
    kept.MaxH = 22;
    ASSERT_TRUE(kept.UpdateData(list[0].ID, true, db_.get()));
    EXPECT_EQ(kept.MinH, 11);
    EXPECT_EQ(kept.MaxH, 22);
    EXPECT_EQ(kept.MaxR, 200);
}

TEST_F(PipeCatalog, FailedRowWriteIsNotReportedAsAdded) {
    FILE_CATALOG_ONLY();
    Sql("CREATE TRIGGER refuse BEFORE INSERT ON Material BEGIN SELECT RAISE(ABORT, 'refused'); END;");
    CTQPipeMatl m;
    m.Name = "never stored";
    EXPECT_FALSE(m.Add(db_.get()));
    EXPECT_EQ(m.ID, -1);
    EXPECT_EQ(SqlNumber("select count(*) from Material"), 0);
    Sql("DROP TRIGGER refuse;");
    EXPECT_TRUE(m.Add(db_.get()));
    EXPECT_EQ(SqlNumber("select count(*) from Material"), 1);
}

TEST_F(PipeCatalog, TwoProcessesAddingTheSameMaterialStoreOneRow) {
    int ready[2], go[2];
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe(go), 0);
    pid_t children[2];
    for (pid_t& child : children) {
        child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            CADODatabase db;
            int rc = 2;
            if (db.Open(Connection())) {
                char c = 'r';
                (void)!write(ready[1], &c, 1);
                (void)!read(go[0], &c, 1);
                CTQPipeMatl m;
                m.Name = "same";
                rc = m.Add(&db) ? 0 : 1;
                db.Close();
            }
            _exit(rc);
        }
    }
    char c;
    ASSERT_EQ(read(ready[0], &c, 1), 1);
    ASSERT_EQ(read(ready[0], &c, 1), 1);
    (void)!write(go[1], "gg", 2);
    int added = 0, refused = 0;
    for (pid_t child : children) {
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status));
        (WEXITSTATUS(status) == 0 ? added : refused) += 1;
        EXPECT_NE(WEXITSTATUS(status), 2);
    }
    EXPECT_EQ(added, 1);
    EXPECT_EQ(refused, 1);
    EXPECT_EQ(SqlNumber("select count(*) from Material where Name = 'same'"), 1);
}

TEST_F(PipeCatalog, AddInsideTheCallersTransaction) {
    ASSERT_GT(db_->BeginTransaction(), 0);
    CTQPipeMatl m;
    m.Name = "inner";
    EXPECT_TRUE(m.Add(db_.get()));
    EXPECT_EQ(db_->RollbackTransaction(), 0);
    EXPECT_EQ(SqlNumber("select count(*) from Material"), 0);
}

TEST_F(PipeCatalog, MaterialFileRoundTrip) {
    CTQPipeMatl m;
    m.Type = 2;
    m.Name = "PE100 SDR11 \"<&>\"";
    m.Unit = "m";
    m.Mark = "De";
    m.Symbol = 3;
    m.K = 0.007;
    m.Density = 955.5;
    m.Comment = "第一行\n\tsecond line ]]>";
    m.Param1 = -0.0;
    m.Param2 = " lead and trail ";
    m.Param3 = "";
    m.ID = 1234567890123L;
    m.Version = 9;
    CTQArray<CTQPipeSpec> specs;
    for (int i = 0; i < 3; ++i) {
        CTQPipeSpec s;
        s.DN = 20 + 5 * i;
        s.InsD = 16.2 + i;
        s.OutD = 20.0 + i;
        s.Thickness = 1.9;
        s.MinV = 0.1 * i;
        s.MaxV = 1.0 / 3.0;
        s.MinH = 1e-300;
        s.MaxH = 1e300;
        s.MinR = 5;
        s.MaxR = 6;
        s.MatlID = m.ID;
        s.ID = 100 + i;
        s.Version = i;
        specs.Add(s);
    }
    const std::string file = dir_ + "/matl.xml";
    ASSERT_TRUE(CTQPipeMatlManager::SaveMatlToXML(m, specs, file.c_str()));

    CTQPipeMatl back;
    CTQArray<CTQPipeSpec> backSpecs;
    backSpecs.Add(CTQPipeSpec());
    ASSERT_TRUE(CTQPipeMatlManager::LoadMatlFromXML(back, backSpecs, file.c_str()));
    EXPECT_EQ(back.Type, m.Type);
    EXPECT_EQ(back.Name, m.Name);
    EXPECT_EQ(back.Unit, m.Unit);
    EXPECT_EQ(back.Mark, m.Mark);
    EXPECT_EQ(back.Symbol, m.Symbol);
    EXPECT_EQ(back.K, m.K);
    EXPECT_EQ(back.Density, m.Density);
    EXPECT_EQ(back.Comment, m.Comment);
    EXPECT_TRUE(std::signbit(back.Param1));
    EXPECT_EQ(back.Param2, m.Param2);
    EXPECT_EQ(back.Param3, m.Param3);
    EXPECT_EQ(back.ID, m.ID);
    EXPECT_EQ(back.Version, m.Version);
    ASSERT_EQ(backSpecs.GetSize(), 3);
    for (int i = 0; i < 3; ++i) {
        const CTQPipeSpec& s = backSpecs[i];
        EXPECT_EQ(s.DN, specs[i].DN);
        EXPECT_EQ(s.InsD, specs[i].InsD);
        EXPECT_EQ(s.OutD, specs[i].OutD);
        EXPECT_EQ(s.Thickness, specs[i].Thickness);
        EXPECT_EQ(s.MinV, specs[i].MinV);
        EXPECT_EQ(s.MaxV, specs[i].MaxV);
        EXPECT_EQ(s.MinH, specs[i].MinH);
        EXPECT_EQ(s.MaxH, specs[i].MaxH);
        EXPECT_EQ(s.MinR, specs[i].MinR);
        EXPECT_EQ(s.MaxR, specs[i].MaxR);
        EXPECT_EQ(s.MatlID, specs[i].MatlID);
        EXPECT_EQ(s.ID, specs[i].ID);
        EXPECT_EQ(s.Version, specs[i].Version);
    }
}

TEST_F(PipeCatalog, MaterialFileFailures) {
    CTQPipeMatl m;
    m.Name = "keep";
    CTQArray<CTQPipeSpec> specs;
    specs.Add(CTQPipeSpec());
    const std::string missing = dir_ + "/absent.xml";
    EXPECT_FALSE(CTQPipeMatlManager::LoadMatlFromXML(m, specs, missing.c_str()));
    const std::string other = dir_ + "/other.xml";
    std::ofstream(other) << "<?xml version=\"1.0\"?><Section Name=\"Other\"/>";
    EXPECT_FALSE(CTQPipeMatlManager::LoadMatlFromXML(m, specs, other.c_str()));
    EXPECT_EQ(m.Name, "keep");
    EXPECT_EQ(specs.GetSize(), 1);
    // Saving where no file can be written is reported.
    EXPECT_FALSE(CTQPipeMatlManager::SaveMatlToXML(m, specs, (dir_ + "/no/such/dir/x.xml").c_str()));
    // An empty size list round-trips as empty.
    CTQArray<CTQPipeSpec> none;
    const std::string empty = dir_ + "/empty.xml";
    ASSERT_TRUE(CTQPipeMatlManager::SaveMatlToXML(m, none, empty.c_str()));
    ASSERT_TRUE(CTQPipeMatlManager::LoadMatlFromXML(m, specs, empty.c_str()));
    EXPECT_EQ(specs.GetSize(), 0);
    EXPECT_EQ(m.Name, "keep");
}

// ---- The default connection ------------------------------------------------

TEST_F(PipeCatalog, NoConnectionMeansFalseAndZero) {
    FILE_CATALOG_ONLY();
    ASSERT_TRUE(RVN::CloseRVNBaseDataBase());
    ASSERT_EQ(RVN::GetRVNBaseDataBase(), nullptr);
    CTQArray<CTQPipeMatl> list;
    list.Add(CTQPipeMatl());
    EXPECT_EQ(CTQPipeMatlManager::GetAllMatl(list, 0, nullptr), 0);
    EXPECT_EQ(list.GetSize(), 1); // untouched
    CTQArray<CTQPipeSpec> specs;
    specs.Add(CTQPipeSpec());
    EXPECT_EQ(CTQPipeMatlManager::GetAllSpec(specs, 1, nullptr), 0);
    EXPECT_EQ(specs.GetSize(), 1);
    CTQPipeMatl m;
    m.Name = "x";
    EXPECT_FALSE(m.Add(nullptr));
    EXPECT_FALSE(CTQPipeMatl::Delete(1, nullptr));
    EXPECT_FALSE(CTQPipeMatlManager::GetMatl(m, "x", nullptr));
}

TEST_F(PipeCatalog, DefaultConnectionStates) {
    FILE_CATALOG_ONLY();
    ASSERT_TRUE(RVN::CloseRVNBaseDataBase());
    EXPECT_TRUE(RVN::CloseRVNBaseDataBase()); // nothing open: still true

    ASSERT_TRUE(RVN::LoadRVNBaseDataBase(Path().c_str()));
    CADODatabase* owned = RVN::GetRVNBaseDataBase();
    ASSERT_NE(owned, nullptr);
    CTQPipeMatl m;
    m.Name = "via default";
    EXPECT_TRUE(m.Add(nullptr));
    EXPECT_TRUE(RVN::CloseRVNBaseDataBase());
    EXPECT_TRUE(RVN::CloseRVNBaseDataBase());
    EXPECT_EQ(RVN::GetRVNBaseDataBase(), nullptr);

    // Borrowed: never closed by the library.
    RVN::SetRVNBaseDataBase(db_.get());
    EXPECT_FALSE(RVN::CloseRVNBaseDataBase());
    RVN::SetRVNBaseDataBase(db_.get());
    EXPECT_FALSE(RVN::CloseRVNBaseDataBase());
    EXPECT_TRUE(db_->IsOpen());
    CTQArray<CTQPipeMatl> list;
    EXPECT_EQ(CTQPipeMatlManager::GetAllMatl(list, 0, nullptr), 1);

    // A failed load after a borrow: no default connection, still borrowed.
    EXPECT_FALSE(RVN::LoadRVNBaseDataBase((dir_ + "/missing.mdb").c_str()));
    EXPECT_EQ(RVN::GetRVNBaseDataBase(), nullptr);
    EXPECT_FALSE(RVN::CloseRVNBaseDataBase());
    EXPECT_TRUE(db_->IsOpen());

    // A successful load returns to the owned state; adopting a host
    // connection then frees the library's own.
    ASSERT_TRUE(RVN::LoadRVNBaseDataBase(Path().c_str()));
    RVN::SetRVNBaseDataBase(db_.get());
    EXPECT_EQ(RVN::GetRVNBaseDataBase(), db_.get());
    RVN::SetRVNBaseDataBase(nullptr);
    EXPECT_EQ(RVN::GetRVNBaseDataBase(), nullptr);
    // Back to the owned state for the other tests, then none.
    ASSERT_TRUE(RVN::LoadRVNBaseDataBase(Path().c_str()));
    EXPECT_TRUE(RVN::CloseRVNBaseDataBase());
}

TEST_F(PipeCatalog, PathsWithQuotesAndSemicolonsOpen) {
    FILE_CATALOG_ONLY();
    const std::string odd = dir_ + "/a;b\"c";
    std::filesystem::create_directory(odd);
    const std::string file = odd + "/RVNDatasource.mdb";
    std::filesystem::copy_file(Path(), file);
    ASSERT_TRUE(RVN::LoadRVNBaseDataBase(file.c_str()));
    EXPECT_TRUE(RVN::CloseRVNBaseDataBase());
}

// The file at exactly the given path opens: blanks at either end are part
// of the name, never trimmed into another file's name.
TEST_F(PipeCatalog, PathsWithBlankEndsOpenThatFileOnly) {
    FILE_CATALOG_ONLY();
    const std::string plain = dir_ + "/cat.mdb";
    std::filesystem::copy_file(Path(), plain);
    for (const std::string& odd : {plain + " ", dir_ + "/ cat.mdb", plain + "\t"}) {
        SCOPED_TRACE("'" + odd + "'");
        EXPECT_FALSE(RVN::LoadRVNBaseDataBase(odd.c_str())) << "no file of that name yet";
        EXPECT_EQ(RVN::GetRVNBaseDataBase(), nullptr);
        std::filesystem::copy_file(Path(), odd);
        ASSERT_TRUE(RVN::LoadRVNBaseDataBase(odd.c_str()));
        CTQPipeMatl m;
        m.Name = "only in " + odd;
        ASSERT_TRUE(m.Add(nullptr));
        EXPECT_TRUE(RVN::CloseRVNBaseDataBase());
        CADODatabase check;
        ASSERT_TRUE(check.Open("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + plain));
        CTQPipeMatl probe;
        EXPECT_FALSE(CTQPipeMatlManager::GetMatl(probe, m.Name.c_str(), &check)) << "the plain file is untouched";
    }
}

} // namespace
