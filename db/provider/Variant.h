// Value types of the database provider: a tagged variant value, a calendar
// date-and-time, a fixed-point currency amount and a 96-bit decimal.
//
// Dates are serial day numbers (days since 1899-12-30 00:00, the fraction
// being the time of day), the representation desktop databases and their
// hosts exchange; currency amounts are 64-bit integers in units of 1/10000.
#pragma once

#include "TQRVNBaseExport.h"

#include <cstdint>
#include <string>
#include <vector>

namespace RVNADO {

// Kinds of a Variant, numbered as the platform variant types they replace.
enum VarType : std::uint16_t {
    VT_EMPTY = 0,
    VT_NULL = 1,
    VT_I2 = 2,
    VT_I4 = 3,
    VT_R4 = 4,
    VT_R8 = 5,
    VT_CY = 6,
    VT_DATE = 7,
    VT_BSTR = 8,
    VT_BOOL = 11,
    VT_DECIMAL = 14,
    VT_I1 = 16,
    VT_UI1 = 17,
    VT_UI2 = 18,
    VT_UI4 = 19,
    VT_I8 = 20,
    VT_UI8 = 21,
    VT_INT = 22,
    VT_UINT = 23,
    VT_ARRAY = 0x2000,
    VT_BYTES = VT_ARRAY | VT_UI1  // array of unsigned bytes: long binary data
};

// A calendar date and time of day.  Valid from 100-01-01 to 9999-12-31
// 23:59:59; the status tells a null value (no date) from an invalid one.
class TQRVNBASE_API DateTime {
public:
    enum DateTimeStatus { valid = 0, invalid = 1, null = 2 };

    DateTime() = default;  // 1899-12-30 00:00:00, valid
    explicit DateTime(double serialDays);
    DateTime(int year, int month, int day, int hour, int minute, int second);

    // Sets the date from its parts; returns 0 on success, 1 (and status
    // invalid) when a part is out of range.
    int SetDateTime(int year, int month, int day, int hour, int minute, int second);

    double GetSerial() const { return m_serial; }
    DateTimeStatus GetStatus() const { return m_status; }
    void SetStatus(DateTimeStatus status) { m_status = status; }

    // Parts of a valid date (0 for a date that is not valid).
    int GetYear() const;
    int GetMonth() const;
    int GetDay() const;
    int GetHour() const;
    int GetMinute() const;
    int GetSecond() const;

    // strftime-style text ("%Y-%m-%d %H:%M:%S" when the format is empty);
    // "" for a null date, "Invalid DateTime" for an invalid one.
    std::string Format(const std::string& format = std::string()) const;
    // "YYYY-MM-DD HH:MM:SS" in the C locale: the form dates are stored in.
    std::string ToIsoText() const;
    // Reads "YYYY-MM-DD", "YYYY-MM-DD HH:MM[:SS[.fff]]" or the same with a
    // 'T' separator.  Returns false (date untouched) for any other text.
    bool ParseIso(const std::string& text);

    static DateTime Null();
    static DateTime Invalid();

    bool operator==(const DateTime& o) const { return m_status == o.m_status && m_serial == o.m_serial; }

private:
    struct Parts {
        int year, month, day, hour, minute, second;
    };
    bool Split(Parts& parts) const;

    double m_serial = 0.0;
    DateTimeStatus m_status = valid;
};

// A currency amount: a 64-bit integer count of 1/10000 units.
class TQRVNBASE_API Currency {
public:
    enum CurrencyStatus { valid = 0, invalid = 1, null = 2 };

    Currency() = default;
    // units + fractional/10000 (for a negative amount both are negative).
    Currency(long units, long fractional);

    static Currency FromScaled(std::int64_t tenThousandths);
    // Nearest amount to a double; invalid when out of range or not finite.
    static Currency FromDouble(double value);
    static Currency Null();

    std::int64_t GetScaled() const { return m_value; }
    double ToDouble() const { return static_cast<double>(m_value) / 10000.0; }
    CurrencyStatus GetStatus() const { return m_status; }
    void SetStatus(CurrencyStatus status) { m_status = status; }
    // Fixed-point text with four decimals, C locale ("-12.3400").
    std::string ToText() const;

    bool operator==(const Currency& o) const { return m_status == o.m_status && m_value == o.m_value; }

private:
    std::int64_t m_value = 0;
    CurrencyStatus m_status = valid;
};

// A decimal number: a 96-bit unsigned mantissa, a power-of-ten scale from 0
// to 28 and a sign byte (0x80 for negative values).
struct TQRVNBASE_API Decimal {
    static constexpr std::uint8_t negative = 0x80;

