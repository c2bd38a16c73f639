// The tool under faults: a catalog locked by another program, read-only,
// on a full disk or damaged; output that cannot be written; a killed
// "catalog create"; material files it must refuse.  Every fault ends with a
// message and a non-zero status, and leaves the catalog and any earlier
// file as they were.
#include "../SmallDisk.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

struct Outcome {
    int status = -1;
    std::string out;
    std::string err;
};

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

void Replace(std::string& text, const std::string& from, const std::string& to) {
    const std::size_t at = text.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    text.replace(at, from.size(), to);
}

// A second process on a catalog file, holding the write lock (or, with
// reader, a read transaction that keeps a commit from finishing) until the
// object is destroyed.
class LockHolder {
public:
    LockHolder(const std::string& catalog, bool reader) {
        int ready[2];
        if (::pipe(ready) != 0 || ::pipe(release_) != 0) {
            return;
        }
        pid_ = ::fork();
        if (pid_ == 0) {
            sqlite3* db = nullptr;
            const char* sql = reader ? "BEGIN; SELECT count(*) FROM Material;" : "BEGIN IMMEDIATE";
            if (sqlite3_open(catalog.c_str(), &db) != SQLITE_OK ||
                sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK) {
                ::_exit(2);
            }
            char c = 'L';
            if (::write(ready[1], &c, 1) != 1 || ::read(release_[0], &c, 1) < 0) {
                ::_exit(3);
            }
            ::_exit(0);
        }
        char c = 0;
        held_ = pid_ > 0 && ::read(ready[0], &c, 1) == 1;
        ::close(ready[0]);
        ::close(ready[1]);
    }
    ~LockHolder() {
        if (pid_ > 0) {
            const char c = 'G';
            (void)!::write(release_[1], &c, 1);
            ::waitpid(pid_, nullptr, 0);
        }
        ::close(release_[0]);
        ::close(release_[1]);
    }
    bool held() const { return held_; }

private:
    pid_t pid_ = -1;
    int release_[2] = {-1, -1};
    bool held_ = false;
};

class CliFaults : public ::testing::Test {
protected:
    void SetUp() override {
        std::string tmpl = (std::filesystem::temp_directory_path() / "tqrvn-faults-XXXXXX").string();
        ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
        dir_ = tmpl;
    }
    void TearDown() override {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }

