// CADORecordset: opening, moving, editing and what is caught or raised.
#include "DbTestUtil.h"

#include "db/ADORecordset.h"

#include <gtest/gtest.h>

using dbtest::Jet;
using RVNADO::ComError;

class RecordsetTest : public dbtest::CatalogTest {
protected:
    void SetUp() override
    {
        CatalogTest::SetUp();
        ASSERT_TRUE(m_db.Open(Jet(m_file))) << m_db.GetLastErrorString();
    }

    long Count(const std::string& sql) { return static_cast<long>(dbtest::QueryInt(m_file, sql)); }

    CADODatabase m_db;
};

TEST_F(RecordsetTest, OpenTrimsTheQueryAndReadsASnapshot)
{
    CADORecordset rs(&m_db);
    ASSERT_TRUE(rs.Open("  SELECT * FROM PipeSpec where MatlID = 1 order by  DN", CADORecordset::openUnknown))
        << rs.GetLastErrorString();
    EXPECT_EQ(rs.GetQuery(), "SELECT * FROM PipeSpec where MatlID = 1 order by  DN");
    EXPECT_EQ(rs.GetRecordset()->GetCursorType(), RVNADO::adOpenStatic);
    EXPECT_TRUE(rs.IsOpen());
    EXPECT_EQ(rs.GetRecordCount(), 3u);
    int dn = 0;
    std::vector<int> dns;
    while (!rs.IsEOF()) {
        ASSERT_TRUE(rs.GetFieldValue("DN", dn));
        dns.push_back(dn);
        rs.MoveNext();
    }
    EXPECT_EQ(dns, (std::vector<int>{15, 20, 100}));
    EXPECT_THROW(rs.MoveNext(), ComError) << "moving past the end is raised";
    rs.MoveLast();
    ASSERT_TRUE(rs.GetFieldValue("dn", dn));  // names compare without case
    EXPECT_EQ(dn, 100);
    rs.MovePrevious();
    rs.MovePrevious();
    rs.MovePrevious();
    EXPECT_TRUE(rs.IsBOF());
    EXPECT_THROW(rs.MovePrevious(), ComError);
    rs.MoveFirst();
    EXPECT_FALSE(rs.IsBof());
}

TEST_F(RecordsetTest, OptionsOtherThanTheFourFailWithoutOpening)
{
    CADORecordset rs(&m_db);
    EXPECT_FALSE(rs.Open("select * from Material", 5));
    EXPECT_FALSE(rs.IsOpen());
    EXPECT_FALSE(rs.Open("select * from Material", -1));
    EXPECT_EQ(rs.GetLastError(), 0u);
}

TEST_F(RecordsetTest, EmptyTextRerunsTheStoredQuery)
{
    CADORecordset rs(&m_db);
    ASSERT_TRUE(rs.Open("select * from Material order by ID"));
    EXPECT_EQ(rs.GetRecordCount(), 3u);
    ASSERT_TRUE(m_db.Execute("delete from Material where ID = 3"));
    ASSERT_TRUE(rs.Open(""));
    EXPECT_EQ(rs.GetRecordCount(), 2u);
    rs.SetQuery("select * from Material where ID = 1");
    ASSERT_TRUE(rs.Open());
    EXPECT_EQ(rs.GetRecordCount(), 1u);
}

TEST_F(RecordsetTest, TableAndSavedQueryOptions)
{
    CADORecordset table(&m_db);
    ASSERT_TRUE(table.Open("PipeSpec", CADORecordset::openTable)) << table.GetLastErrorString();
    EXPECT_EQ(table.GetRecordCount(), 4u);
    EXPECT_FALSE(table.Open("NoSuchTable", CADORecordset::openTable));
    EXPECT_EQ(table.GetLastError(), 0x80040E37u);

    CADORecordset view(&m_db);
    ASSERT_TRUE(view.Open("bigpipes", CADORecordset::openStoredProc)) << view.GetLastErrorString();
    EXPECT_EQ(view.GetRecordCount(), 1u);
    EXPECT_EQ(m_db.GetActiveConnection()->GetCursorLocation(), RVNADO::adUseClient);
    CADORecordset missing(&m_db);
    EXPECT_FALSE(missing.Open("NoSuchQuery", CADORecordset::openStoredProc));
    EXPECT_NE(missing.GetLastErrorString().find("NoSuchQuery"), std::string::npos);
    EXPECT_FALSE(missing.Open("Material", CADORecordset::openStoredProc)) << "a table is not a saved query";
}