    std::uint8_t scale = 0;
    std::uint8_t sign = 0;
    std::uint32_t hi32 = 0;  // bits 64..95 of the mantissa
    std::uint64_t lo64 = 0;  // bits 0..63 of the mantissa

    // The value from the whole 96-bit mantissa.
    double ToDouble() const;
    // Exact decimal text in the C locale ("-123.45").
    std::string ToText() const;
    // Exact reading of a decimal text with an optional sign, digits and an
    // optional point; false when the text is not such a number or needs more
    // than 96 bits or 28 decimals.
    static bool FromText(const std::string& text, Decimal& out);
    // The nearest decimal with the given scale; false when it does not fit.
    static bool FromDouble(double value, int scale, Decimal& out);

    bool operator==(const Decimal& o) const
    {
        return scale == o.scale && sign == o.sign && hi32 == o.hi32 && lo64 == o.lo64;
    }
};

// A tagged value of one of the kinds of VarType.  Integers are held in 64
// bits whatever their kind; text is UTF-8; long binary data is a byte string.
class TQRVNBASE_API Variant {
public:
    Variant() = default;  // empty

    static Variant Null();
    static Variant I2(std::int16_t v) { return Variant(VT_I2, static_cast<std::int64_t>(v)); }
    static Variant I4(std::int32_t v) { return Variant(VT_I4, static_cast<std::int64_t>(v)); }
    static Variant I8(std::int64_t v) { return Variant(VT_I8, v); }
    static Variant Int(int v) { return Variant(VT_INT, static_cast<std::int64_t>(v)); }
    static Variant UI1(std::uint8_t v) { return Variant(VT_UI1, static_cast<std::int64_t>(v)); }
    static Variant UI4(std::uint32_t v) { return Variant(VT_UI4, static_cast<std::int64_t>(v)); }
    static Variant UI8(std::uint64_t v);
    static Variant R4(float v);
    static Variant R8(double v);
    static Variant Bool(bool v);
    static Variant Cy(const Currency& v);
    static Variant Date(const DateTime& v);
    static Variant Dec(const Decimal& v);
    static Variant Text(std::string v);
    static Variant Bytes(std::string v);
    static Variant Bytes(const std::vector<unsigned char>& v);

    VarType Kind() const { return m_kind; }
    bool IsEmpty() const { return m_kind == VT_EMPTY; }
    bool IsNull() const { return m_kind == VT_NULL; }
    bool IsEmptyOrNull() const { return m_kind == VT_EMPTY || m_kind == VT_NULL; }
    bool IsInteger() const;  // I1..UI8, INT, UINT

    // Raw members; each is meaningful only for its kinds.
    std::int64_t GetInt() const { return m_int; }             // signed integer kinds
    std::uint64_t GetUInt() const { return static_cast<std::uint64_t>(m_int); }  // unsigned kinds
    double GetDouble() const { return m_dbl; }                // R4, R8, DATE (serial days)
    bool GetBool() const { return m_int != 0; }               // BOOL
    std::int64_t GetCyScaled() const { return m_int; }        // CY
    DateTime GetDate() const { return DateTime(m_dbl); }      // DATE
    Decimal GetDecimal() const { return m_dec; }              // DECIMAL
    const std::string& GetString() const { return m_str; }    // BSTR, BYTES
    // Appends to the text or the bytes of a BSTR or BYTES value (long data
    // written in pieces); other kinds are left as they are.
    void AppendString(const std::string& more)
    {
        if (m_kind == VT_BSTR || m_kind == VT_BYTES)
            m_str += more;
    }

    // The value as a double for the numeric kinds, dates (serial days) and
    // Booleans (1 or 0); false for the other kinds.
    bool ToDouble(double& out) const;
    // A display text for every kind ("" for empty and null).
    std::string ToText() const;

    bool operator==(const Variant& o) const;
    bool operator!=(const Variant& o) const { return !(*this == o); }

private:
    Variant(VarType kind, std::int64_t v) : m_kind(kind), m_int(v) {}

    VarType m_kind = VT_EMPTY;
    std::int64_t m_int = 0;
    double m_dbl = 0.0;
    Decimal m_dec;
    std::string m_str;
};

// The names these types have in the Windows toolchain.
using _variant_t = Variant;
using COleDateTime = DateTime;
using COleCurrency = Currency;

}  // namespace RVNADO
