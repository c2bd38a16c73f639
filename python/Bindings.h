// The parts of the extension tqrvn._tqrvn, each adding its names to the
// module.
#pragma once

#include <pybind11/pybind11.h>

namespace tqrvn_py {

void AddGeometryFunctions(PyObject* module);
void AddFrictionFunctions(PyObject* module);
void AddPipeFunctions(PyObject* module);
void AddUnitFunctions(PyObject* module);

void AddDesign(pybind11::module_& m);
void AddDesignBatch(pybind11::module_& m);
void AddCatalog(pybind11::module_& m);
void AddCatalogRecords(pybind11::module_& m);
void AddNetwork(pybind11::module_& m);

} // namespace tqrvn_py
