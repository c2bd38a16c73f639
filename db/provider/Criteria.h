// Search criteria, filters and sort orders of the provider's recordsets.
// Internal to the library.
//
// A comparison is `Column op value`:
// - Column: a field name, or a name in square brackets (a "]" inside is
//   doubled); names compare without regard to case.
// - op: =, <>, <, >, <=, >=, LIKE, or IS NULL / IS NOT NULL after the
//   column (`= NULL` and `<> NULL` mean the same).
// - value: a number (C locale: point as the decimal separator, optional
//   exponent), a text in single quotes ('' stands for one quote), or a date
//   between # signs (#2024-05-01#, #2024-05-01 08:30:00# or the US form
//   #5/1/2024 8:30:00#).
// LIKE takes a text whose * or % stands for any run of characters and whose
// _ or ? stands for one character.  Texts compare without regard to the case
// of ASCII letters.  A null field satisfies only IS NULL (= NULL).
//
// A filter joins comparisons with AND and OR (AND binds closer) and groups
// them with parentheses; a search criterion is one comparison.
//
// A sort order is "Column [ASC|DESC], ...".  Nulls sort first in ascending
// order.
#pragma once

#include "db/provider/RVNADOTypes.h"
#include "db/provider/Variant.h"

#include <functional>
#include <string>
#include <vector>

namespace RVNADO::detail {

// Finds a field by name: its index, or -1 when there is none.
using FieldLookup = std::function<long(const std::string&)>;

class Criteria {
public:
    enum Op { Eq, Ne, Lt, Gt, Le, Ge, Like, IsNull, NotNull };
    enum Literal { Number, Text, Date, None };

    struct Comparison {
        long field = 0;
        Op op = Eq;
        Literal literal = None;
        double number = 0.0;        // Number and Date (serial days)
        std::string text;           // Text
        std::vector<std::uint32_t> pattern;  // LIKE, folded to lower case
    };

    // Parses the text; logical = true accepts AND, OR and parentheses.
    // Throws ComError(0x800A0BB9) naming the fault and its position, or
    // ComError(0x800A0CC1) for a field that does not exist.
    static Criteria Parse(const std::string& text, const FieldLookup& lookup, bool logical);

    // True when the row (its cells in field order) satisfies the criteria.
    bool Matches(const Variant* row) const;
    bool Empty() const { return m_nodes.empty(); }

private:
    // A node is a comparison, or an AND or OR of its children.
    struct Node {
        enum Kind { Leaf, All, Any } kind = Leaf;
        Comparison cmp;
        std::vector<std::size_t> children;
    };
    friend class CriteriaParser;

    std::vector<Node> m_nodes;
    std::size_t m_root = 0;
};

struct SortKey {
    long field = 0;
    bool descending = false;
};

// Parses a sort order ("" gives no keys).  Throws ComError like Parse.
std::vector<SortKey> ParseSort(const std::string& text, const FieldLookup& lookup);

// Orders two values of one field: nulls first, then numbers (dates and
// Booleans as numbers), texts without regard to case, binary data.
int CompareForSort(const Variant& a, const Variant& b);

// Wildcard match of a text against a folded LIKE pattern.
bool LikeMatch(const std::string& text, const std::vector<std::uint32_t>& pattern);

}  // namespace RVNADO::detail
