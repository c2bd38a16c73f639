// CADORecordset: saved XML files, long data in pieces, files and bitmaps in
// long fields.
#include "DbTestUtil.h"

#include "db/ADORecordset.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <random>

using dbtest::Jet;
using RVNADO::Bitmap;
using RVNADO::ComError;
using RVNADO::Variant;

class PersistTest : public dbtest::CatalogTest {
protected:
    void SetUp() override
    {
        CatalogTest::SetUp();
        ASSERT_TRUE(m_db.Open(Jet(m_file))) << m_db.GetLastErrorString();
    }

    static std::string ReadFile(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }

    static void WriteFile(const std::string& path, const std::string& data)
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << data;
    }

    CADODatabase m_db;
};

TEST_F(PersistTest, SavedRecordsetReopensWithEveryFieldAndValueKind)
{
    {
        CADORecordset rs(&m_db);
        ASSERT_TRUE(rs.Open("select * from Kinds"));
        ASSERT_TRUE(rs.AddNew());
        rs.SetFieldValue("I2", -12);
        rs.SetFieldValue("I4", 2147483647);
        rs.SetFieldValue("U1", 200);
        rs.SetFieldValue("U4", 4000000000UL);
        rs.SetFieldValue("I8", -9007199254740993L);
        rs.SetFieldValue("R4", Variant::R4(0.1f));
        rs.SetFieldValue("R8", 0.1 + 0.2);
        rs.SetFieldValue("CY", RVNADO::Currency::FromScaled(-123456789));
        rs.SetFieldValue("DT", RVNADO::DateTime(2024, 2, 29, 23, 59, 58));
        rs.SetFieldValue("YN", true);
        RVNADO::Decimal dec;
        ASSERT_TRUE(RVNADO::Decimal::FromText("-1234567.89", dec));
        rs.SetFieldValue("DEC", Variant::Dec(dec));
        rs.SetFieldValue("T", "<a&b>\"'");
        rs.SetFieldValue("M", std::string("line 1\r\nline 2\ttab \x01 \xE6\xB0\xB4"));
        rs.SetFieldValue("BIN", Variant::Bytes(std::string("\0\xFF\x10 end", 7)));
        ASSERT_TRUE(rs.Update()) << rs.GetLastErrorString();
        ASSERT_TRUE(rs.AddNew());  // a row of nulls but for the ID
        rs.SetFieldValue("T", "   ");
        ASSERT_TRUE(rs.Update()) << rs.GetLastErrorString();
    }
    CADORecordset rs(&m_db);
    ASSERT_TRUE(rs.Open("select * from Kinds order by ID"));
    const std::string file = m_dir.File("kinds.xml");
    ASSERT_TRUE(rs.SaveAsXML(file)) << rs.GetLastErrorString();

    CADORecordset back(&m_db);
    ASSERT_TRUE(back.OpenXML(file)) << back.GetLastErrorString();
    ASSERT_EQ(back.GetFieldCount(), rs.GetFieldCount());
    ASSERT_EQ(back.GetRecordCount(), 2u);
    for (long i = 0; i < rs.GetFieldCount(); ++i) {
        CADOFieldInfo a{}, b{};
        rs.GetFieldInfo(static_cast<int>(i), &a);
        back.GetFieldInfo(static_cast<int>(i), &b);
        EXPECT_STREQ(a.m_strName, b.m_strName);
        EXPECT_EQ(a.m_nType, b.m_nType) << a.m_strName;
        EXPECT_EQ(a.m_lDefinedSize, b.m_lDefinedSize) << a.m_strName;
        EXPECT_EQ(a.m_lAttributes, b.m_lAttributes) << a.m_strName;
    }
    for (int row = 0; row < 2; ++row) {
        for (long i = 0; i < rs.GetFieldCount(); ++i) {
            Variant a, b;
            ASSERT_TRUE(rs.GetFieldValue(static_cast<int>(i), a));
            ASSERT_TRUE(back.GetFieldValue(static_cast<int>(i), b));
            EXPECT_EQ(a.Kind(), b.Kind()) << rs.GetFieldName(static_cast<int>(i));
            EXPECT_TRUE(a == b) << rs.GetFieldName(static_cast<int>(i)) << ": " << a.ToText() << " / " << b.ToText();
        }
        rs.MoveNext();
        back.MoveNext();
    }
    EXPECT_TRUE(back.IsEOF());
    back.MoveFirst();
    back.Edit();
    EXPECT_FALSE(back.SetFieldValue("T", "x")) << "a reopened file is read-only";
    EXPECT_EQ(back.GetLastError(), 0x800A0CB3u);
}

