// Field access: every value kind written and read back, the conversions of
// the typed reads, descriptions and the refusals.
#include "DbTestUtil.h"

#include "db/ADORecordset.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>

using dbtest::Jet;
using namespace RVNADO;

class FieldTest : public dbtest::CatalogTest {
protected:
    void SetUp() override
    {
        CatalogTest::SetUp();
        ASSERT_TRUE(m_db.Open(Jet(m_file))) << m_db.GetLastErrorString();
    }

    // A new row of Kinds written by fill, stored, and opened again alone.
    template <class Fill>
    void NewKindsRow(CADORecordset& rs, Fill fill)
    {
        ASSERT_TRUE(rs.Open("select * from Kinds"));
        ASSERT_TRUE(rs.AddNew());
        long id = 0;
        ASSERT_TRUE(rs.GetFieldValue("ID", id));
        fill(rs);
        ASSERT_TRUE(rs.Update()) << rs.GetLastErrorString();
        ASSERT_TRUE(rs.Open("select * from Kinds where ID = " + LongToText(id)));
        ASSERT_EQ(rs.GetRecordCount(), 1u);
    }

    CADODatabase m_db;
};

TEST_F(FieldTest, EveryKindRoundTrips)
{
    CADORecordset rs(&m_db);
    const DateTime when(2023, 7, 14, 9, 5, 30);
    Decimal dec;
    ASSERT_TRUE(Decimal::FromText("-1234567.89", dec));
    const std::string bytes("\x00\x01\xFF BM", 6);
    NewKindsRow(rs, [&](CADORecordset& r) {
        EXPECT_TRUE(r.SetFieldValue("I2", -32768));
        EXPECT_TRUE(r.SetFieldValue("I4", 65541));
        EXPECT_TRUE(r.SetFieldValue("U1", 255));
        EXPECT_TRUE(r.SetFieldValue("U4", 4294967295UL));
        EXPECT_TRUE(r.SetFieldValue("I8", 9007199254740993L));
        EXPECT_TRUE(r.SetFieldValue("R4", 0.1));
        EXPECT_TRUE(r.SetFieldValue("R8", 1.0 / 3.0));
        EXPECT_TRUE(r.SetFieldValue("CY", Currency(-12, -3456)));
        EXPECT_TRUE(r.SetFieldValue("DT", when));
        EXPECT_TRUE(r.SetFieldValue("YN", true));
        EXPECT_TRUE(r.SetFieldValue("DEC", Variant::Dec(dec)));
        EXPECT_TRUE(r.SetFieldValue("T", "Grüße"));
        EXPECT_TRUE(r.SetFieldValue("M", std::string(5000, 'm')));
        EXPECT_TRUE(r.SetFieldValue("BIN", Variant::Bytes(bytes)));
    });
    int i2 = 0, i4 = 0, u1 = 0;
    unsigned long u4 = 0;
    long i8 = 0;
    double r4 = 0, r8 = 0, decimal = 0;
    Currency cy;
    DateTime dt;
    bool yn = false;
    std::string t, m;
    Variant bin, decv;
    EXPECT_TRUE(rs.GetFieldValue("I2", i2));
    EXPECT_EQ(i2, -32768);
    EXPECT_TRUE(rs.GetFieldValue("I4", i4));
    EXPECT_EQ(i4, 65541) << "an int carries all 32 bits";
    EXPECT_TRUE(rs.GetFieldValue("U1", u1));
    EXPECT_EQ(u1, 255);
    EXPECT_TRUE(rs.GetFieldValue("U4", u4));
    EXPECT_EQ(u4, 4294967295UL);
    EXPECT_TRUE(rs.GetFieldValue("I8", i8));
    EXPECT_EQ(i8, 9007199254740993L) << "a long carries all 64 bits";
    EXPECT_TRUE(rs.GetFieldValue("R4", r4));
    EXPECT_EQ(r4, static_cast<double>(0.1f));
    EXPECT_TRUE(rs.GetFieldValue("R8", r8));
    EXPECT_EQ(r8, 1.0 / 3.0);
    EXPECT_TRUE(rs.GetFieldValue("CY", cy));
    EXPECT_EQ(cy.GetScaled(), -123456);
    EXPECT_TRUE(rs.GetFieldValue("DT", dt));
    EXPECT_EQ(dt.Format(), "2023-07-14 09:05:30");
    EXPECT_TRUE(rs.GetFieldValue("YN", yn));
    EXPECT_TRUE(yn);
    EXPECT_TRUE(rs.GetFieldValue("DEC", decv));
    ASSERT_EQ(decv.Kind(), VT_DECIMAL);
    EXPECT_EQ(decv.GetDecimal().ToText(), "-1234567.89");
    EXPECT_TRUE(rs.GetFieldValue("DEC", decimal));
    EXPECT_DOUBLE_EQ(decimal, -1234567.89);
    EXPECT_TRUE(rs.GetFieldValue("T", t));
    EXPECT_EQ(t, "Grüße");
    EXPECT_TRUE(rs.GetFieldValue("M", m));
    EXPECT_EQ(m.size(), 5000u);
    EXPECT_TRUE(rs.GetFieldValue("BIN", bin));
    ASSERT_EQ(bin.Kind(), VT_BYTES);
    EXPECT_EQ(bin.GetString(), bytes);

    EXPECT_EQ(rs.GetFieldType("I2"), adSmallInt);
    EXPECT_EQ(rs.GetFieldType("I4"), adInteger);
    EXPECT_EQ(rs.GetFieldType("U1"), adUnsignedTinyInt);
    EXPECT_EQ(rs.GetFieldType("U4"), adUnsignedInt);
    EXPECT_EQ(rs.GetFieldType("R4"), adSingle);
    EXPECT_EQ(rs.GetFieldType("R8"), adDouble);
    EXPECT_EQ(rs.GetFieldType("CY"), adCurrency);
    EXPECT_EQ(rs.GetFieldType("DT"), adDate);
    EXPECT_EQ(rs.GetFieldType("YN"), adBoolean);
    EXPECT_EQ(rs.GetFieldType("DEC"), adDecimal);
    EXPECT_EQ(rs.GetFieldType("T"), adVarWChar);
    EXPECT_EQ(rs.GetFieldType("M"), adLongVarWChar);
    EXPECT_EQ(rs.GetFieldType("BIN"), adLongVarBinary);
    EXPECT_EQ(rs.GetFieldAttributes("M") & adFldLong, adFldLong);
    EXPECT_EQ(rs.GetFieldAttributes("BIN") & adFldLong, adFldLong);
    EXPECT_EQ(rs.GetFieldAttributes("T") & adFldLong, 0);
    EXPECT_EQ(rs.GetFieldDefineSize("T"), 10);
    EXPECT_EQ(rs.GetFieldActualSize("T"), 7) << "UTF-8 bytes of the value";
}

