// Speed of the design layer: 100,000 segments sized against one catalog
// snapshot, on one thread and on two threads sharing the snapshot.  Runs on
// a catalog built from the seed data in a temporary folder.
#include "catalog/CatalogBuilder.h"

#include <TQRVNBase.h>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <thread>
#include <vector>

namespace {

constexpr int kSegments = 100000;

struct DesignBench {
    CTQCatalogSnapshot::Ptr catalog;
    std::vector<RVN::CTQSegmentRequest> requests;

    DesignBench()
    {
        const std::string dir = (std::filesystem::temp_directory_path() / "tqrvn-bench-design").string();
        std::filesystem::create_directories(dir);
        const std::string path = dir + "/cat.mdb";
        std::string error;
        if (!RVN::BuildCatalog(path, TQRVN_DATA_DIR, true, error) || !RVN::LoadRVNBaseDataBase(path.c_str())) {
            std::fprintf(stderr, "cannot build the catalog: %s\n", error.c_str());
            return;
        }
        catalog = CTQCatalogSnapshot::Load(nullptr).value;
        RVN::CloseRVNBaseDataBase();
        // Heating branches of 1 to 200 kW, risers and mains, over the first
        // materials of each kind, with fittings on two of three.
        const char* const materials[] = {"焊接钢管", "铜管", "PE100给水管 SDR11", "PP-R管 S3.2"};
        for (int i = 0; i < kSegments; ++i) {
            RVN::CTQSegmentRequest r;
            r.material = materials[i % 4];
            r.temperature = 20 + (i % 7) * 10;
            if (i % 3 == 0) {
                r.volumeFlow = 0.0002 + 0.00002 * (i % 500);
            } else {
                r.heatLoad = 1000.0 + 200.0 * (i % 1000);
                r.deltaT = 10 + i % 3 * 5;
            }
            r.length = 3 + i % 40;
            r.by = static_cast<RVN::TQSelection>(i % 3 == 2 ? 1 : 0);
            if (i % 3 != 1)
                r.fittings = {{"弯头", 1 + i % 3}, {"闸阀", 1}};
            requests.push_back(r);
        }
    }
};

DesignBench& Bench()
{
    static DesignBench b;
    return b;
}

// All 100,000 segments on the calling thread.
void BM_SizeSegments(benchmark::State& state)
{
    DesignBench& b = Bench();
    if (!b.catalog) {
        state.SkipWithError("no catalog");
        return;
    }
    for (auto _ : state) {
        double total = 0;
        for (const auto& r : b.requests)
            total += RVN::SizeSegment(*b.catalog, r).value.totalLoss;
        benchmark::DoNotOptimize(total);
    }
    state.SetItemsProcessed(state.iterations() * kSegments);
}
BENCHMARK(BM_SizeSegments)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same 100,000 segments split between two threads sharing the snapshot.
void BM_SizeSegmentsTwoThreads(benchmark::State& state)
{
    DesignBench& b = Bench();
    if (!b.catalog) {
        state.SkipWithError("no catalog");
        return;
    }
    for (auto _ : state) {
        double totals[2] = {0, 0};
        auto work = [&](int half) {
            for (std::size_t k = static_cast<std::size_t>(half); k < b.requests.size(); k += 2)
                totals[half] += RVN::SizeSegment(*b.catalog, b.requests[k]).value.totalLoss;
        };
        std::thread other(work, 1);
        work(0);
        other.join();
        benchmark::DoNotOptimize(totals);
    }
    state.SetItemsProcessed(state.iterations() * kSegments);
}
BENCHMARK(BM_SizeSegmentsTwoThreads)->Unit(benchmark::kMillisecond)->UseRealTime();

// Loading the snapshot of the seed catalog.
void BM_LoadSnapshot(benchmark::State& state)
{
    Bench();
    const std::string path = (std::filesystem::temp_directory_path() / "tqrvn-bench-design/cat.mdb").string();
    RVN::LoadRVNBaseDataBase(path.c_str());
    for (auto _ : state)
        benchmark::DoNotOptimize(CTQCatalogSnapshot::Load(nullptr).value);
    RVN::CloseRVNBaseDataBase();
}
BENCHMARK(BM_LoadSnapshot)->Unit(benchmark::kMillisecond);

}  // namespace
