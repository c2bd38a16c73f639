// Copying a whole catalog between two connections: a file onto a server to
// move an office's catalog there, a server into a file for a laptop on site.
#pragma once

#include "TQRVNBaseExport.h"

#include <string>

class CADODatabase;

namespace RVN {

/// The connection string of a catalog named by `name`: a connection string
/// (it holds "Provider=") as it is, a "postgresql://" or "postgres://" URI
/// as the data source of a PostgreSQL connection, and anything else as the
/// path of a catalog file, quoted so that blanks and ';' stay part of it.
TQRVNBASE_API std::string CatalogConnectionString(const std::string& name);

/// How to show a catalog to a person: a file's path as it is, a server's
/// connection string with its password masked ("Password=***").
TQRVNBASE_API std::string CatalogDisplayName(const std::string& name);

/// True when `name` names a catalog on a server rather than a file.
TQRVNBASE_API bool IsServerCatalog(const std::string& name);

/// Copies every catalog table (materials, pipe sizes, duct sizes, valves,
/// water and steam properties) of `from` into `to`, rows with their IDs, in
/// one transaction on `to`: the target holds the whole copy or is left as
/// it was.  Tables missing on the target are made first from `schemaSql`
/// (the text of data/schema.sql; "" when the target must have them).  A
/// target that holds any catalog row is refused unless `replace`, which
/// empties its tables first.  New rows added to the target later are
/// numbered above the copied ones.
///
/// False with the reason in `error` (passwords masked) on any failure.
TQRVNBASE_API bool CopyCatalog(CADODatabase& from, CADODatabase& to, const std::string& schemaSql,
                               bool replace, std::string& error);

} // namespace RVN
