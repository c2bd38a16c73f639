// The fields of a recordset: values, descriptions and long data in pieces.
#include "db/provider/RecordsetCore.h"

namespace RVNADO {

using namespace detail;

long Fields::GetCount() const {
    m_core->RequireOpen();
    return m_core->ColCount();
}

FieldPtr Fields::GetItem(long index) const {
    m_core->RequireOpen();
    m_core->RequireIndex(index);
    return std::make_shared<Field>(m_core, index);
}

FieldPtr Fields::GetItem(const std::string& name) const {
    m_core->RequireOpen();
    const long index = m_core->FindField(name);
    if (index < 0)
        throw ComError(Status::ItemNotFound, kRecordsetSource,
                       "There is no field named '" + name + "' in the recordset.");
    return std::make_shared<Field>(m_core, index);
}

namespace {
const ColumnInfo& ColumnOf(const RecordsetCore& core, long index) {
    core.RequireOpen();
    core.RequireIndex(index);
    return core.cols[static_cast<std::size_t>(index)];
}
} // namespace

std::string Field::GetName() const {
    return ColumnOf(*m_core, m_index).name;
}
DataTypeEnum Field::GetType() const {
    return ColumnOf(*m_core, m_index).type;
}
long Field::GetDefinedSize() const {
    return ColumnOf(*m_core, m_index).definedSize;
}
long Field::GetAttributes() const {
    return ColumnOf(*m_core, m_index).attributes;
}
int Field::GetPrecision() const {
    return ColumnOf(*m_core, m_index).precision;
}
int Field::GetNumericScale() const {
    return ColumnOf(*m_core, m_index).scale;
}
Variant Field::GetValue() const {
    m_core->chunkField = -1;
    return m_core->Value(m_index);
}

long Field::GetActualSize() const {
    const ColumnInfo& c = ColumnOf(*m_core, m_index);
    m_core->chunkField = -1; // so does asking for its size
    const Variant& v = m_core->Value(m_index);
    switch (v.Kind()) {
    case VT_EMPTY:
    case VT_NULL:
        return 0;
    case VT_BSTR:
    case VT_BYTES:
        return static_cast<long>(v.GetString().size());
    default:
        return c.definedSize;
    }
}

void Field::PutValue(const Variant& value) {
    m_core->Put(m_index, value);
}

namespace {
void RequireLong(const ColumnInfo& c) {
    if (!(c.attributes & adFldLong))
        throw ComError(Status::InvalidArgument, kFieldSource,
                       "The field '" + c.name +
                           "' does not hold long data, which is read and written in pieces.");
}
} // namespace

Variant Field::GetChunk(long length) {
    const ColumnInfo& c = ColumnOf(*m_core, m_index);
    RequireLong(c);
    if (length <= 0)
        throw ComError(Status::InvalidArgument, kFieldSource,
                       "A piece of long data must be at least one byte long.");
    RecordsetCore& core = *m_core;
    const Variant& v = core.Value(m_index);
    if (v.IsEmptyOrNull())
        return Variant::Null();
    const long row = core.edit != adEditNone ? -2 : core.CurRow();
    if (core.chunkField != m_index || core.chunkRow != row) {
        core.chunkField = m_index;
        core.chunkRow = row;
        core.chunkOffset = 0;
    }
    const bool isText = v.Kind() != VT_BYTES;
    const std::string text =
        v.Kind() == VT_BYTES || v.Kind() == VT_BSTR ? std::string() : v.ToText();
    const std::string& all = v.Kind() == VT_BYTES || v.Kind() == VT_BSTR ? v.GetString() : text;
    if (core.chunkOffset >= all.size())
        return Variant::Null();
    std::string piece = all.substr(core.chunkOffset, static_cast<std::size_t>(length));
    core.chunkOffset += piece.size();
    return isText ? Variant::Text(std::move(piece)) : Variant::Bytes(std::move(piece));
}

void Field::AppendChunk(const Variant& data) {
    const ColumnInfo& c = ColumnOf(*m_core, m_index);
    RequireLong(c);
    if (data.Kind() != VT_BYTES && data.Kind() != VT_BSTR)
        throw ComError(Status::InvalidArgument, kFieldSource,
                       "Long data is appended as bytes or text.");
    RecordsetCore& core = *m_core;
    const std::size_t i = static_cast<std::size_t>(m_index);
    std::string value;
    if (core.edit != adEditNone && i < core.chunkStarted.size() && core.chunkStarted[i]) {
        Variant& pending = core.buffer[i];
        Stored& stored = core.stored[i];
        // A later piece goes onto the end of the pending value, so writing
        // a value in many pieces costs the size of the value, not its square.
        if (!c.sized && (pending.Kind() == VT_BYTES || pending.Kind() == VT_BSTR) &&
            (stored.type == StoredType::Blob || stored.type == StoredType::Text)) {
            pending.AppendString(data.GetString());
            stored.s += data.GetString();
            return;
        }
        if (pending.Kind() == VT_BYTES || pending.Kind() == VT_BSTR)
            value = pending.GetString();
    }
    value += data.GetString();
    core.Put(m_index, IsBinaryType(c.type) ? Variant::Bytes(std::move(value))
                                           : Variant::Text(std::move(value)));
    if (core.chunkStarted.size() != core.cols.size())
        core.chunkStarted.assign(core.cols.size(), 0);
    core.chunkStarted[i] = 1;
}

} // namespace RVNADO
