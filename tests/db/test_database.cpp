// CADODatabase: opening catalog files, statements, transactions and the
// error record.
#include "DbTestUtil.h"

#include "db/ADORecordset.h"

#include <gtest/gtest.h>

#include <fstream>

using dbtest::CatalogTest;
using dbtest::Jet;
using RVNADO::ComError;

namespace {

bool StartsWith(const std::string& s, const std::string& prefix) { return s.compare(0, prefix.size(), prefix) == 0; }

}  // namespace

class DatabaseTest : public CatalogTest {};

TEST_F(DatabaseTest, OpensACatalogFileAndRunsTheDesktopDeleteForm)
{
    CADODatabase db;
    EXPECT_FALSE(db.IsOpen());
    ASSERT_TRUE(db.Open(Jet(m_file))) << db.GetLastErrorString();
    EXPECT_TRUE(db.IsOpen());
    EXPECT_EQ(db.GetConnectionString(), Jet(m_file));

    EXPECT_EQ(db.Execute("delete * from PipeSpec where ID = 2"), 1);
    EXPECT_EQ(db.GetRecordsAffected(), 1);
    EXPECT_EQ(dbtest::QueryInt(m_file, "select count(*) from PipeSpec"), 3);
    EXPECT_EQ(db.Execute("  DELETE   *   FROM   PipeSpec where ID = 1"), 1);
    EXPECT_EQ(dbtest::QueryInt(m_file, "select count(*) from PipeSpec"), 2);

    // A delete that matches nothing still ran.
    EXPECT_EQ(db.Execute("delete * from PipeSpec where ID = 999"), 1);
    EXPECT_EQ(db.GetRecordsAffected(), 0);

    // Names compare without regard to case.
    EXPECT_EQ(db.Execute("update waterprop set md = 1000 where temperature = 20"), 1);
    EXPECT_EQ(db.GetRecordsAffected(), 1);

    // Several statements: the changed rows of all of them count.
    EXPECT_EQ(db.Execute("insert into NoKey values (2, 'b'); insert into NoKey values (3, 'c')"), 1);
    EXPECT_EQ(db.GetRecordsAffected(), 2);
    db.Close();
    EXPECT_FALSE(db.IsOpen());
    db.Close();  // closing a closed connection does nothing
}

TEST_F(DatabaseTest, InvalidSqlIsRecordedInTheFixedFormat)
{
    DB_FILE_ONLY();
    CADODatabase db;
    ASSERT_TRUE(db.Open(Jet(m_file)));
    EXPECT_EQ(db.Execute("delete from Material where ID = 1"), 1);  // an ordinary success
    EXPECT_EQ(db.GetRecordsAffected(), 1);
    EXPECT_EQ(db.Execute("selec nonsense"), 0);
    EXPECT_EQ(db.GetRecordsAffected(), 0);
    EXPECT_EQ(db.GetLastError(), 0x80040E14u);
    const std::string text = db.GetLastErrorString();
    EXPECT_TRUE(StartsWith(text, "Connection String = " + Jet(m_file) + "\nCADODataBase Error\n\tCode = 80040e14\n"
                                 "\tCode meaning = "))
        << text;
    EXPECT_NE(text.find("\n\tSource = SQLite\n\tDescription = "), std::string::npos) << text;
    EXPECT_EQ(text.back(), '\n');

    EXPECT_EQ(db.Execute("delete * from NoSuchTable"), 0);
    EXPECT_EQ(db.GetLastError(), 0x80040E37u);
    EXPECT_NE(db.GetLastErrorString().find("NoSuchTable"), std::string::npos);

    // A later success keeps the last error.
    EXPECT_EQ(db.Execute("delete from Material where ID = 2"), 1);
    EXPECT_EQ(db.GetLastError(), 0x80040E37u);
}

