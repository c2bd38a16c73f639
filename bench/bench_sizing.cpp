// Speed of size selection by specific friction.
//
// A water segment at 60 degC over a list of 30 steel sizes, DN15 to DN600,
// each taking 50 to 150 Pa/m.  Every size walked costs a velocity and a
// Darcy Rm with its Colebrook bisection.  Target: at most 2.5 us per size
// walked ("per_size"), when the fitting size is the last one (30 walked)
// and when it is the first (1 walked).

#include <benchmark/benchmark.h>

#include <cmath>

#include "TQRVNBase.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kSizes = 30;
constexpr double kRough = 0.2e-3, kRho = 983.2, kNu = 0.478;

// Bores growing geometrically from 15 to 600 mm.
CTQArray<CTQPipeSpec> SteelSizes() {
    CTQArray<CTQPipeSpec> list;
    for (int i = 0; i < kSizes; ++i) {
        CTQPipeSpec s;
        s.InsD = 15.0 * std::pow(40.0, i / double(kSizes - 1));
        s.DN = int(std::lround(s.InsD));
        s.Thickness = 3.0 + 0.02 * s.InsD;
        s.OutD = s.InsD + 2 * s.Thickness;
        s.MinR = 50;
        s.MaxR = 150;
        list.Add(s);
    }
    return list;
}

// velocity (m/s) in the bore of size `at` of the list.
void BM_SelectSpecByRm(benchmark::State& state, int at, double velocity) {
    CTQArray<CTQPipeSpec> list = SteelSizes();
    const double d = list[at].InsD * 0.001;
    CTQPipeData segment;
    segment.Flux = velocity * kPi * d * d / 4;
    segment.Length = 25;

    if (!RVN::SelectSpecByRm(&segment, &list, kRough, kRho, kNu) || segment.DN != list[at].DN) {
        state.SkipWithError("the flow does not fit the intended size");
        return;
    }
    for (auto _ : state) {
        bool fits = RVN::SelectSpecByRm(&segment, &list, kRough, kRho, kNu);
        benchmark::DoNotOptimize(fits);
        benchmark::DoNotOptimize(segment.Rm);
    }
    state.counters["sizes_walked"] = at + 1;
    state.counters["per_size"] = benchmark::Counter(
        at + 1, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// DN600 at 3 m/s: about 115 Pa/m; DN530 already runs over 200.
BENCHMARK_CAPTURE(BM_SelectSpecByRm, fits_last_of_30, kSizes - 1, 3.0);
// DN15 at 0.3 m/s: about 110 Pa/m.
BENCHMARK_CAPTURE(BM_SelectSpecByRm, fits_first_of_30, 0, 0.3);

}  // namespace
