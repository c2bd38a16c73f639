// The XML property exchange: exact round trips of every value kind, the
// loading rules for absent and unparsable values, item sequences, and the
// failures of loading damaged files.

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <bit>
#include <chrono>
#include <clocale>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <locale>
#include <string>
#include <vector>

#include "TQRVNBase.h"

namespace fs = std::filesystem;

namespace {

// A scratch folder of its own for each test (the cases run in parallel).
class PropExchange : public ::testing::Test {
protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = fs::temp_directory_path() / ("tqrvn_px_" + std::string(info->name()) + "_" +
                                            std::to_string(::getpid()));
        fs::remove_all(dir_);
        fs::create_directories(dir_);
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string Path(const std::string& name) const { return (dir_ / name).string(); }

    void Write(const std::string& name, const std::string& content) const {
        std::ofstream(Path(name), std::ios::binary) << content;
    }

    fs::path dir_;
};

const std::vector<double>& HostileDoubles() {
    static const std::vector<double> values{
        0.1, 1.0 / 3.0, -0.0, 0.0, std::numeric_limits<double>::infinity(),
        -std::numeric_limits<double>::infinity(), std::numeric_limits<double>::min(),
        std::numeric_limits<double>::denorm_min(), std::numeric_limits<double>::max(),
        -std::numeric_limits<double>::max(), 123456789.123456789, 5e-324, 1e300, 2.5e-310,
        std::nextafter(1.0, 2.0), -std::numeric_limits<double>::quiet_NaN(),
        std::numeric_limits<double>::signaling_NaN()};
    return values;
}

const std::vector<std::string>& HostileStrings() {
    static const std::vector<std::string> values{
        "镀锌钢管 DN50 热镀锌",
        "quote \" apostrophe ' lt < gt > amp & entity &amp; &#65;",
        "]]> <![CDATA[ x ]]>",
        "  leading and trailing  ",
        "   ",
        "",
        "line 1\nline 2\r\nline 3\rend",
        "\ttab\t",
        "\n",
        "\xB6\xC6\xD0\xBF\xB8\xD6\xB9\xDC",  // GBK bytes, not UTF-8
        std::string("nul\0inside", 10),
        "\x01\x02\x1f control",
        "\xED\xA0\x80 lone surrogate",
        "\xC0\xAF overlong",
        "\xEF\xBF\xBE non-character",
        "truncated \xE4\xB8",
        "<Value Key=\"x\">injected</Value>",
        "😀 four-byte",
    };
    return values;
}

bool SameDouble(double a, double b) {
    if (std::isnan(a)) return std::isnan(b);
    return std::bit_cast<std::uint64_t>(a) == std::bit_cast<std::uint64_t>(b);
}

struct AllKinds {
    int i[4] = {0, -1, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()};
    long l[4] = {0, (1L << 40) + 1, std::numeric_limits<long>::min(), std::numeric_limits<long>::max()};
    std::vector<double> d = HostileDoubles();
    std::vector<std::string> s = HostileStrings();
    bool b[2] = {true, false};
    double nan = std::numeric_limits<double>::quiet_NaN();
    int flag = 7;

    void Exchange(CXTPPropExchange* px) {
        for (int k = 0; k < 4; ++k) PX_Int(px, "i" + std::to_string(k), i[k]);
        for (int k = 0; k < 4; ++k) PX_Long(px, "l" + std::to_string(k), l[k]);
        for (std::size_t k = 0; k < d.size(); ++k) PX_Double(px, "d" + std::to_string(k), d[k]);
        for (std::size_t k = 0; k < s.size(); ++k) PX_String(px, "s" + std::to_string(k), s[k]);
        PX_Bool(px, "b0", b[0]);
        PX_Bool(px, "b1", b[1]);
        PX_Double(px, "nan", nan);
        PX_Bool(px, "flag", flag);
    }

