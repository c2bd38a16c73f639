// CADORecordset: life cycle, navigation and editing.
#include "db/ADORecordset.h"

#include "db/ADOErrorText.h"

#include <new>

using RVNADO::ComError;
using RVNADO::Deref;

namespace {

bool StartsWithSelect(const std::string& q)
{
    static const char word[] = "select ";
    if (q.size() < 7)
        return false;
    for (int i = 0; i < 7; ++i) {
        char c = q[static_cast<std::size_t>(i)];
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
        if (c != word[i])
            return false;
    }
    return true;
}

}  // namespace

CADORecordset::CADORecordset()
{
    try {
        m_pRecordset = RVNADO::Recordset::Create();
        m_pCmd = RVNADO::Command::Create();
    } catch (const std::bad_alloc&) {
        // A missing object is reported by every later use of it.
    }
}

CADORecordset::CADORecordset(CADODatabase* pAdoDatabase) : CADORecordset()
{
    if (pAdoDatabase != nullptr)
        m_pConnection = pAdoDatabase->GetActiveConnection();
}

CADORecordset::CADORecordset(const CADORecordset& other) = default;

CADORecordset& CADORecordset::operator=(const CADORecordset& other)
{
    if (this != &other) {
        m_pRecordset = other.m_pRecordset;
        m_pCmd = other.m_pCmd;
        m_pConnection = other.m_pConnection;
        m_nSearchDirection = other.m_nSearchDirection;
        m_strFind = other.m_strFind;
        m_varBookFind = other.m_varBookFind;
        m_varBookmark = other.m_varBookmark;
        m_nEditStatus = other.m_nEditStatus;
        m_strLastError = other.m_strLastError;
        m_dwLastError = other.m_dwLastError;
        m_pRecBinding = other.m_pRecBinding;
        m_strQuery = other.m_strQuery;
    }
    return *this;
}

CADORecordset::~CADORecordset()
{
    // A destructor must not throw: a failing close is dropped here.
    try {
        Close();
    } catch (...) {
    }
    m_pRecordset.reset();
    m_pCmd.reset();
    m_pRecBinding = nullptr;
    m_strQuery.clear();
    m_strLastError.clear();
    m_dwLastError = 0;
    m_nEditStatus = dbEditNone;
    m_pConnection.reset();
}

int CADORecordset::Open(RVNADO::ConnectionPtr mpdb, const std::string& lpstrExec, int nOption)
{
    try {
        Close();
        m_pConnection = std::move(mpdb);
        if (!lpstrExec.empty())
            m_strQuery = lpstrExec;
        const std::size_t first = m_strQuery.find_first_not_of(" \t\r\n\f\v");
        m_strQuery.erase(0, first == std::string::npos ? m_strQuery.size() : first);
        const bool isSelect = nOption == openUnknown && StartsWithSelect(m_strQuery);
        if (!isSelect && nOption != openUnknown && nOption != openQuery && nOption != openTable &&
            nOption != openStoredProc)
            return 0;
        // A recordset left open by a Close that found its connection closed
        // (it then does nothing) is closed here, so it can open again.
        if (m_pRecordset && m_pRecordset->GetState() != RVNADO::adStateClosed)
            m_pRecordset->Close();
        m_nEditStatus = dbEditNone;
        m_pRecBinding = nullptr;
        RVNADO::Recordset& rs = Deref(m_pRecordset);
        rs.PutCursorType(RVNADO::adOpenStatic);
        rs.PutCursorLocation(RVNADO::adUseServer);
        if (isSelect || nOption == openUnknown || nOption == openQuery) {
            rs.Open(m_strQuery, m_pConnection, RVNADO::adOpenStatic, RVNADO::adLockOptimistic, RVNADO::adCmdUnknown);
        } else if (nOption == openTable) {
            rs.Open(m_strQuery, m_pConnection, RVNADO::adOpenKeyset, RVNADO::adLockOptimistic, RVNADO::adCmdTable);
        } else {
            RVNADO::Command& cmd = Deref(m_pCmd);
            cmd.PutActiveConnection(m_pConnection);
            cmd.PutCommandText(m_strQuery);
            cmd.PutCommandType(RVNADO::adCmdStoredProc);
            Deref(m_pConnection).PutCursorLocation(RVNADO::adUseClient);
            const long pageSize = rs.GetPageSize();
            m_pRecordset = cmd.Execute(nullptr, RVNADO::adCmdText);
            if (m_pRecordset)  // the command's recordset keeps the properties set on this one
                m_pRecordset->PutPageSize(pageSize);
        }
        return m_pRecordset ? 1 : 0;
    } catch (const ComError& e) {
        dump_com_error(e);
    } catch (const std::exception& e) {
        RecordError(e);
    }
    return 0;
}

