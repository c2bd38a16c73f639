// Unit symbols of the command-line tool: unique, covering every member of
// every quantity exactly once, and Convert agreeing with RVN::UnitSwitch.
#include "unit_symbols.h"

#include "calc/RVNCalc.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>
#include <utility>

namespace {

using tqrvn::Convert;
using tqrvn::FindUnit;
using tqrvn::kQuantityCount;
using tqrvn::MemberCount;
using tqrvn::QuantityName;
using tqrvn::SymbolList;
using tqrvn::SymbolsOf;
using tqrvn::UnitSymbols;

TEST(UnitSymbols, EverySymbolIsUniqueAndFindsItsOwnEntry) {
    std::set<std::string> seen;
    for (const tqrvn::UnitSymbol& u : UnitSymbols()) {
        EXPECT_TRUE(seen.insert(u.symbol).second) << "duplicate symbol " << u.symbol;
        EXPECT_EQ(FindUnit(u.symbol), &u) << u.symbol;
        EXPECT_NE(std::string(u.name), "") << u.symbol;
    }
}

TEST(UnitSymbols, EveryMemberOfEveryQuantityHasExactlyOneSymbol) {
    std::set<std::pair<int, int>> covered;
    for (const tqrvn::UnitSymbol& u : UnitSymbols()) {
        ASSERT_GE(u.quantity, 0) << u.symbol;
        ASSERT_LT(u.quantity, kQuantityCount) << u.symbol;
        EXPECT_GE(u.member, 0) << u.symbol;
        EXPECT_LT(u.member, MemberCount(u.quantity)) << u.symbol;
        EXPECT_TRUE(covered.insert({u.quantity, u.member}).second) << "second symbol " << u.symbol;
    }
    int total = 0;
    for (int q = 0; q < kQuantityCount; ++q) {
        const int n = MemberCount(q);
        total += n;
        for (int m = 0; m < n; ++m) {
            EXPECT_TRUE(covered.count({q, m})) << QuantityName(q) << " member " << m;
        }
        EXPECT_EQ(SymbolsOf(q).size(), static_cast<std::size_t>(n)) << QuantityName(q);
    }
    EXPECT_EQ(static_cast<std::size_t>(total), UnitSymbols().size());
    EXPECT_EQ(total, 104);
}

TEST(UnitSymbols, MemberCountsMatchTheLibraryTables) {
    // The last member converts, the one after it has no factor.
    for (int q = 0; q < kQuantityCount; ++q) {
        const int n = MemberCount(q);
        ASSERT_GT(n, 1) << q;
        EXPECT_TRUE(std::isfinite(Convert(q, n - 1, 0, 1.0))) << QuantityName(q);
        EXPECT_TRUE(std::isnan(Convert(q, n, 0, 1.0))) << QuantityName(q);
        EXPECT_TRUE(std::isnan(Convert(q, 0, -1, 1.0))) << QuantityName(q);
    }
}

TEST(UnitSymbols, QuantityNamesAreDistinctAndBounded) {
    std::set<std::string> names;
    for (int q = 0; q < kQuantityCount; ++q) {
        ASSERT_NE(QuantityName(q), nullptr) << q;
        EXPECT_TRUE(names.insert(QuantityName(q)).second) << QuantityName(q);
    }
    EXPECT_EQ(QuantityName(-1), nullptr);
    EXPECT_EQ(QuantityName(kQuantityCount), nullptr);
    EXPECT_EQ(MemberCount(kQuantityCount), 0);
    EXPECT_TRUE(SymbolsOf(-1).empty());
    EXPECT_EQ(SymbolList(kQuantityCount), "");
    EXPECT_TRUE(std::isnan(Convert(kQuantityCount, 0, 0, 1.0)));
    EXPECT_TRUE(std::isnan(Convert(-1, 0, 0, 1.0)));
}

TEST(UnitSymbols, LookupIsExactAndCaseSensitive) {
    ASSERT_NE(FindUnit("Pa"), nullptr);
    EXPECT_EQ(FindUnit("Pa")->quantity, tqrvn::QUANTITY_PRESSURE);
    EXPECT_EQ(FindUnit("Pa")->member, RVN::PRESS_PA);
    EXPECT_EQ(FindUnit("pa"), nullptr);
    EXPECT_EQ(FindUnit("PA"), nullptr);
    EXPECT_EQ(FindUnit(""), nullptr);
    EXPECT_EQ(FindUnit("km/h "), nullptr);
    EXPECT_EQ(FindUnit("k"), nullptr);
    // Symbols that differ only in a suffix belong to different quantities.
    EXPECT_EQ(FindUnit("t")->quantity, tqrvn::QUANTITY_MASS);
    EXPECT_EQ(FindUnit("tf")->quantity, tqrvn::QUANTITY_FORCE);
    EXPECT_EQ(FindUnit("ft3")->quantity, tqrvn::QUANTITY_VOLUME);
    EXPECT_EQ(FindUnit("ft3/s")->quantity, tqrvn::QUANTITY_VOLUME_FLOW);
    EXPECT_EQ(FindUnit("hp")->quantity, tqrvn::QUANTITY_POWER);
    EXPECT_EQ(FindUnit("hp.h")->quantity, tqrvn::QUANTITY_ENERGY);
    EXPECT_EQ(FindUnit("km/h")->member, RVN::SPEED_KMPH);
    EXPECT_EQ(FindUnit("kWh")->member, RVN::HEAT_KWH);
    EXPECT_EQ(SymbolList(tqrvn::QUANTITY_LENGTH), "m, km, cm, mm, in, ft, yd, mi, nmi");
}

// Convert by symbols, as the command line does.
double BySymbols(const char* from, const char* to, double value) {
    const tqrvn::UnitSymbol* f = FindUnit(from);
    const tqrvn::UnitSymbol* t = FindUnit(to);
    EXPECT_NE(f, nullptr) << from;
    EXPECT_NE(t, nullptr) << to;
    EXPECT_EQ(f->quantity, t->quantity);
    return Convert(f->quantity, f->member, t->member, value);
}

TEST(UnitSymbols, ConvertDispatchesToTheMatchingUnitSwitch) {
    using namespace RVN;
    EXPECT_EQ(BySymbols("bar", "Pa", 1.0), 99999.99999999999);
    EXPECT_EQ(BySymbols("m", "mm", 2.5), UnitSwitch(LENGTH_M, LENGTH_MM, 2.5));
    EXPECT_EQ(BySymbols("ha", "ft2", 2.5), UnitSwitch(AREA_HA, AREA_FT2, 2.5));
    EXPECT_EQ(BySymbols("l", "usgal", 2.5), UnitSwitch(VOLUME_L, VOLUME_USGAL, 2.5));
    EXPECT_EQ(BySymbols("m/s", "km/h", 1.0), 3.599712);
    EXPECT_EQ(BySymbols("lb", "t", 2.5), UnitSwitch(WEIGHT_LB, WEIGHT_T, 2.5));
    EXPECT_EQ(BySymbols("g/cm3", "lb/ft3", 2.5), UnitSwitch(DENSITY_GPCM3, DENSITY_LBPFT3, 2.5));
    EXPECT_EQ(BySymbols("kg/h", "lton/h", 2.5), UnitSwitch(WEIGHTV_KGPH, WEIGHTV_LTPH, 2.5));
    EXPECT_EQ(BySymbols("m3/h", "l/s", 2.5), UnitSwitch(VOLUMEV_M3PH, VOLUMEV_LPS, 2.5));
    EXPECT_EQ(BySymbols("kgf", "N", 2.5), UnitSwitch(STRENG_KGF, STRENG_N, 2.5));
    EXPECT_EQ(BySymbols("cP", "Pa.s", 2.5), UnitSwitch(MOTIVITY_CP, MOTIVITY_PAS, 2.5));
    EXPECT_EQ(BySymbols("mm2/s", "m2/s", 2.5), UnitSwitch(SPORT_MM2PS, SPORT_M2PS, 2.5));
    EXPECT_EQ(BySymbols("kWh", "J", 1.0), 1.0 / 2.78e-07);
    EXPECT_EQ(BySymbols("kW", "kcal/h", 2.5), UnitSwitch(POWER_KW, POWER_KCALPH, 2.5));
    EXPECT_EQ(BySymbols("W/m2K", "Btu/ft2hF", 2.5),
              UnitSwitch(HEATTRA_WPM2K, HEATTRA_BTUPFT2HF, 2.5));
    EXPECT_EQ(BySymbols("Btu.in/ft2hF", "W/mK", 2.5),
              UnitSwitch(HEATCON_BTUINPFT2HF, HEATCON_WPMK, 2.5));
}

TEST(UnitSymbols, ConvertReachesTheTableOfItsQuantity) {
    // The factor from the base unit to the last member differs between all
    // sixteen tables, so a quantity dispatched to another overload shows.
    using namespace RVN;
    const double last[kQuantityCount] = {
        UnitSwitch(LENGTH_M, LENGTH_NMI, 1.0),
        UnitSwitch(AREA_M2, AREA_MI2, 1.0),
        UnitSwitch(VOLUME_M3, VOLUME_USGAL, 1.0),
        UnitSwitch(SPEED_MPS, SPEED_KNOT, 1.0),
        UnitSwitch(WEIGHT_KG, WEIGHT_T, 1.0),
        UnitSwitch(DENSITY_KGPM3, DENSITY_LBPUSGAL, 1.0),
        UnitSwitch(WEIGHTV_KGPS, WEIGHTV_LTPH, 1.0),
        UnitSwitch(VOLUMEV_M3PS, VOLUMEV_UKGALPS, 1.0),
        UnitSwitch(STRENG_N, STRENG_OZF, 1.0),
        UnitSwitch(PRESS_PA, PRESS_INH2O, 1.0),
        UnitSwitch(MOTIVITY_PAS, MOTIVITY_LBFHPFT2, 1.0),
        UnitSwitch(SPORT_M2PS, SPORT_M2PH, 1.0),
        UnitSwitch(HEAT_J, HEAT_BTU, 1.0),
        UnitSwitch(POWER_W, POWER_BTUPH, 1.0),
        UnitSwitch(HEATTRA_WPM2K, HEATTRA_BTUPFT2HF, 1.0),
        UnitSwitch(HEATCON_WPMK, HEATCON_BTUINPFT2HF, 1.0),
    };
    for (int q = 0; q < kQuantityCount; ++q) {
        EXPECT_EQ(Convert(q, 0, MemberCount(q) - 1, 1.0), last[q]) << QuantityName(q);
    }
}

} // namespace
