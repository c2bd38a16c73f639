// The circuits of a sized network: the loss from the source to each
// terminal, the index circuit and the pump, what each balancing valve must
// take, the imbalance at each tee, and the balancing by pipe size.
#include "calc/RVNCalc.h"
#include "db/NumberText.h"
#include "design/SegmentDesign.h"
#include "network/NetworkInternal.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace RVN::detail {

namespace {

/// Standard gravity, m/s2.
constexpr double kGravity = 9.80665;
/// A surplus below 1 Pa is no balancing task: no valve is asked for.
constexpr double kNoValveBelow = 1.0;
constexpr double kNone = -std::numeric_limits<double>::infinity();

std::string Num(double v) {
    return FormatSignificant(v, 4);
}

// Per node: the loss from the source (segments, and for water supply the
// static lift to the node's height), whether every segment on the way was
// sized, and the height over the source.
struct NodeState {
    std::vector<double> head, height;
    std::vector<char> complete;
};

NodeState WalkFromSource(const CTQNetwork& net, const Topology& topo, const CTQNetworkResult& res) {
    const std::size_t n = topo.nodes.size();
    NodeState st{std::vector<double>(n, 0.0), std::vector<double>(n, 0.0), std::vector<char>(n, 1)};
    for (int s : topo.order) {
        const int u = topo.from[s], v = topo.to[s];
        const CTQNetworkSegmentResult& sr = res.segments[s];
        st.head[v] = st.head[u] + (sr.sized ? sr.size.totalLoss : 0.0);
        st.complete[v] = st.complete[u] && sr.sized;
        st.height[v] = st.height[u] + net.segments[s].rise;
    }
    if (net.settings.kind == TQNetworkKind::WaterSupply) {
        // An open system lifts its water to each outlet: rho g h.
        const double rhoG = GetWaterMD(res.waterTemperature) * kGravity;
        for (std::size_t k = 0; k < n; ++k)
            st.head[k] += rhoG * st.height[k];
    }
    return st;
}

void Terminals(const CTQNetwork& net, const Topology& topo, const NodeState& st,
               CTQNetworkResult& res) {
    const bool supply = net.settings.kind == TQNetworkKind::WaterSupply;
    const double rhoG = GetWaterMD(res.waterTemperature) * kGravity;
    double worst = kNone;
    for (int n = 0; n < int(topo.nodes.size()); ++n) {
        const int t = topo.terminalAt[n];
        if (t < 0)
            continue;
        CTQNetworkTerminalResult& tr = res.terminals[t];
        tr.height = st.height[n];
        tr.staticLift = supply ? rhoG * st.height[n] : 0.0;
        tr.pathLoss = st.head[n] + tr.unitLoss;
        tr.complete = st.complete[n] != 0;
        tr.index = false;
        tr.path.clear();
        for (int s = topo.feeder[n]; s >= 0; s = topo.feeder[topo.from[s]])
            tr.path.push_back(s);
        std::reverse(tr.path.begin(), tr.path.end());
        if (tr.complete && tr.pathLoss > worst) {
            worst = tr.pathLoss;
            res.indexTerminal = t;
        }
    }
    for (CTQNetworkTerminalResult& tr : res.terminals) {
        tr.surplus = tr.complete && res.indexTerminal >= 0 ? worst - tr.pathLoss : kNotGiven;
        tr.valveKv = tr.surplus >= kNoValveBelow ? ValveKv(tr.volumeFlow, tr.surplus) : kNotGiven;
        if (!tr.complete)
            res.warnings.push_back("the circuit to node " + tr.node +
                                   " holds a segment that could not be sized");
    }
}

void Tees(const CTQNetwork& net, const Topology& topo, const NodeState& st, CTQNetworkResult& res) {
    // The most demanding complete circuit below each node.
    std::vector<double> below(topo.nodes.size(), kNone);
    for (int n = 0; n < int(topo.nodes.size()); ++n)
        if (topo.terminalAt[n] >= 0 && res.terminals[topo.terminalAt[n]].complete)
            below[n] = res.terminals[topo.terminalAt[n]].pathLoss;
    for (auto it = topo.order.rbegin(); it != topo.order.rend(); ++it)
        below[topo.from[*it]] = std::max(below[topo.from[*it]], below[topo.to[*it]]);
    for (int n = 0; n < int(topo.nodes.size()); ++n) {
        if (topo.childStart[n + 1] - topo.childStart[n] < 2)
            continue;
        CTQNetworkTee tee;
        tee.node = topo.nodes[n];
        double most = kNone, least = std::numeric_limits<double>::infinity();
        for (int c = topo.childStart[n]; c < topo.childStart[n + 1]; ++c) {
            const int s = topo.child[c];
            if (below[topo.to[s]] == kNone)
                continue;
            CTQNetworkBranch b;
            b.segment = net.segments[s].id;
            b.loss = below[topo.to[s]] - st.head[n];
            b.volumeFlow = res.segments[s].volumeFlow;
            most = std::max(most, b.loss);
            least = std::min(least, b.loss);
            tee.branches.push_back(std::move(b));
        }
        if (tee.branches.size() < 2)
            continue;
        for (CTQNetworkBranch& b : tee.branches) {
            b.surplus = most - b.loss;
            b.valveKv = b.surplus >= kNoValveBelow ? ValveKv(b.volumeFlow, b.surplus) : kNotGiven;
        }
        tee.imbalance = most > 0 ? (most - least) / most * 100.0 : 0.0;
        tee.overLimit = tee.imbalance > net.settings.imbalanceLimit;
        res.tees.push_back(std::move(tee));
    }
}

} // namespace

