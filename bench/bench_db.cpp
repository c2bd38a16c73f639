// Speed of the database layer against the engine used directly: the
// catalog's size listing "select * from PipeSpec where MatlID = 7 order by  DN"
// over 3,000 sizes (100 materials of 30 sizes), every column of the 30 rows
// read; and opening a connection.  Argument 0 runs on the table without an
// index on MatlID (the engine scans all 3,000 rows), 1 with one.
// Over the whole 3,000-row snapshot: Find of the last row, a filter with a
// walk of the rows it shows, and a save to an XML file with its reopening.
#include "db/ADORecordset.h"

#include <benchmark/benchmark.h>
#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>

namespace {

const char* const kQuery = "select * from PipeSpec where MatlID = 7 order by  DN";

// A catalog file in a temporary folder, removed at exit.
class Catalog {
public:
    Catalog()
    {
        std::string templ = (std::filesystem::temp_directory_path() / "tqrvn-bench-XXXXXX").string();
        if (mkdtemp(templ.data()) == nullptr)
            throw std::runtime_error("cannot create a temporary folder");
        m_dir = templ;
        Make(File(false), false);
        Make(File(true), true);
    }
    ~Catalog()
    {
        std::error_code ec;
        std::filesystem::remove_all(m_dir, ec);
    }
    std::string File(bool indexed) const { return (m_dir / (indexed ? "indexed.mdb" : "RVNDatasource.mdb")).string(); }

private:
    static void Exec(sqlite3* db, const std::string& sql)
    {
        if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
            throw std::runtime_error(sqlite3_errmsg(db));
    }

    static void Make(const std::string& path, bool indexed)
    {
        sqlite3* db = nullptr;
        sqlite3_open(path.c_str(), &db);
        Exec(db, "CREATE TABLE PipeSpec (ID INTEGER PRIMARY KEY AUTOINCREMENT, DN INTEGER, InsD DOUBLE, OutD DOUBLE, "
                 "Thickness DOUBLE, MaxV DOUBLE, MinV DOUBLE, MaxH DOUBLE, MinH DOUBLE, MaxR DOUBLE, MinR DOUBLE, "
                 "MatlID LONG, Version INTEGER)");
        if (indexed)
            Exec(db, "CREATE INDEX PipeSpecMatl ON PipeSpec (MatlID)");
        Exec(db, "BEGIN");
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db, "INSERT INTO PipeSpec (DN, InsD, OutD, Thickness, MaxV, MinV, MaxH, MinH, MaxR, MinR, "
                               "MatlID, Version) VALUES (?, ?, ?, ?, 3.0, 0.3, 0, 0, 300, 100, ?, 1)",
                           -1, &st, nullptr);
        // Sizes interleaved by material, as rows added over the years are.
        for (int size = 0; size < 30; ++size)
            for (int matl = 1; matl <= 100; ++matl) {
                const int dn = 10 + size * 5;
                sqlite3_bind_int(st, 1, dn);
                sqlite3_bind_double(st, 2, dn - 2.5);
                sqlite3_bind_double(st, 3, dn + 2.5);
                sqlite3_bind_double(st, 4, 2.5);
                sqlite3_bind_int(st, 5, matl);
                sqlite3_step(st);
                sqlite3_reset(st);
            }
        sqlite3_finalize(st);
        Exec(db, "COMMIT");
        sqlite3_close(db);
    }

    std::filesystem::path m_dir;
};

Catalog& TheCatalog()
{
    static Catalog catalog;
    return catalog;
}

std::string Jet(const std::string& path) { return "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + path; }

void BM_LayerSizeListing(benchmark::State& state)
{
    CADODatabase db;
    if (!db.Open(Jet(TheCatalog().File(state.range(0) != 0)))) {
        state.SkipWithError(db.GetLastErrorString().c_str());
        return;
    }
    for (auto _ : state) {
        CADORecordset rs(&db);
        if (!rs.Open(kQuery)) {
            state.SkipWithError(rs.GetLastErrorString().c_str());
            break;
        }
        long id = 0, matl = 0;
        int dn = 0, version = 0;
        double insd, outd, thick, maxv, minv, maxh, minh, maxr, minr;
        while (!rs.IsEOF()) {
            rs.GetFieldValue("ID", id);
            rs.GetFieldValue("DN", dn);
            rs.GetFieldValue("InsD", insd);
            rs.GetFieldValue("OutD", outd);
            rs.GetFieldValue("Thickness", thick);
            rs.GetFieldValue("MaxV", maxv);
            rs.GetFieldValue("MinV", minv);
            rs.GetFieldValue("MaxH", maxh);
            rs.GetFieldValue("MinH", minh);
            rs.GetFieldValue("MaxR", maxr);
            rs.GetFieldValue("MinR", minr);
            rs.GetFieldValue("MatlID", matl);
            rs.GetFieldValue("Version", version);
            benchmark::DoNotOptimize(id + matl + dn + version + insd + outd + thick + maxv + minv + maxh + minh +
                                     maxr + minr);
            rs.MoveNext();
        }
        rs.Close();
    }
}
BENCHMARK(BM_LayerSizeListing)->Arg(0)->Arg(1);

// The same listing with a prepared statement of the engine, columns read by
// position, the statement prepared and finalized each time as the layer
// does.
void BM_RawSizeListing(benchmark::State& state)
{
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(TheCatalog().File(state.range(0) != 0).c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) !=
        SQLITE_OK) {
        state.SkipWithError("cannot open");
        return;
    }
    for (auto _ : state) {
        sqlite3_stmt* st = nullptr;
        sqlite3_prepare_v2(db, kQuery, -1, &st, nullptr);
        while (sqlite3_step(st) == SQLITE_ROW) {
            std::int64_t ints = sqlite3_column_int64(st, 0) + sqlite3_column_int64(st, 1) +
                                sqlite3_column_int64(st, 11) + sqlite3_column_int64(st, 12);
            double reals = 0;
            for (int c = 2; c <= 10; ++c)
                reals += sqlite3_column_double(st, c);
            benchmark::DoNotOptimize(ints);
            benchmark::DoNotOptimize(reals);
        }
        sqlite3_finalize(st);
    }
    sqlite3_close(db);
}
BENCHMARK(BM_RawSizeListing)->Arg(0)->Arg(1);

