// The recordset machinery: reading a snapshot, writing edits, new rows and
// deletions through to the table.
#include "db/provider/RecordsetCore.h"

#include <algorithm>
#include <set>

namespace RVNADO {

using namespace detail;

void RecordsetCore::LoadFrom(EngineStatement& st) {
    // The first step comes before the columns are described: an engine may
    // prepare the statement again at that step (another connection changed
    // the schema), and only then do the column count and names match the
    // values.
    bool row = st.Step();
    const int n = st.ColumnCount();
    cols.assign(static_cast<std::size_t>(n), ColumnInfo());
    tableBound = n > 0;
    for (int i = 0; i < n; ++i) {
        ColumnInfo& c = cols[static_cast<std::size_t>(i)];
        st.Describe(i, c);
        if (c.expression ||
            (i > 0 && (!EqualsNoCase(c.table, cols[0].table) || c.database != cols[0].database)))
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
    while (row) {
        for (int i = 0; i < n; ++i)
            cells.push_back(ToVariant(st.Column(i), cols[static_cast<std::size_t>(i)]));
        ++rows;
        row = st.Step();
    }
    data->live = rows;
    data->deleted.assign(static_cast<std::size_t>(rows), 0);
    TypeExpressionColumns();
    cur = rows > 0 ? 0 : rows;
}

// An expression column takes the type of its first non-null value.
void RecordsetCore::TypeExpressionColumns() {
    for (long i = 0; i < ColCount(); ++i) {
        ColumnInfo& c = cols[static_cast<std::size_t>(i)];
        if (!c.expression && c.type != adVariant)
            continue;
        for (long r = 0; r < data->rows; ++r) {
            const Variant& v = Row(r)[i];
            if (v.IsNull())
                continue;
            switch (v.Kind()) {
            case VT_R8:
                c.type = adDouble;
                c.definedSize = 8;
                break;
            case VT_BSTR:
                c.type = adVarWChar;
                c.definedSize = 255;
                break;
            case VT_BYTES:
                c.type = adLongVarBinary;
                c.definedSize = 1073741823;
                c.attributes |= adFldLong;
                break;
            case VT_I8:
                c.type = adBigInt;
                c.definedSize = 8;
                break;
            default:
                c.type = adInteger;
                c.definedSize = 4;
                break;
            }
            break;
        }
    }
}

// The rows of a command's last statement, as a read-only static snapshot
// that Requery makes by running the command again, unless an earlier
// statement of it wrote (running it again would write twice).  Not open
// when the statement returns no columns.
std::shared_ptr<RecordsetCore> RecordsetCore::FromCommand(ConnectionPtr connection,
                                                          const std::string& text,
                                                          const std::vector<Variant>& values,
                                                          bool wrote, EngineStatement& st) {
    auto core = std::make_shared<RecordsetCore>();
    core->connection = std::move(connection);
    core->source = text;
    core->cursorType = adOpenStatic;
    core->lockType = adLockReadOnly;
    core->fromCommand = true;
    core->commandValues = values;
    if (wrote)
        core->requeryRefusal =
            "The rows cannot be read again: the command that made them changed the catalog "
            "before selecting them, and running it again would change it twice.  Run the "
            "command again.";
    core->LoadFrom(st);
    core->open = !core->cols.empty();
    return core;
}

void RecordsetCore::Load(const std::string& sql) {
    Engine& engine = Eng();
    std::string rest;
    auto st = engine.Prepare(sql, &rest);
    if (!st)
        throw ComError(Status::SqlError, kRecordsetSource, "The command text is empty.");
    if (!IsBlankOrSeparator(rest))
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
    LoadFrom(*st);
    // A statement without result columns has run and leaves no rows.
    open = !cols.empty();
    if (!open)
        data = std::make_shared<RowStore>();
}

void RecordsetCore::CheckWritable() {
    if ((options & 0xffff) == adCmdFile)
        throw ComError(Status::NotUpdatable, kRecordsetSource,
                       "A recordset opened from a saved file is read-only.");
    if (lockType == adLockReadOnly)
        throw ComError(Status::NotUpdatable, kRecordsetSource,
                       "The recordset was opened read-only.");
    if (!tableBound)
        throw ComError(Status::NotUpdatable, kRecordsetSource,
                       "The recordset is read-only: its columns do not all come from one table.");
    if (!keyChecked) {
        const TableKey tableKey = Eng().PrimaryKey(database, table);
        const std::vector<std::string>& keyNames = tableKey.names;
        keyCols.clear();
        for (const std::string& k : keyNames) {
            long found = -1;
            for (std::size_t i = 0; i < cols.size(); ++i)
                if (EqualsNoCase(cols[i].origin, k)) {
                    found = static_cast<long>(i);
                    break;
                }
            if (found < 0) {
                notUpdatableWhy =
                    "its primary key column " + k + " is not among the result columns";
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
        if (notUpdatableWhy.empty() && tableKey.autoNumber)
            autoNumberCol = keyCols[0];
        keyChecked = true;
    }
    if (!notUpdatableWhy.empty())
        throw ComError(Status::NotUpdatable, kRecordsetSource,
                       "The recordset is read-only: " + notUpdatableWhy + ".");
}

std::string RecordsetCore::KeyWhere() const {
    std::string where;
    for (std::size_t k = 0; k < keyCols.size(); ++k) {
        if (k > 0)
            where += " AND ";
        where += QuoteIdentifier(cols[static_cast<std::size_t>(keyCols[k])].origin) + " = ?";
    }
    return where;
}

// The stored values of the result's columns for the row of the table that
// satisfies condition with values; none when there is no such row.
std::vector<Variant> RecordsetCore::ReadBack(const std::string& condition,
                                             const std::vector<Stored>& values) {
    std::string sql = "SELECT ";
    for (std::size_t i = 0; i < cols.size(); ++i) {
        if (i > 0)
            sql += ", ";
        sql += QuoteIdentifier(cols[i].origin);
    }
    sql += " FROM " + QuotedTable() + " WHERE " + condition;
    auto st = Eng().Prepare(sql, nullptr);
    for (std::size_t k = 0; k < values.size(); ++k)
        st->Bind(static_cast<int>(k + 1), values[k]);
    std::vector<Variant> row;
    if (st->Step())
        for (std::size_t i = 0; i < cols.size(); ++i)
            row.push_back(ToVariant(st->Column(static_cast<int>(i)), cols[i]));
    return row;
}

std::string RecordsetCore::QuotedTable() const {
    return QuoteIdentifier(database) + "." + QuoteIdentifier(table);
}

void RecordsetCore::Update() {
    if (edit == adEditNone)
        return;
    if (edit == adEditAdd)
        Insert();
    else
        WriteEdit();
    CancelUpdate();
}

// Stores the pending new row and makes it the current one.
void RecordsetCore::Insert() {
    Engine& engine = Eng();
    const std::string qtable = QuotedTable();
    {
        std::string names, marks;
        std::vector<const Stored*> values;
        for (std::size_t i = 0; i < cols.size(); ++i) {
            if (!dirty[i])
                continue;
            bool repeated = false; // a column selected twice is written once
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
        const std::string sql =
            values.empty() ? "INSERT INTO " + qtable + " DEFAULT VALUES"
                           : "INSERT INTO " + qtable + " (" + names + ") VALUES (" + marks + ")";
        auto st = engine.Prepare(sql, nullptr);
        for (std::size_t k = 0; k < values.size(); ++k)
            st->Bind(static_cast<int>(k + 1), *values[k]);
        while (st->Step()) {
        }
        std::vector<Stored> key;
        for (long k : keyCols)
            key.push_back(stored[static_cast<std::size_t>(k)]);
        // A table numbered by the engine finds its new row by the engine's
        // own mark of it (the number may have been left to the engine).
        std::string condition;
        Stored inserted;
        std::vector<Variant> row;
        if (autoNumberCol >= 0 && engine.InsertedRow(condition, inserted))
            row = ReadBack(condition, {inserted});
        else
            row = ReadBack(KeyWhere(), key);
        if (row.empty())
            row = buffer;
        data->cells.insert(data->cells.end(), row.begin(), row.end());
        data->deleted.push_back(0);
        ++data->rows;
        ++data->live;
        if (viewed) { // a new row joins the view at its end until the view is set again
            view.push_back(data->rows - 1);
            posOf.resize(static_cast<std::size_t>(data->rows), -1);
            posOf.back() = static_cast<long>(view.size()) - 1;
            ++viewGeneration;
        }
        cur = Count() - 1;
    }
}

// Stores the pending edit of the current row.
void RecordsetCore::WriteEdit() {
    const std::string qtable = QuotedTable();
    {
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
                newKey.push_back(dirty[static_cast<std::size_t>(k)]
                                     ? stored[static_cast<std::size_t>(k)]
                                     : oldKey.back());
            }
            auto st = Eng().Prepare("UPDATE " + qtable + " SET " + sets + " WHERE " + KeyWhere(),
                                    nullptr);
            int n = 0;
            for (const Stored* v : values)
                st->Bind(++n, *v);
            for (const Stored& k : oldKey)
                st->Bind(++n, k);
            while (st->Step()) {
            }
            if (st->Changes() == 0)
                throw ComError(Status::DeletedRow, kRecordsetSource,
                               "The row cannot be updated: it has been deleted from the table " +
                                   table + " since it was read.");
            std::vector<Variant> row = ReadBack(KeyWhere(), newKey);
            if (row.empty())
                row = buffer;
            std::copy(row.begin(), row.end(),
                      data->cells.begin() + static_cast<std::ptrdiff_t>(CurRow()) * ColCount());
        }
    }
}

void RecordsetCore::CancelUpdate() {
    edit = adEditNone;
    chunkStarted.clear();
    buffer.clear();
    stored.clear();
    dirty.clear();
}

void RecordsetCore::Delete() {
    RequireCurrentRow();
    CheckWritable();
    auto st = Eng().Prepare("DELETE FROM " + QuotedTable() + " WHERE " + KeyWhere(), nullptr);
    int n = 0;
    for (long k : keyCols)
        st->Bind(++n, Coerce(Row(CurRow())[k], cols[static_cast<std::size_t>(k)]));
    while (st->Step()) {
    }
    if (st->Changes() == 0)
        throw ComError(Status::DeletedRow, kRecordsetSource,
                       "The row cannot be deleted: it has been deleted from the table " + table +
                           " since it was read.");
    data->deleted[static_cast<std::size_t>(CurRow())] = 1;
    --data->live;
    ++data->deletions;
}

// Writes a value into the pending row; the first write to a row that is
// not being added starts its edit.
void RecordsetCore::Put(long index, const Variant& value) {
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

long RecordsetCore::FirstLive() const {
    const long n = Count();
    for (long p = 0; p < n; ++p)
        if (LiveAt(p))
            return p;
    return n;
}

long RecordsetCore::LastLive() const {
    for (long p = Count() - 1; p >= 0; --p)
        if (LiveAt(p))
            return p;
    return -1;
}

} // namespace RVNADO
