// The database provider on SQLite 3.
#include "db/provider/RVNADO.h"

#include "db/AtomicFile.h"

#include "db/provider/Criteria.h"
#include "db/provider/LockWait.h"
#include "db/provider/Persist.h"
#include "db/provider/ProviderText.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <cerrno>
#include <charconv>
#include <cmath>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <limits>
#include <set>
#include <system_error>
#include <vector>

namespace RVNADO {

using namespace detail;

namespace {

const char* const kEngineSource = "SQLite";
const char* const kConnectionSource = "RVNADO.Connection";
const char* const kRecordsetSource = "RVNADO.Recordset";
const char* const kFieldSource = "RVNADO.Field";
constexpr HRESULT kDataOverflow = static_cast<HRESULT>(0x80040E57u);
// The wait for another process's lock when the connection timeout is 0.
constexpr long kDefaultLockWaitSeconds = 5;

// Status code for an engine result code and message.
HRESULT StatusForEngine(int rc, const char* message)
{
    switch (rc & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return Status::Locked;
    case SQLITE_CONSTRAINT:
        return Status::IntegrityViolation;
    case SQLITE_READONLY:
    case SQLITE_PERM:
        return Status::ReadOnlyFile;
    case SQLITE_NOMEM:
        return Status::OutOfMemory;
    case SQLITE_FULL:
        return Status::DiskFull;
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        return Status::Damaged;
    case SQLITE_TOOBIG:
        return kDataOverflow;
    case SQLITE_MISMATCH:
        return Status::CantConvertValue;
    case SQLITE_ERROR:
        if (message != nullptr && std::strncmp(message, "no such table", 13) == 0)
            return Status::NoTable;
        return Status::SqlError;
    default:
        return Status::Fail;
    }
}

[[noreturn]] void ThrowEngine(sqlite3* db, int rc, const std::string& context = std::string())
{
    const char* message = db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    std::string description = context;
    if ((rc & 0xff) == SQLITE_BUSY || (rc & 0xff) == SQLITE_LOCKED)
        description += std::string("The catalog file is ") + kLockedText + "; try again later (";
    description += message != nullptr ? message : "unknown engine error";
    if ((rc & 0xff) == SQLITE_BUSY || (rc & 0xff) == SQLITE_LOCKED)
        description += ")";
    throw ComError(StatusForEngine(rc, message), kEngineSource, description);
}

// Owns a prepared statement.
struct Statement {
    sqlite3_stmt* stmt = nullptr;
    Statement() = default;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;
    ~Statement() { sqlite3_finalize(stmt); }

