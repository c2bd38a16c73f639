// Speed of the pipe segment records and of the property exchange.
//
// Targets: CalAllData of the Darcy method (whose friction factor runs the
// Colebrook bisection) at most 2.5 us; storing, saving, loading and reading
// back one exchange file of 100 items of 13 values at most 5 ms.

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>
#include <string>

#include "TQRVNBase.h"

namespace {

// Water at 20 degC in a DN50 steel pipe at 1.5 m/s: Re = 75000 with a
// relative roughness of 0.004, the mixed-friction zone (Colebrook).
template <class Record>
void SetUpSegment(Record& p) {
    p.DN = 50;
    p.Diameter = 50.0;
    p.ThickNess = 3.5;
    p.Flux = 1.5 * 3.14159265358979 * 0.05 * 0.05 / 4.0;
    p.Length = 25.0;
    p.DragCoef = 3.2;
}

template <class Record>
void BM_CalAllData(benchmark::State& state, double roughness, double rho, double nu) {
    Record p;
    SetUpSegment(p);
    CTQPipeData& segment = p;  // called through the virtual table, as size selection does
    for (auto _ : state) {
        bool ok = segment.CalAllData(roughness, rho, nu);
        benchmark::DoNotOptimize(ok);
        benchmark::DoNotOptimize(segment.Rm);
    }
}

void BM_CalAllData_Darcy(benchmark::State& s) { BM_CalAllData<CTQPipeData>(s, 0.0002, 998.2, 1.004); }
void BM_CalAllData_Plastic(benchmark::State& s) { BM_CalAllData<CTQRVNPlasticData>(s, 0.00001, 998.2, 1.004); }
void BM_CalAllData_PPR(benchmark::State& s) { BM_CalAllData<CTQRVNPPRData>(s, 0.00001, 998.2, 1.004); }
void BM_CalAllData_Steam(benchmark::State& s) { BM_CalAllData<CTQRVNSteamData>(s, 0.0002, 2.5, 5.0); }
BENCHMARK(BM_CalAllData_Darcy);
BENCHMARK(BM_CalAllData_Plastic);
BENCHMARK(BM_CalAllData_PPR);
BENCHMARK(BM_CalAllData_Steam);

// One pipe size as the catalog exchanges it: 13 values.
struct Spec {
    long ID = 0, MatlID = 7;
    int DN = 0, Version = 1;
    double InsD = 0, OutD = 0, Thickness = 3.5, MinV = 0.3, MaxV = 1.5, MinH = 0, MaxH = 1e6, MinR = 50,
           MaxR = 300;
    void Exchange(CXTPPropExchange* px) {
        PX_Long(px, "ID", ID);
        PX_Long(px, "MatlID", MatlID);
        PX_Int(px, "DN", DN);
        PX_Double(px, "InsD", InsD);
        PX_Double(px, "OutD", OutD);
        PX_Double(px, "Thickness", Thickness);
        PX_Double(px, "MinV", MinV);
        PX_Double(px, "MaxV", MaxV);
        PX_Double(px, "MinH", MinH);
        PX_Double(px, "MaxH", MaxH);
        PX_Double(px, "MinR", MinR);
        PX_Double(px, "MaxR", MaxR);
        PX_Int(px, "Version", Version);
    }
};

constexpr int kItems = 100;

std::string BenchFile() {
    return (std::filesystem::temp_directory_path() /
            ("tqrvn_bench_records_" + std::to_string(::getpid()) + ".xml"))
        .string();
}

void Save(const std::string& path, Spec (&specs)[kItems]) {
    CXTPPropExchangeXMLNode root(false, "TQRVNPipeMatl");
    CXTPPropExchangeSection matl(root.GetSection("MATL"));
    CXTPPropExchangeEnumeratorPtr items(matl->GetEnumerator("SPEC"));
    POSITION pos = items->GetPosition(kItems, false);
    for (Spec& s : specs) {
        CXTPPropExchangeSection item(items->GetNext(pos));
        s.Exchange(item);
    }
    root.SaveToFile(path.c_str());
}

int Load(const std::string& path, Spec (&specs)[kItems]) {
    CXTPPropExchangeXMLNode root(true, "TQRVNPipeMatl");
    if (!root.LoadFromFile(path.c_str()) || !root.OnBeforeExchange()) return 0;
    CXTPPropExchangeSection matl(root.GetSection("MATL"));
    CXTPPropExchangeEnumeratorPtr items(matl->GetEnumerator("SPEC"));
    int n = 0;
    for (POSITION pos = items->GetPosition(); pos != nullptr && n < kItems; ++n) {
        CXTPPropExchangeSection item(items->GetNext(pos));
        specs[n].Exchange(item);
    }
    return n;
}

void FillSpecs(Spec (&specs)[kItems]) {
    for (int k = 0; k < kItems; ++k) {
        specs[k].ID = 1000 + k;
        specs[k].DN = 15 + 5 * k;
        specs[k].InsD = 15.75 + 5.1 * k;
        specs[k].OutD = specs[k].InsD + 7.0;
    }
}

void BM_ExchangeSaveAndLoad(benchmark::State& state) {
    const std::string path = BenchFile();
    Spec out[kItems], in[kItems];
    FillSpecs(out);
    for (auto _ : state) {
        Save(path, out);
        benchmark::DoNotOptimize(Load(path, in));
    }
    std::filesystem::remove(path);
}
BENCHMARK(BM_ExchangeSaveAndLoad)->Unit(benchmark::kMicrosecond);

void BM_ExchangeSave(benchmark::State& state) {
    const std::string path = BenchFile();
    Spec out[kItems];
    FillSpecs(out);
    for (auto _ : state) Save(path, out);
    std::filesystem::remove(path);
}
BENCHMARK(BM_ExchangeSave)->Unit(benchmark::kMicrosecond);

void BM_ExchangeLoad(benchmark::State& state) {
    const std::string path = BenchFile();
    Spec out[kItems], in[kItems];
    FillSpecs(out);
    Save(path, out);
    for (auto _ : state) benchmark::DoNotOptimize(Load(path, in));
    std::filesystem::remove(path);
}
BENCHMARK(BM_ExchangeLoad)->Unit(benchmark::kMicrosecond);

}  // namespace
