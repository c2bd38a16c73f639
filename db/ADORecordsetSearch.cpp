// CADORecordset: pages, positions, bookmarks, search, filter, sort, clones,
// saved files, clip strings, commands and record binding.
#include "db/ADOCommand.h"
#include "db/ADORecordset.h"
#include "db/ValueConvert.h"

#include <new>

using RVNADO::ComError;
using RVNADO::Deref;
using RVNADO::Variant;

// ---- Pages and positions -----------------------------------------------------------

long CADORecordset::GetAbsolutePage() { return Deref(m_pRecordset).GetAbsolutePage(); }

void CADORecordset::SetAbsolutePage(int nPage)
{
    Deref(m_pRecordset).PutAbsolutePage(nPage);
    RefreshBinding();
}

long CADORecordset::GetPageCount() { return Deref(m_pRecordset).GetPageCount(); }
long CADORecordset::GetPageSize() { return Deref(m_pRecordset).GetPageSize(); }
void CADORecordset::SetPageSize(int nSize) { Deref(m_pRecordset).PutPageSize(nSize); }
long CADORecordset::GetAbsolutePosition() { return Deref(m_pRecordset).GetAbsolutePosition(); }

void CADORecordset::SetAbsolutePosition(int nPosition)
{
    Deref(m_pRecordset).PutAbsolutePosition(nPosition);
    RefreshBinding();
}

void CADORecordset::GetBookmark() { m_varBookmark = Deref(m_pRecordset).GetBookmark(); }

int CADORecordset::SetBookmark()
{
    if (m_varBookmark.IsEmpty())
        return 0;
    Deref(m_pRecordset).PutBookmark(m_varBookmark);
    RefreshBinding();
    return 1;
}

// ---- Search ---------------------------------------------------------------------------

int CADORecordset::Find(const std::string& lpFind, int nSearchDirection)
{
    m_strFind = lpFind;
    m_nSearchDirection = nSearchDirection;
    RVNADO::Recordset& rs = Deref(m_pRecordset);
    if (nSearchDirection == searchForward) {
        rs.Find(m_strFind, 0, RVNADO::adSearchForward, Variant::Text(std::string()));
        if (rs.IsEOF())
            return 0;
    } else if (nSearchDirection == searchBackward) {
        rs.Find(m_strFind, 0, RVNADO::adSearchBackward, Variant::Text(std::string()));
        if (rs.IsBOF())
            return 0;
    } else {
        m_nSearchDirection = searchForward;
        return 0;
    }
    m_varBookFind = rs.GetBookmark();
    RefreshBinding();
    return 1;
}

int CADORecordset::FindFirst(const std::string& lpFind)
{
    MoveFirst();
    return Find(lpFind, searchForward);
}

int CADORecordset::FindNext()
{
    RVNADO::Recordset& rs = Deref(m_pRecordset);
    const bool forward = m_nSearchDirection != searchBackward;
    rs.Find(m_strFind, 1, forward ? RVNADO::adSearchForward : RVNADO::adSearchBackward, m_varBookFind);
    if (forward ? rs.IsEOF() : rs.IsBOF())
        return 0;
    m_varBookFind = rs.GetBookmark();
    RefreshBinding();
    return 1;
}

// ---- Filter, sort, clones ---------------------------------------------------------------

#define TQRVN_CAUGHT(body)                                                                                     \
    try {                                                                                                      \
        body;                                                                                                  \
    } catch (const ComError& e) {                                                                             \
        dump_com_error(e);                                                                                     \
    } catch (const std::exception& e) {                                                                       \
        RecordError(e);                                                                                        \
    }                                                                                                          \
    return 0;

int CADORecordset::SetFilter(const std::string& strFilter)
{
    TQRVN_CAUGHT(Deref(m_pRecordset).PutFilter(strFilter); RefreshBinding(); return 1)
}

int CADORecordset::SetSort(const std::string& lpstrCriteria)
{
    TQRVN_CAUGHT(Deref(m_pRecordset).PutSort(lpstrCriteria); RefreshBinding(); return 1)
}

int CADORecordset::Clone(CADORecordset& pRs)
{
    TQRVN_CAUGHT(pRs.m_pRecordset = Deref(m_pRecordset).Clone(RVNADO::adLockUnspecified); return 1)
}

// ---- Saved files ---------------------------------------------------------------------------

int CADORecordset::SaveAsXML(const std::string& lpstrXMLFile)
{
    TQRVN_CAUGHT(Deref(m_pRecordset).Save(lpstrXMLFile, RVNADO::adPersistXML); return 1)
}