    void Prepare(sqlite3* db, const std::string& sql, const char** tail = nullptr)
    {
        sqlite3_finalize(stmt);
        stmt = nullptr;
        const int rc = sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &stmt, tail);
        if (rc != SQLITE_OK)
            ThrowEngine(db, rc);
    }
};

void ExecSimple(sqlite3* db, const char* sql)
{
    const int rc = sqlite3_exec(db, sql, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        ThrowEngine(db, rc);
}

bool IsBlankOrSeparator(const char* p)
{
    for (; *p; ++p)
        if (*p != ' ' && *p != '\t' && *p != '\r' && *p != '\n' && *p != ';')
            return false;
    return true;
}

// True when the statement's first word is one whose changed rows count.
bool IsRowChangingStatement(const std::string& sql)
{
    std::size_t p = 0;
    while (p < sql.size() && (sql[p] == ' ' || sql[p] == '\t' || sql[p] == '\r' || sql[p] == '\n'))
        ++p;
    std::string word;
    while (p < sql.size() && std::isalpha(static_cast<unsigned char>(sql[p])))
        word += static_cast<char>(std::tolower(static_cast<unsigned char>(sql[p++])));
    return word == "insert" || word == "update" || word == "delete" || word == "replace";
}

// A value as the engine stores it.
struct Stored {
    int type = SQLITE_NULL;  // SQLITE_INTEGER, SQLITE_FLOAT, SQLITE_TEXT, SQLITE_BLOB or SQLITE_NULL
    std::int64_t i = 0;
    double d = 0.0;
    std::string s;

    static Stored Int(std::int64_t v) { Stored r; r.type = SQLITE_INTEGER; r.i = v; return r; }
    static Stored Real(double v) { Stored r; r.type = SQLITE_FLOAT; r.d = v; return r; }
    static Stored Text(std::string v) { Stored r; r.type = SQLITE_TEXT; r.s = std::move(v); return r; }
    static Stored Blob(std::string v) { Stored r; r.type = SQLITE_BLOB; r.s = std::move(v); return r; }
};

// A borrowed view of a stored value.
struct Raw {
    int type;
    std::int64_t i;
    double d;
    const char* p;
    std::size_t n;
};

Raw RawOf(const Stored& s) { return Raw{s.type, s.i, s.d, s.s.data(), s.s.size()}; }

Raw RawOf(sqlite3_stmt* st, int col)
{
    Raw r{sqlite3_column_type(st, col), 0, 0.0, nullptr, 0};
    switch (r.type) {
    case SQLITE_INTEGER:
        r.i = sqlite3_column_int64(st, col);
        break;
    case SQLITE_FLOAT:
        r.d = sqlite3_column_double(st, col);
        break;
    case SQLITE_TEXT:
        r.p = reinterpret_cast<const char*>(sqlite3_column_text(st, col));
        r.n = static_cast<std::size_t>(sqlite3_column_bytes(st, col));
        break;
    case SQLITE_BLOB:
        r.p = static_cast<const char*>(sqlite3_column_blob(st, col));
        r.n = static_cast<std::size_t>(sqlite3_column_bytes(st, col));
        break;
    default:
        break;
    }
    return r;
}

void Bind(sqlite3* db, sqlite3_stmt* st, int index, const Stored& v)
{
    int rc = SQLITE_OK;
    switch (v.type) {
    case SQLITE_INTEGER:
        rc = sqlite3_bind_int64(st, index, v.i);
        break;
    case SQLITE_FLOAT:
        rc = sqlite3_bind_double(st, index, v.d);
        break;
    case SQLITE_TEXT:
        rc = sqlite3_bind_text64(st, index, v.s.data(), v.s.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
        break;
    case SQLITE_BLOB:
        rc = sqlite3_bind_blob64(st, index, v.s.data(), v.s.size(), SQLITE_TRANSIENT);
        break;
    default:
        rc = sqlite3_bind_null(st, index);
        break;
    }
    if (rc != SQLITE_OK)
        ThrowEngine(db, rc);
}

std::string Trimmed(const char* p, std::size_t n)
{
    while (n > 0 && *p == ' ') {
        ++p;
        --n;
    }
    while (n > 0 && p[n - 1] == ' ')
        --n;
    return std::string(p, n);
}

bool ParseInt64(const std::string& s, std::int64_t& out)
{
    const char* b = s.data();
    const char* e = b + s.size();
    if (b < e && *b == '+')
        ++b;
    auto r = std::from_chars(b, e, out);
    return r.ec == std::errc() && r.ptr == e && b != e;
}

bool ParseDouble(const std::string& s, double& out)
{
    const char* b = s.data();
    const char* e = b + s.size();
    if (b < e && *b == '+')
        ++b;
    auto r = std::from_chars(b, e, out, std::chars_format::general);
    return r.ec == std::errc() && r.ptr == e && b != e;
}

bool ParseBool(const std::string& s, bool& out)
{
    static const char* const yes[] = {"true", "yes", "on", "1", "-1"};
    static const char* const no[] = {"false", "no", "off", "0"};
    for (const char* w : yes)
        if (EqualsNoCase(w, s)) {
            out = true;
            return true;
        }
    for (const char* w : no)
        if (EqualsNoCase(w, s)) {
            out = false;
            return true;
        }
    return false;
}

std::string IntText(std::int64_t v)
{
    char buf[24];
    auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

std::string RealText(double v)
{
    char buf[32];
    auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

bool IsIntegerType(DataTypeEnum t)
{
    return t == adSmallInt || t == adInteger || t == adBigInt || t == adUnsignedTinyInt ||
           t == adUnsignedInt || t == adTinyInt || t == adUnsignedSmallInt || t == adUnsignedBigInt;
}

bool IsTextType(DataTypeEnum t)
{
    return t == adVarWChar || t == adLongVarWChar || t == adWChar || t == adChar || t == adVarChar ||
           t == adLongVarChar || t == adBSTR || t == adGUID;
}

bool IsBinaryType(DataTypeEnum t) { return t == adLongVarBinary || t == adVarBinary || t == adBinary; }

}  // namespace

// One column of a result.
struct ColumnInfo {
    std::string name;    // result column name
    std::string origin;  // column of the table behind it ("" for an expression)
    std::string table;   // that table ("" for an expression)
    std::string database;
    DataTypeEnum type = adVariant;
    long definedSize = 0;
    long attributes = 0;
    int precision = 0;
    int scale = 0;
    bool sized = false;
    bool key = false;
    bool expression = true;
};

namespace {

Variant IntegerVariant(std::int64_t v, DataTypeEnum t)
{
    switch (t) {
    case adSmallInt:
        if (v >= INT16_MIN && v <= INT16_MAX)
            return Variant::I2(static_cast<std::int16_t>(v));
        break;
    case adUnsignedTinyInt:
        if (v >= 0 && v <= 255)
            return Variant::UI1(static_cast<std::uint8_t>(v));
        break;
    case adUnsignedInt:
        if (v >= 0 && v <= static_cast<std::int64_t>(UINT32_MAX))
            return Variant::UI4(static_cast<std::uint32_t>(v));
        break;
    case adBigInt:
        return Variant::I8(v);
    default:
        break;
    }
    if (v >= INT32_MIN && v <= INT32_MAX)
        return Variant::I4(static_cast<std::int32_t>(v));
    return Variant::I8(v);
}

// The value of a stored cell as the field's kind.  A value whose storage
// does not fit the declared type (the engine accepts any value in any
// column) comes back in the kind of its storage.
Variant ToVariant(const Raw& r, const ColumnInfo& c)
{
    if (r.type == SQLITE_NULL)
        return Variant::Null();
    const DataTypeEnum t = c.expression ? adVariant : c.type;
    if (r.type == SQLITE_BLOB)
        return Variant::Bytes(std::string(r.p, r.n));
    if (IsIntegerType(t)) {
        if (r.type == SQLITE_INTEGER)
            return IntegerVariant(r.i, t);
    } else if (t == adSingle || t == adDouble) {
        if (r.type == SQLITE_INTEGER)
            return t == adSingle ? Variant::R4(static_cast<float>(r.i)) : Variant::R8(static_cast<double>(r.i));
        if (r.type == SQLITE_FLOAT)
            return t == adSingle ? Variant::R4(static_cast<float>(r.d)) : Variant::R8(r.d);
    } else if (t == adCurrency) {
        if (r.type == SQLITE_INTEGER || r.type == SQLITE_FLOAT) {
            const Currency cy = Currency::FromDouble(r.type == SQLITE_INTEGER ? static_cast<double>(r.i) : r.d);
            if (cy.GetStatus() == Currency::valid)
                return Variant::Cy(cy);
        }
    } else if (t == adDecimal) {
        Decimal d;
        if (r.type == SQLITE_INTEGER && Decimal::FromText(IntText(r.i), d)) {
            if (c.scale == 0 || Decimal::FromText(IntText(r.i) + "." + std::string(static_cast<std::size_t>(c.scale), '0'), d))
                return Variant::Dec(d);
        } else if (r.type == SQLITE_FLOAT && Decimal::FromDouble(r.d, c.scale, d)) {
            return Variant::Dec(d);
        } else if (r.type == SQLITE_TEXT && Decimal::FromText(std::string(r.p, r.n), d)) {
            return Variant::Dec(d);
        }
    } else if (t == adDate) {
        if (r.type == SQLITE_TEXT) {
            DateTime dt;
            if (dt.ParseIso(std::string(r.p, r.n)))
                return Variant::Date(dt);
        } else {
            return Variant::Date(DateTime(r.type == SQLITE_INTEGER ? static_cast<double>(r.i) : r.d));
        }
    } else if (t == adBoolean) {
        if (r.type == SQLITE_INTEGER)
            return Variant::Bool(r.i != 0);
        if (r.type == SQLITE_FLOAT)
            return Variant::Bool(r.d != 0.0);
        bool b = false;
        if (ParseBool(Trimmed(r.p, r.n), b))
            return Variant::Bool(b);
    } else if (IsTextType(t)) {
        if (r.type == SQLITE_INTEGER)
            return Variant::Text(IntText(r.i));
        if (r.type == SQLITE_FLOAT)
            return Variant::Text(RealText(r.d));
    } else if (IsBinaryType(t)) {
        if (r.type == SQLITE_TEXT)
            return Variant::Bytes(std::string(r.p, r.n));
    }
    switch (r.type) {
    case SQLITE_INTEGER:
        return IntegerVariant(r.i, adInteger);
    case SQLITE_FLOAT:
        return Variant::R8(r.d);
    default:
        return Variant::Text(std::string(r.p, r.n));
    }
}

[[noreturn]] void ThrowCantConvert(const ColumnInfo& c, const std::string& why)
{
    throw ComError(Status::CantConvertValue, kFieldSource,
                   "The value cannot be stored in the field '" + c.name + "': " + why + ".");
}

// The value a variant is stored as in the field's column; throws
// ComError(0x80040E07) when it cannot be converted to the column's type.
Stored Coerce(const Variant& v, const ColumnInfo& c)
{
    if (v.IsEmptyOrNull())
        return Stored();
    const DataTypeEnum t = c.expression ? adVariant : c.type;
    const VarType k = v.Kind();
    if (IsIntegerType(t)) {
        std::int64_t x = 0;
        double d = 0.0;
        if (k == VT_UI8 || k == VT_UINT) {
            if (v.GetUInt() > static_cast<std::uint64_t>(INT64_MAX))
                ThrowCantConvert(c, "the number is out of range");
            x = static_cast<std::int64_t>(v.GetUInt());
        } else if (v.IsInteger() || k == VT_BOOL) {
            x = k == VT_BOOL ? (v.GetBool() ? 1 : 0) : v.GetInt();
        } else if (k == VT_BSTR) {
            const std::string s = Trimmed(v.GetString().data(), v.GetString().size());
            if (!ParseInt64(s, x)) {
                if (!ParseDouble(s, d))
                    ThrowCantConvert(c, "the text \"" + v.GetString() + "\" is not a number");
                goto fromDouble;
            }
        } else if (k != VT_DATE && v.ToDouble(d)) {
        fromDouble:
            d = std::nearbyint(d);
            if (!std::isfinite(d) || d < -9.2233720368547758e18 || d >= 9.2233720368547758e18)
                ThrowCantConvert(c, "the number is out of range");
            x = static_cast<std::int64_t>(d);
        } else {
            ThrowCantConvert(c, "the field holds whole numbers");
        }
        bool inRange = true;
        if (t == adSmallInt)
            inRange = x >= INT16_MIN && x <= INT16_MAX;
        else if (t == adUnsignedTinyInt)
            inRange = x >= 0 && x <= 255;
        else if (t == adUnsignedInt)
            inRange = x >= 0 && x <= static_cast<std::int64_t>(UINT32_MAX);
        if (!inRange)
            ThrowCantConvert(c, "the number " + IntText(x) + " is out of the field's range");
        return Stored::Int(x);
    }
    if (t == adSingle || t == adDouble || t == adCurrency) {
        double d = 0.0;
        if (k == VT_BSTR) {
            if (!ParseDouble(Trimmed(v.GetString().data(), v.GetString().size()), d))
                ThrowCantConvert(c, "the text \"" + v.GetString() + "\" is not a number");
        } else if (!v.ToDouble(d) || k == VT_DATE) {
            ThrowCantConvert(c, "the field holds numbers");
        }
        if (!std::isfinite(d))
            ThrowCantConvert(c, "the number is not finite");
        if (t == adSingle)
            d = static_cast<float>(d);
        else if (t == adCurrency) {
            const Currency cy = k == VT_CY ? Currency::FromScaled(v.GetCyScaled()) : Currency::FromDouble(d);
            if (cy.GetStatus() != Currency::valid)
                ThrowCantConvert(c, "the amount is out of range");
            d = cy.ToDouble();
        }
        return Stored::Real(d);
    }
    if (t == adDecimal) {
        if (v.IsInteger() || k == VT_BOOL)
            return Stored::Int(k == VT_BOOL ? (v.GetBool() ? 1 : 0) : v.GetInt());
        if (k == VT_DECIMAL)
            return Stored::Text(v.GetDecimal().ToText());
        if (k == VT_CY)
            return Stored::Text(Currency::FromScaled(v.GetCyScaled()).ToText());
        if (k == VT_R4 || k == VT_R8) {
            if (!std::isfinite(v.GetDouble()))
                ThrowCantConvert(c, "the number is not finite");
            return Stored::Real(v.GetDouble());
        }
        if (k == VT_BSTR) {
            Decimal d;
            if (!Decimal::FromText(v.GetString(), d))
                ThrowCantConvert(c, "the text \"" + v.GetString() + "\" is not a decimal number");
            return Stored::Text(d.ToText());
        }
        ThrowCantConvert(c, "the field holds decimal numbers");
    }
    if (t == adDate) {
        DateTime dt;
        if (k == VT_BSTR) {
            if (!dt.ParseIso(v.GetString()))
                ThrowCantConvert(c, "the text \"" + v.GetString() + "\" is not a date");
        } else if (k == VT_DATE || k == VT_R8 || k == VT_R4 || v.IsInteger()) {
            double serial = 0.0;
            v.ToDouble(serial);
            dt = DateTime(serial);
        } else {
            ThrowCantConvert(c, "the field holds dates");
        }
        if (dt.GetStatus() != DateTime::valid)
            ThrowCantConvert(c, "the date is out of range");
        return Stored::Text(dt.ToIsoText());
    }
    if (t == adBoolean) {
        bool b = false;
        double d = 0.0;
        if (k == VT_BSTR) {
            if (!ParseBool(Trimmed(v.GetString().data(), v.GetString().size()), b))
                ThrowCantConvert(c, "the text \"" + v.GetString() + "\" is not a yes/no value");
        } else if (k != VT_DATE && v.ToDouble(d)) {
            b = d != 0.0;
        } else {
            ThrowCantConvert(c, "the field holds yes/no values");
        }
        return Stored::Int(b ? 1 : 0);
    }
    if (IsBinaryType(t)) {
        if (k == VT_BYTES || k == VT_BSTR)
            return Stored::Blob(v.GetString());
        ThrowCantConvert(c, "the field holds binary data");
    }
    if (IsTextType(t)) {
        std::string s = k == VT_BSTR || k == VT_BYTES ? v.GetString() : v.ToText();
        if (c.sized && Utf8Length(s) > static_cast<std::size_t>(c.definedSize))
            throw ComError(kDataOverflow, kFieldSource,
                           "The text is longer than the " + IntText(c.definedSize) +
                               " characters of the field '" + c.name + "'.");
        return Stored::Text(std::move(s));
    }
    // A column without declared type keeps the value's own kind.
    switch (k) {
    case VT_R4: case VT_R8:
        return Stored::Real(v.GetDouble());
    case VT_CY:
        return Stored::Real(static_cast<double>(v.GetCyScaled()) / 10000.0);
    case VT_BOOL:
        return Stored::Int(v.GetBool() ? 1 : 0);
    case VT_BYTES:
        return Stored::Blob(v.GetString());
    case VT_BSTR: case VT_DATE: case VT_DECIMAL:
        return Stored::Text(v.ToText());
    default:
        if (k == VT_UI8 && v.GetUInt() > static_cast<std::uint64_t>(INT64_MAX))
            ThrowCantConvert(c, "the number is out of range");
        return Stored::Int(v.GetInt());
    }
}

}  // namespace

// ---- Connection --------------------------------------------------------------

struct Connection::Impl {
    sqlite3* db = nullptr;
    std::string path;
    long timeout = 0;
    CursorLocationEnum location = adUseServer;
    long level = 0;
    std::weak_ptr<Connection> self;
    LockWait wait;

    sqlite3* Db(const char* source) const
    {
        if (db == nullptr)
            throw ComError(Status::ObjectClosed, source, "The connection is not open.");
        return db;
    }

    void ApplyTimeout() { wait.SetTimeout(std::chrono::seconds(timeout > 0 ? timeout : kDefaultLockWaitSeconds)); }
};

Connection::Connection() : m_impl(std::make_unique<Impl>()) {}

Connection::~Connection()
{
    if (m_impl->db != nullptr)
        sqlite3_close_v2(m_impl->db);
}

ConnectionPtr Connection::Create()
{
    ConnectionPtr c(new Connection());
    c->m_impl->self = c;
    return c;
}

long Connection::GetConnectionTimeout() const { return m_impl->timeout; }

void Connection::PutConnectionTimeout(long seconds)
{
    if (seconds < 0)
        throw ComError(Status::InvalidArgument, kConnectionSource, "The connection timeout cannot be negative.");
    m_impl->timeout = seconds;
    m_impl->ApplyTimeout();
}

CursorLocationEnum Connection::GetCursorLocation() const { return m_impl->location; }

void Connection::PutCursorLocation(CursorLocationEnum location)
{
    if (location != adUseServer && location != adUseClient && location != adUseNone)
        throw ComError(Status::InvalidArgument, kConnectionSource, "Unknown cursor location.");
    m_impl->location = location;
}

void Connection::Open(const std::string& connectionString, const std::string& /*user*/,
                      const std::string& /*password*/, long /*options*/)
{
    if (m_impl->db != nullptr)
        throw ComError(Status::ObjectOpen, kConnectionSource, "The connection is already open.");
    const auto pairs = ParseConnectionString(connectionString);
    auto provider = pairs.find("provider");
    if (provider == pairs.end() || !EqualsNoCase("Microsoft.Jet.OLEDB.4.0", provider->second))
        throw ComError(Status::ProviderNotFound, kConnectionSource,
                       provider == pairs.end()
                           ? std::string("The connection string names no provider.")
                           : "The provider \"" + provider->second +
                                 "\" is not known; this library opens \"Microsoft.Jet.OLEDB.4.0\" catalog files.");
    auto source = pairs.find("data source");
    if (source == pairs.end() || source->second.empty())
        throw ComError(Status::InvalidArgument, kConnectionSource, "The connection string names no data source.");
    const std::string& path = source->second;

    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        const int error = errno;
        if (error == ENOENT || error == ENOTDIR)
            throw ComError(Status::Fail, kConnectionSource, "Could not find the catalog file '" + path + "'.");
        throw ComError(Status::Fail, kConnectionSource,
                       "Cannot reach the catalog file '" + path + "': " + std::generic_category().message(error) + ".");
    }
    if (S_ISDIR(st.st_mode))
        throw ComError(Status::Fail, kConnectionSource, "'" + path + "' is a folder, not a catalog file.");

    sqlite3* db = nullptr;
    int rc = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        const std::string reason = db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
        sqlite3_close_v2(db);
        throw ComError(Status::Fail, kConnectionSource, "Cannot open the catalog file '" + path + "': " + reason + ".");
    }
    sqlite3_extended_result_codes(db, 1);
    m_impl->db = db;
    m_impl->ApplyTimeout();
    m_impl->wait.Attach(db, path);
    // Reading the schema makes a file that is not a database, or whose first
    // page is damaged, fail here rather than at the first query.
    char* message = nullptr;
    rc = sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, &message);
    if (rc == SQLITE_OK)
        // The rollback journal keeps a catalog on a network folder safe; a
        // file left in write-ahead mode is switched back (when nobody else
        // has it open in that mode).
        sqlite3_exec(db, "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) {
        std::string reason = message != nullptr ? message : sqlite3_errstr(rc);
        sqlite3_free(message);
        m_impl->wait.Detach();
        sqlite3_close_v2(db);
        m_impl->db = nullptr;
        const int primary = rc & 0xff;
        if (primary == SQLITE_NOTADB)
            reason = "the file is not a catalog database (" + reason + ")";
        else if (primary == SQLITE_CORRUPT)
            reason = "the file is damaged (" + reason + ")";
        else if (primary == SQLITE_BUSY)
            reason = std::string("the file is ") + kLockedText + " (" + reason + ")";
        throw ComError(primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT ? Status::Damaged
                       : primary == SQLITE_BUSY                            ? Status::Locked
                                                                           : Status::Fail,
                       kConnectionSource, "Cannot open the catalog file '" + path + "': " + reason + ".");
    }
    m_impl->path = path;
    m_impl->level = 0;
}

void Connection::Close()
{
    if (m_impl->db == nullptr)
        throw ComError(Status::ObjectClosed, kConnectionSource, "The connection is not open.");
    m_impl->wait.Detach();
    sqlite3_close_v2(m_impl->db);  // an open transaction is rolled back
    m_impl->db = nullptr;
    m_impl->path.clear();
    m_impl->level = 0;
}

ObjectStateEnum Connection::GetState() const { return m_impl->db != nullptr ? adStateOpen : adStateClosed; }

std::string Connection::GetDataSource() const { return m_impl->path; }

long Connection::BeginTrans()
{
    sqlite3* db = m_impl->Db(kConnectionSource);
    const long next = m_impl->level + 1;
    if (next == 1) {
        // Writers that already wait for the lock take their turn first.
        m_impl->wait.BeforeBegin();
        struct Done {
            LockWait& wait;
            ~Done() { wait.AfterBegin(); }
        } done{m_impl->wait};
        ExecSimple(db, "BEGIN IMMEDIATE");
    } else
        ExecSimple(db, ("SAVEPOINT tqrvn_level_" + IntText(next)).c_str());
    m_impl->level = next;
    return next;
}

void Connection::CommitTrans()
{
    sqlite3* db = m_impl->Db(kConnectionSource);
    if (m_impl->level == 0)
        throw ComError(Status::NoTransaction, kConnectionSource, "There is no transaction to commit.");
    if (m_impl->level == 1)
        ExecSimple(db, "COMMIT");
    else
        ExecSimple(db, ("RELEASE tqrvn_level_" + IntText(m_impl->level)).c_str());
    --m_impl->level;
}

void Connection::RollbackTrans()
{
    sqlite3* db = m_impl->Db(kConnectionSource);
    if (m_impl->level == 0)
        throw ComError(Status::NoTransaction, kConnectionSource, "There is no transaction to roll back.");
    if (m_impl->level == 1) {
        ExecSimple(db, "ROLLBACK");
    } else {
        const std::string name = "tqrvn_level_" + IntText(m_impl->level);
        ExecSimple(db, ("ROLLBACK TO " + name + "; RELEASE " + name).c_str());
    }
    --m_impl->level;
}

long Connection::GetTransactionLevel() const { return m_impl->level; }

// ---- Recordset core ------------------------------------------------------------

// The rows of a snapshot, shared by a recordset and its clones: an edit or
// a deletion through one shows in the others.
struct RowStore {
    std::vector<Variant> cells;  // rows * cols, row after row
    std::vector<char> deleted;   // per row: deleted through one of the cursors
    long rows = 0;
    long live = 0;
    long deletions = 0;          // rows deleted so far (cursors cache their counts by it)
};

struct RecordsetCore {
    ConnectionPtr connection;
    std::string source;
    long options = adCmdUnknown;
    CursorTypeEnum cursorType = adOpenForwardOnly;
    CursorLocationEnum location = adUseServer;
    LockTypeEnum lockType = adLockReadOnly;
    bool open = false;

