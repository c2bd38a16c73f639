// The catalog's record classes as Python classes with attributes named as
// their C++ members, keyword construction and to_dict(); their structured
// arrays; and Catalog.Add, Update and Delete.
#include "Bindings.h"
#include "PyCatalogRecords.h"

#include "catalog/CTQDuctSpec.h"
#include "catalog/CTQPipeMatl.h"
#include "catalog/CTQPipeValve.h"
#include "catalog/CTQSteamProp.h"
#include "catalog/CTQWaterProp.h"
#include "catalog/CatalogChecks.h"
#include "db/ADOFault.h"

#include <pybind11/stl.h>

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <type_traits>
#include <vector>

namespace py = pybind11;

namespace tqrvn_py {

namespace {

template <class T> struct RecField {
    const char* name;
    std::function<py::object(const T&)> get;
    std::function<void(T&, const py::handle&)> set;
    const char* dtype; ///< NumPy type of a numeric member, nullptr for text
};

template <class M> constexpr const char* DtypeOf() {
    if constexpr (std::is_same_v<M, double>) {
        return "f8";
    } else if constexpr (std::is_integral_v<M>) {
        return "i8";
    } else {
        return nullptr;
    }
}

template <class M> void Assign(M& member, const py::handle& value, const char* what) {
    try {
        member = value.cast<M>();
    } catch (const py::cast_error&) {
        const char* kind = std::is_same_v<M, double> ? "a number"
                           : std::is_integral_v<M>   ? "an integer"
                                                     : "a str";
        throw py::type_error(std::string(what) + " must be " + kind + ", not " +
                             Py_TYPE(value.ptr())->tp_name);
    }
}

#define TQ_RW(T, m)                                                                                \
    RecField<T> {                                                                                  \
#m, [](const T&                                                                            \
                   v) { return py::cast(v.m); },                                                   \
                                              [](T & v,                                            \
                                                 const py::handle&                                 \
                                                     x) { Assign(v.m, x, #m); },                   \
                                                                              DtypeOf <            \
                                                                                  std::decay_t <   \
                                                                                  decltype(T::m)>> \
                                                                                  ()               \
    }

// The setters name the member; the class's name is put in front here.
template <class T>
void Set(const RecField<T>& f, const char* name, T& record, const py::handle& value) {
    try {
        f.set(record, value);
    } catch (const py::type_error& e) {
        throw py::type_error(std::string(name) + "." + e.what());
    }
}

template <class T>
void BindRecord(py::module_& m, const char* name, const char* doc, std::vector<RecField<T>> fields,
                std::vector<const char*> shown) {
    py::class_<T> cls(m, name, doc);
    cls.def(py::init([fields, name](const py::kwargs& kw) {
        T record;
        for (const auto& [key, value] : kw) {
            const std::string k = py::str(key);
            auto f = std::find_if(fields.begin(), fields.end(),
                                  [&](const RecField<T>& x) { return k == x.name; });
            if (f == fields.end()) {
                throw py::type_error(std::string(name) + "() got an unexpected keyword argument '" +
                                     k + "'");
            }
            Set(*f, name, record, value);
        }
        return record;
    }));
    for (const auto& f : fields) {
        cls.def_property(f.name, f.get,
                         [f, name](T& r, const py::handle& v) { Set(f, name, r, v); });
    }
    cls.def(
        "to_dict",
        [fields](const T& v) {
            py::dict d;
            for (const auto& f : fields) {
                d[f.name] = f.get(v);
            }
            return d;
        },
        "The members as a dict keyed by their names.");
    cls.def("__repr__", [fields, shown, name](const T& v) {
        std::string text = std::string(name) + "(";
        for (std::size_t i = 0; i < shown.size(); ++i) {
            auto f = std::find_if(fields.begin(), fields.end(), [&](const RecField<T>& x) {
                return std::string(shown[i]) == x.name;
            });
            text += (i ? ", " : "") + std::string(shown[i]) + "=" +
                    py::repr(f->get(v)).template cast<std::string>();
        }
        return text + ")";
    });
    cls.def("__copy__", [](const T& v) { return T(v); });
}

std::vector<RecField<CTQPipeMatl>> MaterialFields() {
    using T = CTQPipeMatl;
    return {TQ_RW(T, ID),      TQ_RW(T, Type),   TQ_RW(T, Name),   TQ_RW(T, Unit),
            TQ_RW(T, Mark),    TQ_RW(T, Symbol), TQ_RW(T, K),      TQ_RW(T, Density),
            TQ_RW(T, Comment), TQ_RW(T, Param1), TQ_RW(T, Param2), TQ_RW(T, Param3),
            TQ_RW(T, Version)};
}
std::vector<RecField<CTQPipeSpec>> SizeFields() {
    using T = CTQPipeSpec;
    return {TQ_RW(T, ID),        TQ_RW(T, MatlID), TQ_RW(T, DN),     TQ_RW(T, InsD), TQ_RW(T, OutD),
            TQ_RW(T, Thickness), TQ_RW(T, MinV),   TQ_RW(T, MaxV),   TQ_RW(T, MinH), TQ_RW(T, MaxH),
            TQ_RW(T, MinR),      TQ_RW(T, MaxR),   TQ_RW(T, Version)};
}
std::vector<RecField<CTQDuctSpec>> DuctFields() {
    using T = CTQDuctSpec;
    return {TQ_RW(T, ID),     TQ_RW(T, Section),   TQ_RW(T, Width),
            TQ_RW(T, Height), TQ_RW(T, Thickness), TQ_RW(T, Version)};
}
std::vector<RecField<CTQWaterProp>> WaterFields() {
    using T = CTQWaterProp;
    return {TQ_RW(T, ID), TQ_RW(T, Temperature), TQ_RW(T, Density), TQ_RW(T, Viscosity),
            TQ_RW(T, SpecificHeat)};
}
std::vector<RecField<CTQSteamProp>> SteamFields() {
    using T = CTQSteamProp;
    return {TQ_RW(T, ID),  TQ_RW(T, Temperature),  TQ_RW(T, Pressure), TQ_RW(T, Density),
            TQ_RW(T, Qhr), TQ_RW(T, SpecificHeat), TQ_RW(T, Viscosity)};
}

// The DN table of a valve as a dict {DN: coefficient} in DN order.
py::dict DnTable(const CTQPipeValve& v) {
    std::map<int, double> sorted;
    for (POSITION pos = v.DnCoef.GetStartPosition(); pos != nullptr;) {
        int dn = 0;
        double coef = 0.0;
        v.DnCoef.GetNextAssoc(pos, dn, coef);
        sorted[dn] = coef;
    }
    return py::cast(sorted);
}

std::vector<RecField<CTQPipeValve>> ValveFields() {
    using T = CTQPipeValve;
    return {TQ_RW(T, ID),
            TQ_RW(T, Type),
            TQ_RW(T, ValveName),
            TQ_RW(T, Coef),
            TQ_RW(T, CalType),
            TQ_RW(T, Variable),
            {"DnCoef", [](const T& v) { return py::object(DnTable(v)); },
             [](T& v, const py::handle& x) {
                 std::map<int, double> table;
                 Assign(table, x, "DnCoef");
                 v.DnCoef.RemoveAll();
                 for (const auto& [dn, coef] : table) {
                     v.DnCoef[dn] = coef;
                 }
             },
             nullptr},
            TQ_RW(T, Version)};
}

template <class T>
py::object Table(const py::object& records, const std::vector<RecField<T>>& fields) {
    py::list dtype;
    for (const auto& f : fields) {
        if (f.dtype != nullptr) {
            dtype.append(py::make_tuple(f.name, f.dtype));
        }
    }
    const py::list rows = records;
    py::object array = py::module_::import("numpy").attr("zeros")(py::len(rows), dtype);
    for (const auto& f : fields) {
        if (f.dtype == nullptr) {
            continue;
        }
        py::list column;
        for (const auto& r : rows) {
            column.append(f.get(r.cast<const T&>()));
        }
        array[py::str(f.name)] = column;
    }
    return array;
}

} // namespace

py::object SizeTable(const py::object& sizes) {
    return Table(sizes, SizeFields());
}
py::object DuctTable(const py::object& ducts) {
    return Table(ducts, DuctFields());
}
py::object WaterTable(const py::object& rows) {
    return Table(rows, WaterFields());
}
py::object SteamTable(const py::object& rows) {
    return Table(rows, SteamFields());
}

void AddCatalogRecords(py::module_& m) {
    BindRecord(m, "CTQPipeMatl",
               "A pipe material: Type (1 water, 2 plastic, 3 PPR pipe), Name, Mark (size\n"
               "designation), K (roughness as stored), Density, Comment, ID (-1: not stored).",
               MaterialFields(), {"ID", "Type", "Name"});
    BindRecord(m, "CTQPipeSpec",
               "A size of a material: DN, InsD, OutD, Thickness (mm); velocity range MinV..MaxV\n"
               "(m/s), load range MinH..MaxH (W), specific-friction range MinR..MaxR (Pa/m).",
               SizeFields(), {"ID", "MatlID", "DN", "InsD"});
    BindRecord(m, "CTQDuctSpec",
               "A duct size: Section (0 circular, 1 rectangular), Width (the diameter of a\n"
               "circular duct) and Height in mm, sheet Thickness in mm.",
               DuctFields(), {"ID", "Section", "Width", "Height"});
    BindRecord(m, "CTQPipeValve",
               "A valve or fitting: ValveName, Type (1 steel-pipe, 2 plastic fittings), a fixed\n"
               "Coef or, with Variable set, a table DnCoef {DN (mm): coefficient}.",
               ValveFields(), {"ID", "Type", "ValveName", "Coef"});
    m.attr("CTQPipeValve").attr("GetValue") = py::cpp_function(
        [](const CTQPipeValve& v, int dn) { return v.GetValue(dn); },
        py::is_method(m.attr("CTQPipeValve")), py::arg("dn"),
        "The coefficient at nominal diameter dn (mm): the fixed one, or from the DN\n"
        "table (exact entry, nearest end outside it, linear between entries).");
    BindRecord(m, "CTQWaterProp",
               "A row of the water table: Temperature (degC), Density (kg/m3), Viscosity\n"
               "(1e-6 m2/s), SpecificHeat (kJ/(kg K)).",
               WaterFields(), {"ID", "Temperature", "Density"});
    BindRecord(m, "CTQSteamProp",
               "A row of the saturated-steam table: Temperature (degC), Pressure (kPa),\n"
               "Density (kg/m3), Qhr (kJ/kg), SpecificHeat (kJ/(kg K)), Viscosity (1e-6 m2/s).",
               SteamFields(), {"ID", "Temperature", "Pressure"});
}

} // namespace tqrvn_py

namespace tqrvn_py {

namespace {

enum class Change { Add, Update, Delete };

const char* Verb(Change c) {
    return c == Change::Add ? "add" : c == Change::Update ? "update" : "delete";
}

template <class T> bool Apply(T& record, Change c, CADODatabase* db) {
    switch (c) {
    case Change::Add:
        return record.Add(db);
    case Change::Update:
        return record.UpdateData(static_cast<long>(record.ID), false, db);
    case Change::Delete:
        return record.Remove(db);
    }
    return false;
}

// The words of a refused edit.
std::string EditProblemText(const RVN::TQEditCheck& c) {
    switch (c.problem) {
    case RVN::TQEditProblem::EmptyName:
        return "a material needs a name";
    case RVN::TQEditProblem::NameTwice:
    case RVN::TQEditProblem::NameTaken:
        return "the name '" + c.name + "' is taken by the material of ID " +
               std::to_string(c.otherId);
    case RVN::TQEditProblem::ZeroDN:
        return "a pipe size needs a DN above 0";
    case RVN::TQEditProblem::DnTwice:
        return "the material has a size of DN " + std::to_string(c.dn) + " already";
    case RVN::TQEditProblem::ZeroDuct:
        return "a duct needs a width (and, when rectangular, a height) above 0 mm";
    case RVN::TQEditProblem::DuctTwice:
        return "the section has a duct of " + std::to_string(c.width) +
               (c.height > 0 ? " x " + std::to_string(c.height) : std::string()) + " mm already";
    default:
        return "";
    }
}

// The stored rows with the record in place of its stored row (an update) or
// added at the end (an addition).
template <class T> void WithRecord(CTQArray<T>& rows, const T& record) {
    for (T& r : rows) {
        if (record.ID != -1 && r.ID == record.ID) {
            r = record;
            return;
        }
    }
    rows.Add(record);
}

// The library's checks of an edit before it is stored; a refusal raises.
RVN::TQEditCheck CheckEdit(CatalogHandle& h, const CTQPipeMatl& record) {
    CTQArray<CTQPipeMatl> edited;
    edited.Add(record);
    CTQArray<CTQPipeMatl> stored;
    CTQPipeMatlManager::GetAllMatl(stored, 0, h.Db());
    return RVN::CheckMaterialNames(edited, stored, CTQArray<long>());
}
RVN::TQEditCheck CheckEdit(CatalogHandle& h, const CTQPipeSpec& record) {
    CTQArray<CTQPipeSpec> sizes;
    CTQPipeMatlManager::GetAllSpec(sizes, record.MatlID, h.Db());
    WithRecord(sizes, record);
    return RVN::CheckPipeSizes(sizes);
}
RVN::TQEditCheck CheckEdit(CatalogHandle& h, const CTQDuctSpec& record) {
    CTQArray<CTQDuctSpec> ducts;
    CTQDuctSpecManager::GetAllSpec(ducts, record.Section, h.Db());
    WithRecord(ducts, record);
    return RVN::CheckDuctSizes(ducts);
}
template <class T> RVN::TQEditCheck CheckEdit(CatalogHandle&, const T&) {
    return {};
}

// Applies the change when the record is a T; false when it is not.
template <class T> bool TryChange(CatalogHandle& h, const py::handle& object, Change c) {
    if (!py::isinstance<T>(object)) {
        return false;
    }
    T& record = object.cast<T&>();
    const std::string what = py::repr(object).cast<std::string>();
    if (c != Change::Add && record.ID == -1) {
        RaiseCatalogError(std::string("cannot ") + Verb(c) + " " + what +
                              ": it is not stored in the catalog (ID -1)",
                          "refused");
    }
    if (c != Change::Delete) {
        const RVN::TQEditCheck check = CheckEdit(h, record);
        if (!check.Ok()) {
            RaiseCatalogError(std::string("the catalog refused to ") + Verb(c) + " " + what + ": " +
                                  EditProblemText(check),
                              "refused");
        }
    }
    CADODatabase* db = h.Db();
    db->ClearLastError();
    bool ok = false;
    try {
        ok = Apply(record, c, db);
    } catch (const RVNADO::ComError& e) {
        h.Changed();
        RaiseCatalogError(std::string("cannot ") + Verb(c) + " " + what + ": " + e.Description(),
                          FaultName(ClassifyADOError(e), "other"));
    }
    h.Changed();
    if (!ok) {
        RaiseConnectionError(db, std::string("the catalog refused to ") + Verb(c) + " " + what,
                             "refused");
    }
    return true;
}

void ChangeRecord(CatalogHandle& h, const py::handle& record, Change c) {
    if (!(TryChange<CTQPipeMatl>(h, record, c) || TryChange<CTQPipeSpec>(h, record, c) ||
          TryChange<CTQDuctSpec>(h, record, c) || TryChange<CTQPipeValve>(h, record, c) ||
          TryChange<CTQWaterProp>(h, record, c) || TryChange<CTQSteamProp>(h, record, c))) {
        throw py::type_error(std::string("Catalog.") +
                             (c == Change::Add      ? "Add"
                              : c == Change::Update ? "Update"
                                                    : "Delete") +
                             "() takes a catalog record (CTQPipeMatl, CTQPipeSpec, ...), not " +
                             Py_TYPE(record.ptr())->tp_name);
    }
}

} // namespace

void BindCatalogChanges(py::class_<CatalogHandle, std::shared_ptr<CatalogHandle>>& c) {
    c.def(
        "Add", [](CatalogHandle& h, const py::object& r) { ChangeRecord(h, r, Change::Add); },
        py::arg("record"),
        "Stores the record as a new row and sets its ID; CatalogError (nothing\n"
        "written) when a row of the same key exists or the write fails.");
    c.def(
        "Update", [](CatalogHandle& h, const py::object& r) { ChangeRecord(h, r, Change::Update); },
        py::arg("record"),
        "Rewrites the row of the record's ID after the same checks as Add;\n"
        "CatalogError, nothing written, when refused.");
    c.def(
        "Delete", [](CatalogHandle& h, const py::object& r) { ChangeRecord(h, r, Change::Delete); },
        py::arg("record"), "Deletes the row of the record's ID; CatalogError when refused.");
}

} // namespace tqrvn_py
