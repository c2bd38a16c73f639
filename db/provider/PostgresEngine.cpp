// The PostgreSQL engine: a catalog on a database server, reached through
// libpq.
//
// - Statements are sent one at a time with their values as parameters;
//   a result is read whole (the recordset above keeps a snapshot anyway).
// - Writers take turns: the outer transaction takes one advisory lock of the
//   database at once, as the file engine takes its write lock, so that a
//   check for a duplicate row and the insert that follows cannot both pass
//   in two clients.  A lock (that one or a row's) is waited for up to the
//   connection timeout (5 s when it is 0), then the statement fails as
//   locked.
// - Autonumbers are the values of identity (or serial) columns, taken from
//   their sequence when a new row is started.
// - A statement that fails inside a transaction spoils it, as the server
//   does: the commit that ends it then fails and nothing of it is kept.
#include "db/NumberText.h"
#include "db/provider/ConnectionText.h"
#include "db/provider/Engine.h"
#include "db/provider/FieldConvert.h"
#include "db/provider/PostgresSql.h"
#include "db/provider/ProviderText.h"

#include <libpq-fe.h>

#include <cstring>
#include <set>

namespace RVNADO::detail {

namespace {

const char* const kServerSource = "PostgreSQL";
const char* const kConnectionSource = "RVNADO.Connection";
constexpr long kDefaultLockWaitSeconds = 5;
constexpr long kDefaultConnectSeconds = 15;
// The advisory lock that makes writers take turns ("TQRVN" in ASCII).
const char* const kWriterLock = "SELECT pg_advisory_xact_lock(362856748622)";

// Type numbers of the server's built-in types.
constexpr Oid kBool = 16, kBytea = 17, kInt8 = 20, kInt2 = 21, kInt4 = 23, kOid = 26, kFloat4 = 700,
              kFloat8 = 701, kNumeric = 1700;

using Result = std::unique_ptr<PGresult, decltype(&PQclear)>;

// A lock not granted within the wait, a deadlock, or a transaction that
// met another's write.
bool IsLockState(const std::string& state) {
    return state == "55P03" || state == "40P01" || state == "40001";
}

HRESULT StatusForState(const std::string& state) {
    if (IsLockState(state))
        return Status::Locked;
    if (state.rfind("23", 0) == 0)
        return Status::IntegrityViolation;
    if (state == "42P01")
        return Status::NoTable;
    if (state == "22001" || state == "22003")
        return kDataOverflow;
    if (state.rfind("22", 0) == 0)
        return Status::CantConvertValue;
    if (state == "42501" || state == "25006")
        return Status::ReadOnlyFile;
    if (state == "53100")
        return Status::DiskFull;
    if (state == "53200")
        return Status::OutOfMemory;
    if (state.rfind("42", 0) == 0)
        return Status::SqlError;
    return Status::Fail;
}

// libpq's message without the trailing line feeds, any password masked.
std::string CleanMessage(const char* message, const std::string& password) {
    std::string text = message != nullptr ? message : "";
    while (!text.empty() && (text.back() == '\n' || text.back() == ' '))
        text.pop_back();
    if (!password.empty())
        for (std::size_t p = text.find(password); p != std::string::npos;
             p = text.find(password, p + 4))
            text.replace(p, password.size(), "****");
    return MaskPassword(text);
}

class PostgresEngine;

class PostgresStatement final : public EngineStatement {
public:
    PostgresStatement(PostgresEngine& engine, std::string sql, int parameters)
        : m_engine(engine), m_sql(std::move(sql)), m_values(static_cast<std::size_t>(parameters)),
          m_given(static_cast<std::size_t>(parameters), 0),
          m_formats(static_cast<std::size_t>(parameters), 0) {}