void WorkOutCircuits(const CTQNetwork& net, const Topology& topo, CTQNetworkResult& res) {
    res.indexTerminal = -1;
    res.indexPath.clear();
    res.tees.clear();
    res.warnings.erase(std::remove_if(res.warnings.begin(), res.warnings.end(),
                                      [](const std::string& w) {
                                          return w.rfind("the circuit to node ", 0) == 0;
                                      }),
                       res.warnings.end());
    for (CTQNetworkSegmentResult& sr : res.segments)
        sr.onIndexCircuit = false;
    const NodeState st = WalkFromSource(net, topo, res);
    Terminals(net, topo, st, res);
    Tees(net, topo, st, res);
    if (res.indexTerminal < 0) {
        res.indexLoss = res.pumpHead = kNotGiven;
        res.warnings.push_back("no circuit from the source to a terminal could be worked out");
        return;
    }
    CTQNetworkTerminalResult& index = res.terminals[res.indexTerminal];
    index.index = true;
    res.indexPath = index.path;
    for (int s : res.indexPath)
        res.segments[s].onIndexCircuit = true;
    res.indexLoss = index.pathLoss + net.settings.plantLoss;
    res.pumpHead = res.indexLoss * (1.0 + net.settings.margin / 100.0);
}

namespace {

// Whether a size keeps within its catalog limits at the segment's flow: Rm
// at most MaxR and velocity at most MaxV (where stated).
bool WithinLimits(const CTQPipeSpec& spec, const CTQSegmentResult& row) {
    return !(spec.MaxR > 0 && row.rm > spec.MaxR) && !(spec.MaxV > 0 && row.velocity > spec.MaxV);
}

// The smallest size below the segment's own, taken a size at a time, that
// keeps within its limits and adds no more loss than `slack`; false when
// the next smaller size already breaks one.
bool SmallerSize(const CTQCatalogSnapshot& catalog, CTQSegmentRequest rq,
                 const CTQSegmentResult& current, double slack, CTQSegmentResult& out) {
    const CTQArray<CTQPipeSpec>& sizes = catalog.Sizes(current.materialId);
    int at = -1;
    for (int k = 0; k < sizes.GetSize(); ++k)
        if (sizes[k].DN == current.dn)
            at = k;
    bool found = false;
    for (int k = at - 1; k >= 0; --k) {
        rq.dn = sizes[k].DN;
        auto r = SizeSegment(catalog, rq);
        if (!r.Ok() || !WithinLimits(sizes[k], r.value) ||
            r.value.totalLoss - current.totalLoss > slack)
            break;
        out = std::move(r.value);
        found = true;
    }
    return found;
}

} // namespace

void BalanceBySize(const CTQCatalogSnapshot& catalog, const CTQNetwork& net, const Topology& topo,
                   CTQNetworkResult& res) {
    const std::size_t n = topo.nodes.size();
    // The least surplus of the circuits below each node, and the loss added
    // so far on the way from the source to it.
    std::vector<double> least(n, std::numeric_limits<double>::infinity()), added(n, 0.0);
    for (std::size_t k = 0; k < n; ++k)
        if (topo.terminalAt[k] >= 0 && res.terminals[topo.terminalAt[k]].complete)
            least[k] = res.terminals[topo.terminalAt[k]].surplus;
    for (auto it = topo.order.rbegin(); it != topo.order.rend(); ++it)
        least[topo.from[*it]] = std::min(least[topo.from[*it]], least[topo.to[*it]]);
    for (int s : topo.order) {
        const int u = topo.from[s], v = topo.to[s];
        added[v] = added[u];
        CTQNetworkSegmentResult& sr = res.segments[s];
        const double slack = least[v] - added[u];
        if (!sr.sized || sr.onIndexCircuit || net.segments[s].dn != 0 ||
            !(slack >= kNoValveBelow) || !std::isfinite(slack))
            continue;
        CTQSegmentRequest rq = SegmentRequest(net, topo, s, sr.massFlow, res.waterTemperature);
        rq.by = TQSelection::Rm;
        CTQSegmentResult row;
        if (!SmallerSize(catalog, rq, sr.size, slack, row))
            continue;
        res.balanceChanges.push_back({sr.id, sr.size.dn, row.dn, sr.size.totalLoss, row.totalLoss});
        added[v] = added[u] + row.totalLoss - sr.size.totalLoss;
        sr.dnBeforeBalance = sr.size.dn;
        row.fixedSize = false;
        sr.size = std::move(row);
        sr.warnings = sr.size.warnings;
        sr.warnings.push_back("re-sized from " + sr.size.sizeMark +
                              FormatInteger(sr.dnBeforeBalance) + " to " + sr.size.sizeMark +
                              FormatInteger(sr.size.dn) + " to balance its circuits (" +
                              Num(sr.size.rm) + " Pa/m, " + Num(sr.size.velocity) + " m/s)");
    }
    WorkOutCircuits(net, topo, res);
}

} // namespace RVN::detail
