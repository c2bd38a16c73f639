// Recordsets saved as XML files: writing and strict reading.
#include "db/provider/Persist.h"

#include <pugixml.hpp>

#include "db/NumberText.h"

#include <limits>
#include <string_view>
#include <cmath>
#include <cstring>

namespace RVNADO::detail {

namespace {

const char* const kRoot = "TQRVNRecordset";
const char* const kVersion = "1";
// More fields than this is not a recordset of this library.
constexpr std::size_t kMaxFields = 4096;

const char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

void AppendBase64(std::string& out, const std::string& in)
{
    std::size_t i = 0;
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(in[k]); };
    for (; i + 3 <= in.size(); i += 3) {
        const unsigned v = (byte(i) << 16) | (byte(i + 1) << 8) | byte(i + 2);
        out += kBase64[(v >> 18) & 63];
        out += kBase64[(v >> 12) & 63];
        out += kBase64[(v >> 6) & 63];
        out += kBase64[v & 63];
    }
    if (i + 1 == in.size()) {
        const unsigned v = byte(i) << 16;
        out += kBase64[(v >> 18) & 63];
        out += kBase64[(v >> 12) & 63];
        out += "==";
    } else if (i + 2 == in.size()) {
        const unsigned v = (byte(i) << 16) | (byte(i + 1) << 8);
        out += kBase64[(v >> 18) & 63];
        out += kBase64[(v >> 12) & 63];
        out += kBase64[(v >> 6) & 63];
        out += '=';
    }
}

int Base64Digit(char c)
{
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    if (c == '+')
        return 62;
    if (c == '/')
        return 63;
    return -1;
}

bool DecodeBase64(const char* s, std::string& out)
{
    const std::size_t n = std::strlen(s);
    if (n % 4 != 0)
        return false;
    out.clear();
    out.reserve(n / 4 * 3);
    for (std::size_t i = 0; i < n; i += 4) {
        int d[4];
        int pad = 0;
        for (int k = 0; k < 4; ++k) {
            const char c = s[i + static_cast<std::size_t>(k)];
            if (c == '=' && i + 4 == n && k >= 2) {
                d[k] = 0;
                ++pad;
                continue;
            }
            if (pad > 0)
                return false;  // data after padding
            d[k] = Base64Digit(c);
            if (d[k] < 0)
                return false;
        }
        const unsigned v = (static_cast<unsigned>(d[0]) << 18) | (static_cast<unsigned>(d[1]) << 12) |
                           (static_cast<unsigned>(d[2]) << 6) | static_cast<unsigned>(d[3]);
        out += static_cast<char>((v >> 16) & 0xFF);
        if (pad < 2)
            out += static_cast<char>((v >> 8) & 0xFF);
        if (pad < 1)
            out += static_cast<char>(v & 0xFF);
    }
    return true;
}

// True when the text passes through XML character data unchanged.
bool PlainText(const std::string& s)
{
    bool nonBlank = false;
    std::size_t i = 0;
    while (i < s.size()) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (c < 0x20 || c == 0x7F)
            return false;
        if (c != ' ')
            nonBlank = true;
        if (c < 0x80) {
            ++i;
            continue;
        }
        const int len = (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
        if (len == 0 || i + static_cast<std::size_t>(len) > s.size())
            return false;
        for (int k = 1; k < len; ++k)
            if ((static_cast<unsigned char>(s[i + static_cast<std::size_t>(k)]) & 0xC0) != 0x80)
                return false;
        i += static_cast<std::size_t>(len);
    }
    return nonBlank || s.empty();
}

void AppendEscaped(std::string& out, const std::string& s, bool attribute)
{
    for (char ch : s) {
        const unsigned char c = static_cast<unsigned char>(ch);
        switch (ch) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"':
            if (attribute)
                out += "&quot;";
            else
                out += ch;
            break;
        default:
            if (c < 0x20) {
                out += "&#";
                out += RVN::FormatInteger(c);
                out += ';';
            } else {
                out += ch;
            }
        }
    }
}

// Numbers of a saved file: the shortest text that reads back the same.
void AppendNumber(std::string& out, double v) { RVN::AppendNumber(out, v); }
void AppendNumber(std::string& out, float v) { out += RVN::FormatSingle(v); }

template <class T>
void AppendNumber(std::string& out, T v)
{
    static_assert(std::is_integral_v<T>);
    if constexpr (std::is_unsigned_v<T>)
        out += RVN::FormatUnsigned(v);
    else
        out += RVN::FormatInteger(v);
}