TEST_F(RecordsetTest, OpenErrorsAreRecordedWithTheQuery)
{
    CADORecordset rs(&m_db);
    EXPECT_FALSE(rs.Open("select * from Nowhere"));
    EXPECT_EQ(rs.GetLastError(), 0x80040E37u);
    EXPECT_EQ(rs.GetLastErrorString().rfind("Query = select * from Nowhere\nCADORecordset Error\n\tCode = 80040e37\n", 0),
              0u)
        << rs.GetLastErrorString();
    EXPECT_FALSE(rs.IsOpen());

    CADORecordset unconnected;
    EXPECT_FALSE(unconnected.Open("select * from Material"));
    EXPECT_EQ(unconnected.GetLastError(), 0x80004003u);
}

TEST_F(RecordsetTest, UpdateWithoutEditChangesNothing)
{
    CADORecordset rs(&m_db);
    ASSERT_TRUE(rs.Open("select * from Material where ID = 1"));
    EXPECT_TRUE(rs.Update());
    EXPECT_FALSE(rs.SetFieldValue("Name", "Iron")) << "writes are refused outside an edit";
    EXPECT_EQ(rs.GetLastError(), 0u) << "and the refusal is not an error record";
    EXPECT_EQ(Count("select count(*) from Material where Name = 'Steel'"), 1);
}

TEST_F(RecordsetTest, EditWritesThroughByKey)
{
    CADORecordset rs(&m_db);
    ASSERT_TRUE(rs.Open("select * from Material where Name = 'PPR'"));
    rs.Edit();
    ASSERT_TRUE(rs.SetFieldValue("Roughness", 0.00002));
    ASSERT_TRUE(rs.SetFieldValue("Type", 3));
    std::string name;
    ASSERT_TRUE(rs.GetFieldValue("Type", name));
    EXPECT_EQ(name, "3") << "the pending value reads back before Update";
    ASSERT_TRUE(rs.Update()) << rs.GetLastErrorString();
    EXPECT_EQ(Count("select Type from Material where ID = 2"), 3);
    EXPECT_EQ(Count("select count(*) from Material where Type = 3"), 1) << "only the row of that key";
    int type = 0;
    ASSERT_TRUE(rs.GetFieldValue("Type", type));
    EXPECT_EQ(type, 3);
}

TEST_F(RecordsetTest, AddNewGivesTheAutonumberAtOnceAndCancelLeavesNoRow)
{
    CADORecordset rs(&m_db);
    ASSERT_TRUE(rs.Open("select * from Material where Name = 'Brass'"));
    ASSERT_EQ(rs.GetRecordCount(), 0u);
    ASSERT_TRUE(rs.AddNew());
    long id = 0;
    ASSERT_TRUE(rs.GetFieldValue("ID", id)) << rs.GetLastErrorString();
    EXPECT_EQ(id, 4);
    rs.CancelUpdate();
    EXPECT_EQ(Count("select count(*) from Material"), 3);
    EXPECT_FALSE(rs.SetFieldValue("Name", "Brass")) << "the edit state is back to none";

    // The catalog's Add: AddNew, read the ID, Edit, write, Update.
    ASSERT_TRUE(rs.AddNew());
    long second = 0;
    ASSERT_TRUE(rs.GetFieldValue("ID", second));
    EXPECT_GT(second, id) << "a cancelled number is not given out again";
    rs.Edit();  // still an insert at Update
    ASSERT_TRUE(rs.SetFieldValue("Name", "Brass"));
    ASSERT_TRUE(rs.SetFieldValue("Type", 1));
    ASSERT_TRUE(rs.Update()) << rs.GetLastErrorString();
    EXPECT_EQ(Count("select ID from Material where Name = 'Brass'"), second);
    EXPECT_EQ(Count("select count(*) from Material"), 4);
    EXPECT_EQ(rs.GetRecordCount(), 1u);
    long stored = 0;
    ASSERT_TRUE(rs.GetFieldValue("ID", stored));
    EXPECT_EQ(stored, second);

    // Closing with a pending new row drops it.
    ASSERT_TRUE(rs.AddNew());
    ASSERT_TRUE(rs.SetFieldValue("Name", "Lead"));
    rs.Close();
    EXPECT_EQ(Count("select count(*) from Material where Name = 'Lead'"), 0);
}

