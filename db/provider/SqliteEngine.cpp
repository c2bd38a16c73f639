// The SQLite 3 engine: a catalog file opened by its path.
#include "db/provider/Engine.h"
#include "db/provider/FieldConvert.h"
#include "db/provider/LockWait.h"
#include "db/provider/ProviderText.h"

#include <sqlite3.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <system_error>

namespace RVNADO::detail {

namespace {

const char* const kEngineSource = "SQLite";
const char* const kConnectionSource = "RVNADO.Connection";
// The wait for another process's lock when the connection timeout is 0.
constexpr long kDefaultLockWaitSeconds = 5;

// Status code for an engine result code and message.
HRESULT StatusForEngine(int rc, const char* message) {
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

[[noreturn]] void ThrowEngine(sqlite3* db, int rc) {
    const char* message = db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    std::string description;
    const bool locked = (rc & 0xff) == SQLITE_BUSY || (rc & 0xff) == SQLITE_LOCKED;
    if (locked)
        description += std::string("The catalog file is ") + kLockedText + "; try again later (";
    description += message != nullptr ? message : "unknown engine error";
    if (locked)
        description += ")";
    throw ComError(StatusForEngine(rc, message), kEngineSource, description);
}

void ExecSimple(sqlite3* db, const std::string& sql) {
    const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK)
        ThrowEngine(db, rc);
}

// Owns a prepared statement.
class SqliteStatement final : public EngineStatement {
public:
    SqliteStatement(sqlite3* db, sqlite3_stmt* st) : m_db(db), m_st(st) {}
    ~SqliteStatement() override { sqlite3_finalize(m_st); }
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    int ParameterCount() const override { return sqlite3_bind_parameter_count(m_st); }

    void Bind(int index, const Stored& v) override {
        int rc = SQLITE_OK;
        switch (v.type) {
        case StoredType::Integer:
            rc = sqlite3_bind_int64(m_st, index, v.i);
            break;
        case StoredType::Real:
            rc = sqlite3_bind_double(m_st, index, v.d);
            break;
        case StoredType::Text:
            rc = sqlite3_bind_text64(m_st, index, v.s.data(), v.s.size(), SQLITE_TRANSIENT,
                                     SQLITE_UTF8);
            break;
        case StoredType::Blob:
            rc = sqlite3_bind_blob64(m_st, index, v.s.data(), v.s.size(), SQLITE_TRANSIENT);
            break;
        default:
            rc = sqlite3_bind_null(m_st, index);
            break;
        }
        if (rc != SQLITE_OK)
            ThrowEngine(m_db, rc);
    }

    bool Step() override {
        const int rc = sqlite3_step(m_st);
        if (rc == SQLITE_ROW)
            return true;
        if (rc != SQLITE_DONE)
            ThrowEngine(m_db, rc);
        m_changes = sqlite3_changes64(m_db);
        return false;
    }

    int ColumnCount() const override { return sqlite3_column_count(m_st); }

    Raw Column(int col) const override {
        Raw r{StoredType::Null, 0, 0.0, nullptr, 0};
        switch (sqlite3_column_type(m_st, col)) {
        case SQLITE_INTEGER:
            r.type = StoredType::Integer;
            r.i = sqlite3_column_int64(m_st, col);
            break;
        case SQLITE_FLOAT:
            r.type = StoredType::Real;
            r.d = sqlite3_column_double(m_st, col);
            break;
        case SQLITE_TEXT:
            r.type = StoredType::Text;
            r.p = reinterpret_cast<const char*>(sqlite3_column_text(m_st, col));
            r.n = static_cast<std::size_t>(sqlite3_column_bytes(m_st, col));
            break;
        case SQLITE_BLOB:
            r.type = StoredType::Blob;
            r.p = static_cast<const char*>(sqlite3_column_blob(m_st, col));
            r.n = static_cast<std::size_t>(sqlite3_column_bytes(m_st, col));
            break;
        default:
            break;
        }
        return r;
    }

    void Describe(int i, ColumnInfo& c) override;

    bool IsReadOnly() const override { return sqlite3_stmt_readonly(m_st) != 0; }
    std::int64_t Changes() const override { return m_changes; }

private:
    sqlite3* m_db;
    sqlite3_stmt* m_st;
    std::int64_t m_changes = 0;
};

void SqliteStatement::Describe(int i, ColumnInfo& c) {
    const char* name = sqlite3_column_name(m_st, i);
    c.name = name != nullptr ? name : "";
    const char* table = sqlite3_column_table_name(m_st, i);
    const char* origin = sqlite3_column_origin_name(m_st, i);
    const char* database = sqlite3_column_database_name(m_st, i);
    const DeclaredType decl = TypeFromDeclaration(sqlite3_column_decltype(m_st, i));
    if (table != nullptr && origin != nullptr && database != nullptr) {
        c.table = table;
        c.origin = origin;
        c.database = database;
        c.expression = false;
        int notNull = 0, primaryKey = 0, autoInc = 0;
        if (sqlite3_table_column_metadata(m_db, database, table, origin, nullptr, nullptr, &notNull,
                                          &primaryKey, &autoInc) == SQLITE_OK) {
            c.key = primaryKey != 0;
            if (!notNull)
                c.attributes |= adFldIsNullable | adFldMayBeNull;
            if (c.key)
                c.attributes |= adFldKeyColumn;
        }
    }
    c.TakeDeclared(decl);
}

class SqliteEngine final : public Engine {
public:
    SqliteEngine(sqlite3* db, std::string path) : m_db(db), m_path(std::move(path)) {}
    ~SqliteEngine() override {
        m_wait.Detach();
        sqlite3_close_v2(m_db); // an open transaction is rolled back
    }
    SqliteEngine(const SqliteEngine&) = delete;
    SqliteEngine& operator=(const SqliteEngine&) = delete;