    int ParameterCount() const override { return static_cast<int>(m_values.size()); }
    void Bind(int index, const Stored& value) override;
    bool Step() override;
    int ColumnCount() const override { return m_result ? PQnfields(m_result.get()) : 0; }
    Raw Column(int index) const override;
    void Describe(int index, ColumnInfo& column) override;
    bool IsReadOnly() const override { return IsReadingStatement(m_sql); }
    std::int64_t Changes() const override { return m_changes; }

private:
    PostgresEngine& m_engine;
    std::string m_sql;
    std::vector<std::string> m_values;
    std::vector<char> m_given; // per parameter: not null
    std::vector<int> m_formats;
    Result m_result{nullptr, &PQclear};
    int m_row = -1;
    std::int64_t m_changes = 0;
    mutable std::string m_bytes; // the current cell of a bytea column, decoded
};

// What the server says about one table: its name, its schema and its columns.
struct TableInfo {
    struct Column {
        std::string name;
        std::string declared;
        bool notNull = false;
        bool key = false;
        bool numbered = false; // identity or serial
    };
    std::string schema;
    std::string name;
    std::map<int, Column> columns; // by column number
};

class PostgresEngine final : public Engine {
public:
    PostgresEngine(PGconn* conn, std::string password)
        : m_conn(conn), m_password(std::move(password)) {}
    ~PostgresEngine() override { PQfinish(m_conn); }
    PostgresEngine(const PostgresEngine&) = delete;
    PostgresEngine& operator=(const PostgresEngine&) = delete;

    std::string DataSource() const override {
        const char* host = PQhost(m_conn);
        const char* port = PQport(m_conn);
        const char* db = PQdb(m_conn);
        return std::string(host != nullptr ? host : "") + ":" + (port != nullptr ? port : "") +
               "/" + (db != nullptr ? db : "");
    }

    void SetLockTimeout(long seconds) override {
        const long ms = (seconds > 0 ? seconds : kDefaultLockWaitSeconds) * 1000;
        Run("SET lock_timeout = " + RVN::FormatInteger(ms));
    }

    std::unique_ptr<EngineStatement> Prepare(const std::string& sql, std::string* rest) override {
        const std::size_t length = FirstStatementLength(sql);
        std::string statement = sql.substr(0, length);
        if (rest != nullptr)
            *rest = sql.substr(length);
        if (IsEmptyStatement(statement)) {
            if (rest != nullptr)
                rest->clear();
            return nullptr;
        }
        if (!statement.empty() && statement.back() == ';')
            statement.pop_back();
        int parameters = 0;
        std::string translated = ToPostgresSql(statement, &parameters);
        if (UsesDesktopTypes(translated))
            Run(kDesktopTypes);
        return std::make_unique<PostgresStatement>(*this, std::move(translated), parameters);
    }

    void Begin() override {
        Run("BEGIN");
        try {
            Run(kWriterLock);
        } catch (...) {
            Quietly("ROLLBACK");
            throw;
        }
    }
    void Commit() override {
        // The server ends a spoiled transaction with a rollback and no error.
        Result r = Run("COMMIT");
        if (std::strcmp(PQcmdStatus(r.get()), "ROLLBACK") == 0)
            throw ComError(Status::Fail, kServerSource,
                           "The transaction was rolled back: a statement in it had failed, so "
                           "nothing of it was kept.");
    }
    bool InTransaction() const override {
        const PGTransactionStatusType status = PQtransactionStatus(m_conn);
        return status == PQTRANS_INTRANS || status == PQTRANS_INERROR || status == PQTRANS_ACTIVE;
    }
    void Rollback() override { Run("ROLLBACK"); }
    void Savepoint(const std::string& name) override {
        if (PQtransactionStatus(m_conn) == PQTRANS_IDLE) {
            Run("BEGIN");
            m_outer.insert(name);
        } else {
            Run("SAVEPOINT " + name);
        }
    }
    void Release(const std::string& name) override {
        if (m_outer.erase(name) > 0)
            Commit();
        else
            Run("RELEASE SAVEPOINT " + name);
    }
    void RollbackTo(const std::string& name) override {
        if (m_outer.erase(name) > 0)
            Run("ROLLBACK");
        else
            Run("ROLLBACK TO SAVEPOINT " + name + "; RELEASE SAVEPOINT " + name);
    }

    TableKey PrimaryKey(const std::string& database, const std::string& table) override;
    std::int64_t NextAutoNumber(const std::string& database, const std::string& table,
                                const std::string& keyColumn) override;
    bool InsertedRow(std::string&, Stored&) override { return false; }
    // Names the desktop engine's SQL writes without quotes are folded to
    // lower case by the server.
    std::string QuoteName(const std::string& name) override {
        std::string lower = name;
        for (char& c : lower)
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
        return QuoteIdentifier(lower);
    }
    bool HasView(const std::string& name) override {
        Result r =
            Run("SELECT 1 FROM pg_views WHERE lower(viewname) = lower($1) AND schemaname = ANY "
                "(current_schemas(false))",
                {name});
        return PQntuples(r.get()) > 0;
    }

