// A sized network from Python: SizeNetwork, its result as records, its
// report, files and schematic.
#include "Bindings.h"
#include "NumericFunction.h"
#include "PyCatalog.h"
#include "PyNetwork.h"
#include "PyRecords.h"

#include <pybind11/stl.h>

namespace py = pybind11;

namespace tqrvn_py {

namespace {

void BindParts(py::module_& m) {
    using S = RVN::CTQNetworkSegmentResult;
    py::class_<S> seg(m, "NetworkSegmentResult",
                      "A sized segment: heatLoad W, massFlow kg/s, volumeFlow m3/s, pipeLength m\n"
                      "(twice the route for paired heating pipes), size the design layer's\n"
                      "SegmentResult (when sized), onIndexCircuit, dnBeforeBalance.");
    BindFields(seg,
               {TQ_FIELD(S, id),
                TQ_FIELD(S, from),
                TQ_FIELD(S, to),
                TQ_FIELD(S, heatLoad),
                TQ_FIELD(S, massFlow),
                TQ_FIELD(S, volumeFlow),
                TQ_FIELD(S, pipeLength),
                TQ_FIELD(S, sized),
                TQ_FIELD(S, error),
                {"size", [](const S& s) { return s.sized ? py::cast(s.size) : py::none(); }},
                TQ_FIELD(S, onIndexCircuit),
                TQ_FIELD(S, dnBeforeBalance),
                TQ_FIELD(S, warnings)},
               {"id", "from", "to", "sized"});
    using T = RVN::CTQNetworkTerminalResult;
    py::class_<T> term(
        m, "NetworkTerminalResult",
        "A terminal's circuit: heatLoad W, massFlow kg/s, volumeFlow m3/s, unitLoss Pa,\n"
        "height m, staticLift Pa, pathLoss Pa, surplus Pa for its balancing valve,\n"
        "valveKv m3/h (NaN: none needed), path (segment indices from the source).");
    BindFields(term,
               {TQ_FIELD(T, node), TQ_FIELD(T, heatLoad), TQ_FIELD(T, massFlow),
                TQ_FIELD(T, volumeFlow), TQ_FIELD(T, unitLoss), TQ_FIELD(T, height),
                TQ_FIELD(T, staticLift), TQ_FIELD(T, pathLoss), TQ_FIELD(T, complete),
                TQ_FIELD(T, index), TQ_FIELD(T, surplus), TQ_FIELD(T, valveKv), TQ_FIELD(T, path)},
               {"node", "pathLoss", "surplus", "index"});
    using B = RVN::CTQNetworkBranch;
    py::class_<B> branch(
        m, "NetworkBranch",
        "A branch leaving a tee: loss Pa, volumeFlow m3/s, surplus Pa, valveKv m3/h.");
    BindFields(branch,
               {TQ_FIELD(B, segment), TQ_FIELD(B, loss), TQ_FIELD(B, volumeFlow),
                TQ_FIELD(B, surplus), TQ_FIELD(B, valveKv)},
               {"segment", "loss"});
    using E = RVN::CTQNetworkTee;
    py::class_<E> tee(m, "NetworkTee",
                      "A node with two or more branches: imbalance % and whether over the limit.");
    BindFields(
        tee,
        {TQ_FIELD(E, node), TQ_FIELD(E, branches), TQ_FIELD(E, imbalance), TQ_FIELD(E, overLimit)},
        {"node", "imbalance", "overLimit"});
    using C = RVN::CTQBalanceChange;
    py::class_<C> change(m, "NetworkBalanceChange",
                         "A size balancing by size changed: DNs and the segment's loss, Pa.");
    BindFields(change,
               {TQ_FIELD(C, segment), TQ_FIELD(C, dnBefore), TQ_FIELD(C, dnAfter),
                TQ_FIELD(C, lossBefore), TQ_FIELD(C, lossAfter)},
               {"segment", "dnBefore", "dnAfter"});
}

py::bytes Rendered(bool (*render)(const RVN::CTQNetworkResult&, std::string&, std::string&),
                   const NetworkSized& n) {
    std::string out;
    std::string error;
    bool ok = false;
    {
        py::gil_scoped_release release;
        ok = render(n.result, out, error);
    }
    if (!ok) {
        throw std::runtime_error("cannot draw the network: " + error);
    }
    return py::bytes(out);
}

void BindResult(py::module_& m) {
    using N = NetworkSized;
    py::class_<N> c(m, "NetworkResult",
                    "A sized network: segments and terminals in input order, tees, the index\n"
                    "circuit (indexTerminal, indexPath, indexLoss Pa), the pump (pumpFlow m3/s,\n"
                    "pumpMassFlow kg/s, pumpHead Pa), balanceChanges and warnings; ReportText(),\n"
                    "Csv() and Json() with the results, Dot(), Svg() and Png() of the schematic.");
    BindFields(
        c,
        {{"settings", [](const N& n) { return py::cast(n.result.settings); }},
         {"network", [](const N& n) { return py::cast(n.network); }},
         {"waterTemperature", [](const N& n) { return py::cast(n.result.waterTemperature); }},
         {"segments", [](const N& n) { return py::cast(n.result.segments); }},
         {"terminals", [](const N& n) { return py::cast(n.result.terminals); }},
         {"tees", [](const N& n) { return py::cast(n.result.tees); }},
         {"indexTerminal", [](const N& n) { return py::cast(n.result.indexTerminal); }},
         {"indexPath", [](const N& n) { return py::cast(n.result.indexPath); }},
         {"indexLoss", [](const N& n) { return py::cast(n.result.indexLoss); }},
         {"pumpFlow", [](const N& n) { return py::cast(n.result.pumpFlow); }},
         {"pumpMassFlow", [](const N& n) { return py::cast(n.result.pumpMassFlow); }},
         {"pumpHead", [](const N& n) { return py::cast(n.result.pumpHead); }},
         {"balanceChanges", [](const N& n) { return py::cast(n.result.balanceChanges); }},
         {"warnings", [](const N& n) { return py::cast(n.result.warnings); }}},
        {"indexLoss", "pumpFlow", "pumpHead"});
    c.def(
        "ReportText", [](const N& n) { return RVN::NetworkReportText(n.result); },
        "The report for a person.");
    c.def(
        "Csv", [](const N& n) { return RVN::NetworkCsv(n.network, &n.result); },
        "The network as CSV with each segment's and terminal's results in further columns.");
    c.def(
        "Json", [](const N& n) { return RVN::NetworkJson(n.network, &n.result); },
        "The network as JSON with a results member.");
    c.def(
        "Dot", [](const N& n) { return RVN::NetworkDot(n.result); },
        "The schematic in Graphviz's DOT language.");
    c.def(
        "Svg",
        [](const N& n) { return Rendered(&RVN::RenderNetworkSvg, n).attr("decode")("utf-8"); },
        "The schematic drawn by Graphviz as SVG text.");
    c.def(
        "Png", [](const N& n) { return Rendered(&RVN::RenderNetworkPng, n); },
        "The schematic as PNG bytes.");
}

NetworkSized SizeNetwork(const py::object& source, const py::object& catalog,
                         const py::kwargs& settings) {
    NetworkSized n{NetworkFrom(source), {}};
    for (const auto& [key, value] : settings) {
        std::string text = PyBool_Check(value.ptr()) ? (value.ptr() == Py_True ? "yes" : "no")
                                                     : py::str(value).cast<std::string>();
        std::string message;
        const std::string k = py::str(key);
        if (!RVN::SetNetworkSetting(n.network.settings, k, text, message)) {
            RaiseNetworkErrors({RVN::CTQNetworkError{0, "", k, message}});
        }
    }
    const auto snapshot = CatalogHandle::From(catalog)->Snapshot();
    RVN::CTQNetworkOutcome<RVN::CTQNetworkResult> out;
    {
        py::gil_scoped_release release;
        out = RVN::ComputeNetwork(*snapshot, n.network);
    }
    if (!out.Ok()) {
        RaiseNetworkErrors(out.errors);
    }
    n.result = std::move(out.value);
    return n;
}

} // namespace

void AddNetwork(py::module_& m) {
    BindNetworkInput(m);
    BindParts(m);
    BindResult(m);
    m.def("SizeNetwork", &SizeNetwork, py::arg("network"), py::arg("catalog") = py::none(),
          "Sizes and balances a network (a Network, a dict of its JSON form or a file)\n"
          "against the catalog: every segment through the design layer, every circuit,\n"
          "the index circuit, the pump, the balancing valves and the tees.  Keywords\n"
          "override settings as the file's settings rows do (margin=15, by='target',\n"
          "target='80', balance=True, supply='80 degC').  Returns a NetworkResult;\n"
          "raises NetworkError with every fault.");
    Add<&RVN::ValveKv>(
        m.ptr(), "ValveKv", "volumeFlow, pressureDrop",
        "Kv of a valve, m3/h at 1 bar: the flow it passes at a pressure drop of 1 bar,\n"
        "for volumeFlow (m3/s) at pressureDrop (Pa); NaN when either is not positive.\n\n"
        ">>> round(ValveKv(0.5 / 3600, 25000), 12)\n1.0");
}

} // namespace tqrvn_py
