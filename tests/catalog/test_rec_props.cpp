// Water and saturated-steam property rows: copies and the version member,
// exact-temperature lookups, listings in temperature order, add with its
// duplicate rule, delete, the default connection and failed row writes.
#include "CatalogFixture.h"

#include "catalog/CTQSteamProp.h"
#include "catalog/CTQWaterProp.h"
#include "catalog/CXTPPropExchange.h"
#include "catalog/RVNDataBase.h"

#include <string>
#include <vector>

namespace {

CTQWaterProp Water(int t, double density, double viscosity, double heat) {
    CTQWaterProp w;
    w.Temperature = t;
    w.Density = density;
    w.Viscosity = viscosity;
    w.SpecificHeat = heat;
    return w;
}

CTQSteamProp Steam(int t, double pressure, double density, double qhr, double heat,
                   double viscosity) {
    CTQSteamProp s;
    s.Temperature = t;
    s.Pressure = pressure;
    s.Density = density;
    s.Qhr = qhr;
    s.SpecificHeat = heat;
    s.Viscosity = viscosity;
    return s;
}

template <class T> std::vector<int> Temperatures(const CTQArray<T>& arr) {
    std::vector<int> out;
    for (typename CTQArray<T>::INT_PTR i = 0; i < arr.GetSize(); ++i) {
        out.push_back(arr[i].Temperature);
    }
    return out;
}

class PropTableTest : public CatalogTest {
protected:
    void TearDown() override {
        // Back to "no default connection, nothing borrowed" for the next test.
        RVN::SetRVNBaseDataBase(nullptr);
        if (RVN::LoadRVNBaseDataBase(Path().c_str())) {
            RVN::CloseRVNBaseDataBase();
        }
        CatalogTest::TearDown();
    }

