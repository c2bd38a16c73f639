// Two processes on one catalog file: a write that meets another process's
// lock waits for the connection timeout, then fails cleanly.
#include "DbTestUtil.h"

#include "db/ADORecordset.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <vector>

using dbtest::Jet;

namespace {

// Child process: holds a write transaction with one uncommitted change until
// the parent says so, then rolls it back.
[[noreturn]] void HoldWriteLock(const std::string& file, int toParent, int fromParent)
{
    CADODatabase db;
    if (!db.Open(Jet(file)))
        _exit(2);
    try {
        if (db.BeginTransaction() != 1 || !db.Execute("update PipeSpec set DN = 999 where ID = 1"))
            _exit(3);
        const char locked = 'L';
        if (write(toParent, &locked, 1) != 1)
            _exit(4);
        char go = 0;
        if (read(fromParent, &go, 1) != 1)
            _exit(5);
        db.RollbackTransaction();
    } catch (...) {
        _exit(6);
    }
    _exit(0);
}

}  // namespace

class LockingTest : public dbtest::CatalogTest {};

TEST_F(LockingTest, WriteWaitsForTheTimeoutAndFailsWithoutChange)
{
    int toParent[2], fromParent[2];
    ASSERT_EQ(pipe(toParent), 0);
    ASSERT_EQ(pipe(fromParent), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0)
        HoldWriteLock(m_file, toParent[1], fromParent[0]);
    char locked = 0;
    ASSERT_EQ(read(toParent[0], &locked, 1), 1);

    CADODatabase db;
    db.SetConnectionTimeout(1);
    ASSERT_TRUE(db.Open(Jet(m_file))) << db.GetLastErrorString();

    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(db.Execute("update PipeSpec set DN = 50 where ID = 2"), 0);
    const double waited = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_GE(waited, 0.9) << "the write waits for the lock before it gives up";
    EXPECT_EQ(db.GetLastError(), 0x80004005u);
    EXPECT_NE(db.GetLastErrorString().find("locked"), std::string::npos) << db.GetLastErrorString();

    // Reading goes on while the other process writes; its change is not seen.
    CADORecordset rs(&db);
    ASSERT_TRUE(rs.Open("select * from PipeSpec order by ID"));
    int dn = 0;
    ASSERT_TRUE(rs.GetFieldValue("DN", dn));
    EXPECT_EQ(dn, 15);
    // A recordset write fails the same way, and so does taking an autonumber.
    rs.Edit();
    ASSERT_TRUE(rs.SetFieldValue("DN", 16));
    EXPECT_FALSE(rs.Update());
    EXPECT_EQ(rs.GetLastError(), 0x80004005u);
    EXPECT_THROW(rs.AddNew(), RVNADO::ComError);

    const char go = 'G';
    ASSERT_EQ(write(fromParent[1], &go, 1), 1);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    for (int fd : {toParent[0], toParent[1], fromParent[0], fromParent[1]})
        close(fd);

    EXPECT_EQ(dbtest::QueryInt(m_file, "select DN from PipeSpec where ID = 1"), 15) << "rolled back";
    EXPECT_EQ(dbtest::QueryInt(m_file, "select DN from PipeSpec where ID = 2"), 20) << "nothing half-done";
    // With the lock gone the same write goes through.
    EXPECT_EQ(db.Execute("update PipeSpec set DN = 50 where ID = 2"), 1);
    EXPECT_EQ(dbtest::QueryInt(m_file, "select DN from PipeSpec where ID = 2"), 50);
    EXPECT_EQ(dbtest::QueryInt(m_file, "select count(*) from Material"), 3);
}

// A writer that takes the lock again as soon as it lets go of it: a process
// that starts while it writes still gets its turn within its timeout.
TEST_F(LockingTest, AWriterThatStartsWhileOthersWriteContinuouslyGetsItsTurn)
{
    constexpr int kWriters = 1;
    int started[2];
    ASSERT_EQ(pipe(started), 0);
    std::vector<pid_t> writers;
    for (int w = 0; w < kWriters; ++w) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            CADODatabase db;
            db.SetConnectionTimeout(30);
            if (!db.Open(Jet(m_file)))
                _exit(2);
            const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(4);
            try {
                for (int n = 0; std::chrono::steady_clock::now() < end; ++n) {
                    db.BeginTransaction();
                    if (!db.Execute("update PipeSpec set Thick = Thick + 1 where ID = " + std::to_string(w + 1)))
                        _exit(3);
                    db.CommitTransaction();
                    const char c = 'W';
                    if (n == 0 && write(started[1], &c, 1) != 1)
                        _exit(4);
                }
            } catch (...) {
                _exit(5);
            }
            _exit(0);
        }
        writers.push_back(child);
    }
    for (int w = 0; w < kWriters; ++w) {
        char c = 0;
        ASSERT_EQ(read(started[0], &c, 1), 1);
    }

    CADODatabase db;
    db.SetConnectionTimeout(2);
    ASSERT_TRUE(db.Open(Jet(m_file)));
    bool wrote = false;
    try {
        EXPECT_EQ(db.BeginTransaction(), 1);
        wrote = db.Execute("update PipeSpec set DN = 65 where ID = 3") == 1;
        db.CommitTransaction();
    } catch (const RVNADO::ComError& e) {
        ADD_FAILURE() << "the late writer never got the lock: " << e.Description();
    }
    EXPECT_TRUE(wrote) << db.GetLastErrorString();
    for (pid_t child : writers) {
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "every writer went on writing";
    }
    close(started[0]);
    close(started[1]);
    EXPECT_EQ(dbtest::QueryInt(m_file, "select DN from PipeSpec where ID = 3"), wrote ? 65 : 100);
}