TEST_F(FieldTest, TextReadAsANumberFollowsTheLibrarysNumberRules)
{
    CADORecordset rs(&m_db);
    NewKindsRow(rs, [](CADORecordset& r) { EXPECT_TRUE(r.SetFieldValue("T", " 25 ")); });
    long l = -1;
    double d = -1;
    EXPECT_TRUE(rs.GetFieldValue("T", l));
    EXPECT_EQ(l, 25) << "blanks around a number are not part of it";
    const struct {
        const char* text;
        long asLong;
        double asDouble;
    } cases[] = {{"+-1.5", 0, 0}, {"--2", 0, 0}, {"1,5", 0, 0}, {"2.5e1", 25, 25}, {"+7", 7, 7}, {"0x10", 0, 0}};
    for (const auto& c : cases) {
        ASSERT_TRUE(m_db.Execute(("update Kinds set T = '" + std::string(c.text) + "'").c_str()));
        ASSERT_TRUE(rs.Requery());
        EXPECT_TRUE(rs.GetFieldValue("T", l)) << c.text;
        EXPECT_EQ(l, c.asLong) << c.text;
        EXPECT_TRUE(rs.GetFieldValue("T", d)) << c.text;
        EXPECT_EQ(d, c.asDouble) << c.text;
    }
}

