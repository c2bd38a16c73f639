// The one reader of comma-separated text of the library and its tools: the
// seed tables of a catalog, batch files of segments, network files.
#pragma once

#include "TQRVNBaseExport.h"

#include <istream>
#include <string>
#include <vector>

namespace RVN {

/// One field of a record: its text and whether it was quoted (a quoted
/// empty field "" is an empty text, an unquoted one may stand for nothing).
struct CTQCsvField {
    std::string text;
    bool quoted = false;
};

/// Reads records of RFC 4180 text from a stream, one at a time, so that the
/// memory used does not grow with the number of records:
///  - fields separated by ',', records by LF or CRLF (a CR before the LF is
///    not part of the last field); a field in double quotes may hold commas,
///    line breaks (kept as they stand, LF or CRLF) and doubled quotes (""
///    for one "); a quote inside an unquoted field is an error;
///  - a UTF-8 byte-order mark at the start is skipped;
///  - blank lines are skipped, and, when a comment character is set, lines
///    whose first non-blank character it is;
///  - the text is UTF-8; with Encoding::Utf8OrGb18030 a file whose first line
///    beyond ASCII is not UTF-8 is read as GB18030 (GBK, what spreadsheet
///    programs write on Chinese systems) and converted to UTF-8.
/// Errors (an unterminated quote, text after a closing quote, text in
/// neither encoding, a record over 1 MiB) end the reading: Next returns
/// false and Error() says what, at which line.
class TQRVNBASE_API CTQCsvReader {
public:
    enum class Encoding { Utf8, Utf8OrGb18030 };

    struct Options {
        Encoding encoding = Encoding::Utf8;
        char comment = 0;            ///< 0: no comment lines
        bool trimUnquoted = false;   ///< blanks around unquoted fields (and around quotes) dropped
    };

    explicit CTQCsvReader(std::istream& in);
    CTQCsvReader(std::istream& in, const Options& options);

    /// The next record; false at the end of the text or on an error (then
    /// Error() is not empty).
    bool Next(std::vector<CTQCsvField>& fields);
    /// The same with the texts only.
    bool Next(std::vector<std::string>& fields);

    /// Line (from 1) on which the record last read begins.
    long Line() const { return m_recordLine; }
    /// What stopped the reading, with its line ("line 7: unterminated
    /// quoted field"); empty at the end of the text.
    const std::string& Error() const { return m_error; }
    /// The line the error names and what it says without the line ("unterminated
    /// quoted field"), for callers that name the file too.
    long ErrorLine() const { return m_errorLine; }
    const std::string& ErrorWhat() const { return m_errorWhat; }
    /// True once the text was found to be GB18030 and is being converted.
    bool IsGb18030() const { return m_mode == Mode::Gb18030; }

    /// The largest record accepted, bytes.
    static constexpr std::size_t kMaxRecordBytes = 1 << 20;

private:
    enum class Mode { Undecided, Utf8, Gb18030 };
    bool ReadLine(std::string& line);
    bool Decode(std::string& line);
    bool Fail(long line, const std::string& what);

    std::istream& m_in;
    Options m_options;
    Mode m_mode = Mode::Undecided;
    long m_line = 0;
    long m_recordLine = 0;
    bool m_first = true;
    std::string m_error;
    std::string m_errorWhat;
    long m_errorLine = 0;
    bool m_lineHadCr = false;  // the last line read ended in CRLF
    std::string m_buffer;
    std::vector<CTQCsvField> m_fields;  // reused by the text-only Next
};

}  // namespace RVN