    // Runs sql with text parameters; throws on failure.
    Result Run(const std::string& sql, const std::vector<std::string>& values = {}) {
        if (values.empty()) // may hold several statements
            return Check(PQexec(m_conn, sql.c_str()));
        std::vector<const char*> pointers;
        for (const std::string& v : values)
            pointers.push_back(v.c_str());
        return Check(PQexecParams(m_conn, sql.c_str(), static_cast<int>(values.size()), nullptr,
                                  pointers.data(), nullptr, nullptr, 0));
    }

    Result Check(PGresult* raw) {
        Result r(raw, &PQclear);
        const ExecStatusType status = r ? PQresultStatus(r.get()) : PGRES_FATAL_ERROR;
        if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK || status == PGRES_EMPTY_QUERY)
            return r;
        Throw(r.get());
    }

    [[noreturn]] void Throw(const PGresult* r) const {
        const char* state = r != nullptr ? PQresultErrorField(r, PG_DIAG_SQLSTATE) : nullptr;
        if (state == nullptr || PQstatus(m_conn) == CONNECTION_BAD)
            throw ComError(Status::Fail, kServerSource,
                           "The connection to the catalog server was lost: " +
                               CleanMessage(PQerrorMessage(m_conn), m_password));
        const std::string sqlState = state;
        std::string text = CleanMessage(PQresultErrorField(r, PG_DIAG_MESSAGE_PRIMARY), m_password);
        if (sqlState == "25P02")
            text = "An earlier statement of this transaction failed, so the server refuses the "
                   "rest of it (" +
                   text + ")";
        if (IsLockState(sqlState))
            text =
                std::string("The catalog is ") + kLockedText + "; try again later (" + text + ")";
        throw ComError(StatusForState(sqlState), kServerSource, text);
    }

    void Quietly(const char* sql) { PQclear(PQexec(m_conn, sql)); }

    PGconn* Conn() const { return m_conn; }

