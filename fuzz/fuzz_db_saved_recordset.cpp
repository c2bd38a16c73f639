// Fuzz target of the loader of saved recordsets (OpenXML).
//
// The input is written to a file and opened.  Whatever it holds, opening
// must neither crash nor hang; a refused file is a recorded error and
// leaves the recordset closed.  An accepted file must give back, saved and
// opened again, the same fields and the same values, kind for kind.
//
// Built as a libFuzzer program with -DTQRVN_FUZZ=ON (clang); the test suite
// replays the corpus through the same function.
#include "FuzzDbSupport.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using fuzzdb::Check;

struct Image {
    std::vector<std::string> names;
    std::vector<int> types;
    std::vector<long> sizes;
    std::vector<RVNADO::Variant> cells;
};

Image Read(CADORecordset& rs)
{
    Image im;
    const long n = rs.GetFieldCount();
    for (long i = 0; i < n; ++i) {
        im.names.push_back(rs.GetFieldName(static_cast<int>(i)));
        im.types.push_back(rs.GetFieldType(static_cast<int>(i)));
        im.sizes.push_back(rs.GetFieldDefineSize(static_cast<int>(i)));
    }
    rs.GetRecordCount();  // the cursor is forward-only: the count walks and comes back
    while (!rs.IsEOF()) {
        for (long i = 0; i < n; ++i) {
            RVNADO::Variant v;
            Check(rs.GetFieldValue(static_cast<int>(i), v) != 0, "every value of a row reads");
            std::string text;
            rs.GetFieldValue(static_cast<int>(i), text);
            double d = 0.0;
            rs.GetFieldValue(static_cast<int>(i), d);
            im.cells.push_back(v);
        }
        rs.MoveNext();
    }
    return im;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size > 1 << 16)
        return 0;
    const std::string file = (fuzzdb::Folder() / "input.xml").string();
    const std::string again = (fuzzdb::Folder() / "again.xml").string();
    fuzzdb::WriteFile(file, data, size);
    CADORecordset rs(&fuzzdb::Catalog());
    if (!rs.OpenXML(file)) {
        Check(rs.GetLastError() != 0 && !rs.IsOpen(), "a refused file is a recorded error");
        return 0;
    }
    const Image first = Read(rs);
    rs.MoveFirst();
    Check(rs.SaveAsXML(again) != 0, "an opened file saves");
    CADORecordset back(&fuzzdb::Catalog());
    Check(back.OpenXML(again) != 0, "a saved file opens");
    const Image second = Read(back);
    Check(first.names == second.names && first.types == second.types && first.sizes == second.sizes,
          "the fields come back");
    Check(first.cells.size() == second.cells.size(), "the rows come back");
    for (std::size_t i = 0; i < first.cells.size(); ++i)
        Check(first.cells[i] == second.cells[i] && first.cells[i].Kind() == second.cells[i].Kind(),
              "the values come back");
    return 0;
}
