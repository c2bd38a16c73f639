// The connection object: opening an engine by the connection string,
// nested transactions, and running statements.
#include "db/provider/RecordsetCore.h"

#include <cctype>

namespace RVNADO {

using namespace detail;

namespace {

bool IsPostgresProvider(const std::string& name) {
    return EqualsNoCase("PostgreSQL", name);
}

std::string LevelName(long level) {
    return "tqrvn_level_" + IntText(level);
}

// True when the statement's first word is one whose changed rows count.
bool IsRowChangingStatement(const std::string& sql) {
    std::size_t p = 0;
    while (p < sql.size() && (sql[p] == ' ' || sql[p] == '\t' || sql[p] == '\r' || sql[p] == '\n'))
        ++p;
    std::string word;
    while (p < sql.size() && std::isalpha(static_cast<unsigned char>(sql[p])))
        word += static_cast<char>(std::tolower(static_cast<unsigned char>(sql[p++])));
    return word == "insert" || word == "update" || word == "delete" || word == "replace";
}

// Binds the values of a statement's placeholders, which follow the `bound`
// values of the statements before it; the count is checked before the
// statement runs.  Returns the values bound so far.
std::size_t BindValues(EngineStatement& st, const std::vector<Variant>& values, std::size_t bound,
                       bool last) {
    const std::size_t marks = static_cast<std::size_t>(st.ParameterCount());
    if (bound + marks > values.size() || (last && bound + marks < values.size()))
        throw ComError(Status::SqlError, kConnectionSource,
                       "The command text has " + IntText(static_cast<std::int64_t>(bound + marks)) +
                           (last ? "" : " or more") + " placeholders for " +
                           IntText(static_cast<std::int64_t>(values.size())) +
                           " parameter values.");
    for (std::size_t k = 0; k < marks; ++k)
        st.Bind(static_cast<int>(k + 1), Coerce(values[bound + k], ColumnInfo()));
    return bound + marks;
}

} // namespace

Connection::Connection() : m_impl(std::make_unique<Impl>()) {}

Connection::~Connection() = default;

ConnectionPtr Connection::Create() {
    ConnectionPtr c(new Connection());
    c->m_impl->self = c;
    return c;
}

long Connection::GetConnectionTimeout() const {
    return m_impl->timeout;
}

void Connection::PutConnectionTimeout(long seconds) {
    if (seconds < 0)
        throw ComError(Status::InvalidArgument, kConnectionSource,
                       "The connection timeout cannot be negative.");
    m_impl->timeout = seconds;
    if (m_impl->engine)
        m_impl->engine->SetLockTimeout(seconds);
}

CursorLocationEnum Connection::GetCursorLocation() const {
    return m_impl->location;
}

void Connection::PutCursorLocation(CursorLocationEnum location) {
    if (location != adUseServer && location != adUseClient && location != adUseNone)
        throw ComError(Status::InvalidArgument, kConnectionSource, "Unknown cursor location.");
    m_impl->location = location;
}

// The provider names the engine: the desktop engine's name opens a catalog
// file, "PostgreSQL" a catalog on a database server.
void Connection::Open(const std::string& connectionString, const std::string& user,
                      const std::string& password, long /*options*/) {
    if (m_impl->engine)
        throw ComError(Status::ObjectOpen, kConnectionSource, "The connection is already open.");
    auto pairs = ParseConnectionString(connectionString);
    auto provider = pairs.find("provider");
    if (provider != pairs.end() && IsPostgresProvider(provider->second)) {
        if (!user.empty())
            pairs["user id"] = user;
        if (!password.empty())
            pairs["password"] = password;
        m_impl->engine = OpenPostgresEngine(pairs, m_impl->timeout);
    } else if (provider != pairs.end() &&
               EqualsNoCase("Microsoft.Jet.OLEDB.4.0", provider->second)) {
        // The user name and the password are not used by a catalog file.
        m_impl->engine = OpenSqliteEngine(pairs, m_impl->timeout);
    } else {
        throw ComError(Status::ProviderNotFound, kConnectionSource,
                       provider == pairs.end()
                           ? std::string("The connection string names no provider.")
                           : "The provider \"" + provider->second +
                                 "\" is not known; this library opens \"Microsoft.Jet.OLEDB.4.0\" "
                                 "catalog files "
                                 "and \"PostgreSQL\" catalog servers.");
    }
    m_impl->level = 0;
}

void Connection::Close() {
    if (!m_impl->engine)
        throw ComError(Status::ObjectClosed, kConnectionSource, "The connection is not open.");
    m_impl->engine.reset(); // an open transaction is rolled back
    m_impl->level = 0;
}

ObjectStateEnum Connection::GetState() const {
    return m_impl->engine ? adStateOpen : adStateClosed;
}

std::string Connection::GetDataSource() const {
    return m_impl->engine ? m_impl->engine->DataSource() : std::string();
}

long Connection::BeginTrans() {
    Engine& engine = m_impl->Eng(kConnectionSource);
    const long next = m_impl->level + 1;
    if (next == 1)
        engine.Begin();
    else
        engine.Savepoint(LevelName(next));
    m_impl->level = next;
    return next;
}

void Connection::CommitTrans() {
    Engine& engine = m_impl->Eng(kConnectionSource);
    if (m_impl->level == 0)
        throw ComError(Status::NoTransaction, kConnectionSource,
                       "There is no transaction to commit.");
    if (m_impl->level == 1) {
        try {
            engine.Commit();
        } catch (...) {
            // A server ends a transaction whose commit fails; the file
            // engine keeps it open for another try.
            if (!engine.InTransaction())
                m_impl->level = 0;
            throw;
        }
    } else
        engine.Release(LevelName(m_impl->level));
    --m_impl->level;
}

void Connection::RollbackTrans() {
    Engine& engine = m_impl->Eng(kConnectionSource);
    if (m_impl->level == 0)
        throw ComError(Status::NoTransaction, kConnectionSource,
                       "There is no transaction to roll back.");
    if (m_impl->level == 1) {
        try {
            engine.Rollback();
        } catch (...) {
            if (!engine.InTransaction())
                m_impl->level = 0;
            throw;
        }
    } else
        engine.RollbackTo(LevelName(m_impl->level));
    --m_impl->level;
}

long Connection::GetTransactionLevel() const {
    return m_impl->level;
}

// A text of several statements runs inside a savepoint: when one of them
// fails, the changes of those before it are undone too, so nothing is left
// half-done.
RecordsetPtr Connection::Execute(const std::string& text, long* recordsAffected, long options) {
    return Execute(text, recordsAffected, options, std::vector<Variant>());
}

RecordsetPtr Connection::Execute(const std::string& text, long* recordsAffected, long options,
                                 const std::vector<Variant>& values) {
    Engine& engine = m_impl->Eng(kConnectionSource);
    std::size_t bound = 0;
    if (recordsAffected != nullptr)
        *recordsAffected = 0;
    long total = 0;
    std::string rest = text;
    bool first = true;
    bool guarded = false;
    bool wrote = false; // a statement before the last one changed the catalog
    RecordsetPtr result;
    try {
        for (;;) {
            const std::string sql = TranslateSql(rest);
            std::string tail;
            auto st = engine.Prepare(sql, &tail);
            if (!st) {
                if (first)
                    throw ComError(Status::SqlError, kConnectionSource,
                                   "The command text is empty.");
                break;
            }
            const bool last = IsBlankOrSeparator(tail);
            bound = BindValues(*st, values, bound, last);
            if (first && !last) {
                engine.Savepoint("tqrvn_execute");
                guarded = true;
            }
            first = false;
            rest = std::move(tail);
            if (last && !(options & adExecuteNoRecords)) {
                RecordsetPtr made = Recordset::Create();
                made->m_core =
                    RecordsetCore::FromCommand(m_impl->self.lock(), text, values, wrote, *st);
                if (made->m_core->open)
                    result = std::move(made);
                else if (IsRowChangingStatement(sql))
                    total += static_cast<long>(st->Changes());
                break;
            }
            wrote = wrote || !st->IsReadOnly();
            while (st->Step()) {
            }
            if (IsRowChangingStatement(sql))
                total += static_cast<long>(st->Changes());
            if (last)
                break;
        }
        if (guarded)
            engine.Release("tqrvn_execute");
    } catch (...) {
        if (guarded) {
            try {
                engine.RollbackTo("tqrvn_execute");
            } catch (...) {
            }
        }
        throw;
    }
    if (recordsAffected != nullptr)
        *recordsAffected = total;
    return result;
}

} // namespace RVNADO