    const TableInfo& Table(Oid table);
    void Forget(Oid table) { m_tables.erase(table); }

private:
    PGconn* m_conn;
    std::string m_password;
    std::set<std::string> m_outer; // savepoints that opened a transaction
    std::map<Oid, TableInfo> m_tables;
    std::map<std::string, Oid> m_tableNumbers;      // by quoted schema.table
    std::map<std::string, std::string> m_sequences; // of autonumber keys, by quoted schema.table
};

void PostgresStatement::Bind(int index, const Stored& value) {
    if (index < 1 || index > ParameterCount())
        throw ComError(Status::InvalidArgument, kServerSource,
                       "There is no placeholder " + IntText(index) + ".");
    const std::size_t i = static_cast<std::size_t>(index - 1);
    m_given[i] = value.type != StoredType::Null;
    m_formats[i] = value.type == StoredType::Blob ? 1 : 0;
    switch (value.type) {
    case StoredType::Integer:
        m_values[i] = RVN::FormatInteger(value.i);
        break;
    case StoredType::Real:
        m_values[i] = RVN::FormatNumber(value.d);
        break;
    default:
        m_values[i] = value.s;
        break;
    }
}

bool PostgresStatement::Step() {
    if (!m_result) {
        std::vector<const char*> values;
        std::vector<int> lengths;
        for (std::size_t i = 0; i < m_values.size(); ++i) {
            values.push_back(m_given[i] ? m_values[i].c_str() : nullptr);
            lengths.push_back(static_cast<int>(m_values[i].size()));
        }
        m_result = m_engine.Check(PQexecParams(m_engine.Conn(), m_sql.c_str(),
                                               static_cast<int>(values.size()), nullptr,
                                               values.data(), lengths.data(), m_formats.data(), 0));
        long long changed = 0;
        const char* tuples = PQcmdTuples(m_result.get());
        if (tuples != nullptr && *tuples != '\0' && RVN::ParseInteger(tuples, changed))
            m_changes = changed;
    }
    return ++m_row < PQntuples(m_result.get());
}

Raw PostgresStatement::Column(int col) const {
    Raw r{StoredType::Null, 0, 0.0, nullptr, 0};
    PGresult* res = m_result.get();
    if (PQgetisnull(res, m_row, col))
        return r;
    const char* text = PQgetvalue(res, m_row, col);
    const std::size_t length = static_cast<std::size_t>(PQgetlength(res, m_row, col));
    const Oid type = PQftype(res, col);
    long long whole = 0;
    double number = 0.0;
    if (type == kBool) {
        r.type = StoredType::Integer;
        r.i = text[0] == 't' ? 1 : 0;
    } else if ((type == kInt2 || type == kInt4 || type == kInt8 || type == kOid) &&
               RVN::ParseInteger(text, whole)) {
        r.type = StoredType::Integer;
        r.i = whole;
    } else if ((type == kFloat4 || type == kFloat8 || type == kNumeric) &&
               RVN::ParseNumber(text, number, RVN::TQNonFinite::Accept)) {
        r.type = StoredType::Real;
        r.d = number;
    } else if (type == kBytea) {
        std::size_t size = 0;
        unsigned char* bytes = PQunescapeBytea(reinterpret_cast<const unsigned char*>(text), &size);
        if (bytes == nullptr)
            throw ComError(Status::OutOfMemory, kServerSource,
                           "A binary value could not be decoded.");
        m_bytes.assign(reinterpret_cast<const char*>(bytes), size);
        PQfreemem(bytes);
        r.type = StoredType::Blob;
        r.p = m_bytes.data();
        r.n = m_bytes.size();
    } else {
        r.type = StoredType::Text;
        r.p = text;
        r.n = length;
    }
    return r;
}

void PostgresStatement::Describe(int index, ColumnInfo& c) {
    PGresult* res = m_result.get();
    c.name = PQfname(res, index);
    const Oid table = PQftable(res, index);
    const int number = PQftablecol(res, index);
    if (table == InvalidOid || number <= 0)
        return; // an expression: typed by its values
    const TableInfo* info = &m_engine.Table(table);
    auto column = info->columns.find(number);
    if (column == info->columns.end()) { // a column added since the table was asked for
        m_engine.Forget(table);
        info = &m_engine.Table(table);
        column = info->columns.find(number);
        if (column == info->columns.end())
            return;
    }
    c.table = info->name;
    c.origin = column->second.name;
    c.database = info->schema;
    c.expression = false;
    c.key = column->second.key;
    if (!column->second.notNull)
        c.attributes |= adFldIsNullable | adFldMayBeNull;
    if (c.key)
        c.attributes |= adFldKeyColumn;
    const std::string declared = DeclarationOfServerType(column->second.declared);
    const DeclaredType decl = TypeFromDeclaration(declared.c_str());
    c.TakeDeclared(decl);
}

// The columns of a table, asked of the server once per connection.  A
// table that is dropped and made again gets a new number, so what is kept
// does not go stale; a column added later is asked for when first met.
const TableInfo& PostgresEngine::Table(Oid table) {
    auto found = m_tables.find(table);
    if (found != m_tables.end())
        return found->second;
    Result r = Run(
        "SELECT n.nspname, c.relname, a.attnum, a.attname, format_type(a.atttypid, a.atttypmod), "
        "a.attnotnull, a.attidentity <> '' OR coalesce(pg_get_expr(d.adbin, d.adrelid) LIKE "
        "'nextval(%', false), i.indrelid IS NOT NULL "
        "FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace "
        "JOIN pg_attribute a ON a.attrelid = c.oid AND a.attnum > 0 AND NOT a.attisdropped "
        "LEFT JOIN pg_attrdef d ON d.adrelid = c.oid AND d.adnum = a.attnum "
        "LEFT JOIN pg_index i ON i.indrelid = c.oid AND i.indisprimary AND a.attnum = ANY "
        "(i.indkey) "
        "WHERE c.oid = $1 ORDER BY a.attnum",
        {RVN::FormatInteger(static_cast<long long>(table))});
    TableInfo info;
    for (int row = 0; row < PQntuples(r.get()); ++row) {
        info.schema = PQgetvalue(r.get(), row, 0);
        info.name = PQgetvalue(r.get(), row, 1);
        int number = 0;
        RVN::ParseInteger(PQgetvalue(r.get(), row, 2), number);
        TableInfo::Column& column = info.columns[number];
        column.name = PQgetvalue(r.get(), row, 3);
        column.declared = PQgetvalue(r.get(), row, 4);
        column.notNull = PQgetvalue(r.get(), row, 5)[0] == 't';
        column.numbered = PQgetvalue(r.get(), row, 6)[0] == 't';
        column.key = PQgetvalue(r.get(), row, 7)[0] == 't';
    }
    return m_tables[table] = std::move(info);
}

TableKey PostgresEngine::PrimaryKey(const std::string& database, const std::string& table) {
    // The table's number is asked once per connection (a recordset that
    // writes asks for its key each time it is opened).
    const std::string qualified = QuoteIdentifier(database) + "." + QuoteIdentifier(table);
    auto known = m_tableNumbers.find(qualified);
    if (known == m_tableNumbers.end()) {
        Result r = Run("SELECT $1::regclass::oid", {qualified});
        long long number = 0;
        RVN::ParseInteger(PQgetvalue(r.get(), 0, 0), number);
        known = m_tableNumbers.emplace(qualified, static_cast<Oid>(number)).first;
    }
    if (Table(known->second).columns.empty()) { // dropped and made again since
        Forget(known->second);
        m_tableNumbers.erase(known);
        m_sequences.erase(qualified);
        return PrimaryKey(database, table);
    }
    const Oid oid = known->second;
    TableKey key;
    bool numbered = false;
    std::string declared;
    for (const auto& [number, column] : Table(oid).columns) {
        if (!column.key)
            continue;
        key.names.push_back(column.name);
        numbered = column.numbered;
        declared = column.declared;
    }
    key.autoNumber = key.names.size() == 1 && numbered &&
                     (declared == "integer" || declared == "bigint" || declared == "smallint");
    return key;
}

// The sequence behind an identity column hands each number out once, to
// whichever client asks, without waiting for any transaction.  Rows stored
// with numbers of their own (a copied catalog) may lie above it: such a
// number is passed over, and the sequence is moved past the highest stored
// one so that it is not met again.
std::int64_t PostgresEngine::NextAutoNumber(const std::string& database, const std::string& table,
                                            const std::string& keyColumn) {
    const std::string qualified = QuoteIdentifier(database) + "." + QuoteIdentifier(table);
    const std::string key = QuoteIdentifier(keyColumn);
    auto known = m_sequences.find(qualified);
    if (known == m_sequences.end()) {
        Result seq = Run("SELECT pg_get_serial_sequence($1, $2)", {qualified, keyColumn});
        if (PQgetisnull(seq.get(), 0, 0))
            throw ComError(Status::Fail, kServerSource,
                           "The key of the table " + table + " has no number sequence.");
        known = m_sequences.emplace(qualified, PQgetvalue(seq.get(), 0, 0)).first;
    }
    const std::string sequence = known->second;
    for (int attempt = 0; attempt < 3; ++attempt) {
        Result next =
            Run("WITH n AS (SELECT nextval($1::regclass) AS id) SELECT id, EXISTS (SELECT 1 FROM " +
                    qualified + " WHERE " + key + " = n.id) FROM n",
                {sequence});
        long long id = 0;
        RVN::ParseInteger(PQgetvalue(next.get(), 0, 0), id);
        if (PQgetvalue(next.get(), 0, 1)[0] != 't')
            return id;
        Run("SELECT setval($1::regclass, GREATEST((SELECT max(" + key + ") FROM " + qualified +
                "), (SELECT last_value FROM " + sequence + ")))",
            {sequence});
    }
    throw ComError(Status::Fail, kServerSource,
                   "No free autonumber was found for the table " + table + ".");
}

} // namespace

