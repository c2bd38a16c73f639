// Speed of a catalog on a PostgreSQL server over the local socket, beside
// the same catalog in a file: listing a material's 30 sizes, opening a
// connection, and 1,000 adds in one transaction.
//
// The server is the one named by TQRVN_TEST_POSTGRES (test.sh starts one;
// source scripts/postgres.sh and call tqrvn_pg_start to get one by hand);
// without it the server benchmarks report an error and the file ones run.

#include "catalog/CTQPipeMatl.h"
#include "catalog/CatalogBuilder.h"
#include "catalog/CatalogCopy.h"
#include "db/ADODatabase.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

const char* const kDatabase = "tqrvn_bench";

std::string Replaced(const std::string& conn, const std::string& database) {
    const std::size_t p = conn.find("Database=");
    if (p == std::string::npos) {
        return conn + ";Database=" + database;
    }
    const std::size_t end = conn.find(';', p);
    return conn.substr(0, p) + "Database=" + database +
           (end == std::string::npos ? "" : conn.substr(end));
}

struct Catalogs {
    std::string file;   // connection string of the file catalog
    std::string server; // of the server catalog, "" without a server
    long matl30 = -1;

    Catalogs() {
        std::string dir = (std::filesystem::temp_directory_path() / "tqrvn-bench-XXXXXX").string();
        if (!mkdtemp(dir.data())) {
            std::abort();
        }
        const std::string path = dir + "/RVNDatasource.mdb";
        std::string error;
        if (!RVN::BuildCatalog(path, TQRVN_DATA_DIR, true, error)) {
            std::fprintf(stderr, "cannot build the catalog: %s\n", error.c_str());
            std::abort();
        }
        file = RVN::CatalogConnectionString(path);
        CADODatabase db;
        db.Open(file);
        CTQPipeMatl m;
        m.Name = "bench material";
        m.Add(&db);
        matl30 = m.ID;
        for (int dn = 1; dn <= 30; ++dn) {
            CTQPipeSpec s;
            s.MatlID = matl30;
            s.DN = dn * 10;
            s.InsD = dn * 10.0;
            s.Add(&db);
        }
        const char* conn = std::getenv("TQRVN_TEST_POSTGRES");
        if (conn == nullptr || *conn == '\0') {
            return;
        }
        CADODatabase admin;
        if (!admin.Open(conn) ||
            !admin.Execute(std::string("DROP DATABASE IF EXISTS ") + kDatabase) ||
            !admin.Execute(std::string("CREATE DATABASE ") + kDatabase)) {
            std::fprintf(stderr, "cannot make the bench database: %s\n",
                         admin.GetLastErrorString().c_str());
            return;
        }
        std::ifstream in(std::string(TQRVN_DATA_DIR) + "/schema.sql");
        std::ostringstream schema;
        schema << in.rdbuf();
        CADODatabase target;
        if (target.Open(Replaced(conn, kDatabase)) &&
            RVN::CopyCatalog(db, target, schema.str(), true, error)) {
            server = Replaced(conn, kDatabase);
        } else {
            std::fprintf(stderr, "cannot copy the catalog to the server: %s\n", error.c_str());
        }
    }
};

const Catalogs& Get() {
    static const Catalogs catalogs;
    return catalogs;
}

bool Open(benchmark::State& state, CADODatabase& db, bool server) {
    const std::string& conn = server ? Get().server : Get().file;
    if (conn.empty()) {
        state.SkipWithError("TQRVN_TEST_POSTGRES is not set: no server to measure");
        return false;
    }
    if (!db.Open(conn)) {
        state.SkipWithError(db.GetLastErrorString().c_str());
        return false;
    }
    return true;
}

void BM_GetAllSpec30(benchmark::State& state) {
    CADODatabase db;
    if (!Open(state, db, state.range(0) == 1)) {
        return;
    }
    CTQArray<CTQPipeSpec> specs;
    for (auto _ : state) {
        benchmark::DoNotOptimize(CTQPipeMatlManager::GetAllSpec(specs, Get().matl30, &db));
    }
    state.SetLabel(state.range(0) == 1 ? "server" : "file");
}

void BM_OpenConnection(benchmark::State& state) {
    for (auto _ : state) {
        CADODatabase db;
        if (!Open(state, db, state.range(0) == 1)) {
            return;
        }
        db.Close();
    }
    state.SetLabel(state.range(0) == 1 ? "server" : "file");
}

// 1,000 new pipe sizes of one material in one transaction, committed; they
// are deleted again outside the measured time.
void BM_ThousandAddsInOneTransaction(benchmark::State& state) {
    CADODatabase db;
    if (!Open(state, db, state.range(0) == 1)) {
        return;
    }
    for (auto _ : state) {
        db.BeginTransaction();
        for (int i = 0; i < 1000; ++i) {
            CTQPipeSpec s;
            s.MatlID = 999999;
            s.DN = 1000 + i;
            s.InsD = i;
            if (!s.Add(&db)) {
                state.SkipWithError(db.GetLastErrorString().c_str());
                break;
            }
        }
        db.CommitTransaction();
        state.PauseTiming();
        db.Execute("delete from PipeSpec where MatlID = 999999");
        state.ResumeTiming();
    }
    state.SetLabel(state.range(0) == 1 ? "server" : "file");
}

} // namespace

// Argument 0: the catalog file; 1: the catalog on the server.
BENCHMARK(BM_GetAllSpec30)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_OpenConnection)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ThousandAddsInOneTransaction)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
