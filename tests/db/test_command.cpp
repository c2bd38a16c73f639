// CADOCommand, CADOParameter, CADORecordset::Execute and record binding.
#include "DbTestUtil.h"

#include "db/ADOCommand.h"
#include "db/ADORecordset.h"

#include <gtest/gtest.h>

using dbtest::Jet;
using RVNADO::ComError;
using RVNADO::Variant;

namespace {

// The last error of a command or parameter, which the classes keep for
// derived classes only.
struct Command : CADOCommand {
    using CADOCommand::CADOCommand;
    unsigned long Error() const { return m_dwLastError; }
    const std::string& Text() const { return m_strLastError; }
};

struct Parameter : CADOParameter {
    using CADOParameter::CADOParameter;
    unsigned long Error() const { return m_dwLastError; }
    const std::string& Text() const { return m_strLastError; }
};

}  // namespace

class CommandTest : public dbtest::CatalogTest {
protected:
    void SetUp() override
    {
        CatalogTest::SetUp();
        ASSERT_TRUE(m_db.Open(Jet(m_file))) << m_db.GetLastErrorString();
    }

    long Count(const std::string& sql) { return static_cast<long>(dbtest::QueryInt(m_file, sql)); }

    CADODatabase m_db;
};

TEST_F(CommandTest, TextCommandBindsParametersInOrderAndCountsRows)
{
    Command cmd(&m_db, "update PipeSpec set Thick = ? where MatlID = ? and DN >= ?", RVNADO::adCmdText);
    ASSERT_TRUE(cmd.AddParameter("Thick", RVNADO::adDouble, RVNADO::adParamInput, 8, 3.25));
    ASSERT_TRUE(cmd.AddParameter("Matl", RVNADO::adInteger, RVNADO::adParamInput, 4, 1L));
    Parameter dn(RVNADO::adInteger, 0, RVNADO::adParamInput, "DN");
    ASSERT_TRUE(dn.SetValue(20));
    ASSERT_TRUE(cmd.AddParameter(&dn));
    ASSERT_TRUE(cmd.Execute()) << cmd.Text();
    EXPECT_EQ(cmd.GetRecordsAffected(), 2);
    EXPECT_EQ(Count("select count(*) from PipeSpec where Thick = 3.25"), 2);

    // The shared parameter object takes a new value for the next run.
    ASSERT_TRUE(dn.SetValue(100));
    ASSERT_TRUE(cmd.Execute());
    EXPECT_EQ(cmd.GetRecordsAffected(), 1);

    Command insert(&m_db, "insert into Material (Name, Type, Roughness) values (?, ?, ?)", RVNADO::adCmdText);
    ASSERT_TRUE(insert.AddParameter("Name", RVNADO::adVarWChar, RVNADO::adParamInput, 50, "O'Brien \"PE\""));
    ASSERT_TRUE(insert.AddParameter("Type", RVNADO::adSmallInt, RVNADO::adParamInput, 2, 7));
    ASSERT_TRUE(insert.AddParameter("R", RVNADO::adDouble, RVNADO::adParamInput, 8, Variant::Text("0.0015")));
    ASSERT_TRUE(insert.Execute()) << insert.Text();
    EXPECT_EQ(insert.GetRecordsAffected(), 1);
    EXPECT_EQ(Count("select Type from Material where Name = 'O''Brien \"PE\"'"), 7)
        << "quotes in a value need no escaping";
    EXPECT_EQ(Count("select Roughness * 10000 from Material where Type = 7"), 15) << "text converted to the type";
}

