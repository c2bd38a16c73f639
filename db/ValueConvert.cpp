// Conversions of provider values to the layer's output types.
#include "db/ValueConvert.h"

#include "db/NumberText.h"

#include <climits>
#include <cmath>

namespace tqrvn::db {

using namespace RVNADO;

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
        // A text that holds a number (blanks around it allowed) gives it,
        // rounded; any other text gives 0.
        const std::string_view s = RVN::TrimBlanks(v.GetString());
        long long i = 0;
        if (RVN::ParseInteger(s, i)) {
            out = i;
            return true;
        }
        double d = 0.0;
        if (RVN::ParseNumber(s, d)) {
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
        // Stored text may hold a non-finite value written by the library.
        if (!RVN::ParseNumber(RVN::TrimBlanks(v.GetString()), d, RVN::TQNonFinite::Accept))
            d = 0.0;
        out = d;
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

}  // namespace tqrvn::db