    void Attach() { m_wait.Attach(m_db, m_path); }

    std::string DataSource() const override { return m_path; }

    void SetLockTimeout(long seconds) override {
        m_wait.SetTimeout(std::chrono::seconds(seconds > 0 ? seconds : kDefaultLockWaitSeconds));
    }

    std::unique_ptr<EngineStatement> Prepare(const std::string& sql, std::string* rest) override {
        sqlite3_stmt* st = nullptr;
        const char* tail = nullptr;
        const int rc =
            sqlite3_prepare_v2(m_db, sql.c_str(), static_cast<int>(sql.size()), &st, &tail);
        if (rc != SQLITE_OK)
            ThrowEngine(m_db, rc);
        if (rest != nullptr)
            *rest = tail != nullptr ? std::string(tail) : std::string();
        if (st == nullptr)
            return nullptr;
        return std::make_unique<SqliteStatement>(m_db, st);
    }

    void Begin() override {
        // Writers that already wait for the lock take their turn first.
        m_wait.BeforeBegin();
        struct Done {
            LockWait& wait;
            ~Done() { wait.AfterBegin(); }
        } done{m_wait};
        ExecSimple(m_db, "BEGIN IMMEDIATE");
    }
    bool InTransaction() const override { return sqlite3_get_autocommit(m_db) == 0; }
    void Commit() override { ExecSimple(m_db, "COMMIT"); }
    void Rollback() override { ExecSimple(m_db, "ROLLBACK"); }
    void Savepoint(const std::string& name) override { ExecSimple(m_db, "SAVEPOINT " + name); }
    void Release(const std::string& name) override { ExecSimple(m_db, "RELEASE " + name); }
    void RollbackTo(const std::string& name) override {
        ExecSimple(m_db, "ROLLBACK TO " + name + "; RELEASE " + name);
    }

    TableKey PrimaryKey(const std::string& database, const std::string& table) override;
    std::int64_t NextAutoNumber(const std::string& database, const std::string& table,
                                const std::string& keyColumn) override;

    bool InsertedRow(std::string& condition, Stored& value) override {
        condition = "rowid = ?";
        value = Stored::Int(sqlite3_last_insert_rowid(m_db));
        return true;
    }

    std::string QuoteName(const std::string& name) override { return QuoteIdentifier(name); }
    bool HasView(const std::string& name) override {
        auto st = Prepare(
            "SELECT name FROM sqlite_master WHERE type = 'view' AND name = ?1 COLLATE NOCASE",
            nullptr);
        st->Bind(1, Stored::Text(name));
        return st->Step();
    }

private:
    // The first column of the first row of sql (with ?1 bound to text when
    // the statement has a placeholder); false when there is no row.
    bool Single(const std::string& sql, const std::string& text, std::int64_t& out) {
        auto st = Prepare(sql, nullptr);
        if (st->ParameterCount() > 0)
            st->Bind(1, Stored::Text(text));
        if (!st->Step())
            return false;
        out = st->Column(0).i;
        return true;
    }

