// Value types of the provider, the number-to-text functions and the
// exception classes.
#include "db/ADOException.h"
#include "db/NumberText.h"
#include "db/provider/RVNADO.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <typeinfo>

using namespace RVNADO;

TEST(NumberText, DoubleToTextRoundsHalfAwayFromZeroAndCuts)
{
    EXPECT_EQ(DoubleToText(0.125, 2), "0.13");
    EXPECT_EQ(DoubleToText(-2.5, 2), "-2.50");
    EXPECT_EQ(DoubleToText(2.5, 0), "3");
    EXPECT_EQ(DoubleToText(-2.5, 0), "-3");
    EXPECT_EQ(DoubleToText(7, 0), "7");
    EXPECT_EQ(DoubleToText(0.5, 20), "0.500000");
    // Rounded once: six digits and more give the correctly rounded six
    // decimals (2.0 stays 2.000000), fewer round the scaled value itself.
    EXPECT_EQ(DoubleToText(1.0 / 3.0, 6), "0.333333");
    EXPECT_EQ(DoubleToText(2.0, 6), "2.000000");
    EXPECT_EQ(DoubleToText(0.25, 6), "0.250000");
    EXPECT_EQ(DoubleToText(2.0, 20), "2.000000");
    EXPECT_EQ(DoubleToText(1.0 / 3.0, 5), "0.33333");
    EXPECT_EQ(DoubleToText(0.1234549, 5), "0.12345");
    EXPECT_EQ(DoubleToText(0.12345, 3), "0.123");
    EXPECT_EQ(DoubleToText(2.675, 1), "2.7");
    // Too large to scale by 10^20: written unrounded rather than as "inf".
    EXPECT_EQ(DoubleToText(1e300, 20).substr(0, 4), "1000");
    EXPECT_EQ(DoubleToText(1e300, 20).find("inf"), std::string::npos);
}

TEST(NumberText, IntegersAndFloat)
{
    EXPECT_EQ(IntToText(-32768), "-32768");
    EXPECT_EQ(LongToText(-9007199254740993L), "-9007199254740993");
    EXPECT_EQ(ULongToText(18446744073709551615UL), "18446744073709551615");
    EXPECT_EQ(FloatToText(0.25f), "0.250000");
    EXPECT_EQ(FloatToText(-1.5f), "-1.500000");
}

TEST(NumberText, IndependentOfTheProcessLocale)
{
    const char* old = std::setlocale(LC_ALL, nullptr);
    const std::string saved = old != nullptr ? old : "C";
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr)
        GTEST_SKIP() << "de_DE.UTF-8 is not installed";
    EXPECT_EQ(DoubleToText(1234.5, 2), "1234.50");
    EXPECT_EQ(FloatToText(0.5f), "0.500000");
    Decimal d;
    ASSERT_TRUE(Decimal::FromText("-12.34", d));
    EXPECT_EQ(d.ToText(), "-12.34");
    EXPECT_EQ(Currency(3, 2500).ToText(), "3.2500");
    std::setlocale(LC_ALL, saved.c_str());
}

TEST(DateTimeValue, SerialDaysAndParts)
{
    DateTime epoch(1899, 12, 30, 0, 0, 0);
    EXPECT_EQ(epoch.GetSerial(), 0.0);
    DateTime d(2024, 2, 29, 18, 30, 15);
    ASSERT_EQ(d.GetStatus(), DateTime::valid);
    EXPECT_NEAR(d.GetSerial(), 45351.0 + (18 * 3600 + 30 * 60 + 15) / 86400.0, 1e-9);
    EXPECT_EQ(d.GetYear(), 2024);
    EXPECT_EQ(d.GetMonth(), 2);
    EXPECT_EQ(d.GetDay(), 29);
    EXPECT_EQ(d.GetSecond(), 15);
    EXPECT_EQ(d.Format(), "2024-02-29 18:30:15");
    EXPECT_EQ(d.Format("%d.%m.%Y"), "29.02.2024");
    // Before the epoch the fraction is still the time of day.
    DateTime before(1899, 12, 29, 6, 0, 0);
    EXPECT_DOUBLE_EQ(before.GetSerial(), -1.25);
    EXPECT_EQ(DateTime(-1.25).Format(), "1899-12-29 06:00:00");
    // A time that rounds up to midnight belongs to the next day.
    EXPECT_EQ(DateTime(45351.9999999).Format(), "2024-03-01 00:00:00");
}

TEST(DateTimeValue, InvalidAndNull)
{
    DateTime d;
    EXPECT_EQ(d.SetDateTime(2023, 2, 29, 0, 0, 0), 1);
    EXPECT_EQ(d.GetStatus(), DateTime::invalid);
    EXPECT_EQ(d.Format(), "Invalid DateTime");
    EXPECT_EQ(DateTime::Null().Format(), "");
    EXPECT_EQ(DateTime(1e9).GetStatus(), DateTime::invalid);
    DateTime p;
    EXPECT_TRUE(p.ParseIso("2001-02-03T04:05:06.789"));
    EXPECT_EQ(p.ToIsoText(), "2001-02-03 04:05:06");
    EXPECT_TRUE(p.ParseIso("2001-02-03"));
    EXPECT_EQ(p.ToIsoText(), "2001-02-03 00:00:00");
    DateTime kept(2000, 1, 1, 0, 0, 0);
    EXPECT_FALSE(kept.ParseIso("2001-13-03"));
    EXPECT_FALSE(kept.ParseIso("03.02.2001"));
    EXPECT_EQ(kept.GetYear(), 2000);
}

