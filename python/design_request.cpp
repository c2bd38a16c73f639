// Segment requests from Python keyword arguments and batch columns.
#include "PyCatalog.h"
#include "PyDesign.h"

#include "catalog/CTQPipeMatl.h"
#include "design/Quantity.h"
#include "design/SegmentFields.h"

#include <pybind11/stl.h>

#include <cmath>

namespace py = pybind11;

namespace tqrvn_py {

namespace {

[[noreturn]] void Refuse(const std::string& field, const std::string& message) {
    RaiseDesignError({RVN::TQDesignErrorKind::Input, field, message});
}

bool IsNumber(const py::handle& v) {
    return PyFloat_Check(v.ptr()) || (PyLong_Check(v.ptr()) && !PyBool_Check(v.ptr())) ||
           (py::hasattr(v, "__float__") && !py::isinstance<py::str>(v) &&
            !py::isinstance<py::bytes>(v));
}

bool IsMissing(const py::handle& v) {
    return v.is_none() || (PyFloat_Check(v.ptr()) && std::isnan(PyFloat_AS_DOUBLE(v.ptr())));
}

std::string Text(const py::handle& v) {
    return py::str(v).cast<std::string>();
}

long WholeNumber(const std::string& field, const py::handle& v, const char* what) {
    if (PyLong_Check(v.ptr()) && !PyBool_Check(v.ptr())) {
        return v.cast<long>();
    }
    if (IsNumber(v)) {
        const double d = v.cast<double>();
        if (std::floor(d) == d && std::fabs(d) < 2e9) {
            return static_cast<long>(d);
        }
    }
    Refuse(field, py::repr(v).cast<std::string>() + " is not " + what);
}

void SetFittings(RVN::CTQSegmentRequest& rq, const py::handle& value) {
    rq.fittings.clear();
    if (IsMissing(value)) {
        return;
    }
    if (py::isinstance<py::str>(value)) {
        // "NAME=COUNT;NAME=COUNT", read as the library reads the field.
        RVN::CTQSegmentFields fields;
        fields.fittings = Text(value);
        const auto parsed = RVN::ParseSegmentFields(fields);
        if (!parsed.Ok()) {
            RaiseDesignError(parsed.error);
        }
        rq.fittings = parsed.value.fittings;
        return;
    }
    if (py::isinstance<py::dict>(value)) {
        for (const auto& [name, count] : value.cast<py::dict>()) {
            rq.fittings.push_back(
                {Text(name), static_cast<int>(WholeNumber("fittings", count, "a count"))});
        }
        return;
    }
    if (!py::isinstance<py::iterable>(value)) {
        Refuse("fittings",
               "give the fittings as {name: count}, [(name, count), ...] or 'NAME=COUNT;...'");
    }
    for (const auto& item : value) {
        if (py::isinstance<py::str>(item)) {
            rq.fittings.push_back({Text(item), 1});
        } else if (py::isinstance<py::tuple>(item) && py::len(item) == 2) {
            const auto pair = item.cast<py::tuple>();
            rq.fittings.push_back(
                {Text(pair[0]), static_cast<int>(WholeNumber("fittings", pair[1], "a count"))});
        } else {
            Refuse("fittings", py::repr(item).cast<std::string>() +
                                   " is neither a name nor a (name, count) pair");
        }
    }
}

bool SetTextField(RVN::CTQSegmentRequest& rq, const std::string& key, const py::handle& value) {
    if (key == "id") {
        rq.id = IsMissing(value) ? std::string() : Text(value);
    } else if (key == "material") {
        if (IsMissing(value)) {
            rq.material.clear();
        } else if (py::isinstance<CTQPipeMatl>(value)) {
            rq.material = value.cast<const CTQPipeMatl&>().Name;
        } else if (PyLong_Check(value.ptr())) {
            rq.material.clear();
            rq.materialId = value.cast<long>();
        } else {
            rq.material = Text(value);
        }
    } else if (key == "materialId") {
        rq.materialId = IsMissing(value) ? -1 : WholeNumber(key, value, "a material ID");
    } else if (key == "category") {
        if (IsMissing(value)) {
            rq.category = 0;
        } else if ((rq.category = RVN::ParseCategory(Text(value))) == RVN::kCategoryNone) {
            Refuse(key, "'" + Text(value) + "' is not water, plastic or ppr (1, 2, 3)");
        }
    } else if (key == "fluid" || key == "steam") {
        bool steam = false;
        if (key == "steam") {
            steam = !IsMissing(value) && PyObject_IsTrue(value.ptr()) == 1;
        } else if (!IsMissing(value)) {
            const std::string t = Text(value);
            if (t != "water" && t != "steam") {
                Refuse(key, "'" + t + "' is not water or steam");
            }
            steam = t == "steam";
        }
        rq.fluid = steam ? RVN::TQFluid::Steam : RVN::TQFluid::Water;
    } else if (key == "by") {
        if (!IsMissing(value) && !RVN::ParseSelection(Text(value), rq.by)) {
            Refuse(key, "'" + Text(value) + "' is not rm, velocity or load");
        }
    } else if (key == "fittings") {
        SetFittings(rq, value);
    } else if (key == "dn") {
        rq.dn =
            IsMissing(value) ? 0 : static_cast<int>(WholeNumber(key, value, "a nominal diameter"));
    } else {
        return false;
    }
    return true;
}

} // namespace

double QuantityArgument(const std::string& field, const py::handle& value, int quantity,
                        bool unitRequired) {
    if (value.is_none()) {
        return RVN::kNotGiven;
    }
    if (py::isinstance<py::str>(value)) {
        const auto parsed = RVN::ParseQuantity(field, Text(value), {quantity}, unitRequired);
        if (!parsed.Ok()) {
            RaiseDesignError(parsed.error);
        }
        return parsed.value.value;
    }
    if (IsNumber(value)) {
        return value.cast<double>();
    }
    Refuse(field,
           "give a number in " + std::string(RVN::UnitSymbols().empty() ? "SI" : "SI units") +
               " or a text with its unit, not " + std::string(Py_TYPE(value.ptr())->tp_name));
}

bool SetRequestField(RVN::CTQSegmentRequest& rq, const std::string& key, const py::handle& value) {
    struct QuantityField {
        const char* key;
        double RVN::CTQSegmentRequest::*member;
        int quantity;
        bool unitRequired;
    };
    static const QuantityField kQuantities[] = {
        {"temperature", &RVN::CTQSegmentRequest::temperature, RVN::kQuantityTemperature, false},
        {"volumeFlow", &RVN::CTQSegmentRequest::volumeFlow, RVN::kQuantityVolumeFlow, true},
        {"massFlow", &RVN::CTQSegmentRequest::massFlow, RVN::kQuantityMassFlow, true},
        {"heatLoad", &RVN::CTQSegmentRequest::heatLoad, RVN::kQuantityPower, true},
        {"deltaT", &RVN::CTQSegmentRequest::deltaT, RVN::kQuantityTemperatureDifference, false},
        {"length", &RVN::CTQSegmentRequest::length, RVN::kQuantityLength, false},
        {"roughness", &RVN::CTQSegmentRequest::roughness, RVN::kQuantityLength, false},
    };
    for (const auto& q : kQuantities) {
        if (key == q.key) {
            rq.*q.member = QuantityArgument(key, value, q.quantity, q.unitRequired);
            return true;
        }
    }
    if (key == "zeta") {
        if (IsMissing(value)) {
            rq.zeta = 0.0;
        } else if (IsNumber(value)) {
            rq.zeta = value.cast<double>();
        } else {
            Refuse(key, "'" + Text(value) + "' is not a number");
        }
        return true;
    }
    return SetTextField(rq, key, value);
}

const char* RequestKeywords() {
    return "id, material, materialId, category, fluid, steam, temperature, volumeFlow, massFlow, "
           "heatLoad, deltaT, length, fittings, zeta, roughness, by, dn";
}

RVN::CTQSegmentRequest RequestFromKeywords(const py::kwargs& kw, const char* function) {
    RVN::CTQSegmentRequest rq;
    for (const auto& [key, value] : kw) {
        const std::string k = Text(key);
        if (!SetRequestField(rq, k, value)) {
            throw py::type_error(std::string(function) + "() got an unexpected keyword argument '" +
                                 k + "' (accepted: " + RequestKeywords() + ")");
        }
    }
    return rq;
}

std::vector<Field<RVN::CTQSegmentResult>> SegmentResultFields() {
    using T = RVN::CTQSegmentResult;
    return {
        TQ_FIELD(T, id),
        TQ_FIELD(T, material),
        TQ_FIELD(T, materialId),
        TQ_FIELD(T, category),
        TQ_FIELD(T, sizeMark),
        {"fluid",
         [](const T& r) { return py::cast(r.fluid == RVN::TQFluid::Steam ? "steam" : "water"); }},
        TQ_FIELD(T, temperature),
        TQ_FIELD(T, density),
        TQ_FIELD(T, viscosity),
        TQ_FIELD(T, roughness),
        TQ_FIELD(T, volumeFlow),
        TQ_FIELD(T, massFlow),
        TQ_FIELD(T, heatLoad),
        TQ_FIELD(T, deltaT),
        TQ_FIELD(T, length),
        {"by", [](const T& r) { return py::cast(RVN::SelectionKey(r.by)); }},
        TQ_FIELD(T, fixedSize),
        TQ_FIELD(T, dn),
        TQ_FIELD(T, innerDiameter),
        TQ_FIELD(T, wall),
        TQ_FIELD(T, outerDiameter),
        TQ_FIELD(T, velocity),
        TQ_FIELD(T, reynolds),
        TQ_FIELD(T, lambda),
        TQ_FIELD(T, formula),
        TQ_FIELD(T, regime),
        TQ_FIELD(T, formulaFallback),
        TQ_FIELD(T, rm),
        TQ_FIELD(T, frictionLoss),
        TQ_FIELD(T, dynamicPressure),
        TQ_FIELD(T, zeta),
        TQ_FIELD(T, extraZeta),
        TQ_FIELD(T, fittings),
        TQ_FIELD(T, localLoss),
        TQ_FIELD(T, totalLoss),
        TQ_FIELD(T, fits),
        TQ_FIELD(T, criterion),
        TQ_FIELD(T, rangeMin),
        TQ_FIELD(T, rangeMax),
        TQ_FIELD(T, rangeUnit),
        TQ_FIELD(T, loadBasisDeltaT),
        TQ_FIELD(T, warnings),
    };
}

const char* SizeSegmentDoc() {
    return "Sizes a pipe segment against the catalog (the default one beside the library\n"
           "when None; a Catalog or a path) and returns a SegmentResult.\n\n"
           "Keywords (numbers in SI units, or text with a unit such as '15 kW'):\n"
           "  volumeFlow m3/s | massFlow kg/s | heatLoad W with deltaT K   the flow\n"
           "  length m; temperature degC (water 0..100, default 20; steam: a row of the\n"
           "  steam table); roughness m (default: the material's); zeta (extra\n"
           "  coefficients); fittings {name: count}, [(name, count)] or 'NAME=COUNT;...';\n"
           "  material (name, ID or CTQPipeMatl) or category ('water', 'plastic', 'ppr');\n"
           "  fluid 'water'|'steam' (or steam=True); by 'rm'|'velocity'|'load'; dn (check\n"
           "  this size instead of selecting one); id (a label).\n"
           "Raises DesignError (a ValueError) carrying the library's message, with the\n"
           "attributes field, kind and message.\n\n"
           ">>> r = SizeSegment(heatLoad='15 kW', deltaT=10, temperature=60, length=25,\n"
           "...                 fittings={'弯头': 2, '闸阀': 1})\n"
           ">>> r.dn, round(r.rm, 2)\n(32, 65.51)";
}

} // namespace tqrvn_py
