// A small catalog held in memory for the design-layer tests: every value is
// written here, so expected results can be worked out by hand from them.
#pragma once

#include <TQRVNBase.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace designtest {

// A size of a material: DN, inner and outer diameter (mm), and its ranges.
inline CTQPipeSpec Size(long matl, int dn, double insD, double outD, double minR = 60, double maxR = 120,
                        double minV = 0, double maxV = 3, double minH = 0, double maxH = 0)
{
    CTQPipeSpec s;
    static long id = 1000;
    s.ID = ++id;
    s.MatlID = matl;
    s.DN = dn;
    s.InsD = insD;
    s.OutD = outD;
    s.Thickness = (outD - insD) / 2;
    s.MinR = minR;
    s.MaxR = maxR;
    s.MinV = minV;
    s.MaxV = maxV;
    s.MinH = minH;
    s.MaxH = maxH;
    return s;
}

inline CTQPipeMatl Material(long id, int type, const std::string& name, double kMm, const std::string& comment = "")
{
    CTQPipeMatl m;
    m.ID = id;
    m.Type = type;
    m.Name = name;
    m.K = kMm;
    m.Unit = "W";
    m.Mark = type == 1 ? "DN" : "dn";
    m.Comment = comment;
    return m;
}

inline CTQPipeValve Valve(long id, int kind, const std::string& name, double coef,
                          std::vector<std::pair<int, double>> table = {})
{
    CTQPipeValve v(name, coef);
    v.ID = id;
    v.Type = kind;
    if (!table.empty()) {
        v.Variable = 1;
        for (const auto& [dn, c] : table)
            v.DnCoef.SetAt(dn, c);
    }
    return v;
}

inline CTQSteamProp Steam(int t, double density, double viscosity)
{
    CTQSteamProp s;
    s.Temperature = t;
    s.Density = density;
    s.Viscosity = viscosity;
    return s;
}

// Steel (1), copper (4, K 0.0015 mm, loads at 10 K), PE (2), PP-R (3).
// Steel's load ranges are those of a 20 K system; steel sizes DN15..DN300.
inline CTQCatalogSnapshot::Ptr Catalog()
{
    std::vector<CTQPipeMatl> m = {
        Material(1, 1, "钢管", 0.2, "负荷 W (温差 20 K)"),
        Material(2, 2, "PE管", 0.01),
        Material(3, 3, "PP-R管", 0.01),
        Material(4, 1, "铜管", 0.0015, "负荷 W (温差 10 K)"),
    };
    std::vector<CTQPipeSpec> s = {
        Size(1, 15, 15.7, 21.3, 60, 120, 0.0, 0.8, 0, 12969),
        Size(1, 20, 21.3, 26.9, 60, 120, 0.43, 1.0, 12831, 29839),
        Size(1, 25, 27.3, 33.7, 60, 120, 0.6, 1.2, 29410, 58821),
        Size(1, 32, 35.4, 42.4, 60, 120, 0.71, 1.4, 58518, 115387),
        Size(1, 50, 53.1, 60.3, 60, 120, 0.9, 2.0, 115000, 300000),
        Size(1, 100, 105.3, 114.3, 60, 120, 1.0, 2.0, 300000, 900000),
        Size(1, 300, 309.7, 323.9, 60, 120, 1.0, 2.0, 900000, 9e6),
        Size(4, 50, 51.0, 54.0), Size(4, 80, 78.0, 82.0), Size(4, 100, 100.0, 104.0),
        Size(4, 150, 150.0, 156.0),
        Size(2, 20, 16.2, 20.0), Size(2, 32, 26.2, 32.0), Size(2, 63, 51.4, 63.0),
        Size(3, 20, 14.4, 20.0), Size(3, 32, 23.2, 32.0), Size(3, 63, 45.8, 63.0),
    };
    std::vector<CTQPipeValve> v = {
        Valve(1, 1, "弯头", 0, {{15, 2.0}, {20, 2.0}, {25, 1.5}, {32, 1.5}, {50, 1.0}}),
        Valve(2, 1, "闸阀", 0.5),
        Valve(3, 2, "弯头", 1.2),
    };
    std::vector<CTQSteamProp> steam = {Steam(120, 1.121, 11.6), Steam(150, 2.548, 5.49)};
    std::vector<CTQDuctSpec> ducts;
    for (int w : {200, 250, 320, 400, 500}) {
        CTQDuctSpec d;
        d.Section = 0;
        d.Width = w;
        d.Height = 0;
        d.Thickness = 0.5;
        ducts.push_back(d);
        d.Section = 1;
        d.Height = w / 2;
        ducts.push_back(d);
    }
    return CTQCatalogSnapshot::FromRecords(m, s, v, steam, ducts);
}

// A water segment of steel: 60 degC, 25 m, 15 kW at 10 K.
inline RVN::CTQSegmentRequest Branch()
{
    RVN::CTQSegmentRequest r;
    r.material = "钢管";
    r.temperature = 60;
    r.heatLoad = 15000;
    r.deltaT = 10;
    r.length = 25;
    return r;
}

}  // namespace designtest