    // Runs tqrvn; standard output goes to stdoutTo when given ("-": closed).
    Outcome Tqrvn(const std::string& args, const std::string& stdoutTo = "") {
        const std::string out = dir_ + "/.out", err = dir_ + "/.err";
        const std::string redirect = stdoutTo == "-" ? " >&-" : " >'" + (stdoutTo.empty() ? out : stdoutTo) + "'";
        const std::string cmd =
            std::string("'") + TQRVN_TOOL_PATH + "' " + args + redirect + " 2>'" + err + "'";
        const int st = std::system(cmd.c_str());
        Outcome r;
        r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
        r.out = stdoutTo.empty() ? ReadAll(out) : "";
        r.err = ReadAll(err);
        return r;
    }
    Outcome Catalog(const std::string& catalog, const std::string& args, const std::string& stdoutTo = "") {
        return Tqrvn("catalog --catalog '" + catalog + "' " + args, stdoutTo);
    }
    void Create(const std::string& catalog) {
        const Outcome r = Tqrvn("catalog create '" + catalog + "'");
        ASSERT_EQ(r.status, 0) << r.err;
    }
    // A material file of the seed catalog's welded steel pipe under another name.
    std::string MaterialFile(const std::string& name) {
        const std::string catalog = dir_ + "/seed.mdb", file = dir_ + "/" + name + ".xml";
        if (!std::filesystem::exists(catalog)) {
            Create(catalog);
        }
        EXPECT_EQ(Catalog(catalog, "export-material 焊接钢管 '" + file + "'").status, 0);
        std::string xml = ReadAll(file);
        Replace(xml, ">焊接钢管<", ">" + name + "<");
        WriteAll(file, xml);
        return file;
    }
    long long Count(const std::string& catalog, const std::string& table) {
        sqlite3* db = nullptr;
        long long n = -1;
        sqlite3_stmt* st = nullptr;
        if (sqlite3_open_v2(catalog.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK &&
            sqlite3_prepare_v2(db, ("select count(*) from " + table).c_str(), -1, &st, nullptr) ==
                SQLITE_OK &&
            sqlite3_step(st) == SQLITE_ROW) {
            n = sqlite3_column_int64(st, 0);
        }
        sqlite3_finalize(st);
        sqlite3_close(db);
        return n;
    }

    std::string dir_;
};

TEST_F(CliFaults, ALockedCatalogIsReportedAndLeftUnchanged) {
    const std::string catalog = dir_ + "/cat.mdb";
    Create(catalog);
    const std::string file = MaterialFile("copy");
    for (const bool reader : {false, true}) {
        SCOPED_TRACE(reader ? "a reader keeps the commit from finishing" : "another writer");
        LockHolder lock(catalog, reader);
        ASSERT_TRUE(lock.held());
        const Outcome r = Catalog(catalog, "import-material '" + file + "'");
        EXPECT_EQ(r.status, 1);
        EXPECT_NE(r.err.find("tqrvn: the catalog is locked by another program"), std::string::npos) << r.err;
    }
    EXPECT_EQ(Count(catalog, "Material"), Count(dir_ + "/seed.mdb", "Material"));
    EXPECT_EQ(Count(catalog, "PipeSpec"), Count(dir_ + "/seed.mdb", "PipeSpec"));
}

TEST_F(CliFaults, AReadOnlyCatalogIsReportedAndLeftUnchanged) {
    SmallDisk disk(512);
    if (!disk.Ready()) {
        GTEST_SKIP() << disk.Why();
    }
    const std::string catalog = disk.Path("cat.mdb");
    Create(catalog);
    const std::string before = ReadAll(catalog);
    ASSERT_TRUE(disk.MakeReadOnly());
    const Outcome r = Catalog(catalog, "import-material '" + MaterialFile("copy") + "'");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("tqrvn: the catalog is read-only"), std::string::npos) << r.err;
    EXPECT_EQ(ReadAll(catalog), before);
}

TEST_F(CliFaults, AFullDiskKeepsTheCatalogAndEveryEarlierFile) {
    SmallDisk disk(512);
    if (!disk.Ready()) {
        GTEST_SKIP() << disk.Why();
    }
    const std::string catalog = disk.Path("cat.mdb");
    Create(catalog);
    const std::string file = MaterialFile("copy");
    const std::string earlier = disk.Path("steel.xml");
    WriteAll(earlier, "an earlier material file\n");
    const std::string before = ReadAll(catalog);
    ASSERT_TRUE(disk.Fill());

    Outcome r = Catalog(catalog, "import-material '" + file + "'");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("tqrvn: the disk is full"), std::string::npos) << r.err;
    EXPECT_EQ(ReadAll(catalog), before);

    r = Catalog(catalog, "export-material 焊接钢管 '" + earlier + "'");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("No space left on device"), std::string::npos) << r.err;
    EXPECT_EQ(ReadAll(earlier), "an earlier material file\n");

    r = Tqrvn("catalog create --force '" + catalog + "'");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(ReadAll(catalog), before);
    EXPECT_EQ(disk.Names(), (std::vector<std::string>{"cat.mdb", "steel.xml"})) << "no temporary file";
}