    void Scramble() {
        for (auto& x : i) x = 42;
        for (auto& x : l) x = 42;
        for (auto& x : d) x = 42;
        for (auto& x : s) x = "42";
        b[0] = false;
        b[1] = true;
        nan = 42;
        flag = 0;
    }
};

void ExpectSame(const AllKinds& got, const AllKinds& want) {
    for (int k = 0; k < 4; ++k) EXPECT_EQ(got.i[k], want.i[k]) << k;
    for (int k = 0; k < 4; ++k) EXPECT_EQ(got.l[k], want.l[k]) << k;
    for (std::size_t k = 0; k < want.d.size(); ++k)
        EXPECT_TRUE(SameDouble(got.d[k], want.d[k])) << k << ": " << got.d[k] << " vs " << want.d[k];
    for (std::size_t k = 0; k < want.s.size(); ++k) EXPECT_EQ(got.s[k], want.s[k]) << k;
    EXPECT_TRUE(got.b[0]);
    EXPECT_FALSE(got.b[1]);
    EXPECT_TRUE(std::isnan(got.nan));
    EXPECT_EQ(got.flag, 1);  // a 32-bit flag comes back as 1
}

// Loads path (or text) into a loading root named "Root" and prepares it.
struct Loaded {
    CXTPPropExchangeXMLNode root{true, "Root"};
    bool loaded = false, prepared = false;
    explicit Loaded(const std::string& path) {
        loaded = root.LoadFromFile(path.c_str());
        prepared = root.OnBeforeExchange();
    }
};

std::string Document(const std::string& body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<Section Name=\"Root\">" + body + "</Section>\n";
}

// ---- round trips ----------------------------------------------------------------

TEST_F(PropExchange, EveryValueKindComesBackExactlyThroughAFile) {
    AllKinds stored;
    {
        CXTPPropExchangeXMLNode root(false, "Root");
        EXPECT_TRUE(root.IsStoring());
        EXPECT_TRUE(root.OnBeforeExchange());
        CXTPPropExchangeSection sec(root.GetSection("Values"));
        stored.Exchange(sec);
        ASSERT_TRUE(root.SaveToFile(Path("all.xml").c_str()));
    }
    AllKinds loaded;
    loaded.Scramble();
    Loaded in(Path("all.xml"));
    ASSERT_TRUE(in.loaded);
    ASSERT_TRUE(in.prepared);
    EXPECT_TRUE(in.root.IsLoading());
    CXTPPropExchangeSection sec(in.root.GetSection("Values"));
    loaded.Exchange(sec);
    stored.flag = 1;
    ExpectSame(loaded, stored);
}

TEST_F(PropExchange, TheFileIsFormattedUtf8WithReadableText) {
    CXTPPropExchangeXMLNode root(false, "Root");
    std::string name = "镀锌钢管";
    double half = 0.5;
    PX_String(&root, "Name", name);
    PX_Double(&root, "Half", half);
    ASSERT_TRUE(root.SaveToFile(Path("f.xml").c_str()));
    std::ifstream in(Path("f.xml"), std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("encoding=\"UTF-8\""), std::string::npos);
    EXPECT_NE(text.find("\n\t<Value"), std::string::npos);
    EXPECT_NE(text.find(">镀锌钢管<"), std::string::npos);  // valid UTF-8 is stored as it is
    EXPECT_NE(text.find(">0.5<"), std::string::npos);
    EXPECT_EQ(root.SaveToString(false).find("\n\t"), std::string::npos);
}

TEST_F(PropExchange, NumbersDoNotDependOnTheProcessLocale) {
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr) GTEST_SKIP() << "no de_DE locale";
    std::locale::global(std::locale("de_DE.UTF-8"));
    double value = 1234.5;
    CXTPPropExchangeXMLNode root(false, "Root");
    PX_Double(&root, "v", value);
    const std::string text = root.SaveToString();
    CXTPPropExchangeXMLNode in(true, "Root");
    ASSERT_TRUE(in.LoadFromString(text));
    ASSERT_TRUE(in.OnBeforeExchange());
    double back = 0;
    PX_Double(&in, "v", back);
    std::locale::global(std::locale::classic());
    std::setlocale(LC_ALL, previous.c_str());
    EXPECT_NE(text.find(">1234.5<"), std::string::npos) << text;
    EXPECT_EQ(back, 1234.5);
}

TEST_F(PropExchange, ValuesAreWrittenInTheOrderExchanged) {
    CXTPPropExchangeXMLNode root(false, "Root");
    int a = 1, b = 2, c = 3;
    PX_Int(&root, "zeta", a);
    { CXTPPropExchangeSection sec(root.GetSection("child")); }
    PX_Int(&root, "alpha", b);
    PX_Int(&root, "mid", c);
    PX_Int(&root, "zeta", c);  // an existing key is rewritten in place
    const std::string text = root.SaveToString();
    const auto zeta = text.find("\"zeta\""), child = text.find("\"child\""),
               alpha = text.find("\"alpha\""), mid = text.find("\"mid\"");
    ASSERT_NE(mid, std::string::npos);
    EXPECT_LT(zeta, child);
    EXPECT_LT(child, alpha);
    EXPECT_LT(alpha, mid);
    EXPECT_EQ(text.find("\"zeta\"", zeta + 1), std::string::npos);
    EXPECT_NE(text.find(">3<", zeta), std::string::npos);
}

