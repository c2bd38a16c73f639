// Text handling of the database provider, the message table and ComError.
#include "db/provider/ProviderText.h"

#include "db/NumberText.h"

#include <cctype>
#include <cstring>

namespace RVNADO {

ComError::ComError(HRESULT code, std::string source, std::string description)
    : std::runtime_error(description.empty() ? source : description),
      m_code(code),
      m_source(std::move(source)),
      m_description(std::move(description))
{
}

std::string ComError::ErrorMessage() const { return StatusMessage(m_code); }

std::string StatusMessage(HRESULT code)
{
    struct Entry {
        std::uint32_t code;
        const char* text;
    };
    // The provider's message table: one line per status code it reports.
    static const Entry table[] = {
        {0x00000000u, "The operation completed successfully."},
        {0x80004001u, "Not implemented"},
        {0x80004003u, "Invalid pointer"},
        {0x80004005u, "Unspecified error"},
        {0x8007000Eu, "Not enough memory resources are available to complete this operation."},
        {0x80070070u, "There is not enough space on the disk."},
        {0x80070570u, "The file or directory is corrupted and unreadable."},
        {0x80070057u, "The parameter is incorrect."},
        {0x80040E07u, "The value cannot be converted to the type of the field."},
        {0x80040E09u, "Permission denied: the file cannot be written."},
        {0x80040E14u, "One or more errors occurred during processing of command."},
        {0x80040E23u, "The row has been deleted."},
        {0x80040E2Fu, "The value violates the integrity constraints of the table."},
        {0x80040E37u, "The table or saved query does not exist."},
        {0x80040E57u, "The value is too long for the field."},
        {0x8004D00Eu, "No transaction is active."},
        {0x800A0BB9u, "Arguments are of the wrong type, are out of acceptable range, or are in conflict with one another."},
        {0x800A0BBAu, "The file cannot be found or opened."},
        {0x800A0BBBu, "The file is not a saved recordset, or it is damaged."},
        {0x800A0BBCu, "The file cannot be written."},
        {0x800A0C93u, "Operation is not allowed in this context."},
        {0x800A0BCDu, "Either BOF or EOF is True, or the current record has been deleted."},
        {0x800A0CB3u, "The recordset does not support updating."},
        {0x800A0CC1u, "Item cannot be found in the collection corresponding to the requested name or ordinal."},
        {0x800A0E78u, "Operation is not allowed when the object is closed."},
        {0x800A0E79u, "Operation is not allowed when the object is open."},
        {0x800A0E7Au, "Provider cannot be found. It may not be properly installed."},
    };
    for (const Entry& e : table)
        if (e.code == static_cast<std::uint32_t>(code))
            return e.text;
    return std::string();
}

namespace detail {

namespace {

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
char Upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }

std::string Trim(const std::string& s)
{
    std::size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b]))
        ++b;
    while (e > b && IsBlank(s[e - 1]))
        --e;
    return s.substr(b, e - b);
}

// Matches the keyword at p (case-insensitive) followed by a non-identifier
// character; advances p past it.
bool Keyword(const std::string& s, std::size_t& p, const char* word)
{
    const std::size_t n = std::strlen(word);
    if (s.size() - p < n)
        return false;
    for (std::size_t i = 0; i < n; ++i)
        if (Lower(s[p + i]) != word[i])
            return false;
    if (p + n < s.size()) {
        const char c = s[p + n];
        if (std::isalnum(static_cast<unsigned char>(c)) || c == '_')
            return false;
    }
    p += n;
    return true;
}

void SkipBlanks(const std::string& s, std::size_t& p)
{
    while (p < s.size() && IsBlank(s[p]))
        ++p;
}

}  // namespace

