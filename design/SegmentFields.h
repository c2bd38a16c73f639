// A segment written as text, the way a person gives it on a command line or
// in a column of a batch or network file, and its reading into a request.
#pragma once

#include "TQRVNBaseExport.h"
#include "design/DesignTypes.h"

#include <span>
#include <string>
#include <string_view>

namespace RVN {

/// The text of each field of a segment; an empty field takes its default.
/// Quantities are "VALUE UNIT" ("1.2 m3/h", "15 kW", "0.2 mm").
struct CTQSegmentFields {
    std::string id;         ///< a label
    std::string material;   ///< name or ID
    std::string category;   ///< water, plastic, ppr (or 1, 2, 3)
    std::string flow;       ///< volume or mass flow with its unit (required)
    std::string load;       ///< heat load with its unit (W, kW, kcal/h, RT, ...)
    std::string dt;         ///< temperature difference carrying the load, K
    std::string length;     ///< m unless a length unit is given
    std::string zeta;       ///< further coefficients, a plain number
    std::string fittings;   ///< "NAME=COUNT;NAME=COUNT" (',' too; a name alone counts once)
    std::string temp;       ///< degC
    std::string by;         ///< rm, velocity or load
    std::string roughness;  ///< m unless a length unit is given
    std::string steam;      ///< yes or no
    std::string dn;         ///< a size to check instead of selecting one
};

/// The field names, which are also the batch columns and the options:
/// id, material, category, flow, load, dt, length, zeta, fitting, temp, by,
/// roughness, steam, dn.
TQRVNBASE_API std::span<const char* const> SegmentFieldNames();

/// The field of that name (any case; "fittings" for "fitting" too), nullptr
/// when there is none.
TQRVNBASE_API std::string* SegmentField(CTQSegmentFields& fields, std::string_view name);
/// The position of a field name in SegmentFieldNames() (the same names as
/// SegmentField), -1 when there is none; and the field at a position.
TQRVNBASE_API int SegmentFieldIndex(std::string_view name);
TQRVNBASE_API std::string& SegmentFieldAt(CTQSegmentFields& fields, int index);

/// The text field that gives a member of CTQSegmentRequest, for messages of
/// a front end whose user wrote the fields ("heatLoad" -> "load",
/// "temperature" -> "temp", "fittings" -> "fitting", "fluid" -> "steam");
/// other names are returned as they are.
TQRVNBASE_API std::string_view SegmentFieldOfRequestField(std::string_view requestField);

/// Reads the fields into a request: quantities by ParseQuantity (a flow and
/// a load need their unit), full-width input read as ASCII, every field
/// checked for its form (the values themselves are checked by SizeSegment).
/// The error names the field as it is written here.
TQRVNBASE_API CTQDesignOutcome<CTQSegmentRequest> ParseSegmentFields(const CTQSegmentFields& fields);

}  // namespace RVN
