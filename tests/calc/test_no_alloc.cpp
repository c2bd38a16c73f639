// The hydraulic functions allocate nothing: every form of the global
// operator new is replaced by a counting one and the count must not move
// while the functions run.  All forms of new and delete are replaced
// together, so that the sanitizer build sees consistent pairs.
#include "calc/RVNCalc.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <limits>
#include <new>

namespace {
std::atomic<long> g_allocations{0};

void* CountedAlloc(std::size_t size) {
    ++g_allocations;
    if (void* p = std::malloc(size == 0 ? 1 : size)) {
        return p;
    }
    throw std::bad_alloc();
}

void* CountedAlignedAlloc(std::size_t size, std::align_val_t align) {
    ++g_allocations;
    const std::size_t a = static_cast<std::size_t>(align);
    const std::size_t rounded = (size + a - 1) / a * a;
    if (void* p = std::aligned_alloc(a, rounded == 0 ? a : rounded)) {
        return p;
    }
    throw std::bad_alloc();
}
} // namespace

void* operator new(std::size_t size) { return CountedAlloc(size); }
void* operator new[](std::size_t size) { return CountedAlloc(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return CountedAlloc(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    try {
        return CountedAlloc(size);
    } catch (...) {
        return nullptr;
    }
}
void* operator new(std::size_t size, std::align_val_t al) { return CountedAlignedAlloc(size, al); }
void* operator new[](std::size_t size, std::align_val_t al) {
    return CountedAlignedAlloc(size, al);
}
void* operator new(std::size_t size, std::align_val_t al, const std::nothrow_t&) noexcept {
    try {
        return CountedAlignedAlloc(size, al);
    } catch (...) {
        return nullptr;
    }
}
void* operator new[](std::size_t size, std::align_val_t al, const std::nothrow_t&) noexcept {
    try {
        return CountedAlignedAlloc(size, al);
    } catch (...) {
        return nullptr;
    }
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::align_val_t, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t, const std::nothrow_t&) noexcept { std::free(p); }

namespace {

// Keeps results alive so the calls are not removed.
volatile double g_sink;

void RunEveryFunction(double x) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    double s = 0;
    s += RVN::IsEqual(x, 1, 0.1) + RVN::IsZero(x) + RVN::InZone(x, 0.0, 1.0) + RVN::InZone(1, 0, 2);
    s += RVN::GetGirth_CIRC(x) + RVN::GetArea_CIRC(x) + RVN::GetGirth_RECT(x, 2) +
         RVN::GetArea_RECT(x, 2) + RVN::GetGirth_OVAL(2, x) + RVN::GetArea_OVAL(2, x);
    s += RVN::GetHydraulicRadius(x, 2) + RVN::Rs(x, 2) + RVN::GetHydraulicRadius_RECT(x, 2) +
         RVN::GetHydraulicRadius_OVAL(2, x) + RVN::D(x) + RVN::GetEquivalentDiameter(x);
    s += RVN::D_V(x, 2) + RVN::D_F(x, 2) + RVN::D_A(x, 2) + RVN::D_Circle(x);
    s += RVN::V(x, 2) + RVN::V_Circle(x, 2) + RVN::V_Square(x, 2, 3) + RVN::L(x, 2) +
         RVN::L_Circle(x, 2) + RVN::L_Square(x, 2, 3) + RVN::GetVFlux(x, 2);
    s += RVN::GetVelocity(x, 2) + RVN::GetVolume(x, 2) + RVN::GetVelocity_CIRC(x, 2) +
         RVN::GetVelocity_RECT(x, 2, 3) + RVN::GetVelocity_OVAL(x, 3, 2) + RVN::GetMass(x, 2) +
         RVN::GetDynamicViscosity(x, 2);
    s += RVN::GetDY(x, 2) + RVN::GetDynamicPressure(x, 2) + RVN::Pd(1, x, 2) + RVN::hd(1, x, 9.81) +
         RVN::GetDLLength(10, 1, x, 0.02);
    s += RVN::GetBhDqYl(x * 20) + RVN::GetDensity(x * 20, 0.5, 101325) +
         RVN::GetMFluxByLoad(x, 4187, 10) + RVN::GetLoadByMFlux(x, 4187, 10) +
         RVN::GetWaterFlux(x, 10);
    for (double re : {0.0, 1000.0, 3000.0, 5e4, 1e5 * x, 1e6, nan}) {
        s += RVN::GetLmd(re, 0.001) + RVN::x_LF(re) + RVN::x_TF_B(re) + RVN::x_TF_PN(re) +
             RVN::x_TF_CW(re, 0.001) + RVN::x_TF_SJ(re, 0.001) + RVN::x_TF_A(re, 0.001) +
             RVN::x_TF_M(re, 0.001);
    }
    s += RVN::x_TF_KN(x * 0.001) + RVN::x_TF_X(x * 0.001) + RVN::Re(x, 2, 1e-6);
    s += RVN::Pl(10, 0.02, x, 2, 1000) + RVN::Rm(0.02, x, 2, 1000) +
         RVN::Pl_Circle(10, 0.02, x, 2, 1000) + RVN::Rm_Circle(0.02, x, 2, 1000) +
         RVN::Pl_Square(10, 0.02, x, 2, 2, 1000) + RVN::Rm_Square(0.02, x, 2, 2, 1000);
    s += RVN::GetSyphonDragLocalIndexCircle(x, 1.0) +
         RVN::GetSyphonDragLocalIndexSquare(x, 1.0, 1e5, 1, 1) +
         RVN::GetHeLiuSanTongDragLocalIndex(2, 1, x, 0.5, 2, 0.5, 0, 0.5, true) +
         RVN::GetFenLiuSanTongDragLocalIndex(2, 1, x, 1, 0.7, true, true);
    s += RVN::UnitSwitch(RVN::LENGTH_M, RVN::LENGTH_MM, x) +
         RVN::UnitSwitch(RVN::PRESS_BAR, RVN::PRESS_PA, x) +
         RVN::UnitSwitch(RVN::HEATCON_WPMK, static_cast<RVN::Unit_HEATCON>(99), x);
    s += RVN::GetWaterMD(x * 50) + RVN::GetWaterND(x * 50) + RVN::GetWaterMD(nan) +
         RVN::GetWaterND(nan);
    s += RVN::GetPlastic_dn(63, 0.3, 5.8, x) + RVN::GetPlastic_Rez(50, x) +
         RVN::GetPlastic_Res(0.05, x, 1e-6) + RVN::GetPlastic_b(1e5, 1e6 * x) +
         RVN::GetPlastic_lmd(1.8, 0.05, 1e-5, 1e5 * x);
    s += RVN::GetPPR_i(x * 0.02, 0.0005, true) + RVN::GetPPR_Diameter(100, x * 0.0005, false) +
         RVN::GetPPR_K1(static_cast<int>(x * 30)) + RVN::GetPPR_K2(2) + RVN::GetPPR_ii(x, 2, 1);
    s += RVN::GetSteam_Rm(x, 0.1, 2.6, 0.0002) + RVN::GetSteam_d(x, 100, 2.6, 0.0002) +
         RVN::GetSteam_Gt(100, x * 0.1, 2.6, 0.0002);
    g_sink = s;
}

TEST(NoAllocation, NoHydraulicFunctionAllocates) {
    // Make sure the counter works at all before relying on a zero.
    const long before = g_allocations.load();
    delete new int(1);
    ASSERT_EQ(g_allocations.load(), before + 1);

    const long start = g_allocations.load();
    for (double x : {0.0, 0.3, 1.0, 1.7, -2.0}) {
        RunEveryFunction(x);
    }
    EXPECT_EQ(g_allocations.load(), start);
}

} // namespace
