// Speed of the local resistance coefficients of bends and tees and of unit
// conversion.  Inputs cycle through small arrays so the compiler cannot fold
// a call into a constant; each iteration is one call.
#include "calc/RVNCalc.h"

#include <benchmark/benchmark.h>

#include <cstddef>

namespace {

constexpr std::size_t kN = 16; // a power of two, so the index wraps with a mask

// Angles (rad) over 0..200 deg, so every interval of the angle table is hit.
constexpr double kAngle[kN] = {0.0,  0.20, 0.35, 0.52, 0.70, 0.79, 1.05, 1.30,
                               1.57, 1.75, 1.92, 2.27, 2.62, 2.88, 3.14, 3.49};
// Relative radii over 0.4..2.7 (both clamps and every interval).
constexpr double kRadius[kN] = {0.4, 0.5, 0.6,  0.7, 0.8, 0.95, 1.0, 1.2,
                                1.4, 1.6, 1.75, 1.9, 2.1, 2.3,  2.5, 2.7};
// Reynolds numbers over 5e3..3e5.
constexpr double kRe[kN] = {5e3, 1e4,   1.5e4, 2.5e4, 3.5e4, 4e4, 5e4,   7e4,
                            9e4, 1.1e5, 1.3e5, 1.5e5, 1.8e5, 2e5, 2.4e5, 3e5};
// Velocities (m/s).
constexpr double kVelocity[kN] = {0.5, 0.8, 1.1, 1.4, 1.7, 2.0, 2.3, 2.6,
                                  2.9, 3.2, 3.5, 3.8, 4.1, 4.4, 4.7, 5.0};

void BM_SyphonCircle(benchmark::State& state) {
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(
            RVN::GetSyphonDragLocalIndexCircle(kAngle[i & (kN - 1)], kRadius[(i * 7) & (kN - 1)]));
        ++i;
    }
}
BENCHMARK(BM_SyphonCircle);

void BM_SyphonSquare(benchmark::State& state) {
    std::size_t i = 0;
    for (auto _ : state) {
        const double rb = kRadius[(i * 5) & (kN - 1)];
        benchmark::DoNotOptimize(RVN::GetSyphonDragLocalIndexSquare(
            kAngle[i & (kN - 1)], rb, kRe[(i * 3) & (kN - 1)], kVelocity[(i * 11) & (kN - 1)],
            kVelocity[(i * 13) & (kN - 1)]));
        ++i;
    }
}
BENCHMARK(BM_SyphonSquare);

void BM_ConvergingTee(benchmark::State& state) {
    std::size_t i = 0;
    for (auto _ : state) {
        const double w1 = kVelocity[i & (kN - 1)];
        const double w2 = kVelocity[(i * 3) & (kN - 1)];
        const double wc = kVelocity[(i * 5) & (kN - 1)];
        benchmark::DoNotOptimize(RVN::GetHeLiuSanTongDragLocalIndex(
            wc, 0.3, w1, 0.1, w2, 0.2, kAngle[(i * 7) & (kN - 1)], 0.0, (i & 1) != 0));
        ++i;
    }
}
BENCHMARK(BM_ConvergingTee);

// The four flag combinations in turn; the angle form is the costly one.
void BM_DivergingTee(benchmark::State& state) {
    std::size_t i = 0;
    for (auto _ : state) {
        const double wc = kVelocity[(i * 5) & (kN - 1)];
        const double wb = kVelocity[i & (kN - 1)];
        benchmark::DoNotOptimize(RVN::GetFenLiuSanTongDragLocalIndex(
            wc, 0.3, wb, 0.2, kAngle[(i * 3) & (kN - 1)], (i & 1) != 0, (i & 2) != 0));
        ++i;
    }
}
BENCHMARK(BM_DivergingTee);

void BM_DivergingTeeAngleForm(benchmark::State& state) {
    std::size_t i = 0;
    for (auto _ : state) {
        const double wc = kVelocity[(i * 5) & (kN - 1)];
        const double wb = kVelocity[i & (kN - 1)];
        benchmark::DoNotOptimize(RVN::GetFenLiuSanTongDragLocalIndex(
            wc, 0.3, wb, 0.2, kAngle[(i * 3) & (kN - 1)], true, true));
        ++i;
    }
}
BENCHMARK(BM_DivergingTeeAngleForm);

void BM_UnitSwitchPress(benchmark::State& state) {
    std::size_t i = 0;
    for (auto _ : state) {
        const auto from = static_cast<RVN::Unit_PRESS>(i % 9);
        const auto to = static_cast<RVN::Unit_PRESS>((i * 4 + 1) % 9);
        benchmark::DoNotOptimize(RVN::UnitSwitch(from, to, kVelocity[i & (kN - 1)]));
        ++i;
    }
}
BENCHMARK(BM_UnitSwitchPress);

void BM_UnitSwitchSpeed(benchmark::State& state) {
    std::size_t i = 0;
    for (auto _ : state) {
        const auto from = static_cast<RVN::Unit_SPEED>(i & 3);
        const auto to = static_cast<RVN::Unit_SPEED>((i >> 2) & 3);
        benchmark::DoNotOptimize(RVN::UnitSwitch(from, to, kVelocity[i & (kN - 1)]));
        ++i;
    }
}
BENCHMARK(BM_UnitSwitchSpeed);

} // namespace
