#include "db/NumberText.h"

#include <charconv>
#include <cmath>

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
