// CADORecordset: field descriptions, reading and writing field values.
#include "db/ADORecordset.h"

#include "db/NumberText.h"
#include "db/ValueConvert.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cstring>
#include <new>

using RVNADO::ComError;
using RVNADO::Deref;
using RVNADO::Currency;
using RVNADO::DateTime;
using RVNADO::Variant;
using tqrvn::db::Convert;

namespace {

// Copies a field name into the 30-byte name member: at most 29 bytes,
// never half a UTF-8 character, always NUL-terminated.
void CopyFieldName(char (&dst)[30], const std::string& name)
{
    std::size_t n = name.size() < sizeof dst - 1 ? name.size() : sizeof dst - 1;
    if (n < name.size())
        while (n > 0 && (static_cast<unsigned char>(name[n]) & 0xC0) == 0x80)
            --n;  // name[n] continues a character: cut before its lead byte
    std::memcpy(dst, name.data(), n);
    dst[n] = '\0';
}

}  // namespace

// ---- Field objects and descriptions ------------------------------------------------

RVNADO::FieldsPtr CADORecordset::GetFields()
{
    try {
        return Deref(m_pRecordset).GetFields();
    } catch (const std::exception&) {
        return nullptr;
    }
}

RVNADO::FieldPtr CADORecordset::GetField(int nIndex)
{
    try {
        return Deref(m_pRecordset).GetFields()->GetItem(static_cast<long>(nIndex));
    } catch (const std::exception&) {
        return nullptr;
    }
}

RVNADO::FieldPtr CADORecordset::GetField(const std::string& lpFieldName)
{
    try {
        return Deref(m_pRecordset).GetFields()->GetItem(lpFieldName);
    } catch (const std::exception&) {
        return nullptr;
    }
}

long CADORecordset::GetFieldCount() { return Deref(m_pRecordset).GetFieldCount(); }

std::string CADORecordset::GetFieldName(int nIndex)
{
    try {
        return Deref(GetField(nIndex)).GetName();
    } catch (const std::exception&) {
        return std::string();
    }
}

#define TQRVN_FIELD_DESCRIPTION(Type, Name, Member, Failure)                                                  \
    Type CADORecordset::Name(int nIndex)                                                                       \
    {                                                                                                          \
        try {                                                                                                  \
            return static_cast<Type>(Deref(GetField(nIndex)).Member());                                       \
        } catch (const std::exception&) {                                                                     \
            return Failure;                                                                                    \
        }                                                                                                      \
    }                                                                                                          \
    Type CADORecordset::Name(const std::string& lpFieldName)                                                   \
    {                                                                                                          \
        try {                                                                                                  \
            return static_cast<Type>(Deref(GetField(lpFieldName)).Member());                                  \
        } catch (const std::exception&) {                                                                     \
            return Failure;                                                                                    \
        }                                                                                                      \
    }

TQRVN_FIELD_DESCRIPTION(long, GetFieldAttributes, GetAttributes, -1)
TQRVN_FIELD_DESCRIPTION(long, GetFieldDefineSize, GetDefinedSize, -1)
TQRVN_FIELD_DESCRIPTION(long, GetFieldActualSize, GetActualSize, -1)
TQRVN_FIELD_DESCRIPTION(RVNADO::DataTypeEnum, GetFieldType, GetType, RVNADO::adEmpty)
#undef TQRVN_FIELD_DESCRIPTION

namespace {

int FillFieldInfo(CADORecordset& rs, const RVNADO::FieldPtr& field, CADOFieldInfo* fldInfo)
{
    RVNADO::Field& f = Deref(field);
    if (fldInfo == nullptr)
        throw ComError(RVNADO::Status::Pointer, "TQRVNBase", "No field description record was given.");
    std::memset(fldInfo, 0, sizeof *fldInfo);
    CopyFieldName(fldInfo->m_strName, f.GetName());
    fldInfo->m_nType = static_cast<short>(f.GetType());
    if (!rs.IsEOF())
        fldInfo->m_lSize = f.GetActualSize();
    fldInfo->m_lDefinedSize = f.GetDefinedSize();
    fldInfo->m_lAttributes = f.GetAttributes();
    return 1;
}

}  // namespace