TEST_F(CliFaults, ADamagedTableIsAnErrorNeverAnEmptyResult) {
    const std::string catalog = dir_ + "/cat.mdb";
    Create(catalog);
    {
        // Overwrites the first page of the PipeSpec table.
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(catalog.c_str(), &db), SQLITE_OK);
        sqlite3_stmt* st = nullptr;
        ASSERT_EQ(sqlite3_prepare_v2(db, "select rootpage from sqlite_master where name = 'PipeSpec'", -1,
                                     &st, nullptr),
                  SQLITE_OK);
        ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
        const long page = sqlite3_column_int(st, 0);
        sqlite3_finalize(st);
        sqlite3_close(db);
        std::fstream f(catalog, std::ios::in | std::ios::out | std::ios::binary);
        f.seekp((page - 1) * 4096);
        const std::string garbage(4096, '\xff');
        f.write(garbage.data(), static_cast<std::streamsize>(garbage.size()));
    }
    Outcome r = Catalog(catalog, "list sizes 焊接钢管");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find("the catalog file is damaged (database disk image is malformed)"), std::string::npos)
        << r.err;

    const std::string file = dir_ + "/steel.xml";
    r = Catalog(catalog, "export-material 焊接钢管 '" + file + "'");
    EXPECT_EQ(r.status, 1);
    EXPECT_FALSE(std::filesystem::exists(file)) << "no material file with 0 sizes";

    const std::string before = ReadAll(catalog);
    r = Catalog(catalog, "import-material '" + MaterialFile("copy") + "'");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("nothing was imported: the catalog file is damaged"), std::string::npos) << r.err;
    EXPECT_EQ(ReadAll(catalog), before);

    // The other tables still list.
    EXPECT_EQ(Catalog(catalog, "list materials").status, 0);
}

// A damaged index that reading does not meet: only the integrity check
// finds it, and a new row would join it.
TEST_F(CliFaults, ImportRefusesACatalogThatFailsTheIntegrityCheck) {
    const std::string catalog = dir_ + "/cat.mdb";
    Create(catalog);
    {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(catalog.c_str(), &db), SQLITE_OK);
        sqlite3_stmt* st = nullptr;
        ASSERT_EQ(sqlite3_prepare_v2(db, "select rootpage from sqlite_master where name = 'PipeSpec_MatlID_DN'",
                                     -1, &st, nullptr),
                  SQLITE_OK);
        ASSERT_EQ(sqlite3_step(st), SQLITE_ROW);
        const long page = sqlite3_column_int(st, 0);
        sqlite3_finalize(st);
        sqlite3_close(db);
        // A cell count far beyond the page's cells.
        std::fstream f(catalog, std::ios::in | std::ios::out | std::ios::binary);
        f.seekp((page - 1) * 4096 + 3);
        f.write("\x00\xff", 2);
    }
    const std::string before = ReadAll(catalog);
    const Outcome r = Catalog(catalog, "import-material '" + MaterialFile("copy") + "'");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("nothing was imported: the catalog file is damaged (On tree page"), std::string::npos)
        << r.err;
    EXPECT_EQ(ReadAll(catalog), before);
}

TEST_F(CliFaults, EveryCommandReportsOutputThatCannotBeWritten) {
    const std::string catalog = dir_ + "/cat.mdb";
    Create(catalog);
    const std::string batch = dir_ + "/batch.csv";
    WriteAll(batch, "id,flow,length\na,1 m3/h,3\nb,2 m3/h,4\n");
    const char* const commands[] = {
        "convert 1 bar Pa", "report", "--help", "water --t 20",
        "catalog --catalog CAT list materials", "catalog --catalog CAT list sizes 焊接钢管 --json",
        "size --catalog CAT --flow 1 m3/h --length 3", "size --catalog CAT --batch BATCH",
        "duct --catalog CAT --flow 3000 m3/h --velocity 6"};
    for (std::string args : commands) {
        for (auto [from, to] : {std::pair<std::string, std::string>{"CAT", catalog}, {"BATCH", batch}}) {
            if (const std::size_t at = args.find(from); at != std::string::npos) {
                args.replace(at, from.size(), "'" + to + "'");
            }
        }
        const Outcome r = Tqrvn(args, "/dev/full");
        EXPECT_EQ(r.status, 1) << args;
        EXPECT_NE(r.err.find("tqrvn: cannot write the output: No space left on device"), std::string::npos)
            << args << ": " << r.err;
    }
    // A closed standard output is a failure too.
    const Outcome r = Tqrvn("convert 1 bar Pa", "-");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("Bad file descriptor"), std::string::npos) << r.err;
}