    std::vector<ColumnInfo> cols;
    std::shared_ptr<RowStore> data = std::make_shared<RowStore>();
    // The cursor's view of the rows.  Without a filter or a sort order a
    // position is a row number; with one, positions index `view`, the row
    // numbers that pass the filter in sort order.
    bool viewed = false;
    std::vector<long> view;
    std::vector<long> posOf;     // with a view: the position of each row, -1 when filtered out
    std::string filterText;
    std::string sortText;
    long cur = 0;                // position: -1 before the first row, Count() after the last
    long pageSize = 10;
    // Long data written in pieces: per field, whether the current edit has
    // already received a piece (the first piece replaces the value).
    std::vector<char> chunkStarted;
    // Reading long data in pieces: the field and the offset reached.
    mutable long chunkField = -1;
    mutable long chunkRow = -1;
    mutable std::size_t chunkOffset = 0;

    // Writing through to the table.
    bool tableBound = false;     // every column comes from one table
    bool keyChecked = false;
    std::string notUpdatableWhy;
    std::vector<long> keyCols;
    long autoNumberCol = -1;     // the INTEGER PRIMARY KEY column among the results
    std::string table;
    std::string database;

    // How the rows were made, so that Requery makes them again: by opening
    // the source (SQL text, table, view or saved file), or by running a
    // command text with parameter values.  requeryRefusal says why the rows
    // cannot be made again ("" when they can).
    bool fromCommand = false;
    std::vector<Variant> commandValues;
    std::string requeryRefusal;

    EditModeEnum edit = adEditNone;
    std::vector<Variant> buffer;
    std::vector<Stored> stored;
    std::vector<char> dirty;

    long ColCount() const { return static_cast<long>(cols.size()); }

    sqlite3* Db() const
    {
        if (!connection)
            throw ComError(Status::ObjectClosed, kRecordsetSource, "The recordset has no connection.");
        return connection->GetImpl().Db(kRecordsetSource);
    }

    void RequireOpen() const
    {
        if (!open)
            throw ComError(Status::ObjectClosed, kRecordsetSource, "The recordset is not open.");
    }

    void RequireIndex(long index) const
    {
        if (index < 0 || index >= ColCount())
            throw ComError(Status::ItemNotFound, kRecordsetSource,
                           "There is no field number " + IntText(index) + " in the recordset.");
    }

    long Count() const { return viewed ? static_cast<long>(view.size()) : data->rows; }
    long RowAt(long pos) const { return viewed ? view[static_cast<std::size_t>(pos)] : pos; }
    long CurRow() const { return RowAt(cur); }
    bool LiveAt(long pos) const { return !data->deleted[static_cast<std::size_t>(RowAt(pos))]; }
    // Rows of the view not deleted (through this cursor or a clone).
    long LiveCount() const
    {
        if (!viewed)
            return data->live;
        if (liveDeletions != data->deletions || liveGeneration != viewGeneration) {
            long n = 0;
            for (long r : view)
                n += data->deleted[static_cast<std::size_t>(r)] ? 0 : 1;
            viewLive = n;
            liveDeletions = data->deletions;
            liveGeneration = viewGeneration;
        }
        return viewLive;
    }
    // The count of live rows of the view is cached; it is valid while no row
    // was deleted (through any cursor sharing the rows) and the view is the
    // one it was counted on.  Every change of the view takes a new
    // generation number.
    mutable long viewLive = 0;
    mutable long liveDeletions = -1;
    mutable long liveGeneration = -1;
    long viewGeneration = 0;

    bool HasCurrentRow() const { return cur >= 0 && cur < Count() && LiveAt(cur); }

    void RequireCurrentRow() const
    {
        if (!HasCurrentRow())
            throw ComError(Status::NoCurrentRecord, kRecordsetSource,
                           cur >= 0 && cur < Count() ? "The current row has been deleted."
                                                  : "There is no current row: the cursor is at BOF or EOF.");
    }

    // The cells of row number r (not a position).
    const Variant* Row(long r) const { return data->cells.data() + static_cast<std::size_t>(r) * cols.size(); }

    const Variant& Value(long index) const
    {
        RequireOpen();
        RequireIndex(index);
        if (edit != adEditNone)
            return buffer[static_cast<std::size_t>(index)];
        RequireCurrentRow();
        return Row(CurRow())[index];
    }

    // Callers mostly read the fields of a row in column order, so the field
    // after the last one found is tried first.
    long FindField(const std::string& name) const
    {
        const long n = ColCount();
        for (long k = 0; k < n; ++k) {
            long i = lastFound + 1 + k;
            if (i >= n)
                i -= n;
            if (EqualsNoCase(cols[static_cast<std::size_t>(i)].name, name)) {
                lastFound = i;
                return i;
            }
        }
        return -1;
    }
    mutable long lastFound = -1;

