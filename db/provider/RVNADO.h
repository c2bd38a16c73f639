// The database provider: connection, recordset, fields and command objects
// over a database engine, with the object model and the numeric conventions
// of ActiveX Data Objects so that the exported database classes
// (CADODatabase, CADORecordset) can sit on it unchanged.  The connection
// string's provider names the engine: "Microsoft.Jet.OLEDB.4.0" a catalog
// file on the embedded SQLite 3 engine (below), "PostgreSQL" a catalog on a
// PostgreSQL server (db/provider/PostgresEngine.cpp tells how it differs):
// "Provider=PostgreSQL;Host=...;Port=...;Database=...;User ID=...;
// Password=...", libpq's own keywords (sslmode, ...) passed through, or a
// "postgresql://" URI as the Data Source.
//
// The file engine:
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
//   INTEGER PRIMARY KEY column; AddNew reserves the next number at once in
//   the file's sequence table (with or without AUTOINCREMENT), so it can be
//   read before Update and no other recordset, connection or process of
//   this library is given it.  Any other recordset is read-only.
// - Values are stored in the engine's own forms: dates as text
//   "YYYY-MM-DD HH:MM:SS" (a number in a date column is read as a serial
//   day), yes/no values as 1 and 0, currency amounts as numbers (exact to
//   the 1/10000 up to about 9e11), decimals as exact text or numbers, long
//   binary data as blobs.  A value is converted to the declared type of its
//   column when it is written; one that cannot be (text that is not a
//   number for a number column, a number outside a SMALLINT or BYTE range,
//   text longer than a declared VARCHAR(n)) is refused.
// - A text of several statements given to Execute is all-or-nothing.
// - A write that meets another process's lock retries after short random
//   pauses until the connection timeout (5 s when it is 0) has passed, and
//   then fails; a write transaction that begins while other writers wait
//   lets them go first, so that a continuous writer does not starve them.
//   The rollback journal is used.
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
#include <vector>

namespace RVNADO {

// The platform's interface names begin with an underscore and a capital
// letter, which C++ reserves; the objects here carry the names without it.
class Connection;
class Recordset;
class Fields;
class Field;
class Command;
class Parameter;
struct RecordsetCore;

using ConnectionPtr = std::shared_ptr<Connection>;
using RecordsetPtr = std::shared_ptr<Recordset>;
using FieldsPtr = std::shared_ptr<Fields>;
using FieldPtr = std::shared_ptr<Field>;
using CommandPtr = std::shared_ptr<Command>;
using ParameterPtr = std::shared_ptr<Parameter>;

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

    // Opens the catalog named by the connection string.  The user name and
    // the password, when not empty, replace those of the string on a server;
    // a catalog file does not use them.
    void Open(const std::string& connectionString, const std::string& user,
              const std::string& password, long options);
    void Close();
    ObjectStateEnum GetState() const;
    // The path of the open file, or server:port/database ("" when closed).
    std::string GetDataSource() const;

    // Runs every statement of the text in turn.  recordsAffected (may be
    // null) receives the rows inserted, updated or deleted.  Without
    // adExecuteNoRecords in options, a last statement that returns rows is
    // returned as an open recordset; otherwise the result is null.
    RecordsetPtr Execute(const std::string& text, long* recordsAffected, long options);
    // The same with values for the "?" placeholders of the statements, in
    // order across them; their number must match the placeholders'.
    RecordsetPtr Execute(const std::string& text, long* recordsAffected, long options,
                         const std::vector<Variant>& values);

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
    // Reads the result again the way it was made (the same text, or the
    // same command with the same parameter values), keeps the filter, the
    // sort order and the page size, and goes to the first row.  Rows made by
    // a command that wrote before selecting them are not made again (the
    // writes would repeat): that is an error, and so is any failure, which
    // leaves the recordset as it was.
    void Requery(long options);

    FieldsPtr GetFields();
    long GetFieldCount() const;
    // Index of the field of that name (case-insensitive), -1 when none.
    long FindField(const std::string& name) const;
    // Value of a field of the current row (of the pending row during
    // AddNew or an edit).  The reference holds until the next move or write.
    const Variant& GetCollect(long index) const;
    void PutCollect(long index, const Variant& value);

    // Opens a file saved by Save: the connection text must be
    // "Provider=MSPersist;" and the options adCmdFile.  The rows are read
    // into the recordset, which has no connection and is read-only.
    void Open(const std::string& file, const std::string& connectionText, CursorTypeEnum cursorType,
              LockTypeEnum lockType, long options);
    // Writes the rows of the cursor's view (filter and sort applied, pending
    // edits not) as an XML file (adPersistXML), replacing the file whole:
    // an existing file is replaced only once the new one is complete.
    void Save(const std::string& file, PersistFormatEnum format);

    // Pages and positions count the rows of the cursor's view from 1.  The
    // position before the first row is adPosBOF, after the last adPosEOF.
    long GetPageSize() const;
    void PutPageSize(long rows);  // more than 0; 10 at first
    long GetPageCount() const;
    long GetAbsolutePage() const;
    void PutAbsolutePage(long page);  // moves to the first row of the page
    long GetAbsolutePosition() const;
    void PutAbsolutePosition(long position);