TEST(DecimalValue, WholeMantissaAndText)
{
    Decimal d;
    d.lo64 = 12345;
    d.scale = 2;
    d.sign = Decimal::negative;
    EXPECT_DOUBLE_EQ(d.ToDouble(), -123.45);
    EXPECT_EQ(d.ToText(), "-123.45");
    Decimal big;
    big.hi32 = 1;  // 2^64
    EXPECT_DOUBLE_EQ(big.ToDouble(), 18446744073709551616.0);
    EXPECT_EQ(big.ToText(), "18446744073709551616");
    Decimal parsed;
    ASSERT_TRUE(Decimal::FromText("79228162514264337593543950335", parsed));  // 2^96 - 1
    EXPECT_EQ(parsed.hi32, 0xFFFFFFFFu);
    EXPECT_EQ(parsed.lo64, 0xFFFFFFFFFFFFFFFFull);
    EXPECT_FALSE(Decimal::FromText("79228162514264337593543950336", parsed));
    EXPECT_FALSE(Decimal::FromText("1.2.3", parsed));
    EXPECT_FALSE(Decimal::FromText("", parsed));
    ASSERT_TRUE(Decimal::FromText("0.05", parsed));
    EXPECT_EQ(parsed.ToText(), "0.05");
    ASSERT_TRUE(Decimal::FromDouble(-1234.5678, 2, parsed));
    EXPECT_EQ(parsed.ToText(), "-1234.57");
    EXPECT_FALSE(Decimal::FromDouble(1e30, 0, parsed));
}

TEST(CurrencyValue, FixedPoint)
{
    EXPECT_EQ(Currency(12, 3400).GetScaled(), 123400);
    EXPECT_EQ(Currency::FromDouble(1.23456).ToText(), "1.2346");
    EXPECT_EQ(Currency::FromDouble(-1.23454).ToText(), "-1.2345");
    EXPECT_EQ(Currency::FromDouble(1e30).GetStatus(), Currency::invalid);
    EXPECT_EQ(Currency::FromDouble(NAN).GetStatus(), Currency::invalid);
    EXPECT_EQ(Currency::FromScaled(-123456).ToText(), "-12.3456");
}

TEST(VariantValue, KindsAndEquality)
{
    EXPECT_TRUE(Variant().IsEmpty());
    EXPECT_TRUE(Variant::Null().IsNull());
    EXPECT_EQ(Variant::I4(5), Variant::I4(5));
    EXPECT_NE(Variant::I4(5), Variant::I8(5));
    EXPECT_NE(Variant::Text("a"), Variant::Bytes(std::string("a")));
    EXPECT_EQ(Variant::UI8(18446744073709551615ULL).GetUInt(), 18446744073709551615ULL);
    EXPECT_EQ(Variant::R8(0.1).ToText(), "0.1");
    EXPECT_EQ(Variant::Bool(true).ToText(), "True");
    double d = 0;
    EXPECT_FALSE(Variant::Text("1").ToDouble(d));
    EXPECT_TRUE(Variant::Cy(Currency(1, 5000)).ToDouble(d));
    EXPECT_DOUBLE_EQ(d, 1.5);
}

TEST(Exceptions, ADOExceptionClassAndThrow)
{
    EXPECT_EQ(CADOException::GetError(0), 0);
    EXPECT_EQ(CADOException::GetError(-5), 1);
    EXPECT_EQ(CADOException::GetError(7), 1);
    CADOException e(3, "text");
    EXPECT_TRUE(e.IsKindOf(CADOException::GetThisClass()));
    EXPECT_TRUE(e.IsKindOf(&CException::classCException));
    EXPECT_EQ(CADOException::GetBaseClass(), CException::GetThisClass());
    EXPECT_STREQ(e.GetRuntimeClass()->m_lpszClassName, "CADOException");

    try {
        AfxThrowADOException(42, "host error");
        FAIL() << "nothing thrown";
    } catch (CException* thrown) {
        ASSERT_TRUE(thrown->IsKindOf(&CADOException::classCADOException));
        auto* ado = static_cast<CADOException*>(thrown);
        EXPECT_EQ(ado->m_lErrorCode, 42);
        EXPECT_EQ(ado->m_strErrorString, "host error");
        EXPECT_TRUE(ado->IsAutoDelete());
        thrown->Delete();  // ASan reports a leak if this does not free it
    }
}

TEST(Exceptions, ComErrorCarriesCodeSourceAndDescription)
{
    try {
        throw ComError(Status::SqlError, "src", "desc");
    } catch (const std::runtime_error& e) {
        const auto& c = dynamic_cast<const _com_error&>(e);
        EXPECT_EQ(static_cast<std::uint32_t>(c.Error()), 0x80040E14u);
        EXPECT_EQ(c.Source(), "src");
        EXPECT_EQ(c.Description(), "desc");
        EXPECT_STREQ(e.what(), "desc");
        EXPECT_FALSE(c.ErrorMessage().empty());
    }
}