int CADORecordset::GetFieldInfo(int nIndex, CADOFieldInfo* fldInfo)
{
    return FillFieldInfo(*this, GetField(nIndex), fldInfo);
}

int CADORecordset::GetFieldInfo(const std::string& lpFieldName, CADOFieldInfo* fldInfo)
{
    return FillFieldInfo(*this, GetField(lpFieldName), fldInfo);
}

// ---- Reading -------------------------------------------------------------------------

const Variant& CADORecordset::FieldValue(int nIndex) { return Deref(m_pRecordset).GetCollect(nIndex); }

const Variant& CADORecordset::FieldValue(const std::string& lpFieldName)
{
    RVNADO::Recordset& rs = Deref(m_pRecordset);
    const long index = rs.FindField(lpFieldName);
    if (index < 0)
        throw ComError(RVNADO::Status::ItemNotFound, "RVNADO.Recordset",
                       "There is no field named '" + lpFieldName + "' in the recordset.");
    return rs.GetCollect(index);
}


#define TQRVN_GET_FIELD_VALUE(Type)                                                                            \
    int CADORecordset::GetFieldValue(int nIndex, Type& value)                                                  \
    {                                                                                                          \
        try {                                                                                                  \
            return Convert(FieldValue(nIndex), value);                                                        \
        } catch (const ComError& e) {                                                                         \
            dump_com_error(e);                                                                                 \
        } catch (const std::exception& e) {                                                                   \
            RecordError(e);                                                                                    \
        }                                                                                                      \
        return 0;                                                                                              \
    }                                                                                                          \
    int CADORecordset::GetFieldValue(const std::string& lpFieldName, Type& value)                              \
    {                                                                                                          \
        try {                                                                                                  \
            return Convert(FieldValue(lpFieldName), value);                                                   \
        } catch (const ComError& e) {                                                                         \
            dump_com_error(e);                                                                                 \
        } catch (const std::exception& e) {                                                                   \
            RecordError(e);                                                                                    \
        }                                                                                                      \
        return 0;                                                                                              \
    }

TQRVN_GET_FIELD_VALUE(double)
TQRVN_GET_FIELD_VALUE(long)
TQRVN_GET_FIELD_VALUE(unsigned long)
TQRVN_GET_FIELD_VALUE(int)
TQRVN_GET_FIELD_VALUE(bool)
TQRVN_GET_FIELD_VALUE(RVNADO::DateTime)
TQRVN_GET_FIELD_VALUE(RVNADO::Currency)
#undef TQRVN_GET_FIELD_VALUE

int CADORecordset::GetFieldValue(int nIndex, std::string& strValue, const std::string& strDateFormat)
{
    return Guarded([&]() -> int {
            return Convert(FieldValue(nIndex), strValue, strDateFormat);
    });
}

int CADORecordset::GetFieldValue(const std::string& lpFieldName, std::string& strValue,
                                 const std::string& strDateFormat)
{
    return Guarded([&]() -> int {
            return Convert(FieldValue(lpFieldName), strValue, strDateFormat);
    });
}

int CADORecordset::GetFieldValue(int nIndex, RVNADO::Variant& vtValue)
{
    return Guarded([&]() -> int {
            vtValue = FieldValue(nIndex);
            return 1;
    });
}

int CADORecordset::GetFieldValue(const std::string& lpFieldName, RVNADO::Variant& vtValue)
{
    return Guarded([&]() -> int {
            vtValue = FieldValue(lpFieldName);
            return 1;
    });
}

int CADORecordset::IsFieldNull(int nIndex)
{
    return Guarded([&]() -> int {
            return FieldValue(nIndex).IsNull() ? 1 : 0;
    });
}

int CADORecordset::IsFieldNull(const std::string& lpFieldName)
{
    return Guarded([&]() -> int {
            return FieldValue(lpFieldName).IsNull() ? 1 : 0;
    });
}

int CADORecordset::IsFieldEmpty(int nIndex)
{
    return Guarded([&]() -> int {
            return FieldValue(nIndex).IsEmptyOrNull() ? 1 : 0;
    });
}