// "catalog create" killed while it builds leaves a temporary file; the next
// create of the same path removes it.
TEST_F(CliFaults, AKilledCreateLeavesNothingTheNextCreateKeeps) {
    const std::string data = dir_ + "/data", out = dir_ + "/out";
    std::filesystem::create_directory(data);
    std::filesystem::create_directory(out);
    for (const auto& entry : std::filesystem::directory_iterator(TQRVN_DATA_DIR)) {
        std::filesystem::copy(entry.path(), data);
    }
    // Reading a pipe without a writer blocks: the build stops there.
    std::filesystem::remove(data + "/WaterProp.csv");
    ASSERT_EQ(::mkfifo((data + "/WaterProp.csv").c_str(), 0600), 0);
    const std::string catalog = out + "/cat.mdb";
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::execl(TQRVN_TOOL_PATH, "tqrvn", "catalog", "create", catalog.c_str(), "--data", data.c_str(),
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::filesystem::is_empty(out) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ::kill(child, SIGKILL);
    ASSERT_EQ(::waitpid(child, nullptr, 0), child);
    ASSERT_FALSE(std::filesystem::is_empty(out)) << "the build never started";

    Create(catalog);
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(out)) {
        names.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(names, std::vector<std::string>{"cat.mdb"});
}

TEST_F(CliFaults, MaterialFilesThatCannotBeImportedAreRefusedWithTheReason) {
    const std::string catalog = dir_ + "/cat.mdb";
    Create(catalog);
    const std::string good = ReadAll(MaterialFile("copy"));
    struct Case {
        const char* what;
        std::string xml;
        const char* reason;
    };
    std::vector<Case> cases;
    cases.push_back({"no material section",
                     "<?xml version=\"1.0\"?><Section Name=\"TQRVNPipeMatl\">"
                     "<Value Key=\"Version\" Type=\"int\">5</Value></Section>",
                     "it names no material"});
    std::string xml = good;
    Replace(xml, ">copy</Value>", "></Value>");
    cases.push_back({"an empty name", xml, "it names no material"});
    xml = good;
    Replace(xml, ">copy<", ">a&#0;b<");
    cases.push_back({"a NUL character", xml, "line 7: the character U+0000"});
    xml = good;
    Replace(xml, "\"DN\" Type=\"int\">20<", "\"DN\" Type=\"int\">15<");
    cases.push_back({"one DN twice", xml, "it lists DN 15 twice"});
    xml = good;
    Replace(xml, "\"DN\" Type=\"int\">20<", "\"DN\" Type=\"int\">0<");
    cases.push_back({"a size of DN 0", xml, "has DN 0, not a nominal diameter"});
    xml = good;
    Replace(xml, ">copy</Value>", ">   </Value>");
    cases.push_back({"a name of blanks", xml, "it names no material"});
    xml = good;
    Replace(xml, "\"K\" Type=\"double\">0.2<", "\"K\" Type=\"double\">inf<");
    cases.push_back({"a roughness that is not finite", xml, "the number is not finite"});

    const std::string file = dir_ + "/m.xml";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteAll(file, c.xml);
        for (int attempt = 0; attempt < 2; ++attempt) {
            const Outcome r = Catalog(catalog, "import-material '" + file + "'");
            EXPECT_EQ(r.status, 1);
            EXPECT_NE(r.err.find(c.reason), std::string::npos) << r.err;
        }
    }
    EXPECT_EQ(Count(catalog, "Material"), Count(dir_ + "/seed.mdb", "Material"));
    EXPECT_EQ(Count(catalog, "PipeSpec"), Count(dir_ + "/seed.mdb", "PipeSpec"));
}

}  // namespace
