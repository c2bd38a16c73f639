// Speed of the network layer: a generated heating tree of 10,000 and
// 100,000 segments sized and balanced (flows, sizes, circuits, index
// circuit, valves and tees; then with balancing by size), and the schematic
// of a 500-segment network drawn as SVG.  Runs on a catalog built from the
// seed data in a temporary folder.
#include "catalog/CatalogBuilder.h"

#include <TQRVNBase.h>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>

namespace {

CTQCatalogSnapshot::Ptr SeedCatalog() {
    static CTQCatalogSnapshot::Ptr catalog = [] {
        const std::string dir =
            (std::filesystem::temp_directory_path() / "tqrvn-bench-network").string();
        std::filesystem::create_directories(dir);
        const std::string path = dir + "/cat.mdb";
        std::string error;
        if (!RVN::BuildCatalog(path, TQRVN_DATA_DIR, true, error) ||
            !RVN::LoadRVNBaseDataBase(path.c_str())) {
            std::fprintf(stderr, "cannot build the catalog: %s\n", error.c_str());
            return CTQCatalogSnapshot::Ptr();
        }
        auto loaded = CTQCatalogSnapshot::Load(nullptr).value;
        RVN::CloseRVNBaseDataBase();
        return loaded;
    }();
    return catalog;
}

// A tree of `segments` segments in which every node feeds up to four
// others (mains, risers, floor branches), radiators of 0.5 to 2.5 kW at
// its ends, lengths of 2 to 10 m, elbows on every third segment.
RVN::CTQNetwork Generated(int segments) {
    RVN::CTQNetwork net;
    net.settings.source = "N0";
    net.settings.supplyTemperature = 80;
    net.settings.deltaT = 20;
    net.settings.material = "焊接钢管";
    net.segments.reserve(segments);
    for (int i = 1; i <= segments; ++i) {
        RVN::CTQNetworkSegment s;
        s.id = "S" + RVN::FormatInteger(i);
        s.from = "N" + RVN::FormatInteger((i - 1) / 4);
        s.to = "N" + RVN::FormatInteger(i);
        s.length = 2.0 + (i % 9);
        if (i % 3 == 0)
            s.fittings = {{"弯头", 2}};
        net.segments.push_back(std::move(s));
        if (4 * i + 1 > segments) {
            RVN::CTQNetworkTerminal t;
            t.node = "N" + RVN::FormatInteger(i);
            t.heatLoad = 500.0 + 100.0 * (i % 21);
            net.terminals.push_back(std::move(t));
        }
    }
    return net;
}

void Compute(benchmark::State& state, bool bySize) {
    const auto catalog = SeedCatalog();
    if (!catalog) {
        state.SkipWithError("no catalog");
        return;
    }
    RVN::CTQNetwork net = Generated(int(state.range(0)));
    net.settings.balanceBySize = bySize;
    if (bySize) {
        net.settings.by = RVN::TQNetworkSizing::TargetRm;
        net.settings.targetRm = 60;
    }
    for (auto _ : state) {
        auto o = RVN::ComputeNetwork(*catalog, net);
        if (!o.Ok()) {
            state.SkipWithError(o.errors[0].Text().c_str());
            return;
        }
        benchmark::DoNotOptimize(o.value.pumpHead);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void BM_NetworkSizeAndBalance(benchmark::State& state) {
    Compute(state, false);
}
void BM_NetworkBalanceBySize(benchmark::State& state) {
    Compute(state, true);
}
BENCHMARK(BM_NetworkSizeAndBalance)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_NetworkBalanceBySize)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond);

void BM_NetworkSvg(benchmark::State& state) {
    const auto catalog = SeedCatalog();
    if (!catalog) {
        state.SkipWithError("no catalog");
        return;
    }
    const auto o = RVN::ComputeNetwork(*catalog, Generated(int(state.range(0))));
    for (auto _ : state) {
        std::string svg, error;
        if (!RVN::RenderNetworkSvg(o.value, svg, error)) {
            state.SkipWithError(error.c_str());
            return;
        }
        benchmark::DoNotOptimize(svg.data());
    }
}
BENCHMARK(BM_NetworkSvg)->Arg(500)->Unit(benchmark::kMillisecond);

} // namespace
