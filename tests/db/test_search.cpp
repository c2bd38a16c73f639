// CADORecordset: pages, positions, bookmarks, Find, filters, sort orders,
// clones and clip strings.
#include "DbTestUtil.h"

#include "db/ADORecordset.h"

#include <gtest/gtest.h>

#include <clocale>
#include <vector>

using dbtest::Jet;
using RVNADO::ComError;

class SearchTest : public dbtest::CatalogTest {
protected:
    void SetUp() override
    {
        CatalogTest::SetUp();
        // Ten more sizes of material 3, DN 10..100, with remarks.
        std::string sql = "BEGIN;";
        for (int i = 1; i <= 10; ++i)
            sql += "INSERT INTO PipeSpec (MatlID, DN, OD, Thick, Remark) VALUES (3, " + std::to_string(10 * i) +
                   ", " + std::to_string(10 * i + 2) + ".5, 1.0, " +
                   (i % 3 == 0 ? std::string("NULL") : "'Size O''" + std::to_string(i) + "'") + ");";
        sql += "COMMIT;";
        dbtest::RunSql(m_file, sql);
        ASSERT_TRUE(m_db.Open(Jet(m_file))) << m_db.GetLastErrorString();
    }

    // The DN column of every row from the current one to the end.
    static std::vector<int> Walk(CADORecordset& rs)
    {
        std::vector<int> dns;
        while (!rs.IsEOF()) {
            int dn = 0;
            EXPECT_TRUE(rs.GetFieldValue("DN", dn));
            dns.push_back(dn);
            rs.MoveNext();
        }
        return dns;
    }

    static int Dn(CADORecordset& rs)
    {
        int dn = -1;
        EXPECT_TRUE(rs.GetFieldValue("DN", dn)) << rs.GetLastErrorString();
        return dn;
    }

    CADODatabase m_db;
};

TEST_F(SearchTest, PagesAndPositionsCountRowsFromOne)
{
    CADORecordset rs(&m_db);
    ASSERT_TRUE(rs.Open("select * from PipeSpec where MatlID = 3 order by DN"));
    EXPECT_EQ(rs.GetPageSize(), 10);
    rs.SetPageSize(4);
    EXPECT_EQ(rs.GetPageCount(), 3) << "10 rows in pages of 4";
    EXPECT_EQ(rs.GetAbsolutePosition(), 1);
    EXPECT_EQ(rs.GetAbsolutePage(), 1);
    rs.SetAbsolutePage(3);
    EXPECT_EQ(Dn(rs), 90) << "page 3 begins with the 9th row";
    EXPECT_EQ(rs.GetAbsolutePosition(), 9);
    rs.SetAbsolutePosition(5);
    EXPECT_EQ(Dn(rs), 50);
    EXPECT_EQ(rs.GetAbsolutePage(), 2);
    rs.MoveLast();
    rs.MoveNext();
    EXPECT_EQ(rs.GetAbsolutePosition(), RVNADO::adPosEOF);
    rs.MoveFirst();
    rs.MovePrevious();
    EXPECT_EQ(rs.GetAbsolutePosition(), RVNADO::adPosBOF);
    EXPECT_THROW(rs.SetAbsolutePosition(11), ComError);
    EXPECT_THROW(rs.SetAbsolutePage(4), ComError);
    EXPECT_THROW(rs.SetPageSize(0), ComError);

    // A deleted row no longer counts.
    rs.SetAbsolutePosition(2);
    ASSERT_TRUE(rs.Delete());
    rs.MoveNext();
    EXPECT_EQ(Dn(rs), 30);
    EXPECT_EQ(rs.GetAbsolutePosition(), 2);
    EXPECT_EQ(rs.GetPageCount(), 3) << "9 rows in pages of 4";
    rs.SetAbsolutePosition(9);
    EXPECT_EQ(Dn(rs), 100);
}