TEST_F(PersistTest, SaveKeepsTheFilterAndSortAndReplacesTheFile)
{
    CADORecordset rs(&m_db);
    ASSERT_TRUE(rs.Open("select ID, DN from PipeSpec"));
    ASSERT_TRUE(rs.SetFilter("DN >= 20"));
    ASSERT_TRUE(rs.SetSort("DN DESC, ID DESC"));
    const std::string file = m_dir.File("sizes.xml");
    WriteFile(file, "an older file of any content that is longer than the new one will be ........................"
                    ".................................................................................................."
                    ".................................................................................................."
                    "..................................................................................................");
    ASSERT_TRUE(rs.SaveAsXML(file));
    CADORecordset back(&m_db);
    ASSERT_TRUE(back.OpenXML(file)) << back.GetLastErrorString();
    EXPECT_EQ(back.GetString(",", ";", "", 0), "3,100;4,20;2,20;");

    EXPECT_FALSE(rs.SaveAsXML(m_dir.File("no/such/folder/x.xml")));
    EXPECT_EQ(rs.GetLastError(), 0x800A0BBCu);
    EXPECT_FALSE(std::filesystem::exists(m_dir.File("no/such/folder/x.xml.tqrvn-save")));
    CADORecordset closed(&m_db);
    EXPECT_FALSE(closed.SaveAsXML(file)) << "nothing open to save";
}

TEST_F(PersistTest, DamagedOrForeignFilesAreRecordedErrors)
{
    DB_FILE_ONLY();
    CADORecordset rs(&m_db);
    ASSERT_TRUE(rs.Open("select ID, Name from Material order by ID"));
    const std::string good = m_dir.File("good.xml");
    ASSERT_TRUE(rs.SaveAsXML(good));
    const std::string text = ReadFile(good);

    struct Case {
        const char* what;
        std::string content;
    };
    auto replaced = [&](const std::string& from, const std::string& to) {
        std::string t = text;
        const std::size_t p = t.find(from);
        EXPECT_NE(p, std::string::npos) << from;
        return p == std::string::npos ? t : t.replace(p, from.size(), to);
    };
    const Case cases[] = {
        {"empty", ""},
        {"not XML", "PK\x03\x04 a zip file"},
        {"cut short", text.substr(0, text.size() / 2)},
        {"foreign root", "<?xml version=\"1.0\"?><xml xmlns:s=\"uuid:BDC6E3F0\"><s:Schema/></xml>"},
        {"other version", replaced("version=\"1\"", "version=\"2\"")},
        {"missing value", replaced("<V k=\"8\">Steel</V>", "")},
        {"extra value", replaced("<V k=\"8\">Steel</V>", "<V k=\"8\">Steel</V><V k=\"1\"/>")},
        {"unknown kind", replaced("<V k=\"8\">Steel</V>", "<V k=\"99\">Steel</V>")},
        {"number kind with text", replaced("<V k=\"3\">1</V>", "<V k=\"3\">one</V>")},
        {"out of range", replaced("<V k=\"3\">1</V>", "<V k=\"3\">4294967296</V>")},
        {"bad base64", replaced("<V k=\"8\">Steel</V>", "<V k=\"8\" b=\"1\">S=eel</V>")},
        {"field without name", replaced("name=\"Name\"", "name=\"\"")},
        {"the character zero, which would cut the text", replaced(">Steel<", ">St&#0;eel<")},
    };
    for (const Case& c : cases) {
        const std::string file = m_dir.File("bad.xml");
        WriteFile(file, c.content);
        CADORecordset back(&m_db);
        EXPECT_FALSE(back.OpenXML(file)) << c.what;
        EXPECT_EQ(back.GetLastError(), 0x800A0BBBu) << c.what << "\n" << back.GetLastErrorString();
        EXPECT_NE(back.GetLastErrorString().find("bad.xml"), std::string::npos) << c.what;
        EXPECT_FALSE(back.IsOpen());
    }
    CADORecordset missing(&m_db);
    EXPECT_FALSE(missing.OpenXML(m_dir.File("absent.xml")));
    EXPECT_EQ(missing.GetLastError(), 0x800A0BBAu);
}