// Autonumbers read after AddNew are never handed out twice: not to a second
// recordset of the same connection, not to a second connection, not to a
// second process, whether or not the table's key is AUTOINCREMENT.
class AutoNumberTest : public dbtest::CatalogTest,
                       public ::testing::WithParamInterface<const char*> {
protected:
    // Adds a row through a recordset of its own and returns the ID read
    // after AddNew (-1 when the row was not stored).
    static long AddRow(CADORecordset& rs, const std::string& name, bool update = true)
    {
        if (!rs.AddNew())
            return -1;
        long id = -1;
        if (!rs.GetFieldValue("ID", id) || !rs.SetFieldValue("Name", name))
            return -1;
        if (update && !rs.Update())
            return -1;
        return id;
    }
    std::string Select() const { return std::string("select * from ") + GetParam(); }
};

TEST_P(AutoNumberTest, TwoConnectionsAndTwoRecordsetsNeverShareAnId)
{
    CADODatabase first, second;
    ASSERT_TRUE(first.Open(Jet(m_file))) << first.GetLastErrorString();
    ASSERT_TRUE(second.Open(Jet(m_file))) << second.GetLastErrorString();
    CADORecordset a(&first), b(&second), c(&first);
    ASSERT_TRUE(a.Open(Select()));
    ASSERT_TRUE(b.Open(Select()));
    ASSERT_TRUE(c.Open(Select()));

    const long idA = AddRow(a, "a", false);
    const long idB = AddRow(b, "b", false);
    const long idC = AddRow(c, "c", false);
    ASSERT_GT(idA, 0);
    EXPECT_NE(idA, idB);
    EXPECT_NE(idA, idC);
    EXPECT_NE(idB, idC);
    // Stored in the reverse order of their numbers.
    ASSERT_TRUE(c.Update()) << c.GetLastErrorString();
    ASSERT_TRUE(b.Update()) << b.GetLastErrorString();
    ASSERT_TRUE(a.Update()) << a.GetLastErrorString();
    const std::string table = GetParam();
    EXPECT_EQ(dbtest::QueryInt(m_file, "select count(*) from " + table + " where Name in ('a', 'b', 'c')"), 3);
    EXPECT_EQ(dbtest::QueryInt(m_file, "select Name = 'b' from " + table + " where ID = " + std::to_string(idB)), 1);

    // A cancelled AddNew may leave a gap, never a number given twice.
    const long cancelled = AddRow(a, "x", false);
    a.CancelUpdate();
    const long next = AddRow(b, "d");
    EXPECT_GT(next, 0);
    EXPECT_NE(next, idA);
    EXPECT_NE(next, idB);
    EXPECT_NE(next, idC);
    EXPECT_GE(next, cancelled);
    EXPECT_EQ(dbtest::QueryInt(m_file, "select count(*) from " + table + " where Name = 'x'"), 0);
}

TEST_P(AutoNumberTest, ForkedProcessesAddingAtOnceLoseNoRow)
{
    constexpr int kProcesses = 4;
    constexpr int kRows = 40;
    std::vector<pid_t> children;
    for (int p = 0; p < kProcesses; ++p) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            CADODatabase db;
            db.SetConnectionTimeout(30);
            if (!db.Open(Jet(m_file)))
                _exit(2);
            try {
                CADORecordset rs(&db);
                if (!rs.Open(Select()))
                    _exit(3);
                for (int i = 0; i < kRows; ++i)
                    if (AddRow(rs, "p" + std::to_string(p) + "-" + std::to_string(i)) <= 0)
                        _exit(4);
            } catch (...) {
                _exit(5);
            }
            _exit(0);
        }
        children.push_back(child);
    }
    for (pid_t child : children) {
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFEXITED(status));
        EXPECT_EQ(WEXITSTATUS(status), 0) << "every process stored every row";
    }
    const std::string table = GetParam();
    EXPECT_EQ(dbtest::QueryInt(m_file, "select count(*) from " + table + " where Name like 'p%-%'"),
              kProcesses * kRows);
    EXPECT_EQ(dbtest::QueryInt(m_file, "select count(distinct ID) from " + table + " where Name like 'p%-%'"),
              kProcesses * kRows);
}

INSTANTIATE_TEST_SUITE_P(Keys, AutoNumberTest, ::testing::Values("Plain", "Material"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             return std::string(info.param) == "Plain" ? "IntegerPrimaryKey" : "AutoIncrement";
                         });