bool KnownKind(unsigned k)
{
    switch (k) {
    case VT_EMPTY: case VT_NULL: case VT_I2: case VT_I4: case VT_R4: case VT_R8: case VT_CY: case VT_DATE:
    case VT_BSTR: case VT_BOOL: case VT_DECIMAL: case VT_UI1: case VT_UI4: case VT_I8: case VT_UI8:
    case VT_INT: case VT_BYTES:
        return true;
    default:
        return false;
    }
}

void AppendValue(std::string& out, const Variant& v)
{
    out += "<V k=\"";
    AppendNumber(out, static_cast<unsigned>(v.Kind()));
    switch (v.Kind()) {
    case VT_EMPTY: case VT_NULL:
        out += "\"/>";
        return;
    case VT_BSTR:
        if (PlainText(v.GetString())) {
            out += "\">";
            AppendEscaped(out, v.GetString(), false);
        } else {
            out += "\" b=\"1\">";
            AppendBase64(out, v.GetString());
        }
        break;
    case VT_BYTES:
        out += "\" b=\"1\">";
        AppendBase64(out, v.GetString());
        break;
    case VT_R4:
        out += "\">";
        AppendNumber(out, static_cast<float>(v.GetDouble()));
        break;
    case VT_R8: case VT_DATE:
        out += "\">";
        AppendNumber(out, v.GetDouble());
        break;
    case VT_BOOL:
        out += v.GetBool() ? "\">1" : "\">0";
        break;
    case VT_DECIMAL: {
        const Decimal d = v.GetDecimal();
        out += "\">";
        AppendNumber(out, static_cast<unsigned>(d.scale));
        out += ' ';
        AppendNumber(out, static_cast<unsigned>(d.sign));
        out += ' ';
        AppendNumber(out, d.hi32);
        out += ' ';
        AppendNumber(out, d.lo64);
        break;
    }
    case VT_UI1: case VT_UI4: case VT_UI8:
        out += "\">";
        AppendNumber(out, v.GetUInt());
        break;
    default:  // the signed integer kinds and currency
        out += "\">";
        AppendNumber(out, v.GetInt());
        break;
    }
    out += "</V>";
}

// True when the text holds a character reference to U+0000 (&#0;,
// &#x00; ...).  A CDATA section or a comment holding such text is refused
// as well: this writer never writes either.
bool HoldsNulReference(const std::string& text)
{
    for (std::size_t at = text.find("&#"); at != std::string::npos; at = text.find("&#", at + 2)) {
        std::size_t i = at + 2;
        const bool hex = i < text.size() && text[i] == 'x';
        if (hex)
            ++i;
        const std::size_t first = i;
        while (i < text.size() && text[i] == '0')
            ++i;
        if (i > first && i < text.size() && text[i] == ';')
            return true;
    }
    return false;
}

[[noreturn]] void Damaged(const std::string& why)
{
    throw ComError(Status::ReadFile, "RVNADO.Recordset", "The file is not a saved recordset of this library: " + why + ".");
}

// A whole value of a saved file, by the library's number text (a finite
// number; an integer of the type's range).
bool ReadWhole(std::string_view s, double& out) { return RVN::ParseNumber(s, out); }

bool ReadWhole(std::string_view s, float& out)
{
    double d = 0;
    if (!RVN::ParseNumber(s, d))
        return false;
    out = static_cast<float>(d);  // beyond the float range: infinite, refused by the caller
    return true;
}

template <class T>
bool ReadWhole(std::string_view s, T& out)
{
    if constexpr (std::is_unsigned_v<T>) {
        unsigned long long v = 0;
        if (!RVN::ParseInteger(s, v) || v > std::numeric_limits<T>::max())
            return false;
        out = static_cast<T>(v);
    } else {
        long long v = 0;
        if (!RVN::ParseInteger(s, v) || v < std::numeric_limits<T>::min() || v > std::numeric_limits<T>::max())
            return false;
        out = static_cast<T>(v);
    }
    return true;
}

template <class T>
T IntAttribute(const pugi::xml_node& node, const char* name, const std::string& where)
{
    const pugi::xml_attribute a = node.attribute(name);
    T v{};
    if (!a || !ReadWhole(a.value(), v))
        Damaged(where + " has no valid " + name);
    return v;
}