    void Load(const std::string& sql);
    void SetView(const std::string& filter, const std::string& sort);
    long PositionOfBookmark(const Variant& bookmark) const;
    long LivePositionOrdinal() const;
    void MoveToOrdinal(long ordinal);
    void Put(long index, const Variant& value);
    void LoadFrom(sqlite3* db, sqlite3_stmt* st);
    void CheckWritable();
    std::int64_t NextAutoNumber();
    std::vector<Variant> ReadBack(sqlite3* db, bool byRowid, std::int64_t rowid, const std::vector<Stored>& key);
    std::string KeyWhere() const;
    void Update();
    void CancelUpdate();
    void Delete();
    long FirstLive() const;
    long LastLive() const;
};

void RecordsetCore::LoadFrom(sqlite3* db, sqlite3_stmt* st)
{
    // The first step comes before the columns are described: when another
    // connection changed the schema since the statement was prepared, the
    // engine prepares it again at that step, and only then do the column
    // count and names match the values.
    int rc = sqlite3_step(st);
    if (rc != SQLITE_ROW && rc != SQLITE_DONE)
        ThrowEngine(db, rc);
    const int n = sqlite3_column_count(st);
    cols.assign(static_cast<std::size_t>(n), ColumnInfo());
    tableBound = n > 0;
    for (int i = 0; i < n; ++i) {
        ColumnInfo& c = cols[static_cast<std::size_t>(i)];
        const char* name = sqlite3_column_name(st, i);
        c.name = name != nullptr ? name : "";
        const char* table = sqlite3_column_table_name(st, i);
        const char* origin = sqlite3_column_origin_name(st, i);
        const char* database = sqlite3_column_database_name(st, i);
        const DeclaredType decl = TypeFromDeclaration(sqlite3_column_decltype(st, i));
        if (table != nullptr && origin != nullptr && database != nullptr) {
            c.table = table;
            c.origin = origin;
            c.database = database;
            c.expression = false;
            int notNull = 0, primaryKey = 0, autoInc = 0;
            if (sqlite3_table_column_metadata(db, database, table, origin, nullptr, nullptr, &notNull,
                                              &primaryKey, &autoInc) == SQLITE_OK) {
                c.key = primaryKey != 0;
                if (!notNull)
                    c.attributes |= adFldIsNullable | adFldMayBeNull;
                if (c.key)
                    c.attributes |= adFldKeyColumn;
            }
        }
        if (decl.type != adEmpty) {
            c.type = decl.type;
            c.definedSize = decl.definedSize;
            c.attributes |= decl.attributes;
            c.precision = decl.precision;
            c.scale = decl.scale;
            c.sized = decl.sized;
        }
        if (c.expression || (i > 0 && (!EqualsNoCase(c.table, cols[0].table) || c.database != cols[0].database)))
            tableBound = false;
    }
    if (tableBound) {
        table = cols[0].table;
        database = cols[0].database;
        if (lockType != adLockReadOnly)
            for (ColumnInfo& c : cols)
                c.attributes |= adFldUpdatable;
    }
    // The rows.
    std::vector<Variant>& cells = data->cells;
    long& rows = data->rows;
    cells.reserve(static_cast<std::size_t>(n) * 32);
    while (rc == SQLITE_ROW) {
        for (int i = 0; i < n; ++i)
            cells.push_back(ToVariant(RawOf(st, i), cols[static_cast<std::size_t>(i)]));
        ++rows;
        rc = sqlite3_step(st);
        if (rc != SQLITE_ROW && rc != SQLITE_DONE)
            ThrowEngine(db, rc);
    }
    data->live = rows;
    data->deleted.assign(static_cast<std::size_t>(rows), 0);
    // An expression column takes the type of its first non-null value.
    for (int i = 0; i < n; ++i) {
        ColumnInfo& c = cols[static_cast<std::size_t>(i)];
        if (!c.expression && c.type != adVariant)
            continue;
        for (long r = 0; r < rows; ++r) {
            const Variant& v = Row(r)[i];
            if (v.IsNull())
                continue;
            switch (v.Kind()) {
            case VT_R8: c.type = adDouble; c.definedSize = 8; break;
            case VT_BSTR: c.type = adVarWChar; c.definedSize = 255; break;
            case VT_BYTES: c.type = adLongVarBinary; c.definedSize = 1073741823; c.attributes |= adFldLong; break;
            case VT_I8: c.type = adBigInt; c.definedSize = 8; break;
            default: c.type = adInteger; c.definedSize = 4; break;
            }
            break;
        }
    }
    cur = rows > 0 ? 0 : rows;
}

void RecordsetCore::Load(const std::string& sql)
{
    sqlite3* db = Db();
    Statement st;
    const char* tail = nullptr;
    st.Prepare(db, sql, &tail);
    if (st.stmt == nullptr)
        throw ComError(Status::SqlError, kRecordsetSource, "The command text is empty.");
    if (tail != nullptr && !IsBlankOrSeparator(tail))
        throw ComError(Status::SqlError, kRecordsetSource,
                       "A recordset opens one statement; the text holds more than one.");
    cols.clear();
    data = std::make_shared<RowStore>();
    viewed = false;
    view.clear();
    keyChecked = false;
    keyCols.clear();
    autoNumberCol = -1;
    notUpdatableWhy.clear();
    if (sqlite3_column_count(st.stmt) == 0) {  // a statement without rows: run it
        const int rc = sqlite3_step(st.stmt);
        if (rc != SQLITE_DONE && rc != SQLITE_ROW)
            ThrowEngine(db, rc);
        open = false;
        return;
    }
    LoadFrom(db, st.stmt);
    open = true;
}

void RecordsetCore::CheckWritable()
{
    if ((options & 0xffff) == adCmdFile)
        throw ComError(Status::NotUpdatable, kRecordsetSource, "A recordset opened from a saved file is read-only.");
    if (lockType == adLockReadOnly)
        throw ComError(Status::NotUpdatable, kRecordsetSource, "The recordset was opened read-only.");
    if (!tableBound)
        throw ComError(Status::NotUpdatable, kRecordsetSource,
                       "The recordset is read-only: its columns do not all come from one table.");
    if (!keyChecked) {
        sqlite3* db = Db();
        Statement st;
        st.Prepare(db, "PRAGMA " + QuoteIdentifier(database) + ".table_info(" + QuoteIdentifier(table) + ")");
        std::vector<std::string> keyNames;
        std::string keyType;
        for (;;) {
            const int rc = sqlite3_step(st.stmt);
            if (rc == SQLITE_DONE)
                break;
            if (rc != SQLITE_ROW)
                ThrowEngine(db, rc);
            if (sqlite3_column_int(st.stmt, 5) > 0) {
                const char* name = reinterpret_cast<const char*>(sqlite3_column_text(st.stmt, 1));
                const char* type = reinterpret_cast<const char*>(sqlite3_column_text(st.stmt, 2));
                keyNames.emplace_back(name != nullptr ? name : "");
                keyType = type != nullptr ? type : "";
            }
        }
        keyCols.clear();
        for (const std::string& k : keyNames) {
            long found = -1;
            for (std::size_t i = 0; i < cols.size(); ++i)
                if (EqualsNoCase(cols[i].origin, k)) {
                    found = static_cast<long>(i);
                    break;
                }
            if (found < 0) {
                notUpdatableWhy = "its primary key column " + k + " is not among the result columns";
                break;
            }
            keyCols.push_back(found);
        }
        if (keyNames.empty())
            notUpdatableWhy = "the table " + table + " has no primary key";
        if (notUpdatableWhy.empty()) {
            // A key value seen twice means the rows are not rows of the table
            // (a join of the table with itself): writing by key would hit the
            // wrong row.
            std::set<std::string> seen;
            for (long r = 0; r < data->rows && notUpdatableWhy.empty(); ++r) {
                std::string key;
                for (long k : keyCols) {
                    key += Row(r)[k].ToText();
                    key += '\x1f';
                }
                if (!seen.insert(key).second)
                    notUpdatableWhy = "its rows repeat key values of the table " + table;
            }
        }
        if (notUpdatableWhy.empty() && keyNames.size() == 1 && EqualsNoCase("INTEGER", keyType)) {
            autoNumberCol = keyCols[0];
        }
        keyChecked = true;
    }
    if (!notUpdatableWhy.empty())
        throw ComError(Status::NotUpdatable, kRecordsetSource, "The recordset is read-only: " + notUpdatableWhy + ".");
}

// Takes the next autonumber of the table and reserves it at once, so that
// no other recordset, connection or process is given it, whether or not the
// key is AUTOINCREMENT.  The reservation is the table's entry in the file's
// sequence table, raised inside one write: the engine itself keeps the high
// mark of AUTOINCREMENT tables there and ignores the entries of other
// tables, which only this layer reads.  A file without a sequence table
// gets one, the engine's own way (an AUTOINCREMENT table created and
// dropped in the same write).  A cancelled new row leaves a gap, as
// autonumbers do; a number is never handed out twice.
std::int64_t RecordsetCore::NextAutoNumber()
{
    sqlite3* db = Db();
    const std::string schema = QuoteIdentifier(database);
    const std::string key = QuoteIdentifier(cols[static_cast<std::size_t>(autoNumberCol)].origin);
    const std::string highest = "ifnull((SELECT max(" + key + ") FROM " + schema + "." + QuoteIdentifier(table) + "), 0)";
    auto single = [&](const std::string& sql, std::int64_t& out) {
        Statement st;
        st.Prepare(db, sql);
        if (sqlite3_bind_parameter_count(st.stmt) > 0 &&
            sqlite3_bind_text(st.stmt, 1, table.c_str(), -1, SQLITE_TRANSIENT) != SQLITE_OK)
            ThrowEngine(db, SQLITE_ERROR);
        const int rc = sqlite3_step(st.stmt);
        if (rc == SQLITE_ROW) {
            out = sqlite3_column_int64(st.stmt, 0);
            return true;
        }
        if (rc != SQLITE_DONE)
            ThrowEngine(db, rc);
        return false;
    };
    const std::string seq = schema + ".sqlite_sequence";
    std::int64_t id = 0;
    // Outside a transaction the write lock is taken before anything is read:
    // a reader that later asks for the lock may be refused at once (the
    // engine's guard against deadlock) instead of waiting its turn.
    const bool outer = sqlite3_get_autocommit(db) != 0;
    ExecSimple(db, outer ? "BEGIN IMMEDIATE" : "SAVEPOINT tqrvn_autonumber");
    try {
        std::int64_t present = 0;
        single("SELECT count(*) FROM " + schema + ".sqlite_master WHERE name = 'sqlite_sequence'", present);
        if (present == 0)
            ExecSimple(db, ("CREATE TABLE " + schema + ".tqrvn_sequence_maker (n INTEGER PRIMARY KEY AUTOINCREMENT); DROP TABLE " +
                            schema + ".tqrvn_sequence_maker")
                               .c_str());
        if (!single("UPDATE " + seq + " SET seq = max(seq, " + highest + ") + 1 WHERE name = ?1 RETURNING seq", id))
            single("INSERT INTO " + seq + " (name, seq) VALUES (?1, " + highest + " + 1) RETURNING seq", id);
        ExecSimple(db, outer ? "COMMIT" : "RELEASE tqrvn_autonumber");
    } catch (...) {
        sqlite3_exec(db, outer ? "ROLLBACK" : "ROLLBACK TO tqrvn_autonumber; RELEASE tqrvn_autonumber", nullptr,
                     nullptr, nullptr);
        throw;
    }
    return id;
}

std::string RecordsetCore::KeyWhere() const
{
    std::string where;
    for (std::size_t k = 0; k < keyCols.size(); ++k) {
        if (k > 0)
            where += " AND ";
        where += QuoteIdentifier(cols[static_cast<std::size_t>(keyCols[k])].origin) + " = ?";
    }
    return where;
}

// The stored values of the result's columns for one row of the table.
std::vector<Variant> RecordsetCore::ReadBack(sqlite3* db, bool byRowid, std::int64_t rowid,
                                             const std::vector<Stored>& key)
{
    std::string sql = "SELECT ";
    for (std::size_t i = 0; i < cols.size(); ++i) {
        if (i > 0)
            sql += ", ";
        sql += QuoteIdentifier(cols[i].origin);
    }
    sql += " FROM " + QuoteIdentifier(database) + "." + QuoteIdentifier(table) + " WHERE " +
           (byRowid ? std::string("rowid = ?") : KeyWhere());
    Statement st;
    st.Prepare(db, sql);
    if (byRowid)
        sqlite3_bind_int64(st.stmt, 1, rowid);
    else
        for (std::size_t k = 0; k < key.size(); ++k)
            Bind(db, st.stmt, static_cast<int>(k + 1), key[k]);
    std::vector<Variant> row;
    const int rc = sqlite3_step(st.stmt);
    if (rc == SQLITE_ROW)
        for (std::size_t i = 0; i < cols.size(); ++i)
            row.push_back(ToVariant(RawOf(st.stmt, static_cast<int>(i)), cols[i]));
    else if (rc != SQLITE_DONE)
        ThrowEngine(db, rc);
    return row;
}

void RecordsetCore::Update()
{
    if (edit == adEditNone)
        return;
    sqlite3* db = Db();
    const std::string qtable = QuoteIdentifier(database) + "." + QuoteIdentifier(table);
    if (edit == adEditAdd) {
        std::string names, marks;
        std::vector<const Stored*> values;
        for (std::size_t i = 0; i < cols.size(); ++i) {
            if (!dirty[i])
                continue;
            bool repeated = false;  // a column selected twice is written once
            for (std::size_t j = 0; j < i; ++j)
                repeated = repeated || (dirty[j] && EqualsNoCase(cols[j].origin, cols[i].origin));
            if (repeated)
                continue;
            if (!values.empty()) {
                names += ", ";
                marks += ", ";
            }
            names += QuoteIdentifier(cols[i].origin);
            marks += "?";
            values.push_back(&stored[i]);
        }
        const std::string sql = values.empty() ? "INSERT INTO " + qtable + " DEFAULT VALUES"
                                               : "INSERT INTO " + qtable + " (" + names + ") VALUES (" + marks + ")";
        Statement st;
        st.Prepare(db, sql);
        for (std::size_t k = 0; k < values.size(); ++k)
            Bind(db, st.stmt, static_cast<int>(k + 1), *values[k]);
        const int rc = sqlite3_step(st.stmt);
        if (rc != SQLITE_DONE)
            ThrowEngine(db, rc);
        std::vector<Stored> key;
        for (long k : keyCols)
            key.push_back(stored[static_cast<std::size_t>(k)]);
        const bool rowidTable = autoNumberCol >= 0;
        std::vector<Variant> row = ReadBack(db, rowidTable, sqlite3_last_insert_rowid(db), key);
        if (row.empty())
            row = buffer;
        data->cells.insert(data->cells.end(), row.begin(), row.end());
        data->deleted.push_back(0);
        ++data->rows;
        ++data->live;
        if (viewed) {  // a new row joins the view at its end until the view is set again
            view.push_back(data->rows - 1);
            posOf.resize(static_cast<std::size_t>(data->rows), -1);
            posOf.back() = static_cast<long>(view.size()) - 1;
            ++viewGeneration;
        }
        cur = Count() - 1;
    } else {
        bool any = false;
        for (char d : dirty)
            any = any || d;
        if (any) {
            std::string sets;
            std::vector<const Stored*> values;
            for (std::size_t i = 0; i < cols.size(); ++i) {
                if (!dirty[i])
                    continue;
                if (!values.empty())
                    sets += ", ";
                sets += QuoteIdentifier(cols[i].origin) + " = ?";
                values.push_back(&stored[i]);
            }
            std::vector<Stored> oldKey, newKey;
            for (long k : keyCols) {
                oldKey.push_back(Coerce(Row(CurRow())[k], cols[static_cast<std::size_t>(k)]));
                newKey.push_back(dirty[static_cast<std::size_t>(k)] ? stored[static_cast<std::size_t>(k)] : oldKey.back());
            }
            Statement st;
            st.Prepare(db, "UPDATE " + qtable + " SET " + sets + " WHERE " + KeyWhere());
            int n = 0;
            for (const Stored* v : values)
                Bind(db, st.stmt, ++n, *v);
            for (const Stored& k : oldKey)
                Bind(db, st.stmt, ++n, k);
            const int rc = sqlite3_step(st.stmt);
            if (rc != SQLITE_DONE)
                ThrowEngine(db, rc);
            if (sqlite3_changes(db) == 0)
                throw ComError(Status::DeletedRow, kRecordsetSource,
                               "The row cannot be updated: it has been deleted from the table " + table +
                                   " since it was read.");
            std::vector<Variant> row = ReadBack(db, false, 0, newKey);
            if (row.empty())
                row = buffer;
            std::copy(row.begin(), row.end(), data->cells.begin() + static_cast<std::ptrdiff_t>(CurRow()) * ColCount());
        }
    }
    CancelUpdate();
}

void RecordsetCore::CancelUpdate()
{
    edit = adEditNone;
    chunkStarted.clear();
    buffer.clear();
    stored.clear();
    dirty.clear();
}

void RecordsetCore::Delete()
{
    RequireCurrentRow();
    CheckWritable();
    sqlite3* db = Db();
    Statement st;
    st.Prepare(db, "DELETE FROM " + QuoteIdentifier(database) + "." + QuoteIdentifier(table) + " WHERE " + KeyWhere());
    int n = 0;
    for (long k : keyCols)
        Bind(db, st.stmt, ++n, Coerce(Row(CurRow())[k], cols[static_cast<std::size_t>(k)]));
    const int rc = sqlite3_step(st.stmt);
    if (rc != SQLITE_DONE)
        ThrowEngine(db, rc);
    if (sqlite3_changes(db) == 0)
        throw ComError(Status::DeletedRow, kRecordsetSource,
                       "The row cannot be deleted: it has been deleted from the table " + table + " since it was read.");
    data->deleted[static_cast<std::size_t>(CurRow())] = 1;
    --data->live;
    ++data->deletions;
}

// Writes a value into the pending row; the first write to a row that is
// not being added starts its edit.
void RecordsetCore::Put(long index, const Variant& value)
{
    RequireOpen();
    RequireIndex(index);
    if (edit == adEditNone)
        RequireCurrentRow();
    CheckWritable();
    const std::size_t i = static_cast<std::size_t>(index);
    Stored s = Coerce(value, cols[i]);
    if (edit == adEditNone) {
        const Variant* row = Row(CurRow());
        chunkStarted.clear();
        buffer.assign(row, row + ColCount());
        stored.assign(cols.size(), Stored());
        dirty.assign(cols.size(), 0);
        edit = adEditInProgress;
    }
    buffer[i] = ToVariant(RawOf(s), cols[i]);
    stored[i] = std::move(s);
    dirty[i] = 1;
}

long RecordsetCore::FirstLive() const
{
    const long n = Count();
    for (long p = 0; p < n; ++p)
        if (LiveAt(p))
            return p;
    return n;
}

long RecordsetCore::LastLive() const
{
    for (long p = Count() - 1; p >= 0; --p)
        if (LiveAt(p))
            return p;
    return -1;
}

// ---- Recordset -----------------------------------------------------------------

Recordset::Recordset() : m_core(std::make_shared<RecordsetCore>()) {}

Recordset::~Recordset() = default;

RecordsetPtr Recordset::Create() { return RecordsetPtr(new Recordset()); }

void Recordset::Open(const std::string& source, const ConnectionPtr& connection, CursorTypeEnum cursorType,
                     LockTypeEnum lockType, long options)
{
    if (m_core->open)
        throw ComError(Status::ObjectOpen, kRecordsetSource, "The recordset is already open.");
    sqlite3* db = Deref(connection).GetImpl().Db(kRecordsetSource);
    auto core = std::make_shared<RecordsetCore>();
    core->connection = connection;
    core->source = source;
    core->options = options;
    core->cursorType = cursorType == adOpenUnspecified ? m_core->cursorType : cursorType;
    core->location = m_core->location;
    core->pageSize = m_core->pageSize;
    core->lockType = lockType == adLockUnspecified ? adLockReadOnly : lockType;
    std::string sql;
    switch (options & 0xffff & ~adCmdTableDirect) {
    case adCmdTable:
        sql = "SELECT * FROM " + QuoteIdentifier(source);
        break;
    case adCmdStoredProc: {
        Statement st;
        st.Prepare(db, "SELECT name FROM sqlite_master WHERE type = 'view' AND name = ?1 COLLATE NOCASE");
        sqlite3_bind_text(st.stmt, 1, source.c_str(), -1, SQLITE_TRANSIENT);
        if (sqlite3_step(st.stmt) != SQLITE_ROW)
            throw ComError(Status::NoTable, kRecordsetSource, "There is no saved query (view) named '" + source + "'.");
        sql = "SELECT * FROM " + QuoteIdentifier(source);
        break;
    }
    case adCmdText:
    case adCmdUnknown:
    case 0:
        sql = TranslateSql(source);
        break;
    default:
        throw ComError(Status::InvalidArgument, kRecordsetSource, "Unknown command type " + IntText(options) + ".");
    }
    if (options & adCmdTableDirect)
        sql = "SELECT * FROM " + QuoteIdentifier(source);
    core->Load(sql);
    m_core = std::move(core);
}

void Recordset::Close()
{
    m_core->RequireOpen();
    auto closed = std::make_shared<RecordsetCore>();
    closed->cursorType = m_core->cursorType;
    closed->location = m_core->location;
    closed->lockType = m_core->lockType;
    closed->pageSize = m_core->pageSize;
    closed->source = m_core->source;
    // Field objects still held by a caller keep the old core, now closed.
    m_core->open = false;
    m_core->CancelUpdate();
    m_core->data = std::make_shared<RowStore>();  // a clone keeps the rows it shares
    m_core->viewed = false;
    m_core->view.clear();
    m_core = std::move(closed);
}

ObjectStateEnum Recordset::GetState() const { return m_core->open ? adStateOpen : adStateClosed; }
const std::string& Recordset::GetSource() const { return m_core->source; }
ConnectionPtr Recordset::GetActiveConnection() const { return m_core->connection; }
CursorTypeEnum Recordset::GetCursorType() const { return m_core->cursorType; }

void Recordset::PutCursorType(CursorTypeEnum type)
{
    if (m_core->open)
        throw ComError(Status::ObjectOpen, kRecordsetSource, "The cursor type cannot change while the recordset is open.");
    m_core->cursorType = type;
}

CursorLocationEnum Recordset::GetCursorLocation() const { return m_core->location; }

void Recordset::PutCursorLocation(CursorLocationEnum location)
{
    if (m_core->open)
        throw ComError(Status::ObjectOpen, kRecordsetSource, "The cursor location cannot change while the recordset is open.");
    m_core->location = location;
}

LockTypeEnum Recordset::GetLockType() const { return m_core->lockType; }

bool Recordset::IsUpdatable() const
{
    m_core->RequireOpen();
    try {
        m_core->CheckWritable();
        return true;
    } catch (const ComError& e) {
        if (e.Error() == Status::NotUpdatable)
            return false;
        throw;
    }
}

bool Recordset::IsEOF() const
{
    m_core->RequireOpen();
    if (m_core->edit == adEditAdd)
        return false;
    return m_core->LiveCount() == 0 || m_core->cur >= m_core->Count();
}

bool Recordset::IsBOF() const
{
    m_core->RequireOpen();
    if (m_core->edit == adEditAdd)
        return false;
    return m_core->LiveCount() == 0 || m_core->cur < 0;
}

void Recordset::MoveFirst()
{
    m_core->RequireOpen();
    m_core->Update();
    m_core->cur = m_core->FirstLive();
}

void Recordset::MoveLast()
{
    m_core->RequireOpen();
    m_core->Update();
    m_core->cur = m_core->LiveCount() == 0 ? m_core->Count() : m_core->LastLive();
}

void Recordset::MoveNext()
{
    m_core->RequireOpen();
    m_core->Update();
    RecordsetCore& c = *m_core;
    const long n = c.Count();
    if (n == 0 || c.cur >= n)
        throw ComError(Status::NoCurrentRecord, kRecordsetSource, "Cannot move past the end of the recordset.");
    long p = c.cur + 1;
    while (p < n && !c.LiveAt(p))
        ++p;
    c.cur = p;
}

void Recordset::MovePrevious()
{
    m_core->RequireOpen();
    m_core->Update();
    RecordsetCore& c = *m_core;
    if (c.Count() == 0 || c.cur < 0)
        throw ComError(Status::NoCurrentRecord, kRecordsetSource, "Cannot move before the beginning of the recordset.");
    long p = c.cur - 1;
    while (p >= 0 && !c.LiveAt(p))
        --p;
    c.cur = p;
}

long Recordset::GetRecordCount() const
{
    m_core->RequireOpen();
    return m_core->cursorType == adOpenForwardOnly ? -1 : m_core->LiveCount();
}

void Recordset::AddNew()
{
    RecordsetCore& c = *m_core;
    c.RequireOpen();
    c.CheckWritable();
    c.Update();
    const std::size_t n = c.cols.size();
    std::vector<Variant> buffer(n, Variant::Null());
    std::vector<Stored> stored(n);
    std::vector<char> dirty(n, 0);
    if (c.autoNumberCol >= 0) {
        const std::size_t a = static_cast<std::size_t>(c.autoNumberCol);
        const std::int64_t id = c.NextAutoNumber();
        stored[a] = Stored::Int(id);
        buffer[a] = ToVariant(RawOf(stored[a]), c.cols[a]);
        dirty[a] = 1;
    }
    c.buffer = std::move(buffer);
    c.stored = std::move(stored);
    c.dirty = std::move(dirty);
    c.chunkStarted.clear();
    c.edit = adEditAdd;
}

void Recordset::Update()
{
    m_core->RequireOpen();
    m_core->Update();
}

void Recordset::CancelUpdate()
{
    m_core->RequireOpen();
    m_core->CancelUpdate();
}

void Recordset::Delete(AffectEnum affect)
{
    RecordsetCore& c = *m_core;
    c.RequireOpen();
    if (affect != adAffectCurrent)
        throw ComError(Status::InvalidArgument, kRecordsetSource, "Only the current row can be deleted.");
    if (c.edit == adEditAdd) {  // the new row was never stored
        c.CancelUpdate();
        return;
    }
    c.CancelUpdate();
    c.Delete();
}

EditModeEnum Recordset::GetEditMode() const
{
    m_core->RequireOpen();
    return m_core->edit;
}

// The new rows are read completely, with the filter and the sort order
// applied, before the old ones are let go: a Requery that fails leaves the
// recordset as it was.
void Recordset::Requery(long /*options*/)
{
    m_core->RequireOpen();
    const RecordsetCore& old = *m_core;
    if (!old.requeryRefusal.empty())
        throw ComError(Status::IllegalOperation, kRecordsetSource, old.requeryRefusal);
    RecordsetPtr fresh;
    if (old.fromCommand) {
        fresh = Deref(old.connection).Execute(old.source, nullptr, 0, old.commandValues);
        if (!fresh)
            throw ComError(Status::Fail, kRecordsetSource, "The command that made the rows no longer returns rows.");
    } else {
        fresh = Create();
        fresh->m_core->location = old.location;
        fresh->m_core->pageSize = old.pageSize;
        if ((old.options & 0xffff) == adCmdFile)
            fresh->Open(old.source, std::string("Provider=MSPersist;"), old.cursorType, old.lockType, old.options);
        else
            fresh->Open(old.source, old.connection, old.cursorType, old.lockType, old.options);
    }
    RecordsetCore& core = *fresh->m_core;
    core.location = old.location;
    core.pageSize = old.pageSize;
    if (!old.filterText.empty() || !old.sortText.empty())
        core.SetView(old.filterText, old.sortText);
    Close();  // a pending edit is dropped; a clone keeps the old rows
    m_core = fresh->m_core;
}

FieldsPtr Recordset::GetFields()
{
    m_core->RequireOpen();
    return std::make_shared<Fields>(m_core);
}

long Recordset::GetFieldCount() const
{
    m_core->RequireOpen();
    return m_core->ColCount();
}

long Recordset::FindField(const std::string& name) const
{
    m_core->RequireOpen();
    return m_core->FindField(name);
}

const Variant& Recordset::GetCollect(long index) const
{
    m_core->chunkField = -1;  // reading a value starts long data over
    return m_core->Value(index);
}

void Recordset::PutCollect(long index, const Variant& value) { m_core->Put(index, value); }

// ---- Views, positions, bookmarks and search -------------------------------------------

void RecordsetCore::SetView(const std::string& filter, const std::string& sort)
{
    const FieldLookup lookup = [this](const std::string& name) { return FindField(name); };
    // Both texts are checked before anything changes.
    const bool filtered = filter.find_first_not_of(" \t\r\n") != std::string::npos;
    Criteria criteria;
    if (filtered)
        criteria = Criteria::Parse(filter, lookup, true);
    const std::vector<SortKey> keys = ParseSort(sort, lookup);
    if (!filtered && keys.empty()) {
        viewed = false;
        view.clear();
        posOf.clear();
    } else {
        std::vector<long> rowsShown;
        rowsShown.reserve(static_cast<std::size_t>(data->rows));
        for (long r = 0; r < data->rows; ++r)
            if (!data->deleted[static_cast<std::size_t>(r)] && (!filtered || criteria.Matches(Row(r))))
                rowsShown.push_back(r);
        if (!keys.empty())
            std::stable_sort(rowsShown.begin(), rowsShown.end(), [&](long a, long b) {
                const Variant* ra = Row(a);
                const Variant* rb = Row(b);
                for (const SortKey& k : keys) {
                    const int c = CompareForSort(ra[k.field], rb[k.field]);
                    if (c != 0)
                        return k.descending ? c > 0 : c < 0;
                }
                return false;
            });
        view = std::move(rowsShown);
        posOf.assign(static_cast<std::size_t>(data->rows), -1);
        for (std::size_t p = 0; p < view.size(); ++p)
            posOf[static_cast<std::size_t>(view[p])] = static_cast<long>(p);
        viewed = true;
    }
    filterText = filtered ? filter : std::string();
    sortText = keys.empty() ? std::string() : sort;
    ++viewGeneration;
    cur = FirstLive();
}

long RecordsetCore::PositionOfBookmark(const Variant& bookmark) const
{
    if (!bookmark.IsInteger() || bookmark.Kind() == VT_UI8)
        throw ComError(Status::InvalidArgument, kRecordsetSource, "The value is not a bookmark.");
    const std::int64_t r = bookmark.GetInt();
    if (r < 0 || r >= data->rows)
        throw ComError(Status::InvalidArgument, kRecordsetSource, "The bookmark names no row of this recordset.");
    if (data->deleted[static_cast<std::size_t>(r)])
        throw ComError(Status::NoCurrentRecord, kRecordsetSource, "The row of the bookmark has been deleted.");
    if (!viewed)
        return static_cast<long>(r);
    const long p = static_cast<std::size_t>(r) < posOf.size() ? posOf[static_cast<std::size_t>(r)] : -1;
    if (p < 0)
        throw ComError(Status::InvalidArgument, kRecordsetSource, "The row of the bookmark is hidden by the filter.");
    return p;
}

// 1-based rank of the current row among the live rows of the view; 0 when
// the current row is deleted.
long RecordsetCore::LivePositionOrdinal() const
{
    if (!LiveAt(cur))
        return 0;
    if (LiveCount() == Count())
        return cur + 1;
    long n = 0;
    for (long p = 0; p <= cur; ++p)
        n += LiveAt(p) ? 1 : 0;
    return n;
}

void RecordsetCore::MoveToOrdinal(long ordinal)
{
    if (ordinal < 1 || ordinal > LiveCount())
        throw ComError(Status::InvalidArgument, kRecordsetSource, "The position lies outside the recordset.");
    if (LiveCount() == Count()) {
        cur = ordinal - 1;
        return;
    }
    long n = 0;
    for (long p = 0; p < Count(); ++p)
        if (LiveAt(p) && ++n == ordinal) {
            cur = p;
            return;
        }
}

long Recordset::GetPageSize() const { return m_core->pageSize; }

void Recordset::PutPageSize(long rows)
{
    if (rows <= 0)
        throw ComError(Status::InvalidArgument, kRecordsetSource, "The page size must be at least one row.");
    m_core->pageSize = rows;
}

long Recordset::GetPageCount() const
{
    m_core->RequireOpen();
    const long n = m_core->LiveCount();
    return (n + m_core->pageSize - 1) / m_core->pageSize;
}

long Recordset::GetAbsolutePosition() const
{
    RecordsetCore& c = *m_core;
    c.RequireOpen();
    if (c.edit == adEditAdd)
        return adPosUnknown;
    if (c.LiveCount() == 0 || c.cur >= c.Count())
        return c.LiveCount() == 0 && c.cur < 0 ? adPosBOF : adPosEOF;
    if (c.cur < 0)
        return adPosBOF;
    const long n = c.LivePositionOrdinal();
    return n == 0 ? static_cast<long>(adPosUnknown) : n;
}

void Recordset::PutAbsolutePosition(long position)
{
    m_core->RequireOpen();
    m_core->Update();
    m_core->MoveToOrdinal(position);
}

long Recordset::GetAbsolutePage() const
{
    const long p = GetAbsolutePosition();
    if (p < 0)
        return p;
    return (p - 1) / m_core->pageSize + 1;
}

void Recordset::PutAbsolutePage(long page)
{
    m_core->RequireOpen();
    if (page < 1 || page > GetPageCount())
        throw ComError(Status::InvalidArgument, kRecordsetSource, "The page lies outside the recordset.");
    m_core->Update();
    m_core->MoveToOrdinal((page - 1) * m_core->pageSize + 1);
}

Variant Recordset::GetBookmark() const
{
    m_core->RequireOpen();
    m_core->RequireCurrentRow();
    return Variant::I8(m_core->CurRow());
}

void Recordset::PutBookmark(const Variant& bookmark)
{
    m_core->RequireOpen();
    const long p = m_core->PositionOfBookmark(bookmark);
    m_core->Update();
    m_core->cur = p;
}

void Recordset::Find(const std::string& criteria, long skipRecords, SearchDirectionEnum searchDirection,
                     const Variant& start)
{
    RecordsetCore& c = *m_core;
    c.RequireOpen();
    if (searchDirection != adSearchForward && searchDirection != adSearchBackward)
        throw ComError(Status::InvalidArgument, kRecordsetSource, "The search direction is neither forward nor backward.");
    if (skipRecords < 0)
        throw ComError(Status::InvalidArgument, kRecordsetSource, "The rows to skip cannot be negative.");
    const Criteria test =
        Criteria::Parse(criteria, [&c](const std::string& name) { return c.FindField(name); }, false);
    // An empty start (or an empty text, as callers pass) means the current row.
    const bool fromCurrent = start.IsEmptyOrNull() || (start.Kind() == VT_BSTR && start.GetString().empty());
    const long from = fromCurrent ? c.cur : c.PositionOfBookmark(start);
    c.Update();
    const long n = c.Count();
    if (searchDirection == adSearchForward) {
        for (long p = from < 0 ? 0 : from + skipRecords; p < n; ++p)
            if (c.LiveAt(p) && test.Matches(c.Row(c.RowAt(p)))) {
                c.cur = p;
                return;
            }
        c.cur = n;
    } else {
        for (long p = from >= n ? n - 1 : from - skipRecords; p >= 0; --p)
            if (c.LiveAt(p) && test.Matches(c.Row(c.RowAt(p)))) {
                c.cur = p;
                return;
            }
        c.cur = -1;
    }
}

const std::string& Recordset::GetFilter() const { return m_core->filterText; }

void Recordset::PutFilter(const std::string& filter)
{
    m_core->RequireOpen();
    m_core->Update();
    m_core->SetView(filter, m_core->sortText);
}

const std::string& Recordset::GetSort() const { return m_core->sortText; }

void Recordset::PutSort(const std::string& sort)
{
    m_core->RequireOpen();
    m_core->Update();
    m_core->SetView(m_core->filterText, sort);
}

RecordsetPtr Recordset::Clone(LockTypeEnum lockType)
{
    m_core->RequireOpen();
    RecordsetPtr rs = Create();
    auto core = std::make_shared<RecordsetCore>(*m_core);  // shares the rows
    core->CancelUpdate();
    core->viewed = false;
    core->view.clear();
    core->posOf.clear();
    core->filterText.clear();
    core->sortText.clear();
    ++core->viewGeneration;
    core->chunkField = -1;
    if (lockType != adLockUnspecified)
        core->lockType = lockType;
    core->cur = core->FirstLive();
    rs->m_core = std::move(core);
    return rs;
}

std::string Recordset::GetString(StringFormatEnum format, long numRows, const std::string& columnDelimiter,
                                 const std::string& rowDelimiter, const std::string& nullExpr)
{
    RecordsetCore& c = *m_core;
    c.RequireOpen();
    if (format != adClipString)
        throw ComError(Status::InvalidArgument, kRecordsetSource, "Rows are exported as clip strings only.");
    c.Update();
    std::string out;
    const long n = c.Count();
    if (c.cur < 0)
        c.cur = c.FirstLive();
    long done = 0;
    while (c.cur < n && (numRows < 0 || done < numRows)) {
        if (c.LiveAt(c.cur)) {
            const Variant* row = c.Row(c.CurRow());
            for (long i = 0; i < c.ColCount(); ++i) {
                if (i > 0)
                    out += columnDelimiter;
                const Variant& v = row[i];
                if (v.IsEmptyOrNull()) {
                    out += nullExpr;
                } else if (v.Kind() == VT_BYTES) {
                    static const char hex[] = "0123456789ABCDEF";
                    for (unsigned char b : v.GetString()) {
                        out += hex[b >> 4];
                        out += hex[b & 15];
                    }
                } else {
                    out += v.ToText();
                }
            }
            out += rowDelimiter;
            ++done;
        }
        ++c.cur;
    }
    return out;
}

// ---- Saved recordsets -------------------------------------------------------------

namespace {
const char* const kPersistProvider = "MSPersist";
}

void Recordset::Save(const std::string& file, PersistFormatEnum format)
{
    RecordsetCore& c = *m_core;
    c.RequireOpen();
    if (format != adPersistXML)
        throw ComError(Status::InvalidArgument, kRecordsetSource, "Recordsets are saved in the XML format only.");
    if (file.empty())
        throw ComError(Status::InvalidArgument, kRecordsetSource, "No file name was given.");
    std::vector<SavedField> fields;
    for (const ColumnInfo& col : c.cols)
        fields.push_back(SavedField{col.name, col.type, col.definedSize, col.attributes, col.precision, col.scale});
    std::vector<const Variant*> rows;
    for (long p = 0; p < c.Count(); ++p)
        if (c.LiveAt(p))
            rows.push_back(c.Row(c.RowAt(p)));
    const std::string text = WriteRecordsetXml(fields, rows);
    // Written whole or not at all: a failed save leaves an earlier file as it was.
    std::string error;
    if (!RVN::ReplaceFileContent(file, text, &error))
        throw ComError(Status::WriteFile, kRecordsetSource, "The recordset cannot be saved: " + error + ".");
}

void Recordset::Open(const std::string& file, const std::string& connectionText, CursorTypeEnum cursorType,
                     LockTypeEnum lockType, long options)
{
    if (m_core->open)
        throw ComError(Status::ObjectOpen, kRecordsetSource, "The recordset is already open.");
    const auto pairs = ParseConnectionString(connectionText);
    const auto provider = pairs.find("provider");
    if (provider == pairs.end() || !EqualsNoCase(kPersistProvider, provider->second))
        throw ComError(Status::ProviderNotFound, kRecordsetSource,
                       "A file is opened with the connection text \"Provider=MSPersist;\".");
    if ((options & 0xffff) != adCmdFile)
        throw ComError(Status::InvalidArgument, kRecordsetSource, "A saved recordset is opened with the file option.");
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0 || S_ISDIR(st.st_mode))
        throw ComError(Status::OpeningFile, kRecordsetSource, "Cannot open the saved recordset '" + file + "'.");
    if (S_ISREG(st.st_mode) && static_cast<std::uintmax_t>(st.st_size) > kMaxSavedRecordsetBytes)
        throw ComError(Status::ReadFile, kRecordsetSource,
                       "'" + file + "' is larger than the " + IntText(static_cast<std::int64_t>(kMaxSavedRecordsetBytes >> 20)) +
                           " MiB a saved recordset may have.");
    std::ifstream in(file, std::ios::binary);
    if (!in)
        throw ComError(Status::OpeningFile, kRecordsetSource, "Cannot open the saved recordset '" + file + "'.");
    // Read in pieces up to the limit (a pipe or device tells no size).
    std::string text;
    text.reserve(S_ISREG(st.st_mode) ? static_cast<std::size_t>(st.st_size) : 0);
    char piece[65536];
    while (in.read(piece, sizeof piece) || in.gcount() > 0) {
        text.append(piece, static_cast<std::size_t>(in.gcount()));
        if (text.size() > kMaxSavedRecordsetBytes)
            throw ComError(Status::ReadFile, kRecordsetSource,
                           "'" + file + "' is larger than the " + IntText(static_cast<std::int64_t>(kMaxSavedRecordsetBytes >> 20)) +
                               " MiB a saved recordset may have.");
    }
    std::vector<SavedField> fields;
    auto core = std::make_shared<RecordsetCore>();
    try {
        ReadRecordsetXml(text, fields, core->data->cells, core->data->rows);
    } catch (const ComError& e) {
        throw ComError(e.Error(), e.Source(), "'" + file + "': " + e.Description());
    }
    for (const SavedField& f : fields) {
        ColumnInfo col;
        col.name = f.name;
        col.type = f.type;
        col.definedSize = f.definedSize;
        col.attributes = f.attributes;
        col.precision = f.precision;
        col.scale = f.scale;
        col.expression = true;
        core->cols.push_back(std::move(col));
    }
    core->data->live = core->data->rows;
    core->data->deleted.assign(static_cast<std::size_t>(core->data->rows), 0);
    core->source = file;
    core->options = adCmdFile;
    core->cursorType = cursorType == adOpenUnspecified ? m_core->cursorType : cursorType;
    core->location = m_core->location;
    core->pageSize = m_core->pageSize;
    core->lockType = lockType == adLockUnspecified ? adLockReadOnly : lockType;
    core->cur = 0;
    core->open = true;
    m_core = std::move(core);
}