void BM_OpenConnection(benchmark::State& state)
{
    const std::string connection = Jet(TheCatalog().File(false));
    for (auto _ : state) {
        CADODatabase db;
        if (!db.Open(connection)) {
            state.SkipWithError(db.GetLastErrorString().c_str());
            break;
        }
        benchmark::DoNotOptimize(db.IsOpen());
    }
}
BENCHMARK(BM_OpenConnection)->Unit(benchmark::kMicrosecond);

// The whole table as one snapshot, for the search, filter and file
// benchmarks.
bool OpenAll(benchmark::State& state, CADODatabase& db, CADORecordset& rs)
{
    if (!db.Open(Jet(TheCatalog().File(false))) || !rs.Open("select * from PipeSpec order by ID")) {
        state.SkipWithError("cannot open the size table");
        return false;
    }
    return true;
}

// Find from the first row to a match in the last of 3,000 rows.
void BM_FindInSnapshot(benchmark::State& state)
{
    CADODatabase db;
    CADORecordset rs(&db);
    if (!OpenAll(state, db, rs))
        return;
    for (auto _ : state) {
        rs.MoveFirst();
        if (!rs.Find("ID = 3000")) {
            state.SkipWithError("the last row was not found");
            break;
        }
    }
}
BENCHMARK(BM_FindInSnapshot)->Unit(benchmark::kMicrosecond);

// A filter over 3,000 rows (it shows 52 of them) and a walk reading a field
// of each row shown.
void BM_FilterAndWalk(benchmark::State& state)
{
    CADODatabase db;
    CADORecordset rs(&db);
    if (!OpenAll(state, db, rs))
        return;
    for (auto _ : state) {
        if (!rs.SetFilter("(MatlID = 7 AND DN >= 50) OR MatlID = 8 OR Thickness > 9")) {
            state.SkipWithError(rs.GetLastErrorString().c_str());
            break;
        }
        double sum = 0.0, od = 0.0;
        while (!rs.IsEOF()) {
            rs.GetFieldValue("OutD", od);
            sum += od;
            rs.MoveNext();
        }
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_FilterAndWalk)->Unit(benchmark::kMicrosecond);

// A filter over 3,000 rows and the record count of the new view, which
// counts the live rows of the view once per change of view: a filter
// (alone, Arg 0) against a filter followed by its count (Arg 1).
void BM_FilterThenCount(benchmark::State& state)
{
    CADODatabase db;
    CADORecordset rs(&db);
    if (!OpenAll(state, db, rs))
        return;
    const bool count = state.range(0) != 0;
    int flip = 0;
    for (auto _ : state) {
        if (!rs.SetFilter(++flip % 2 ? "MatlID <= 50" : "MatlID > 50 OR DN >= 100")) {
            state.SkipWithError(rs.GetLastErrorString().c_str());
            break;
        }
        if (count)
            benchmark::DoNotOptimize(rs.GetRecordCount());
    }
}
BENCHMARK(BM_FilterThenCount)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// SaveAsXML of the 3,000 rows of 13 columns and OpenXML of the file.
void BM_SaveAndOpenXml(benchmark::State& state)
{
    CADODatabase db;
    CADORecordset rs(&db);
    if (!OpenAll(state, db, rs))
        return;
    const std::string file = TheCatalog().File(false) + ".xml";
    CADORecordset back(&db);
    for (auto _ : state) {
        if (!rs.SaveAsXML(file) || !back.OpenXML(file)) {
            state.SkipWithError("save or open failed");
            break;
        }
        benchmark::DoNotOptimize(back.GetRecordCount());
    }
}
BENCHMARK(BM_SaveAndOpenXml)->Unit(benchmark::kMillisecond);

}  // namespace