Variant ReadValue(const pugi::xml_node& node, const std::string& where)
{
    const unsigned kind = IntAttribute<unsigned>(node, "k", where);
    if (!KnownKind(kind))
        Damaged(where + " has an unknown value kind");
    const char* text = node.child_value();
    std::string bytes;
    const bool base64 = std::strcmp(node.attribute("b").value(), "1") == 0;
    if (base64 && kind != VT_BSTR && kind != VT_BYTES)
        Damaged(where + " is encoded although its kind is not a text");
    if (base64 && !DecodeBase64(text, bytes))
        Damaged(where + " is not valid base64");
    auto bad = [&]() -> Variant { Damaged(where + " does not hold a value of its kind"); };
    std::int64_t i = 0;
    std::uint64_t u = 0;
    double d = 0.0;
    switch (kind) {
    case VT_EMPTY:
        return *text == '\0' ? Variant() : bad();
    case VT_NULL:
        return *text == '\0' ? Variant::Null() : bad();
    case VT_BSTR:
        return Variant::Text(base64 ? bytes : std::string(text));
    case VT_BYTES:
        if (!base64 && *text != '\0')
            return bad();
        return Variant::Bytes(bytes);
    case VT_R4: {
        float f = 0.0f;
        if (!ReadWhole(text, f) || !std::isfinite(f))
            return bad();
        return Variant::R4(f);
    }
    case VT_R8:
        if (!ReadWhole(text, d) || !std::isfinite(d))
            return bad();
        return Variant::R8(d);
    case VT_DATE:
        if (!ReadWhole(text, d) || !std::isfinite(d))
            return bad();
        return Variant::Date(DateTime(d));
    case VT_BOOL:
        if (std::strcmp(text, "1") == 0)
            return Variant::Bool(true);
        if (std::strcmp(text, "0") == 0)
            return Variant::Bool(false);
        return bad();
    case VT_CY:
        if (!ReadWhole(text, i))
            return bad();
        return Variant::Cy(Currency::FromScaled(i));
    case VT_DECIMAL: {
        unsigned scale = 0, sign = 0;
        std::uint32_t hi = 0;
        std::uint64_t lo = 0;
        const char* p = text;
        const char* end = text + std::strlen(text);
        // Unsigned parts separated by one blank, the last one ending the text.
        auto field = [&](auto& out, bool last) {
            const char* stop = last ? end : static_cast<const char*>(std::memchr(p, ' ', end - p));
            if (stop == nullptr || !ReadWhole(std::string_view(p, stop - p), out))
                return false;
            p = last ? end : stop + 1;
            return true;
        };
        if (!field(scale, false) || !field(sign, false) || !field(hi, false) || !field(lo, true) || scale > 28 ||
            (sign != 0 && sign != Decimal::negative))
            return bad();
        Decimal dec;
        dec.scale = static_cast<std::uint8_t>(scale);
        dec.sign = static_cast<std::uint8_t>(sign);
        dec.hi32 = hi;
        dec.lo64 = lo;
        return Variant::Dec(dec);
    }
    case VT_I2:
        if (!ReadWhole(text, i) || i < INT16_MIN || i > INT16_MAX)
            return bad();
        return Variant::I2(static_cast<std::int16_t>(i));
    case VT_I4:
        if (!ReadWhole(text, i) || i < INT32_MIN || i > INT32_MAX)
            return bad();
        return Variant::I4(static_cast<std::int32_t>(i));
    case VT_INT:
        if (!ReadWhole(text, i) || i < INT32_MIN || i > INT32_MAX)
            return bad();
        return Variant::Int(static_cast<int>(i));
    case VT_I8:
        if (!ReadWhole(text, i))
            return bad();
        return Variant::I8(i);
    case VT_UI1:
        if (!ReadWhole(text, u) || u > 255)
            return bad();
        return Variant::UI1(static_cast<std::uint8_t>(u));
    case VT_UI4:
        if (!ReadWhole(text, u) || u > UINT32_MAX)
            return bad();
        return Variant::UI4(static_cast<std::uint32_t>(u));
    case VT_UI8:
        if (!ReadWhole(text, u))
            return bad();
        return Variant::UI8(u);
    default:
        return bad();
    }
}

}  // namespace

