// "tqrvn size --batch": segments of a CSV file sized row by row.
#pragma once

#include "size_command.h"

namespace tqrvn {

/// Reads the batch of options.batch ("-": standard input) a row at a time,
/// sizes each row over the defaults of options.fields against the catalog
/// and writes its CSV row (a JSON line with options.json) as it goes; the
/// memory used does not depend on the number of rows.  Bad rows are
/// reported on err with their line number and the rest still run.
int RunBatch(const SizeOptions& options, const CTQCatalogSnapshot& catalog, std::ostream& out,
             std::ostream& err);

}  // namespace tqrvn
