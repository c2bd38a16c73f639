// CADORecordset: field descriptions, reading and writing field values.
#include "db/ADORecordset.h"

#include "db/NumberText.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <cstring>
#include <new>

using RVNADO::ComError;
using RVNADO::Deref;
using RVNADO::Variant;

namespace {

// A whole number from a value for the integer outputs; false when the value
// does not fit a 64-bit integer.  Kinds that are not numbers give what a
// reader would expect: a Boolean 1 or 0, a number written as text its
// value, other text and binary data 0.
bool ToInt64(const Variant& v, std::int64_t& out)
{
    using namespace RVNADO;
    switch (v.Kind()) {
    case VT_EMPTY: case VT_NULL:
        out = 0;
        return true;
    case VT_UI8: case VT_UINT:
        if (v.GetUInt() > static_cast<std::uint64_t>(INT64_MAX))
            return false;
        out = static_cast<std::int64_t>(v.GetUInt());
        return true;
    case VT_BOOL:
        out = v.GetBool() ? 1 : 0;
        return true;
    case VT_BSTR: {
        const std::string& s = v.GetString();
        std::int64_t i = 0;
        auto r = std::from_chars(s.data(), s.data() + s.size(), i);
        if (r.ec == std::errc() && r.ptr == s.data() + s.size()) {
            out = i;
            return true;
        }
        double d = 0.0;
        auto rd = std::from_chars(s.data(), s.data() + s.size(), d);
        if (rd.ec == std::errc() && rd.ptr == s.data() + s.size() && std::isfinite(d)) {
            d = std::nearbyint(d);
            if (d < -9.2233720368547758e18 || d >= 9.2233720368547758e18)
                return false;
            out = static_cast<std::int64_t>(d);
            return true;
        }
        out = 0;
        return true;
    }
    case VT_BYTES:
        out = 0;
        return true;
    default:
        if (v.IsInteger()) {
            out = v.GetInt();
            return true;
        }
        double d = 0.0;
        if (!v.ToDouble(d) || !std::isfinite(d))
            return false;
        d = v.Kind() == VT_DATE ? std::trunc(d) : std::nearbyint(d);
        if (d < -9.2233720368547758e18 || d >= 9.2233720368547758e18)
            return false;
        out = static_cast<std::int64_t>(d);
        return true;
    }
}

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

namespace {

using namespace RVNADO;

int Convert(const Variant& v, double& out)
{
    if (v.IsEmptyOrNull()) {
        out = 0.0;
        return 1;
    }
    double d = 0.0;
    if (v.ToDouble(d)) {  // every number kind, the date's serial day, a Boolean as 1 or 0
        out = d;
        return 1;
    }
    if (v.Kind() == VT_BSTR) {
        const std::string& s = v.GetString();
        auto r = std::from_chars(s.data(), s.data() + s.size(), d);
        out = r.ec == std::errc() && r.ptr == s.data() + s.size() ? d : 0.0;
        return 1;
    }
    out = 0.0;  // binary data
    return 1;
}

int Convert(const Variant& v, long& out)
{
    std::int64_t i = 0;
    if (!ToInt64(v, i))
        return 0;
    out = static_cast<long>(i);
    return 1;
}

int Convert(const Variant& v, unsigned long& out)
{
    if (v.Kind() == VT_UI8 || v.Kind() == VT_UINT) {
        out = static_cast<unsigned long>(v.GetUInt());
        return 1;
    }
    std::int64_t i = 0;
    if (!ToInt64(v, i) || i < 0)
        return 0;
    out = static_cast<unsigned long>(i);
    return 1;
}

int Convert(const Variant& v, int& out)
{
    std::int64_t i = 0;
    if (!ToInt64(v, i) || i < INT_MIN || i > INT_MAX)
        return 0;
    out = static_cast<int>(i);
    return 1;
}

int Convert(const Variant& v, bool& out)
{
    if (v.IsEmptyOrNull()) {
        out = false;
        return 1;
    }
    if (v.Kind() != VT_BOOL)
        return 0;
    out = v.GetBool();
    return 1;
}

int Convert(const Variant& v, DateTime& out)
{
    if (v.IsEmptyOrNull()) {
        out.SetStatus(DateTime::null);
        return 1;
    }
    if (v.Kind() != VT_DATE)
        return 0;
    out = v.GetDate();
    return 1;
}

int Convert(const Variant& v, Currency& out)
{
    if (v.IsEmptyOrNull()) {
        out = Currency::FromScaled(0);
        out.SetStatus(Currency::null);
        return 1;
    }
    if (v.Kind() != VT_CY)
        return 0;
    out = Currency::FromScaled(v.GetCyScaled());
    return 1;
}

int Convert(const Variant& v, std::string& out, const std::string& dateFormat)
{
    switch (v.Kind()) {
    case VT_EMPTY: case VT_NULL:
        out.clear();
        return 1;
    case VT_I1: case VT_I2: case VT_UI1: case VT_UI2: case VT_INT:
        out = IntToText(static_cast<int>(v.GetInt()));
        return 1;
    case VT_I4: case VT_I8:
        out = LongToText(static_cast<long>(v.GetInt()));
        return 1;
    case VT_UI4: case VT_UI8: case VT_UINT:
        out = ULongToText(static_cast<unsigned long>(v.GetUInt()));
        return 1;
    case VT_R4:
        out = FloatToText(static_cast<float>(v.GetDouble()));
        return 1;
    case VT_R8:
        out = DoubleToText(v.GetDouble(), 20);
        return 1;
    case VT_DECIMAL:
        out = DoubleToText(v.GetDecimal().ToDouble(), 20);
        return 1;
    case VT_DATE:
        out = v.GetDate().Format(dateFormat);
        return 1;
    case VT_BSTR:
        out = v.GetString();
        return 1;
    default:
        return 0;
    }
}

}  // namespace

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
    try {
        return Convert(FieldValue(nIndex), strValue, strDateFormat);
    } catch (const ComError& e) {
        dump_com_error(e);
    } catch (const std::exception& e) {
        RecordError(e);
    }
    return 0;
}

