// The database provider: connection, recordset, fields and command objects
// over an embedded SQLite 3 engine, with the object model and the numeric
// conventions of ActiveX Data Objects so that the exported database classes
// (CADODatabase, CADORecordset) can sit on it unchanged.
//
// The engine:
// - A connection string "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=PATH"
//   opens the existing SQLite 3 file PATH (the catalog keeps its historical
//   file name).  Keys are case-insensitive, values may be double-quoted (a
//   doubled quote stands for one).  Opening never creates a file.
// - SQL goes to SQLite unchanged, except that the desktop engine's
//   "delete * from T ..." is accepted as "delete from T ...".
// - Opening a recordset reads the whole result once (a static snapshot):
//   the record count is known, moves cost nothing, and writes of other
//   connections show only after Requery.
// - A recordset over the columns of one table whose primary key is among
//   the result columns is updatable: edits, new rows and deletions are
//   written through to that table by key.  The autonumber of a table is its
//   INTEGER PRIMARY KEY column; AddNew reserves the next number at once
//   (for an AUTOINCREMENT table in the file's sequence table, so no other
//   writer can take it), so it can be read before Update.  Any other
//   recordset is read-only.
// - Values are stored in the engine's own forms: dates as text
//   "YYYY-MM-DD HH:MM:SS" (a number in a date column is read as a serial
//   day), yes/no values as 1 and 0, currency amounts as numbers (exact to
//   the 1/10000 up to about 9e11), decimals as exact text or numbers, long
//   binary data as blobs.  A value is converted to the declared type of its
//   column when it is written; one that cannot be (text that is not a
//   number for a number column, a number outside a SMALLINT or BYTE range,
//   text longer than a declared VARCHAR(n)) is refused.
// - A text of several statements given to Execute is all-or-nothing.
// - A write that meets another process's lock waits for the connection
//   timeout (5 s when it is 0) and then fails; the rollback journal is used.
//
// Threads: a connection and everything opened on it belong to the thread
// that created them.  Nothing here takes a lock; using one connection from
// two threads at once is not supported.
//
// Every failure throws ComError.
#pragma once

#include "TQRVNBaseExport.h"
#include "db/provider/RVNADOTypes.h"
#include "db/provider/Variant.h"

#include <memory>
#include <string>

namespace RVNADO {

// The platform's interface names begin with an underscore and a capital
// letter, which C++ reserves; the objects here carry the names without it.
class Connection;
class Recordset;
class Fields;
class Field;
class Command;
struct RecordsetCore;

using ConnectionPtr = std::shared_ptr<Connection>;
using RecordsetPtr = std::shared_ptr<Recordset>;
using FieldsPtr = std::shared_ptr<Fields>;
using FieldPtr = std::shared_ptr<Field>;
using CommandPtr = std::shared_ptr<Command>;

class TQRVNBASE_API Connection {
public:
    static ConnectionPtr Create();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Seconds a write waits for another process's lock; 0 means 5 s.
    long GetConnectionTimeout() const;
    void PutConnectionTimeout(long seconds);
    CursorLocationEnum GetCursorLocation() const;
    void PutCursorLocation(CursorLocationEnum location);

    // Opens the file named by the connection string.  The user name and the
    // password are accepted and not used by this engine.
    void Open(const std::string& connectionString, const std::string& user,
              const std::string& password, long options);
    void Close();
    ObjectStateEnum GetState() const;
    // The path of the open file ("" when closed).
    std::string GetDataSource() const;

    // Runs every statement of the text in turn.  recordsAffected (may be
    // null) receives the rows inserted, updated or deleted.  Without
    // adExecuteNoRecords in options, a last statement that returns rows is
    // returned as an open recordset; otherwise the result is null.
    RecordsetPtr Execute(const std::string& text, long* recordsAffected, long options);

    // Transactions nest: the outer level is a transaction, inner levels are
    // savepoints.  BeginTrans returns the new nesting level (1 for the outer
    // one); CommitTrans and RollbackTrans end the innermost level.
    long BeginTrans();
    void CommitTrans();
    void RollbackTrans();
    long GetTransactionLevel() const;

    struct Impl;
    Impl& GetImpl() const { return *m_impl; }

private:
    Connection();
    std::unique_ptr<Impl> m_impl;
};

class TQRVNBASE_API Recordset {
public:
    static RecordsetPtr Create();
    ~Recordset();
    Recordset(const Recordset&) = delete;
    Recordset& operator=(const Recordset&) = delete;