TEST_F(RecordsetTest, AddNewOnATableWithoutAutoincrement)
{
    CADORecordset rs(&m_db);
    ASSERT_TRUE(rs.Open("select * from Plain"));
    ASSERT_TRUE(rs.AddNew());
    long id = 0;
    ASSERT_TRUE(rs.GetFieldValue("ID", id));
    EXPECT_EQ(id, 1);
    ASSERT_TRUE(rs.SetFieldValue("Name", "first"));
    ASSERT_TRUE(rs.Update());
    EXPECT_EQ(Count("select ID from Plain where Name = 'first'"), 1);
}

TEST_F(RecordsetTest, FailedUpdateLeavesTheStoredRow)
{
    CADORecordset rs(&m_db);
    ASSERT_TRUE(rs.Open("select * from Material where ID = 1"));
    rs.Edit();
    ASSERT_TRUE(rs.SetFieldValue("Type", 9));
    ASSERT_TRUE(rs.SetFieldValue("Name", ""));  // null into a NOT NULL column
    EXPECT_FALSE(rs.Update());
    EXPECT_EQ(rs.GetLastError(), 0x80040E2Fu);
    EXPECT_EQ(Count("select Type from Material where ID = 1"), 1);
    std::string name;
    ASSERT_TRUE(rs.GetFieldValue("Name", name));
    EXPECT_EQ(name, "Steel") << "the snapshot row is unchanged too";
    EXPECT_FALSE(rs.SetFieldValue("Type", 5)) << "the edit state is none after a failed Update";

    // A failed insert leaves no row.
    ASSERT_TRUE(rs.AddNew());
    ASSERT_TRUE(rs.SetFieldValue("Type", 1));
    EXPECT_FALSE(rs.Update());
    EXPECT_EQ(Count("select count(*) from Material"), 3);
}

TEST_F(RecordsetTest, JoinsAndExpressionsAreReadOnly)
{
    CADORecordset join(&m_db);
    ASSERT_TRUE(join.Open("select m.Name, s.DN from Material m, PipeSpec s where s.MatlID = m.ID"));
    ASSERT_GT(join.GetRecordCount(), 0u);
    join.Edit();
    EXPECT_FALSE(join.SetFieldValue("DN", 25));
    EXPECT_EQ(join.GetLastError(), 0x800A0CB3u);
    EXPECT_THROW(join.AddNew(), ComError);

    CADORecordset expr(&m_db);
    ASSERT_TRUE(expr.Open("select ID, DN * 2 as Twice from PipeSpec"));
    expr.Edit();
    EXPECT_FALSE(expr.SetFieldValue("ID", 7L));
    EXPECT_EQ(expr.GetLastError(), 0x800A0CB3u);
    EXPECT_EQ(expr.GetFieldType("Twice"), RVNADO::adInteger);

    CADORecordset self(&m_db);
    ASSERT_TRUE(self.Open("select a.ID, b.DN from PipeSpec a, PipeSpec b where a.MatlID = 1"));
    self.Edit();
    EXPECT_FALSE(self.SetFieldValue("DN", 25)) << "rows of a self-join are not rows of the table";
    EXPECT_EQ(self.GetLastError(), 0x800A0CB3u);
    EXPECT_EQ(Count("select count(*) from PipeSpec where DN = 25"), 0);

    CADORecordset nokey(&m_db);
    ASSERT_TRUE(nokey.Open("select * from NoKey"));
    nokey.Edit();
    EXPECT_FALSE(nokey.SetFieldValue("B", "x"));
    EXPECT_NE(nokey.GetLastErrorString().find("no primary key"), std::string::npos);
    EXPECT_EQ(Count("select count(*) from NoKey where B = 'a'"), 1);
}

