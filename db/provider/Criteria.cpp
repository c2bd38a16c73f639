// Search criteria, filters and sort orders: parsing and evaluation.
#include "db/provider/Criteria.h"

#include "db/NumberText.h"

#include <cmath>
#include <cstring>

namespace RVNADO::detail {

namespace {

// Deeper nesting of parentheses than this is refused, so that a hostile
// filter text cannot exhaust the stack.
constexpr int kMaxDepth = 64;

char Fold(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v'; }

bool IsNameStart(char c)
{
    const unsigned char u = static_cast<unsigned char>(c);
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || u >= 0x80;
}

bool IsNameChar(char c) { return IsNameStart(c) || (c >= '0' && c <= '9'); }

std::string PositionText(std::size_t pos) { return RVN::FormatInteger(static_cast<long long>(pos) + 1); }

// Code points of a UTF-8 text, ASCII letters folded to lower case.  A byte
// that does not start a well-formed sequence stands for itself.
std::vector<std::uint32_t> FoldedCodePoints(const std::string& s)
{
    std::vector<std::uint32_t> out;
    out.reserve(s.size());
    std::size_t i = 0;
    while (i < s.size()) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        int len = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
        bool ok = len > 0 && i + static_cast<std::size_t>(len) <= s.size();
        for (int k = 1; ok && k < len; ++k)
            ok = (static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]) & 0xC0) == 0x80;
        if (!ok) {
            out.push_back(0x110000u + c);  // a stray byte: not equal to any character
            ++i;
            continue;
        }
        std::uint32_t cp = len == 1 ? c : len == 2 ? (c & 0x1Fu) : len == 3 ? (c & 0x0Fu) : (c & 0x07u);
        for (int k = 1; k < len; ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]) & 0x3Fu);
        if (cp >= 'A' && cp <= 'Z')
            cp += 'a' - 'A';
        out.push_back(cp);
        i += static_cast<std::size_t>(len);
    }
    return out;
}

int CompareNoCase(const std::string& a, const std::string& b)
{
    const std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char x = static_cast<unsigned char>(Fold(a[i]));
        const unsigned char y = static_cast<unsigned char>(Fold(b[i]));
        if (x != y)
            return x < y ? -1 : 1;
    }
    return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

int Compare3(double a, double b) { return a < b ? -1 : (a > b ? 1 : 0); }

// A number of a criterion or of a text value compared with one: the
// library's number text (one sign at most, no non-finite text), blanks
// around it allowed.
bool ParseNumber(const std::string& s, double& out) { return RVN::ParseNumber(RVN::TrimBlanks(s), out); }

// Reads unsigned decimal digits (1 to maxDigits of them).
bool ReadInt(const std::string& s, std::size_t& p, int maxDigits, int& out)
{
    const std::size_t start = p;
    out = 0;
    while (p < s.size() && s[p] >= '0' && s[p] <= '9' && static_cast<int>(p - start) < maxDigits)
        out = out * 10 + (s[p++] - '0');
    return p > start;
}

// The US date form M/D/YYYY with an optional time H:MM[:SS].
bool ParseUsDate(const std::string& s, DateTime& out)
{
    std::size_t p = 0;
    int m = 0, d = 0, y = 0, h = 0, mi = 0, sec = 0;
    if (!ReadInt(s, p, 2, m) || p >= s.size() || s[p++] != '/' || !ReadInt(s, p, 2, d) || p >= s.size() ||
        s[p++] != '/' || !ReadInt(s, p, 4, y))
        return false;
    if (p < s.size()) {
        if (s[p++] != ' ' || !ReadInt(s, p, 2, h) || p >= s.size() || s[p++] != ':' || !ReadInt(s, p, 2, mi))
            return false;
        if (p < s.size() && (s[p++] != ':' || !ReadInt(s, p, 2, sec)))
            return false;
    }
    if (p != s.size())
        return false;
    DateTime dt;
    if (dt.SetDateTime(y, m, d, h, mi, sec) != 0)
        return false;
    out = dt;
    return true;
}

bool ParseDate(const std::string& text, double& serial)
{
    std::size_t b = 0, e = text.size();
    while (b < e && IsSpace(text[b]))
        ++b;
    while (e > b && IsSpace(text[e - 1]))
        --e;
    const std::string s = text.substr(b, e - b);
    DateTime dt;
    if (!dt.ParseIso(s) && !ParseUsDate(s, dt))
        return false;
    if (dt.GetStatus() != DateTime::valid)
        return false;
    serial = dt.GetSerial();
    return true;
}

}  // namespace

