// CADODatabase: one connection to a catalog database file.
//
// It opens a connection from a connection string, runs statements that
// return no rows, reports how many rows the last statement touched, runs
// transactions and keeps the text and the code of its last error.
//
// Open and Execute catch provider errors: they record them (GetLastError,
// GetLastErrorString) and return 0.  Close, IsOpen, GetRecordCount and the
// transaction operations let RVNADO::ComError through to the caller.
//
// A CADODatabase and everything opened on it belong to the thread that
// created it; the class takes no locks.
#pragma once

#include "TQRVNBaseExport.h"
#include "db/provider/RVNADO.h"

#include <cstdint>
#include <string>

class TQRVNBASE_API CADODatabase {
public:
    CADODatabase();
    // A copy shares the connection object.
    CADODatabase(const CADODatabase& other);
    CADODatabase& operator=(const CADODatabase& other);
    ~CADODatabase();

    // Opens the connection; an empty connection text reuses the stored one.
    // 1 on success; 0 with the error recorded on failure.
    int Open(const std::string& lpstrConnection = std::string(), const std::string& lpstrUserID = std::string(),
             const std::string& lpstrPassword = std::string());
    void Close();
    int IsOpen();

    // Runs a statement that returns no rows: 1 when it ran (whatever number
    // of rows it touched), 0 with the error recorded when it failed.
    int Execute(const std::string& lpstrExec);
    int GetRecordsAffected() { return m_nRecordsAffected; }
    // The rows of a recordset: the provider's count, or counted by walking
    // when the provider cannot tell (the cursor is then on the first row).
    unsigned long GetRecordCount(const RVNADO::RecordsetPtr& m_pRs);

    // Returns the nesting level reached (1 for the outer transaction).
    long BeginTransaction();
    // Both return 0 on success.
    long CommitTransaction();
    long RollbackTransaction();

    RVNADO::ConnectionPtr GetActiveConnection() { return m_pConnection; }
    std::string GetConnectionString() { return m_strConnection; }
    // Stores the text for the next Open; does not reopen.
    void SetConnectionString(const std::string& lpstrConnection) { m_strConnection = lpstrConnection; }
    // Seconds a write waits for another user's lock, applied at the next
    // Open when not 0 (0 keeps the provider's 5 s).
    void SetConnectionTimeout(long nConnectionTimeout = 30) { m_nConnectionTimeout = nConnectionTimeout; }

    unsigned long GetLastError() { return m_dwLastError; }
    std::string GetLastErrorString() { return m_strLastError; }
    // Records an error that an operation on this connection met elsewhere,
    // so that its caller reads it here: a provider error (formatted as the
    // connection's own), or the code and text another object recorded (a
    // recordset opened on this connection).
    void RecordError(const RVNADO::ComError& e) { dump_com_error(e); }
    void RecordError(unsigned long code, const std::string& text);
    // Forgets the last error (code 0, empty text).  An error stays recorded
    // until the next one, so a caller that must tell whether the next
    // operation failed clears it first.
    void ClearLastError();

protected:
    // Records a caught provider error: code and the fixed-format text with
    // the connection string in front.
    void dump_com_error(const RVNADO::ComError& e);

    RVNADO::ConnectionPtr m_pConnection;
    std::string m_strConnection;
    std::string m_strLastError;
    std::uint32_t m_dwLastError = 0;
    int m_nRecordsAffected = 0;
    long m_nConnectionTimeout = 0;
};
