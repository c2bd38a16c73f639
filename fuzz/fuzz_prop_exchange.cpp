// Fuzz target of the XML loading path of the property exchange.
//
// Whatever the input, loading, preparing and exchanging must neither crash
// nor hang, and two round trips must hold:
// - the values read from the input, stored and saved, load back unchanged
//   (doubles bit for bit, a NaN as a NaN, strings byte for byte);
// - the loaded document, saved and loaded again, gives the same values.
// A broken round trip aborts, which the fuzzer reports as a crash.
//
// Built as a libFuzzer program with -DTQRVN_FUZZ=ON (clang); the test suite
// replays the corpus through the same function.

#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "catalog/CXTPPropExchange.h"

namespace {

constexpr const char* kRoot = "TQRVNPipeMatl";
constexpr const char* kKeys[] = {"Version", "ID", "Name", "K", "Variable", "DN"};
constexpr std::size_t kKeyCount = sizeof kKeys / sizeof kKeys[0];
constexpr std::size_t kMaxItems = 2000;

// Every key read as every value kind.
struct Values {
    int i[kKeyCount] = {};
    long l[kKeyCount] = {};
    double d[kKeyCount] = {};
    std::string s[kKeyCount];
    bool b[kKeyCount] = {};
    int narrow[kKeyCount] = {};  // a long key into a 32-bit member
    int flag[kKeyCount] = {};    // a 32-bit flag

    // Reading the input: each kind under the plain key.  Storing and
    // re-reading: each kind under a key of its own, so none overwrites another.
    void Exchange(CXTPPropExchange* px, bool ownKeys) {
        for (std::size_t k = 0; k < kKeyCount; ++k) {
            const std::string key = kKeys[k];
            auto name = [&](const char* kind) { return ownKeys ? key + "." + kind : key; };
            PX_Int(px, name("int"), i[k]);
            PX_Long(px, name("long"), l[k]);
            PX_Double(px, name("double"), d[k]);
            PX_String(px, name("string"), s[k]);
            PX_Bool(px, name("bool"), b[k]);
            PX_Long(px, name("narrow"), narrow[k]);
            PX_Bool(px, name("flag"), flag[k]);
        }
    }

    bool operator==(const Values& o) const {
        for (std::size_t k = 0; k < kKeyCount; ++k) {
            const bool sameDouble = std::isnan(d[k]) ? std::isnan(o.d[k])
                                                     : std::bit_cast<std::uint64_t>(d[k]) ==
                                                           std::bit_cast<std::uint64_t>(o.d[k]);
            if (i[k] != o.i[k] || l[k] != o.l[k] || !sameDouble || s[k] != o.s[k] || b[k] != o.b[k] ||
                narrow[k] != o.narrow[k] || flag[k] != o.flag[k])
                return false;
        }
        return true;
    }
};

// The material file's shape: values in the root, the section "MATL" with its
// values and its "SPEC" items.
struct Content {
    Values root, matl;
    std::vector<Values> specs;

    void Exchange(CXTPPropExchange& px, bool ownKeys) {
        root.Exchange(&px, ownKeys);
        CXTPPropExchangeSection section(px.GetSection("MATL"));
        matl.Exchange(section, ownKeys);
        CXTPPropExchangeEnumeratorPtr items(section->GetEnumerator("SPEC"));
        if (px.IsLoading()) {
            specs.clear();
            for (POSITION pos = items->GetPosition(); pos != nullptr && specs.size() < kMaxItems;) {
                CXTPPropExchangeSection item(items->GetNext(pos));
                specs.emplace_back().Exchange(item, ownKeys);
            }
        } else {
            POSITION pos = items->GetPosition(specs.size(), false);
            for (Values& v : specs) {
                CXTPPropExchangeSection item(items->GetNext(pos));
                v.Exchange(item, ownKeys);
            }
        }
    }

    bool operator==(const Content& o) const {
        return root == o.root && matl == o.matl && specs == o.specs;
    }
};

bool Load(CXTPPropExchangeXMLNode& px, std::string_view text) {
    return px.LoadFromString(text) && px.OnBeforeExchange();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);

    CXTPPropExchangeXMLNode first(true, kRoot);
    if (!Load(first, input)) return 0;
    first.SetCompactMode(true);
    Content read;
    read.Exchange(first, false);

    // The loaded document written out and read again gives the same values.
    CXTPPropExchangeXMLNode again(true, kRoot);
    if (!Load(again, first.SaveToString(false))) std::abort();
    Content reread;
    reread.Exchange(again, false);
    if (!(reread == read)) std::abort();

    // The values stored, saved and loaded come back unchanged.
    CXTPPropExchangeXMLNode out(false, kRoot);
    read.Exchange(out, true);
    CXTPPropExchangeXMLNode back(true, kRoot);
    if (!Load(back, out.SaveToString(true))) std::abort();
    Content loaded;
    loaded.Exchange(back, true);
    if (!(loaded == read)) std::abort();
    return 0;
}
