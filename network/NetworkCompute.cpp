// Sizing a whole network: the flow of every segment from the terminals
// downstream of it, every segment sized through the design layer, then the
// circuits worked out.
#include "calc/RVNCalc.h"
#include "db/NumberText.h"
#include "design/SegmentDesign.h"
#include "network/NetworkInternal.h"

#include <cmath>
#include <new>

namespace RVN {

namespace detail {

CTQSegmentRequest SegmentRequest(const CTQNetwork& net, const Topology& topo, int segment,
                                 double massFlow, double temperature) {
    const CTQNetworkSegment& s = net.segments[segment];
    CTQSegmentRequest rq;
    rq.id = s.id;
    rq.materialId = topo.material[segment]->ID;
    rq.temperature = temperature;
    rq.massFlow = massFlow;
    // Paired segments carry supply and return: twice the route of pipe.
    rq.length = net.settings.kind == TQNetworkKind::Heating ? 2.0 * s.length : s.length;
    rq.fittings = s.fittings;
    rq.zeta = s.zeta;
    rq.roughness = s.roughness;
    rq.dn = s.dn;
    rq.by = net.settings.by == TQNetworkSizing::Velocity ? TQSelection::Velocity : TQSelection::Rm;
    return rq;
}

} // namespace detail

namespace {

using detail::Topology;

std::string Num(double v) {
    return FormatSignificant(v, 4);
}

// The smallest size whose Rm does not exceed the target; the largest when
// none does (then marked as not fitting).
CTQDesignOutcome<CTQSegmentResult> SizeToTarget(const CTQCatalogSnapshot& catalog,
                                                const CTQSegmentRequest& rq, double targetRm) {
    CTQDesignOutcome<CTQSegmentResult> o;
    const CTQArray<CTQPipeSpec>& sizes = catalog.Sizes(rq.materialId);
    if (rq.dn != 0 || sizes.GetSize() == 0) {
        o = SizeSegment(catalog, rq);
    } else {
        // At one flow Rm falls as the size grows: the first size at or below
        // the target is found by halving the list, a handful of sizes checked.
        CTQSegmentRequest at = rq;
        int lo = 0, hi = sizes.GetSize() - 1;
        bool found = false;
        while (lo <= hi) {
            const int mid = (lo + hi) / 2;
            at.dn = sizes[mid].DN;
            auto r = SizeSegment(catalog, at);
            if (!r.Ok())
                return r;
            if (r.value.rm <= targetRm) {
                o = std::move(r);
                found = true;
                hi = mid - 1;
            } else {
                lo = mid + 1;
            }
        }
        if (!found) { // none is large enough: the largest, marked as not fitting
            at.dn = sizes[sizes.GetSize() - 1].DN;
            o = SizeSegment(catalog, at);
        }
        o.value.fixedSize = false;
    }
    if (o.Ok()) {
        o.value.criterion = o.value.rm;
        o.value.rangeMin = 0.0;
        o.value.rangeMax = targetRm;
        o.value.rangeUnit = "Pa/m";
        o.value.fits = o.value.rm <= targetRm;
    }
    return o;
}

// A warning where the size does not hold its range.  A selected size whose
// value lies below its range (the smallest size already, or the larger of
// two sizes whose ranges leave a gap) only runs with less loss than the
// range allows: no fault, no warning.
void Judge(const CTQSegmentResult& r, std::vector<std::string>& warnings) {
    if (r.fits)
        return;
    if (!r.fixedSize && r.criterion < r.rangeMin)
        return;
    const std::string value = Num(r.criterion) + " " + r.rangeUnit;
    const std::string range = Num(r.rangeMin) + " to " + Num(r.rangeMax) + " " + r.rangeUnit;
    if (r.fixedSize)
        warnings.push_back("existing size " + r.sizeMark + FormatInteger(r.dn) + ": " + value +
                           " lies outside " + range);
    else
        warnings.push_back("no size of " + r.material + " fits at this flow; the nearest, " +
                           r.sizeMark + FormatInteger(r.dn) + ", was taken (" + value + ", range " +
                           range + ")");
}

// Mass flows of the terminals and, summed towards the source, of the
// segments; the heat load carried where every terminal below gave one.
void Flows(const CTQNetwork& net, const Topology& topo, CTQNetworkResult& res) {
    const double rho = GetWaterMD(res.waterTemperature);
    const bool heating = net.settings.kind == TQNetworkKind::Heating;
    std::vector<double> mass(topo.nodes.size(), 0.0), load(topo.nodes.size(), 0.0);
    res.terminals.resize(net.terminals.size());
    for (std::size_t i = 0; i < net.terminals.size(); ++i) {
        const CTQNetworkTerminal& t = net.terminals[i];
        CTQNetworkTerminalResult& tr = res.terminals[i];
        tr.node = t.node;
        tr.heatLoad = t.heatLoad;
        tr.massFlow = std::isnan(t.heatLoad) ? t.volumeFlow * rho
                                             : GetWaterFlux(t.heatLoad, net.settings.deltaT);
        tr.volumeFlow = tr.massFlow / rho;
        if (heating && std::isnan(tr.heatLoad))
            tr.heatLoad =
                tr.massFlow / GetWaterFlux(1.0, net.settings.deltaT); // the load its flow carries
        tr.unitLoss = !std::isnan(t.unitLoss)             ? t.unitLoss
                      : t.unit == TQTerminalUnit::FanCoil ? kFanCoilLoss
                                                          : kRadiatorLoss;
    }
    for (int n = 0; n < int(topo.nodes.size()); ++n)
        if (topo.terminalAt[n] >= 0) {
            mass[n] = res.terminals[topo.terminalAt[n]].massFlow;
            load[n] = heating ? res.terminals[topo.terminalAt[n]].heatLoad : kNotGiven;
        }
    res.segments.resize(net.segments.size());
    for (auto it = topo.order.rbegin(); it != topo.order.rend(); ++it) {
        const int s = *it;
        mass[topo.from[s]] += mass[topo.to[s]];
        load[topo.from[s]] += load[topo.to[s]];
        CTQNetworkSegmentResult& sr = res.segments[s];
        sr.massFlow = mass[topo.to[s]];
        sr.volumeFlow = sr.massFlow / rho;
        sr.heatLoad = load[topo.to[s]];
    }
    res.pumpMassFlow = mass[topo.source];
    res.pumpFlow = res.pumpMassFlow / rho;
}

void SizeAll(const CTQCatalogSnapshot& catalog, const CTQNetwork& net, const Topology& topo,
             CTQNetworkResult& res) {
    for (std::size_t i = 0; i < net.segments.size(); ++i) {
        const CTQNetworkSegment& s = net.segments[i];
        CTQNetworkSegmentResult& sr = res.segments[i];
        sr.id = s.id;
        sr.from = s.from;
        sr.to = s.to;
        const CTQSegmentRequest rq =
            detail::SegmentRequest(net, topo, int(i), sr.massFlow, res.waterTemperature);
        sr.pipeLength = rq.length;
        auto o = net.settings.by == TQNetworkSizing::TargetRm
                     ? SizeToTarget(catalog, rq, net.settings.targetRm)
                     : SizeSegment(catalog, rq);
        if (!o.Ok()) {
            sr.sized = false;
            sr.error = o.error.Text();
            res.warnings.push_back("segment " + s.id + " could not be sized: " + sr.error);
            continue;
        }
        sr.sized = true;
        sr.size = std::move(o.value);
        sr.warnings = sr.size.warnings;
        Judge(sr.size, sr.warnings);
    }
}

} // namespace

CTQNetworkOutcome<CTQNetworkResult> ComputeNetwork(const CTQCatalogSnapshot& catalog,
                                                   const CTQNetwork& network) {
    CTQNetworkOutcome<CTQNetworkResult> o;
    detail::NetworkErrors errors(o.errors);
    try {
        Topology topo;
        if (!detail::CheckNetwork(catalog, network, topo, errors))
            return o;
        CTQNetworkResult& res = o.value;
        res.settings = network.settings;
        const CTQNetworkSettings& s = network.settings;
        // Paired segments carry supply and return water: their properties
        // are taken at the mean of the two temperatures.
        res.waterTemperature = s.kind == TQNetworkKind::Heating
                                   ? s.supplyTemperature - s.deltaT / 2
                                   : (std::isnan(s.supplyTemperature) ? 20.0 : s.supplyTemperature);
        Flows(network, topo, res);
        SizeAll(catalog, network, topo, res);
        detail::WorkOutCircuits(network, topo, res);
        if (s.balanceBySize)
            detail::BalanceBySize(catalog, network, topo, res);
    } catch (const std::bad_alloc&) {
        o.errors.assign(1, {0, "", "", "out of memory"});
    } catch (const std::exception& e) {
        o.errors.assign(1, {0, "", "", e.what()});
    }
    return o;
}

} // namespace RVN