// ---- Fields and Field ------------------------------------------------------------

long Fields::GetCount() const
{
    m_core->RequireOpen();
    return m_core->ColCount();
}

FieldPtr Fields::GetItem(long index) const
{
    m_core->RequireOpen();
    m_core->RequireIndex(index);
    return std::make_shared<Field>(m_core, index);
}

FieldPtr Fields::GetItem(const std::string& name) const
{
    m_core->RequireOpen();
    const long index = m_core->FindField(name);
    if (index < 0)
        throw ComError(Status::ItemNotFound, kRecordsetSource, "There is no field named '" + name + "' in the recordset.");
    return std::make_shared<Field>(m_core, index);
}

namespace {
const ColumnInfo& ColumnOf(const RecordsetCore& core, long index)
{
    core.RequireOpen();
    core.RequireIndex(index);
    return core.cols[static_cast<std::size_t>(index)];
}
}  // namespace

std::string Field::GetName() const { return ColumnOf(*m_core, m_index).name; }
DataTypeEnum Field::GetType() const { return ColumnOf(*m_core, m_index).type; }
long Field::GetDefinedSize() const { return ColumnOf(*m_core, m_index).definedSize; }
long Field::GetAttributes() const { return ColumnOf(*m_core, m_index).attributes; }
int Field::GetPrecision() const { return ColumnOf(*m_core, m_index).precision; }
int Field::GetNumericScale() const { return ColumnOf(*m_core, m_index).scale; }
Variant Field::GetValue() const
{
    m_core->chunkField = -1;
    return m_core->Value(m_index);
}

