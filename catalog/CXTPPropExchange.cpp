// The XML property exchange on pugixml.
//
// Layout: every section is an element <Section Name="...">, every item of a
// sequence an element <Item Name="...">, every value an element
// <Value Key="..." Type="...">text</Value>, all in the order exchanged.
// Names and keys live in attributes, so any text may serve as a name.
//
// Loading keeps a cursor on the last value found in a section and looks for
// the next key from there on, wrapping around once: records read their keys
// in the order they wrote them, so each lookup costs a step and loading a
// document takes time in proportion to its size.

#include "catalog/CXTPPropExchange.h"

#include "catalog/XmlInput.h"
#include "db/AtomicFile.h"
#include "db/NumberText.h"

#include <pugixml.hpp>

#include <climits>
#include <cstdint>
#include <unordered_map>

namespace {

constexpr const char* kSectionTag = "Section";
constexpr const char* kItemTag = "Item";
constexpr const char* kValueTag = "Value";
constexpr const char* kNameAttr = "Name";
constexpr const char* kKeyAttr = "Key";
constexpr const char* kTypeAttr = "Type";
constexpr const char* kEncodingAttr = "Encoding";
constexpr const char* kHexEncoding = "hex";

// Parsing keeps whitespace-only texts (a string of blanks is a value) and
// carriage returns (the writer emits them unchanged); entities are decoded,
// no external entity is ever fetched.
constexpr unsigned kParseOptions =
    (pugi::parse_default & ~pugi::parse_eol) | pugi::parse_ws_pcdata_single;

bool NameIs(const pugi::xml_node& node, const char* attr, std::string_view name) {
    const pugi::xml_attribute a = node.attribute(attr);
    return a && std::string_view(a.value()) == name;
}

bool IsValueWithKey(const pugi::xml_node& node, std::string_view key) {
    return node.type() == pugi::node_element && std::string_view(node.name()) == kValueTag &&
           NameIs(node, kKeyAttr, key);
}

// ---- text of numbers, locale-independent ---------------------------------

using RVN::TrimBlanks;

// Numbers of a property file, by the library's number text, blanks around
// them allowed.  A double may be non-finite ("inf", "nan"): the file holds
// what the library wrote.
bool ParseNumber(std::string_view text, double& out) {
    return RVN::ParseNumber(TrimBlanks(text), out, RVN::TQNonFinite::Accept);
}
template <class T>
bool ParseNumber(std::string_view text, T& out) {
    return RVN::ParseInteger(TrimBlanks(text), out);
}

std::string FormatNumber(double value) { return RVN::FormatNumber(value); }
std::string FormatNumber(long value) { return RVN::FormatInteger(value); }
std::string FormatNumber(int value) { return RVN::FormatInteger(value); }

// ---- strings -------------------------------------------------------------

// True when s is valid UTF-8 (no overlong form, surrogate, U+FFFE/U+FFFF or
// code point above U+10FFFF) free of control characters other than tab,
// line feed and carriage return: such a text is stored as it is.
bool IsPlainXmlText(std::string_view s) {
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    const auto* end = p + s.size();
    while (p < end) {
        const unsigned c = *p;
        if (c < 0x80) {
            if (c < 0x20 && c != '\t' && c != '\n' && c != '\r') return false;
            ++p;
            continue;
        }
        int extra;
        std::uint32_t cp;
        if (c >= 0xC2 && c <= 0xDF) {
            extra = 1;
            cp = c & 0x1F;
        } else if (c >= 0xE0 && c <= 0xEF) {
            extra = 2;
            cp = c & 0x0F;
        } else if (c >= 0xF0 && c <= 0xF4) {
            extra = 3;
            cp = c & 0x07;
        } else {
            return false;
        }
        if (end - p <= extra) return false;
        for (int i = 1; i <= extra; ++i) {
            if ((p[i] & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (p[i] & 0x3F);
        }
        if ((extra == 2 && cp < 0x800) || (extra == 3 && (cp < 0x10000 || cp > 0x10FFFF)))
            return false;
        if ((cp >= 0xD800 && cp <= 0xDFFF) || cp == 0xFFFE || cp == 0xFFFF) return false;
        p += extra + 1;
    }
    return true;
}

std::string HexEncode(std::string_view s) {
    static constexpr char digits[] = "0123456789abcdef";
    std::string out;
    out.reserve(s.size() * 2);
    for (const char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        out.push_back(digits[c >> 4]);
        out.push_back(digits[c & 0x0F]);
    }
    return out;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool HexDecode(std::string_view hex, std::string& out) {
    hex = TrimBlanks(hex);
    if (hex.size() % 2 != 0) return false;
    std::string bytes;
    bytes.reserve(hex.size() / 2);
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        const int hi = HexDigit(hex[i]);
        const int lo = HexDigit(hex[i + 1]);
        if (hi < 0 || lo < 0) return false;
        bytes.push_back(static_cast<char>((hi << 4) | lo));
    }
    out = std::move(bytes);
    return true;
}

}  // namespace

// ---------------------------------------------------------------------------

struct CXTPPropExchange::Impl {
    std::shared_ptr<pugi::xml_document> doc;  // null for a root with nothing loaded
    pugi::xml_node node;                      // this section; null: exchanges nothing
    bool loading = false;
    std::string name;
    pugi::xml_node cursor;                    // loading: the last value found
    bool indexed = false;                     // storing: index built
    std::unordered_map<std::string, pugi::xml_node> stored;  // storing: key -> value
    std::string scratch;                      // loading: a text in several pieces

    // Loading: the value element of key, searched from after the cursor on.
    pugi::xml_node FindValue(std::string_view key) {
        if (!node) return {};
        pugi::xml_node start = cursor ? cursor.next_sibling() : node.first_child();
        for (pugi::xml_node n = start; n; n = n.next_sibling())
            if (IsValueWithKey(n, key)) return cursor = n;
        for (pugi::xml_node n = node.first_child(); n && n != start; n = n.next_sibling())
            if (IsValueWithKey(n, key)) return cursor = n;
        return {};
    }

    // Storing: the value element of key, created at the end when new.
    pugi::xml_node ValueForStoring(std::string_view key) {
        if (!indexed) {
            for (pugi::xml_node n = node.first_child(); n; n = n.next_sibling())
                if (n.type() == pugi::node_element && std::string_view(n.name()) == kValueTag)
                    stored.emplace(n.attribute(kKeyAttr).value(), n);
            indexed = true;
        }
        std::string k(key);
        auto it = stored.find(k);
        if (it != stored.end()) {
            pugi::xml_node n = it->second;
            while (n.first_child()) n.remove_child(n.first_child());
            n.remove_attribute(kEncodingAttr);
            return n;
        }
        pugi::xml_node n = node.append_child(kValueTag);
        n.append_attribute(kKeyAttr).set_value(k.c_str());
        stored.emplace(std::move(k), n);
        return n;
    }

    void Store(std::string_view key, const char* type, const std::string& text, bool hex = false) {
        pugi::xml_node n = ValueForStoring(key);
        pugi::xml_attribute t = n.attribute(kTypeAttr);
        if (!t) t = n.append_attribute(kTypeAttr);
        t.set_value(type);
        if (hex) n.append_attribute(kEncodingAttr).set_value(kHexEncoding);
        if (!text.empty()) n.append_child(pugi::node_pcdata).set_value(text.c_str());
    }

    // Loading: the text of key's value, all its character data in order
    // (comments and markup inside it contribute nothing); false when the key
    // is absent.
    bool LoadText(std::string_view key, std::string_view& text, pugi::xml_node* found = nullptr) {
        const pugi::xml_node n = FindValue(key);
        if (!n) return false;
        if (found != nullptr) *found = n;
        text = {};
        int pieces = 0;
        for (pugi::xml_node c = n.first_child(); c; c = c.next_sibling()) {
            if (c.type() != pugi::node_pcdata && c.type() != pugi::node_cdata) continue;
            if (++pieces == 1) {
                text = c.value();
            } else {
                if (pieces == 2) scratch.assign(text);
                scratch += c.value();
            }
        }
        if (pieces > 1) text = scratch;
        return true;
    }

    template <class T>
    bool ExchangeNumber(std::string_view key, T& value, const char* type) {
        if (!node) return false;
        if (!loading) {
            Store(key, type, FormatNumber(value));
            return true;
        }
        std::string_view text;
        return LoadText(key, text) && ParseNumber(text, value);
    }

    static std::unique_ptr<Impl> Section(const Impl& parent, pugi::xml_node node, std::string name) {
        auto impl = std::make_unique<Impl>();
        impl->doc = parent.doc;
        impl->node = node;
        impl->loading = parent.loading;
        impl->name = std::move(name);
        return impl;
    }
};

struct CXTPPropExchangeEnumerator::State {
    std::shared_ptr<pugi::xml_document> doc;
    pugi::xml_node parent;
    bool loading = false;
    std::string itemName;

    pugi::xml_node NextItem(pugi::xml_node from) const {
        for (pugi::xml_node n = from; n; n = n.next_sibling())
            if (n.type() == pugi::node_element && std::string_view(n.name()) == kItemTag &&
                NameIs(n, kNameAttr, itemName))
                return n;
        return {};
    }
};

// ---- CXTPPropExchange -----------------------------------------------------

CXTPPropExchange::CXTPPropExchange(std::unique_ptr<Impl> impl) noexcept : m_impl(std::move(impl)) {}
CXTPPropExchange::~CXTPPropExchange() = default;

bool CXTPPropExchange::IsLoading() const noexcept { return m_impl->loading; }
bool CXTPPropExchange::IsStoring() const noexcept { return !m_impl->loading; }
std::string CXTPPropExchange::GetSectionName() const { return m_impl->name; }

namespace {
// A plain section object; only the root has a class of its own.
class SectionExchange final : public CXTPPropExchange {
public:
    explicit SectionExchange(std::unique_ptr<Impl> impl) noexcept : CXTPPropExchange(std::move(impl)) {}
};
}  // namespace

std::unique_ptr<CXTPPropExchange> CXTPPropExchange::GetSection(std::string_view name) {
    Impl& self = *m_impl;
    pugi::xml_node child;
    if (self.node) {
        for (pugi::xml_node n = self.node.first_child(); n; n = n.next_sibling()) {
            if (n.type() == pugi::node_element && std::string_view(n.name()) == kSectionTag &&
                NameIs(n, kNameAttr, name)) {
                child = n;
                break;
            }
        }
        if (!child && !self.loading) {
            child = self.node.append_child(kSectionTag);
            child.append_attribute(kNameAttr).set_value(std::string(name).c_str());
        }
    }
    return std::make_unique<SectionExchange>(Impl::Section(self, child, std::string(name)));
}

std::unique_ptr<CXTPPropExchangeEnumerator> CXTPPropExchange::GetEnumerator(std::string_view itemName) {
    auto state = std::make_unique<CXTPPropExchangeEnumerator::State>();
    state->doc = m_impl->doc;
    state->parent = m_impl->node;
    state->loading = m_impl->loading;
    state->itemName = std::string(itemName);
    return std::unique_ptr<CXTPPropExchangeEnumerator>(new CXTPPropExchangeEnumerator(std::move(state)));
}

bool CXTPPropExchange::ExchangeInt(std::string_view key, int& value) {
    return m_impl->ExchangeNumber(key, value, "int");
}

bool CXTPPropExchange::ExchangeLong(std::string_view key, long& value) {
    return m_impl->ExchangeNumber(key, value, "long");
}

bool CXTPPropExchange::ExchangeDouble(std::string_view key, double& value) {
    return m_impl->ExchangeNumber(key, value, "double");
}

bool CXTPPropExchange::ExchangeBool(std::string_view key, bool& value) {
    Impl& self = *m_impl;
    if (!self.node) return false;
    if (!self.loading) {
        self.Store(key, "bool", value ? "true" : "false");
        return true;
    }
    std::string_view text;
    if (!self.LoadText(key, text)) return false;
    text = TrimBlanks(text);
    if (text == "true" || text == "1") {
        value = true;
    } else if (text == "false" || text == "0") {
        value = false;
    } else {
        return false;
    }
    return true;
}

bool CXTPPropExchange::ExchangeString(std::string_view key, std::string& value) {
    Impl& self = *m_impl;
    if (!self.node) return false;
    if (!self.loading) {
        if (IsPlainXmlText(value))
            self.Store(key, "string", value);
        else
            self.Store(key, "string", HexEncode(value), true);
        return true;
    }
    std::string_view text;
    pugi::xml_node n;
    if (!self.LoadText(key, text, &n)) return false;
    const pugi::xml_attribute enc = n.attribute(kEncodingAttr);
    if (!enc) {
        value.assign(text);
        return true;
    }
    if (std::string_view(enc.value()) == kHexEncoding) return HexDecode(text, value);
    return false;  // an encoding this exchange does not write
}

// ---- root -----------------------------------------------------------------

CXTPPropExchangeXMLNode::CXTPPropExchangeXMLNode(bool loading, std::string_view sectionName)
    : CXTPPropExchange(std::make_unique<Impl>()) {
    Impl& self = impl();
    self.loading = loading;
    self.name = std::string(sectionName);
    if (!loading) {
        self.doc = std::make_shared<pugi::xml_document>();
        pugi::xml_node decl = self.doc->append_child(pugi::node_declaration);
        decl.append_attribute("version").set_value("1.0");
        decl.append_attribute("encoding").set_value("UTF-8");
        self.node = self.doc->append_child(kSectionTag);
        self.node.append_attribute(kNameAttr).set_value(self.name.c_str());
    }
}

CXTPPropExchangeXMLNode::~CXTPPropExchangeXMLNode() = default;

bool CXTPPropExchangeXMLNode::LoadFromFile(const char* path) {
    std::string content;
    std::string why;
    if (!RVN::detail::ReadRegularFile(path, content, why)) {
        if (IsLoading()) {
            impl().doc.reset();
            impl().node = pugi::xml_node();
        }
        m_fileError = why;
        return false;
    }
    if (!LoadFromString(content)) {
        m_fileError = std::string(path) + ": " + m_fileError;
        return false;
    }
    return true;
}

bool CXTPPropExchangeXMLNode::LoadFromString(std::string_view xml) {
    Impl& self = impl();
    auto doc = std::make_shared<pugi::xml_document>();
    const pugi::xml_parse_result result =
        doc->load_buffer(xml.data(), xml.size(), kParseOptions, pugi::encoding_auto);
    self.cursor = pugi::xml_node();
    self.stored.clear();
    self.indexed = false;
    m_fileError.clear();
    std::size_t nulLine = 0;
    if (!result) {
        m_fileError = std::string("not well-formed XML (") + result.description() + " at character " +
                      FormatNumber(static_cast<long>(result.offset)) + ")";
    } else if (!doc->document_element()) {
        m_fileError = "no XML element";
    } else if ((nulLine = RVN::detail::LineOfNulCharacter(xml, result.encoding)) != 0) {
        m_fileError = "line " + FormatNumber(static_cast<long>(nulLine)) +
                      ": the character U+0000 (&#0;), which no value can hold";
    }
    if (!m_fileError.empty()) {
        if (self.loading) {
            self.doc.reset();
            self.node = pugi::xml_node();
        }
        return false;
    }
    self.doc = std::move(doc);
    // A loading root is bound by OnBeforeExchange; a storing root goes on
    // writing into the loaded root section.
    self.node = self.loading ? pugi::xml_node() : self.doc->document_element();
    return true;
}

bool CXTPPropExchangeXMLNode::OnBeforeExchange() {
    Impl& self = impl();
    if (!self.loading) return true;
    self.cursor = pugi::xml_node();
    self.node = pugi::xml_node();
    if (!self.doc) return false;
    const pugi::xml_node root = self.doc->document_element();
    if (!root || std::string_view(root.name()) != kSectionTag || !NameIs(root, kNameAttr, self.name))
        return false;
    self.node = root;
    return true;
}

namespace {
unsigned SaveFlags(bool formatted) {
    return formatted ? pugi::format_indent : pugi::format_raw;
}
}  // namespace

bool CXTPPropExchangeXMLNode::SaveToFile(const char* path, bool formatted) const {
    const Impl& self = impl();
    m_fileError.clear();
    if (path == nullptr || !self.doc) {
        m_fileError = path == nullptr ? "no file name" : "no document to save";
        return false;
    }
    // Written whole or not at all: a failure leaves an earlier file as it was.
    struct FileWriter final : pugi::xml_writer {
        RVN::AtomicFile file;
        explicit FileWriter(const char* target) : file(target) {}
        void write(const void* data, std::size_t size) override {
            if (file.IsOpen()) file.Write(std::string_view(static_cast<const char*>(data), size));
        }
    } writer(path);
    if (writer.file.Open()) {
        self.doc->save(writer, "\t", SaveFlags(formatted), pugi::encoding_utf8);
        if (writer.file.IsOpen() && writer.file.Commit()) return true;
    }
    m_fileError = writer.file.Error();
    return false;
}

std::string CXTPPropExchangeXMLNode::SaveToString(bool formatted) const {
    const Impl& self = impl();
    if (!self.doc) return {};
    struct StringWriter final : pugi::xml_writer {
        std::string out;
        void write(const void* data, std::size_t size) override {
            out.append(static_cast<const char*>(data), size);
        }
    } writer;
    self.doc->save(writer, "\t", SaveFlags(formatted), pugi::encoding_utf8);
    return std::move(writer.out);
}

// ---- item sequences ----------------------------------------------------------

CXTPPropExchangeEnumerator::CXTPPropExchangeEnumerator(std::unique_ptr<State> state) noexcept
    : m_state(std::move(state)) {}
CXTPPropExchangeEnumerator::~CXTPPropExchangeEnumerator() = default;

POSITION CXTPPropExchangeEnumerator::GetPosition(std::size_t count, bool /*compactMode*/) {
    const State& s = *m_state;
    if (!s.parent) return nullptr;
    if (!s.loading)  // the number of items still to write
        return reinterpret_cast<POSITION>(static_cast<std::uintptr_t>(count));
    return reinterpret_cast<POSITION>(s.NextItem(s.parent.first_child()).internal_object());
}

std::unique_ptr<CXTPPropExchange> CXTPPropExchangeEnumerator::GetNext(POSITION& pos) {
    State& s = *m_state;
    CXTPPropExchange::Impl owner;
    owner.doc = s.doc;
    owner.loading = s.loading;
    pugi::xml_node item;
    if (pos != nullptr && s.parent) {
        if (s.loading) {
            item = pugi::xml_node(reinterpret_cast<pugi::xml_node_struct*>(pos));
            pos = reinterpret_cast<POSITION>(s.NextItem(item.next_sibling()).internal_object());
        } else {
            const auto remaining = reinterpret_cast<std::uintptr_t>(pos) - 1;
            item = s.parent.append_child(kItemTag);
            item.append_attribute(kNameAttr).set_value(s.itemName.c_str());
            pos = reinterpret_cast<POSITION>(remaining);
        }
    } else {
        pos = nullptr;
    }
    return std::make_unique<SectionExchange>(CXTPPropExchange::Impl::Section(owner, item, s.itemName));
}

// ---- PX_ ---------------------------------------------------------------------

bool PX_Int(CXTPPropExchange* px, std::string_view key, int& value) {
    return px != nullptr && px->ExchangeInt(key, value);
}

bool PX_Long(CXTPPropExchange* px, std::string_view key, long& value) {
    return px != nullptr && px->ExchangeLong(key, value);
}

bool PX_Long(CXTPPropExchange* px, std::string_view key, int& value) {
    if (px == nullptr) return false;
    long wide = value;
    if (!px->ExchangeLong(key, wide)) return false;
    if (px->IsStoring()) return true;
    if (wide < INT_MIN || wide > INT_MAX) return false;
    value = static_cast<int>(wide);
    return true;
}

bool PX_Double(CXTPPropExchange* px, std::string_view key, double& value) {
    return px != nullptr && px->ExchangeDouble(key, value);
}

bool PX_String(CXTPPropExchange* px, std::string_view key, std::string& value) {
    return px != nullptr && px->ExchangeString(key, value);
}

bool PX_Bool(CXTPPropExchange* px, std::string_view key, bool& value) {
    return px != nullptr && px->ExchangeBool(key, value);
}

bool PX_Bool(CXTPPropExchange* px, std::string_view key, int& value) {
    if (px == nullptr) return false;
    bool flag = value != 0;
    if (!px->ExchangeBool(key, flag)) return false;
    if (px->IsLoading()) value = flag ? 1 : 0;
    return true;
}
