// Numbers as column text, independent of the process locale.
#pragma once

#include "TQRVNBaseExport.h"

#include <string>

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
