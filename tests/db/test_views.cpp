// Views of a recordset (filter, sort, clones, Requery) and the properties
// that must survive reopening: whatever the cursor's view, its record count,
// end flags, positions and pages agree with the rows a walk visits.
#include "DbTestUtil.h"

#include "db/ADOCommand.h"
#include "db/ADORecordset.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <vector>

using dbtest::Jet;

namespace {

// The DNs of material 5: nine sizes.
const int kDns[] = {15, 20, 25, 32, 40, 50, 65, 80, 100};

// Walks the recordset from its first row and checks that the count, the
// end flags, the absolute positions and the pages agree with the walk.
// Returns the DNs walked.
std::vector<int> CheckedWalk(CADORecordset& rs, const std::string& what)
{
    std::vector<int> dns;
    const long count = static_cast<long>(rs.GetRecordCount());
    const long pageSize = rs.GetPageSize();
    EXPECT_EQ(rs.GetPageCount(), (count + pageSize - 1) / pageSize) << what;
    if (count == 0) {
        EXPECT_TRUE(rs.IsEOF()) << what;
        EXPECT_TRUE(rs.IsBOF()) << what;
    }
    rs.MoveFirst();
    while (!rs.IsEOF()) {
        EXPECT_FALSE(rs.IsBOF()) << what;
        const long k = static_cast<long>(dns.size());
        EXPECT_EQ(rs.GetAbsolutePosition(), k + 1) << what;
        EXPECT_EQ(rs.GetAbsolutePage(), k / pageSize + 1) << what;
        int dn = -1;
        EXPECT_TRUE(rs.GetFieldValue("DN", dn)) << what << ": " << rs.GetLastErrorString();
        dns.push_back(dn);
        rs.MoveNext();
        if (dns.size() > 1000)
            break;
    }
    EXPECT_EQ(static_cast<long>(dns.size()), count) << what << ": the count matches the rows walked";
    if (count > 0) {
        rs.MoveFirst();
        const std::string text = rs.GetString("", "\n", "", 0);
        EXPECT_EQ(static_cast<long>(std::count(text.begin(), text.end(), '\n')), count)
            << what << ": GetString gives every row of the view";
    }
    return dns;
}

}  // namespace

class ViewTest : public dbtest::CatalogTest {
protected:
    void SetUp() override
    {
        CatalogTest::SetUp();
        std::string sql = "BEGIN;";
        for (int dn : kDns)
            sql += "INSERT INTO PipeSpec (MatlID, DN, OD, Thick) VALUES (5, " + std::to_string(dn) + ", " +
                   std::to_string(dn + 6) + ", 2.5);";
        sql += "COMMIT;";
        dbtest::RunSql(m_file, sql);
        ASSERT_TRUE(m_db.Open(Jet(m_file))) << m_db.GetLastErrorString();
    }

    CADODatabase m_db;
};

TEST_F(ViewTest, CountFollowsANewFilterAfterADeletion)
{
    CADORecordset rs(&m_db);
    ASSERT_TRUE(rs.Open("select * from PipeSpec where MatlID = 5 order by DN"));
    ASSERT_TRUE(rs.SetFilter("DN <= 25"));
    EXPECT_EQ(rs.GetRecordCount(), 3u);
    ASSERT_TRUE(rs.Delete());
    EXPECT_EQ(rs.GetRecordCount(), 2u);
    ASSERT_TRUE(rs.SetFilter("DN >= 65"));
    EXPECT_EQ(CheckedWalk(rs, "DN >= 65"), (std::vector<int>{65, 80, 100}));

    ASSERT_TRUE(rs.SetFilter("DN = 20"));
    ASSERT_TRUE(rs.Delete());
    EXPECT_EQ(rs.GetRecordCount(), 0u);
    ASSERT_TRUE(rs.SetFilter("DN = 32"));
    EXPECT_EQ(rs.GetRecordCount(), 1u);
    EXPECT_FALSE(rs.IsEOF()) << "the one row of the new filter is current";
    EXPECT_EQ(rs.GetString(",", "\n", "", 0).substr(0, 1).empty(), false);
    EXPECT_EQ(CheckedWalk(rs, "DN = 32"), (std::vector<int>{32}));

    ASSERT_TRUE(rs.SetFilter(""));
    EXPECT_EQ(CheckedWalk(rs, "no filter"), (std::vector<int>{25, 32, 40, 50, 65, 80, 100}));
}

