// A network file as JSON: a small reader of the JSON text (RFC 8259) into a
// tree of values, then the settings, segments and terminals taken from it by
// the same field readers as the CSV form.
#include "db/NumberText.h"
#include "network/NetworkInternal.h"

#include <iterator>
#include <memory>

namespace RVN {

namespace {

using detail::NetworkErrors;

struct JValue {
    enum Type { Null, Bool, Number, String, Array, Object } type = Null;
    std::string text; // a string's value, a number's text, "true" or "false"
    std::vector<std::pair<std::string, JValue>> members;
    std::vector<JValue> items;
    long line = 0;
};

// Nesting deeper than any network file needs is refused, so that a hostile
// text cannot exhaust the stack.
constexpr int kMaxDepth = 32;

class JsonParser {
public:
    explicit JsonParser(const std::string& text) : m_text(text) {}

    bool Parse(JValue& out, std::string& error) {
        if (m_text.compare(0, 3, "\xEF\xBB\xBF") == 0)
            m_pos = 3;
        bool ok = Value(out, 0);
        if (ok) {
            Blanks();
            ok = m_pos == m_text.size() || Fail("text after the end of the JSON value");
        }
        if (!ok)
            error = "line " + FormatInteger(m_line) + ": " + m_error;
        return ok;
    }

private:
    bool Fail(const std::string& what) {
        if (m_error.empty())
            m_error = what;
        return false;
    }
    void Blanks() {
        while (m_pos < m_text.size()) {
            const char c = m_text[m_pos];
            if (c == '\n')
                ++m_line;
            else if (c != ' ' && c != '\t' && c != '\r')
                return;
            ++m_pos;
        }
    }
    bool Literal(const char* word, JValue::Type type, JValue& out) {
        const std::string_view w(word);
        if (m_text.compare(m_pos, w.size(), w) != 0)
            return Fail("unexpected text");
        m_pos += w.size();
        out.type = type;
        out.text = std::string(w);
        return true;
    }
    bool Value(JValue& out, int depth) {
        if (depth > kMaxDepth)
            return Fail("nested too deeply");
        Blanks();
        out.line = m_line;
        if (m_pos >= m_text.size())
            return Fail("unexpected end of the text");
        switch (m_text[m_pos]) {
        case '{':
            return Object(out, depth);
        case '[':
            return Array(out, depth);
        case '"':
            out.type = JValue::String;
            return String(out.text);
        case 't':
            return Literal("true", JValue::Bool, out);
        case 'f':
            return Literal("false", JValue::Bool, out);
        case 'n':
            return Literal("null", JValue::Null, out);
        default:
            return Number(out);
        }
    }
    bool Number(JValue& out) {
        const std::size_t start = m_pos;
        while (m_pos < m_text.size() &&
               std::string_view("+-0123456789.eE").find(m_text[m_pos]) != std::string_view::npos)
            ++m_pos;
        out.type = JValue::Number;
        out.text = m_text.substr(start, m_pos - start);
        double v = 0;
        if (out.text.empty() || out.text[0] == '+' || !ParseNumber(out.text, v))
            return Fail(out.text.empty() ? "unexpected character"
                                         : "'" + out.text + "' is not a number");
        return true;
    }
    bool Hex4(unsigned& v) {
        v = 0;
        for (int i = 0; i < 4; ++i, ++m_pos) {
            if (m_pos >= m_text.size())
                return Fail("unterminated string");
            const char c = m_text[m_pos];
            const int d = c >= '0' && c <= '9'   ? c - '0'
                          : c >= 'a' && c <= 'f' ? c - 'a' + 10
                          : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                 : -1;
            if (d < 0)
                return Fail("bad \\u escape");
            v = v * 16 + unsigned(d);
        }
        return true;
    }
    static void Utf8(unsigned cp, std::string& out) {
        if (cp < 0x80) {
            out += char(cp);
        } else if (cp < 0x800) {
            out += char(0xC0 | (cp >> 6));
            out += char(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            out += char(0xE0 | (cp >> 12));
            out += char(0x80 | ((cp >> 6) & 0x3F));
            out += char(0x80 | (cp & 0x3F));
        } else {
            out += char(0xF0 | (cp >> 18));
            out += char(0x80 | ((cp >> 12) & 0x3F));
            out += char(0x80 | ((cp >> 6) & 0x3F));
            out += char(0x80 | (cp & 0x3F));
        }
    }
    bool Escape(std::string& out) {
        const char c = m_text[m_pos++];
        switch (c) {
        case '"':
        case '\\':
        case '/':
            out += c;
            return true;
        case 'b':
            out += '\b';
            return true;
        case 'f':
            out += '\f';
            return true;
        case 'n':
            out += '\n';
            return true;
        case 'r':
            out += '\r';
            return true;
        case 't':
            out += '\t';
            return true;
        case 'u':
            break;
        default:
            return Fail("bad escape in a string");
        }
        unsigned cp = 0;
        if (!Hex4(cp))
            return false;
        if (cp >= 0xD800 && cp < 0xDC00) {
            unsigned low = 0;
            if (m_text.compare(m_pos, 2, "\\u") != 0 || (m_pos += 2, !Hex4(low)) || low < 0xDC00 ||
                low > 0xDFFF)
                return Fail("a lone surrogate in a \\u escape");
            cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
        } else if (cp >= 0xDC00 && cp < 0xE000) {
            return Fail("a lone surrogate in a \\u escape");
        }
        if (cp == 0)
            return Fail("a string holds the character U+0000");
        Utf8(cp, out);
        return true;
    }
    bool String(std::string& out) {
        ++m_pos; // the opening quote
        while (m_pos < m_text.size()) {
            const char c = m_text[m_pos];
            if (c == '"') {
                ++m_pos;
                return true;
            }
            if (static_cast<unsigned char>(c) < 0x20)
                return Fail("a control character in a string");
            ++m_pos;
            if (c != '\\')
                out += c;
            else if (m_pos >= m_text.size() || !Escape(out))
                return Fail("unterminated string");
        }
        return Fail("unterminated string");
    }
    bool Array(JValue& out, int depth) {
        out.type = JValue::Array;
        ++m_pos;
        Blanks();
        if (m_pos < m_text.size() && m_text[m_pos] == ']')
            return ++m_pos, true;
        for (;;) {
            out.items.emplace_back();
            if (!Value(out.items.back(), depth + 1))
                return false;
            Blanks();
            if (m_pos < m_text.size() && m_text[m_pos] == ',') {
                ++m_pos;
                continue;
            }
            if (m_pos < m_text.size() && m_text[m_pos] == ']')
                return ++m_pos, true;
            return Fail("expected ',' or ']'");
        }
    }
    bool Object(JValue& out, int depth) {
        out.type = JValue::Object;
        ++m_pos;
        Blanks();
        if (m_pos < m_text.size() && m_text[m_pos] == '}')
            return ++m_pos, true;
        for (;;) {
            Blanks();
            if (m_pos >= m_text.size() || m_text[m_pos] != '"')
                return Fail("expected a member name in quotes");
            out.members.emplace_back();
            if (!String(out.members.back().first))
                return false;
            Blanks();
            if (m_pos >= m_text.size() || m_text[m_pos] != ':')
                return Fail("expected ':' after a member name");
            ++m_pos;
            if (!Value(out.members.back().second, depth + 1))
                return false;
            Blanks();
            if (m_pos < m_text.size() && m_text[m_pos] == ',') {
                ++m_pos;
                continue;
            }
            if (m_pos < m_text.size() && m_text[m_pos] == '}')
                return ++m_pos, true;
            return Fail("expected ',' or '}'");
        }
    }

    const std::string& m_text;
    std::size_t m_pos = 0;
    long m_line = 1;
    std::string m_error;
};

// The text a field reader takes: a string as it is, a number's digits, a
// boolean's word; null and the rest as empty (not given).
bool FieldText(const JValue& v, std::string& text) {
    if (v.type == JValue::Array || v.type == JValue::Object)
        return false;
    text = v.type == JValue::Null ? std::string() : v.text;
    return true;
}

bool Fittings(const JValue& v, CTQNetworkSegment& seg, std::string& message) {
    if (v.type != JValue::Object) {
        std::string text;
        return FieldText(v, text) ? detail::SetSegmentColumn(seg, "fitting", text, message)
                                  : (message = "expected an object of name to count", false);
    }
    seg.fittings.clear();
    for (const auto& [name, count] : v.members) {
        CTQFittingCount f;
        f.name = name;
        if (count.type != JValue::Number || !ParseInteger(count.text, f.count) || f.count < 1 ||
            f.count > 10000)
            return message = "the count of '" + name + "' must be a whole number from 1 to 10000",
                   false;
        seg.fittings.push_back(std::move(f));
    }
    return true;
}

void ReadSegment(const JValue& v, CTQNetwork& net, NetworkErrors& errors) {
    CTQNetworkSegment seg;
    seg.line = v.line;
    if (v.type != JValue::Object)
        return errors.Add(v.line, "", "segments", "expected an object per segment");
    for (const auto& [key, value] : v.members)
        if (key == "id" && value.type == JValue::String)
            seg.id = value.text;
    const std::string who = seg.id.empty() ? std::string() : "segment " + seg.id;
    for (const auto& [key, value] : v.members) {
        std::string text, message;
        const detail::ColumnKind kind = detail::KindOfColumn(key);
        bool ok = true;
        if (key == "fittings" || key == "fitting")
            ok = Fittings(value, seg, message);
        else if (kind == detail::ColumnKind::Result)
            continue;
        else if (kind != detail::ColumnKind::Segment)
            ok = false, message = "unknown member of a segment";
        else if (!FieldText(value, text))
            ok = false, message = "expected a string or a number";
        else
            ok = detail::SetSegmentColumn(seg, key, text, message);
        if (!ok)
            errors.Add(value.line, who, key, message);
    }
    net.segments.push_back(std::move(seg));
}

void ReadTerminal(const JValue& v, CTQNetwork& net, NetworkErrors& errors) {
    CTQNetworkTerminal term;
    term.line = v.line;
    if (v.type != JValue::Object)
        return errors.Add(v.line, "", "terminals", "expected an object per terminal");
    for (const auto& [key, value] : v.members) {
        std::string text, message;
        bool ok = FieldText(value, text);
        if (!ok)
            message = "expected a string or a number";
        else if (key == "node")
            term.node = text;
        else if (detail::KindOfColumn(key) == detail::ColumnKind::Terminal)
            ok = detail::SetTerminalColumn(term, key, text, message);
        else if (detail::KindOfColumn(key) != detail::ColumnKind::Result)
            ok = false, message = "unknown member of a terminal";
        if (!ok)
            errors.Add(value.line, term.node.empty() ? "" : "node " + term.node, key, message);
    }
    net.terminals.push_back(std::move(term));
}

void ReadTop(const JValue& root, CTQNetwork& net, NetworkErrors& errors) {
    std::string pipes;
    if (root.type != JValue::Object)
        return errors.Add(root.line, "", "", "expected a JSON object holding the network");
    for (const auto& [key, value] : root.members) {
        if (errors.Full())
            return;
        if (key == "segments" || key == "terminals") {
            if (value.type != JValue::Array) {
                errors.Add(value.line, "", key, "expected an array");
                continue;
            }
            for (const JValue& item : value.items)
                key == "segments" ? ReadSegment(item, net, errors)
                                  : ReadTerminal(item, net, errors);
            continue;
        }
        if (key == "results")
            continue;
        std::string text, message;
        if (!FieldText(value, text))
            errors.Add(value.line, "", key, "expected a string or a number");
        else if (!detail::SetNetworkSetting(net.settings, key, text, message, &pipes))
            errors.Add(value.line, "", key, message);
    }
    const std::string why = detail::PipesMismatch(net.settings, pipes);
    if (!why.empty())
        errors.Add(0, "", "pipes", why);
}

} // namespace

CTQNetworkOutcome<CTQNetwork> ReadNetworkJson(std::istream& in) {
    CTQNetworkOutcome<CTQNetwork> o;
    NetworkErrors errors(o.errors);
    try {
        const std::string text{std::istreambuf_iterator<char>(in),
                               std::istreambuf_iterator<char>()};
        JValue root;
        std::string error;
        if (!JsonParser(text).Parse(root, error))
            errors.Add(0, "", "", error);
        else
            ReadTop(root, o.value, errors);
    } catch (const std::exception& e) {
        errors.Add(0, "", "", e.what());
    }
    return o;
}

} // namespace RVN
