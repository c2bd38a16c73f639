// A catalog shared on a server by many clients at once: concurrent adds and
// updates lose nothing and store nothing twice, and a client that dies in
// the middle of a transaction leaves the catalog as it was.
#include "CatalogFixture.h"

#include "catalog/CTQDuctSpec.h"
#include "catalog/CTQPipeMatl.h"
#include "db/ADODatabase.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <map>
#include <set>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int kClients = 8;
constexpr int kRows = 500;

class ServerCatalog : public CatalogTest {
protected:
    void SetUp() override {
        if (!OnServer()) {
            GTEST_SKIP() << "this case is about a catalog on a server (TQRVN_TEST_ENGINE=postgres)";
        }
        CatalogTest::SetUp();
    }
};

// One client: adds the same kRows duct sizes as every other client, then
// rewrites the thickness of those it added.  It writes one line per row to
// `out`: "A id" for an add, "D" for a refused duplicate, "E code" for any
// other failure, "U id" for a rewrite.
void RunClient(const std::string& connection, int client, FILE* out) {
    CADODatabase db;
    db.SetConnectionTimeout(60);
    if (!db.Open(connection)) {
        std::fprintf(out, "E open\n");
        return;
    }
    std::vector<CTQDuctSpec> mine;
    for (int i = 0; i < kRows; ++i) {
        CTQDuctSpec d;
        d.Section = 1;
        d.Width = 100 + i;
        d.Height = 50 + i % 7;
        d.Thickness = client;
        if (d.Add(&db)) {
            std::fprintf(out, "A %ld\n", d.ID);
            mine.push_back(d);
        } else if (db.GetLastError() == 0x80040E2Fu) {
            std::fprintf(out, "D\n");
        } else {
            std::fprintf(out, "E %lx\n", db.GetLastError());
        }
    }
    for (CTQDuctSpec& d : mine) {
        d.Thickness = client + 0.5;
        if (d.UpdateData(d.ID, false, &db)) {
            std::fprintf(out, "U %ld\n", d.ID);
        } else {
            std::fprintf(out, "E update\n");
        }
    }
}

TEST_F(ServerCatalog, EightClientsAddingAndUpdatingAtOnceLoseAndRepeatNothing) {
    std::vector<pid_t> children;
    std::vector<FILE*> reports;
    for (int client = 0; client < kClients; ++client) {
        int fds[2];
        ASSERT_EQ(pipe(fds), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(fds[0]);
            FILE* out = fdopen(fds[1], "w");
            RunClient(Connection(), client, out);
            std::fclose(out);
            _exit(0);
        }
        close(fds[1]);
        children.push_back(child);
        reports.push_back(fdopen(fds[0], "r"));
    }
    std::map<long, int> addedBy; // ID -> client
    int refused = 0, updated = 0;
    for (int client = 0; client < kClients; ++client) {
        char kind[8];
        char value[32];
        char line[64];
        while (std::fgets(line, sizeof line, reports[static_cast<std::size_t>(client)])) {
            value[0] = '\0';
            if (std::sscanf(line, "%7s %31s", kind, value) < 1) {
                continue;
            }
            const std::string k = kind;
            if (k == "A") {
                EXPECT_TRUE(addedBy.emplace(std::stol(value), client).second)
                    << "ID " << value << " added twice";
            } else if (k == "D") {
                ++refused;
            } else if (k == "U") {
                ++updated;
            } else {
                ADD_FAILURE() << "client " << client << ": " << line;
            }
        }
        std::fclose(reports[static_cast<std::size_t>(client)]);
    }
    for (pid_t child : children) {
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    EXPECT_EQ(addedBy.size(), static_cast<std::size_t>(kRows));
    EXPECT_EQ(refused, (kClients - 1) * kRows);
    EXPECT_EQ(updated, kRows);
    EXPECT_EQ(SqlNumber("select count(*) from DuctSpec"), kRows);
    EXPECT_EQ(SqlNumber("select count(distinct WIDTH) from DuctSpec"), kRows);
    // Every row holds the rewrite of the client that added it.
    CTQArray<CTQDuctSpec> all;
    ASSERT_EQ(CTQDuctSpecManager::GetAllSpec(all, 1, db_.get()), kRows);
    for (int i = 0; i < all.GetSize(); ++i) {
        const auto found = addedBy.find(all[i].ID);
        ASSERT_NE(found, addedBy.end()) << all[i].ID;
        EXPECT_DOUBLE_EQ(all[i].Thickness, found->second + 0.5);
    }
}

TEST_F(ServerCatalog, AClientKilledInsideItsTransactionLeavesTheCatalogAsItWas) {
    CTQPipeMatl kept;
    kept.Name = "kept";
    ASSERT_TRUE(kept.Add(db_.get()));
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // What a dialog's OK does: one transaction of deletions and adds.
        CADODatabase db;
        if (db.Open(Connection()) && db.BeginTransaction() > 0) {
            CTQPipeMatl::Delete(kept.ID, &db);
            for (int i = 0; i < 20; ++i) {
                CTQPipeMatl m;
                m.Name = "half-done " + std::to_string(i);
                m.Add(&db);
            }
            (void)!write(ready[1], "r", 1);
            pause(); // killed here, before the commit
        }
        _exit(1);
    }
    close(ready[1]);
    char c = 0;
    ASSERT_EQ(read(ready[0], &c, 1), 1);
    close(ready[0]);
    ASSERT_EQ(kill(child, SIGKILL), 0);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(SqlNumber("select count(*) from Material"), 1);
    EXPECT_EQ(SqlNumber("select count(*) from Material where Name = 'kept'"), 1);
    // The dead client's turn to write has ended with it.
    CADODatabase next;
    next.SetConnectionTimeout(5);
    ASSERT_TRUE(next.Open(Connection()));
    CTQPipeMatl after;
    after.Name = "after";
    EXPECT_TRUE(after.Add(&next)) << next.GetLastErrorString();
}

} // namespace