    sqlite3* m_db;
    std::string m_path;
    LockWait m_wait;
};

TableKey SqliteEngine::PrimaryKey(const std::string& database, const std::string& table) {
    auto st = Prepare("PRAGMA " + QuoteIdentifier(database) + ".table_info(" +
                          QuoteIdentifier(table) + ")",
                      nullptr);
    TableKey key;
    std::string keyType;
    while (st->Step()) {
        if (st->Column(5).i > 0) {
            const Raw name = st->Column(1);
            key.names.emplace_back(name.p != nullptr ? std::string(name.p, name.n) : std::string());
            const Raw type = st->Column(2);
            keyType = type.p != nullptr ? std::string(type.p, type.n) : std::string();
        }
    }
    // An INTEGER PRIMARY KEY is the row number, which the engine assigns.
    key.autoNumber = key.names.size() == 1 && EqualsNoCase("INTEGER", keyType);
    return key;
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
std::int64_t SqliteEngine::NextAutoNumber(const std::string& database, const std::string& table,
                                          const std::string& keyColumn) {
    const std::string schema = QuoteIdentifier(database);
    const std::string highest = "ifnull((SELECT max(" + QuoteIdentifier(keyColumn) + ") FROM " +
                                schema + "." + QuoteIdentifier(table) + "), 0)";
    const std::string seq = schema + ".sqlite_sequence";
    std::int64_t id = 0;
    // Outside a transaction the write lock is taken before anything is read:
    // a reader that later asks for the lock may be refused at once (the
    // engine's guard against deadlock) instead of waiting its turn.
    const bool outer = sqlite3_get_autocommit(m_db) != 0;
    ExecSimple(m_db, outer ? "BEGIN IMMEDIATE" : "SAVEPOINT tqrvn_autonumber");
    try {
        std::int64_t present = 0;
        Single("SELECT count(*) FROM " + schema + ".sqlite_master WHERE name = 'sqlite_sequence'",
               table, present);
        if (present == 0)
            ExecSimple(
                m_db,
                "CREATE TABLE " + schema +
                    ".tqrvn_sequence_maker (n INTEGER PRIMARY KEY AUTOINCREMENT); DROP TABLE " +
                    schema + ".tqrvn_sequence_maker");
        if (!Single("UPDATE " + seq + " SET seq = max(seq, " + highest +
                        ") + 1 WHERE name = ?1 RETURNING seq",
                    table, id))
            Single("INSERT INTO " + seq + " (name, seq) VALUES (?1, " + highest +
                       " + 1) RETURNING seq",
                   table, id);
        ExecSimple(m_db, outer ? "COMMIT" : "RELEASE tqrvn_autonumber");
    } catch (...) {
        sqlite3_exec(m_db,
                     outer ? "ROLLBACK" : "ROLLBACK TO tqrvn_autonumber; RELEASE tqrvn_autonumber",
                     nullptr, nullptr, nullptr);
        throw;
    }
    return id;
}

// Why an existing file cannot serve as a catalog, from the result of its
// first read.
[[noreturn]] void ThrowUnreadable(const std::string& path, int rc, std::string reason) {
    const int primary = rc & 0xff;
    if (primary == SQLITE_NOTADB)
        reason = "the file is not a catalog database (" + reason + ")";
    else if (primary == SQLITE_CORRUPT)
        reason = "the file is damaged (" + reason + ")";
    else if (primary == SQLITE_BUSY)
        reason = std::string("the file is ") + kLockedText + " (" + reason + ")";
    throw ComError(primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT ? Status::Damaged
                   : primary == SQLITE_BUSY                              ? Status::Locked
                                                                         : Status::Fail,
                   kConnectionSource,
                   "Cannot open the catalog file '" + path + "': " + reason + ".");
}

void RequireExistingFile(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        const int error = errno;
        if (error == ENOENT || error == ENOTDIR)
            throw ComError(Status::Fail, kConnectionSource,
                           "Could not find the catalog file '" + path + "'.");
        throw ComError(Status::Fail, kConnectionSource,
                       "Cannot reach the catalog file '" + path +
                           "': " + std::generic_category().message(error) + ".");
    }
    if (S_ISDIR(st.st_mode))
        throw ComError(Status::Fail, kConnectionSource,
                       "'" + path + "' is a folder, not a catalog file.");
}

} // namespace

std::unique_ptr<Engine> OpenSqliteEngine(const std::map<std::string, std::string>& pairs,
                                         long timeoutSeconds) {
    auto source = pairs.find("data source");
    if (source == pairs.end() || source->second.empty())
        throw ComError(Status::InvalidArgument, kConnectionSource,
                       "The connection string names no data source.");
    const std::string& path = source->second;
    RequireExistingFile(path);

    sqlite3* db = nullptr;
    int rc =
        sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (rc != SQLITE_OK) {
        const std::string reason = db != nullptr ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
        sqlite3_close_v2(db);
        throw ComError(Status::Fail, kConnectionSource,
                       "Cannot open the catalog file '" + path + "': " + reason + ".");
    }
    sqlite3_extended_result_codes(db, 1);
    auto engine = std::make_unique<SqliteEngine>(db, path);
    engine->SetLockTimeout(timeoutSeconds);
    engine->Attach();
    // Reading the schema makes a file that is not a database, or whose first
    // page is damaged, fail here rather than at the first query.
    char* message = nullptr;
    rc = sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, &message);
    if (rc != SQLITE_OK) {
        std::string reason = message != nullptr ? message : sqlite3_errstr(rc);
        sqlite3_free(message);
        ThrowUnreadable(path, rc, reason); // the engine closes the file
    }
    // The rollback journal keeps a catalog on a network folder safe; a file
    // left in write-ahead mode is switched back (when nobody else has it
    // open in that mode).
    sqlite3_exec(db, "PRAGMA journal_mode=DELETE", nullptr, nullptr, nullptr);
    return engine;
}

} // namespace RVNADO::detail