TEST_F(ViewTest, RequeryKeepsFilterSortAndPageSize)
{
    CADORecordset rs(&m_db);
    rs.SetPageSize(4);
    ASSERT_TRUE(rs.Open("select * from PipeSpec where MatlID = 5"));
    EXPECT_EQ(rs.GetPageSize(), 4) << "a page size set before Open survives it";
    ASSERT_TRUE(rs.SetFilter("DN >= 40"));
    ASSERT_TRUE(rs.SetSort("DN DESC"));
    rs.SetPageSize(3);
    ASSERT_TRUE(m_db.Execute("insert into PipeSpec (MatlID, DN) values (5, 125)"));
    ASSERT_TRUE(rs.Requery()) << rs.GetLastErrorString();
    EXPECT_EQ(rs.GetPageSize(), 3);
    EXPECT_EQ(rs.GetRecordset()->GetFilter(), "DN >= 40");
    EXPECT_EQ(rs.GetRecordset()->GetSort(), "DN DESC");
    EXPECT_EQ(CheckedWalk(rs, "after Requery"), (std::vector<int>{125, 100, 80, 65, 50, 40}));

    rs.Close();
    ASSERT_TRUE(rs.Open("select * from PipeSpec where MatlID = 5"));
    EXPECT_EQ(rs.GetPageSize(), 3) << "and Close/Open";
    EXPECT_EQ(rs.GetPageCount(), 4) << "10 rows in pages of 3";

    // A filter that no longer fits the requeried columns fails the Requery
    // with a recorded error instead of showing every row.
    CADORecordset other(&m_db);
    ASSERT_TRUE(other.Open("select ID, DN from PipeSpec where MatlID = 5"));
    ASSERT_TRUE(other.SetFilter("DN > 50"));
    ASSERT_TRUE(m_db.Execute("alter table PipeSpec rename column DN to NominalDN"));
    EXPECT_FALSE(other.Requery());
    EXPECT_NE(other.GetLastError(), 0u);
}

// A random sequence of view changes, deletions, additions, clones and
// requeries: after each, the count, flags, positions and pages agree with
// a walk, and after each change of view the rows walked are the live rows
// of the table that pass the filter, in the order of the sort.
TEST_F(ViewTest, EveryChangeOfViewAgreesWithAWalk)
{
    const char* const filters[] = {"", "DN <= 25", "DN >= 65", "DN = 20", "DN = 32", "DN > 30 AND DN < 90",
                                   "DN < 20 OR DN > 80"};
    const char* const sorts[] = {"", "DN", "DN DESC"};
    std::mt19937 random(20261208);
    std::set<int> table(std::begin(kDns), std::end(kDns));
    int nextDn = 200;

    CADORecordset rs(&m_db);
    ASSERT_TRUE(rs.Open("select * from PipeSpec where MatlID = 5 order by DN"));
    std::string filter, sort;
    auto expected = [&]() {
        std::vector<int> rows;
        for (int dn : table) {
            const bool pass = filter.empty() || (filter == "DN <= 25" && dn <= 25) ||
                              (filter == "DN >= 65" && dn >= 65) || (filter == "DN = 20" && dn == 20) ||
                              (filter == "DN = 32" && dn == 32) ||
                              (filter == "DN > 30 AND DN < 90" && dn > 30 && dn < 90) ||
                              (filter == "DN < 20 OR DN > 80" && (dn < 20 || dn > 80));
            if (pass)
                rows.push_back(dn);
        }
        if (sort == "DN DESC")
            std::reverse(rows.begin(), rows.end());
        return rows;
    };
    for (int step = 0; step < 300; ++step) {
        const std::string what = "step " + std::to_string(step) + " filter '" + filter + "' sort '" + sort + "'";
        switch (random() % 7) {
        case 0:
            filter = filters[random() % std::size(filters)];
            ASSERT_TRUE(rs.SetFilter(filter.c_str()));
            EXPECT_EQ(CheckedWalk(rs, what + " new filter"), expected());
            break;
        case 1:
            sort = sorts[random() % std::size(sorts)];
            ASSERT_TRUE(rs.SetSort(sort.c_str()));
            if (!sort.empty()) {
                EXPECT_EQ(CheckedWalk(rs, what + " new sort"), expected());
            }
            break;
        case 2: {  // delete the k-th row of the view
            const long count = static_cast<long>(rs.GetRecordCount());
            if (count == 0)
                break;
            rs.SetAbsolutePosition(static_cast<int>(random() % count) + 1);
            int dn = 0;
            ASSERT_TRUE(rs.GetFieldValue("DN", dn));
            ASSERT_TRUE(rs.Delete());
            table.erase(dn);
            EXPECT_EQ(static_cast<long>(rs.GetRecordCount()), count - 1) << what;
            break;
        }
        case 3: {
            ASSERT_TRUE(rs.AddNew());
            ASSERT_TRUE(rs.SetFieldValue("MatlID", 5L));
            ASSERT_TRUE(rs.SetFieldValue("DN", nextDn));
            ASSERT_TRUE(rs.Update()) << rs.GetLastErrorString();
            table.insert(nextDn++);
            CheckedWalk(rs, what + " after AddNew");
            break;
        }
        case 4:
            ASSERT_TRUE(rs.Requery()) << rs.GetLastErrorString();
            if (filter.empty() && sort.empty())
                break;  // the query's own order
            EXPECT_EQ(CheckedWalk(rs, what + " Requery"), expected());
            break;
        case 5: {
            CADORecordset copy(&m_db);
            ASSERT_TRUE(rs.Clone(copy));
            std::vector<int> all = CheckedWalk(copy, what + " clone");
            std::sort(all.begin(), all.end());
            EXPECT_EQ(all, std::vector<int>(table.begin(), table.end())) << "a clone shows every live row";
            break;
        }
        default:
            rs.SetPageSize(static_cast<int>(random() % 4) + 1);
            CheckedWalk(rs, what + " page size");
            break;
        }
    }
}

