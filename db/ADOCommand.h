// CADOCommand and CADOParameter: a command text with a type and a list of
// parameters, run on a CADODatabase for its side effects (Execute, with the
// affected-row count) or into a recordset (CADORecordset::Execute).
//
// The command type decides what the text is: under adCmdText (1) it is SQL
// whose "?" placeholders take the input parameters in the order they were
// added; under adCmdStoredProc (4) it names a saved query (a view), which
// takes no parameters.
//
// AddParameter (the forms that create a parameter), Execute, SetValue and
// GetValue catch provider errors: they record them in the object's last
// error (for derived classes: m_strLastError, m_dwLastError) and return 0.
// Constructors, SetText, SetType, SetTimeout, SetName, SetPrecision and
// SetScale let RVNADO::ComError through.
//
// Used on the thread of its CADODatabase; no locks.
#pragma once

#include "TQRVNBaseExport.h"
#include "db/ADODatabase.h"
#include "db/provider/RVNADO.h"

#include <cstdint>
#include <string>

class TQRVNBASE_API CADOParameter {
public:
    CADOParameter(int nType = RVNADO::adInteger, long lSize = 0, int nDirection = RVNADO::adParamInput,
                  const std::string& strName = std::string());
    // A copy shares the provider parameter.
    CADOParameter(const CADOParameter& other) = default;
    CADOParameter& operator=(const CADOParameter& other) = default;
    ~CADOParameter();

    void SetName(const std::string& strName);
    std::string GetName() { return m_strName; }
    int GetType() { return m_nType; }
    void SetPrecision(int nPrecision);
    void SetScale(int nScale);
    RVNADO::ParameterPtr GetParameter() { return m_pParameter; }

    // Sets the value (and, when the parameter's size is still 0, the size:
    // 4 for int and long, 8 for double and dates, the byte length of a
    // text, 16 for a variant).  An int is kept in full; an empty text sets
    // null.  0 with the error recorded when the value does not suit the
    // parameter's type.
    int SetValue(int nValue);
    int SetValue(long lValue);
    int SetValue(double dblValue);
    int SetValue(const std::string& strValue);
    int SetValue(const char* lpValue);
    int SetValue(const RVNADO::DateTime& time);
    int SetValue(const RVNADO::Variant& vtValue);

    // Reads the value: null gives 0, "", a null date.  0 (output untouched)
    // when the kind cannot become the output type or does not fit it (a
    // value outside the int range read into an int).
    int GetValue(int& nValue);
    int GetValue(long& lValue);
    int GetValue(double& dbValue);
    int GetValue(std::string& strValue, const std::string& strDateFormat = std::string());
    int GetValue(RVNADO::DateTime& time);
    int GetValue(RVNADO::Variant& vtValue);

protected:
    void dump_com_error(const RVNADO::ComError& e);
    int PutValue(const RVNADO::Variant& value, long sizeWhenZero);

    RVNADO::ParameterPtr m_pParameter;
    std::string m_strName;
    int m_nType = RVNADO::adInteger;
    std::string m_strLastError;
    std::uint32_t m_dwLastError = 0;
};

class TQRVNBASE_API CADOCommand {
public:
    CADOCommand(CADODatabase* pAdoDatabase, const std::string& strCommandText = std::string(),
                int nCommandType = RVNADO::adCmdText);
    // A copy shares the provider command and its parameters.
    CADOCommand(const CADOCommand& other) = default;
    CADOCommand& operator=(const CADOCommand& other) = default;
    ~CADOCommand();

    void SetText(const std::string& strCommandText);
    std::string GetText() { return m_strCommandText; }
    void SetType(int nCommandType);
    int GetType() { return m_nCommandType; }
    void SetTimeout(long nTimeOut);
    RVNADO::CommandPtr GetCommand() { return m_pCommand; }
    int GetRecordsAffected() { return m_nRecordsAffected; }

    // Appends an existing parameter (its provider object is shared).
    int AddParameter(CADOParameter* pAdoParameter);
    // Creates and appends a parameter; 0 with the error recorded when the
    // value does not suit the type.
    int AddParameter(const std::string& strName, int nType, int nDirection, long lSize,
                     const RVNADO::Variant& vtValue, int nPrecision = 0, int nScale = 0);
    int AddParameter(const std::string& strName, int nType, int nDirection, long lSize, int nValue);
    int AddParameter(const std::string& strName, int nType, int nDirection, long lSize, long lValue);
    int AddParameter(const std::string& strName, int nType, int nDirection, long lSize, double dblValue,
                     int nPrecision = 0, int nScale = 0);
    int AddParameter(const std::string& strName, int nType, int nDirection, long lSize,
                     const std::string& strValue);
    int AddParameter(const std::string& strName, int nType, int nDirection, long lSize, const char* lpValue);
    int AddParameter(const std::string& strName, int nType, int nDirection, long lSize,
                     const RVNADO::DateTime& time);

    // Runs the command as its type says; the rows it touched are in
    // GetRecordsAffected.  0 with the error recorded (and 0 rows) when it
    // fails.
    int Execute();

protected:
    void dump_com_error(const RVNADO::ComError& e);

    RVNADO::CommandPtr m_pCommand;
    int m_nCommandType = RVNADO::adCmdText;
    int m_nRecordsAffected = 0;
    std::string m_strCommandText;
    std::string m_strLastError;
    std::uint32_t m_dwLastError = 0;
};
