#include "db/NumberText.h"

#include <charconv>
#include <algorithm>
#include <cmath>
#include <limits>
#include <system_error>

namespace {

template <class T>
std::string Digits(T v)
{
    char buf[32];
    auto r = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, r.ptr);
}

// Six-decimal fixed-point text cut to `digits` decimals.
std::string FixedCut(double v, int digits)
{
    // A double has at most 309 integer digits; 330 leaves room for the sign,
    // the point and six decimals.
    char buf[330];
    auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 6);
    std::string text(buf, r.ptr);
    const std::size_t point = text.find('.');
    if (point == std::string::npos)
        return text;
    const std::size_t cut = digits == 0 ? point : point + 1 + static_cast<std::size_t>(digits);
    if (cut < text.size())
        text.resize(cut);
    return text;
}

}  // namespace

std::string IntToText(int nVal) { return Digits(nVal); }
std::string LongToText(long lVal) { return Digits(lVal); }
std::string ULongToText(unsigned long ulVal) { return Digits(ulVal); }

// Rounds half away from zero at `digits` decimals and writes the value with
// that many decimals (six at most).  The rounding is done once: on the scaled
// value, rounded to a whole number, for fewer than six digits; by the
// six-decimal conversion itself from six digits on.  (Adding the half unit
// and then converting to six decimals, without rounding the scaled value,
// would round twice: 2.0 at six digits would become "2.000001".)
std::string DoubleToText(double fVal, int digits)
{
    if (digits < 0)
        digits = 0;
    if (digits >= 6)
        return FixedCut(fVal, digits);
    const double p = std::pow(10.0, digits);
    const double v = fVal * p;
    if (!std::isfinite(v))
        return FixedCut(fVal, digits);  // too large to scale: nothing to round at that precision
    const double whole = v >= 0 ? std::floor(v + 0.5) : -std::floor(-v + 0.5);
    return FixedCut(whole / p, digits);
}

std::string FloatToText(float fVal)
{
    const float p = 1e10f;
    float v = fVal * p;
    if (std::isfinite(v)) {
        v += v >= 0 ? 0.5f : -0.5f;
        v /= p;
    } else {
        v = fVal;
    }
    return FixedCut(static_cast<double>(v), 10);
}

// ---- Number text of the library -------------------------------------------

namespace RVN {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool EqualsNoCase(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != b[i])
            return false;
    return true;
}

// Characters of the number syntax at the start of s: sign, digits with at
// most one point, an exponent when it has digits.  0 when there is none.
std::size_t ScanNumber(std::string_view s)
{
    std::size_t i = 0;
    const std::size_t n = s.size();
    if (i < n && (s[i] == '+' || s[i] == '-'))
        ++i;
    std::size_t digits = 0;
    while (i < n && IsDigit(s[i])) {
        ++i;
        ++digits;
    }
    if (i < n && s[i] == '.') {
        ++i;
        while (i < n && IsDigit(s[i])) {
            ++i;
            ++digits;
        }
    }
    if (digits == 0)
        return 0;
    if (i < n && (s[i] == 'e' || s[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < n && (s[j] == '+' || s[j] == '-'))
            ++j;
        std::size_t k = j;
        while (k < n && IsDigit(s[k]))
            ++k;
        if (k > j)
            i = k;
    }
    return i;
}

// Converts text that ScanNumber took whole.
bool ConvertScanned(std::string_view s, double& value)
{
    const bool plus = s.front() == '+';
    const char* first = s.data() + (plus ? 1 : 0);
    double v = 0.0;
    const auto r = std::from_chars(first, s.data() + s.size(), v);
    if (r.ec != std::errc() || r.ptr != s.data() + s.size() || !std::isfinite(v))
        return false;
    value = v;
    return true;
}

bool ParseNonFinite(std::string_view s, double& value)
{
    bool negative = false;
    if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    if (EqualsNoCase(s, "nan")) {
        value = negative ? -std::numeric_limits<double>::quiet_NaN() : std::numeric_limits<double>::quiet_NaN();
        return true;
    }
    if (EqualsNoCase(s, "inf") || EqualsNoCase(s, "infinity")) {
        value = negative ? -std::numeric_limits<double>::infinity() : std::numeric_limits<double>::infinity();
        return true;
    }
    return false;
}

template <class T>
bool ParseWhole(std::string_view text, T& value)
{
    if (text.empty())
        return false;
    const bool plus = text.front() == '+';
    if (plus)
        text.remove_prefix(1);
    if (text.empty() || (text.front() == '-' && (plus || text.size() == 1)) || text.front() == '+')
        return false;
    T v = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
    if (r.ec != std::errc() || r.ptr != text.data() + text.size())
        return false;
    value = v;
    return true;
}

}  // namespace

bool ParseNumber(std::string_view text, double& value, TQNonFinite nonFinite)
{
    if (text.empty())
        return false;
    if (ScanNumber(text) == text.size())
        return ConvertScanned(text, value);
    return nonFinite == TQNonFinite::Accept && ParseNonFinite(text, value);
}

bool ParseInteger(std::string_view text, long long& value) { return ParseWhole(text, value); }
bool ParseInteger(std::string_view text, long& value) { return ParseWhole(text, value); }
bool ParseInteger(std::string_view text, int& value) { return ParseWhole(text, value); }
bool ParseInteger(std::string_view text, unsigned long long& value)
{
    return !text.empty() && text.front() != '-' && ParseWhole(text, value);
}
bool ParseInteger(std::string_view text, unsigned& value)
{
    return !text.empty() && text.front() != '-' && ParseWhole(text, value);
}

std::size_t ParseNumberPrefix(std::string_view text, double& value)
{
    const std::size_t n = ScanNumber(text);
    if (n == 0 || !ConvertScanned(text.substr(0, n), value))
        return 0;
    return n;
}

std::string FormatNumber(double value)
{
    if (std::isnan(value))
        return "nan";
    if (std::isinf(value))
        return value > 0 ? "inf" : "-inf";
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, r.ptr);
}

void AppendNumber(std::string& out, double value)
{
    if (!std::isfinite(value)) {
        out += FormatNumber(value);
        return;
    }
    char buf[64];
    const auto r = std::to_chars(buf, buf + sizeof buf, value);
    out.append(buf, r.ptr);
}

std::string FormatInteger(long long value) { return Digits(value); }

std::string FormatUnsigned(unsigned long long value) { return Digits(value); }

std::string FormatSingle(float value)
{
    if (!std::isfinite(value))
        return FormatNumber(value);
    char buf[48];
    const auto r = std::to_chars(buf, buf + sizeof buf, value);
    return std::string(buf, r.ptr);
}

std::string FormatSignificant(double value, int digits)
{
    if (!std::isfinite(value))
        return FormatNumber(value);
    if (value == 0.0)
        return "0";
    if (digits < 1)
        digits = 1;
    const int exponent = static_cast<int>(std::floor(std::log10(std::fabs(value))));
    const int decimals = std::max(0, digits - 1 - exponent);
    if (decimals == 0 && std::fabs(value) < 1e15)
        return Digits(std::llround(value));
    const double scale = std::pow(10.0, decimals);
    if (!std::isfinite(scale))
        return FormatNumber(value);
    return FormatNumber(std::round(value * scale) / scale + 0.0);
}

std::string_view TrimBlanks(std::string_view text)
{
    const auto blank = [](char c) {
        return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v';
    };
    while (!text.empty() && blank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && blank(text.back()))
        text.remove_suffix(1);
    return text;
}

}  // namespace RVN
