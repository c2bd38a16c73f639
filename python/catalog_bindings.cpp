// The catalog from Python: opening a catalog file, listing its tables as
// records or NumPy structured arrays, and changing records through the
// library's own rules.
#include "Bindings.h"
#include "PyCatalog.h"
#include "PyCatalogRecords.h"

#include "catalog/CTQDuctSpec.h"
#include "catalog/CTQPipeMatl.h"
#include "catalog/CTQPipeValve.h"
#include "catalog/CTQSteamProp.h"
#include "catalog/CTQWaterProp.h"
#include "catalog/CatalogBuilder.h"
#include "db/ADOFault.h"

#include <pybind11/stl.h>

namespace py = pybind11;

namespace tqrvn_py {

namespace {

PyObject* g_designError = nullptr;
PyObject* g_catalogError = nullptr;

[[noreturn]] void Raise(PyObject* type, const std::string& text,
                        const std::vector<std::pair<const char*, std::string>>& attributes) {
    py::object exc = py::reinterpret_borrow<py::object>(type)(text);
    for (const auto& [name, value] : attributes) {
        exc.attr(name) = value;
    }
    PyErr_SetObject(type, exc.ptr());
    throw py::error_already_set();
}

/// A listing of the library, with the failure of its query raised: the
/// library gives an empty list then and records the reason on the connection.
template <class Read> void ReadChecked(CatalogHandle& h, const std::string& what, Read&& read) {
    CADODatabase* db = h.Db();
    db->ClearLastError();
    try {
        read(db);
    } catch (const RVNADO::ComError& e) {
        RaiseCatalogError("cannot read " + what + " from " + h.Path() + ": " + e.Description(),
                          FaultName(ClassifyADOError(e), "other"));
    }
    if (db->GetLastError() != 0) {
        RaiseConnectionError(db, "cannot read " + what + " from " + h.Path(), "other");
    }
}

template <class T> py::list ToList(const CTQArray<T>& arr) {
    py::list out;
    for (const T& r : arr) {
        out.append(py::cast(r));
    }
    return out;
}

CTQPipeMatl FindMaterial(CatalogHandle& h, const py::handle& material) {
    if (py::isinstance<CTQPipeMatl>(material)) {
        return material.cast<CTQPipeMatl>();
    }
    CTQPipeMatl m;
    bool found = false;
    ReadChecked(h, "the material", [&](CADODatabase* db) {
        found =
            PyLong_Check(material.ptr())
                ? m.UpdateData(material.cast<long>(), true, db)
                : CTQPipeMatlManager::GetMatl(m, py::str(material).cast<std::string>().c_str(), db);
    });
    if (!found) {
        RaiseDesignError(
            {RVN::TQDesignErrorKind::Input, "material",
             "no material " + py::repr(material).cast<std::string>() + " in the catalog"});
    }
    return m;
}

void BindCatalogListings(py::class_<CatalogHandle, std::shared_ptr<CatalogHandle>>& c) {
    c.def(
        "Materials",
        [](CatalogHandle& h, int category) {
            CTQArray<CTQPipeMatl> arr;
            ReadChecked(h, "the materials", [&](CADODatabase* db) {
                CTQPipeMatlManager::GetAllMatl(arr, category, db);
            });
            return ToList(arr);
        },
        py::arg("category") = 0,
        "The materials of a category (1 water, 2 plastic, 3 PPR; 0 all), by name.");
    c.def(
        "Material", [](CatalogHandle& h, const py::object& m) { return FindMaterial(h, m); },
        py::arg("material"), "The material of a name or an ID; DesignError when there is none.");
    c.def(
        "Sizes",
        [](CatalogHandle& h, const py::object& m) {
            CTQPipeMatl matl = FindMaterial(h, m);
            CTQArray<CTQPipeSpec> arr;
            ReadChecked(h, "the sizes", [&](CADODatabase* db) { matl.GetAllSpec(arr, db); });
            return ToList(arr);
        },
        py::arg("material"), "The sizes of a material (name, ID or CTQPipeMatl) in DN order.");
}

void BindCatalogOtherListings(py::class_<CatalogHandle, std::shared_ptr<CatalogHandle>>& c) {
    c.def(
        "Ducts",
        [](CatalogHandle& h, int section) {
            CTQArray<CTQDuctSpec> arr;
            ReadChecked(h, "the ducts", [&](CADODatabase* db) {
                CTQDuctSpecManager::GetAllSpec(arr, section, db);
            });
            return ToList(arr);
        },
        py::arg("section") = 0,
        "The duct sizes of a section (0 circular, 1 rectangular) by width.");
    c.def(
        "Valves",
        [](CatalogHandle& h, int kind) {
            CTQArray<CTQPipeValve> arr;
            ReadChecked(h, "the valves",
                        [&](CADODatabase* db) { CTQPipeValveManager::GetAllValve(arr, kind, db); });
            return ToList(arr);
        },
        py::arg("kind") = 0,
        "The valves and fittings of a kind (1 steel-pipe, 2 plastic; 0 all), by name.");
    c.def(
        "WaterProps",
        [](CatalogHandle& h) {
            CTQArray<CTQWaterProp> arr;
            ReadChecked(h, "the water table",
                        [&](CADODatabase* db) { RVN::GetAllWaterProp(arr, db); });
            return ToList(arr);
        },
        "The rows of the water property table by temperature.");
    c.def(
        "SteamProps",
        [](CatalogHandle& h) {
            CTQArray<CTQSteamProp> arr;
            ReadChecked(h, "the steam table",
                        [&](CADODatabase* db) { RVN::GetAllSteamProp(arr, db); });
            return ToList(arr);
        },
        "The rows of the saturated-steam property table by temperature.");
}

void BindCatalogTables(py::class_<CatalogHandle, std::shared_ptr<CatalogHandle>>& c) {
    c.def(
        "SizeTable",
        [](const py::object& self, const py::object& m) {
            return SizeTable(self.attr("Sizes")(m));
        },
        py::arg("material"),
        "The sizes of a material as a structured array: DN, InsD, OutD, Thickness (mm),\n"
        "MinV, MaxV (m/s), MinH, MaxH (W), MinR, MaxR (Pa/m), MatlID, ID.");
    c.def(
        "DuctTable",
        [](const py::object& self, int section) { return DuctTable(self.attr("Ducts")(section)); },
        py::arg("section") = 0,
        "The duct sizes of a section as a structured array: Section, Width, Height (mm),\n"
        "Thickness (mm), ID.");
    c.def(
        "WaterTable", [](const py::object& self) { return WaterTable(self.attr("WaterProps")()); },
        "The water table as a structured array: Temperature (degC), Density (kg/m3),\n"
        "Viscosity (1e-6 m2/s), SpecificHeat (kJ/(kg K)), ID.");
    c.def(
        "SteamTable", [](const py::object& self) { return SteamTable(self.attr("SteamProps")()); },
        "The saturated-steam table as a structured array: Temperature (degC), Pressure\n"
        "(kPa), Density (kg/m3), Qhr (kJ/kg), SpecificHeat (kJ/(kg K)), Viscosity\n"
        "(1e-6 m2/s), ID.");
}

} // namespace

const char* FaultName(ADOFault fault, const char* fallback) {
    switch (fault) {
    case ADOFault::Locked:
        return "locked";
    case ADOFault::ReadOnly:
        return "read-only";
    case ADOFault::DiskFull:
        return "disk full";
    case ADOFault::Damaged:
        return "damaged";
    default:
        return fallback;
    }
}

CatalogHandle::CatalogHandle(const std::string& path) {
    path_ = path;
    if (path_.empty()) {
        RVN::GetDataSourceFileName(path_);
    }
    std::string error;
    db_ = RVN::OpenCatalogFile(path_, error);
    if (!db_) {
        RaiseCatalogError(error, error.rfind("no catalog", 0) == 0 ? "missing" : "other");
    }
}

std::shared_ptr<CatalogHandle> CatalogHandle::Default() {
    // Kept until the process ends; never destroyed after the interpreter.
    static auto* catalog = new std::shared_ptr<CatalogHandle>();
    if (!*catalog || !(*catalog)->IsOpen()) {
        *catalog = std::make_shared<CatalogHandle>("");
    }
    return *catalog;
}

std::shared_ptr<CatalogHandle> CatalogHandle::From(const py::object& catalog) {
    if (catalog.is_none()) {
        return Default();
    }
    if (py::isinstance<CatalogHandle>(catalog)) {
        return catalog.cast<std::shared_ptr<CatalogHandle>>();
    }
    if (py::isinstance<py::str>(catalog) || py::hasattr(catalog, "__fspath__")) {
        return std::make_shared<CatalogHandle>(
            py::str(py::module_::import("os").attr("fspath")(catalog)));
    }
    throw py::type_error("catalog must be a tqrvn.Catalog, a path or None, not " +
                         std::string(Py_TYPE(catalog.ptr())->tp_name));
}

CADODatabase* CatalogHandle::Db() {
    if (!db_) {
        RaiseCatalogError("the catalog " + path_ + " is closed", "closed");
    }
    return db_.get();
}

CTQCatalogSnapshot::Ptr CatalogHandle::Snapshot() {
    if (!snapshot_) {
        auto loaded = CTQCatalogSnapshot::Load(Db());
        if (!loaded.Ok()) {
            RaiseDesignError(loaded.error);
        }
        snapshot_ = loaded.value;
    }
    return snapshot_;
}

void CatalogHandle::Close() {
    if (db_) {
        try {
            db_->Close();
        } catch (...) {
            // A failing close still lets the connection go.
        }
        db_.reset();
    }
    snapshot_.reset();
}

void AddErrorTypes(py::module_& m) {
    g_designError = PyErr_NewExceptionWithDoc(
        "tqrvn.DesignError",
        "A sizing request the library refused: str(e) is the library's message;\n"
        "e.field names the request field (or catalog table), e.kind is 'input' or\n"
        "'catalog', e.message the reason.",
        PyExc_ValueError, nullptr);
    g_catalogError = PyErr_NewExceptionWithDoc(
        "tqrvn.CatalogError",
        "A catalog that cannot be opened or read, or a change it refused: e.fault is\n"
        "'refused', 'missing', 'locked', 'read-only', 'disk full', 'damaged', 'closed'\n"
        "or 'other'; nothing was written.",
        PyExc_ValueError, nullptr);
    m.add_object("DesignError", py::reinterpret_borrow<py::object>(g_designError));
    m.add_object("CatalogError", py::reinterpret_borrow<py::object>(g_catalogError));
}

void RaiseDesignError(const RVN::CTQDesignError& e) {
    Raise(g_designError, e.Text(),
          {{"field", e.field},
           {"kind", e.kind == RVN::TQDesignErrorKind::Catalog ? "catalog" : "input"},
           {"message", e.message}});
}

void RaiseCatalogError(const std::string& message, const char* fault) {
    Raise(g_catalogError, message, {{"fault", fault}, {"message", message}});
}

void RaiseConnectionError(CADODatabase* db, const std::string& what, const char* fallbackFault) {
    const std::string text = db->GetLastErrorString();
    const ADOFault fault = ClassifyADOError(db->GetLastError(), text);
    RaiseCatalogError(what + ": " + DescribeADOError(db->GetLastError(), text),
                      FaultName(fault, fallbackFault));
}

void AddCatalog(py::module_& m) {
    py::class_<CatalogHandle, std::shared_ptr<CatalogHandle>> c(
        m, "Catalog",
        "A catalog file (RVNDatasource.mdb) opened by the module: Catalog() opens the\n"
        "default one beside the library, Catalog(path) another.  Its listings give\n"
        "records (CTQPipeMatl, CTQPipeSpec, CTQDuctSpec, CTQPipeValve, CTQWaterProp,\n"
        "CTQSteamProp) with to_dict(); the *Table methods give NumPy structured\n"
        "arrays.  Add, Update and Delete change records by the library's rules and\n"
        "raise CatalogError when it refuses (nothing is written then).");
    c.def(
        py::init([](const py::object& path) {
            return std::make_shared<CatalogHandle>(
                path.is_none()
                    ? std::string()
                    : py::str(py::module_::import("os").attr("fspath")(path)).cast<std::string>());
        }),
        py::arg("path") = py::none());
    c.def_property_readonly("path", &CatalogHandle::Path, "The path of the catalog file.");
    c.def("Close", &CatalogHandle::Close, "Closes the connection; later calls raise CatalogError.");
    c.def("__enter__", [](std::shared_ptr<CatalogHandle> h) { return h; });
    c.def("__exit__", [](CatalogHandle& h, const py::args&) { h.Close(); });
    c.def("__repr__", [](const CatalogHandle& h) {
        return "Catalog(" + py::repr(py::str(h.Path())).cast<std::string>() + ")";
    });
    BindCatalogListings(c);
    BindCatalogOtherListings(c);
    BindCatalogChanges(c);
    BindCatalogTables(c);
    m.def(
        "BuildCatalog",
        [](const py::object& path, const py::object& dataDir, bool force, bool empty) {
            const std::string target = py::str(py::module_::import("os").attr("fspath")(path));
            const std::string data =
                dataDir.is_none() ? RVN::SeedDataFolder()
                                  : py::str(py::module_::import("os").attr("fspath")(dataDir))
                                        .cast<std::string>();
            std::string error;
            bool ok = false;
            {
                py::gil_scoped_release release;
                ok = empty ? RVN::BuildEmptyCatalog(target, data, force, error)
                           : RVN::BuildCatalog(target, data, force, error);
            }
            if (!ok) {
                RaiseCatalogError(error, "refused");
            }
            return std::make_shared<CatalogHandle>(target);
        },
        py::arg("path"), py::arg("dataDir") = py::none(), py::arg("force") = false,
        py::arg("empty") = false,
        "Builds a catalog file at path from the schema and seed tables of dataDir (the\n"
        "seed data the library was installed with when None), whole or not at all,\n"
        "and opens it; empty=True builds the tables only.  An existing file is\n"
        "refused unless force.  Raises CatalogError with the reason.");
}

} // namespace tqrvn_py