TEST_F(FieldTest, IntegerWidthsAreKeptAndOutOfRangeReadsRefused)
{
    CADORecordset rs(&m_db);
    NewKindsRow(rs, [](CADORecordset& r) {
        EXPECT_TRUE(r.SetFieldValue("I4", 40000));  // above 32767: stored whole
        EXPECT_TRUE(r.SetFieldValue("I8", 5000000000L));
        EXPECT_TRUE(r.SetFieldValue("R8", 2.5e10));
    });
    int n = -1;
    EXPECT_TRUE(rs.GetFieldValue("I4", n));
    EXPECT_EQ(n, 40000);
    n = -1;
    EXPECT_FALSE(rs.GetFieldValue("I8", n)) << "5e9 does not fit an int";
    EXPECT_EQ(n, -1) << "the output is untouched";
    EXPECT_FALSE(rs.GetFieldValue("R8", n));
    long l = 0;
    EXPECT_TRUE(rs.GetFieldValue("I8", l));
    EXPECT_EQ(l, 5000000000L);
    std::string s;
    EXPECT_TRUE(rs.GetFieldValue("I8", s));
    EXPECT_EQ(s, "5000000000");
    unsigned long u = 7;
    ASSERT_TRUE(m_db.Execute("update Kinds set I4 = -3"));
    ASSERT_TRUE(rs.Requery());
    EXPECT_FALSE(rs.GetFieldValue("I4", u)) << "a negative value does not fit an unsigned long";
    EXPECT_EQ(u, 7u);

    // Writes the column's range refuses are recorded, nothing stored.
    rs.Edit();
    EXPECT_FALSE(rs.SetFieldValue("I2", 40000));
    EXPECT_EQ(rs.GetLastError(), 0x80040E07u);
    EXPECT_FALSE(rs.SetFieldValue("U1", -1));
    EXPECT_FALSE(rs.SetFieldValue("I4", "twelve"));
    EXPECT_TRUE(rs.SetFieldValue("I4", "12"));
    EXPECT_FALSE(rs.SetFieldValue("T", "more than ten characters"));
    EXPECT_FALSE(rs.SetFieldValue("DT", "not a date"));
    EXPECT_FALSE(rs.SetFieldValue("R8", "1,5")) << "numbers as text use the point";
    ASSERT_TRUE(rs.Update());
    EXPECT_EQ(dbtest::QueryInt(m_file, "select I4 from Kinds"), 12);
    EXPECT_EQ(dbtest::QueryInt(m_file, "select I2 is null from Kinds"), 1);
}

TEST_F(FieldTest, NullsGiveZeroAndEmptyTextStoresNull)
{
    CADORecordset rs(&m_db);
    NewKindsRow(rs, [](CADORecordset& r) { EXPECT_TRUE(r.SetFieldValue("T", "")); });
    long l = 5;
    EXPECT_TRUE(rs.GetFieldValue("I4", l));
    EXPECT_EQ(l, 0);
    EXPECT_TRUE(rs.IsFieldNull("I4"));
    EXPECT_TRUE(rs.IsFieldEmpty("I4"));
    EXPECT_TRUE(rs.IsFieldNull("T")) << "an empty text is stored as null";
    double d = 5;
    EXPECT_TRUE(rs.GetFieldValue("R8", d));
    EXPECT_EQ(d, 0.0);
    std::string s = "x";
    EXPECT_TRUE(rs.GetFieldValue("T", s));
    EXPECT_EQ(s, "");
    bool b = true;
    EXPECT_TRUE(rs.GetFieldValue("YN", b));
    EXPECT_FALSE(b);
    DateTime dt;
    EXPECT_TRUE(rs.GetFieldValue("DT", dt));
    EXPECT_EQ(dt.GetStatus(), DateTime::null);
    Currency cy = Currency(1, 0);
    EXPECT_TRUE(rs.GetFieldValue("CY", cy));
    EXPECT_EQ(cy.GetStatus(), Currency::null);
    EXPECT_EQ(cy.GetScaled(), 0);
    EXPECT_FALSE(rs.IsFieldNull("ID"));
    EXPECT_FALSE(rs.IsFieldEmpty(0));

    // SetFieldEmpty and a null date or amount store null as well.
    rs.Edit();
    EXPECT_TRUE(rs.SetFieldValue("I4", 3));
    EXPECT_TRUE(rs.SetFieldEmpty("I4"));
    EXPECT_TRUE(rs.SetFieldValue("DT", DateTime::Null()));
    EXPECT_FALSE(rs.SetFieldValue("DT", DateTime::Invalid())) << "an invalid date is refused";
    Currency bad;
    bad.SetStatus(Currency::invalid);
    EXPECT_FALSE(rs.SetFieldValue("CY", bad));
    ASSERT_TRUE(rs.Update());
    EXPECT_EQ(dbtest::QueryInt(m_file, "select I4 is null and DT is null from Kinds"), 1);
}

