// Unit conversion: the published factors of every member, the order of the
// quotient and the product, identity and there-and-back conversion, and
// members outside the tables.
#include "calc/RVNCalc.h"

#include <gtest/gtest.h>

#include <bit>
#include <climits>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

namespace {

using namespace RVN;

constexpr double kInf = std::numeric_limits<double>::infinity();

bool IsQuietNaN(double x) {
    const auto bits = std::bit_cast<std::uint64_t>(x);
    return std::isnan(x) && ((bits >> 51) & 1U) == 1U;
}

// The published factors (units per base unit) of one quantity, in member order.
template <typename E> struct Quantity { std::vector<double> factor; };

const Quantity<Unit_LENGTH> kLength{
    {1, 0.001, 100, 1000, 39.370079, 3.28084, 1.093613, 0.000621, 0.00054}};
const Quantity<Unit_AREA> kArea{{1, 0.0001, 1550.0031, 10.764263, 1.196029, 3.861e-07}};
const Quantity<Unit_VOLUME> kVolume{{1, 1000, 61023.7, 35.335689, 219.968764, 264.172875}};
const Quantity<Unit_SPEED> kSpeed{{1, 3.599712, 3.28084, 196.078431, 2.237136, 1.944012}};
const Quantity<Unit_WEIGHT> kWeight{{1, 2.204586, 0.068522, 0.001}};
const Quantity<Unit_DENSITY> kDensity{{1, 0.001, 3.6e-05, 0.062428, 0.010022, 0.008345}};
const Quantity<Unit_WEIGHTV> kWeightV{{1, 3599.9712, 2.204586, 7936.507937, 3.543586}};
const Quantity<Unit_VOLUMEV> kVolumeV{{1, 3599.9712, 3600000, 1000, 35.335689, 127133, 219.969}};
const Quantity<Unit_STRENG> kStreng{{1, 0.101971, 7.230658, 0.22481, 0.0001, 3.597122}};
const Quantity<Unit_PRESS> kPress{
    {1, 9.8692e-06, 0.007506, 0.101937, 1.0197e-05, 0.00014504, 1e-05, 0.0075, 0.0040146}};
const Quantity<Unit_MOTIVITY> kMotivity{{1, 1000, 0.102, 0.6719, 0.0209, 5.8e-06}};
const Quantity<Unit_SPORT> kSport{{1, 1000000, 1550, 10.764263, 5580000, 3600}};
const Quantity<Unit_HEAT> kHeat{
    {1, 2.78e-07, 0.10197, 0.009869, 23.752969, 0.238846, 0.737572, 3.73e-07, 0.23892, 0.000948}};
const Quantity<Unit_POWER> kPower{
    {1, 0.001, 0.101971, 0.00136, 0.737572, 0.001341, 0.238846, 0.859845, 3.411805}};
const Quantity<Unit_HEATTRA> kHeatTra{{1, 2.389e-05, 0.859845, 0.176118}};
const Quantity<Unit_HEATCON> kHeatCon{{1, 0.002388, 0.8598, 0.577801, 6.9335}};

// Every member converts from the base unit by exactly its factor and back
// to it by exactly its reciprocal.
template <typename E> void ExpectPublishedFactors(const Quantity<E>& q) {
    const int n = static_cast<int>(q.factor.size());
    for (int m = 0; m < n; ++m) {
        const E e = static_cast<E>(m);
        EXPECT_EQ(UnitSwitch(static_cast<E>(0), e, 1.0), q.factor[m]) << "member " << m;
        EXPECT_EQ(UnitSwitch(e, static_cast<E>(0), 1.0), 1.0 / q.factor[m]) << "member " << m;
    }
}

// from == to returns the value unchanged; a there-and-back conversion
// returns it up to rounding; every pair is factor[to] / factor[from] * value.
template <typename E> void ExpectRoundTrips(const Quantity<E>& q) {
    const int n = static_cast<int>(q.factor.size());
    const double values[] = {1.0, -2.5, 123456.789, 1e-200, 0.0};
    for (int a = 0; a < n; ++a) {
        for (int b = 0; b < n; ++b) {
            const E ea = static_cast<E>(a);
            const E eb = static_cast<E>(b);
            for (double v : values) {
                const double there = UnitSwitch(ea, eb, v);
                EXPECT_EQ(there, q.factor[b] / q.factor[a] * v) << a << " -> " << b;
                const double back = UnitSwitch(eb, ea, there);
                EXPECT_NEAR(back, v, std::fabs(v) * 2e-15) << a << " <-> " << b;
            }
        }
        const E ea = static_cast<E>(a);
        EXPECT_EQ(UnitSwitch(ea, ea, 0.1), 0.1);
        EXPECT_EQ(UnitSwitch(ea, ea, kInf), kInf);
        EXPECT_EQ(UnitSwitch(ea, ea, std::numeric_limits<double>::denorm_min()),
                  std::numeric_limits<double>::denorm_min());
    }
}

// Any member value outside the table, on either side, gives a quiet NaN.
template <typename E> void ExpectOutsideMembersGiveNaN(const Quantity<E>& q) {
    const int n = static_cast<int>(q.factor.size());
    const int outside[] = {-1, n, n + 1, 1000, INT_MIN, INT_MAX, INT_MIN + 1};
    for (int bad : outside) {
        const E e = static_cast<E>(bad);
        EXPECT_TRUE(IsQuietNaN(UnitSwitch(e, static_cast<E>(0), 1.0))) << "from " << bad;
        EXPECT_TRUE(IsQuietNaN(UnitSwitch(static_cast<E>(n - 1), e, 1.0))) << "to " << bad;
        EXPECT_TRUE(IsQuietNaN(UnitSwitch(e, e, 1.0))) << "both " << bad;
    }
    // The last member is still inside.
    EXPECT_TRUE(std::isfinite(UnitSwitch(static_cast<E>(n - 1), static_cast<E>(0), 1.0)));
}

#define FOR_EACH_QUANTITY(CHECK)                                                                   \
    CHECK(kLength);                                                                                \
    CHECK(kArea);                                                                                  \
    CHECK(kVolume);                                                                                \
    CHECK(kSpeed);                                                                                 \
    CHECK(kWeight);                                                                                \
    CHECK(kDensity);                                                                               \
    CHECK(kWeightV);                                                                               \
    CHECK(kVolumeV);                                                                               \
    CHECK(kStreng);                                                                                \
    CHECK(kPress);                                                                                 \
    CHECK(kMotivity);                                                                              \
    CHECK(kSport);                                                                                 \
    CHECK(kHeat);                                                                                  \
    CHECK(kPower);                                                                                 \
    CHECK(kHeatTra);                                                                               \
    CHECK(kHeatCon)

TEST(UnitSwitch, EveryMemberHasItsPublishedFactor) {
    FOR_EACH_QUANTITY(ExpectPublishedFactors);
}

TEST(UnitSwitch, IdentityAndThereAndBack) {
    FOR_EACH_QUANTITY(ExpectRoundTrips);
}

TEST(UnitSwitch, MembersOutsideTheTablesGiveQuietNaN) {
    FOR_EACH_QUANTITY(ExpectOutsideMembersGiveNaN);
}

TEST(UnitSwitch, MetricLength) {
    EXPECT_EQ(UnitSwitch(LENGTH_M, LENGTH_MM, 1.0), 1000.0);
    EXPECT_EQ(UnitSwitch(LENGTH_MM, LENGTH_M, 1500.0), 1.5);
    EXPECT_EQ(UnitSwitch(LENGTH_KM, LENGTH_CM, 2.0), 200000.0);
}

TEST(UnitSwitch, PublishedRatherThanExactFactors) {
    EXPECT_EQ(UnitSwitch(SPEED_MPS, SPEED_KMPH, 1.0), 3.599712);
    EXPECT_NE(UnitSwitch(SPEED_MPS, SPEED_KMPH, 1.0), 3.6);
    EXPECT_EQ(UnitSwitch(SPEED_MPS, SPEED_FTPMIN, 1.0), 196.078431);
    const double m3ph = UnitSwitch(VOLUMEV_M3PH, VOLUMEV_M3PS, 3600.0);
    EXPECT_EQ(m3ph, (1.0 / 3599.9712) * 3600.0);
    EXPECT_GT(m3ph, 1.0);
    EXPECT_EQ(UnitSwitch(HEAT_KWH, HEAT_J, 1.0), 1.0 / 2.78e-07);
}

TEST(UnitSwitch, QuotientOfFactorsIsTakenBeforeTheProduct) {
    // 1 / 1e-05 rounds below 100000, and the product keeps that rounding.
    EXPECT_EQ(UnitSwitch(PRESS_BAR, PRESS_PA, 1.0), 99999.99999999999);
    EXPECT_EQ(UnitSwitch(PRESS_BAR, PRESS_PA, 3.0), 299999.99999999994); // 3 / 1e-05 is 300000
    EXPECT_EQ(UnitSwitch(PRESS_BAR, PRESS_PA, 7.0), 699999.99999999988);
}

TEST(UnitSwitch, NonFiniteValuesPassThrough) {
    EXPECT_EQ(UnitSwitch(PRESS_PA, PRESS_BAR, kInf), kInf);
    EXPECT_EQ(UnitSwitch(PRESS_PA, PRESS_BAR, -kInf), -kInf);
    EXPECT_TRUE(std::isnan(UnitSwitch(LENGTH_M, LENGTH_FT, std::nan(""))));
    EXPECT_EQ(UnitSwitch(POWER_KW, POWER_W, -0.0), -0.0);
    EXPECT_TRUE(std::signbit(UnitSwitch(POWER_KW, POWER_W, -0.0)));
}

} // namespace
