// The "tqrvn size" and "tqrvn duct" commands: sizing of pipe segments
// against the catalog, one segment from the command line or a batch of
// segments from a CSV file, and duct sizing by velocity.
//
// Both work through the library's public API as a host program does: they
// open the catalog as the default connection, list the materials, sizes,
// valves and steam rows they need (each once per run), fill a segment record
// of the material's kind, select its size and calculate its losses.
#pragma once

#include <ostream>
#include <string>

namespace tqrvn {

/// One pipe segment as the user wrote it.  Every field is text, exactly as
/// given on the command line or in a batch row; an empty field takes its
/// default.  Quantities with a unit are "VALUE UNIT" ("1.2 m3/h", "15 kW").
struct SegmentText {
    std::string id;        ///< label copied to the batch output
    std::string material;  ///< name or ID; empty: the first material of the category
    std::string category;  ///< water, plastic or ppr (or 1, 2, 3); empty: the material's
    std::string flow;      ///< volume or mass flow with its unit
    std::string load;      ///< heat load, W unless a power unit is given
    std::string dt;        ///< temperature difference carrying the load, K
    std::string length;    ///< m unless a length unit is given
    std::string zeta;      ///< local-resistance coefficients besides the fittings
    std::string fittings;  ///< "NAME=COUNT;NAME=COUNT" (a name alone counts once)
    std::string temp;      ///< fluid temperature, degC
    std::string by;        ///< rm, velocity or load
    std::string roughness; ///< m unless a length unit is given
    std::string steam;     ///< yes/no: saturated steam instead of water
};

struct SizeOptions {
    std::string catalog;   ///< catalog file; empty: the library's default location
    std::string batch;     ///< batch file ("-" for standard input); empty: one segment
    bool json = false;     ///< JSON (JSON lines for a batch) instead of text (CSV)
    bool progress = false; ///< a batch may draw a progress bar on err (a terminal)
    SegmentText segment;   ///< the segment, or the defaults of a batch's empty fields
};

/// Exit status of bad input: a value out of range, a missing or conflicting
/// option, an unknown material or fitting, a bad batch row.
inline constexpr int kInputError = 2;

/// Sizes one segment or a batch; results on out, problems on err.  0 when
/// every segment was sized (also when a size is only the nearest one), 1
/// when the catalog cannot be used, kInputError for bad input (a batch runs
/// every good row all the same).
int SizeCommand(const SizeOptions& options, std::ostream& out, std::ostream& err);

/// Text for the end of "tqrvn size --help": fluids, fittings, the batch file.
const char* SizeHelpFooter();

struct DuctOptions {
    std::string catalog;      ///< catalog file; empty: the library's default location
    std::string flow;         ///< air flow with its unit
    std::string velocity;     ///< target velocity, m/s unless a speed unit is given
    std::string roughness;    ///< wall roughness, m unless a length unit is given
    bool circular = false;    ///< only circular ducts
    bool rectangular = false; ///< only rectangular ducts (neither flag: both)
    bool json = false;
};

/// Picks the circular and/or rectangular duct whose velocity is nearest the
/// target and prints its velocity, specific friction and dynamic pressure.
int DuctCommand(const DuctOptions& options, std::ostream& out, std::ostream& err);

/// Text for the end of "tqrvn duct --help".
const char* DuctHelpFooter();

} // namespace tqrvn
