// Private helpers of the catalog records: the connection an operation uses,
// SQL text from fixed templates, and the guarded insert of a new row.
// Not installed; hosts do not include it.
#pragma once

#include "db/ADODatabase.h"
#include "db/ADORecordset.h"

#include <initializer_list>
#include <string>
#include <string_view>

namespace RVN::detail {

/// The connection an operation works on: db, or the default catalog
/// connection when db is null; null when there is neither.
CADODatabase* ResolveDatabase(CADODatabase* db);

/// One argument of SqlFormat: a text for %s, an integer for %d and %ld.
class SqlArg {
public:
    SqlArg(std::string_view text) : text_(text), isText_(true) {}
    SqlArg(const std::string& text) : text_(text), isText_(true) {}
    SqlArg(const char* text) : text_(text ? text : ""), isText_(true) {}
    SqlArg(int value) : number_(value) {}
    SqlArg(long value) : number_(value) {}

    bool IsText() const { return isText_; }
    std::string_view Text() const { return text_; }
    long Number() const { return number_; }

private:
    std::string_view text_;
    long number_ = 0;
    bool isText_ = false;
};

/// Formats a fixed SQL template: each %s, %d or %ld takes the next argument
/// in turn (a text for %s, an integer for the others), %% writes one %.
/// Integers are written by the library's number text, the same in every
/// locale.  Texts are inserted as they are: a text that goes between single
/// quotes in the template must have passed through SqlQuoted first.
std::string SqlFormat(std::string_view tmpl, std::initializer_list<SqlArg> args);

/// A text for use between single quotes in SQL: every ' doubled, so that a
/// name holding quotes is stored and found like any other and cannot change
/// the meaning of the statement.
std::string SqlQuoted(std::string_view text);

/// The condition that a text column holds `text`: "Col = 'text'" (quoted by
/// SqlQuoted), and for an empty text "(Col = '' or Col is null)", because
/// writing an empty text stores null, which never equals ''.
std::string SqlTextEquals(std::string_view column, std::string_view text);

/// Runs `statement` on the connection: true when it executed.
bool ExecuteStatement(CADODatabase* db, const std::string& statement);

/// Adds a record as a new row, unless `duplicateQuery` finds a row already.
///
/// The duplicate check and the insert run inside one write transaction (a
/// savepoint when the caller already holds one), taken before the query, so
/// of two writers adding the same row at once exactly one succeeds.  On
/// success the new row's autonumber "ID" is in `id` and `writeRow` (the
/// record's row transfer with read = false) stored the other columns; on any
/// failure the new row is withdrawn, `id` keeps its old value and the result
/// is false, with the reason recorded on db (GetLastError and
/// GetLastErrorString): the lock another program held beyond the wait, the
/// row of the same key, the value or the write the engine refused.  An error
/// of the engine other than a lock raises RVNADO::ComError, as the database
/// layer's row and transaction operations do (a read-only file or a full
/// disk when the new row is started).  WriteRow: bool(CADORecordset*).
template <typename WriteRow>
bool AddGuarded(CADODatabase* db, const std::string& duplicateQuery, long& id, WriteRow writeRow);

/// Copies the last error of a recordset opened on db to db, so that the
/// caller of a catalog operation finds it there; a recordset that recorded
/// nothing gives `fallback` with the unspecified error code.
void RecordFailure(CADODatabase* db, CADORecordset& rs, const char* fallback);

/// Opens `query` on db and appends one record per row, read by the
/// record's row transfer (read = true) into a default-constructed T; a row
/// that does not read is skipped.  -1 when the query does not open (the
/// array is then as the caller left it, and the reason is recorded on db),
/// else the array's size.  The caller empties the array first where the
/// listing says so.
template <typename T, typename Array>
long ListRows(CADODatabase* db, const std::string& query, Array& out) {
    CADORecordset rs(db);
    if (!rs.Open(query, CADORecordset::openUnknown)) {
        RecordFailure(db, rs, "The query did not open.");
        rs.Close();
        return -1;
    }
    const unsigned long n = rs.GetRecordCount();
    for (unsigned long i = 0; i < n; ++i) {
        T record;
        if (record.UpdateData(&rs, true)) {
            out.Add(record);
        }
        rs.MoveNext();
    }
    rs.Close();
    return static_cast<long>(out.GetSize());
}

/// Opens `query` on db and runs the record's row transfer (read or write)
/// on its first row: false when there is no connection, the query does not
/// open (the reason is then recorded on db) or it finds no row.
template <typename Record>
bool TransferFirstRow(Record& record, CADODatabase* db, const std::string& query, bool read) {
    if (!db) {
        return false;
    }
    CADORecordset rs(db);
    bool ok = false;
    if (!rs.Open(query, CADORecordset::openUnknown)) {
        RecordFailure(db, rs, "The query did not open.");
    } else if (!rs.IsEof()) {
        ok = record.UpdateData(&rs, read);
    }
    rs.Close();
    return ok;
}

/// Runs "delete * from TABLE where ID = id" on db (the default connection
/// when null): true when the statement executed, also when no row had that ID.
bool DeleteById(CADODatabase* db, const char* table, long id);

/// Drops the pending row edit of a recordset, if there is one; never throws.
void CancelQuietly(CADORecordset* rs);

/// Ends the transaction begun by AddGuarded-style code: commit when ok, else
/// roll back; a commit the engine refuses is rolled back, its reason
/// recorded on db, and the result is false.
bool EndTransaction(CADODatabase* db, bool ok);
/// Begins a write transaction (or savepoint): false, with the reason recorded
/// on db, when another program holds the catalog beyond the wait; any other
/// engine error raises RVNADO::ComError.
bool BeginTransaction(CADODatabase* db);
/// Records on db that a row with the same key as a new one exists already.
void RecordDuplicate(CADODatabase* db, const std::string& duplicateQuery);

template <typename WriteRow>
bool AddGuarded(CADODatabase* db, const std::string& duplicateQuery, long& id, WriteRow writeRow) {
    if (!db || !BeginTransaction(db)) {
        return false;
    }
    const long oldId = id;
    bool ok = false;
    try {
        CADORecordset rs(db);
        if (!rs.Open(duplicateQuery, CADORecordset::openUnknown)) {
            RecordFailure(db, rs, "The duplicate check did not open.");
        } else if (!rs.IsEof()) {
            RecordDuplicate(db, duplicateQuery);
        } else if (!rs.AddNew()) {
            RecordFailure(db, rs, "The new row could not be started.");
        } else {
            long newId = oldId;
            if (rs.GetFieldValue("ID", newId)) {
                id = newId;
                ok = writeRow(&rs);
            }
            if (!ok) {
                RecordFailure(db, rs, "The new row could not be stored.");
                try {
                    rs.CancelUpdate(); // a failed Update has already dropped the row
                } catch (...) {
                }
            }
        }
        rs.Close();
    } catch (...) {
        id = oldId;
        EndTransaction(db, false);
        throw;
    }
    const bool ended = EndTransaction(db, ok);
    if (!ok || !ended) {
        id = oldId;
        return false;
    }
    return true;
}

} // namespace RVN::detail
