// The cursor's view of a recordset: filters, sort orders, positions,
// pages, bookmarks, search, clones and rows as text.
#include "db/provider/Criteria.h"
#include "db/provider/RecordsetCore.h"

#include <algorithm>

namespace RVNADO {

using namespace detail;

void RecordsetCore::SetView(const std::string& filter, const std::string& sort) {
    const FieldLookup lookup = [this](const std::string& name) { return FindField(name); };
    // Both texts are checked before anything changes.
    const bool filtered = filter.find_first_not_of(" \t\r\n") != std::string::npos;
    Criteria criteria;
    if (filtered)
        criteria = Criteria::Parse(filter, lookup, true);
    const std::vector<SortKey> keys = ParseSort(sort, lookup);
    if (!filtered && keys.empty()) {
        viewed = false;
        view.clear();
        posOf.clear();
    } else {
        std::vector<long> rowsShown;
        rowsShown.reserve(static_cast<std::size_t>(data->rows));
        for (long r = 0; r < data->rows; ++r)
            if (!data->deleted[static_cast<std::size_t>(r)] &&
                (!filtered || criteria.Matches(Row(r))))
                rowsShown.push_back(r);
        if (!keys.empty())
            std::stable_sort(rowsShown.begin(), rowsShown.end(), [&](long a, long b) {
                const Variant* ra = Row(a);
                const Variant* rb = Row(b);
                for (const SortKey& k : keys) {
                    const int c = CompareForSort(ra[k.field], rb[k.field]);
                    if (c != 0)
                        return k.descending ? c > 0 : c < 0;
                }
                return false;
            });
        view = std::move(rowsShown);
        posOf.assign(static_cast<std::size_t>(data->rows), -1);
        for (std::size_t p = 0; p < view.size(); ++p)
            posOf[static_cast<std::size_t>(view[p])] = static_cast<long>(p);
        viewed = true;
    }
    filterText = filtered ? filter : std::string();
    sortText = keys.empty() ? std::string() : sort;
    ++viewGeneration;
    cur = FirstLive();
}

long RecordsetCore::PositionOfBookmark(const Variant& bookmark) const {
    if (!bookmark.IsInteger() || bookmark.Kind() == VT_UI8)
        throw ComError(Status::InvalidArgument, kRecordsetSource, "The value is not a bookmark.");
    const std::int64_t r = bookmark.GetInt();
    if (r < 0 || r >= data->rows)
        throw ComError(Status::InvalidArgument, kRecordsetSource,
                       "The bookmark names no row of this recordset.");
    if (data->deleted[static_cast<std::size_t>(r)])
        throw ComError(Status::NoCurrentRecord, kRecordsetSource,
                       "The row of the bookmark has been deleted.");
    if (!viewed)
        return static_cast<long>(r);
    const long p =
        static_cast<std::size_t>(r) < posOf.size() ? posOf[static_cast<std::size_t>(r)] : -1;
    if (p < 0)
        throw ComError(Status::InvalidArgument, kRecordsetSource,
                       "The row of the bookmark is hidden by the filter.");
    return p;
}

// 1-based rank of the current row among the live rows of the view; 0 when
// the current row is deleted.
long RecordsetCore::LivePositionOrdinal() const {
    if (!LiveAt(cur))
        return 0;
    if (LiveCount() == Count())
        return cur + 1;
    long n = 0;
    for (long p = 0; p <= cur; ++p)
        n += LiveAt(p) ? 1 : 0;
    return n;
}

void RecordsetCore::MoveToOrdinal(long ordinal) {
    if (ordinal < 1 || ordinal > LiveCount())
        throw ComError(Status::InvalidArgument, kRecordsetSource,
                       "The position lies outside the recordset.");
    if (LiveCount() == Count()) {
        cur = ordinal - 1;
        return;
    }
    long n = 0;
    for (long p = 0; p < Count(); ++p)
        if (LiveAt(p) && ++n == ordinal) {
            cur = p;
            return;
        }
}

long Recordset::GetPageSize() const {
    return m_core->pageSize;
}

void Recordset::PutPageSize(long rows) {
    if (rows <= 0)
        throw ComError(Status::InvalidArgument, kRecordsetSource,
                       "The page size must be at least one row.");
    m_core->pageSize = rows;
}

long Recordset::GetPageCount() const {
    m_core->RequireOpen();
    const long n = m_core->LiveCount();
    return (n + m_core->pageSize - 1) / m_core->pageSize;
}

long Recordset::GetAbsolutePosition() const {
    RecordsetCore& c = *m_core;
    c.RequireOpen();
    if (c.edit == adEditAdd)
        return adPosUnknown;
    if (c.LiveCount() == 0 || c.cur >= c.Count())
        return c.LiveCount() == 0 && c.cur < 0 ? adPosBOF : adPosEOF;
    if (c.cur < 0)
        return adPosBOF;
    const long n = c.LivePositionOrdinal();
    return n == 0 ? static_cast<long>(adPosUnknown) : n;
}

void Recordset::PutAbsolutePosition(long position) {
    m_core->RequireOpen();
    m_core->Update();
    m_core->MoveToOrdinal(position);
}

long Recordset::GetAbsolutePage() const {
    const long p = GetAbsolutePosition();
    if (p < 0)
        return p;
    return (p - 1) / m_core->pageSize + 1;
}

void Recordset::PutAbsolutePage(long page) {
    m_core->RequireOpen();
    if (page < 1 || page > GetPageCount())
        throw ComError(Status::InvalidArgument, kRecordsetSource,
                       "The page lies outside the recordset.");
    m_core->Update();
    m_core->MoveToOrdinal((page - 1) * m_core->pageSize + 1);
}

Variant Recordset::GetBookmark() const {
    m_core->RequireOpen();
    m_core->RequireCurrentRow();
    return Variant::I8(m_core->CurRow());
}

void Recordset::PutBookmark(const Variant& bookmark) {
    m_core->RequireOpen();
    const long p = m_core->PositionOfBookmark(bookmark);
    m_core->Update();
    m_core->cur = p;
}

void Recordset::Find(const std::string& criteria, long skipRecords,
                     SearchDirectionEnum searchDirection, const Variant& start) {
    RecordsetCore& c = *m_core;
    c.RequireOpen();
    if (searchDirection != adSearchForward && searchDirection != adSearchBackward)
        throw ComError(Status::InvalidArgument, kRecordsetSource,
                       "The search direction is neither forward nor backward.");
    if (skipRecords < 0)
        throw ComError(Status::InvalidArgument, kRecordsetSource,
                       "The rows to skip cannot be negative.");
    const Criteria test = Criteria::Parse(
        criteria, [&c](const std::string& name) { return c.FindField(name); }, false);
    // An empty start (or an empty text, as callers pass) means the current row.
    const bool fromCurrent =
        start.IsEmptyOrNull() || (start.Kind() == VT_BSTR && start.GetString().empty());
    const long from = fromCurrent ? c.cur : c.PositionOfBookmark(start);
    c.Update();
    const long n = c.Count();
    if (searchDirection == adSearchForward) {
        for (long p = from < 0 ? 0 : from + skipRecords; p < n; ++p)
            if (c.LiveAt(p) && test.Matches(c.Row(c.RowAt(p)))) {
                c.cur = p;
                return;
            }
        c.cur = n;
    } else {
        for (long p = from >= n ? n - 1 : from - skipRecords; p >= 0; --p)
            if (c.LiveAt(p) && test.Matches(c.Row(c.RowAt(p)))) {
                c.cur = p;
                return;
            }
        c.cur = -1;
    }
}

const std::string& Recordset::GetFilter() const {
    return m_core->filterText;
}

void Recordset::PutFilter(const std::string& filter) {
    m_core->RequireOpen();
    m_core->Update();
    m_core->SetView(filter, m_core->sortText);
}

const std::string& Recordset::GetSort() const {
    return m_core->sortText;
}

void Recordset::PutSort(const std::string& sort) {
    m_core->RequireOpen();
    m_core->Update();
    m_core->SetView(m_core->filterText, sort);
}

RecordsetPtr Recordset::Clone(LockTypeEnum lockType) {
    m_core->RequireOpen();
    RecordsetPtr rs = Create();
    auto core = std::make_shared<RecordsetCore>(*m_core); // shares the rows
    core->CancelUpdate();
    core->viewed = false;
    core->view.clear();
    core->posOf.clear();
    core->filterText.clear();
    core->sortText.clear();
    ++core->viewGeneration;
    core->chunkField = -1;
    if (lockType != adLockUnspecified)
        core->lockType = lockType;
    core->cur = core->FirstLive();
    rs->m_core = std::move(core);
    return rs;
}

std::string Recordset::GetString(StringFormatEnum format, long numRows,
                                 const std::string& columnDelimiter,
                                 const std::string& rowDelimiter, const std::string& nullExpr) {
    RecordsetCore& c = *m_core;
    c.RequireOpen();
    if (format != adClipString)
        throw ComError(Status::InvalidArgument, kRecordsetSource,
                       "Rows are exported as clip strings only.");
    c.Update();
    std::string out;
    const long n = c.Count();
    if (c.cur < 0)
        c.cur = c.FirstLive();
    long done = 0;
    while (c.cur < n && (numRows < 0 || done < numRows)) {
        if (c.LiveAt(c.cur)) {
            const Variant* row = c.Row(c.CurRow());
            for (long i = 0; i < c.ColCount(); ++i) {
                if (i > 0)
                    out += columnDelimiter;
                const Variant& v = row[i];
                if (v.IsEmptyOrNull()) {
                    out += nullExpr;
                } else if (v.Kind() == VT_BYTES) {
                    static const char hex[] = "0123456789ABCDEF";
                    for (unsigned char b : v.GetString()) {
                        out += hex[b >> 4];
                        out += hex[b & 15];
                    }
                } else {
                    out += v.ToText();
                }
            }
            out += rowDelimiter;
            ++done;
        }
        ++c.cur;
    }
    return out;
}

} // namespace RVNADO