    long long Rows(const std::string& table) { return SqlNumber("select count(*) from " + table); }
};

TEST(PropRecord, DefaultsComparisonsCopiesAndVersion) {
    const CTQWaterProp w;
    EXPECT_EQ(w.ID, -1);
    EXPECT_EQ(w.Temperature, -1);
    EXPECT_EQ(w.Density, 0.0);
    EXPECT_EQ(w.Viscosity, 0.0);
    EXPECT_EQ(w.SpecificHeat, 0.0);
    EXPECT_EQ(w.GetVersion(), 0);
    const CTQSteamProp s;
    EXPECT_EQ(s.GetID(), -1);
    EXPECT_EQ(s.Temperature, 100);
    EXPECT_EQ(s.Pressure, 0.0);
    EXPECT_EQ(s.Density, 0.0);
    EXPECT_EQ(s.Qhr, 0.0);
    EXPECT_EQ(s.SpecificHeat, 0.0);
    EXPECT_EQ(s.Viscosity, 0.0);
    EXPECT_EQ(s.GetVersion(), 0);

    // Only the temperature counts.
    EXPECT_TRUE(Water(20, 998.2, 1.0, 4.18) == Water(20, 1.0, 2.0, 3.0));
    EXPECT_TRUE(Water(10, 999.7, 0, 0) < Water(20, 998.2, 0, 0));
    EXPECT_TRUE(Water(30, 0, 0, 0) > Water(20, 9999, 0, 0));
    EXPECT_FALSE(Water(20, 1, 0, 0) < Water(20, 2, 0, 0));
    EXPECT_TRUE(Steam(120, 1, 2, 3, 4, 5) == Steam(120, 5, 4, 3, 2, 1));
    EXPECT_TRUE(Steam(110, 9, 9, 9, 9, 9) < Steam(120, 0, 0, 0, 0, 0));
    EXPECT_TRUE(Steam(130, 0, 0, 0, 0, 0) > Steam(120, 9, 9, 9, 9, 9));

    CTQWaterProp ws = Water(20, 998.2, 1.0, 4.18);
    ws.ID = 21;
    ws.Version = 4;
    CTQWaterProp wt;
    wt.Version = 7;
    wt = ws;
    EXPECT_EQ(wt.ID, 21);
    EXPECT_EQ(wt.Temperature, 20);
    EXPECT_EQ(wt.Density, 998.2);
    EXPECT_EQ(wt.Viscosity, 1.0);
    EXPECT_EQ(wt.SpecificHeat, 4.18);
    EXPECT_EQ(wt.GetVersion(), 7);
    const CTQWaterProp wc(ws);
    EXPECT_EQ(wc.ID, 21);
    EXPECT_EQ(wc.Density, 998.2);
    EXPECT_EQ(wc.SpecificHeat, 4.18);

    CTQSteamProp ss = Steam(150, 476.16, 2.5481, 2113.7, 2.548, 5.6);
    ss.ID = 51;
    ss.Version = 4;
    CTQSteamProp st;
    st.Version = 8;
    st = ss;
    const CTQSteamProp sc(ss);
    for (const CTQSteamProp* c : std::initializer_list<const CTQSteamProp*>{&st, &sc}) {
        EXPECT_EQ(c->ID, 51);
        EXPECT_EQ(c->Temperature, 150);
        EXPECT_EQ(c->Pressure, 476.16);
        EXPECT_EQ(c->Density, 2.5481);
        EXPECT_EQ(c->Qhr, 2113.7);
        EXPECT_EQ(c->SpecificHeat, 2.548);
        EXPECT_EQ(c->Viscosity, 5.6);
    }
    EXPECT_EQ(st.GetVersion(), 8);
    CTQSteamProp& self = st;
    st = self;
    EXPECT_EQ(st.Qhr, 2113.7);
}

TEST(PropRecord, PropExchangeRoundTripLeavesVersionOut) {
    CTQSteamProp s = Steam(180, 1002.8, 5.16, 2014.2, 2.9, 2.94);
    s.ID = 81;
    s.Version = 3;
    CXTPPropExchangeXMLNode out(false, "Steam");
    ASSERT_TRUE(out.OnBeforeExchange());
    EXPECT_TRUE(s.DoPropExchange(&out));
    const std::string xml = out.SaveToString();
    EXPECT_EQ(xml.find("Version"), std::string::npos);
    CXTPPropExchangeXMLNode in(true, "Steam");
    ASSERT_TRUE(in.LoadFromString(xml));
    ASSERT_TRUE(in.OnBeforeExchange());
    CTQSteamProp back;
    EXPECT_TRUE(back.DoPropExchange(&in));
    EXPECT_EQ(back.ID, 81);
    EXPECT_EQ(back.Temperature, 180);
    EXPECT_EQ(back.Pressure, 1002.8);
    EXPECT_EQ(back.Density, 5.16);
    EXPECT_EQ(back.Qhr, 2014.2);
    EXPECT_EQ(back.SpecificHeat, 2.9);
    EXPECT_EQ(back.Viscosity, 2.94);
    EXPECT_EQ(back.GetVersion(), 0);

    // Water rows written by another program: the keys and types are the file format.
    CXTPPropExchangeXMLNode win(true, "Water");
    ASSERT_TRUE(win.LoadFromString(R"(<Section Name="Water">
        <Value Key="ID" Type="long">5</Value><Value Key="Temperature" Type="int">4</Value>
        <Value Key="Density" Type="double">999.97</Value><Value Key="Viscosity" Type="double">1.5674</Value>
        <Value Key="SpecificHeat" Type="double">4.2048</Value><Value Key="Version" Type="int">9</Value>
        </Section>)"));
    ASSERT_TRUE(win.OnBeforeExchange());
    CTQWaterProp w;
    EXPECT_TRUE(w.DoPropExchange(&win));
    EXPECT_EQ(w.ID, 5);
    EXPECT_EQ(w.Temperature, 4);
    EXPECT_EQ(w.Density, 999.97);
    EXPECT_EQ(w.Viscosity, 1.5674);
    EXPECT_EQ(w.SpecificHeat, 4.2048);
    EXPECT_EQ(w.GetVersion(), 0);
}

TEST_F(PropTableTest, WaterAddListAndLookup) {
    for (int t : {20, 10, 30}) {
        CTQWaterProp w = Water(t, 1000.0 - t / 10.0, 1.8 - t / 50.0, 4.2 - t / 1000.0);
        ASSERT_TRUE(w.Add(db_.get())) << t;
        EXPECT_GT(w.ID, 0);
    }
    CTQWaterProp dup = Water(20, 1.0, 1.0, 1.0);
    EXPECT_FALSE(dup.Add(db_.get()));
    EXPECT_EQ(dup.ID, -1);
    EXPECT_EQ(Rows("WaterProp"), 3);
    EXPECT_EQ(SqlNumber("select count(*) from WaterProp where Version is null"), 3);

    CTQArray<CTQWaterProp> arr;
    arr.Add(Water(99, 0, 0, 0));
    EXPECT_EQ(RVN::GetAllWaterProp(arr, db_.get()), 3);
    EXPECT_EQ(Temperatures(arr), (std::vector<int>{10, 20, 30}));
    EXPECT_EQ(arr[1].Density, 998.0);
    EXPECT_EQ(arr[1].Viscosity, 1.8 - 20 / 50.0);
    EXPECT_EQ(arr[1].SpecificHeat, 4.2 - 20 / 1000.0);

    CTQWaterProp found;
    EXPECT_EQ(RVN::GetWaterProp(found, 30, db_.get()), 997.0);
    EXPECT_EQ(found.Temperature, 30);
    EXPECT_EQ(found.Viscosity, 1.8 - 30 / 50.0);
    EXPECT_EQ(found.SpecificHeat, 4.2 - 30 / 1000.0);
    EXPECT_EQ(found.ID, arr[2].ID);

    // An absent temperature leaves the record as it was: its density comes back.
    EXPECT_EQ(RVN::GetWaterProp(found, 25, db_.get()), 997.0);
    EXPECT_EQ(found.Temperature, 30);
    CTQWaterProp marker;
    EXPECT_EQ(RVN::GetWaterProp(marker, 25, db_.get()), 0.0);
    EXPECT_EQ(marker.Temperature, -1);

    // Tables that cannot be queried.
    Sql("drop table WaterProp");
    EXPECT_EQ(RVN::GetWaterProp(found, 30, db_.get()), 0.0);
    EXPECT_EQ(found.Temperature, 30);
    EXPECT_EQ(RVN::GetAllWaterProp(arr, db_.get()), 0);
    EXPECT_EQ(arr.GetSize(), 0);
}

TEST_F(PropTableTest, SteamAddListAndLookup) {
    CTQSteamProp a = Steam(120, 198.67, 1.1219, 2202.1, 2.2, 11.5);
    CTQSteamProp b = Steam(100, 101.42, 0.5982, 2256.4, 2.08, 20.4);
    ASSERT_TRUE(a.Add(db_.get()));
    ASSERT_TRUE(b.Add(db_.get()));
    EXPECT_NE(a.ID, b.ID);
    EXPECT_EQ(
        SqlNumber(
            "select count(*) from SteamProp where Temperature = 120 and Pressure = 198.67 and "
            "Density = 1.1219 and Qhr = 2202.1 and SpecificHeat = 2.2 and Viscosity = 11.5"),
        1);

    CTQSteamProp dup = Steam(100, 1, 1, 1, 1, 1);
    dup.ID = 33;
    EXPECT_FALSE(dup.Add(db_.get()));
    EXPECT_EQ(dup.ID, 33);
    EXPECT_EQ(Rows("SteamProp"), 2);

    CTQArray<CTQSteamProp> arr;
    EXPECT_EQ(RVN::GetAllSteamProp(arr, db_.get()), 2);
    EXPECT_EQ(Temperatures(arr), (std::vector<int>{100, 120}));
    EXPECT_EQ(arr[0].ID, b.ID);
    EXPECT_EQ(arr[0].Pressure, 101.42);
    EXPECT_EQ(arr[0].Qhr, 2256.4);

    CTQSteamProp s;
    EXPECT_EQ(RVN::GetSteamProp(s, 120, db_.get()), 1.1219);
    EXPECT_EQ(s.ID, a.ID);
    EXPECT_EQ(s.Pressure, 198.67);
    EXPECT_EQ(s.Qhr, 2202.1);
    EXPECT_EQ(s.SpecificHeat, 2.2);
    EXPECT_EQ(s.Viscosity, 11.5);
    EXPECT_EQ(RVN::GetSteamProp(s, 121, db_.get()), 1.1219);
    EXPECT_EQ(s.Temperature, 120);
}

TEST_F(PropTableTest, UpdateByIdKeepsVersionColumn) {
    Sql("insert into WaterProp (Temperature, Density, Viscosity, SpecificHeat, Version) values "
        "(40, 992.2, 0.658, "
        "4.179, 3)");
    Sql("insert into SteamProp (Temperature, Pressure, Density, Qhr, SpecificHeat, Viscosity, "
        "Version) values (200, "
        "1554.9, 7.86, 1939.7, 3.2, 2.0, 6)");
    const long wid = static_cast<long>(SqlNumber("select ID from WaterProp"));
    const long sid = static_cast<long>(SqlNumber("select ID from SteamProp"));

    CTQWaterProp w;
    ASSERT_TRUE(w.UpdateData(wid, true, db_.get()));
    EXPECT_EQ(w.Temperature, 40);
    EXPECT_EQ(w.Density, 992.2);
    EXPECT_EQ(w.GetVersion(), 0); // the column is not read
    w.Temperature = 41;
    w.Density = 991.8;
    w.Version = 12;
    ASSERT_TRUE(w.UpdateData(wid, false, db_.get()));
    EXPECT_EQ(
        SqlNumber("select count(*) from WaterProp where Temperature = 41 and Density = 991.8 and "
                  "Viscosity = 0.658 and Version = 3"),
        1);

    CTQSteamProp s;
    ASSERT_TRUE(s.UpdateData(sid, true, db_.get()));
    EXPECT_EQ(s.Temperature, 200);
    EXPECT_EQ(s.Pressure, 1554.9);
    EXPECT_EQ(s.Qhr, 1939.7);
    s.Pressure = 1555.0;
    s.Qhr = 1940.0;
    ASSERT_TRUE(s.UpdateData(sid, false, db_.get()));
    EXPECT_EQ(SqlNumber("select count(*) from SteamProp where Pressure = 1555.0 and Qhr = 1940.0 "
                        "and Version = 6"),
              1);

    EXPECT_FALSE(w.UpdateData(wid + 50, true, db_.get()));
    EXPECT_FALSE(s.UpdateData(sid + 50, false, db_.get()));
    EXPECT_FALSE(w.UpdateData(nullptr, true));
    EXPECT_FALSE(s.UpdateData(nullptr, false));
}

TEST_F(PropTableTest, DeleteAndRemove) {
    CTQWaterProp w = Water(50, 988.0, 0.553, 4.181);
    CTQSteamProp s = Steam(110, 143.4, 0.8265, 2229.6, 2.13, 15.3);
    ASSERT_TRUE(w.Add(db_.get()));
    ASSERT_TRUE(s.Add(db_.get()));
    EXPECT_TRUE(CTQWaterProp::Delete(w.ID, db_.get()));
    EXPECT_TRUE(s.Remove(db_.get()));
    EXPECT_EQ(Rows("WaterProp"), 0);
    EXPECT_EQ(Rows("SteamProp"), 0);

    // Delete(-1) needs no database at all; Remove of an unstored record runs its delete.
    Sql("drop table WaterProp; drop table SteamProp");
    EXPECT_TRUE(CTQWaterProp::Delete(-1, db_.get()));
    EXPECT_TRUE(CTQSteamProp::Delete(-1, db_.get()));
    EXPECT_FALSE(CTQWaterProp::Delete(1, db_.get()));
    CTQWaterProp unstoredW;
    CTQSteamProp unstoredS;
    EXPECT_FALSE(unstoredW.Remove(db_.get()));
    EXPECT_FALSE(unstoredS.Remove(db_.get()));
}

TEST_F(PropTableTest, DefaultConnectionAndNoConnection) {
    RVN::SetRVNBaseDataBase(db_.get());
    CTQWaterProp w = Water(60, 983.2, 0.474, 4.185);
    CTQSteamProp s = Steam(130, 270.28, 1.4967, 2173.7, 2.28, 8.7);
    EXPECT_TRUE(w.Add());
    EXPECT_TRUE(s.Add());
    CTQWaterProp wf;
    CTQSteamProp sf;
    EXPECT_EQ(RVN::GetWaterProp(wf, 60), 983.2);
    EXPECT_EQ(RVN::GetSteamProp(sf, 130), 1.4967);
    CTQArray<CTQWaterProp> wa;
    CTQArray<CTQSteamProp> sa;
    EXPECT_EQ(RVN::GetAllWaterProp(wa), 1);
    EXPECT_EQ(RVN::GetAllSteamProp(sa), 1);
    CTQWaterProp unstored;
    EXPECT_TRUE(unstored.Remove()); // matches no row
    EXPECT_EQ(Rows("WaterProp"), 1);

    RVN::SetRVNBaseDataBase(nullptr);
    ASSERT_EQ(RVN::GetRVNBaseDataBase(), nullptr);
    CTQWaterProp w2 = Water(70, 977.8, 0.413, 4.19);
    EXPECT_FALSE(w2.Add());
    EXPECT_EQ(w2.ID, -1);
    EXPECT_FALSE(CTQSteamProp(s).Add());
    EXPECT_FALSE(w.UpdateData(w.ID, true));
    EXPECT_FALSE(s.UpdateData(s.ID, false));
    EXPECT_FALSE(w.Remove());
    EXPECT_FALSE(CTQSteamProp::Delete(s.ID));
    EXPECT_TRUE(CTQSteamProp::Delete(-1));
    EXPECT_EQ(RVN::GetWaterProp(w2, 60), -1.0);
    EXPECT_EQ(w2.Temperature, 70);
    EXPECT_EQ(RVN::GetSteamProp(sf, 130), -1.0);
    EXPECT_EQ(RVN::GetAllWaterProp(wa), -1);
    EXPECT_EQ(RVN::GetAllSteamProp(sa), -1);
    EXPECT_EQ(wa.GetSize(), 1);
    EXPECT_EQ(sa.GetSize(), 1);
    EXPECT_EQ(Rows("WaterProp"), 1);
    EXPECT_EQ(Rows("SteamProp"), 1);
}

TEST_F(PropTableTest, FailedRowWriteIsReportedAndStoresNothing) {
    FILE_CATALOG_ONLY();
    Sql("create trigger refuse_water before insert on WaterProp begin select raise(abort, "
        "'refused'); end");
    CTQWaterProp w = Water(80, 971.8, 0.364, 4.197);
    EXPECT_FALSE(w.Add(db_.get()));
    EXPECT_EQ(w.ID, -1);
    EXPECT_EQ(Rows("WaterProp"), 0);

    // A steam table without the latent-heat column cannot take the record.
    Sql("drop table SteamProp; create table SteamProp (ID integer primary key autoincrement, "
        "Temperature "
        "integer, Pressure real, Density real, SpecificHeat real, Viscosity real, Version "
        "integer)");
    CTQSteamProp s = Steam(140, 361.5, 1.9654, 2144.8, 2.38, 7.0);
    s.ID = 5;
    EXPECT_FALSE(s.Add(db_.get()));
    EXPECT_EQ(s.ID, 5);
    EXPECT_EQ(Rows("SteamProp"), 0);
    // Reading does without it.
    Sql("insert into SteamProp (Temperature, Pressure, Density) values (140, 361.5, 1.9654)");
    CTQSteamProp r;
    r.Qhr = -7.0;
    EXPECT_EQ(RVN::GetSteamProp(r, 140, db_.get()), 1.9654);
    EXPECT_EQ(r.Pressure, 361.5);
    EXPECT_EQ(r.Qhr, -7.0);

    // A rewrite the table refuses is reported.
    Sql("drop trigger refuse_water");
    Sql("insert into WaterProp (Temperature, Density) values (90, 965.3)");
    Sql("create trigger refuse_edit before update on WaterProp begin select raise(abort, "
        "'refused'); end");
    CTQWaterProp u;
    const long id = static_cast<long>(SqlNumber("select ID from WaterProp"));
    ASSERT_TRUE(u.UpdateData(id, true, db_.get()));
    u.Density = 1.0;
    EXPECT_FALSE(u.UpdateData(id, false, db_.get()));
    EXPECT_EQ(SqlNumber("select count(*) from WaterProp where Density = 965.3"), 1);
}

} // namespace
