// Numbers as column text, independent of the process locale.
#pragma once

#include "TQRVNBaseExport.h"

#include <string>
#include <string_view>

// Decimal digits, a leading minus sign when negative.
TQRVNBASE_API std::string IntToText(int nVal);
TQRVNBASE_API std::string LongToText(long lVal);
TQRVNBASE_API std::string ULongToText(unsigned long ulVal);

// The value rounded half away from zero at `digits` decimals, written with
// at most that many decimals: fixed-point text with six decimals, cut after
// the point plus `digits` characters (the point too for 0 digits), so 6 or
// more digits give all six decimals.  (-2.5, 2) -> "-2.50", (0.125, 2) ->
// "0.13", (2.5, 0) -> "3".  Negative digits count as 0; a value too large
// for the rounding step is written unrounded.
TQRVNBASE_API std::string DoubleToText(double fVal, int digits);

// The same rule with 10 digits, the rounding computed in single precision.
TQRVNBASE_API std::string FloatToText(float fVal);

// ---------------------------------------------------------------------------
// Number text of the library, its tools and its files: one set of rules for
// every reader and writer, independent of the process locale.
//
//  - A number is an optional sign ('+' or '-', one only: "+-1.5" and "--1"
//    are not numbers), digits with at most one decimal point ('.', never
//    ','), at least one digit, and an optional exponent ('e' or 'E', an
//    optional sign, digits): "1", "-0.5", "+2.", ".5", "1e-3".
//  - Blanks are not part of a number: text with blanks at either end is not
//    a number.  Readers of fields trim them first (TrimBlanks).
//  - Hexadecimal, digit grouping ("1,000", "1 000") and decimal commas are
//    not numbers.
//  - Non-finite values ("nan", "inf", "infinity", any case, with a sign) are
//    numbers only where the reader accepts them (values stored and read back
//    by the library); what a person types never is.
//  - A magnitude beyond the range of a double ("1e400") is not a number, nor
//    one that would read as zero or lose precision below it ("1e-400").
// ---------------------------------------------------------------------------

namespace RVN {

/// Whether a reader accepts "nan", "inf" and "infinity".
enum class TQNonFinite { Refuse, Accept };

/// Reads the whole of text as a number by the rules above.  False (value
/// unchanged) when it is not one.  Example: ParseNumber("-2.5e3", v) sets
/// v = -2500.
TQRVNBASE_API bool ParseNumber(std::string_view text, double& value,
                               TQNonFinite nonFinite = TQNonFinite::Refuse);

/// Reads the whole of text as a whole number: an optional sign and digits
/// only ("+12", "-3"; not "1.0", "1e3").  False (value unchanged) when it is
/// not one or does not fit the type.
TQRVNBASE_API bool ParseInteger(std::string_view text, long long& value);
TQRVNBASE_API bool ParseInteger(std::string_view text, long& value);
TQRVNBASE_API bool ParseInteger(std::string_view text, int& value);
/// The same for unsigned types: a '-' sign is refused ("-0" too).
TQRVNBASE_API bool ParseInteger(std::string_view text, unsigned long long& value);
TQRVNBASE_API bool ParseInteger(std::string_view text, unsigned& value);

/// The longest number at the start of text, by the same rules ("12.5mm"
/// gives 12.5 and 4): the count of characters it takes, 0 when text does not
/// begin with a number (value then unchanged).  For readers that take a
/// leading number and look at the rest themselves.
TQRVNBASE_API std::size_t ParseNumberPrefix(std::string_view text, double& value);

/// The shortest text that reads back as the same double ("0.1",
/// "99999.99999999999", "1e+300"); "nan", "inf" and "-inf" for non-finite
/// values; "-0" for negative zero.
TQRVNBASE_API std::string FormatNumber(double value);

/// FormatNumber appended to out, without a string of its own (for writers
/// of many numbers).
TQRVNBASE_API void AppendNumber(std::string& out, double value);

/// Decimal digits with a leading '-' when negative.
TQRVNBASE_API std::string FormatInteger(long long value);
/// Decimal digits of an unsigned value (the whole range of 64 bits).
TQRVNBASE_API std::string FormatUnsigned(unsigned long long value);
/// The shortest text that reads back (through a double) as the same float:
/// 0.1f gives "0.1", not the "0.10000000149011612" of its double.
TQRVNBASE_API std::string FormatSingle(float value);

/// The value rounded to `digits` significant digits for a person to read
/// (whole numbers from 10^digits up are rounded to units, never written with
/// an exponent below 1e15): (0.36437, 4) -> "0.3644", (1637.9, 4) ->
/// "1638", (65.512, 4) -> "65.51".  Non-finite values as FormatNumber.
TQRVNBASE_API std::string FormatSignificant(double value, int digits = 4);

/// text without the ASCII blanks (space, tab, CR, LF, FF, VT) at either end.
TQRVNBASE_API std::string_view TrimBlanks(std::string_view text);

}  // namespace RVN