TEST_F(DatabaseTest, SeveralStatementsAreAllOrNothingAndEmptyTextFails)
{
    CADODatabase db;
    ASSERT_TRUE(db.Open(Jet(m_file)));
    EXPECT_EQ(db.Execute("delete from WaterProp; insert into Nowhere values (1)"), 0);
    EXPECT_EQ(db.GetRecordsAffected(), 0);
    EXPECT_EQ(dbtest::QueryInt(m_file, "select count(*) from WaterProp"), 2) << "the first delete is undone";
    EXPECT_EQ(db.Execute("   "), 0);
    EXPECT_NE(db.GetLastErrorString().find("empty"), std::string::npos);
}

namespace {

// Reaches the protected recording step to check the code-meaning rules.
class RecordingProbe : public CADODatabase {
public:
    using CADODatabase::dump_com_error;
};

}  // namespace

TEST(ErrorText, CodeMeaningFallsBackToDispatchAndUnknownTexts)
{
    RecordingProbe probe;
    probe.SetConnectionString("X");
    probe.dump_com_error(ComError(static_cast<RVNADO::HRESULT>(0x80040305u), "S", "D"));
    EXPECT_EQ(probe.GetLastError(), 0x80040305u);
    EXPECT_EQ(probe.GetLastErrorString(), "Connection String = X\nCADODataBase Error\n\tCode = 80040305\n"
                                          "\tCode meaning = IDispatch error #261\n\tSource = S\n\tDescription = D\n");
    probe.dump_com_error(ComError(static_cast<RVNADO::HRESULT>(0x8000ABCDu), "", ""));
    EXPECT_NE(probe.GetLastErrorString().find("\tCode meaning = Unknown error 0x8000ABCD\n\tSource = \n"),
              std::string::npos)
        << probe.GetLastErrorString();
    probe.dump_com_error(ComError(5, "", ""));
    EXPECT_NE(probe.GetLastErrorString().find("\tCode = 00000005\n\tCode meaning = Unknown error 0x5\n"),
              std::string::npos)
        << probe.GetLastErrorString();
    probe.dump_com_error(ComError(RVNADO::Status::ItemNotFound, "", ""));
    EXPECT_NE(probe.GetLastErrorString().find("Code meaning = Item cannot be found in the collection"),
              std::string::npos);
}

TEST_F(DatabaseTest, OpenFailuresNameThePathAndTheReason)
{
    struct Case {
        std::string connection;
        std::string expected;
    };
    const std::string missing = m_dir.File("missing.mdb");
    const std::string folder = m_dir.Path().string();
    const std::string text = m_dir.File("notes.mdb");
    std::ofstream(text) << "This is not a database file at all, just some text that is long enough.\n";
    const std::string empty = m_dir.File("empty.mdb");
    std::ofstream{empty};

    const Case cases[] = {
        {Jet(missing), "Could not find the catalog file '" + missing + "'"},
        {Jet(folder), "'" + folder + "' is a folder"},
        {Jet(text), "'" + text + "': the file is not a catalog database"},
        {"Provider=Unknown.Provider;Data Source=" + m_file, "Unknown.Provider"},
        {"Data Source=" + m_file, "names no provider"},
        {"Provider=Microsoft.Jet.OLEDB.4.0", "names no data source"},
        {"Provider=Microsoft.Jet.OLEDB.4.0;Data Source=\"" + m_file, "unterminated"},
    };
    for (const Case& c : cases) {
        CADODatabase db;
        EXPECT_EQ(db.Open(c.connection), 0) << c.connection;
        EXPECT_FALSE(db.IsOpen());
        EXPECT_NE(db.GetLastErrorString().find(c.expected), std::string::npos) << db.GetLastErrorString();
        EXPECT_NE(db.GetLastError(), 0u);
        // The connection string is kept after a failure.
        EXPECT_EQ(db.GetConnectionString(), c.connection);
    }
    EXPECT_FALSE(std::filesystem::exists(missing)) << "opening must never create a file";
    // An empty file is what the engine would make a new database of; it
    // opens, but has no tables.
    CADODatabase db;
    ASSERT_TRUE(db.Open(Jet(empty)));
    EXPECT_EQ(db.Execute("delete * from PipeSpec"), 0);
}

