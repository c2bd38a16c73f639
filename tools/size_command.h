// The "tqrvn size" and "tqrvn duct" commands: the options of a segment in,
// a call of the library's design layer, text, JSON or CSV out.  A batch
// file is read and written row by row, so a batch of any length runs in the
// same memory.
#pragma once

#include <TQRVNBase.h>

#include <ostream>
#include <string>

namespace tqrvn {

/// Exit status of bad input: a value out of range, a missing or
/// conflicting option, an unknown material or fitting, a bad batch row.
inline constexpr int kInputError = 2;

struct SizeOptions {
    std::string catalog;       ///< catalog file; empty: the library's default location
    std::string batch;         ///< batch file ("-" for standard input); empty: one segment
    bool json = false;         ///< JSON (JSON lines for a batch)
    bool csv = false;          ///< CSV rows (the batch's columns) for one segment or a table
    bool table = false;        ///< every size of the material at the segment's flow
    bool progress = false;     ///< a batch may draw a progress bar on err (a terminal)
    RVN::CTQSegmentFields fields;  ///< the segment, or the defaults of a batch's empty columns
};

/// Sizes one segment, lists its material's sizes, or runs a batch.  0 when
/// every segment was sized (a nearest size too), 1 when the catalog cannot
/// be used or the output cannot be written, kInputError for bad input (a
/// batch runs every good row all the same).
int SizeCommand(const SizeOptions& options, std::ostream& out, std::ostream& err);

/// Text for the end of "tqrvn size --help".
const char* SizeHelpFooter();

struct DuctOptions {
    std::string catalog;
    std::string flow;          ///< air flow with its unit
    std::string velocity;      ///< target velocity, m/s unless a speed unit is given
    std::string roughness;     ///< m unless a length unit is given
    bool circular = false;     ///< only circular ducts
    bool rectangular = false;  ///< only rectangular ducts (neither flag: both)
    bool json = false;
};

/// Picks the circular and/or rectangular duct whose velocity is nearest the
/// target and prints its velocity, specific friction and dynamic pressure.
int DuctCommand(const DuctOptions& options, std::ostream& out, std::ostream& err);

/// Text for the end of "tqrvn duct --help".
const char* DuctHelpFooter();

/// Opens the catalog file as the default connection and reads it once; on
/// failure says why on err and returns null.
CTQCatalogSnapshot::Ptr OpenCatalog(const std::string& path, std::ostream& err);

}  // namespace tqrvn
