// CADOCommand and CADOParameter.
#include "db/ADOCommand.h"

#include "db/ADOErrorText.h"
#include "db/ValueConvert.h"

#include <climits>
#include <new>

using RVNADO::ComError;
using RVNADO::Deref;
using RVNADO::Variant;

namespace {

ComError AsComError(const std::exception& e)
{
    if (dynamic_cast<const std::bad_alloc*>(&e) != nullptr)
        return ComError(RVNADO::Status::OutOfMemory, "TQRVNBase", "Out of memory.");
    return ComError(RVNADO::Status::Fail, "TQRVNBase", e.what());
}

}  // namespace

// ---- CADOParameter ---------------------------------------------------------------

CADOParameter::CADOParameter(int nType, long lSize, int nDirection, const std::string& strName)
{
    m_pParameter = RVNADO::Parameter::Create();
    m_strName.clear();
    m_pParameter->PutDirection(static_cast<RVNADO::ParameterDirectionEnum>(nDirection));
    m_strName = strName;
    m_pParameter->PutName(strName);
    m_pParameter->PutType(static_cast<RVNADO::DataTypeEnum>(nType));
    m_pParameter->PutSize(lSize);
    m_nType = nType;
}

CADOParameter::~CADOParameter() { m_pParameter.reset(); }

void CADOParameter::SetName(const std::string& strName)
{
    m_strName = strName;
    Deref(m_pParameter).PutName(strName);
}

void CADOParameter::SetPrecision(int nPrecision) { Deref(m_pParameter).PutPrecision(nPrecision); }
void CADOParameter::SetScale(int nScale) { Deref(m_pParameter).PutNumericScale(nScale); }

int CADOParameter::PutValue(const Variant& value, long sizeWhenZero)
{
    try {
        RVNADO::Parameter& p = Deref(m_pParameter);
        if (p.GetSize() == 0)
            p.PutSize(sizeWhenZero);
        p.PutValue(value);
        return 1;
    } catch (const ComError& e) {
        dump_com_error(e);
    } catch (const std::exception& e) {
        dump_com_error(AsComError(e));
    }
    return 0;
}

int CADOParameter::SetValue(int nValue) { return PutValue(Variant::I4(nValue), 4); }

int CADOParameter::SetValue(long lValue)
{
    const Variant v = tqrvn::db::FromLong(lValue);
    return PutValue(v, v.Kind() == RVNADO::VT_I4 ? 4 : 8);
}

int CADOParameter::SetValue(double dblValue) { return PutValue(Variant::R8(dblValue), 8); }

int CADOParameter::SetValue(const std::string& strValue)
{
    return PutValue(tqrvn::db::FromText(strValue), static_cast<long>(strValue.size()));
}

int CADOParameter::SetValue(const char* lpValue)
{
    return SetValue(lpValue != nullptr ? std::string(lpValue) : std::string());
}

int CADOParameter::SetValue(const RVNADO::DateTime& time)
{
    if (time.GetStatus() == RVNADO::DateTime::invalid) {
        dump_com_error(ComError(RVNADO::Status::CantConvertValue, "TQRVNBase", "The date is not valid."));
        return 0;
    }
    return PutValue(time.GetStatus() == RVNADO::DateTime::null ? Variant::Null() : Variant::Date(time), 8);
}

int CADOParameter::SetValue(const Variant& vtValue) { return PutValue(vtValue, 16); }

namespace {

// The double reading of a parameter: integers, single, double and decimal
// values give their value; every other kind (currency, dates, texts,
// Booleans) gives 0.
int ParameterDouble(const Variant& v, double& out)
{
    using namespace RVNADO;
    switch (v.Kind()) {
    case VT_R4: case VT_R8: case VT_DECIMAL:
        v.ToDouble(out);
        return 1;
    default:
        if (v.IsInteger()) {
            v.ToDouble(out);
            return 1;
        }
        out = 0.0;
        return 1;
    }
}

}  // namespace

#define TQRVN_PARAMETER_GET(Type, Conversion)                                                                  \
    int CADOParameter::GetValue(Type& value)                                                                   \
    {                                                                                                          \
        try {                                                                                                  \
            const Variant v = Deref(m_pParameter).GetValue();                                                 \
            return Conversion;                                                                                 \
        } catch (const ComError& e) {                                                                         \
            dump_com_error(e);                                                                                 \
        } catch (const std::exception& e) {                                                                   \
            dump_com_error(AsComError(e));                                                                     \
        }                                                                                                      \
        return 0;                                                                                              \
    }

TQRVN_PARAMETER_GET(int, tqrvn::db::Convert(v, value))
TQRVN_PARAMETER_GET(long, tqrvn::db::Convert(v, value))
TQRVN_PARAMETER_GET(double, ParameterDouble(v, value))
TQRVN_PARAMETER_GET(RVNADO::DateTime, tqrvn::db::Convert(v, value))
TQRVN_PARAMETER_GET(RVNADO::Variant, (value = v, 1))
#undef TQRVN_PARAMETER_GET

int CADOParameter::GetValue(std::string& strValue, const std::string& strDateFormat)
{
    try {
        const Variant v = Deref(m_pParameter).GetValue();
        if (v.Kind() == RVNADO::VT_UI4 || v.Kind() == RVNADO::VT_UI8)
            return 0;
        return tqrvn::db::Convert(v, strValue, strDateFormat);
    } catch (const ComError& e) {
        dump_com_error(e);
    } catch (const std::exception& e) {
        dump_com_error(AsComError(e));
    }
    return 0;
}