TEST_F(SearchTest, BookmarksReturnToTheirRowUnderFilterAndSort)
{
    CADORecordset rs(&m_db);
    ASSERT_TRUE(rs.Open("select * from PipeSpec where MatlID = 3 order by DN"));
    EXPECT_FALSE(rs.SetBookmark()) << "nothing remembered yet";
    rs.SetAbsolutePosition(4);
    rs.GetBookmark();
    rs.MoveFirst();
    ASSERT_TRUE(rs.SetBookmark());
    EXPECT_EQ(Dn(rs), 40);
    ASSERT_TRUE(rs.SetSort("DN DESC"));
    rs.MoveLast();
    ASSERT_TRUE(rs.SetBookmark());
    EXPECT_EQ(Dn(rs), 40);
    ASSERT_TRUE(rs.SetFilter("DN > 50"));
    EXPECT_THROW(rs.SetBookmark(), ComError) << "the row is hidden by the filter";
    rs.MoveLast();
    rs.MoveNext();
    EXPECT_THROW(rs.GetBookmark(), ComError) << "no current row at the end";
}

TEST_F(SearchTest, FindForwardBackwardAndNext)
{
    CADORecordset rs(&m_db);
    ASSERT_TRUE(rs.Open("select * from PipeSpec where MatlID = 3 order by DN"));
    ASSERT_TRUE(rs.FindFirst("DN >= 35"));
    EXPECT_EQ(Dn(rs), 40);
    ASSERT_TRUE(rs.FindNext());
    EXPECT_EQ(Dn(rs), 50);
    rs.MoveLast();
    ASSERT_TRUE(rs.Find("DN < 35", CADORecordset::searchBackward));
    EXPECT_EQ(Dn(rs), 30);
    ASSERT_TRUE(rs.FindNext()) << "the stored direction is backward";
    EXPECT_EQ(Dn(rs), 20);
    ASSERT_TRUE(rs.FindNext());
    EXPECT_EQ(Dn(rs), 10);
    EXPECT_FALSE(rs.FindNext());
    EXPECT_TRUE(rs.IsBOF());

    // A failed search leaves the last found row for FindNext.
    ASSERT_TRUE(rs.FindFirst("Remark LIKE 'size o''1*'"));
    EXPECT_EQ(Dn(rs), 10) << "LIKE ignores case, '' is a quote";
    ASSERT_TRUE(rs.FindNext());
    EXPECT_EQ(Dn(rs), 100);
    EXPECT_FALSE(rs.FindNext());
    EXPECT_TRUE(rs.IsEOF());
    EXPECT_FALSE(rs.Find("DN = 999"));
    rs.MoveFirst();
    EXPECT_FALSE(rs.FindNext()) << "from the row found last, DN 100, nothing follows";

    EXPECT_TRUE(rs.FindFirst("Remark = NULL"));
    EXPECT_EQ(Dn(rs), 30);
    EXPECT_TRUE(rs.FindFirst("Remark LIKE '%_4'"));
    EXPECT_EQ(Dn(rs), 40);
    EXPECT_TRUE(rs.FindFirst("OD = 52.5"));
    EXPECT_EQ(Dn(rs), 50);
    EXPECT_TRUE(rs.FindFirst("[DN] <> 10"));
    EXPECT_EQ(Dn(rs), 20);
}

TEST_F(SearchTest, FindWithAnotherDirectionFailsAndResetsIt)
{
    CADORecordset rs(&m_db);
    ASSERT_TRUE(rs.Open("select * from PipeSpec where MatlID = 3 order by DN"));
    rs.SetAbsolutePosition(5);
    ASSERT_TRUE(rs.Find("DN > 30", CADORecordset::searchBackward));
    EXPECT_EQ(Dn(rs), 50) << "the current row is the first one looked at";
    rs.MoveFirst();
    EXPECT_FALSE(rs.Find("DN > 30", 0));
    EXPECT_EQ(Dn(rs), 10) << "no search happened";
    ASSERT_TRUE(rs.FindNext()) << "forward again, after the row found last";
    EXPECT_EQ(Dn(rs), 60);
}

