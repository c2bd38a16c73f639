// Conversions of provider values to the output types of the database
// layer's typed reads (recordset fields, command parameters, bound row
// members).  Internal to the library.
#pragma once

#include "db/provider/Variant.h"

#include <cstdint>
#include <string>

namespace tqrvn::db {

// A whole number from a value for the integer outputs; false when the value
// does not fit a 64-bit integer.
bool ToInt64(const RVNADO::Variant& v, std::int64_t& out);

// Each returns 1 with the output set, or 0 (output untouched) when the
// value's kind cannot become the output type or does not fit it.  Empty and
// null give 0, false, "", a null date or a null amount.
int Convert(const RVNADO::Variant& v, double& out);
int Convert(const RVNADO::Variant& v, long& out);
int Convert(const RVNADO::Variant& v, unsigned long& out);
int Convert(const RVNADO::Variant& v, int& out);
int Convert(const RVNADO::Variant& v, bool& out);
int Convert(const RVNADO::Variant& v, RVNADO::DateTime& out);
int Convert(const RVNADO::Variant& v, RVNADO::Currency& out);
int Convert(const RVNADO::Variant& v, std::string& out, const std::string& dateFormat);

// The variant a typed write stores: an int and a long in full, an empty
// text as null.
RVNADO::Variant FromLong(long v);
RVNADO::Variant FromULong(unsigned long v);
RVNADO::Variant FromText(const std::string& s);

}  // namespace tqrvn::db