// Parsing takes a multiple of the file's size in memory: a file over the
// limit is refused before it is read.
TEST_F(PersistTest, AFileOverTheSizeLimitIsRefusedUnread)
{
    CADORecordset rs(&m_db);
    ASSERT_TRUE(rs.Open("select ID, Name from Material order by ID"));
    const std::string file = m_dir.File("huge.xml");
    ASSERT_TRUE(rs.SaveAsXML(file));
    std::filesystem::resize_file(file, (16u << 20) + 1);  // sparse: no disk is used
    CADORecordset back(&m_db);
    EXPECT_FALSE(back.OpenXML(file));
    EXPECT_EQ(back.GetLastError(), 0x800A0BBBu);
    EXPECT_NE(back.GetLastErrorString().find("is larger than the 16 MiB a saved recordset may have"),
              std::string::npos)
        << back.GetLastErrorString();
}

TEST_F(PersistTest, MegabyteFileAppendedAndReadBackByteForByte)
{
    std::string data(1 << 20, '\0');
    std::mt19937 gen(7);
    for (char& c : data)
        c = static_cast<char>(gen() & 0xFF);
    const std::string source = m_dir.File("blob.bin");
    WriteFile(source, data);

    CADORecordset rs(&m_db);
    ASSERT_TRUE(rs.Open("select * from Kinds"));
    ASSERT_TRUE(rs.AddNew());
    EXPECT_FALSE(rs.AppendChunk("I4", source)) << "not long data";
    EXPECT_FALSE(rs.AppendChunk("BIN", m_dir.File("absent.bin")));
    ASSERT_TRUE(rs.AppendChunk("BIN", source)) << rs.GetLastErrorString();
    ASSERT_TRUE(rs.Update()) << rs.GetLastErrorString();

    CADORecordset again(&m_db);
    ASSERT_TRUE(again.Open("select * from Kinds"));
    ASSERT_EQ(again.GetFieldActualSize("BIN"), 1 << 20);
    std::vector<char> buffer(1 << 20);
    ASSERT_TRUE(again.GetChunk("BIN", buffer.data()));
    EXPECT_TRUE(std::equal(buffer.begin(), buffer.end(), data.begin()));
    std::string text;
    ASSERT_TRUE(again.GetChunk("BIN", text));
    EXPECT_EQ(text, data) << "a second read starts over";

    // The same megabyte written in pieces of 4 KB.
    ASSERT_TRUE(again.AddNew());
    for (std::size_t at = 0; at < data.size(); at += 4096)
        ASSERT_TRUE(again.AppendChunk("BIN", data.data() + at, 4096));
    ASSERT_TRUE(again.Update()) << again.GetLastErrorString();
    ASSERT_TRUE(again.GetChunk("BIN", text));
    EXPECT_EQ(text, data);
    EXPECT_EQ(dbtest::QueryInt(m_file, "select count(*) from Kinds where length(BIN) = 1048576"), 2);

    std::vector<char> small(1000);
    EXPECT_FALSE(again.GetChunk("BIN", small.data(), small.size())) << "the sized form refuses a short buffer";
    EXPECT_NE(again.GetLastErrorString().find("1000 bytes"), std::string::npos);
}