long Field::GetActualSize() const
{
    const ColumnInfo& c = ColumnOf(*m_core, m_index);
    m_core->chunkField = -1;  // so does asking for its size
    const Variant& v = m_core->Value(m_index);
    switch (v.Kind()) {
    case VT_EMPTY: case VT_NULL:
        return 0;
    case VT_BSTR: case VT_BYTES:
        return static_cast<long>(v.GetString().size());
    default:
        return c.definedSize;
    }
}

void Field::PutValue(const Variant& value) { m_core->Put(m_index, value); }

namespace {
void RequireLong(const ColumnInfo& c)
{
    if (!(c.attributes & adFldLong))
        throw ComError(Status::InvalidArgument, kFieldSource,
                       "The field '" + c.name + "' does not hold long data, which is read and written in pieces.");
}
}  // namespace

Variant Field::GetChunk(long length)
{
    const ColumnInfo& c = ColumnOf(*m_core, m_index);
    RequireLong(c);
    if (length <= 0)
        throw ComError(Status::InvalidArgument, kFieldSource, "A piece of long data must be at least one byte long.");
    RecordsetCore& core = *m_core;
    const Variant& v = core.Value(m_index);
    if (v.IsEmptyOrNull())
        return Variant::Null();
    const long row = core.edit != adEditNone ? -2 : core.CurRow();
    if (core.chunkField != m_index || core.chunkRow != row) {
        core.chunkField = m_index;
        core.chunkRow = row;
        core.chunkOffset = 0;
    }
    const bool isText = v.Kind() != VT_BYTES;
    const std::string text = v.Kind() == VT_BYTES || v.Kind() == VT_BSTR ? std::string() : v.ToText();
    const std::string& all = v.Kind() == VT_BYTES || v.Kind() == VT_BSTR ? v.GetString() : text;
    if (core.chunkOffset >= all.size())
        return Variant::Null();
    std::string piece = all.substr(core.chunkOffset, static_cast<std::size_t>(length));
    core.chunkOffset += piece.size();
    return isText ? Variant::Text(std::move(piece)) : Variant::Bytes(std::move(piece));
}

