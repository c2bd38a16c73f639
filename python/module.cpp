// The extension tqrvn._tqrvn: the formulas of namespace RVN over numbers and
// arrays, the design layer's sizing, and the catalog.
#define TQRVN_IMPORT_NUMPY
#include "NumpyApi.h"

#include "Bindings.h"
#include "NumericFunction.h"

namespace py = pybind11;

namespace {

bool ImportNumpy() {
    // The import macros return from the calling function on failure.
    import_array1(false);
    import_umath1(false);
    return true;
}

} // namespace

PYBIND11_MODULE(_tqrvn, m) {
    if (!ImportNumpy()) {
        throw py::error_already_set();
    }
    m.doc() = "The formulas, catalog and sizing of TQRVNBase.";
    tqrvn_py::AddGeometryFunctions(m.ptr());
    tqrvn_py::AddFrictionFunctions(m.ptr());
    tqrvn_py::AddPipeFunctions(m.ptr());
    tqrvn_py::AddUnitFunctions(m.ptr());
    m.def("SetThreadCount", &tqrvn_py::SetThreadCount, py::arg("count"),
          "Sets how many threads an array call may use (0: one per processor, the\n"
          "default; 1: the calling thread only).");
    m.def("ThreadCount", &tqrvn_py::ThreadCount, "The number of threads an array call may use.");
    tqrvn_py::AddDesign(m);
    tqrvn_py::AddDesignBatch(m);
    tqrvn_py::AddCatalog(m);
    tqrvn_py::AddCatalogRecords(m);
#ifdef TQRVN_WITH_NETWORK
    tqrvn_py::AddNetwork(m);
#endif
}