TEST_F(PersistTest, ChunksAppendWithinAnEditAndNeedLongFields)
{
    CADORecordset rs(&m_db);
    ASSERT_TRUE(rs.Open("select * from PipeSpec where ID = 1"));
    EXPECT_FALSE(rs.AppendChunk("Remark", "abc", 3)) << "no edit";
    EXPECT_EQ(rs.GetLastError(), 0u);
    rs.Edit();
    ASSERT_TRUE(rs.AppendChunk("Remark", "first ", 6));
    ASSERT_TRUE(rs.AppendChunk("Remark", "second", 6));
    ASSERT_TRUE(rs.Update());
    std::string remark;
    ASSERT_TRUE(rs.GetChunk("Remark", remark));
    EXPECT_EQ(remark, "first second");
    rs.Edit();
    ASSERT_TRUE(rs.AppendChunk(5, "new", 3)) << "the first piece of an edit replaces the value";
    ASSERT_TRUE(rs.Update());
    ASSERT_TRUE(rs.GetChunk(5, remark));
    EXPECT_EQ(remark, "new");
    EXPECT_EQ(dbtest::QueryInt(m_file, "select length(Remark) from PipeSpec where ID = 1"), 3);

    rs.Edit();
    EXPECT_FALSE(rs.AppendChunk("DN", "12", 2)) << "DN is not long data";
    EXPECT_EQ(rs.GetLastError(), 0x800A0BB9u);
    EXPECT_FALSE(rs.GetChunk("DN", remark));
    EXPECT_FALSE(rs.GetChunk("Nowhere", remark));
    EXPECT_EQ(rs.GetLastError(), 0x800A0CC1u);
    rs.CancelUpdate();
}

namespace {

// An 8-bit palette image with a pattern, 5 x 3 (rows padded to 8 bytes).
Bitmap PaletteImage()
{
    Bitmap b;
    b.width = 5;
    b.height = 3;
    b.bitsPerPixel = 8;
    b.palette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF, 0x123456};
    b.pixels.assign(b.Stride() * 3, 0);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            b.pixels[static_cast<std::size_t>(y) * b.Stride() + static_cast<std::size_t>(x)] =
                static_cast<std::uint8_t>((x + y) % 5);
    return b;
}

// Same size, depth and colour in every pixel (the palette of a file image
// always has 2^bits entries).
::testing::AssertionResult SameImage(const Bitmap& a, const Bitmap& b)
{
    if (a.width != b.width || a.height != b.height || a.bitsPerPixel != b.bitsPerPixel)
        return ::testing::AssertionFailure() << "sizes or depths differ";
    for (int y = 0; y < a.height; ++y)
        for (int x = 0; x < a.width; ++x)
            if (a.PixelColour(x, y) != b.PixelColour(x, y))
                return ::testing::AssertionFailure() << "pixel " << x << "," << y << " differs";
    return ::testing::AssertionSuccess();
}

}  // namespace

