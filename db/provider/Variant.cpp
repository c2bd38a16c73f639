// Value types of the database provider.
#include "db/provider/Variant.h"

#include "db/NumberText.h"

#include <cmath>
#include <cstring>
#include <ctime>
#include <limits>

namespace RVNADO {

namespace {

// Serial day 0 (1899-12-30) counted from 1970-01-01.
constexpr std::int64_t kSerialEpochFromUnix = -25569;
// Serial days of 0100-01-01 and of 9999-12-31, the range of a valid date.
constexpr double kMinSerial = -657434.0;
constexpr double kMaxSerial = 2958466.0;  // exclusive: 10000-01-01

// Days from 1970-01-01 to the civil date (proleptic Gregorian calendar).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t z, int& y, int& m, int& d)
{
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t yy = static_cast<std::int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = static_cast<int>(yy + (m <= 2));
}

int DaysInMonth(int y, int m)
{
    static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (m == 2 && ((y % 4 == 0 && y % 100 != 0) || y % 400 == 0))
        return 29;
    return days[m - 1];
}

bool ReadDigits(const char*& p, const char* end, int count, int& out)
{
    if (end - p < count)
        return false;
    int v = 0;
    for (int i = 0; i < count; ++i) {
        if (p[i] < '0' || p[i] > '9')
            return false;
        v = v * 10 + (p[i] - '0');
    }
    p += count;
    out = v;
    return true;
}

void AppendPadded(std::string& s, long v, int width)
{
    const std::string digits = RVN::FormatInteger(v < 0 ? -static_cast<long long>(v) : v);
    if (v < 0)
        s += '-';
    for (int n = static_cast<int>(digits.size()); n < width; ++n)
        s += '0';
    s += digits;
}

using U128 = unsigned __int128;
constexpr U128 kMantissaLimit = static_cast<U128>(1) << 96;

U128 Mantissa(const Decimal& d) { return (static_cast<U128>(d.hi32) << 64) | d.lo64; }

void SetMantissa(Decimal& d, U128 m)
{
    d.lo64 = static_cast<std::uint64_t>(m);
    d.hi32 = static_cast<std::uint32_t>(m >> 64);
}

std::string ShortestDouble(double v) { return RVN::FormatNumber(v); }

}  // namespace

// ---- DateTime --------------------------------------------------------------

DateTime::DateTime(double serialDays) : m_serial(serialDays)
{
    if (!std::isfinite(serialDays) || serialDays < kMinSerial || serialDays >= kMaxSerial)
        m_status = invalid;
}

DateTime::DateTime(int year, int month, int day, int hour, int minute, int second)
{
    SetDateTime(year, month, day, hour, minute, second);
}

int DateTime::SetDateTime(int year, int month, int day, int hour, int minute, int second)
{
    if (year < 100 || year > 9999 || month < 1 || month > 12 || day < 1 ||
        day > DaysInMonth(year, month) || hour < 0 || hour > 23 || minute < 0 ||
        minute > 59 || second < 0 || second > 59) {
        m_status = invalid;
        return 1;
    }
    const std::int64_t days = DaysFromCivil(year, static_cast<unsigned>(month),
                                            static_cast<unsigned>(day)) -
                              kSerialEpochFromUnix;
    const double time = (hour * 3600.0 + minute * 60.0 + second) / 86400.0;
    // A negative serial counts days before the epoch while the fraction is
    // still the time of day, so the time is subtracted there.
    m_serial = days >= 0 ? static_cast<double>(days) + time : static_cast<double>(days) - time;
    m_status = valid;
    return 0;
}

bool DateTime::Split(Parts& p) const
{
    if (m_status != valid || !std::isfinite(m_serial) || m_serial < kMinSerial ||
        m_serial >= kMaxSerial)
        return false;
    std::int64_t days = static_cast<std::int64_t>(std::trunc(m_serial));
    long secs = std::lround(std::fabs(m_serial - static_cast<double>(days)) * 86400.0);
    if (secs >= 86400) {  // rounded up to midnight: the next calendar day
        secs -= 86400;
        days += 1;
    }
    CivilFromDays(days + kSerialEpochFromUnix, p.year, p.month, p.day);
    p.hour = static_cast<int>(secs / 3600);
    p.minute = static_cast<int>(secs / 60 % 60);
    p.second = static_cast<int>(secs % 60);
    return true;
}

int DateTime::GetYear() const { Parts p; return Split(p) ? p.year : 0; }
int DateTime::GetMonth() const { Parts p; return Split(p) ? p.month : 0; }
int DateTime::GetDay() const { Parts p; return Split(p) ? p.day : 0; }
int DateTime::GetHour() const { Parts p; return Split(p) ? p.hour : 0; }
int DateTime::GetMinute() const { Parts p; return Split(p) ? p.minute : 0; }
int DateTime::GetSecond() const { Parts p; return Split(p) ? p.second : 0; }

std::string DateTime::Format(const std::string& format) const
{
    if (m_status == null)
        return std::string();
    Parts p;
    if (!Split(p))
        return "Invalid DateTime";
    std::tm tm{};
    tm.tm_year = p.year - 1900;
    tm.tm_mon = p.month - 1;
    tm.tm_mday = p.day;
    tm.tm_hour = p.hour;
    tm.tm_min = p.minute;
    tm.tm_sec = p.second;
    const std::int64_t unixDays = DaysFromCivil(p.year, static_cast<unsigned>(p.month),
                                                static_cast<unsigned>(p.day));
    tm.tm_wday = static_cast<int>(((unixDays % 7) + 11) % 7);  // 1970-01-01 was a Thursday
    tm.tm_yday = static_cast<int>(unixDays - DaysFromCivil(p.year, 1, 1));
    tm.tm_isdst = -1;
    const std::string& fmt = format.empty() ? std::string("%Y-%m-%d %H:%M:%S") : format;
    std::string out(64 + fmt.size() * 4, '\0');
    for (;;) {
        const std::size_t n = std::strftime(out.data(), out.size(), fmt.c_str(), &tm);
        if (n > 0 || out.size() > 4096) {
            out.resize(n);
            return out;
        }
        out.resize(out.size() * 2);
    }
}

std::string DateTime::ToIsoText() const
{
    Parts p;
    if (!Split(p))
        return std::string();
    std::string s;
    s.reserve(19);
    AppendPadded(s, p.year, 4);
    s += '-';
    AppendPadded(s, p.month, 2);
    s += '-';
    AppendPadded(s, p.day, 2);
    s += ' ';
    AppendPadded(s, p.hour, 2);
    s += ':';
    AppendPadded(s, p.minute, 2);
    s += ':';
    AppendPadded(s, p.second, 2);
    return s;
}

bool DateTime::ParseIso(const std::string& text)
{
    const char* p = text.data();
    const char* end = p + text.size();
    while (p < end && *p == ' ')
        ++p;
    while (end > p && end[-1] == ' ')
        --end;
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
    if (!ReadDigits(p, end, 4, y) || p == end || *p++ != '-' || !ReadDigits(p, end, 2, mo) ||
        p == end || *p++ != '-' || !ReadDigits(p, end, 2, d))
        return false;
    if (p < end) {
        if (*p != ' ' && *p != 'T')
            return false;
        ++p;
        if (!ReadDigits(p, end, 2, h) || p == end || *p++ != ':' || !ReadDigits(p, end, 2, mi))
            return false;
        if (p < end) {
            if (*p++ != ':' || !ReadDigits(p, end, 2, s))
                return false;
            if (p < end) {  // fraction of a second, rounded away below a second
                if (*p++ != '.' || p == end)
                    return false;
                for (; p < end; ++p)
                    if (*p < '0' || *p > '9')
                        return false;
            }
        }
    }
    DateTime parsed;
    if (parsed.SetDateTime(y, mo, d, h, mi, s) != 0)
        return false;
    *this = parsed;
    return true;
}

DateTime DateTime::Null()
{
    DateTime d;
    d.m_status = null;
    return d;
}

DateTime DateTime::Invalid()
{
    DateTime d;
    d.m_status = invalid;
    return d;
}

// ---- Currency --------------------------------------------------------------

Currency::Currency(long units, long fractional)
{
    const long double v = static_cast<long double>(units) * 10000.0L + static_cast<long double>(fractional);
    if (std::fabs(v) >= 9.2233720368547758e18L) {
        m_status = invalid;
        return;
    }
    m_value = static_cast<std::int64_t>(v);
}

Currency Currency::FromScaled(std::int64_t tenThousandths)
{
    Currency c;
    c.m_value = tenThousandths;
    return c;
}

Currency Currency::FromDouble(double value)
{
    Currency c;
    const long double scaled = std::nearbyint(static_cast<long double>(value) * 10000.0L);
    if (!std::isfinite(value) || std::fabs(scaled) >= 9.2233720368547758e18L) {
        c.m_status = invalid;
        return c;
    }
    c.m_value = static_cast<std::int64_t>(scaled);
    return c;
}

Currency Currency::Null()
{
    Currency c;
    c.m_status = null;
    return c;
}

std::string Currency::ToText() const
{
    const bool neg = m_value < 0;
    const std::uint64_t mag = neg ? 0 - static_cast<std::uint64_t>(m_value) : static_cast<std::uint64_t>(m_value);
    std::string s = neg ? "-" : "";
    s += RVN::FormatUnsigned(mag / 10000);
    s += '.';
    AppendPadded(s, static_cast<long>(mag % 10000), 4);
    return s;
}

// ---- Decimal ---------------------------------------------------------------

double Decimal::ToDouble() const
{
    const double mantissa = static_cast<double>(hi32) * 18446744073709551616.0 + static_cast<double>(lo64);
    double v = mantissa / std::pow(10.0, scale);
    return (sign & negative) ? -v : v;
}

std::string Decimal::ToText() const
{
    U128 m = Mantissa(*this);
    std::string digits;
    do {
        digits.insert(digits.begin(), static_cast<char>('0' + static_cast<int>(m % 10)));
        m /= 10;
    } while (m != 0);
    if (scale > 0) {
        if (digits.size() <= scale)
            digits.insert(0, scale - digits.size() + 1, '0');
        digits.insert(digits.size() - scale, 1, '.');
    }
    const bool isZero = Mantissa(*this) == 0;
    return ((sign & negative) && !isZero) ? "-" + digits : digits;
}

bool Decimal::FromText(const std::string& text, Decimal& out)
{
    const char* p = text.data();
    const char* end = p + text.size();
    while (p < end && *p == ' ')
        ++p;
    while (end > p && end[-1] == ' ')
        --end;
    Decimal d;
    if (p < end && (*p == '-' || *p == '+')) {
        if (*p == '-')
            d.sign = negative;
        ++p;
    }
    U128 m = 0;
    int scale = 0;
    bool point = false, any = false;
    for (; p < end; ++p) {
        if (*p == '.' && !point) {
            point = true;
            continue;
        }
        if (*p < '0' || *p > '9')
            return false;
        any = true;
        m = m * 10 + static_cast<unsigned>(*p - '0');
        if (m >= kMantissaLimit)
            return false;
        if (point && ++scale > 28)
            return false;
    }
    if (!any)
        return false;
    d.scale = static_cast<std::uint8_t>(scale);
    SetMantissa(d, m);
    out = d;
    return true;
}

bool Decimal::FromDouble(double value, int scale, Decimal& out)
{
    if (!std::isfinite(value) || scale < 0 || scale > 28)
        return false;
    const long double m = std::nearbyint(std::fabs(static_cast<long double>(value)) *
                                         std::pow(10.0L, static_cast<long double>(scale)));
    if (m >= 79228162514264337593543950336.0L)  // 2^96
        return false;
    Decimal d;
    d.scale = static_cast<std::uint8_t>(scale);
    d.sign = value < 0 ? negative : 0;
    SetMantissa(d, static_cast<U128>(m));
    out = d;
    return true;
}

// ---- Variant ---------------------------------------------------------------

Variant Variant::Null() { return Variant(VT_NULL, 0); }

Variant Variant::UI8(std::uint64_t v) { return Variant(VT_UI8, static_cast<std::int64_t>(v)); }

Variant Variant::R4(float v)
{
    Variant r(VT_R4, 0);
    r.m_dbl = v;
    return r;
}

Variant Variant::R8(double v)
{
    Variant r(VT_R8, 0);
    r.m_dbl = v;
    return r;
}

Variant Variant::Bool(bool v) { return Variant(VT_BOOL, v ? 1 : 0); }

Variant Variant::Cy(const Currency& v) { return Variant(VT_CY, v.GetScaled()); }

Variant Variant::Date(const DateTime& v)
{
    Variant r(VT_DATE, 0);
    r.m_dbl = v.GetSerial();
    return r;
}

Variant Variant::Dec(const Decimal& v)
{
    Variant r(VT_DECIMAL, 0);
    r.m_dec = v;
    return r;
}

Variant Variant::Text(std::string v)
{
    Variant r(VT_BSTR, 0);
    r.m_str = std::move(v);
    return r;
}

Variant Variant::Bytes(std::string v)
{
    Variant r(VT_BYTES, 0);
    r.m_str = std::move(v);
    return r;
}

Variant Variant::Bytes(const std::vector<unsigned char>& v)
{
    return Bytes(std::string(v.begin(), v.end()));
}

bool Variant::IsInteger() const
{
    switch (m_kind) {
    case VT_I1: case VT_I2: case VT_I4: case VT_I8: case VT_INT:
    case VT_UI1: case VT_UI2: case VT_UI4: case VT_UI8: case VT_UINT:
        return true;
    default:
        return false;
    }
}

bool Variant::ToDouble(double& out) const
{
    switch (m_kind) {
    case VT_UI8:
        out = static_cast<double>(GetUInt());
        return true;
    case VT_R4: case VT_R8: case VT_DATE:
        out = m_dbl;
        return true;
    case VT_CY:
        out = static_cast<double>(m_int) / 10000.0;
        return true;
    case VT_DECIMAL:
        out = m_dec.ToDouble();
        return true;
    case VT_BOOL:
        out = m_int != 0 ? 1.0 : 0.0;
        return true;
    default:
        if (IsInteger()) {
            out = static_cast<double>(m_int);
            return true;
        }
        return false;
    }
}

std::string Variant::ToText() const
{
    switch (m_kind) {
    case VT_EMPTY: case VT_NULL:
        return std::string();
    case VT_UI8: case VT_UI4: case VT_UI2: case VT_UINT:
        return RVN::FormatUnsigned(GetUInt());
    case VT_R4:
        return RVN::FormatSingle(static_cast<float>(m_dbl));
    case VT_R8:
        return ShortestDouble(m_dbl);
    case VT_CY:
        return Currency::FromScaled(m_int).ToText();
    case VT_DATE:
        return GetDate().ToIsoText();
    case VT_DECIMAL:
        return m_dec.ToText();
    case VT_BOOL:
        return m_int != 0 ? "True" : "False";
    case VT_BSTR: case VT_BYTES:
        return m_str;
    default:
        if (IsInteger())
            return RVN::FormatInteger(m_int);
        return std::string();
    }
}

bool Variant::operator==(const Variant& o) const
{
    if (m_kind != o.m_kind)
        return false;
    switch (m_kind) {
    case VT_EMPTY: case VT_NULL:
        return true;
    case VT_R4: case VT_R8: case VT_DATE:
        return m_dbl == o.m_dbl;
    case VT_DECIMAL:
        return m_dec == o.m_dec;
    case VT_BSTR: case VT_BYTES:
        return m_str == o.m_str;
    default:
        return m_int == o.m_int;
    }
}

}  // namespace RVNADO