int CADORecordset::IsFieldEmpty(const std::string& lpFieldName)
{
    return Guarded([&]() -> int {
            return FieldValue(lpFieldName).IsEmptyOrNull() ? 1 : 0;
    });
}

// ---- Writing -------------------------------------------------------------------------

int CADORecordset::PutFieldValue(const RVNADO::Variant& vtIndex, const RVNADO::Variant& vtField)
{
    if (m_nEditStatus == dbEditNone)
        return 0;
    return Guarded([&]() -> int {
            RVNADO::Recordset& rs = Deref(m_pRecordset);
            long index = 0;
            if (vtIndex.Kind() == RVNADO::VT_BSTR) {
                index = rs.FindField(vtIndex.GetString());
                if (index < 0)
                    throw ComError(RVNADO::Status::ItemNotFound, "RVNADO.Recordset",
                                   "There is no field named '" + vtIndex.GetString() + "' in the recordset.");
            } else {
                index = static_cast<long>(vtIndex.GetInt());
            }
            rs.PutCollect(index, vtField);
            return 1;
    });
}

using tqrvn::db::FromLong;
using tqrvn::db::FromText;
using tqrvn::db::FromULong;

#define TQRVN_SET_FIELD_VALUE(Type, Make)                                                                      \
    int CADORecordset::SetFieldValue(int nIndex, Type value)                                                   \
    {                                                                                                          \
        return PutFieldValue(Variant::I4(nIndex), Make);                                                      \
    }                                                                                                          \
    int CADORecordset::SetFieldValue(const std::string& lpFieldName, Type value)                               \
    {                                                                                                          \
        return PutFieldValue(Variant::Text(lpFieldName), Make);                                               \
    }

TQRVN_SET_FIELD_VALUE(int, Variant::I4(value))
TQRVN_SET_FIELD_VALUE(long, FromLong(value))
TQRVN_SET_FIELD_VALUE(unsigned long, FromULong(value))
TQRVN_SET_FIELD_VALUE(double, Variant::R8(value))
TQRVN_SET_FIELD_VALUE(const std::string&, FromText(value))
TQRVN_SET_FIELD_VALUE(const char*, FromText(value != nullptr ? std::string(value) : std::string()))
TQRVN_SET_FIELD_VALUE(bool, Variant::Bool(value))
TQRVN_SET_FIELD_VALUE(const RVNADO::Variant&, value)
#undef TQRVN_SET_FIELD_VALUE

namespace {

// A null date stores null; an invalid one is refused like an invalid amount.
bool DateVariant(const DateTime& d, Variant& out)
{
    if (d.GetStatus() == DateTime::invalid)
        return false;
    out = d.GetStatus() == DateTime::null ? Variant::Null() : Variant::Date(d);
    return true;
}

bool CurrencyVariant(const Currency& c, Variant& out)
{
    if (c.GetStatus() == Currency::invalid)
        return false;
    out = c.GetStatus() == Currency::null ? Variant::Null() : Variant::Cy(c);
    return true;
}

}  // namespace

int CADORecordset::SetFieldValue(int nIndex, const RVNADO::DateTime& time)
{
    Variant v;
    return DateVariant(time, v) ? PutFieldValue(Variant::I4(nIndex), v) : 0;
}

int CADORecordset::SetFieldValue(const std::string& lpFieldName, const RVNADO::DateTime& time)
{
    Variant v;
    return DateVariant(time, v) ? PutFieldValue(Variant::Text(lpFieldName), v) : 0;
}

int CADORecordset::SetFieldValue(int nIndex, const RVNADO::Currency& cyValue)
{
    Variant v;
    return CurrencyVariant(cyValue, v) ? PutFieldValue(Variant::I4(nIndex), v) : 0;
}

int CADORecordset::SetFieldValue(const std::string& lpFieldName, const RVNADO::Currency& cyValue)
{
    Variant v;
    return CurrencyVariant(cyValue, v) ? PutFieldValue(Variant::Text(lpFieldName), v) : 0;
}

int CADORecordset::SetFieldEmpty(int nIndex) { return PutFieldValue(Variant::I4(nIndex), Variant()); }

int CADORecordset::SetFieldEmpty(const std::string& lpFieldName)
{
    return PutFieldValue(Variant::Text(lpFieldName), Variant());
}