TEST_F(CommandTest, PlaceholderCountMustMatchAndFailuresLeaveZeroRows)
{
    Command cmd(&m_db, "delete from PipeSpec where DN = ? and MatlID = ?", RVNADO::adCmdText);
    ASSERT_TRUE(cmd.AddParameter("DN", RVNADO::adInteger, RVNADO::adParamInput, 4, 20));
    EXPECT_FALSE(cmd.Execute());
    EXPECT_EQ(cmd.Error(), 0x80040E14u);
    EXPECT_EQ(cmd.GetRecordsAffected(), 0);
    EXPECT_EQ(cmd.Text().rfind("CADOCommand Error\n\tCode = 80040e14\n", 0), 0u) << cmd.Text();
    EXPECT_EQ(Count("select count(*) from PipeSpec"), 4);
    ASSERT_TRUE(cmd.AddParameter("M", RVNADO::adInteger, RVNADO::adParamInput, 4, 1));
    ASSERT_TRUE(cmd.AddParameter("extra", RVNADO::adInteger, RVNADO::adParamInput, 4, 1));
    EXPECT_FALSE(cmd.Execute()) << "one parameter too many";
    EXPECT_EQ(Count("select count(*) from PipeSpec"), 4);

    Command missing(&m_db, "NoSuchQuery", RVNADO::adCmdStoredProc);
    EXPECT_FALSE(missing.Execute());
    EXPECT_EQ(missing.Error(), 0x80040E37u);
    EXPECT_EQ(missing.GetRecordsAffected(), 0);

    Command bad(&m_db, "update Nowhere set x = 1", RVNADO::adCmdText);
    EXPECT_FALSE(bad.Execute());
    EXPECT_EQ(bad.Error(), 0x80040E37u);

    Command unconnected(nullptr, "delete from PipeSpec", RVNADO::adCmdText);
    EXPECT_FALSE(unconnected.Execute());
    EXPECT_EQ(unconnected.Error(), 0x80004003u);

    Command wrongKind(&m_db, "select 1", RVNADO::adCmdText);
    EXPECT_FALSE(wrongKind.AddParameter("n", RVNADO::adInteger, RVNADO::adParamInput, 4, std::string("ten")));
    EXPECT_EQ(wrongKind.Error(), 0x80040E07u);
    EXPECT_EQ(wrongKind.GetCommand()->GetParameterCount(), 0) << "a refused parameter is not appended";
}

TEST_F(CommandTest, StoredProcedureTypeRunsAViewIntoARecordset)
{
    CADOCommand cmd(&m_db, "BigPipes", RVNADO::adCmdStoredProc);
    CADORecordset rs(&m_db);
    ASSERT_TRUE(rs.Execute(&cmd)) << rs.GetLastErrorString();
    EXPECT_EQ(rs.GetRecordCount(), 1u);
    int dn = 0;
    ASSERT_TRUE(rs.GetFieldValue("DN", dn));
    EXPECT_EQ(dn, 100);
    EXPECT_EQ(m_db.GetActiveConnection()->GetCursorLocation(), RVNADO::adUseClient);

    // The same command object run as text.
    cmd.SetType(RVNADO::adCmdText);
    cmd.SetText("select DN from PipeSpec where MatlID = ? order by DN");
    ASSERT_TRUE(cmd.AddParameter("M", RVNADO::adInteger, RVNADO::adParamInput, 4, 1));
    ASSERT_TRUE(rs.Execute(&cmd)) << rs.GetLastErrorString();
    EXPECT_EQ(rs.GetString(",", ";", "", 0), "15;20;100;");

    // A text that returns no rows leaves a closed recordset, not a missing one.
    CADOCommand del(&m_db, "delete from PipeSpec where ID = 4", RVNADO::adCmdText);
    ASSERT_TRUE(rs.Execute(&del)) << rs.GetLastErrorString();
    EXPECT_FALSE(rs.IsOpen());
    EXPECT_EQ(Count("select count(*) from PipeSpec"), 3);
    ASSERT_TRUE(rs.Open("select * from PipeSpec")) << "the recordset opens again";

    CADOCommand withParams(&m_db, "BigPipes", RVNADO::adCmdStoredProc);
    ASSERT_TRUE(withParams.AddParameter("x", RVNADO::adInteger, RVNADO::adParamInput, 4, 1));
    EXPECT_FALSE(rs.Execute(&withParams)) << "a saved query takes no parameters";
    EXPECT_EQ(rs.GetLastError(), 0x800A0BB9u);
}

TEST_F(CommandTest, RecordsetExecuteWithoutConnectionIsRecorded)
{
    CADOCommand cmd(&m_db, "select * from Material", RVNADO::adCmdText);
    CADORecordset rs;
    EXPECT_FALSE(rs.Execute(&cmd));
    EXPECT_EQ(rs.GetLastError(), 0x80004003u);
    EXPECT_EQ(rs.GetLastErrorString().rfind("Query = \nCADORecordset Error", 0), 0u) << rs.GetLastErrorString();
    CADORecordset connected(&m_db);
    EXPECT_FALSE(connected.Execute(nullptr));
    EXPECT_EQ(connected.GetLastError(), 0x80004003u);
}

