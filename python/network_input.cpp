// The network as Python objects (Network, NetworkSettings, NetworkSegment,
// NetworkTerminal) and read from a dict or a file.
#include "PyCatalog.h"
#include "PyDesign.h"
#include "PyNetwork.h"

#include "design/Quantity.h"

#include <pybind11/stl.h>

#include <sstream>

namespace py = pybind11;

namespace tqrvn_py {

namespace {

PyObject* g_networkError = nullptr;

// A setting of the network through the library's own reading of it.
void Setting(RVN::CTQNetworkSettings& s, const char* key, const py::handle& value) {
    std::string text;
    if (PyBool_Check(value.ptr())) {
        text = value.ptr() == Py_True ? "yes" : "no";
    } else {
        text = py::str(value).cast<std::string>();
    }
    std::string message;
    if (!RVN::SetNetworkSetting(s, key, text, message)) {
        RaiseNetworkErrors({RVN::CTQNetworkError{0, "", key, message}});
    }
}

template <class T> void FromKeywords(T& object, const py::kwargs& kw) {
    py::object view = py::cast(&object, py::return_value_policy::reference);
    for (const auto& [key, value] : kw) {
        const std::string k = py::str(key);
        if (!py::hasattr(view, k.c_str()) || k.rfind("__", 0) == 0) {
            throw py::type_error(std::string(py::str(view.get_type().attr("__name__"))) +
                                 "() got an unexpected keyword argument '" + k + "'");
        }
        py::setattr(view, k.c_str(), value);
    }
}

// A quantity member: a number in SI units or a text with its unit.
#define TQ_QUANTITY(cls, T, m, attr, quantity, unitRequired, doc)                                  \
    cls.def_property(                                                                              \
        attr, [](const T& v) { return v.m; },                                                      \
        [](T& v, const py::handle& x) {                                                            \
            v.m = QuantityArgument(attr, x, quantity, unitRequired);                               \
        },                                                                                         \
        doc)

void BindSettings(py::module_& m) {
    using T = RVN::CTQNetworkSettings;
    py::class_<T> c(m, "NetworkSettings",
                    "The settings of a network; each may be given as the network file gives it\n"
                    "(text with a unit) or as a number in SI units.");
    c.def(py::init([](const py::kwargs& kw) {
        T s;
        FromKeywords(s, kw);
        return s;
    }));
    c.def_property(
        "kind", [](const T& s) { return RVN::NetworkKindKey(s.kind); },
        [](T& s, const py::handle& v) { Setting(s, "kind", v); }, "'heating' or 'water'.");
    c.def_readwrite("source", &T::source, "Id of the source node.");
    TQ_QUANTITY(c, T, supplyTemperature, "supplyTemperature", RVN::kQuantityTemperature, false,
                "degC: heating supply temperature, or the water's temperature.");
    TQ_QUANTITY(c, T, deltaT, "deltaT", RVN::kQuantityTemperatureDifference, false,
                "K, heating supply minus return.");
    c.def_readwrite("material", &T::material, "Default material, name or ID.");
    c.def_property(
        "by", [](const T& s) { return RVN::NetworkSizingKey(s.by); },
        [](T& s, const py::handle& v) { Setting(s, "by", v); }, "'rm', 'velocity' or 'target'.");
    c.def_readwrite("targetRm", &T::targetRm, "Pa/m, for by='target'.");
    TQ_QUANTITY(c, T, plantLoss, "plantLoss", RVN::kQuantityPressure, false,
                "Pa, pressure drop of the source equipment.");
    c.def_readwrite("margin", &T::margin,
                    "%, added to the index circuit's loss for the pump head.");
    c.def_readwrite("imbalanceLimit", &T::imbalanceLimit,
                    "%, a tee's imbalance above it is flagged.");
    c.def_readwrite("balanceBySize", &T::balanceBySize,
                    "Re-size segments of nearer circuits down before valves take the surplus.");
}

void BindSegment(py::module_& m) {
    using T = RVN::CTQNetworkSegment;
    py::class_<T> c(m, "NetworkSegment",
                    "A segment from node from_ to node to (source side first): length m, fittings\n"
                    "{name: count}, zeta, dn (an existing size, checked), rise m, roughness m.");
    c.def(py::init([](const py::kwargs& kw) {
        T s;
        FromKeywords(s, kw);
        return s;
    }));
    c.def_readwrite("id", &T::id);
    c.def_readwrite("from_", &T::from);
    c.def_readwrite("to", &T::to);
    TQ_QUANTITY(c, T, length, "length", RVN::kQuantityLength, false, "Route length, m.");
    c.def_readwrite("material", &T::material);
    c.def_property(
        "fittings",
        [](const T& s) {
            py::dict d;
            for (const auto& f : s.fittings) {
                d[py::str(f.name)] = f.count;
            }
            return d;
        },
        [](T& s, const py::handle& v) {
            RVN::CTQSegmentRequest rq;
            SetRequestField(rq, "fittings", v);
            s.fittings = rq.fittings;
        },
        "{name: count}; also accepts [(name, count)] or 'NAME=COUNT;...'.");
    c.def_readwrite("zeta", &T::zeta);
    c.def_readwrite("dn", &T::dn);
    TQ_QUANTITY(c, T, rise, "rise", RVN::kQuantityLength, false,
                "m, downstream end over upstream end.");
    TQ_QUANTITY(c, T, roughness, "roughness", RVN::kQuantityLength, false,
                "m; NaN: the material's.");
    c.def_readonly("line", &T::line, "Line of the file it was read from (0: none).");
    c.def("__repr__", [](const T& s) {
        return "NetworkSegment(id='" + s.id + "', from_='" + s.from + "', to='" + s.to + "')";
    });
}

void BindTerminal(py::module_& m) {
    using T = RVN::CTQNetworkTerminal;
    py::class_<T> c(m, "NetworkTerminal",
                    "A terminal unit at a node: heatLoad W (heating) or volumeFlow m3/s, unit\n"
                    "'radiator', 'fancoil' or 'fixed', unitLoss Pa.");
    c.def(py::init([](const py::kwargs& kw) {
        T t;
        FromKeywords(t, kw);
        return t;
    }));
    c.def_readwrite("node", &T::node);
    TQ_QUANTITY(c, T, heatLoad, "heatLoad", RVN::kQuantityPower, true, "W.");
    TQ_QUANTITY(c, T, volumeFlow, "volumeFlow", RVN::kQuantityVolumeFlow, true, "m3/s.");
    c.def_property(
        "unit", [](const T& t) { return RVN::TerminalUnitKey(t.unit); },
        [](T& t, const std::string& v) {
            for (auto u : {RVN::TQTerminalUnit::Radiator, RVN::TQTerminalUnit::FanCoil,
                           RVN::TQTerminalUnit::Fixed}) {
                if (v == RVN::TerminalUnitKey(u)) {
                    t.unit = u;
                    return;
                }
            }
            RaiseNetworkErrors({RVN::CTQNetworkError{
                0, t.node, "unit", "'" + v + "' is not radiator, fancoil or fixed"}});
        },
        "'radiator', 'fancoil' or 'fixed'.");
    TQ_QUANTITY(c, T, unitLoss, "unitLoss", RVN::kQuantityPressure, false,
                "Pa at design flow; NaN: the unit's default.");
    c.def_readonly("line", &T::line);
    c.def("__repr__", [](const T& t) { return "NetworkTerminal(node='" + t.node + "')"; });
}

void BindNetwork(py::module_& m) {
    using T = RVN::CTQNetwork;
    py::class_<T> c(
        m, "Network",
        "A network: settings, segments and terminals.  Network(settings=...,\n"
        "segments=[...], terminals=[...]); ReadNetwork reads one from a file or a dict.\n"
        "The lists are copies: assign a changed list back.");
    c.def(py::init([](const py::kwargs& kw) {
        T n;
        FromKeywords(n, kw);
        return n;
    }));
    c.def_property(
        "settings", [](const T& n) { return n.settings; },
        [](T& n, const py::handle& v) {
            n.settings = py::isinstance<py::dict>(v)
                             ? py::module_::import("tqrvn._tqrvn")
                                   .attr("NetworkSettings")(**v.cast<py::dict>())
                                   .cast<RVN::CTQNetworkSettings>()
                             : v.cast<RVN::CTQNetworkSettings>();
        });
    c.def_readwrite("segments", &T::segments);
    c.def_readwrite("terminals", &T::terminals);
    c.def(
        "Csv", [](const T& n) { return RVN::NetworkCsv(n); },
        "The network in the CSV form the reader takes.");
    c.def(
        "Json", [](const T& n) { return RVN::NetworkJson(n); },
        "The network in the JSON form the reader takes.");
}

} // namespace

void RaiseNetworkErrors(const std::vector<RVN::CTQNetworkError>& errors) {
    py::list list;
    std::string text;
    for (const auto& e : errors) {
        py::dict d;
        d["line"] = e.line;
        d["id"] = e.id;
        d["field"] = e.field;
        d["message"] = e.message;
        list.append(d);
        text += (text.empty() ? "" : "\n") + e.Text();
    }
    py::object exc = py::reinterpret_borrow<py::object>(g_networkError)(text);
    exc.attr("errors") = list;
    PyErr_SetObject(g_networkError, exc.ptr());
    throw py::error_already_set();
}

RVN::CTQNetwork NetworkFrom(const py::handle& source) {
    if (py::isinstance<RVN::CTQNetwork>(source)) {
        return source.cast<RVN::CTQNetwork>();
    }
    RVN::CTQNetworkOutcome<RVN::CTQNetwork> read;
    if (py::isinstance<py::dict>(source)) {
        // The dict is the JSON form; the library reads it as it reads a file.
        const std::string text = py::module_::import("json")
                                     .attr("dumps")(source, py::arg("ensure_ascii") = false)
                                     .cast<std::string>();
        std::istringstream in(text);
        read = RVN::ReadNetworkJson(in);
    } else if (py::isinstance<py::str>(source) || py::hasattr(source, "__fspath__")) {
        read = RVN::ReadNetworkFile(py::str(py::module_::import("os").attr("fspath")(source)));
    } else {
        throw py::type_error(
            "a network is a tqrvn.Network, a dict of its JSON form or a path, not " +
            std::string(Py_TYPE(source.ptr())->tp_name));
    }
    if (!read.Ok()) {
        RaiseNetworkErrors(read.errors);
    }
    return read.value;
}

void BindNetworkInput(py::module_& m) {
    g_networkError = PyErr_NewExceptionWithDoc(
        "tqrvn.NetworkError",
        "A network that cannot be read or sized: str(e) has every fault, one a line\n"
        "('line 7: R3: length: ...'); e.errors lists them as dicts (line, id, field,\n"
        "message).",
        PyExc_ValueError, nullptr);
    m.add_object("NetworkError", py::reinterpret_borrow<py::object>(g_networkError));
    BindSettings(m);
    BindSegment(m);
    BindTerminal(m);
    BindNetwork(m);
    m.def("ReadNetwork", &NetworkFrom, py::arg("source"),
          "Reads a network from a file (a path: .json as JSON, anything else as CSV) or\n"
          "from a dict of the JSON form; a Network is returned as it is.  Raises\n"
          "NetworkError with every fault and its line.");
}

} // namespace tqrvn_py
