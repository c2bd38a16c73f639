// CXTPPropExchange: the XML property exchange through which records
// serialise themselves (DoPropExchange), and the material file is written
// and read.
//
// An exchange is a tree of named sections.  A section holds typed values
// under string keys (int, long, double, string, bool), child sections and
// ordered sequences of item sections that share one item name.  One exchange
// object serves both directions: when it is storing, the PX_ functions write
// the member under the key; when it is loading, they set the member to the
// stored value.  Values, sections and items are written in the order they are
// exchanged.
//
// Round trip guarantees (loading what was stored):
// - doubles come back bit for bit, -0.0 and +-infinity included, a NaN as a
//   NaN; the text is the shortest that reads back exactly and does not depend
//   on the process locale;
// - long values keep all 64 bits;
// - strings come back byte for byte, whatever bytes they hold.
//
// Loading rules:
// - a key absent from its section, or whose text does not parse as the
//   requested type, leaves the member unchanged;
// - a missing child section or item sequence is an empty one (members keep
//   their values, the sequence yields no item);
// - only loading a file (LoadFromFile) and preparing the root
//   (OnBeforeExchange) report failure: a missing, empty, truncated or
//   malformed file, or a root section of another name.
//
// The written document is UTF-8 XML:
//   <Section Name="root"> <Value Key="k" Type="double">0.1</Value>
//     <Section Name="child"> ... </Section> <Item Name="item"> ... </Item> ...
// A string that is not valid UTF-8, or that holds control characters other
// than tab, line feed and carriage return, is written as hexadecimal bytes
// with Encoding="hex".
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

#include "TQRVNBaseExport.h"
#include "catalog/TQTypes.h"

class CXTPPropExchangeEnumerator;

/// One section of an exchange tree.  Obtained from a root
/// (CXTPPropExchangeXMLNode), a child section (GetSection) or an item
/// sequence (CXTPPropExchangeEnumerator); a section keeps the document alive,
/// so it may outlive the object it came from.
class TQRVNBASE_API CXTPPropExchange {
public:
    virtual ~CXTPPropExchange();
    CXTPPropExchange(const CXTPPropExchange&) = delete;
    CXTPPropExchange& operator=(const CXTPPropExchange&) = delete;

    /// True when the exchange reads members from the document.
    bool IsLoading() const noexcept;
    /// True when the exchange writes members into the document.
    bool IsStoring() const noexcept;
    /// The name of this section (the item name for an item section).
    std::string GetSectionName() const;

    /// The child section of that name, in the same direction.  Storing
    /// creates it after the content exchanged so far (or reuses an existing
    /// child of that name); loading finds the first child of that name, or
    /// gives an empty section when there is none.
    std::unique_ptr<CXTPPropExchange> GetSection(std::string_view name);

    /// The sequence of items of that name in this section.
    std::unique_ptr<CXTPPropExchangeEnumerator> GetEnumerator(std::string_view itemName);

    // Typed value exchange under a key: the PX_ functions below call these.
    // Each returns true when the member was written (storing) or set from the
    // document (loading).
    bool ExchangeInt(std::string_view key, int& value);
    bool ExchangeLong(std::string_view key, long& value);
    bool ExchangeDouble(std::string_view key, double& value);
    bool ExchangeString(std::string_view key, std::string& value);
    bool ExchangeBool(std::string_view key, bool& value);

    struct Impl;  // the pugixml side, private to the library

protected:
    explicit CXTPPropExchange(std::unique_ptr<Impl> impl) noexcept;
    Impl& impl() noexcept { return *m_impl; }
    const Impl& impl() const noexcept { return *m_impl; }

private:
    friend class CXTPPropExchangeEnumerator;
    std::unique_ptr<Impl> m_impl;
};

/// The root of an exchange tree, bound to an XML document that is loaded
/// from or saved to a file.
class TQRVNBASE_API CXTPPropExchangeXMLNode : public CXTPPropExchange {
public:
    /// A root for loading (loading = true) or storing, whose section is
    /// named sectionName.  A storing root starts with an empty document whose
    /// root section has that name; a loading root has no document until
    /// LoadFromFile or LoadFromString succeeds and OnBeforeExchange binds it.
    CXTPPropExchangeXMLNode(bool loading, std::string_view sectionName);
    ~CXTPPropExchangeXMLNode() override;

    /// Reads and parses the file at path (a regular file only, so a pipe or a
    /// device never blocks).  False when it is missing, unreadable, empty,
    /// truncated or not well-formed XML, or when it holds the character
    /// U+0000 (raw or as &#0;), which would cut a value short; the previous
    /// document is dropped.
    bool LoadFromFile(const char* path);
    /// As LoadFromFile, from a text held in memory.
    bool LoadFromString(std::string_view xml);