    // Opens source on the connection: SQL text (options adCmdText or
    // adCmdUnknown), a table name (adCmdTable) or the name of a view, this
    // engine's saved query (adCmdStoredProc).  A statement that returns no
    // rows is run and leaves the recordset closed.
    void Open(const std::string& source, const ConnectionPtr& connection, CursorTypeEnum cursorType,
              LockTypeEnum lockType, long options);
    void Close();
    ObjectStateEnum GetState() const;
    const std::string& GetSource() const;
    ConnectionPtr GetActiveConnection() const;

    CursorTypeEnum GetCursorType() const;
    void PutCursorType(CursorTypeEnum type);
    CursorLocationEnum GetCursorLocation() const;
    void PutCursorLocation(CursorLocationEnum location);
    LockTypeEnum GetLockType() const;
    bool IsUpdatable() const;

    bool IsEOF() const;
    bool IsBOF() const;
    // Moving off a row with a pending edit stores the edit first.  Moving
    // past the end (or before the beginning) is an error.
    void MoveFirst();
    void MoveNext();
    void MovePrevious();
    void MoveLast();
    // Rows in the snapshot; -1 for a forward-only cursor, whose count a
    // caller has to walk.
    long GetRecordCount() const;

    // Starts a new row (autonumber reserved at once); Update inserts it,
    // CancelUpdate drops it and leaves nothing stored.
    void AddNew();
    // Stores a pending new row or edit; nothing pending is not an error.
    void Update();
    void CancelUpdate();
    // Deletes the current row from the table; it stays current (its fields
    // no longer readable) until the next move.
    void Delete(AffectEnum affect);
    EditModeEnum GetEditMode() const;
    // Reads the result again; the cursor goes to the first row.
    void Requery(long options);

    FieldsPtr GetFields();
    long GetFieldCount() const;
    // Index of the field of that name (case-insensitive), -1 when none.
    long FindField(const std::string& name) const;
    // Value of a field of the current row (of the pending row during
    // AddNew or an edit).  The reference holds until the next move or write.
    const Variant& GetCollect(long index) const;
    void PutCollect(long index, const Variant& value);

    // Cursor positions, bookmarks, search, filter, sort, clones, persistence
    // as files and clip-string export are added here with those features of
    // the exported recordset.

private:
    Recordset();
    friend class Command;
    friend class Connection;
    std::shared_ptr<RecordsetCore> m_core;
};

class TQRVNBASE_API Fields {
public:
    long GetCount() const;
    // The field of that index or name; ComError(0x800A0CC1) when none.
    FieldPtr GetItem(long index) const;
    FieldPtr GetItem(const std::string& name) const;

    explicit Fields(std::shared_ptr<RecordsetCore> core) : m_core(std::move(core)) {}

private:
    std::shared_ptr<RecordsetCore> m_core;
};

class TQRVNBASE_API Field {
public:
    std::string GetName() const;
    DataTypeEnum GetType() const;
    long GetDefinedSize() const;
    // Bytes of the current row's value (text in UTF-8); 0 for null.
    long GetActualSize() const;
    long GetAttributes() const;
    int GetPrecision() const;
    int GetNumericScale() const;
    Variant GetValue() const;
    void PutValue(const Variant& value);

    Field(std::shared_ptr<RecordsetCore> core, long index) : m_core(std::move(core)), m_index(index) {}

private:
    std::shared_ptr<RecordsetCore> m_core;
    long m_index;
};

// A command: a text run on a connection, either SQL (adCmdText) or the name
// of a saved query (adCmdStoredProc).  Parameters arrive with the exported
// command and parameter classes.
class TQRVNBASE_API Command {
public:
    static CommandPtr Create();

    void PutActiveConnection(const ConnectionPtr& connection) { m_connection = connection; }
    ConnectionPtr GetActiveConnection() const { return m_connection; }
    void PutCommandText(const std::string& text) { m_text = text; }
    const std::string& GetCommandText() const { return m_text; }
    void PutCommandType(CommandTypeEnum type) { m_type = type; }
    CommandTypeEnum GetCommandType() const { return m_type; }
    void PutCommandTimeout(long seconds) { m_timeout = seconds; }
    long GetCommandTimeout() const { return m_timeout; }

    // Runs the command; returns the open recordset of a row-returning
    // command (null with adExecuteNoRecords or when it returns none).
    RecordsetPtr Execute(long* recordsAffected, long options);

private:
    Command() = default;
    ConnectionPtr m_connection;
    std::string m_text;
    CommandTypeEnum m_type = adCmdUnknown;
    long m_timeout = 30;
};

}  // namespace RVNADO