TEST_F(RecordsetTest, SnapshotKeepsItsRowsUntilRequery)
{
    CADORecordset rs(&m_db);
    ASSERT_TRUE(rs.Open("select * from WaterProp order by Temperature"));
    ASSERT_EQ(rs.GetRecordCount(), 2u);

    CADODatabase other;
    ASSERT_TRUE(other.Open(Jet(m_file)));
    ASSERT_TRUE(other.Execute("insert into WaterProp (Temperature, MD) values (60, 983.2)"));
    ASSERT_TRUE(other.Execute("update WaterProp set MD = 1.5 where Temperature = 20"));

    EXPECT_EQ(rs.GetRecordCount(), 2u);
    double md = 0;
    ASSERT_TRUE(rs.GetFieldValue("MD", md));
    EXPECT_DOUBLE_EQ(md, 998.2);
    ASSERT_TRUE(rs.Requery());
    EXPECT_EQ(rs.GetRecordCount(), 3u);
    ASSERT_TRUE(rs.GetFieldValue("MD", md));
    EXPECT_DOUBLE_EQ(md, 1.5);
}

TEST_F(RecordsetTest, RequeryFailureIsRecorded)
{
    CADORecordset rs(&m_db);
    ASSERT_TRUE(rs.Open("select * from NoKey"));
    CADODatabase other;
    ASSERT_TRUE(other.Open(Jet(m_file)));
    ASSERT_TRUE(other.Execute("drop table NoKey"));
    EXPECT_FALSE(rs.Requery());
    EXPECT_EQ(rs.GetLastError(), 0x80040E37u);
    EXPECT_EQ(rs.GetLastErrorString().rfind("Query = select * from NoKey\nCADORecordset Error\n", 0), 0u);
}

TEST_F(RecordsetTest, RowDeletedByAnotherConnectionFailsToUpdate)
{
    CADORecordset rs(&m_db);
    ASSERT_TRUE(rs.Open("select * from PipeSpec where ID = 3"));
    CADODatabase other;
    ASSERT_TRUE(other.Open(Jet(m_file)));
    ASSERT_TRUE(other.Execute("delete * from PipeSpec where ID = 3"));
    rs.Edit();
    ASSERT_TRUE(rs.SetFieldValue("DN", 125));
    EXPECT_FALSE(rs.Update());
    EXPECT_EQ(rs.GetLastError(), 0x80040E23u);
    EXPECT_EQ(Count("select count(*) from PipeSpec where DN = 125"), 0) << "nothing was re-created";
}

TEST_F(RecordsetTest, DeleteLoopRemovesEveryRow)
{
    CADORecordset rs(&m_db);
    ASSERT_TRUE(rs.Open("select * from PipeSpec where MatlID = 1"));
    ASSERT_EQ(rs.GetRecordCount(), 3u);
    rs.MoveFirst();
    while (!rs.IsEOF()) {
        ASSERT_TRUE(rs.Delete());
        long id = 0;
        EXPECT_FALSE(rs.GetFieldValue("ID", id)) << "a deleted row cannot be read";
        rs.MoveNext();
    }
    EXPECT_EQ(rs.GetRecordCount(), 0u);
    EXPECT_EQ(Count("select count(*) from PipeSpec"), 1);
}

