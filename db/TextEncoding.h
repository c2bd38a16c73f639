// Text encodings met in engineers' files: UTF-8, the GBK/GB18030 text that
// spreadsheet programs write on Chinese systems, and the full-width forms of
// Chinese input methods.
#pragma once

#include "TQRVNBaseExport.h"

#include <string>
#include <string_view>

namespace RVN {

/// True when text is well-formed UTF-8 (no overlong forms, no surrogates,
/// nothing above U+10FFFF).
TQRVNBASE_API bool IsValidUtf8(std::string_view text);

/// The position of the first byte that is not part of well-formed UTF-8,
/// text.size() when there is none.
TQRVNBASE_API std::size_t InvalidUtf8At(std::string_view text);

/// text with every byte sequence that is not well-formed UTF-8 replaced by
/// U+FFFD, so that it can go into JSON or XML.
TQRVNBASE_API std::string ValidUtf8(std::string_view text);

/// Converts GB18030 text (of which GBK and GB2312 are subsets) to UTF-8.
/// False when text is not GB18030 (out is then unchanged).
TQRVNBASE_API bool Gb18030ToUtf8(std::string_view text, std::string& out);

/// text with the full-width forms of ASCII characters (U+FF01 to U+FF5E:
/// "６０", "＝", "；", "ｍ３／ｈ") and the ideographic space U+3000 replaced by
/// their ASCII forms, and the minus sign U+2212 by '-'.  Other characters
/// stay as they are.  Example: "６０．５ ｋＷ" -> "60.5 kW".
TQRVNBASE_API std::string FoldFullWidth(std::string_view text);

/// Appends text as a JSON string: in double quotes, with '"', '\\' and the
/// control characters escaped (\n, \r, \t, else \u00XX), and every byte
/// that is not part of valid UTF-8 written as U+FFFD, so that the output is
/// valid JSON and valid UTF-8 whatever the text.  The one JSON string writer
/// of the library and its tools.
TQRVNBASE_API void AppendJsonString(std::string& out, std::string_view text);

}  // namespace RVN
