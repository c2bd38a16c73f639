#include "db/CsvReader.h"

#include "db/NumberText.h"
#include "db/TextEncoding.h"

namespace RVN {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

bool HasNonAscii(const std::string& s)
{
    for (char c : s)
        if (static_cast<unsigned char>(c) >= 0x80)
            return true;
    return false;
}

}  // namespace

CTQCsvReader::CTQCsvReader(std::istream& in) : m_in(in) {}

CTQCsvReader::CTQCsvReader(std::istream& in, const Options& options) : m_in(in), m_options(options) {}

bool CTQCsvReader::Fail(long line, const std::string& what)
{
    m_errorLine = line;
    m_errorWhat = what;
    m_error = "line " + FormatInteger(line) + ": " + what;
    return false;
}

// One physical line without its LF (and without a CR before it); false at
// the end of the text.
bool CTQCsvReader::ReadLine(std::string& line)
{
    line.clear();
    if (!std::getline(m_in, line)) {
        if (line.empty())
            return false;
    }
    ++m_line;
    m_lineHadCr = !line.empty() && line.back() == '\r';
    if (m_lineHadCr)
        line.pop_back();
    if (m_first) {
        m_first = false;
        if (line.compare(0, 3, "\xEF\xBB\xBF") == 0)
            line.erase(0, 3);
    }
    return true;
}

// Brings a line to UTF-8, deciding the file's encoding at its first line
// beyond ASCII.
bool CTQCsvReader::Decode(std::string& line)
{
    if (!HasNonAscii(line))
        return true;
    if (m_mode == Mode::Undecided) {
        if (IsValidUtf8(line))
            m_mode = Mode::Utf8;
        else if (m_options.encoding == Encoding::Utf8OrGb18030)
            m_mode = Mode::Gb18030;
        else
            return Fail(m_line, "the text is not UTF-8 (byte " + FormatInteger(static_cast<long long>(InvalidUtf8At(line)) + 1) +
                                    "); save the file as UTF-8");
    }
    if (m_mode == Mode::Utf8) {
        if (!IsValidUtf8(line)) {
            const std::string how = m_options.encoding == Encoding::Utf8OrGb18030
                                        ? "; the lines before are UTF-8, so the file mixes encodings"
                                        : "; save the file as UTF-8";
            return Fail(m_line, "the text is not UTF-8" + how);
        }
        return true;
    }
    std::string converted;
    if (!Gb18030ToUtf8(line, converted))
        return Fail(m_line, "the text is neither UTF-8 nor GBK/GB18030; save the file as UTF-8 "
                            "(e.g. iconv -f GB18030 -t UTF-8 FILE > FILE.utf8)");
    line = std::move(converted);
    return true;
}

bool CTQCsvReader::Next(std::vector<CTQCsvField>& fields)
{
    // The fields' strings are reused from record to record.
    std::size_t count = 0;
    const auto finish = [&](bool ok) {
        fields.resize(ok ? count : 0);
        return ok;
    };
    if (!m_error.empty())
        return finish(false);
    std::string& line = m_buffer;
    // The first line of the record, skipping blank and comment lines.
    for (;;) {
        if (!ReadLine(line))
            return finish(false);
        if (!Decode(line))
            return finish(false);
        const std::string_view t = TrimBlanks(line);
        if (t.empty() || (m_options.comment != 0 && t.front() == m_options.comment))
            continue;
        break;
    }
    m_recordLine = m_line;
    std::size_t bytes = line.size();
    std::size_t i = 0;
    for (;;) {
        if (count == fields.size())
            fields.emplace_back();
        CTQCsvField& f = fields[count++];
        f.text.clear();
        f.quoted = false;
        if (m_options.trimUnquoted)
            while (i < line.size() && IsBlank(line[i]))
                ++i;
        if (i < line.size() && line[i] == '"') {
            f.quoted = true;
            const long opened = m_line;
            ++i;
            for (;;) {
                if (i >= line.size()) {  // the field goes on on the next line
                    const bool crlf = m_lineHadCr;
                    if (!ReadLine(line))
                        return finish(Fail(opened, "unterminated quoted field"));
                    if (!Decode(line))
                        return finish(false);
                    bytes += line.size() + 1;
                    if (bytes > kMaxRecordBytes)
                        return finish(Fail(m_recordLine, "a record longer than 1 MiB"));
                    f.text += crlf ? "\r\n" : "\n";
                    i = 0;
                    continue;
                }
                const char c = line[i++];
                if (c == '"') {
                    if (i < line.size() && line[i] == '"') {
                        f.text += '"';
                        ++i;
                        continue;
                    }
                    break;
                }
                f.text += c;
            }
            while (i < line.size() && line[i] != ',') {
                if (!(m_options.trimUnquoted && IsBlank(line[i])))
                    return finish(Fail(m_line, "text after the closing quote of a field"));
                ++i;
            }
        } else {
            const std::size_t end = std::min(line.find(',', i), line.size());
            std::string_view text(line.data() + i, end - i);
            if (text.find('"') != std::string_view::npos)
                return finish(Fail(m_line, "quote inside an unquoted field"));
            if (m_options.trimUnquoted)
                text = TrimBlanks(text);
            f.text.assign(text);
            i = end;
        }
        if (i >= line.size())
            return finish(true);
        ++i;  // the comma
    }
}

bool CTQCsvReader::Next(std::vector<std::string>& fields)
{
    if (!Next(m_fields)) {
        fields.clear();
        return false;
    }
    fields.resize(m_fields.size());
    for (std::size_t k = 0; k < m_fields.size(); ++k)
        fields[k].assign(m_fields[k].text);
    return true;
}

}  // namespace RVN
