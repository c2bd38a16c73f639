// The SQL text of the desktop engine and of the SQLite engine as the
// PostgreSQL server takes it.  Internal to the library.
#pragma once

#include <string>

namespace RVNADO::detail {

// Length of the first statement of text, up to and including its ';' (the
// whole text when there is none).  Quotes ('...', "...", $tag$...$tag$) and
// comments (-- to the end of the line, /* ... */) are skipped.
std::size_t FirstStatementLength(const std::string& text);

// True when text holds only blanks, separators and comments.
bool IsEmptyStatement(const std::string& text);

// One statement rewritten for the server: "?" placeholders outside quotes
// and comments numbered $1, $2, ... (their count in *placeholders); in
// CREATE TABLE and ALTER TABLE statements, the types of the other engines
// (REAL and DOUBLE as double precision, SINGLE as real, DATETIME as
// timestamp, BLOB and LONGBINARY as bytea, CURRENCY and MONEY as
// the domain currency, YESNO and BIT as boolean, BYTE and TINYINT as the
// domain byte, UNSIGNED INT as the domain uint, MEMO and LONGTEXT as the
// domain memo, LONG as integer) and the autonumber key "INTEGER PRIMARY KEY
// [AUTOINCREMENT]" as an identity column.  The rest is kept as it is.
std::string ToPostgresSql(const std::string& statement, int* placeholders);

// The desktop engine's types the server lacks, made as domains of the
// current schema under their own names (byte, uint, currency, memo), so that
// a column declared with one is described as it was declared; and whether a
// translated statement uses them.
extern const char* const kDesktopTypes;
bool UsesDesktopTypes(const std::string& translated);

// The declared type of a column as the server reports it (format_type),
// in the words the provider's type rules read.
std::string DeclarationOfServerType(const std::string& serverType);

// True when the statement's first word is one that only reads.
bool IsReadingStatement(const std::string& statement);

} // namespace RVNADO::detail