class CriteriaParser {
public:
    CriteriaParser(const std::string& text, const FieldLookup& lookup, Criteria& out, const char* what = "criteria")
        : m_s(text), m_lookup(lookup), m_out(out), m_what(what)
    {
    }

    std::size_t Expression(int depth)
    {
        if (depth > kMaxDepth)
            Fail("parentheses are nested too deeply");
        std::size_t first = Term(depth);
        if (!Keyword("or"))
            return first;
        Criteria::Node any;
        any.kind = Criteria::Node::Any;
        any.children.push_back(first);
        do
            any.children.push_back(Term(depth));
        while (Keyword("or"));
        m_out.m_nodes.push_back(std::move(any));
        return m_out.m_nodes.size() - 1;
    }

    std::size_t Term(int depth)
    {
        std::size_t first = Factor(depth);
        if (!Keyword("and"))
            return first;
        Criteria::Node all;
        all.kind = Criteria::Node::All;
        all.children.push_back(first);
        do
            all.children.push_back(Factor(depth));
        while (Keyword("and"));
        m_out.m_nodes.push_back(std::move(all));
        return m_out.m_nodes.size() - 1;
    }

    std::size_t Factor(int depth)
    {
        SkipSpace();
        if (m_p < m_s.size() && m_s[m_p] == '(') {
            ++m_p;
            const std::size_t inner = Expression(depth + 1);
            SkipSpace();
            if (m_p >= m_s.size() || m_s[m_p] != ')')
                Fail("a closing parenthesis is missing");
            ++m_p;
            return inner;
        }
        return Leaf();
    }

    std::size_t Leaf()
    {
        Criteria::Node node;
        Criteria::Comparison& c = node.cmp;
        c.field = Field();
        SkipSpace();
        if (Keyword("is")) {
            const bool negated = Keyword("not");
            if (!Keyword("null"))
                Fail("IS must be followed by NULL or NOT NULL");
            c.op = negated ? Criteria::NotNull : Criteria::IsNull;
        } else {
            c.op = Operator();
            Value(c);
        }
        m_out.m_nodes.push_back(std::move(node));
        return m_out.m_nodes.size() - 1;
    }

    void End()
    {
        SkipSpace();
        if (m_p < m_s.size())
            Fail("unexpected text");
    }

    bool AtEnd()
    {
        SkipSpace();
        return m_p >= m_s.size();
    }

    [[noreturn]] void Fail(const std::string& why) const
    {
        throw ComError(Status::InvalidArgument, "RVNADO.Recordset",
                       std::string("The ") + m_what + " \"" + m_s + "\" cannot be used: " + why + " at character " +
                           PositionText(m_p) + ".");
    }

    long Field()
    {
        SkipSpace();
        std::string name;
        if (m_p < m_s.size() && m_s[m_p] == '[') {
            ++m_p;
            for (;;) {
                if (m_p >= m_s.size())
                    Fail("a closing bracket is missing");
                if (m_s[m_p] == ']') {
                    if (m_p + 1 < m_s.size() && m_s[m_p + 1] == ']') {
                        name += ']';
                        m_p += 2;
                        continue;
                    }
                    ++m_p;
                    break;
                }
                name += m_s[m_p++];
            }
        } else if (m_p < m_s.size() && IsNameStart(m_s[m_p])) {
            while (m_p < m_s.size() && IsNameChar(m_s[m_p]))
                name += m_s[m_p++];
        } else {
            Fail("a field name is expected");
        }
        const long index = m_lookup(name);
        if (index < 0)
            throw ComError(Status::ItemNotFound, "RVNADO.Recordset",
                           "There is no field named '" + name + "' in the recordset (" + m_what + " \"" + m_s + "\").");
        return index;
    }

    // True (and past it) when the next word is the keyword.
    bool Keyword(const char* word)
    {
        SkipSpace();
        const std::size_t n = std::strlen(word);
        if (m_s.size() - m_p < n)
            return false;
        for (std::size_t i = 0; i < n; ++i)
            if (Fold(m_s[m_p + i]) != word[i])
                return false;
        if (m_p + n < m_s.size() && IsNameChar(m_s[m_p + n]))
            return false;
        m_p += n;
        return true;
    }

    void SkipSpace()
    {
        while (m_p < m_s.size() && IsSpace(m_s[m_p]))
            ++m_p;
    }

