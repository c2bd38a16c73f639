// Quantities as engineers type them, and the unit table behind them.
#include <TQRVNBase.h>

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <set>
#include <string>

using namespace RVN;

namespace {

double Read(std::string_view text, std::initializer_list<int> q, bool unitRequired = false)
{
    const auto o = ParseQuantity("x", text, q, unitRequired);
    EXPECT_TRUE(o.Ok()) << text << ": " << o.error.Text();
    return o.value.value;
}

std::string Refusal(std::string_view text, std::initializer_list<int> q, bool unitRequired = true)
{
    const auto o = ParseQuantity("flow", text, q, unitRequired);
    EXPECT_FALSE(o.Ok()) << text;
    EXPECT_EQ(o.error.field, "flow");
    return o.error.message;
}

const CTQUnitSymbol& Unit(const char* s)
{
    const CTQUnitSymbol* u = FindUnitSymbol(s);
    EXPECT_NE(u, nullptr) << s;
    static const CTQUnitSymbol none{"", 0, 0, 1.0, ""};
    return u != nullptr ? *u : none;
}

}  // namespace

TEST(Quantity, UnitsOfDailyUseConvertByTheirDefinitions)
{
    // The enumerations' units convert by RVN::UnitSwitch's published factors.
    EXPECT_EQ(Read("2 m3/h", {kQuantityVolumeFlow}), UnitSwitch(VOLUMEV_M3PH, VOLUMEV_M3PS, 2.0));
    EXPECT_DOUBLE_EQ(Read("15 kW", {kQuantityPower}), 15000);
    EXPECT_DOUBLE_EQ(Read("15kW", {kQuantityPower}), 15000);
    EXPECT_DOUBLE_EQ(Read("0.2 mm", {kQuantityLength}), 0.0002);
    EXPECT_DOUBLE_EQ(Read("100 kPa", {kQuantityPressure}), 100000);
    EXPECT_DOUBLE_EQ(Read("1.6 MPa", {kQuantityPressure}), 1.6e6);
    EXPECT_DOUBLE_EQ(Read("10 mbar", {kQuantityPressure}), 1000);
    EXPECT_NEAR(Read("1 mH2O", {kQuantityPressure}), 9806.65, 1e-6) << "1 m of water column is 9806.65 Pa";
    EXPECT_DOUBLE_EQ(Read("60 l/min", {kQuantityVolumeFlow}), 0.001);
    EXPECT_DOUBLE_EQ(Read("3 m3/min", {kQuantityVolumeFlow}), 0.05);
    EXPECT_NEAR(Read("100 GPM", {kQuantityVolumeFlow}), 100 * 3.785411784e-3 / 60, 1e-15);
    EXPECT_NEAR(Read("1000 kcal/h", {kQuantityPower}), 1163, 0.1);
    EXPECT_NEAR(Read("1 RT", {kQuantityPower}), 3516.8528, 1e-4) << "12000 Btu/h";
    EXPECT_DOUBLE_EQ(Read("3.6 t/h", {kQuantityMassFlow}), 1.0);
    EXPECT_DOUBLE_EQ(Read("2 MW", {kQuantityPower}), 2e6);
    // A bare number is in the base unit of the first quantity accepted.
    EXPECT_EQ(Read("25", {kQuantityLength}), 25);
    const auto o = ParseQuantity("flow", "500 kg/h", {kQuantityVolumeFlow, kQuantityMassFlow}, true);
    ASSERT_TRUE(o.Ok());
    EXPECT_EQ(o.value.quantity, kQuantityMassFlow);
    EXPECT_EQ(o.value.unit, "kg/h");
    EXPECT_EQ(o.value.value, UnitSwitch(WEIGHTV_KGPH, WEIGHTV_KGPS, 500.0));
    EXPECT_DOUBLE_EQ(ConvertUnit(Unit("bar"), Unit("kPa"), 1.0), 100.0);
}