std::map<std::string, std::string> ParseConnectionString(const std::string& text)
{
    std::map<std::string, std::string> pairs;
    std::size_t p = 0;
    const std::size_t n = text.size();
    while (p < n) {
        SkipBlanks(text, p);
        if (p < n && text[p] == ';') {
            ++p;
            continue;
        }
        if (p >= n)
            break;
        const std::size_t eq = text.find('=', p);
        const std::size_t semi = text.find(';', p);
        if (eq == std::string::npos || (semi != std::string::npos && semi < eq))
            throw ComError(Status::InvalidArgument, "RVNADO.Connection",
                           "The connection string has an entry without '=': \"" + text + "\".");
        std::string key;
        for (char c : Trim(text.substr(p, eq - p)))
            key += Lower(c);
        p = eq + 1;
        SkipBlanks(text, p);
        std::string value;
        if (p < n && text[p] == '"') {
            ++p;
            for (;;) {
                if (p >= n)
                    throw ComError(Status::InvalidArgument, "RVNADO.Connection",
                                   "The connection string has an unterminated quoted value: \"" +
                                       text + "\".");
                if (text[p] == '"') {
                    if (p + 1 < n && text[p + 1] == '"') {
                        value += '"';
                        p += 2;
                        continue;
                    }
                    ++p;
                    break;
                }
                value += text[p++];
            }
            SkipBlanks(text, p);
            if (p < n && text[p] != ';')
                throw ComError(Status::InvalidArgument, "RVNADO.Connection",
                               "The connection string has text after a quoted value: \"" + text + "\".");
        } else {
            const std::size_t end = text.find(';', p);
            value = Trim(text.substr(p, end == std::string::npos ? std::string::npos : end - p));
            p = end == std::string::npos ? n : end;
        }
        pairs[key] = value;
    }
    return pairs;
}

std::string TranslateSql(const std::string& text)
{
    std::size_t p = 0;
    SkipBlanks(text, p);
    if (!Keyword(text, p, "delete"))
        return text;
    SkipBlanks(text, p);
    if (p >= text.size() || text[p] != '*')
        return text;
    const std::size_t star = p++;
    SkipBlanks(text, p);
    const std::size_t from = p;
    if (!Keyword(text, p, "from"))
        return text;
    return text.substr(0, star) + text.substr(from);
}

bool EqualsNoCase(const char* a, const std::string& b)
{
    std::size_t i = 0;
    for (; a[i] != '\0'; ++i)
        if (i >= b.size() || Lower(a[i]) != Lower(b[i]))
            return false;
    return i == b.size();
}

std::string QuoteIdentifier(const std::string& name)
{
    std::string q = "\"";
    for (char c : name) {
        if (c == '"')
            q += '"';
        q += c;
    }
    q += '"';
    return q;
}