// ---- loading rules -------------------------------------------------------------

TEST_F(PropExchange, AbsentOrUnparsableValuesLeaveMembersUnchanged) {
    Write("bad.xml", Document(R"(
        <Value Key="int" Type="int">12abc</Value>
        <Value Key="empty" Type="int"></Value>
        <Value Key="overflow" Type="int">99999999999</Value>
        <Value Key="narrow" Type="long">99999999999</Value>
        <Value Key="comma" Type="double">1,5</Value>
        <Value Key="flag" Type="bool">yes</Value>
        <Value Key="hex" Type="string" Encoding="hex">4g</Value>
        <Value Key="odd" Type="string" Encoding="hex">414</Value>
        <Value Key="other" Type="string" Encoding="base64">QQ==</Value>
        <Value Key="blanks" Type="int"> 7 </Value>
        <Value Key="plus" Type="double">+2.5</Value>)"));
    Loaded in(Path("bad.xml"));
    ASSERT_TRUE(in.prepared);
    CXTPPropExchange* px = &in.root;
    int i = 1, empty = 2, overflow = 3, narrow = 4, missing = 5, blanks = 0;
    double comma = 6, plus = 0;
    bool flag = true;
    std::string hex = "h", odd = "o", other = "x", absent = "a";
    EXPECT_FALSE(PX_Int(px, "int", i));
    EXPECT_FALSE(PX_Int(px, "empty", empty));
    EXPECT_FALSE(PX_Int(px, "overflow", overflow));
    EXPECT_FALSE(PX_Long(px, "narrow", narrow));
    EXPECT_FALSE(PX_Int(px, "missing", missing));
    EXPECT_FALSE(PX_Double(px, "comma", comma));
    EXPECT_FALSE(PX_Bool(px, "flag", flag));
    EXPECT_FALSE(PX_String(px, "hex", hex));
    EXPECT_FALSE(PX_String(px, "odd", odd));
    EXPECT_FALSE(PX_String(px, "other", other));
    EXPECT_FALSE(PX_String(px, "absent", absent));
    EXPECT_TRUE(PX_Int(px, "blanks", blanks));
    EXPECT_TRUE(PX_Double(px, "plus", plus));
    EXPECT_EQ(i, 1);
    EXPECT_EQ(empty, 2);
    EXPECT_EQ(overflow, 3);
    EXPECT_EQ(narrow, 4);
    EXPECT_EQ(missing, 5);
    EXPECT_EQ(comma, 6);
    EXPECT_TRUE(flag);
    EXPECT_EQ(hex, "h");
    EXPECT_EQ(odd, "o");
    EXPECT_EQ(other, "x");
    EXPECT_EQ(absent, "a");
    EXPECT_EQ(blanks, 7);
    EXPECT_EQ(plus, 2.5);
    EXPECT_FALSE(PX_Int(nullptr, "int", i));
}

TEST_F(PropExchange, KeysAreFoundInAnyOrder) {
    CXTPPropExchangeXMLNode out(false, "Root");
    for (int k = 0; k < 50; ++k) PX_Int(&out, "k" + std::to_string(k), k);
    CXTPPropExchangeXMLNode in(true, "Root");
    ASSERT_TRUE(in.LoadFromString(out.SaveToString()));
    ASSERT_TRUE(in.OnBeforeExchange());
    for (int k : {49, 0, 25, 24, 26, 49, 3}) {
        int v = -1;
        ASSERT_TRUE(PX_Int(&in, "k" + std::to_string(k), v));
        EXPECT_EQ(v, k);
    }
}

TEST_F(PropExchange, MissingSectionsAndItemsInsideAGoodRootAreEmpty) {
    Write("sparse.xml", Document("<Value Key=\"Version\" Type=\"int\">5</Value>"));
    Loaded in(Path("sparse.xml"));
    ASSERT_TRUE(in.loaded && in.prepared);
    CXTPPropExchangeSection sec(in.root.GetSection("MATL"));
    EXPECT_TRUE(sec->IsLoading());
    EXPECT_EQ(sec->GetSectionName(), "MATL");
    long id = 17;
    EXPECT_FALSE(PX_Long(sec, "ID", id));
    EXPECT_EQ(id, 17);
    CXTPPropExchangeSection deeper(sec->GetSection("deeper"));
    EXPECT_FALSE(PX_Long(deeper, "ID", id));
    CXTPPropExchangeEnumeratorPtr items(sec->GetEnumerator("SPEC"));
    POSITION pos = items->GetPosition();
    EXPECT_EQ(pos, nullptr);
    CXTPPropExchangeSection none(items->GetNext(pos));
    EXPECT_FALSE(PX_Long(none, "ID", id));
    EXPECT_EQ(pos, nullptr);
}

// ---- item sequences -----------------------------------------------------------

TEST_F(PropExchange, ItemsComeBackInFileOrderThenTheEnd) {
    CXTPPropExchangeXMLNode out(false, "Root");
    {
        CXTPPropExchangeSection matl(out.GetSection("MATL"));
        CXTPPropExchangeEnumeratorPtr items(matl->GetEnumerator("SPEC"));
        POSITION pos = items->GetPosition(3, false);
        for (int dn : {15, 20, 25}) {
            ASSERT_NE(pos, nullptr);
            CXTPPropExchangeSection item(items->GetNext(pos));
            EXPECT_EQ(item->GetSectionName(), "SPEC");
            PX_Int(item, "DN", dn);
        }
        EXPECT_EQ(pos, nullptr);
        CXTPPropExchangeEnumeratorPtr other(matl->GetEnumerator("OTHER"));
        POSITION p2 = other->GetPosition(1);
        CXTPPropExchangeSection o(other->GetNext(p2));
        int dn = 999;
        PX_Int(o, "DN", dn);
        CXTPPropExchangeEnumeratorPtr none(matl->GetEnumerator("NONE"));
        EXPECT_EQ(none->GetPosition(0), nullptr);
    }
    CXTPPropExchangeXMLNode in(true, "Root");
    ASSERT_TRUE(in.LoadFromString(out.SaveToString()));
    ASSERT_TRUE(in.OnBeforeExchange());
    in.SetCompactMode(true);
    CXTPPropExchangeSection matl(in.GetSection("MATL"));
    CXTPPropExchangeEnumeratorPtr items(matl->GetEnumerator("SPEC"));
    std::vector<int> got;
    for (POSITION pos = items->GetPosition(0, true); pos != nullptr;) {
        CXTPPropExchangeSection item(items->GetNext(pos));
        int dn = -1;
        PX_Int(item, "DN", dn);
        got.push_back(dn);
    }
    EXPECT_EQ(got, (std::vector<int>{15, 20, 25}));
}

TEST_F(PropExchange, SectionsOutliveTheirRoot) {
    std::unique_ptr<CXTPPropExchange> sec;
    {
        CXTPPropExchangeXMLNode in(true, "Root");
        ASSERT_TRUE(in.LoadFromString(Document(
            "<Section Name=\"S\"><Value Key=\"v\" Type=\"int\">3</Value></Section>")));
        ASSERT_TRUE(in.OnBeforeExchange());
        sec = in.GetSection("S");
    }
    int v = 0;
    EXPECT_TRUE(PX_Int(sec.get(), "v", v));
    EXPECT_EQ(v, 3);
}

// ---- damaged files ---------------------------------------------------------------

TEST_F(PropExchange, DamagedFilesFailToLoadAndChangeNothing) {
    CXTPPropExchangeXMLNode out(false, "Root");
    AllKinds values;
    values.Exchange(&out);
    const std::string good = out.SaveToString();
    Write("empty.xml", "");
    Write("truncated.xml", good.substr(0, good.size() / 2));
    Write("text.xml", "this is not XML at all");
    Write("binary.xml", std::string("\x00\xff\xfe\x01\x02<\x00", 7));
    Write("unclosed.xml", "<Section Name=\"Root\"><Value Key=\"i0\">1</Value>");
    ::mkfifo(Path("fifo").c_str(), 0600);  // opening it for reading would block
    for (const char* name : {"missing.xml", "empty.xml", "truncated.xml", "text.xml", "binary.xml",
                             "unclosed.xml", "", "fifo"}) {
        Loaded in(Path(name));
        EXPECT_FALSE(in.loaded) << name;
        EXPECT_FALSE(in.prepared) << name;
        int i0 = 42;
        EXPECT_FALSE(PX_Int(&in.root, "i0", i0)) << name;
        EXPECT_EQ(i0, 42) << name;
    }
    CXTPPropExchangeXMLNode root(true, "Root");
    EXPECT_FALSE(root.LoadFromFile(nullptr));
    EXPECT_FALSE(root.OnBeforeExchange());
}

TEST_F(PropExchange, ARootOfAnotherNameIsRefusedWhenPrepared) {
    CXTPPropExchangeXMLNode out(false, "TQRVNPipeMatl");
    int version = 5;
    PX_Int(&out, "Version", version);
    ASSERT_TRUE(out.SaveToFile(Path("matl.xml").c_str()));
    Loaded in(Path("matl.xml"));  // expects "Root"
    EXPECT_TRUE(in.loaded);
    EXPECT_FALSE(in.prepared);
    int v = 1;
    EXPECT_FALSE(PX_Int(&in.root, "Version", v));
    EXPECT_EQ(v, 1);

    Write("foreign.xml", "<TQRVNPipeMatl><Version>5</Version></TQRVNPipeMatl>");
    CXTPPropExchangeXMLNode foreign(true, "TQRVNPipeMatl");
    EXPECT_TRUE(foreign.LoadFromFile(Path("foreign.xml").c_str()));
    EXPECT_FALSE(foreign.OnBeforeExchange());
}

TEST_F(PropExchange, SavingToAnUnwritablePathReportsFailure) {
    CXTPPropExchangeXMLNode out(false, "Root");
    EXPECT_FALSE(out.SaveToFile(Path("no/such/folder/x.xml").c_str()));
    EXPECT_FALSE(out.SaveToFile(nullptr));
}

TEST_F(PropExchange, DeepNestingLoadsWithoutExhaustingTheStack) {
    std::string deep;
    const int depth = 200000;
    for (int k = 0; k < depth; ++k) deep += "<Section Name=\"d\">";
    deep += "<Value Key=\"v\">1</Value>";
    for (int k = 0; k < depth; ++k) deep += "</Section>";
    CXTPPropExchangeXMLNode in(true, "Root");
    ASSERT_TRUE(in.LoadFromString(Document(deep)));
    ASSERT_TRUE(in.OnBeforeExchange());
    std::unique_ptr<CXTPPropExchange> sec = in.GetSection("d");
    for (int k = 1; k < 5; ++k) sec = sec->GetSection("d");
    int v = 0;
    EXPECT_FALSE(PX_Int(sec.get(), "v", v));
}

TEST_F(PropExchange, SeveralMegabytesLoadWhole) {
    // 40000 items of 13 values, about 6 MB of XML.
    const int count = 40000;
    {
        CXTPPropExchangeXMLNode out(false, "Root");
        CXTPPropExchangeSection matl(out.GetSection("MATL"));
        CXTPPropExchangeEnumeratorPtr items(matl->GetEnumerator("SPEC"));
        POSITION pos = items->GetPosition(count);
        for (int k = 0; k < count; ++k) {
            CXTPPropExchangeSection item(items->GetNext(pos));
            for (int v = 0; v < 13; ++v) {
                double x = k + v / 16.0;
                PX_Double(item, "Value" + std::to_string(v), x);
            }
        }
        ASSERT_TRUE(out.SaveToFile(Path("big.xml").c_str()));
    }
    EXPECT_GT(fs::file_size(Path("big.xml")), 4u << 20);
    Loaded in(Path("big.xml"));
    ASSERT_TRUE(in.prepared);
    CXTPPropExchangeSection matl(in.root.GetSection("MATL"));
    CXTPPropExchangeEnumeratorPtr items(matl->GetEnumerator("SPEC"));
    int seen = 0;
    double sum = 0;
    for (POSITION pos = items->GetPosition(); pos != nullptr; ++seen) {
        CXTPPropExchangeSection item(items->GetNext(pos));
        for (int v = 12; v >= 0; --v) {  // reverse order: every lookup wraps around
            double x = 0;
            PX_Double(item, "Value" + std::to_string(v), x);
            sum += x;
        }
    }
    EXPECT_EQ(seen, count);
    EXPECT_DOUBLE_EQ(sum, 13.0 * count * (count - 1) / 2.0 + count * 78 / 16.0);
}

}  // namespace
