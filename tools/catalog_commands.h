// The "tqrvn catalog" commands: create a catalog file, list its tables, and
// export or import one material with its sizes.  Every command except
// create works through the library's public catalog API, as a host does.
#pragma once

#include <ostream>
#include <string>

namespace tqrvn {

/// Exit status of a request that cannot be carried out (missing catalog,
/// unknown material, refused import).
inline constexpr int kCatalogError = 1;

/// The catalog the commands use: `path` when given, else the library's
/// default location (RVN::GetDataSourceFileName).
std::string CatalogPath(const std::string& path);

/// Builds a catalog file at path from the data folder (refuses an existing
/// file unless force); a connection string or "postgresql://" URI in path
/// makes the catalog on that server instead.
int CatalogCreate(const std::string& path, const std::string& dataDir, bool force,
                  std::ostream& out, std::ostream& err);

/// Makes the catalog tables on a server's database and fills them with the
/// seed data (refuses a database that holds catalog rows unless force).
int CatalogCreateOnServer(const std::string& connection, const std::string& dataDir, bool force,
                          std::ostream& out, std::ostream& err);

/// Copies the whole catalog `from` into `to` (each a file path, a connection
/// string or a "postgresql://" URI) in one transaction on `to`; refuses a
/// target holding catalog rows unless force.  A file target that does not
/// exist is made, with the tables of dataDir/schema.sql.
int CatalogCopy(const std::string& from, const std::string& to, const std::string& dataDir, bool force,
                std::ostream& out, std::ostream& err);

/// Lists one table: what = materials, sizes (of `material`, a name or an
/// ID), ducts, valves, water or steam.
int CatalogList(const std::string& catalog, const std::string& what, const std::string& material,
                bool json, std::ostream& out, std::ostream& err);

/// Writes the material called `name` with its sizes to an XML file.
int CatalogExportMaterial(const std::string& catalog, const std::string& name,
                          const std::string& file, std::ostream& out, std::ostream& err);

/// Adds the material of an XML file and its sizes under new IDs; refuses a
/// name the catalog has already.  All or nothing.
int CatalogImportMaterial(const std::string& catalog, const std::string& file, std::ostream& out,
                          std::ostream& err);

} // namespace tqrvn
