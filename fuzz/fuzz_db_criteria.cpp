// Fuzz target of the search, filter and sort texts of recordsets.
//
// The first byte chooses the operation, the rest is the text:
//   0 SetFilter, 1 SetSort, 2 Find forward and backward, 3 a filter and a
//   sort order separated by a '|' in the text.
// Whatever the text, nothing may crash or hang, and the recordset must stay
// consistent: an accepted filter shows exactly GetRecordCount rows when
// walked forward and backward, every row shown satisfies Find with the same
// criteria when it is a single comparison, and a refused text changes
// neither the rows shown nor their number.
//
// Built as a libFuzzer program with -DTQRVN_FUZZ=ON (clang); the test suite
// replays the corpus through the same function.
#include "FuzzDbSupport.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

using fuzzdb::Check;

unsigned long Walk(CADORecordset& rs, bool backward)
{
    unsigned long n = 0;
    if (backward) {
        rs.MoveLast();
        while (!rs.IsBOF()) {
            ++n;
            rs.MovePrevious();
        }
    } else {
        rs.MoveFirst();
        while (!rs.IsEOF()) {
            ++n;
            rs.MoveNext();
        }
    }
    return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0 || size > 4096)
        return 0;
    CADORecordset rs(&fuzzdb::Catalog());
    Check(rs.Open("select * from Kinds order by ID") != 0, "the rows open");
    const unsigned long all = rs.GetRecordCount();
    const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
    switch (data[0] % 4) {
    case 0:
    case 3: {
        std::string filter = text, sort;
        if (data[0] % 4 == 3) {
            const std::size_t bar = text.find('|');
            filter = text.substr(0, bar);
            sort = bar == std::string::npos ? std::string() : text.substr(bar + 1);
            if (!rs.SetSort(sort))
                Check(rs.GetRecordCount() == all && rs.GetLastError() != 0, "a refused sort changes nothing");
        }
        const unsigned long before = rs.GetRecordCount();
        if (rs.SetFilter(filter)) {
            const unsigned long shown = rs.GetRecordCount();
            Check(shown <= all, "a filter shows no more rows than there are");
            Check(Walk(rs, false) == shown && Walk(rs, true) == shown, "walks match the count");
            // Every row shown is found again by a single comparison.
            rs.MoveFirst();
            bool single = true;
            try {
                if (!rs.IsEOF())
                    rs.Find(filter);
            } catch (const RVNADO::ComError&) {
                single = false;
            }
            if (single) {
                rs.MoveFirst();
                unsigned long found = 0;
                while (!rs.IsEOF()) {
                    Check(rs.Find(filter) != 0, "a shown row satisfies the comparison");
                    ++found;
                    rs.MoveNext();
                }
                Check(found == shown, "Find meets every shown row");
            }
            Check(rs.SetFilter("") != 0 && rs.GetRecordCount() == all, "an empty filter shows every row");
        } else {
            Check(rs.GetRecordCount() == before, "a refused filter changes nothing");
            Check(rs.GetLastError() != 0, "a refused filter is recorded");
        }
        break;
    }
    case 1:
        if (rs.SetSort(text)) {
            Check(rs.GetRecordCount() == all, "a sort order keeps every row");
            Check(Walk(rs, false) == all && Walk(rs, true) == all, "sorted walks see every row");
        } else {
            Check(rs.GetRecordCount() == all, "a refused sort changes nothing");
        }
        break;
    case 2:
        try {
            rs.FindFirst(text);
            while (rs.FindNext()) {
            }
            Check(rs.IsEOF() != 0, "a forward search ends at the end");
            rs.MoveLast();
            rs.Find(text, CADORecordset::searchBackward);
            while (rs.FindNext()) {
            }
            Check(rs.IsBOF() != 0, "a backward search ends at the beginning");
        } catch (const RVNADO::ComError& e) {
            Check(e.Error() != 0, "a refused criterion carries a status");
        }
        break;
    }
    return 0;
}