TEST_F(FieldTest, TextForms)
{
    CADORecordset rs(&m_db);
    NewKindsRow(rs, [](CADORecordset& r) {
        EXPECT_TRUE(r.SetFieldValue("R8", 0.5));
        EXPECT_TRUE(r.SetFieldValue("R4", 0.25));
        EXPECT_TRUE(r.SetFieldValue("I2", -7));
        EXPECT_TRUE(r.SetFieldValue("U4", 3000000000UL));
        EXPECT_TRUE(r.SetFieldValue("DT", DateTime(2001, 2, 3, 4, 5, 6)));
        EXPECT_TRUE(r.SetFieldValue("DEC", "12.5"));
        EXPECT_TRUE(r.SetFieldValue("YN", false));
        EXPECT_TRUE(r.SetFieldValue("CY", Currency(2, 0)));
    });
    std::string s;
    EXPECT_TRUE(rs.GetFieldValue("R8", s));
    EXPECT_EQ(s, "0.500000");
    EXPECT_TRUE(rs.GetFieldValue("R4", s));
    EXPECT_EQ(s, "0.250000");
    EXPECT_TRUE(rs.GetFieldValue("I2", s));
    EXPECT_EQ(s, "-7");
    EXPECT_TRUE(rs.GetFieldValue("U4", s));
    EXPECT_EQ(s, "3000000000");
    EXPECT_TRUE(rs.GetFieldValue("DT", s));
    EXPECT_EQ(s, "2001-02-03 04:05:06");
    EXPECT_TRUE(rs.GetFieldValue("DT", s, "%Y/%m/%d"));
    EXPECT_EQ(s, "2001/02/03");
    EXPECT_TRUE(rs.GetFieldValue("DEC", s));
    EXPECT_EQ(s, "12.500000");
    s = "kept";
    EXPECT_FALSE(rs.GetFieldValue("YN", s)) << "a Boolean has no text form";
    EXPECT_FALSE(rs.GetFieldValue("CY", s));
    EXPECT_EQ(s, "kept");

    // Kinds a typed read does not accept.
    bool b = true;
    EXPECT_FALSE(rs.GetFieldValue("R8", b));
    DateTime dt(2000, 1, 1, 0, 0, 0);
    EXPECT_FALSE(rs.GetFieldValue("R8", dt));
    EXPECT_EQ(dt.GetYear(), 2000);
    Currency cy;
    EXPECT_FALSE(rs.GetFieldValue("R8", cy));
    double d = 0;
    EXPECT_TRUE(rs.GetFieldValue("DT", d));
    EXPECT_NEAR(d, 36925.0 + (4 * 3600 + 5 * 60 + 6) / 86400.0, 1e-9) << "a date reads as its serial day";
}

TEST_F(FieldTest, StringLiteralReachesTheTextForm)
{
    CADORecordset rs(&m_db);
    ASSERT_TRUE(rs.Open("select * from Material where ID = 1"));
    rs.Edit();
    ASSERT_TRUE(rs.SetFieldValue("Name", "Cast iron"));
    ASSERT_TRUE(rs.SetFieldValue(1, "Ductile iron"));  // by index
    ASSERT_TRUE(rs.Update());
    std::string name;
    ASSERT_TRUE(rs.GetFieldValue(1, name));
    EXPECT_EQ(name, "Ductile iron");
}

