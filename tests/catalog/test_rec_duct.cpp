// Duct size records: comparisons, row transfer, add with its duplicate rule,
// listings with size and aspect-ratio filters, the default connection and
// failed row writes.
#include "CatalogFixture.h"

#include "catalog/CTQDuctSpec.h"
#include "catalog/CXTPPropExchange.h"
#include "catalog/RVNDataBase.h"
#include "db/ADORecordset.h"

#include <string>
#include <vector>

namespace {

CTQDuctSpec Duct(int section, int width, int height, double thickness = 0.5) {
    CTQDuctSpec d;
    d.Section = section;
    d.Width = width;
    d.Height = height;
    d.Thickness = thickness;
    return d;
}

std::vector<std::pair<int, int>> Sizes(const CTQArray<CTQDuctSpec>& arr) {
    std::vector<std::pair<int, int>> out;
    for (CTQArray<CTQDuctSpec>::INT_PTR i = 0; i < arr.GetSize(); ++i) {
        out.emplace_back(arr[i].Width, arr[i].Height);
    }
    return out;
}

using SizeList = std::vector<std::pair<int, int>>;

class DuctSpecTest : public CatalogTest {
protected:
    void TearDown() override {
        // Back to "no default connection, nothing borrowed" for the next test.
        RVN::SetRVNBaseDataBase(nullptr);
        if (RVN::LoadRVNBaseDataBase(Path().c_str())) {
            RVN::CloseRVNBaseDataBase();
        }
        CatalogTest::TearDown();
    }

    void InsertDuct(int section, int width, int height, const std::string& thickness = "0.5",
                    int version = 0) {
        Sql("insert into DuctSpec (SEC, WIDTH, HEIGHT, THICKNESS, VERSION) values (" +
            std::to_string(section) + ", " + std::to_string(width) + ", " + std::to_string(height) +
            ", " + thickness + ", " + std::to_string(version) + ")");
    }

