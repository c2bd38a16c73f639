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
/// Integers are written by std::to_chars, so the text is the same in every
/// locale.  Texts are inserted as they are: a text that goes between single
/// quotes in the template must have passed through SqlQuoted first.
std::string SqlFormat(std::string_view tmpl, std::initializer_list<SqlArg> args);

/// A text for use between single quotes in SQL: every ' doubled, so that a
/// name holding quotes is stored and found like any other and cannot change
/// the meaning of the statement.
std::string SqlQuoted(std::string_view text);

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
/// is false.  WriteRow: bool(CADORecordset*).
template <typename WriteRow>
bool AddGuarded(CADODatabase* db, const std::string& duplicateQuery, long& id, WriteRow writeRow);

/// Opens `query` on db and appends one record per row, read by the
/// record's row transfer (read = true) into a default-constructed T; a row
/// that does not read is skipped.  -1 when the query does not open (the
/// array is then as the caller left it), else the array's size.  The caller
/// empties the array first where the listing says so.
template <typename T, typename Array>
long ListRows(CADODatabase* db, const std::string& query, Array& out) {
    CADORecordset rs(db);
    if (!rs.Open(query, CADORecordset::openUnknown)) {
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
/// open or it finds no row.
template <typename Record>
bool TransferFirstRow(Record& record, CADODatabase* db, const std::string& query, bool read) {
    if (!db) {
        return false;
    }
    CADORecordset rs(db);
    bool ok = false;
    if (rs.Open(query, CADORecordset::openUnknown) && !rs.IsEof()) {
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

/// Ends the transaction begun by AddGuarded-style code: commit when ok, else roll back.
bool EndTransaction(CADODatabase* db, bool ok);
/// Begins a write transaction (or savepoint); false when the engine refuses.
bool BeginTransaction(CADODatabase* db);

template <typename WriteRow>
bool AddGuarded(CADODatabase* db, const std::string& duplicateQuery, long& id, WriteRow writeRow) {
    if (!db || !BeginTransaction(db)) {
        return false;
    }
    const long oldId = id;
    bool ok = false;
    try {
        CADORecordset rs(db);
        if (rs.Open(duplicateQuery, CADORecordset::openUnknown) && rs.IsEof() && rs.AddNew()) {
            long newId = oldId;
            if (rs.GetFieldValue("ID", newId)) {
                id = newId;
                ok = writeRow(&rs);
            }
            if (!ok) {
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
