// The database layer's error text, shared by its classes.  Internal to the
// library.
#pragma once

#include "db/provider/RVNADOTypes.h"

#include <string>

namespace tqrvn::db {

// "<title>\n\tCode = %08lx\n\tCode meaning = ...\n\tSource = ...\n\tDescription = ...\n"
std::string FormatComError(const char* title, const RVNADO::ComError& e);

// The text of the code: the message table's text without a trailing line
// break; else "IDispatch error #n" for 0x80040201..0x8004FFFF; else
// "Unknown error 0xXXXXXXXX".
std::string CodeMeaning(std::uint32_t code);

// Walks a recordset whose provider cannot tell its record count.
unsigned long CountRecords(RVNADO::Recordset& rs);

}  // namespace tqrvn::db
