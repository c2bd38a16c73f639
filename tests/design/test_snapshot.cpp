// The catalog read once: what it holds, how it finds things, and that a
// table it cannot read is an error, never an empty table.
#include "../catalog/CatalogFixture.h"

#include <TQRVNBase.h>

#include <gtest/gtest.h>

using RVN::TQDesignErrorKind;

class Snapshot : public CatalogTest {
protected:
    void SetUp() override
    {
        CatalogTest::SetUp();
        Sql("INSERT INTO Material (ID, Type, Name, K, Mark) VALUES (2, 1, 'Z管', 0.2, 'DN'), (5, 1, 'A管', 0.1, 'DN'),"
            " (7, 2, 'PE', 0.01, 'dn');"
            "INSERT INTO PipeSpec (MatlID, DN, InsD, OutD, Thickness) VALUES (2, 50, 53.1, 60.3, 3.6),"
            " (2, 15, 15.7, 21.3, 2.8), (5, 20, 21.3, 26.9, 2.8), (2, 25, 27.3, 33.7, 3.2);"
            "INSERT INTO PipeValve (ID, Type, ValveName, Coef, Variable) VALUES (11, 1, '闸阀', 0.5, 0),"
            " (12, 2, '闸阀', 0.9, 0), (13, 1, '止回阀（旋启）', 2.0, 0);"
            "INSERT INTO SteamProp (Temperature, Density, Viscosity) VALUES (150, 2.548, 5.49), (120, 1.121, 11.6);");
    }

    CTQCatalogSnapshot::Ptr Load()
    {
        const auto o = CTQCatalogSnapshot::Load(db_.get());
        EXPECT_TRUE(o.Ok()) << o.error.Text();
        return o.value;
    }
};

TEST_F(Snapshot, HoldsTheCatalogInListingOrder)
{
    const auto s = Load();
    ASSERT_NE(s, nullptr);
    ASSERT_EQ(s->Materials().size(), 3u);
    EXPECT_EQ(s->Materials()[0].Name, "A管") << "by category, then name";
    EXPECT_EQ(s->Materials()[2].Name, "PE");
    EXPECT_EQ(s->DefaultMaterial(1)->ID, 2) << "the category's first material is the one entered first";
    EXPECT_EQ(s->DefaultMaterial(3), nullptr);
    const auto& sizes = s->Sizes(2);
    ASSERT_EQ(sizes.GetSize(), 3);
    EXPECT_EQ(sizes[0].DN, 15);
    EXPECT_EQ(sizes[2].DN, 50);
    EXPECT_EQ(s->Sizes(99).GetSize(), 0);
    EXPECT_EQ(s->SteamSizes(2)[2].MaxV, 35) << "steam limits in place of the water ones";
    EXPECT_EQ(s->SteamRow(120)->Density, 1.121);
    EXPECT_EQ(s->SteamRow(121), nullptr);
    EXPECT_EQ(s->SteamRows().front().Temperature, 120);
}

TEST_F(Snapshot, FindsByNameFullWidthNameAndId)
{
    const auto s = Load();
    EXPECT_EQ(s->FindMaterial("A管")->ID, 5);
    EXPECT_EQ(s->FindMaterial("Ａ管")->ID, 5) << "full-width letters read as ASCII";
    EXPECT_EQ(s->FindMaterial("7")->Name, "PE");
    EXPECT_EQ(s->FindMaterial("８"), nullptr);
    EXPECT_EQ(s->FindValve(1, "闸阀")->ID, 11);
    EXPECT_EQ(s->FindValve(2, "闸阀")->ID, 12);
    EXPECT_EQ(s->FindValve(1, "止回阀(旋启)")->ID, 13) << "ASCII brackets find full-width ones";
    EXPECT_EQ(s->FindValve(1, "12"), nullptr) << "an ID of the other kind";
    EXPECT_EQ(s->FindValve(2, "12")->ValveName, "闸阀");
}

TEST_F(Snapshot, DoesNotFollowLaterChanges)
{
    const auto s = Load();
    Sql("INSERT INTO PipeSpec (MatlID, DN, InsD) VALUES (2, 32, 35.4); DELETE FROM Material WHERE ID = 5");
    EXPECT_EQ(s->Sizes(2).GetSize(), 3);
    EXPECT_NE(s->FindMaterial("A管"), nullptr);
    EXPECT_EQ(Load()->Sizes(2).GetSize(), 4);
}

TEST_F(Snapshot, UnreadableTableIsAnErrorNamingIt)
{
    Sql("DROP TABLE PipeSpec");
    const auto o = CTQCatalogSnapshot::Load(db_.get());
    ASSERT_FALSE(o.Ok());
    EXPECT_EQ(o.error.kind, TQDesignErrorKind::Catalog);
    EXPECT_EQ(o.error.field, "PipeSpec");
    EXPECT_NE(o.error.message.find("no such table"), std::string::npos) << o.error.message;
    EXPECT_EQ(o.value, nullptr);

    RVN::CloseRVNBaseDataBase();
    const auto none = CTQCatalogSnapshot::Load(nullptr);
    EXPECT_FALSE(none.Ok());
    EXPECT_NE(none.error.message.find("no catalog is open"), std::string::npos);
}