TEST_F(SearchTest, BadCriteriaAreRaisedFiltersAndSortsRecorded)
{
    CADORecordset rs(&m_db);
    ASSERT_TRUE(rs.Open("select * from PipeSpec order by ID"));
    const char* bad[] = {"DN >", "DN", "DN = 'open", "NoSuch = 1", "DN = 1 AND OD = 2", "DN == 3",
                         "DN = #2020-13-01#", "DN LIKE 5", "", "(DN = 1)", "DN = 1e999",
                         "DN > +-1.5", "DN > --2", "DN < 1,5", "DN < 0x10"};
    for (const char* c : bad)
        EXPECT_THROW(rs.Find(c), ComError) << c;
    ASSERT_TRUE(rs.SetFilter("DN > 50"));
    const unsigned long shown = rs.GetRecordCount();
    const char* badFilters[] = {"DN > 50 AND", "(DN > 50", "DN > 50)", "x = 1", "DN > 50 OR OR DN < 3",
                                "DN > 'a' ) OR (", "DN IS 5"};
    for (const char* f : badFilters) {
        EXPECT_FALSE(rs.SetFilter(f)) << f;
        EXPECT_TRUE(rs.GetLastError() == 0x800A0BB9u || rs.GetLastError() == 0x800A0CC1u) << rs.GetLastError();
        EXPECT_NE(rs.GetLastErrorString().find("CADORecordset Error"), std::string::npos);
        EXPECT_EQ(rs.GetRecordCount(), shown) << "a bad filter changes nothing";
    }
    std::string deep;
    for (int i = 0; i < 5000; ++i)
        deep += '(';
    EXPECT_FALSE(rs.SetFilter(deep + "DN = 1")) << "deep nesting is refused, not a stack overflow";
    EXPECT_FALSE(rs.SetSort("DN DOWN"));
    EXPECT_FALSE(rs.SetSort("Nowhere"));
    EXPECT_EQ(rs.GetLastError(), 0x800A0CC1u);
    EXPECT_FALSE(rs.SetSort("DN,"));
}

TEST_F(SearchTest, FilterWithAndOrParenthesesKeepsCountAndMovesConsistent)
{
    CADORecordset rs(&m_db);
    ASSERT_TRUE(rs.Open("select * from PipeSpec order by ID"));
    ASSERT_EQ(rs.GetRecordCount(), 14u);
    ASSERT_TRUE(rs.SetFilter("MatlID = 3 AND (DN < 30 OR DN >= 90) OR MatlID = 2"));
    EXPECT_EQ(rs.GetRecordCount(), 5u);
    EXPECT_EQ(Walk(rs), (std::vector<int>{20, 10, 20, 90, 100}));
    rs.MoveLast();
    EXPECT_EQ(Dn(rs), 100);
    rs.MovePrevious();
    EXPECT_EQ(Dn(rs), 90);

    ASSERT_TRUE(rs.SetFilter("Remark IS NULL AND MatlID = 3"));
    EXPECT_EQ(Walk(rs), (std::vector<int>{30, 60, 90}));
    ASSERT_TRUE(rs.SetFilter("Remark <> 'Size O''2' AND MatlID=3 AND Remark IS NOT NULL"));
    EXPECT_EQ(rs.GetRecordCount(), 6u);
    ASSERT_TRUE(rs.SetFilter("DN = 12345"));
    EXPECT_EQ(rs.GetRecordCount(), 0u);
    EXPECT_TRUE(rs.IsEOF());
    EXPECT_TRUE(rs.IsBOF());
    ASSERT_TRUE(rs.SetFilter(""));
    EXPECT_EQ(rs.GetRecordCount(), 14u) << "an empty filter removes it";
    EXPECT_EQ(Dn(rs), 15);

    // Edits through a filtered recordset write through; deletions leave the view.
    ASSERT_TRUE(rs.SetFilter("MatlID = 1"));
    rs.Edit();
    ASSERT_TRUE(rs.SetFieldValue("Thick", 3.5));
    ASSERT_TRUE(rs.Update());
    EXPECT_EQ(dbtest::QueryInt(m_file, "select count(*) from PipeSpec where Thick = 3.5"), 1);
    ASSERT_TRUE(rs.Delete());
    rs.MoveNext();
    EXPECT_EQ(rs.GetRecordCount(), 2u);
    EXPECT_EQ(Walk(rs), (std::vector<int>{20, 100}));

    // A row added under a filter stays in the view, bookmark included.
    ASSERT_TRUE(rs.AddNew());
    ASSERT_TRUE(rs.SetFieldValue("MatlID", 1));
    ASSERT_TRUE(rs.SetFieldValue("DN", 250));
    ASSERT_TRUE(rs.Update());
    EXPECT_EQ(rs.GetRecordCount(), 3u);
    rs.GetBookmark();
    rs.MoveFirst();
    ASSERT_TRUE(rs.SetBookmark());
    EXPECT_EQ(Dn(rs), 250);
    EXPECT_EQ(rs.GetAbsolutePosition(), 3) << "the deleted row does not count";
}

