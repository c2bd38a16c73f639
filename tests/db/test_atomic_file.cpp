// Files written whole or not at all: full and read-only disks, killed
// writers, devices, and the saved recordset that goes through them.
#include "../SmallDisk.h"
#include "DbTestUtil.h"

#include "db/ADORecordset.h"
#include "db/AtomicFile.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <sys/wait.h>

namespace {

std::string ReadAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

}  // namespace

TEST(AtomicFile, AFullDiskLeavesTheOldFileAndNoTemporary)
{
    SmallDisk disk(64);
    if (!disk.Ready())
        GTEST_SKIP() << disk.Why();
    const std::string target = disk.Path("out.txt");
    WriteAll(target, "old content\n");
    ASSERT_TRUE(disk.Fill());

    std::string error;
    EXPECT_FALSE(RVN::ReplaceFileContent(target, std::string(20000, 'n'), &error));
    EXPECT_EQ(error, target + ": No space left on device");
    EXPECT_EQ(ReadAll(target), "old content\n");
    EXPECT_EQ(disk.Names(), std::vector<std::string>{"out.txt"}) << "no temporary file is left";

    // Room for the temporary file but not for all of it: a failed write.
    disk.Empty();
    ASSERT_TRUE(RVN::ReplaceFileContent(disk.Path("pad"), std::string(40 * 1024, 'p')));
    RVN::AtomicFile file(target);
    ASSERT_TRUE(file.Open()) << file.Error();
    EXPECT_FALSE(file.Write(std::string(64 * 1024, 'n')));
    EXPECT_EQ(file.ErrorNumber(), ENOSPC);
    EXPECT_FALSE(file.Commit()) << "nothing is committed after a failed write";
    EXPECT_EQ(ReadAll(target), "old content\n");
    EXPECT_EQ(disk.Names(), (std::vector<std::string>{"out.txt", "pad"}));
}

TEST(AtomicFile, AReadOnlyDiskIsReportedAndChangesNothing)
{
    SmallDisk disk(64);
    if (!disk.Ready())
        GTEST_SKIP() << disk.Why();
    const std::string target = disk.Path("out.txt");
    WriteAll(target, "old");
    ASSERT_TRUE(disk.MakeReadOnly());
    std::string error;
    EXPECT_FALSE(RVN::ReplaceFileContent(target, "new", &error));
    EXPECT_EQ(error, target + ": Read-only file system");
    EXPECT_EQ(ReadAll(target), "old");
}

TEST(AtomicFile, ReplacesAFileKeepingItsPermissionsAndItsLink)
{
    dbtest::TempDir dir;
    const std::string real = dir.File("real.txt");
    WriteAll(real, "old");
    ASSERT_EQ(::chmod(real.c_str(), 0640), 0);
    const std::string link = dir.File("link.txt");
    ASSERT_EQ(::symlink(real.c_str(), link.c_str()), 0);

    ASSERT_TRUE(RVN::ReplaceFileContent(link, "new"));
    EXPECT_EQ(ReadAll(real), "new");
    struct stat st {};
    ASSERT_EQ(::lstat(link.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode)) << "the link stays a link";
    ASSERT_EQ(::stat(real.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 2);
}

TEST(AtomicFile, UncommittedAndRefusedWritesLeaveNothingBehind)
{
    dbtest::TempDir dir;
    const std::string target = dir.File("t.txt");
    {
        RVN::AtomicFile file(target);
        ASSERT_TRUE(file.Open());
        ASSERT_TRUE(file.Write("never committed"));
        EXPECT_TRUE(std::filesystem::exists(file.TempPath()));
    }
    EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));

    WriteAll(target, "kept");
    RVN::AtomicFile file(target);
    ASSERT_TRUE(file.Open());
    ASSERT_TRUE(file.Write("refused"));
    EXPECT_FALSE(file.Commit(false));
    EXPECT_EQ(file.ErrorNumber(), EEXIST);
    EXPECT_EQ(ReadAll(target), "kept");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);

    EXPECT_FALSE(RVN::ReplaceFileContent(dir.File("no/such/folder/x"), "x"));
    EXPECT_FALSE(RVN::ReplaceFileContent(dir.Path().string(), "x")) << "a folder is not replaced";
}

TEST(AtomicFile, DevicesAreWrittenInPlaceWithEveryWriteChecked)
{
    std::string error;
    EXPECT_TRUE(RVN::ReplaceFileContent("/dev/null", "discarded", &error)) << error;
    EXPECT_FALSE(RVN::ReplaceFileContent("/dev/full", "lost", &error));
    EXPECT_EQ(error, "/dev/full: No space left on device");
}

// A writer killed before its commit leaves its temporary file; the next
// writer of the same target removes it, but never one that is still alive.
TEST(AtomicFile, TheNextWriterRemovesTheTemporaryOfAKilledOne)
{
    dbtest::TempDir dir;
    const std::string target = dir.File("cat.mdb");
    WriteAll(target, "old");
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        RVN::AtomicFile file(target);
        if (!file.Open() || !file.Write("half"))
            ::_exit(2);
        const char c = 'R';
        if (::write(ready[1], &c, 1) != 1)
            ::_exit(3);
        ::pause();
        ::_exit(0);
    }
    char c = 0;
    ASSERT_EQ(::read(ready[0], &c, 1), 1);
    ::close(ready[0]);
    ::close(ready[1]);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 2);

    {
        RVN::AtomicFile other(target);
        ASSERT_TRUE(other.Open());
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 3)
            << "a living writer's temporary file is kept";
    }
    ::kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);

    ASSERT_TRUE(RVN::ReplaceFileContent(target, "new"));
    EXPECT_EQ(ReadAll(target), "new");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

TEST(AtomicFile, ASavedRecordsetOnAFullDiskLeavesTheEarlierFile)
{
    SmallDisk disk(64);
    if (!disk.Ready())
        GTEST_SKIP() << disk.Why();
    dbtest::TempDir dir;
    const std::string catalog = dir.File("c.mdb");
    dbtest::RunSql(catalog, dbtest::kCatalogSchema);
    CADODatabase db;
    ASSERT_TRUE(db.Open(dbtest::Jet(catalog)));
    CADORecordset rs(&db);
    ASSERT_TRUE(rs.Open("select * from Material where ID = 1"));
    const std::string file = disk.Path("saved.xml");
    ASSERT_TRUE(rs.SaveAsXML(file)) << rs.GetLastErrorString();
    const std::string before = ReadAll(file);

    ASSERT_TRUE(disk.Fill());
    ASSERT_TRUE(rs.Open("select * from PipeSpec"));
    EXPECT_FALSE(rs.SaveAsXML(file));
    EXPECT_NE(rs.GetLastErrorString().find("No space left on device"), std::string::npos)
        << rs.GetLastErrorString();
    EXPECT_EQ(ReadAll(file), before);
    EXPECT_EQ(disk.Names(), std::vector<std::string>{"saved.xml"});
}