TEST_F(RecordsetTest, NoCurrentRowIsARecordedErrorNeverARead)
{
    CADORecordset rs(&m_db);
    ASSERT_TRUE(rs.Open("select * from WaterProp where Temperature = 99"));
    ASSERT_TRUE(rs.IsEOF());
    double md = 7;
    EXPECT_FALSE(rs.GetFieldValue("MD", md));
    EXPECT_EQ(md, 7);
    EXPECT_EQ(rs.GetLastError(), 0x800A0BCDu);
    rs.Edit();
    EXPECT_FALSE(rs.SetFieldValue("MD", 1.0));
    EXPECT_TRUE(rs.Update());  // nothing was pending in the provider
    EXPECT_FALSE(rs.IsFieldNull("MD"));

    ASSERT_TRUE(rs.Open("select * from WaterProp"));
    rs.MoveLast();
    rs.MoveNext();
    EXPECT_FALSE(rs.GetFieldValue(1, md));
    EXPECT_FALSE(rs.GetFieldValue("NoSuchField", md));
    EXPECT_EQ(rs.GetLastError(), 0x800A0CC1u);
}

TEST_F(RecordsetTest, ClosedConnectionMeansNotOpen)
{
    CADORecordset rs(&m_db);
    ASSERT_TRUE(rs.Open("select * from Material"));
    m_db.Close();
    EXPECT_FALSE(rs.IsConnectionOpen());
    EXPECT_FALSE(rs.IsOpen());
    EXPECT_NO_THROW(rs.Close());
    EXPECT_TRUE(rs.Requery()) << "not open: nothing to do";
    ASSERT_TRUE(m_db.Open());
    ASSERT_TRUE(rs.Open("select * from Material")) << rs.GetLastErrorString();
    EXPECT_EQ(rs.GetRecordCount(), 3u);
}

TEST_F(RecordsetTest, ThinOperationsRaiseOnAClosedRecordset)
{
    CADORecordset rs(&m_db);
    EXPECT_THROW(rs.IsEOF(), ComError);
    EXPECT_THROW(rs.MoveFirst(), ComError);
    EXPECT_THROW(rs.GetRecordCount(), ComError);
    EXPECT_THROW(rs.AddNew(), ComError);
    EXPECT_THROW(rs.CancelUpdate(), ComError);
    EXPECT_THROW(rs.Delete(), ComError);
    EXPECT_THROW(rs.GetFieldCount(), ComError);
    EXPECT_EQ(rs.GetLastError(), 0u);
    // The caught ones record instead.
    long v = 0;
    EXPECT_FALSE(rs.GetFieldValue("ID", v));
    EXPECT_EQ(rs.GetLastError(), 0x800A0E78u);
}

TEST_F(RecordsetTest, CopiesShareTheProviderRecordset)
{
    CADORecordset rs(&m_db);
    ASSERT_TRUE(rs.Open("select * from Material order by ID"));
    CADORecordset copy(rs);
    EXPECT_EQ(copy.GetRecordset(), rs.GetRecordset());
    copy.MoveNext();
    long id = 0;
    ASSERT_TRUE(rs.GetFieldValue("ID", id));
    EXPECT_EQ(id, 2);
    EXPECT_EQ(copy.GetQuery(), rs.GetQuery());
}

TEST_F(RecordsetTest, DestructorDropsAPendingEditWithoutThrowing)
{
    {
        CADORecordset rs(&m_db);
        ASSERT_TRUE(rs.Open("select * from Material where ID = 1"));
        rs.Edit();
        ASSERT_TRUE(rs.SetFieldValue("Name", "Changed"));
        m_db.Close();  // the recordset can no longer be closed normally
    }
    EXPECT_EQ(Count("select count(*) from Material where Name = 'Changed'"), 0);
}
