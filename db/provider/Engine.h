// The seam between the provider's recordset machinery and the database
// engine behind a connection.  Internal to the library.
//
// The machinery (snapshots, views, edit buffers, saved recordsets, field
// conversions) sees an engine only through Engine and EngineStatement:
// connecting, preparing and running statements, describing result columns,
// table keys and autonumbers, transactions and savepoints.  Values cross the
// seam as Stored (what a column holds) and Raw (a borrowed view of one).
// Every failure of an engine throws ComError.
#pragma once

#include "db/provider/ProviderText.h"
#include "db/provider/RVNADOTypes.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace RVNADO::detail {

// The storage class of a value in an engine.
enum class StoredType { Null, Integer, Real, Text, Blob };

// A value as an engine stores it.
struct Stored {
    StoredType type = StoredType::Null;
    std::int64_t i = 0;
    double d = 0.0;
    std::string s;

    static Stored Int(std::int64_t v) {
        Stored r;
        r.type = StoredType::Integer;
        r.i = v;
        return r;
    }
    static Stored Real(double v) {
        Stored r;
        r.type = StoredType::Real;
        r.d = v;
        return r;
    }
    static Stored Text(std::string v) {
        Stored r;
        r.type = StoredType::Text;
        r.s = std::move(v);
        return r;
    }
    static Stored Blob(std::string v) {
        Stored r;
        r.type = StoredType::Blob;
        r.s = std::move(v);
        return r;
    }
};

// A borrowed view of a stored value; p and n hold text and blob bytes.
struct Raw {
    StoredType type;
    std::int64_t i;
    double d;
    const char* p;
    std::size_t n;
};

inline Raw RawOf(const Stored& s) {
    return Raw{s.type, s.i, s.d, s.s.data(), s.s.size()};
}

// One column of a result.
struct ColumnInfo {
    std::string name;     // result column name
    std::string origin;   // column of the table behind it ("" for an expression)
    std::string table;    // that table ("" for an expression)
    std::string database; // the engine's name for the table's container (schema)
    DataTypeEnum type = adVariant;
    long definedSize = 0;
    long attributes = 0;
    int precision = 0;
    int scale = 0;
    bool sized = false;
    bool key = false;
    bool expression = true;

    // Takes what a declared column type says (a type, its size, precision
    // and scale); nothing when no type was declared.
    void TakeDeclared(const DeclaredType& decl) {
        if (decl.type == adEmpty)
            return;
        type = decl.type;
        definedSize = decl.definedSize;
        attributes |= decl.attributes;
        precision = decl.precision;
        scale = decl.scale;
        sized = decl.sized;
    }
};

// The primary key of a table: its column names, and whether it is the
// table's autonumber (one whole-number column the engine numbers itself).
struct TableKey {
    std::vector<std::string> names;
    bool autoNumber = false;
};

// One statement prepared on an engine.
class EngineStatement {
public:
    virtual ~EngineStatement() = default;
    // Placeholders "?" of the statement, bound from 1.
    virtual int ParameterCount() const = 0;
    virtual void Bind(int index, const Stored& value) = 0;
    // The first call runs the statement; every call makes the next result
    // row current.  False when no row is left.
    virtual bool Step() = 0;
    // Result columns; valid after the first Step.
    virtual int ColumnCount() const = 0;
    // The value of a column of the current row; valid until the next Step.
    virtual Raw Column(int index) const = 0;
    // Name, table, origin, declared type and key of a result column.
    virtual void Describe(int index, ColumnInfo& column) = 0;
    // True when the statement cannot change the database.
    virtual bool IsReadOnly() const = 0;
    // Rows inserted, updated or deleted by the statement.
    virtual std::int64_t Changes() const = 0;
};

class Engine {
public:
    virtual ~Engine() = default;
    // What the connection is open on, as shown to people (a file path, or a
    // server and database); never a password.
    virtual std::string DataSource() const = 0;
    // Seconds a write waits for another connection's lock.
    virtual void SetLockTimeout(long seconds) = 0;

    // Prepares the first statement of sql.  Null when sql holds no
    // statement (blanks and comments only); otherwise *rest (when given)
    // receives the text after the statement.
    virtual std::unique_ptr<EngineStatement> Prepare(const std::string& sql, std::string* rest) = 0;

    // The outer transaction, which takes the right to write at once.
    virtual void Begin() = 0;
    virtual void Commit() = 0;
    virtual void Rollback() = 0;
    // Savepoints, inside a transaction or outside one (then they bracket a
    // transaction of their own).  RollbackTo undoes the changes since the
    // savepoint and ends it.
    virtual void Savepoint(const std::string& name) = 0;
    // True while a transaction is open (a failed commit may have ended it).
    virtual bool InTransaction() const = 0;
    virtual void Release(const std::string& name) = 0;
    virtual void RollbackTo(const std::string& name) = 0;

    virtual TableKey PrimaryKey(const std::string& database, const std::string& table) = 0;
    // Reserves the next autonumber of the table's key column at once: no
    // other recordset, connection or process is given it, and it is above
    // every number stored in the table.
    virtual std::int64_t NextAutoNumber(const std::string& database, const std::string& table,
                                        const std::string& keyColumn) = 0;
    // The condition and value that find the row the last insert of the
    // connection made, when the engine knows it apart from the key.
    virtual bool InsertedRow(std::string& condition, Stored& value) = 0;
    // A table or view name as the engine finds it in SQL text.
    virtual std::string QuoteName(const std::string& name) = 0;
    // True when a saved query (view) of that name exists.
    virtual bool HasView(const std::string& name) = 0;
};

// Opens the engine named by the connection string's pairs (keys in lower
// case) with the lock wait of timeoutSeconds (0: the default wait).
std::unique_ptr<Engine> OpenSqliteEngine(const std::map<std::string, std::string>& pairs,
                                         long timeoutSeconds);
std::unique_ptr<Engine> OpenPostgresEngine(const std::map<std::string, std::string>& pairs,
                                           long timeoutSeconds);

} // namespace RVNADO::detail
