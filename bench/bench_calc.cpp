// Speed of the friction-factor and water-property functions.  Inputs cycle
// through small arrays so the compiler cannot fold a call into a constant.
#include "calc/RVNCalc.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cstddef>

namespace {

template <std::size_t N, typename F>
void Cycle(benchmark::State& state, const std::array<double, N>& xs, F f) {
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(f(xs[i]));
        i = (i + 1) % N;
    }
}

constexpr std::array<double, 4> kLaminarRe{500, 1000, 1500, 2200};
constexpr std::array<double, 4> kTransitionRe{2400, 3000, 3500, 3900};
constexpr std::array<double, 4> kSmoothRe{5000, 10000, 20000, 50000};
constexpr std::array<double, 4> kMixedRe{1e5, 2e5, 5e5, 8e5};
constexpr std::array<double, 4> kRoughRe{2e6, 5e6, 1e7, 3e7};
constexpr std::array<double, 4> kTemperatures{4.2, 18.7, 47.3, 83.9};

void BM_GetLmd_Laminar(benchmark::State& s) {
    Cycle(s, kLaminarRe, [](double re) { return RVN::GetLmd(re, 0.001); });
}
void BM_GetLmd_Transition(benchmark::State& s) {
    Cycle(s, kTransitionRe, [](double re) { return RVN::GetLmd(re, 0.001); });
}
void BM_GetLmd_Smooth(benchmark::State& s) {
    Cycle(s, kSmoothRe, [](double re) { return RVN::GetLmd(re, 1e-5); });
}
void BM_GetLmd_Mixed(benchmark::State& s) {
    Cycle(s, kMixedRe, [](double re) { return RVN::GetLmd(re, 0.001); });
}
void BM_GetLmd_Rough(benchmark::State& s) {
    Cycle(s, kRoughRe, [](double re) { return RVN::GetLmd(re, 0.01); });
}
void BM_x_TF_CW(benchmark::State& s) {
    Cycle(s, kMixedRe, [](double re) { return RVN::x_TF_CW(re, 0.001); });
}
void BM_x_TF_PN(benchmark::State& s) {
    Cycle(s, kMixedRe, [](double re) { return RVN::x_TF_PN(re); });
}
void BM_Rm_Circle(benchmark::State& s) {
    Cycle(s, kTemperatures, [](double x) { return RVN::Rm_Circle(0.02, 0.1, x * 0.05, 998.0); });
}
void BM_GetWaterMD(benchmark::State& s) { Cycle(s, kTemperatures, RVN::GetWaterMD); }
void BM_GetWaterND(benchmark::State& s) { Cycle(s, kTemperatures, RVN::GetWaterND); }

} // namespace

BENCHMARK(BM_GetLmd_Laminar);
BENCHMARK(BM_GetLmd_Transition);
BENCHMARK(BM_GetLmd_Smooth);
BENCHMARK(BM_GetLmd_Mixed);
BENCHMARK(BM_GetLmd_Rough);
BENCHMARK(BM_x_TF_CW);
BENCHMARK(BM_x_TF_PN);
BENCHMARK(BM_Rm_Circle);
BENCHMARK(BM_GetWaterMD);
BENCHMARK(BM_GetWaterND);
