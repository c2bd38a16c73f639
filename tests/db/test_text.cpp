// The library's number text, text encodings and CSV reader: the one set of
// rules every reader and writer of numbers and comma-separated text follows.
#include <TQRVNBase.h>

#include <gtest/gtest.h>

#include <clocale>
#include <cstring>
#include <cmath>
#include <random>
#include <sstream>

using namespace RVN;

namespace {

bool Reads(std::string_view text, double expected, TQNonFinite nf = TQNonFinite::Refuse)
{
    double v = -12345.0;
    if (!ParseNumber(text, v, nf))
        return false;
    return std::isnan(expected) ? std::isnan(v) : v == expected;
}

bool Refused(std::string_view text, TQNonFinite nf = TQNonFinite::Refuse)
{
    double v = -12345.0;
    return !ParseNumber(text, v, nf) && v == -12345.0;
}

std::vector<std::vector<std::string>> ReadAll(const std::string& text, CTQCsvReader::Options o = {},
                                              std::string* error = nullptr, std::vector<long>* lines = nullptr)
{
    std::istringstream in(text);
    CTQCsvReader reader(in, o);
    std::vector<std::vector<std::string>> records;
    std::vector<std::string> fields;
    while (reader.Next(fields)) {
        records.push_back(fields);
        if (lines)
            lines->push_back(reader.Line());
    }
    if (error)
        *error = reader.Error();
    return records;
}

}  // namespace

TEST(NumberText, SignBlanksAndNonFiniteFollowOneRule)
{
    EXPECT_TRUE(Reads("1", 1));
    EXPECT_TRUE(Reads("-0.5", -0.5));
    EXPECT_TRUE(Reads("+2.", 2));
    EXPECT_TRUE(Reads(".5", 0.5));
    EXPECT_TRUE(Reads("1e-3", 0.001));
    EXPECT_TRUE(Reads("-2.5E3", -2500));
    for (const char* bad : {"+-1.5", "-+1", "--1", "++1", " 1", "1 ", "1,5", "1.2.3", "0x10", "1e", "e3", ".",
                            "-", "", "1 000", "inf", "-inf", "nan", "infinity", "1e400", "-1e400", "1e-400"})
        EXPECT_TRUE(Refused(bad)) << "'" << bad << "'";
    EXPECT_TRUE(Reads("inf", INFINITY, TQNonFinite::Accept));
    EXPECT_TRUE(Reads("-Infinity", -INFINITY, TQNonFinite::Accept));
    EXPECT_TRUE(Reads("NaN", NAN, TQNonFinite::Accept));
    EXPECT_TRUE(Refused("+-inf", TQNonFinite::Accept));
    EXPECT_TRUE(Refused("nan(1)", TQNonFinite::Accept));

    long long i = -7;
    EXPECT_TRUE(ParseInteger("+12", i) && i == 12);
    EXPECT_TRUE(ParseInteger("-3", i) && i == -3);
    for (const char* bad : {"1.0", "1e3", "+-1", "-", "+", "", " 1", "99999999999999999999"})
        EXPECT_FALSE(ParseInteger(bad, i)) << bad;
    int small = 0;
    EXPECT_FALSE(ParseInteger("3000000000", small)) << "does not fit an int";
    unsigned long long big = 7;
    EXPECT_TRUE(ParseInteger("18446744073709551615", big) && big == UINT64_MAX);
    for (const char* bad : {"-0", "-1", "+-1", "18446744073709551616", "1.5"})
        EXPECT_FALSE(ParseInteger(bad, big)) << bad;
    EXPECT_TRUE(ParseInteger("+4", big) && big == 4);

    double v = 0;
    EXPECT_EQ(ParseNumberPrefix("12.5mm", v), 4u);
    EXPECT_EQ(v, 12.5);
    EXPECT_EQ(ParseNumberPrefix("3e", v), 1u) << "an exponent needs digits";
    EXPECT_EQ(ParseNumberPrefix("abc", v), 0u);
    EXPECT_EQ(TrimBlanks(" \t1.5\r\n"), "1.5");
}