TEST(Parameter, ValuesRoundTripWithTheirConversions)
{
    Parameter p(RVNADO::adEmpty, 0, RVNADO::adParamInput, "p");
    int i = 0;
    long l = 0;
    double d = 0.0;
    std::string s;
    RVNADO::DateTime t;
    Variant v;

    ASSERT_TRUE(p.SetValue(70000));
    ASSERT_TRUE(p.GetValue(i));
    EXPECT_EQ(i, 70000) << "an int is kept in full";
    EXPECT_EQ(p.GetParameter()->GetSize(), 4);
    ASSERT_TRUE(p.SetValue(9007199254740993L));
    ASSERT_TRUE(p.GetValue(l));
    EXPECT_EQ(l, 9007199254740993L) << "a long is kept in full";
    i = 5;
    EXPECT_FALSE(p.GetValue(i)) << "outside the int range";
    EXPECT_EQ(i, 5);
    ASSERT_TRUE(p.GetValue(s));
    EXPECT_EQ(s, "9007199254740993");

    Parameter dbl(RVNADO::adDouble, 0, RVNADO::adParamInput, "d");
    ASSERT_TRUE(dbl.SetValue(0.5));
    EXPECT_EQ(dbl.GetParameter()->GetSize(), 8);
    ASSERT_TRUE(dbl.GetValue(d));
    EXPECT_EQ(d, 0.5);
    ASSERT_TRUE(dbl.GetValue(s));
    EXPECT_EQ(s, "0.500000");
    Parameter sized(RVNADO::adDouble, 20, RVNADO::adParamInput, "d20");
    ASSERT_TRUE(sized.SetValue(1.5));
    EXPECT_EQ(sized.GetParameter()->GetSize(), 20) << "a set size stays";

    Parameter text(RVNADO::adVarWChar, 0, RVNADO::adParamInput, "t");
    ASSERT_TRUE(text.SetValue(""));
    EXPECT_EQ(text.GetParameter()->GetSize(), 0);
    ASSERT_TRUE(text.GetValue(v));
    EXPECT_TRUE(v.IsNull()) << "an empty text sets null";
    ASSERT_TRUE(text.GetValue(l));
    EXPECT_EQ(l, 0);
    ASSERT_TRUE(text.SetValue(std::string("\xE6\xB0\xB4 water")));
    EXPECT_EQ(text.GetParameter()->GetSize(), 9) << "the byte length";
    ASSERT_TRUE(text.GetValue(s));
    EXPECT_EQ(s, "\xE6\xB0\xB4 water");

    Parameter date(RVNADO::adDate, 0, RVNADO::adParamInput, "dt");
    ASSERT_TRUE(date.SetValue(RVNADO::DateTime(2024, 1, 2, 3, 4, 5)));
    ASSERT_TRUE(date.GetValue(s));
    EXPECT_EQ(s, "2024-01-02 03:04:05");
    ASSERT_TRUE(date.GetValue(t));
    EXPECT_EQ(t.GetDay(), 2);
    ASSERT_TRUE(date.GetValue(d));
    EXPECT_EQ(d, 0.0) << "a date read as a double gives 0";
    EXPECT_FALSE(date.SetValue(RVNADO::DateTime::Invalid()));
    EXPECT_EQ(date.Error(), 0x80040E07u);
    EXPECT_EQ(date.Text().rfind("CADOParameter Error\n", 0), 0u);

    Parameter any(RVNADO::adEmpty, 0, RVNADO::adParamInput, "v");
    ASSERT_TRUE(any.SetValue(Variant::UI4(4000000000u)));
    EXPECT_EQ(any.GetParameter()->GetSize(), 16);
    s = "kept";
    EXPECT_FALSE(any.GetValue(s)) << "an unsigned 32-bit value is refused as text";
    EXPECT_EQ(s, "kept");
    ASSERT_TRUE(any.GetValue(l));
    EXPECT_EQ(l, 4000000000L);
    ASSERT_TRUE(any.SetValue(Variant::Cy(RVNADO::Currency::FromScaled(25000))));
    d = -1.0;
    ASSERT_TRUE(any.GetValue(d));
    EXPECT_EQ(d, 0.0) << "a currency amount read as a double gives 0, like a date";
    ASSERT_TRUE(any.SetValue(Variant::Null()));
    t = RVNADO::DateTime(2000, 1, 1, 0, 0, 0);
    ASSERT_TRUE(any.GetValue(t));
    EXPECT_EQ(t.GetStatus(), RVNADO::DateTime::null);

    Parameter number(RVNADO::adInteger, 0, RVNADO::adParamInput, "n");
    EXPECT_FALSE(number.SetValue("twelve")) << "refused for an integer parameter";
    EXPECT_EQ(number.Error(), 0x80040E07u);
    EXPECT_THROW(Parameter(RVNADO::adInteger, 0, 9, "bad direction"), ComError);
}

