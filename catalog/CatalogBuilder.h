// Builds a catalog database file (SQLite 3, "RVNDatasource.mdb") from the
// schema and the seed tables of a data folder.
#pragma once

#include "TQRVNBaseExport.h"

#include <string>

namespace RVN {

/// Creates the catalog file `path` from `dataDir`/schema.sql and one CSV file
/// per table of the schema, `dataDir`/<table>.csv.
///
/// CSV files: UTF-8 (an initial byte-order mark is skipped), fields separated
/// by ',', RFC 4180 quoting ("..." with "" for a quote, line breaks allowed
/// inside quotes), LF or CRLF line ends.  The first row names every column of
/// the table exactly once (in any order).  An INTEGER column takes a decimal
/// integer, a REAL column a decimal number with '.' as decimal point (read
/// independently of the process locale); an empty unquoted field is NULL.
///
/// The file is written whole as a temporary file beside `path` (all rows in
/// one transaction), checked by the engine's quick integrity check, synced
/// and then renamed to `path` (RVN::AtomicFile), so `path` is either left as
/// it was or holds the complete new catalog.  A temporary file that a killed
/// build left behind is removed by the next build of the same path.  An
/// existing `path` is refused unless `force`, which replaces it.
///
/// Returns false with a message in `error` on any failure; a problem in a
/// CSV file is reported as "FILE:LINE: what".
TQRVNBASE_API bool BuildCatalog(const std::string& path, const std::string& dataDir,
                                bool force, std::string& error);

/// The same with the tables of the schema only, all empty (no CSV file is
/// read): a catalog a program or a test fills itself.
TQRVNBASE_API bool BuildEmptyCatalog(const std::string& path, const std::string& dataDir,
                                     bool force, std::string& error);

/// The folder of the seed tables this library was installed with
/// (<prefix>/share/TQRVNBase/data, found relative to the library file, so in
/// any prefix), or in a build tree the source's data folder; with a trailing
/// '/'.  Empty when neither holds a schema.sql.
TQRVNBASE_API std::string SeedDataFolder();

}  // namespace RVN
