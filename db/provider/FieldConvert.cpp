// Field values to and from the values an engine stores.
#include "db/provider/FieldConvert.h"

#include "db/NumberText.h"
#include "db/provider/ProviderText.h"

#include <cmath>
#include <cstdint>

namespace RVNADO::detail {

namespace {

std::string Trimmed(const char* p, std::size_t n) {
    while (n > 0 && *p == ' ') {
        ++p;
        --n;
    }
    while (n > 0 && p[n - 1] == ' ')
        --n;
    return std::string(p, n);
}

bool ParseBool(const std::string& s, bool& out) {
    static const char* const yes[] = {"true", "yes", "on", "1", "-1"};
    static const char* const no[] = {"false", "no", "off", "0"};
    for (const char* w : yes)
        if (EqualsNoCase(w, s)) {
            out = true;
            return true;
        }
    for (const char* w : no)
        if (EqualsNoCase(w, s)) {
            out = false;
            return true;
        }
    return false;
}

bool IsIntegerType(DataTypeEnum t) {
    return t == adSmallInt || t == adInteger || t == adBigInt || t == adUnsignedTinyInt ||
           t == adUnsignedInt || t == adTinyInt || t == adUnsignedSmallInt || t == adUnsignedBigInt;
}

bool IsTextType(DataTypeEnum t) {
    return t == adVarWChar || t == adLongVarWChar || t == adWChar || t == adChar ||
           t == adVarChar || t == adLongVarChar || t == adBSTR || t == adGUID;
}

Variant IntegerVariant(std::int64_t v, DataTypeEnum t) {
    switch (t) {
    case adSmallInt:
        if (v >= INT16_MIN && v <= INT16_MAX)
            return Variant::I2(static_cast<std::int16_t>(v));
        break;
    case adUnsignedTinyInt:
        if (v >= 0 && v <= 255)
            return Variant::UI1(static_cast<std::uint8_t>(v));
        break;
    case adUnsignedInt:
        if (v >= 0 && v <= static_cast<std::int64_t>(UINT32_MAX))
            return Variant::UI4(static_cast<std::uint32_t>(v));
        break;
    case adBigInt:
        return Variant::I8(v);
    default:
        break;
    }
    if (v >= INT32_MIN && v <= INT32_MAX)
        return Variant::I4(static_cast<std::int32_t>(v));
    return Variant::I8(v);
}

} // namespace

Variant ToVariant(const Raw& r, const ColumnInfo& c) {
    if (r.type == StoredType::Null)
        return Variant::Null();
    const DataTypeEnum t = c.expression ? adVariant : c.type;
    if (r.type == StoredType::Blob)
        return Variant::Bytes(std::string(r.p, r.n));
    if (IsIntegerType(t)) {
        if (r.type == StoredType::Integer)
            return IntegerVariant(r.i, t);
    } else if (t == adSingle || t == adDouble) {
        if (r.type == StoredType::Integer)
            return t == adSingle ? Variant::R4(static_cast<float>(r.i))
                                 : Variant::R8(static_cast<double>(r.i));
        if (r.type == StoredType::Real)
            return t == adSingle ? Variant::R4(static_cast<float>(r.d)) : Variant::R8(r.d);
    } else if (t == adCurrency) {
        if (r.type == StoredType::Integer || r.type == StoredType::Real) {
            const Currency cy = Currency::FromDouble(
                r.type == StoredType::Integer ? static_cast<double>(r.i) : r.d);
            if (cy.GetStatus() == Currency::valid)
                return Variant::Cy(cy);
        }
    } else if (t == adDecimal) {
        Decimal d;
        if (r.type == StoredType::Integer && Decimal::FromText(IntText(r.i), d)) {
            if (c.scale == 0 ||
                Decimal::FromText(
                    IntText(r.i) + "." + std::string(static_cast<std::size_t>(c.scale), '0'), d))
                return Variant::Dec(d);
        } else if (r.type == StoredType::Real && Decimal::FromDouble(r.d, c.scale, d)) {
            return Variant::Dec(d);
        } else if (r.type == StoredType::Text && Decimal::FromText(std::string(r.p, r.n), d)) {
            return Variant::Dec(d);
        }
    } else if (t == adDate) {
        if (r.type == StoredType::Text) {
            DateTime dt;
            if (dt.ParseIso(std::string(r.p, r.n)))
                return Variant::Date(dt);
        } else {
            return Variant::Date(
                DateTime(r.type == StoredType::Integer ? static_cast<double>(r.i) : r.d));
        }
    } else if (t == adBoolean) {
        if (r.type == StoredType::Integer)
            return Variant::Bool(r.i != 0);
        if (r.type == StoredType::Real)
            return Variant::Bool(r.d != 0.0);
        bool b = false;
        if (ParseBool(Trimmed(r.p, r.n), b))
            return Variant::Bool(b);
    } else if (IsTextType(t)) {
        if (r.type == StoredType::Integer)
            return Variant::Text(IntText(r.i));
        if (r.type == StoredType::Real)
            return Variant::Text(RVN::FormatNumber(r.d));
    } else if (IsBinaryType(t)) {
        if (r.type == StoredType::Text)
            return Variant::Bytes(std::string(r.p, r.n));
    }
    switch (r.type) {
    case StoredType::Integer:
        return IntegerVariant(r.i, adInteger);
    case StoredType::Real:
        return Variant::R8(r.d);
    default:
        return Variant::Text(std::string(r.p, r.n));
    }
}

namespace {

[[noreturn]] void ThrowCantConvert(const ColumnInfo& c, const std::string& why) {
    throw ComError(Status::CantConvertValue, kFieldSource,
                   "The value cannot be stored in the field '" + c.name + "': " + why + ".");
}

std::int64_t WholeFromDouble(double d, const ColumnInfo& c) {
    d = std::nearbyint(d);
    if (!std::isfinite(d) || d < -9.2233720368547758e18 || d >= 9.2233720368547758e18)
        ThrowCantConvert(c, "the number is out of range");
    return static_cast<std::int64_t>(d);
}

Stored CoerceWhole(const Variant& v, const ColumnInfo& c, DataTypeEnum t) {
    const VarType k = v.Kind();
    std::int64_t x = 0;
    double d = 0.0;
    if (k == VT_UI8 || k == VT_UINT) {
        if (v.GetUInt() > static_cast<std::uint64_t>(INT64_MAX))
            ThrowCantConvert(c, "the number is out of range");
        x = static_cast<std::int64_t>(v.GetUInt());
    } else if (v.IsInteger() || k == VT_BOOL) {
        x = k == VT_BOOL ? (v.GetBool() ? 1 : 0) : v.GetInt();
    } else if (k == VT_BSTR) {
        const std::string s = Trimmed(v.GetString().data(), v.GetString().size());
        long long whole = 0;
        if (RVN::ParseInteger(s, whole))
            x = whole;
        else if (RVN::ParseNumber(s, d, RVN::TQNonFinite::Accept))
            x = WholeFromDouble(d, c);
        else
            ThrowCantConvert(c, "the text \"" + v.GetString() + "\" is not a number");
    } else if (k != VT_DATE && v.ToDouble(d)) {
        x = WholeFromDouble(d, c);
    } else {
        ThrowCantConvert(c, "the field holds whole numbers");
    }
    bool inRange = true;
    if (t == adSmallInt)
        inRange = x >= INT16_MIN && x <= INT16_MAX;
    else if (t == adUnsignedTinyInt)
        inRange = x >= 0 && x <= 255;
    else if (t == adUnsignedInt)
        inRange = x >= 0 && x <= static_cast<std::int64_t>(UINT32_MAX);
    if (!inRange)
        ThrowCantConvert(c, "the number " + IntText(x) + " is out of the field's range");
    return Stored::Int(x);
}

Stored CoerceReal(const Variant& v, const ColumnInfo& c, DataTypeEnum t) {
    const VarType k = v.Kind();
    double d = 0.0;
    if (k == VT_BSTR) {
        if (!RVN::ParseNumber(Trimmed(v.GetString().data(), v.GetString().size()), d,
                              RVN::TQNonFinite::Accept))
            ThrowCantConvert(c, "the text \"" + v.GetString() + "\" is not a number");
    } else if (!v.ToDouble(d) || k == VT_DATE) {
        ThrowCantConvert(c, "the field holds numbers");
    }
    if (!std::isfinite(d))
        ThrowCantConvert(c, "the number is not finite");
    if (t == adSingle)
        d = static_cast<float>(d);
    else if (t == adCurrency) {
        const Currency cy =
            k == VT_CY ? Currency::FromScaled(v.GetCyScaled()) : Currency::FromDouble(d);
        if (cy.GetStatus() != Currency::valid)
            ThrowCantConvert(c, "the amount is out of range");
        d = cy.ToDouble();
    }
    return Stored::Real(d);
}

Stored CoerceDecimal(const Variant& v, const ColumnInfo& c) {
    const VarType k = v.Kind();
    if (v.IsInteger() || k == VT_BOOL)
        return Stored::Int(k == VT_BOOL ? (v.GetBool() ? 1 : 0) : v.GetInt());
    if (k == VT_DECIMAL)
        return Stored::Text(v.GetDecimal().ToText());
    if (k == VT_CY)
        return Stored::Text(Currency::FromScaled(v.GetCyScaled()).ToText());
    if (k == VT_R4 || k == VT_R8) {
        if (!std::isfinite(v.GetDouble()))
            ThrowCantConvert(c, "the number is not finite");
        return Stored::Real(v.GetDouble());
    }
    if (k == VT_BSTR) {
        Decimal d;
        if (!Decimal::FromText(v.GetString(), d))
            ThrowCantConvert(c, "the text \"" + v.GetString() + "\" is not a decimal number");
        return Stored::Text(d.ToText());
    }
    ThrowCantConvert(c, "the field holds decimal numbers");
}

Stored CoerceDate(const Variant& v, const ColumnInfo& c) {
    const VarType k = v.Kind();
    DateTime dt;
    if (k == VT_BSTR) {
        if (!dt.ParseIso(v.GetString()))
            ThrowCantConvert(c, "the text \"" + v.GetString() + "\" is not a date");
    } else if (k == VT_DATE || k == VT_R8 || k == VT_R4 || v.IsInteger()) {
        double serial = 0.0;
        v.ToDouble(serial);
        dt = DateTime(serial);
    } else {
        ThrowCantConvert(c, "the field holds dates");
    }
    if (dt.GetStatus() != DateTime::valid)
        ThrowCantConvert(c, "the date is out of range");
    return Stored::Text(dt.ToIsoText());
}

Stored CoerceBool(const Variant& v, const ColumnInfo& c) {
    const VarType k = v.Kind();
    bool b = false;
    double d = 0.0;
    if (k == VT_BSTR) {
        if (!ParseBool(Trimmed(v.GetString().data(), v.GetString().size()), b))
            ThrowCantConvert(c, "the text \"" + v.GetString() + "\" is not a yes/no value");
    } else if (k != VT_DATE && v.ToDouble(d)) {
        b = d != 0.0;
    } else {
        ThrowCantConvert(c, "the field holds yes/no values");
    }
    return Stored::Int(b ? 1 : 0);
}

// A column without declared type keeps the value's own kind.
Stored KeepKind(const Variant& v, const ColumnInfo& c) {
    const VarType k = v.Kind();
    switch (k) {
    case VT_R4:
    case VT_R8:
        return Stored::Real(v.GetDouble());
    case VT_CY:
        return Stored::Real(static_cast<double>(v.GetCyScaled()) / 10000.0);
    case VT_BOOL:
        return Stored::Int(v.GetBool() ? 1 : 0);
    case VT_BYTES:
        return Stored::Blob(v.GetString());
    case VT_BSTR:
    case VT_DATE:
    case VT_DECIMAL:
        return Stored::Text(v.ToText());
    default:
        if (k == VT_UI8 && v.GetUInt() > static_cast<std::uint64_t>(INT64_MAX))
            ThrowCantConvert(c, "the number is out of range");
        return Stored::Int(v.GetInt());
    }
}

} // namespace

Stored Coerce(const Variant& v, const ColumnInfo& c) {
    if (v.IsEmptyOrNull())
        return Stored();
    const DataTypeEnum t = c.expression ? adVariant : c.type;
    const VarType k = v.Kind();
    if (IsIntegerType(t))
        return CoerceWhole(v, c, t);
    if (t == adSingle || t == adDouble || t == adCurrency)
        return CoerceReal(v, c, t);
    if (t == adDecimal)
        return CoerceDecimal(v, c);
    if (t == adDate)
        return CoerceDate(v, c);
    if (t == adBoolean)
        return CoerceBool(v, c);
    if (IsBinaryType(t)) {
        if (k == VT_BYTES || k == VT_BSTR)
            return Stored::Blob(v.GetString());
        ThrowCantConvert(c, "the field holds binary data");
    }
    if (IsTextType(t)) {
        std::string s = k == VT_BSTR || k == VT_BYTES ? v.GetString() : v.ToText();
        if (c.sized && Utf8Length(s) > static_cast<std::size_t>(c.definedSize))
            throw ComError(kDataOverflow, kFieldSource,
                           "The text is longer than the " + IntText(c.definedSize) +
                               " characters of the field '" + c.name + "'.");
        return Stored::Text(std::move(s));
    }
    return KeepKind(v, c);
}

std::string IntText(std::int64_t v) {
    return RVN::FormatInteger(v);
}

bool IsBinaryType(DataTypeEnum t) {
    return t == adLongVarBinary || t == adVarBinary || t == adBinary;
}

} // namespace RVNADO::detail
