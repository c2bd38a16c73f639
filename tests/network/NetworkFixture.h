// Networks for the network-layer tests, on the design tests' catalog held in
// memory (steel 钢管 DN15..DN300 with Rm range 60..120 Pa/m, K 0.2 mm).
#pragma once

#include "../design/DesignFixture.h"

#include <sstream>
#include <string>

namespace networktest {

inline RVN::CTQNetworkSegment Segment(const std::string& id, const std::string& from,
                                      const std::string& to, double length, int dn = 0) {
    RVN::CTQNetworkSegment s;
    s.id = id;
    s.from = from;
    s.to = to;
    s.length = length;
    s.dn = dn;
    return s;
}

inline RVN::CTQNetworkTerminal Radiator(const std::string& node, double load) {
    RVN::CTQNetworkTerminal t;
    t.node = node;
    t.heatLoad = load;
    return t;
}

// A heating network of steel, 70 degC supply at 20 K (water at 60 degC).
inline RVN::CTQNetwork Heating() {
    RVN::CTQNetwork n;
    n.settings.source = "S";
    n.settings.supplyTemperature = 70;
    n.settings.deltaT = 20;
    n.settings.material = "钢管";
    return n;
}

inline RVN::CTQNetworkResult Computed(const RVN::CTQNetwork& net) {
    const auto o = RVN::ComputeNetwork(*designtest::Catalog(), net);
    EXPECT_TRUE(o.Ok()) << (o.errors.empty() ? "" : o.errors[0].Text());
    return o.value;
}

inline RVN::CTQNetworkOutcome<RVN::CTQNetwork> FromCsv(const std::string& text) {
    std::istringstream in(text);
    return RVN::ReadNetworkCsv(in);
}

inline RVN::CTQNetworkOutcome<RVN::CTQNetwork> FromJson(const std::string& text) {
    std::istringstream in(text);
    return RVN::ReadNetworkJson(in);
}

} // namespace networktest
