// Text handling of the database provider that does not touch the engine:
// connection strings, the desktop engine's SQL forms, declared column
// types and name comparison.  Internal to the library.
#pragma once

#include "db/provider/RVNADOTypes.h"

#include <map>
#include <string>

namespace RVNADO::detail {

// Key/value pairs of a connection string, keys in lower case with inner
// blanks kept ("data source").  A value may be double-quoted; "" inside a
// quoted value stands for one quote.  Throws ComError(InvalidArgument) for
// an unterminated quote or a pair without '='.
std::map<std::string, std::string> ParseConnectionString(const std::string& text);

// Rewrites the desktop engine's "delete * from" (any case, any blanks) at
// the start of the text to "delete from"; everything else is kept.
std::string TranslateSql(const std::string& text);

// True when a and b are equal ignoring the case of ASCII letters.
inline bool EqualsNoCase(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x == y)
            continue;
        if (x >= 'A' && x <= 'Z')
            x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<char>(y - 'A' + 'a');
        if (x != y)
            return false;
    }
    return true;
}
bool EqualsNoCase(const char* a, const std::string& b);

// The identifier in double quotes, inner quotes doubled.
std::string QuoteIdentifier(const std::string& name);

// What a declared column type means for a field.
struct DeclaredType {
    DataTypeEnum type = adEmpty;  // adEmpty: no declared type
    long definedSize = 0;
    long attributes = 0;          // adFldLong for long text and binary, adFldFixed for fixed sizes
    int precision = 0;
    int scale = 0;
    bool sized = false;           // a length was declared, as in VARCHAR(50)
};
DeclaredType TypeFromDeclaration(const char* declared);

// Number of characters (code points) of a UTF-8 text.
std::size_t Utf8Length(const std::string& text);

}  // namespace RVNADO::detail
