// A host program that uses the installed library through its umbrella
// header: a friction factor, and a two-radiator heating network sized on a
// catalog the host holds in memory.
#include <TQRVNBase.h>

#include <cstdio>

namespace {

CTQPipeSpec Size(int dn, double insD) {
    CTQPipeSpec s;
    s.MatlID = 1;
    s.DN = dn;
    s.InsD = insD;
    s.OutD = insD + 5;
    s.MinR = 60;
    s.MaxR = 120;
    s.MaxV = 3;
    return s;
}

// 0 when the network layer sized the network and found its index circuit.
int SizeNetwork() {
    CTQPipeMatl steel;
    steel.ID = 1;
    steel.Type = 1;
    steel.Name = "steel";
    steel.K = 0.2;
    const auto catalog = CTQCatalogSnapshot::FromRecords(
        {steel}, {Size(15, 15.7), Size(20, 21.3), Size(25, 27.3)}, {}, {});
    RVN::CTQNetwork net;
    net.settings.source = "B";
    net.settings.supplyTemperature = 80;
    net.settings.deltaT = 20;
    const char* rows[][3] = {{"M", "B", "A"}, {"L", "A", "T1"}, {"R", "A", "T2"}};
    for (const auto& row : rows) {
        RVN::CTQNetworkSegment s;
        s.id = row[0];
        s.from = row[1];
        s.to = row[2];
        s.length = 10;
        net.segments.push_back(s);
    }
    for (const char* node : {"T1", "T2"}) {
        RVN::CTQNetworkTerminal t;
        t.node = node;
        t.heatLoad = 3000;
        net.terminals.push_back(t);
    }
    const auto o = RVN::ComputeNetwork(*catalog, net);
    if (!o.Ok()) {
        std::printf("network error: %s\n", o.errors[0].Text().c_str());
        return 1;
    }
    std::printf("network=%d kPa\n", int(o.value.pumpHead / 1000));
    return o.value.indexTerminal >= 0 && o.value.pumpHead > 10000 ? 0 : 1;
}

} // namespace

int main() {
    const double lambda = RVN::GetLmd(100000, 0.001);
    std::printf("lambda=%.6f\n", lambda);
    const int network = SizeNetwork();
    return lambda > 0.0 && lambda < 0.05 && network == 0 ? 0 : 1;
}