TEST_F(PersistTest, BitmapWrittenAndReadBackPixelForPixel)
{
    DB_FILE_ONLY();
    const Bitmap image = PaletteImage();
    CADORecordset rs(&m_db);
    ASSERT_TRUE(rs.Open("select * from Kinds"));
    ASSERT_TRUE(rs.AddNew());
    EXPECT_FALSE(rs.AppendChunk("BIN", static_cast<RVNADO::HBITMAP>(nullptr)));
    Bitmap broken = image;
    broken.pixels.pop_back();
    EXPECT_FALSE(rs.AppendChunk("BIN", &broken));
    ASSERT_TRUE(rs.AppendChunk("BIN", &image));
    ASSERT_TRUE(rs.Update()) << rs.GetLastErrorString();

    // The stored value is the complete 32-bit BMP file image.
    EXPECT_EQ(dbtest::QueryInt(m_file, "select length(BIN) from Kinds"), 14 + 40 + 5 * 3 * 4);
    EXPECT_EQ(dbtest::QueryInt(m_file, "select hex(substr(BIN, 1, 2)) = '424D' from Kinds"), 1);
    EXPECT_EQ(dbtest::QueryInt(m_file, "select unicode(substr(BIN, 29, 1)) from Kinds"), 32);

    Bitmap back;
    ASSERT_TRUE(rs.GetChunk("BIN", back)) << rs.GetLastErrorString();
    EXPECT_EQ(back.width, 5);
    EXPECT_EQ(back.height, 3);
    EXPECT_EQ(back.bitsPerPixel, 32);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(back.PixelColour(x, y), image.PixelColour(x, y)) << x << "," << y;
    EXPECT_EQ(image.PixelColour(4, 2), 0x123456u) << "row 0 is the top row: the last stored one";
}

TEST_F(PersistTest, BitmapReaderValidatesHeadersAgainstTheValue)
{
    const std::string good = PaletteImage().ToBmpImage();
    Bitmap out;
    ASSERT_TRUE(Bitmap::FromBmpImage(good.data(), good.size(), out));
    EXPECT_TRUE(SameImage(out, PaletteImage()));
    EXPECT_EQ(out.palette.size(), 256u);

    auto patched = [&](std::size_t at, std::uint32_t value) {
        std::string s = good;
        for (int i = 0; i < 4; ++i)
            s[at + static_cast<std::size_t>(i)] = static_cast<char>((value >> (8 * i)) & 0xFF);
        return s;
    };
    const std::string bad[] = {
        "BM",                                     // a short value that begins with BM
        good.substr(0, good.size() - 1),          // pixels cut short
        patched(10, 0xFFFFFF00u),                 // pixel offset far past the end
        patched(10, 20),                          // pixels overlapping the headers and palette
        patched(14, 0x7FFFFFFFu),                 // information header longer than the value
        patched(18, 1000),                        // width beyond the pixels
        patched(22, 0x80000000u),                 // height INT_MIN
        patched(46, 257),                         // more palette entries than 8 bits allow
        patched(30, 1),                           // compressed
    };
    for (const std::string& s : bad) {
        Bitmap keep = PaletteImage();
        EXPECT_FALSE(Bitmap::FromBmpImage(s.data(), s.size(), keep)) << s.size();
        EXPECT_EQ(keep, PaletteImage()) << "the output is untouched";
    }
    // A top-down image (negative height) is turned the right way up.
    std::string topDown = patched(22, static_cast<std::uint32_t>(-3));
    const std::size_t stride = PaletteImage().Stride();
    const std::size_t at = good.size() - 3 * stride;
    for (std::size_t r = 0; r < 3; ++r)
        topDown.replace(at + r * stride, stride, good.substr(at + (2 - r) * stride, stride));
    ASSERT_TRUE(Bitmap::FromBmpImage(topDown.data(), topDown.size(), out));
    EXPECT_TRUE(SameImage(out, PaletteImage()));

    // Through a field: a short value starting with "BM" is refused.
    CADORecordset rs(&m_db);
    ASSERT_TRUE(rs.Open("select * from Kinds"));
    ASSERT_TRUE(rs.AddNew());
    ASSERT_TRUE(rs.AppendChunk("BIN", "BM\x10\x00", 4));
    ASSERT_TRUE(rs.Update());
    Bitmap keep = PaletteImage();
    EXPECT_FALSE(rs.GetChunk("BIN", keep));
    EXPECT_EQ(keep, PaletteImage());
    EXPECT_FALSE(rs.GetChunk("I4", keep)) << "not long data";
}