TEST_F(DatabaseTest, DamagedFileFailsAtOpen)
{
    DB_FILE_ONLY();
    // Overwrite the schema page after the 100-byte file header.
    {
        std::fstream f(m_file, std::ios::in | std::ios::out | std::ios::binary);
        f.seekp(100);
        const std::string garbage(3000, '\xA5');
        f.write(garbage.data(), static_cast<std::streamsize>(garbage.size()));
    }
    CADODatabase db;
    EXPECT_EQ(db.Open(Jet(m_file)), 0);
    EXPECT_FALSE(db.IsOpen());
    EXPECT_NE(db.GetLastErrorString().find("'" + m_file + "': the file is"), std::string::npos)
        << db.GetLastErrorString();
}

TEST_F(DatabaseTest, ConnectionStringsAreCaseInsensitiveAndQuoted)
{
    DB_FILE_ONLY();
    const std::string odd = m_dir.File("a;b \"c\".mdb");
    std::filesystem::copy_file(m_file, odd);
    std::string quoted;
    for (char c : odd)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    CADODatabase db;
    EXPECT_TRUE(db.Open("provider = microsoft.jet.oledb.4.0 ; DATA SOURCE=\"" + quoted + "\";Persist Security Info=False",
                        "Admin", "secret"))
        << db.GetLastErrorString();
    EXPECT_EQ(db.GetActiveConnection()->GetDataSource(), odd);
}

TEST_F(DatabaseTest, EmptyOpenReusesTheStoredStringAndReopens)
{
    CADODatabase db;
    db.SetConnectionString(Jet(m_file));
    EXPECT_FALSE(db.IsOpen());
    ASSERT_TRUE(db.Open(""));
    EXPECT_TRUE(db.IsOpen());
    ASSERT_TRUE(db.Open());  // open on an open object closes it first
    EXPECT_TRUE(db.IsOpen());
    EXPECT_EQ(db.GetConnectionString(), Jet(m_file));
}

TEST_F(DatabaseTest, TimeoutIsAppliedOnlyWhenSet)
{
    CADODatabase db;
    ASSERT_TRUE(db.Open(Jet(m_file)));
    EXPECT_EQ(db.GetActiveConnection()->GetConnectionTimeout(), 0);
    db.SetConnectionTimeout(7);
    EXPECT_EQ(db.GetActiveConnection()->GetConnectionTimeout(), 0) << "takes effect at the next Open";
    ASSERT_TRUE(db.Open());
    EXPECT_EQ(db.GetActiveConnection()->GetConnectionTimeout(), 7);
}

TEST_F(DatabaseTest, CopiesShareTheConnection)
{
    CADODatabase db;
    ASSERT_TRUE(db.Open(Jet(m_file)));
    {
        CADODatabase copy(db);
        EXPECT_EQ(copy.GetActiveConnection(), db.GetActiveConnection());
        EXPECT_TRUE(copy.IsOpen());
        CADODatabase assigned;
        assigned = db;
        CADODatabase& alias = assigned;
        assigned = alias;  // assignment to itself changes nothing
        EXPECT_EQ(assigned.GetActiveConnection(), db.GetActiveConnection());
        EXPECT_EQ(assigned.GetConnectionString(), db.GetConnectionString());
    }
    // Destroying a copy closes the shared connection, as every destructor
    // closes its connection.
    EXPECT_FALSE(db.IsOpen());
}

