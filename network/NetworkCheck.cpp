// The checks of a network as given: its settings, each segment and terminal,
// the catalog entries they name, and its shape (one tree fed from the
// source).  Every fault is an error naming its line and segment or node.
#include "db/NumberText.h"
#include "design/SegmentDesign.h"
#include "network/NetworkInternal.h"

#include <cmath>
#include <unordered_map>

namespace RVN::detail {

namespace {

std::string Num(double v) {
    return FormatNumber(v);
}
std::string Seg(const CTQNetworkSegment& s) {
    return "segment " + s.id;
}

void CheckSettings(const CTQNetworkSettings& s, NetworkErrors& errors) {
    if (s.source.empty())
        errors.Add(0, "", "source", "name the source node (a setting 'source,NODE')");
    const double t = s.supplyTemperature;
    if (s.kind == TQNetworkKind::Heating) {
        if (!(t > 0 && t <= 100))
            errors.Add(0, "", "supply",
                       std::isnan(t)
                           ? "give the supply temperature, degC"
                           : "the supply temperature " + Num(t) + " degC is outside 0 to 100");
        if (!(s.deltaT > 0) || !std::isfinite(s.deltaT))
            errors.Add(0, "", "dt",
                       std::isnan(s.deltaT)
                           ? "give the temperature difference of supply and return, K"
                           : "the temperature difference " + Num(s.deltaT) + " K must be positive");
        else if (t > 0 && s.deltaT >= t)
            errors.Add(0, "", "dt",
                       "the return temperature " + Num(t - s.deltaT) + " degC is not above 0");
    } else if (!std::isnan(t) && !(t >= 0 && t <= 100)) {
        errors.Add(0, "", "temp", "the water temperature " + Num(t) + " degC is outside 0 to 100");
    }
    if (!(s.margin >= 0 && s.margin <= 100))
        errors.Add(0, "", "margin", "the pump margin " + Num(s.margin) + " % is outside 0 to 100");
    if (!(s.imbalanceLimit > 0 && s.imbalanceLimit <= 100))
        errors.Add(0, "", "limit",
                   "the imbalance limit " + Num(s.imbalanceLimit) + " % is outside 0 to 100");
    if (!(s.targetRm > 0) || !std::isfinite(s.targetRm))
        errors.Add(0, "", "target", "the target Rm " + Num(s.targetRm) + " Pa/m must be positive");
    if (!(s.plantLoss >= 0) || !std::isfinite(s.plantLoss))
        errors.Add(0, "", "plant",
                   "the plant's pressure drop " + Num(s.plantLoss) + " Pa must be 0 or more");
}

// The material of a segment and its fittings, looked up once per name.
class CatalogNames {
public:
    CatalogNames(const CTQCatalogSnapshot& c, const CTQNetworkSettings& s) : m_catalog(c) {
        m_default =
            s.material.empty() ? c.DefaultMaterial(kCategoryWaterPipe) : c.FindMaterial(s.material);
    }
    const CTQPipeMatl* Default() const { return m_default; }
    const CTQPipeMatl* Material(const std::string& name) {
        if (name.empty())
            return m_default;
        auto it = m_materials.find(name);
        if (it == m_materials.end())
            it = m_materials.emplace(name, m_catalog.FindMaterial(name)).first;
        return it->second;
    }
    bool Fitting(int kind, const std::string& name) {
        const std::string key = FormatInteger(kind) + ":" + name;
        auto it = m_valves.find(key);
        if (it == m_valves.end())
            it = m_valves.emplace(key, m_catalog.FindValve(kind, name) != nullptr).first;
        return it->second;
    }

private:
    const CTQCatalogSnapshot& m_catalog;
    const CTQPipeMatl* m_default = nullptr;
    std::unordered_map<std::string, const CTQPipeMatl*> m_materials;
    std::unordered_map<std::string, bool> m_valves;
};

int NodeOf(const std::string& name, std::unordered_map<std::string, int>& index, Topology& topo) {
    const auto [it, added] = index.emplace(name, int(topo.nodes.size()));
    if (added)
        topo.nodes.push_back(name);
    return it->second;
}

void CheckSegment(const CTQNetwork& net, int i, CatalogNames& names, Topology& topo,
                  NetworkErrors& errors) {
    const CTQNetworkSegment& s = net.segments[i];
    const std::string who = Seg(s);
    if (s.from.empty() || s.to.empty())
        errors.Add(s.line, who, s.from.empty() ? "from" : "to", "name the node at each end");
    else if (s.from == s.to)
        errors.Add(s.line, who, "to", "the segment leads from node " + s.from + " back to itself");
    else if (s.to == net.settings.source)
        errors.Add(
            s.line, who, "to",
            "the segment leads back into the source " + s.to +
                ": a separate return pipe is not modelled; each segment carries supply and return");
    if (!(s.length > 0) || !std::isfinite(s.length))
        errors.Add(s.line, who, "length",
                   std::isnan(s.length) ? "give the length of the segment (m)"
                                        : "the length " + Num(s.length) + " m must be positive");
    if (!(s.zeta >= 0) || !std::isfinite(s.zeta))
        errors.Add(s.line, who, "zeta", "the coefficient " + Num(s.zeta) + " must be 0 or more");
    if (!std::isfinite(s.rise) || std::fabs(s.rise) > 1000)
        errors.Add(s.line, who, "rise", "the rise " + Num(s.rise) + " m is outside -1000 to 1000");
    const CTQPipeMatl* m = names.Material(s.material);
    topo.material[i] = m;
    if (m == nullptr && !s.material.empty()) {
        errors.Add(s.line, who, "material", "no material '" + s.material + "' in the catalog");
        return;
    }
    if (m == nullptr)
        return; // the network's default, reported once
    for (const CTQFittingCount& f : s.fittings)
        if (!names.Fitting(ValveKindOfCategory(m->Type), f.name))
            errors.Add(s.line, who, "fitting",
                       "no fitting '" + f.name + "' for " + m->Name + " in the catalog");
}

// Walks from every node towards the source: a walk that comes back on
// itself is a loop, one that ends elsewhere is cut off from the source.
void CheckReach(const CTQNetwork& net, Topology& topo, NetworkErrors& errors) {
    const int n = int(topo.nodes.size());
    std::vector<char> state(n,
                            0); // 0 unseen, 1 on the current walk, 2 reaches the source, 3 does not
    if (topo.source >= 0)
        state[topo.source] = 2;
    std::vector<int> walk;
    for (int start = 0; start < n && !errors.Full(); ++start) {
        walk.clear();
        int at = start;
        while (state[at] == 0) {
            state[at] = 1;
            walk.push_back(at);
            if (topo.feeder[at] < 0)
                break;
            at = topo.from[topo.feeder[at]];
        }
        char outcome = state[at] == 2 ? 2 : 3;
        if (state[at] == 1 && topo.feeder[at] >= 0) {
            const CTQNetworkSegment& s = net.segments[topo.feeder[at]];
            errors.Add(s.line, Seg(s), "",
                       "the segment is part of a loop through node " + topo.nodes[at] +
                           "; a network is a tree fed from the source");
        } else if (state[at] == 1) {
            std::string via;
            for (int k = topo.childStart[at]; k < topo.childStart[at + 1] && via.empty(); ++k)
                via = net.segments[topo.child[k]].id;
            errors.Add(0, "node " + topo.nodes[at], "",
                       "not connected to the source " + net.settings.source +
                           (via.empty() ? std::string() : " (segment " + via + " starts here)"));
        } else {
            outcome = state[at];
        }
        for (int w : walk)
            state[w] = outcome;
    }
}

void CheckTerminals(const CTQNetwork& net, Topology& topo,
                    const std::unordered_map<std::string, int>& index, NetworkErrors& errors) {
    topo.terminalAt.assign(topo.nodes.size(), -1);
    const bool heating = net.settings.kind == TQNetworkKind::Heating;
    for (int i = 0; i < int(net.terminals.size()) && !errors.Full(); ++i) {
        const CTQNetworkTerminal& t = net.terminals[i];
        const std::string who = "node " + t.node;
        const auto it = index.find(t.node);
        if (it == index.end() || it->second == topo.source) {
            errors.Add(t.line, who, "node",
                       it == index.end() ? "no segment leads to this node"
                                         : "a terminal at the source");
            continue;
        }
        if (topo.terminalAt[it->second] >= 0)
            errors.Add(t.line, who, "", "a second terminal at this node");
        topo.terminalAt[it->second] = i;
        const bool load = !std::isnan(t.heatLoad), flow = !std::isnan(t.volumeFlow);
        if (load && flow)
            errors.Add(t.line, who, "load", "give the load or the flow, not both");
        else if (!load && !flow)
            errors.Add(t.line, who, "load",
                       heating ? "the terminal has no load: give its load (W) or flow"
                               : "the terminal has no flow: give its flow (e.g. 0.2 l/s)");
        else if (load && !heating)
            errors.Add(t.line, who, "load",
                       "a water-supply terminal takes a flow, not a heat load");
        else if (!((load ? t.heatLoad : t.volumeFlow) > 0) ||
                 !std::isfinite(load ? t.heatLoad : t.volumeFlow))
            errors.Add(t.line, who, load ? "load" : "flow", "must be positive");
        if (t.unit == TQTerminalUnit::Fixed && std::isnan(t.unitLoss))
            errors.Add(t.line, who, "unitdp",
                       "a fixed unit needs its pressure drop at design flow");
        else if (!std::isnan(t.unitLoss) && (!(t.unitLoss >= 0) || !std::isfinite(t.unitLoss)))
            errors.Add(t.line, who, "unitdp",
                       "the pressure drop " + Num(t.unitLoss) + " Pa must be 0 or more");
    }
    for (int n = 0; n < int(topo.nodes.size()) && !errors.Full(); ++n)
        if (n != topo.source && topo.childStart[n] == topo.childStart[n + 1] &&
            topo.terminalAt[n] < 0 && topo.feeder[n] >= 0) {
            const CTQNetworkSegment& s = net.segments[topo.feeder[n]];
            errors.Add(s.line, "node " + topo.nodes[n], "load",
                       "the branch ends here (segment " + s.id +
                           ") without a terminal load or flow");
        }
}

void BuildChildren(Topology& topo) {
    const int n = int(topo.nodes.size());
    topo.childStart.assign(n + 1, 0);
    for (int f : topo.from)
        ++topo.childStart[f + 1];
    for (int k = 0; k < n; ++k)
        topo.childStart[k + 1] += topo.childStart[k];
    topo.child.assign(topo.from.size(), 0);
    std::vector<int> fill(topo.childStart.begin(), topo.childStart.end() - 1);
    for (int i = 0; i < int(topo.from.size()); ++i)
        topo.child[fill[topo.from[i]]++] = i;
}

// Every segment checked; the nodes numbered as they first appear.
void CheckSegments(const CTQCatalogSnapshot& catalog, const CTQNetwork& net, Topology& topo,
                   std::unordered_map<std::string, int>& index, NetworkErrors& errors) {
    CatalogNames names(catalog, net.settings);
    if (names.Default() == nullptr)
        errors.Add(0, "", "material",
                   net.settings.material.empty()
                       ? "the catalog has no water-pipe material"
                       : "no material '" + net.settings.material + "' in the catalog");
    const int count = int(net.segments.size());
    if (count == 0)
        errors.Add(0, "", "", "the network has no segments");
    std::unordered_map<std::string, int> ids;
    index.reserve(2 * count + 1);
    ids.reserve(count);
    topo.from.resize(count);
    topo.to.resize(count);
    topo.material.assign(count, nullptr);
    for (int i = 0; i < count && !errors.Full(); ++i) {
        const CTQNetworkSegment& s = net.segments[i];
        if (s.id.empty())
            errors.Add(s.line, "", "id", "the segment has no id");
        else if (!ids.emplace(s.id, i).second)
            errors.Add(s.line, Seg(s), "id",
                       "a second segment of this id (first at line " +
                           FormatInteger(net.segments[ids[s.id]].line) + ")");
        CheckSegment(net, i, names, topo, errors);
        topo.from[i] = NodeOf(s.from, index, topo);
        topo.to[i] = NodeOf(s.to, index, topo);
    }
}

// The one segment feeding each node; a second one closes a loop.
void FindFeeders(const CTQNetwork& net, Topology& topo, NetworkErrors& errors) {
    topo.feeder.assign(topo.nodes.size(), -1);
    for (int i = 0; i < int(net.segments.size()) && !errors.Full(); ++i) {
        int& f = topo.feeder[topo.to[i]];
        if (f >= 0)
            errors.Add(net.segments[i].line, Seg(net.segments[i]), "to",
                       "node " + net.segments[i].to + " is fed by segment " + net.segments[f].id +
                           " too: branches may join only on the source side, this closes a loop");
        else
            f = i;
    }
}

// Segments from the source outwards: each after the one feeding it.
void OrderFromSource(Topology& topo) {
    topo.order.clear();
    topo.order.reserve(topo.from.size());
    std::vector<int> nodes{topo.source};
    for (std::size_t k = 0; k < nodes.size(); ++k)
        for (int c = topo.childStart[nodes[k]]; c < topo.childStart[nodes[k] + 1]; ++c) {
            topo.order.push_back(topo.child[c]);
            nodes.push_back(topo.to[topo.child[c]]);
        }
}

} // namespace

bool CheckNetwork(const CTQCatalogSnapshot& catalog, const CTQNetwork& net, Topology& topo,
                  NetworkErrors& errors) {
    CheckSettings(net.settings, errors);
    std::unordered_map<std::string, int> index;
    CheckSegments(catalog, net, topo, index, errors);
    if (errors.Any())
        return false;
    const auto src = index.find(net.settings.source);
    if (src == index.end()) {
        errors.Add(0, "", "source", "no segment starts at the source node " + net.settings.source);
        return false;
    }
    topo.source = src->second;
    FindFeeders(net, topo, errors);
    BuildChildren(topo);
    if (errors.Any())
        return false;
    CheckReach(net, topo, errors);
    if (errors.Any())
        return false;
    CheckTerminals(net, topo, index, errors);
    if (errors.Any())
        return false;
    OrderFromSource(topo);
    return true;
}

} // namespace RVN::detail
