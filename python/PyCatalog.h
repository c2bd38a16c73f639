// A catalog file opened from Python, the snapshot sizing reads from it, and
// the module's two exception types.
#pragma once

#include "catalog/RVNDataBase.h"
#include "db/ADODatabase.h"
#include "db/ADOFault.h"
#include "design/CatalogSnapshot.h"
#include "design/DesignTypes.h"

#include <pybind11/pybind11.h>

#include <memory>
#include <string>

namespace tqrvn_py {

/// A catalog file and the module's own connection to it.  Calls on one
/// catalog are serialised (a connection is used by one thread at a time);
/// the snapshot for sizing is read once and read again after a change made
/// through this object.  Calls hold the GIL, so one thread at a time uses
/// the connection.
class CatalogHandle {
public:
    /// Opens the file; the default catalog beside the library for "".
    /// Raises CatalogError when it cannot be opened.
    explicit CatalogHandle(const std::string& path);

    /// The default catalog, opened on first use and kept.
    static std::shared_ptr<CatalogHandle> Default();
    /// None: the default; a CatalogHandle; a path (str or os.PathLike).
    static std::shared_ptr<CatalogHandle> From(const pybind11::object& catalog);

    const std::string& Path() const { return path_; }
    /// The connection; raises CatalogError once the catalog is closed.
    CADODatabase* Db();
    /// The snapshot of the catalog; raises DesignError when it cannot be read.
    CTQCatalogSnapshot::Ptr Snapshot();
    /// Drops the snapshot after a change.
    void Changed() { snapshot_.reset(); }
    void Close();
    bool IsOpen() const { return db_ != nullptr; }

private:
    std::string path_;
    std::unique_ptr<CADODatabase> db_;
    CTQCatalogSnapshot::Ptr snapshot_;
};

/// Creates tqrvn.DesignError (a ValueError) and tqrvn.CatalogError (a
/// ValueError) in the module.
void AddErrorTypes(pybind11::module_& m);
/// Raises DesignError carrying e.Text(), with the attributes field, kind
/// ("input" or "catalog") and message.
[[noreturn]] void RaiseDesignError(const RVN::CTQDesignError& e);
/// Raises CatalogError with the attributes fault ("refused", "locked",
/// "read-only", "disk full", "damaged", "missing", "other") and message.
[[noreturn]] void RaiseCatalogError(const std::string& message, const char* fault);
/// The fault's name in CatalogError.fault; `fallback` for None and Other.
const char* FaultName(ADOFault fault, const char* fallback);
/// The error recorded on a connection as a CatalogError, `what` in front.
[[noreturn]] void RaiseConnectionError(CADODatabase* db, const std::string& what,
                                       const char* fallbackFault);

} // namespace tqrvn_py