TEST_F(FieldTest, DecimalUsesTheWholeMantissa)
{
    CADORecordset rs(&m_db);
    Decimal big;
    ASSERT_TRUE(Decimal::FromText("1234567890123456789.12", big));
    ASSERT_NE(big.hi32, 0u);
    NewKindsRow(rs, [&](CADORecordset& r) { EXPECT_TRUE(r.SetFieldValue("DEC", Variant::Dec(big))); });
    double d = 0;
    ASSERT_TRUE(rs.GetFieldValue("DEC", d));
    EXPECT_DOUBLE_EQ(d, 1234567890123456789.12);

    Decimal neg;
    neg.lo64 = 12345;
    neg.scale = 2;
    neg.sign = Decimal::negative;
    rs.Edit();
    ASSERT_TRUE(rs.SetFieldValue("DEC", Variant::Dec(neg)));
    ASSERT_TRUE(rs.GetFieldValue("DEC", d));
    EXPECT_DOUBLE_EQ(d, -123.45);
    ASSERT_TRUE(rs.Update());
}

TEST_F(FieldTest, DescriptionsAndFieldInfo)
{
    ASSERT_TRUE(m_db.Execute("create table Names (ID INTEGER PRIMARY KEY, "
                             "\"AVeryLongColumnNameOfThirtyOneChars\" TEXT, "
                             "\"ÄÖÜäöüÄÖÜäöüÄÖ\" DOUBLE)"));
    CADORecordset rs(&m_db);
    ASSERT_TRUE(rs.Open("select * from Names"));
    ASSERT_TRUE(rs.IsEOF());
    EXPECT_EQ(rs.GetFieldCount(), 3);
    EXPECT_EQ(rs.GetFieldName(0), "ID");
    EXPECT_EQ(rs.GetFieldName(3), "");
    EXPECT_EQ(rs.GetFieldType(3), adEmpty);
    EXPECT_EQ(rs.GetFieldAttributes("nothing"), -1);
    EXPECT_EQ(rs.GetFieldDefineSize(-1), -1);
    EXPECT_EQ(rs.GetFieldActualSize(0), -1) << "no current row";
    EXPECT_EQ(rs.GetField(9), nullptr);
    EXPECT_EQ(rs.GetLastError(), 0u) << "descriptions record nothing";

    CADOFieldInfo info;
    std::memset(&info, 0x5A, sizeof info);
    ASSERT_TRUE(rs.GetFieldInfo(1, &info));
    EXPECT_EQ(std::string(info.m_strName), "AVeryLongColumnNameOfThirtyOn");  // 29 bytes
    EXPECT_EQ(info.m_nType, adVarWChar);
    EXPECT_EQ(info.m_lSize, 0) << "left 0 at the end of the file";
    EXPECT_EQ(info.m_lDefinedSize, 255);
    EXPECT_EQ(info.m_nOrdinalPosition, 0);
    EXPECT_EQ(info.m_lCollatingOrder, 0);
    ASSERT_TRUE(rs.GetFieldInfo(2, &info));
    // 14 two-byte letters are 28 bytes; the 15th would pass 29: cut before it.
    EXPECT_EQ(std::string(info.m_strName), "ÄÖÜäöüÄÖÜäöüÄÖ");
    ASSERT_TRUE(m_db.Execute("alter table Names add column \"ÄÖÜäöüÄÖÜäöüÄÖÜ\" INTEGER"));
    ASSERT_TRUE(rs.Open("select * from Names"));
    ASSERT_TRUE(rs.GetFieldInfo(3, &info));
    EXPECT_EQ(std::string(info.m_strName), "ÄÖÜäöüÄÖÜäöüÄÖ") << "never half a character";
    EXPECT_THROW(rs.GetFieldInfo(7, &info), ComError) << "a missing field is raised";

    ASSERT_TRUE(rs.AddNew());
    ASSERT_TRUE(rs.SetFieldValue(1, "abc"));
    ASSERT_TRUE(rs.GetFieldInfo("AVeryLongColumnNameOfThirtyOneChars", &info));
    EXPECT_EQ(info.m_lSize, 3);
    EXPECT_EQ(info.m_lAttributes & adFldUpdatable, adFldUpdatable);
    ASSERT_TRUE(rs.Update());
    EXPECT_EQ(rs.GetFields()->GetCount(), 4);
    EXPECT_EQ(rs.GetField("id")->GetName(), "ID");
}