TEST_F(SearchTest, FilterComparesTextsDatesAndNumbersByKind)
{
    dbtest::RunSql(m_file, "INSERT INTO Kinds (I4, DT, T, YN, CY) VALUES (1, '2024-05-01 08:30:00', 'abc', 1, 2.5),"
                           " (2, '2023-12-31 00:00:00', 'ABD', 0, 10), (3, NULL, 'b', 1, -1);");
    CADORecordset rs(&m_db);
    ASSERT_TRUE(rs.Open("select * from Kinds order by I4"));
    auto ids = [&](const char* filter) {
        EXPECT_TRUE(rs.SetFilter(filter)) << filter << rs.GetLastErrorString();
        std::vector<int> out;
        while (!rs.IsEOF()) {
            int v = 0;
            rs.GetFieldValue("I4", v);
            out.push_back(v);
            rs.MoveNext();
        }
        return out;
    };
    EXPECT_EQ(ids("DT >= #2024-01-01#"), (std::vector<int>{1}));
    EXPECT_EQ(ids("DT < #5/1/2024 8:30:01#"), (std::vector<int>{1, 2}));
    EXPECT_EQ(ids("DT = '2024-05-01 08:30:00'"), (std::vector<int>{1}));
    EXPECT_EQ(ids("T < 'ABC'"), (std::vector<int>{})) << "texts compare without case";
    EXPECT_EQ(ids("T <= 'ABC'"), (std::vector<int>{1}));
    EXPECT_EQ(ids("T > 'abc'"), (std::vector<int>{2, 3}));
    EXPECT_EQ(ids("T LIKE 'a?c' OR T LIKE 'b'"), (std::vector<int>{1, 3}));
    EXPECT_EQ(ids("YN = 'true'"), (std::vector<int>{1, 3}));
    EXPECT_EQ(ids("CY > 2.4 and CY < '11'"), (std::vector<int>{1, 2}));
    EXPECT_EQ(ids("I4 = 'two'"), (std::vector<int>{})) << "a text that is no number matches no number";
}

TEST_F(SearchTest, SortOrdersTheSnapshotAndCombinesWithTheFilter)
{
    CADORecordset rs(&m_db);
    ASSERT_TRUE(rs.Open("select * from PipeSpec order by ID"));
    ASSERT_TRUE(rs.SetSort("MatlID DESC, DN"));
    EXPECT_EQ(rs.GetRecordCount(), 14u);
    EXPECT_EQ(Walk(rs), (std::vector<int>{10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 20, 15, 20, 100}));
    ASSERT_TRUE(rs.SetFilter("DN <= 20"));
    EXPECT_EQ(Walk(rs), (std::vector<int>{10, 20, 20, 15, 20}));
    ASSERT_TRUE(rs.SetSort("[DN] ASC, MatlID desc"));
    EXPECT_EQ(Walk(rs), (std::vector<int>{10, 15, 20, 20, 20}));
    ASSERT_TRUE(rs.SetSort("Remark"));
    ASSERT_TRUE(rs.SetFilter("MatlID = 3"));
    std::vector<std::string> remarks;
    while (!rs.IsEOF()) {
        std::string r;
        rs.GetFieldValue("Remark", r);
        remarks.push_back(r);
        rs.MoveNext();
    }
    EXPECT_EQ(remarks.front(), "") << "nulls first";
    EXPECT_EQ(remarks[3], "Size O'1");
    EXPECT_EQ(remarks[4], "Size O'10");
    ASSERT_TRUE(rs.SetSort(""));
    ASSERT_TRUE(rs.SetFilter(""));
    EXPECT_EQ(Walk(rs), (std::vector<int>{15, 20, 100, 20, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100}));
}

