// Recordsets saved as XML files.  Internal to the library.
//
// The layout (UTF-8):
//   <TQRVNRecordset version="1">
//     <Fields>
//       <Field name="ID" type="3" definedSize="4" attributes="32784" precision="0" scale="0"/>
//       ...
//     </Fields>
//     <Rows>
//       <R><V k="3">12</V><V k="1"/><V k="8">Steel</V>...</R>
//       ...
//     </Rows>
//   </TQRVNRecordset>
// Each row holds one V per field, in field order; k is the value's kind
// (RVNADO::VarType).  Values are written in the C locale so that reading
// them back gives the same value: integers in decimal, single and double
// values in their shortest exact form, dates as serial days, currency
// amounts as 1/10000 units, Booleans as 1 or 0, decimals as
// "scale sign high64 low64".  Binary data, and texts that XML cannot carry
// unchanged (control characters, a text of blanks only, malformed UTF-8),
// are written in base64 with b="1".
#pragma once

#include "db/provider/RVNADOTypes.h"
#include "db/provider/Variant.h"

#include <string>
#include <vector>

namespace RVNADO::detail {

struct SavedField {
    std::string name;
    DataTypeEnum type = adEmpty;
    long definedSize = 0;
    long attributes = 0;
    int precision = 0;
    int scale = 0;
};

// The XML text of the fields and rows (each row: one value per field).
std::string WriteRecordsetXml(const std::vector<SavedField>& fields, const std::vector<const Variant*>& rows);

// The largest saved recordset that is read, in bytes.  Parsing holds the
// text once (parsed in place), a tree of its elements and the values read,
// some 14 times the text's size at the peak (about 220 MB for 16 MiB), so a
// larger file is refused rather than read into memory that the host program
// needs.  16 MiB holds some 700,000 values, hundreds of times the largest
// catalog table.
inline constexpr std::size_t kMaxSavedRecordsetBytes = 16u << 20;

// Reads a saved recordset, parsing `text` in place (its content is spent);
// throws ComError(0x800A0BBB) naming the fault for a text that is not one
// or is damaged.
void ReadRecordsetXml(std::string& text, std::vector<SavedField>& fields, std::vector<Variant>& cells,
                      long& rows);

}  // namespace RVNADO::detail