// A recordset filled by a command with parameters reruns that command with
// the same values when it is requeried.
class RequeryCommandTest : public dbtest::CatalogTest {
protected:
    void SetUp() override
    {
        CatalogTest::SetUp();
        ASSERT_TRUE(m_db.Open(Jet(m_file))) << m_db.GetLastErrorString();
    }
    CADODatabase m_db;
};

TEST_F(RequeryCommandTest, ParametersAreBoundAgain)
{
    CADOCommand cmd(&m_db, "select DN from PipeSpec where MatlID = ? and DN >= ? order by DN", RVNADO::adCmdText);
    ASSERT_TRUE(cmd.AddParameter("Matl", RVNADO::adInteger, RVNADO::adParamInput, 4, 1L));
    ASSERT_TRUE(cmd.AddParameter("DN", RVNADO::adInteger, RVNADO::adParamInput, 4, 20L));
    CADORecordset rs(&m_db);
    ASSERT_TRUE(rs.Execute(&cmd)) << rs.GetLastErrorString();
    EXPECT_EQ(rs.GetRecordCount(), 2u) << "DN 20 and 100 of material 1";
    ASSERT_TRUE(m_db.Execute("insert into PipeSpec (MatlID, DN) values (1, 50)"));
    ASSERT_TRUE(rs.Requery()) << rs.GetLastErrorString();
    EXPECT_EQ(rs.GetRecordCount(), 3u);
    int dn = 0;
    ASSERT_TRUE(rs.GetFieldValue("DN", dn));
    EXPECT_EQ(dn, 20);
    EXPECT_EQ(rs.GetString(",", ";", "", 0), "20;50;100;");
}

TEST_F(RequeryCommandTest, SeveralStatementsRerunOnlyWhenNothingIsWrittenTwice)
{
    // Reading statements before the last one run again.
    CADOCommand read(&m_db, "select 1; select DN from PipeSpec where DN > ? order by DN", RVNADO::adCmdText);
    ASSERT_TRUE(read.AddParameter("DN", RVNADO::adInteger, RVNADO::adParamInput, 4, 50L));
    CADORecordset rs(&m_db);
    ASSERT_TRUE(rs.Execute(&read)) << rs.GetLastErrorString();
    EXPECT_EQ(rs.GetRecordCount(), 1u);
    ASSERT_TRUE(m_db.Execute("insert into PipeSpec (MatlID, DN) values (1, 65)"));
    ASSERT_TRUE(rs.Requery()) << rs.GetLastErrorString();
    EXPECT_EQ(rs.GetRecordCount(), 2u);

    // A command that wrote before its rows is not run a second time: the
    // Requery fails with a recorded error and the table keeps one new row.
    CADOCommand write(&m_db, "insert into WaterProp (Temperature, MD) values (?, 1.0); select * from WaterProp",
                      RVNADO::adCmdText);
    ASSERT_TRUE(write.AddParameter("T", RVNADO::adInteger, RVNADO::adParamInput, 4, 60L));
    CADORecordset wrote(&m_db);
    ASSERT_TRUE(wrote.Execute(&write)) << wrote.GetLastErrorString();
    EXPECT_EQ(wrote.GetRecordCount(), 3u);
    EXPECT_FALSE(wrote.Requery());
    EXPECT_NE(wrote.GetLastErrorString().find("Query = "), std::string::npos);
    EXPECT_EQ(dbtest::QueryInt(m_file, "select count(*) from WaterProp where Temperature = 60"), 1);
}