int CADORecordset::GetFieldValue(const std::string& lpFieldName, std::string& strValue,
                                 const std::string& strDateFormat)
{
    try {
        return Convert(FieldValue(lpFieldName), strValue, strDateFormat);
    } catch (const ComError& e) {
        dump_com_error(e);
    } catch (const std::exception& e) {
        RecordError(e);
    }
    return 0;
}

int CADORecordset::GetFieldValue(int nIndex, RVNADO::Variant& vtValue)
{
    try {
        vtValue = FieldValue(nIndex);
        return 1;
    } catch (const ComError& e) {
        dump_com_error(e);
    } catch (const std::exception& e) {
        RecordError(e);
    }
    return 0;
}

int CADORecordset::GetFieldValue(const std::string& lpFieldName, RVNADO::Variant& vtValue)
{
    try {
        vtValue = FieldValue(lpFieldName);
        return 1;
    } catch (const ComError& e) {
        dump_com_error(e);
    } catch (const std::exception& e) {
        RecordError(e);
    }
    return 0;
}

int CADORecordset::IsFieldNull(int nIndex)
{
    try {
        return FieldValue(nIndex).IsNull() ? 1 : 0;
    } catch (const ComError& e) {
        dump_com_error(e);
    } catch (const std::exception& e) {
        RecordError(e);
    }
    return 0;
}

int CADORecordset::IsFieldNull(const std::string& lpFieldName)
{
    try {
        return FieldValue(lpFieldName).IsNull() ? 1 : 0;
    } catch (const ComError& e) {
        dump_com_error(e);
    } catch (const std::exception& e) {
        RecordError(e);
    }
    return 0;
}

int CADORecordset::IsFieldEmpty(int nIndex)
{
    try {
        return FieldValue(nIndex).IsEmptyOrNull() ? 1 : 0;
    } catch (const ComError& e) {
        dump_com_error(e);
    } catch (const std::exception& e) {
        RecordError(e);
    }
    return 0;
}

int CADORecordset::IsFieldEmpty(const std::string& lpFieldName)
{
    try {
        return FieldValue(lpFieldName).IsEmptyOrNull() ? 1 : 0;
    } catch (const ComError& e) {
        dump_com_error(e);
    } catch (const std::exception& e) {
        RecordError(e);
    }
    return 0;
}

// ---- Writing -------------------------------------------------------------------------

int CADORecordset::PutFieldValue(const RVNADO::Variant& vtIndex, const RVNADO::Variant& vtField)
{
    if (m_nEditStatus == dbEditNone)
        return 0;
    try {
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
    } catch (const ComError& e) {
        dump_com_error(e);
    } catch (const std::exception& e) {
        RecordError(e);
    }
    return 0;
}

namespace {

Variant FromLong(long v)
{
    if (v >= INT32_MIN && v <= INT32_MAX)
        return Variant::I4(static_cast<std::int32_t>(v));
    return Variant::I8(v);
}

Variant FromULong(unsigned long v)
{
    if (v <= UINT32_MAX)
        return Variant::UI4(static_cast<std::uint32_t>(v));
    return Variant::UI8(v);
}

Variant FromText(const std::string& s) { return s.empty() ? Variant::Null() : Variant::Text(s); }

}  // namespace

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