std::string WriteRecordsetXml(const std::vector<SavedField>& fields, const std::vector<const Variant*>& rows)
{
    std::string out = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<TQRVNRecordset version=\"1\">\n<Fields>\n";
    for (const SavedField& f : fields) {
        out += "<Field name=\"";
        AppendEscaped(out, f.name, true);
        out += "\" type=\"";
        AppendNumber(out, static_cast<int>(f.type));
        out += "\" definedSize=\"";
        AppendNumber(out, f.definedSize);
        out += "\" attributes=\"";
        AppendNumber(out, f.attributes);
        out += "\" precision=\"";
        AppendNumber(out, f.precision);
        out += "\" scale=\"";
        AppendNumber(out, f.scale);
        out += "\"/>\n";
    }
    out += "</Fields>\n<Rows>\n";
    for (const Variant* row : rows) {
        out += "<R>";
        for (std::size_t i = 0; i < fields.size(); ++i)
            AppendValue(out, row[i]);
        out += "</R>\n";
    }
    out += "</Rows>\n</TQRVNRecordset>\n";
    return out;
}

void ReadRecordsetXml(std::string& text, std::vector<SavedField>& fields, std::vector<Variant>& cells,
                      long& rows)
{
    // A text holding the character U+0000, raw or as a reference, would
    // have a value cut short at it.
    if (text.find('\0') != std::string::npos || HoldsNulReference(text))
        Damaged("it holds the character U+0000");
    pugi::xml_document doc;
    // Whitespace and line ends stay as they were written; entities are
    // decoded.  No DOCTYPE is processed, so no outside file is read.
    const pugi::xml_parse_result parsed = doc.load_buffer_inplace(
        text.data(), text.size(), pugi::parse_cdata | pugi::parse_escapes, pugi::encoding_utf8);
    if (!parsed)
        Damaged(std::string("the XML is malformed (") + parsed.description() + " at byte " +
                RVN::FormatInteger(parsed.offset) + ")");
    const pugi::xml_node root = doc.document_element();
    if (std::strcmp(root.name(), kRoot) != 0)
        Damaged(std::string("its root element is <") + root.name() + ">, not <" + kRoot + ">");
    if (std::strcmp(root.attribute("version").value(), kVersion) != 0)
        Damaged("its version is not " + std::string(kVersion));
    const pugi::xml_node fieldList = root.child("Fields");
    const pugi::xml_node rowList = root.child("Rows");
    if (!fieldList || !rowList)
        Damaged("it has no field list or no row list");

    std::vector<SavedField> f;
    for (pugi::xml_node n = fieldList.first_child(); n; n = n.next_sibling()) {
        if (n.type() != pugi::node_element)
            continue;
        if (std::strcmp(n.name(), "Field") != 0)
            Damaged(std::string("the field list holds <") + n.name() + ">");
        if (f.size() == kMaxFields)
            Damaged("it has too many fields");
        const std::string where = "field " + RVN::FormatInteger(f.size() + 1);
        SavedField sf;
        const pugi::xml_attribute name = n.attribute("name");
        if (!name || *name.value() == '\0')
            Damaged(where + " has no name");
        sf.name = name.value();
        sf.type = static_cast<DataTypeEnum>(IntAttribute<int>(n, "type", where));
        sf.definedSize = IntAttribute<long>(n, "definedSize", where);
        sf.attributes = IntAttribute<long>(n, "attributes", where);
        sf.precision = IntAttribute<int>(n, "precision", where);
        sf.scale = IntAttribute<int>(n, "scale", where);
        f.push_back(std::move(sf));
    }
    if (f.empty())
        Damaged("it has no fields");

    std::vector<Variant> c;
    long count = 0;
    for (pugi::xml_node r = rowList.first_child(); r; r = r.next_sibling()) {
        if (r.type() != pugi::node_element)
            continue;
        if (std::strcmp(r.name(), "R") != 0)
            Damaged(std::string("the row list holds <") + r.name() + ">");
        ++count;
        std::size_t values = 0;
        for (pugi::xml_node v = r.first_child(); v; v = v.next_sibling()) {
            if (v.type() != pugi::node_element)
                continue;
            const std::string where = "row " + RVN::FormatInteger(count) + ", value " + RVN::FormatInteger(values + 1);
            if (std::strcmp(v.name(), "V") != 0 || values == f.size())
                Damaged(where + " is not a value of a field");
            c.push_back(ReadValue(v, where));
            ++values;
        }
        if (values != f.size())
            Damaged("row " + RVN::FormatInteger(count) + " has " + RVN::FormatInteger(values) + " values for " +
                    RVN::FormatInteger(f.size()) + " fields");
    }
    fields = std::move(f);
    cells = std::move(c);
    rows = count;
}

}  // namespace RVNADO::detail
