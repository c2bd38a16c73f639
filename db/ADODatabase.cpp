#include "db/ADODatabase.h"

#include "db/ADOErrorText.h"

#include <charconv>

#include "db/NumberText.h"
#include <new>

namespace tqrvn::db {

std::string CodeMeaning(std::uint32_t code)
{
    std::string text = RVNADO::StatusMessage(static_cast<RVNADO::HRESULT>(code));
    if (!text.empty() && text.back() == '\n') {
        text.pop_back();
        if (!text.empty() && text.back() == '\r')
            text.pop_back();
    }
    if (!text.empty())
        return text;
    if (code >= 0x80040201u && code <= 0x8004FFFFu)
        return "IDispatch error #" + RVN::FormatUnsigned(code - 0x80040200u);
    char buf[24];
    auto r = std::to_chars(buf, buf + sizeof buf, code, 16);
    std::string hex(buf, r.ptr);
    for (char& c : hex)
        if (c >= 'a' && c <= 'f')
            c = static_cast<char>(c - 'a' + 'A');
    return "Unknown error 0x" + hex;
}

std::string FormatComError(const char* title, const RVNADO::ComError& e)
{
    const std::uint32_t code = static_cast<std::uint32_t>(e.Error());
    char hex[9];
    for (int i = 7; i >= 0; --i)
        hex[7 - i] = "0123456789abcdef"[(code >> (4 * i)) & 0xF];
    hex[8] = '\0';
    std::string text = title;
    text += "\n\tCode = ";
    text += hex;
    text += "\n\tCode meaning = ";
    text += CodeMeaning(code);
    text += "\n\tSource = ";
    text += e.Source();
    text += "\n\tDescription = ";
    text += e.Description();
    text += "\n";
    return text;
}

unsigned long CountRecords(RVNADO::Recordset& rs)
{
    const long count = rs.GetRecordCount();
    if (count != -1)
        return static_cast<unsigned long>(count);
    // An empty result stands at both ends; anything else is walked from the
    // first row, wherever the cursor stood, and left on the first row.
    if (rs.IsBOF() && rs.IsEOF())
        return 0;
    unsigned long n = 0;
    rs.MoveFirst();
    while (!rs.IsEOF()) {
        ++n;
        rs.MoveNext();
    }
    if (n > 0)
        rs.MoveFirst();
    return n;
}

}  // namespace tqrvn::db

namespace {

RVNADO::ComError AsComError(const std::exception& e)
{
    if (dynamic_cast<const std::bad_alloc*>(&e) != nullptr)
        return RVNADO::ComError(RVNADO::Status::OutOfMemory, "TQRVNBase", "Out of memory.");
    return RVNADO::ComError(RVNADO::Status::Fail, "TQRVNBase", e.what());
}

}  // namespace

CADODatabase::CADODatabase()
{
    try {
        m_pConnection = RVNADO::Connection::Create();
    } catch (const std::bad_alloc&) {
        m_pConnection.reset();  // every later use reports the missing object
    }
}

CADODatabase::CADODatabase(const CADODatabase& other) = default;

CADODatabase& CADODatabase::operator=(const CADODatabase& other)
{
    if (this != &other) {
        m_pConnection = other.m_pConnection;
        m_strConnection = other.m_strConnection;
        m_strLastError = other.m_strLastError;
        m_dwLastError = other.m_dwLastError;
        m_nRecordsAffected = other.m_nRecordsAffected;
        m_nConnectionTimeout = other.m_nConnectionTimeout;
    }
    return *this;
}

CADODatabase::~CADODatabase()
{
    // A destructor must not throw: a failing close is dropped here.
    try {
        Close();
    } catch (...) {
    }
    m_pConnection.reset();
    m_strConnection.clear();
    m_strLastError.clear();
    m_dwLastError = 0;
}

int CADODatabase::Open(const std::string& lpstrConnection, const std::string& lpstrUserID,
                       const std::string& lpstrPassword)
{
    try {
        if (IsOpen())
            Close();
        if (!lpstrConnection.empty())
            m_strConnection = lpstrConnection;
        RVNADO::Connection& connection = RVNADO::Deref(m_pConnection);
        if (m_nConnectionTimeout != 0)
            connection.PutConnectionTimeout(m_nConnectionTimeout);
        connection.Open(m_strConnection, lpstrUserID, lpstrPassword, 0);
        return 1;
    } catch (const RVNADO::ComError& e) {
        dump_com_error(e);
    } catch (const std::exception& e) {
        dump_com_error(AsComError(e));
    }
    return 0;
}

void CADODatabase::Close()
{
    if (IsOpen())
        m_pConnection->Close();
}

int CADODatabase::IsOpen()
{
    if (!m_pConnection)
        return 0;
    return m_pConnection->GetState() != RVNADO::adStateClosed ? 1 : 0;
}

int CADODatabase::Execute(const std::string& lpstrExec)
{
    m_nRecordsAffected = 0;
    try {
        RVNADO::Connection& connection = RVNADO::Deref(m_pConnection);
        connection.PutCursorLocation(RVNADO::adUseClient);
        long affected = 0;
        connection.Execute(lpstrExec, &affected, RVNADO::adExecuteNoRecords);
        m_nRecordsAffected = static_cast<int>(affected);
        return 1;
    } catch (const RVNADO::ComError& e) {
        dump_com_error(e);
    } catch (const std::exception& e) {
        dump_com_error(AsComError(e));
    }
    return 0;
}

unsigned long CADODatabase::GetRecordCount(const RVNADO::RecordsetPtr& m_pRs)
{
    return tqrvn::db::CountRecords(RVNADO::Deref(m_pRs));
}

long CADODatabase::BeginTransaction() { return RVNADO::Deref(m_pConnection).BeginTrans(); }

long CADODatabase::CommitTransaction()
{
    RVNADO::Deref(m_pConnection).CommitTrans();
    return 0;
}

long CADODatabase::RollbackTransaction()
{
    RVNADO::Deref(m_pConnection).RollbackTrans();
    return 0;
}

void CADODatabase::RecordError(unsigned long code, const std::string& text)
{
    m_dwLastError = static_cast<std::uint32_t>(code);
    m_strLastError = text;
}

void CADODatabase::ClearLastError()
{
    m_dwLastError = 0;
    m_strLastError.clear();
}

void CADODatabase::dump_com_error(const RVNADO::ComError& e)
{
    m_dwLastError = static_cast<std::uint32_t>(e.Error());
    m_strLastError = "Connection String = " + m_strConnection + "\n" +
                     tqrvn::db::FormatComError("CADODataBase Error", e);
}