int CADORecordset::OpenXML(const std::string& lpstrXMLFile)
{
    try {
        if (IsOpen())
            Close();
        RVNADO::Recordset& rs = Deref(m_pRecordset);
        if (rs.GetState() != RVNADO::adStateClosed)
            rs.Close();
        m_nEditStatus = dbEditNone;
        m_pRecBinding = nullptr;
        rs.Open(lpstrXMLFile, "Provider=MSPersist;", RVNADO::adOpenForwardOnly, RVNADO::adLockOptimistic,
                RVNADO::adCmdFile);
        return 1;
    } catch (const ComError& e) {
        dump_com_error(e);
    } catch (const std::exception& e) {
        RecordError(e);
    }
    return 0;
}

// ---- Clip strings and commands -------------------------------------------------------------

std::string CADORecordset::GetString(const std::string& lpCols, const std::string& lpRows, const std::string& lpNull,
                                     long numRecords)
{
    const std::string columns = lpCols.empty() ? std::string("\t") : lpCols;
    const std::string rows = lpRows.empty() ? std::string("\r") : lpRows;
    if (numRecords == 0)
        numRecords = static_cast<long>(GetRecordCount());
    RVNADO::Recordset& rs = Deref(m_pRecordset);
    if (numRecords == 0)
        return std::string();
    std::string text = rs.GetString(RVNADO::adClipString, numRecords, columns, rows, lpNull);
    RefreshBinding();
    return text;
}

int CADORecordset::Execute(CADOCommand* pAdoCommand)
{
    try {
        if (IsOpen())
            Close();
        if (m_pRecordset && m_pRecordset->GetState() != RVNADO::adStateClosed)
            m_pRecordset->Close();
        m_nEditStatus = dbEditNone;
        m_pRecBinding = nullptr;
        if (pAdoCommand == nullptr)
            throw ComError(RVNADO::Status::Pointer, "TQRVNBase", "No command was given.");
        Deref(m_pConnection).PutCursorLocation(RVNADO::adUseClient);
        RVNADO::Command& cmd = Deref(pAdoCommand->GetCommand());
        const long pageSize = m_pRecordset ? m_pRecordset->GetPageSize() : 0;
        RVNADO::RecordsetPtr result = cmd.Execute(nullptr, pAdoCommand->GetType());
        m_pRecordset = result ? result : RVNADO::Recordset::Create();
        if (pageSize > 0)  // the properties set on this recordset stay with it
            m_pRecordset->PutPageSize(pageSize);
        return 1;
    } catch (const ComError& e) {
        dump_com_error(e);
    } catch (const std::exception& e) {
        RecordError(e);
    }
    return 0;
}

// ---- Record binding ----------------------------------------------------------------------

namespace {

using Binding = CADORecordBinding::Binding;

// Reads a value into a bound member; a value that does not fit leaves it.
void ReadMember(const Binding& b, const Variant& v)
{
    using tqrvn::db::Convert;
    switch (b.kind) {
    case CADORecordBinding::bindInt: Convert(v, *static_cast<int*>(b.member)); break;
    case CADORecordBinding::bindLong: Convert(v, *static_cast<long*>(b.member)); break;
    case CADORecordBinding::bindDouble: Convert(v, *static_cast<double*>(b.member)); break;
    case CADORecordBinding::bindText: Convert(v, *static_cast<std::string*>(b.member), std::string()); break;
    case CADORecordBinding::bindBool: Convert(v, *static_cast<bool*>(b.member)); break;
    case CADORecordBinding::bindDate: Convert(v, *static_cast<RVNADO::DateTime*>(b.member)); break;
    case CADORecordBinding::bindCurrency: Convert(v, *static_cast<RVNADO::Currency*>(b.member)); break;
    case CADORecordBinding::bindVariant: *static_cast<Variant*>(b.member) = v; break;
    }
}

Variant MemberValue(const Binding& b)
{
    switch (b.kind) {
    case CADORecordBinding::bindInt:
        return Variant::I4(*static_cast<const int*>(b.member));
    case CADORecordBinding::bindLong:
        return tqrvn::db::FromLong(*static_cast<const long*>(b.member));
    case CADORecordBinding::bindDouble:
        return Variant::R8(*static_cast<const double*>(b.member));
    case CADORecordBinding::bindText:
        return tqrvn::db::FromText(*static_cast<const std::string*>(b.member));
    case CADORecordBinding::bindBool:
        return Variant::Bool(*static_cast<const bool*>(b.member));
    case CADORecordBinding::bindDate: {
        const auto& d = *static_cast<const RVNADO::DateTime*>(b.member);
        if (d.GetStatus() == RVNADO::DateTime::invalid)
            throw ComError(RVNADO::Status::CantConvertValue, "TQRVNBase",
                           "The date bound to the column '" + b.column + "' is not valid.");
        return d.GetStatus() == RVNADO::DateTime::null ? Variant::Null() : Variant::Date(d);
    }
    case CADORecordBinding::bindCurrency: {
        const auto& c = *static_cast<const RVNADO::Currency*>(b.member);
        if (c.GetStatus() == RVNADO::Currency::invalid)
            throw ComError(RVNADO::Status::CantConvertValue, "TQRVNBase",
                           "The amount bound to the column '" + b.column + "' is not valid.");
        return c.GetStatus() == RVNADO::Currency::null ? Variant::Null() : Variant::Cy(c);
    }
    case CADORecordBinding::bindVariant:
        break;
    }
    return *static_cast<const Variant*>(b.member);
}

long BoundField(RVNADO::Recordset& rs, const Binding& b)
{
    const long index = rs.FindField(b.column);
    if (index < 0)
        throw ComError(RVNADO::Status::ItemNotFound, "RVNADO.Recordset",
                       "There is no field named '" + b.column + "' in the recordset for the bound member.");
    return index;
}

void ReadRow(RVNADO::Recordset& rs, CADORecordBinding& binding)
{
    for (const Binding& b : binding.GetBindings())
        ReadMember(b, rs.GetCollect(BoundField(rs, b)));
}

}  // namespace