TEST_F(DatabaseTest, TransactionsNestAndRollBack)
{
    CADODatabase db;
    ASSERT_TRUE(db.Open(Jet(m_file)));
    EXPECT_EQ(db.BeginTransaction(), 1);
    ASSERT_TRUE(db.Execute("delete from WaterProp where Temperature = 20"));
    EXPECT_EQ(db.BeginTransaction(), 2);
    ASSERT_TRUE(db.Execute("delete from WaterProp where Temperature = 40"));
    EXPECT_EQ(db.RollbackTransaction(), 0);  // only the inner delete is undone
    EXPECT_EQ(db.BeginTransaction(), 2);
    ASSERT_TRUE(db.Execute("insert into WaterProp (Temperature, MD) values (60, 983.2)"));
    EXPECT_EQ(db.CommitTransaction(), 0);
    EXPECT_EQ(db.CommitTransaction(), 0);
    EXPECT_EQ(dbtest::QueryInt(m_file, "select count(*) from WaterProp where Temperature = 20"), 0);
    EXPECT_EQ(dbtest::QueryInt(m_file, "select count(*) from WaterProp where Temperature in (40, 60)"), 2);

    EXPECT_EQ(db.BeginTransaction(), 1);
    ASSERT_TRUE(db.Execute("delete from WaterProp"));
    EXPECT_EQ(db.RollbackTransaction(), 0);
    EXPECT_EQ(dbtest::QueryInt(m_file, "select count(*) from WaterProp"), 2);
}

TEST_F(DatabaseTest, ThinOperationsLetTheProviderErrorThrough)
{
    CADODatabase db;
    EXPECT_THROW(db.BeginTransaction(), ComError);  // not open
    ASSERT_TRUE(db.Open(Jet(m_file)));
    try {
        db.CommitTransaction();
        FAIL() << "commit without a transaction";
    } catch (const ComError& e) {
        EXPECT_EQ(static_cast<std::uint32_t>(e.Error()), 0x8004D00Eu);
    }
    EXPECT_THROW(db.RollbackTransaction(), ComError);
    EXPECT_EQ(db.GetLastError(), 0u) << "thin operations record nothing";
    EXPECT_THROW(db.GetRecordCount(nullptr), ComError);
}

TEST_F(DatabaseTest, RecordCountIsWalkedWhenTheProviderCannotTell)
{
    CADODatabase db;
    ASSERT_TRUE(db.Open(Jet(m_file)));
    auto rs = RVNADO::Recordset::Create();
    rs->Open("select * from PipeSpec order by ID", db.GetActiveConnection(), RVNADO::adOpenForwardOnly,
             RVNADO::adLockReadOnly, RVNADO::adCmdText);
    ASSERT_EQ(rs->GetRecordCount(), -1);
    rs->MoveNext();
    rs->MoveNext();
    EXPECT_EQ(db.GetRecordCount(rs), 4u);
    EXPECT_EQ(rs->GetCollect(rs->FindField("ID")).GetInt(), 1) << "the cursor is back on the first row";
    // Even from the end of the file the count is the number of rows.
    rs->MoveLast();
    rs->MoveNext();
    ASSERT_TRUE(rs->IsEOF());
    EXPECT_EQ(db.GetRecordCount(rs), 4u);

    auto none = RVNADO::Recordset::Create();
    none->Open("select * from PipeSpec where ID < 0", db.GetActiveConnection(), RVNADO::adOpenForwardOnly,
               RVNADO::adLockReadOnly, RVNADO::adCmdText);
    EXPECT_EQ(db.GetRecordCount(none), 0u);
    EXPECT_TRUE(none->IsEOF());
    EXPECT_TRUE(none->IsBOF());
}

TEST_F(DatabaseTest, DestructorNeverThrows)
{
    auto* db = new CADODatabase;
    ASSERT_TRUE(db->Open(Jet(m_file)));
    ASSERT_EQ(db->BeginTransaction(), 1);
    ASSERT_TRUE(db->Execute("delete from PipeSpec"));
    EXPECT_NO_THROW(delete db);  // closes, rolling the open transaction back
    EXPECT_EQ(dbtest::QueryInt(m_file, "select count(*) from PipeSpec"), 4);
}