TEST(NumberText, FormatRoundTripsInAnyLocale)
{
    const char* old = std::setlocale(LC_ALL, nullptr);
    const std::string saved = old != nullptr ? old : "C";
    const bool comma = std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr;
    std::mt19937_64 random(42);
    for (int k = 0; k < 20000; ++k) {
        std::uint64_t bits = random();
        double d = 0;
        std::memcpy(&d, &bits, sizeof d);
        if (!std::isfinite(d))
            continue;
        double back = 0;
        ASSERT_TRUE(ParseNumber(FormatNumber(d), back)) << FormatNumber(d);
        ASSERT_EQ(std::memcmp(&back, &d, sizeof d), 0) << FormatNumber(d);
    }
    EXPECT_EQ(FormatNumber(0.1), "0.1");
    EXPECT_EQ(FormatNumber(99999.99999999999), "99999.99999999999");
    EXPECT_EQ(FormatNumber(-0.0), "-0");
    EXPECT_EQ(FormatNumber(-INFINITY), "-inf");
    EXPECT_EQ(FormatInteger(-42), "-42");
    EXPECT_EQ(FormatUnsigned(UINT64_MAX), "18446744073709551615");
    EXPECT_EQ(FormatSingle(0.1f), "0.1") << "the float's own shortest text, not its double's";
    EXPECT_EQ(FormatSingle(-INFINITY), "-inf");
    for (int k = 0; k < 20000; ++k) {
        const std::uint32_t bits = static_cast<std::uint32_t>(random());
        float f = 0;
        std::memcpy(&f, &bits, sizeof f);
        if (!std::isfinite(f))
            continue;
        double back = 0;
        ASSERT_TRUE(ParseNumber(FormatSingle(f), back)) << FormatSingle(f);
        ASSERT_EQ(static_cast<float>(back), f) << FormatSingle(f);
    }
    EXPECT_EQ(FormatSignificant(0.36437, 4), "0.3644");
    EXPECT_EQ(FormatSignificant(1637.9, 4), "1638");
    EXPECT_EQ(FormatSignificant(65.512, 4), "65.51");
    EXPECT_EQ(FormatSignificant(-0.0, 4), "0");
    EXPECT_EQ(FormatSignificant(2.5e20, 4), "2.5e+20");
    EXPECT_EQ(FormatSignificant(1.23456e-7, 3), "1.23e-07");
    std::setlocale(LC_ALL, saved.c_str());
    if (!comma)
        GTEST_SKIP() << "no de_DE.UTF-8 locale: checked in the C locale only";
}

TEST(TextEncoding, Utf8CheckRepairAndGbk)
{
    EXPECT_TRUE(IsValidUtf8("弯头 ok"));
    EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));          // overlong '/'
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));      // a surrogate
    EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80"));  // above U+10FFFF
    EXPECT_FALSE(IsValidUtf8("\xE5\xBC"));          // cut short
    EXPECT_EQ(InvalidUtf8At("ab\xFFz"), 2u);
    EXPECT_EQ(ValidUtf8("a\xFF" "b"), "a\xEF\xBF\xBD" "b");
    std::string out = "kept";
    ASSERT_TRUE(Gb18030ToUtf8("\xCD\xE4\xCD\xB7", out));  // 弯头 in GBK
    EXPECT_EQ(out, "弯头");
    out = "kept";
    EXPECT_FALSE(Gb18030ToUtf8("\x81", out)) << "a lead byte without its trail";
    EXPECT_EQ(out, "kept");
}

TEST(JsonText, EscapesControlsAndRepairsBytesThatAreNotUtf8)
{
    std::string out = "[";
    AppendJsonString(out, "a\"b\\c\n\r\t\x01\x1f 弯头");
    EXPECT_EQ(out, "[\"a\\\"b\\\\c\\n\\r\\t\\u0001\\u001f 弯头\"");
    out.clear();
    AppendJsonString(out, "DN\xff\xCD\xE4");  // a stray byte and GBK text
    EXPECT_EQ(out, "\"DN\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\"");
    EXPECT_TRUE(IsValidUtf8(out));
    out.clear();
    AppendJsonString(out, std::string_view("a\0b", 3));
    EXPECT_EQ(out, "\"a\\u0000b\"") << "a NUL does not end the string";
}