namespace {

struct SpecRow : CADORecordBinding {
    long id = -1;
    long matl = 0;
    int dn = 0;
    double od = 0.0;
    std::string remark = "unset";
    void BindColumns(Columns& c) override
    {
        c.Bind("ID", id, readOnly);
        c.Bind("MatlID", matl);
        c.Bind("DN", dn);
        c.Bind("OD", od);
        c.Bind("Remark", remark);
    }
};

struct MissingColumn : CADORecordBinding {
    int x = 0;
    void BindColumns(Columns& c) override { c.Bind("NoSuchColumn", x); }
};

}  // namespace

TEST_F(CommandTest, RecordBindingFollowsMovesAndAddsRows)
{
    CADORecordset rs(&m_db);
    ASSERT_TRUE(rs.Open("select * from PipeSpec where MatlID = 1 order by DN"));
    SpecRow row;
    EXPECT_FALSE(rs.AddNew(row)) << "no RecordBinding yet";
    EXPECT_EQ(rs.GetLastError(), 0x800A0C93u);
    EXPECT_EQ(Count("select count(*) from PipeSpec"), 4);

    MissingColumn missing;
    EXPECT_THROW(rs.RecordBinding(missing), ComError);

    ASSERT_TRUE(rs.RecordBinding(row));
    EXPECT_EQ(row.dn, 15);
    EXPECT_EQ(row.remark, "") << "a null column gives an empty text";
    rs.MoveNext();
    EXPECT_EQ(row.dn, 20);
    EXPECT_DOUBLE_EQ(row.od, 26.9);
    rs.MoveLast();
    EXPECT_EQ(row.dn, 100);
    ASSERT_TRUE(rs.FindFirst("DN = 20"));
    EXPECT_EQ(row.dn, 20);

    SpecRow added;
    added.matl = 1;
    added.dn = 125;
    added.od = 133.0;
    added.remark = "bound";
    ASSERT_TRUE(rs.AddNew(added)) << rs.GetLastErrorString();
    EXPECT_EQ(added.id, 5) << "the stored row, autonumber included";
    EXPECT_EQ(Count("select DN from PipeSpec where Remark = 'bound'"), 125);
    EXPECT_EQ(rs.GetRecordCount(), 4u);

    // A row the table refuses leaves nothing behind.
    ASSERT_TRUE(m_db.Execute("create table Strict (ID INTEGER PRIMARY KEY AUTOINCREMENT, DN INTEGER, "
                             "MatlID LONG, OD DOUBLE, Remark VARCHAR(3))"));
    CADORecordset strict(&m_db);
    ASSERT_TRUE(strict.Open("select * from Strict"));
    SpecRow tooLong;
    ASSERT_TRUE(strict.RecordBinding(tooLong));
    tooLong.remark = "longer than three";
    EXPECT_FALSE(strict.AddNew(tooLong));
    EXPECT_NE(strict.GetLastError(), 0u);
    EXPECT_EQ(Count("select count(*) from Strict"), 0);
    tooLong.remark = "";
    ASSERT_TRUE(strict.AddNew(tooLong)) << strict.GetLastErrorString();
    EXPECT_EQ(Count("select count(*) from Strict where Remark is null"), 1) << "an empty text stores null";

    rs.Close();
    EXPECT_FALSE(rs.AddNew(row)) << "Close ends the binding";
}