void CADOParameter::dump_com_error(const ComError& e)
{
    m_dwLastError = static_cast<std::uint32_t>(e.Error());
    m_strLastError = tqrvn::db::FormatComError("CADOParameter Error", e);
}

// ---- CADOCommand -----------------------------------------------------------------

CADOCommand::CADOCommand(CADODatabase* pAdoDatabase, const std::string& strCommandText, int nCommandType)
{
    m_pCommand = RVNADO::Command::Create();
    m_strCommandText = strCommandText;
    m_pCommand->PutCommandText(strCommandText);
    m_nCommandType = nCommandType;
    m_pCommand->PutCommandType(static_cast<RVNADO::CommandTypeEnum>(nCommandType));
    m_pCommand->PutActiveConnection(pAdoDatabase != nullptr ? pAdoDatabase->GetActiveConnection()
                                                            : RVNADO::ConnectionPtr());
    m_nRecordsAffected = 0;
}

CADOCommand::~CADOCommand()
{
    m_pCommand.reset();
    m_strCommandText.clear();
}

void CADOCommand::SetText(const std::string& strCommandText)
{
    Deref(m_pCommand).PutCommandText(strCommandText);
    m_strCommandText = strCommandText;
}

void CADOCommand::SetType(int nCommandType)
{
    Deref(m_pCommand).PutCommandType(static_cast<RVNADO::CommandTypeEnum>(nCommandType));
    m_nCommandType = nCommandType;
}

void CADOCommand::SetTimeout(long nTimeOut) { Deref(m_pCommand).PutCommandTimeout(nTimeOut); }

int CADOCommand::AddParameter(CADOParameter* pAdoParameter)
{
    try {
        if (pAdoParameter == nullptr)
            throw ComError(RVNADO::Status::Pointer, "TQRVNBase", "No parameter was given.");
        Deref(m_pCommand).AppendParameter(pAdoParameter->GetParameter());
        return 1;
    } catch (const ComError& e) {
        dump_com_error(e);
    } catch (const std::exception& e) {
        dump_com_error(AsComError(e));
    }
    return 0;
}

int CADOCommand::AddParameter(const std::string& strName, int nType, int nDirection, long lSize,
                              const Variant& vtValue, int nPrecision, int nScale)
{
    try {
        RVNADO::Command& cmd = Deref(m_pCommand);
        RVNADO::ParameterPtr p = cmd.CreateParameter(strName, static_cast<RVNADO::DataTypeEnum>(nType),
                                                     static_cast<RVNADO::ParameterDirectionEnum>(nDirection),
                                                     lSize, Variant());
        p->PutPrecision(nPrecision);
        p->PutNumericScale(nScale);
        p->PutValue(vtValue);  // checked against the scale too
        cmd.AppendParameter(p);
        return 1;
    } catch (const ComError& e) {
        dump_com_error(e);
    } catch (const std::exception& e) {
        dump_com_error(AsComError(e));
    }
    return 0;
}

int CADOCommand::AddParameter(const std::string& strName, int nType, int nDirection, long lSize, int nValue)
{
    return AddParameter(strName, nType, nDirection, lSize, Variant::I4(nValue), 0, 0);
}

int CADOCommand::AddParameter(const std::string& strName, int nType, int nDirection, long lSize, long lValue)
{
    return AddParameter(strName, nType, nDirection, lSize, tqrvn::db::FromLong(lValue), 0, 0);
}

int CADOCommand::AddParameter(const std::string& strName, int nType, int nDirection, long lSize, double dblValue,
                              int nPrecision, int nScale)
{
    return AddParameter(strName, nType, nDirection, lSize, Variant::R8(dblValue), nPrecision, nScale);
}

int CADOCommand::AddParameter(const std::string& strName, int nType, int nDirection, long lSize,
                              const std::string& strValue)
{
    return AddParameter(strName, nType, nDirection, lSize, tqrvn::db::FromText(strValue), 0, 0);
}

int CADOCommand::AddParameter(const std::string& strName, int nType, int nDirection, long lSize,
                              const char* lpValue)
{
    return AddParameter(strName, nType, nDirection, lSize, lpValue != nullptr ? std::string(lpValue) : std::string());
}

int CADOCommand::AddParameter(const std::string& strName, int nType, int nDirection, long lSize,
                              const RVNADO::DateTime& time)
{
    if (time.GetStatus() == RVNADO::DateTime::invalid) {
        dump_com_error(ComError(RVNADO::Status::CantConvertValue, "TQRVNBase", "The date is not valid."));
        return 0;
    }
    return AddParameter(strName, nType, nDirection, lSize,
                        time.GetStatus() == RVNADO::DateTime::null ? Variant::Null() : Variant::Date(time), 0, 0);
}

int CADOCommand::Execute()
{
    m_nRecordsAffected = 0;
    try {
        long affected = 0;
        // The command runs as its own type says: SQL text under adCmdText, a
        // saved query under adCmdStoredProc.  Any rows are dropped.
        Deref(m_pCommand).Execute(&affected, RVNADO::adExecuteNoRecords);
        m_nRecordsAffected = static_cast<int>(affected);
        return 1;
    } catch (const ComError& e) {
        dump_com_error(e);
    } catch (const std::exception& e) {
        dump_com_error(AsComError(e));
    }
    return 0;
}

void CADOCommand::dump_com_error(const ComError& e)
{
    m_dwLastError = static_cast<std::uint32_t>(e.Error());
    m_strLastError = tqrvn::db::FormatComError("CADOCommand Error", e);
}
