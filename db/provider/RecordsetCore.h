// The recordset machinery shared by a recordset, its clones, its fields and
// the connection that makes it: the snapshot of rows, the cursor's view,
// the edit buffer and the write-through to one table.  Engine-neutral: it
// reaches the database only through the connection's Engine.  Internal to
// the library.
#pragma once

#include "db/provider/Engine.h"
#include "db/provider/FieldConvert.h"
#include "db/provider/ProviderText.h"
#include "db/provider/RVNADO.h"

#include <memory>
#include <string>
#include <vector>

namespace RVNADO {

namespace detail {
inline const char* const kConnectionSource = "RVNADO.Connection";
inline const char* const kRecordsetSource = "RVNADO.Recordset";

// True when text holds nothing but blanks and statement separators.
inline bool IsBlankOrSeparator(const std::string& text) {
    for (char c : text)
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n' && c != ';')
            return false;
    return true;
}
} // namespace detail

struct Connection::Impl {
    std::unique_ptr<detail::Engine> engine;
    long timeout = 0;
    CursorLocationEnum location = adUseServer;
    long level = 0;
    std::weak_ptr<Connection> self;

    detail::Engine& Eng(const char* source) const {
        if (!engine)
            throw ComError(Status::ObjectClosed, source, "The connection is not open.");
        return *engine;
    }
};

// The rows of a snapshot, shared by a recordset and its clones: an edit or
// a deletion through one shows in the others.
struct RowStore {
    std::vector<Variant> cells; // rows * cols, row after row
    std::vector<char> deleted;  // per row: deleted through one of the cursors
    long rows = 0;
    long live = 0;
    long deletions = 0; // rows deleted so far (cursors cache their counts by it)
};

struct RecordsetCore {
    ConnectionPtr connection;
    std::string source;
    long options = adCmdUnknown;
    CursorTypeEnum cursorType = adOpenForwardOnly;
    CursorLocationEnum location = adUseServer;
    LockTypeEnum lockType = adLockReadOnly;
    bool open = false;

    std::vector<detail::ColumnInfo> cols;
    std::shared_ptr<RowStore> data = std::make_shared<RowStore>();
    // The cursor's view of the rows.  Without a filter or a sort order a
    // position is a row number; with one, positions index `view`, the row
    // numbers that pass the filter in sort order.
    bool viewed = false;
    std::vector<long> view;
    std::vector<long> posOf; // with a view: the position of each row, -1 when filtered out
    std::string filterText;
    std::string sortText;
    long cur = 0; // position: -1 before the first row, Count() after the last
    long pageSize = 10;
    // Long data written in pieces: per field, whether the current edit has
    // already received a piece (the first piece replaces the value).
    std::vector<char> chunkStarted;
    // Reading long data in pieces: the field and the offset reached.
    mutable long chunkField = -1;
    mutable long chunkRow = -1;
    mutable std::size_t chunkOffset = 0;

    // Writing through to the table.
    bool tableBound = false; // every column comes from one table
    bool keyChecked = false;
    std::string notUpdatableWhy;
    std::vector<long> keyCols;
    long autoNumberCol = -1; // the INTEGER PRIMARY KEY column among the results
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
    std::vector<detail::Stored> stored;
    std::vector<char> dirty;

    long ColCount() const { return static_cast<long>(cols.size()); }

    detail::Engine& Eng() const {
        if (!connection)
            throw ComError(Status::ObjectClosed, detail::kRecordsetSource,
                           "The recordset has no connection.");
        return connection->GetImpl().Eng(detail::kRecordsetSource);
    }

    void RequireOpen() const {
        if (!open)
            throw ComError(Status::ObjectClosed, detail::kRecordsetSource,
                           "The recordset is not open.");
    }

    void RequireIndex(long index) const {
        if (index < 0 || index >= ColCount())
            throw ComError(Status::ItemNotFound, detail::kRecordsetSource,
                           "There is no field number " + detail::IntText(index) +
                               " in the recordset.");
    }

    long Count() const { return viewed ? static_cast<long>(view.size()) : data->rows; }
    long RowAt(long pos) const { return viewed ? view[static_cast<std::size_t>(pos)] : pos; }
    long CurRow() const { return RowAt(cur); }
    bool LiveAt(long pos) const { return !data->deleted[static_cast<std::size_t>(RowAt(pos))]; }
    // Rows of the view not deleted (through this cursor or a clone).
    long LiveCount() const {
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

    void RequireCurrentRow() const {
        if (!HasCurrentRow())
            throw ComError(Status::NoCurrentRecord, detail::kRecordsetSource,
                           cur >= 0 && cur < Count()
                               ? "The current row has been deleted."
                               : "There is no current row: the cursor is at BOF or EOF.");
    }

    // The cells of row number r (not a position).
    const Variant* Row(long r) const {
        return data->cells.data() + static_cast<std::size_t>(r) * cols.size();
    }

    const Variant& Value(long index) const {
        RequireOpen();
        RequireIndex(index);
        if (edit != adEditNone)
            return buffer[static_cast<std::size_t>(index)];
        RequireCurrentRow();
        return Row(CurRow())[index];
    }

    // Callers mostly read the fields of a row in column order, so the field
    // after the last one found is tried first.
    long FindField(const std::string& name) const {
        const long n = ColCount();
        for (long k = 0; k < n; ++k) {
            long i = lastFound + 1 + k;
            if (i >= n)
                i -= n;
            if (detail::EqualsNoCase(cols[static_cast<std::size_t>(i)].name, name)) {
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
    void LoadFrom(detail::EngineStatement& st);
    static std::shared_ptr<RecordsetCore> FromCommand(ConnectionPtr connection,
                                                      const std::string& text,
                                                      const std::vector<Variant>& values,
                                                      bool wrote, detail::EngineStatement& st);
    void TypeExpressionColumns();
    void CheckWritable();
    std::vector<Variant> ReadBack(const std::string& condition,
                                  const std::vector<detail::Stored>& values);
    std::string KeyWhere() const;
    std::string QuotedTable() const;
    void Insert();
    void WriteEdit();
    void Update();
    void CancelUpdate();
    void Delete();
    long FirstLive() const;
    long LastLive() const;
};

} // namespace RVNADO