DeclaredType TypeFromDeclaration(const char* declared)
{
    DeclaredType t;
    if (declared == nullptr || *declared == '\0')
        return t;
    std::string decl;
    for (const char* c = declared; *c; ++c)
        decl += Upper(*c);
    // Base name: the words before any '(' with single blanks; then the
    // numbers in parentheses.
    std::string base;
    std::size_t paren = decl.find('(');
    {
        std::string words = Trim(decl.substr(0, paren));
        bool blank = false;
        for (char c : words) {
            if (IsBlank(c)) {
                blank = true;
                continue;
            }
            if (blank && !base.empty())
                base += ' ';
            blank = false;
            base += c;
        }
    }
    long args[2] = {-1, -1};
    int argCount = 0;
    if (paren != std::string::npos) {
        const char* p = decl.c_str() + paren + 1;
        const char* end = decl.c_str() + decl.size();
        while (p < end && argCount < 2) {
            while (p < end && (IsBlank(*p) || *p == ','))
                ++p;
            const char* stop = p;
            while (stop < end && ((*stop >= '0' && *stop <= '9') || *stop == '-' || *stop == '+'))
                ++stop;
            long v = 0;
            if (!RVN::ParseInteger(std::string_view(p, stop - p), v))
                break;
            args[argCount++] = v;
            p = stop;
        }
    }
    auto is = [&](std::initializer_list<const char*> names) {
        for (const char* n : names)
            if (base == n)
                return true;
        return false;
    };
    auto fixed = [&](DataTypeEnum type, long size) {
        t.type = type;
        t.definedSize = size;
        t.attributes = adFldFixed;
    };
    if (is({"INTEGER", "INT", "LONG", "COUNTER", "AUTOINCREMENT", "AUTONUMBER", "INT4", "MEDIUMINT", "IDENTITY"}))
        fixed(adInteger, 4);
    else if (is({"SMALLINT", "SHORT", "INT2"}))
        fixed(adSmallInt, 2);
    else if (is({"TINYINT", "BYTE", "UNSIGNED TINYINT", "INT1"}))
        fixed(adUnsignedTinyInt, 1);
    else if (is({"BIGINT", "INT8", "LONGLONG", "UNSIGNED BIG INT"}))
        fixed(adBigInt, 8);
    else if (is({"UNSIGNED INT", "UNSIGNED INTEGER", "UNSIGNED LONG"}))
        fixed(adUnsignedInt, 4);
    else if (is({"SINGLE", "FLOAT4", "IEEESINGLE"}))
        fixed(adSingle, 4);
    else if (is({"DOUBLE", "DOUBLE PRECISION", "REAL", "FLOAT", "FLOAT8", "NUMBER", "IEEEDOUBLE"}))
        fixed(adDouble, 8);
    else if (is({"CURRENCY", "MONEY"}))
        fixed(adCurrency, 8);
    else if (is({"DECIMAL", "NUMERIC", "DEC"})) {
        fixed(adDecimal, 19);
        t.precision = args[0] > 0 && args[0] <= 28 ? static_cast<int>(args[0]) : 18;
        t.scale = args[1] >= 0 && args[1] <= t.precision ? static_cast<int>(args[1]) : 0;
    } else if (is({"DATETIME", "DATE", "TIME", "TIMESTAMP", "SMALLDATETIME"}))
        fixed(adDate, 8);
    else if (is({"BIT", "BOOLEAN", "BOOL", "YESNO", "LOGICAL", "LOGICAL1"}))
        fixed(adBoolean, 2);
    else if (is({"MEMO", "LONGTEXT", "LONGCHAR", "NOTE", "NTEXT", "CLOB", "LONG VARCHAR", "MEDIUMTEXT"})) {
        t.type = adLongVarWChar;
        t.definedSize = 536870910;
        t.attributes = adFldLong;
    } else if (is({"BLOB", "LONGBINARY", "IMAGE", "OLEOBJECT", "GENERAL", "LONG VARBINARY", "MEDIUMBLOB", "LONGBLOB"})) {
        t.type = adLongVarBinary;
        t.definedSize = 1073741823;
        t.attributes = adFldLong;
    } else if (is({"BINARY", "VARBINARY"})) {
        t.type = adVarBinary;
        t.definedSize = args[0] > 0 ? args[0] : 510;
    } else if (is({"GUID", "UNIQUEIDENTIFIER"})) {
        fixed(adGUID, 16);
    } else if (is({"TEXT", "VARCHAR", "CHAR", "NVARCHAR", "NCHAR", "CHARACTER", "VARYING CHARACTER",
                   "NATIVE CHARACTER", "STRING", "ALPHANUMERIC", "CHARACTER VARYING", "NVARCHAR2",
                   "VARCHAR2"})) {
        t.type = adVarWChar;
        t.definedSize = args[0] > 0 ? args[0] : 255;
        t.sized = args[0] > 0;
    } else if (decl.find("INT") != std::string::npos)
        fixed(adInteger, 4);  // the engine's own affinity rules for other names
    else if (decl.find("CHAR") != std::string::npos || decl.find("CLOB") != std::string::npos ||
             decl.find("TEXT") != std::string::npos) {
        t.type = adVarWChar;
        t.definedSize = 255;
    } else if (decl.find("BLOB") != std::string::npos) {
        t.type = adLongVarBinary;
        t.definedSize = 1073741823;
        t.attributes = adFldLong;
    } else
        fixed(adDouble, 8);
    return t;
}

std::size_t Utf8Length(const std::string& text)
{
    std::size_t n = 0;
    for (unsigned char c : text)
        if ((c & 0xC0) != 0x80)
            ++n;
    return n;
}

}  // namespace detail
}  // namespace RVNADO