TEST(Quantity, FullWidthInputReadsAsAscii)
{
    EXPECT_DOUBLE_EQ(Read("６０．５ ｋＷ", {kQuantityPower}), 60500);
    EXPECT_EQ(Read("２　ｍ３／ｈ", {kQuantityVolumeFlow}), Read("2 m3/h", {kQuantityVolumeFlow})) << "ideographic space";
    EXPECT_EQ(Read("６０ ℃", {kQuantityTemperature}), 60);
    EXPECT_EQ(Read("60°C", {kQuantityTemperature}), 60);
    EXPECT_EQ(Read("－５ degC", {kQuantityTemperature}), -5);
    EXPECT_EQ(FoldFullWidth("弯头＝２；闸阀＝１"), "弯头=2;闸阀=1");
    EXPECT_EQ(FoldFullWidth("（DN50）"), "(DN50)");
}

TEST(Quantity, RefusalsNameTheFieldAndTheAcceptedUnits)
{
    EXPECT_NE(Refusal("1,5 m3/h", {kQuantityVolumeFlow}).find("decimal point as '.'"), std::string::npos);
    EXPECT_NE(Refusal("1 000 l/h", {kQuantityVolumeFlow}).find("decimal point"), std::string::npos);
    EXPECT_NE(Refusal("m3/h", {kQuantityVolumeFlow}).find("is not a number"), std::string::npos);
    EXPECT_NE(Refusal("+-2 m3/h", {kQuantityVolumeFlow}).find("is not a number"), std::string::npos);
    EXPECT_NE(Refusal("inf m3/h", {kQuantityVolumeFlow}).find("is not a number"), std::string::npos);
    const std::string unitless = Refusal("2", {kQuantityVolumeFlow, kQuantityMassFlow});
    EXPECT_NE(unitless.find("needs a unit"), std::string::npos);
    EXPECT_NE(unitless.find("l/min"), std::string::npos) << unitless;
    EXPECT_NE(unitless.find("mass flow: kg/s"), std::string::npos) << unitless;
    EXPECT_NE(Refusal("2 kg", {kQuantityVolumeFlow}).find("'kg' is not a unit of volume flow"), std::string::npos);
    EXPECT_NE(Refusal("2 M3/H", {kQuantityVolumeFlow}).find("not a unit"), std::string::npos) << "case counts";
    EXPECT_NE(Refusal("", {kQuantityVolumeFlow}).find("no value"), std::string::npos);
    EXPECT_NE(Refusal("1e400 m3/h", {kQuantityVolumeFlow}).find("not a number"), std::string::npos);
}

TEST(Quantity, EveryMemberHasOneSymbolAndSymbolsAreUnique)
{
    std::set<std::string> symbols;
    for (const CTQUnitSymbol& u : UnitSymbols()) {
        EXPECT_TRUE(symbols.insert(u.symbol).second) << "twice: " << u.symbol;
        EXPECT_GT(u.factor, 0.0) << u.symbol;
        ASSERT_NE(QuantityName(u.quantity), nullptr) << u.symbol;
    }
    for (int q = 0; q < kUnitSwitchQuantities; ++q) {
        std::vector<int> seen(static_cast<std::size_t>(QuantityMemberCount(q)), 0);
        for (const CTQUnitSymbol& u : UnitSymbols())
            if (u.quantity == q && u.factor == 1.0) {
                ASSERT_GE(u.member, 0);
                ASSERT_LT(u.member, QuantityMemberCount(q)) << u.symbol;
                ++seen[static_cast<std::size_t>(u.member)];
            }
        for (std::size_t m = 0; m < seen.size(); ++m)
            EXPECT_EQ(seen[m], 1) << QuantityName(q) << " member " << m;
    }
    // A further unit converts through its member: 1 kPa = 1/100 bar.
    EXPECT_NEAR(ConvertUnit(Unit("kPa"), Unit("bar"), 1.0), 0.01, 1e-15);
    EXPECT_TRUE(std::isnan(ConvertUnit(Unit("kPa"), Unit("kW"), 1.0)));
}

TEST(Quantity, CommaLocaleChangesNothing)
{
    const char* old = std::setlocale(LC_ALL, nullptr);
    const std::string saved = old != nullptr ? old : "C";
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr)
        GTEST_SKIP() << "no de_DE.UTF-8 locale";
    EXPECT_DOUBLE_EQ(Read("1.5 m", {kQuantityLength}), 1.5);
    EXPECT_FALSE(ParseQuantity("x", "1,5 m", {kQuantityLength}, false).Ok());
    EXPECT_EQ(FormatNumber(0.1), "0.1");
    std::setlocale(LC_ALL, saved.c_str());
}