int CADORecordset::Open(const std::string& lpstrExec, int nOption)
{
    return Open(m_pConnection, lpstrExec, nOption);
}

void CADORecordset::Close()
{
    if (IsOpen()) {
        if (m_nEditStatus != dbEditNone)
            CancelUpdate();
        m_pRecordset->PutSort(std::string());
        m_pRecordset->Close();
        m_pRecBinding = nullptr;
    }
}

int CADORecordset::IsOpen()
{
    if (!m_pRecordset || !IsConnectionOpen())
        return 0;
    return m_pRecordset->GetState() != RVNADO::adStateClosed ? 1 : 0;
}

int CADORecordset::IsConnectionOpen()
{
    return m_pConnection && m_pConnection->GetState() != RVNADO::adStateClosed ? 1 : 0;
}

int CADORecordset::Requery()
{
    if (!IsOpen())
        return 1;
    try {
        m_pRecordset->Requery(-1);
        m_nEditStatus = dbEditNone;  // the pending edit went with the old rows
        RefreshBinding();
        return 1;
    } catch (const ComError& e) {
        dump_com_error(e);
    } catch (const std::exception& e) {
        RecordError(e);
    }
    return 0;
}

int CADORecordset::IsEof() { return Deref(m_pRecordset).IsEOF() ? 1 : 0; }
int CADORecordset::IsBof() { return Deref(m_pRecordset).IsBOF() ? 1 : 0; }
void CADORecordset::MoveFirst()
{
    Deref(m_pRecordset).MoveFirst();
    RefreshBinding();
}

void CADORecordset::MoveNext()
{
    Deref(m_pRecordset).MoveNext();
    RefreshBinding();
}

void CADORecordset::MovePrevious()
{
    Deref(m_pRecordset).MovePrevious();
    RefreshBinding();
}

void CADORecordset::MoveLast()
{
    Deref(m_pRecordset).MoveLast();
    RefreshBinding();
}

unsigned long CADORecordset::GetRecordCount() { return tqrvn::db::CountRecords(Deref(m_pRecordset)); }

int CADORecordset::AddNew()
{
    m_nEditStatus = dbEditNone;
    Deref(m_pRecordset).AddNew();
    m_nEditStatus = dbEditNew;
    return 1;
}

int CADORecordset::Update()
{
    if (m_nEditStatus == dbEditNone)
        return 1;
    int result = 0;
    try {
        Deref(m_pRecordset).Update();
        result = 1;
    } catch (const ComError& e) {
        dump_com_error(e);
    } catch (const std::exception& e) {
        RecordError(e);
    }
    if (!result) {
        try {
            if (m_pRecordset)
                m_pRecordset->CancelUpdate();
        } catch (...) {
            // Nothing pending left to cancel.
        }
    }
    m_nEditStatus = dbEditNone;
    return result;
}

void CADORecordset::CancelUpdate()
{
    Deref(m_pRecordset).CancelUpdate();
    m_nEditStatus = dbEditNone;
}

int CADORecordset::Delete()
{
    RVNADO::Recordset& rs = Deref(m_pRecordset);
    rs.Delete(RVNADO::adAffectCurrent);
    rs.Update();
    m_nEditStatus = dbEditNone;
    return 1;
}

void CADORecordset::dump_com_error(const ComError& e)
{
    m_dwLastError = static_cast<std::uint32_t>(e.Error());
    m_strLastError = "Query = " + m_strQuery + "\n" + tqrvn::db::FormatComError("CADORecordset Error", e);
}

int CADORecordset::RecordError(const std::exception& e)
{
    if (dynamic_cast<const std::bad_alloc*>(&e) != nullptr)
        dump_com_error(ComError(RVNADO::Status::OutOfMemory, "TQRVNBase", "Out of memory."));
    else
        dump_com_error(ComError(RVNADO::Status::Fail, "TQRVNBase", e.what()));
    return 0;
}