    // A bookmark names a row of the snapshot; it stays valid under a new
    // filter or sort order and in every clone of the recordset.
    Variant GetBookmark() const;
    void PutBookmark(const Variant& bookmark);

    // Moves to the next row (direction forward) or the previous one
    // (backward) that satisfies one comparison, starting skipRecords rows
    // from the start bookmark, or from the current row when start is empty.
    // Without a match the cursor stands at the end (forward) or at the
    // beginning (backward).  The syntax is told in Criteria.h.
    void Find(const std::string& criteria, long skipRecords, SearchDirectionEnum searchDirection,
              const Variant& start);
    // The filter shows only the rows that satisfy its comparisons (AND, OR,
    // parentheses); "" shows every row.  Both the filter and the sort order
    // ("Col [ASC|DESC], ...", "" for the order of the query) apply at once
    // and move the cursor to the first row; an invalid text changes nothing.
    const std::string& GetFilter() const;
    void PutFilter(const std::string& filter);
    const std::string& GetSort() const;
    void PutSort(const std::string& sort);

    // A second cursor over the same rows: it moves on its own, has neither
    // filter nor sort order, and shows the edits, new rows and deletions
    // made through either.  adLockUnspecified keeps the lock type.
    RecordsetPtr Clone(LockTypeEnum lockType);

    // The fields of up to numRows rows (all when negative) from the current
    // one, as text: fields separated by columnDelimiter, each row ended by
    // rowDelimiter, null values as nullExpr.  Numbers and dates are written
    // in the C locale, binary data in hexadecimal.  The cursor moves past
    // the rows read; at the end of the file the result is "".
    std::string GetString(StringFormatEnum format, long numRows, const std::string& columnDelimiter,
                          const std::string& rowDelimiter, const std::string& nullExpr);

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
    // Long data (fields with adFldLong) in pieces.  GetChunk returns the
    // next `length` bytes of the value (text or binary, by the field's
    // kind) after those already read from this field of this row, null when
    // nothing is left; reading the value or the actual size of a field
    // starts the pieces over.  AppendChunk adds bytes to the pending value;
    // the first piece of an edit replaces what the field held.
    Variant GetChunk(long length);
    void AppendChunk(const Variant& data);

    Field(std::shared_ptr<RecordsetCore> core, long index) : m_core(std::move(core)), m_index(index) {}

private:
    std::shared_ptr<RecordsetCore> m_core;
    long m_index;
};

// A value passed to a command: under the text type its placeholders "?"
// take the input parameters in the order they were appended.  A value that
// cannot be converted to the parameter's data type is refused when it is
// set; it is converted when the command runs.
class TQRVNBASE_API Parameter {
public:
    static ParameterPtr Create();

    const std::string& GetName() const { return m_name; }
    void PutName(const std::string& name) { m_name = name; }
    DataTypeEnum GetType() const { return m_type; }
    void PutType(DataTypeEnum type) { m_type = type; }
    ParameterDirectionEnum GetDirection() const { return m_direction; }
    void PutDirection(ParameterDirectionEnum direction);
    long GetSize() const { return m_size; }
    void PutSize(long size);
    int GetPrecision() const { return m_precision; }
    void PutPrecision(int precision);
    int GetNumericScale() const { return m_scale; }
    void PutNumericScale(int scale);
    const Variant& GetValue() const { return m_value; }
    void PutValue(const Variant& value);

private:
    Parameter() = default;
    std::string m_name;
    DataTypeEnum m_type = adEmpty;
    ParameterDirectionEnum m_direction = adParamInput;
    long m_size = 0;
    int m_precision = 0;
    int m_scale = 0;
    Variant m_value;
};

// A command: a text run on a connection, either SQL (adCmdText, with "?"
// placeholders for its parameters) or the name of a saved query, a view
// (adCmdStoredProc).
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

    // A parameter made from its parts (the value converted as PutValue
    // does); it still has to be appended.
    ParameterPtr CreateParameter(const std::string& name, DataTypeEnum type, ParameterDirectionEnum direction,
                                 long size, const Variant& value);
    void AppendParameter(const ParameterPtr& parameter);
    long GetParameterCount() const { return static_cast<long>(m_parameters.size()); }
    // The parameter of that index or name; ComError(0x800A0CC1) when none.
    ParameterPtr GetParameter(long index) const;
    ParameterPtr GetParameter(const std::string& name) const;

    // Runs the command as its type says (adCmdText or adCmdUnknown: SQL;
    // adCmdStoredProc: a view); of the options only adExecuteNoRecords
    // counts, which drops the rows.  The
    // result is the open recordset of a command that returns rows, a closed
    // recordset for one that does not, null with adExecuteNoRecords.  A
    // saved query takes no parameters; a text must have exactly as many
    // placeholders as input parameters.
    RecordsetPtr Execute(long* recordsAffected, long options);

private:
    Command() = default;
    ConnectionPtr m_connection;
    std::string m_text;
    CommandTypeEnum m_type = adCmdUnknown;
    long m_timeout = 30;
    std::vector<ParameterPtr> m_parameters;
};

}  // namespace RVNADO