void Field::AppendChunk(const Variant& data)
{
    const ColumnInfo& c = ColumnOf(*m_core, m_index);
    RequireLong(c);
    if (data.Kind() != VT_BYTES && data.Kind() != VT_BSTR)
        throw ComError(Status::InvalidArgument, kFieldSource, "Long data is appended as bytes or text.");
    RecordsetCore& core = *m_core;
    const std::size_t i = static_cast<std::size_t>(m_index);
    std::string value;
    if (core.edit != adEditNone && i < core.chunkStarted.size() && core.chunkStarted[i]) {
        Variant& pending = core.buffer[i];
        Stored& stored = core.stored[i];
        // A later piece goes onto the end of the pending value, so writing
        // a value in many pieces costs the size of the value, not its square.
        if (!c.sized && (pending.Kind() == VT_BYTES || pending.Kind() == VT_BSTR) &&
            (stored.type == SQLITE_BLOB || stored.type == SQLITE_TEXT)) {
            pending.AppendString(data.GetString());
            stored.s += data.GetString();
            return;
        }
        if (pending.Kind() == VT_BYTES || pending.Kind() == VT_BSTR)
            value = pending.GetString();
    }
    value += data.GetString();
    core.Put(m_index, IsBinaryType(c.type) ? Variant::Bytes(std::move(value)) : Variant::Text(std::move(value)));
    if (core.chunkStarted.size() != core.cols.size())
        core.chunkStarted.assign(core.cols.size(), 0);
    core.chunkStarted[i] = 1;
}

