// Speed of the catalog operations a host calls most: opening the catalog,
// listing a material's sizes and the materials, totalling valve coefficients.
// Runs on a catalog built from the seed data in a temporary folder, with
// extra rows added through the library.
#include "catalog/CatalogBuilder.h"

#include "catalog/CTQPipeMatl.h"
#include "catalog/CTQPipeValve.h"
#include "catalog/RVNDataBase.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

struct BenchCatalog {
    std::string dir;
    std::string path;
    long matl30 = -1;
    CTQMap<long, int> valves10;

    BenchCatalog() {
        std::string tmpl = (std::filesystem::temp_directory_path() / "tqrvn-bench-XXXXXX").string();
        if (!mkdtemp(tmpl.data())) {
            std::abort();
        }
        dir = tmpl;
        path = dir + "/RVNDatasource.mdb";
        std::string error;
        if (!RVN::BuildCatalog(path, TQRVN_DATA_DIR, true, error) ||
            !RVN::LoadRVNBaseDataBase(path.c_str())) {
            std::fprintf(stderr, "cannot build the catalog: %s\n", error.c_str());
            std::abort();
        }
        // Materials up to 100, one of them with 30 sizes.
        CTQArray<CTQPipeMatl> all;
        for (int i = CTQPipeMatlManager::GetAllMatl(all, 0, nullptr); i < 100; ++i) {
            CTQPipeMatl m;
            m.Name = "bench material " + std::to_string(i);
            m.Add(nullptr);
            matl30 = m.ID;
        }
        for (int dn = 1; dn <= 30; ++dn) {
            CTQPipeSpec s;
            s.MatlID = matl30;
            s.DN = dn * 10;
            s.InsD = dn * 10.0;
            s.Add(nullptr);
        }
        CTQArray<CTQPipeValve> valves;
        CTQPipeValveManager::GetAllValve(valves, 0, nullptr);
        for (INT_PTR i = 0; i < valves.GetSize() && valves10.GetCount() < 10; ++i) {
            valves10.SetAt(valves[i].ID, 2);
        }
        RVN::CloseRVNBaseDataBase();
    }
    ~BenchCatalog() {
        RVN::CloseRVNBaseDataBase();
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
};

BenchCatalog& Catalog() {
    static BenchCatalog c;
    return c;
}

void BM_LoadRVNBaseDataBase(benchmark::State& state) {
    const std::string& path = Catalog().path;
    for (auto _ : state) {
        benchmark::DoNotOptimize(RVN::LoadRVNBaseDataBase(path.c_str()));
        RVN::CloseRVNBaseDataBase();
    }
}

void BM_GetAllSpec30(benchmark::State& state) {
    RVN::LoadRVNBaseDataBase(Catalog().path.c_str());
    CTQArray<CTQPipeSpec> specs;
    for (auto _ : state) {
        benchmark::DoNotOptimize(CTQPipeMatlManager::GetAllSpec(specs, Catalog().matl30, nullptr));
    }
    RVN::CloseRVNBaseDataBase();
}

void BM_GetAllMatl100(benchmark::State& state) {
    RVN::LoadRVNBaseDataBase(Catalog().path.c_str());
    CTQArray<CTQPipeMatl> matls;
    for (auto _ : state) {
        benchmark::DoNotOptimize(CTQPipeMatlManager::GetAllMatl(matls, 0, nullptr));
    }
    RVN::CloseRVNBaseDataBase();
}

void BM_GetTotalCoefMap10(benchmark::State& state) {
    RVN::LoadRVNBaseDataBase(Catalog().path.c_str());
    for (auto _ : state) {
        benchmark::DoNotOptimize(CTQPipeValveManager::GetTotalCoef(Catalog().valves10, 50, nullptr));
    }
    RVN::CloseRVNBaseDataBase();
}

} // namespace

BENCHMARK(BM_LoadRVNBaseDataBase)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GetAllSpec30)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GetAllMatl100)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GetTotalCoefMap10)->Unit(benchmark::kMicrosecond);