    long long Rows() { return SqlNumber("select count(*) from DuctSpec"); }
};

TEST(DuctSpecRecord, DefaultsComparisonsAndCopies) {
    const CTQDuctSpec d;
    EXPECT_EQ(d.Section, 1);
    EXPECT_EQ(d.Width, 0);
    EXPECT_EQ(d.Height, 0);
    EXPECT_EQ(d.Thickness, 0.0);
    EXPECT_EQ(d.GetID(), -1);
    EXPECT_EQ(d.GetVersion(), 0);

    // A circular duct is known by its diameter alone.
    EXPECT_TRUE(Duct(0, 200, 0) == Duct(0, 200, 80));
    EXPECT_FALSE(Duct(0, 200, 0) < Duct(0, 200, 80));
    EXPECT_FALSE(Duct(0, 200, 80) < Duct(0, 200, 0));
    EXPECT_FALSE(Duct(0, 200, 0) > Duct(0, 200, 80));
    EXPECT_FALSE(Duct(0, 200, 0) == Duct(0, 250, 0));

    EXPECT_FALSE(Duct(1, 500, 250) == Duct(1, 500, 320));
    EXPECT_TRUE(Duct(1, 500, 250) < Duct(1, 500, 320));
    EXPECT_TRUE(Duct(1, 500, 320) > Duct(1, 500, 250));
    EXPECT_FALSE(Duct(1, 500, 250) > Duct(1, 500, 320));
    // Section first, then width, then height.
    EXPECT_TRUE(Duct(0, 1000, 0) < Duct(1, 100, 100));
    EXPECT_TRUE(Duct(1, 400, 800) < Duct(1, 500, 100));
    EXPECT_FALSE(Duct(1, 500, 250) == Duct(0, 500, 250));

    CTQDuctSpec src = Duct(1, 630, 400, 0.75);
    src.ID = 42;
    src.Version = 3;
    const CTQDuctSpec copy(src);
    CTQDuctSpec assigned;
    assigned = src;
    for (const CTQDuctSpec* c : std::initializer_list<const CTQDuctSpec*>{&copy, &assigned}) {
        EXPECT_EQ(c->Section, 1);
        EXPECT_EQ(c->Width, 630);
        EXPECT_EQ(c->Height, 400);
        EXPECT_EQ(c->Thickness, 0.75);
        EXPECT_EQ(c->ID, 42);
        EXPECT_EQ(c->Version, 3);
    }
    CTQDuctSpec& self = assigned;
    assigned = self;
    EXPECT_EQ(assigned.Width, 630);
}

TEST(DuctSpecRecord, PropExchangeKeysAndRoundTrip) {
    // A section written by another program: the keys and types are the file format.
    CXTPPropExchangeXMLNode in(true, "Duct");
    ASSERT_TRUE(in.LoadFromString(R"(<Section Name="Duct">
        <Value Key="ID" Type="long">17</Value><Value Key="SEC" Type="int">0</Value>
        <Value Key="WIDTH" Type="int">315</Value><Value Key="HEIGHT" Type="int">7</Value>
        <Value Key="THICKNESS" Type="double">0.6</Value><Value Key="VERSION" Type="int">2</Value>
        </Section>)"));
    ASSERT_TRUE(in.OnBeforeExchange());
    CTQDuctSpec d;
    EXPECT_TRUE(d.DoPropExchange(&in));
    EXPECT_EQ(d.ID, 17);
    EXPECT_EQ(d.Section, 0);
    EXPECT_EQ(d.Width, 315);
    EXPECT_EQ(d.Height, 7);
    EXPECT_EQ(d.Thickness, 0.6);
    EXPECT_EQ(d.Version, 2);

    // Storing writes the same keys back.
    CXTPPropExchangeXMLNode out(false, "Duct");
    ASSERT_TRUE(out.OnBeforeExchange());
    EXPECT_TRUE(d.DoPropExchange(&out));
    CXTPPropExchangeXMLNode back(true, "Duct");
    ASSERT_TRUE(back.LoadFromString(out.SaveToString()));
    ASSERT_TRUE(back.OnBeforeExchange());
    CTQDuctSpec e;
    e.DoPropExchange(&back);
    EXPECT_TRUE(e == d);
    EXPECT_EQ(e.Height, 7);
    EXPECT_EQ(e.Thickness, 0.6);
    EXPECT_EQ(e.ID, 17);
    EXPECT_EQ(e.Version, 2);
}

TEST_F(DuctSpecTest, AddStoresRowAndRefusesDuplicates) {
    CTQDuctSpec a = Duct(1, 500, 250, 0.75);
    a.Version = 9;
    ASSERT_TRUE(a.Add(db_.get()));
    EXPECT_GT(a.ID, 0);
    EXPECT_EQ(SqlNumber("select count(*) from DuctSpec where ID = " + std::to_string(a.ID) +
                        " and SEC = 1 and WIDTH = 500 and HEIGHT = 250 and THICKNESS = 0.75"),
              1);
    // The version is not written.
    EXPECT_EQ(SqlNumber("select count(*) from DuctSpec where VERSION is null"), 1);

    CTQDuctSpec same = Duct(1, 500, 250, 1.0);
    EXPECT_FALSE(same.Add(db_.get()));
    EXPECT_EQ(same.ID, -1);
    EXPECT_EQ(Rows(), 1);

    // A rectangular duct compares width and height.
    CTQDuctSpec taller = Duct(1, 500, 320);
    EXPECT_TRUE(taller.Add(db_.get()));
    EXPECT_NE(taller.ID, a.ID);

    // A circular duct ignores its height; a rectangular duct of the same width is another size.
    CTQDuctSpec round = Duct(0, 500, 0);
    EXPECT_TRUE(round.Add(db_.get()));
    CTQDuctSpec roundAgain = Duct(0, 500, 123);
    EXPECT_FALSE(roundAgain.Add(db_.get()));
    EXPECT_EQ(Rows(), 3);
}

TEST_F(DuctSpecTest, UpdateByIdReadsAndRewritesRow) {
    InsertDuct(1, 800, 400, "1.0", 5);
    const long id = static_cast<long>(SqlNumber("select max(ID) from DuctSpec"));

    CTQDuctSpec d;
    ASSERT_TRUE(d.UpdateData(id, true, db_.get()));
    EXPECT_EQ(d.ID, id);
    EXPECT_EQ(d.Section, 1);
    EXPECT_EQ(d.Width, 800);
    EXPECT_EQ(d.Height, 400);
    EXPECT_EQ(d.Thickness, 1.0);
    EXPECT_EQ(d.Version, 5);

    d.Section = 0;
    d.Width = 900;
    d.Height = 0;
    d.Thickness = 1.2;
    d.Version = 77;
    ASSERT_TRUE(d.UpdateData(id, false, db_.get()));
    EXPECT_EQ(
        SqlNumber(
            "select count(*) from DuctSpec where ID = " + std::to_string(id) +
            " and SEC = 0 and WIDTH = 900 and HEIGHT = 0 and THICKNESS = 1.2 and VERSION = 5"),
        1);

    CTQDuctSpec missing;
    EXPECT_FALSE(missing.UpdateData(id + 100, true, db_.get()));
    EXPECT_FALSE(missing.UpdateData(id + 100, false, db_.get()));
    EXPECT_EQ(missing.Width, 0);
    EXPECT_FALSE(missing.UpdateData(nullptr, true));
    EXPECT_FALSE(missing.UpdateData(nullptr, false));
}

TEST_F(DuctSpecTest, DeleteAndRemove) {
    CTQDuctSpec a = Duct(0, 100, 0);
    CTQDuctSpec b = Duct(0, 125, 0);
    ASSERT_TRUE(a.Add(db_.get()));
    ASSERT_TRUE(b.Add(db_.get()));
    EXPECT_TRUE(CTQDuctSpec::Delete(a.ID, db_.get()));
    EXPECT_EQ(SqlNumber("select count(*) from DuctSpec where ID = " + std::to_string(a.ID)), 0);
    EXPECT_TRUE(CTQDuctSpec::Delete(a.ID, db_.get())); // runs, matches nothing
    EXPECT_TRUE(b.Remove(db_.get()));
    EXPECT_EQ(Rows(), 0);

    Sql("drop table DuctSpec");
    EXPECT_FALSE(CTQDuctSpec::Delete(1, db_.get()));
}

TEST_F(DuctSpecTest, ListingOfOneSectionOrderedByWidth) {
    InsertDuct(1, 630, 250);
    InsertDuct(0, 200, 0);
    InsertDuct(1, 320, 200);
    InsertDuct(0, 100, 0);
    InsertDuct(1, 500, 400);

    CTQArray<CTQDuctSpec> arr;
    arr.Add(Duct(1, 1, 1)); // left over from an earlier call: must go
    EXPECT_EQ(CTQDuctSpecManager::GetAllSpec(arr, 1, db_.get()), 3);
    EXPECT_EQ(Sizes(arr), (SizeList{{320, 200}, {500, 400}, {630, 250}}));
    for (CTQArray<CTQDuctSpec>::INT_PTR i = 0; i < arr.GetSize(); ++i) {
        EXPECT_EQ(arr[i].Section, 1);
        EXPECT_GT(arr[i].ID, 0);
        EXPECT_EQ(arr[i].Thickness, 0.5);
    }
    EXPECT_EQ(CTQDuctSpecManager::GetAllSpec(arr, 0, db_.get()), 2);
    EXPECT_EQ(Sizes(arr), (SizeList{{100, 0}, {200, 0}}));
    EXPECT_EQ(CTQDuctSpecManager::GetAllSpec(arr, 2, db_.get()), 0);
    EXPECT_EQ(arr.GetSize(), 0);

    // A query that cannot run still empties the list.
    arr.Add(Duct(1, 1, 1));
    Sql("drop table DuctSpec");
    EXPECT_EQ(CTQDuctSpecManager::GetAllSpec(arr, 1, db_.get()), 0);
    EXPECT_EQ(arr.GetSize(), 0);
}

TEST_F(DuctSpecTest, LimitedListingFiltersRatioAndSize) {
    InsertDuct(1, 500, 250); // ratio 2.0
    InsertDuct(1, 630, 250); // ratio 2.52
    InsertDuct(1, 250, 500); // ratio 0.5
    InsertDuct(1, 320, 80);  // ratio 4.0
    InsertDuct(1, 400, 0);   // no finite ratio
    InsertDuct(1, 160, 160); // ratio 1.0
    InsertDuct(0, 80, 0);
    InsertDuct(0, 100, 0);
    InsertDuct(0, 160, 0);

    CTQArray<CTQDuctSpec> arr;
    // 1..2 widened by 0.5 on each side: 0.5 to 2.5.
    EXPECT_EQ(CTQDuctSpecManager::GetAllSpec(arr, 1, 1.0, 2.0, 0, 0, db_.get()), 3);
    EXPECT_EQ(Sizes(arr), (SizeList{{160, 160}, {250, 500}, {500, 250}}));

    // No ratio limits: every row with a height passes.
    EXPECT_EQ(CTQDuctSpecManager::GetAllSpec(arr, 1, 0.0, 0.0, 0, 0, db_.get()), 5);
    EXPECT_EQ(Sizes(arr), (SizeList{{160, 160}, {250, 500}, {320, 80}, {500, 250}, {630, 250}}));

    // A minimum ratio of 3 with no maximum: 2.5 and above.
    EXPECT_EQ(CTQDuctSpecManager::GetAllSpec(arr, 1, 3.0, 0.0, 0, 0, db_.get()), 2);
    EXPECT_EQ(Sizes(arr), (SizeList{{320, 80}, {630, 250}}));

    // A rectangular duct is sized by its height.
    EXPECT_EQ(CTQDuctSpecManager::GetAllSpec(arr, 1, 0.0, 0.0, 250, 0, db_.get()), 3);
    EXPECT_EQ(Sizes(arr), (SizeList{{250, 500}, {500, 250}, {630, 250}}));
    EXPECT_EQ(CTQDuctSpecManager::GetAllSpec(arr, 1, 0.0, 0.0, 0, 160, db_.get()), 2);
    EXPECT_EQ(Sizes(arr), (SizeList{{160, 160}, {320, 80}}));
    EXPECT_EQ(CTQDuctSpecManager::GetAllSpec(arr, 1, 0.0, 0.0, 160, 250, db_.get()), 3);
    EXPECT_EQ(Sizes(arr), (SizeList{{160, 160}, {500, 250}, {630, 250}}));

    // A circular duct by its diameter, and it ignores the ratios.
    EXPECT_EQ(CTQDuctSpecManager::GetAllSpec(arr, 0, 5.0, 6.0, 100, 0, db_.get()), 2);
    EXPECT_EQ(Sizes(arr), (SizeList{{100, 0}, {160, 0}}));
    EXPECT_EQ(CTQDuctSpecManager::GetAllSpec(arr, 0, 0.0, 0.0, 0, 100, db_.get()), 2);
    EXPECT_EQ(Sizes(arr), (SizeList{{80, 0}, {100, 0}}));
    EXPECT_EQ(CTQDuctSpecManager::GetAllSpec(arr, 0, 0.0, 0.0, 90, 150, db_.get()), 1);
    EXPECT_EQ(Sizes(arr), (SizeList{{100, 0}}));

    // A query that cannot run: -1, the list is kept.
    Sql("drop table DuctSpec");
    EXPECT_EQ(CTQDuctSpecManager::GetAllSpec(arr, 0, 0.0, 0.0, 0, 0, db_.get()), -1);
    EXPECT_EQ(Sizes(arr), (SizeList{{100, 0}}));
}

TEST_F(DuctSpecTest, DefaultConnectionAndNoConnection) {
    InsertDuct(0, 100, 0);
    RVN::SetRVNBaseDataBase(db_.get());
    CTQArray<CTQDuctSpec> arr;
    EXPECT_EQ(CTQDuctSpecManager::GetAllSpec(arr, 0), 1);
    EXPECT_EQ(CTQDuctSpecManager::GetAllSpec(arr, 0, 0.0, 0.0, 0, 0), 1);
    CTQDuctSpec d = Duct(0, 125, 0);
    EXPECT_TRUE(d.Add());
    EXPECT_TRUE(d.UpdateData(d.ID, true));
    EXPECT_TRUE(d.Remove());
    EXPECT_EQ(Rows(), 1);

    RVN::SetRVNBaseDataBase(nullptr);
    ASSERT_EQ(RVN::GetRVNBaseDataBase(), nullptr);
    EXPECT_EQ(CTQDuctSpecManager::GetAllSpec(arr, 0), 0);
    EXPECT_EQ(CTQDuctSpecManager::GetAllSpec(arr, 0, 0.0, 0.0, 0, 0), 0);
    EXPECT_EQ(arr.GetSize(), 1); // untouched
    CTQDuctSpec e = Duct(0, 160, 0);
    EXPECT_FALSE(e.Add());
    EXPECT_EQ(e.ID, -1);
    EXPECT_FALSE(e.UpdateData(1, true));
    EXPECT_FALSE(e.Remove());
    EXPECT_FALSE(CTQDuctSpec::Delete(1));
    EXPECT_EQ(Rows(), 1);
}

TEST_F(DuctSpecTest, FailedRowWriteIsReportedAndStoresNothing) {
    FILE_CATALOG_ONLY();
    Sql("create trigger refuse_duct before insert on DuctSpec begin select raise(abort, "
        "'refused'); end");
    CTQDuctSpec d = Duct(1, 500, 250);
    d.ID = 12;
    EXPECT_FALSE(d.Add(db_.get()));
    EXPECT_EQ(d.ID, 12);
    EXPECT_EQ(Rows(), 0);
    Sql("drop trigger refuse_duct");
    d.ID = -1;
    EXPECT_TRUE(d.Add(db_.get()));
    EXPECT_EQ(Rows(), 1);

    // A rewrite the table refuses leaves the row as it was.
    Sql("create trigger refuse_edit before update on DuctSpec begin select raise(abort, "
        "'refused'); end");
    d.Width = 630;
    EXPECT_FALSE(d.UpdateData(d.ID, false, db_.get()));
    EXPECT_EQ(SqlNumber("select WIDTH from DuctSpec"), 500);
}

TEST_F(DuctSpecTest, FailedFieldWriteStoresNoPartialRow) {
    // A table without the thickness column: the row cannot take the record.
    Sql("drop table DuctSpec; create table DuctSpec (ID integer primary key autoincrement, SEC "
        "integer, "
        "WIDTH integer, HEIGHT integer, VERSION integer)");
    CTQDuctSpec d = Duct(1, 500, 250);
    EXPECT_FALSE(d.Add(db_.get()));
    EXPECT_EQ(d.ID, -1);
    EXPECT_EQ(Rows(), 0);

    Sql("insert into DuctSpec (SEC, WIDTH, HEIGHT) values (1, 400, 200)");
    const long id = static_cast<long>(SqlNumber("select ID from DuctSpec"));
    EXPECT_FALSE(d.UpdateData(id, false, db_.get()));
    EXPECT_EQ(SqlNumber("select WIDTH from DuctSpec"), 400);
    // Reading does without the column: the other fields still arrive.
    CTQDuctSpec r;
    r.Thickness = 0.25;
    EXPECT_TRUE(r.UpdateData(id, true, db_.get()));
    EXPECT_EQ(r.Width, 400);
    EXPECT_EQ(r.Thickness, 0.25);
}

} // namespace
