// The "tqrvn network" command: a network file in, the library's network
// layer, a report, JSON or CSV out, and the schematic as SVG.
#pragma once

#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace tqrvn {

struct NetworkOptions {
    std::string file;    ///< the network, CSV or .json
    std::string catalog; ///< catalog file; empty: the library's default location
    bool json = false;   ///< the network and its results as JSON
    bool csv = false;    ///< the network and its results as CSV
    std::string svg;     ///< the schematic to this file, when given
    std::string png;     ///< the schematic as PNG to this file, when given
    bool balanceBySize = false;
    /// Settings of the file overridden from the command line: key and text.
    std::vector<std::pair<std::string, std::string>> settings;
};

/// Sizes the network of the file.  0 done; 2 (kInputError) when the file or
/// an option is at fault (every error printed, nothing written); 1 when the
/// catalog, the drawing or an output fails.
int NetworkCommand(const NetworkOptions& options, std::ostream& out, std::ostream& err);

/// Text for the end of "tqrvn network --help".
const char* NetworkHelpFooter();

} // namespace tqrvn