    std::size_t Pos() const { return m_p; }
    void Comma() { ++m_p; }

private:
    Criteria::Op Operator()
    {
        SkipSpace();
        if (Keyword("like"))
            return Criteria::Like;
        auto next = [&](char c) { return m_p < m_s.size() && m_s[m_p] == c; };
        if (next('=')) {
            ++m_p;
            return Criteria::Eq;
        }
        if (next('<')) {
            ++m_p;
            if (next('>')) {
                ++m_p;
                return Criteria::Ne;
            }
            if (next('=')) {
                ++m_p;
                return Criteria::Le;
            }
            return Criteria::Lt;
        }
        if (next('>')) {
            ++m_p;
            if (next('=')) {
                ++m_p;
                return Criteria::Ge;
            }
            return Criteria::Gt;
        }
        Fail("a comparison operator (=, <>, <, >, <=, >= or LIKE) is expected");
    }

    void Value(Criteria::Comparison& c)
    {
        SkipSpace();
        if (m_p >= m_s.size())
            Fail("a value is expected");
        const char q = m_s[m_p];
        if (q == '\'') {
            ++m_p;
            std::string text;
            for (;;) {
                if (m_p >= m_s.size())
                    Fail("a closing quote is missing");
                if (m_s[m_p] == '\'') {
                    if (m_p + 1 < m_s.size() && m_s[m_p + 1] == '\'') {
                        text += '\'';
                        m_p += 2;
                        continue;
                    }
                    ++m_p;
                    break;
                }
                text += m_s[m_p++];
            }
            c.literal = Criteria::Text;
            c.text = std::move(text);
        } else if (q == '#') {
            const std::size_t start = ++m_p;
            while (m_p < m_s.size() && m_s[m_p] != '#')
                ++m_p;
            if (m_p >= m_s.size())
                Fail("a closing # is missing");
            const std::string text = m_s.substr(start, m_p - start);
            if (!ParseDate(text, c.number)) {
                m_p = start;
                Fail("#" + text + "# is not a date");
            }
            ++m_p;
            c.literal = Criteria::Date;
        } else if (Keyword("null")) {
            if (c.op != Criteria::Eq && c.op != Criteria::Ne)
                Fail("NULL can only be compared with = or <>");
            c.op = c.op == Criteria::Eq ? Criteria::IsNull : Criteria::NotNull;
            c.literal = Criteria::None;
            return;
        } else {
            const std::size_t start = m_p;
            while (m_p < m_s.size() && !IsSpace(m_s[m_p]) && m_s[m_p] != ')' && m_s[m_p] != '(')
                ++m_p;
            if (!ParseNumber(m_s.substr(start, m_p - start), c.number)) {
                m_p = start;
                Fail("a number, a quoted text or a #date# is expected");
            }
            c.literal = Criteria::Number;
        }
        if (c.op == Criteria::Like) {
            if (c.literal != Criteria::Text)
                Fail("LIKE needs a quoted text");
            c.pattern = FoldedCodePoints(c.text);
        }
    }

    const std::string& m_s;
    const FieldLookup& m_lookup;
    Criteria& m_out;
    const char* m_what;
    std::size_t m_p = 0;
};

Criteria Criteria::Parse(const std::string& text, const FieldLookup& lookup, bool logical)
{
    Criteria out;
    CriteriaParser p(text, lookup, out);
    if (p.AtEnd())
        p.Fail("the criteria are empty");
    out.m_root = logical ? p.Expression(0) : p.Leaf();
    if (!logical) {
        p.SkipSpace();
        if (!p.AtEnd())
            p.Fail("a search takes one comparison (AND, OR and parentheses belong in filters)");
    }
    p.End();
    return out;
}

namespace {

// -1, 0 or 1 comparing the value with the literal; false when they cannot
// be compared (a text that is not a number against a number, ...).
bool CompareLiteral(const Variant& v, const Criteria::Comparison& c, int& result)
{
    double d = 0.0;
    switch (c.literal) {
    case Criteria::Number:
    case Criteria::Date:
        if (v.Kind() == VT_BSTR) {
            if (c.literal == Criteria::Number ? !ParseNumber(v.GetString(), d) : !ParseDate(v.GetString(), d))
                return false;
        } else if (v.Kind() == VT_BYTES || !v.ToDouble(d)) {
            return false;
        }
        result = Compare3(d, c.number);
        return true;
    case Criteria::Text:
        if (v.Kind() == VT_BSTR) {
            result = CompareNoCase(v.GetString(), c.text);
            return true;
        }
        if (v.Kind() == VT_BYTES)
            return false;
        if (v.Kind() == VT_DATE) {
            double serial = 0.0;
            if (!ParseDate(c.text, serial))
                return false;
            result = Compare3(v.GetDouble(), serial);
            return true;
        }
        if (v.Kind() == VT_BOOL) {
            const std::string t = c.text;
            bool b = false;
            if (CompareNoCase(t, "true") == 0 || t == "1" || t == "-1")
                b = true;
            else if (CompareNoCase(t, "false") == 0 || t == "0")
                b = false;
            else
                return false;
            result = v.GetBool() == b ? 0 : (v.GetBool() ? 1 : -1);
            return true;
        }
        if (!v.ToDouble(d)) {
            return false;
        } else {
            double lit = 0.0;
            if (!ParseNumber(c.text, lit))
                return false;
            result = Compare3(d, lit);
            return true;
        }
    case Criteria::None:
        break;
    }
    return false;
}

}  // namespace