TEST_F(SearchTest, CloneMovesOnItsOwnAndSharesEdits)
{
    CADORecordset rs(&m_db);
    ASSERT_TRUE(rs.Open("select * from PipeSpec where MatlID = 3 order by DN"));
    ASSERT_TRUE(rs.SetFilter("DN > 50"));
    CADORecordset copy(&m_db);
    ASSERT_TRUE(rs.Clone(copy));
    EXPECT_EQ(copy.GetRecordCount(), 10u) << "the clone has no filter";
    copy.SetAbsolutePosition(3);
    EXPECT_EQ(Dn(copy), 30);
    EXPECT_EQ(Dn(rs), 60) << "the original did not move";

    copy.Edit();
    ASSERT_TRUE(copy.SetFieldValue("Remark", "edited"));
    ASSERT_TRUE(copy.Update());
    rs.MoveFirst();
    ASSERT_TRUE(rs.SetFilter(""));
    rs.SetAbsolutePosition(3);
    std::string remark;
    ASSERT_TRUE(rs.GetFieldValue("Remark", remark));
    EXPECT_EQ(remark, "edited") << "an edit through the clone shows in the original";

    ASSERT_TRUE(rs.Delete());
    EXPECT_FALSE(copy.GetFieldValue("Remark", remark)) << "the row deleted through the original is gone";
    EXPECT_EQ(copy.GetRecordCount(), 9u);

    ASSERT_TRUE(copy.AddNew());
    ASSERT_TRUE(copy.SetFieldValue("MatlID", 3));
    ASSERT_TRUE(copy.SetFieldValue("DN", 125));
    ASSERT_TRUE(copy.Update());
    EXPECT_EQ(rs.GetRecordCount(), 10u) << "the new row shows in the original";
    rs.MoveLast();
    EXPECT_EQ(Dn(rs), 125);

    CADORecordset closed(&m_db);
    EXPECT_FALSE(closed.Clone(copy)) << "a closed recordset cannot be cloned";
    EXPECT_EQ(closed.GetLastError(), 0x800A0E78u);
    EXPECT_EQ(Dn(copy), 125) << "the target keeps its clone";
}

TEST_F(SearchTest, GetStringDefaultsAndNullText)
{
    CADORecordset rs(&m_db);
    ASSERT_TRUE(rs.Open("select DN, OD, Remark from PipeSpec where MatlID = 3 and DN <= 30 order by DN"));
    EXPECT_EQ(rs.GetString("", "", "", 0), "10\t12.5\tSize O'1\r20\t22.5\tSize O'2\r30\t32.5\t\r");
    EXPECT_TRUE(rs.IsEOF()) << "the cursor moved past the rows given";
    EXPECT_EQ(rs.GetString("", "", "", 0), "") << "nothing at the end";
    rs.MoveFirst();
    EXPECT_EQ(rs.GetString(";", "\n", "(null)", 2), "10;12.5;Size O'1\n20;22.5;Size O'2\n");
    EXPECT_EQ(rs.GetString(";", "\n", "(null)", 5), "30;32.5;(null)\n");
}

TEST_F(SearchTest, ClipStringsAndCriteriaIgnoreACommaLocale)
{
    const char* old = std::setlocale(LC_ALL, nullptr);
    const std::string saved = old != nullptr ? old : "C";
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr)
        GTEST_SKIP() << "de_DE.UTF-8 is not installed";
    CADORecordset rs(&m_db);
    ASSERT_TRUE(rs.Open("select DN, OD from PipeSpec where MatlID = 3 order by DN"));
    EXPECT_TRUE(rs.Find("OD > 22.5"));
    EXPECT_EQ(rs.GetString(";", "|", "", 1), "30;32.5|");
    const std::string file = m_dir.File("locale.xml");
    ASSERT_TRUE(rs.SaveAsXML(file));
    CADORecordset back(&m_db);
    ASSERT_TRUE(back.OpenXML(file)) << back.GetLastErrorString();
    EXPECT_EQ(back.GetString(";", "|", "", 2), "10;12.5|20;22.5|");
    std::setlocale(LC_ALL, saved.c_str());
}
