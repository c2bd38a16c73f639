// Sizing from Python: segment requests as keyword arguments, results as
// plain objects, errors as tqrvn.DesignError naming the field.
#include "Bindings.h"
#include "PyCatalog.h"
#include "PyDesign.h"
#include "PyRecords.h"

#include "design/DuctDesign.h"
#include "design/Quantity.h"
#include "design/SegmentDesign.h"

#include <cctype>

#include <cctype>

namespace py = pybind11;

namespace tqrvn_py {

namespace {

std::vector<Field<RVN::CTQFittingLoss>> FittingFields() {
    using T = RVN::CTQFittingLoss;
    return {TQ_FIELD(T, name), TQ_FIELD(T, id), TQ_FIELD(T, count), TQ_FIELD(T, zetaEach),
            TQ_FIELD(T, outsideTable)};
}

void BindSegmentResult(py::module_& m) {
    py::class_<RVN::CTQFittingLoss> fitting(m, "FittingLoss",
                                            "One kind of fitting of a sized segment.");
    BindFields(fitting, FittingFields(), {"name", "count", "zetaEach"});
    py::class_<RVN::CTQSegmentResult> result(
        m, "SegmentResult",
        "A sized (or checked) pipe segment.  Units: volumeFlow m3/s, massFlow kg/s,\n"
        "heatLoad W, deltaT K, temperature degC, density kg/m3, viscosity m2/s,\n"
        "roughness and length m, innerDiameter/wall/outerDiameter mm, velocity m/s,\n"
        "rm Pa/m, frictionLoss/dynamicPressure/localLoss/totalLoss Pa.");
    BindFields(result, SegmentResultFields(),
               {"id", "material", "dn", "velocity", "rm", "totalLoss", "fits"});
}

void BindDucts(py::module_& m) {
    using C = RVN::CTQDuctChoice;
    py::class_<C> choice(
        m, "DuctChoice",
        "A duct picked: width and height mm (height 0 when circular), thickness mm,\n"
        "hydraulicDiameter m, velocity m/s, rm Pa/m, dynamicPressure Pa.");
    BindFields(choice,
               {TQ_FIELD(C, circular), TQ_FIELD(C, width), TQ_FIELD(C, height),
                TQ_FIELD(C, thickness), TQ_FIELD(C, hydraulicDiameter), TQ_FIELD(C, velocity),
                TQ_FIELD(C, reynolds), TQ_FIELD(C, lambda), TQ_FIELD(C, formula),
                TQ_FIELD(C, formulaFallback), TQ_FIELD(C, rm), TQ_FIELD(C, dynamicPressure)},
               {"circular", "width", "height", "velocity", "rm"});
    using R = RVN::CTQDuctResult;
    py::class_<R> result(
        m, "DuctResult",
        "The ducts picked for an air flow (volumeFlow m3/s, targetVelocity m/s, density\n"
        "kg/m3, viscosity m2/s, roughness m); circular and rectangular are None when\n"
        "not asked for.");
    BindFields(
        result,
        {TQ_FIELD(R, volumeFlow),
         TQ_FIELD(R, targetVelocity),
         TQ_FIELD(R, density),
         TQ_FIELD(R, viscosity),
         TQ_FIELD(R, roughness),
         {"circular", [](const R& r) { return r.hasCircular ? py::cast(r.circular) : py::none(); }},
         {"rectangular",
          [](const R& r) { return r.hasRectangular ? py::cast(r.rectangular) : py::none(); }}},
        {"volumeFlow", "circular", "rectangular"});
}

void BindFriction(py::module_& m) {
    using C = RVN::CTQFrictionChoice;
    py::class_<C> choice(m, "FrictionChoice",
                         "The design layer's friction factor and the regime it was chosen for.");
    BindFields(choice,
               {TQ_FIELD(C, lambda),
                {"regime", [](const C& c) { return py::cast(c.regime.name); }},
                {"regimeFormula", [](const C& c) { return py::cast(c.regime.formula); }},
                TQ_FIELD(C, formula),
                TQ_FIELD(C, fallback)},
               {"lambda", "regime", "formula", "fallback"});
    m.def(
        "ClassifyFriction",
        [](double re, double eps) {
            const RVN::CTQFrictionRegime r = RVN::ClassifyFriction(re, eps);
            return py::make_tuple(r.name, r.formula);
        },
        py::arg("re"), py::arg("eps"),
        "The flow regime GetLmd chooses for (re, eps) and its formula, as a tuple\n"
        "(regime, formula): regime one of 'no flow', 'laminar', 'transition', 'smooth',\n"
        "'mixed', 'rough', 'undefined'.\n\n"
        ">>> ClassifyFriction(1000.0, 0.001)\n('laminar', 'x_LF')");
    m.def("DesignFriction", &RVN::DesignFriction, py::arg("re"), py::arg("eps"),
          "The Darcy friction factor of the design layer: GetLmd, except that where the\n"
          "regime's formula is out of its range (Blasius above re 1e5 in the smooth\n"
          "zone) Colebrook-White is taken and fallback is set.");
    m.def("SteamVelocityLimit", &RVN::SteamVelocityLimit, py::arg("dn"),
          "Highest design velocity of saturated steam, m/s, in a pipe of nominal\n"
          "diameter dn (mm): 35 up to DN 200, 60 above.");
}

RVN::TQDuctShape ParseShape(const py::handle& shape) {
    const std::string s = py::str(shape);
    if (s == "both") {
        return RVN::TQDuctShape::Both;
    }
    if (s == "circular") {
        return RVN::TQDuctShape::Circular;
    }
    if (s == "rectangular") {
        return RVN::TQDuctShape::Rectangular;
    }
    RaiseDesignError({RVN::TQDesignErrorKind::Input, "shape",
                      "'" + s + "' is not both, circular or rectangular"});
}

py::object PickDucts(const py::object& catalog, const py::kwargs& kw) {
    RVN::CTQDuctRequest rq;
    for (const auto& [key, value] : kw) {
        const std::string k = py::str(key);
        if (k == "volumeFlow") {
            rq.volumeFlow = QuantityArgument(k, value, RVN::kQuantityVolumeFlow, true);
        } else if (k == "massFlow") {
            rq.massFlow = QuantityArgument(k, value, RVN::kQuantityMassFlow, true);
        } else if (k == "velocity") {
            rq.velocity = QuantityArgument(k, value, RVN::kQuantitySpeed, false);
        } else if (k == "roughness") {
            rq.roughness = QuantityArgument(k, value, RVN::kQuantityLength, false);
        } else if (k == "shape") {
            rq.shape = ParseShape(value);
        } else {
            throw py::type_error("PickDucts() got an unexpected keyword argument '" + k +
                                 "' (accepted: volumeFlow, massFlow, velocity, roughness, shape)");
        }
    }
    const auto snapshot = CatalogHandle::From(catalog)->Snapshot();
    RVN::CTQDesignOutcome<RVN::CTQDuctResult> out;
    {
        py::gil_scoped_release release;
        out = RVN::PickDucts(*snapshot, rq);
    }
    if (!out.Ok()) {
        RaiseDesignError(out.error);
    }
    return py::cast(out.value);
}

// The quantities of RVN::ParseQuantity as an IntEnum named from the
// library's own names ("mass flow" -> MassFlow).
void AddQuantityEnum(py::module_& m) {
    py::list members;
    for (int q = 0; q < RVN::kQuantityCount; ++q) {
        std::string name;
        bool upper = true;
        for (const char* c = RVN::QuantityName(q); *c; ++c) {
            if (*c == ' ' || *c == '-') {
                upper = true;
            } else {
                name +=
                    upper ? static_cast<char>(std::toupper(static_cast<unsigned char>(*c))) : *c;
                upper = false;
            }
        }
        members.append(py::make_tuple(name, q));
    }
    py::object cls = py::module_::import("enum").attr("IntEnum")("Quantity", members);
    cls.attr("__module__") = "tqrvn";
    cls.attr("__doc__") = "The quantities of ParseQuantity; each reads into its base SI unit.";
    m.attr("Quantity") = cls;
}

} // namespace

void AddDesign(py::module_& m) {
    AddQuantityEnum(m);
    AddErrorTypes(m);
    BindSegmentResult(m);
    BindDucts(m);
    BindFriction(m);
    m.def(
        "SizeSegment",
        [](const py::object& catalog, const py::kwargs& kw) {
            const RVN::CTQSegmentRequest rq = RequestFromKeywords(kw, "SizeSegment");
            const auto snapshot = CatalogHandle::From(catalog)->Snapshot();
            RVN::CTQDesignOutcome<RVN::CTQSegmentResult> out;
            {
                py::gil_scoped_release release;
                out = RVN::SizeSegment(*snapshot, rq);
            }
            if (!out.Ok()) {
                RaiseDesignError(out.error);
            }
            return out.value;
        },
        py::arg("catalog") = py::none(), SizeSegmentDoc());
    m.def(
        "ListSegmentSizes",
        [](const py::object& catalog, const py::kwargs& kw) {
            const RVN::CTQSegmentRequest rq = RequestFromKeywords(kw, "ListSegmentSizes");
            const auto snapshot = CatalogHandle::From(catalog)->Snapshot();
            RVN::CTQDesignOutcome<std::vector<RVN::CTQSegmentResult>> out;
            {
                py::gil_scoped_release release;
                out = RVN::ListSegmentSizes(*snapshot, rq);
            }
            if (!out.Ok()) {
                RaiseDesignError(out.error);
            }
            return out.value;
        },
        py::arg("catalog") = py::none(),
        "Every size of the segment's material in DN order at the segment's flow, each\n"
        "checked as SizeSegment checks a fixed size (dn is ignored).  Same keywords\n"
        "as SizeSegment; a list of SegmentResult.");
    m.def("PickDucts", &PickDucts, py::arg("catalog") = py::none(),
          "Picks the circular and/or rectangular catalog duct whose velocity comes\n"
          "nearest the target, for air at 20 degC.  Keywords: volumeFlow (m3/s) or\n"
          "massFlow (kg/s), velocity (m/s), roughness (m, default 0.15 mm), shape\n"
          "('both', 'circular', 'rectangular').  Quantities may be text with a unit\n"
          "('3000 m3/h').  Returns a DuctResult; raises DesignError.");
    m.def(
        "ParseQuantity",
        [](const std::string& field, const std::string& text, int quantity, bool unitRequired) {
            const auto out = RVN::ParseQuantity(field, text, {quantity}, unitRequired);
            if (!out.Ok()) {
                RaiseDesignError(out.error);
            }
            return out.value.value;
        },
        py::arg("field"), py::arg("text"), py::arg("quantity"), py::arg("unitRequired") = true,
        "A quantity typed by a person ('2 m3/h', '15 kW', '0.2 mm') in the base unit\n"
        "of its quantity (a Quantity member: Quantity.VolumeFlow gives m3/s); raises\n"
        "DesignError naming field.");
}

} // namespace tqrvn_py
