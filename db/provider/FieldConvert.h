// Conversions between the values of fields (Variant) and the values an
// engine stores (Stored), by the declared type of the field's column.
// Internal to the library.
#pragma once

#include "db/provider/Engine.h"
#include "db/provider/Variant.h"

namespace RVNADO::detail {

inline const char* const kFieldSource = "RVNADO.Field";

// Status code of a text longer than its column or a value too big to store.
inline constexpr HRESULT kDataOverflow = static_cast<HRESULT>(0x80040E57u);

// The value of a stored cell as the field's kind.  A value whose storage
// does not fit the declared type (an engine may accept any value in any
// column) comes back in the kind of its storage.
Variant ToVariant(const Raw& r, const ColumnInfo& c);

// The value a variant is stored as in the field's column; throws
// ComError(0x80040E07) when it cannot be converted to the column's type and
// ComError(kDataOverflow) for text longer than a declared length.
Stored Coerce(const Variant& v, const ColumnInfo& c);

// Decimal digits of v with a leading '-' when negative.
std::string IntText(std::int64_t v);

// True for the binary field types.
bool IsBinaryType(DataTypeEnum t);

} // namespace RVNADO::detail
