// Two processes on one catalog file: a write that meets another process's
// lock waits for the connection timeout, then fails cleanly.
#include "DbTestUtil.h"

#include "db/ADORecordset.h"

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

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