bool LikeMatch(const std::string& text, const std::vector<std::uint32_t>& pattern)
{
    const std::vector<std::uint32_t> t = FoldedCodePoints(text);
    // Greedy matching with one backtracking point, the last star seen.
    std::size_t ti = 0, pi = 0, starP = std::string::npos, starT = 0;
    while (ti < t.size()) {
        if (pi < pattern.size() && (pattern[pi] == '*' || pattern[pi] == '%')) {
            starP = pi++;
            starT = ti;
        } else if (pi < pattern.size() && (pattern[pi] == '?' || pattern[pi] == '_' || pattern[pi] == t[ti])) {
            ++pi;
            ++ti;
        } else if (starP != std::string::npos) {
            pi = starP + 1;
            ti = ++starT;
        } else {
            return false;
        }
    }
    while (pi < pattern.size() && (pattern[pi] == '*' || pattern[pi] == '%'))
        ++pi;
    return pi == pattern.size();
}

bool Criteria::Matches(const Variant* row) const
{
    if (m_nodes.empty())
        return true;
    // The depth of the walk is bounded by the nesting of parentheses, which
    // the parser limits.
    struct Walker {
        const Criteria& c;
        const Variant* row;
        bool Leaf(const Comparison& cmp) const
        {
            const Variant& v = row[cmp.field];
            if (cmp.op == IsNull)
                return v.IsEmptyOrNull();
            if (cmp.op == NotNull)
                return !v.IsEmptyOrNull();
            if (v.IsEmptyOrNull())
                return false;
            if (cmp.op == Like)
                return v.Kind() != VT_BYTES && LikeMatch(v.ToText(), cmp.pattern);
            int r = 0;
            if (!CompareLiteral(v, cmp, r))
                return false;
            switch (cmp.op) {
            case Eq: return r == 0;
            case Ne: return r != 0;
            case Lt: return r < 0;
            case Gt: return r > 0;
            case Le: return r <= 0;
            case Ge: return r >= 0;
            default: return false;
            }
        }
        bool Node(std::size_t i) const
        {
            const Criteria::Node& n = c.m_nodes[i];
            if (n.kind == Criteria::Node::Leaf)
                return Leaf(n.cmp);
            const bool all = n.kind == Criteria::Node::All;
            for (std::size_t k : n.children)
                if (Node(k) != all)
                    return !all;
            return all;
        }
    };
    return Walker{*this, row}.Node(m_root);
}

std::vector<SortKey> ParseSort(const std::string& text, const FieldLookup& lookup)
{
    std::vector<SortKey> keys;
    Criteria scratch;
    CriteriaParser p(text, lookup, scratch, "sort order");
    if (p.AtEnd())
        return keys;
    for (;;) {
        SortKey k;
        k.field = p.Field();
        if (p.Keyword("desc"))
            k.descending = true;
        else
            p.Keyword("asc");
        keys.push_back(k);
        p.SkipSpace();
        if (p.AtEnd())
            break;
        if (text[p.Pos()] != ',')
            p.Fail("a comma, ASC or DESC is expected");
        p.Comma();
    }
    return keys;
}

int CompareForSort(const Variant& a, const Variant& b)
{
    const bool an = a.IsEmptyOrNull(), bn = b.IsEmptyOrNull();
    if (an || bn)
        return an == bn ? 0 : (an ? -1 : 1);
    auto rank = [](const Variant& v) { return v.Kind() == VT_BYTES ? 2 : v.Kind() == VT_BSTR ? 1 : 0; };
    const int ra = rank(a), rb = rank(b);
    if (ra != rb)
        return ra < rb ? -1 : 1;
    if (ra == 1)
        return CompareNoCase(a.GetString(), b.GetString());
    if (ra == 2) {
        const int c = a.GetString().compare(b.GetString());
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    if (a.IsInteger() && b.IsInteger() && a.Kind() != VT_UI8 && b.Kind() != VT_UI8)
        return a.GetInt() < b.GetInt() ? -1 : (a.GetInt() > b.GetInt() ? 1 : 0);
    double x = 0.0, y = 0.0;
    a.ToDouble(x);
    b.ToDouble(y);
    return Compare3(x, y);
}

}  // namespace RVNADO::detail