TEST(CsvReader, Rfc4180WithBomCrlfQuotesAndLineBreaks)
{
    std::vector<long> lines;
    const auto r = ReadAll("\xEF\xBB\xBFid,name,note\r\n1,\"a,b\",\"say \"\"hi\"\"\"\r\n\r\n2,x,\"two\r\nlines\"\r\n3,,\n",
                           {}, nullptr, &lines);
    ASSERT_EQ(r.size(), 4u);
    EXPECT_EQ(r[0], (std::vector<std::string>{"id", "name", "note"}));
    EXPECT_EQ(r[1], (std::vector<std::string>{"1", "a,b", "say \"hi\""}));
    EXPECT_EQ(r[2], (std::vector<std::string>{"2", "x", "two\r\nlines"})) << "the break as it stands";
    EXPECT_EQ(r[3], (std::vector<std::string>{"3", "", ""}));
    EXPECT_EQ(lines, (std::vector<long>{1, 2, 4, 6}));

    std::istringstream in("a,\"\",b\n");
    CTQCsvReader quotedEmpty(in);
    std::vector<CTQCsvField> f;
    ASSERT_TRUE(quotedEmpty.Next(f));
    EXPECT_FALSE(f[0].quoted);
    EXPECT_TRUE(f[1].quoted);
    EXPECT_EQ(f[1].text, "");
}

TEST(CsvReader, CommentsTrimmingAndErrorsWithTheirLine)
{
    CTQCsvReader::Options o;
    o.comment = '#';
    o.trimUnquoted = true;
    auto r = ReadAll("# a comment\n  id , flow \n R1 , \"0.5 m3/h\" \n", o);
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[1], (std::vector<std::string>{"R1", "0.5 m3/h"}));
    std::string error;
    r = ReadAll("a,b\n1,\"open\n2,3\n", {}, &error);
    EXPECT_EQ(r.size(), 1u);
    EXPECT_EQ(error, "line 2: unterminated quoted field");
    r = ReadAll("a,b\n\"x\"y,2\n", {}, &error);
    EXPECT_EQ(error, "line 2: text after the closing quote of a field");
    r = ReadAll("a,b\n1,\"x\"\n2,1\"5\n", {}, &error);
    EXPECT_EQ(error, "line 3: quote inside an unquoted field");
    r = ReadAll("a\n\"one\ntwo\"\n", {}, &error);
    EXPECT_TRUE(error.empty()) << error;
    EXPECT_EQ(r.at(1).at(0), "one\ntwo");
    r = ReadAll("a\n" + std::string(CTQCsvReader::kMaxRecordBytes + 10, 'x') + "\n", {}, &error);
    EXPECT_TRUE(error.empty()) << "a long unquoted line is one record";
    r = ReadAll("a\n\"" + std::string(CTQCsvReader::kMaxRecordBytes / 2, 'x') + "\n" +
                    std::string(CTQCsvReader::kMaxRecordBytes / 2 + 10, 'y') + "\"\n",
                {}, &error);
    EXPECT_EQ(error, "line 2: a record longer than 1 MiB");
}

TEST(CsvReader, GbkFilesAreConvertedOrRefusedWithAHint)
{
    const std::string gbk = "id,fitting\nR1,\xCD\xE4\xCD\xB7=2\n";
    CTQCsvReader::Options o;
    std::string error;
    auto r = ReadAll(gbk, o, &error);
    EXPECT_EQ(r.size(), 1u);
    EXPECT_NE(error.find("line 2: the text is not UTF-8"), std::string::npos) << error;
    o.encoding = CTQCsvReader::Encoding::Utf8OrGb18030;
    r = ReadAll(gbk, o, &error);
    ASSERT_EQ(r.size(), 2u) << error;
    EXPECT_EQ(r[1][1], "弯头=2");
    r = ReadAll("id\n弯头\n\xCD\xE4\n", o, &error);
    EXPECT_NE(error.find("line 3"), std::string::npos);
    EXPECT_NE(error.find("mixes encodings"), std::string::npos) << error;
    r = ReadAll("id\n\x81\n", o, &error);
    EXPECT_NE(error.find("iconv -f GB18030 -t UTF-8"), std::string::npos) << error;
}
