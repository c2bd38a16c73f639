// The catalog's record classes in Python, their structured arrays and the
// changes of records through a catalog.
#pragma once

#include "PyCatalog.h"

#include <pybind11/pybind11.h>

#include <memory>

namespace tqrvn_py {

/// Structured arrays of the numeric members of lists of records.
pybind11::object SizeTable(const pybind11::object& sizes);
pybind11::object DuctTable(const pybind11::object& ducts);
pybind11::object WaterTable(const pybind11::object& rows);
pybind11::object SteamTable(const pybind11::object& rows);

/// Catalog.Add, Update and Delete.
void BindCatalogChanges(pybind11::class_<CatalogHandle, std::shared_ptr<CatalogHandle>>& c);

} // namespace tqrvn_py