std::unique_ptr<Engine> OpenPostgresEngine(const std::map<std::string, std::string>& pairs,
                                           long timeoutSeconds) {
    const auto parameters =
        PostgresParameters(pairs, timeoutSeconds > 0 ? timeoutSeconds : kDefaultConnectSeconds);
    std::vector<const char*> keys, values;
    std::string password;
    for (const auto& [key, value] : parameters) {
        keys.push_back(key.c_str());
        values.push_back(value.c_str());
        if (key == "password")
            password = value;
    }
    keys.push_back(nullptr);
    values.push_back(nullptr);
    PGconn* conn = PQconnectdbParams(keys.data(), values.data(), 1);
    if (conn == nullptr)
        throw ComError(Status::OutOfMemory, kConnectionSource,
                       "Cannot reach the catalog server: out of memory.");
    if (PQstatus(conn) != CONNECTION_OK) {
        const std::string reason = CleanMessage(PQerrorMessage(conn), password);
        PQfinish(conn);
        throw ComError(Status::Fail, kConnectionSource,
                       "Cannot open the catalog on the server: " + reason);
    }
    PQsetClientEncoding(conn, "UTF8");
    auto engine = std::make_unique<PostgresEngine>(conn, password);
    engine->Run("SET datestyle = 'ISO, YMD'; SET client_min_messages = warning");
    engine->SetLockTimeout(timeoutSeconds);
    return engine;
}

} // namespace RVNADO::detail