void CADORecordset::RefreshBinding()
{
    if (m_pRecBinding == nullptr || !m_pRecordset || m_pRecordset->GetState() == RVNADO::adStateClosed ||
        m_pRecordset->IsEOF() || m_pRecordset->IsBOF())
        return;
    try {
        ReadRow(*m_pRecordset, *m_pRecBinding);
    } catch (const ComError&) {
        // A row deleted under the cursor has no values to give.
    }
}

int CADORecordset::RecordBinding(CADORecordBinding& pAdoRecordBinding)
{
    RVNADO::Recordset& rs = Deref(m_pRecordset);
    for (const Binding& b : pAdoRecordBinding.GetBindings())
        BoundField(rs, b);  // every bound column must exist
    m_pRecBinding = &pAdoRecordBinding;
    RefreshBinding();
    return 1;
}

int CADORecordset::AddNew(CADORecordBinding& pAdoRecordBinding)
{
    try {
        if (m_pRecBinding == nullptr)
            throw ComError(RVNADO::Status::IllegalOperation, "TQRVNBase",
                           "A row structure can be added only after RecordBinding has bound one.");
        RVNADO::Recordset& rs = Deref(m_pRecordset);
        const std::vector<Binding> bindings = pAdoRecordBinding.GetBindings();
        std::vector<long> fields;
        for (const Binding& b : bindings)
            fields.push_back(BoundField(rs, b));
        m_nEditStatus = dbEditNone;
        rs.AddNew();
        try {
            for (std::size_t i = 0; i < bindings.size(); ++i)
                if (!(bindings[i].options & CADORecordBinding::readOnly))
                    rs.PutCollect(fields[i], MemberValue(bindings[i]));
            rs.Update();
        } catch (...) {
            rs.CancelUpdate();
            throw;
        }
        ReadRow(rs, pAdoRecordBinding);
        return 1;
    } catch (const ComError& e) {
        dump_com_error(e);
    } catch (const std::exception& e) {
        RecordError(e);
    }
    return 0;
}

// ---- CADORecordBinding ------------------------------------------------------------------

CADORecordBinding::~CADORecordBinding() = default;

std::vector<CADORecordBinding::Binding> CADORecordBinding::GetBindings()
{
    Columns columns;
    BindColumns(columns);
    return columns.List();
}

#define TQRVN_BIND(Type, Kind)                                                                                 \
    void CADORecordBinding::Columns::Bind(const std::string& column, Type& member, int options)               \
    {                                                                                                          \
        m_list.push_back(Binding{column, Kind, &member, options});                                            \
    }

TQRVN_BIND(int, bindInt)
TQRVN_BIND(long, bindLong)
TQRVN_BIND(double, bindDouble)
TQRVN_BIND(std::string, bindText)
TQRVN_BIND(bool, bindBool)
TQRVN_BIND(RVNADO::DateTime, bindDate)
TQRVN_BIND(RVNADO::Currency, bindCurrency)
TQRVN_BIND(RVNADO::Variant, bindVariant)
#undef TQRVN_BIND