    /// Prepares the root for exchange.  Loading: true when a document was
    /// loaded and its root section carries this root's name; on false every
    /// exchange leaves members unchanged.  Storing: always true.
    bool OnBeforeExchange();

    /// Writes the document as UTF-8 XML, indented by tabs when formatted.
    /// The file is written whole or not at all (RVN::AtomicFile): false when
    /// it cannot be written, and an earlier file of that name is then left
    /// as it was.
    bool SaveToFile(const char* path, bool formatted = true) const;
    /// Why the last LoadFromFile, LoadFromString or SaveToFile failed
    /// ("out.xml: No space left on device", "line 3: ..."); "" after a success.
    const std::string& GetFileError() const noexcept { return m_fileError; }
    /// The document as UTF-8 XML text.
    std::string SaveToString(bool formatted = true) const;

    /// Compatibility switch set before reading a file that may use the
    /// compact item form.  This exchange writes one form only and reads it
    /// whatever the switch says.
    void SetCompactMode(bool compact) noexcept { m_compact = compact; }
    bool IsCompactMode() const noexcept { return m_compact; }

private:
    bool m_compact = false;
    mutable std::string m_fileError;
};

/// The ordered items of one name in a section.  Storing: GetPosition(count)
/// then count calls of GetNext, each creating the next item section in order.
/// Loading: GetPosition() then GetNext until the position is null, giving the
/// stored items in file order.
class TQRVNBASE_API CXTPPropExchangeEnumerator {
public:
    ~CXTPPropExchangeEnumerator();
    CXTPPropExchangeEnumerator(const CXTPPropExchangeEnumerator&) = delete;
    CXTPPropExchangeEnumerator& operator=(const CXTPPropExchangeEnumerator&) = delete;

    /// Starts the sequence.  Storing: count is the number of items to write
    /// (null for 0).  Loading: count is ignored; null when there is no item.
    /// compactMode is accepted for compatibility; one form is written.
    POSITION GetPosition(std::size_t count = 0, bool compactMode = true);

    /// The item section at pos, advancing pos (null after the last item).
    /// A null pos gives an empty section that exchanges nothing.
    std::unique_ptr<CXTPPropExchange> GetNext(POSITION& pos);

private:
    friend class CXTPPropExchange;
    struct State;
    explicit CXTPPropExchangeEnumerator(std::unique_ptr<State> state) noexcept;
    std::unique_ptr<State> m_state;
};

using CXTPPropExchangeEnumeratorPtr = std::unique_ptr<CXTPPropExchangeEnumerator>;

/// Owner of a child or item section:
///   CXTPPropExchangeSection sec(px->GetSection("MATL"));
///   record.DoPropExchange(sec);
class CXTPPropExchangeSection {
public:
    explicit CXTPPropExchangeSection(std::unique_ptr<CXTPPropExchange> section) noexcept
        : m_section(std::move(section)) {}
    CXTPPropExchange* operator->() const noexcept { return m_section.get(); }
    CXTPPropExchange& operator*() const noexcept { return *m_section; }
    operator CXTPPropExchange*() const noexcept { return m_section.get(); }
    CXTPPropExchange* get() const noexcept { return m_section.get(); }

private:
    std::unique_ptr<CXTPPropExchange> m_section;
};

// Value exchange as the records call it: PX_Type(exchange, key, member).
// A null exchange does nothing and returns false.  The int& form of PX_Long
// exchanges a 32-bit member under a long key (a stored value outside the
// 32-bit range leaves it unchanged); the int& form of PX_Bool exchanges a
// 32-bit flag (non-zero is true, loading sets 1 or 0).
TQRVNBASE_API bool PX_Int(CXTPPropExchange* px, std::string_view key, int& value);
TQRVNBASE_API bool PX_Long(CXTPPropExchange* px, std::string_view key, long& value);
TQRVNBASE_API bool PX_Long(CXTPPropExchange* px, std::string_view key, int& value);
TQRVNBASE_API bool PX_Double(CXTPPropExchange* px, std::string_view key, double& value);
TQRVNBASE_API bool PX_String(CXTPPropExchange* px, std::string_view key, std::string& value);
TQRVNBASE_API bool PX_Bool(CXTPPropExchange* px, std::string_view key, bool& value);
TQRVNBASE_API bool PX_Bool(CXTPPropExchange* px, std::string_view key, int& value);