// ---- Connection::Execute and Command -------------------------------------------------

// A text of several statements runs inside a savepoint: when one of them
// fails, the changes of those before it are undone too, so nothing is left
// half-done.
RecordsetPtr Connection::Execute(const std::string& text, long* recordsAffected, long options)
{
    return Execute(text, recordsAffected, options, std::vector<Variant>());
}

RecordsetPtr Connection::Execute(const std::string& text, long* recordsAffected, long options,
                                 const std::vector<Variant>& values)
{
    sqlite3* db = m_impl->Db(kConnectionSource);
    std::size_t bound = 0;
    if (recordsAffected != nullptr)
        *recordsAffected = 0;
    long total = 0;
    std::string rest = text;
    bool first = true;
    bool guarded = false;
    bool wrote = false;  // a statement before the last one changed the catalog
    RecordsetPtr result;
    try {
        for (;;) {
            const std::string sql = TranslateSql(rest);
            Statement st;
            const char* tail = nullptr;
            st.Prepare(db, sql, &tail);
            if (st.stmt == nullptr) {
                if (first)
                    throw ComError(Status::SqlError, kConnectionSource, "The command text is empty.");
                break;
            }
            const bool last = tail == nullptr || IsBlankOrSeparator(tail);
            // The placeholders are checked before the statement runs.
            const std::size_t marks = static_cast<std::size_t>(sqlite3_bind_parameter_count(st.stmt));
            if (bound + marks > values.size() || (last && bound + marks < values.size()))
                throw ComError(Status::SqlError, kConnectionSource,
                               "The command text has " + IntText(static_cast<std::int64_t>(bound + marks)) +
                                   (last ? "" : " or more") + " placeholders for " +
                                   IntText(static_cast<std::int64_t>(values.size())) + " parameter values.");
            for (std::size_t k = 0; k < marks; ++k)
                Bind(db, st.stmt, static_cast<int>(k + 1), Coerce(values[bound + k], ColumnInfo()));
            bound += marks;
            if (first && !last) {
                ExecSimple(db, "SAVEPOINT tqrvn_execute");
                guarded = true;
            }
            first = false;
            rest = tail != nullptr ? std::string(tail) : std::string();
            if (last && !(options & adExecuteNoRecords) && sqlite3_column_count(st.stmt) > 0) {
                result = Recordset::Create();
                RecordsetCore& core = *result->m_core;
                core.connection = m_impl->self.lock();
                core.source = text;
                core.cursorType = adOpenStatic;
                core.lockType = adLockReadOnly;
                core.fromCommand = true;
                core.commandValues = values;
                if (wrote)
                    core.requeryRefusal =
                        "The rows cannot be read again: the command that made them changed the catalog before "
                        "selecting them, and running it again would change it twice.  Run the command again.";
                core.LoadFrom(db, st.stmt);
                core.open = true;
                break;
            }
            wrote = wrote || sqlite3_stmt_readonly(st.stmt) == 0;
            int rc;
            while ((rc = sqlite3_step(st.stmt)) == SQLITE_ROW) {
            }
            if (rc != SQLITE_DONE)
                ThrowEngine(db, rc);
            if (IsRowChangingStatement(sql))
                total += static_cast<long>(sqlite3_changes64(db));
            if (last)
                break;
        }
        if (guarded)
            ExecSimple(db, "RELEASE tqrvn_execute");
    } catch (...) {
        if (guarded)
            sqlite3_exec(db, "ROLLBACK TO tqrvn_execute; RELEASE tqrvn_execute", nullptr, nullptr, nullptr);
        throw;
    }
    if (recordsAffected != nullptr)
        *recordsAffected = total;
    return result;
}

// ---- Parameter and Command ---------------------------------------------------------

namespace {
const char* const kParameterSource = "RVNADO.Parameter";
const char* const kCommandSource = "RVNADO.Command";

// The value as it is bound for a parameter of the type: converted as a
// field of that type would store it.
Variant BoundValue(const Variant& value, DataTypeEnum type, int scale, const std::string& name)
{
    ColumnInfo c;
    c.name = name;
    if (type != adEmpty && type != adVariant) {
        c.type = type;
        c.expression = false;
        c.scale = scale;
    }
    const Stored s = Coerce(value, c);
    return ToVariant(RawOf(s), ColumnInfo());
}
}  // namespace

ParameterPtr Parameter::Create() { return ParameterPtr(new Parameter()); }

void Parameter::PutDirection(ParameterDirectionEnum direction)
{
    if (direction < adParamUnknown || direction > adParamReturnValue)
        throw ComError(Status::InvalidArgument, kParameterSource, "Unknown parameter direction.");
    m_direction = direction;
}

void Parameter::PutSize(long size)
{
    if (size < 0)
        throw ComError(Status::InvalidArgument, kParameterSource, "A parameter size cannot be negative.");
    m_size = size;
}

void Parameter::PutPrecision(int precision)
{
    if (precision < 0 || precision > 255)
        throw ComError(Status::InvalidArgument, kParameterSource, "The precision lies outside 0 to 255.");
    m_precision = precision;
}

void Parameter::PutNumericScale(int scale)
{
    if (scale < 0 || scale > 28)
        throw ComError(Status::InvalidArgument, kParameterSource, "The numeric scale lies outside 0 to 28.");
    m_scale = scale;
}

void Parameter::PutValue(const Variant& value)
{
    try {
        BoundValue(value, m_type, m_scale, m_name);
    } catch (const ComError& e) {
        throw ComError(e.Error(), kParameterSource, "Parameter '" + m_name + "': " + e.Description());
    }
    m_value = value;
}

CommandPtr Command::Create() { return CommandPtr(new Command()); }

ParameterPtr Command::CreateParameter(const std::string& name, DataTypeEnum type, ParameterDirectionEnum direction,
                                      long size, const Variant& value)
{
    ParameterPtr p = Parameter::Create();
    p->PutName(name);
    p->PutType(type);
    p->PutDirection(direction);
    p->PutSize(size);
    p->PutValue(value);
    return p;
}

void Command::AppendParameter(const ParameterPtr& parameter)
{
    Deref(parameter);
    m_parameters.push_back(parameter);
}

ParameterPtr Command::GetParameter(long index) const
{
    if (index < 0 || index >= GetParameterCount())
        throw ComError(Status::ItemNotFound, kCommandSource, "There is no parameter number " + IntText(index) + ".");
    return m_parameters[static_cast<std::size_t>(index)];
}

ParameterPtr Command::GetParameter(const std::string& name) const
{
    for (const ParameterPtr& p : m_parameters)
        if (EqualsNoCase(p->GetName(), name))
            return p;
    throw ComError(Status::ItemNotFound, kCommandSource, "There is no parameter named '" + name + "'.");
}

RecordsetPtr Command::Execute(long* recordsAffected, long options)
{
    Connection& connection = Deref(m_connection);
    if (recordsAffected != nullptr)
        *recordsAffected = 0;
    // Output and return-value parameters have no counterpart in this
    // engine's statements; the input ones fill the placeholders in order.
    std::vector<Variant> values;
    for (const ParameterPtr& p : m_parameters)
        if (p->GetDirection() == adParamInput || p->GetDirection() == adParamInputOutput ||
            p->GetDirection() == adParamUnknown)
            values.push_back(BoundValue(p->GetValue(), p->GetType(), p->GetNumericScale(), p->GetName()));
    if (m_type == adCmdStoredProc) {
        if (!values.empty())
            throw ComError(Status::InvalidArgument, kCommandSource,
                           "The saved query '" + m_text + "' takes no parameters.");
        RecordsetPtr rs = Recordset::Create();
        rs->Open(m_text, m_connection, adOpenStatic, adLockOptimistic, adCmdStoredProc);
        if (options & adExecuteNoRecords)
            return nullptr;
        return rs;
    }
    if (m_type == adCmdTable || m_type == adCmdFile || m_type == adCmdTableDirect)
        throw ComError(Status::InvalidArgument, kCommandSource,
                       "A command runs SQL text or a saved query; its type is " + IntText(m_type) + ".");
    RecordsetPtr rs = connection.Execute(m_text, recordsAffected, options & adExecuteNoRecords, values);
    if (!rs && !(options & adExecuteNoRecords))
        rs = Recordset::Create();  // a command without rows gives a closed recordset
    return rs;
}

}  // namespace RVNADO
