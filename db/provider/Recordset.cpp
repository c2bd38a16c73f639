// The recordset object: opening, moving, editing and reading again.
#include "db/provider/RecordsetCore.h"

namespace RVNADO {

using namespace detail;

Recordset::Recordset() : m_core(std::make_shared<RecordsetCore>()) {}

Recordset::~Recordset() = default;

RecordsetPtr Recordset::Create() {
    return RecordsetPtr(new Recordset());
}

void Recordset::Open(const std::string& source, const ConnectionPtr& connection,
                     CursorTypeEnum cursorType, LockTypeEnum lockType, long options) {
    if (m_core->open)
        throw ComError(Status::ObjectOpen, kRecordsetSource, "The recordset is already open.");
    Engine& engine = Deref(connection).GetImpl().Eng(kRecordsetSource);
    auto core = std::make_shared<RecordsetCore>();
    core->connection = connection;
    core->source = source;
    core->options = options;
    core->cursorType = cursorType == adOpenUnspecified ? m_core->cursorType : cursorType;
    core->location = m_core->location;
    core->pageSize = m_core->pageSize;
    core->lockType = lockType == adLockUnspecified ? adLockReadOnly : lockType;
    std::string sql;
    switch (options & 0xffff & ~adCmdTableDirect) {
    case adCmdTable:
        sql = "SELECT * FROM " + engine.QuoteName(source);
        break;
    case adCmdStoredProc: {
        if (!engine.HasView(source))
            throw ComError(Status::NoTable, kRecordsetSource,
                           "There is no saved query (view) named '" + source + "'.");
        sql = "SELECT * FROM " + engine.QuoteName(source);
        break;
    }
    case adCmdText:
    case adCmdUnknown:
    case 0:
        sql = TranslateSql(source);
        break;
    default:
        throw ComError(Status::InvalidArgument, kRecordsetSource,
                       "Unknown command type " + IntText(options) + ".");
    }
    if (options & adCmdTableDirect)
        sql = "SELECT * FROM " + engine.QuoteName(source);
    core->Load(sql);
    m_core = std::move(core);
}

void Recordset::Close() {
    m_core->RequireOpen();
    auto closed = std::make_shared<RecordsetCore>();
    closed->cursorType = m_core->cursorType;
    closed->location = m_core->location;
    closed->lockType = m_core->lockType;
    closed->pageSize = m_core->pageSize;
    closed->source = m_core->source;
    // Field objects still held by a caller keep the old core, now closed.
    m_core->open = false;
    m_core->CancelUpdate();
    m_core->data = std::make_shared<RowStore>(); // a clone keeps the rows it shares
    m_core->viewed = false;
    m_core->view.clear();
    m_core = std::move(closed);
}

ObjectStateEnum Recordset::GetState() const {
    return m_core->open ? adStateOpen : adStateClosed;
}
const std::string& Recordset::GetSource() const {
    return m_core->source;
}
ConnectionPtr Recordset::GetActiveConnection() const {
    return m_core->connection;
}
CursorTypeEnum Recordset::GetCursorType() const {
    return m_core->cursorType;
}

void Recordset::PutCursorType(CursorTypeEnum type) {
    if (m_core->open)
        throw ComError(Status::ObjectOpen, kRecordsetSource,
                       "The cursor type cannot change while the recordset is open.");
    m_core->cursorType = type;
}

CursorLocationEnum Recordset::GetCursorLocation() const {
    return m_core->location;
}

void Recordset::PutCursorLocation(CursorLocationEnum location) {
    if (m_core->open)
        throw ComError(Status::ObjectOpen, kRecordsetSource,
                       "The cursor location cannot change while the recordset is open.");
    m_core->location = location;
}

LockTypeEnum Recordset::GetLockType() const {
    return m_core->lockType;
}

bool Recordset::IsUpdatable() const {
    m_core->RequireOpen();
    try {
        m_core->CheckWritable();
        return true;
    } catch (const ComError& e) {
        if (e.Error() == Status::NotUpdatable)
            return false;
        throw;
    }
}

bool Recordset::IsEOF() const {
    m_core->RequireOpen();
    if (m_core->edit == adEditAdd)
        return false;
    return m_core->LiveCount() == 0 || m_core->cur >= m_core->Count();
}

bool Recordset::IsBOF() const {
    m_core->RequireOpen();
    if (m_core->edit == adEditAdd)
        return false;
    return m_core->LiveCount() == 0 || m_core->cur < 0;
}

void Recordset::MoveFirst() {
    m_core->RequireOpen();
    m_core->Update();
    m_core->cur = m_core->FirstLive();
}

void Recordset::MoveLast() {
    m_core->RequireOpen();
    m_core->Update();
    m_core->cur = m_core->LiveCount() == 0 ? m_core->Count() : m_core->LastLive();
}

void Recordset::MoveNext() {
    m_core->RequireOpen();
    m_core->Update();
    RecordsetCore& c = *m_core;
    const long n = c.Count();
    if (n == 0 || c.cur >= n)
        throw ComError(Status::NoCurrentRecord, kRecordsetSource,
                       "Cannot move past the end of the recordset.");
    long p = c.cur + 1;
    while (p < n && !c.LiveAt(p))
        ++p;
    c.cur = p;
}

void Recordset::MovePrevious() {
    m_core->RequireOpen();
    m_core->Update();
    RecordsetCore& c = *m_core;
    if (c.Count() == 0 || c.cur < 0)
        throw ComError(Status::NoCurrentRecord, kRecordsetSource,
                       "Cannot move before the beginning of the recordset.");
    long p = c.cur - 1;
    while (p >= 0 && !c.LiveAt(p))
        --p;
    c.cur = p;
}

long Recordset::GetRecordCount() const {
    m_core->RequireOpen();
    return m_core->cursorType == adOpenForwardOnly ? -1 : m_core->LiveCount();
}

void Recordset::AddNew() {
    RecordsetCore& c = *m_core;
    c.RequireOpen();
    c.CheckWritable();
    c.Update();
    const std::size_t n = c.cols.size();
    std::vector<Variant> buffer(n, Variant::Null());
    std::vector<Stored> stored(n);
    std::vector<char> dirty(n, 0);
    if (c.autoNumberCol >= 0) {
        const std::size_t a = static_cast<std::size_t>(c.autoNumberCol);
        const std::int64_t id = c.Eng().NextAutoNumber(
            c.database, c.table, c.cols[static_cast<std::size_t>(c.autoNumberCol)].origin);
        stored[a] = Stored::Int(id);
        buffer[a] = ToVariant(RawOf(stored[a]), c.cols[a]);
        dirty[a] = 1;
    }
    c.buffer = std::move(buffer);
    c.stored = std::move(stored);
    c.dirty = std::move(dirty);
    c.chunkStarted.clear();
    c.edit = adEditAdd;
}

void Recordset::Update() {
    m_core->RequireOpen();
    m_core->Update();
}

void Recordset::CancelUpdate() {
    m_core->RequireOpen();
    m_core->CancelUpdate();
}

void Recordset::Delete(AffectEnum affect) {
    RecordsetCore& c = *m_core;
    c.RequireOpen();
    if (affect != adAffectCurrent)
        throw ComError(Status::InvalidArgument, kRecordsetSource,
                       "Only the current row can be deleted.");
    if (c.edit == adEditAdd) { // the new row was never stored
        c.CancelUpdate();
        return;
    }
    c.CancelUpdate();
    c.Delete();
}

EditModeEnum Recordset::GetEditMode() const {
    m_core->RequireOpen();
    return m_core->edit;
}

// The new rows are read completely, with the filter and the sort order
// applied, before the old ones are let go: a Requery that fails leaves the
// recordset as it was.
void Recordset::Requery(long /*options*/) {
    m_core->RequireOpen();
    const RecordsetCore& old = *m_core;
    if (!old.requeryRefusal.empty())
        throw ComError(Status::IllegalOperation, kRecordsetSource, old.requeryRefusal);
    RecordsetPtr fresh;
    if (old.fromCommand) {
        fresh = Deref(old.connection).Execute(old.source, nullptr, 0, old.commandValues);
        if (!fresh)
            throw ComError(Status::Fail, kRecordsetSource,
                           "The command that made the rows no longer returns rows.");
    } else {
        fresh = Create();
        fresh->m_core->location = old.location;
        fresh->m_core->pageSize = old.pageSize;
        if ((old.options & 0xffff) == adCmdFile)
            fresh->Open(old.source, std::string("Provider=MSPersist;"), old.cursorType,
                        old.lockType, old.options);
        else
            fresh->Open(old.source, old.connection, old.cursorType, old.lockType, old.options);
    }
    RecordsetCore& core = *fresh->m_core;
    core.location = old.location;
    core.pageSize = old.pageSize;
    if (!old.filterText.empty() || !old.sortText.empty())
        core.SetView(old.filterText, old.sortText);
    Close(); // a pending edit is dropped; a clone keeps the old rows
    m_core = fresh->m_core;
}

FieldsPtr Recordset::GetFields() {
    m_core->RequireOpen();
    return std::make_shared<Fields>(m_core);
}

long Recordset::GetFieldCount() const {
    m_core->RequireOpen();
    return m_core->ColCount();
}

long Recordset::FindField(const std::string& name) const {
    m_core->RequireOpen();
    return m_core->FindField(name);
}

const Variant& Recordset::GetCollect(long index) const {
    m_core->chunkField = -1; // reading a value starts long data over
    return m_core->Value(index);
}

void Recordset::PutCollect(long index, const Variant& value) {
    m_core->Put(index, value);
}

} // namespace RVNADO
